// The File menu as a user opens it by clicks: the users working on the document
// and the saved versions, read from a sharing folder laid out by hand; reverting
// to one; the recent files across a restart; another instance; saving compressed.
#include "document/commands/SaveWork.h"
#include "document/sharing/DirWatch.h"
#include "resources/Cursors.h"
#include "tests/mainwindow/MainFormTestSupport.h"
#include "tests/mainwindow/MenuClicks.h"
#include "timechart/CanvasPanel.h"
#include "timechart/TimeChart.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>
#include <QTimer>

using namespace mainformtest;

namespace {

class FileMenuTest : public MainFormTest {
protected:
    void SetUp() override
    {
        ShowForm();
        Probe(*form).Commands().SetSettleTime(std::chrono::milliseconds(0));
    }

    QString Plan(const QString &name, int tasks)
    {
        GeneratorOptions options;
        options.tasks = tasks;
        options.absentRows = 2;
        options.positions = 3;
        return WritePlan(name, options);
    }

    static void Touch(const QString &path, const QDateTime &written)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::Append));
        file.close();
        ASSERT_TRUE(file.open(QIODevice::Append));
        ASSERT_TRUE(file.setFileTime(written, QFileDevice::FileModificationTime));
    }

    // Opens the File menu by a click and waits until the worker's items arrived.
    void OpenFileMenu()
    {
        ASSERT_TRUE(OpenMenu(*form, *Probe(*form).Menus().Datei));
        ASSERT_TRUE(QTest::qWaitFor([&] { return Probe(*form).Menus().Clients1->isEnabled(); }, 10000));
    }

    TDirWatchThread &watcher() const { return Probe(*form).Commands().Watcher(); }
};

} // namespace

TEST_F(FileMenuTest, UsersAndSavedVersionsComeFromTheSharingFolder)
{
    ASSERT_TRUE(form->Open(Plan("plan.kez", 12)));
    const QString sharing = watcher().GetTmpDirectory();
    const QDateTime now = QDateTime::currentDateTime();
    // Presence files: 59 seconds old is listed, 61 is not; the own one is checked.
    Touch(sharing + "pc1.alice.user", now.addSecs(-59));
    Touch(sharing + "pc2.bob.user", now.addSecs(-61));
    Touch(sharing + watcher().Identity() + ".user", now.addSecs(-1));
    // Saved versions: a folder counts with its lock file, dated by it; "~" marks
    // an autosave; a folder without a lock file is not offered.
    QString error;
    GeneratorOptions small;
    small.tasks = 5;
    small.absentRows = 0;
    small.positions = 2;
    for (const char *name : { "7", "8~", "9" })
        QDir().mkpath(watcher().GetWorkingDir(name));
    ASSERT_TRUE(WriteGeneratedDocument(watcher().GetLockedFileName("7"), small, true, &error));
    ASSERT_TRUE(WriteGeneratedDocument(watcher().GetLockedFileName("8~"), small, true, &error));
    const QDateTime older = now.addDays(-2), newer = now.addDays(-1);
    Touch(watcher().GetLockedFileName("7"), older);
    Touch(watcher().GetLockedFileName("8~"), newer);

    OpenFileMenu();
    ASSERT_TRUE(OpenSubmenu(*Probe(*form).Menus().Datei, *Probe(*form).Menus().Clients1));
    QStringList clients = Entries(*Probe(*form).Menus().Clients1);
    EXPECT_EQ(clients.size(), 2) << clients.join(", ").toStdString();
    EXPECT_TRUE(clients.contains("pc1.alice"));
    EXPECT_TRUE(clients.contains(watcher().Identity() + " *"));
    CloseMenus();

    OpenFileMenu();
    ASSERT_TRUE(OpenSubmenu(*Probe(*form).Menus().Datei, *Probe(*form).Menus().AlteFassung));
    const QString date = "    %1";
    EXPECT_EQ(Entries(*Probe(*form).Menus().AlteFassung),
        QStringList({ "-8~-" + date.arg(newer.toString("dd.MM.yyyy hh:mm:ss")) + " *",
            "-7-" + date.arg(older.toString("dd.MM.yyyy hh:mm:ss")) }));
    EXPECT_EQ(Probe(*form).Menus().AlteFassung->actions().value(0)->toolTip(), "8~");

    // Reverting to the autosave (after the question): its five tasks are the document.
    dialogs.QueueAnswer(mrOk);
    Choose(*Probe(*form).Menus().AlteFassung, Probe(*form).Menus().AlteFassung->actions().value(0));
    ASSERT_EQ(dialogs.Questions().size(), 1);
    EXPECT_EQ(dialogs.Questions().front().Msg, "Revert to last stored file?");
    EXPECT_EQ(doc().TotalCount(tbTable), 5);
}

TEST_F(FileMenuTest, AnUnnamedDocumentOffersNeitherUsersNorVersions)
{
    ASSERT_TRUE(OpenMenu(*form, *Probe(*form).Menus().Datei));
    // The scan of no folder ends at once and finds nothing. Time passing is the
    // point: items a scan found would be in the menu by now.
    QTest::qWait(300);
    EXPECT_FALSE(Probe(*form).Menus().Clients1->isEnabled());
    EXPECT_FALSE(Probe(*form).Menus().AlteFassung->isEnabled());
    CloseMenus();
}

TEST_F(FileMenuTest, RecentFilesKeepTheirOrderAcrossARestart)
{
    const QString a = Plan("a.kez", 3), b = Plan("R&D.kez", 3), c = Plan("c.kez", 3);
    for (const QString &plan : { a, b, c })
        ASSERT_TRUE(form->Open(plan));
    ASSERT_TRUE(OpenMenu(*form, *Probe(*form).Menus().Datei));
    ASSERT_TRUE(OpenSubmenu(*Probe(*form).Menus().Datei, *Probe(*form).Menus().zuletztgeffneteDateien1));
    EXPECT_EQ(Entries(*Probe(*form).Menus().zuletztgeffneteDateien1),
        QStringList({ "1. " + c, "2. " + b, "3. " + a }));

    // The oldest chosen comes to the top; each file is listed once.
    Choose(*Probe(*form).Menus().zuletztgeffneteDateien1, Probe(*form).Menus().ActionLastFile[2]);
    EXPECT_EQ(Probe(*form).Commands().FileName(), a);
    EXPECT_EQ(doc().TotalCount(tbTable), 3);
    ASSERT_TRUE(OpenMenu(*form, *Probe(*form).Menus().Datei));
    ASSERT_TRUE(OpenSubmenu(*Probe(*form).Menus().Datei, *Probe(*form).Menus().zuletztgeffneteDateien1));
    const QStringList expected { "1. " + a, "2. " + c, "3. " + b };
    EXPECT_EQ(Entries(*Probe(*form).Menus().zuletztgeffneteDateien1), expected);
    CloseMenus();

    // Closing writes them; the next start reads them back in that order.
    ASSERT_TRUE(form->close());
    form = std::make_unique<TMainForm>();
    form->LoadIni();
    EXPECT_EQ(Entries(*Probe(*form).Menus().zuletztgeffneteDateien1), expected);
    EXPECT_TRUE(Probe(*form).Menus().zuletztgeffneteDateien1->isEnabled());
}

TEST_F(FileMenuTest, NewStartsTheProgramAgainWithTheSettingsWritten)
{
    QStringList started;
    Probe(*form).SetProgramStarter([&](const QString &program) {
        // The new instance reads the settings of this one: they are written first.
        EXPECT_TRUE(QFile::exists(ProgramIniFileName()));
        started << program;
        return true;
    });
    ASSERT_TRUE(OpenMenu(*form, *Probe(*form).Menus().Datei));
    Choose(*Probe(*form).Menus().Datei, Probe(*form).Menus().Neu);
    EXPECT_EQ(started, QStringList({ QCoreApplication::applicationFilePath() }));
    EXPECT_TRUE(doc().TotalCount(tbTable) == 0) << "this window keeps its document";

    Probe(*form).SetProgramStarter([](const QString &) { return false; });
    ASSERT_TRUE(OpenMenu(*form, *Probe(*form).Menus().Datei));
    Choose(*Probe(*form).Menus().Datei, Probe(*form).Menus().Neu);
    ASSERT_EQ(dialogs.Questions().size(), 1);
    EXPECT_TRUE(dialogs.Questions().front().Msg.endsWith("could not be started."));
}

TEST_F(FileMenuTest, SaveFileCompressedFollowsTheDocumentAndTheClicks)
{
    const QString plan = Plan("plan.kez", 4);
    ASSERT_TRUE(form->Open(plan));
    auto firstBytes = [&] {
        QFile file(plan);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.read(5);
    };
    ASSERT_TRUE(OpenMenu(*form, *Probe(*form).Menus().Datei));
    EXPECT_TRUE(
        Probe(*form).Menus().Dateikomprimiertspeichern1->isChecked()); // the plan was written compressed
    Choose(*Probe(*form).Menus().Datei, Probe(*form).Menus().Dateikomprimiertspeichern1);
    EXPECT_FALSE(Probe(*form).Menus().Dateikomprimiertspeichern1->isChecked());
    ASSERT_TRUE(Probe(*form).Commands().ActionSaveExecute());
    EXPECT_EQ(firstBytes(), "<?xml");

    // Opened again, the plain file leaves the option unchecked; checked, it saves compressed.
    ASSERT_TRUE(form->Open(plan));
    ASSERT_TRUE(OpenMenu(*form, *Probe(*form).Menus().Datei));
    EXPECT_FALSE(Probe(*form).Menus().Dateikomprimiertspeichern1->isChecked());
    Choose(*Probe(*form).Menus().Datei, Probe(*form).Menus().Dateikomprimiertspeichern1);
    ASSERT_TRUE(Probe(*form).Commands().ActionSaveExecute());
    EXPECT_NE(firstBytes(), "<?xml");
}

// While a save waits for others' records to settle, the window paints on and says
// why it waits; the idle work and a close wait for the save's end.
TEST_F(FileMenuTest, ASaveThatWaitsForOthersKeepsTheWindowPainted)
{
    const QString plan = Plan("plan.kez", 6);
    ASSERT_TRUE(form->Open(plan));
    Touch(watcher().GetTmpDirectory() + "pc1.alice.user", QDateTime::currentDateTime());
    Probe(*form).Commands().SetSettleTime(std::chrono::milliseconds(900));

    PaintCounter counter;
    QWidget &chart = Probe(*form).Chart().TimeChart();
    chart.installEventFilter(&counter);
    QString statusWhileWaiting;
    int cursorWhileWaiting = -1;
    qint64 ticksWhileWaiting = -1;
    int paintsBefore = 0;
    bool closed = false;
    QTimer::singleShot(300, form.get(), [&] {
        statusWhileWaiting = Probe(*form).StatusPanel(3).text();
        cursorWhileWaiting = TScreenCursor::Current();
        ticksWhileWaiting = Probe(*form).IdleTicks();
        paintsBefore = counter.paints;
        chart.update();
        closed = form->close(); // asked in the middle of the save: follows it
    });
    const qint64 ticksBefore = Probe(*form).IdleTicks();
    ASSERT_TRUE(Probe(*form).Commands().ActionSaveExecute());
    EXPECT_TRUE(statusWhileWaiting.contains("waiting for the other users"))
        << statusWhileWaiting.toStdString();
    EXPECT_EQ(cursorWhileWaiting, crHourGlass);
    EXPECT_GT(counter.paints, paintsBefore); // painted during the wait
    EXPECT_EQ(ticksWhileWaiting, ticksBefore);
    EXPECT_EQ(Probe(*form).IdleTicks(), ticksBefore);
    EXPECT_EQ(TScreenCursor::Current(), crDefault);
    EXPECT_FALSE(Probe(*form).StatusPanel(3).text().contains("waiting"));
    // The close asked meanwhile was refused then and follows the save.
    EXPECT_FALSE(closed);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->isVisible(); }, 5000));
    chart.removeEventFilter(&counter);
}

// A save whose writing takes long runs beside the window: it paints, says
// "Saving..." with a progress bar once the save took half a second, and the idle
// work (the others' records) and a close wait for the save's end.
TEST_F(FileMenuTest, ASaveThatWritesLongKeepsTheWindowPaintedAndShowsItsProgress)
{
    const QString plan = Plan("plan.kez", 6);
    ASSERT_TRUE(form->Open(plan));
    const SlowWorkSteps slow(std::chrono::milliseconds(400));

    PaintCounter counter;
    QWidget &chart = Probe(*form).Chart().TimeChart();
    chart.installEventFilter(&counter);
    const auto progressShown = [&] {
        const auto *bar = form->findChild<QProgressBar *>("SaveProgress");
        return bar && bar->isVisible() ? bar->value() : -1;
    };
    QString statusEarly;
    int progressEarly = -2, progressLate = -2;
    qint64 ticksLate = -1;
    int paintsBefore = 0, paintsLate = 0;
    bool closed = true;
    QTimer::singleShot(200, form.get(), [&] {
        statusEarly = Probe(*form).StatusPanel(3).text();
        progressEarly = progressShown();
        paintsBefore = counter.paints;
        chart.update();
        closed = form->close();
    });
    QTimer::singleShot(1000, form.get(), [&] {
        progressLate = progressShown();
        ticksLate = Probe(*form).IdleTicks();
        paintsLate = counter.paints;
    });
    const qint64 ticksBefore = Probe(*form).IdleTicks();
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(Probe(*form).Commands().ActionSaveExecute());
    EXPECT_GE(clock.elapsed(), 1200); // the timers above fired inside the save
    EXPECT_EQ(statusEarly, "Saving...");
    EXPECT_EQ(progressEarly, -1); // no bar for the first half second
    EXPECT_GT(progressLate, 0);
    EXPECT_LT(progressLate, 1000);
    EXPECT_GT(paintsLate, paintsBefore); // painted while the worker wrote
    EXPECT_EQ(ticksLate, ticksBefore);
    EXPECT_EQ(progressShown(), -1);
    EXPECT_NE(Probe(*form).StatusPanel(3).text(), "Saving...");
    EXPECT_EQ(TScreenCursor::Current(), crDefault);
    const QString working = watcher().GetWorkingFileName();
    QFile copy(working);
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), Probe(*form).Doc().FileBytes());
    EXPECT_FALSE(closed);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->isVisible(); }, 5000));
    chart.removeEventFilter(&counter);
}

// The idle work held back by a save runs as soon as the save's own events are
// handled: the status bar shows the version just saved without waiting out an
// idle interval.
TEST_F(FileMenuTest, TheIdleWorkFollowsASaveAtOnce)
{
    const QString plan = Plan("plan.kez", 6);
    ASSERT_TRUE(form->Open(plan));
    const QString before = watcher().WorkingDirName();
    Probe(*form).IdleTimer().stop();
    const qint64 ticksBefore = Probe(*form).IdleTicks();
    ASSERT_TRUE(Probe(*form).Commands().ActionSaveExecute());
    const QString saved = watcher().WorkingDirName();
    ASSERT_NE(saved, before);
    // The command handles the events its save posted before it returns; no
    // idle interval passed meanwhile.
    EXPECT_EQ(Probe(*form).IdleTicks(), ticksBefore + 1);
    EXPECT_TRUE(Probe(*form).StatusPanel(3).text().contains("[version " + saved + "]"))
        << Probe(*form).StatusPanel(3).text().toStdString();
}

// Open and Save As start where the document lies, else in the user's documents
// folder; never in the folder the program was started from.
TEST_F(FileMenuTest, OpenAndSaveAsStartBesideTheDocumentElseInTheDocumentsFolder)
{
    const QString documents = folder.filePath("Dokumente");
    ASSERT_TRUE(QDir().mkpath(documents));
    ASSERT_TRUE(QDir().mkpath(folder.filePath("config")));
    QFile dirs(folder.filePath("config/user-dirs.dirs"));
    ASSERT_TRUE(dirs.open(QIODevice::WriteOnly));
    dirs.write("XDG_DOCUMENTS_DIR=\"" + documents.toUtf8() + "\"\n");
    dirs.close();
    // The test's documents folder and its start folder, the process's own again at its end.
    struct Restore {
        QByteArray configHome = qgetenv("XDG_CONFIG_HOME");
        QString current = QDir::currentPath();
        ~Restore()
        {
            qputenv("XDG_CONFIG_HOME", configHome);
            QDir::setCurrent(current);
        }
    } restore;
    qputenv("XDG_CONFIG_HOME", folder.filePath("config").toUtf8());
    ASSERT_TRUE(QDir().mkpath(folder.filePath("started here")));
    QDir::setCurrent(folder.filePath("started here"));

    const auto offeredBy = [&](QAction *item) {
        fileDialogs->offered.clear();
        EXPECT_TRUE(OpenMenu(*form, *Probe(*form).Menus().Datei));
        Choose(*Probe(*form).Menus().Datei, item);
        return fileDialogs->offered.value(0);
    };
    EXPECT_EQ(offeredBy(Probe(*form).Menus().ActionOpen), documents + "/");
    EXPECT_EQ(offeredBy(Probe(*form).Menus().ActionSaveAs), documents + "/New Table.kez");

    ASSERT_TRUE(QDir().mkpath(folder.filePath("plans")));
    const QString plan = folder.filePath("plans/plan.kez");
    ASSERT_TRUE(QFile::rename(Plan("plan.kez", 3), plan));
    ASSERT_TRUE(form->Open(plan));
    EXPECT_EQ(offeredBy(Probe(*form).Menus().ActionOpen), plan);
    EXPECT_EQ(offeredBy(Probe(*form).Menus().ActionSaveAs), plan);

    // A save says where it went.
    const QString copy = folder.filePath("plans/copy.kez");
    fileDialogs->saveAnswers << copy;
    offeredBy(Probe(*form).Menus().ActionSaveAs);
    EXPECT_TRUE(QFile::exists(copy));
    EXPECT_EQ(form->statusBar()->currentMessage(), "The plan was saved to " + copy + ".");
}
