#include "dialogs/print/RowChoice.h"

#include "document/Document.h"
#include "document/DocumentTable.h"

bool RowCovered(const Document &doc, TWhichTable table, const TNodeData &row, TRowChoice choice)
{
    const DocumentTable &rows = doc.GetTable(table);
    switch (choice) {
    case TRowChoice::All: {
        const int position = doc.GetPositionOf(&row);
        return position >= 0 || position == kAllPositions;
    }
    case TRowChoice::Filtered:
        return !rows.IsHidden(&row);
    case TRowChoice::Selected:
        return rows.IsSelected(&row);
    }
    return false;
}

int CoveredCount(const Document &doc, TWhichTable table, TRowChoice choice)
{
    int count = 0;
    ForEachCovered(doc, table, choice, [&count](TNodeData &) { ++count; });
    return count;
}

void ForEachCovered(const Document &doc, TWhichTable table, TRowChoice choice,
    const std::function<void(TNodeData &row)> &callback)
{
    const DocumentTable &rows = doc.GetTable(table);
    for (TNodeData *row = rows.First(); row;) {
        TNodeData *next = rows.Next(row);
        if (RowCovered(doc, table, *row, choice))
            callback(*row);
        row = next;
    }
}
