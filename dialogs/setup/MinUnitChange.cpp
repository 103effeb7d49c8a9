#include "dialogs/setup/MinUnitChange.h"

#include "document/Document.h"
#include "document/calendar/DateTime.h"

#include <climits>
#include <cmath>
#include <vector>

namespace {

std::optional<qint64> number(QStringView text)
{
    bool ok = false;
    const qint64 value = text.trimmed().toLongLong(&ok);
    // Beyond this no length can be written back in minutes.
    if (!ok || value > INT_MAX || value < -INT_MAX)
        return std::nullopt;
    return value;
}

std::optional<TDateTime> dateIn(const QString &text, TMinUnit unit)
{
    TDateTime value = 0;
    const bool ok = unit == muDay ? TryStrToDate(text, value) : TryStrToDateTime(text, value);
    return ok ? std::optional<TDateTime>(value) : std::nullopt;
}

} // namespace

std::optional<qint64> LengthMinutes(const QString &text, TMinUnit unit)
{
    if (unit == muDay) {
        const auto days = number(text);
        return days ? std::optional<qint64>(*days * 480) : std::nullopt;
    }
    const qsizetype comma = text.indexOf(QLatin1Char(','));
    const auto hours = number(comma < 0 ? QStringView(text) : QStringView(text).left(comma));
    const auto minutes = comma < 0 ? std::optional<qint64>(0) : number(QStringView(text).mid(comma + 1));
    if (!hours || !minutes)
        return std::nullopt;
    return *hours * 60 + *minutes;
}

qint64 MinutesToDays(qint64 minutes)
{
    const qint64 days = qint64(std::nearbyint(double(minutes) / 480));
    return days == 0 && minutes > 0 ? 1 : days;
}

void ChangeMinUnit(Document &doc, TMinUnit unit)
{
    const TMinUnit old = doc.GetMinUnit();
    if (old == unit || (unit != muDay && unit != muMinute))
        return;
    doc.SetMinUnit(unit);
    std::vector<int> dateColumns;
    for (int c = 0; c < doc.GetTableColCount(tbTable); ++c) {
        if (doc.GetColumnType(tbTable, c) == ctDate)
            dateColumns.push_back(c);
    }
    const int lengthColumn = doc.GetConnection(tbTable, cnLength);
    {
        UndoRecordingPause noUndo(doc.UndoRedo());
        doc.ForEach(tbTable, feAll, [&](TNodeData &row) {
            for (int c : dateColumns) {
                const QString text = doc.GetData(&row, c);
                if (const auto date = dateIn(text, old))
                    doc.SetData(&row, c, doc.FormatDateTime(*date));
            }
            if (lengthColumn < 0)
                return;
            const auto minutes = LengthMinutes(doc.GetData(&row, lengthColumn), old);
            if (!minutes)
                return;
            const qint64 written = unit == muDay ? MinutesToDays(*minutes) * 480 : *minutes;
            if (written >= INT_MIN && written <= INT_MAX)
                doc.SetLengthOf(&row, std::int32_t(written));
        });
    }
    // Cell changes recorded before hold texts in the old unit: replaying them
    // now would change what they mean.
    doc.ColumnLayoutChanged();
}
