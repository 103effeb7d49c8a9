// A file the sharing folder refuses to take, or a write that throws, reaches the
// caller as a failure with its reason, and what the attempt made is gone again.
#include "platform/AtomicFile.h"
#include "tests/document/sharing/SharingTestSupport.h"

#include <chrono>
#include <gtest/gtest.h>
#include <stdexcept>
#include <thread>

namespace {

TEST(ShareFailures, AnIncludedListTheFolderRefusesFailsWithItsReasonAndLeavesNothingBehind)
{
    SharedFolder shared;
    SharingInstance anna(shared.path, "pc.anna");
    ASSERT_TRUE(QDir().mkpath(shared.workingDir(1)));
    const QString list = anna.watcher->GetIncludedFileName("1");

    platform::FileFaults faults;
    faults.failRename = [&list](const QString &path) { return path == list; };
    {
        const platform::ScopedFileFaults refused(faults);
        const platform::Status written = anna.watcher->WriteIncludedList("1");
        EXPECT_FALSE(written);
        EXPECT_TRUE(written.reason().contains("cannot rename onto " + list))
            << written.reason().toStdString();
    }
    EXPECT_EQ(QDir(shared.workingDir(1)).entryList(QDir::Files | QDir::Hidden), QStringList());

    const platform::Status written = anna.watcher->WriteIncludedList("1");
    ASSERT_TRUE(written) << written.reason().toStdString();
    EXPECT_TRUE(SharedFolder::read(list).startsWith("folder\t0\n"));
}

int storedRecords(const QString &file)
{
    TXMLFile own(file, true);
    EXPECT_TRUE(own.Load());
    const TXMLNode *diff = own.xml().namedNode(QStringList { "document", "diff" });
    return diff ? int(diff->Count()) : -1;
}

TEST(ShareFailures, AStoreThatThrowsIsTheWatchersErrorAndTheNextStoreWritesEachRecordOnce)
{
    SharedFolder shared;
    SharingInstance anna(shared.path, "pc.anna");
    anna.doc->SetData(anna.doc->AddNode("pc.anna.1", tbTable, true), 5, "one");
    ASSERT_TRUE(anna.watcher->ForceStorePending());
    const QString own = anna.watcher->DiffFileName();
    const QByteArray stored = SharedFolder::read(own);
    const int before = storedRecords(own);

    anna.doc->SetData(anna.row("pc.anna.1"), 5, "two");
    anna.doc->SetData(anna.doc->AddNode("pc.anna.2", tbTable, true), 5, "three");
    const int queued = anna.watcher->NumPendingEvents();
    ASSERT_GT(queued, 1);
    platform::FileFaults faults;
    faults.shortWrite
        = [](const QString &, qint64) -> qint64 { throw std::runtime_error("the disk went away"); };
    {
        const platform::ScopedFileFaults throwing(faults);
        EXPECT_FALSE(anna.watcher->ForceStorePending());
    }
    EXPECT_TRUE(anna.watcher->Error());
    EXPECT_TRUE(anna.watcher->ErrorText().contains("the disk went away"))
        << qPrintable(anna.watcher->ErrorText());
    EXPECT_EQ(SharedFolder::read(own), stored);
    EXPECT_EQ(QDir(shared.workingDir()).entryList({ "*.tmp~" }, QDir::Files | QDir::Hidden), QStringList());
    EXPECT_EQ(anna.watcher->NumPendingEvents(), queued);

    ASSERT_TRUE(anna.watcher->ForceStorePending());
    EXPECT_EQ(storedRecords(own), before + queued);
}

// Beyond the store, whatever the sharing worker throws ends on its thread and
// reaches the user as the watcher's error.
TEST(ShareFailures, WhatTheWorkerThrowsBecomesTheWatchersError)
{
    SharedFolder shared;
    SharingInstance anna(shared.path, "pc.anna");
    anna.watcher->SetScanInterval(std::chrono::milliseconds(0));
    const QString presence = anna.watcher->GetUserFileName();
    // The worker writes the presence file afresh when it is not there.
    QFile::remove(presence);
    platform::FileFaults faults;
    faults.shortWrite = [&presence](const QString &path, qint64) -> qint64 {
        if (path == presence)
            throw std::runtime_error("the presence file went away");
        return -1;
    };
    {
        const platform::ScopedFileFaults throwing(faults);
        anna.watcher->UpdatePending();
        // Stopping at once would halt the worker before it starts its pass.
        for (int waited = 0; waited < 500 && !anna.watcher->Error(); ++waited)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        anna.watcher->StopBackgroundThread();
    }
    EXPECT_TRUE(anna.watcher->Error());
    EXPECT_TRUE(anna.watcher->ErrorText().contains("the presence file went away"))
        << qPrintable(anna.watcher->ErrorText());
}

} // namespace
