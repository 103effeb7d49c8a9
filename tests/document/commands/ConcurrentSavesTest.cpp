// Saves of one instance racing with the records and saves of others: a record
// that reaches a folder while it is retired, and a save that finds the folder
// already retired by another instance, lose nothing.
#include "platform/AtomicFile.h"
#include "tests/document/commands/CommandsTestSupport.h"
#include "tests/support/QtPrinters.h"

namespace {

// The comments of these rows as someone who opens the document now finds them.
QStringList commentsOnOpening(const QString &document, const QStringList &ids)
{
    CommandsInstance dora("pc.dora");
    if (!dora.commands.Open(document))
        return { "<not opened>" };
    QStringList comments;
    for (const QString &id : ids)
        comments << dora.comment(id);
    return comments;
}

// Anna saves the document and Bert opens it: two instances on one working folder.
void annaSavesBertOpens(CommandsInstance &anna, CommandsInstance &bert, const QString &document)
{
    ASSERT_TRUE(anna.saveAs(document));
    ASSERT_TRUE(bert.commands.Open(document));
}

} // namespace

TEST_F(CommandsTest, RecordsStoredWhileTheFolderIsRetiredAreStoredAgainInTheNext)
{
    CommandsInstance anna("pc.anna"), bert("pc.bert");
    ASSERT_NO_FATAL_FAILURE(annaSavesBertOpens(anna, bert, path("Plan.kez")));
    const QString folder = bert.commands.Watcher().WorkingDirName();

    // Anna's lock appears while Bert's file is being written: her last read of
    // the folder may have missed it.
    bert.addTask("pc.bert.1", "late");
    platform::FileFaults faults;
    faults.shortWrite = [&](const QString &file, qint64) {
        if (file.endsWith(".diff"))
            write(sharing(folder + "/Plan.kez.locked"), read(sharing(folder + "/Plan.kez")));
        return qint64(-1);
    };
    {
        platform::ScopedFileFaults scoped(faults);
        EXPECT_TRUE(bert.commands.Watcher().ForceStorePending());
    }
    EXPECT_EQ(bert.commands.Watcher().NumUnconfirmedEvents(), 2);
    EXPECT_FALSE(bert.commands.Watcher().Error());

    // Anna's save goes on without them (her folder names none of them as read);
    // Bert follows and stores them there.
    const QString next = QString::number(folder.toInt() + 1);
    QDir().mkpath(sharing(next));
    write(sharing(next + "/Plan.kez"), read(path("Plan.kez")));
    bert.commands.Watcher().UpdatePending();
    bert.commands.Watcher().StopBackgroundThread();
    EXPECT_TRUE(bert.commands.Watcher().ForceStorePending());
    EXPECT_EQ(bert.commands.Watcher().WorkingDirName(), next);
    anna.commands.Watcher().FindWorkingDirectory(false);
    anna.commands.Watcher().ForceLoadTransactions();
    EXPECT_EQ(anna.comment("pc.bert.1"), "late");
}

TEST_F(CommandsTest, ASaveAfterOtherInstancesSavedStartsFromTheirDocument)
{
    CommandsInstance anna("pc.anna"), bert("pc.bert");
    ASSERT_NO_FATAL_FAILURE(annaSavesBertOpens(anna, bert, path("Plan.kez")));

    // Anna saves twice; between the saves Carl's record goes to the folder in
    // between, which Bert has never seen.
    ASSERT_TRUE(anna.commands.Save(path("Plan.kez")));
    CommandsInstance carl("pc.carl");
    ASSERT_TRUE(carl.commands.Open(path("Plan.kez")));
    carl.addTask("pc.carl.1", "carl's row");
    ASSERT_TRUE(carl.commands.Watcher().ForceStorePending());
    ASSERT_TRUE(anna.commands.Save(path("Plan.kez")));
    ASSERT_EQ(anna.comment("pc.carl.1"), "carl's row");

    // Bert saves before he noticed; his own unstored row must survive too.
    bert.addTask("pc.bert.1", "bert's row");
    ASSERT_TRUE(bert.commands.Save(path("Plan.kez")));
    EXPECT_EQ(bert.comment("pc.carl.1"), "carl's row");
    EXPECT_EQ(bert.comment("pc.bert.1"), "bert's row");

    EXPECT_EQ(commentsOnOpening(path("Plan.kez"), { "pc.carl.1", "pc.bert.1" }),
        QStringList({ "carl's row", "bert's row" }));
    EXPECT_TRUE(dialogs.Questions().isEmpty());
}

TEST_F(CommandsTest, AFolderIsEnteredOnlyWithItsWorkingCopyAndEnteringItAsksForAReload)
{
    CommandsInstance anna("pc.anna"), bert("pc.bert");
    ASSERT_NO_FATAL_FAILURE(annaSavesBertOpens(anna, bert, path("Plan.kez")));
    TDirWatchThread &watcher = bert.commands.Watcher();
    const QString folder = watcher.WorkingDirName();
    const QString next = QString::number(folder.toInt() + 1);

    // A saving instance has retired the folder and made the next one, but not yet
    // written its working copy there.
    write(sharing(folder + "/Plan.kez.locked"), read(path("Plan.kez")));
    QDir().mkpath(sharing(next));
    watcher.UpdatePending();
    EXPECT_EQ(watcher.WorkingDirName(), folder);
    EXPECT_FALSE(QFile::exists(sharing(next + "/Plan.kez")));
    EXPECT_FALSE(watcher.NeedReload());

    write(sharing(next + "/Plan.kez"), read(path("Plan.kez")));
    watcher.UpdatePending();
    EXPECT_EQ(watcher.WorkingDirName(), next);
    EXPECT_TRUE(watcher.NeedReload());
}

TEST_F(CommandsTest, ASaveOverAFolderLeftLockedStoresWhatItsReloadLeftOut)
{
    CommandsInstance anna("pc.anna"), bert("pc.bert");
    ASSERT_NO_FATAL_FAILURE(annaSavesBertOpens(anna, bert, path("Plan.kez")));

    // An instance died right after retiring the folder: Bert's row cannot be
    // stored, and his save reloads a document without it.
    const QString folder = bert.commands.Watcher().WorkingDirName();
    write(sharing(folder + "/Plan.kez.locked"), read(path("Plan.kez")));
    bert.addTask("pc.bert.1", "bert's row");
    EXPECT_FALSE(bert.commands.Watcher().ForceStorePending());
    ASSERT_TRUE(bert.commands.Save(path("Plan.kez")));
    EXPECT_EQ(bert.commands.Watcher().NumPendingEvents(), 0);

    EXPECT_EQ(commentsOnOpening(path("Plan.kez"), { "pc.bert.1" }), QStringList({ "bert's row" }));
    bert.commands.Watcher().ForceLoadTransactions();
    EXPECT_EQ(bert.comment("pc.bert.1"), "bert's row");
}

TEST_F(CommandsTest, ASaveThatFollowsASimultaneousSaveStartsFromItsDocument)
{
    CommandsInstance anna("pc.anna"), bert("pc.bert");
    ASSERT_NO_FATAL_FAILURE(annaSavesBertOpens(anna, bert, path("Plan.kez")));
    const QString folder = bert.commands.Watcher().WorkingDirName();
    const QString next = QString::number(folder.toInt() + 1);
    bert.addTask("pc.bert.1", "bert's row");

    // Anna saves at the same moment as Bert, just before his lock lands. Her
    // document holds a row whose record reached the folder after Bert's last look.
    anna.addTask("pc.anna.1", "anna's row");
    platform::FileFaults faults;
    bool saved = false;
    faults.failRename = [&](const QString &file) {
        if (!saved && file == sharing(folder + "/Plan.kez.locked")) {
            saved = true;
            QDir().mkpath(sharing(next));
            EXPECT_TRUE(anna.doc.SaveTo(sharing(next + "/Plan.kez")));
        }
        return false;
    };
    {
        platform::ScopedFileFaults scoped(faults);
        ASSERT_TRUE(bert.commands.Save(path("Plan.kez")));
    }
    ASSERT_TRUE(saved);
    EXPECT_EQ(bert.comment("pc.anna.1"), "anna's row");
    EXPECT_EQ(bert.comment("pc.bert.1"), "bert's row");
    EXPECT_EQ(commentsOnOpening(path("Plan.kez"), { "pc.anna.1", "pc.bert.1" }),
        QStringList({ "anna's row", "bert's row" }));
}
