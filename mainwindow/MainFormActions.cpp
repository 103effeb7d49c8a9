// Every action of the main window with its menus and tool bars, made in one
// place, and the rules that enable them. A later part of the window adds its
// actions here.
#include "components/gui/ImageList.h"
#include "components/gui/StringGridTree.h"
#include "document/Document.h"
#include "document/DocumentTable.h"
#include "document/commands/DocumentCommands.h"
#include "document/program/Translation.h"
#include "document/sharing/DirWatch.h"
#include "mainwindow/MainForm.h"
#include "mainwindow/MainImages.h"
#include "tables/TaskTables.h"
#include "timechart/OverlapSolver.h"
#include "timechart/TimeChart.h"

#include <QAction>
#include <QLineEdit>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

namespace {

QIcon IconOf(const TImageList &images, int index)
{
    return QIcon(QPixmap::fromImage(images.Image(index)));
}

} // namespace

QAction *TMainForm::NewAction(
    const QString &caption, const char *name, std::function<void()> handler, const QKeySequence &key)
{
    auto *action = new QAction(Translate(caption), this);
    action->setObjectName(QString::fromLatin1(name));
    if (!key.isEmpty())
        action->setShortcut(key);
    if (handler)
        connect(action, &QAction::triggered, this, [handler = std::move(handler)] { handler(); });
    // Shortcuts work wherever the focus is in the window; the handlers decide
    // what an edit field keeps for itself.
    addAction(action);
    return action;
}

void TMainForm::BuildActions()
{
    const TImageList &images = *FImageList;
    auto withIcon = [&images](QAction *action, int image) {
        action->setIcon(IconOf(images, image));
        return action;
    };

    // File.
    ActionNew
        = withIcon(NewAction(QStringLiteral("&New"), "ActionNew", [this] { ActionNewExecute(); }), miNew);
    ActionOpen = withIcon(
        NewAction(QStringLiteral("&Open..."), "ActionOpen", [this] { ActionOpenExecute(); }), miOpen);
    ActionSave = withIcon(NewAction(
                              QStringLiteral("&Save"), "ActionSave", [this] { ActionSaveExecute(); },
                              QKeySequence(Qt::CTRL | Qt::Key_S)),
        miSave);
    ActionSaveAs
        = NewAction(QStringLiteral("Save &As..."), "ActionSaveAs", [this] { ActionSaveAsExecute(); });
    ActionClose = NewAction(
        QStringLiteral("E&xit"), "ActionClose", [this] { ActionCloseExecute(); },
        QKeySequence(Qt::ALT | Qt::Key_X));
    // Printing, the recent files and new instances come with their parts of the
    // window: their actions exist (the idle tick keeps their states).
    ActionPrintTimechart
        = withIcon(NewAction(QStringLiteral("Print Timechart..."), "ActionPrintTimechart", {}), miPrint);
    ActionPrintList
        = withIcon(NewAction(QStringLiteral("Print List..."), "ActionPrintList", {}), miPrintList);
    // The workbook layer is part of the program: both Excel items are always there.
    ExcelImport1
        = NewAction(QStringLiteral("Excel Import..."), "ExcelImport1", [this] { ExcelImport1Click(); });
    Exportieren1 = NewAction(QStringLiteral("Excel Export"), "Exportieren1", [this] { Exportieren1Click(); });
    Neu = NewAction(QStringLiteral("&New"), "Neu", {});
    for (std::size_t i = 0; i < ActionLastFile.size(); ++i)
        ActionLastFile[i]
            = NewAction(QString(), QStringLiteral("ActionLastFile%1").arg(i + 1).toLatin1().constData(), {});

    // Edit.
    ActionUndo = withIcon(NewAction(
                              QStringLiteral("Undo"), "ActionUndo", [this] { ActionUndoExecute(); },
                              QKeySequence(Qt::CTRL | Qt::Key_Z)),
        miUndo);
    ActionRedo = withIcon(NewAction(
                              QStringLiteral("Redo"), "ActionRedo", [this] { ActionRedoExecute(); },
                              QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)),
        miRedo);
    ActionCut = withIcon(NewAction(
                             QStringLiteral("Cut"), "ActionCut", [this] { ActionCutExecute(); },
                             QKeySequence(Qt::CTRL | Qt::Key_X)),
        miCut);
    ActionCopy = withIcon(NewAction(
                              QStringLiteral("Copy"), "ActionCopy", [this] { ActionCopyExecute(); },
                              QKeySequence(Qt::CTRL | Qt::Key_C)),
        miCopy);
    ActionPaste = withIcon(NewAction(
                               QStringLiteral("Paste"), "ActionPaste", [this] { ActionPasteExecute(); },
                               QKeySequence(Qt::CTRL | Qt::Key_V)),
        miPaste);
    ActionPasteNode = withIcon(
        NewAction(QStringLiteral("paste Task here"), "ActionPasteNode", [this] { ActionPasteNodeExecute(); }),
        miPaste);
    ActionSelectAll = withIcon(NewAction(
                                   QStringLiteral("Select all"), "ActionSelectAll",
                                   [this] { ActionSelectAllExecute(); }, QKeySequence(Qt::CTRL | Qt::Key_A)),
        miSelectAll);
    ActionAddNode = withIcon(NewAction(
                                 QStringLiteral("Add Task"), "ActionAddNode",
                                 [this] { ActionAddNodeExecute(); }, QKeySequence(Qt::CTRL | Qt::Key_T)),
        miAddNode);
    ActionDeleteNode = withIcon(NewAction(QStringLiteral("Delete Selected Tasks"), "ActionDeleteNode",
                                    [this] { ActionDeleteNodeExecute(); }),
        miDeleteNode);
    ActionSplit = withIcon(
        NewAction(QStringLiteral("Split Task here"), "ActionSplit", [this] { ActionSplitExecute(); }),
        miSplit);
    ActionGoto = withIcon(
        NewAction(QStringLiteral("Goto Date..."), "ActionGoto", [this] { ActionGotoExecute(); }), miGoto);
    ActionSort = withIcon(
        NewAction(QStringLiteral("Sort"), "ActionSort", [this] { ActionSortExecute(); }), miSortAscending);
    ActionAutoSize = withIcon(NewAction(QStringLiteral("Optimal column width"), "ActionAutoSize",
                                  [this] { ActionAutoSizeExecute(); }),
        miAutoSize);
    ActionFilter = withIcon(
        NewAction(QStringLiteral("Filter..."), "ActionFilter", [this] { ActionFilterExecute(); }), miFilter);
    ActionClearFilter
        = withIcon(NewAction(QStringLiteral("Clear Filter"), "ActionClearFilter", {}), miClearFilter);
    ActionClearAllFilters = withIcon(
        NewAction(QStringLiteral("Clear all Filters"), "ActionClearAllFilters", {}), miClearAllFilters);
    // The column filters, the editor window and the overlap solving come with
    // their parts (and so do their menu entries).
    EditorAsForm = NewAction(QStringLiteral("Editor as Window"), "EditorAsForm", {});
    EditorAsForm->setCheckable(true);
    ActionSolveOverlapping = NewAction(QStringLiteral("Solve overlapping"), "ActionSolveOverlapping",
        [this] { FTimeChart->Solver().ActionSolveOverlappingExecute(); });
    ActionSolveOverlappingSingle = NewAction(QStringLiteral("Solve overlapping in multi-row resources"),
        "ActionSolveOverlappingSingle",
        [this] { FTimeChart->Solver().ActionSolveOverlappingSingleExecute(); });

    // View and options.
    Statuszeileanzeigen1 = NewAction(
        QStringLiteral("Status Bar"), "Statuszeileanzeigen1", [this] { Statuszeileanzeigen1Click(); });
    Statuszeileanzeigen1->setCheckable(true);
    Statuszeileanzeigen1->setChecked(true);
    localUndo = NewAction(QStringLiteral("Undo local changes only"), "localUndo", {});
    localUndo->setCheckable(true);
    localUndo->setChecked(FDocument->LocalUndo());
    connect(localUndo, &QAction::toggled, this, [this](bool on) { FDocument->SetLocalUndo(on); });
    BuildPrintActions();
    BuildSetupActions();
}

void TMainForm::BuildEditMenus()
{
    // The column menus of the sort, the filters and the statistics, filled with their parts.
    SortMenu = NewMenu(Translate(QStringLiteral("Sort")), "SortMenu");
    FilterMenu = NewMenu(Translate(QStringLiteral("Filter")), "FilterMenu");
    NumericStatisticsMenu = NewMenu(Translate(QStringLiteral("Statistics")), "NumericStatisticsMenu");
    Utilisation1 = NewMenu(Translate(QStringLiteral("Utilisation")), "Utilisation1");
    // The tables' menu, the header's (opened by code) and the chart's.
    GridTreePopupMenu = NewMenu(QString(), "GridTreePopupMenu");
    GridTreeHeaderPopupMenu = NewMenu(QString(), "GridTreeHeaderPopupMenu");
    TimeChartPopupMenu = NewMenu(QString(), "TimeChartPopupMenu");
}

void TMainForm::BuildToolBars()
{
    FToolBar1 = addToolBar(Translate(QStringLiteral("Toolbar")));
    FToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    FToolBar1->setMovable(false);
    FToolBar1->setIconSize(QSize(16, 16));
    FToolBar1->addActions({ ActionNew, ActionOpen, ActionSave });
    FToolBar1->addSeparator();
    FToolBar1->addActions({ ActionPrintTimechart, ActionPrintList });
    FToolBar1->addSeparator();
    FToolBar1->addActions({ ActionCut, ActionCopy, ActionPaste });
    FToolBar1->addSeparator();
    FToolBar1->addActions({ ActionUndo, ActionRedo });
    FToolBar1->addSeparator();
    FToolBar1->addActions({ ActionAddNode, ActionDeleteNode });
    FToolBar1->addSeparator();

    // The find field: typing finds, Enter or the button finds the next row.
    FEdit2 = new QLineEdit(FToolBar1);
    FEdit2->setObjectName(QStringLiteral("Edit2"));
    FEdit2->setFixedWidth(140);
    FEdit2->setPlaceholderText(Translate(QStringLiteral("Find")));
    FToolBar1->addWidget(FEdit2);
    connect(FEdit2, &QLineEdit::textEdited, this, [this] { Edit2Change(); });
    connect(FEdit2, &QLineEdit::returnPressed, this, [this] { FToolButton17->click(); });
    FToolButton17 = new QToolButton(FToolBar1);
    FToolButton17->setObjectName(QStringLiteral("ToolButton17"));
    FToolButton17->setIcon(IconOf(*FImageList, miFind));
    FToolButton17->setToolTip(Translate(QStringLiteral("Find next")));
    FToolBar1->addWidget(FToolButton17);
    connect(FToolButton17, &QToolButton::clicked, this, [this] { ToolButton17Click(); });
    FToolBar1->addSeparator();
    FToolBar1->addAction(ActionGoto);
    FToolBar1->addSeparator();
    // The chart's colour legends, in the rest of the tool bar. The chart keeps
    // its bar hidden until it is placed; a widget added hidden would stay so.
    QWidget &legends = FTimeChart->LegendBar();
    legends.setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    legends.show();
    FToolBar1->addWidget(&legends);
}

// ---------------------------------------------------------------- enabling rules

void TMainForm::ActionUseNodeUpdate()
{
    ActionDeleteNode->setEnabled(FDocument->GetTable(GetActiveTable()).SelectedCount() > 0);
}

void TMainForm::ActionSplitUpdate()
{
    // Not while overlaps wait to be solved (the overlap solving's own rule).
    ActionSplit->setEnabled(
        FDocument->GetTable(GetActiveTable()).SelectedCount() == 1 && !FDocument->HasOverlappingNodes());
}

void TMainForm::ActionPrintUpdate()
{
    const bool rows = FDocument->GetTableRowCount(tbTable) > 0;
    ActionPrintTimechart->setEnabled(rows);
    ActionPrintList->setEnabled(rows);
}

void TMainForm::UpdateActions()
{
    SolveOverlappingEnabled(FTimeChart->Solver().ActionSolveOverlappingUpdate());
    ActionUseNodeUpdate();
    // While the chart's popup is open, its items keep what the chart gave them.
    if (!TimeChartPopupMenu->isVisible())
        ActionSplitUpdate();
    ActionPrintUpdate();
    PrintActionsUpdate();
    UpdateUndoActions(FDocument->UndoRedo().GetCanUndo(), FDocument->UndoRedo().GetCanRedo());
    for (QAction *action : { Neu, ActionNew, ActionOpen, ActionSaveAs, ExcelImport1 })
        action->setEnabled(true);
    for (QAction *action : ActionLastFile)
        action->setEnabled(true);
    ActionSave->setEnabled(FCommands->Watcher().Changed());
    if (FFilters)
        ActionClearAllFiltersUpdate();
}

void TMainForm::Statuszeileanzeigen1Click()
{
    statusBar()->setVisible(Statuszeileanzeigen1->isChecked());
}
