// Saves on a share whose clients keep listings and attributes for a while: a
// record that another instance cannot list yet when a save retires the folder,
// and one stored after the save's last read by an instance whose view does not
// show the lock yet. Neither is lost, for anyone.
#include "platform/AtomicFile.h"
#include "tests/document/commands/CommandsTestSupport.h"
#include "tests/document/sharing/StaleShareFiles.h"
#include "tests/support/QtPrinters.h"

#include <QThread>

using namespace std::chrono_literals;

namespace {

class StaleShareSave : public CommandsTest {
protected:
    // Anna's document with two rows; Bert has it open. Each sees the share
    // through a view of its own that is `window` old at most.
    void open(std::chrono::milliseconds annasWindow, std::chrono::milliseconds bertsWindow,
        std::chrono::milliseconds settle)
    {
        anna.commands.SetShareFileSystem(std::make_shared<TStaleShareFiles>(annasWindow));
        bert.commands.SetShareFileSystem(std::make_shared<TStaleShareFiles>(bertsWindow));
        anna.commands.SetSettleTime(settle);
        bert.commands.SetSettleTime(settle);
        anna.addTask("pc.anna.1", "first");
        anna.addTask("pc.anna.2", "second");
        ASSERT_TRUE(anna.saveAs(path("Plan.kez")));
        ASSERT_TRUE(bert.commands.Open(path("Plan.kez")));
    }
    // Bert changes one row, deletes the other and adds one, and stores them.
    void bertEdits(const QString &newRow)
    {
        bert.doc.SetData(bert.doc.FindNode("pc.anna.1"), 5, "changed by bert");
        bert.doc.DeleteNode(bert.doc.FindNode("pc.anna.2"), true);
        bert.addTask(newRow, "bert's row");
        EXPECT_TRUE(bert.commands.Watcher().ForceStorePending());
    }
    // What an instance holds of the rows Bert changed.
    static QStringList rows(CommandsInstance &instance, const QString &newRow)
    {
        QStringList found;
        for (const QString &id : { QString("pc.anna.1"), QString("pc.anna.2"), newRow })
            found << (instance.doc.FindNode(id) ? instance.comment(id) : "<none>");
        return found;
    }
    void expectEverywhere(const QString &newRow)
    {
        const QStringList expected { "changed by bert", "<none>", "bert's row" };
        EXPECT_EQ(rows(anna, newRow), expected);
        EXPECT_EQ(rows(bert, newRow), expected);
        CommandsInstance dora("pc.dora");
        dialogs.QueueAnswer(mrYes); // should the document and its working copy differ
        ASSERT_TRUE(dora.commands.Open(path("Plan.kez")));
        EXPECT_EQ(rows(dora, newRow), expected);
    }

    CommandsInstance anna { "pc.anna" }, bert { "pc.bert" };
};

} // namespace

TEST_F(StaleShareSave, RecordsStoredJustBeforeTheLockAreReadAfterSettling)
{
    ASSERT_NO_FATAL_FAILURE(open(400ms, 400ms, 1000ms));
    // Anna's view of the folder is fresh; Bert's new file is not in it yet.
    anna.commands.Watcher().ForceLoadTransactions();
    bertEdits("pc.bert.1");
    bert.commands.Watcher().UpdatePending(); // his idle tick goes on
    bert.commands.Watcher().StopBackgroundThread();
    ASSERT_TRUE(anna.commands.Save(path("Plan.kez")));

    // Bert follows once his view shows the save.
    QThread::msleep(500);
    ASSERT_NO_FATAL_FAILURE(idleTick(bert));
    ASSERT_NO_FATAL_FAILURE(idleTick(anna));
    expectEverywhere("pc.bert.1");
}

TEST_F(StaleShareSave, RecordsStoredAfterTheSavesLastReadAreStoredAgainInTheNextFolder)
{
    // Bert's client keeps its view longer than the save waits.
    ASSERT_NO_FATAL_FAILURE(open(100ms, 1500ms, 200ms));
    ASSERT_FALSE(bert.commands.Watcher().isRetired()); // his view of the folder from now
    // While Anna's save writes the next folder's working copy (after her last read
    // of the folder), Bert stores; his view does not show her lock.
    const QString nextCopy
        = QString("/%1/Plan.kez").arg(anna.commands.Watcher().WorkingDirName().toInt() + 1);
    platform::FileFaults faults;
    bool stored = false;
    faults.failRename = [&](const QString &file) {
        if (!stored && file.endsWith(nextCopy)) {
            stored = true;
            bertEdits("pc.bert.1");
        }
        return false;
    };
    {
        platform::ScopedFileFaults scoped(faults);
        ASSERT_TRUE(anna.commands.Save(path("Plan.kez")));
    }
    ASSERT_TRUE(stored);
    EXPECT_EQ(bert.commands.Watcher().NumUnconfirmedEvents(), 4);

    // Once his view shows the save, Bert finds them not read by it and stores
    // them again in the next folder.
    QThread::msleep(1600);
    ASSERT_NO_FATAL_FAILURE(idleTick(bert));
    ASSERT_NO_FATAL_FAILURE(idleTick(anna));
    expectEverywhere("pc.bert.1");
}
