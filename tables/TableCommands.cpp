#include "tables/TableCommands.h"

#include "document/ChartRows.h"
#include "document/Document.h"
#include "document/DocumentTable.h"
#include "document/program/MessageDialog.h"
#include "document/program/Translation.h"
#include "document/text/CommaText.h"
#include "tables/ClipboardRows.h"

#include <algorithm>

TUndoGroupScope::TUndoGroupScope(Document &doc)
    : FDoc(doc)
    , FPrevious(doc.UndoRedoGroupIndex())
{
    if (FPrevious == -1)
        FDoc.SetUndoRedoGroupIndex(FDoc.UndoRedo().GetGroupIndex());
}

TUndoGroupScope::~TUndoGroupScope()
{
    FDoc.SetUndoRedoGroupIndex(FPrevious);
}

void CB_NodeToStringList(const Document &doc, const TNodeData &row, QStringList &list)
{
    const int positionColumn = doc.GetConnection(row.NodeTable, cnPosition);
    QStringList cells;
    for (int column = 0; column < doc.GetTableColCount(row.NodeTable); ++column) {
        cells.append(
            column == positionColumn ? QString::number(doc.GetPositionOf(&row)) : doc.GetData(&row, column));
    }
    list.append(ClipboardLine(cells));
}

QString SelectedRowsText(Document &doc, TWhichTable table)
{
    QStringList lines;
    doc.ForEach(table, feSelected, [&](TNodeData &row) { CB_NodeToStringList(doc, row, lines); });
    return lines.join(QStringLiteral("\r\n"));
}

int NumPasteableNodes(const QString &clipboard, int columnCount)
{
    const TClipboardRows read = ReadClipboardRows(clipboard, columnCount);
    return read.Accepted() ? int(read.rows.size()) : 0;
}

std::vector<TNodeData *> PasteRows(
    Document &doc, TWhichTable table, const QList<QStringList> &rows, const std::optional<TPastePoint> &at)
{
    std::vector<TNodeData *> pasted;
    if (rows.isEmpty())
        return pasted;
    TUndoGroupScope group(doc);
    UpdateBracket bracket(doc, Translate(QStringLiteral("Paste")));
    const int positionColumn = doc.GetConnection(table, cnPosition);
    const int endColumn = doc.GetConnection(table, cnEnd);

    // Position numbers are chart rows of the shown group where they were
    // copied; the largest one is put on the last row shown here.
    std::vector<int> numbers;
    if (positionColumn >= 0) {
        for (const QStringList &row : rows) {
            bool ok = false;
            const int n = row.value(positionColumn).trimmed().toInt(&ok);
            numbers.push_back(ok ? n : 0);
        }
    }
    const QStringList shown = doc.ChartRows().GlobalPositionFilter();
    const int largest = numbers.empty() ? 0 : *std::max_element(numbers.begin(), numbers.end());
    const int shift = largest >= shown.size() ? largest - int(shown.size()) + 1 : 0;

    pasted.reserve(std::size_t(rows.size()));
    for (qsizetype i = 0; i < rows.size(); ++i) {
        TNodeData *node = doc.AddNode(doc.GetFreeID(), table, true);
        const QStringList &cells = rows[i];
        for (int column = 0; column < cells.size(); ++column) {
            if (column != endColumn && column != positionColumn)
                doc.SetData(node, column, cells[column]);
        }
        if (positionColumn >= 0) {
            const int number = numbers[std::size_t(i)];
            const int index = number - shift;
            QString name;
            if (number == kAllPositions)
                name = QStringLiteral("*");
            else if (index >= 0 && index < shown.size())
                name = TCommaText(shown[index]).Item(0);
            doc.SetData(node, positionColumn, name);
        }
        pasted.push_back(node);
    }
    if (at) {
        doc.DoSetStartOf(pasted.front(), at->date, true);
        doc.SetPositionOf(pasted.front(), at->chartRow);
    }
    return pasted;
}

TNodeData *CopyNode(Document &doc, const TNodeData *row)
{
    if (!row) {
        MessageDlg(
            Translate(QStringLiteral("A task must be selected to copy from.")), mtInformation, { mbOK });
        return nullptr;
    }
    const TWhichTable table = row->NodeTable;
    const int startColumn = doc.GetConnection(table, cnStart);
    const int endColumn = doc.GetConnection(table, cnEnd);
    const QStringList cells = row->StringList; // the copy may move the rows' storage
    TNodeData *copy = doc.AddNode(doc.GetFreeID(), table, true);
    for (int column = 0; column < cells.size(); ++column) {
        if (column != startColumn && column != endColumn)
            doc.SetData(copy, column, cells[column]);
    }
    return copy;
}

std::optional<TSplitPieces> PlanSplit(Document &doc, TNodeData &row, TDateTime date)
{
    if (!row.nodeValid)
        return std::nullopt;
    const bool wholeDays = doc.GetMinUnit() == muDay || row.NodeTable == tbExclude;
    const TDateTime start = doc.GetStartOf(&row);
    // A row of whole days holds its last day in its End cell.
    const TDateTime end = doc.GetEndOf(&row) + (wholeDays ? 1 : 0);
    if (wholeDays)
        date = DatePart(date);
    if (!(start < date && date < end))
        return std::nullopt;
    const std::int32_t length = doc.GetLengthOf(&row);
    const std::int32_t first = doc.calcLengthOf(row, start, date);
    if (first <= 0 || first >= length)
        return std::nullopt;
    return TSplitPieces { start, date, first, length - first };
}

std::optional<std::pair<TNodeData *, TNodeData *>> SplitTask(Document &doc, TNodeData &row, TDateTime date)
{
    const std::optional<TSplitPieces> pieces = PlanSplit(doc, row, date);
    if (!pieces)
        return std::nullopt;
    const QString question = Translate(
        QStringLiteral("Split task at this position (%s)?"), { doc.FormatDateTime(pieces->startB) });
    if (MessageDlg(question, mtConfirmation, { mbOK, mbCancel }) != mrOk)
        return std::nullopt;
    TUndoGroupScope group(doc);
    auto piece = [&](TDateTime start, std::int32_t length) {
        TNodeData *copy = CopyNode(doc, &row);
        doc.SetStartOf(copy, start);
        doc.SetLengthOf(copy, length);
        return copy;
    };
    TNodeData *a = piece(pieces->startA, pieces->lengthA);
    TNodeData *b = piece(pieces->startB, pieces->lengthB);
    doc.DeleteNode(&row, true);
    doc.Host().UpdateStatusBar();
    return std::pair { a, b };
}

bool DeleteSelectedRows(Document &doc, TWhichTable table)
{
    const int count = doc.SelectedCount(table);
    if (count == 0)
        return false;
    const QString question = count == 1
        ? Translate(QStringLiteral("Delete selected task?"))
        : Translate(QStringLiteral("Delete all %s selected tasks?"), { QString::number(count) });
    const bool ok = MessageDlg(question, mtConfirmation, { mbOK, mbCancel }) == mrOk;
    if (ok) {
        TUndoGroupScope group(doc);
        UpdateBracket bracket(doc, Translate(QStringLiteral("Delete Selected Tasks")));
        doc.ForEach(table, feSelected, [&](TNodeData &row) { doc.DeleteNode(&row, true); });
    }
    doc.Host().UpdateStatusBar();
    return ok;
}
