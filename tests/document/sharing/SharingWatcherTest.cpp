// The sharing folder, storing and fetching files, failures, and the worker thread.
#include "tests/document/sharing/SharingTestSupport.h"

#include <QDateTime>
#include <QFileInfo>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const QString kComment = "<Comment>%1</Comment>";

TNodeData *addRowWithComment(SharingInstance &instance, const QString &id, const QString &text)
{
    TNodeData *row = instance.doc->AddNode(id, tbTable, true);
    instance.doc->SetData(row, 5, text);
    return row;
}

} // namespace

TEST(SharingWatcher, ANewDocumentGetsFolderZeroWithItsWorkingCopyAndPresence)
{
    SharedFolder folder;
    SharingInstance anna(folder.path, "pc.anna");
    EXPECT_EQ(anna.watcher->WorkingDirName(), "0");
    EXPECT_EQ(anna.watcher->GetWorkingFileName(), folder.workingDir() + "Plan.kez");
    EXPECT_EQ(SharedFolder::read(anna.watcher->GetWorkingFileName()), SharedFolder::read(folder.path));
    EXPECT_EQ(anna.watcher->GetLockedFileName("3"), folder.dir.path() + "/.kez/Plan.kez/3/Plan.kez.locked");
    EXPECT_EQ(anna.watcher->GetUserSettingsFileName(), folder.dir.path() + "/.kez/Plan.kez/pc.anna.ini");
    anna.watcher->ForceLoadTransactions();
    EXPECT_TRUE(QFileInfo::exists(anna.watcher->GetUserFileName()));

    // The highest numbered folder is the current one.
    QDir().mkpath(folder.workingDir(7));
    QDir().mkpath(folder.dir.path() + "/.kez/Plan.kez/notanumber");
    const auto info = anna.watcher->GetHistoryInfo();
    EXPECT_EQ(info.lowest, 0);
    EXPECT_EQ(info.highest, 7);
    EXPECT_EQ(info.count, 2);
    const QString presence = anna.watcher->GetUserFileName();
    anna.watcher.reset();
    EXPECT_FALSE(QFileInfo::exists(presence));

    // An unnamed document keeps its records and touches no disk.
    Document doc;
    TDirWatchThread unnamed(QString(), doc);
    doc.SetDiffSink(&unnamed);
    doc.AddNode("x", tbTable, true);
    EXPECT_FALSE(unnamed.ForceStorePending());
    unnamed.UpdatePending();
    EXPECT_EQ(unnamed.NumPendingEvents(), 2);
    doc.SetDiffSink(nullptr);
}

TEST(SharingWatcher, QueuedRecordsSurviveAReloadAndApplyToTheReloadedDocument)
{
    SharedFolder folder;
    auto anna = std::make_unique<SharingInstance>(folder.path, "pc.anna");
    addRowWithComment(*anna, "pc.anna.1", "unsaved");
    // Another user saves: the folder is retired and the document replaced. This
    // instance's records were not stored yet.
    SharedFolder::write(folder.workingDir(0) + "Plan.kez.locked", SharedFolder::read(folder.path));
    QDir().mkpath(folder.workingDir(1));
    SharedFolder::write(folder.workingDir(1) + "Plan.kez", SharedFolder::read(folder.path));
    EXPECT_FALSE(anna->watcher->ForceStorePending()); // locked: postponed

    // The owner reloads: a new document from the working copy and a new watcher
    // that takes over the queue.
    anna->reload(folder.path);
    EXPECT_EQ(anna->watcher->WorkingDirName(), "1");
    anna->watcher->ForceLoadTransactions();
    EXPECT_EQ(anna->cell("pc.anna.1", 5), "unsaved");

    // Later own records are not applied a second time.
    anna->doc->SetData(anna->row("pc.anna.1"), 5, "later");
    anna->sync();
    EXPECT_EQ(anna->cell("pc.anna.1", 5), "later");
    EXPECT_EQ(anna->watcher->NumPendingConflicts(), 0);
    EXPECT_TRUE(QFileInfo::exists(folder.workingDir(1) + "pc.anna.1.diff"));
}

TEST(SharingWatcher, AChangeAfterAReloadCountsAboveTheQueuedRecordsItFollows)
{
    SharedFolder folder;
    SharingInstance anna(folder.path, "pc.anna");
    addRowWithComment(anna, "pc.anna.1", "first");
    anna.sync();
    // Two more changes stay queued: another user saves meanwhile, with the row.
    anna.doc->SetData(anna.row("pc.anna.1"), 5, "second");
    anna.doc->SetData(anna.row("pc.anna.1"), 4, "State 2");
    SharedFolder::write(folder.workingDir(0) + "Plan.kez.locked", SharedFolder::read(folder.path));
    {
        SharingInstance saver(folder.path, "pc.saver");
        saver.watcher->ForceLoadTransactions();
        QDir().mkpath(folder.workingDir(1));
        ASSERT_TRUE(saver.doc->SaveTo(folder.workingDir(1) + "Plan.kez"));
    }
    EXPECT_FALSE(anna.watcher->ForceStorePending());

    // Anna reloads (the row's counter starts from the file again) and changes the
    // row once more before the queued records are stored.
    anna.reload(folder.path, folder.workingDir(1) + "Plan.kez");
    ASSERT_TRUE(anna.row("pc.anna.1"));
    anna.doc->SetData(anna.row("pc.anna.1"), 5, "latest");
    anna.sync();
    EXPECT_EQ(anna.cell("pc.anna.1", 5), "latest");

    // Someone who reads the folder afresh, and someone who also changed the row
    // (so every record is replayed in order), end with the latest text.
    SharingInstance bert(folder.path, "pc.bert");
    ASSERT_TRUE(bert.doc->LoadFrom(folder.workingDir(1) + "Plan.kez"));
    bert.watcher->ForceLoadTransactions();
    EXPECT_EQ(bert.cell("pc.anna.1", 5), "latest");
    SharingInstance carl(folder.path, "pc.carl");
    ASSERT_TRUE(carl.doc->LoadFrom(folder.workingDir(1) + "Plan.kez"));
    carl.doc->SetData(carl.row("pc.anna.1"), 3, "4");
    carl.sync();
    EXPECT_EQ(carl.cell("pc.anna.1", 5), "latest");
    EXPECT_EQ(carl.cell("pc.anna.1", 4), "State 2");
}

TEST(SharingWatcher, AChangeAfterAReloadCountsAboveQueuedRecordsOfARowTheReloadedDocumentLacks)
{
    SharedFolder folder;
    SharingInstance bert(folder.path, "pc.bert");
    addRowWithComment(bert, "pc.bert.1", "bert's");
    bert.sync();
    SharingInstance anna(folder.path, "pc.anna");
    anna.sync();
    // Two changes of Bert's row stay queued: a save has locked the folder.
    anna.doc->SetData(anna.row("pc.bert.1"), 5, "second");
    anna.doc->SetData(anna.row("pc.bert.1"), 4, "State 2");
    const QString lock = folder.workingDir(0) + "Plan.kez.locked";
    SharedFolder::write(lock, SharedFolder::read(folder.path));
    EXPECT_FALSE(anna.watcher->ForceStorePending());

    // Anna reads the document again, which lacks the row: it comes back only
    // from Bert's file. Her next change must count above her queued one.
    anna.reload(folder.path);
    anna.watcher->ForceLoadTransactions();
    ASSERT_TRUE(anna.row("pc.bert.1"));
    anna.doc->SetData(anna.row("pc.bert.1"), 5, "latest");
    // The save gave up; everything is stored in the folder.
    ASSERT_TRUE(QFile::remove(lock));
    anna.sync();
    EXPECT_EQ(anna.cell("pc.bert.1", 5), "latest");

    SharingInstance carl(folder.path, "pc.carl");
    carl.watcher->ForceLoadTransactions();
    EXPECT_EQ(carl.cell("pc.bert.1", 5), "latest");
    EXPECT_EQ(carl.cell("pc.bert.1", 4), "State 2");
}

TEST(SharingWatcher, ADamagedOwnFileIsLeftAloneAndTheNextNameUsed)
{
    SharedFolder folder;
    QDir().mkpath(folder.workingDir());
    SharedFolder::write(folder.workingDir() + "pc.anna.1.diff", "<document><diff index=\"3\"><new id=");
    SharingInstance anna(folder.path, "pc.anna");
    addRowWithComment(anna, "pc.anna.1", "kept");
    ASSERT_TRUE(anna.watcher->ForceStorePending());
    EXPECT_FALSE(anna.watcher->Error());
    EXPECT_EQ(anna.watcher->DiffFileName(), folder.workingDir() + "pc.anna.2.diff");
    EXPECT_EQ(
        SharedFolder::read(folder.workingDir() + "pc.anna.1.diff"), "<document><diff index=\"3\"><new id=");

    SharingInstance bert(folder.path, "pc.bert");
    bert.watcher->ForceLoadTransactions();
    EXPECT_EQ(bert.cell("pc.anna.1", 5), "kept");
}

// Files cut short at any byte are covered in FileFaultsTest; a closed file whose
// index names a record that is not there is incomplete as well.
TEST(SharingWatcher, OnlyWholeFilesAreTaken)
{
    SharedFolder folder;
    SharingInstance anna(folder.path, "pc.anna");
    const QString whole
        = QString("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><document><diff index=\"2\">")
        + newRecord("pc.bert.1", 1, "pc.bert") + changeRecord("pc.bert.1", 2, 1, "pc.bert", kComment.arg("b"))
        + "</diff></document>";
    const QString path = folder.workingDir() + "pc.bert.1.diff";
    SharedFolder::write(path, QString(whole).replace("<diff index=\"2\">", "<diff index=\"3\">").toLatin1());
    anna.watcher->ForceLoadTransactions();
    EXPECT_EQ(anna.row("pc.bert.1"), nullptr);
    EXPECT_EQ(anna.watcher->FileOf(path), nullptr);

    SharedFolder::write(path, whole.toLatin1());
    anna.watcher->ForceLoadTransactions();
    EXPECT_EQ(anna.cell("pc.bert.1", 5), "b");
    EXPECT_EQ(anna.watcher->NumPendingFiles(), 1);
}

TEST(SharingWatcher, ALockedFolderPostponesStoringAndTheNextFolderGetsTheRecords)
{
    SharedFolder folder;
    SharingInstance anna(folder.path, "pc.anna");
    addRowWithComment(anna, "pc.anna.1", "x");
    SharedFolder::write(folder.workingDir(0) + "Plan.kez.locked", "");
    EXPECT_FALSE(anna.watcher->ForceStorePending());
    EXPECT_FALSE(QFileInfo::exists(folder.workingDir(0) + "pc.anna.1.diff"));
    EXPECT_EQ(anna.watcher->NumPendingEvents(), 2);

    QDir().mkpath(folder.workingDir(1));
    SharedFolder::write(folder.workingDir(1) + "Plan.kez", SharedFolder::read(folder.path));
    anna.watcher->UpdatePending(); // moves to folder 1 and starts a worker
    anna.watcher->StopBackgroundThread();
    anna.watcher->ForceStorePending();
    EXPECT_EQ(anna.watcher->WorkingDirName(), "1");
    EXPECT_TRUE(QFileInfo::exists(folder.workingDir(1) + "pc.anna.1.diff"));
    EXPECT_EQ(anna.watcher->NumPendingEvents(), 0);
}

TEST(SharingWatcher, TheIdleTickSharesThroughTheWorker)
{
    SharedFolder folder;
    SharingInstance anna(folder.path, "pc.anna");
    SharingInstance bert(folder.path, "pc.bert");
    anna.watcher->SetScanInterval(std::chrono::milliseconds(20));
    bert.watcher->SetScanInterval(std::chrono::milliseconds(20));
    addRowWithComment(anna, "pc.anna.1", "over the wire");

    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            anna.watcher->UpdatePending();
            bert.watcher->UpdatePending();
            return bert.row("pc.anna.1") != nullptr;
        },
        10000));
    EXPECT_EQ(bert.cell("pc.anna.1", 5), "over the wire");
    EXPECT_TRUE(bert.watcher->Changed());

    // The document file changed on disk: the owner must reload. (Its time is set
    // apart, as a write within the same millisecond would not.)
    const QDateTime before = QFileInfo(folder.path).lastModified();
    SharedFolder::write(folder.path, SharedFolder::read(folder.path) + " ");
    {
        QFile file(folder.path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(before.addSecs(1), QFileDevice::FileModificationTime));
    }
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            anna.watcher->UpdatePending();
            return anna.watcher->NeedReload();
        },
        5000));
}
