#include "timechart/BarIndex.h"

#include "components/GridNode.h"
#include "document/Document.h"
#include "document/DocumentTable.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// Rows longer than this are kept aside and visited by every paint: the search by
// start looks this far back.
constexpr double MaxIndexedSpan = 62;

// Sorts entries by their first day. The days are whole: counting them sorts in
// one pass over the entries and the days they span (comparing would cost a
// log factor on every rebuild, and a plan's rows change often); a plan spread
// over far more days than it has rows is sorted by comparison.
template <typename Entry> void SortByLow(std::vector<Entry> &entries)
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
    for (const Entry &entry : entries)
        ++starts[std::size_t(entry.Low - first) + 1];
    for (std::size_t day = 1; day < starts.size(); ++day)
        starts[day] += starts[day - 1];
    std::vector<Entry> sorted(entries.size());
    for (const Entry &entry : entries)
        sorted[starts[std::size_t(entry.Low - first)]++] = entry;
    entries.swap(sorted);
}

} // namespace

void TBarIndex::Rebuild(const Document &doc)
{
    FDoc = &doc;
    FRevision = doc.RowsRevision();
    FBuilt = true;
    for (TWhichTable table : { tbTable, tbExclude }) {
        // Made anew rather than emptied: once their ends are derived a plan's rows
        // move from the open-ended list to the indexed one, and the room a list
        // held before would otherwise stay with it.
        TTableIndex &index = FTables[table];
        index = {};
        for (TNodeData *node : doc.GetTable(table).Rows()) {
            if (!node->nodeValid)
                continue;
            // Whole days from the bar's start to the day after its end, widened to
            // its deadline.
            double low = DatePart(node->nodeStart);
            double high = DatePart(std::max(node->nodeEnd, node->nodeStart)) + 1;
            if (node->nodeTermin != 0) {
                low = std::min(low, DatePart(node->nodeTermin));
                high = std::max(high, DatePart(node->nodeTermin) + 1);
            }
            if (node->RecalcEndOf)
                index.OpenEnded.push_back({ low, high, node });
            else if (high - low > MaxIndexedSpan)
                index.Always.push_back(node);
            else
                index.ByStart.push_back({ low, high, node });
        }
        SortByLow(index.ByStart);
        SortByLow(index.OpenEnded);
        index.MinLow = index.ByStart.empty() ? 0 : index.ByStart.front().Low;
        index.MaxLow = std::max(index.ByStart.empty() ? -HUGE_VAL : index.ByStart.back().Low,
            index.OpenEnded.empty() ? -HUGE_VAL : index.OpenEnded.back().Low);
        index.MinHigh = HUGE_VAL;
        for (const TEntry &entry : index.ByStart)
            index.MinHigh = std::min(index.MinHigh, entry.High);
        index.ByStart.shrink_to_fit();
        index.OpenEnded.shrink_to_fit();
        index.Always.shrink_to_fit();
    }
}

std::vector<TNodeData *> TBarIndex::Rows(const Document &doc, TWhichTable table, double first, double last)
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

void TBarIndex::EnsureBuilt(const Document &doc)
{
    if (!FBuilt || FDoc != &doc || FRevision != doc.RowsRevision())
        Rebuild(doc);
}

bool TBarIndex::CoversAll(const Document &doc, TWhichTable table, double first, double last)
{
    EnsureBuilt(doc);
    const TTableIndex &index = FTables[table];
    // The same tests Candidates makes, on the extremes: the lowest start still
    // within its look back, the highest start (open-ended ones too) not past
    // `last`, the lowest end not before `first`.
    return index.MaxLow <= last
        && (index.ByStart.empty() || (index.MinLow >= first - MaxIndexedSpan && index.MinHigh >= first));
}

std::vector<TNodeData *> TBarIndex::Candidates(
    const Document &doc, TWhichTable table, double first, double last)
{
    EnsureBuilt(doc);
    const TTableIndex &index = FTables[table];
    std::vector<TNodeData *> rows = index.Always;
    for (auto open = index.OpenEnded.begin(); open != index.OpenEnded.end() && open->Low <= last; ++open)
        rows.push_back(open->Node);
    auto it = std::lower_bound(index.ByStart.begin(), index.ByStart.end(), first - MaxIndexedSpan,
        [](const TEntry &entry, double value) { return entry.Low < value; });
    for (; it != index.ByStart.end() && it->Low <= last; ++it)
        if (it->High >= first)
            rows.push_back(it->Node);
    return rows;
}
