// The program started as a user starts it: with no document, one, two, a missing
// one and one it cannot read; and the screenshot tool on a generated plan.
#include "app/program/Program.h"
#include "bench/generator/DocumentGenerator.h"
#include "dialogs/misc/SplashForm.h"
#include "document/Document.h"
#include "document/commands/DocumentCommands.h"
#include "document/program/Log.h"
#include "document/program/MessageDialog.h"
#include "document/program/Settings.h"
#include "document/program/Translation.h"
#include "document/sharing/DirWatch.h"
#include "mainwindow/MainFormProbe.h"
#include "tests/app/MainFormPeer.h"
#include "tests/mainwindow/MainFormTestSupport.h"
#include "tests/support/PixelTest.h"
#include "timechart/CanvasPanel.h"
#include "timechart/TimeChart.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <functional>
#include <gtest/gtest.h>

using testsupport::PixelAt;

namespace {

class StartUpTest : public ::testing::Test {
protected:
    // A plan of `tasks` tasks; with `picture` one as a planner keeps it (for the
    // picture a person looks at).
    QString Plan(const QString &name, int tasks = 40, bool picture = false)
    {
        GeneratorOptions options = picture ? GeneratorOptions::Picture() : GeneratorOptions();
        options.tasks = tasks;
        options.absentRows = 5;
        options.positions = 6;
        const QString path = QDir(folder.path()).filePath(name);
        EXPECT_TRUE(WriteGeneratedDocument(path, options, true));
        return path;
    }

    QString LogText() const
    {
        QFile log(LogFilePath());
        return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()) : QString();
    }

    QTemporaryDir folder;
    mainformtest::ScopedAppDataFolder appData { QDir(folder.path()).filePath("appdata") };
    mainformtest::ScopedUpdateCheckOff noUpdateCheck;
    TScriptedMessageDialogs dialogs;
};

} // namespace

TEST_F(StartUpTest, WithoutArgumentsAnEmptyDocumentAndTheSplashForTwoSeconds)
{
    TProgram program(&dialogs);
    program.Start({});
    TMainForm &form = program.MainForm();
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(form.FileName().isEmpty());
    EXPECT_EQ(Probe(form).Doc().TotalCount(tbTable), 0);
    EXPECT_EQ(Probe(form).Doc().GetTableColCount(tbTable), 6);
    EXPECT_EQ(form.windowTitle(), "KEZ - New Table.kez");
    EXPECT_EQ(QCoreApplication::applicationName(), "Zeltrano");
    // The splash window shows until its 2000 ms timer ends.
    ASSERT_NE(program.SplashForm(), nullptr);
    EXPECT_TRUE(program.SplashForm()->isVisible());
    EXPECT_TRUE(program.SplashForm()->Timer().isActive());
    EXPECT_EQ(program.SplashForm()->Timer().interval(), 2000);
    EXPECT_TRUE(dialogs.Questions().isEmpty());
}

// The splash shows before the main window reads its settings; it speaks the
// language the user chose from its first showing on, not the program's own texts.
TEST_F(StartUpTest, TheSplashSpeaksTheChosenLanguageFromItsFirstShowing)
{
    SetLanguageFolder(QStringLiteral(ZELTRANO_LANGUAGES));
    struct ShowWatch : QObject {
        QString status;
        bool eventFilter(QObject *watched, QEvent *event) override
        {
            if (auto *splash = qobject_cast<TSplashForm *>(watched);
                splash && event->type() == QEvent::Show && status.isEmpty())
                status = splash->StatusLabel()->text();
            return false;
        }
    };
    for (const auto &[language, starting] :
        { std::pair { "English", "Starting..." }, std::pair { "Deutsch", "KEZ wird initialisiert..." } }) {
        TProgramSettings settings;
        settings.Language = language;
        ASSERT_TRUE(SaveIniFile(settings));
        ShowWatch watch;
        qApp->installEventFilter(&watch);
        {
            TProgram program(&dialogs);
            program.Start({});
            EXPECT_EQ(watch.status, starting) << language;
        }
        qApp->removeEventFilter(&watch);
    }
    SetLanguageFolder(QString());
}

TEST_F(StartUpTest, EveryWindowShowsTheProgramsMark)
{
    TProgram program(&dialogs);
    program.Start({});
    TMainForm &form = program.MainForm();
    Probe(form).Menus().EditorAsForm->trigger(); // the editor in a window of its own
    // The mark's date header, 1.5 to 12 pixels down a 48-pixel icon.
    auto header = [](const QIcon &icon) {
        const QImage image = icon.pixmap(48).toImage();
        return image.isNull() ? QColor() : image.pixelColor(24, 6);
    };
    int windows = 0;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window != &form && window != program.SplashForm() && window->objectName() != "EditorForm")
            continue;
        ++windows;
        ASSERT_TRUE(window->winId()) << window->objectName().toStdString();
        EXPECT_EQ(header(window->windowHandle()->icon()), QColor(0x3B, 0x5B, 0x86))
            << window->objectName().toStdString();
    }
    EXPECT_EQ(windows, 3);
}

TEST_F(StartUpTest, OneArgumentOpensItAnyOtherCountIsIgnored)
{
    const QString first = Plan("first.kez"), second = Plan("second.kez", 10);
    {
        TProgram program(&dialogs);
        program.Start({ first });
        EXPECT_EQ(program.MainForm().FileName(), CanonicalFileName(first));
        EXPECT_EQ(Probe(program.MainForm()).Doc().TotalCount(tbTable), 40);
    }
    {
        TProgram program(&dialogs);
        program.Start({ first, second });
        EXPECT_TRUE(program.MainForm().FileName().isEmpty());
        EXPECT_EQ(Probe(program.MainForm()).Doc().TotalCount(tbTable), 0);
    }
    EXPECT_TRUE(dialogs.Questions().isEmpty());
}

TEST_F(StartUpTest, TheSettlingTimeOfTheProgramSettingsHoldsForTheDocumentsOpened)
{
    // A user whose share keeps listings long has set a longer settling time.
    const QString plan = Plan("plan.kez", 5);
    QDir().mkpath(QDir(folder.path()).filePath("appdata/Kez"));
    QFile ini(QDir(folder.path()).filePath("appdata/Kez/Kez.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[setup]\nsettletime=25000\n");
    ini.close();
    TProgram program(&dialogs);
    program.Start({ plan });
    EXPECT_EQ(Probe(program.MainForm()).Commands().Watcher().SettleTime(), std::chrono::milliseconds(25000));
}

TEST_F(StartUpTest, AMissingOrUnreadableDocumentIsReportedAndTheEmptyDocumentShown)
{
    const QString missing = QDir(folder.path()).filePath("gone.kez");
    {
        TProgram program(&dialogs);
        program.Start({ missing });
        EXPECT_TRUE(program.MainForm().FileName().isEmpty());
    }
    ASSERT_EQ(dialogs.Questions().size(), 1);
    EXPECT_EQ(dialogs.Questions()[0].Msg, "File " + missing + " does not exist.");

    // A file of another kind: its message, then the failure goes to the log
    // (and to nobody else).
    const QString text = QDir(folder.path()).filePath("notes.txt");
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a plan");
    file.close();
    {
        TProgram program(&dialogs);
        program.Start({ text });
        EXPECT_TRUE(program.MainForm().isVisible());
        EXPECT_TRUE(program.MainForm().FileName().isEmpty());
    }
    ASSERT_EQ(dialogs.Questions().size(), 2);
    EXPECT_EQ(dialogs.Questions()[1].Msg, "File cannot be loaded. The Filetype is unknown.");
    EXPECT_TRUE(LogText().contains(" - Exception: unknown filetype"));
}

TEST_F(StartUpTest, ScreenshotOfAGeneratedPlan)
{
    const QString plan = Plan("shown.kez", 200, true);
    const QString picture = QDir(folder.path()).filePath("shown.png");
    QProcess tool;
    tool.start(QStringLiteral(ZELTRANO_SCREENSHOT), { plan, picture, "1200x800" });
    ASSERT_TRUE(tool.waitForFinished(120000));
    EXPECT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    QImage image(picture);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(1200, 800));
    testsupport::SavePng(image, "screenshot_generated_plan");
    // The chart above (grid lines, month dividers, weekend cells) and the task
    // table below (the role columns' fill) are in the picture.
    auto count = [&](TColor colour, int top, int bottom) {
        int n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = 0; x < image.width(); ++x)
                n += PixelAt(image, x, y) == colour;
        return n;
    };
    EXPECT_GT(count(0xE0CA92, 0, 400), 2000);
    EXPECT_GT(count(0x706449, 0, 400), 100);
    EXPECT_GT(count(0xF0E5CC, 0, 400), 2000);
    EXPECT_GT(count(0xF0E5CC, 600, 780), 5000);

    // A document that cannot be opened: a clear message and no picture.
    const QString none = QDir(folder.path()).filePath("none.png");
    tool.start(QStringLiteral(ZELTRANO_SCREENSHOT), { QDir(folder.path()).filePath("gone.kez"), none });
    ASSERT_TRUE(tool.waitForFinished(120000));
    EXPECT_EQ(tool.exitCode(), 2);
    EXPECT_TRUE(QString::fromLocal8Bit(tool.readAllStandardError()).contains("could not be opened"));
    EXPECT_FALSE(QFile::exists(none));
}

// A plan whose sharing folder still holds the working copy and records of an
// instance that was killed: at every step of the start, at every paint of the
// chart and its captions, the chart either says it is preparing or shows the
// plan's own days, never the days around day 0 of a range not yet known.
TEST_F(StartUpTest, AStartAfterAKilledInstanceNeverPaintsDaysBeforeThePlan)
{
    const QString plan = Plan("shared.kez", 3000);
    {
        mainformtest::Peer peer(folder.path() + "/peer-appdata");
        ASSERT_TRUE(peer.Started());
        ASSERT_EQ(peer.Command("open " + plan).value(0), "ok") << peer.Errors().toStdString();
        peer.Command("idle 500");
        peer.Kill();
    }
    ASSERT_TRUE(QDir(folder.path() + "/.kez/shared.kez").exists()) << "the killed instance left its folder";

    TProgram program(&dialogs);
    TProgram::InitializeLocale();
    TProgram::ReadLanguage();
    program.CreateWindows();
    TMainForm &form = program.MainForm();
    TTimeChart &chart = Probe(form).Chart();
    // Every paint of the chart's panels, as the state they paint from.
    QStringList wrong;
    QString step = QStringLiteral("windows made");
    const auto check = [&](QObject *panel) {
        if (chart.IsPreparing())
            return;
        // The generated plan lies in 2024; its range reaches a little before.
        const TDateTime early = EncodeDate(2020, 1, 1);
        if (chart.MinDate() < early || chart.TimeChartStart() < early)
            wrong << QStringLiteral("%1: %2 from %3, range from %4")
                         .arg(step, panel->objectName(), DateToStr(chart.TimeChartStart()),
                             DateToStr(chart.MinDate()));
    };
    struct TPaintWatch : QObject {
        std::function<void(QObject *)> OnPaint;
        bool eventFilter(QObject *watched, QEvent *event) override
        {
            if (event->type() == QEvent::Paint)
                OnPaint(watched);
            return false;
        }
    } watch;
    watch.OnPaint = check;
    for (QWidget *panel :
        { static_cast<QWidget *>(&chart.TimeChart()), static_cast<QWidget *>(&chart.TimeChartCaption()),
            static_cast<QWidget *>(&chart.SmallTimeChart()),
            static_cast<QWidget *>(&chart.SmallTimeChartCaption()) })
        panel->installEventFilter(&watch);
    // The window shows from the start, so that each step paints.
    form.show();
    const auto paint = [&](const QString &name) {
        step = name;
        QCoreApplication::processEvents();
        form.grab();
    };
    paint(QStringLiteral("shown"));
    program.LoadIni();
    paint(QStringLiteral("settings read"));
    program.OpenArguments({ plan });
    paint(QStringLiteral("opened"));
    for (int tick = 0; tick < 20; ++tick) {
        Probe(form).ApplicationEvents1Idle();
        Probe(form).IdleTimerTimer();
        paint(QStringLiteral("idle tick %1").arg(tick));
    }
    EXPECT_FALSE(chart.IsPreparing());
    EXPECT_EQ(wrong, QStringList());
    EXPECT_EQ(Probe(form).Doc().TotalCount(tbTable), 3000);
}
