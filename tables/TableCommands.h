#pragma once

#include "document/DocumentTypes.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

class Document;

// The row commands of the tables on the document: copy and paste of rows as
// clipboard text, copying a row, splitting a task, deleting the selection.
// Each change goes through the document's cell and row operations, so it is
// undoable and shared; a command changing several rows is one undo group.

// Opens an undo group for its lifetime unless one is open already.
class TUndoGroupScope {
public:
    explicit TUndoGroupScope(Document &doc);
    ~TUndoGroupScope();
    TUndoGroupScope(const TUndoGroupScope &) = delete;
    TUndoGroupScope &operator=(const TUndoGroupScope &) = delete;

private:
    Document &FDoc;
    int FPrevious;
};

// Appends the row's clipboard line (CB_NodeToStringList): one cell per column
// of its table, the position column as the row's chart row in the shown group
// (-9 for all positions, -1 when not shown).
void CB_NodeToStringList(const Document &doc, const TNodeData &row, QStringList &list);
// The clipboard text of the selected rows of a table, in tree order.
QString SelectedRowsText(Document &doc, TWhichTable table);

// How many rows the clipboard text would paste into a table: 0 unless every
// line has one field per column.
int NumPasteableNodes(const QString &clipboard, int columnCount);

// Where "paste Task here" puts the first pasted row: its start and chart row.
struct TPastePoint {
    TDateTime date = 0;
    int chartRow = 0;
};
// Pastes rows read from clipboard text (ReadClipboardRows with the table's
// column count) as new rows of the table, each with a fresh ID, in one undo
// group. The End cell follows from start and length and is not written. The
// position numbers become names of the shown rows, shifted so that the
// largest lands on the last row; "all positions" (-9) becomes "*", a number
// outside the rows leaves the position empty. Returns the new rows in order.
std::vector<TNodeData *> PasteRows(Document &doc, TWhichTable table, const QList<QStringList> &rows,
    const std::optional<TPastePoint> &at = std::nullopt);

// A new row with a fresh ID holding every cell of `row` but its start and end
// (CopyNode). Without a row it tells the user and adds nothing.
TNodeData *CopyNode(Document &doc, const TNodeData *row);

// Splitting a task at a date into two tasks, start to split point and split
// point to end. A row measured in whole days (every row of a day document,
// absent rows) ends the day after its End cell and splits at the start of a
// day; a task of an hours document splits at the exact date. Only a complete
// row whose start < split point < end splits, and only when both pieces get
// working time; the two lengths add up to the row's length.
struct TSplitPieces {
    TDateTime startA = 0, startB = 0;
    std::int32_t lengthA = 0, lengthB = 0;
    bool operator==(const TSplitPieces &) const = default;
};
std::optional<TSplitPieces> PlanSplit(Document &doc, TNodeData &row, TDateTime date);
// Asks "Split task at this position (...)?" and on OK replaces the row by its
// two pieces in one undo group. Returns the pieces' rows, or nothing when the
// row does not split or the user declines.
std::optional<std::pair<TNodeData *, TNodeData *>> SplitTask(Document &doc, TNodeData &row, TDateTime date);

// Asks whether to delete the selected rows of a table and deletes them on OK,
// in one undo group. False when there was nothing to delete or the user
// declined.
bool DeleteSelectedRows(Document &doc, TWhichTable table);
