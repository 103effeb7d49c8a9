#include "timechart/OverlapSweep.h"

#include <algorithm>

void TOverlapRows::Reset(int rowCount)
{
    if (int(FRows.size()) < rowCount)
        FRows.resize(std::size_t(rowCount));
    for (std::vector<TOverlapItem> &row : FRows)
        row.clear();
}

void TOverlapRows::Add(int row, TNodeData *node, std::uint32_t index, TDateTime start, TDateTime end)
{
    if (row < 0)
        return;
    if (std::size_t(row) >= FRows.size())
        FRows.resize(std::size_t(row) + 1);
    std::vector<TOverlapItem> &items = FRows[std::size_t(row)];
    items.push_back({ start, end, node, index, std::uint32_t(items.size()), false });
}

void OverlappingInRow(std::vector<TOverlapItem> &items, double gap,
    const std::function<bool(const TNodeData &)> &ignored, std::vector<std::uint32_t> &found)
{
    if (items.size() < 2)
        return;
    // Each task once: a long task overlaps many after it.
    auto add = [&](TOverlapItem &item) {
        if (!item.listed && (!ignored || !ignored(*item.node)))
            found.push_back(item.index);
        item.listed = true;
    };
    std::sort(items.begin(), items.end(), [](const TOverlapItem &a, const TOverlapItem &b) {
        return a.start != b.start ? a.start < b.start : a.order < b.order;
    });
    // Each task against the latest-ending one before it.
    TOverlapItem *k = &items[0];
    for (std::size_t j = 1; j < items.size(); ++j) {
        TOverlapItem &item = items[j];
        if (k->end + gap > item.start) {
            add(*k);
            add(item);
            if (item.end > k->end)
                k = &item;
        } else {
            k = &item;
        }
    }
}

std::vector<std::uint32_t> OverlappingTasks(
    TOverlapRows &rows, double gap, const std::function<bool(const TNodeData &)> &ignored)
{
    std::vector<std::uint32_t> found;
    for (std::vector<TOverlapItem> &items : rows.Rows())
        OverlappingInRow(items, gap, ignored, found);
    return found;
}
