#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

// A step of a save that runs on a thread of its own while the window only
// paints: serialising the document and writing or copying its files. The work
// may read the document (nothing changes it meanwhile) but touches nothing the
// window owns. The owner waits for it (the host's WaitForSaveWork); the
// destructor waits too, so no step outlives the save.
class TSaveWork {
public:
    explicit TSaveWork(std::function<void(TSaveWork &)> work);
    ~TSaveWork();
    TSaveWork(const TSaveWork &) = delete;
    TSaveWork &operator=(const TSaveWork &) = delete;

    bool Finished() const { return FFinished.load(std::memory_order_acquire); }
    // Blocks until the work returned.
    void Wait();
    // `notify` is called once the work returned (on the worker, or here at once
    // when it already did); it must be safe to call from another thread.
    void OnFinished(std::function<void()> notify);

    // How far the whole save is, in thousandths: set by the work as it goes.
    void SetProgress(int permille) { FProgress.store(permille, std::memory_order_relaxed); }
    int Progress() const { return FProgress.load(std::memory_order_relaxed); }
    // Waits, then throws what the work threw (a failed allocation) here.
    void Finish();

    // Every step takes at least this long from now on (tests watch the window
    // during a long save).
    static void SetLeastTime(std::chrono::milliseconds time);

private:
    std::atomic<bool> FFinished { false };
    std::exception_ptr FFailure;
    std::function<void()> FNotify;
    std::atomic<int> FProgress { 0 };
    std::mutex FMutex;
    std::condition_variable FDone;
    std::thread FThread;
};
