#include "components/PositionCache.h"

#include "components/ValidationWorker.h"

#include <algorithm>

namespace {

// The tree states that mirror the validation states.
constexpr std::pair<TChangeState, TGridTreeState> StateMap[] = {
    { csStopValidation, tsStopValidation },
    { csUseCache, tsUseCache },
    { csValidating, tsValidating },
    { csValidationNeeded, tsValidationNeeded },
};

constexpr TGridTreeStates ValidationStates { tsStopValidation, tsUseCache, tsValidating, tsValidationNeeded };

// Steps over the shown rows in display order. What stays the same during a walk
// is read once; the common step of a flat list (a leaf to its shown sibling)
// is taken here, everything else by the store's walk.
class TRowWalk {
public:
    explicit TRowWalk(TBaseGridTree &Tree)
        : FTree(Tree)
        , FPlain(!Tree.PaintOptions().contains(toChildrenAbove))
        , FVariable(Tree.MiscOptions().contains(toVariableNodeHeight))
    { }

    static bool Leaf(const TGridNode *Node) { return !(Node->Has(vsExpanded) && Node->FirstChild()); }

    TGridNode *Next(TGridNode *Node) const
    {
        if (FPlain && Leaf(Node)) {
            TGridNode *next = Node->NextSibling();
            if (next && FTree.IsEffectivelyVisible(next))
                return next;
        }
        return FTree.GetNextVisibleNoInit(Node, true);
    }
    TGridNode *Previous(TGridNode *Node) const
    {
        if (FPlain) {
            TGridNode *previous = Node->PrevSibling();
            if (previous && Leaf(previous) && FTree.IsEffectivelyVisible(previous))
                return previous;
        }
        return FTree.GetPreviousVisibleNoInit(Node, true);
    }
    // Heights as they stand on the worker; on this thread nodes of variable
    // height are initialised (and so measured) when read.
    uint32_t Height(TGridNode *Node, bool Measure = true) const
    {
        return FVariable && Measure ? FTree.NodeHeight(Node) : Node->NodeHeight();
    }

private:
    TBaseGridTree &FTree;
    const bool FPlain;
    const bool FVariable;
};

} // namespace

TPositionCache::TPositionCache(TBaseGridTree &Tree)
    : FTree(Tree)
{ }

TPositionCache::~TPositionCache()
{
    if (TWorkerThread *worker = TWorkerThread::Instance())
        worker->RemoveTree(this, true);
}

// ---- states ------------------------------------------------------------------------------

void TPositionCache::ChangeTreeStates(TChangeStates Enter, TChangeStates Leave)
{
    TChangeStates states = FStates.load(std::memory_order_relaxed);
    while (!FStates.compare_exchange_weak(states, TChangeStates((states | Enter) & ~Leave),
        std::memory_order_acq_rel, std::memory_order_relaxed)) { }
}

void TPositionCache::SyncTreeStates()
{
    const TChangeStates states = States();
    TGridTreeStates now;
    for (const auto &[change, tree] : StateMap)
        now.set(tree, states & change);
    const TGridTreeStates current = FTree.TreeStates() * ValidationStates;
    FTree.DoStateChange(now - current, current - now);
    if (now.contains(tsUseCache) && !current.contains(tsUseCache))
        emit CacheValidated();
}

bool TPositionCache::Pending() const
{
    return FQueued.load(std::memory_order_acquire) || (States() & csValidating);
}

void TPositionCache::InvalidateCache()
{
    FLastHit = {};
    ChangeTreeStates(csValidationNeeded, csUseCache);
    SyncTreeStates();
}

void TPositionCache::ValidateCache()
{
    InterruptValidation();
    FStartIndex = 0;
    // Small trees are walked; they never need the worker.
    if (!(States() & csValidationNeeded) || FTree.VisibleCount() <= CacheThreshold)
        return;
    TWorkerThread *worker = TWorkerThread::Instance();
    if (!worker)
        return;
    ChangeTreeStates(0, csStopValidation);
    SyncTreeStates();
    FQueued.store(true, std::memory_order_release);
    worker->AddTree(this);
}

bool TPositionCache::InterruptValidation()
{
    FLastHit = {};
    const TChangeStates before = States();
    ChangeTreeStates(csStopValidation, csUseCache);
    bool found = false;
    if (TWorkerThread *worker = TWorkerThread::Instance())
        found = worker->RemoveTree(this);
    FQueued.store(false, std::memory_order_release);
    // A build that finished while we asked it to stop does not count.
    ChangeTreeStates(csStopValidation | csValidationNeeded, csUseCache | csValidating);
    SyncTreeStates();
    return found || (before & csUseCache);
}

bool TPositionCache::PauseValidation()
{
    if (!Pending())
        return false;
    InterruptValidation();
    return true;
}

// ---- the build (worker thread) ---------------------------------------------------------------

void TPositionCache::Validate() noexcept
{
    ChangeTreeStates(csValidating, csUseCache);
    FQueued.store(false, std::memory_order_release);
    bool complete = false;
    if (!Stopped()) {
        try {
            complete = DoValidateCache();
        } catch (...) {
            complete = false;
        }
    }
    ChangeTreeStates(complete ? csUseCache : 0,
        TChangeStates(csStopValidation | csValidating | (complete ? csValidationNeeded : 0)));
    // The tree's state set follows on its own thread; nothing here waits for it.
    QMetaObject::invokeMethod(
        this, [this] { SyncTreeStates(); }, Qt::QueuedConnection);
}

bool TPositionCache::DoValidateCache()
{
    if (Stopped())
        return false;
    if (FStartIndex == 0)
        FPositionCache.clear();
    if (FTree.VisibleCount() <= CacheThreshold) {
        FPositionCache.clear();
        return false;
    }
    const unsigned count = unsigned(CalculateCacheEntryCount());
    FStartIndex = std::min(FStartIndex, count);
    TGridNode *node;
    uint32_t top;
    if (FStartIndex == 0 || FStartIndex > FPositionCache.size() || !FPositionCache[FStartIndex - 1].Node) {
        node = FTree.GetFirstVisibleNoInit(nullptr, true);
        top = 0;
        FPositionCache.clear();
    } else {
        node = FPositionCache[FStartIndex - 1].Node;
        top = FPositionCache[FStartIndex - 1].AbsoluteTop;
        FPositionCache.resize(FStartIndex - 1);
    }
    FPositionCache.reserve(count + 1);
    bool stepped = false;
    uint32_t untilEntry = 0;
    const TRowWalk walk(FTree);
    // Nodes of variable height were measured on the window thread before the
    // build was queued: no owner event runs here.
    while (node && !Stopped()) {
        if (untilEntry-- == 0) {
            FPositionCache.push_back({ node, top });
            untilEntry = CacheThreshold - 1;
        }
        stepped = true;
        top += walk.Height(node, false);
        node = walk.Next(node);
    }
    if (Stopped())
        return false;
    // The closing entry below the last row, also when the last anchor filled
    // the computed count (2001 nodes: anchors at nodes 0 and 2000, then this).
    FPositionCache.push_back({ nullptr, top });
    return stepped;
}

// ---- lookups (window thread) ----------------------------------------------------------------

int TPositionCache::CalculateCacheEntryCount() const
{
    const uint32_t visible = FTree.VisibleCount();
    return visible < 2 ? 0 : int((visible + CacheThreshold - 1) / CacheThreshold);
}

std::size_t TPositionCache::EntriesUpTo(TGridNode *Node) const
{
    // The closing entry names no node and lies after every node.
    std::size_t count = FPositionCache.size();
    if (count > 0 && !FPositionCache.back().Node)
        --count;
    const auto begin = FPositionCache.begin();
    return std::size_t(std::partition_point(begin, begin + std::ptrdiff_t(count), [&](const TCacheEntry &e) {
        return CompareNodePositions(FTree, e.Node, Node, true) <= 0;
    }) - begin);
}

TGridNode *TPositionCache::FindInPositionCache(TGridNode *Node, uint32_t &CurrentPos) const
{
    const std::size_t count = EntriesUpTo(Node);
    CurrentPos = count > 0 ? FPositionCache[count - 1].AbsoluteTop : 0;
    return count > 0 ? FPositionCache[count - 1].Node : nullptr;
}

TGridNode *TPositionCache::FindInPositionCache(uint32_t Position, uint32_t &CurrentPos) const
{
    const auto after = std::partition_point(FPositionCache.begin(), FPositionCache.end(),
        [&](const TCacheEntry &e) { return e.AbsoluteTop <= Position; });
    if (after == FPositionCache.begin()) {
        CurrentPos = 0;
        return nullptr;
    }
    CurrentPos = (after - 1)->AbsoluteTop;
    return (after - 1)->Node;
}

TGridNode *TPositionCache::GetNodeAt(uint32_t Position, uint32_t &NodeTop) const
{
    const TRowWalk walk(FTree);
    TGridNode *node;
    uint32_t top = 0;
    if (UseCache()) {
        const auto after = std::partition_point(FPositionCache.begin(), FPositionCache.end(),
            [&](const TCacheEntry &e) { return e.AbsoluteTop <= Position; });
        if (after == FPositionCache.begin())
            return nullptr;
        node = (after - 1)->Node;
        top = (after - 1)->AbsoluteTop;
        if (!node)
            return nullptr; // below the last row
        if (FLastHit.Node && FLastHit.AbsoluteTop >= top && FLastHit.AbsoluteTop <= Position) {
            // The row found last is a nearer start.
            node = FLastHit.Node;
            top = FLastHit.AbsoluteTop;
        } else if (after != FPositionCache.end() && after->AbsoluteTop - Position < Position - top) {
            // Nearer to the next anchor (or the end): back from there.
            TGridNode *from = after->Node ? after->Node : FTree.GetLastVisibleNoInit(nullptr, true);
            uint32_t fromTop = after->Node ? after->AbsoluteTop : after->AbsoluteTop - walk.Height(from);
            while (fromTop > Position) {
                from = walk.Previous(from);
                fromTop -= walk.Height(from);
            }
            node = from;
            top = fromTop;
        }
    } else {
        node = FTree.GetFirstVisibleNoInit(nullptr, true);
    }
    while (node) {
        const uint32_t height = walk.Height(node);
        if (Position < top + height)
            break;
        top += height;
        node = walk.Next(node);
    }
    if (!node)
        return nullptr;
    NodeTop = top;
    Remember(node, top);
    return node;
}

bool TPositionCache::NodeTop(TGridNode *Node, uint32_t &Top) const
{
    if (Node == nullptr || Node == FTree.RootNode())
        return false;
    for (TGridNode *n = Node; n != FTree.RootNode(); n = n->Parent())
        if (!FTree.IsEffectivelyVisible(n) || (n != Node && !n->Has(vsExpanded)))
            return false;
    const TRowWalk walk(FTree);
    uint32_t top = 0;
    TGridNode *node = nullptr;
    if (UseCache()) {
        const std::size_t count = EntriesUpTo(Node);
        if (count > 0) {
            node = FPositionCache[count - 1].Node;
            top = FPositionCache[count - 1].AbsoluteTop;
            const TCacheEntry &next = FPositionCache[count];
            if (FLastHit.Node && FLastHit.AbsoluteTop >= top
                && CompareNodePositions(FTree, FLastHit.Node, Node, true) <= 0) {
                node = FLastHit.Node;
                top = FLastHit.AbsoluteTop;
            } else if (next.Node && next.Node->Parent() == Node->Parent() && node->Parent() == Node->Parent()
                && next.Node->Index() - Node->Index() < Node->Index() - node->Index()) {
                // Among siblings (a flat list) the indices tell which anchor is
                // nearer: back from the next one.
                TGridNode *from = next.Node;
                uint32_t fromTop = next.AbsoluteTop;
                while (from != Node) {
                    from = walk.Previous(from);
                    fromTop -= walk.Height(from);
                }
                node = from;
                top = fromTop;
            }
        }
    }
    if (!node) {
        node = FTree.GetFirstVisibleNoInit(nullptr, true);
        top = 0;
    }
    for (; node && node != Node; node = walk.Next(node))
        top += walk.Height(node);
    if (!node)
        return false;
    Top = top;
    Remember(node, top);
    return true;
}

void TPositionCache::Remember(TGridNode *Node, uint32_t Top) const
{
    // Only anchors of a complete cache stay valid until the next change.
    if (UseCache())
        FLastHit = { Node, Top };
}

// ---- order ------------------------------------------------------------------------------------

int CompareNodePositions(TBaseGridTree &Tree, TGridNode *Node1, TGridNode *Node2, bool ConsiderChildrenAbove)
{
    if (Node1 == nullptr || Node2 == nullptr)
        throw EGridTreeAssertion(GridTreeTexts::NodesNeverNil);
    if (Node1 == Node2)
        return 0;
    const bool above = ConsiderChildrenAbove && Tree.PaintOptions().contains(toChildrenAbove);
    if (Tree.HasAsParent(Node1, Node2))
        return above ? -1 : 1;
    if (Tree.HasAsParent(Node2, Node1))
        return above ? 1 : -1;
    uint32_t level1 = Tree.GetNodeLevel(Node1);
    uint32_t level2 = Tree.GetNodeLevel(Node2);
    for (; level1 > level2; --level1)
        Node1 = Node1->Parent();
    for (; level2 > level1; --level2)
        Node2 = Node2->Parent();
    while (Node1->Parent() != Node2->Parent()) {
        Node1 = Node1->Parent();
        Node2 = Node2->Parent();
    }
    return int(int64_t(Node1->Index()) - int64_t(Node2->Index()));
}
