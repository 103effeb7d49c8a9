// What the window tells its user about the other users' files: changes it
// ignores are named in the status bar, once.
#include "document/sharing/DirWatch.h"
#include "tests/mainwindow/MainFormTestSupport.h"

#include <QFileInfo>
#include <QStatusBar>

using namespace mainformtest;

TEST_F(MainFormTest, ChangesOfAnotherUserThatClimbTheCountersAreNamedInTheStatusBarOnce)
{
    GeneratorOptions options;
    options.tasks = 5;
    OpenPlan("plan.kez", options);
    TDirWatchThread &watcher = Probe(*form).Commands().Watcher();
    watcher.SetScanInterval(std::chrono::milliseconds(0));
    const QString id = row(tbTable, 0)->ID;
    // Mallory's changes of one row each jump just under the limit above the last.
    QString records;
    for (int k = 1; k <= 3; ++k)
        records += QString("<change id=\"%1\" index=\"%2\"><__change__>%3</__change__>"
                           "<__user__>pc.mallory</__user__></change>")
                       .arg(id)
                       .arg(k)
                       .arg(k * 999'999);
    const QString working = QFileInfo(watcher.GetWorkingFileName()).path();
    auto writeDiff = [&](const QString &name, int index, const QString &inside) {
        QFile file(working + "/" + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><document><setup /><data />"
                    "<diff index=\""
            + QString::number(index) + "\">" + inside + "</diff></document>")
                       .toLatin1());
    };
    writeDiff("pc.mallory.1.diff", 3, records);

    const QString shown = "changes of pc.mallory ignored: change counters far above the rows' own";
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            IdleTick();
            return !form->statusBar()->currentMessage().isEmpty();
        },
        10000));
    EXPECT_EQ(form->statusBar()->currentMessage(), shown);
    EXPECT_LT(row(tbTable, 0)->ChangeIndex, 1'000'000u);

    // Bert's change of the row at the same time as Mallory's first has it replayed
    // again, refusals and all: the notice stays away.
    form->statusBar()->clearMessage();
    writeDiff("pc.bert.1.diff", 1,
        QString("<change id=\"%1\" index=\"1\"><__change__>999999</__change__><__user__>pc.bert</__user__>"
                "</change>")
            .arg(id));
    const quint64 applied = watcher.NumAppliedChanges();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            IdleTick();
            return watcher.NumAppliedChanges() > applied && watcher.NumPendingConflicts() == 0;
        },
        10000));
    EXPECT_TRUE(form->statusBar()->currentMessage().isEmpty())
        << qPrintable(form->statusBar()->currentMessage());
}
