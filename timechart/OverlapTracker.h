#pragma once

#include "document/DocumentTypes.h"
#include "document/RowChangeLog.h"

#include <cstdint>
#include <functional>
#include <vector>

class Document;

// The overlap marks of a document's tasks, kept between passes: the tasks of
// each chart row are known, so a pass after a few edits sweeps only the rows
// the changed tasks left or joined. Whatever else every mark depends on (the
// rows shown, the gap, the tasks left overlapping, the tasks' order, marks set
// from elsewhere) sends it back to a sweep over every row.
class TOverlapTracker {
public:
    using TIgnored = std::function<bool(const TNodeData &)>;
    using TRedraw = std::function<void(TNodeData &)>;

    explicit TOverlapTracker(Document &doc);

    // Marks the tasks that overlap another of their chart row (OverlappingTasks).
    // `ignoredRevision` moves on when the tasks `ignored` names change. `redraw`
    // gets every task whose bar looks different: those whose mark changed, or
    // all when the first overlap came or the last went.
    void Update(double gap, std::uint64_t ignoredRevision, const TIgnored &ignored, const TRedraw &redraw);
    // The next Update sweeps every row.
    void Forget() { FKnown = false; }

private:
    struct TMark {
        TNodeData *Node;
        bool Overlapping;
    };
    int RowOf(bool valid, int position) const;
    void UpdateAll(double gap, const TIgnored &ignored, const TRedraw &redraw);
    // False when the changes cannot be followed row by row.
    bool UpdateChanged(double gap, const TIgnored &ignored, const TRedraw &redraw);
    void Apply(const std::vector<TMark> &marks, const TRedraw &redraw);
    void Remember(double gap, std::uint64_t ignoredRevision);

    Document &FDoc;
    TRowChangeReader FReader;
    // The valid tasks of each chart row, as the last pass found them.
    std::vector<std::vector<TNodeData *>> FRowTasks;
    // What the marks of the last pass depended on besides the tasks.
    std::vector<int> FRowOfPosition;
    double FGap = 0;
    std::uint64_t FIgnoredRevision = 0;
    std::uint64_t FOrderRevision = 0;
    std::uint64_t FMarksRevision = 0;
    bool FKnown = false;
};
