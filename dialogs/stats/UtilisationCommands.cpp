#include "dialogs/stats/UtilisationCommands.h"

#include "dialogs/stats/ChartDialog.h"
#include "document/Document.h"
#include "document/DocumentTable.h"
#include "document/program/Translation.h"
#include "timechart/TimeChart.h"

namespace {

// Start and end of a row that has both; false for one whose dates cannot be computed.
bool RowDates(Document &doc, TNodeData &row, TDateTime &start, TDateTime &end)
{
    if (!doc.GetNodeValid(&row))
        return false;
    start = doc.GetStartOf(&row);
    end = doc.GetEndOf(&row);
    return doc.GetNodeValid(&row);
}

void Show(TChartDialog &dialog, const QString &title1, const QString &title2, std::vector<TChartPoint> points,
    const TUtilisationGrid &grid)
{
    dialog.ShowCurve(title1, title2, std::move(points), grid);
    dialog.exec();
}

} // namespace

TUtilisationGrid ChartGrid(const Document &doc, const TTimeChart &chart)
{
    return { chart.MinDate(), chart.MaxDate(), doc.GetMinUnit() };
}

std::vector<TUtilisationItem> TaskItems(Document &doc)
{
    std::vector<TUtilisationItem> items;
    items.reserve(std::size_t(doc.TotalCount(tbTable)));
    doc.ForEach(tbTable, feAll, [&](TNodeData &row) {
        TDateTime start = 0, end = 0;
        if (RowDates(doc, row, start, end))
            items.push_back({ start, end, 1, 0 });
    });
    return items;
}

std::vector<TUtilisationItem> PositionItems(
    Document &doc, const TTimeChart &chart, int column, int &positions)
{
    // Each chart row's position number, counted from 1 as the utilisation menu
    // counts them: an extra row of a multi-row position belongs to the position
    // above it.
    const int rows = doc.GetRowCount();
    std::vector<int> numberOfRow(std::size_t(std::max(rows, 0)), 0);
    positions = 0;
    for (int row = 0; row < rows; ++row) {
        if (!chart.isMultiRow(row))
            ++positions;
        numberOfRow[std::size_t(row)] = positions;
    }
    std::vector<TUtilisationItem> items;
    doc.ForEach(tbTable, feAll, [&](TNodeData &task) {
        const int row = doc.GetPositionOf(&task);
        TDateTime start = 0, end = 0;
        if (row < 0 || row >= rows || numberOfRow[std::size_t(row)] < 1 || !RowDates(doc, task, start, end))
            return;
        bool number = false;
        const int value = doc.GetData(&task, column).trimmed().toInt(&number);
        items.push_back({ start, end, number ? double(value) : 0.0, numberOfRow[std::size_t(row)] });
    });
    return items;
}

std::vector<TUtilisationItem> NumericItems(Document &doc, TWhichTable table, int column)
{
    std::vector<TUtilisationItem> items;
    doc.ForEach(table, feAll, [&](TNodeData &row) {
        double value = 0;
        TDateTime start = 0, end = 0;
        if (TryStrToFloat(doc.GetData(&row, column), value) && RowDates(doc, row, start, end))
            items.push_back({ start, end, value, 0 });
    });
    return items;
}

void Auslastung1Click(Document &doc, const TTimeChart &chart, TChartDialog &dialog)
{
    const TUtilisationGrid grid = ChartGrid(doc, chart);
    Show(dialog, Translate(QStringLiteral("Utilization")), Translate(QStringLiteral("No. Tasks")),
        UtilisationCurve(TaskItems(doc), grid), grid);
}

void UtilisationStatistics(Document &doc, const TTimeChart &chart, TChartDialog &dialog, int position,
    int column, const QString &caption)
{
    const TUtilisationGrid grid = ChartGrid(doc, chart);
    int positions = 0;
    const std::vector<TUtilisationItem> items = PositionItems(doc, chart, column, positions);
    Show(dialog, Translate(QStringLiteral("Utilization Test")), caption,
        position < 0 ? MeanUtilisationCurve(items, grid, positions)
                     : PositionUtilisationCurve(items, grid, position),
        grid);
}

void NumericStatisticsClick(Document &doc, const TTimeChart &chart, TChartDialog &dialog, int column)
{
    const TUtilisationGrid grid = ChartGrid(doc, chart);
    Show(dialog, Translate(QStringLiteral("Utilization")), doc.GetColumnCaption(doc.GetActiveTable(), column),
        UtilisationCurve(NumericItems(doc, doc.GetActiveTable(), column), grid), grid);
}
