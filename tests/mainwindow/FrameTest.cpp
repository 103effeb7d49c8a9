// The main window's frame: closing with its one question, the status bar with
// the sharing state, the debounced overlap marking, a storage error, and a
// reload of another instance's save that cannot be read yet.
#include "document/program/Log.h"
#include "document/sharing/DirWatch.h"
#include "platform/AtomicFile.h"
#include "tests/mainwindow/MainFormTestSupport.h"
#include "timechart/TimeChart.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QStatusBar>
#include <algorithm>

using namespace mainformtest;

namespace {

class FrameTest : public MainFormTest {
protected:
    TNodeData *Task(const QString &position, const QString &start, const QString &days)
    {
        TNodeData *row = doc().AddNode(QString(), tbTable, true);
        doc().SetData(row, 0, position);
        doc().SetData(row, 1, start);
        doc().SetData(row, 3, days);
        return row;
    }
    QString LogText() const
    {
        QFile log(LogFilePath());
        return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()) : QString();
    }
    TDirWatchThread &Watcher() const { return Probe(*form).Commands().Watcher(); }
    // A plan of 20 tasks opened and shown, and a task added here.
    QString OpenPlanWithOneMoreTask()
    {
        GeneratorOptions options;
        options.tasks = 20;
        const QString path = WritePlan("plan.kez", options);
        EXPECT_TRUE(form->Open(path));
        ShowForm();
        Task("Position 1", "04.03.2024", "2");
        return path;
    }
    // Every write of a transaction file stops after 3 bytes (a full disk).
    static platform::FileFaults FailingDiffWrites()
    {
        platform::FileFaults faults;
        faults.shortWrite = [](const QString &file, qint64) { return file.endsWith(".diff") ? 3 : -1; };
        return faults;
    }
};

} // namespace

TEST_F(FrameTest, ClosingAsksOnlyForChangesThatCouldNotBeStored)
{
    ShowForm();
    // Unnamed: the records cannot be stored anywhere. Cancel keeps the window.
    Task("Position 1", "04.03.2024", "2");
    dialogs.QueueAnswer(mrCancel);
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->isVisible());
    ASSERT_EQ(dialogs.Questions().size(), 1);
    EXPECT_EQ(dialogs.Questions()[0].Msg, "Do you want to save changes?");
    // Yes saves under the name the dialog gives, and the window closes.
    const QString path = QDir(folder.path()).filePath("saved.kez");
    fileDialogs->saveAnswers << path;
    dialogs.QueueAnswer(mrYes);
    EXPECT_TRUE(form->close());
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_TRUE(QFile::exists(ProgramIniFileName()));

    // A named document whose changes are all stored closes without a question.
    form = std::make_unique<TMainForm>();
    ASSERT_TRUE(form->Open(path));
    ShowForm();
    Task("Position 2", "05.03.2024", "1");
    EXPECT_GT(Watcher().NumPendingEvents(), 0);
    const qsizetype asked = dialogs.Questions().size();
    EXPECT_TRUE(form->close());
    EXPECT_EQ(dialogs.Questions().size(), asked);

    // Records that cannot be stored ask; No closes all the same.
    form = std::make_unique<TMainForm>();
    ASSERT_TRUE(form->Open(path));
    ShowForm();
    Task("Position 3", "06.03.2024", "1");
    platform::ScopedFileFaults failing(FailingDiffWrites());
    dialogs.QueueAnswer(mrNo);
    EXPECT_TRUE(form->close());
    EXPECT_EQ(
        dialogs.Questions().back().Msg, "Do you want to save changes to " + CanonicalFileName(path) + "?");
    EXPECT_EQ(dialogs.UnexpectedCount(), 0);
}

TEST_F(FrameTest, TheStatusBarCountsAndShowsTheSharingState)
{
    ShowForm();
    Task("Position 1", "04.03.2024", "2");
    Task("Position 2", "04.03.2024", "2");
    Task("Position 3", "04.03.2024", "2");
    IdleTick();
    EXPECT_EQ(Probe(*form).StatusPanel(0).text(), "Table total: 3");
    EXPECT_EQ(Probe(*form).StatusPanel(2).text(), "filtered: 3");
    EXPECT_TRUE(Probe(*form).StatusPanel(1).text().endsWith(": 3"));
    // Unnamed: the records wait.
    const int waiting = Watcher().NumPendingEvents();
    EXPECT_GT(waiting, 0);
    EXPECT_EQ(Probe(*form).StatusPanel(3).text(), QString(" (%1 PENDING)").arg(waiting));

    // Saved: stored, in working folder 1.
    const QString path = QDir(folder.path()).filePath("state.kez");
    fileDialogs->saveAnswers << path;
    Probe(*form).Menus().ActionSaveAs->trigger();
    IdleTick();
    EXPECT_EQ(Probe(*form).StatusPanel(3).text(), "  [version 1]");
    // Another instance retired the folder.
    QFile lock(Watcher().GetLockedFileName());
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.close();
    IdleTick();
    EXPECT_TRUE(Probe(*form).StatusPanel(3).text().startsWith(" *LOCKED*"));
    EXPECT_TRUE(Probe(*form).StatusPanel(3).text().endsWith("  [version 1]"));

    // The status bar comes and goes with its menu item.
    Probe(*form).Menus().Statuszeileanzeigen1->trigger();
    EXPECT_FALSE(form->statusBar()->isVisible());
    Probe(*form).Menus().Statuszeileanzeigen1->trigger();
    EXPECT_TRUE(form->statusBar()->isVisible());
}

TEST_F(FrameTest, OverlapMarkingFollows400MsAfterTheLastRequestOnTheNextIdleTick)
{
    ShowForm();
    TNodeData *a = Task("Position 1", "04.03.2024", "3");
    TNodeData *b = Task("Position 1", "05.03.2024", "3");
    IdleTick();
    // What counts is the gap after each request: a loaded machine may stretch a 30 ms wait past
    // the debounce, and then there is nothing left to check.
    QElapsedTimer sinceLast;
    qint64 longestGap = 0;
    for (int i = 0; i < 10; ++i) {
        if (i > 0)
            longestGap = std::max(longestGap, sinceLast.elapsed());
        Probe(*form).UpdateOverlapping(true);
        sinceLast.start();
        // Time passing is the point: requests spaced closer than the debounce.
        QTest::qWait(30);
    }
    longestGap = std::max(longestGap, sinceLast.elapsed());
    if (longestGap >= 390)
        GTEST_SKIP() << "the machine stretched a 30 ms wait to " << longestGap << " ms";
    // Held back while requests keep coming.
    EXPECT_TRUE(Probe(*form).OverlappingTimer().isActive());
    EXPECT_FALSE(doc().OverlappingPassPending());
    EXPECT_FALSE(doc().GetNodeIsOverlapping(a));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !Probe(*form).OverlappingTimer().isActive(); }, 5000));
    EXPECT_TRUE(doc().OverlappingPassPending());
    EXPECT_FALSE(doc().GetNodeIsOverlapping(a));
    Probe(*form).IdleTimerTimer();
    EXPECT_FALSE(doc().OverlappingPassPending());
    EXPECT_TRUE(doc().GetNodeIsOverlapping(a));
    EXPECT_TRUE(doc().GetNodeIsOverlapping(b));
}

TEST_F(FrameTest, AStorageErrorLeavesTheDocumentUnnamedWithItsRecords)
{
    OpenPlanWithOneMoreTask();
    {
        platform::ScopedFileFaults failing(FailingDiffWrites());
        EXPECT_FALSE(Watcher().ForceStorePending());
    }
    ASSERT_TRUE(Watcher().Error());
    const int pending = Watcher().NumPendingEvents();
    ASSERT_GT(pending, 0);
    IdleTick();
    ASSERT_EQ(dialogs.Questions().size(), 1);
    EXPECT_EQ(dialogs.Questions()[0].Msg, "File storage error");
    EXPECT_FALSE(Watcher().Error());
    EXPECT_TRUE(Watcher().Filename().isEmpty());
    EXPECT_EQ(form->windowTitle(), "KEZ - New Table.kez");
    EXPECT_EQ(Watcher().NumPendingEvents(), pending);
    EXPECT_TRUE(Watcher().Changed());
    EXPECT_EQ(doc().TotalCount(tbTable), 21);
    // Closing still asks for them.
    dialogs.QueueAnswer(mrCancel);
    EXPECT_FALSE(form->close());
    EXPECT_EQ(dialogs.Questions().back().Msg, "Do you want to save changes?");
}

TEST_F(FrameTest, ASharingFolderReplacedByALinkStopsSharingSaysSoAndKeepsTheChanges)
{
    const QString path = OpenPlanWithOneMoreTask();
    IdleTick();
    const QString kez = QFileInfo(path).canonicalPath() + "/.kez";
    QTemporaryDir elsewhere;
    ASSERT_TRUE(QFile::rename(kez, kez + ".moved"));
    ASSERT_TRUE(QFile::link(elsewhere.path(), kez));
    IdleTick();
    IdleTick();
    ASSERT_EQ(dialogs.Questions().size(), 1);
    EXPECT_TRUE(
        dialogs.Questions()[0].Msg.startsWith("File storage error\rSharing of this plan stopped: " + kez))
        << dialogs.Questions()[0].Msg.toStdString();
    EXPECT_TRUE(form->statusBar()->currentMessage().startsWith("Sharing stopped: " + kez));
    EXPECT_EQ(form->windowTitle(), "KEZ - New Table.kez");
    EXPECT_EQ(doc().TotalCount(tbTable), 21);
    EXPECT_TRUE(QFileInfo::exists(Watcher().RecoveryFileName()));
    EXPECT_TRUE(QDir(elsewhere.path()).isEmpty());
}

TEST_F(FrameTest, AReloadThatCannotReadTheCopyLeavesTheDocumentAndTriesAgain)
{
    const QString path = OpenPlanWithOneMoreTask();
    const QStringList before = [&] {
        QStringList ids;
        doc().ForEach(tbTable, feAll, [&](TNodeData &r) { ids << r.ID; });
        return ids;
    }();
    // Another instance saved: its new working folder holds a copy cut short.
    const QString next
        = Watcher().GetWorkingFileName(QString::number(Watcher().WorkingDirName().toInt() + 1));
    QDir().mkpath(QFileInfo(next).absolutePath());
    QFile good(path);
    ASSERT_TRUE(good.open(QIODevice::ReadOnly));
    const QByteArray whole = good.readAll();
    QFile cut(next);
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(whole.left(whole.size() / 2));
    cut.close();
    Watcher().SetNeedReload(true);

    Probe(*form).IdleTimerTimer();
    EXPECT_EQ(doc().TotalCount(tbTable), 21);
    QStringList after;
    doc().ForEach(tbTable, feAll, [&](TNodeData &r) { after << r.ID; });
    EXPECT_EQ(after, before);
    EXPECT_TRUE(Watcher().NeedReload());
    ASSERT_EQ(dialogs.Questions().size(), 1);
    EXPECT_TRUE(LogText().contains("cannot be read"));
    // The next tick tries again without telling the user twice.
    Probe(*form).IdleTimerTimer();
    EXPECT_EQ(dialogs.Questions().size(), 1);
    EXPECT_EQ(doc().TotalCount(tbTable), 21);

    // Once the copy is whole, the reload takes it, with this instance's row on top.
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(whole);
    cut.close();
    Probe(*form).IdleTimerTimer();
    EXPECT_FALSE(Watcher().NeedReload());
    EXPECT_EQ(doc().TotalCount(tbTable), 21);
    EXPECT_EQ(dialogs.Questions().size(), 1);
}
