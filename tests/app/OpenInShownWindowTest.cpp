// A plan opened at start-up opens in the window already shown: the window paints
// while the file is read, shows a moving progress bar and a chart that says it is
// preparing; an open that fails or is declined leaves the program as it was.
#include "app/program/Program.h"
#include "bench/generator/DocumentGenerator.h"
#include "components/gui/StringGridTree.h"
#include "document/Document.h"
#include "document/commands/DocumentCommands.h"
#include "document/commands/DocumentRead.h"
#include "document/program/MessageDialog.h"
#include "mainwindow/MainFormProbe.h"
#include "mainwindow/OpenProgress.h"
#include "tests/mainwindow/MainFormTestSupport.h"
#include "tests/support/PixelTest.h"
#include "timechart/TimeChart.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProgressBar>
#include <QRegion>
#include <QTemporaryDir>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace {

// What the window's paint events showed while a document was being opened.
class TPaintsWhileOpening : public QObject {
public:
    // The window's own paint events while the file was still being read (the
    // bar below the share that loading the rows takes).
    std::atomic<int> readingPaints { 0 };
    int tablePaints = 0; // of the task table, while the file was read
    int progressValues = 0; // distinct values the bar showed
    bool barShown = true;
    bool chartPreparing = true;
    bool tablesStill = true;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *widget = qobject_cast<QWidget *>(watched);
        auto *form = widget ? qobject_cast<TMainForm *>(widget->window()) : nullptr;
        if (event->type() != QEvent::Paint || !form || !Probe(*form).Commands().IsLoading())
            return false;
        const auto *bar = form->findChild<QProgressBar *>(QStringLiteral("OpenProgress"));
        if (widget == form && bar && bar->isVisible() && bar->value() < 60)
            ++readingPaints;
        barShown = barShown && bar && bar->isVisible();
        if (bar && bar->value() != FLastValue) {
            FLastValue = bar->value();
            ++progressValues;
        }
        chartPreparing = chartPreparing && Probe(*form).Chart().IsPreparing();
        // A half-loaded table is never painted. The window system may still
        // expose a table held still; it then draws no rows (the tree's own test).
        if (widget == &Probe(*form).Tree(tbTable) || Probe(*form).Tree(tbTable).isAncestorOf(widget)) {
            if (widget->updatesEnabled())
                tablesStill = tablesStill && Probe(*form).Doc().TotalCount(tbTable) == 0;
            tablePaints += bar && bar->value() < 60;
        }
        return false;
    }

private:
    int FLastValue = -1;
};

class OpenInShownWindowTest : public ::testing::Test {
protected:
    QString Plan(const QString &name, int tasks)
    {
        GeneratorOptions options;
        options.tasks = tasks;
        options.absentRows = tasks / 10;
        options.positions = 20;
        const QString path = QDir(folder.path()).filePath(name);
        EXPECT_TRUE(WriteGeneratedDocument(path, options, true));
        return path;
    }
    void TearDown() override
    {
        TDocumentRead::SetBeforeParse({});
        TOpenProgress::SetPaintInterval(TOpenProgress::kPaintIntervalMs);
    }

    QTemporaryDir folder;
    mainformtest::ScopedAppDataFolder appData { QDir(folder.path()).filePath("appdata") };
    mainformtest::ScopedUpdateCheckOff noUpdateCheck;
    TScriptedMessageDialogs dialogs;
};

} // namespace

TEST_F(OpenInShownWindowTest, TheWindowShowsAndPaintsWhileAPlanIsRead)
{
    const QString plan = Plan("plan.kez", 3000);
    // Something in the window changes every 20 ms, as a clock or an animation
    // would; the file is parsed no sooner than the window painted ten times (a
    // large plan's file takes seconds), or twenty seconds went by in vain.
    TPaintsWhileOpening watch;
    TDocumentRead::SetBeforeParse([&watch] {
        for (int i = 0; i < 2000 && watch.readingPaints < 10; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    });
    qApp->installEventFilter(&watch);
    QTimer ticker;
    ticker.setInterval(20);
    bool pictured = false;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        for (QWidget *window : QApplication::topLevelWidgets()) {
            auto *form = qobject_cast<TMainForm *>(window);
            if (!form)
                continue;
            // The tables are left out: an expose of their own would show the
            // rows loaded so far, as it must.
            QRegion changed(form->rect());
            for (TWhichTable table : { tbTable, tbExclude }) {
                const QWidget &tree = Probe(*form).Tree(table);
                changed -= QRect(tree.mapTo(form, QPoint()), tree.size());
            }
            form->update(changed);
            // For a person to look at: the window while the file is read.
            if (!pictured && watch.readingPaints >= 5) {
                pictured = true;
                testsupport::SavePng(form->grab().toImage(), "open_while_reading");
            }
        }
    });
    ticker.start();
    {
        TProgram program(&dialogs);
        program.Start({ plan });
        qApp->removeEventFilter(&watch);
        TMainForm &form = program.MainForm();
        EXPECT_EQ(Probe(form).Doc().TotalCount(tbTable), 3000);
        EXPECT_TRUE(dialogs.Questions().isEmpty());
        // What the open showed is gone with it.
        const auto *bar = form.findChild<QProgressBar *>(QStringLiteral("OpenProgress"));
        ASSERT_NE(bar, nullptr);
        EXPECT_FALSE(bar->isVisible());
        EXPECT_TRUE(Probe(form).Tree(tbTable).updatesEnabled());
        EXPECT_TRUE(Probe(form).Tree(tbExclude).updatesEnabled());
    }
    // The window painted while the file was read, with the bar moving.
    EXPECT_GE(watch.readingPaints, 10);
    EXPECT_GE(watch.progressValues, 2);
    EXPECT_TRUE(watch.barShown);
    EXPECT_TRUE(watch.chartPreparing);
    EXPECT_TRUE(watch.tablesStill);
    // The emptied tables are there meanwhile, not a hole in the window.
    EXPECT_GT(watch.tablePaints, 0);
}

TEST_F(OpenInShownWindowTest, AnOpenThatFailsOrIsDeclinedLeavesTheEmptyPlanAndNoSharingFolder)
{
    // A plan cut short in the middle: it cannot be read as a plan or an old one.
    const QString whole = Plan("whole.kez", 300);
    QFile source(whole);
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    const QByteArray bytes = source.readAll();
    const QString cut = QDir(folder.path()).filePath("cut.kez");
    QFile target(cut);
    ASSERT_TRUE(target.open(QIODevice::WriteOnly));
    target.write(bytes.left(bytes.size() / 2));
    target.close();
    {
        TProgram program(&dialogs);
        program.Start({ cut });
        TMainForm &form = program.MainForm();
        EXPECT_TRUE(form.isVisible());
        EXPECT_TRUE(Probe(form).Commands().FileName().isEmpty());
        EXPECT_EQ(Probe(form).Doc().TotalCount(tbTable), 0);
        EXPECT_FALSE(form.findChild<QProgressBar *>(QStringLiteral("OpenProgress"))->isVisible());
        EXPECT_TRUE(Probe(form).Tree(tbTable).updatesEnabled());
        EXPECT_FALSE(Probe(form).Commands().IsLoading());
    }
    ASSERT_EQ(dialogs.Questions().size(), 1);
    EXPECT_EQ(dialogs.Questions()[0].Msg, "File cannot be loaded. The Filetype is unknown.");
    EXPECT_FALSE(QFileInfo::exists(QDir(folder.path()).filePath(".kez/cut.kez")));

    // A working copy that differs from the file, and the user cancels: nothing
    // opens, the copy stays as it was, and nothing else is asked.
    const QString copy = QDir(folder.path()).filePath(".kez/whole.kez/0/whole.kez");
    ASSERT_TRUE(QDir().mkpath(QFileInfo(copy).absolutePath()));
    QFile other(copy);
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.write(bytes.left(bytes.size() - 20) + "<!-- other -->\r\n</document>\r\n");
    other.close();
    const QByteArray before = [&] {
        QFile f(copy);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    dialogs.QueueAnswer(mrCancel);
    {
        TProgram program(&dialogs);
        program.Start({ whole });
        EXPECT_TRUE(Probe(program.MainForm()).Commands().FileName().isEmpty());
        EXPECT_EQ(Probe(program.MainForm()).Doc().TotalCount(tbTable), 0);
        EXPECT_TRUE(Probe(program.MainForm()).Tree(tbTable).updatesEnabled());
    }
    ASSERT_EQ(dialogs.Questions().size(), 2);
    EXPECT_TRUE(dialogs.Questions()[1].Msg.startsWith("The file does not match the working copy."));
    QFile after(copy);
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), before);
}

// Every row loaded, the open still walks them all several times (ends, checks,
// the tables' filters, the overlap marks, the per-document settings): the window
// turns its event loop between slices of each walk, showing no half-done view,
// and nothing else works on the document meanwhile.
TEST_F(OpenInShownWindowTest, TheWindowTurnsBetweenTheSlicesOfTheWalksAfterTheRowsAreLoaded)
{
    constexpr int kTasks = 8192; // four slices a walk over the tasks
    const QString plan = Plan("large.kez", kTasks);
    const QString other = Plan("other.kez", 10);
    TOpenProgress::SetPaintInterval(0); // a turn at every step, however fast

    struct Turns {
        int afterRows = 0; // every row loaded and the bracket closed, the open not ended
        int withOverlapMarks = 0; // of those, once the overlaps were marked
        bool viewsStill = true;
        bool chartPreparing = true;
        bool noIdleWork = true;
        bool otherOpenRefused = false;
        qint64 idleTicks = -1;
    } turns;
    QTimer turn; // fires at every turn of the event loop
    turn.setInterval(0);
    QObject::connect(&turn, &QTimer::timeout, [&] {
        for (QWidget *window : QApplication::topLevelWidgets()) {
            auto *form = qobject_cast<TMainForm *>(window);
            // The open's update bracket closed, its walks begun.
            if (!form || !Probe(*form).Commands().IsLoading() || Probe(*form).Doc().IsUpdating()
                || Probe(*form).Doc().TotalCount(tbTable) != kTasks)
                continue;
            ++turns.afterRows;
            turns.withOverlapMarks += Probe(*form).Doc().HasOverlappingNodes();
            turns.viewsStill = turns.viewsStill && !Probe(*form).Tree(tbTable).updatesEnabled()
                && !Probe(*form).Tree(tbExclude).updatesEnabled();
            turns.chartPreparing = turns.chartPreparing && Probe(*form).Chart().IsPreparing();
            if (turns.idleTicks < 0)
                turns.idleTicks = Probe(*form).IdleTicks();
            turns.noIdleWork = turns.noIdleWork && Probe(*form).IdleTicks() == turns.idleTicks;
            // Another plan asked for between two slices is refused, not opened
            // over the half-finished one.
            if (turns.afterRows == 2) {
                const TOpenStatus opened = Probe(*form).Commands().Open(other);
                turns.otherOpenRefused = !opened && opened.code() == TOpenFailure::NotOpened;
            }
        }
    });
    turn.start();
    {
        TProgram program(&dialogs);
        program.Start({ plan });
        TMainForm &form = program.MainForm();
        EXPECT_EQ(Probe(form).Doc().TotalCount(tbTable), kTasks);
        EXPECT_EQ(Probe(form).Commands().FileName(), QFileInfo(plan).canonicalFilePath());
        EXPECT_TRUE(Probe(form).Doc().HasOverlappingNodes());
        EXPECT_TRUE(Probe(form).Tree(tbTable).updatesEnabled());
        EXPECT_TRUE(Probe(form).Tree(tbExclude).updatesEnabled());
    }
    turn.stop();
    // Several slices of each of several walks, not one step for all of them.
    EXPECT_GE(turns.afterRows, 4 * kTasks / 2048);
    EXPECT_GT(turns.withOverlapMarks, 0);
    EXPECT_TRUE(turns.viewsStill);
    EXPECT_TRUE(turns.chartPreparing);
    EXPECT_TRUE(turns.noIdleWork);
    EXPECT_TRUE(turns.otherOpenRefused);
    EXPECT_TRUE(dialogs.Questions().isEmpty());
}
