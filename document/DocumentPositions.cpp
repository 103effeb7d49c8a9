// Positions and their chart rows, lengths and the role accessors.
#include "document/Document.h"
#include "document/text/CommaText.h"

#include <climits>

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

} // namespace

QStringList Document::Positiongroups(bool ExpandRows, bool AllPositions) const
{
    QStringList items;
    const QString group = FPositionGroup.value(FShownGroup);
    if (AllPositions || group.isEmpty())
        items = GetColumnStrings(tbTable, GetConnection(tbTable, cnPosition));
    else
        items = TCommaText(group).Strings();
    if (!ExpandRows)
        return items;
    QStringList expanded;
    expanded.reserve(items.size());
    for (const QString &text : items) {
        TCommaText item(text);
        expanded.append(text);
        const int rows = rowCountOf(item);
        const QString name = item.Item(0);
        for (int k = 1; k < rows; ++k) {
            TCommaText copy(text);
            copy.SetItem(0, name + QStringLiteral(" (") + QString::number(k) + QLatin1Char(')'));
            expanded.append(copy.AsString());
        }
    }
    return expanded;
}

int Document::GetRowCount() const
{
    if (GetConnection(tbTable, cnPosition) < 0)
        return 1;
    const int n = FGlobalPositionFilter.isEmpty()
        ? int(GetColumnStrings(tbTable, GetConnection(tbTable, cnPosition)).size())
        : int(FGlobalPositionFilter.size());
    return std::max(1, n);
}

void Document::RefreshPositionRows()
{
    FGlobalPositionFilter = Positiongroups(true, false);
    UpdateInternalVariables();
}

void Document::UpdateInternalVariables()
{
    FAllPositionsExpanded = Positiongroups(true, true);
    const QStringList &list = FAllPositionsExpanded;

    FShownRowByText.clear();
    for (int i = 0; i < FGlobalPositionFilter.size(); ++i) {
        const QString key = FGlobalPositionFilter[i].toLower();
        if (!FShownRowByText.contains(key))
            FShownRowByText.insert(key, i);
    }
    FPositionInPositionGroup.assign(list.size(), -2);
    for (int i = 0; i < list.size(); ++i)
        FPositionInPositionGroup[i] = FShownRowByText.value(list[i].toLower(), -2);

    FFirstPositionOfRow.assign(FGlobalPositionFilter.size(), -1);
    for (int i = 0; i < int(FPositionInPositionGroup.size()); ++i) {
        const int row = FPositionInPositionGroup[i];
        if (row >= 0 && row < int(FFirstPositionOfRow.size()) && FFirstPositionOfRow[row] < 0)
            FFirstPositionOfRow[row] = i;
    }

    FPositionsInHolidayGroup.assign(list.size(), TInterval {});
    for (int k = 0; k < list.size();) {
        const int n = rowCountOf(TCommaText(list[k]));
        const int last = std::min<int>(k + n - 1, list.size() - 1);
        for (int i = k; i <= last; ++i)
            FPositionsInHolidayGroup[i] = TInterval { k, last };
        k += n;
    }

    // Positions mostly share a handful of weeks: each distinct week text is read
    // and prepared for the walks once.
    FWeekInfo.clear();
    FWeekInfo.reserve(list.size());
    FWalkWeeks.clear();
    FWalkWeekOf.assign(list.size(), 0);
    QHash<QString, int> weekIndex;
    std::vector<int> firstWithWeek;
    for (int i = 0; i < list.size(); ++i) {
        const QString text = TCommaText(list[i]).Item(1);
        auto it = weekIndex.constFind(text);
        if (it == weekIndex.constEnd()) {
            FWeekInfo.push_back(String2WeekInfo(text));
            it = weekIndex.insert(text, int(FWalkWeeks.size()));
            FWalkWeeks.push_back(PrepareWorkWeek(FWeekInfo.back()));
            firstWithWeek.push_back(i);
        } else {
            FWeekInfo.push_back(FWeekInfo[firstWithWeek[*it]]);
        }
        FWalkWeekOf[i] = *it;
    }
    // Absent days are kept by position: the indices may have moved.
    AbsentDaysChanged();

    FMinDayStart = 1.0;
    FMaxDayEnd = 0;
    for (int r = 0; r < GetRowCount(); ++r) {
        for (const TDayInfo &day : GetWeekInfo(r)) {
            FMinDayStart = std::min(FMinDayStart, day.start);
            FMaxDayEnd = std::max(FMaxDayEnd, day.ende);
        }
    }
    UpdateEmptyRows(true);
}

void Document::ResetPositionGroups()
{
    FPositionGroup = QStringList { QString() };
    FPositionGroupNames = QStringList { QString() };
    FShownGroup = 0;
    RefreshPositionRows();
}

void Document::AddPositionGroup(const QString &name, const QString &filter)
{
    FPositionGroup.append(filter);
    FPositionGroupNames.append(name);
}

const tWeekInfo &Document::GetWeekInfo(int row) const
{
    static const tWeekInfo defaultWeek = DefaultWeekInfo();
    if (row < 0 || row >= int(FFirstPositionOfRow.size()))
        return defaultWeek;
    const int position = FFirstPositionOfRow[row];
    return position >= 0 && position < int(FWeekInfo.size()) ? FWeekInfo[position] : defaultWeek;
}

bool Document::findNodeWithPosition(TWhichTable table, const QString &name) const
{
    const int column = GetConnection(table, cnPosition);
    if (column < 0)
        return false;
    const DocumentTable &t = GetTable(table);
    for (TNodeData *node = t.First(); node; node = t.Next(node)) {
        if (GetData(node, column) == name)
            return true;
    }
    return false;
}

int Document::GetPositionOf(const TNodeData *node) const
{
    if (!node)
        return -1;
    if (node->nodePosition == kAllPositions)
        return kAllPositions;
    if (node->nodePosition < 0 || node->nodePosition >= int(FPositionInPositionGroup.size()))
        return -1;
    return FPositionInPositionGroup[node->nodePosition];
}

std::int32_t Document::calcNodeLength(TWhichTable table, const QString &text) const
{
    auto number = [](QStringView part) -> qint64 {
        bool ok = false;
        const qint64 v = part.trimmed().toLongLong(&ok);
        return ok ? v : 0;
    };
    qint64 minutes;
    if (FMinUnit == muMinute && table == tbTable) {
        const qsizetype comma = text.indexOf(QLatin1Char(','));
        const QStringView view(text);
        minutes = comma < 0 ? number(view) * 60 : number(view.left(comma)) * 60 + number(view.mid(comma + 1));
    } else {
        minutes = number(text) * 480;
    }
    // A length the 32-bit minute count cannot hold makes the row invalid, not wrapped.
    if (minutes > INT_MAX || minutes < INT_MIN)
        return 0;
    return std::int32_t(minutes);
}

std::int32_t Document::GetLengthOf(const TNodeData *node) const
{
    return node ? calcNodeLength(node->NodeTable, GetData_(node, cnLength)) : 0;
}

void Document::DoSetLengthOf(TNodeData *node, std::int32_t minutes, bool DoDiff)
{
    if (!node)
        return;
    QString text;
    if (FMinUnit == muDay || node->NodeTable == tbExclude)
        text = QString::number(minutes / 480);
    else if (minutes % 60 == 0)
        text = QString::number(minutes / 60);
    else
        text = QString::number(minutes / 60) + QLatin1Char(',') + QString::number(minutes % 60);
    DoSetData_(node, cnLength, text, DoDiff);
}

void Document::DoSetStartOf(TNodeData *node, TDateTime date, bool DoDiff)
{
    if (!node)
        return;
    DoSetData_(node, cnStart, FormatDateTime(node->NodeTable == tbExclude ? DatePart(date) : date), DoDiff);
}

void Document::SetEndOf(TNodeData *node, TDateTime date)
{
    if (!node)
        return;
    // A file may bind the end to a column that also feeds it (start, length,
    // position): writing the end there would change its own input without end.
    const int column = GetConnection(node->NodeTable, cnEnd);
    for (TConnection input : { cnPosition, cnStart, cnLength, cnLengthWithWeekend }) {
        if (column >= 0 && GetConnection(node->NodeTable, input) == column)
            return;
    }
    DoSetData_(node, cnEnd, FormatDateTime(date), false);
}

void Document::DoSetPositionOf(TNodeData *node, int index, bool DoDiff)
{
    if (!node)
        return;
    if (!FGlobalPositionFilter.isEmpty()) {
        const QString value = index >= 0 && index < FGlobalPositionFilter.size()
            ? TCommaText(FGlobalPositionFilter[index]).Item(0)
            : QString();
        DoSetData_(node, cnPosition, value, DoDiff);
    } else {
        DoSetDataIndex(node, GetConnection(node->NodeTable, cnPosition), index, DoDiff);
    }
}

TDateTime Document::GetTerminOf(const TNodeData *node) const
{
    if (!node || GetConnection(node->NodeTable, cnTermin) < 0)
        return 0;
    return node->nodeTermin;
}

void Document::SetTerminOf(TNodeData *node, TDateTime date)
{
    SetData_(node, cnTermin, FormatDateTime(date));
}
