#include "timechart/DataBounds.h"

#include "document/Document.h"

#include <algorithm>
#include <vector>

namespace {

// A derived end is stored as text to the second: the value read back from the
// cell may differ from the one the walk used by less than that.
constexpr double EdgeTolerance = 2.0 / 86400;

// Rounds of changes followed in one call: deriving an end may change other rows
// (absent days), which are followed in the next round.
constexpr int MaxRounds = 8;

} // namespace

TDataBounds::TDataBounds(Document &doc)
    : FDoc(doc)
    , FReader(doc.RowChanges())
{ }

bool TDataBounds::Get(TDateTime &min, TDateTime &max)
{
    if (!FollowChanges())
        WalkAll();
    if (!FAny)
        return false;
    min = FMin;
    max = FMax;
    return true;
}

void TDataBounds::Widen(TNodeData &node)
{
    if (!FDoc.GetNodeValid(&node))
        return;
    const TDateTime start = FDoc.GetStartOf(&node);
    const TDateTime end = FDoc.GetEndOf(&node);
    if (!FAny) {
        FMin = start;
        FMax = end;
        FAny = true;
    }
    FMin = std::min(FMin, start);
    FMax = std::max(FMax, end);
    const TDateTime deadline = FDoc.GetTerminOf(&node);
    if (deadline != 0) {
        FMin = std::min(FMin, deadline);
        FMax = std::max(FMax, deadline);
    }
}

void TDataBounds::WalkAll()
{
    FAny = false;
    FDoc.ForEach(feAll, [this](TNodeData &node) { Widen(node); });
    FReader.Skip();
}

bool TDataBounds::OnEdge(const TRowSnapshot &before) const
{
    if (!before.Existed || !before.Valid || !FAny)
        return false;
    auto edge
        = [this](TDateTime date) { return date <= FMin + EdgeTolerance || date >= FMax - EdgeTolerance; };
    return edge(before.Start) || edge(before.End) || (before.Termin != 0 && edge(before.Termin));
}

bool TDataBounds::FollowChanges()
{
    std::vector<TRowChange> changes;
    for (int round = 0; round < MaxRounds; ++round) {
        if (!FReader.Take(changes))
            return false;
        if (changes.empty())
            return true;
        // A row that bounded the range may have moved inwards: only a walk
        // over every row finds the new edge.
        for (const TRowChange &change : changes)
            if (OnEdge(change.Before))
                return false;
        // Tasks before absent rows, as the full walk takes them.
        for (const TWhichTable table : { tbTable, tbExclude })
            for (const TRowChange &change : changes)
                if (!change.Gone && change.Node->NodeTable == table)
                    Widen(*change.Node);
    }
    return false;
}
