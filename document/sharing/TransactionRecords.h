#pragma once

#include "document/DocumentTypes.h"
#include "document/NodeEvents.h"
#include "platform/Result.h"

#include <QString>
#include <cstdint>
#include <memory>

class TXMLNode;
class TXMLTree;

// Reading and numbering the records of a transaction file: the children of its
// `document/diff` element, named "new", "change" or "delete", each with the
// attributes `id` and `index` and the children `__change__`, `__user__`,
// `__table__` (new only) and one per changed column.
namespace transactions {

enum class TRecordKind { New, Change, Delete, Other };

TRecordKind KindOf(const TXMLNode &record);

// The highest record index of a diff element: its `index` attribute when present
// and not -1, else the largest `index` among its records, else -1.
int getIndex(const TXMLNode &diff);
// The index of the next record: getIndex + 1, written back into the diff element.
// An empty file without any index starts at 1 as if its index were 0, so no record
// is ever written with an index that readers skip. Callers first make sure the
// file can take the records (CanTakeRecords).
int updateIndex(TXMLNode &diff);
// Whether `count` more records still get indexes that fit in 32 bits; a file
// that cannot take them is continued under the next file name.
bool CanTakeRecords(const TXMLNode &diff, qint64 count);

// A record's index; a missing or negative one reads as 0.
int RecordIndex(const TXMLNode &record);
// The `__change__` child as a 32-bit number; missing or not a number reads as 0.
std::int32_t RecordChangeIndex(const TXMLNode &record);
// A row's counter becomes the larger of its own and a record's (compared as
// 32-bit signed numbers, as the files hold them).
void RaiseChangeIndex(TNodeData &row, std::int32_t changeIndex);
// The `__user__` child's text; missing reads as empty.
QString RecordUser(const TXMLNode &record);
// The table a "new" record names. False when `__table__` is neither "tbTable" nor
// "tbExclude" (a damaged record must not make a row of the wrong table).
bool RecordTable(const TXMLNode &record, TWhichTable &table);

// Whether a freshly read transaction file is whole: its diff element's index
// matches its highest record (a file cut short between records would not).
platform::Status IsCompleteTransactionTree(const TXMLTree &tree);

// The `id` attribute; empty when missing.
QString RecordID(const TXMLNode &record);
// What tells a record from every other, whichever file holds it: its kind, row,
// writer, counter and cells (a record stored again keeps all of them).
QString RecordKey(const TXMLNode &record);

// The fixed order in which every instance replays the records of a row: change
// index, then writer (ordinal; none first), then file name, then record index.
struct TRecordOrderKey {
    std::int32_t change = 0;
    QString user;
    QString file;
    int index = 0;
};
bool operator<(const TRecordOrderKey &a, const TRecordOrderKey &b);

} // namespace transactions

// A record read back from a transaction file, to be stored again as it stands:
// its writer, counter and cells are kept.
class TStoredRecordEvent : public TNodeEvent {
public:
    explicit TStoredRecordEvent(const TXMLNode &record);
    void AppendToXML(TXMLNode &node) const override;
    QString XMLNodeName() const override { return FName; }

private:
    QString FName;
    std::shared_ptr<const TXMLTree> FCopy; // the record, the only child of its root
};
