// What the window tells of files beside a shared plan that it does not take: an
// autofill file that is a pipe, a file of the sharing folder beyond what a plan
// holds. Each is named once in the status bar, and nothing waits on a pipe.
#include "document/sharing/DirWatch.h"
#include "tests/mainwindow/MainFormTestSupport.h"
#include "tests/support/HostileEntries.h"

#include <QStatusBar>

namespace {

class BesideFilesWindowTest : public mainformtest::MainFormTest {
protected:
    QString Plan()
    {
        GeneratorOptions options;
        options.tasks = 3;
        options.absentRows = 1;
        options.positions = 2;
        return WritePlan("Plan.kez", options);
    }
    QString Message() const { return form->statusBar()->currentMessage(); }
};

} // namespace

TEST_F(BesideFilesWindowTest, AnAutofillPipeIsNotWaitedOnAndTheUserIsToldOnce)
{
    const QString plan = Plan();
    const QString pipe = folder.filePath("Plan.autofill");
    hostile::makeFifo(pipe);
    const hostile::PipeWatchdog watchdog(pipe);
    ShowForm();
    ASSERT_TRUE(form->Open(plan));
    IdleTick();
    EXPECT_FALSE(watchdog.ReaderSeen());
    EXPECT_TRUE(Message().startsWith("The autofill file is ignored: ")) << Message().toStdString();
    form->statusBar()->clearMessage();
    Probe(*form).PageControl1Change();
    EXPECT_TRUE(Message().isEmpty());
}

TEST_F(BesideFilesWindowTest, AFileOfTheSharingFolderBeyondAPlanIsNamedOnceInTheStatusBar)
{
    const QString plan = Plan();
    ShowForm();
    ASSERT_TRUE(form->Open(plan));
    IdleTick();
    TDirWatchThread &watcher = Probe(*form).Commands().Watcher();
    QFile bomb(watcher.GetWorkingDir() + "pc.bomb.1.diff");
    ASSERT_TRUE(bomb.open(QIODevice::WriteOnly));
    bomb.write(hostile::compressedBomb(0xFFFFFFFFu, 4));
    bomb.close();
    watcher.ForceLoadTransactions();
    IdleTick();
    EXPECT_EQ(Message(), "Ignored in the sharing folder, beyond what a plan can hold: pc.bomb.1.diff");
    form->statusBar()->clearMessage();
    watcher.ForceLoadTransactions();
    IdleTick();
    EXPECT_TRUE(Message().isEmpty());
}
