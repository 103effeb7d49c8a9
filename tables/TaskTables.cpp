#include "tables/TaskTables.h"

#include "document/Document.h"
#include "document/DocumentTable.h"
#include "document/RowWalkProgress.h"

TTaskTables::TTaskTables(Document &doc)
    : FDoc(doc)
    , FComparer(doc)
{
    for (TWhichTable table : { tbTable, tbExclude }) {
        FDoc.GetTable(table).Tree().OnCompareNodes
            = [this](TBaseGridTree &tree, TGridNode *a, TGridNode *b, int column) {
                  return FComparer.CompareNodes(tree, a, b, column);
              };
        // The comparer reads the cells, the rows' validity and the column types.
        FDoc.GetTable(table).Tree().OnOrderStamp = [this](TBaseGridTree &) { return FDoc.CellsRevision(); };
        // A long table's sort at a bracket's end (the open's, an edit's) reads
        // and compares its keys as a header sort does, on other threads. Only
        // an open's lets the window paint meanwhile: its views are held still
        // and it paints between its steps anyway, while after an edit the other
        // views have not yet taken the change in.
        FDoc.GetTable(table).Tree().OnSortWholeTree
            = [this, table](TBaseGridTree &tree, int column, TSortDirection direction) {
                  const bool isLong = FIsLongWork && FIsLongWork(tree.RootNodeCount());
                  if (column >= 0 && !isLong)
                      return false;
                  // Every row is set up first, as the tree's own sort does.
                  tree.ValidateChildren(nullptr, false);
                  if (column < 0) {
                      // No sort column: all rows compare equal and keep their places.
                      tree.SortTreeBy(column, direction,
                          [](const std::vector<TGridNode *> &) { return std::vector<uint32_t>(); });
                  } else {
                      FComparer.SortTree(FDoc, table, { { column, direction } }, TRowWalkProgress::Active());
                  }
                  return true;
              };
    }
}

TTaskTables::~TTaskTables()
{
    for (TWhichTable table : { tbTable, tbExclude }) {
        FDoc.GetTable(table).Tree().OnCompareNodes = nullptr;
        FDoc.GetTable(table).Tree().OnOrderStamp = nullptr;
        FDoc.GetTable(table).Tree().OnSortWholeTree = nullptr;
    }
}

THeaderClickAction TTaskTables::HeaderClick(int column, Qt::MouseButton button, int x, int columnLeft)
{
    FActiveColumn = column;
    return HeaderClickAction(button, x, columnLeft);
}

void TTaskTables::Reset()
{
    for (TWhichTable table : { tbTable, tbExclude }) {
        FSelectedList[table] = TSelectedList();
        FSortKeys.Clear(table);
    }
}

TSelectedList::TChange TTaskTables::Change(TWhichTable table, const std::vector<TNodeData *> &selected)
{
    return FSelectedList[table].Change(selected);
}

void TTaskTables::ActionSort(TWhichTable table)
{
    FSortKeys.Sort(FDoc, table, FActiveColumn);
    FSortKeys.ApplySortKeys(FDoc, table, FComparer);
}

int TTaskTables::SortMenuImage(TWhichTable table, int item) const
{
    const THeaderData *header = FDoc.GetHeader(table, FActiveColumn);
    return header ? ::SortMenuImage(item, FActiveColumn, header->SortAscending) : -1;
}
