// The row commands of the tables: clipboard, add, delete, split, find, go to,
// undo and redo, and the column commands of the setup.
#include "components/gui/StringGridTree.h"
#include "dialogs/misc/GotoDialog.h"
#include "document/ChartRows.h"
#include "document/Document.h"
#include "document/DocumentTable.h"
#include "document/program/Translation.h"
#include "mainwindow/DialogWindows.h"
#include "mainwindow/MainForm.h"
#include "tables/ClipboardRows.h"
#include "tables/TableCommands.h"
#include "tables/TaskTables.h"
#include "timechart/TimeChart.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <numeric>

namespace {

// What an edit control does with a clipboard command of the window: its own.
void EditCommand(QWidget *control, const char *slot)
{
    if (auto *combo = qobject_cast<QComboBox *>(control); combo && combo->lineEdit())
        control = combo->lineEdit();
    if (control)
        QMetaObject::invokeMethod(control, slot);
}

} // namespace

bool TMainForm::ControlIsEdit(const QWidget *control)
{
    return qobject_cast<const QLineEdit *>(control) || qobject_cast<const QTextEdit *>(control)
        || qobject_cast<const QPlainTextEdit *>(control) || qobject_cast<const QComboBox *>(control)
        || qobject_cast<const QCheckBox *>(control) || qobject_cast<const QAbstractSpinBox *>(control);
}

int TMainForm::NumPasteableNodes() const
{
    const QString text = QGuiApplication::clipboard()->text();
    if (text.isEmpty())
        return 0;
    return ::NumPasteableNodes(text, FDocument->GetTableColCount(GetActiveTable()));
}

// ---------------------------------------------------------------- clipboard

void TMainForm::ActionCopyExecute()
{
    QWidget *active = QApplication::focusWidget();
    if (active && !ControlIsEdit(active)) {
        QGuiApplication::clipboard()->setText(SelectedRowsText(*FDocument, GetActiveTable()));
        return;
    }
    EditCommand(active, "copy");
}

void TMainForm::ActionCutExecute()
{
    QWidget *active = QApplication::focusWidget();
    if (active && !ControlIsEdit(active)) {
        const TWhichTable table = GetActiveTable();
        QGuiApplication::clipboard()->setText(SelectedRowsText(*FDocument, table));
        TUndoGroupScope group(*FDocument);
        UpdateBracket bracket(*FDocument, Translate(QStringLiteral("Cut")));
        FDocument->ForEach(table, feSelected, [this](TNodeData &row) { FDocument->DeleteNode(&row, true); });
        return;
    }
    EditCommand(active, "cut");
}

void TMainForm::ActionPasteExecute(bool fromChartPopup)
{
    QWidget *active = QApplication::focusWidget();
    // From the chart's popup the rows always go to the chart, whatever field has
    // the focus; otherwise a focused edit field takes the text itself.
    if (!fromChartPopup && (!active || ControlIsEdit(active))) {
        EditCommand(active, "paste");
        return;
    }
    PasteRows(fromChartPopup);
}

void TMainForm::ActionPasteNodeExecute()
{
    ActionPasteExecute(true);
}

void TMainForm::PasteRows(bool atChartPoint)
{
    const TWhichTable table = GetActiveTable();
    const TClipboardRows read
        = ReadClipboardRows(QGuiApplication::clipboard()->text(), FDocument->GetTableColCount(table));
    if (!read.Accepted())
        return;
    std::optional<TPastePoint> at;
    if (atChartPoint) {
        TPastePoint point;
        point.chartRow
            = (FTimeChart->TimeChartTop() + FMouse.y()) / std::max(1, FTimeChart->TimeChartRowHeight(0));
        if (table == tbTable && FDocument->GetMinUnit() == muMinute)
            point.date = FTimeChart->GetExactDate(FMouse.x(), point.chartRow);
        else
            point.date
                = FMouse.x() / std::max(1, FTimeChart->GetTimeChartColWidth()) + FTimeChart->TimeChartStart();
        at = point;
    }
    const std::vector<TNodeData *> pasted = ::PasteRows(*FDocument, table, read.rows, at);
    SelectRows(table, pasted);
}

// ---------------------------------------------------------------- rows

void TMainForm::SelectRows(TWhichTable table, const std::vector<TNodeData *> &rows)
{
    TBaseGridTree &store = FDocument->GetTable(table).Tree();
    store.BeginUpdate();
    store.ClearSelection();
    TNodeArray nodes;
    nodes.reserve(rows.size());
    for (TNodeData *row : rows)
        nodes.push_back(row->VNode);
    store.AddToSelection(nodes, int(nodes.size()));
    store.EndUpdate();
    if (!rows.empty()) {
        store.SetFocusedNode(rows.front()->VNode);
        Tree(table).ScrollIntoView(rows.front()->VNode, false);
    }
}

void TMainForm::ActionAddNodeExecute()
{
    const TWhichTable table = GetActiveTable();
    DocumentTable &rows = FDocument->GetTable(table);
    TNodeData *row = nullptr;
    {
        TUndoGroupScope group(*FDocument);
        row = FDocument->AddNode(FDocument->GetFreeID(), table, true);
        // The new row passes the filters shown: it takes the first shown row's
        // cells in every filtered column.
        TGridNode *firstShown = rows.Tree().GetFirstVisible();
        const TNodeData *model = firstShown && firstShown != row->VNode
            ? rows.Tree().GetNodeData<TNodeData>(firstShown)
            : nullptr;
        if (model) {
            const QStringList cells = model->StringList;
            for (int column = 0; column < FDocument->GetTableColCount(table); ++column) {
                const THeaderData *header = FDocument->GetHeader(table, column);
                if (header && header->IsFiltered())
                    FDocument->SetData(row, column, cells.value(column));
            }
        }
        FDocument->SetPositionOf(row, 0);
    }
    SelectRows(table, { row });
}

void TMainForm::ActionDeleteNodeExecute()
{
    if (ControlIsEdit(QApplication::focusWidget()))
        return;
    DeleteSelectedRows(*FDocument, GetActiveTable());
}

void TMainForm::ActionSplitExecute()
{
    const TWhichTable table = GetActiveTable();
    TNodeData *row = FirstSelected(table);
    if (!row)
        return;
    const int colWidth = std::max(1, FTimeChart->GetTimeChartColWidth());
    const int chartRow
        = (FTimeChart->TimeChartTop() + FMouse.y()) / std::max(1, FTimeChart->TimeChartRowHeight(0));
    // Whole-day rows split at the start of the day under the pointer, an hours
    // document's tasks at the minute under it.
    const TDateTime date = table == tbTable && FDocument->GetMinUnit() == muMinute
        ? FTimeChart->GetExactDate(FMouse.x(), chartRow)
        : FMouse.x() / colWidth + FTimeChart->TimeChartStart();
    FDocument->GetTable(table).Tree().SetFocusedNode(row->VNode);
    if (const auto pieces = SplitTask(*FDocument, *row, date))
        SelectRows(table, { pieces->second });
}

// ---------------------------------------------------------------- find

TNodeData *TMainForm::FindFirst(const QString &text)
{
    return FFinder.FindFirst(*FDocument, GetActiveTable(), text);
}

TNodeData *TMainForm::FindNext(const TNodeData *row)
{
    return FFinder.FindNext(*FDocument, GetActiveTable(), row);
}

TNodeData *TMainForm::FindFirstInRow(int position) const
{
    return ::FindFirstInRow(*FDocument, GetActiveTable(), position);
}

TNodeData *TMainForm::FindNextInRow(int position, const TNodeData *row) const
{
    return ::FindNextInRow(*FDocument, GetActiveTable(), position, row);
}

void TMainForm::Edit2Change()
{
    const TWhichTable table = GetActiveTable();
    TNodeData *found = FindFirst(FEdit2->text());
    if (found == FirstSelected(table))
        return;
    SelectRows(table, found ? std::vector<TNodeData *> { found } : std::vector<TNodeData *> {});
}

void TMainForm::ToolButton17Click()
{
    const TWhichTable table = GetActiveTable();
    TNodeData *found = FFinder.FindNextWrapped(*FDocument, table, FirstSelected(table));
    if (!found)
        return;
    TBaseGridTree &store = FDocument->GetTable(table).Tree();
    if (store.Selected(found->VNode) && store.SelectedCount() > 1) {
        store.SetFocusedNode(found->VNode);
        Tree(table).ScrollIntoView(found->VNode, false);
        return;
    }
    SelectRows(table, { found });
}

void TMainForm::focusselectednode(TWhichTable table)
{
    if (TNodeData *row = FirstSelected(table))
        FDocument->GetTable(table).Tree().SetFocusedNode(row->VNode);
}

// ---------------------------------------------------------------- go to, undo, redo

void TMainForm::ActionGotoExecute()
{
    TGotoDialog &dialog = DialogWindows().GotoDialog();
    dialog.SetDate(FTimeChart->TimeChartStart());
    if (dialog.exec() != QDialog::Accepted)
        return;
    const TDateTime date = dialog.Date();
    FTimeChart->SetUserdate(date);
    FTimeChart->UpdateBoundsProc();
    FTimeChart->SetTimeChartDestination(date, FTimeChart->TimeChartTop(), false);
}

// A group may re-create or remove thousands of rows: the tables sort, refilter
// and repaint once, at the end.
void TMainForm::ActionUndoExecute()
{
    UpdateBracket bracket(*FDocument, Translate(QStringLiteral("Undo")));
    FDocument->UndoRedo().Undo();
}

void TMainForm::ActionRedoExecute()
{
    UpdateBracket bracket(*FDocument, Translate(QStringLiteral("Redo")));
    FDocument->UndoRedo().Redo();
}

// ---------------------------------------------------------------- columns

void TMainForm::InsertColumn(TWhichTable table, int index)
{
    const int count = FDocument->GetTableColCount(table);
    index = std::clamp(index, 0, count);
    std::vector<int> origin(static_cast<std::size_t>(count));
    std::iota(origin.begin(), origin.end(), 0);
    origin.insert(origin.begin() + index, -1);
    // Roles move with their columns.
    FDocument->RelayColumns(table, origin);
    FDocument->ColumnLayoutChanged();
    FTables->ColumnInserted(table, index);
}

void TMainForm::RemoveColumn(TWhichTable table, int index)
{
    const int count = FDocument->GetTableColCount(table);
    if (index < 0 || index >= count)
        return;
    std::vector<int> origin(static_cast<std::size_t>(count));
    std::iota(origin.begin(), origin.end(), 0);
    origin.erase(origin.begin() + index);
    // The removed column's roles become -1, those of later columns move with them.
    FDocument->RelayColumns(table, origin);
    FDocument->ColumnLayoutChanged();
    FTables->ColumnRemoved(table, index);
}

void TMainForm::FocusNewNode(TNodeData &node)
{
    SelectRows(node.NodeTable, { &node });
}
