#pragma once

#include "components/GridNode.h"

#include <cstdint>

class TBaseGridTree;
class TStreamWriter;

// Timers the view runs for the node store.
enum TGridTreeTimer { ttChangeDelay = 5, ttStructureChangeDelay = 6 };

// What the windowless node store tells the view on top of it. Every call has a
// no-op default, so the store works alone (document core, tests).
//
// A view shows a store by attaching to it (TBaseGridTree::AttachView); whoever
// owns the store keeps owning it. Either may go first: a store that goes, or
// takes another view, detaches this one and calls Detached; a view that goes
// detaches itself in this destructor. A view that still touches the store in
// its own destructor detaches there first, since this one runs after it.
class TGridTreeHooks {
public:
    TGridTreeHooks() = default;
    virtual ~TGridTreeHooks();
    TGridTreeHooks(const TGridTreeHooks &) = delete;
    TGridTreeHooks &operator=(const TGridTreeHooks &) = delete;

    // The store this view is attached to (nil: none).
    TBaseGridTree *AttachedTree() const { return FAttachedTree; }
    // The store let go of this view: every node pointer of it is void now.
    virtual void Detached() { }

    // Repainting: the whole client area, one node's row, or everything from a
    // node's row down to the bottom (nil: everything).
    virtual void InvalidateTree() { }
    virtual void InvalidateNode(TGridNode *) { }
    virtual void InvalidateToBottom(TGridNode *) { }
    // Redrawing off while an update bracket is open.
    virtual void SetRedraw(bool) { }
    // The scroll range (the root's total height, the column widths) changed.
    virtual void UpdateScrollBars() { }
    // Both scroll offsets go back to 0 (the tree was cleared).
    virtual void ResetScrollOffsets() { }

    // The position cache is the view's: stop a running build before links
    // change, mark it out of date, queue it to be rebuilt.
    virtual void InterruptValidation() { }
    // Only node states change that move no row (a node is initialised): stop a
    // running build, but a complete cache stays usable.
    virtual void PauseValidation() { }
    virtual void InvalidateCache() { }
    virtual void ValidateCache() { }

    // In-place editing: drop a running edit, or end it before a sort (false
    // means the editor refused and the sort does not happen).
    virtual void CancelEdit() { }
    virtual bool EndEdit() { return true; }

    // Delayed change notifications: start the timer and return true, or return
    // false to have the notification delivered at once.
    virtual bool StartTimer(TGridTreeTimer, int /*milliseconds*/) { return false; }
    virtual void StopTimer(TGridTreeTimer) { }

    // Header columns, to clamp the sort column (0: no header).
    virtual int ColumnCount() const { return 0; }

    // Expanding and collapsing as the window shows it. BeginToggle comes first,
    // before anything changes; AnimateToggle when the rows below the node move
    // by Height pixels (an expansion after its heights were added, a collapse
    // before anything changed; not inside an update bracket or FullCollapse);
    // ScrollExpandedIntoView after an expansion outside an update bracket:
    // true when the view scrolled (it then repainted all).
    virtual void BeginToggle(TGridNode *) { }
    virtual void AnimateToggle(TGridNode *, bool /*Expand*/, uint32_t /*Height*/) { }
    virtual bool ScrollExpandedIntoView(TGridNode *) { return false; }

    // ---- selection, focus and check boxes ------------------------------------------------
    // Repaint one column's strip over the client height.
    virtual void InvalidateColumn(int /*Column*/) { }
    // Redraw a node's row at once rather than on the next paint.
    virtual void RepaintNode(TGridNode *) { }
    // Repaint the rows of the selected nodes on screen: the selection is about
    // to be emptied (their flags still tell which they are).
    virtual void InvalidateSelection() { }
    // Scroll so that the node's row shows (centred on request); true when the view scrolled.
    virtual bool ScrollIntoView(TGridNode *, bool /*Center*/, bool /*Horizontally*/) { return false; }
    // A mouse button is held down in the view.
    virtual bool MouseButtonDown() const { return false; }
    // The header's answers for the focused column: its main column, its first
    // visible column, and whether a column is visible and may take the focus.
    virtual int MainColumn() const { return -1; }
    virtual int FirstVisibleColumn() const { return -2; }
    virtual bool ColumnVisible(int /*Column*/) const { return false; }
    virtual bool ColumnAllowsFocus(int /*Column*/) const { return false; }
    // A column's header check box: false when the column shows none.
    virtual bool ColumnCheckBox(int /*Column*/, TCheckType & /*Type*/, TCheckState & /*State*/) const
    {
        return false;
    }
    virtual void SetColumnCheckState(int /*Column*/, TCheckState) { }

    // ---- streams, clipboard and nodes the view holds -------------------------------------
    // Chunks the view adds to a node's stream record after the tree's own, and
    // such a chunk read back (Begin..End its bytes), once the record it belongs
    // to is complete: true when the view understood it.
    virtual void WriteNodeChunks(TStreamWriter &, TGridNode *) { }
    virtual bool ReadNodeChunk(TGridNode *, int /*ChunkType*/, const char * /*Begin*/, const char * /*End*/)
    {
        return false;
    }
    // The tree is cleared: a pending cut or copy gives the clipboard up.
    virtual void ReleaseClipboard() { }
    // While WatchesFreedNodes: a node is about to be freed (its block is still
    // there). For the nodes the view holds beyond the tree's own references:
    // an edited node, the node under a hint, the nodes being dragged.
    virtual void NodeFreed(TGridNode *) { }
    bool WatchesFreedNodes() const { return FWatchFreedNodes; }

protected:
    void SetWatchFreedNodes(bool Value) { FWatchFreedNodes = Value; }

private:
    friend class TBaseGridTree;
    TBaseGridTree *FAttachedTree = nullptr;
    bool FWatchFreedNodes = false;
};
