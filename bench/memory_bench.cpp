// The program's resident memory with the large generated plan (100,000 tasks)
// open: the window shown, the chart painted, both tables shown and scrolled to
// their last rows. The figure is the resident memory divided by the size of the
// plain document file (goal: at most 4). The plan is written by a child
// process, so that nothing the generator held counts; the program then starts
// in this process as it starts for a user. A run of its own measures the plan
// of 1,000,000 tasks instead:
//   ZELTRANO_BENCH_MILLION=1 bench/run memory
#include "app/program/Program.h"
#include "bench/BenchSupport.h"
#include "bench/WindowIdle.h"
#include "bench/generator/DocumentGenerator.h"
#include "components/gui/StringGridTree.h"
#include "document/commands/DocumentCommands.h"
#include "document/program/MessageDialog.h"
#include "mainwindow/MainApplication.h"
#include "mainwindow/MainFormProbe.h"
#include "timechart/TimeChart.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <sys/wait.h>
#include <unistd.h>

namespace {

int Tasks()
{
    return qEnvironmentVariableIntValue("ZELTRANO_BENCH_MILLION") != 0 ? 1000000 : 100000;
}

// "100k" or "1m": the plan's size in the figures' names.
std::string SizeName()
{
    return Tasks() == 1000000 ? "1m" : "100k";
}

class TNoAnswers final : public IMessageDialogs {
public:
    int MessageDlgPosHelp(
        const QString &Msg, TMsgDlgType, TMsgDlgButtons Buttons, int, int, int, const QString &) override
    {
        std::printf("question: %s\n", qPrintable(Msg));
        TMsgDlgBtn escape = mbCancel;
        return EscapeButtonOf(Buttons, escape) ? ModalResultOf(escape) : mrCancel;
    }
};

// Writes the plan in a child process; false when that failed.
bool WritePlanInChild(const QString &path)
{
    const pid_t child = fork();
    if (child == 0) {
        GeneratorOptions options;
        options.tasks = Tasks();
        QString error;
        const bool written = WriteGeneratedDocument(path, options, false, &error);
        if (!written)
            std::fprintf(stderr, "memory_bench: %s\n", qPrintable(error));
        _exit(written ? 0 : 1);
    }
    int status = 0;
    return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// A field of /proc/self/status in kB (VmRSS: resident now, VmHWM: its peak).
double StatusKilobytes(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qsizetype(std::strlen(field))).trimmed().split(' ').value(0).toDouble();
    }
    return -1;
}

// The table's page shown by a click on its tab, then its rows scrolled to the
// end as a drag of the scroll bar's thumb to the bottom does.
void ShowTableScrolledToEnd(TMainForm &window, TWhichTable table)
{
    QTabBar &tabs = *Probe(window).PageControl1().tabBar();
    QTest::mouseClick(&tabs, Qt::LeftButton, {}, tabs.tabRect(int(table)).center());
    bench::UntilIdle(window);
    QScrollBar &bar = *Probe(window).Tree(table).verticalScrollBar();
    bar.setValue(bar.maximum());
    bench::UntilIdle(window);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_SCALE_FACTOR", "1");
    qputenv("ZELTRANO_UPDATE_URL", QByteArray());
    QTemporaryDir folder;
    qputenv("XDG_DATA_HOME", (folder.path() + QStringLiteral("/appdata")).toLocal8Bit());
    const QString plan = folder.filePath(QStringLiteral("Plan.kez"));
    if (!WritePlanInChild(plan)) {
        std::printf("FIGURE memory.resident_%s/plain_file missing - - -\n", SizeName().c_str());
        return 1;
    }
    const double fileKilobytes = double(QFileInfo(plan).size()) / 1024;
    const double before = StatusKilobytes("VmRSS:");

    TMainApplication app(argc, argv);
    QApplication::setFont(QFont(QStringLiteral("Liberation Sans"), 9));
    TNoAnswers answers;
    QElapsedTimer clock;
    clock.start();
    double resident = -1;
    double peak = -1;
    {
        TProgram program(&answers);
        program.Start({ plan });
        TMainForm &window = program.MainForm();
        window.resize(1280, 800);
        if (Probe(window).Commands().FileName().isEmpty()) {
            std::printf("the plan did not open\n");
            return 1;
        }
        bench::UntilIdle(window);
        ShowTableScrolledToEnd(window, tbExclude);
        ShowTableScrolledToEnd(window, tbTable);
        // The chart painted whole once more, as after a resize.
        Probe(window).Chart().repaint();
        bench::UntilIdle(window);
        resident = StatusKilobytes("VmRSS:");
        peak = StatusKilobytes("VmHWM:");
        std::printf("plan: %d tasks, %.1f MB plain; opened and shown in %.1f s\n", Tasks(),
            fileKilobytes / 1024, double(clock.elapsed()) / 1000);
        std::printf("resident: %.1f MB before start-up, %.1f MB with the plan shown (peak %.1f MB)\n",
            before / 1024, resident / 1024, peak / 1024);
    }
    const std::string size = SizeName();
    if (resident <= 0 || fileKilobytes <= 0) {
        std::printf("FIGURE memory.resident_%s/plain_file missing - - -\n", size.c_str());
        return 1;
    }
    bench::printFigure("memory.resident_" + size + "/plain_file", resident / fileKilobytes, "<=", 4);
    bench::printFigure("memory.peak_" + size + "/plain_file", peak / fileKilobytes, "", 0);
    bench::printFigure("memory.resident_" + size + "_mb", resident / 1024, "", 0);
    return 0;
}
