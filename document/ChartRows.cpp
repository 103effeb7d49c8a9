#include "document/ChartRows.h"

#include "document/text/CommaText.h"

#include <algorithm>

namespace {

// Rows of one position: at least one, and bounded so a bad item cannot blow up
// the row lists.
int rowCountOf(const TCommaText &item)
{
    bool ok = false;
    const int n = item.Item(2).trimmed().toInt(&ok);
    if (!ok)
        return 1;
    return std::clamp(n, 1, 32767);
}

const tWeekInfo &defaultWeek()
{
    static const tWeekInfo week = DefaultWeekInfo();
    return week;
}

// A text in lower case as QString::toLower gives it, without its table look-ups
// for the plain ASCII that position items mostly are (thousands of them are
// matched on every change of the positions or the shown rows).
QString LowerCase(const QString &text)
{
    bool upper = false;
    for (const QChar c : text) {
        if (c.unicode() >= 0x80)
            return text.toLower();
        upper = upper || (c.unicode() >= 'A' && c.unicode() <= 'Z');
    }
    if (!upper)
        return text;
    QString lower = text;
    for (QChar &c : lower)
        if (c.unicode() >= 'A' && c.unicode() <= 'Z')
            c = QChar(char16_t(c.unicode() + ('a' - 'A')));
    return lower;
}

} // namespace

TChartRows::TChartRows()
{
    MapShownRows();
}

int TChartRows::RowCountOf(const TCommaText &item)
{
    return rowCountOf(item);
}

QString TChartRows::RowName(const QString &name, int row)
{
    return row == 0 ? name : name + QStringLiteral(" (") + QString::number(row) + QLatin1Char(')');
}

QStringList TChartRows::ExpandRows(const QStringList &items)
{
    QStringList expanded;
    expanded.reserve(items.size());
    for (const QString &text : items) {
        const TCommaText item(text);
        expanded.append(text);
        const int rows = rowCountOf(item);
        const QString name = item.Item(0);
        for (int k = 1; k < rows; ++k) {
            TCommaText copy(text);
            copy.SetItem(0, RowName(name, k));
            expanded.append(copy.AsString());
        }
    }
    return expanded;
}

void TChartRows::SetPositions(const QStringList &items, bool bound)
{
    FItemCount = int(items.size());
    FBound = bound;
    // A load and each role or setup change set the items again, mostly the
    // same ones: they are expanded and read only when they changed.
    if (items != FItems)
        TakeItems(items);
    MapShownRows();
}

void TChartRows::TakeItems(const QStringList &items)
{
    FItems = items;
    FAllPositions = ExpandRows(items);
    const QStringList &list = FAllPositions;

    FPositionsInHolidayGroup.assign(list.size(), TInterval {});
    for (int k = 0; k < list.size();) {
        const int n = rowCountOf(TCommaText(list[k]));
        const int last = std::min<int>(k + n - 1, list.size() - 1);
        for (int i = k; i <= last; ++i)
            FPositionsInHolidayGroup[i] = TInterval { k, last };
        k += n;
    }

    // Positions mostly share a handful of weeks: each distinct week text is read once.
    FWeeks.clear();
    FWeekOf.assign(list.size(), 0);
    QHash<QString, int> weekIndex;
    for (int i = 0; i < list.size(); ++i) {
        const QString text = TCommaText(list[i]).Item(1);
        auto it = weekIndex.constFind(text);
        if (it == weekIndex.constEnd()) {
            it = weekIndex.insert(text, int(FWeeks.size()));
            FWeeks.push_back(String2WeekInfo(text));
        }
        FWeekOf[i] = *it;
    }
}

void TChartRows::SetPositionsAndGroupRows(const QStringList &items, bool bound, const QStringList &rows)
{
    FItemCount = int(items.size());
    FBound = bound;
    if (items != FItems)
        TakeItems(items);
    FNoAutoGlobalPositionFilter = rows;
    FGlobalPositionFilter = rows;
    MapShownRows();
}

void TChartRows::SetGroupRows(const QStringList &rows)
{
    FNoAutoGlobalPositionFilter = rows;
    SetShownRows(rows);
}

void TChartRows::SetShownRows(const QStringList &rows)
{
    FGlobalPositionFilter = rows;
    MapShownRows();
}

void TChartRows::MapShownRows()
{
    const QStringList &list = FAllPositions;
    if (list != FMappedPositions || FGlobalPositionFilter != FMappedFilter
        || FPositionInPositionGroup.size() != std::size_t(list.size())) {
        // Rows are matched by their text, ignoring case; the first row of a text wins.
        QHash<QString, int> rowByText;
        rowByText.reserve(FGlobalPositionFilter.size());
        QStringList keys;
        keys.reserve(FGlobalPositionFilter.size());
        for (int i = 0; i < FGlobalPositionFilter.size(); ++i) {
            keys.append(LowerCase(FGlobalPositionFilter[i]));
            if (!rowByText.contains(keys.back()))
                rowByText.insert(keys.back(), i);
        }
        // Mostly every position is shown: its rows are the positions themselves,
        // whose keys are made already.
        const bool same = list == FGlobalPositionFilter;
        FPositionInPositionGroup.assign(list.size(), -2);
        for (int i = 0; i < list.size(); ++i)
            FPositionInPositionGroup[i] = rowByText.value(same ? keys[i] : LowerCase(list[i]), -2);

        FFirstPositionOfRow.assign(FGlobalPositionFilter.size(), -1);
        for (int i = 0; i < int(FPositionInPositionGroup.size()); ++i) {
            const int row = FPositionInPositionGroup[i];
            if (row >= 0 && row < int(FFirstPositionOfRow.size()) && FFirstPositionOfRow[row] < 0)
                FFirstPositionOfRow[row] = i;
        }
        FMappedPositions = list;
        FMappedFilter = FGlobalPositionFilter;
    }

    const int shown = FGlobalPositionFilter.isEmpty() ? FItemCount : int(FGlobalPositionFilter.size());
    FRowCount = FBound ? std::max(1, shown) : 1;

    FMinDayStart = 1.0;
    FMaxDayEnd = 0;
    for (int r = 0; r < FRowCount; ++r) {
        for (const TDayInfo &day : WeekInfoOfRow(r)) {
            FMinDayStart = std::min(FMinDayStart, day.start);
            FMaxDayEnd = std::max(FMaxDayEnd, day.ende);
        }
    }
}

int TChartRows::RowOfPosition(int position) const
{
    if (position == kAllPositions)
        return kAllPositions;
    if (position < 0 || position >= int(FPositionInPositionGroup.size()))
        return -1;
    return FPositionInPositionGroup[position];
}

int TChartRows::FirstPositionOfRow(int row) const
{
    return row >= 0 && row < int(FFirstPositionOfRow.size()) ? FFirstPositionOfRow[row] : -1;
}

TInterval TChartRows::MultipleRowSpan(TWhichTable table, int row) const
{
    if (row == kAllPositions) {
        if (FPositionInPositionGroup.empty())
            return TInterval { 0, 0 };
        return TInterval { FPositionInPositionGroup.front(), FPositionInPositionGroup.back() };
    }
    if (table == tbExclude && row >= 0 && row < int(FPositionsInHolidayGroup.size())) {
        const TInterval span = FPositionsInHolidayGroup[row];
        return TInterval { FPositionInPositionGroup[span.low], FPositionInPositionGroup[span.high] };
    }
    return TInterval { row, row };
}

const tWeekInfo &TChartRows::WeekInfoOfPosition(int position) const
{
    if (position < 0 || position >= int(FWeekOf.size()))
        return defaultWeek();
    return FWeeks[FWeekOf[position]];
}
