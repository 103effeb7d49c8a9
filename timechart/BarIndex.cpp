#include "timechart/BarIndex.h"

#include "components/GridNode.h"
#include "document/Document.h"
#include "document/DocumentTable.h"
#include "document/RowWalkProgress.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

namespace {

// Sorts entries by their first day. The days are whole: counting them sorts in
// one pass over the entries and the days they span (comparing would cost a
// log factor on every rebuild, and a plan's rows change often); a plan spread
// over far more days than it has rows is sorted by comparison.
// Walking (an open's slices), each pass over the entries counts as a walk over
// rows, so that the window paints between its parts.
template <typename Entry> void SortByLow(std::vector<Entry> &entries, bool walk = false)
{
    const auto byLow = [](const Entry &a, const Entry &b) { return a.Low < b.Low; };
    if (entries.size() < 64) {
        std::sort(entries.begin(), entries.end(), byLow);
        return;
    }
    const auto [lowest, highest] = std::minmax_element(entries.begin(), entries.end(), byLow);
    const double first = lowest->Low;
    const double span = highest->Low - first;
    if (!(span <= 4.0 * double(entries.size()))) {
        std::sort(entries.begin(), entries.end(), byLow);
        return;
    }
    std::vector<std::uint32_t> starts(std::size_t(span) + 2, 0);
    for (const Entry &entry : entries) {
        if (walk)
            TRowWalkProgress::Row();
        ++starts[std::size_t(entry.Low - first) + 1];
    }
    for (std::size_t day = 1; day < starts.size(); ++day)
        starts[day] += starts[day - 1];
    std::vector<Entry> sorted(entries.size());
    for (const Entry &entry : entries) {
        if (walk)
            TRowWalkProgress::Row();
        sorted[starts[std::size_t(entry.Low - first)]++] = entry;
    }
    entries.swap(sorted);
}

} // namespace

TBarIndex::TPlace TBarIndex::PlaceOf(TDateTime start, TDateTime end, TDateTime termin, bool recalcEnd)
{
    // Whole days from the bar's start to the day after its end, widened to its
    // deadline.
    double low = DatePart(start);
    double high = DatePart(std::max(end, start)) + 1;
    if (termin != 0) {
        low = std::min(low, DatePart(termin));
        high = std::max(high, DatePart(termin) + 1);
    }
    const int list = recalcEnd ? 1 : high - low > MaxIndexedSpan ? 2 : 0;
    return { low, high, list };
}

void TBarIndex::Rebuild(Document &doc)
{
    Take(doc, Build(doc, false));
}

void TBarIndex::Prepare(Document &doc)
{
    if (FBuilt && FDoc == &doc && FRevision == doc.RowsRevision())
        return;
    const std::uint64_t revision = doc.RowsRevision();
    TTables tables = Build(doc, true);
    // A paint between the slices may have built it already.
    if (doc.RowsRevision() != revision || (FBuilt && FDoc == &doc && FRevision == revision))
        return;
    Take(doc, std::move(tables));
    FExtremesKnown = false;
}

void TBarIndex::Take(Document &doc, TTables tables)
{
    FReader.Attach(doc.RowChanges());
    FDoc = &doc;
    FRevision = doc.RowsRevision();
    FBuilt = true;
    FTables = std::move(tables);
    FReader.Skip();
}

TBarIndex::TTables TBarIndex::Build(Document &doc, bool walk)
{
    TTables tables;
    for (TWhichTable table : { tbTable, tbExclude }) {
        TTableIndex &index = tables[table];
        std::vector<TEntry> byStart;
        for (TNodeData *node : doc.GetTable(table).Rows()) {
            if (walk)
                TRowWalkProgress::Row();
            if (!node->nodeValid)
                continue;
            const TPlace place = PlaceOf(node->nodeStart, node->nodeEnd, node->nodeTermin, node->RecalcEndOf);
            if (place.List == 1)
                index.OpenEnded.push_back({ place.Low, place.High, node, node->nodePosition });
            else if (place.List == 2)
                index.Always.push_back(node);
            else
                byStart.push_back({ place.Low, place.High, node, node->nodePosition });
        }
        if (walk)
            TRowWalkProgress::Pause();
        // Sorted once, then dealt out to the positions in that order: each
        // position's list comes out sorted.
        SortByLow(byStart, walk);
        if (walk)
            TRowWalkProgress::Pause();
        std::vector<std::size_t> sizes;
        for (const TEntry &entry : byStart) {
            const std::size_t list = entry.Position >= 0 ? std::size_t(entry.Position) + 1 : 0;
            if (list >= sizes.size())
                sizes.resize(list + 1, 0);
            ++sizes[list];
        }
        index.ByPosition.resize(sizes.size());
        for (std::size_t list = 0; list < sizes.size(); ++list)
            index.ByPosition[list].reserve(sizes[list]);
        for (const TEntry &entry : byStart)
            ListOf(index, entry.Position).push_back(entry);
        SortByLow(index.OpenEnded);
        index.OpenEnded.shrink_to_fit();
        index.Always.shrink_to_fit();
        if (walk)
            TRowWalkProgress::Pause();
    }
    return tables;
}

std::vector<TBarIndex::TEntry> &TBarIndex::ListOf(TTableIndex &index, std::int32_t position)
{
    const std::size_t list = position >= 0 ? std::size_t(position) + 1 : 0;
    if (list >= index.ByPosition.size())
        index.ByPosition.resize(list + 1);
    return index.ByPosition[list];
}

bool TBarIndex::Remove(TTableIndex &index, const TPlace &place, std::int32_t position, TNodeData *node)
{
    if (place.List == 2) {
        const auto it = std::find(index.Always.begin(), index.Always.end(), node);
        if (it == index.Always.end())
            return false;
        index.Always.erase(it);
        return true;
    }
    std::vector<TEntry> &entries = place.List == 1 ? index.OpenEnded : ListOf(index, position);
    auto it = std::lower_bound(entries.begin(), entries.end(), place.Low,
        [](const TEntry &entry, double value) { return entry.Low < value; });
    for (; it != entries.end() && it->Low == place.Low; ++it) {
        if (it->Node == node) {
            entries.erase(it);
            return true;
        }
    }
    return false;
}

void TBarIndex::Insert(TTableIndex &index, const TPlace &place, TNodeData *node)
{
    if (place.List == 2) {
        index.Always.push_back(node);
        return;
    }
    std::vector<TEntry> &entries = place.List == 1 ? index.OpenEnded : ListOf(index, node->nodePosition);
    const auto it = std::upper_bound(entries.begin(), entries.end(), place.Low,
        [](double value, const TEntry &entry) { return value < entry.Low; });
    entries.insert(it, { place.Low, place.High, node, node->nodePosition });
}

bool TBarIndex::FollowChanges()
{
    std::vector<TRowChange> changes;
    if (!FReader.Take(changes))
        return false;
    for (const TRowChange &change : changes) {
        const TRowSnapshot &before = change.Before;
        if (before.Existed && before.Valid
            && !Remove(FTables[before.Table],
                PlaceOf(before.Start, before.End, before.Termin, before.RecalcEndOf), before.Position,
                change.Node))
            return false;
        if (!change.Gone && change.Node->nodeValid) {
            const TNodeData &node = *change.Node;
            Insert(FTables[node.NodeTable],
                PlaceOf(node.nodeStart, node.nodeEnd, node.nodeTermin, node.RecalcEndOf), change.Node);
        }
    }
    return true;
}

std::vector<TNodeData *> TBarIndex::Rows(Document &doc, TWhichTable table, double first, double last)
{
    std::vector<TNodeData *> rows = Candidates(doc, table, first, last);
    SortInTreeOrder(rows);
    return rows;
}

void TBarIndex::SortInTreeOrder(std::vector<TNodeData *> &rows)
{
    std::sort(rows.begin(), rows.end(),
        [](const TNodeData *a, const TNodeData *b) { return a->VNode->Index() < b->VNode->Index(); });
}

void TBarIndex::EnsureBuilt(Document &doc)
{
    if (!FBuilt || FDoc != &doc)
        Rebuild(doc);
    else if (FRevision != doc.RowsRevision() && !FollowChanges())
        Rebuild(doc);
    if (FRevision != doc.RowsRevision() || !FExtremesKnown) {
        // The extremes go with the rows: worked out again on the next question.
        for (TTableIndex &index : FTables)
            index.ExtremesKnown = false;
        FExtremesKnown = true;
    }
    FRevision = doc.RowsRevision();
}

bool TBarIndex::CoversAll(Document &doc, TWhichTable table, double first, double last)
{
    EnsureBuilt(doc);
    TTableIndex &index = FTables[table];
    if (!index.ExtremesKnown) {
        index.MinLow = HUGE_VAL;
        index.MaxLow = index.OpenEnded.empty() ? -HUGE_VAL : index.OpenEnded.back().Low;
        index.MinHigh = HUGE_VAL;
        for (const std::vector<TEntry> &entries : index.ByPosition) {
            if (entries.empty())
                continue;
            index.MinLow = std::min(index.MinLow, entries.front().Low);
            index.MaxLow = std::max(index.MaxLow, entries.back().Low);
            for (const TEntry &entry : entries)
                index.MinHigh = std::min(index.MinHigh, entry.High);
        }
        index.ExtremesKnown = true;
    }
    // The same tests Candidates makes, on the extremes: the lowest start still
    // within its look back, the highest start (open-ended ones too) not past
    // `last`, the lowest end not before `first`. No indexed row: HUGE_VAL.
    return index.MaxLow <= last
        && (index.MinLow == HUGE_VAL || (index.MinLow >= first - MaxIndexedSpan && index.MinHigh >= first));
}

std::vector<TNodeData *> TBarIndex::Candidates(Document &doc, TWhichTable table, double first, double last)
{
    return Candidates(doc, table, first, last, [](std::int32_t, double, double) { return true; });
}

void TBarIndex::Collect(const std::vector<TEntry> &entries, double first, double last,
    const std::function<bool(std::int32_t, double, double)> &keep, std::vector<TNodeData *> &rows)
{
    auto it = std::lower_bound(entries.begin(), entries.end(), first - MaxIndexedSpan,
        [](const TEntry &entry, double value) { return entry.Low < value; });
    for (; it != entries.end() && it->Low <= last; ++it)
        if (it->High >= first && keep(it->Position, it->Low, it->High))
            rows.push_back(it->Node);
}

std::vector<TNodeData *> TBarIndex::Candidates(Document &doc, TWhichTable table, double first, double last,
    const std::function<bool(std::int32_t position, double low, double high)> &keep)
{
    EnsureBuilt(doc);
    const TTableIndex &index = FTables[table];
    std::vector<TNodeData *> rows = index.Always;
    for (auto open = index.OpenEnded.begin(); open != index.OpenEnded.end() && open->Low <= last; ++open)
        rows.push_back(open->Node);
    for (const std::vector<TEntry> &entries : index.ByPosition)
        Collect(entries, first, last, keep, rows);
    return rows;
}

std::vector<TNodeData *> TBarIndex::Candidates(Document &doc, TWhichTable table, double first, double last,
    const std::vector<std::int32_t> &positions,
    const std::function<bool(std::int32_t position, double low, double high)> &keep)
{
    EnsureBuilt(doc);
    const TTableIndex &index = FTables[table];
    std::vector<TNodeData *> rows = index.Always;
    for (auto open = index.OpenEnded.begin(); open != index.OpenEnded.end() && open->Low <= last; ++open)
        rows.push_back(open->Node);
    if (!index.ByPosition.empty())
        Collect(index.ByPosition.front(), first, last, keep, rows);
    for (const std::int32_t position : positions)
        if (position >= 0 && std::size_t(position) + 1 < index.ByPosition.size())
            Collect(index.ByPosition[std::size_t(position) + 1], first, last, keep, rows);
    return rows;
}
