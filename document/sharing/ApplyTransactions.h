#pragma once

#include "document/DocumentTypes.h"
#include "document/sharing/SharingLimits.h"
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
// The base is the row as the working copy holds it.
struct TConflictEntry {
    transactions::TRecordOrderKey key;
    const TXMLNode *record = nullptr;
    bool base = false;
};

// A record the replay refused, and why (for the log and the user).
struct TRefusedRecord {
    transactions::TRecordOrderKey key;
    bool nearTop = false; // else: too far above the row's counter
    QString reason;
};

// What a row in conflict ends with: whether it exists, its table, its cells
// (column, text) in the order first set, its change counter, and the records
// refused on the way.
struct TReplayedRow {
    bool exists = false;
    TWhichTable table = tbTable;
    std::vector<std::pair<int, QString>> cells;
    std::int32_t counter = 0;
    std::vector<TRefusedRecord> refused;
};

// Works a row out from all its known records, replayed in the fixed order: a
// "new" starts the row unless it exists, a "change" sets cells of an existing
// row, a "delete" ends it. A record is refused when its counter lies above
// `limits.counterCeiling`; or more than `limits.counterJump` above the row's
// counter as the other writers left it (the base's counter and the highest
// accepted counter of any other writer: a writer's own records never raise the
// mark its next one is measured from, so no chain of one writer's records
// climbs); or when it jumps more than `limits.counterSlack` above the highest
// accepted counter and the jumps before it, of all writers, leave no room for
// it within `limits.counterJump`. The document is only read.
TReplayedRow ReplayRow(const Document &doc, const QString &id, std::vector<TConflictEntry> entries,
    const TSharingLimits &limits);
