#include "mainwindow/DocumentViews.h"

#include "components/gui/GTHeader.h"
#include "components/gui/GridTreeColumns.h"
#include "components/gui/StringGridTree.h"
#include "document/DocumentTable.h"
#include "document/calendar/DateTime.h"
#include "timechart/TimeChart.h"

#include <QFontMetrics>

TTableViews::TTableViews(Document &doc, TStringGridTree &tasks, TStringGridTree &absentDays)
    : FDoc(doc)
    , FTrees { &tasks, &absentDays }
    , FFittedUnit(doc.GetMinUnit())
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

int TTableViews::DateColumnWidth(TWhichTable table) const
{
    const TStringGridTree &tree = *FTrees[table];
    QFont bold = tree.font();
    bold.setBold(true);
    // The widest day and month of the year; the digits are as wide as each other.
    const QString date = FDoc.FormatDateTime(EncodeDate(2024, 12, 28) + (23 * 60 + 58) / 1440.0);
    // Margin, text margins, the grid line and a pixel either side to spare.
    return tree.Margin() + 2 * tree.TextMargin() + QFontMetrics(bold).horizontalAdvance(date) + 3;
}

void TTableViews::InvalidateTimeChart()
{
    if (FDoc.GetMinUnit() == FFittedUnit)
        return;
    FFittedUnit = FDoc.GetMinUnit();
    FitDateColumns();
}

void TTableViews::FitDateColumns()
{
    for (TWhichTable table : { tbTable, tbExclude }) {
        TGridTreeColumns &columns = FTrees[table]->Header().Columns();
        for (int column = 0; column < columns.Count() && column < FDoc.GetTableColCount(table); ++column) {
            if (FDoc.GetColumnType(table, column) != ctDate)
                continue;
            const int position = int(columns[column].Position());
            FTrees[table]->Header().AutoFitColumns(false, smaUseColumnOption, position, position);
        }
    }
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
