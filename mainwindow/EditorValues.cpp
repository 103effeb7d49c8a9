#include "mainwindow/EditorValues.h"

#include "document/Document.h"
#include "document/DocumentTable.h"
#include "tables/TableCells.h"

#include <cstdint>

TEditorValues CollectEditorValues(const Document &Doc, TWhichTable Table)
{
    TEditorValues values;
    const int columns = Doc.GetTableColCount(Table);
    values.Columns.resize(std::size_t(columns));
    const DocumentTable &rows = Doc.GetTable(Table);
    // Columns found differing are not looked at again, and once all differ no
    // row is: a few selected rows are found through the selection, many (all of
    // a plan's) by the table's own list, which ends the walk after a few rows
    // instead of putting all of them in order first.
    std::vector<int> open;
    bool first = true;
    const bool few = std::int64_t(rows.SelectedCount()) * 16 <= rows.RowCount();
    std::vector<TNodeData *> selected;
    if (few)
        selected = rows.SelectedRows();
    for (const TNodeData *row : few ? selected : rows.Rows()) {
        if (!few && !rows.IsSelected(row))
            continue;
        if (first) {
            first = false;
            for (int c = 0; c < columns; ++c) {
                values.Columns[std::size_t(c)].Value = CellOf(*row, c);
                open.push_back(c);
            }
            continue;
        }
        std::erase_if(open, [&](int c) {
            TEditorValue &value = values.Columns[std::size_t(c)];
            if (CellOf(*row, c) == value.Value)
                return false;
            value.Value.clear();
            value.Differs = true;
            return true;
        });
        if (open.empty())
            break;
    }
    values.Selected = rows.SelectedCount();
    return values;
}
