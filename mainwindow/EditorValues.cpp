#include "mainwindow/EditorValues.h"

#include "document/Document.h"
#include "document/DocumentTable.h"
#include "tables/TableCells.h"

TEditorValues CollectEditorValues(const Document &Doc, TWhichTable Table)
{
    TEditorValues values;
    const int columns = Doc.GetTableColCount(Table);
    values.Columns.resize(std::size_t(columns));
    const DocumentTable &rows = Doc.GetTable(Table);
    // Columns found differing are not looked at again.
    std::vector<int> open;
    bool first = true;
    for (const TNodeData *row : rows.SelectedRows()) {
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
