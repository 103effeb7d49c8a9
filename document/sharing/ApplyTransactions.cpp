#include "document/sharing/ApplyTransactions.h"

#include "document/Document.h"
#include "document/program/Log.h"
#include "document/sharing/TransactionRecords.h"
#include "document/xml/XMLNode.h"

#include <algorithm>

using namespace transactions;

namespace {

bool isReservedName(const QString &name)
{
    return name == QLatin1String("__change__") || name == QLatin1String("__user__")
        || name == QLatin1String("__table__");
}

} // namespace

std::vector<std::pair<int, QString>> RecordCells(
    const Document &doc, TWhichTable table, const TXMLNode &record, const QString &id)
{
    std::vector<std::pair<int, QString>> cells;
    for (const auto &child : record.Nodes()) {
        const QString &name = child->Name().Value();
        if (isReservedName(name))
            continue;
        const int column = doc.IndexOfColumnHack(table, name);
        if (column < 0 || column >= doc.GetTableColCount(table))
            continue;
        if (doc.GetColumnType(table, column) != ctDate || child->Value().isEmpty()) {
            cells.emplace_back(column, child->Value());
            continue;
        }
        TDateTime date = 0;
        if (!TryStrToDateTimeFromStorage(child->Value(), date)) {
            // A date its writer could not read either travels as written.
            cells.emplace_back(column, child->Value());
            continue;
        }
        // An empty date cell is stored as day 0; it reads back empty.
        cells.emplace_back(column, date == 0 ? QString() : doc.FormatDateTime(date));
    }
    return cells;
}

void ApplyDiff(
    Document &doc, TNodeData *&row, std::int32_t changeIndex, const QString &id, const TXMLNode &record)
{
    switch (KindOf(record)) {
    case TRecordKind::New: {
        TWhichTable table = tbTable;
        if (!RecordTable(record, table)) {
            Log(QStringLiteral("Row %1: a new row without a valid table is skipped").arg(id));
            return;
        }
        row = doc.AddNode(id, table, false);
        break;
    }
    case TRecordKind::Change:
        break;
    case TRecordKind::Delete:
        if (row)
            doc.DeleteNode(row, false);
        row = nullptr;
        return;
    case TRecordKind::Other:
        return;
    }
    if (!row)
        return;
    for (const auto &[column, text] : RecordCells(doc, row->NodeTable, record, id))
        doc.DoSetData(row, column, text, false);
    RaiseChangeIndex(*row, changeIndex);
}

namespace {

// The highest accepted counter of each writer, and what the others left: the
// two highest, of two different writers, are all a writer's mark needs.
class TWriterMarks {
public:
    std::int32_t OthersThan(const QString &writer) const
    {
        return FFirst.writer == writer ? FSecond.counter : FFirst.counter;
    }
    void Accept(const QString &writer, std::int32_t counter)
    {
        if (counter <= FSecond.counter)
            return;
        if (FFirst.writer == writer) {
            FFirst.counter = std::max(FFirst.counter, counter);
        } else if (counter > FFirst.counter) {
            FSecond = FFirst;
            FFirst = { writer, counter };
        } else {
            FSecond = { writer, counter };
        }
    }

private:
    struct TMark {
        QString writer;
        std::int32_t counter = 0;
    };
    TMark FFirst, FSecond;
};

} // namespace

TReplayedRow ReplayRow(
    const Document &doc, const QString &id, std::vector<TConflictEntry> entries, const TSharingLimits &limits)
{
    std::stable_sort(entries.begin(), entries.end(),
        [](const TConflictEntry &a, const TConflictEntry &b) { return a.key < b.key; });
    TReplayedRow row;
    std::int32_t base = 0;
    TWriterMarks marks;
    // The highest accepted counter of any writer, and what the row may still
    // climb by jumps in this round, whoever makes them: writers' names are the
    // writers' own to choose, so two names taking turns share this.
    std::int32_t highest = 0;
    qint64 jumps = limits.counterJump;
    for (const TConflictEntry &entry : entries) {
        const std::int32_t change = entry.key.change;
        if (entry.base) {
            base = std::clamp(change, 0, limits.counterCeiling);
            highest = std::max(highest, base);
        } else {
            const qint64 mark = std::max(base, marks.OthersThan(entry.key.user));
            if (change > limits.counterCeiling) {
                row.refused.push_back({ entry.key, true,
                    QStringLiteral("its change counter %1 is near the top of its range").arg(change) });
                continue;
            }
            if (qint64(change) > mark + limits.counterJump) {
                row.refused.push_back({ entry.key, false,
                    QStringLiteral("its change counter %1 lies more than %2 above the row's %3")
                        .arg(change)
                        .arg(limits.counterJump)
                        .arg(mark) });
                continue;
            }
            const qint64 climb = qint64(change) - highest;
            if (climb > limits.counterSlack && climb > jumps) {
                row.refused.push_back({ entry.key, false,
                    QStringLiteral("its change counter %1 jumps %2 above the row's, which other jumps "
                                   "already lifted by %3")
                        .arg(change)
                        .arg(climb)
                        .arg(limits.counterJump - jumps) });
                continue;
            }
            if (climb > limits.counterSlack)
                jumps -= climb;
            marks.Accept(entry.key.user, change);
            highest = std::max(highest, change);
        }
        switch (KindOf(*entry.record)) {
        case TRecordKind::New: {
            TWhichTable named = tbTable;
            if (!RecordTable(*entry.record, named))
                continue;
            if (!row.exists) {
                row.exists = true;
                row.table = named;
                row.cells.clear();
                row.counter = 0;
            }
            break;
        }
        case TRecordKind::Change:
            if (!row.exists)
                continue;
            break;
        case TRecordKind::Delete:
            row.exists = false;
            continue;
        case TRecordKind::Other:
            continue;
        }
        for (auto &cell : RecordCells(doc, row.table, *entry.record, id)) {
            auto same = std::find_if(
                row.cells.begin(), row.cells.end(), [&](const auto &c) { return c.first == cell.first; });
            if (same != row.cells.end())
                same->second = std::move(cell.second);
            else
                row.cells.push_back(std::move(cell));
        }
        row.counter = std::max(row.counter, entry.key.change);
    }
    return row;
}
