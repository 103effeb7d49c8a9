#pragma once

#include "dialogs/stats/Utilisation.h"

#include <QString>
#include <vector>

class Document;
class TChartDialog;
class TTimeChart;

// The utilisation commands of the main window: each collects the rows it counts,
// computes its curve over the chart's date range and shows it in the chart window.

// The chart's date range with the document's step (a day, or a minute).
TUtilisationGrid ChartGrid(const Document &doc, const TTimeChart &chart);

// Every task with a start and an end, counting 1.
std::vector<TUtilisationItem> TaskItems(Document &doc);
// The tasks of the shown chart rows with the integer value of `column` (0 where it
// is none), each with the number of its position: the chart rows counted from 1
// without the extra rows of multi-row positions. `positions` receives how many
// there are.
std::vector<TUtilisationItem> PositionItems(
    Document &doc, const TTimeChart &chart, int column, int &positions);
// The rows of `table` whose `column` holds a number, with that number.
std::vector<TUtilisationItem> NumericItems(Document &doc, TWhichTable table, int column);

// The number of tasks running at each step.
void Auslastung1Click(Document &doc, const TTimeChart &chart, TChartDialog &dialog);
// The sum of `column` over the running tasks of position `position` (from 1), or
// for -1 the sum over all running tasks divided by the number of positions.
void UtilisationStatistics(Document &doc, const TTimeChart &chart, TChartDialog &dialog, int position,
    int column, const QString &caption);
// The sum of `column` over the running rows of the active table.
void NumericStatisticsClick(Document &doc, const TTimeChart &chart, TChartDialog &dialog, int column);
