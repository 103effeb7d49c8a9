#pragma once

#include "document/DocumentTypes.h"
#include "document/sharing/TransactionRecords.h"

#include <QString>
#include <cstdint>
#include <utility>
#include <vector>

class Document;
class TXMLNode;

// Applying transaction records to the document. Rows change only through the
// model's operations with change recording off, so applying a record never
// queues a record of its own.

// The cells a record sets in a row of `table`, in record order: (column, cell
// text). Children that name no column are skipped; a date in its stored form
// becomes the document's cell text (day 0 an empty cell). A value that cannot be
// read is logged and only that cell is skipped.
std::vector<std::pair<int, QString>> RecordCells(
    const Document &doc, TWhichTable table, const TXMLNode &record, const QString &id);

// Applies one record to `row` (null: no row) and leaves the resulting row (or
// null) in it: "new" adds the row unless it exists and sets its cells, "change"
// sets the cells of an existing row, "delete" removes it. A row's change counter
// becomes the larger of its own and `changeIndex`.
void ApplyDiff(
    Document &doc, TNodeData *&row, std::int32_t changeIndex, const QString &id, const TXMLNode &record);

// One known record of a row in conflict, with the key that orders its replay.
struct TConflictEntry {
    transactions::TRecordOrderKey key;
    const TXMLNode *record = nullptr;
};

// What a row in conflict ends with: whether it exists, its table, its cells
// (column, text) in the order first set, and its change counter.
struct TReplayedRow {
    bool exists = false;
    TWhichTable table = tbTable;
    std::vector<std::pair<int, QString>> cells;
    std::int32_t counter = 0;
};

// Works a row out from all its known records, replayed in the fixed order: a
// "new" starts the row unless it exists, a "change" sets cells of an existing
// row, a "delete" ends it. A record whose counter lies more than `counterJump`
// above every counter replayed before it (starting from 0) is refused and logged.
// The document is only read.
TReplayedRow ReplayRow(
    const Document &doc, const QString &id, std::vector<TConflictEntry> entries, std::int32_t counterJump);
