#pragma once

#include "document/DocumentTypes.h"

#include <cstdint>
#include <functional>
#include <vector>

// One task of the overlap pass: its stored dates, the caller's number for it,
// and its place among the tasks of its chart row as they were added (equal
// starts keep that order).
struct TOverlapItem {
    TDateTime start = 0;
    TDateTime end = 0;
    TNodeData *node = nullptr;
    std::uint32_t index = 0;
    std::uint32_t order = 0;
    bool listed = false;
};

// The tasks of each chart row, added in order.
class TOverlapRows {
public:
    // Empties every row (a reused one keeps its memory).
    void Reset(int rowCount);
    void Add(int row, TNodeData *node, std::uint32_t index, TDateTime start, TDateTime end);
    std::vector<std::vector<TOverlapItem>> &Rows() { return FRows; }

private:
    std::vector<std::vector<TOverlapItem>> FRows;
};

// The tasks of one chart row that overlap another of the row, as OverlappingTasks
// finds them; their numbers are added to `found`. The row is sorted on the way.
void OverlappingInRow(std::vector<TOverlapItem> &items, double gap,
    const std::function<bool(const TNodeData &)> &ignored, std::vector<std::uint32_t> &found);

// The tasks that overlap another in their chart row. Within a row, in the order
// of their starts, each task is compared with the latest-ending task before it:
// they overlap when that one's end plus `gap` lies after its start, and both
// count then, unless `ignored` says otherwise for one of them. The tasks' numbers,
// each once. The rows are sorted on the way.
std::vector<std::uint32_t> OverlappingTasks(
    TOverlapRows &rows, double gap, const std::function<bool(const TNodeData &)> &ignored);
