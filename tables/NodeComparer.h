#pragma once

#include "components/BaseGridTree.h"
#include "document/DocumentTypes.h"

#include <QHash>
#include <QString>
#include <QStringView>
#include <functional>
#include <map>
#include <utility>
#include <vector>

class Document;

// One key of a multi-key sort: a column and its direction.
struct TSortKey {
    int column = 0;
    TSortDirection direction = sdAscending;
    bool operator==(const TSortKey &) const = default;
};

// The row order of the task tables (the tree's compare event). Incomplete rows
// come first in both directions; then date columns compare by date, number
// columns by value (a text that does not convert counts as 0), all others as
// texts ignoring the case of ASCII letters.
//
// A sort by the sort command reads every row's keys once before the tree
// sorts (SortTree): the comparisons then only look them up by the rows'
// places. Dates and numbers read from cells are kept per row and used again
// while the cell holds the same text, so a cell is parsed once, not at every
// sort.
class TNodeComparer {
public:
    explicit TNodeComparer(const Document &doc);

    // < 0: a first, > 0: b first, 0: keep the order. `direction` is the tree
    // header's sort direction (the tree reverses the result for descending).
    int CompareNodes(const TNodeData &a, const TNodeData &b, int column, TSortDirection direction);
    // The same for two nodes of a table's tree, in its sort direction.
    int CompareNodes(TBaseGridTree &tree, TGridNode *a, TGridNode *b, int column);

    // Sorts the table's tree by the keys in one stable sort: the first key
    // decides, each later key breaks the ties of those before it, as sorting
    // by each key from the last to the first would. The tree header shows
    // the first key afterwards.
    // mayPaint false keeps the comparing from the long-work runner (its loop paints).
    void SortTree(Document &doc, TWhichTable table, const std::vector<TSortKey> &keys, bool mayPaint = true);

    // Runs the part of a sort of `rows` rows that reads their keys and
    // compares them (it only reads the rows and this comparer's values) where
    // the owner likes: a window keeps painting while a large table sorts on
    // other threads. Unset: here, at once.
    using TLongWork = std::function<void(std::size_t rows, const std::function<void()> &work)>;
    void SetLongWorkRunner(TLongWork runner) { FRunLong = std::move(runner); }

private:
    struct TCachedValue {
        QString text;
        double value = 0;
    };
    // The values read from one column's cells, valid for the column's type
    // and the document's time unit they were read with.
    struct TColumnValues {
        TColumnType type = ctText;
        TMinUnit unit = muDay;
        QHash<const TNodeData *, TCachedValue> rows;
    };

    double ValueOf(const TNodeData &row, int column, TColumnType type);

    const Document &FDoc;
    TLongWork FRunLong;
    std::map<std::pair<TWhichTable, int>, TColumnValues> FValues;
};
