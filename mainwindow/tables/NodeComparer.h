#pragma once

#include "components/BaseGridTree.h"
#include "document/DocumentTypes.h"

#include <QHash>
#include <QString>

class Document;

// The row order of the task tables (the tree's compare event). Incomplete rows
// come first in both directions; then date columns compare by date, number
// columns by value (a text that does not convert counts as 0), all others as
// texts ignoring the case of ASCII letters.
//
// A sort compares each row about log2(rows) times: the dates and numbers read
// from cells are kept per row and used again while the cell still holds the
// same text, so a sort parses every cell once.
class TNodeComparer {
public:
    explicit TNodeComparer(const Document &doc);

    // < 0: a first, > 0: b first, 0: keep the order. `direction` is the tree
    // header's sort direction (the tree reverses the result for descending).
    int CompareNodes(const TNodeData &a, const TNodeData &b, int column, TSortDirection direction);
    // The same for two nodes of a table's tree, in its sort direction.
    int CompareNodes(TBaseGridTree &tree, TGridNode *a, TGridNode *b, int column);

private:
    struct TKey {
        QString text;
        double value = 0;
    };
    double ValueOf(const TNodeData &row, int column, TColumnType type);

    const Document &FDoc;
    // The keys of one column: valid for the table, column, type and time unit
    // they were read with.
    TWhichTable FTable = tbTable;
    int FColumn = -1;
    TColumnType FType = ctText;
    TMinUnit FUnit = muDay;
    QHash<const TNodeData *, TKey> FKeys;
};
