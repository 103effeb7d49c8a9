// The watcher's parts that belong to the main thread refuse another thread, and
// its worker state refuses the main thread while a worker could touch it.
#include "document/Document.h"
#include "document/program/ThreadCheck.h"
#include "document/sharing/DirWatch.h"

#include <gtest/gtest.h>
#include <thread>

TEST(ThreadChecks, OnlyTheApplicationsThreadIsTheMainThread)
{
    EXPECT_TRUE(IsMainThread());
    bool elsewhere = true;
    std::thread other([&] { elsewhere = IsMainThread(); });
    other.join();
    EXPECT_FALSE(elsewhere);
}

TEST(ThreadChecksDeathTest, AWatcherDrivenFromAnotherThreadStopsTheProgram)
{
#ifdef QT_NO_DEBUG
    GTEST_SKIP() << "the checks are assertions";
#else
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    Document doc;
    doc.SetIdentity(QStringLiteral("pc.anna"));
    TDirWatchThread watcher(QString(), doc);
    auto fromAnotherThread = [&](const std::function<void()> &step) {
        std::thread other(step);
        other.join();
    };
    EXPECT_DEATH(fromAnotherThread([&] { watcher.UpdatePending(); }), "called off the main thread");
    EXPECT_DEATH(fromAnotherThread([&] { watcher.ForceStorePending(); }), "called off the main thread");
    // A worker pass run by hand off the main thread is no worker of this watcher.
    EXPECT_DEATH(fromAnotherThread([&] { watcher.ThreadProc(); }), "worker's state touched");
#endif
}
