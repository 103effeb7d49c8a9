#include "mainwindow/DocumentViews.h"

#include "components/gui/GTHeader.h"
#include "components/gui/GridTreeColumns.h"
#include "components/gui/StringGridTree.h"
#include "document/DocumentTable.h"
#include "timechart/TimeChart.h"

TTableViews::TTableViews(Document &doc, TStringGridTree &tasks, TStringGridTree &absentDays)
    : FDoc(doc)
    , FTrees { &tasks, &absentDays }
    , FObservation(doc, *this)
{
    SyncColumns(tbTable);
    SyncColumns(tbExclude);
}

TTableViews::~TTableViews()
{
    // A bracket still open when the window goes leaves the trees' open too.
    if (FInBracket) {
        for (TStringGridTree *tree : FTrees)
            tree->EndUpdate();
    }
}

void TTableViews::SyncColumns(TWhichTable table)
{
    TGridTreeColumns &columns = FTrees[table]->Header().Columns();
    const DocumentTable &source = FDoc.GetTable(table);
    const int count = source.ColumnCount();
    columns.BeginUpdate();
    while (columns.Count() > count)
        columns.Delete(columns.Count() - 1);
    while (columns.Count() < count) {
        // Fitting a column measures the rows on screen: a plan of many thousand
        // rows opens without measuring every cell.
        TGridTreeColumn &column = columns.Add();
        column.SetOptions(column.Options() + TGTColumnOptions { coSmartResize });
    }
    for (int i = 0; i < count; ++i) {
        TGridTreeColumn &column = columns[i];
        column.SetText(source.Caption(i));
        column.SetAlignment(source.RightAligned(i) ? taRightJustify : taLeftJustify);
    }
    columns.EndUpdate();
}

void TTableViews::RepaintRow(const TNodeData &node)
{
    if (node.VNode && !FInBracket)
        FTrees[node.NodeTable]->InvalidateNode(node.VNode);
}

void TTableViews::InvalidateNodeArea(const TNodeData &node, bool)
{
    RepaintRow(node);
}

void TTableViews::RowChanged(const TNodeData &node)
{
    RepaintRow(node);
}

void TTableViews::ColumnsChanged(TWhichTable table)
{
    SyncColumns(table);
}

void TTableViews::UpdateTextChanged(const QString &, bool busy)
{
    // The notice comes at every open and every inner end; the trees follow only
    // the outermost bracket.
    if (busy == FInBracket)
        return;
    FInBracket = busy;
    for (TStringGridTree *tree : FTrees) {
        if (busy)
            tree->BeginUpdate();
        else
            tree->EndUpdate();
    }
}

TChartView::TChartView(Document &doc, TTimeChart &chart)
    : FChart(chart)
    , FObservation(doc, *this)
{ }

void TChartView::InvalidateNodeArea(const TNodeData &node, bool selected)
{
    FChart.InvalidateNodeArea(node, selected);
}

void TChartView::InvalidateTimeChart()
{
    FChart.InvalidateTimeChart(true);
}

void TChartView::RunLayoutPass(TLayoutPass pass)
{
    FChart.RunLayoutPass(pass);
}

void TChartView::StartFlashSelected()
{
    FChart.StartFlashSelected();
}

void TChartView::UpdateTextChanged(const QString &text, bool busy)
{
    FChart.DocumentUpdateTextChanged(text, busy);
}

void TChartView::RowBatchStarted()
{
    FChart.BeginAreaBatch();
}

void TChartView::RowBatchEnded()
{
    FChart.EndAreaBatch();
}
