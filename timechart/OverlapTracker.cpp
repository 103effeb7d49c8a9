#include "timechart/OverlapTracker.h"

#include "components/GridNode.h"
#include "document/ChartRows.h"
#include "document/Document.h"
#include "document/RowWalkProgress.h"
#include "timechart/OverlapSweep.h"

#include <algorithm>

TOverlapTracker::TOverlapTracker(Document &doc)
    : FDoc(doc)
    , FReader(doc.RowChanges())
{ }

int TOverlapTracker::RowOf(bool valid, int position) const
{
    // Rows outside the shown group are not compared.
    if (!valid || position < 0)
        return -1;
    return std::max(-1, FDoc.ChartRows().RowOfPosition(position));
}

void TOverlapTracker::Update(
    double gap, std::uint64_t ignoredRevision, const TIgnored &ignored, const TRedraw &redraw)
{
    const bool same = FKnown && gap == FGap && ignoredRevision == FIgnoredRevision
        && FOrderRevision == FDoc.RowOrderRevision(tbTable) && FMarksRevision == FDoc.OverlapMarksRevision()
        && FRowOfPosition == FDoc.ChartRows().PositionInPositionGroup();
    if (!same || !UpdateChanged(gap, ignored, redraw))
        UpdateAll(gap, ignored, redraw);
    Remember(gap, ignoredRevision);
}

void TOverlapTracker::Remember(double gap, std::uint64_t ignoredRevision)
{
    FKnown = true;
    FGap = gap;
    FIgnoredRevision = ignoredRevision;
    FOrderRevision = FDoc.RowOrderRevision(tbTable);
    FMarksRevision = FDoc.OverlapMarksRevision();
    FRowOfPosition = FDoc.ChartRows().PositionInPositionGroup();
}

void TOverlapTracker::UpdateAll(double gap, const TIgnored &ignored, const TRedraw &redraw)
{
    // The tasks by chart row, numbered in table order; the marks are set in that
    // order too, one row after the other in memory.
    TOverlapRows rows;
    rows.Reset(FDoc.GetRowCount());
    std::uint32_t count = 0;
    FDoc.ForEach(tbTable, feAll, [&](TNodeData &node) {
        const std::uint32_t index = count++;
        const int row = RowOf(FDoc.GetNodeValid(&node), node.nodePosition);
        if (row >= 0)
            rows.Add(row, &node, index, node.nodeStart, node.nodeEnd);
        TRowWalkProgress::Row();
    });
    // Kept as exactly as many pointers as each row holds: they stay for the
    // document's life.
    std::vector<std::vector<TOverlapItem>> &byRow = rows.Rows();
    FRowTasks.assign(byRow.size(), {});
    for (std::size_t row = 0; row < byRow.size(); ++row) {
        FRowTasks[row].reserve(byRow[row].size());
        for (const TOverlapItem &item : byRow[row])
            FRowTasks[row].push_back(item.node);
    }
    const std::vector<std::uint32_t> found = OverlappingTasks(rows, gap, ignored);
    std::vector<char> overlapping(count, 0);
    for (const std::uint32_t index : found)
        overlapping[index] = 1;
    // Whether any task overlaps decides every bar's colour; otherwise only the
    // bars whose mark changed look different (one that stays red stays as it is).
    const bool anyChanged = FDoc.HasOverlappingNodes() == found.empty();
    std::uint32_t index = 0;
    FDoc.ForEach(tbTable, feAll, [&](TNodeData &node) {
        const bool now = index < count && overlapping[index++];
        if (anyChanged || node.nodeOverlapping != now)
            redraw(node);
        FDoc.SetNodeIsOverlapping(&node, now);
        // Only an open pauses here, its views keeping still meanwhile.
        TRowWalkProgress::Row();
    });
    FReader.Skip();
}

bool TOverlapTracker::UpdateChanged(double gap, const TIgnored &ignored, const TRedraw &redraw)
{
    std::vector<TRowChange> changes;
    if (!FReader.Take(changes))
        return false;
    if (changes.empty())
        return true;
    std::vector<int> touched;
    std::vector<TMark> marks;
    for (const TRowChange &change : changes) {
        const TRowSnapshot &before = change.Before;
        if (before.Existed && before.Table == tbTable) {
            if (const int row = RowOf(before.Valid, before.Position); row >= 0) {
                if (std::size_t(row) >= FRowTasks.size())
                    return false;
                std::vector<TNodeData *> &tasks = FRowTasks[std::size_t(row)];
                const auto it = std::find(tasks.begin(), tasks.end(), change.Node);
                if (it == tasks.end())
                    return false;
                tasks.erase(it);
                touched.push_back(row);
            }
        }
        if (change.Gone || change.Node->NodeTable != tbTable)
            continue;
        TNodeData &node = *change.Node;
        if (const int row = RowOf(node.nodeValid, node.nodePosition); row >= 0) {
            if (std::size_t(row) >= FRowTasks.size())
                FRowTasks.resize(std::size_t(row) + 1);
            FRowTasks[std::size_t(row)].push_back(&node);
            touched.push_back(row);
        } else {
            marks.push_back({ &node, false });
        }
    }
    std::sort(touched.begin(), touched.end());
    touched.erase(std::unique(touched.begin(), touched.end()), touched.end());
    // Each touched row swept as the full pass sweeps it: equal starts in table order.
    std::vector<TOverlapItem> items;
    std::vector<std::uint32_t> found;
    for (const int row : touched) {
        const std::vector<TNodeData *> &tasks = FRowTasks[std::size_t(row)];
        items.clear();
        found.clear();
        for (std::size_t i = 0; i < tasks.size(); ++i)
            items.push_back({ tasks[i]->nodeStart, tasks[i]->nodeEnd, tasks[i], std::uint32_t(i),
                tasks[i]->VNode->Index(), false });
        OverlappingInRow(items, gap, ignored, found);
        std::vector<char> overlapping(tasks.size(), 0);
        for (const std::uint32_t i : found)
            overlapping[i] = 1;
        for (std::size_t i = 0; i < tasks.size(); ++i)
            marks.push_back({ tasks[i], overlapping[i] != 0 });
    }
    Apply(marks, redraw);
    return true;
}

void TOverlapTracker::Apply(const std::vector<TMark> &marks, const TRedraw &redraw)
{
    int count = FDoc.OverlappingCount();
    for (const TMark &mark : marks)
        count += int(mark.Overlapping) - int(mark.Node->nodeOverlapping);
    const RowBatch batch(FDoc);
    if (FDoc.HasOverlappingNodes() != (count > 0))
        FDoc.ForEach(tbTable, feAll, [&](TNodeData &node) { redraw(node); });
    else
        for (const TMark &mark : marks)
            if (mark.Node->nodeOverlapping != mark.Overlapping)
                redraw(*mark.Node);
    for (const TMark &mark : marks)
        FDoc.SetNodeIsOverlapping(mark.Node, mark.Overlapping);
}
