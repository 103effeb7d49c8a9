#include "timechart/OverlapSweep.h"

#include <algorithm>

std::vector<TNodeData *> OverlappingNodes(
    std::vector<TOverlapItem> items, double gap, const std::function<bool(const TNodeData &)> &ignored)
{
    std::vector<TNodeData *> found;
    if (items.size() < 2)
        return found;
    // By row, then by start: each row's tasks in start order, one row after another.
    std::stable_sort(items.begin(), items.end(), [](const TOverlapItem &a, const TOverlapItem &b) {
        return a.row != b.row ? a.row < b.row : a.start < b.start;
    });
    auto add = [&](TNodeData *node) {
        if (!ignored || !ignored(*node))
            found.push_back(node);
    };
    std::size_t k = 0;
    for (std::size_t j = 1; j < items.size(); ++j) {
        if (items[j].row != items[k].row) {
            k = j; // the first task of the next row
            continue;
        }
        if (items[k].end + gap > items[j].start) {
            add(items[k].node);
            add(items[j].node);
            if (items[j].end > items[k].end)
                k = j;
        } else {
            k = j;
        }
    }
    return found;
}
