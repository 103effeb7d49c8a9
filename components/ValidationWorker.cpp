#include "components/ValidationWorker.h"

#include "components/GridTreeErrors.h"
#include "components/PositionCache.h"

#include <algorithm>

namespace {

// The reference count and the instance change only on the window thread; the
// mutex keeps a second window thread (none today) from racing them.
std::mutex ReferenceLock;
int RefCount = 0;
TWorkerThread *Worker = nullptr;

} // namespace

TWorkerThread *TWorkerThread::Instance()
{
    return Worker;
}

TWorkerThread::TWorkerThread()
    : FThread([this] { Execute(); })
{ }

TWorkerThread::~TWorkerThread()
{
    {
        std::lock_guard lock(FLock);
        FTerminated = true;
    }
    FWake.notify_one();
    FThread.join();
}

void TWorkerThread::AddTree(TPositionCache *Tree)
{
    if (Tree == nullptr)
        throw EGridTreeAssertion(GridTreeTexts::TreeMustNotBeNil);
    {
        std::lock_guard lock(FLock);
        if (std::find(FWaiterList.begin(), FWaiterList.end(), Tree) == FWaiterList.end())
            FWaiterList.push_back(Tree);
        FSignalled = true;
    }
    FWake.notify_one();
}

bool TWorkerThread::RemoveTree(TPositionCache *Tree, bool UntilLeft)
{
    if (Tree == nullptr)
        throw EGridTreeAssertion(GridTreeTexts::TreeMustNotBeNil);
    std::unique_lock lock(FLock);
    const auto it = std::find(FWaiterList.begin(), FWaiterList.end(), Tree);
    bool found = it != FWaiterList.end();
    if (found)
        FWaiterList.erase(it);
    if (FCurrentTree == Tree) {
        // A build stops at its next node; nothing the worker does waits for us.
        // Once it is over the worker reads no node any more, only its last
        // message to the cache is still on its way.
        found = true;
        FLeft.wait(
            lock, [&] { return FCurrentTree != Tree || (!UntilLeft && !(Tree->States() & csValidating)); });
    }
    return found;
}

TPositionCache *TWorkerThread::CurrentTree() const
{
    std::lock_guard lock(FLock);
    return FCurrentTree;
}

void TWorkerThread::Execute()
{
    std::unique_lock lock(FLock);
    for (;;) {
        FWake.wait(lock, [this] { return FSignalled || FTerminated; });
        FSignalled = false;
        if (FTerminated)
            return;
        if (FWaiterList.empty())
            continue;
        TPositionCache *tree = FWaiterList.front();
        FWaiterList.pop_front();
        // The next tree follows at once.
        if (!FWaiterList.empty())
            FSignalled = true;
        FCurrentTree = tree;
        lock.unlock();
        tree->Validate();
        lock.lock();
        FCurrentTree = nullptr;
        FLeft.notify_all();
    }
}

void AddThreadReference()
{
    std::lock_guard lock(ReferenceLock);
    if (RefCount++ == 0)
        Worker = new TWorkerThread();
}

void ReleaseThreadReference(TPositionCache *Tree)
{
    if (Tree)
        Tree->InterruptValidation();
    std::lock_guard lock(ReferenceLock);
    if (RefCount == 0 || --RefCount > 0)
        return;
    delete Worker;
    Worker = nullptr;
}
