#pragma once

#include "components/GridNode.h"
#include "components/GridTreeErrors.h"
#include "components/GridTreeHooks.h"
#include "components/NodeAllocator.h"
#include "components/TreeOptionSets.h"

#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <new>
#include <type_traits>
#include <typeinfo>
#include <vector>

class QIODevice;
class TStreamReader;
class TStreamWriter;

enum TGTAttachMode { amNoWhere, amInsertBefore, amInsertAfter, amAddChildFirst, amAddChildLast };
enum TChangeReason {
    crIgnore,
    crAccumulated,
    crChildAdded,
    crChildDeleted,
    crNodeAdded,
    crNodeCopied,
    crNodeMoved
};
enum TSortDirection { sdAscending, sdDescending };
enum TGTUpdateState { usBegin, usBeginSynch, usSynch, usUpdate, usEnd, usEndSynch };

// The tree states the node store uses; the view adds its own.
enum TGridTreeState : uint8_t {
    tsChangePending,
    tsCollapsing,
    tsExpanding,
    tsIterating,
    tsNeedScale,
    tsStopValidation,
    tsStructureChangePending,
    tsSynchMode,
    tsToggling,
    tsUpdateHiddenChildrenNeeded,
    tsUpdating,
    tsUseCache,
    tsValidating,
    tsValidationNeeded,
    // Selection and check boxes.
    tsCheckPropagation,
    tsClearPending,
    tsKeyCheckPending,
    tsMouseCheckPending,
};
using TGridTreeStates = TSmallSet<TGridTreeState, uint64_t>;

enum TGTPaintOption : uint8_t {
    toHideFocusRect,
    toHideSelection,
    toHotTrack,
    toPopupMode,
    toShowBackground,
    toShowButtons,
    toShowDropmark,
    toShowHorzGridLines,
    toShowRoot,
    toShowTreeLines,
    toShowVertGridLines,
    toThemeAware,
    toUseBlendedImages,
    toGhostedIfUnfocused,
    toFullVertGridLines,
    toAlwaysHideSelection,
    toUseBlendedSelection,
    toStaticBackground,
    toChildrenAbove,
    toFixedIndent,
    toUseExplorerTheme,
    toHideTreeLinesIfThemed,
    toShowHiddenNodes
};
using TGTPaintOptions = TSmallSet<TGTPaintOption, uint32_t>;

enum TGTAutoOption : uint8_t {
    toAutoDropExpand,
    toAutoExpand,
    toAutoScroll,
    toAutoScrollOnExpand,
    toAutoSort,
    toAutoSpanColumns,
    toAutoTristateTracking,
    toAutoHideButtons,
    toAutoDeleteMovedNodes,
    toDisableAutoscrollOnFocus,
    toAutoChangeScale,
    toAutoFreeOnCollapse,
    toDisableAutoscrollOnEdit,
    toAutoBidiColumnOrdering
};
using TGTAutoOptions = TSmallSet<TGTAutoOption, uint32_t>;

enum TGTMiscOption : uint8_t {
    toAcceptOLEDrop,
    toCheckSupport,
    toEditable,
    toFullRepaintOnResize,
    toGridExtensions,
    toInitOnSave,
    toReportMode,
    toToggleOnDblClick,
    toWheelPanning,
    toReadOnly,
    toVariableNodeHeight,
    toFullRowDrag,
    toNodeHeightResize,
    toNodeHeightDblClickResize,
    toEditOnClick,
    toEditOnDblClick
};
using TGTMiscOptions = TSmallSet<TGTMiscOption, uint32_t>;

using TNodeArray = std::vector<TGridNode *>;

// A node reference that the tree clears when the node is freed. The tree's own
// references (focus, hot node, drop target, ...) are of this kind; the view and
// the document keep theirs the same way. When the tree goes first, the
// reference becomes nil and detached.
class TGridNodeReference {
public:
    explicit TGridNodeReference(TBaseGridTree &Tree, TGridNode *Node = nullptr);
    ~TGridNodeReference();
    TGridNodeReference(const TGridNodeReference &) = delete;
    TGridNodeReference &operator=(const TGridNodeReference &) = delete;

    TGridNodeReference &operator=(TGridNode *Node);
    TGridNode *get() const { return FNode; }
    operator TGridNode *() const { return FNode; }
    TGridNode *operator->() const { return FNode; }

private:
    friend class TBaseGridTree;
    TBaseGridTree *FTree;
    TGridNode *FNode;
};

// The windowless core of the tree-grid control: nodes with their data areas,
// counts and heights, navigation, visibility, expansion and sorting. The view
// (painting, input, scrolling) sits on top and listens through TGridTreeHooks.
// Main thread only.
class TBaseGridTree {
    // First members: the references below register here while they are built.
    std::vector<TGridNodeReference *> FReferences;
    // False while none of them names a node, so that freeing a node need not
    // look through them (set when one is given a node, reset by a look that
    // finds them all nil).
    bool FReferencesHeld = false;

public:
    TBaseGridTree();
    virtual ~TBaseGridTree();
    TBaseGridTree(const TBaseGridTree &) = delete;
    TBaseGridTree &operator=(const TBaseGridTree &) = delete;

    // ---- the view showing the store --------------------------------------------------
    // Shows the store in `View`: its hooks are called from now on. A view shown
    // before is detached first, and so is `View` from a store it showed.
    void AttachView(TGridTreeHooks &View);
    // Back to the no-op hooks; the view is told (Detached). Nothing without a view.
    void DetachView();
    TGridTreeHooks *AttachedView() const { return FHooked ? FHooks : nullptr; }

    // ---- owner events --------------------------------------------------------------
    std::function<void(TBaseGridTree &, int &Size)> OnGetNodeDataSize;
    std::function<void(TBaseGridTree &, TGridNode *ParentNode, TGridNode *Node, TGridNodeInitStates &)>
        OnInitNode;
    std::function<void(TBaseGridTree &, TGridNode *Node, uint32_t &ChildCount)> OnInitChildren;
    // Runs for every node that was initialised or whose data area was handed out;
    // a typed record is still alive here and destroyed right after.
    std::function<void(TBaseGridTree &, TGridNode *)> OnFreeNode;
    std::function<void(TBaseGridTree &, TGridNode *)> OnResetNode;
    std::function<void(TBaseGridTree &, TGridNode *Node, TGridNode *Target, bool &Allowed)> OnNodeMoving;
    std::function<void(TBaseGridTree &, TGridNode *)> OnNodeMoved;
    std::function<void(TBaseGridTree &, TGridNode *, TChangeReason)> OnStructureChange;
    std::function<void(TBaseGridTree &, TGridNode *)> OnChange;
    // < 0: Node1 first, > 0: Node2 first, 0: equal (the order stays).
    std::function<int(TBaseGridTree &, TGridNode *Node1, TGridNode *Node2, int Column)> OnCompareNodes;
    // Moves on whenever anything OnCompareNodes reads may have changed (the
    // nodes' data, what decides how it compares). With it, the automatic sort
    // at a bracket's end is left out while the tree's nodes, the sort column and
    // direction and this stamp are those of the last whole-tree sort: a sort
    // then keeps every node where it is. Without it, every bracket end sorts.
    std::function<std::uint64_t(TBaseGridTree &)> OnOrderStamp;
    // The automatic whole-tree sort at a bracket's end made the owner's way (a
    // large table's, compared elsewhere while the window paints), in the order
    // the tree's own sort would give; false leaves it to the tree.
    std::function<bool(TBaseGridTree &, int Column, TSortDirection Direction)> OnSortWholeTree;
    std::function<void(TBaseGridTree &, TGridNode *, bool &Allowed)> OnExpanding;
    std::function<void(TBaseGridTree &, TGridNode *, bool &Allowed)> OnCollapsing;
    std::function<void(TBaseGridTree &, TGridNode *)> OnExpanded;
    std::function<void(TBaseGridTree &, TGridNode *)> OnCollapsed;
    std::function<void(TBaseGridTree &, TGridTreeStates Enter, TGridTreeStates Leave)> OnStateChange;
    std::function<void(TBaseGridTree &, TGTUpdateState)> OnUpdating;

    // ---- structure -----------------------------------------------------------------
    TGridNode *RootNode() const { return FRoot; }
    TGridNode *AddChild(TGridNode *Parent, void *UserData = nullptr);
    void DeleteNode(TGridNode *Node, bool Reindex = true);
    void DeleteChildren(TGridNode *Node, bool ResetHasChildren = false);
    void Clear();
    void MoveTo(TGridNode *Source, TGridNode *Target, TGTAttachMode Mode, bool ChildrenOnly);

    uint32_t ChildCount(const TGridNode *Node) const;
    void SetChildCount(TGridNode *Node, uint32_t NewCount);
    uint32_t RootNodeCount() const { return FRoot->FChildCount; }
    void SetRootNodeCount(uint32_t Value);
    // All nodes below the root; initialises the whole tree first.
    uint32_t TotalCount();
    // Nodes shown when every ancestor is expanded and visible.
    uint32_t VisibleCount() const { return FVisibleCount; }

    // ---- data areas ----------------------------------------------------------------
    // Bytes of the caller's area; -1 = ask OnGetNodeDataSize on the first node.
    // Changing it rebuilds every node uninitialised (old data freed first).
    int NodeDataSize() const { return FNodeDataSize; }
    void SetNodeDataSize(int Value);
    // Makes the caller's area hold one T per node: value-initialised when the
    // area is first handed out, destroyed after OnFreeNode. Never copied.
    template <typename T> void SetNodeDataType();
    // The caller's area (nil for nil and the root).
    void *GetNodeData(TGridNode *Node);
    template <typename T> T *GetNodeData(TGridNode *Node);
    // Reserves Size bytes in every node for a descendant; returns their offset
    // from the start of the node block.
    int AllocateInternalDataArea(int Size);
    int TotalInternalDataSize() const { return FTotalInternalDataSize; }
    // Every store keeps the string tree's per-node bytes (its cached width of the
    // main column's text), so that a store filled before its view exists can be
    // shown as a string tree: the offset of those 4 bytes in the node block.
    int StringTreeDataOffset() const { return FStringTreeDataOffset; }

    // ---- heights -------------------------------------------------------------------
    uint32_t NodeHeight(TGridNode *Node);
    // Values beyond the record's 16 bits are clamped.
    void SetNodeHeight(TGridNode *Node, uint32_t Value);
    uint32_t DefaultNodeHeight() const { return FDefaultNodeHeight; }
    void SetDefaultNodeHeight(uint32_t Value);
    // The view's mark that a node's height was measured (cleared: measure it
    // again before it is painted).
    void SetHeightMeasured(TGridNode *Node, bool Value);
    // Whether a node was ever made multi-line since the tree was last emptied:
    // only such nodes wrap anew when a column's width changes, and most trees
    // have none, so a width change need not look at every node.
    bool MayHaveMultilineNodes() const { return FMultilineSeen; }

    // ---- levels and initialisation --------------------------------------------------
    uint32_t GetNodeLevel(const TGridNode *Node) const;
    bool HasAsParent(const TGridNode *Node, const TGridNode *PotentialParent) const;
    void ReinitNode(TGridNode *Node, bool Recursive);
    void ReinitChildren(TGridNode *Node, bool Recursive);
    void ResetNode(TGridNode *Node);
    void ValidateNode(TGridNode *Node, bool Recursive);
    void ValidateChildren(TGridNode *Node, bool Recursive);

    // ---- navigation (a function returning a node initialises it unless NoInit) ---------
    TGridNode *GetFirst(bool ConsiderChildrenAbove = false);
    TGridNode *GetFirstNoInit(bool ConsiderChildrenAbove = false);
    TGridNode *GetFirstInitialized(bool ConsiderChildrenAbove = false);
    TGridNode *GetLast(TGridNode *Node = nullptr, bool ConsiderChildrenAbove = false);
    TGridNode *GetLastNoInit(TGridNode *Node = nullptr, bool ConsiderChildrenAbove = false);
    TGridNode *GetFirstChild(TGridNode *Node);
    TGridNode *GetLastChild(TGridNode *Node);
    TGridNode *GetLastChildNoInit(TGridNode *Node);
    TGridNode *GetNext(TGridNode *Node, bool ConsiderChildrenAbove = false);
    TGridNode *GetNextNoInit(TGridNode *Node, bool ConsiderChildrenAbove = false);
    TGridNode *GetNextInitialized(TGridNode *Node, bool ConsiderChildrenAbove = false);
    TGridNode *GetPrevious(TGridNode *Node, bool ConsiderChildrenAbove = false);
    TGridNode *GetPreviousNoInit(TGridNode *Node, bool ConsiderChildrenAbove = false);
    TGridNode *GetNextSibling(TGridNode *Node);
    TGridNode *GetPreviousSibling(TGridNode *Node);

    TGridNode *GetFirstVisible(
        TGridNode *Node = nullptr, bool ConsiderChildrenAbove = true, bool IncludeHidden = false);
    TGridNode *GetFirstVisibleNoInit(
        TGridNode *Node = nullptr, bool ConsiderChildrenAbove = true, bool IncludeHidden = false);
    TGridNode *GetLastVisible(
        TGridNode *Node = nullptr, bool ConsiderChildrenAbove = true, bool IncludeHidden = false);
    TGridNode *GetLastVisibleNoInit(
        TGridNode *Node = nullptr, bool ConsiderChildrenAbove = true, bool IncludeHidden = false);
    TGridNode *GetFirstVisibleChild(TGridNode *Node, bool IncludeHidden = false);
    TGridNode *GetLastVisibleChild(TGridNode *Node, bool IncludeHidden = false);
    TGridNode *GetLastVisibleChildNoInit(TGridNode *Node, bool IncludeHidden = false);
    TGridNode *GetNextVisible(TGridNode *Node, bool ConsiderChildrenAbove = true);
    TGridNode *GetNextVisibleNoInit(TGridNode *Node, bool ConsiderChildrenAbove = true);
    TGridNode *GetPreviousVisible(TGridNode *Node, bool ConsiderChildrenAbove = true);
    TGridNode *GetPreviousVisibleNoInit(TGridNode *Node, bool ConsiderChildrenAbove = true);
    TGridNode *GetNextVisibleSibling(TGridNode *Node, bool IncludeHidden = false);
    TGridNode *GetPreviousVisibleSibling(TGridNode *Node, bool IncludeHidden = false);
    TGridNode *GetPreviousVisibleSiblingNoInit(TGridNode *Node, bool IncludeHidden = false);
    TGridNode *GetVisibleParent(TGridNode *Node, bool IncludeHidden = false);
    bool HasVisibleNextSibling(TGridNode *Node);
    bool HasVisiblePreviousSibling(TGridNode *Node);
    bool IsFirstVisibleChild(TGridNode *Parent, TGridNode *Node);
    bool IsLastVisibleChild(TGridNode *Parent, TGridNode *Node);
    uint32_t CountVisibleChildren(const TGridNode *Node) const;
    int CountLevelDifference(const TGridNode *Node1, const TGridNode *Node2) const;

    // ---- visibility and expansion -----------------------------------------------------
    bool IsVisible(TGridNode *Node);
    void SetVisible(TGridNode *Node, bool Value);
    bool IsEffectivelyHidden(const TGridNode *Node) const;
    bool IsEffectivelyVisible(const TGridNode *Node) const;
    bool FullyVisible(const TGridNode *Node) const;
    bool VisiblePath(const TGridNode *Node) const;
    void ToggleNode(TGridNode *Node);
    void FullExpand(TGridNode *Node = nullptr);
    void FullCollapse(TGridNode *Node = nullptr);
    void DetermineHiddenChildrenFlag(TGridNode *Node);
    void DetermineHiddenChildrenFlagAllNodes();

    // ---- sorting ---------------------------------------------------------------------
    void Sort(TGridNode *Node, int Column, TSortDirection Direction, bool DoInit = true);
    void SortTree(int Column, TSortDirection Direction, bool DoInit = true);
    // SortTree for an owner that orders the top-level nodes itself from keys it
    // read once per node, instead of answering OnCompareNodes for each pair
    // (decorate, sort, relink); nodes are not initialised. `order` gets the
    // top-level nodes in their present order and returns their places in the
    // new order (every place once), or nothing when the order stays. Levels
    // below, if any, are sorted through OnCompareNodes.
    using TNodeOrder = std::function<std::vector<uint32_t>(const std::vector<TGridNode *> &)>;
    void SortTreeBy(int Column, TSortDirection Direction, const TNodeOrder &order);
    // The header's sort column and direction (the view's header forwards to them).
    int SortColumn() const { return FSortColumn; }
    void SetSortColumn(int Value);
    TSortDirection SortDirection() const { return FSortDirection; }
    void SetSortDirection(TSortDirection Value);

    // ---- position cache ---------------------------------------------------------------
    // Keeps the view's position-cache worker off the nodes while they change: the
    // first guard stops a running build, and a rebuild asked for meanwhile is
    // queued when the last guard ends. Every change of links, heights, node
    // states or paint options takes one, here and in the view. PositionsKept:
    // only states change that move no row (a node is initialised), so a
    // complete cache stays usable.
    class TValidationStop {
    public:
        explicit TValidationStop(TBaseGridTree &Tree, bool PositionsKept = false)
            : FTree(Tree)
        {
            const bool outermost = FTree.FStopDepth++ == 0;
            if (!FTree.FHooked)
                return;
            if (!PositionsKept && !FTree.FStopInterrupted) {
                FTree.FStopInterrupted = true;
                FTree.FHooks->InterruptValidation();
            } else if (outermost) {
                FTree.FHooks->PauseValidation();
            }
        }
        ~TValidationStop() noexcept(false)
        {
            if (--FTree.FStopDepth > 0)
                return;
            FTree.FStopInterrupted = false;
            if (FTree.FValidationRequested) {
                FTree.FValidationRequested = false;
                // Not while an exception unwinds: the next change queues it again.
                if (std::uncaught_exceptions() == 0)
                    FTree.FHooks->ValidateCache();
            }
        }
        TValidationStop(const TValidationStop &) = delete;
        TValidationStop &operator=(const TValidationStop &) = delete;

    private:
        TBaseGridTree &FTree;
    };
    // A guard is alive: nothing may queue a rebuild now.
    bool ValidationStopped() const { return FStopDepth > 0; }

    // ---- update bracket and notifications -----------------------------------------------
    void BeginUpdate();
    void EndUpdate();
    uint32_t UpdateCount() const { return FUpdateCount; }
    void Change(TGridNode *Node);
    void StructureChange(TGridNode *Node, TChangeReason Reason);
    // The view calls these when its change timers fire.
    void DeliverPendingChange();
    void DeliverPendingStructureChange();
    int ChangeDelay() const { return FChangeDelay; }
    void SetChangeDelay(int Milliseconds) { FChangeDelay = Milliseconds; }
    TGridTreeStates TreeStates() const { return FStates; }
    void DoStateChange(TGridTreeStates Enter, TGridTreeStates Leave = {});

    // ---- options ---------------------------------------------------------------------
    TGTPaintOptions PaintOptions() const { return FPaintOptions; }
    void SetPaintOptions(TGTPaintOptions Value);
    TGTAutoOptions AutoOptions() const { return FAutoOptions; }
    void SetAutoOptions(TGTAutoOptions Value) { FAutoOptions = Value; }
    TGTMiscOptions MiscOptions() const { return FMiscOptions; }
    void SetMiscOptions(TGTMiscOptions Value) { FMiscOptions = Value; }

    // ---- node references the tree keeps (cleared when their node is freed) ---------------
    // The setters only record the node; what a view does on a change of focus,
    // hot node or drop target is the view's.
    TGridNode *FocusedNode() const { return FFocusedNode; }
    TGridNode *LastSelected() const { return FLastSelected; }
    void SetLastSelected(TGridNode *Node) { FLastSelected = Node; }
    TGridNode *HotNode() const { return FCurrentHotNode; }
    void SetHotNode(TGridNode *Node) { FCurrentHotNode = Node; }
    TGridNode *DropTargetNode() const { return FDropTargetNode; }
    void SetDropTargetNode(TGridNode *Node) { FDropTargetNode = Node; }
    TGridNode *RangeAnchor() const { return FRangeAnchor; }
    void SetRangeAnchor(TGridNode *Node) { FRangeAnchor = Node; }
    TGridNode *CheckNode() const { return FCheckNode; }
    void SetCheckNode(TGridNode *Node) { FCheckNode = Node; }
    TGridNode *LastDragTarget() const { return FLastDragTarget; }
    void SetLastDragTarget(TGridNode *Node) { FLastDragTarget = Node; }
    TGridNode *LastSearchNode() const { return FLastSearchNode; }
    void SetLastSearchNode(TGridNode *Node) { FLastSearchNode = Node; }
    // The row whose height the mouse drags.
    TGridNode *HeightTrackNode() const { return FHeightTrackNode; }
    void SetHeightTrackNode(TGridNode *Node) { FHeightTrackNode = Node; }
    // The nodes of the change notifications still pending (set by Change and
    // StructureChange).
    TGridNode *LastChangedNode() const { return FLastChangedNode; }
    TGridNode *LastStructureChangeNode() const { return FLastStructureChangeNode; }
    // Moves on whenever a node is linked in, unlinked or moved (sorting too): a
    // caller that keeps nodes in their order makes its list anew when it moved on.
    std::uint64_t StructureStamp() const { return FStructureStamp; }
    // The top-level nodes in order, kept until the structure moves on: after a
    // sort a large list's nodes lie anywhere in memory, and a select-all, the
    // click after it and the next sort would each walk the chain again.
    const std::vector<TGridNode *> &ListOrder() const;

    // ---- selection ---------------------------------------------------------------------
    // The selected nodes are kept in an array sorted by node address (each also
    // carries vsSelected). After a select-all of a list the array is not made:
    // the nodes' flags are the selection until a step needs the array. Bulk
    // operations tell OnChange once: with the node when exactly one node
    // changed, else with nil. The view repaints through the hooks.
    std::function<void(
        TBaseGridTree &, TGridNode *OldNode, TGridNode *NewNode, int OldColumn, int NewColumn, bool &Allowed)>
        OnFocusChanging;
    std::function<void(TBaseGridTree &, TGridNode *Node, int Column)> OnFocusChanged;
    // Told of each node that enters (true) or leaves (false) the selection by
    // whatever route, freed nodes too (their data still there); a nil node when
    // the whole selection went at once. An owner keeps figures over the
    // selected nodes with it at the cost of the nodes that changed. Not told
    // while the store is destroyed.
    std::function<void(TBaseGridTree &, TGridNode *Node, bool Selected)> OnSelectionMark;

    TGTSelectionOptions SelectionOptions() const { return FSelectionOptions; }
    // Switching toMultiSelect, or switching a level or sibling constraint on,
    // clears the selection.
    void SetSelectionOptions(TGTSelectionOptions Value);
    // While locked every selection change by these operations is ignored (nodes
    // that are freed still leave the selection).
    bool SelectionLocked() const { return FSelectionLocked; }
    void SetSelectionLocked(bool Value) { FSelectionLocked = Value; }

    bool Selected(const TGridNode *Node) const { return Node && Node->Has(vsSelected); }
    void SetSelected(TGridNode *Node, bool Value);
    // Whether the selection is in the nodes' flags alone (the array not made).
    bool SelectionKeptInFlags() const { return FSelectionByFlags; }
    int SelectedCount() const
    {
        return FSelectionByFlags ? FFlaggedCount : int(FSelection.size()) - FSelectionMarks;
    }
    virtual void AddToSelection(TGridNode *Node);
    virtual void AddToSelection(const TNodeArray &NewItems, int NewLength, bool ForceInsert = false);
    virtual void RemoveFromSelection(TGridNode *Node);
    void ClearSelection();
    // The same without events or repainting. ForceInsert skips the disabled and
    // constraint checks (a node already selected is never added twice).
    bool InternalAddToSelection(TGridNode *Node, bool ForceInsert);
    bool InternalAddToSelection(const TNodeArray &NewItems, int NewLength, bool ForceInsert);
    // Only marks the node's entry; it is squeezed out before the array is read.
    virtual void InternalRemoveFromSelection(TGridNode *Node);
    virtual void InternalClearSelection();
    // Binary search in [LowBound, HighBound] (negative: the whole array). Index is
    // the first position of P, or where it would be inserted.
    virtual bool FindNodeInSelection(const TGridNode *P, int &Index, int LowBound = -1, int HighBound = -1);
    // Removes the marked (odd) entries of the first Count; the new count, or -1
    // when none was marked.
    static int PackArray(std::vector<std::uintptr_t> &TheArray, int Count);
    void PackSelection();

    // Ranges in display order between two nodes (a nil start: the first visible
    // node; SelectNodes replaces the selection unless AddOnly).
    virtual void SelectNodes(TGridNode *StartNode, TGridNode *EndNode, bool AddOnly);
    virtual void ToggleSelection(TGridNode *StartNode, TGridNode *EndNode);
    // Deselects from StartNode up to, not including, EndNode.
    void UnselectNodes(TGridNode *StartNode, TGridNode *EndNode);
    void SelectAll(bool VisibleOnly);
    TGridNode *GetFirstSelected(bool ConsiderChildrenAbove = false);
    TGridNode *GetNextSelected(TGridNode *Node, bool ConsiderChildrenAbove = false);
    // The selected nodes in tree order; Resolve leaves out those below a selected node.
    TNodeArray GetSortedSelection(bool Resolve);
    virtual void DeleteSelectedNodes();
    // The range anchor becomes the focused node, the selection level free.
    void ResetRangeAnchor();
    int LastSelectionLevel() const { return FLastSelectionLevel; }
    void SetLastSelectionLevel(int Value) { FLastSelectionLevel = Value; }
    // Display order of two nodes: < 0 when Node1 comes first, 0 for the same node.
    int CompareNodePositions(TGridNode *Node1, TGridNode *Node2, bool ConsiderChildrenAbove = false) const;

    // Nodes collected for one later bulk add (a freed node's entry becomes nil).
    void InternalCacheNode(TGridNode *Node) { FTempNodeCache.push_back(Node); }
    void ClearTempCache() { TNodeArray().swap(FTempNodeCache); }
    const TNodeArray &TempNodeCache() const { return FTempNodeCache; }
    int TempNodeCount() const { return int(FTempNodeCache.size()); }

    // ---- focus -----------------------------------------------------------------------------
    void SetFocusedNode(TGridNode *Value);
    int FocusedColumn() const { return FFocusedColumn; }
    void SetFocusedColumn(int Value);
    // Only records the column (no events).
    void StoreFocusedColumn(int Value) { FFocusedColumn = Value; }
    virtual void SetFocusedNodeAndColumn(TGridNode *Node, int Column);
    // Moves the focus; with Ask OnFocusChanging may veto. DoFocusChange is the caller's.
    virtual void DoFocusNode(TGridNode *Node, bool Ask);
    virtual bool DoFocusChanging(TGridNode *OldNode, TGridNode *NewNode, int OldColumn, int NewColumn);
    virtual void DoFocusChange(TGridNode *Node, int Column);

    // ---- check boxes -------------------------------------------------------------------------
    std::function<void(TBaseGridTree &, TGridNode *Node, TCheckState &NewState, bool &Allowed)> OnChecking;
    std::function<void(TBaseGridTree &, TGridNode *Node)> OnChecked;

    TCheckState CheckState(const TGridNode *Node) const;
    // Nothing for a disabled node or when OnChecking refuses.
    void SetCheckState(TGridNode *Node, TCheckState Value);
    TCheckType CheckType(const TGridNode *Node) const;
    void SetCheckType(TGridNode *Node, TCheckType Value);
    // The state a click or Space gives.
    virtual TCheckState DetermineNextCheckState(TCheckType Type, TCheckState State) const;
    virtual bool DoChecking(TGridNode *Node, TCheckState &NewCheckState);
    virtual void DoCheckClick(TGridNode *Node, TCheckState NewCheckState);
    virtual void DoChecked(TGridNode *Node);
    // Sets the state with tri-state propagation down and up and radio groups.
    virtual bool ChangeCheckState(TGridNode *Node, TCheckState Value);
    virtual bool CheckParentCheckState(TGridNode *Node, TCheckState NewCheckState);
    // A header column's check box takes its next state (through the hooks).
    void UpdateColumnCheckState(int Column);
    // Nesting depth of check changes in progress (tsCheckPropagation while above 0).
    uint32_t CheckPropagationCount() const { return FCheckPropagationCount; }
    static TCheckState PressedTwin(TCheckState State);
    static TCheckState NormalTwin(TCheckState State);
    // A press on a check box (or Space on it): asks OnChecking for the next
    // state and shows the pressed look; false when nothing is pending.
    bool BeginCheckPending(TGridNode *Node, bool ByKey);
    // The release: on the node (Apply) the pending state is set, elsewhere the
    // normal look returns. Nothing happens to a node freed meanwhile.
    void EndCheckPending(bool Apply);
    TCheckState PendingCheckState() const { return FPendingCheckState; }

    // ---- tree stream (BaseGridTreeStream.cpp) ---------------------------------------------
    // The owner's bytes of one node, written to and read from a device that holds
    // just that node's bytes; the root is passed as nil. A node is loaded once
    // the record it belongs to is complete and the tree's counts are settled;
    // the handler may change the tree but not delete nodes of that record.
    std::function<void(TBaseGridTree &, TGridNode *, QIODevice &)> OnSaveNode;
    std::function<void(TBaseGridTree &, TGridNode *, QIODevice &)> OnLoadNode;
    // Nodes arrived as copies (nil: a whole stream was loaded).
    std::function<void(TBaseGridTree &, TGridNode *)> OnNodeCopied;

    // Every top-level node with its subtree, or Node's subtree alone.
    void SaveToStream(QIODevice &Stream, TGridNode *Node = nullptr);
    // Replaces the nodes by the stream's. A stream that is too short, of another
    // format or of an unknown version leaves the tree as it was; a record that
    // turns out bad raises its error after the records before it are in.
    void LoadFromStream(QIODevice &Stream);
    void LoadFromFile(const QString &FileName);

    // The chunks of a node record.
    enum TStreamChunk : int32_t { NodeChunk = 1, BaseChunk = 2, CaptionChunk = 3, UserChunk = 4 };

    // ---- node records as the clipboard and drag and drop carry them -----------------------
    // A block of records: their length in bytes (UInt32), then the records of
    // Nodes (with their subtrees) one after another, no stream header.
    QByteArray WriteNodeBlock(const TNodeArray &Nodes);
    // Reads such a block into new nodes placed at Target (nil: the root) by
    // Mode, keeping their order. OnNodeCopying may refuse a node (it goes
    // again), OnNodeCopied confirms each one kept, which is reported as a
    // structure change with Reason. Returns the nodes kept. A length beyond
    // the block or records that turn out bad raise EGridTreeError once every
    // node read from them is gone again.
    TNodeArray InsertNodeBlock(
        const QByteArray &Block, TGridNode *Target, TGTAttachMode Mode, TChangeReason Reason);
    std::function<void(TBaseGridTree &, TGridNode *Node, TGridNode *NewParent, bool &Allowed)> OnNodeCopying;
    // The mark of a node in a pending cut or copy (vsCutOrCopy).
    void SetCutCopyMark(TGridNode *Node, bool Value);
    // Where nodes attached at Target by Mode go: nil is the root, whose
    // siblings' places become its first and last child; any other target is
    // initialised with its children.
    void PrepareAttachTarget(TGridNode *&Target, TGTAttachMode &Mode);

protected:
    virtual bool DoNodeCopying(TGridNode *Node, TGridNode *NewParent);
    virtual void WriteNode(TStreamWriter &Stream, TGridNode *Node);
    // The base chunk with the child records, then the owner's chunk; a
    // descendant adds its own chunks after these.
    virtual void WriteChunks(TStreamWriter &Stream, TGridNode *Node);
    // Fills in the size of the chunk whose header (TStreamWriter::BeginChunk) is
    // at StartPos.
    static void FinishChunkHeader(TStreamWriter &Stream, qint64 StartPos, qint64 EndPos);
    virtual void ReadNode(TStreamReader &Stream, int Version, TGridNode *Node);
    // Stream covers exactly the chunk's ChunkSize bytes; what a handler leaves
    // unread is skipped. True when the chunk was understood.
    virtual bool ReadChunk(TStreamReader &Stream, int Version, TGridNode *Node, int ChunkType, int ChunkSize);
    // Reads one record into Node, a new node linked into the tree.
    void InternalAddFromStream(TStreamReader &Stream, int Version, TGridNode *Node);
    static void SkipNode(TStreamReader &Stream);
    virtual void DoSaveUserData(TGridNode *Node, QIODevice &Stream);
    virtual void DoLoadUserData(TGridNode *Node, QIODevice &Stream);
    virtual void DoNodeCopied(TGridNode *Node);

    // Notifications: each fires its event when assigned.
    virtual void DoInitNode(TGridNode *Parent, TGridNode *Node, TGridNodeInitStates &InitStates);
    virtual void DoInitChildren(TGridNode *Node, uint32_t &ChildCount);
    virtual void DoFreeNode(TGridNode *Node);
    virtual void DoReset(TGridNode *Node);
    virtual bool DoNodeMoving(TGridNode *Node, TGridNode *Target);
    virtual void DoNodeMoved(TGridNode *Node);
    virtual int DoCompare(TGridNode *Node1, TGridNode *Node2, int Column);
    virtual void DoChange(TGridNode *Node);
    virtual void DoStructureChange(TGridNode *Node, TChangeReason Reason);
    virtual bool DoExpanding(TGridNode *Node);
    virtual bool DoCollapsing(TGridNode *Node);
    virtual void DoExpanded(TGridNode *Node);
    virtual void DoCollapsed(TGridNode *Node);
    virtual void DoUpdating(TGTUpdateState State);

    void InitNode(TGridNode *Node);
    void InitChildren(TGridNode *Node);
    TGridTreeHooks &Hooks() const { return *FHooks; }
    // ValidateCache now, or when the last TValidationStop ends.
    void RequestValidation();
    bool Updating() const { return FUpdateCount > 0; }
    TGridNodeStates &MutableStates(TGridNode *Node) { return Node->FStates; }

private:
    friend class TGridNodeReference;
    // References the control keeps.
    TGridNodeReference FFocusedNode { *this };
    TGridNodeReference FLastSelected { *this };
    TGridNodeReference FCurrentHotNode { *this };
    TGridNodeReference FDropTargetNode { *this };
    TGridNodeReference FLastChangedNode { *this };
    TGridNodeReference FRangeAnchor { *this };
    TGridNodeReference FCheckNode { *this };
    TGridNodeReference FLastDragTarget { *this };
    TGridNodeReference FLastSearchNode { *this };
    TGridNodeReference FLastStructureChangeNode { *this };
    TGridNodeReference FHeightTrackNode { *this };

    struct TNodeDataType {
        const std::type_info *Type;
        void (*Construct)(void *);
        void (*Destroy)(void *);
    };

    TGridNode *MakeNewNode();
    void ValidateNodeDataSize();
    void ChangeDataLayout(int Size, const TNodeDataType *Type);
    void ReleaseNode(TGridNode *Node);
    void AppendChildren(TGridNode *Node, uint32_t NewCount);
    void FreeSubtree(TGridNode *Node);
    void InternalConnectNode(TGridNode *Node, TGridNode *Destination, TGTAttachMode Mode);
    [[gnu::always_inline]] void InternalDisconnectNode(TGridNode *Node, bool KeepFocus, bool Reindex);
    void NormalizeIndexes(TGridNode *Parent);
    void AdjustTotalCount(TGridNode *Node, int64_t Difference);
    void AdjustTotalHeight(TGridNode *Node, int64_t Difference);
    void HiddenFlagAfterLoss(TGridNode *Parent, TGridNode *Prev, TGridNode *Next);
    void AdviseChangeEvent(bool Structure, TGridNode *Node, TChangeReason Reason);
    void NoteStructureChange(TGridNode *Node, TChangeReason Reason);
    void SortChildren(TGridNode *Node, int Column, TSortDirection Direction);
    void SortLevel(TGridNode *Node, int Column, TSortDirection Direction, bool DoInit);
    void SortLevelsBelow(TGridNode *Node, int Column, TSortDirection Direction, bool DoInit);
    void EndSortTree();
    // The automatic whole-tree sort: the owner's (OnSortWholeTree) or the tree's own.
    void AutoSortTree();
    // What the last whole-tree sort ordered by (see OnOrderStamp).
    struct TSortedState {
        bool valid = false;
        std::uint64_t structure = 0;
        std::uint64_t data = 0;
        int column = 0;
        TSortDirection direction = sdAscending;
    };
    std::uint64_t OrderStamp() { return OnOrderStamp(*this); }
    bool SortStillHolds();
    void NoteSorted(bool sorted, std::uint64_t data, int Column, TSortDirection Direction);
    std::vector<TGridNode *> ChildArray(TGridNode *Node) const;
    void RelinkChildren(TGridNode *Node, const std::vector<TGridNode *> &order);
    void RecomputeVisibility();
    uint32_t RecomputeSubtree(TGridNode *Node);

    // Visibility helpers.
    bool EffVisible(const TGridNode *Node, bool IncludeHidden = false) const;
    bool ParentChainShown(const TGridNode *Node) const;
    bool Displayed(const TGridNode *Node) const { return EffVisible(Node) && ParentChainShown(Node); }
    bool ChildrenShown(const TGridNode *Node) const;
    // Rows shown below a node whose own row is shown (CountVisibleChildren without the call for a leaf).
    uint32_t ShownRowsBelow(const TGridNode *Node) const
    {
        return Node->FStates.contains(vsExpanded) ? CountVisibleChildren(Node) : 0;
    }
    TGridNode *NotShownAnchor(TGridNode *Node) const;
    void AssertNotRoot(const TGridNode *Node) const;
    // The general steps behind the inline GetNext and GetNextNoInit.
    TGridNode *NextGeneral(TGridNode *Node, bool ConsiderChildrenAbove);
    TGridNode *NextNoInitGeneral(TGridNode *Node, bool ConsiderChildrenAbove);

    template <bool Init> TGridNode *FirstImpl(bool ChildrenAbove);
    template <bool Init> TGridNode *LastImpl(TGridNode *Node, bool ChildrenAbove);
    template <bool Init> TGridNode *NextImpl(TGridNode *Node, bool ChildrenAbove);
    template <bool Init> TGridNode *PreviousImpl(TGridNode *Node, bool ChildrenAbove);
    template <bool Init> TGridNode *DeepestLast(TGridNode *Node);
    template <bool Init> TGridNode *DeepestFirst(TGridNode *Node);
    template <bool Init> TGridNode *FirstVisibleImpl(TGridNode *Node, bool ChildrenAbove, bool IncludeHidden);
    template <bool Init> TGridNode *LastVisibleImpl(TGridNode *Node, bool ChildrenAbove, bool IncludeHidden);
    template <bool Init> TGridNode *LastVisibleChildImpl(TGridNode *Node, bool IncludeHidden);
    template <bool Init> TGridNode *NextVisibleImpl(TGridNode *Node, bool ChildrenAbove);
    template <bool Init> TGridNode *PreviousVisibleImpl(TGridNode *Node, bool ChildrenAbove);
    template <bool Init> TGridNode *FirstShownChild(TGridNode *Node);
    template <bool Init> TGridNode *LastShownChild(TGridNode *Node);
    template <bool Init> void Prepare(TGridNode *Node);
    template <bool Init> TGridNode *Ready(TGridNode *Node);
    bool ChildrenAbove(bool Consider) const { return Consider && FPaintOptions.contains(toChildrenAbove); }

    // Selection, focus and check boxes.
    bool AcceptForSelection(TGridNode *Node, bool ForceInsert) const;
    void FixSelectionConstraints(TGridNode *First);
    bool MergeIntoSelection(std::vector<std::uintptr_t> &&Items);
    // SelectAll's steps: one node taken (or not); every node of a list taken at
    // once, false (nothing taken) when the tree is no plain list.
    void AcceptInSelectAll(TGridNode *Node, bool &ConstraintsFixed, std::vector<std::uintptr_t> &Accepted);
    bool SelectAllOfList(bool VisibleOnly, std::vector<std::uintptr_t> &Accepted);
    // The flags made the selection again (after a select-all): the sorted array built from them.
    void MakeSelectionArray();
    // Clears the flags of a selection kept in them alone.
    void ClearFlaggedSelection();
    // Single: the one node added when exactly one was.
    bool AddItems(const TNodeArray &NewItems, int NewLength, bool ForceInsert, TGridNode *&Single);
    bool MarkSelectionEntry(const TGridNode *Node);
    void ForgetFreedNode(TGridNode *Node);
    void ForgetAllNodes();
    void DropDeletedFromSelection(TGridNode *Node);
    void NotifySelectionChange(TGridNode *Single);
    void TellSelectionMark(TGridNode *Node, bool Selected)
    {
        // A store being torn down tells nothing: its owner may be gone already.
        if (OnSelectionMark && !FDestroying)
            OnSelectionMark(*this, Node, Selected);
    }
    TGridNode *RangeStart(TGridNode *Node, bool TopLevelDefault);
    TGridNode *RangeEnd(TGridNode *Node);
    TCheckState ComputeParentCheckState(TGridNode *Parent, TGridNode *Node, TCheckState NodeState) const;

    std::vector<std::uintptr_t> FSelection;
    int FSelectionMarks = 0;
    // FSelection unused: the nodes flagged vsSelected are the selection, FFlaggedCount of them.
    bool FSelectionByFlags = false;
    int FFlaggedCount = 0;
    bool FSelectionLocked = false;
    int FLastSelectionLevel = -1;
    TNodeArray FTempNodeCache;
    int FFocusedColumn = -1;
    TGTSelectionOptions FSelectionOptions;
    TCheckState FPendingCheckState = csUncheckedNormal;
    uint32_t FCheckPropagationCount = 0;

    // Tree stream steps.
    struct TUserDataDevices;
    struct TStreamLoad;
    TUserDataDevices &UserDataDevices();
    bool ReadBaseChunk(TStreamReader &Stream, int Version, TGridNode *Node);
    void SettleStreamedNode(TGridNode *Node);
    bool LoadUserData(TGridNode *Node, const char *Begin, const char *End);
    void AddStreamedSelection(const TNodeArray &Nodes);
    void MoveToTree(TGridNode *Source, TGridNode *Target, TGTAttachMode Mode, bool ChildrenOnly);

    static TGridTreeHooks FNoHooks;
    TGridTreeHooks *FHooks;
    // False while the hooks are the no-op ones: the per-node paths skip them.
    bool FHooked;
    TGridNode *FRoot = nullptr;
    gridtree::NodeAllocator FAllocator;
    const TNodeDataType *FDataType = nullptr;
    int FNodeDataSize = -1;
    int FTotalInternalDataSize = 0;
    uint32_t FDefaultNodeHeight = 18;
    uint32_t FVisibleCount = 0;
    uint32_t FUpdateCount = 0;
    TGridTreeStates FStates;
    TChangeReason FLastStructureChangeReason = crIgnore;
    std::uint64_t FStructureStamp = 0;
    mutable std::vector<TGridNode *> FListOrder;
    mutable std::uint64_t FListOrderStamp = ~std::uint64_t(0);
    TSortedState FSorted;
    int FChangeDelay = 0;
    int FSortColumn = -1;
    TSortDirection FSortDirection = sdAscending;
    bool FDestroying = false;
    int FStopDepth = 0;
    bool FStopInterrupted = false;
    bool FValidationRequested = false;
    bool FMultilineSeen = false;
    int FStringTreeDataOffset = 0;
    // The stream being read: records nest at most this deep.
    int FStreamNesting = 0;
    TStreamLoad *FStreamLoad = nullptr;
    std::shared_ptr<TUserDataDevices> FUserDataDevices;
    TGTPaintOptions FPaintOptions { toShowButtons, toShowDropmark, toShowRoot, toShowTreeLines, toThemeAware,
        toUseBlendedImages };
    TGTAutoOptions FAutoOptions { toAutoDropExpand, toAutoScrollOnExpand, toAutoTristateTracking,
        toAutoDeleteMovedNodes };
    TGTMiscOptions FMiscOptions { toAcceptOLEDrop, toFullRepaintOnResize, toInitOnSave, toToggleOnDblClick,
        toWheelPanning, toEditOnClick };

    // A plain record needs neither call: its area starts zero-filled, which is
    // what value-initialising it gives.
    template <typename T> static const TNodeDataType *DataTypeOf()
    {
        using Construct = void (*)(void *);
        static const TNodeDataType type { &typeid(T),
            std::is_trivially_default_constructible_v<T> ? Construct(nullptr)
                                                         : Construct([](void *p) { ::new (p) T(); }),
            std::is_trivially_destructible_v<T> ? Construct(nullptr)
                                                : Construct([](void *p) { static_cast<T *>(p)->~T(); }) };
        return &type;
    }
};

template <typename T> void TBaseGridTree::SetNodeDataType()
{
    static_assert(alignof(T) <= 8, "node data areas are 8-byte aligned");
    ChangeDataLayout(static_cast<int>(sizeof(T)), DataTypeOf<T>());
}

template <typename T> T *TBaseGridTree::GetNodeData(TGridNode *Node)
{
    // A plain record may also be read from an untyped area that is big enough.
    constexpr bool plain
        = std::is_trivially_default_constructible_v<T> && std::is_trivially_destructible_v<T>;
    const bool matches
        = FDataType ? *FDataType->Type == typeid(T) : plain && FNodeDataSize >= static_cast<int>(sizeof(T));
    if (!matches)
        throw EGridTreeAssertion(GridTreeTexts::NodeDataTypeMismatch);
    return static_cast<T *>(GetNodeData(Node));
}

// Inline: walks and sorts read a million areas.
inline void *TBaseGridTree::GetNodeData(TGridNode *Node)
{
    if (Node == nullptr || Node == FRoot)
        return nullptr;
    if (FNodeDataSize < 1)
        throw EGridTreeAssertion(GridTreeTexts::NodeDataSizeNotInitialized);
    void *area = reinterpret_cast<char *>(Node) + sizeof(TGridNode) + FTotalInternalDataSize;
    if (!(Node->FInternalFlags & TGridNode::DataHandedOut)) {
        if (FDataType && FDataType->Construct)
            FDataType->Construct(area);
        Node->FInternalFlags |= TGridNode::DataHandedOut;
    }
    return area;
}

// ---- inline definitions: the steps that walks and bulk changes repeat per node ----------

inline TGridNodeReference &TGridNodeReference::operator=(TGridNode *Node)
{
    if (Node && FTree)
        FTree->FReferencesHeld = true;
    FNode = Node;
    return *this;
}

inline bool TBaseGridTree::IsEffectivelyHidden(const TGridNode *Node) const
{
    return Node && Node->FStates.contains(vsHidden) && !FPaintOptions.contains(toShowHiddenNodes);
}

inline bool TBaseGridTree::IsEffectivelyVisible(const TGridNode *Node) const
{
    return Node && Node->FStates.contains(vsVisible) && !IsEffectivelyHidden(Node);
}

inline bool TBaseGridTree::EffVisible(const TGridNode *Node, bool IncludeHidden) const
{
    return Node->FStates.contains(vsVisible) && (IncludeHidden || !IsEffectivelyHidden(Node));
}

inline bool TBaseGridTree::ParentChainShown(const TGridNode *Node) const
{
    for (const TGridNode *p = Node->FParent; p != FRoot; p = p->FParent)
        if (!p->FStates.contains(vsExpanded) || !EffVisible(p))
            return false;
    return true;
}

inline bool TBaseGridTree::ChildrenShown(const TGridNode *Node) const
{
    return Node == FRoot || (Node->FStates.contains(vsExpanded) && Displayed(Node));
}

inline void TBaseGridTree::DoStateChange(TGridTreeStates Enter, TGridTreeStates Leave)
{
    if (OnStateChange && (!(Enter - FStates).empty() || !(FStates * Leave).empty()))
        OnStateChange(*this, Enter, Leave);
    FStates = (FStates + Enter) - Leave;
}

inline TGridNode *TBaseGridTree::GetNext(TGridNode *Node, bool ConsiderChildrenAbove)
{
    // The common step: from an initialised node whose children (if any) are
    // there to its first child or its next sibling.
    if (Node && Node != FRoot && !ChildrenAbove(ConsiderChildrenAbove)
        && Node->FStates.contains(vsInitialized)) {
        TGridNode *next = Node->FFirstChild;
        if (!next && !Node->FStates.contains(vsHasChildren))
            next = Node->FNextSibling;
        if (next) {
            if (!next->FStates.contains(vsInitialized))
                InitNode(next);
            return next;
        }
    }
    return NextGeneral(Node, ConsiderChildrenAbove);
}

inline TGridNode *TBaseGridTree::GetNextNoInit(TGridNode *Node, bool ConsiderChildrenAbove)
{
    if (Node && Node != FRoot && !ChildrenAbove(ConsiderChildrenAbove)) {
        if (Node->FFirstChild)
            return Node->FFirstChild;
        if (Node->FNextSibling)
            return Node->FNextSibling;
    }
    return NextNoInitGeneral(Node, ConsiderChildrenAbove);
}

inline void TBaseGridTree::AdjustTotalCount(TGridNode *Node, int64_t Difference)
{
    for (TGridNode *n = Node;; n = n->FParent) {
        n->FTotalCount = static_cast<uint32_t>(n->FTotalCount + Difference);
        if (n == FRoot)
            break;
    }
}

inline void TBaseGridTree::AdjustTotalHeight(TGridNode *Node, int64_t Difference)
{
    // A node's total always holds its own subtree; it reaches the parent only
    // while the node is shown in the parent's expanded list.
    TGridNode *n = Node;
    n->FTotalHeight = static_cast<uint32_t>(n->FTotalHeight + Difference);
    while (n != FRoot && EffVisible(n) && n->FParent->FStates.contains(vsExpanded)) {
        n = n->FParent;
        n->FTotalHeight = static_cast<uint32_t>(n->FTotalHeight + Difference);
    }
}

inline void TBaseGridTree::HiddenFlagAfterLoss(TGridNode *Parent, TGridNode *Prev, TGridNode *Next)
{
    // A visible child went away: look for another one, outwards from its place,
    // so that filtering and deleting in row order stays cheap.
    while (Prev || Next) {
        if (Prev) {
            if (EffVisible(Prev))
                return;
            Prev = Prev->FPrevSibling;
        }
        if (Next) {
            if (EffVisible(Next))
                return;
            Next = Next->FNextSibling;
        }
    }
    Parent->FStates.include(vsAllChildrenHidden);
}
