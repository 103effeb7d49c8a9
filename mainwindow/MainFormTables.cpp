// The task tables: the trees' event handlers (one set for both tables), the
// multi-key sort from the header, the selection bookkeeping and the keys the
// window takes before its controls.
#include "components/gui/GTHeader.h"
#include "components/gui/GridTreeColumns.h"
#include "components/gui/GridTreeHintWindow.h"
#include "components/gui/GridTreeOptions.h"
#include "components/gui/ImageList.h"
#include "components/gui/StringGridTree.h"
#include "dialogs/menus/FlatMenuManager.h"
#include "document/Document.h"
#include "document/DocumentTable.h"
#include "document/calendar/DateTime.h"
#include "document/commands/DocumentCommands.h"
#include "document/gui/DrawingRoutines.h"
#include "document/gui/WindowTranslation.h"
#include "document/program/Translation.h"
#include "mainwindow/DocumentViews.h"
#include "mainwindow/MainForm.h"
#include "mainwindow/MainImages.h"
#include "tables/TaskTables.h"
#include "timechart/BarPainter.h"
#include "timechart/CanvasPanel.h"
#include "timechart/TimeChart.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QTabBar>
#include <QTabWidget>

void TMainForm::BuildTables()
{
    FStringGridTree1 = new TStringGridTree(FDocument->GetTable(tbTable).Tree(), FPageControl1);
    FStringGridTree1->setObjectName(QStringLiteral("StringGridTree1"));
    FStringGridTree2 = new TStringGridTree(FDocument->GetTable(tbExclude).Tree(), FPageControl1);
    FStringGridTree2->setObjectName(QStringLiteral("StringGridTree2"));
    FPageControl1->addTab(FStringGridTree1, Translate(QStringLiteral("Tasks")));
    FPageControl1->addTab(FStringGridTree2, Translate(QStringLiteral("Days absent")));
    SetUpTree(*FStringGridTree1, tbTable);
    SetUpTree(*FStringGridTree2, tbExclude);
    FTableViews = std::make_unique<TTableViews>(*FDocument, *FStringGridTree1, *FStringGridTree2);
    connect(FPageControl1, &QTabWidget::currentChanged, this, [this] { PageControl1Change(); });
}

void TMainForm::SetUpTree(TStringGridTree &tree, TWhichTable table)
{
    TCustomGridTreeOptions &options = tree.TreeOptions();
    TGTPaintOptions paint = options.PaintOptions();
    paint = paint - TGTPaintOptions { toShowRoot, toShowTreeLines, toShowButtons }
        + TGTPaintOptions { toHotTrack };
    options.SetPaintOptions(paint);
    options.SetMiscOptions(options.MiscOptions() + TGTMiscOptions { toReportMode });
    options.SetAutoOptions(options.AutoOptions() + TGTAutoOptions { toAutoSort });
    options.SetSelectionOptions({ toFullRowSelect, toMultiSelect });
    TGTHeader &header = tree.Header();
    header.SetDefaultHeight(17);
    header.SetHeight(17);
    header.SetImages(FImageList.get());
    // The header's hints show a filtered column's filter (its column hint).
    header.SetOptions({ hoVisible, hoShowHint, hoShowImages, hoShowSortGlyphs, hoHotTrack, hoColumnResize,
        hoDblClickResize });
    // The tables' popup is made with the edit menus, after the tables: the trees
    // ask for it when it is to open.
    tree.OnGetPopupMenu
        = [this](TGridTreeView &, TGridNode *, TColumnIndex, QPoint, bool &askParent, QMenu *&menu) {
              askParent = false;
              menu = GridTreePopupMenu;
          };

    tree.OnGetText = [this](TCustomStringGridTree &sender, TGridNode *node, TColumnIndex column, TGSTTextType,
                         QString &text) { StringGridTreeGetText(sender, node, column, text); };
    tree.OnPaintText
        = [this](TCustomStringGridTree &sender, QPainter &canvas, TGridNode *node, TColumnIndex column,
              TGSTTextType) { StringGridTreePaintText(sender, canvas, node, column); };
    tree.OnBeforeCellPaint
        = [this](TGridTreeView &sender, QPainter &canvas, TGridNode *node, TColumnIndex column,
              TGTCellPaintMode mode, const TRect &cellRect, TRect &contentRect) {
              if (mode == cpmPaint)
                  StringGridTreeBeforeCellPaint(sender, canvas, node, column, cellRect, contentRect);
          };
    // The fill leaves the cell's content where it is.
    tree.SetNoContentMargins(true);
    tree.OnAfterCellPaint = [this](TGridTreeView &sender, QPainter &canvas, TGridNode *node,
                                TColumnIndex column, const TRect &cellRect) {
        StringGridTreeAfterCellPaint(sender, canvas, node, column, cellRect);
    };
    tree.OnHeaderClick = [this](TGTHeader &sender, const TGTHeaderHitInfo &info) {
        StringGridTreeHeaderClick(sender, info);
    };
    // A row that is not on the chart says why, where its cells tell.
    tree.SetHintMode(hmHint);
    tree.OnGetHint = [this](TCustomStringGridTree &sender, TGridNode *node, TColumnIndex,
                         TGTHintLineBreakStyle &lineBreak, QString &hint) {
        if (const TNodeData *row = RowOf(sender, node)) {
            hint = GetRowHint(*FDocument, *row);
            lineBreak = hlbForceMultiLine;
        }
    };
    // Fitted columns hold their texts in the widest font a cell is painted in:
    // selected rows are bold.
    tree.OnBeforeGetMaxColumnWidth
        = [this](TGridTreeView &, TColumnIndex, bool &) { FMeasuringWidths = true; };
    tree.OnAfterGetMaxColumnWidth = [this, table](TGridTreeView &, TColumnIndex column, int &width) {
        FMeasuringWidths = false;
        if (FTableViews && FDocument->GetColumnType(table, column) == ctDate)
            width = std::max(width, FTableViews->DateColumnWidth(table));
    };

    TBaseGridTree &store = FDocument->GetTable(table).Tree();
    store.OnChange = [this](TBaseGridTree &sender, TGridNode *node) { StringGridTreeChange(sender, node); };
    // The document's own handler keeps its index of row IDs; ours runs first.
    FTreeFreeNode[table] = store.OnFreeNode;
    store.OnFreeNode = [this, table](TBaseGridTree &sender, TGridNode *node) {
        StringGridTreeFreeNode(sender, node);
        if (FTreeFreeNode[table])
            FTreeFreeNode[table](sender, node);
    };
}

void TMainForm::ReleaseTree(TStringGridTree &tree, TWhichTable table)
{
    TBaseGridTree &store = FDocument->GetTable(table).Tree();
    store.OnChange = nullptr;
    store.OnFreeNode = FTreeFreeNode[table];
    tree.OnGetText = nullptr;
    tree.OnPaintText = nullptr;
    tree.OnBeforeCellPaint = nullptr;
    tree.SetNoContentMargins(false);
    tree.OnAfterCellPaint = nullptr;
    tree.OnHeaderClick = nullptr;
    tree.OnGetHint = nullptr;
    tree.OnBeforeGetMaxColumnWidth = nullptr;
    tree.OnAfterGetMaxColumnWidth = nullptr;
    tree.OnGetPopupMenu = nullptr;
    tree.OnClick = nullptr;
}

TNodeData *TMainForm::RowOf(const TGridTreeView &view, TGridNode *node)
{
    return node && view.Tree() ? view.Tree()->GetNodeData<TNodeData>(node) : nullptr;
}

// ---------------------------------------------------------------- tree events

void TMainForm::StringGridTreeGetText(
    TCustomStringGridTree &sender, TGridNode *node, int column, QString &cellText) const
{
    const TNodeData *row = RowOf(sender, node);
    cellText = row ? FTables->GetText(*row, column) : QString();
}

void TMainForm::StringGridTreePaintText(TCustomStringGridTree &sender, QPainter &canvas, TGridNode *node, int)
{
    const TNodeData *row = RowOf(sender, node);
    if (!row)
        return;
    const TRowFont style = FTables->PaintText(*row, FMeasuringWidths || sender.Tree()->Selected(node));
    // A fit only measures: the colour would be a new pen a cell for nothing.
    if (style.color && !FMeasuringWidths)
        canvas.setPen(ToQColor(*style.color));
    if (style.italic || style.bold)
        canvas.setFont(FRowFonts.Styled(canvas.font(), style.italic, style.bold));
}

void TMainForm::StringGridTreeBeforeCellPaint(
    TGridTreeView &sender, QPainter &canvas, TGridNode *node, int column, const TRect &cellRect, TRect &)
{
    const TNodeData *row = RowOf(sender, node);
    if (!row)
        return;
    if (const std::optional<std::uint32_t> fill = FTables->BeforeCellPaint(row->NodeTable, column))
        canvas.fillRect(ToQRect(cellRect), ToQColor(*fill));
}

void TMainForm::StringGridTreeAfterCellPaint(
    TGridTreeView &sender, QPainter &canvas, TGridNode *node, int, const TRect &cellRect)
{
    const TNodeData *row = RowOf(sender, node);
    if (!row)
        return;
    const std::optional<TWavyLine> line
        = FTables->AfterCellPaint(*row, cellRect.Left, cellRect.Right - cellRect.Left, cellRect.Bottom);
    if (line)
        SnakeLine(canvas, line->x, line->y, line->width, 0);
}

void TMainForm::StringGridTreeHeaderClick(TGTHeader &sender, const TGTHeaderHitInfo &hitInfo)
{
    int left = 0, right = 0;
    sender.Columns().GetColumnBounds(hitInfo.Column, left, right);
    switch (FTables->HeaderClick(hitInfo.Column, hitInfo.Button, hitInfo.X, left)) {
    case hcFilter:
        ActionFilter->trigger();
        break;
    case hcSort:
        ActionSortExecute();
        break;
    case hcMenu:
        GridTreeHeaderPopupMenu->popup(
            sender.Treeview().HeaderWidget().mapToGlobal(QPoint(hitInfo.X, hitInfo.Y)));
        break;
    case hcNone:
        break;
    }
}

void TMainForm::StringGridTreeChange(TBaseGridTree &sender, TGridNode *node)
{
    const TWhichTable table = &sender == &FDocument->GetTable(tbExclude).Tree() ? tbExclude : tbTable;
    const TSelectedList::TChange change = FTables->Change(table, SelectedRows(table));
    // The list marked the changed rows' bars for redraw.
    if (change.repaint.size() > TTimeChart::RowRepaintLimit) {
        Tree(table).viewport()->update();
        FTimeChart->RepaintSelectionChange(table, change.repaint, change.left, change.kept);
    } else {
        const RowBatch batch(*FDocument);
        for (TNodeData *row : change.repaint) {
            FDocument->InvalidateNode(row, true);
            Tree(table).InvalidateNode(row->VNode);
        }
    }
    ResetFlashSelectedTimer();
    const QWidget *active = QApplication::focusWidget();
    if (node && change.centre && active != &FTimeChart->TimeChart())
        CenterNode(*change.centre);
    SeteditorVisible(FDocument->GetTable(table).SelectedCount() >= 1);
    FDocument->SelectionChanged(table);
}

void TMainForm::StringGridTreeClick()
{
    ResetFlashSelectedTimer();
}

void TMainForm::StringGridTreeFreeNode(TBaseGridTree &sender, TGridNode *node)
{
    // The row's texts, bar and ID go with the node's record.
    if (TNodeData *row = sender.GetNodeData<TNodeData>(node))
        FTables->RowDeleted(*row);
}

std::vector<TNodeData *> TMainForm::SelectedRows(TWhichTable table) const
{
    return FDocument->GetTable(table).SelectedRows();
}

TNodeData *TMainForm::FirstSelected(TWhichTable table) const
{
    TBaseGridTree &store = FDocument->GetTable(table).Tree();
    TGridNode *node = store.GetFirstSelected();
    return node ? store.GetNodeData<TNodeData>(node) : nullptr;
}

// ---------------------------------------------------------------- sorting and columns

void TMainForm::ActionSortExecute()
{
    const TWhichTable table = GetActiveTable();
    FTables->ActionSort(table);
    // The sort glyphs move to the new keys' columns (the store's sort column is set
    // past the header); overlapping bars are drawn in their table's order: the new
    // order restacks them. The overview's boxes are opaque and alike, drawn over
    // each other in any order, so it stays: drawing all of a large plan's again
    // would cost more than the sort.
    Tree(table).HeaderWidget().update();
    FTimeChart->TimeChart().Invalidate();
    const QList<QAction *> items = SortMenu->actions();
    for (int i = 0; i < items.size(); ++i) {
        const int image = FTables->SortMenuImage(table, i);
        items[i]->setIcon(image >= 0 ? QIcon(QPixmap::fromImage(FImageList->Image(image))) : QIcon());
    }
}

void TMainForm::SortSubMenuClick(int tag)
{
    FTables->SetActiveColumn(tag);
    ActionSortExecute();
}

int TMainForm::ActiveColumn() const
{
    return FTables->ActiveColumn();
}

void TMainForm::ActionAutoSizeExecute()
{
    ActiveTree().Header().AutoFitColumns(false, smaUseColumnOption, 0, -1);
}

void TMainForm::AutoFitColumns()
{
    for (TWhichTable table : { tbTable, tbExclude }) {
        FTableViews->SyncColumns(table);
        Tree(table).Header().AutoFitColumns(false, smaUseColumnOption, 0, -1);
    }
}

void TMainForm::RebuildSortMenu()
{
    // The active table's columns, each item tagged with its column.
    SortMenu->clear();
    const TWhichTable table = GetActiveTable();
    for (int column = 0; column < FDocument->GetTableColCount(table); ++column) {
        QAction *item = SortMenu->addAction(FDocument->GetColumnCaption(table, column));
        item->setData(column);
        item->setCheckable(true);
        item->setChecked(column == Tree(table).Header().SortColumn());
        connect(item, &QAction::triggered, this, [this, column] { SortSubMenuClick(column); });
    }
    TFlatMenuManager::ActivateMenuItem(SortMenu->menuAction(), true);
}

void TMainForm::UpdateTextChanged(const QString &, bool busy)
{
    if (busy)
        return;
    // The end of an update bracket: what depends on the columns is made anew
    // only when they changed (rebuilding the editor's inputs reads every row);
    // the rows are always refiltered and counted.
    if (FColumnsChanged) {
        FColumnsChanged = false;
        PageControl1Change();
        return;
    }
    if (FEditor)
        FilterData(GetActiveTable());
    UpdateStatusBar();
    UpdateActions();
}

void TMainForm::ColumnsChanged(TWhichTable table)
{
    if (table != GetActiveTable() || !SortMenu)
        return;
    if (FDocument->IsUpdating())
        FColumnsChanged = true;
    else
        PageControl1Change();
}

// ---------------------------------------------------------------- selection

void TMainForm::ActionSelectAllExecute()
{
    if (ControlIsEdit(QApplication::focusWidget())) {
        if (auto *edit = QApplication::focusWidget())
            QMetaObject::invokeMethod(edit, "selectAll");
        return;
    }
    FDocument->GetTable(GetActiveTable()).Tree().SelectAll(true);
}

bool TMainForm::GetSelected(const TNodeData &row) const
{
    return FDocument->GetTable(row.NodeTable).IsSelected(&row);
}

void TMainForm::CB_InvalidateNode(TNodeData &row)
{
    FDocument->InvalidateNode(&row, GetSelected(row));
}

void TMainForm::ResetFlashSelectedTimer()
{
    FTimeChart->BarPainter().SetFlashStep(0);
    if (FDocument->GetTable(GetActiveTable()).SelectedCount() > 0)
        FTimeChart->FlashSelectedTimer().start();
    else
        FTimeChart->FlashSelectedTimer().stop();
}

void TMainForm::CenterNode(TNodeData &row)
{
    FTimeChart->CenterNode(&row);
}

// ---------------------------------------------------------------- keys

bool TMainForm::KeysAllowed() const
{
    const QWidget *active = QApplication::focusWidget();
    if (!active || active->window() != this)
        return active == nullptr;
    for (const QWidget *w = active; w; w = w->parentWidget()) {
        if (w == FStringGridTree1 || w == FStringGridTree2 || w == &FTimeChart->TimeChart()
            || w == static_cast<const QWidget *>(&FTimeChart->TabControl1()))
            return true;
        if (w == this)
            break;
    }
    return false;
}

bool TMainForm::FormKeyDown(QKeyEvent &event)
{
    if (!KeysAllowed())
        return false;
    const Qt::KeyboardModifiers mods = event.modifiers();
    int step = 1;
    if (mods & Qt::ControlModifier) {
        int year = 0, month = 0, day = 0;
        DecodeDate(FTimeChart->TimeChartStart(), year, month, day);
        step = DaysInMonth(year, month);
    } else if (mods & Qt::ShiftModifier) {
        step = 7;
    }
    // The arrows scroll the chart and go on to the focused control (a table
    // still moves its focus with them); a page key that steps the selection by
    // one row is the window's alone.
    switch (event.key()) {
    case Qt::Key_Delete:
        ActionDeleteNodeExecute();
        return true;
    case Qt::Key_Left:
        FTimeChart->SetTimeChartStart(FTimeChart->TimeChartStart() - step);
        return false;
    case Qt::Key_Right:
        FTimeChart->SetTimeChartStart(FTimeChart->TimeChartStart() + step);
        return false;
    case Qt::Key_Up:
        FTimeChart->SetTimeChartTop(FTimeChart->TimeChartTop() - FTimeChart->TimeChartRowHeight(0));
        return false;
    case Qt::Key_Down:
        FTimeChart->SetTimeChartTop(FTimeChart->TimeChartTop() + FTimeChart->TimeChartRowHeight(0));
        return false;
    case Qt::Key_PageDown:
    case Qt::Key_PageUp:
        if (FDocument->GetTable(GetActiveTable()).SelectedCount() != 1)
            return false;
        TableKeyPageMove(event.key() == Qt::Key_PageDown);
        return true;
    default:
        return false;
    }
}

void TMainForm::TableKeyPageMove(bool down)
{
    TBaseGridTree &store = FDocument->GetTable(GetActiveTable()).Tree();
    TGridNode *current = store.GetFirstSelected();
    TGridNode *next = down ? store.GetNextVisible(current) : store.GetPreviousVisible(current);
    if (!next)
        return;
    store.ClearSelection();
    store.SetSelected(next, true);
    store.SetFocusedNode(next);
    ActiveTree().ScrollIntoView(next, false);
}

bool TMainForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()
        && static_cast<QWidget *>(watched)->window() == this) {
        // A key press passes the filter once for each widget on its way up to
        // the window; the window takes it where it starts.
        const QWidget *focus = QApplication::focusWidget();
        if (watched == focus || (watched == this && (!focus || focus->window() != this))) {
            if (FormKeyDown(*static_cast<QKeyEvent *>(event)))
                return true;
        }
    }
    // A window made after the language was chosen (the dialogs are made when first
    // used) speaks it from its first showing on; the menus are the window's own.
    if (event->type() == QEvent::Show && watched != this && watched->isWidgetType()
        && static_cast<QWidget *>(watched)->isWindow() && !qobject_cast<QMenu *>(watched)) {
        const QVariant language = FCommands->Language();
        if (watched->property(kTranslatedTo) != language) {
            watched->setProperty(kTranslatedTo, language);
            ::Translate(watched);
            TranslateUnnamed(watched);
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
