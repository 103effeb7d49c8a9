#pragma once

#include "document/DocumentTypes.h"

#include <QString>
#include <vector>

class Document;
class ITimeChartHost;
class TTimeChart;

// The two commands that resolve the overlaps the overlap pass found: one pushes
// the overlapping tasks of a row one after another in time, the other spreads
// them over the rows of multi-row positions, adding rows on the user's consent.
// Each command is one undo group. Neither runs inside the other: their own
// overlap passes never start the automatic arrangement.
class TOverlapSolver {
public:
    TOverlapSolver(TTimeChart &chart, Document &doc, ITimeChartHost &host);

    void ActionSolveOverlappingExecute();
    void ActionSolveOverlappingSingleExecute();
    // Both commands can run exactly while tasks overlap.
    bool ActionSolveOverlappingUpdate() const;
    // Gives position `position` (an index of the Position column's items) one
    // chart row more; the groups that show it show the new row too, and every row
    // below it moves one down with its records. With `refresh` the chart's rows
    // are laid out again.
    void AddMultiRow(int position, bool refresh);

    // Over the position items and their row counts: the position whose rows hold
    // summary row `row`, and its first and last summary row (-1 beyond the rows).
    int MultiRowIndex(int row) const;
    int FirstRowInMultiRow(int row) const;
    int LastRowInMultiRow(int row) const;

private:
    // The summary rows of each position item.
    std::vector<int> RowCounts() const;
    // One pass of the time command over the tasks of chart row `row` from its
    // earliest overlapping task `first`; whether a start changed.
    bool PushApart(const std::vector<TNodeData *> &row, TNodeData &first, double gap);
    // Moves `node` to chart row `row` and finds the overlaps again; whether it
    // still overlaps.
    bool MoveToRow(TNodeData &node, int row);

    TTimeChart &FChart;
    Document &FDoc;
    ITimeChartHost &FHost;
    bool FRunning = false;
};
