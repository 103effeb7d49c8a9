#pragma once

#include "tables/HeaderClick.h"
#include "tables/NodeComparer.h"
#include "tables/SelectedList.h"
#include "tables/SortKeys.h"
#include "tables/TableCells.h"

#include <array>
#include <cstddef>
#include <functional>

class Document;

// What the two task tables do that needs no window: the main window owns one
// and calls it from the trees' events (one handler set for both trees). It
// answers the rows' order itself: it is the compare event of both tables'
// trees while it lives.
class TTaskTables {
public:
    explicit TTaskTables(Document &doc);
    ~TTaskTables();
    TTaskTables(const TTaskTables &) = delete;
    TTaskTables &operator=(const TTaskTables &) = delete;

    // The tree events.
    QString GetText(const TNodeData &row, int column) const { return GetCellText(FDoc, row, column); }
    TRowFont PaintText(const TNodeData &row, bool selected) const { return GetRowFont(FDoc, row, selected); }
    std::optional<std::uint32_t> BeforeCellPaint(TWhichTable table, int column) const
    {
        return GetCellFill(FDoc, table, column);
    }
    std::optional<TWavyLine> AfterCellPaint(
        const TNodeData &row, int cellLeft, int cellWidth, int cellBottom) const
    {
        return GetWavyLine(row, cellLeft, cellWidth, cellBottom);
    }
    // A header click makes the column the active one and tells what follows:
    // the filter popup, the sort command or the header's menu.
    THeaderClickAction HeaderClick(int column, Qt::MouseButton button, int x, int columnLeft);
    // The selection of a table changed (`selected`: its rows now, in tree
    // order): which rows to repaint and which one the chart shows.
    TSelectedList::TChange Change(TWhichTable table, const std::vector<TNodeData *> &selected);

    // FActiveColumn: the column the sort command, the filter popup and the
    // column menus act on.
    int ActiveColumn() const { return FActiveColumn; }
    void SetActiveColumn(int column) { FActiveColumn = column; }

    // The sort command on the active column of a table: keys, question,
    // sorting. Then each sort-menu item shows SortMenuImage(table, item).
    void ActionSort(TWhichTable table);
    // Where the comparing part of the sort command runs (see TNodeComparer).
    // isLong tells which row counts are worth it; a table that long also makes
    // the automatic sort at a bracket's end that way.
    void SetLongWorkRunner(TNodeComparer::TLongWork runner, std::function<bool(std::size_t rows)> isLong)
    {
        FComparer.SetLongWorkRunner(std::move(runner));
        FIsLongWork = std::move(isLong);
    }
    int SortMenuImage(TWhichTable table, int item) const;
    const TSortKeys &SortKeys() const { return FSortKeys; }

    // The document was emptied: the selection lists and the sort keys of both
    // tables go.
    void Reset();
    // A row is deleted: it leaves the selection list of its table.
    void RowDeleted(const TNodeData &row) { FSelectedList[row.NodeTable].Remove(&row); }
    // Whether the row is in its table's list of selected rows.
    bool Listed(const TNodeData &row) const { return FSelectedList[row.NodeTable].Contains(&row); }
    // Columns inserted and removed: the sort keys follow.
    void ColumnInserted(TWhichTable table, int index) { FSortKeys.ColumnInserted(table, index); }
    void ColumnRemoved(TWhichTable table, int index) { FSortKeys.ColumnRemoved(table, index); }
    void ColumnsRelaid(TWhichTable table, const std::vector<int> &origin)
    {
        FSortKeys.ColumnsRelaid(table, origin);
    }

private:
    Document &FDoc;
    TNodeComparer FComparer;
    std::function<bool(std::size_t rows)> FIsLongWork;
    TSortKeys FSortKeys;
    std::array<TSelectedList, kTableCount> FSelectedList;
    int FActiveColumn = 0;
};
