// What the chart's mouse asks of the main window: the new-entry dialog, the
// chart's popup menu, the focused row of a table, refiltering moved rows, the
// overlap commands' enabled state and the texts of cells in hints.
#include "components/gui/GTHeader.h"
#include "components/gui/StringGridTree.h"
#include "dialogs/misc/NewEntryDialog.h"
#include "document/Document.h"
#include "document/DocumentTable.h"
#include "mainwindow/MainForm.h"
#include "tables/TableCells.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

bool TMainForm::NewEntryDialog(TNewEntry &entry)
{
    TNewEntryDialog dialog(this);
    dialog.LabelBegin()->setText(entry.LabelBegin);
    dialog.SetEnds(entry.LabelEnd[tbTable], entry.LabelEnd[tbExclude], entry.table);
    dialog.LabelPos()->setText(entry.LabelPos);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    entry.table = dialog.table();
    return true;
}

void TMainForm::TimeChartPopup(QPoint chartPoint, QPoint screenPos, const TChartPopupActions &actions)
{
    // A paste from the popup puts its first row where the chart was clicked.
    SetChartPopupPoint(chartPoint);
    ActionSplit->setEnabled(actions.Split);
    ActionCut->setEnabled(actions.CutCopy);
    ActionCopy->setEnabled(actions.CutCopy);
    ActionPasteNode->setEnabled(actions.Paste);
    TimeChartPopupMenu->popup(screenPos);
}

void TMainForm::FocusNode(TNodeData &node)
{
    if (!node.VNode)
        return;
    FDocument->GetTable(node.NodeTable).Tree().SetFocusedNode(node.VNode);
    Tree(node.NodeTable).ScrollIntoView(node.VNode, false);
}

void TMainForm::RefilterNodes(TWhichTable table, const std::vector<TNodeData *> &nodes)
{
    if (FFilters && !nodes.empty())
        FFilters->FilterData(table);
}

void TMainForm::FitColumnsToContents(TWhichTable table)
{
    Tree(table).Header().AutoFitColumns(false, smaUseColumnOption, 0, -1);
}

void TMainForm::SolveOverlappingEnabled(bool enabled)
{
    if (!ActionSolveOverlapping) // the chart's first passes run before the actions are made
        return;
    ActionSolveOverlapping->setEnabled(enabled);
    ActionSolveOverlappingSingle->setEnabled(enabled);
}

QString TMainForm::CellText(const TNodeData &node, int column) const
{
    return GetCellText(*FDocument, node, column);
}
