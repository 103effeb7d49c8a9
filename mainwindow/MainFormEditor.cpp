// The editor panel in the main window: where it sits, what a table switch makes
// anew (the editor's fields, the column menus, the filtering), and its settings.
#include "components/gui/GTHeader.h"
#include "components/gui/GridTreeColumns.h"
#include "components/gui/ImageList.h"
#include "components/gui/StringGridTree.h"
#include "dialogs/menus/FlatMenuManager.h"
#include "document/ChartInvalidation.h"
#include "document/ChartRows.h"
#include "document/Document.h"
#include "document/DocumentTable.h"
#include "document/RowWalkProgress.h"
#include "document/commands/DocumentCommands.h"
#include "document/program/Translation.h"
#include "document/text/CommaText.h"
#include "mainwindow/MainForm.h"
#include "mainwindow/MainImages.h"
#include "platform/gui/ShellOpen.h"
#include "timechart/TimeChart.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <memory>
#include <utility>
#include <vector>

void TMainForm::BuildEditor()
{
    FEditor = std::make_unique<TEditor>(*FDocument, *this, *this);
    FSplitter2->addWidget(&FEditor->EditorPanel());
    FSplitter2->setStretchFactor(1, 0);
    FFilters = std::make_unique<TFilterCommands>(*FDocument, *this, this);

    connect(EditorAsForm, &QAction::triggered, this, [this] { EditorAsFormClick(); });
    connect(FEditor.get(), &TEditor::EditorAsFormChanged, EditorAsForm, &QAction::setChecked);
    connect(ActionClearFilter, &QAction::triggered, this, [this] { ActionClearFilterExecute(); });
    connect(ActionClearAllFilters, &QAction::triggered, this, [this] { ActionClearAllFiltersExecute(); });
}

void TMainForm::PageControl1Change()
{
    if (!FEditor)
        return;
    const TWhichTable table = GetActiveTable();
    if (table == tbTable) {
        if (const QString problem = FEditor->LoadAutofill(FCommands->FileName()); !problem.isEmpty())
            ShowWritten(problem);
    }
    // Each step reads every row or every position: an open that ends here
    // paints between them (elsewhere the pauses do nothing).
    TRowWalkProgress::Pause();
    RedrawItemStructImages();
    RebuildColumnMenus();
    TRowWalkProgress::Pause();
    UpdateStatusBar();
    UpdateActions();
    TRowWalkProgress::Pause();
    // The fields are made anew: one that has the keys gives them up first.
    if (QWidget *focused = QApplication::focusWidget();
        focused && FEditor->EditorScrollBox().isAncestorOf(focused))
        focused->clearFocus();
    FEditor->Rebuild(table);
    // Tab from the table goes to the editor's first field, not through the tool bar
    // (an editor in a window of its own has its own chain).
    if (QWidget *first = FEditor->EditorScrollBox().FirstField(); first && first->window() == window())
        QWidget::setTabOrder(&Tree(table), first);
    SeteditorVisible(FDocument->GetTable(table).SelectedCount() >= 1);
    UpdateEditor();
    FDocument->ForEach(table, feSelected, [](TNodeData &row) { row.RecalcBitmap = true; });
    ::InvalidateTimeChart(*FDocument);
    TRowWalkProgress::Pause();
    FilterData(table);
}

void TMainForm::RebuildColumnMenus()
{
    const TWhichTable table = GetActiveTable();
    const int columns = FDocument->GetTableColCount(table);
    auto icon = [this](int image) { return QIcon(QPixmap::fromImage(FImageList->Image(image))); };

    FilterMenu->clear();
    for (int column = 0; column < columns; ++column) {
        QAction *item = FilterMenu->addAction(FDocument->GetColumnCaption(table, column));
        item->setData(column);
        item->setIcon(
            icon(FDocument->GetHeader(table, column)->IsFiltered() ? miColumnFiltered : miColumnNotFiltered));
        connect(item, &QAction::triggered, this, [this, column] { FilterSubMenuClick(column); });
    }
    FilterMenu->addSeparator();
    FilterMenu->addAction(ActionClearAllFilters);

    RebuildSortMenu();

    NumericStatisticsMenu->clear();
    // The column submenus go with their entries: clear() would leave them behind,
    // hidden, one set for every rebuild.
    for (QAction *item : Utilisation1->actions()) {
        if (item->menu())
            item->menu()->deleteLater();
    }
    Utilisation1->clear();
    for (int column = 0; column < columns; ++column) {
        if (FDocument->GetColumnType(table, column) != ctNumber)
            continue;
        const QString caption = FDocument->GetColumnCaption(table, column);
        QAction *sum = NumericStatisticsMenu->addAction(caption);
        sum->setData(column);
        connect(sum, &QAction::triggered, this, [this, column] { NumericStatisticsClick(column); });

        QMenu *positions = Utilisation1->addMenu(caption);
        positions->menuAction()->setData(column);
        QAction *all = positions->addAction(Translate(QStringLiteral("alle")));
        all->setData(-1);
        connect(all, &QAction::triggered, this,
            [this, column, caption] { Utilisation1Click(-1, column, caption); });
        positions->addSeparator();
        // The positions of now, entered when the menu first opens: a plan may
        // have thousands, and each entry is made, styled and measured alone.
        const QStringList rows = FDocument->ChartRows().GlobalPositionFilter();
        std::vector<bool> multiRow(std::size_t(rows.size()));
        for (int row = 0; row < rows.size(); ++row)
            multiRow[std::size_t(row)] = FTimeChart->isMultiRow(row);
        auto filled = std::make_shared<bool>(false);
        connect(
            positions, &QMenu::aboutToShow, this, [this, positions, column, caption, rows, multiRow, filled] {
                if (std::exchange(*filled, true))
                    return;
                int number = 0;
                for (int row = 0; row < rows.size(); ++row) {
                    if (multiRow[std::size_t(row)])
                        continue;
                    const int tag = ++number;
                    QAction *position = positions->addAction(TCommaText(rows[row]).Item(0));
                    position->setData(tag);
                    connect(position, &QAction::triggered, this,
                        [this, tag, column, caption] { Utilisation1Click(tag, column, caption); });
                }
                TFlatMenuManager::ActivateMenuItem(positions->menuAction(), true);
            });
    }
    NumericStatisticsMenu->setEnabled(!NumericStatisticsMenu->isEmpty());
    // Items made at run time take the menus' flat look.
    for (QMenu *menu : { FilterMenu, NumericStatisticsMenu, Utilisation1 })
        TFlatMenuManager::ActivateMenuItem(menu->menuAction(), true);
}

void TMainForm::SeteditorVisible(bool visible)
{
    if (FEditor)
        FEditor->SeteditorVisible(visible);
}

void TMainForm::UpdateEditor()
{
    if (FEditor)
        FEditor->UpdateEditor();
}

void TMainForm::EditorAsFormClick()
{
    FEditor->EditorAsFormClick();
}

QPoint TMainForm::GetEditorPos() const
{
    return FEditor->GetEditorPos();
}

void TMainForm::SetEditorPos(QPoint pos)
{
    FEditor->SetEditorPos(pos);
}

bool TMainForm::IsColumnVisible(TWhichTable table, int column) const
{
    const TGridTreeColumns &columns = Tree(table).Header().Columns();
    // A column the tree does not show yet is shown once it does.
    return column >= columns.Count() || columns[column].Options().contains(coVisible);
}

void TMainForm::OpenLink(const QUrl &url)
{
    ShellOpen(url);
}

void TMainForm::EditorUndo(bool redo)
{
    (redo ? ActionRedo : ActionUndo)->trigger();
}
