#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

class TPositionCache;

// The one thread of the process that builds position caches, shared by every
// tree view: the first view starts it, the last one joins it. Caches wait in a
// list, first come first served, each at most once.
class TWorkerThread {
public:
    // The worker while at least one reference exists, else nil (window thread).
    static TWorkerThread *Instance();

    // Queues Tree (nil: EGridTreeAssertion) and wakes the worker.
    void AddTree(TPositionCache *Tree);
    // Takes Tree off the list and, when the worker is building it, waits until
    // the build is over (UntilLeft: until the worker is done with the cache
    // object too, before it goes). True when Tree was queued or being built.
    bool RemoveTree(TPositionCache *Tree, bool UntilLeft = false);
    TPositionCache *CurrentTree() const;

private:
    friend void AddThreadReference();
    friend void ReleaseThreadReference(TPositionCache *Tree);

    TWorkerThread();
    ~TWorkerThread();
    void Execute();

    mutable std::mutex FLock;
    // The wake-up (an auto-reset event) and the worker leaving a cache.
    std::condition_variable FWake;
    std::condition_variable FLeft;
    bool FSignalled = false;
    bool FTerminated = false;
    std::deque<TPositionCache *> FWaiterList;
    TPositionCache *FCurrentTree = nullptr;
    std::thread FThread;
};

// Each tree view counts itself in on construction; the first reference starts
// the worker.
void AddThreadReference();
// And out on destruction, after stopping its cache's build (Tree may be nil);
// the last reference stops the worker and joins it.
void ReleaseThreadReference(TPositionCache *Tree);
