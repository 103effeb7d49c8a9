#include "document/commands/SaveWork.h"

#include <utility>

namespace {

std::atomic<std::chrono::milliseconds::rep> leastTime { 0 };

} // namespace

void TSaveWork::SetLeastTime(std::chrono::milliseconds time)
{
    leastTime.store(time.count());
}

TSaveWork::TSaveWork(std::function<void(TSaveWork &)> work)
{
    FThread = std::thread([this, work = std::move(work)] {
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(leastTime.load());
        try {
            work(*this);
            std::this_thread::sleep_until(until);
        } catch (...) {
            FFailure = std::current_exception();
        }
        const std::lock_guard lock(FMutex);
        FFinished.store(true, std::memory_order_release);
        FDone.notify_all();
        if (FNotify)
            FNotify();
    });
}

TSaveWork::~TSaveWork()
{
    FThread.join();
}

void TSaveWork::Wait()
{
    std::unique_lock lock(FMutex);
    FDone.wait(lock, [this] { return Finished(); });
}

void TSaveWork::Finish()
{
    Wait();
    if (FFailure)
        std::rethrow_exception(std::exchange(FFailure, nullptr));
}

void TSaveWork::OnFinished(std::function<void()> notify)
{
    const std::lock_guard lock(FMutex);
    if (Finished())
        notify();
    else
        FNotify = std::move(notify);
}
