#pragma once

#include "components/BaseGridTree.h"

#include <QObject>
#include <atomic>
#include <cstdint>
#include <vector>

// One anchor of the position cache: a visible node and the top of its row,
// counted from the top of the whole tree.
struct TCacheEntry {
    TGridNode *Node = nullptr;
    uint32_t AbsoluteTop = 0;
};

// The validation states the worker and the window thread hand each other.
enum TChangeState : uint8_t {
    csStopValidation = 1,
    csUseCache = 2,
    csValidating = 4,
    csValidationNeeded = 8,
};
using TChangeStates = uint8_t;

// Trees with more visible nodes than this build a cache, with one entry per
// this many visible nodes.
inline constexpr uint32_t CacheThreshold = 2000;

// Which node lies at which height of a tree: a sparse table of anchor nodes,
// built in the background by the process-wide worker (ValidationWorker.h), so
// that a lookup costs a binary search and at most CacheThreshold steps.
//
// Everything but DoValidateCache runs on the thread that owns the tree. The
// validation states are atomics; the tree's own state set follows them by a
// queued call (OnStateChange), so the worker never waits for the window thread.
// The worker reads nodes only while no change runs: every change stops it first
// (TBaseGridTree::TValidationStop).
class TPositionCache : public QObject {
    Q_OBJECT

public:
    explicit TPositionCache(TBaseGridTree &Tree);
    // Stops a build of this cache first.
    ~TPositionCache() override;

    TBaseGridTree &Tree() const { return FTree; }

    // ---- window thread ---------------------------------------------------------------
    // The cache is out of date.
    void InvalidateCache();
    // Stops a build, starts again from the first entry: queues the cache with
    // the worker when it is out of date and the tree has enough visible nodes.
    void ValidateCache();
    // Stops a queued or running build and waits until the worker has left this
    // cache; the cache is unused until the next build. True when a build was
    // queued, running or complete.
    bool InterruptValidation();
    // The same for a change that moves no row: a complete cache stays in use.
    // True when a queued or running build was stopped.
    bool PauseValidation();

    TChangeStates States() const { return FStates.load(std::memory_order_acquire); }
    bool UseCache() const { return States() & csUseCache; }
    // Queued or being built.
    bool Pending() const;

    // 0 for fewer than 2 visible nodes, else one per CacheThreshold started.
    int CalculateCacheEntryCount() const;
    // The last entry at or before Node in display order, with its top in
    // CurrentPos; nil and 0 when there is none.
    TGridNode *FindInPositionCache(TGridNode *Node, uint32_t &CurrentPos) const;
    // The last entry whose top is at or above Position; nil and 0 when there is
    // none, nil and the total height below the last row.
    TGridNode *FindInPositionCache(uint32_t Position, uint32_t &CurrentPos) const;
    // The visible node whose row covers Position (counted from the top of the
    // tree), its top in NodeTop; nil below the last row, NodeTop untouched then.
    TGridNode *GetNodeAt(uint32_t Position, uint32_t &NodeTop) const;
    // The top of a shown node's row; false for a node that is not shown.
    bool NodeTop(TGridNode *Node, uint32_t &Top) const;
    // The entries of a complete cache (read only while UseCache).
    const std::vector<TCacheEntry> &Entries() const { return FPositionCache; }

    // ---- worker thread -----------------------------------------------------------------
    // Builds the entries; true when complete.
    bool DoValidateCache();
    // One turn of the worker with this cache: states, build, states.
    void Validate() noexcept;

signals:
    // The tree's state set has caught up with the worker and the cache is complete.
    void CacheValidated();

private:
    void ChangeTreeStates(TChangeStates Enter, TChangeStates Leave);
    // Window thread: the tree's state set takes the validation states.
    void SyncTreeStates();
    bool Stopped() const { return States() & csStopValidation; }
    void Remember(TGridNode *Node, uint32_t Top) const;
    // How many entries lie at or before Node.
    std::size_t EntriesUpTo(TGridNode *Node) const;

    TBaseGridTree &FTree;
    std::atomic<TChangeStates> FStates { csValidationNeeded };
    // Handed to the worker and not yet started.
    std::atomic<bool> FQueued { false };
    std::vector<TCacheEntry> FPositionCache;
    // The row a lookup found last, a start nearer than the anchors for the next
    // one (window thread; kept only while the cache is complete).
    mutable TCacheEntry FLastHit;
    unsigned FStartIndex = 0;
};

// The display order of two nodes: negative when Node1 comes first, 0 for the
// same node. With ConsiderChildrenAbove and toChildrenAbove a parent follows its
// children.
int CompareNodePositions(TBaseGridTree &Tree, TGridNode *Node1, TGridNode *Node2, bool ConsiderChildrenAbove);
