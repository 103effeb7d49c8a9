#include "tables/RowFinder.h"

#include "document/Document.h"
#include "document/DocumentTable.h"

TNodeData *TRowFinder::FindFirst(Document &doc, TWhichTable table, const QString &text)
{
    FFindString = text.toUpper();
    return FindNext(doc, table, nullptr);
}

TNodeData *TRowFinder::FindNext(Document &doc, TWhichTable table, const TNodeData *row)
{
    if (FFindString.isEmpty())
        return nullptr;
    const DocumentTable &rows = doc.GetTable(table);
    for (TNodeData *r = row ? rows.Next(row) : rows.First(); r; r = rows.Next(r)) {
        if (Matches(*r))
            return r;
    }
    return nullptr;
}

TNodeData *TRowFinder::FindNextWrapped(Document &doc, TWhichTable table, const TNodeData *row)
{
    TNodeData *found = FindNext(doc, table, row);
    return found || !row ? found : FindNext(doc, table, nullptr);
}

bool TRowFinder::Matches(const TNodeData &row)
{
    for (const QString &cell : row.StringList) {
        if (FUpper.Of(cell).contains(FFindString))
            return true;
    }
    return false;
}

TNodeData *FindNextInRow(const Document &doc, TWhichTable table, int position, const TNodeData *row)
{
    const DocumentTable &rows = doc.GetTable(table);
    for (TNodeData *r = row ? rows.Next(row) : rows.First(); r; r = rows.Next(r)) {
        if (r->nodePosition == position)
            return r;
    }
    return nullptr;
}

TNodeData *FindFirstInRow(const Document &doc, TWhichTable table, int position)
{
    return FindNextInRow(doc, table, position, nullptr);
}
