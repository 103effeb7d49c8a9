#include "mainwindow/tables/NodeComparer.h"

#include "document/Document.h"
#include "mainwindow/tables/TableCells.h"

TNodeComparer::TNodeComparer(const Document &doc)
    : FDoc(doc)
{ }

int TNodeComparer::CompareNodes(TBaseGridTree &tree, TGridNode *a, TGridNode *b, int column)
{
    const TNodeData *rowA = tree.GetNodeData<TNodeData>(a);
    const TNodeData *rowB = tree.GetNodeData<TNodeData>(b);
    if (!rowA || !rowB)
        return 0;
    return CompareNodes(*rowA, *rowB, column, tree.SortDirection());
}

int TNodeComparer::CompareNodes(const TNodeData &a, const TNodeData &b, int column, TSortDirection direction)
{
    if (column < 0)
        return 0;
    // The tree reverses the result when sorting descending: incomplete rows are
    // put first by answering against the direction.
    const int first = direction == sdAscending ? 1 : -1;
    if (a.nodeValid != b.nodeValid)
        return a.nodeValid ? first : -first;
    const TColumnType type = FDoc.GetColumnType(a.NodeTable, column);
    if (type == ctDate || type == ctNumber) {
        const double x = ValueOf(a, column, type);
        const double y = ValueOf(b, column, type);
        return x < y ? -1 : x > y ? 1 : 0;
    }
    return CompareText(FDoc.GetData(&a, column), FDoc.GetData(&b, column));
}

double TNodeComparer::ValueOf(const TNodeData &row, int column, TColumnType type)
{
    const TMinUnit unit = FDoc.GetMinUnit();
    if (row.NodeTable != FTable || column != FColumn || type != FType || unit != FUnit) {
        FKeys.clear();
        FTable = row.NodeTable;
        FColumn = column;
        FType = type;
        FUnit = unit;
    }
    // Entries of deleted rows are dropped now and then.
    if (FKeys.size() > 2 * qsizetype(FDoc.GetTableRowCount(FTable)) + 64)
        FKeys.clear();
    const QString cell = FDoc.GetData(&row, column);
    auto it = FKeys.find(&row);
    if (it != FKeys.end()) {
        // A changed cell holds other string data; the same data is the same text.
        const bool same = it->text.constData() == cell.constData() && it->text.size() == cell.size();
        if (same || it->text == cell)
            return it->value;
    }
    double value = 0;
    if (type == ctDate) {
        value = FDoc.StrToDateTime(cell);
    } else if (!TryStrToFloat(cell, value)) {
        value = 0;
    }
    FKeys.insert(&row, TKey { cell, value });
    return value;
}
