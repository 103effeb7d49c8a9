// Walking the tree in display order, visibility, expansion.
#include "components/BaseGridTree.h"

using namespace GridTreeTexts;

namespace {

// Next node after Node's subtree in pre-order, not leaving Bound's subtree.
TGridNode *nextSiblingClimbing(TGridNode *Node, const TGridNode *Bound)
{
    for (TGridNode *n = Node; n != Bound && !n->IsRoot(); n = n->Parent())
        if (n->NextSibling())
            return n->NextSibling();
    return nullptr;
}

} // namespace

// ---- visibility predicates -------------------------------------------------------------------

bool TBaseGridTree::VisiblePath(const TGridNode *Node) const
{
    if (Node == nullptr || Node == FRoot)
        throw EGridTreeAssertion(InvalidParameters);
    for (const TGridNode *p = Node->FParent; p != FRoot; p = p->FParent)
        if (!p->FStates.contains(vsExpanded) || !p->FStates.contains(vsVisible))
            return false;
    return true;
}

bool TBaseGridTree::FullyVisible(const TGridNode *Node) const
{
    if (Node == nullptr)
        throw EGridTreeAssertion(InvalidParameter);
    return Node->FStates.contains(vsVisible) && (Node == FRoot || VisiblePath(Node));
}

void TBaseGridTree::AssertNotRoot(const TGridNode *Node) const
{
    if (Node == FRoot)
        throw EGridTreeAssertion(NodeIsRoot);
}

// ---- initialising steps -------------------------------------------------------------------------

template <bool Init> void TBaseGridTree::Prepare(TGridNode *Node)
{
    if constexpr (Init) {
        if (Node != FRoot && !Node->FStates.contains(vsInitialized))
            InitNode(Node);
        if (Node != FRoot && Node->FStates.contains(vsHasChildren) && Node->FChildCount == 0)
            InitChildren(Node);
    }
}

template <bool Init> TGridNode *TBaseGridTree::Ready(TGridNode *Node)
{
    if constexpr (Init) {
        if (Node && !Node->FStates.contains(vsInitialized))
            InitNode(Node);
    }
    return Node;
}

// ---- tree order -----------------------------------------------------------------------------------

template <bool Init> TGridNode *TBaseGridTree::DeepestFirst(TGridNode *Node)
{
    for (;;) {
        Prepare<Init>(Node);
        if (!Node->FFirstChild)
            return Node;
        Node = Node->FFirstChild;
    }
}

template <bool Init> TGridNode *TBaseGridTree::DeepestLast(TGridNode *Node)
{
    for (;;) {
        Prepare<Init>(Node);
        if (!Node->FLastChild)
            return Node;
        Node = Node->FLastChild;
    }
}

template <bool Init> TGridNode *TBaseGridTree::FirstImpl(bool ChildrenAbove)
{
    TGridNode *first = FRoot->FFirstChild;
    if (first && ChildrenAbove)
        first = DeepestFirst<Init>(first);
    return Ready<Init>(first);
}

template <bool Init> TGridNode *TBaseGridTree::LastImpl(TGridNode *Node, bool ChildrenAbove)
{
    if (Node == nullptr)
        Node = FRoot;
    Prepare<Init>(Node);
    TGridNode *last = Node->FLastChild;
    if (last && !ChildrenAbove)
        last = DeepestLast<Init>(last);
    return Ready<Init>(last);
}

template <bool Init> TGridNode *TBaseGridTree::NextImpl(TGridNode *Node, bool ChildrenAbove)
{
    if (Node == nullptr)
        return nullptr;
    AssertNotRoot(Node);
    if (ChildrenAbove) {
        if (Node->FNextSibling)
            return Ready<Init>(DeepestFirst<Init>(Node->FNextSibling));
        return Node->FParent == FRoot ? nullptr : Ready<Init>(Node->FParent);
    }
    Prepare<Init>(Node);
    if (Node->FFirstChild)
        return Ready<Init>(Node->FFirstChild);
    return Ready<Init>(nextSiblingClimbing(Node, FRoot));
}

template <bool Init> TGridNode *TBaseGridTree::PreviousImpl(TGridNode *Node, bool ChildrenAbove)
{
    if (Node == nullptr)
        return nullptr;
    AssertNotRoot(Node);
    if (ChildrenAbove) {
        Prepare<Init>(Node);
        if (Node->FLastChild)
            return Ready<Init>(Node->FLastChild);
        for (TGridNode *n = Node; n != FRoot; n = n->FParent)
            if (n->FPrevSibling)
                return Ready<Init>(n->FPrevSibling);
        return nullptr;
    }
    if (Node->FPrevSibling)
        return Ready<Init>(DeepestLast<Init>(Node->FPrevSibling));
    return Node->FParent == FRoot ? nullptr : Ready<Init>(Node->FParent);
}

TGridNode *TBaseGridTree::GetFirst(bool ConsiderChildrenAbove)
{
    return FirstImpl<true>(ChildrenAbove(ConsiderChildrenAbove));
}

TGridNode *TBaseGridTree::GetFirstNoInit(bool ConsiderChildrenAbove)
{
    return FirstImpl<false>(ChildrenAbove(ConsiderChildrenAbove));
}

TGridNode *TBaseGridTree::GetFirstInitialized(bool ConsiderChildrenAbove)
{
    TGridNode *node = GetFirstNoInit(ConsiderChildrenAbove);
    if (node && !node->FStates.contains(vsInitialized))
        node = GetNextInitialized(node, ConsiderChildrenAbove);
    return node;
}

TGridNode *TBaseGridTree::GetLast(TGridNode *Node, bool ConsiderChildrenAbove)
{
    return LastImpl<true>(Node, ChildrenAbove(ConsiderChildrenAbove));
}

TGridNode *TBaseGridTree::GetLastNoInit(TGridNode *Node, bool ConsiderChildrenAbove)
{
    return LastImpl<false>(Node, ChildrenAbove(ConsiderChildrenAbove));
}

TGridNode *TBaseGridTree::GetFirstChild(TGridNode *Node)
{
    if (Node == nullptr)
        Node = FRoot;
    if (Node != FRoot && !Node->FStates.contains(vsHasChildren))
        return nullptr;
    Prepare<true>(Node);
    return Ready<true>(Node->FFirstChild);
}

TGridNode *TBaseGridTree::GetLastChild(TGridNode *Node)
{
    if (Node == nullptr)
        Node = FRoot;
    if (Node != FRoot && !Node->FStates.contains(vsHasChildren))
        return nullptr;
    Prepare<true>(Node);
    return Ready<true>(Node->FLastChild);
}

TGridNode *TBaseGridTree::GetLastChildNoInit(TGridNode *Node)
{
    if (Node == nullptr)
        Node = FRoot;
    if (Node != FRoot && !Node->FStates.contains(vsHasChildren))
        return nullptr;
    return Node->FLastChild;
}

TGridNode *TBaseGridTree::NextGeneral(TGridNode *Node, bool ConsiderChildrenAbove)
{
    return NextImpl<true>(Node, ChildrenAbove(ConsiderChildrenAbove));
}

TGridNode *TBaseGridTree::NextNoInitGeneral(TGridNode *Node, bool ConsiderChildrenAbove)
{
    return NextImpl<false>(Node, ChildrenAbove(ConsiderChildrenAbove));
}

TGridNode *TBaseGridTree::GetNextInitialized(TGridNode *Node, bool ConsiderChildrenAbove)
{
    do
        Node = GetNextNoInit(Node, ConsiderChildrenAbove);
    while (Node && !Node->FStates.contains(vsInitialized));
    return Node;
}

TGridNode *TBaseGridTree::GetPrevious(TGridNode *Node, bool ConsiderChildrenAbove)
{
    return PreviousImpl<true>(Node, ChildrenAbove(ConsiderChildrenAbove));
}

TGridNode *TBaseGridTree::GetPreviousNoInit(TGridNode *Node, bool ConsiderChildrenAbove)
{
    return PreviousImpl<false>(Node, ChildrenAbove(ConsiderChildrenAbove));
}

TGridNode *TBaseGridTree::GetNextSibling(TGridNode *Node)
{
    if (Node == nullptr || Node == FRoot)
        throw EGridTreeAssertion(InvalidParameter);
    return Ready<true>(Node->FNextSibling);
}

TGridNode *TBaseGridTree::GetPreviousSibling(TGridNode *Node)
{
    if (Node == nullptr || Node == FRoot)
        throw EGridTreeAssertion(InvalidParameter);
    return Ready<true>(Node->FPrevSibling);
}

// ---- display order ----------------------------------------------------------------------------------

template <bool Init> TGridNode *TBaseGridTree::FirstShownChild(TGridNode *Node)
{
    Prepare<Init>(Node);
    if (!Node->FStates.contains(vsExpanded))
        return nullptr;
    TGridNode *child = Node->FFirstChild;
    while (child && !EffVisible(child))
        child = child->FNextSibling;
    return child;
}

template <bool Init> TGridNode *TBaseGridTree::LastShownChild(TGridNode *Node)
{
    Prepare<Init>(Node);
    if (!Node->FStates.contains(vsExpanded))
        return nullptr;
    TGridNode *child = Node->FLastChild;
    while (child && !EffVisible(child))
        child = child->FPrevSibling;
    return child;
}

// Where a display walk from a node that is not shown itself goes on: the
// topmost node on its path that drops out of the display (invisible, or the
// visible node whose collapse hides the rest). Returns Node itself when shown.
TGridNode *TBaseGridTree::NotShownAnchor(TGridNode *Node) const
{
    TGridNode *anchor = Node;
    for (TGridNode *n = Node; n != FRoot; n = n->FParent) {
        TGridNode *parent = n->FParent;
        if (parent != FRoot && !parent->FStates.contains(vsExpanded))
            anchor = parent;
        else if (!EffVisible(n))
            anchor = n;
    }
    return anchor;
}

template <bool Init> TGridNode *TBaseGridTree::NextVisibleImpl(TGridNode *Node, bool ChildrenAbove)
{
    if (Node == nullptr)
        return nullptr;
    AssertNotRoot(Node);
    const bool shown = Displayed(Node);
    TGridNode *anchor = shown ? Node : NotShownAnchor(Node);
    // A shown collapsed ancestor: the node lies inside its closed subtree.
    const bool insideCollapsed = !shown && Displayed(anchor);

    if (ChildrenAbove) {
        if (insideCollapsed)
            return Ready<Init>(anchor);
        TGridNode *sibling = anchor->FNextSibling;
        while (sibling && !EffVisible(sibling))
            sibling = sibling->FNextSibling;
        if (sibling) {
            while (TGridNode *child = FirstShownChild<Init>(sibling))
                sibling = child;
            return Ready<Init>(sibling);
        }
        return anchor->FParent == FRoot ? nullptr : Ready<Init>(anchor->FParent);
    }

    TGridNode *candidate = shown ? FirstShownChild<Init>(Node) : nullptr;
    if (!candidate) {
        candidate = nextSiblingClimbing(anchor, FRoot);
        while (candidate && !EffVisible(candidate))
            candidate = nextSiblingClimbing(candidate, FRoot);
    }
    return Ready<Init>(candidate);
}

template <bool Init> TGridNode *TBaseGridTree::PreviousVisibleImpl(TGridNode *Node, bool ChildrenAbove)
{
    if (Node == nullptr)
        return nullptr;
    AssertNotRoot(Node);
    const bool shown = Displayed(Node);
    TGridNode *anchor = shown ? Node : NotShownAnchor(Node);
    const bool insideCollapsed = !shown && Displayed(anchor);

    if (ChildrenAbove) {
        if (shown)
            if (TGridNode *child = LastShownChild<Init>(Node))
                return Ready<Init>(child);
        for (TGridNode *n = anchor; n != FRoot; n = n->FParent) {
            TGridNode *sibling = n->FPrevSibling;
            while (sibling && !EffVisible(sibling))
                sibling = sibling->FPrevSibling;
            if (sibling)
                return Ready<Init>(sibling);
        }
        return nullptr;
    }

    if (insideCollapsed)
        return Ready<Init>(anchor);
    TGridNode *sibling = anchor->FPrevSibling;
    while (sibling && !EffVisible(sibling))
        sibling = sibling->FPrevSibling;
    if (sibling) {
        while (TGridNode *child = LastShownChild<Init>(sibling))
            sibling = child;
        return Ready<Init>(sibling);
    }
    return anchor->FParent == FRoot ? nullptr : Ready<Init>(anchor->FParent);
}

template <bool Init>
TGridNode *TBaseGridTree::FirstVisibleImpl(TGridNode *Node, bool ChildrenAbove, bool IncludeHidden)
{
    if (Node == nullptr)
        Node = FRoot;
    if (!Node->FStates.contains(vsHasChildren))
        return nullptr;
    Prepare<Init>(Node);
    if (ChildrenAbove) {
        TGridNode *child = Node->FFirstChild;
        while (child && !EffVisible(child, IncludeHidden))
            child = child->FNextSibling;
        if (!child)
            return Node == FRoot ? nullptr : Ready<Init>(Node);
        while (TGridNode *below = FirstShownChild<Init>(child))
            child = below;
        return Ready<Init>(child);
    }
    TGridNode *candidate = Node->FFirstChild;
    while (candidate && !EffVisible(candidate, IncludeHidden))
        candidate = nextSiblingClimbing(candidate, Node);
    return Ready<Init>(candidate);
}

template <bool Init> TGridNode *TBaseGridTree::LastVisibleChildImpl(TGridNode *Node, bool IncludeHidden)
{
    if (Node == nullptr)
        Node = FRoot;
    if (Node != FRoot && !(Node->FStates.contains(vsExpanded) && FullyVisible(Node)))
        return nullptr;
    Prepare<Init>(Node);
    TGridNode *child = Node->FLastChild;
    while (child && !EffVisible(child, IncludeHidden))
        child = child->FPrevSibling;
    return Ready<Init>(child);
}

template <bool Init>
TGridNode *TBaseGridTree::LastVisibleImpl(TGridNode *Node, bool ChildrenAbove, bool IncludeHidden)
{
    if (Node == nullptr)
        Node = FRoot;
    if (ChildrenAbove)
        return LastVisibleChildImpl<Init>(Node, IncludeHidden);
    TGridNode *last = Node;
    while (TGridNode *child = LastVisibleChildImpl<Init>(last, IncludeHidden))
        last = child;
    return last == Node ? nullptr : last;
}

TGridNode *TBaseGridTree::GetFirstVisible(TGridNode *Node, bool ConsiderChildrenAbove, bool IncludeHidden)
{
    return FirstVisibleImpl<true>(Node, ChildrenAbove(ConsiderChildrenAbove), IncludeHidden);
}

TGridNode *TBaseGridTree::GetFirstVisibleNoInit(
    TGridNode *Node, bool ConsiderChildrenAbove, bool IncludeHidden)
{
    return FirstVisibleImpl<false>(Node, ChildrenAbove(ConsiderChildrenAbove), IncludeHidden);
}

TGridNode *TBaseGridTree::GetLastVisible(TGridNode *Node, bool ConsiderChildrenAbove, bool IncludeHidden)
{
    return LastVisibleImpl<true>(Node, ChildrenAbove(ConsiderChildrenAbove), IncludeHidden);
}

TGridNode *TBaseGridTree::GetLastVisibleNoInit(
    TGridNode *Node, bool ConsiderChildrenAbove, bool IncludeHidden)
{
    return LastVisibleImpl<false>(Node, ChildrenAbove(ConsiderChildrenAbove), IncludeHidden);
}

TGridNode *TBaseGridTree::GetFirstVisibleChild(TGridNode *Node, bool IncludeHidden)
{
    if (Node == nullptr)
        Node = FRoot;
    Prepare<true>(Node);
    TGridNode *child = Node->FFirstChild;
    while (child && !EffVisible(child, IncludeHidden))
        child = child->FNextSibling;
    return Ready<true>(child);
}

TGridNode *TBaseGridTree::GetLastVisibleChild(TGridNode *Node, bool IncludeHidden)
{
    return LastVisibleChildImpl<true>(Node, IncludeHidden);
}

TGridNode *TBaseGridTree::GetLastVisibleChildNoInit(TGridNode *Node, bool IncludeHidden)
{
    return LastVisibleChildImpl<false>(Node, IncludeHidden);
}

TGridNode *TBaseGridTree::GetNextVisible(TGridNode *Node, bool ConsiderChildrenAbove)
{
    return NextVisibleImpl<true>(Node, ChildrenAbove(ConsiderChildrenAbove));
}

TGridNode *TBaseGridTree::GetNextVisibleNoInit(TGridNode *Node, bool ConsiderChildrenAbove)
{
    return NextVisibleImpl<false>(Node, ChildrenAbove(ConsiderChildrenAbove));
}

TGridNode *TBaseGridTree::GetPreviousVisible(TGridNode *Node, bool ConsiderChildrenAbove)
{
    return PreviousVisibleImpl<true>(Node, ChildrenAbove(ConsiderChildrenAbove));
}

TGridNode *TBaseGridTree::GetPreviousVisibleNoInit(TGridNode *Node, bool ConsiderChildrenAbove)
{
    return PreviousVisibleImpl<false>(Node, ChildrenAbove(ConsiderChildrenAbove));
}

TGridNode *TBaseGridTree::GetNextVisibleSibling(TGridNode *Node, bool IncludeHidden)
{
    if (Node == nullptr || Node == FRoot)
        throw EGridTreeAssertion(InvalidParameter);
    TGridNode *sibling = Node->FNextSibling;
    while (sibling && !EffVisible(sibling, IncludeHidden))
        sibling = sibling->FNextSibling;
    return Ready<true>(sibling);
}

TGridNode *TBaseGridTree::GetPreviousVisibleSibling(TGridNode *Node, bool IncludeHidden)
{
    return Ready<true>(GetPreviousVisibleSiblingNoInit(Node, IncludeHidden));
}

TGridNode *TBaseGridTree::GetPreviousVisibleSiblingNoInit(TGridNode *Node, bool IncludeHidden)
{
    if (Node == nullptr || Node == FRoot)
        throw EGridTreeAssertion(InvalidParameter);
    TGridNode *sibling = Node->FPrevSibling;
    while (sibling && !EffVisible(sibling, IncludeHidden))
        sibling = sibling->FPrevSibling;
    return sibling;
}

TGridNode *TBaseGridTree::GetVisibleParent(TGridNode *Node, bool IncludeHidden)
{
    if (Node == nullptr)
        throw EGridTreeAssertion(NodeIsNil);
    AssertNotRoot(Node);
    TGridNode *parent = Node->FParent;
    while (parent != FRoot && !(FullyVisible(parent) && (IncludeHidden || !IsEffectivelyHidden(parent))))
        parent = parent->FParent;
    return parent;
}

bool TBaseGridTree::HasVisibleNextSibling(TGridNode *Node)
{
    for (TGridNode *n = Node->FNextSibling; n; n = n->FNextSibling)
        if (EffVisible(n))
            return true;
    return false;
}

bool TBaseGridTree::HasVisiblePreviousSibling(TGridNode *Node)
{
    for (TGridNode *n = Node->FPrevSibling; n; n = n->FPrevSibling)
        if (EffVisible(n))
            return true;
    return false;
}

bool TBaseGridTree::IsFirstVisibleChild(TGridNode *Parent, TGridNode *Node)
{
    if (Parent == nullptr)
        Parent = FRoot;
    TGridNode *child = Parent->FFirstChild;
    while (child && !EffVisible(child))
        child = child->FNextSibling;
    return child && child == Node;
}

bool TBaseGridTree::IsLastVisibleChild(TGridNode *Parent, TGridNode *Node)
{
    if (Parent == nullptr)
        Parent = FRoot;
    TGridNode *child = Parent->FLastChild;
    while (child && !EffVisible(child))
        child = child->FPrevSibling;
    return child && child == Node;
}

uint32_t TBaseGridTree::CountVisibleChildren(const TGridNode *Node) const
{
    if (Node == nullptr)
        Node = FRoot;
    if (!Node->FStates.contains(vsExpanded))
        return 0;
    uint32_t count = 0;
    for (const TGridNode *child = Node->FFirstChild; child; child = child->FNextSibling)
        if (EffVisible(child))
            count += 1 + CountVisibleChildren(child);
    return count;
}

int TBaseGridTree::CountLevelDifference(const TGridNode *Node1, const TGridNode *Node2) const
{
    if (Node1 == nullptr || Node2 == nullptr)
        throw EGridTreeAssertion(BothNodesAssigned);
    return int(GetNodeLevel(Node2)) - int(GetNodeLevel(Node1));
}

// ---- showing and hiding ------------------------------------------------------------------------------

bool TBaseGridTree::IsVisible(TGridNode *Node)
{
    if (Node == nullptr)
        throw EGridTreeAssertion(InvalidParameter);
    Ready<true>(Node == FRoot ? nullptr : Node);
    return Node->FStates.contains(vsVisible);
}

void TBaseGridTree::SetVisible(TGridNode *Node, bool Value)
{
    if (Node == nullptr || Node == FRoot)
        throw EGridTreeAssertion(InvalidParameter);
    if (Node->FStates.contains(vsVisible) == Value)
        return;
    TValidationStop stop(*this);
    TGridNode *parent = Node->FParent;
    const bool wasShown = EffVisible(Node);
    Node->FStates.set(vsVisible, Value);
    bool marked = false;
    if (wasShown != EffVisible(Node)) {
        const int64_t sign = Value ? 1 : -1;
        if (parent->FStates.contains(vsExpanded))
            AdjustTotalHeight(parent, sign * Node->FTotalHeight);
        if (ChildrenShown(parent)) {
            const uint32_t rows = 1 + ShownRowsBelow(Node);
            FVisibleCount = Value ? FVisibleCount + rows : FVisibleCount - rows;
            marked = true;
        }
        if (Value)
            parent->FStates.exclude(vsAllChildrenHidden);
        else if (Updating())
            DoStateChange({ tsUpdateHiddenChildrenNeeded });
        else
            HiddenFlagAfterLoss(parent, Node->FPrevSibling, Node->FNextSibling);
    }
    if (FHooked) {
        FHooks->InvalidateCache();
        if (marked && !Updating()) {
            RequestValidation();
            FHooks->UpdateScrollBars();
            FHooks->InvalidateTree();
        }
    }
}

void TBaseGridTree::DetermineHiddenChildrenFlag(TGridNode *Node)
{
    if (Node == nullptr)
        Node = FRoot;
    TValidationStop stop(*this, true);
    if (Node->FFirstChild) {
        bool allHidden = true;
        for (TGridNode *child = Node->FFirstChild; child && allHidden; child = child->FNextSibling)
            allHidden = !EffVisible(child);
        Node->FStates.set(vsAllChildrenHidden, allHidden);
    } else {
        Node->FStates.set(vsAllChildrenHidden, !Node->FStates.contains(vsHasChildren));
    }
}

void TBaseGridTree::DetermineHiddenChildrenFlagAllNodes()
{
    TValidationStop stop(*this, true);
    DetermineHiddenChildrenFlag(FRoot);
    for (TGridNode *node = GetFirstNoInit(); node; node = GetNextNoInit(node))
        DetermineHiddenChildrenFlag(node);
}

// ---- expansion
// ---------------------------------------------------------------------------------------------

void TBaseGridTree::ToggleNode(TGridNode *Node)
{
    if (Node == nullptr)
        throw EGridTreeAssertion(NodeIsNil);
    if (Node->FStates.contains(vsToggling) || Node->FStates.contains(vsDeleting))
        return;
    // The view notes where the row is while the positions still hold.
    if (FHooked)
        FHooks->BeginToggle(Node);
    // Heights and the visible count change, and owner events may run: the
    // worker stays off until the toggle is done.
    TValidationStop stop(*this);
    const bool enteredToggling = !FStates.contains(tsToggling);
    if (enteredToggling)
        DoStateChange({ tsToggling });
    Node->FStates.include(vsToggling);
    struct Leave {
        TBaseGridTree *tree;
        TGridNode *node;
        bool entered;
        ~Leave()
        {
            node->FStates.exclude(vsToggling);
            if (entered)
                tree->DoStateChange({}, { tsToggling });
        }
    } leave { this, Node, enteredToggling };

    bool changed = false;
    if (!Node->FStates.contains(vsExpanded)) {
        if (!DoExpanding(Node))
            return;
        Prepare<true>(Node);
        if (Node->FChildCount > 0 && !Node->FStates.contains(vsExpanded)) {
            int64_t heights = 0;
            for (TGridNode *child = Node->FFirstChild; child; child = child->FNextSibling)
                if (EffVisible(child))
                    heights += child->FTotalHeight;
            Node->FStates.include(vsExpanded);
            AdjustTotalHeight(Node, heights);
            if (ChildrenShown(Node))
                FVisibleCount += CountVisibleChildren(Node);
            if (!Updating())
                FHooks->AnimateToggle(Node, true, static_cast<uint32_t>(heights));
            DoExpanded(Node);
            changed = true;
        }
    } else {
        if (!DoCollapsing(Node))
            return;
        if (!Updating() && !FStates.contains(tsCollapsing))
            FHooks->AnimateToggle(Node, false, Node->FTotalHeight - Node->FNodeHeight);
        if (ChildrenShown(Node))
            FVisibleCount -= CountVisibleChildren(Node);
        AdjustTotalHeight(Node, int64_t(Node->FNodeHeight) - Node->FTotalHeight);
        Node->FStates.exclude(vsExpanded);
        DoCollapsed(Node);
        changed = true;
        if (FAutoOptions.contains(toAutoFreeOnCollapse) && Node->FChildCount > 0) {
            DeleteChildren(Node, true);
            Node->FStates.include(vsHasChildren);
        }
    }
    if (changed) {
        FHooks->InvalidateCache();
        if (!Updating()) {
            RequestValidation();
            FHooks->UpdateScrollBars();
            if (!(Node->FStates.contains(vsExpanded) && FHooks->ScrollExpandedIntoView(Node)))
                FHooks->InvalidateToBottom(Node);
        }
    }
}

void TBaseGridTree::FullExpand(TGridNode *Node)
{
    if (FRoot->FTotalCount < 2)
        return;
    DoStateChange({ tsExpanding });
    BeginUpdate();
    TGridNode *stop = Node ? nextSiblingClimbing(Node, FRoot) : nullptr;
    for (TGridNode *n = Node ? Node : GetFirst(); n && n != stop; n = GetNext(n))
        if (!n->FStates.contains(vsExpanded))
            ToggleNode(n);
    EndUpdate();
    DoStateChange({}, { tsExpanding });
}

void TBaseGridTree::FullCollapse(TGridNode *Node)
{
    DoStateChange({ tsCollapsing });
    BeginUpdate();
    // Backwards through the subtree, so children close before their parents.
    TGridNode *n = GetLastNoInit(Node);
    if (!n)
        n = Node;
    while (n && n != FRoot) {
        TGridNode *previous = n == Node ? nullptr : GetPreviousNoInit(n);
        if (n->FStates.contains(vsExpanded) && n->FStates.contains(vsHasChildren))
            ToggleNode(n);
        n = previous;
    }
    EndUpdate();
    DoStateChange({}, { tsCollapsing });
}
