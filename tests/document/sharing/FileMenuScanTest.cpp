// The File menu's view of a sharing folder: who worked on the document in the
// last minute, and which saved versions it can be reverted to, newest first.
#include "document/sharing/FileMenuScan.h"

#include "document/sharing/UpdateMenuThread.h"
#include "tests/document/sharing/SharingTestSupport.h"

#include <QDateTime>
#include <QTest>
#include <gtest/gtest.h>

namespace {

void writeWithTime(const QString &path, const QDateTime &time)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.setFileTime(time, QFileDevice::FileModificationTime));
}

QDateTime local(int year, int month, int day, int hour, int minute, int second)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second));
}

QStringList clients(const TFileMenuItems &items)
{
    QStringList list;
    for (const TClientEntry &client : items.clients)
        list << client.caption + (client.checked ? " (checked)" : "");
    return list;
}

QStringList reverts(const TFileMenuItems &items)
{
    QStringList list;
    for (const TRevertEntry &entry : items.reverts)
        list << entry.caption + " | " + entry.hint;
    return list;
}

// Plan.kez shared by "pc1.me"; presence files of five users at set ages and
// working folders with and without their lock files.
struct FileMenuFolder {
    SharedFolder folder;
    SharingInstance me { folder.path, "pc1.me" };
    QString sharing = folder.dir.path() + "/.kez/Plan.kez/";
    qint64 now = QDateTime::currentSecsSinceEpoch() * 1000;

    FileMenuFolder()
    {
        const auto ago = [this](int seconds) { return QDateTime::fromMSecsSinceEpoch(now - seconds * 1000); };
        writeWithTime(sharing + "pc1.me.user", ago(59));
        writeWithTime(sharing + "pc2.anna.user", ago(61));
        writeWithTime(sharing + "pc3.bob.user", ago(1));
        writeWithTime(sharing + "pc4.carl.user", ago(60)); // a whole minute is too old
        writeWithTime(sharing + "pc5.dora.ini", ago(1)); // settings, no presence
        QDir().mkpath(sharing + "folder.user"); // a folder, no presence

        // "0" is the current folder (no lock); "4" has only a working copy; the
        // lock in "5" belongs to another document.
        writeWithTime(sharing + "1/Plan.kez.locked", local(2024, 3, 5, 10, 20, 30));
        writeWithTime(sharing + "2~/Plan.kez.locked", local(2024, 3, 6, 8, 0, 0));
        writeWithTime(sharing + "3/Plan.kez.locked", local(2024, 3, 4, 0, 0, 0));
        writeWithTime(sharing + "4/Plan.kez", local(2024, 3, 7, 0, 0, 0));
        writeWithTime(sharing + "5/Other.kez.locked", local(2024, 3, 8, 0, 0, 0));
    }
};

} // namespace

TEST(FileMenuScan, RecentUsersAndLockedFoldersNewestFirst)
{
    FileMenuFolder f;
    const TFileMenuItems items = ScanSharingFolder(FileMenuScanSource(*f.me.watcher), f.now);
    EXPECT_EQ(clients(items), QStringList({ "pc1.me (checked)", "pc3.bob" }));
    // Dates in the default form: the time left out at midnight.
    EXPECT_EQ(reverts(items),
        QStringList({ "-2~-    06.03.2024 08:00:00 * | 2~", "-1-    05.03.2024 10:20:30 | 1",
            "-3-    04.03.2024 | 3" }));
    EXPECT_TRUE(items.reverts[0].file.autosave);
    EXPECT_EQ(items.reverts[1].file.filename, "1");
    EXPECT_DOUBLE_EQ(items.reverts[1].file.date, EncodeDate(2024, 3, 5) + EncodeTime(10, 20, 30, 0));

    // A minute later everyone is gone; the saved versions stay.
    const TFileMenuItems later = ScanSharingFolder(FileMenuScanSource(*f.me.watcher), f.now + 60000);
    EXPECT_TRUE(later.clients.empty());
    EXPECT_EQ(later.reverts.size(), 3u);
}

TEST(FileMenuScan, UnnamedDocumentOffersNothing)
{
    Document doc;
    TDirWatchThread unnamed(QString(), doc);
    const TFileMenuItems none = ScanSharingFolder(FileMenuScanSource(unnamed), 0);
    EXPECT_TRUE(none.clients.empty() && none.reverts.empty());
}

TEST(FileMenuScan, WorkerScansOneAtATimeAndHandsTheItemsToTheEventLoop)
{
    FileMenuFolder f;
    // The worker scans at the time it runs, which a loaded machine may delay:
    // the own presence is made fresh, so only the ages far from a minute decide.
    writeWithTime(f.sharing + "pc1.me.user", QDateTime::currentDateTime());
    TUpdateMenuThread thread;
    std::vector<TFileMenuItems> delivered;
    const auto keep = [&](const TFileMenuItems &items) { delivered.push_back(items); };
    ASSERT_TRUE(thread.Start(FileMenuScanSource(*f.me.watcher), keep));
    EXPECT_FALSE(thread.Start(FileMenuScanSource(*f.me.watcher), keep)); // the menu opened again
    EXPECT_TRUE(thread.Running());
    EXPECT_TRUE(delivered.empty()); // only through the event loop
    ASSERT_TRUE(QTest::qWaitFor([&] { return !delivered.empty(); }, 10000));
    EXPECT_FALSE(thread.Running());
    ASSERT_EQ(delivered.size(), 1u);
    EXPECT_EQ(clients(delivered[0]), QStringList({ "pc1.me (checked)", "pc3.bob" }));
    EXPECT_EQ(reverts(delivered[0]).size(), 3);

    // Done: the next opening scans again. Destroying the runner while it scans
    // waits for the worker and drops its result.
    EXPECT_TRUE(thread.Start(FileMenuScanSource(*f.me.watcher), keep));
    {
        TUpdateMenuThread dropped;
        dropped.Start(FileMenuScanSource(*f.me.watcher), keep);
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return delivered.size() == 2; }, 10000));
    // The dropped runner's worker was joined: anything it posted is queued already.
    QCoreApplication::processEvents();
    EXPECT_EQ(delivered.size(), 2u);
}
