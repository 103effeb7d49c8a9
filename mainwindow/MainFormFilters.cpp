// The column filters in the main window: the popup for the active column, the
// clear commands, and the header marks of filtered columns.
#include "components/gui/GTHeader.h"
#include "components/gui/GridTreeColumns.h"
#include "components/gui/ImageList.h"
#include "components/gui/StringGridTree.h"
#include "document/Document.h"
#include "mainwindow/MainForm.h"
#include "tables/TaskTables.h"
#include "timechart/TimeChart.h"

#include <QAction>
#include <QMenu>
#include <QTabBar>

void TMainForm::ActionFilterExecute()
{
    const int column = FTables->ActiveColumn();
    if (column >= 0)
        FFilters->ActionFilterExecute(GetActiveTable(), column);
}

void TMainForm::FilterSubMenuClick(int tag)
{
    FTables->SetActiveColumn(tag);
    ActionFilterExecute();
}

void TMainForm::FilterData(TWhichTable table)
{
    FFilters->FilterData(table);
}

void TMainForm::ActionClearFilterExecute()
{
    const int column = FTables->ActiveColumn();
    if (column >= 0)
        FFilters->ActionClearFilterExecute(GetActiveTable(), column);
}

void TMainForm::ActionClearAllFiltersExecute()
{
    FFilters->ActionClearAllFiltersExecute(GetActiveTable());
}

void TMainForm::ActionClearAllFiltersUpdate()
{
    ActionClearAllFilters->setEnabled(FFilters->ActionClearAllFiltersUpdate(GetActiveTable()));
}

QString TMainForm::CurrentGroupCaption() const
{
    const QTabBar &tabs = FTimeChart->TabControl1();
    return tabs.currentIndex() >= 0 ? tabs.tabText(tabs.currentIndex()) : QString();
}

QPoint TMainForm::ColumnTopLeft(TWhichTable table, int column) const
{
    const TStringGridTree &tree = Tree(table);
    int left = 0, right = 0;
    tree.Header().Columns().GetColumnBounds(column, left, right);
    return tree.HeaderWidget().mapToGlobal(QPoint(left, 0));
}

int TMainForm::HeaderHeight(TWhichTable table) const
{
    return Tree(table).Header().Height();
}

void TMainForm::InvalidateHeader(TWhichTable table)
{
    Tree(table).HeaderWidget().update();
}

void TMainForm::SetColumnMark(TWhichTable table, int column, int imageIndex, const QString &hint)
{
    TGridTreeColumns &columns = Tree(table).Header().Columns();
    if (column < columns.Count()) {
        columns[column].SetImageIndex(imageIndex);
        columns[column].SetHint(hint);
    }
    // The filter menu shows the same mark for the active table's columns.
    if (table != GetActiveTable())
        return;
    for (QAction *item : FilterMenu->actions()) {
        if (item->data().isValid() && item->data().toInt() == column)
            item->setIcon(QIcon(QPixmap::fromImage(FImageList->Image(imageIndex))));
    }
}
