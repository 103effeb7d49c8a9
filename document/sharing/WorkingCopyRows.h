#pragma once

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QtGlobal>
#include <atomic>
#include <functional>
#include <utility>
#include <vector>

class TXMLNode;

// The rows of a working copy (the children of its document/data element), kept
// for conflict solving, which only ever needs the few rows in conflict. Each row
// is encoded compactly, the encodings are packed into compressed blocks, and a
// row is found by the hash of its ID: a small fraction of the parsed tree, which
// is dropped once this is made. Rows without an ID are never in conflict and are
// not kept.
class TWorkingCopyRows {
public:
    // The rows of the document element's data element under `root` (a parsed
    // file's tree); none when there is none. `passed`, when given, hears how many
    // of the data element's children were read so far (the rows before stay unread
    // from then on, and may go).
    explicit TWorkingCopyRows(const TXMLNode &root, std::atomic<int> *passed = nullptr);
    // A row given by its parts: an element with the one attribute "id" and
    // children that are texts only (name and text each), in file order.
    struct TFlatRow {
        const QString &name;
        const QString &id;
        const std::vector<std::pair<const QString *, const QString *>> &children;
    };
    // Where a row source hands its rows, one by one in file order, each as a
    // parse of the file gives it: no tree of the whole file needed.
    class TRowSink {
    public:
        virtual ~TRowSink() = default;
        virtual void Add(const TXMLNode &row) = 0;
        virtual void Add(const TFlatRow &row) = 0;
    };
    using TRowSource = std::function<void(TRowSink &sink)>;
    explicit TWorkingCopyRows(const TRowSource &rows);

    struct TRow {
        int position = 0; // 1-based among all children of the data element
        const TXMLNode *node = nullptr;
    };
    // Copies of every row whose ID is in `ids`, made as children of `into`, in
    // file order.
    std::vector<TRow> RowsOf(const QSet<QString> &ids, TXMLNode &into) const;
    int Count() const { return int(FEntries.size()); }
    // What the encoded rows take (compressed blocks and the index).
    qsizetype ByteSize() const;

private:
    class TBuilder;
    struct TEntry {
        quint32 hash; // of the ID
        int position;
        int block;
        int offset; // of the ID, followed by the row, in the uncompressed block
    };
    std::vector<TEntry> FEntries; // by hash, then position
    std::vector<QByteArray> FBlocks; // compressed
};
