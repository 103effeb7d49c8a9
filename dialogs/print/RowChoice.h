#pragma once

#include "document/DocumentTypes.h"

#include <functional>

class Document;

// Which rows of a table a printout or a statistic covers: the user's choice of
// "all", "filtered" or "selected" rows.
enum class TRowChoice { All, Filtered, Selected };

// Whether `row` of `table` is covered: all rows of the shown position group (tasks
// on all positions included), the rows the filters leave visible, or the selected
// rows. The same rows the count shown beside the choice counts.
bool RowCovered(const Document &doc, TWhichTable table, const TNodeData &row, TRowChoice choice);
// The number of covered rows.
int CoveredCount(const Document &doc, TWhichTable table, TRowChoice choice);
// Calls `callback` for every covered row in table order.
void ForEachCovered(const Document &doc, TWhichTable table, TRowChoice choice,
    const std::function<void(TNodeData &row)> &callback);
