#pragma once

#include "document/DocumentTypes.h"
#include "tables/UpperText.h"

#include <QString>

class Document;

// Finding rows of a table by text: a row matches when the upper-case text of
// one of its cells contains the upper-case search text. Rows are searched in
// tree order, hidden ones too.
class TRowFinder {
public:
    // Takes the search text (FFindString) and returns the first matching row
    // of the table; none for an empty text.
    TNodeData *FindFirst(Document &doc, TWhichTable table, const QString &text);
    // The first matching row after `row` (from the top without a row).
    TNodeData *FindNext(Document &doc, TWhichTable table, const TNodeData *row);
    // The same, starting once more from the top when nothing follows.
    TNodeData *FindNextWrapped(Document &doc, TWhichTable table, const TNodeData *row);

    const QString &FindString() const { return FFindString; }

private:
    bool Matches(const TNodeData &row);

    QString FFindString;
    TUpperText FUpper;
};

// The first row of the table after `row` (from the top without a row) whose
// position is the given one (FindNextInRow); FindFirstInRow starts at the top.
TNodeData *FindNextInRow(const Document &doc, TWhichTable table, int position, const TNodeData *row);
TNodeData *FindFirstInRow(const Document &doc, TWhichTable table, int position);
