// Nodes, their data areas, counts and heights, and the update bracket.
#include "components/BaseGridTree.h"

#include <algorithm>
#include <cstring>

using namespace GridTreeTexts;

namespace {

constexpr uint32_t MaxNodeHeight = 0xFFFF;

} // namespace

TGridTreeHooks TBaseGridTree::FNoHooks;

// ---- node record ---------------------------------------------------------------------

uint32_t TGridNode::Index() const
{
    TGridNode *parent = FParent;
    if (parent == nullptr || parent->FStaleChild == nullptr)
        return FIndex;
    return parent->renumberUpTo(this);
}

uint32_t TGridNode::renumberUpTo(const TGridNode *child)
{
    TGridNode *stale = FStaleChild;
    uint32_t next = stale->FPrevSibling ? stale->FPrevSibling->FIndex + 1 : 0;
    // Stale numbers are never too small, so a stored number below the first
    // stale position belongs to a node in front of it and is exact.
    if (child->FIndex < next)
        return child->FIndex;
    for (TGridNode *n = stale;; n = n->FNextSibling) {
        n->FIndex = next++;
        if (n == child)
            break;
    }
    FStaleChild = child->FNextSibling;
    return child->FIndex;
}

TBaseGridTree *TreeFromNode(const TGridNode *Node)
{
    if (Node == nullptr)
        throw EGridTreeAssertion(NodeIsNil);
    while (!Node->IsRoot())
        Node = Node->Parent();
    // The root's block holds the owning tree right behind the node record.
    TBaseGridTree *tree;
    std::memcpy(&tree, reinterpret_cast<const char *>(Node) + sizeof(TGridNode), sizeof tree);
    return tree;
}

// ---- references ----------------------------------------------------------------------

TGridNodeReference::TGridNodeReference(TBaseGridTree &Tree, TGridNode *Node)
    : FTree(&Tree)
    , FNode(Node)
{
    Tree.FReferences.push_back(this);
    if (Node)
        Tree.FReferencesHeld = true;
}

TGridNodeReference::~TGridNodeReference()
{
    if (FTree) {
        auto &refs = FTree->FReferences;
        refs.erase(std::find(refs.begin(), refs.end(), this));
    }
}

// ---- construction ----------------------------------------------------------------------

TBaseGridTree::TBaseGridTree()
    : FHooks(&FNoHooks)
    , FHooked(false)
{
    // The root block: node record followed by the owning tree.
    void *block = ::operator new(sizeof(TGridNode) + sizeof(TBaseGridTree *));
    FRoot = ::new (block) TGridNode();
    *reinterpret_cast<TBaseGridTree **>(static_cast<char *>(block) + sizeof(TGridNode)) = this;
    FRoot->FParent = nullptr;
    FRoot->FPrevSibling = FRoot->FNextSibling = FRoot;
    FRoot->FStates = { vsInitialized, vsExpanded, vsHasChildren, vsVisible };
    FRoot->FTotalCount = 1;
    FRoot->FNodeHeight = static_cast<uint16_t>(FDefaultNodeHeight);
    FRoot->FTotalHeight = FDefaultNodeHeight;
    FStringTreeDataOffset = AllocateInternalDataArea(4);
}

TBaseGridTree::~TBaseGridTree()
{
    // The view learns first: nothing of a store being torn down reaches it.
    DetachView();
    FDestroying = true;
    FMiscOptions.exclude(toReadOnly);
    Clear();
    for (TGridNodeReference *ref : FReferences) {
        ref->FTree = nullptr;
        ref->FNode = nullptr;
    }
    FReferences.clear();
    FRoot->~TGridNode();
    ::operator delete(FRoot);
}

void TBaseGridTree::AttachView(TGridTreeHooks &View)
{
    if (FHooks == &View)
        return;
    DetachView();
    if (View.FAttachedTree)
        View.FAttachedTree->DetachView();
    View.FAttachedTree = this;
    FHooks = &View;
    FHooked = true;
}

void TBaseGridTree::DetachView()
{
    if (!FHooked)
        return;
    TGridTreeHooks *view = FHooks;
    FHooks = &FNoHooks;
    FHooked = false;
    view->FAttachedTree = nullptr;
    view->Detached();
}

void TBaseGridTree::RequestValidation()
{
    if (FStopDepth > 0)
        FValidationRequested = true;
    else
        FHooks->ValidateCache();
}

// ---- notifications ----------------------------------------------------------------------

void TBaseGridTree::DoInitNode(TGridNode *Parent, TGridNode *Node, TGridNodeInitStates &InitStates)
{
    if (OnInitNode)
        OnInitNode(*this, Parent, Node, InitStates);
}

void TBaseGridTree::DoInitChildren(TGridNode *Node, uint32_t &ChildCount)
{
    if (OnInitChildren)
        OnInitChildren(*this, Node, ChildCount);
}

void TBaseGridTree::DoFreeNode(TGridNode *Node)
{
    // The range anchor goes back to the focused node (unless that goes too).
    if (FRangeAnchor == Node)
        ResetRangeAnchor();
    if (FReferencesHeld) {
        bool held = false;
        for (TGridNodeReference *ref : FReferences) {
            if (ref->FNode == Node)
                ref->FNode = nullptr;
            else if (ref->FNode)
                held = true;
        }
        FReferencesHeld = held;
    }
    // Its address may come back for a new node: it must not be found selected.
    if (Node->FStates.contains(vsSelected) || !FTempNodeCache.empty())
        ForgetFreedNode(Node);
    if (FHooked && FHooks->WatchesFreedNodes())
        FHooks->NodeFreed(Node);
    // Release the block even when the owner's handler throws.
    struct Release {
        TBaseGridTree *tree;
        TGridNode *node;
        ~Release() { tree->ReleaseNode(node); }
    } release { this, Node };
    if (OnFreeNode
        && (Node->FStates.contains(vsInitialized) || Node->FStates.contains(vsInitialUserData)
            || (Node->FInternalFlags & TGridNode::DataHandedOut)))
        OnFreeNode(*this, Node);
}

void TBaseGridTree::DoReset(TGridNode *Node)
{
    if (OnResetNode)
        OnResetNode(*this, Node);
}

bool TBaseGridTree::DoNodeMoving(TGridNode *Node, TGridNode *Target)
{
    bool allowed = true;
    if (OnNodeMoving)
        OnNodeMoving(*this, Node, Target, allowed);
    return allowed;
}

void TBaseGridTree::DoNodeMoved(TGridNode *Node)
{
    if (OnNodeMoved)
        OnNodeMoved(*this, Node);
}

int TBaseGridTree::DoCompare(TGridNode *Node1, TGridNode *Node2, int Column)
{
    return OnCompareNodes ? OnCompareNodes(*this, Node1, Node2, Column) : 0;
}

void TBaseGridTree::DoChange(TGridNode *Node)
{
    if (FHooked)
        FHooks->StopTimer(ttChangeDelay);
    if (OnChange)
        OnChange(*this, Node);
    DoStateChange({}, { tsChangePending });
    FLastChangedNode = nullptr;
}

void TBaseGridTree::DoStructureChange(TGridNode *Node, TChangeReason Reason)
{
    if (FHooked)
        FHooks->StopTimer(ttStructureChangeDelay);
    if (OnStructureChange)
        OnStructureChange(*this, Node, Reason);
    DoStateChange({}, { tsStructureChangePending });
    FLastStructureChangeNode = nullptr;
    FLastStructureChangeReason = crIgnore;
}

bool TBaseGridTree::DoExpanding(TGridNode *Node)
{
    bool allowed = true;
    if (OnExpanding)
        OnExpanding(*this, Node, allowed);
    return allowed;
}

bool TBaseGridTree::DoCollapsing(TGridNode *Node)
{
    bool allowed = true;
    if (OnCollapsing)
        OnCollapsing(*this, Node, allowed);
    return allowed;
}

void TBaseGridTree::DoExpanded(TGridNode *Node)
{
    if (OnExpanded)
        OnExpanded(*this, Node);
}

void TBaseGridTree::DoCollapsed(TGridNode *Node)
{
    if (OnCollapsed)
        OnCollapsed(*this, Node);
}

void TBaseGridTree::DoUpdating(TGTUpdateState State)
{
    if (OnUpdating)
        OnUpdating(*this, State);
}

// ---- update bracket --------------------------------------------------------------------

void TBaseGridTree::BeginUpdate()
{
    if (FDestroying)
        return;
    if (FUpdateCount == 0) {
        DoUpdating(usBegin);
        FHooks->SetRedraw(false);
    } else {
        DoUpdating(usUpdate);
    }
    ++FUpdateCount;
    DoStateChange({ tsUpdating });
}

void TBaseGridTree::EndUpdate()
{
    if (FUpdateCount > 0)
        --FUpdateCount;
    if (FDestroying)
        return;
    if (FUpdateCount == 0 && FStates.contains(tsUpdating)) {
        if (FStates.contains(tsUpdateHiddenChildrenNeeded)) {
            DetermineHiddenChildrenFlagAllNodes();
            FStates.exclude(tsUpdateHiddenChildrenNeeded);
        }
        DoStateChange({}, { tsUpdating });
        PackSelection();
        FHooks->InvalidateCache();
        RequestValidation();
        FHooks->UpdateScrollBars();
        struct Finish {
            TBaseGridTree *tree;
            ~Finish()
            {
                if (tree->FAutoOptions.contains(toAutoSort) && !tree->SortStillHolds())
                    tree->AutoSortTree();
                tree->FHooks->SetRedraw(true);
                tree->FHooks->InvalidateTree();
            }
        } finish { this };
        if (FStates.contains(tsStructureChangePending))
            DoStructureChange(FLastStructureChangeNode, FLastStructureChangeReason);
        if (FStates.contains(tsChangePending))
            DoChange(FLastChangedNode);
    }
    DoUpdating(FUpdateCount == 0 ? usEnd : usUpdate);
}

inline void TBaseGridTree::AdviseChangeEvent(bool Structure, TGridNode *Node, TChangeReason Reason)
{
    if (Structure) {
        if (!FStates.contains(tsStructureChangePending))
            DoStateChange({ tsStructureChangePending });
        else if (FHooked)
            FHooks->StopTimer(ttStructureChangeDelay);
        FLastStructureChangeNode = Node;
        if (FLastStructureChangeReason == crIgnore)
            FLastStructureChangeReason = Reason;
        else if (Reason != crIgnore && Reason != FLastStructureChangeReason)
            FLastStructureChangeReason = crAccumulated;
    } else {
        if (!FStates.contains(tsChangePending))
            DoStateChange({ tsChangePending });
        else if (FHooked)
            FHooks->StopTimer(ttChangeDelay);
        FLastChangedNode = Node;
    }
}

void TBaseGridTree::Change(TGridNode *Node)
{
    // A tree being destroyed tells only about freed nodes.
    if (FDestroying)
        return;
    AdviseChangeEvent(false, Node, crIgnore);
    if (Updating())
        return;
    if (FChangeDelay > 0 && !FStates.contains(tsSynchMode) && FHooks->StartTimer(ttChangeDelay, FChangeDelay))
        return;
    DoChange(Node);
}

void TBaseGridTree::StructureChange(TGridNode *Node, TChangeReason Reason)
{
    NoteStructureChange(Node, Reason);
}

// StructureChange, inline for the node store's own changes.
inline void TBaseGridTree::NoteStructureChange(TGridNode *Node, TChangeReason Reason)
{
    if (FDestroying)
        return;
    AdviseChangeEvent(true, Node, Reason);
    if (Updating())
        return;
    if (FChangeDelay > 0 && !FStates.contains(tsSynchMode)
        && FHooks->StartTimer(ttStructureChangeDelay, FChangeDelay))
        return;
    DoStructureChange(FLastStructureChangeNode, FLastStructureChangeReason);
}

void TBaseGridTree::DeliverPendingChange()
{
    if (FStates.contains(tsChangePending))
        DoChange(FLastChangedNode);
}

void TBaseGridTree::DeliverPendingStructureChange()
{
    if (FStates.contains(tsStructureChangePending))
        DoStructureChange(FLastStructureChangeNode, FLastStructureChangeReason);
}

// ---- data areas ------------------------------------------------------------------------

void TBaseGridTree::ValidateNodeDataSize()
{
    if (FNodeDataSize == -1) {
        FNodeDataSize = 0;
        if (OnGetNodeDataSize)
            OnGetNodeDataSize(*this, FNodeDataSize);
        FNodeDataSize = std::max(FNodeDataSize, 0);
    }
}

TGridNode *TBaseGridTree::MakeNewNode()
{
    if (FNodeDataSize == -1)
        ValidateNodeDataSize();
    if (FAllocator.liveCount() == 0)
        FAllocator.setBlockSize(sizeof(TGridNode) + FTotalInternalDataSize + std::max(FNodeDataSize, 0));
    TGridNode *node = ::new (FAllocator.allocate()) TGridNode();
    node->FNodeHeight = static_cast<uint16_t>(FDefaultNodeHeight);
    node->FTotalHeight = FDefaultNodeHeight;
    node->FStates = { vsVisible };
    return node;
}

inline void TBaseGridTree::ReleaseNode(TGridNode *Node)
{
    if ((Node->FInternalFlags & TGridNode::DataHandedOut) && FDataType && FDataType->Destroy)
        FDataType->Destroy(reinterpret_cast<char *>(Node) + sizeof(TGridNode) + FTotalInternalDataSize);
    Node->~TGridNode();
    FAllocator.release(Node);
}

void TBaseGridTree::SetNodeDataSize(int Value)
{
    ChangeDataLayout(std::max(Value, -1), nullptr);
}

void TBaseGridTree::ChangeDataLayout(int Size, const TNodeDataType *Type)
{
    if (Size == FNodeDataSize && Type == FDataType)
        return;
    // Every node is rebuilt uninitialised with the new block size.
    const uint32_t count = RootNodeCount();
    Clear();
    FNodeDataSize = Size;
    FDataType = Type;
    SetRootNodeCount(count);
}

int TBaseGridTree::AllocateInternalDataArea(int Size)
{
    if (FRoot->FChildCount > 0 || FAllocator.liveCount() > 0)
        throw EGridTreeAssertion(InternalDataAfterNodes);
    const int offset = static_cast<int>(sizeof(TGridNode)) + FTotalInternalDataSize;
    // Multiples of 8 keep the caller's area aligned for any record.
    FTotalInternalDataSize += (std::max(Size, 0) + 7) & ~7;
    return offset;
}

// ---- counts and heights -----------------------------------------------------------------

uint32_t TBaseGridTree::ChildCount(const TGridNode *Node) const
{
    return (Node ? Node : FRoot)->FChildCount;
}

// The growing half of SetChildCount, which AddChild shares.
inline void TBaseGridTree::AppendChildren(TGridNode *Node, uint32_t NewCount)
{
    const uint32_t count = Node->FChildCount;
    if (count == 0)
        Node->FStates.include(vsHasChildren);
    Node->FStates.exclude(vsAllChildrenHidden);
    Node->FStates.exclude(vsHeightMeasured);
    int64_t heights = 0;
    // Appended numbers are exact whatever the stale marker says.
    for (uint32_t index = count; index < NewCount; ++index) {
        TGridNode *child = MakeNewNode();
        child->FIndex = index;
        child->FParent = Node;
        child->FPrevSibling = Node->FLastChild;
        if (Node->FLastChild)
            Node->FLastChild->FNextSibling = child;
        else
            Node->FFirstChild = child;
        Node->FLastChild = child;
        heights += child->FNodeHeight;
    }
    const uint32_t added = NewCount - count;
    ++FStructureStamp;
    if (Node->FStates.contains(vsExpanded))
        AdjustTotalHeight(Node, heights);
    if (ChildrenShown(Node))
        FVisibleCount += added;
    AdjustTotalCount(Node, added);
    Node->FChildCount = NewCount;
    if (!Updating() && FAutoOptions.contains(toAutoSort) && FSortColumn > -2)
        Sort(Node, FSortColumn, FSortDirection, true);
    if (FHooked)
        FHooks->InvalidateCache();
}

void TBaseGridTree::SetChildCount(TGridNode *Node, uint32_t NewCount)
{
    if (FMiscOptions.contains(toReadOnly))
        return;
    if (Node == nullptr)
        Node = FRoot;
    if (NewCount == 0) {
        DeleteChildren(Node, false);
        return;
    }
    const uint32_t count = Node->FChildCount;
    if (NewCount == count)
        return;
    TValidationStop stop(*this);
    if (NewCount < count) {
        while (Node->FChildCount > NewCount)
            DeleteNode(Node->FLastChild, true);
    } else {
        AppendChildren(Node, NewCount);
    }
    if (!Updating()) {
        RequestValidation();
        FHooks->UpdateScrollBars();
        FHooks->InvalidateTree();
    }
    NoteStructureChange(Node == FRoot ? nullptr : Node, crChildAdded);
}

void TBaseGridTree::SetRootNodeCount(uint32_t Value)
{
    if (Value == FRoot->FChildCount)
        return;
    BeginUpdate();
    TValidationStop stop(*this);
    SetChildCount(FRoot, Value);
    EndUpdate();
}

uint32_t TBaseGridTree::TotalCount()
{
    ++FUpdateCount;
    ValidateNode(FRoot, true);
    --FUpdateCount;
    return FRoot->FTotalCount - 1;
}

uint32_t TBaseGridTree::NodeHeight(TGridNode *Node)
{
    if (Node == nullptr || Node == FRoot)
        return 0;
    if (FMiscOptions.contains(toVariableNodeHeight) && !Node->FStates.contains(vsInitialized))
        InitNode(Node);
    return Node->FNodeHeight;
}

void TBaseGridTree::SetNodeHeight(TGridNode *Node, uint32_t Value)
{
    Value = std::min(Value, MaxNodeHeight);
    if (Node == nullptr || Node == FRoot || Value == Node->FNodeHeight || FMiscOptions.contains(toReadOnly))
        return;
    TValidationStop stop(*this);
    const int64_t difference = int64_t(Value) - Node->FNodeHeight;
    Node->FNodeHeight = static_cast<uint16_t>(Value);
    AdjustTotalHeight(Node, difference);
    // The cache worker never measures nodes, so a height changes only here.
    if (Displayed(Node)) {
        FHooks->InvalidateCache();
        if (!Updating()) {
            RequestValidation();
            FHooks->InvalidateToBottom(Node);
            FHooks->UpdateScrollBars();
        }
    }
}

void TBaseGridTree::SetDefaultNodeHeight(uint32_t Value)
{
    if (Value == 0)
        Value = 18;
    Value = std::min(Value, MaxNodeHeight);
    if (Value == FDefaultNodeHeight)
        return;
    TValidationStop stop(*this);
    DoStateChange({ tsNeedScale });
    FRoot->FTotalHeight = static_cast<uint32_t>(int64_t(FRoot->FTotalHeight) + Value - FDefaultNodeHeight);
    FRoot->FNodeHeight = static_cast<uint16_t>(Value);
    FDefaultNodeHeight = Value;
    FHooks->InvalidateCache();
    if (!Updating()) {
        RequestValidation();
        FHooks->UpdateScrollBars();
        FHooks->InvalidateTree();
    }
}

void TBaseGridTree::SetHeightMeasured(TGridNode *Node, bool Value)
{
    if (Node == nullptr || Node == FRoot || Node->FStates.contains(vsHeightMeasured) == Value)
        return;
    // No row moves: a complete cache stays usable.
    TValidationStop stop(*this, true);
    Node->FStates.set(vsHeightMeasured, Value);
}

// ---- initialisation ---------------------------------------------------------------------

void TBaseGridTree::InitNode(TGridNode *Node)
{
    TValidationStop stop(*this, true);
    Node->FStates.include(vsInitialized);
    TGridNodeInitStates init;
    DoInitNode(Node->FParent == FRoot ? nullptr : Node->FParent, Node, init);
    if (init.contains(ivsDisabled))
        Node->FStates.include(vsDisabled);
    if (init.contains(ivsHasChildren))
        Node->FStates.include(vsHasChildren);
    if (init.contains(ivsSelected))
        InternalAddToSelection(Node, false);
    if (init.contains(ivsMultiline)) {
        Node->FStates.include(vsMultiline);
        FMultilineSeen = true;
    }
    if (Node->FStates.contains(vsExpanded) != init.contains(ivsExpanded)) {
        if (init.contains(ivsExpanded))
            ToggleNode(Node);
        else if (Node->FStates.contains(vsHasChildren))
            InitChildren(Node);
    }
}

void TBaseGridTree::InitChildren(TGridNode *Node)
{
    if (Node == nullptr || Node == FRoot || !Node->FStates.contains(vsHasChildren))
        return;
    TValidationStop stop(*this);
    uint32_t count = Node->FChildCount;
    DoInitChildren(Node, count);
    if (count == 0) {
        DeleteChildren(Node, true);
        Node->FStates.exclude(vsHasChildren);
    } else {
        SetChildCount(Node, count);
    }
}

void TBaseGridTree::ValidateNode(TGridNode *Node, bool Recursive)
{
    if (Node == nullptr)
        Node = FRoot;
    if (!Node->FStates.contains(vsInitialized))
        InitNode(Node);
    if (Recursive) {
        if (Node->FStates.contains(vsHasChildren) && Node->FChildCount == 0)
            InitChildren(Node);
        for (TGridNode *child = Node->FFirstChild; child; child = child->FNextSibling)
            ValidateNode(child, true);
    }
}

void TBaseGridTree::ValidateChildren(TGridNode *Node, bool Recursive)
{
    if (Node == nullptr)
        Node = FRoot;
    if (Node->FStates.contains(vsHasChildren) && Node->FChildCount == 0)
        InitChildren(Node);
    for (TGridNode *child = Node->FFirstChild; child; child = child->FNextSibling) {
        if (!child->FStates.contains(vsInitialized))
            InitNode(child);
        if (Recursive)
            ValidateChildren(child, true);
    }
}

void TBaseGridTree::ReinitNode(TGridNode *Node, bool Recursive)
{
    if (Node == nullptr || Node == FRoot)
        return;
    TValidationStop stop(*this, true);
    Node->FStates = Node->FStates - TGridNodeStates { vsChecking, vsCutOrCopy, vsDeleting, vsHeightMeasured };
    // The string tree measures the text anew.
    *reinterpret_cast<uint32_t *>(reinterpret_cast<char *>(Node) + FStringTreeDataOffset) = 0;
    InitNode(Node);
    if (Recursive)
        ReinitChildren(Node, true);
}

void TBaseGridTree::ReinitChildren(TGridNode *Node, bool Recursive)
{
    if (Node == nullptr)
        Node = FRoot;
    InitChildren(Node);
    for (TGridNode *child = Node->FFirstChild; child;) {
        TGridNode *next = child->FNextSibling;
        ReinitNode(child, Recursive);
        child = next;
    }
}

void TBaseGridTree::ResetNode(TGridNode *Node)
{
    FHooks->CancelEdit();
    if (Node == nullptr || Node == FRoot) {
        Clear();
        return;
    }
    TValidationStop stop(*this);
    DoReset(Node);
    DeleteChildren(Node, false);
    Node->FStates = Node->FStates
        - TGridNodeStates { vsInitialized, vsChecking, vsCutOrCopy, vsDeleting, vsExpanded, vsHasChildren,
              vsHeightMeasured };
    FHooks->InvalidateNode(Node);
}

// ---- linking -------------------------------------------------------------------------------

void TBaseGridTree::NormalizeIndexes(TGridNode *Parent)
{
    if (Parent->FStaleChild) {
        TGridNode *stale = Parent->FStaleChild;
        uint32_t next = stale->FPrevSibling ? stale->FPrevSibling->FIndex + 1 : 0;
        for (TGridNode *n = stale; n; n = n->FNextSibling)
            n->FIndex = next++;
        Parent->FStaleChild = nullptr;
    }
}

void TBaseGridTree::InternalConnectNode(TGridNode *Node, TGridNode *Destination, TGTAttachMode Mode)
{
    TGridNode *parent
        = (Mode == amInsertBefore || Mode == amInsertAfter) ? Destination->FParent : Destination;
    TGridNode *prev = nullptr;
    TGridNode *next = nullptr;
    switch (Mode) {
    case amInsertBefore:
        prev = Destination->FPrevSibling;
        next = Destination;
        break;
    case amInsertAfter:
        prev = Destination;
        next = Destination->FNextSibling;
        break;
    case amAddChildFirst:
        next = parent->FFirstChild;
        break;
    default:
        prev = parent->FLastChild;
        break;
    }
    // Inserting in front of others renumbers them now; only deletions wait.
    if (next)
        NormalizeIndexes(parent);
    Node->FParent = parent;
    Node->FPrevSibling = prev;
    Node->FNextSibling = next;
    (prev ? prev->FNextSibling : parent->FFirstChild) = Node;
    (next ? next->FPrevSibling : parent->FLastChild) = Node;
    ++FStructureStamp;
    if (next == nullptr) {
        Node->FIndex = parent->FChildCount;
    } else {
        Node->FIndex = prev ? prev->FIndex + 1 : 0;
        for (TGridNode *n = next; n; n = n->FNextSibling)
            ++n->FIndex;
    }
    ++parent->FChildCount;
    parent->FStates.include(vsHasChildren);
    AdjustTotalCount(parent, Node->FTotalCount);
    const bool visible = EffVisible(Node);
    if (parent->FStates.contains(vsExpanded) && visible)
        AdjustTotalHeight(parent, Node->FTotalHeight);
    if (visible && ChildrenShown(parent))
        FVisibleCount += 1 + CountVisibleChildren(Node);
    Node->FStates = Node->FStates - TGridNodeStates { vsChecking, vsCutOrCopy, vsDeleting, vsClearing };
    if (visible)
        parent->FStates.exclude(vsAllChildrenHidden);
    else if (parent->FChildCount == 1)
        parent->FStates.include(vsAllChildrenHidden);
}

inline void TBaseGridTree::InternalDisconnectNode(TGridNode *Node, bool KeepFocus, bool /*Reindex*/)
{
    // Sibling numbers are always kept dense (lazily), so Reindex needs no work.
    if (Node == nullptr || Node == FRoot)
        throw EGridTreeAssertion(NilOrRootNode);
    if (!KeepFocus && FFocusedNode == Node)
        FFocusedNode = nullptr;
    if (FRangeAnchor == Node)
        ResetRangeAnchor();
    if (Node->FStates.contains(vsDeleting))
        return;
    TGridNode *parent = Node->FParent;
    Node->FStates.exclude(vsChecking);
    const bool visible = EffVisible(Node);
    if (visible && ChildrenShown(parent))
        FVisibleCount -= 1 + ShownRowsBelow(Node);
    if (visible && parent->FStates.contains(vsExpanded))
        AdjustTotalHeight(parent, -int64_t(Node->FTotalHeight));
    AdjustTotalCount(parent, -int64_t(Node->FTotalCount));

    // Later siblings keep their numbers (one too large now) until someone reads them.
    if (TGridNode *stale = parent->FStaleChild) {
        const uint32_t firstStale = stale->FPrevSibling ? stale->FPrevSibling->FIndex + 1 : 0;
        if (Node == stale || Node->FIndex < firstStale)
            parent->FStaleChild = Node->FNextSibling;
    } else {
        parent->FStaleChild = Node->FNextSibling;
    }

    TGridNode *prev = Node->FPrevSibling;
    TGridNode *next = Node->FNextSibling;
    (prev ? prev->FNextSibling : parent->FFirstChild) = next;
    (next ? next->FPrevSibling : parent->FLastChild) = prev;
    ++FStructureStamp;
    Node->FPrevSibling = Node->FNextSibling = nullptr;

    if (--parent->FChildCount == 0) {
        parent->FStates.exclude(vsHasChildren);
        parent->FStates.exclude(vsAllChildrenHidden);
        if (parent != FRoot)
            parent->FStates.exclude(vsExpanded);
        parent->FStaleChild = nullptr;
    } else if (visible && !parent->FStates.contains(vsClearing)) {
        if (Updating())
            DoStateChange({ tsUpdateHiddenChildrenNeeded });
        else
            HiddenFlagAfterLoss(parent, prev, next);
    }
}

// ---- adding, deleting, moving ------------------------------------------------------------------

TGridNode *TBaseGridTree::AddChild(TGridNode *Parent, void *UserData)
{
    if (FMiscOptions.contains(toReadOnly))
        return nullptr;
    if (FHooked)
        FHooks->CancelEdit();
    if (Parent == nullptr)
        Parent = FRoot;
    TGridNode *result;
    bool userDataFailed = false;
    {
        TValidationStop stop(*this);
        if (!Parent->FStates.contains(vsInitialized))
            InitNode(Parent);
        ++FUpdateCount;
        // SetChildCount(Parent, count + 1) spelt out: inside the bracket it only
        // appends the node and notes the structure change.
        const uint32_t newCount = Parent->FChildCount + 1;
        if (FMiscOptions.contains(toReadOnly) || newCount == 0) {
            SetChildCount(Parent, newCount);
        } else {
            AppendChildren(Parent, newCount);
            NoteStructureChange(Parent == FRoot ? nullptr : Parent, crChildAdded);
        }
        Parent->FStates.exclude(vsAllChildrenHidden);
        --FUpdateCount;
        result = Parent->FLastChild;

        if (UserData) {
            if (FNodeDataSize < static_cast<int>(sizeof(void *)) || FDataType) {
                userDataFailed = true;
            } else {
                // The whole pointer, whatever its width.
                std::memcpy(GetNodeData(result), &UserData, sizeof(void *));
                result->FStates.include(vsInitialUserData);
            }
        }

        if (FHooked)
            FHooks->InvalidateCache();
        if (!Updating()) {
            if (FHooked)
                RequestValidation();
            if (FStates.contains(tsStructureChangePending))
                NoteStructureChange(Parent == FRoot ? nullptr : Parent, crChildAdded);
            if (FAutoOptions.contains(toAutoSort) && FSortColumn > -2)
                Sort(Parent, FSortColumn, FSortDirection, true);
            if (FHooked) {
                FHooks->InvalidateToBottom(Parent == FRoot ? nullptr : Parent);
                FHooks->UpdateScrollBars();
            }
        }
    }
    if (userDataFailed) {
        if (FDataType)
            ShowError(QString::fromLatin1(UserDataOnTypedRecord), NoUserDataSpaceHelpContext);
        ShowError(QString::fromLatin1(NoUserDataSpace), NoUserDataSpaceHelpContext);
    }
    return result;
}

void TBaseGridTree::FreeSubtree(TGridNode *Node)
{
    Node->FStates.include(vsDeleting);
    for (TGridNode *child = Node->FLastChild; child;) {
        TGridNode *prev = child->FPrevSibling;
        FreeSubtree(child);
        child = prev;
    }
    DoFreeNode(Node);
}

void TBaseGridTree::DeleteChildren(TGridNode *Node, bool ResetHasChildren)
{
    if (Node == nullptr)
        Node = FRoot;
    if (Node->FChildCount == 0 || FMiscOptions.contains(toReadOnly))
        return;
    if (FStates.contains(tsIterating))
        throw EGridTreeAssertion(DeleteDuringIteration);
    ++FUpdateCount;
    TValidationStop stop(*this);
    const bool childrenShown = ChildrenShown(Node);
    if (Node == FRoot)
        ForgetAllNodes();
    Node->FStates.include(vsClearing);
    for (TGridNode *child = Node->FLastChild; child;) {
        TGridNode *prev = child->FPrevSibling;
        if (childrenShown && EffVisible(child))
            FVisibleCount -= 1 + CountVisibleChildren(child);
        FreeSubtree(child);
        child = prev;
    }
    Node->FStates.exclude(vsClearing);
    if (ResetHasChildren)
        Node->FStates.exclude(vsHasChildren);
    if (Node != FRoot)
        Node->FStates.exclude(vsExpanded);
    Node->FStates.exclude(vsAllChildrenHidden);
    Node->FChildCount = 0;
    Node->FFirstChild = Node->FLastChild = nullptr;
    Node->FStaleChild = nullptr;
    ++FStructureStamp;
    if (Node == FRoot) {
        FRoot->FTotalHeight = FDefaultNodeHeight;
        FRoot->FTotalCount = 1;
    } else if (!Node->FStates.contains(vsDeleting)) {
        AdjustTotalHeight(Node, int64_t(Node->FNodeHeight) - Node->FTotalHeight);
        AdjustTotalCount(Node, 1 - int64_t(Node->FTotalCount));
    }
    --FUpdateCount;
    FHooks->InvalidateCache();
    if (!Updating()) {
        RequestValidation();
        FHooks->UpdateScrollBars();
        FHooks->InvalidateToBottom(Node == FRoot ? nullptr : Node);
        PackSelection();
    }
    NoteStructureChange(Node == FRoot ? nullptr : Node, crChildDeleted);
}

void TBaseGridTree::DeleteNode(TGridNode *Node, bool Reindex)
{
    if (Node == nullptr || Node == FRoot || FMiscOptions.contains(toReadOnly))
        return;
    if (FStates.contains(tsIterating))
        throw EGridTreeAssertion(DeleteDuringIteration);
    // Its own unlink changes links and heights: the worker stops first here too.
    TValidationStop stop(*this);
    TGridNode *parent = Node->FParent;
    const bool parentClearing = parent->FStates.contains(vsClearing);
    if (!parentClearing)
        NoteStructureChange(parent == FRoot ? nullptr : parent, crChildDeleted);
    DropDeletedFromSelection(Node);
    if (FHooked)
        FHooks->InvalidateToBottom(parent == FRoot ? nullptr : parent);
    if (Node->FChildCount > 0)
        DeleteChildren(Node, false);
    InternalDisconnectNode(Node, false, Reindex);
    Node->FStates.include(vsDeleting);
    DoFreeNode(Node);
    if (!parentClearing && FHooked) {
        FHooks->InvalidateCache();
        if (!Updating()) {
            RequestValidation();
            FHooks->UpdateScrollBars();
        }
    }
}

void TBaseGridTree::Clear()
{
    if (FMiscOptions.contains(toReadOnly) && !FDestroying)
        return;
    BeginUpdate();
    TValidationStop stop(*this);
    FHooks->CancelEdit();
    FHooks->ReleaseClipboard();
    ClearSelection();
    // A locked selection or a tree being destroyed: the nodes go all the same.
    if (!FSelection.empty() || FSelectionByFlags)
        InternalClearSelection();
    for (TGridNodeReference *ref :
        { &FFocusedNode, &FLastSelected, &FCurrentHotNode, &FDropTargetNode, &FLastChangedNode, &FRangeAnchor,
            &FCheckNode, &FLastDragTarget, &FLastSearchNode, &FHeightTrackNode })
        *ref = nullptr;
    DeleteChildren(FRoot, true);
    FMultilineSeen = false;
    FHooks->ResetScrollOffsets();
    EndUpdate();
}

void TBaseGridTree::MoveTo(TGridNode *Source, TGridNode *Target, TGTAttachMode Mode, bool ChildrenOnly)
{
    if (Source == nullptr || Source == FRoot || Mode == amNoWhere || FMiscOptions.contains(toReadOnly))
        return;
    if (TreeFromNode(Source) != this)
        throw EGridTreeAssertion(SourceNotInTree);
    if (Target == Source && !(ChildrenOnly && (Mode == amInsertBefore || Mode == amInsertAfter)))
        return;
    if (Target == nullptr) {
        Target = FRoot;
        Mode = amAddChildFirst;
    }
    if (Target == FRoot) {
        if (Mode == amInsertBefore)
            Mode = amAddChildFirst;
        else if (Mode == amInsertAfter)
            Mode = amAddChildLast;
    }
    if (TreeFromNode(Target) != this) {
        MoveToTree(Source, Target, Mode, ChildrenOnly);
        return;
    }

    // Refuse a move into the moved subtree before anything changes.
    if (ChildrenOnly) {
        for (TGridNode *child = Source->FFirstChild; child; child = child->FNextSibling)
            if (Target == child || HasAsParent(Target, child))
                ShowError(QString::fromLatin1(TargetInsideSource), 0);
    } else if (HasAsParent(Target, Source)) {
        ShowError(QString::fromLatin1(TargetInsideSource), 0);
    }

    if (Target != FRoot) {
        if (!Target->FStates.contains(vsInitialized))
            InitNode(Target);
        if (Target->FStates.contains(vsHasChildren) && Target->FChildCount == 0)
            InitChildren(Target);
    }
    const bool allowed = DoNodeMoving(Source, Target == FRoot ? nullptr : Target);
    TValidationStop stop(*this);
    if (allowed) {
        if (!ChildrenOnly) {
            InternalDisconnectNode(Source, true, true);
            InternalConnectNode(Source, Target, Mode);
            DoNodeMoved(Source);
        } else {
            // Inserting one by one at the same place: walk backwards where each
            // new node lands in front of the previous one, so the order stays.
            const bool backwards = Mode == amAddChildFirst || Mode == amInsertAfter;
            for (TGridNode *child = backwards ? Source->FLastChild : Source->FFirstChild; child;) {
                TGridNode *following = backwards ? child->FPrevSibling : child->FNextSibling;
                InternalDisconnectNode(child, true, false);
                InternalConnectNode(child, Target, Mode);
                DoNodeMoved(child);
                child = following;
            }
        }
    }
    FHooks->InvalidateCache();
    if (!Updating() && allowed) {
        RequestValidation();
        FHooks->UpdateScrollBars();
        FHooks->InvalidateTree();
    }
    NoteStructureChange(Source, crNodeMoved);
}

uint32_t TBaseGridTree::GetNodeLevel(const TGridNode *Node) const
{
    uint32_t level = 0;
    if (Node == nullptr || Node == FRoot)
        return 0;
    for (const TGridNode *p = Node->FParent; p != FRoot; p = p->FParent)
        ++level;
    return level;
}

bool TBaseGridTree::HasAsParent(const TGridNode *Node, const TGridNode *PotentialParent) const
{
    if (Node == nullptr || PotentialParent == nullptr || Node == FRoot)
        return false;
    for (const TGridNode *p = Node->FParent;; p = p->FParent) {
        if (p == PotentialParent)
            return true;
        if (p == FRoot)
            return false;
    }
}

// ---- options -----------------------------------------------------------------------------

void TBaseGridTree::SetPaintOptions(TGTPaintOptions Value)
{
    if (Value == FPaintOptions)
        return;
    // The worker walks by these options.
    TValidationStop stop(*this);
    const bool hiddenChanged = Value.contains(toShowHiddenNodes) != FPaintOptions.contains(toShowHiddenNodes);
    const bool orderChanged = Value.contains(toChildrenAbove) != FPaintOptions.contains(toChildrenAbove);
    FPaintOptions = Value;
    if (hiddenChanged) {
        // Hidden nodes start or stop counting: heights and the visible count follow.
        BeginUpdate();
        RecomputeVisibility();
        DoStateChange({ tsUpdateHiddenChildrenNeeded });
        EndUpdate();
    } else if (orderChanged) {
        // Parents move below their children: every position changes.
        FHooks->InvalidateCache();
        if (!Updating())
            RequestValidation();
        FHooks->InvalidateTree();
    } else {
        FHooks->InvalidateTree();
    }
}

uint32_t TBaseGridTree::RecomputeSubtree(TGridNode *Node)
{
    // Returns the shown rows below Node (when Node's children are shown).
    uint64_t height = Node->FNodeHeight;
    uint32_t shown = 0;
    for (TGridNode *child = Node->FFirstChild; child; child = child->FNextSibling) {
        const uint32_t below = RecomputeSubtree(child);
        if (Node->FStates.contains(vsExpanded) && EffVisible(child)) {
            height += child->FTotalHeight;
            shown += 1 + below;
        }
    }
    Node->FTotalHeight = static_cast<uint32_t>(height);
    return shown;
}

void TBaseGridTree::RecomputeVisibility()
{
    FVisibleCount = RecomputeSubtree(FRoot);
}
