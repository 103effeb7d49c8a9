// Following another instance's save: the document is given up only for one that
// loads, and the window keeps naming the plan on every road that reloads it.
#include "tests/document/commands/CommandsTestSupport.h"

#include <QRegularExpression>

namespace {

class ReloadTest : public CommandsTest {
protected:
    CommandsInstance anna { "pc.anna" }, bert { "pc.bert" };

    // Anna saves a plan of three rows, Bert opens it and saves once more: Anna's
    // watcher is asked to reload the newer working copy.
    void SetUp() override
    {
        CommandsTest::SetUp();
        for (int i = 1; i <= 3; ++i)
            anna.addTask(QString("pc.anna.%1").arg(i), QString("row %1").arg(i));
        ASSERT_TRUE(anna.saveAs(path("Plan.kez")));
        ASSERT_TRUE(bert.commands.Open(path("Plan.kez")));
        bert.addTask("pc.bert.1", "bert's row");
        ASSERT_TRUE(bert.commands.Save(path("Plan.kez")));
        anna.commands.Watcher().UpdatePending();
        anna.commands.Watcher().StopBackgroundThread();
        ASSERT_TRUE(anna.commands.Watcher().NeedReload());
    }

    // Bert's working copy replaced by the same document marked as written by a
    // newer version of the program (so loading it asks first).
    void MarkNewestCopyAsNewerVersion()
    {
        Document newer;
        ASSERT_TRUE(newer.LoadFrom(anna.commands.Watcher().NewestWorkingFileName()));
        TDocumentSetup setup = newer.Setup();
        setup.FCompressedSave = false;
        newer.SetSetup(std::move(setup));
        const QString text = QString::fromUtf8(newer.FileBytes());
        QString marked = text;
        marked.replace(QRegularExpression("<Version>\\d+</Version>"), "<Version>999</Version>");
        ASSERT_NE(marked, text);
        write(anna.commands.Watcher().NewestWorkingFileName(), marked.toUtf8());
    }
};

} // namespace

TEST_F(ReloadTest, ACopyThatDoesNotLoadLeavesDocumentWatcherAndQueuedRecordsAsTheyWere)
{
    ASSERT_NO_FATAL_FAILURE(MarkNewestCopyAsNewerVersion());
    anna.addTask("pc.anna.4", "not stored yet");
    TDirWatchThread *watcher = &anna.commands.Watcher();
    const int pending = watcher->NumPendingEvents();
    ASSERT_GT(pending, 0);
    const QString folder = watcher->WorkingDirName();
    const qsizetype captions = anna.host.captions.size();

    dialogs.QueueAnswer(mrCancel); // "created with a newer version ... open anyway?"
    const platform::Status reloaded = anna.commands.Reload();
    EXPECT_FALSE(reloaded);
    EXPECT_TRUE(reloaded.reason().contains("the user declined to open it"))
        << reloaded.reason().toStdString();
    EXPECT_EQ(dialogs.Questions().size(), 1);
    EXPECT_EQ(anna.doc.TotalCount(tbTable), 4);
    EXPECT_EQ(anna.comment("pc.anna.4"), "not stored yet");
    ASSERT_EQ(&anna.commands.Watcher(), watcher);
    EXPECT_EQ(watcher->WorkingDirName(), folder);
    EXPECT_EQ(watcher->NumPendingEvents(), pending);
    EXPECT_TRUE(watcher->NeedReload());
    EXPECT_EQ(anna.host.captions.size(), captions);

    // Agreed to the next time: asked once, not once for the trial and again.
    dialogs.QueueAnswer(mrOk);
    ASSERT_TRUE(anna.commands.Reload());
    EXPECT_EQ(dialogs.Questions().size(), 2);
    EXPECT_EQ(anna.comment("pc.bert.1"), "bert's row");
    EXPECT_EQ(anna.comment("pc.anna.4"), "not stored yet");
    EXPECT_EQ(anna.doc.TotalCount(tbTable), 5);
    EXPECT_EQ(dialogs.UnexpectedCount(), 0);
}

TEST_F(ReloadTest, ACopyThatIsNoDocumentChangesNothing)
{
    write(anna.commands.Watcher().NewestWorkingFileName(), "<KEZ><Data></Data></KEZ>");
    EXPECT_FALSE(anna.commands.Reload());
    EXPECT_EQ(anna.doc.TotalCount(tbTable), 3);
    EXPECT_EQ(anna.host.captions.last(), path("Plan.kez"));
}

// Rows that stand for far more cells than the copy holds are found before the
// present document is given up, not while the copy is loaded into it.
TEST_F(ReloadTest, ACopyWhoseRowsCannotBeReadChangesNothing)
{
    Document copy;
    ASSERT_TRUE(copy.LoadFrom(anna.commands.Watcher().NewestWorkingFileName()));
    TDocumentSetup setup = copy.Setup();
    setup.FCompressedSave = false;
    copy.SetSetup(std::move(setup));
    QByteArray bytes = copy.FileBytes();
    const qsizetype data = bytes.lastIndexOf("</data>");
    ASSERT_GT(data, 0);
    // Empty rows: each would be a row of every column.
    const qsizetype rows = (qsizetype(1) << 22) / copy.GetTableColCount(tbTable) + 1;
    bytes.insert(data, QByteArray("<r/>").repeated(rows));
    write(anna.commands.Watcher().NewestWorkingFileName(), bytes);
    anna.addTask("pc.anna.4", "not stored yet");
    const int pending = anna.commands.Watcher().NumPendingEvents();

    const platform::Status reloaded = anna.commands.Reload();
    EXPECT_FALSE(reloaded);
    EXPECT_TRUE(reloaded.reason().contains("holds only")) << reloaded.reason().toStdString();
    EXPECT_EQ(anna.doc.TotalCount(tbTable), 4);
    EXPECT_EQ(anna.comment("pc.anna.4"), "not stored yet");
    EXPECT_EQ(anna.commands.Watcher().NumPendingEvents(), pending);
    EXPECT_TRUE(anna.commands.Watcher().NeedReload());
    EXPECT_TRUE(dialogs.Questions().isEmpty());
}

// The caption names the plan after a reload from the idle tick and after one
// inside a save, not the name of an unnamed document the reset passes through.
TEST_F(ReloadTest, TheCaptionNamesThePlanAfterEveryReload)
{
    anna.host.captions.clear();
    ASSERT_NO_FATAL_FAILURE(idleTick(anna));
    EXPECT_EQ(anna.comment("pc.bert.1"), "bert's row");
    ASSERT_FALSE(anna.host.captions.isEmpty());
    EXPECT_EQ(anna.host.captions.last(), path("Plan.kez"));

    // Bert saves again; Anna's save finds her folder retired and starts from his
    // document.
    bert.addTask("pc.bert.2", "second");
    ASSERT_TRUE(bert.commands.Save(path("Plan.kez")));
    anna.host.captions.clear();
    anna.addTask("pc.anna.5", "anna's edit");
    ASSERT_TRUE(anna.commands.Save(path("Plan.kez")));
    EXPECT_EQ(anna.comment("pc.bert.2"), "second");
    ASSERT_FALSE(anna.host.captions.isEmpty());
    EXPECT_EQ(anna.host.captions.last(), path("Plan.kez"));

    // Revert and open end on the plan's name too.
    QString older;
    for (const QString &folder : folders()) {
        if (older.isEmpty() && QFile::exists(sharing(folder + "/Plan.kez.locked")))
            older = folder;
    }
    ASSERT_FALSE(older.isEmpty());
    anna.host.captions.clear();
    dialogs.QueueAnswer(mrOk);
    ASSERT_TRUE(anna.commands.RevertToFile(older));
    EXPECT_EQ(anna.host.captions.last(), path("Plan.kez"));
    EXPECT_EQ(dialogs.UnexpectedCount(), 0);
}
