// New, open, save, save as and revert on the sharing folder beside the document.
#include "document/program/Log.h"
#include "document/program/Settings.h"
#include "document/program/Translation.h"
#include "platform/AtomicFile.h"
#include "platform/RecycleBin.h"
#include "tests/document/DocumentTestSupport.h"
#include "tests/document/commands/CommandsTestSupport.h"

#include <QFileInfo>

namespace {

const QString kSaveFailed = "File could not be saved, please try saving with a different filename";
const QString kUnknownType = "File cannot be loaded. The Filetype is unknown.";

} // namespace

TEST_F(CommandsTest, SaveAsAndSavesRetireTheFolderAndStartTheNext)
{
    CommandsInstance anna("pc.anna");
    anna.addTask("pc.anna.1", "first");
    ASSERT_TRUE(anna.saveAs(path("Plan.kez")));
    EXPECT_EQ(anna.commands.FileName(), path("Plan.kez"));
    EXPECT_EQ(folders(), QStringList({ "0", "1" }));
    EXPECT_TRUE(QFileInfo::exists(sharing("0/Plan.kez.locked")));
    EXPECT_FALSE(QFileInfo::exists(sharing("1/Plan.kez.locked")));
    EXPECT_EQ(read(sharing("1/Plan.kez")), read(path("Plan.kez")));
    EXPECT_TRUE(QFileInfo::exists(sharing("pc.anna.ini")));
    EXPECT_EQ(anna.host.captions.last(), path("Plan.kez"));
    EXPECT_EQ(anna.host.lastFiles, QStringList({ path("Plan.kez") }));
    EXPECT_FALSE(anna.commands.Watcher().Changed());

    anna.addTask("pc.anna.2", "second");
    ASSERT_TRUE(anna.commands.ActionSaveExecute());
    EXPECT_EQ(folders(), QStringList({ "0", "1", "2" }));
    EXPECT_TRUE(QFileInfo::exists(sharing("1/Plan.kez.locked")));
    EXPECT_EQ(read(sharing("2/Plan.kez")), read(path("Plan.kez")));
    // Nothing came in while saving: the retired copy is the document saved.
    EXPECT_EQ(read(sharing("1/Plan.kez.locked")), read(path("Plan.kez")));
    // The replaced document went to the recycle bin; nothing else is left behind.
    EXPECT_TRUE(QFileInfo::exists(trash("Plan.kez")));
    EXPECT_EQ(QDir(sharing("")).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden),
        QStringList({ "0", "1", "2" }));

    // Opening a document equal to its working copy asks nothing and saves nothing.
    CommandsInstance bert("pc.bert");
    ASSERT_TRUE(bert.commands.Open(path("Plan.kez")));
    EXPECT_TRUE(dialogs.Questions().isEmpty());
    EXPECT_EQ(bert.comment("pc.anna.2"), "second");
    EXPECT_EQ(folders(), QStringList({ "0", "1", "2" }));
}

TEST_F(CommandsTest, HistoryIsPrunedToTheConfiguredCountOldestFirst)
{
    CommandsInstance anna("pc.anna");
    ASSERT_TRUE(anna.saveAs(path("Plan.kez")));
    changeSetup(anna.doc, [&](TDocumentSetup &s) { s.FMaxHistoryFiles = 5; }); // never fewer than 10
    for (int i = 0; i < 12; ++i)
        ASSERT_TRUE(anna.commands.Save(path("Plan.kez")));
    EXPECT_EQ(anna.doc.Setup().FMaxHistoryFiles, 10);
    EXPECT_EQ(folders(), numbers(4, 13));
    EXPECT_TRUE(QFileInfo::exists(trash("0") + "/Plan.kez.locked"));

    changeSetup(anna.doc, [&](TDocumentSetup &s) { s.FMaxHistoryFiles = 12; });
    ASSERT_TRUE(anna.commands.Save(path("Plan.kez")));
    EXPECT_EQ(folders(), numbers(4, 14));
}

TEST_F(CommandsTest, WithoutARecycleBinHistoryGoesAndTheDocumentIsReplacedOnlyWithACopy)
{
    CommandsInstance anna("pc.anna");
    anna.addTask("pc.anna.1", "first");
    ASSERT_TRUE(anna.saveAs(path("Plan.kez")));
    changeSetup(anna.doc, [&](TDocumentSetup &s) { s.FMaxHistoryFiles = 10; });
    for (int i = 0; i < 10; ++i)
        ASSERT_TRUE(anna.commands.Save(path("Plan.kez")));
    ASSERT_EQ(folders(), numbers(2, 11));
    const QByteArray previous = read(path("Plan.kez"));
    QDir(dataHome.path() + "/Trash").removeRecursively();
    {
        platform::ScopedNoRecycleBin noBin;
        anna.doc.SetData(anna.doc.FindNode("pc.anna.1"), 5, "changed");
        ASSERT_TRUE(anna.commands.Save(path("Plan.kez")));
    }
    EXPECT_EQ(folders(), numbers(3, 12));
    EXPECT_FALSE(QFileInfo::exists(dataHome.path() + "/Trash"));
    // The previous version is the working copy of the folder the save retired.
    EXPECT_EQ(read(sharing("11/Plan.kez")), previous);
    const QByteArray log = read(LogFilePath());
    EXPECT_TRUE(log.contains("pruned history folders are deleted"));
    EXPECT_TRUE(log.contains("its previous version stays in history folder 11"));

    // A document another program replaced has no copy in the history: it stays.
    write(path("Plan.kez"), "not ours");
    dialogs.QueueAnswer(mrOk);
    {
        platform::ScopedNoRecycleBin noBin;
        EXPECT_FALSE(anna.commands.Save(path("Plan.kez")));
    }
    EXPECT_EQ(read(path("Plan.kez")), "not ours");
    EXPECT_EQ(messages(), QStringList({ Translate(kSaveFailed) }));
    EXPECT_TRUE(read(LogFilePath()).contains("save() error:"));
    ASSERT_TRUE(anna.commands.Save(path("Plan.kez"))); // with the bin it goes there
    EXPECT_EQ(read(trash("Plan.kez")), "not ours");
}

TEST_F(CommandsTest, RevertGoesBackToARetiredCopyAfterSavingThePresentState)
{
    CommandsInstance anna("pc.anna");
    anna.addTask("pc.anna.1", "A");
    ASSERT_TRUE(anna.saveAs(path("Plan.kez"))); // 0 retired with A
    anna.doc.SetData(anna.doc.FindNode("pc.anna.1"), 5, "B");
    ASSERT_TRUE(anna.commands.ActionSaveExecute()); // 1 retired with B

    dialogs.QueueAnswer(mrCancel);
    EXPECT_FALSE(anna.commands.RevertToFile("0"));
    EXPECT_EQ(anna.comment("pc.anna.1"), "B");

    // A save that fails stops the revert: the unsaved state stays.
    anna.doc.SetData(anna.doc.FindNode("pc.anna.1"), 5, "C");
    dialogs.QueueAnswer(mrOk);
    dialogs.QueueAnswer(mrOk);
    {
        platform::ScopedFileFaults faults({ {}, [](const QString &) { return true; } });
        EXPECT_FALSE(anna.commands.RevertToFile("0"));
    }
    EXPECT_EQ(anna.comment("pc.anna.1"), "C");
    EXPECT_EQ(anna.commands.FileName(), path("Plan.kez"));

    dialogs.QueueAnswer(mrOk);
    ASSERT_TRUE(anna.commands.RevertToFile("0"));
    EXPECT_EQ(anna.comment("pc.anna.1"), "A");
    const QString current = anna.commands.Watcher().GetWorkingFileName();
    EXPECT_EQ(read(current), read(path("Plan.kez")));
    CommandsInstance bert("pc.bert");
    ASSERT_TRUE(bert.commands.Open(path("Plan.kez")));
    EXPECT_EQ(bert.comment("pc.anna.1"), "A");
    // The state "C" stays in the history.
    Document c;
    ASSERT_TRUE(c.LoadFrom(sharing(folders().at(folders().size() - 2) + "/Plan.kez.locked")));
    EXPECT_EQ(c.GetData(c.FindNode("pc.anna.1"), 5), "C");
}

TEST_F(CommandsTest, OpeningADocumentThatDiffersFromItsWorkingCopyAsks)
{
    {
        CommandsInstance anna("pc.anna");
        anna.addTask("pc.anna.1", "saved");
        ASSERT_TRUE(anna.commands.Save(path("Plan.kez")));
    }
    const auto replaceOutside = [&] {
        CommandsInstance other("pc.other");
        other.addTask("pc.other.1", "outside");
        ASSERT_TRUE(other.doc.SaveTo(path("Plan.kez")));
    };
    replaceOutside();
    CommandsInstance bert("pc.bert");
    const QString question
        = Translate("The file does not match the working copy.\\nOpen the latest Working copy instead?");

    // Cancel: no document, and no "unknown filetype" after it.
    dialogs.QueueAnswer(mrCancel);
    const TOpenStatus cancelled = bert.commands.Open(path("Plan.kez"));
    EXPECT_FALSE(cancelled);
    EXPECT_EQ(messages(), QStringList({ question }));
    EXPECT_EQ(cancelled.code(), TOpenFailure::NotOpened);
    EXPECT_TRUE(bert.commands.FileName().isEmpty());

    // Yes: the working copy, saved as the document.
    dialogs.QueueAnswer(mrYes);
    ASSERT_TRUE(bert.commands.Open(path("Plan.kez")));
    EXPECT_EQ(bert.comment("pc.anna.1"), "saved");
    EXPECT_EQ(folders(), QStringList({ "0", "1", "2" }));
    EXPECT_EQ(read(sharing("2/Plan.kez")), read(path("Plan.kez")));

    // No: the file, saved at once into a new working folder.
    replaceOutside();
    dialogs.QueueAnswer(mrNo);
    ASSERT_TRUE(bert.commands.Open(path("Plan.kez")));
    EXPECT_EQ(bert.comment("pc.other.1"), "outside");
    EXPECT_EQ(bert.doc.FindNode("pc.anna.1"), nullptr);
    EXPECT_EQ(folders(), QStringList({ "0", "1", "2", "3" }));
    EXPECT_EQ(read(sharing("3/Plan.kez")), read(path("Plan.kez")));
    EXPECT_EQ(dialogs.Questions().size(), 3);
}

TEST_F(CommandsTest, OpenChecksTheNameAndMakesItAbsolute)
{
    CommandsInstance anna("pc.anna");
    EXPECT_FALSE(anna.commands.Open(path("missing.kez")));
    EXPECT_EQ(messages().last(), Translate("File %s does not exist.", { path("missing.kez") }));

    write(path("Old.lst"), "[KEZ]\nVersion=3\n");
    const TOpenStatus old = anna.commands.Open(path("Old.lst"));
    EXPECT_FALSE(old);
    EXPECT_EQ(old.reason(), "unknown filetype");
    EXPECT_EQ(messages().last(), Translate(kUnknownType));
    EXPECT_EQ(anna.doc.GetTableColCount(tbTable), 6); // the empty new document

    write(path("Broken.kez"), "<document><setup>");
    const TOpenStatus broken = anna.commands.Open(path("Broken.kez"));
    EXPECT_FALSE(broken);
    EXPECT_EQ(broken.code(), TOpenFailure::Unreadable);
    EXPECT_EQ(broken.reason(), "unknown filetype");

    ASSERT_TRUE(anna.commands.Save(path("Upper.KEZ")));
    CommandsInstance bert("pc.bert");
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    EXPECT_TRUE(bert.commands.Open("Upper.KEZ"));
    QDir::setCurrent(previous);
    EXPECT_EQ(bert.commands.FileName(), path("Upper.KEZ"));
    EXPECT_EQ(bert.host.lastFiles, QStringList({ path("Upper.KEZ") }));
}

TEST_F(CommandsTest, NewAndOpenStorePendingRecordsFirstAndAskOnlyForTheRest)
{
    CommandsInstance anna("pc.anna");
    ASSERT_TRUE(anna.saveAs(path("Plan.kez")));
    anna.addTask("pc.anna.1", "stored, not saved");
    ASSERT_GT(anna.commands.Watcher().NumPendingEvents(), 0);
    EXPECT_TRUE(anna.commands.ActionNewExecute());
    EXPECT_TRUE(dialogs.Questions().isEmpty());
    EXPECT_TRUE(anna.commands.FileName().isEmpty());
    CommandsInstance bert("pc.bert");
    ASSERT_TRUE(bert.commands.Open(path("Plan.kez")));
    EXPECT_EQ(bert.comment("pc.anna.1"), "stored, not saved");

    // An unnamed document cannot store its records: the question comes.
    anna.addTask("pc.anna.2", "unsaved");
    dialogs.QueueAnswer(mrCancel);
    EXPECT_FALSE(anna.commands.Open(path("Plan.kez")));
    EXPECT_EQ(messages().last(), Translate("Do you want to save changes?"));
    EXPECT_NE(anna.doc.FindNode("pc.anna.2"), nullptr);
    // Yes with a cancelled save dialog keeps the document too.
    anna.host.saveName.clear();
    dialogs.QueueAnswer(mrYes);
    EXPECT_FALSE(anna.commands.ActionNewExecute());
    EXPECT_NE(anna.doc.FindNode("pc.anna.2"), nullptr);
    dialogs.QueueAnswer(mrNo);
    EXPECT_TRUE(anna.commands.ActionNewExecute());
    EXPECT_EQ(anna.doc.FindNode("pc.anna.2"), nullptr);
    EXPECT_EQ(dialogs.UnexpectedCount(), 0);
}

// Row IDs count from the start in every new document, whatever the instance did
// before; a reload keeps counting past the rows it still had to store.
TEST_F(CommandsTest, NewNumbersRowsFromTheStartAndAReloadKeepsCounting)
{
    CommandsInstance anna("pc.anna");
    anna.addTask("", "first");
    anna.addTask("", "second");
    dialogs.QueueAnswer(mrNo); // the unnamed document's records are given up
    ASSERT_TRUE(anna.commands.ActionNewExecute());
    EXPECT_EQ(anna.addTask("", "again")->ID, "pc.anna.1");

    ASSERT_TRUE(anna.saveAs(path("Plan.kez")));
    EXPECT_EQ(anna.addTask("", "queued")->ID, "pc.anna.2");
    ASSERT_GT(anna.commands.Watcher().NumPendingEvents(), 0);
    ASSERT_TRUE(anna.commands.Reload());
    EXPECT_EQ(anna.comment("pc.anna.2"), "queued");
    EXPECT_EQ(anna.addTask("", "after")->ID, "pc.anna.3");
    EXPECT_EQ(dialogs.UnexpectedCount(), 0);
}

TEST_F(CommandsTest, SaveTakesInTheRecordsOfOtherInstancesEvenThoseStoredDuringTheLock)
{
    CommandsInstance anna("pc.anna");
    ASSERT_TRUE(anna.saveAs(path("Plan.kez")));
    CommandsInstance bert("pc.bert");
    ASSERT_TRUE(bert.commands.Open(path("Plan.kez")));
    bert.addTask("pc.bert.1", "before the save");
    ASSERT_TRUE(bert.commands.Watcher().ForceStorePending());

    // Bert stores once more just before Anna's lock appears.
    bool stored = false;
    platform::FileFaults faults;
    faults.shortWrite = [&](const QString &file, qint64) {
        if (file.endsWith(".locked") && !stored) {
            stored = true;
            bert.addTask("pc.bert.2", "during the save");
            EXPECT_TRUE(bert.commands.Watcher().ForceStorePending());
        }
        return qint64(-1);
    };
    {
        platform::ScopedFileFaults scoped(faults);
        ASSERT_TRUE(anna.commands.Save(path("Plan.kez")));
    }
    ASSERT_TRUE(stored);
    EXPECT_EQ(anna.comment("pc.bert.2"), "during the save");
    EXPECT_EQ(read(sharing("2/Plan.kez")), read(path("Plan.kez")));

    CommandsInstance carl("pc.carl");
    ASSERT_TRUE(carl.commands.Open(path("Plan.kez")));
    EXPECT_EQ(carl.comment("pc.bert.1"), "before the save");
    EXPECT_EQ(carl.comment("pc.bert.2"), "during the save");
    EXPECT_TRUE(dialogs.Questions().isEmpty());
}

TEST_F(CommandsTest, SaveAsOntoAnExistingFileAsksFirst)
{
    CommandsInstance anna("pc.anna");
    write(path("Taken.kez"), "keep me");
    anna.host.saveName = path("Taken.kez");
    dialogs.QueueAnswer(mrCancel);
    EXPECT_FALSE(anna.commands.ActionSaveAsExecute());
    EXPECT_EQ(read(path("Taken.kez")), "keep me");
    EXPECT_FALSE(QFileInfo::exists(path(".kez/Taken.kez/1")));
    dialogs.QueueAnswer(mrOk);
    EXPECT_TRUE(anna.commands.ActionSaveAsExecute());
    EXPECT_EQ(read(trash("Taken.kez")), "keep me");
}

// A save killed after it wrote the next working copy but before the document
// file: whoever opens next is asked, and taking the working copy keeps the
// records of others that the save had taken in.
TEST_F(CommandsTest, ASaveCutShortBeforeTheDocumentFileLeavesItsRecordsInTheWorkingCopy)
{
    CommandsInstance anna("pc.anna");
    anna.addTask("pc.anna.1", "base");
    ASSERT_TRUE(anna.saveAs(path("Plan.kez")));
    CommandsInstance bert("pc.bert");
    ASSERT_TRUE(bert.commands.Open(path("Plan.kez")));
    bert.addTask("pc.bert.1", "stored by bert");
    ASSERT_TRUE(bert.commands.Watcher().ForceStorePending());
    idleTick(anna);
    ASSERT_EQ(anna.comment("pc.bert.1"), "stored by bert");
    const QByteArray before = read(path("Plan.kez"));
    ASSERT_TRUE(anna.commands.Save(path("Plan.kez")));
    write(path("Plan.kez"), before); // the last write of the save never happened

    CommandsInstance carol("pc.carol");
    dialogs.QueueAnswer(mrYes);
    ASSERT_TRUE(carol.commands.Open(path("Plan.kez")));
    EXPECT_EQ(messages(),
        QStringList({ Translate(
            "The file does not match the working copy.\\nOpen the latest Working copy instead?") }));
    EXPECT_EQ(carol.comment("pc.bert.1"), "stored by bert");
    EXPECT_EQ(read(path("Plan.kez")), read(sharing("3/Plan.kez")));
}
