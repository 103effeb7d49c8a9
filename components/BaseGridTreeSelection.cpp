// The selection (an array of node addresses in ascending order), its ranges,
// the range anchor, and the focused node and column.
#include "components/BaseGridTree.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <utility>

namespace {

constexpr const char *NodeMustNotBeNil = "Node must not be nil!";
constexpr const char *EndNodeMustNotBeNil = "EndNode must not be nil!";

// Entries are addresses; one made odd marks a removed entry. Node blocks are
// 8-byte aligned, so a mark never equals a node, and it keeps the array sorted.
std::uintptr_t Entry(const TGridNode *Node)
{
    return reinterpret_cast<std::uintptr_t>(Node);
}

bool Marked(std::uintptr_t Entry)
{
    return (Entry & 1) != 0;
}

TGridNode *NodeOf(std::uintptr_t Entry)
{
    return reinterpret_cast<TGridNode *>(Entry);
}

// Ascending order; big arrays by radix over the bits that differ (node
// addresses of one tree span a few hundred megabytes at most).
void SortEntries(std::vector<std::uintptr_t> &Items)
{
    if (std::is_sorted(Items.begin(), Items.end()))
        return;
    if (Items.size() < (1u << 14)) {
        std::sort(Items.begin(), Items.end());
        return;
    }
    const std::uintptr_t base = *std::min_element(Items.begin(), Items.end());
    // The bits in which the entries differ from the smallest: the alignment
    // below them and the common high part above them need no pass.
    std::uintptr_t differing = 0;
    for (std::uintptr_t v : Items)
        differing |= v - base;
    constexpr int DigitBits = 11;
    constexpr std::size_t Buckets = std::size_t(1) << DigitBits;
    std::vector<std::uintptr_t> buffer(Items.size());
    std::vector<std::size_t> count(Buckets);
    std::vector<std::uintptr_t> *from = &Items, *to = &buffer;
    for (int shift = std::countr_zero(differing); shift < 64 && (differing >> shift) != 0;
         shift += DigitBits) {
        std::fill(count.begin(), count.end(), 0);
        for (std::uintptr_t v : *from)
            ++count[((v - base) >> shift) & (Buckets - 1)];
        std::size_t sum = 0;
        for (std::size_t &c : count)
            sum += std::exchange(c, sum);
        for (std::uintptr_t v : *from)
            (*to)[count[((v - base) >> shift) & (Buckets - 1)]++] = v;
        std::swap(from, to);
    }
    if (from != &Items)
        Items.swap(buffer);
}

} // namespace

// ---- options ---------------------------------------------------------------------------

void TBaseGridTree::SetSelectionOptions(TGTSelectionOptions Value)
{
    if (Value == FSelectionOptions)
        return;
    const TGTSelectionOptions old = FSelectionOptions;
    FSelectionOptions = Value;
    const auto switchedOn = [&](TGTSelectionOption o) { return Value.contains(o) && !old.contains(o); };
    if (Value.contains(toMultiSelect) != old.contains(toMultiSelect) || switchedOn(toLevelSelectConstraint)
        || switchedOn(toSiblingSelectConstraint))
        ClearSelection();
}

// ---- the array ---------------------------------------------------------------------------

bool TBaseGridTree::FindNodeInSelection(const TGridNode *P, int &Index, int LowBound, int HighBound)
{
    MakeSelectionArray();
    const int count = int(FSelection.size());
    const int low = LowBound < 0 ? 0 : std::min(LowBound, count);
    const int high = HighBound < 0 ? count - 1 : std::min(HighBound, count - 1);
    const auto begin = FSelection.begin() + low;
    const auto end = FSelection.begin() + std::max(high + 1, low);
    const auto it = std::lower_bound(begin, end, Entry(P));
    Index = int(it - FSelection.begin());
    return it != end && *it == Entry(P);
}

int TBaseGridTree::PackArray(std::vector<std::uintptr_t> &TheArray, int Count)
{
    const auto end = TheArray.begin() + std::min<std::size_t>(std::max(Count, 0), TheArray.size());
    const auto first = std::find_if(TheArray.begin(), end, Marked);
    if (first == end)
        return -1;
    const auto kept = std::remove_if(first, end, Marked);
    TheArray.erase(kept, end);
    return int(kept - TheArray.begin());
}

void TBaseGridTree::MakeSelectionArray()
{
    if (!FSelectionByFlags)
        return;
    std::vector<std::uintptr_t> entries;
    entries.reserve(std::size_t(FFlaggedCount));
    for (TGridNode *n = FRoot->FFirstChild; n; n = GetNextNoInit(n))
        if (n->FStates.contains(vsSelected))
            entries.push_back(Entry(n));
    SortEntries(entries);
    FSelection = std::move(entries);
    FSelectionMarks = 0;
    FSelectionByFlags = false;
}

void TBaseGridTree::ClearFlaggedSelection()
{
    // Only a plain list is kept in flags; a node put below another since is
    // found by the walk.
    if (FRoot->FTotalCount == FRoot->FChildCount + 1) {
        const std::vector<TGridNode *> &nodes = ListOrder();
        constexpr std::size_t ahead = 16;
        for (std::size_t i = 0; i < nodes.size(); ++i) {
            if (i + ahead < nodes.size())
                __builtin_prefetch(
                    reinterpret_cast<const char *>(nodes[i + ahead]) + sizeof(TGridNode) - 1, 1);
            nodes[i]->FStates.exclude(vsSelected);
        }
    } else {
        for (TGridNode *n = FRoot->FFirstChild; n; n = GetNextNoInit(n))
            n->FStates.exclude(vsSelected);
    }
    FSelectionByFlags = false;
    FFlaggedCount = 0;
}

void TBaseGridTree::PackSelection()
{
    if (FSelectionMarks == 0)
        return;
    PackArray(FSelection, int(FSelection.size()));
    FSelectionMarks = 0;
}

bool TBaseGridTree::MarkSelectionEntry(const TGridNode *Node)
{
    const auto it = std::lower_bound(FSelection.begin(), FSelection.end(), Entry(Node));
    if (it == FSelection.end() || *it != Entry(Node))
        return false;
    *it |= 1;
    ++FSelectionMarks;
    return true;
}

// ---- adding and removing -----------------------------------------------------------------

void TBaseGridTree::FixSelectionConstraints(TGridNode *First)
{
    if (!First)
        return;
    if (FSelectionOptions.contains(toLevelSelectConstraint) && FLastSelectionLevel < 0)
        FLastSelectionLevel = int(GetNodeLevel(First));
    if (FSelectionOptions.contains(toSiblingSelectConstraint) && !FRangeAnchor)
        FRangeAnchor = First;
}

bool TBaseGridTree::AcceptForSelection(TGridNode *Node, bool ForceInsert) const
{
    if (Node == nullptr || Node == FRoot || Node->FStates.contains(vsSelected))
        return false;
    if (ForceInsert)
        return true;
    if (Node->FStates.contains(vsDisabled))
        return false;
    if (FSelectionOptions.contains(toLevelSelectConstraint) && int(GetNodeLevel(Node)) != FLastSelectionLevel)
        return false;
    return !FSelectionOptions.contains(toSiblingSelectConstraint) || !FRangeAnchor
        || Node->FParent == FRangeAnchor->FParent;
}

bool TBaseGridTree::MergeIntoSelection(std::vector<std::uintptr_t> &&Items)
{
    if (Items.empty())
        return false;
    if (FSelectionByFlags) {
        FFlaggedCount += int(Items.size());
        return true;
    }
    SortEntries(Items);
    PackSelection();
    if (FSelection.empty()) {
        FSelection = std::move(Items);
        return true;
    }
    if (Items.size() >= FSelection.size() / 8) {
        // Many new entries: one merge into a new array, each entry moved once.
        std::vector<std::uintptr_t> merged(FSelection.size() + Items.size());
        std::merge(FSelection.begin(), FSelection.end(), Items.begin(), Items.end(), merged.begin());
        FSelection.swap(merged);
        return true;
    }
    // From the back: each new entry finds its place among the existing ones
    // below the last place, and the block above it moves up in one go.
    const std::size_t existing = FSelection.size();
    std::size_t remaining = Items.size();
    FSelection.resize(existing + remaining);
    std::uintptr_t *a = FSelection.data();
    std::size_t m = existing;
    while (remaining > 0) {
        if (m == 0) {
            std::memcpy(a, Items.data(), remaining * sizeof(std::uintptr_t));
            break;
        }
        const std::uintptr_t v = Items[remaining - 1];
        const std::size_t pos = std::size_t(std::lower_bound(a, a + m, v) - a);
        std::memmove(a + pos + remaining, a + pos, (m - pos) * sizeof(std::uintptr_t));
        a[pos + remaining - 1] = v;
        m = pos;
        --remaining;
    }
    return true;
}

bool TBaseGridTree::InternalAddToSelection(TGridNode *Node, bool ForceInsert)
{
    if (!ForceInsert)
        FixSelectionConstraints(Node);
    if (!AcceptForSelection(Node, ForceInsert))
        return false;
    // The cache worker reads the same state words: it pauses, its cache stays.
    const TValidationStop stop(*this, true);
    Node->FStates.include(vsSelected);
    TellSelectionMark(Node, true);
    if (FSelectionByFlags) {
        ++FFlaggedCount;
        return true;
    }
    int index;
    FindNodeInSelection(Node, index);
    FSelection.insert(FSelection.begin() + index, Entry(Node));
    return true;
}

bool TBaseGridTree::InternalAddToSelection(const TNodeArray &NewItems, int NewLength, bool ForceInsert)
{
    TGridNode *single;
    return AddItems(NewItems, NewLength, ForceInsert, single);
}

bool TBaseGridTree::AddItems(const TNodeArray &NewItems, int NewLength, bool ForceInsert, TGridNode *&Single)
{
    Single = nullptr;
    const std::size_t length = std::min<std::size_t>(std::max(NewLength, 0), NewItems.size());
    if (length == 0)
        return false;
    if (!ForceInsert)
        FixSelectionConstraints(NewItems[0]);
    const TValidationStop stop(*this, true);
    std::vector<std::uintptr_t> accepted;
    accepted.reserve(length);
    for (std::size_t i = 0; i < length; ++i) {
        TGridNode *node = NewItems[i];
        if (AcceptForSelection(node, ForceInsert)) {
            node->FStates.include(vsSelected);
            TellSelectionMark(node, true);
            accepted.push_back(Entry(node));
        }
    }
    if (accepted.size() == 1)
        Single = NodeOf(accepted.front());
    return MergeIntoSelection(std::move(accepted));
}

void TBaseGridTree::NotifySelectionChange(TGridNode *Single)
{
    if (Single)
        FHooks->InvalidateNode(Single);
    else
        FHooks->InvalidateTree();
    Change(Single);
}

void TBaseGridTree::AddToSelection(TGridNode *Node)
{
    if (FSelectionLocked)
        return;
    if (Node == nullptr)
        throw EGridTreeAssertion(NodeMustNotBeNil);
    if (InternalAddToSelection(Node, false))
        NotifySelectionChange(Node);
}

void TBaseGridTree::AddToSelection(const TNodeArray &NewItems, int NewLength, bool ForceInsert)
{
    if (FSelectionLocked)
        return;
    TGridNode *single;
    if (AddItems(NewItems, NewLength, ForceInsert, single))
        NotifySelectionChange(single);
}

void TBaseGridTree::InternalRemoveFromSelection(TGridNode *Node)
{
    if (Node == nullptr || !Node->FStates.contains(vsSelected))
        return;
    const TValidationStop stop(*this, true);
    Node->FStates.exclude(vsSelected);
    TellSelectionMark(Node, false);
    if (FSelectionByFlags)
        FSelectionByFlags = --FFlaggedCount > 0;
    else
        MarkSelectionEntry(Node);
}

void TBaseGridTree::RemoveFromSelection(TGridNode *Node)
{
    if (FSelectionLocked)
        return;
    if (Node == nullptr)
        throw EGridTreeAssertion(NodeMustNotBeNil);
    if (!Node->FStates.contains(vsSelected))
        return;
    {
        const TValidationStop stop(*this, true);
        Node->FStates.exclude(vsSelected);
    }
    TellSelectionMark(Node, false);
    int index;
    if (FSelectionByFlags)
        FSelectionByFlags = --FFlaggedCount > 0;
    else if (FindNodeInSelection(Node, index))
        FSelection.erase(FSelection.begin() + index);
    if (SelectedCount() == 0)
        ResetRangeAnchor();
    Change(Node);
}

void TBaseGridTree::InternalClearSelection()
{
    PackSelection();
    const TValidationStop stop(*this, true);
    if (FSelectionByFlags)
        ClearFlaggedSelection();
    for (std::uintptr_t entry : FSelection)
        NodeOf(entry)->FStates.exclude(vsSelected);
    std::vector<std::uintptr_t>().swap(FSelection);
    TellSelectionMark(nullptr, false);
    ResetRangeAnchor();
    DoStateChange({}, { tsClearPending });
}

void TBaseGridTree::ClearSelection()
{
    if (FSelectionLocked || SelectedCount() == 0 || FDestroying)
        return;
    if (!Updating())
        FHooks->InvalidateSelection();
    InternalClearSelection();
    Change(nullptr);
}

// ---- freed nodes -----------------------------------------------------------------------------

void TBaseGridTree::ForgetFreedNode(TGridNode *Node)
{
    TBaseGridTree::InternalRemoveFromSelection(Node);
    std::replace(FTempNodeCache.begin(), FTempNodeCache.end(), Node, static_cast<TGridNode *>(nullptr));
}

void TBaseGridTree::ForgetAllNodes()
{
    if (!FSelection.empty() || FSelectionByFlags)
        InternalClearSelection();
    std::fill(FTempNodeCache.begin(), FTempNodeCache.end(), nullptr);
}

void TBaseGridTree::DropDeletedFromSelection(TGridNode *Node)
{
    if (!Node->FStates.contains(vsSelected))
        return;
    if (Updating()) {
        InternalRemoveFromSelection(Node);
        return;
    }
    // Told at once: a delayed notification would name a freed node.
    const bool synch = FStates.contains(tsSynchMode);
    DoStateChange({ tsSynchMode });
    struct Restore {
        TBaseGridTree *tree;
        bool synch;
        ~Restore()
        {
            if (!synch)
                tree->DoStateChange({}, { tsSynchMode });
        }
    } restore { this, synch };
    RemoveFromSelection(Node);
}

// ---- ranges ----------------------------------------------------------------------------------

int TBaseGridTree::CompareNodePositions(TGridNode *Node1, TGridNode *Node2, bool ConsiderChildrenAbove) const
{
    if (Node1 == nullptr || Node2 == nullptr)
        throw EGridTreeAssertion(GridTreeTexts::NodesNeverNil);
    if (Node1 == Node2)
        return 0;
    const bool above = ConsiderChildrenAbove && FPaintOptions.contains(toChildrenAbove);
    if (HasAsParent(Node1, Node2))
        return above ? -1 : 1;
    if (HasAsParent(Node2, Node1))
        return above ? 1 : -1;
    uint32_t level1 = GetNodeLevel(Node1);
    uint32_t level2 = GetNodeLevel(Node2);
    for (; level1 > level2; --level1)
        Node1 = Node1->FParent;
    for (; level2 > level1; --level2)
        Node2 = Node2->FParent;
    while (Node1->FParent != Node2->FParent) {
        Node1 = Node1->FParent;
        Node2 = Node2->FParent;
    }
    return int(int64_t(Node1->Index()) - int64_t(Node2->Index()));
}

TGridNode *TBaseGridTree::RangeStart(TGridNode *Node, bool TopLevelDefault)
{
    if (Node == nullptr)
        Node = TopLevelDefault ? GetFirstChild(nullptr) : GetFirstVisible();
    return RangeEnd(Node);
}

// A node the display does not show stands for the nearest shown one above it.
TGridNode *TBaseGridTree::RangeEnd(TGridNode *Node)
{
    if (Node == nullptr || Node == FRoot || Displayed(Node))
        return Node == FRoot ? nullptr : Node;
    if (TGridNode *previous = GetPreviousVisible(Node))
        return previous;
    return GetFirstVisible();
}

void TBaseGridTree::SelectNodes(TGridNode *StartNode, TGridNode *EndNode, bool AddOnly)
{
    if (EndNode == nullptr)
        throw EGridTreeAssertion(EndNodeMustNotBeNil);
    if (FSelectionLocked)
        return;
    ClearTempCache();
    TGridNode *first = RangeStart(StartNode, false);
    TGridNode *last = RangeEnd(EndNode);
    if (!first || !last)
        return;
    if (CompareNodePositions(first, last, true) > 0)
        std::swap(first, last);
    TGridNode *oldAnchor = FRangeAnchor;
    const int cleared = AddOnly ? 0 : SelectedCount();
    if (!AddOnly)
        InternalClearSelection();
    for (TGridNode *n = first; n; n = GetNextVisible(n)) {
        InternalCacheNode(n);
        if (n == last)
            break;
    }
    TGridNode *single;
    const bool added = AddItems(FTempNodeCache, TempNodeCount(), false, single);
    ClearTempCache();
    if (oldAnchor && Selected(oldAnchor))
        FRangeAnchor = oldAnchor;
    if (added || cleared > 0)
        NotifySelectionChange(cleared > 0 ? nullptr : single);
}

void TBaseGridTree::ToggleSelection(TGridNode *StartNode, TGridNode *EndNode)
{
    if (EndNode == nullptr)
        throw EGridTreeAssertion(EndNodeMustNotBeNil);
    if (FSelectionLocked)
        return;
    TGridNode *first = RangeStart(StartNode, true);
    TGridNode *last = RangeEnd(EndNode);
    if (!first || !last || CompareNodePositions(first, last, true) == 0)
        return;
    if (CompareNodePositions(first, last, true) > 0)
        std::swap(first, last);
    ClearTempCache();
    TGridNode *anchor = FRangeAnchor;
    // The anchor's own end of the range stays as it is.
    const bool toggleFirst = !anchor || CompareNodePositions(first, anchor, true) < 0;
    const bool toggleLast = !anchor || CompareNodePositions(last, anchor, true) > 0;
    const int before = SelectedCount();
    TNodeArray removed;
    const auto toggle = [&](TGridNode *n) {
        if (n->FStates.contains(vsSelected)) {
            InternalRemoveFromSelection(n);
            removed.push_back(n);
        } else {
            InternalCacheNode(n);
        }
    };
    TGridNode *n = first;
    for (; n && n != last; n = GetNextVisible(n))
        if (n != first || toggleFirst)
            toggle(n);
    if (n == last && toggleLast)
        toggle(last);
    PackSelection();
    if (anchor && !anchor->FStates.contains(vsSelected))
        InternalCacheNode(anchor);
    TGridNode *single;
    AddItems(FTempNodeCache, TempNodeCount(), false, single);
    ClearTempCache();
    // An anchor inside the range goes and comes back: that is no change.
    const int gone = int(std::count_if(
        removed.begin(), removed.end(), [](TGridNode *r) { return !r->FStates.contains(vsSelected); }));
    const int added = SelectedCount() - before + gone;
    if (gone > 0 || added > 0)
        NotifySelectionChange(gone == 0 && added == 1 ? single : nullptr);
}

void TBaseGridTree::UnselectNodes(TGridNode *StartNode, TGridNode *EndNode)
{
    if (FSelectionLocked)
        return;
    if (EndNode == nullptr)
        throw EGridTreeAssertion(EndNodeMustNotBeNil);
    TGridNode *first = RangeStart(StartNode, true);
    TGridNode *last = RangeEnd(EndNode);
    if (!first || !last)
        return;
    if (CompareNodePositions(first, last, true) > 0)
        std::swap(first, last);
    const int before = SelectedCount();
    for (TGridNode *n = first; n && n != last; n = GetNextVisible(n))
        InternalRemoveFromSelection(n);
    PackSelection();
    if (SelectedCount() == before)
        return;
    if (SelectedCount() == 0)
        ResetRangeAnchor();
    NotifySelectionChange(nullptr);
}

void TBaseGridTree::SelectAll(bool VisibleOnly)
{
    if (!FSelectionOptions.contains(toMultiSelect) || FSelectionLocked)
        return;
    const TValidationStop stop(*this, true);
    std::vector<std::uintptr_t> accepted;
    const int before = SelectedCount();
    if (!SelectAllOfList(VisibleOnly, accepted)) {
        // One pass: each unselected node is checked and marked as the walk meets it.
        bool constraintsFixed = false;
        for (TGridNode *n = VisibleOnly ? GetFirstVisible() : GetFirst(); n;
             n = VisibleOnly ? GetNextVisible(n) : GetNext(n))
            AcceptInSelectAll(n, constraintsFixed, accepted);
        TGridNode *single = accepted.size() == 1 ? NodeOf(accepted.front()) : nullptr;
        if (MergeIntoSelection(std::move(accepted)))
            NotifySelectionChange(single);
        return;
    }
    if (accepted.empty())
        return;
    // Every selected node is a node of the list and flagged: the flags are the
    // selection, and the array of a large list is neither sorted nor kept.
    TGridNode *single = accepted.size() == 1 ? NodeOf(accepted.front()) : nullptr;
    std::vector<std::uintptr_t>().swap(FSelection);
    FSelectionMarks = 0;
    FSelectionByFlags = true;
    FFlaggedCount = before + int(accepted.size());
    std::vector<std::uintptr_t>().swap(accepted);
    NotifySelectionChange(single);
}

void TBaseGridTree::AcceptInSelectAll(
    TGridNode *Node, bool &ConstraintsFixed, std::vector<std::uintptr_t> &Accepted)
{
    if (Node->FStates.contains(vsSelected))
        return;
    if (!ConstraintsFixed) {
        FixSelectionConstraints(Node);
        ConstraintsFixed = true;
    }
    if (AcceptForSelection(Node, false)) {
        Node->FStates.include(vsSelected);
        TellSelectionMark(Node, true);
        Accepted.push_back(Entry(Node));
    }
}

bool TBaseGridTree::SelectAllOfList(bool VisibleOnly, std::vector<std::uintptr_t> &Accepted)
{
    // A list: top-level nodes only. After a sort its nodes lie anywhere in
    // memory; the chain is read from both ends at once and the nodes are
    // marked with the next ones fetched ahead, where a walk along the links
    // waits for each node in turn.
    if (FRoot->FTotalCount != FRoot->FChildCount + 1 || FRoot->FChildCount < 2)
        return false;
    const std::vector<TGridNode *> &nodes = ListOrder();
    const std::size_t dataOffset = sizeof(TGridNode) + FTotalInternalDataSize;
    constexpr std::size_t ahead = 16;
    bool constraintsFixed = false;
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        if (i + ahead < nodes.size()) {
            __builtin_prefetch(reinterpret_cast<const char *>(nodes[i + ahead]) + sizeof(TGridNode) - 1, 1);
            __builtin_prefetch(reinterpret_cast<const char *>(nodes[i + ahead]) + dataOffset);
        }
        TGridNode *n = nodes[i];
        if (VisibleOnly && !EffVisible(n))
            continue;
        // A node the walk would first initialise (or give children) is left
        // to the walk: what was marked is taken back.
        if (!n->FStates.contains(vsInitialized) || n->FStates.contains(vsHasChildren)) {
            for (const std::uintptr_t entry : Accepted) {
                NodeOf(entry)->FStates.exclude(vsSelected);
                TellSelectionMark(NodeOf(entry), false);
            }
            Accepted.clear();
            return false;
        }
        AcceptInSelectAll(n, constraintsFixed, Accepted);
    }
    return true;
}

// ---- reading ------------------------------------------------------------------------------------

TGridNode *TBaseGridTree::GetFirstSelected(bool ConsiderChildrenAbove)
{
    if (SelectedCount() == 0)
        return nullptr;
    TGridNode *first = GetFirstNoInit(ConsiderChildrenAbove);
    if (first && !first->FStates.contains(vsSelected))
        return GetNextSelected(first, ConsiderChildrenAbove);
    if (first && !first->FStates.contains(vsInitialized))
        InitNode(first);
    return first;
}

TGridNode *TBaseGridTree::GetNextSelected(TGridNode *Node, bool ConsiderChildrenAbove)
{
    if (SelectedCount() == 0)
        return nullptr;
    for (TGridNode *n = GetNextNoInit(Node, ConsiderChildrenAbove); n;
         n = GetNextNoInit(n, ConsiderChildrenAbove))
        if (n->FStates.contains(vsSelected)) {
            if (!n->FStates.contains(vsInitialized))
                InitNode(n);
            return n;
        }
    return nullptr;
}

TNodeArray TBaseGridTree::GetSortedSelection(bool Resolve)
{
    TNodeArray result;
    const std::size_t count = std::size_t(SelectedCount());
    if (count == 0)
        return result;
    // Every row of a list selected (a select-all): the list itself, in order,
    // without reading or placing the selection's entries.
    if (count == FRoot->FChildCount && FRoot->FTotalCount == FRoot->FChildCount + 1)
        return ListOrder();
    // A few left of a select-all are found in the array again, many by the walk below.
    if (FSelectionByFlags && count <= FRoot->FTotalCount / 16)
        MakeSelectionArray();
    result.reserve(count);
    // The selected nodes of a list (no node below another) are put in order by
    // their numbers instead of being looked for along the whole tree: the array
    // is read in address order, and the nodes' records with it, where a walk
    // along the links waits for each node in turn. A few are sorted; many are
    // put straight into their places.
    PackSelection();
    for (const std::uintptr_t entry : FSelection) {
        TGridNode *node = reinterpret_cast<TGridNode *>(entry);
        if (node->FParent != FRoot)
            break;
        result.push_back(node);
    }
    if (!FSelectionByFlags && result.size() == count) {
        if (count <= FRoot->FTotalCount / 16) {
            std::sort(result.begin(), result.end(),
                [](const TGridNode *a, const TGridNode *b) { return a->Index() < b->Index(); });
            return result;
        }
        TNodeArray places(FRoot->FChildCount, nullptr);
        for (TGridNode *node : result)
            places[node->Index()] = node;
        result.clear();
        for (TGridNode *node : places)
            if (node)
                result.push_back(node);
        return result;
    }
    result.clear();
    TGridNode *n = FRoot->FFirstChild;
    while (n) {
        if (!n->FStates.contains(vsSelected)) {
            n = GetNextNoInit(n);
            continue;
        }
        result.push_back(n);
        if (result.size() == count)
            break;
        if (!Resolve) {
            n = GetNextNoInit(n);
            continue;
        }
        // Past the subtree: the next sibling, or the nearest ancestor's.
        while (n != FRoot && !n->FNextSibling)
            n = n->FParent;
        n = n == FRoot ? nullptr : n->FNextSibling;
    }
    return result;
}

void TBaseGridTree::DeleteSelectedNodes()
{
    if (SelectedCount() == 0 || FMiscOptions.contains(toReadOnly))
        return;
    BeginUpdate();
    struct End {
        TBaseGridTree *tree;
        ~End() { tree->EndUpdate(); }
    } end { this };
    const TNodeArray nodes = GetSortedSelection(true);
    for (std::size_t i = nodes.size() - 1; i > 0; --i)
        DeleteNode(nodes[i], nodes[i]->FParent != nodes[i - 1]->FParent);
    DeleteNode(nodes[0], true);
    // Delivered once when the bracket closes.
    Change(nullptr);
}

// ---- Selected[] ----------------------------------------------------------------------------------

void TBaseGridTree::SetSelected(TGridNode *Node, bool Value)
{
    if (FSelectionLocked || Node == nullptr || Node == FRoot || Node->FStates.contains(vsSelected) == Value)
        return;
    if (Value) {
        bool cleared = false;
        if (SelectedCount() == 0) {
            FRangeAnchor = Node;
        } else if (!FSelectionOptions.contains(toMultiSelect)) {
            // One notification for the whole change, below.
            FHooks->InvalidateSelection();
            InternalClearSelection();
            cleared = true;
        }
        if (InternalAddToSelection(Node, false) || cleared)
            NotifySelectionChange(Node->FStates.contains(vsSelected) ? Node : nullptr);
        if (FHooks->ColumnCount() > 0 && (FFocusedColumn < 0 || !FHooks->ColumnVisible(FFocusedColumn))) {
            const int main = FHooks->MainColumn();
            FFocusedColumn = FHooks->ColumnVisible(main) && FHooks->ColumnAllowsFocus(main)
                ? main
                : FHooks->FirstVisibleColumn();
        }
        if (!FRangeAnchor)
            FRangeAnchor = Node;
    } else {
        RemoveFromSelection(Node);
        if (SelectedCount() == 0)
            ResetRangeAnchor();
    }
    if (FullyVisible(Node) && !IsEffectivelyHidden(Node))
        FHooks->InvalidateNode(Node);
}

void TBaseGridTree::ResetRangeAnchor()
{
    FRangeAnchor = FFocusedNode.get();
    FLastSelectionLevel = -1;
}

// ---- focus ----------------------------------------------------------------------------------------

bool TBaseGridTree::DoFocusChanging(TGridNode *OldNode, TGridNode *NewNode, int OldColumn, int NewColumn)
{
    bool allowed = OldColumn == NewColumn || FHooks->ColumnAllowsFocus(NewColumn);
    if (OnFocusChanging)
        OnFocusChanging(*this, OldNode, NewNode, OldColumn, NewColumn, allowed);
    return allowed;
}

void TBaseGridTree::DoFocusChange(TGridNode *Node, int Column)
{
    if (OnFocusChanged)
        OnFocusChanged(*this, Node, Column);
}

void TBaseGridTree::DoFocusNode(TGridNode *Node, bool Ask)
{
    if (!FHooks->EndEdit())
        return;
    if (Node == FRoot)
        Node = nullptr;
    if (Node != FFocusedNode) {
        if (Ask && !DoFocusChanging(FFocusedNode, Node, FFocusedColumn, FFocusedColumn))
            return;
        TGridNode *old = FFocusedNode;
        if (old && Node && FAutoOptions.contains(toAutoExpand) && old->FParent == Node->FParent
            && old->FStates.contains(vsExpanded))
            ToggleNode(old);
        else if (old)
            FHooks->InvalidateNode(old);
        FFocusedNode = Node;
    }
    if (TGridNode *focused = FFocusedNode) {
        const int columns = FHooks->ColumnCount();
        if (columns > 0 && (FFocusedColumn < 0 || FFocusedColumn >= columns))
            FFocusedColumn = FHooks->MainColumn();
        if (FAutoOptions.contains(toAutoExpand) && !focused->FStates.contains(vsExpanded)
            && focused->FStates.contains(vsHasChildren))
            ToggleNode(focused);
        if (FFocusedNode) {
            FHooks->InvalidateNode(FFocusedNode);
            if (!Updating() && !FAutoOptions.contains(toDisableAutoscrollOnFocus))
                FHooks->ScrollIntoView(FFocusedNode,
                    FSelectionOptions.contains(toCenterScrollIntoView) && !FHooks->MouseButtonDown(), true);
        }
    }
    if (SelectedCount() == 0)
        ResetRangeAnchor();
}

void TBaseGridTree::SetFocusedNode(TGridNode *Value)
{
    TGridNode *was = FFocusedNode;
    DoFocusNode(Value, true);
    if (FFocusedNode != was)
        DoFocusChange(FFocusedNode, FFocusedColumn);
}

void TBaseGridTree::SetFocusedColumn(int Value)
{
    if (Value == FFocusedColumn || !DoFocusChanging(FFocusedNode, FFocusedNode, FFocusedColumn, Value))
        return;
    FHooks->CancelEdit();
    FHooks->InvalidateColumn(FFocusedColumn);
    FHooks->InvalidateColumn(Value);
    FFocusedColumn = Value;
    if (FFocusedNode && !FAutoOptions.contains(toDisableAutoscrollOnFocus)
        && FHooks->ScrollIntoView(FFocusedNode, FSelectionOptions.contains(toCenterScrollIntoView), true))
        FHooks->InvalidateNode(FFocusedNode);
    if (FDropTargetNode)
        FHooks->InvalidateNode(FDropTargetNode);
    DoFocusChange(FFocusedNode, FFocusedColumn);
}

void TBaseGridTree::SetFocusedNodeAndColumn(TGridNode *Node, int Column)
{
    if (!FHooks->ColumnAllowsFocus(Column))
        Column = FFocusedColumn;
    if (Node == FRoot)
        Node = nullptr;
    const bool changed = Node != FFocusedNode || Column != FFocusedColumn;
    const int oldColumn = FFocusedColumn;
    FFocusedColumn = Column;
    DoFocusNode(Node, true);
    if (FFocusedNode == Node) {
        FHooks->CancelEdit();
        if (changed)
            DoFocusChange(FFocusedNode, FFocusedColumn);
    } else {
        FFocusedColumn = oldColumn;
    }
}
