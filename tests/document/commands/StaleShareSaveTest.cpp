// Saves on a share whose clients keep listings and attributes for a while: a
// record that another instance cannot list yet when a save retires the folder,
// and one stored after the save's last read by an instance whose view does not
// show the lock yet. Neither is lost, for anyone.
#include "document/xml/XMLFile.h"
#include "platform/AtomicFile.h"
#include "tests/document/commands/CommandsTestSupport.h"
#include "tests/document/sharing/StaleShareFiles.h"
#include "tests/support/QtPrinters.h"

using namespace std::chrono_literals;

namespace {

class StaleShareSave : public CommandsTest {
protected:
    // The views age, and the saves wait, by this clock only.
    const std::shared_ptr<TTestClock> clock = std::make_shared<TTestClock>();
    std::shared_ptr<TStaleShareFiles> view(std::chrono::milliseconds window)
    {
        return std::make_shared<TStaleShareFiles>(window, clock);
    }
    void pass(std::chrono::milliseconds time) { clock->Advance(time); }
    // An instance whose view of the share is `window` old at most.
    void seesThrough(CommandsInstance &instance, std::chrono::milliseconds window)
    {
        instance.commands.SetShareFileSystem(view(window));
        instance.host.waits = [this](std::chrono::milliseconds time) { pass(time); };
    }

    // Anna's document with two rows; Bert has it open. Each sees the share
    // through a view of its own that is `window` old at most.
    void open(std::chrono::milliseconds annasWindow, std::chrono::milliseconds bertsWindow,
        std::chrono::milliseconds settle)
    {
        seesThrough(anna, annasWindow);
        seesThrough(bert, bertsWindow);
        anna.commands.SetSettleTime(settle);
        bert.commands.SetSettleTime(settle);
        anna.addTask("pc.anna.1", "first");
        anna.addTask("pc.anna.2", "second");
        ASSERT_TRUE(anna.saveAs(path("Plan.kez")));
        ASSERT_TRUE(bert.commands.Open(path("Plan.kez")));
    }
    // Someone changes one row, deletes the other and adds one, and stores them.
    static void edits(CommandsInstance &who, const QString &newRow)
    {
        who.doc.SetData(who.doc.FindNode("pc.anna.1"), 5, "changed by bert");
        who.doc.DeleteNode(who.doc.FindNode("pc.anna.2"), true);
        who.addTask(newRow, "bert's row");
        EXPECT_TRUE(who.commands.Watcher().ForceStorePending());
    }
    void bertEdits(const QString &newRow) { edits(bert, newRow); }
    // While Anna's save writes the next folder's working copy (after her last read
    // of the folder), `store` runs.
    void saveWhile(const std::function<void()> &store)
    {
        const QString nextCopy
            = QString("/%1/Plan.kez").arg(anna.commands.Watcher().WorkingDirName().toInt() + 1);
        platform::FileFaults faults;
        bool stored = false;
        faults.failRename = [&](const QString &file) {
            if (!stored && file.endsWith(nextCopy)) {
                stored = true;
                store();
            }
            return false;
        };
        platform::ScopedFileFaults scoped(faults);
        ASSERT_TRUE(anna.commands.Save(path("Plan.kez")));
        ASSERT_TRUE(stored);
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

    // Once Anna's and Bert's views show the folders anew, they and a newcomer hold
    // the edits of `newRow`'s writer.
    void othersFollowAndAllHold(const QString &newRow)
    {
        pass(200ms);
        ASSERT_NO_FATAL_FAILURE(idleTick(anna));
        ASSERT_NO_FATAL_FAILURE(idleTick(bert));
        expectEverywhere(newRow);
    }

    // A save beside Anna's retired `retired` at the same time, read nothing of it
    // and made `folder` from its working copy.
    void saveBesideThatReadNothing(const QString &retired, const QString &folder)
    {
        ASSERT_TRUE(QDir().mkdir(sharing(folder)));
        ASSERT_TRUE(QFile::copy(sharing(retired + "/Plan.kez"), sharing(folder + "/Plan.kez")));
        QFile list(sharing(folder + "/Plan.kez.included"));
        ASSERT_TRUE(list.open(QIODevice::WriteOnly));
        list.write("folder\t" + retired.toLatin1() + "\n");
    }

    // Once their views show the saves, Bert and Anna follow to `folder` and read it.
    void bothFollowTo(const QString &folder)
    {
        pass(200ms);
        ASSERT_NO_FATAL_FAILURE(idleTick(bert));
        ASSERT_EQ(bert.commands.Watcher().WorkingDirName(), folder);
        ASSERT_NO_FATAL_FAILURE(idleTick(anna));
        ASSERT_EQ(anna.commands.Watcher().WorkingDirName(), folder);
        pass(200ms);
        ASSERT_NO_FATAL_FAILURE(idleTick(anna));
    }

    // Carl makes two rows in a folder that is passed over; Bert changes one and
    // deletes the other in the folder that goes on, and Anna saves that one.
    void passedOverRowsChangedByOthers(bool carlsProgramEnds)
    {
        const QString retired = anna.commands.Watcher().WorkingDirName();
        const QString first = QString::number(retired.toInt() + 1);
        const QString second = QString::number(retired.toInt() + 2);
        const QString third = QString::number(retired.toInt() + 3);
        ASSERT_TRUE(anna.commands.Save(path("Plan.kez")));
        pass(200ms);
        ASSERT_NO_FATAL_FAILURE(idleTick(bert));
        ASSERT_EQ(bert.commands.Watcher().WorkingDirName(), first);
        // Carl makes two rows in Anna's new folder (and his program may end).
        auto carl = std::make_unique<CommandsInstance>("pc.carl");
        seesThrough(*carl, 100ms);
        ASSERT_TRUE(carl->commands.Open(path("Plan.kez")));
        ASSERT_EQ(carl->commands.Watcher().WorkingDirName(), first);
        carl->addTask("pc.carl.1", "carl's row");
        carl->addTask("pc.carl.2", "carl's other row");
        ASSERT_TRUE(carl->commands.Watcher().ForceStorePending());
        if (carlsProgramEnds)
            carl.reset();
        pass(200ms);
        ASSERT_NO_FATAL_FAILURE(idleTick(bert));
        ASSERT_TRUE(bert.doc.FindNode("pc.carl.2"));
        // The save beside Anna's goes on; Bert changes one of Carl's rows and deletes
        // the other before his view shows it, so they are stored in the folder it made.
        ASSERT_NO_FATAL_FAILURE(saveBesideThatReadNothing(retired, second));
        bert.doc.SetData(bert.doc.FindNode("pc.carl.1"), 5, "changed by bert");
        bert.doc.DeleteNode(bert.doc.FindNode("pc.carl.2"), true);
        ASSERT_NO_FATAL_FAILURE(bothFollowTo(second));
        // Anna saves a document that has none of Carl's rows.
        ASSERT_TRUE(anna.commands.Save(path("Plan.kez")));
        ASSERT_EQ(anna.commands.Watcher().WorkingDirName(), third);

        if (!carl) {
            carl = std::make_unique<CommandsInstance>("pc.carl");
            ASSERT_TRUE(carl->commands.Open(path("Plan.kez")));
        }
        CommandsInstance &again = *carl;
        ASSERT_NO_FATAL_FAILURE(idleTick(again));
        ASSERT_EQ(again.commands.Watcher().WorkingDirName(), third);
        pass(200ms);
        ASSERT_NO_FATAL_FAILURE(idleTick(bert));
        ASSERT_NO_FATAL_FAILURE(idleTick(anna));
        ASSERT_NO_FATAL_FAILURE(idleTick(again));
        auto carlsRows = [](CommandsInstance &instance) {
            QStringList found;
            for (const QString &id : { QString("pc.carl.1"), QString("pc.carl.2") })
                found << (instance.doc.FindNode(id) ? instance.comment(id) : "<none>");
            return found;
        };
        const QStringList expected { "changed by bert", "<none>" };
        EXPECT_EQ(carlsRows(anna), expected);
        EXPECT_EQ(carlsRows(bert), expected);
        EXPECT_EQ(carlsRows(again), expected);
        CommandsInstance dora("pc.dora");
        dialogs.QueueAnswer(mrYes); // should the document and its working copy differ
        ASSERT_TRUE(dora.commands.Open(path("Plan.kez")));
        EXPECT_EQ(carlsRows(dora), expected);
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
    pass(500ms);
    ASSERT_NO_FATAL_FAILURE(idleTick(bert));
    ASSERT_NO_FATAL_FAILURE(idleTick(anna));
    expectEverywhere("pc.bert.1");
}

TEST_F(StaleShareSave, RecordsStoredAfterTheSavesLastReadAreStoredAgainInTheNextFolder)
{
    // Bert's client keeps its view longer than the save waits.
    ASSERT_NO_FATAL_FAILURE(open(100ms, 1500ms, 200ms));
    ASSERT_FALSE(bert.commands.Watcher().isRetired()); // his view of the folder from now
    // Bert stores after Anna's last read; his view does not show her lock.
    ASSERT_NO_FATAL_FAILURE(saveWhile([&] { bertEdits("pc.bert.1"); }));
    EXPECT_EQ(bert.commands.Watcher().NumUnconfirmedEvents(), 4);
    // His idle ticks go on long past the settling time while his view still
    // shows the folder as it was: the records stay in doubt.
    pass(500ms);
    bert.commands.Watcher().UpdatePending();
    bert.commands.Watcher().StopBackgroundThread();
    EXPECT_EQ(bert.commands.Watcher().NumUnconfirmedEvents(), 4);

    // Once his view shows the save, Bert finds them not read by it and stores
    // them again in the next folder.
    pass(1100ms);
    ASSERT_NO_FATAL_FAILURE(idleTick(bert));
    ASSERT_NO_FATAL_FAILURE(idleTick(anna));
    expectEverywhere("pc.bert.1");
}

TEST_F(StaleShareSave, RecordsAKilledRunStoredAfterTheSavesLastReadAreStoredAgainByItsNextRun)
{
    ASSERT_NO_FATAL_FAILURE(open(100ms, 100ms, 200ms));
    auto carl = std::make_unique<CommandsInstance>("pc.carl");
    seesThrough(*carl, 1500ms);
    ASSERT_TRUE(carl->commands.Open(path("Plan.kez")));
    ASSERT_FALSE(carl->commands.Watcher().isRetired()); // his view of the folder from now
    ASSERT_NO_FATAL_FAILURE(saveWhile([&] { edits(*carl, "pc.carl.1"); }));
    // Carl's program ends before his view shows the save.
    carl.reset();

    // His next run (and a second one beside it) find what the save did not read.
    CommandsInstance again("pc.carl");
    ASSERT_TRUE(again.commands.Open(path("Plan.kez")));
    ASSERT_NO_FATAL_FAILURE(idleTick(again));
    CommandsInstance twice("pc.carl");
    ASSERT_TRUE(twice.commands.Open(path("Plan.kez")));
    othersFollowAndAllHold("pc.carl.1");
    // Stored again once, by the first run that found them.
    int stored = 0;
    for (const QString &folder : folders()) {
        for (const QString &file : QDir(sharing(folder)).entryList({ "pc.carl.*.diff" })) {
            const std::unique_ptr<TXMLFile> diff
                = TXMLFile::Create(sharing(folder + "/" + file), true).value();
            ASSERT_TRUE(diff);
            for (const auto &record : diff->xml().namedNode(QStringList { "document", "diff" })->Nodes())
                stored += record->Name().Value() == "new";
        }
    }
    EXPECT_EQ(stored, 2) << qPrintable(folders().join(","));
}

TEST_F(StaleShareSave, RecordsAKilledRunStoredAfterTheSavesLastReadAreStoredAgainByTheRunBesideIt)
{
    ASSERT_NO_FATAL_FAILURE(open(100ms, 100ms, 200ms));
    // Carl works in two windows; the second one sees the share through a slow
    // client too, and both still show the folder as it was when the save ends.
    auto carl = std::make_unique<CommandsInstance>("pc.carl");
    seesThrough(*carl, 1500ms);
    ASSERT_TRUE(carl->commands.Open(path("Plan.kez")));
    CommandsInstance beside("pc.carl");
    seesThrough(beside, 1500ms);
    ASSERT_TRUE(beside.commands.Open(path("Plan.kez")));
    ASSERT_FALSE(carl->commands.Watcher().isRetired());
    ASSERT_FALSE(beside.commands.Watcher().isRetired());
    ASSERT_NO_FATAL_FAILURE(saveWhile([&] { edits(*carl, "pc.carl.1"); }));
    carl.reset();

    // The window beside it follows the save (and reads the document again) once
    // its view shows it, and finds what the save did not read.
    pass(1600ms);
    beside.commands.Watcher().UpdatePending();
    ASSERT_TRUE(beside.commands.Watcher().NeedReload());
    ASSERT_TRUE(beside.commands.Reload());
    ASSERT_NO_FATAL_FAILURE(idleTick(beside));
    othersFollowAndAllHold("pc.carl.1");
}

// Two saves retire a folder at once (each view showed the folder as the newest):
// each makes a later folder that names it, and only the higher one goes on.
TEST_F(StaleShareSave, RecordsAKilledRunStoredInAFolderASaveBesideItPassedOverAreStoredAgainByItsNextRun)
{
    ASSERT_NO_FATAL_FAILURE(open(100ms, 100ms, 200ms));
    const int retired = anna.commands.Watcher().WorkingDirName().toInt();
    ASSERT_TRUE(anna.commands.Save(path("Plan.kez")));
    const QString first = QString::number(retired + 1), second = QString::number(retired + 2);
    ASSERT_EQ(anna.commands.Watcher().WorkingDirName(), first);
    // Carl works in Anna's new folder through a slow client.
    auto carl = std::make_unique<CommandsInstance>("pc.carl");
    seesThrough(*carl, 1500ms);
    ASSERT_TRUE(carl->commands.Open(path("Plan.kez")));
    ASSERT_EQ(carl->commands.Watcher().WorkingDirName(), first);
    edits(*carl, "pc.carl.1");
    // The save beside Anna's made the next folder from the same document; no
    // save ever reads Anna's folder. Carl's program ends before his view shows it.
    ASSERT_TRUE(QDir().mkdir(sharing(second)));
    for (const QString &file : { QString("/Plan.kez"), QString("/Plan.kez.included") })
        ASSERT_TRUE(QFile::copy(sharing(first + file), sharing(second + file)));
    carl.reset();

    CommandsInstance again("pc.carl");
    ASSERT_TRUE(again.commands.Open(path("Plan.kez")));
    ASSERT_EQ(again.commands.Watcher().WorkingDirName(), second);
    ASSERT_NO_FATAL_FAILURE(idleTick(again));
    othersFollowAndAllHold("pc.carl.1");
}

TEST_F(StaleShareSave, RecordsOnlyASaveThatWasPassedOverReadAreStoredAgain)
{
    ASSERT_NO_FATAL_FAILURE(open(100ms, 100ms, 200ms));
    const QString retired = anna.commands.Watcher().WorkingDirName();
    const QString second = QString::number(retired.toInt() + 2);
    bertEdits("pc.bert.1");
    pass(200ms); // Anna's view shows Bert's file
    ASSERT_TRUE(anna.commands.Save(path("Plan.kez")));
    // The save beside Anna's read nothing of Bert's and goes on.
    ASSERT_NO_FATAL_FAILURE(saveBesideThatReadNothing(retired, second));

    ASSERT_NO_FATAL_FAILURE(bothFollowTo(second));
    expectEverywhere("pc.bert.1");
}

TEST_F(StaleShareSave, RecordsOnlyASaveThatWasPassedOverReadAreStoredAgainByOneThatFollowedItFirst)
{
    ASSERT_NO_FATAL_FAILURE(open(100ms, 100ms, 200ms));
    const QString retired = anna.commands.Watcher().WorkingDirName();
    const QString first = QString::number(retired.toInt() + 1);
    const QString second = QString::number(retired.toInt() + 2);
    bertEdits("pc.bert.1");
    pass(200ms); // Anna's view shows Bert's file
    ASSERT_TRUE(anna.commands.Save(path("Plan.kez")));
    // Bert's view shows Anna's save before the one beside it: her list names his
    // records as read.
    pass(200ms);
    ASSERT_NO_FATAL_FAILURE(idleTick(bert));
    ASSERT_EQ(bert.commands.Watcher().WorkingDirName(), first);
    // The save beside Anna's read nothing of Bert's and goes on.
    ASSERT_NO_FATAL_FAILURE(saveBesideThatReadNothing(retired, second));

    pass(200ms);
    ASSERT_NO_FATAL_FAILURE(idleTick(bert));
    ASSERT_EQ(bert.commands.Watcher().WorkingDirName(), second);
    ASSERT_NO_FATAL_FAILURE(idleTick(anna));
    ASSERT_EQ(anna.commands.Watcher().WorkingDirName(), second);
    pass(200ms);
    ASSERT_NO_FATAL_FAILURE(idleTick(bert));
    ASSERT_NO_FATAL_FAILURE(idleTick(anna));
    expectEverywhere("pc.bert.1");
}

TEST_F(StaleShareSave, RecordsOfAKilledRunOnlyASaveThatWasPassedOverReadAreStoredAgainByItsNextRun)
{
    ASSERT_NO_FATAL_FAILURE(open(100ms, 100ms, 200ms));
    const QString retired = anna.commands.Watcher().WorkingDirName();
    const QString first = QString::number(retired.toInt() + 1);
    const QString second = QString::number(retired.toInt() + 2);
    auto carl = std::make_unique<CommandsInstance>("pc.carl");
    seesThrough(*carl, 100ms);
    ASSERT_TRUE(carl->commands.Open(path("Plan.kez")));
    edits(*carl, "pc.carl.1");
    carl.reset();
    pass(200ms); // Anna's view shows Carl's file
    ASSERT_TRUE(anna.commands.Save(path("Plan.kez")));

    // Carl's next run opens Anna's folder, whose list names his records as read.
    CommandsInstance again("pc.carl");
    ASSERT_TRUE(again.commands.Open(path("Plan.kez")));
    ASSERT_EQ(again.commands.Watcher().WorkingDirName(), first);
    ASSERT_NO_FATAL_FAILURE(idleTick(again));
    // The save beside Anna's read nothing of Carl's and goes on.
    ASSERT_NO_FATAL_FAILURE(saveBesideThatReadNothing(retired, second));

    pass(200ms);
    ASSERT_NO_FATAL_FAILURE(idleTick(again));
    ASSERT_EQ(again.commands.Watcher().WorkingDirName(), second);
    ASSERT_NO_FATAL_FAILURE(idleTick(again));
    othersFollowAndAllHold("pc.carl.1");
    EXPECT_EQ(rows(again, "pc.carl.1"), (QStringList { "changed by bert", "<none>", "bert's row" }));
}

// A save went on from the lower of two folders made at once, and later the line of
// the higher one passed both over: what only that save read was read by nobody.
TEST_F(StaleShareSave, RecordsASaveOnALineThatWasPassedOverReadAreStoredAgain)
{
    ASSERT_NO_FATAL_FAILURE(open(100ms, 100ms, 200ms));
    const int retired = anna.commands.Watcher().WorkingDirName().toInt();
    auto folder = [&](int offset) { return QString::number(retired + offset); };
    ASSERT_TRUE(anna.commands.Save(path("Plan.kez")));
    pass(200ms);
    ASSERT_NO_FATAL_FAILURE(idleTick(bert));
    ASSERT_EQ(bert.commands.Watcher().WorkingDirName(), folder(1));
    bertEdits("pc.bert.1");
    pass(200ms); // Anna's view shows Bert's file
    ASSERT_TRUE(anna.commands.Save(path("Plan.kez")));
    pass(200ms);
    ASSERT_NO_FATAL_FAILURE(idleTick(bert));
    ASSERT_EQ(bert.commands.Watcher().WorkingDirName(), folder(2));
    // The save beside Anna's first one, and a save after it, go on.
    ASSERT_NO_FATAL_FAILURE(saveBesideThatReadNothing(folder(0), folder(3)));
    ASSERT_NO_FATAL_FAILURE(saveBesideThatReadNothing(folder(3), folder(4)));

    pass(200ms);
    ASSERT_NO_FATAL_FAILURE(idleTick(bert));
    ASSERT_EQ(bert.commands.Watcher().WorkingDirName(), folder(4));
    ASSERT_NO_FATAL_FAILURE(idleTick(anna));
    ASSERT_EQ(anna.commands.Watcher().WorkingDirName(), folder(4));
    pass(200ms);
    ASSERT_NO_FATAL_FAILURE(idleTick(bert));
    ASSERT_NO_FATAL_FAILURE(idleTick(anna));
    expectEverywhere("pc.bert.1");
}

// Rows made in a folder that was passed over come back only when their writer
// stores them again, folders later (his next run finds them, or his program goes
// on and learns of it late). What others changed of them in the meantime was read
// by saves whose document had no such rows: it must come back with them.
TEST_F(StaleShareSave, ChangesOfOthersToRowsOfAPassedOverFolderHoldOnceItsWritersNextRunStoresThemAgain)
{
    ASSERT_NO_FATAL_FAILURE(open(100ms, 100ms, 200ms));
    passedOverRowsChangedByOthers(true);
}

TEST_F(StaleShareSave, ChangesOfOthersToRowsOfAPassedOverFolderHoldOnceItsWriterStoresThemAgain)
{
    ASSERT_NO_FATAL_FAILURE(open(100ms, 100ms, 200ms));
    passedOverRowsChangedByOthers(false);
}
