#pragma once

#include "document/DocumentTypes.h"

#include <functional>
#include <vector>

// One task of the overlap pass: its stored dates and chart row.
struct TOverlapItem {
    TDateTime start = 0;
    TDateTime end = 0;
    int row = 0;
    TNodeData *node = nullptr;
};

// The tasks that overlap another in their chart row. Within a row, in the order
// of their starts (equal starts in the given order), each task is compared with
// the latest-ending task before it: they overlap when that one's end plus `gap`
// lies after its start, and both count then, unless `ignored` says otherwise for
// one of them. A task may be listed more than once.
std::vector<TNodeData *> OverlappingNodes(
    std::vector<TOverlapItem> items, double gap, const std::function<bool(const TNodeData &)> &ignored);
