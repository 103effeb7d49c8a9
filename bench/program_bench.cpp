// The whole program as a planner uses it on large plans: the real start-up and
// main window, offscreen, driven by real events (QTest). Each figure is taken
// from the event until the window is idle again: no layout pass pending or
// debounced, no repaint pending, and an idle tick that found nothing to do.
// Deferred work after an action returns is where large plans stall, so no
// figure stops earlier.
//
// What a planner waits for is the window's own thread: the figures are the
// main thread's processor time until idle (the debounce timers' waits leave the
// window free, and a busy machine does not stretch them), their floors too. The
// start and its floor count every thread of the program instead: the file is
// read on a thread of its own while the window waits for it.
// Saving is waited for whole, writing included: its figure is wall time.
//
// Plans of 1,000, 10,000 and 100,000 tasks, each with a tenth as many absent
// rows and a hundredth as many positions, as zeltrano_generate writes them.
// The plan of 1,000,000 tasks is opened only in a run of its own:
//   ZELTRANO_BENCH_MILLION=1 bench/run program memory
#include "app/program/Program.h"
#include "bench/BenchSupport.h"
#include "bench/WindowIdle.h"
#include "bench/generator/DocumentGenerator.h"
#include "components/gui/GTHeader.h"
#include "components/gui/GridTreeColumns.h"
#include "components/gui/StringGridTree.h"
#include "document/DocumentTable.h"
#include "document/commands/DocumentCommands.h"
#include "document/program/MessageDialog.h"
#include "mainwindow/Editor.h"
#include "mainwindow/EditorScrollBox.h"
#include "mainwindow/FilterCommands.h"
#include "mainwindow/MainApplication.h"
#include "mainwindow/MainFormProbe.h"
#include "platform/AtomicFile.h"
#include "timechart/BarPainter.h"
#include "timechart/ScrollBarBox.h"
#include "timechart/TimeChart.h"

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontMetrics>
#include <QLineEdit>
#include <QScrollBar>
#include <QSet>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <ctime>
#include <map>
#include <memory>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kSmall = 1000;
constexpr int kMedium = 10000;
constexpr int kLarge = 100000;
constexpr int kMillion = 1000000;

bool MillionAsked()
{
    return qEnvironmentVariableIntValue("ZELTRANO_BENCH_MILLION") != 0;
}

class TAnswerCancel final : public IMessageDialogs {
public:
    int MessageDlgPosHelp(
        const QString &Msg, TMsgDlgType, TMsgDlgButtons Buttons, int, int, int, const QString &) override
    {
        std::fprintf(stderr, "question: %s\n", qPrintable(Msg));
        TMsgDlgBtn escape = mbCancel;
        return EscapeButtonOf(Buttons, escape) ? ModalResultOf(escape) : mrCancel;
    }
};

TAnswerCancel &Answers()
{
    static TAnswerCancel answers;
    return answers;
}

QTemporaryDir &Folder()
{
    static QTemporaryDir folder;
    return folder;
}

QString PlanPath(int tasks)
{
    return Folder().filePath(QStringLiteral("Plan%1.kez").arg(tasks));
}

// The plans are written by a child before the application exists, so that
// nothing the generator held stays in this process.
bool WritePlans(const std::vector<int> &sizes)
{
    const pid_t child = fork();
    if (child == 0) {
        for (const int tasks : sizes) {
            QString error;
            const GeneratorOptions options = GeneratorOptions::Plan(tasks, tasks / 10, tasks / 100);
            if (!WriteGeneratedDocument(PlanPath(tasks), options, false, &error)) {
                std::fprintf(stderr, "program_bench: %s\n", qPrintable(error));
                _exit(1);
            }
        }
        _exit(0);
    }
    int status = 0;
    return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The processor time of the calling (the window's) thread in seconds.
double ThreadSeconds()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// The processor time of every thread of the program in seconds.
double ProcessSeconds()
{
    timespec now {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// The window's work of `action` until idle: processor time, or wall time.
template <typename Action> double BusySeconds(TMainForm &window, Action &&action)
{
    const double start = ThreadSeconds();
    action();
    bench::UntilIdle(window);
    return ThreadSeconds() - start;
}

template <typename Action> double WallSeconds(TMainForm &window, Action &&action)
{
    QElapsedTimer clock;
    clock.start();
    action();
    bench::UntilIdle(window);
    return double(clock.nsecsElapsed()) / 1e9;
}

// The program started with a plan, its window shown at a planner's size. One at
// a time: each stands for a whole running program.
struct Session {
    int tasks = 0;
    std::unique_ptr<TProgram> program;

    explicit Session(int count)
        : tasks(count)
        , program(std::make_unique<TProgram>(&Answers()))
    {
        program->Start({ PlanPath(count) });
        Window().resize(1280, 800);
        bench::UntilIdle(Window());
    }
    TMainForm &Window() const { return program->MainForm(); }
    TStringGridTree &Table() const { return Probe(Window()).Tree(tbTable); }
    Document &Doc() const { return Probe(Window()).Doc(); }

    // The editor's Length field of the top row, once the click on it is idle.
    QLineEdit *TopRowLengthField()
    {
        ClickRow(0);
        bench::UntilIdle(Window());
        const int column = Doc().GetConnection(tbTable, cnLength);
        return Probe(Window()).Editor().EditorScrollBox().findChild<QLineEdit *>(
            QStringLiteral("__edit%1").arg(column));
    }

    // A click on a row of the task table that the table shows (0: the top one).
    void ClickRow(int shown)
    {
        TStringGridTree &tree = Table();
        const int height = int(tree.DefaultNodeHeight());
        QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, QPoint(40, shown * height + height / 2));
    }
    // The first and the last row the task table shows.
    TNodeData *FirstRow() const
    {
        TBaseGridTree &tree = *Table().Tree();
        TGridNode *node = tree.GetFirstVisible();
        return node ? tree.GetNodeData<TNodeData>(node) : nullptr;
    }
    TNodeData *LastRow() const
    {
        TBaseGridTree &tree = *Table().Tree();
        TGridNode *node = tree.GetLastVisible();
        return node ? tree.GetNodeData<TNodeData>(node) : nullptr;
    }
    // A click into the middle of a column's caption in the task table's header.
    void ClickHeader(int column)
    {
        TStringGridTree &tree = Table();
        int left = 0, right = 0;
        tree.Header().Columns().GetColumnBounds(column, left, right);
        QWidget &header = tree.HeaderWidget();
        QTest::mouseClick(&header, Qt::LeftButton, {}, QPoint((left + right) / 2, header.height() / 2));
    }
};

std::unique_ptr<Session> &CurrentSession()
{
    static std::unique_ptr<Session> session;
    return session;
}

Session &SessionFor(int tasks)
{
    std::unique_ptr<Session> &session = CurrentSession();
    if (!session || session->tasks != tasks) {
        session.reset();
        session = std::make_unique<Session>(tasks);
    }
    return *session;
}

// A new window of the plan, as opened: for the actions that walk every row in
// the table's order, which an earlier benchmark's sort would otherwise have made
// a walk all over memory (twice as long as in the order opened).
Session &FreshSessionFor(int tasks)
{
    CurrentSession().reset();
    return SessionFor(tasks);
}

// ---------------------------------------------------------------- start

// The longest time the window's event loop did not turn while it lives: a timer
// due every few milliseconds notes the gaps between its turns.
class TLongestStall {
public:
    TLongestStall()
    {
        QObject::connect(&FTimer, &QTimer::timeout, [this] { Note(); });
        FClock.start();
        FTimer.start(2);
    }
    // The gaps count from now on.
    void Restart()
    {
        FLast = FClock.elapsed();
        FLongest = 0;
    }
    // In milliseconds, up to now.
    qint64 Longest()
    {
        Note();
        return FLongest;
    }

private:
    void Note()
    {
        const qint64 now = FClock.elapsed();
        FLongest = std::max(FLongest, now - FLast);
        FLast = now;
    }

    QElapsedTimer FClock;
    QTimer FTimer;
    qint64 FLast = 0;
    qint64 FLongest = 0;
};

// The longest gap while a plan opens in the window: counted from the main
// window's showing (the open starts right after it), so that building the
// window does not count.
class TOpenStall : public QObject {
public:
    TOpenStall() { qApp->installEventFilter(this); }
    ~TOpenStall() override { qApp->removeEventFilter(this); }
    qint64 Longest() { return FStall.Longest(); }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && qobject_cast<TMainForm *>(watched))
            FStall.Restart();
        return false;
    }

private:
    TLongestStall FStall;
};

void BM_StartUntilIdle(benchmark::State &state)
{
    CurrentSession().reset();
    const QString plan = PlanPath(int(state.range(0)));
    qint64 longestGap = 0;
    for (auto _ : state) {
        const double start = ProcessSeconds();
        TOpenStall stall;
        TProgram program(&Answers());
        program.Start({ plan });
        program.MainForm().resize(1280, 800);
        bench::UntilIdle(program.MainForm());
        state.SetIterationTime(ProcessSeconds() - start);
        longestGap = std::max(longestGap, stall.Longest());
        if (Probe(program.MainForm()).Doc().GetTable(tbTable).RowCount() != int(state.range(0)))
            state.SkipWithError("the window did not show the plan's tasks");
    }
    // The longest the window's event loop stood still from its showing until idle.
    state.counters["longest_gap_ms"] = double(longestGap);
}

// The floor of the start: the document opened with no window, and one paint of
// the whole window that shows it.
void BM_OpenAlonePlusOnePaint(benchmark::State &state)
{
    Session &session = SessionFor(int(state.range(0)));
    const QString plan = PlanPath(int(state.range(0)));
    for (auto _ : state) {
        double spent = 0;
        {
            const double start = ProcessSeconds();
            Document doc;
            TDocumentCommands commands(doc);
            commands.Open(plan);
            spent = ProcessSeconds() - start;
            if (doc.GetTable(tbTable).RowCount() != int(state.range(0)))
                state.SkipWithError("the plan did not open");
            commands.ActionNewExecute();
        }
        QCoreApplication::processEvents();
        const double start = ThreadSeconds();
        session.Window().repaint();
        state.SetIterationTime(spent + ThreadSeconds() - start);
    }
}

// ---------------------------------------------------------------- the editor

// One digit typed into the Length field of the editor for the selected task,
// replacing the field's text (the field's text is selected beforehand).
void BM_LengthKeystroke(benchmark::State &state)
{
    Session &session = SessionFor(int(state.range(0)));
    TMainForm &window = session.Window();
    QLineEdit *field = session.TopRowLengthField();
    if (!field) {
        state.SkipWithError("the editor shows no Length field");
        return;
    }
    field->setFocus();
    bool three = true;
    for (auto _ : state) {
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        bench::UntilIdle(window);
        const Qt::Key digit = three ? Qt::Key_3 : Qt::Key_4;
        three = !three;
        state.SetIterationTime(BusySeconds(window, [&] { QTest::keyClick(field, digit); }));
        if (field->text() != QString(QChar(digit)))
            state.SkipWithError("the Length field did not take the digit");
    }
}

// ---------------------------------------------------------------- selection

void BM_SelectAll(benchmark::State &state)
{
    Session &session = SessionFor(int(state.range(0)));
    TMainForm &window = session.Window();
    for (auto _ : state) {
        session.ClickRow(1);
        bench::UntilIdle(window);
        session.Table().setFocus();
        state.SetIterationTime(
            BusySeconds(window, [&] { QTest::keyClick(&session.Table(), Qt::Key_A, Qt::ControlModifier); }));
        const DocumentTable &rows = session.Doc().GetTable(tbTable);
        if (rows.SelectedCount() != rows.VisibleRowCount())
            state.SkipWithError("Ctrl+A did not select every row");
    }
}

// A click on a row of the task table, sorted by its start as a planner's table
// often is, then on the row below, and back.
void BM_RowClick(benchmark::State &state)
{
    Session &session = SessionFor(int(state.range(0)));
    TMainForm &window = session.Window();
    session.ClickHeader(session.Doc().GetConnection(tbTable, cnStart));
    bench::UntilIdle(window);
    session.ClickRow(0);
    bench::UntilIdle(window);
    TBaseGridTree &tree = *session.Table().Tree();
    int shown = 1;
    for (auto _ : state) {
        TGridNode *before = tree.FocusedNode();
        state.SetIterationTime(BusySeconds(window, [&] { session.ClickRow(shown); }));
        if (tree.FocusedNode() == before || tree.SelectedCount() != 1 || !tree.Selected(tree.FocusedNode()))
            state.SkipWithError("the click did not select the row alone");
        shown = 1 - shown;
    }
}

// One step of the selection flash over every row selected, with its repaint.
void BM_FlashTickAllSelected(benchmark::State &state)
{
    Session &session = SessionFor(int(state.range(0)));
    TMainForm &window = session.Window();
    TTimeChart &chart = Probe(window).Chart();
    session.Table().setFocus();
    QTest::keyClick(&session.Table(), Qt::Key_A, Qt::ControlModifier);
    bench::UntilIdle(window);
    for (auto _ : state) {
        chart.FlashSelectedTimer().stop();
        const int step = chart.BarPainter().FlashStep();
        const double start = ThreadSeconds();
        chart.FlashSelectedTimerTimer();
        QCoreApplication::processEvents();
        state.SetIterationTime(ThreadSeconds() - start);
        if (chart.BarPainter().FlashStep() == step)
            state.SkipWithError("the flash did not move on");
    }
    chart.FlashSelectedTimer().stop();
    session.ClickRow(0);
    bench::UntilIdle(window);
}

// ---------------------------------------------------------------- moving around

// A click on the chart's right (then left) scroll arrow: one day on.
void BM_ScrollOneDay(benchmark::State &state)
{
    Session &session = SessionFor(int(state.range(0)));
    TMainForm &window = session.Window();
    QScrollBar &bar = Probe(window).Chart().TimeChartBox().Bar(sbHorizontal);
    // Where the style puts the arrows.
    QStyleOptionSlider option;
    option.initFrom(&bar);
    option.orientation = Qt::Horizontal;
    option.state |= QStyle::State_Horizontal;
    auto arrow = [&](QStyle::SubControl part) {
        return bar.style()->subControlRect(QStyle::CC_ScrollBar, &option, part, &bar).center();
    };
    const QPoint add = arrow(QStyle::SC_ScrollBarAddLine), sub = arrow(QStyle::SC_ScrollBarSubLine);
    bool right = true;
    for (auto _ : state) {
        const QPoint at = right ? add : sub;
        const int before = bar.value();
        state.SetIterationTime(BusySeconds(window, [&] { QTest::mouseClick(&bar, Qt::LeftButton, {}, at); }));
        if (bar.value() != before + (right ? 1 : -1))
            state.SkipWithError("the chart did not move by a day");
        right = !right;
    }
}

void BM_SortByStart(benchmark::State &state)
{
    Session &session = SessionFor(int(state.range(0)));
    TMainForm &window = session.Window();
    const int column = session.Doc().GetConnection(tbTable, cnStart);
    for (auto _ : state) {
        const TNodeData *before = session.FirstRow();
        state.SetIterationTime(BusySeconds(window, [&] { session.ClickHeader(column); }));
        // Each click sorts the other way round: another row comes first.
        const TNodeData *first = session.FirstRow(), *last = session.LastRow();
        if (first == before || !first || !last || first->nodeStart == last->nodeStart)
            state.SkipWithError("the header click did not sort the table");
    }
}

// A click on the other table's tab and back: each switch repaints the chart
// (the selected look and the stacking follow the table shown).
void BM_SwitchTable(benchmark::State &state)
{
    Session &session = SessionFor(int(state.range(0)));
    TMainForm &window = session.Window();
    QTabBar &tabs = *Probe(window).PageControl1().tabBar();
    for (auto _ : state) {
        const int other = 1 - tabs.currentIndex();
        state.SetIterationTime(BusySeconds(
            window, [&] { QTest::mouseClick(&tabs, Qt::LeftButton, {}, tabs.tabRect(other).center()); }));
        if (tabs.currentIndex() != other)
            state.SkipWithError("the click did not switch the table");
    }
}

// "Clear all filters" on a table filtered down to part of its rows: every row
// refiltered and the chart repainted once.
void BM_ClearFilters(benchmark::State &state)
{
    Session &session = FreshSessionFor(int(state.range(0)));
    TMainForm &window = session.Window();
    Document &doc = session.Doc();
    const int column = doc.GetConnection(tbTable, cnTextCenterMiddle);
    THeaderData *header = column >= 0 ? doc.GetHeader(tbTable, column) : nullptr;
    if (!header || Probe(window).GetActiveTable() != tbTable) {
        state.SkipWithError("no order column or the task table is not shown");
        return;
    }
    const DocumentTable &rows = doc.GetTable(tbTable);
    for (auto _ : state) {
        // The orders whose text holds "Order 7" (a pattern as the column's popup takes it).
        header->Filter = TFilterParams { ftText, fsText, QStringLiteral("*Order 7*"), QString() };
        Probe(window).Filters().FilterData(tbTable);
        bench::UntilIdle(window);
        const int shown = rows.VisibleRowCount();
        state.SetIterationTime(
            BusySeconds(window, [&] { Probe(window).Menus().ActionClearAllFilters->trigger(); }));
        if (shown == 0 || shown >= rows.RowCount())
            state.SkipWithError("the filter did not hide part of the rows");
        else if (header->IsFiltered() || rows.VisibleRowCount() != rows.RowCount())
            state.SkipWithError("clearing the filters did not show every row again");
    }
}

// "Hide empty resources" on and off: the shown rows, the overview's height and
// the chart follow.
void BM_HideEmptyRows(benchmark::State &state)
{
    Session &session = FreshSessionFor(int(state.range(0)));
    TMainForm &window = session.Window();
    QAction &hide = *Probe(window).Menus().leereArbeitspltzeausblenden1;
    for (auto _ : state) {
        const bool hidden = hide.isChecked();
        state.SetIterationTime(BusySeconds(window, [&] { hide.trigger(); }));
        if (hide.isChecked() == hidden)
            state.SkipWithError("the command did not switch hiding the empty resources");
    }
}

// "Hide empty multi-row resources" on and off (empty resources shown): the
// empty extra rows of resources planned on several rows go and come back.
void BM_HideEmptyMultiRows(benchmark::State &state)
{
    Session &session = FreshSessionFor(int(state.range(0)));
    TMainForm &window = session.Window();
    if (Probe(window).Menus().leereArbeitspltzeausblenden1->isChecked()) {
        Probe(window).Menus().leereArbeitspltzeausblenden1->trigger();
        bench::UntilIdle(window);
    }
    QAction &hide = *Probe(window).Menus().leeremultiArbeitspltzeausblenden1;
    for (auto _ : state) {
        const bool hidden = hide.isChecked();
        const int rows = session.Doc().GetRowCount();
        state.SetIterationTime(BusySeconds(window, [&] { hide.trigger(); }));
        if (hide.isChecked() == hidden || session.Doc().GetRowCount() == rows)
            state.SkipWithError("the command did not hide or show empty extra rows");
    }
}

// The window made smaller and larger: tables, bars and chart laid out anew.
void BM_ResizeWindow(benchmark::State &state)
{
    Session &session = SessionFor(int(state.range(0)));
    TMainForm &window = session.Window();
    bool small = true;
    for (auto _ : state) {
        const QSize size = small ? QSize(1000, 640) : QSize(1280, 800);
        small = !small;
        state.SetIterationTime(BusySeconds(window, [&] { window.resize(size); }));
        if (window.size() != size)
            state.SkipWithError("the window kept its size");
    }
}

// "Fit columns" of the task table with every row measured, not only those on
// screen: each column to its widest cell.
void BM_AutoFitEveryRow(benchmark::State &state)
{
    Session &session = SessionFor(int(state.range(0)));
    TMainForm &window = session.Window();
    TGTHeader &header = session.Table().Header();
    TGridTreeColumns &columns = header.Columns();
    for (auto _ : state) {
        // Narrowed first, so that a fit that measured nothing shows.
        for (int column = 0; column < columns.Count(); ++column)
            columns[column].SetWidth(8);
        bench::UntilIdle(window);
        state.SetIterationTime(
            BusySeconds(window, [&] { header.AutoFitColumns(false, smaNoColumn, 0, -1); }));
        int widened = 0;
        for (int column = 0; column < columns.Count(); ++column)
            widened += columns[column].Width() > 8 ? 1 : 0;
        if (widened == 0)
            state.SkipWithError("the fit widened no column");
    }
}

// The floor of the fit: each distinct text of every column of the task table
// measured once in the table's font (gathered beforehand), as a fit that measured
// nothing twice would.
void BM_MeasureDistinctTexts(benchmark::State &state)
{
    Session &session = SessionFor(int(state.range(0)));
    const Document &doc = session.Doc();
    QSet<QString> distinct;
    const DocumentTable &rows = doc.GetTable(tbTable);
    for (TNodeData *row = rows.First(); row; row = rows.Next(row))
        for (int column = 0; column < doc.GetTableColCount(tbTable); ++column)
            distinct.insert(doc.GetData(row, column));
    const QFont font = session.Table().font();
    std::int64_t total = 0;
    for (auto _ : state) {
        const double start = ThreadSeconds();
        // A new metrics object each round: no width is remembered from the last.
        const QFontMetrics metrics(font, session.Table().viewport());
        for (const QString &text : distinct)
            total += metrics.horizontalAdvance(text);
        state.SetIterationTime(ThreadSeconds() - start);
    }
    state.counters["texts"] = double(distinct.size());
    if (distinct.size() < rows.RowCount() || total <= 0)
        state.SkipWithError("the table holds fewer distinct texts than rows");
}

void BM_CtrlEnd(benchmark::State &state)
{
    Session &session = SessionFor(int(state.range(0)));
    TMainForm &window = session.Window();
    TStringGridTree &table = session.Table();
    for (auto _ : state) {
        session.ClickRow(0);
        QTest::keyClick(&table, Qt::Key_Home, Qt::ControlModifier);
        bench::UntilIdle(window);
        state.SetIterationTime(
            BusySeconds(window, [&] { QTest::keyClick(&table, Qt::Key_End, Qt::ControlModifier); }));
        const QScrollBar &bar = *table.verticalScrollBar();
        if (bar.maximum() <= 0 || bar.value() != bar.maximum())
            state.SkipWithError("Ctrl+End did not show the end of the table");
    }
}

// ---------------------------------------------------------------- saving

// The numbered working folders in the plan's sharing folder (".kez/<name>/<n>",
// one made by each save): the highest number, -1 with none.
int LastSavedState(const QString &plan)
{
    const QFileInfo file(plan);
    const QDir sharing(file.dir().filePath(QStringLiteral(".kez/") + file.fileName()));
    int last = -1;
    const QStringList names = sharing.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QString &name : names) {
        bool number = false;
        const int value = name.toInt(&number);
        if (number)
            last = std::max(last, value);
    }
    return last;
}

// A value of this process's /proc status ("VmRSS", "VmHWM") in kB; -1 if unknown.
double StatusKilobytes(const char *key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray prefix = QByteArray(key) + ':';
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').value(0).toDouble();
    }
    return -1;
}

// The peak resident size counts from now on (Linux: "5" to clear_refs).
bool ResetPeakMemory()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    return refs.open(QIODevice::WriteOnly) && refs.write("5") == 1;
}

// Ctrl+S after one edit (a Length digit typed for the selected task): an
// unchanged plan has nothing to save and the command is disabled. Beside the
// time, the longest the window's event loop stood still during the save, and
// the peak resident size during it over the resident size before it.
void BM_SaveCommand(benchmark::State &state)
{
    Session &session = SessionFor(int(state.range(0)));
    TMainForm &window = session.Window();
    QLineEdit *field = session.TopRowLengthField();
    if (!field) {
        state.SkipWithError("the editor shows no Length field");
        return;
    }
    qint64 longestStall = 0;
    double peakOverResident = 0;
    for (auto _ : state) {
        // A digit other than the one there: the same one would change nothing.
        const Qt::Key digit = field->text() == QStringLiteral("3") ? Qt::Key_4 : Qt::Key_3;
        field->setFocus();
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(field, digit);
        bench::UntilIdle(window);
        const int before = LastSavedState(PlanPath(session.tasks));
        const double resident = StatusKilobytes("VmRSS");
        const bool peakReset = ResetPeakMemory();
        TLongestStall stall;
        // No tick runs while the save does: one counted from the key on came after
        // the save's end, and the window is idle once one found nothing to do.
        QElapsedTimer clock;
        clock.start();
        const qint64 ticks = Probe(window).IdleTicks();
        QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier);
        bench::UntilIdleSince(window, ticks);
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
        longestStall = std::max(longestStall, stall.Longest());
        if (peakReset && resident > 0)
            peakOverResident = std::max(peakOverResident, StatusKilobytes("VmHWM") / resident);
        if (LastSavedState(PlanPath(session.tasks)) <= before)
            state.SkipWithError("Ctrl+S saved no new state");
    }
    state.counters["longest_stall_ms"] = double(longestStall);
    if (peakOverResident > 0)
        state.counters["peak_over_resident"] = peakOverResident;
}

// The floor: the document's bytes written beside it the safe way.
void BM_DocumentSaveAlone(benchmark::State &state)
{
    Session &session = SessionFor(int(state.range(0)));
    const QString copy = Folder().filePath(QStringLiteral("Copy.kez"));
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        const QByteArray bytes = session.Doc().FileBytes();
        if (!platform::writeFileAtomically(copy, bytes))
            state.SkipWithError("the copy could not be written");
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
        if (bytes.isEmpty() || QFileInfo(copy).size() != bytes.size())
            state.SkipWithError("the copy does not hold the document");
    }
}

// ---------------------------------------------------------------- a huge cell

// The top row of the task table painted with a cell of `length` characters in
// its Comment column.
void PaintRowWithCell(benchmark::State &state, qsizetype length)
{
    Session &session = SessionFor(int(state.range(0)));
    TMainForm &window = session.Window();
    TStringGridTree &table = session.Table();
    // The same row in the same state whatever ran before: the table at its top,
    // then the top row clicked (selected and focused; a click before Ctrl+Home
    // would select whichever row an earlier benchmark left at the top).
    table.setFocus();
    QTest::keyClick(&table, Qt::Key_Home, Qt::ControlModifier);
    bench::UntilIdle(window);
    session.ClickRow(0);
    bench::UntilIdle(window);
    Document &doc = session.Doc();
    TNodeData *row = table.Tree()->GetNodeData<TNodeData>(table.Tree()->GetFirst());
    const int column = doc.GetHeaderIndex(tbTable, QStringLiteral("Comment"));
    if (!row || column < 0) {
        state.SkipWithError("no row or no Comment column");
        return;
    }
    const QString before = doc.GetData(row, column);
    doc.DoSetData(row, column, QString(length, QLatin1Char('x')), false);
    bench::UntilIdle(window);
    const int height = int(table.DefaultNodeHeight());
    // The cell must be in what is painted: the top row, its column within the
    // viewport's width.
    int left = 0, right = 0;
    table.Header().Columns().GetColumnBounds(column, left, right);
    if (table.TopNode() != row->VNode || left + table.OffsetX() >= table.viewport()->width()
        || right + table.OffsetX() <= 0) {
        doc.DoSetData(row, column, before, false);
        state.SkipWithError("the cell is not on screen");
        return;
    }
    if (!table.Tree()->Selected(row->VNode) || table.Tree()->FocusedNode() != row->VNode) {
        doc.DoSetData(row, column, before, false);
        state.SkipWithError("the top row is not the selected and focused one");
        return;
    }
    // One paint untimed: what the first paint of a new text sets up (its
    // layout, glyphs) is no part of a row's paint.
    table.viewport()->repaint(0, 0, table.viewport()->width(), height);
    for (auto _ : state) {
        const double start = ThreadSeconds();
        table.viewport()->repaint(0, 0, table.viewport()->width(), height);
        state.SetIterationTime(ThreadSeconds() - start);
    }
    doc.DoSetData(row, column, before, false);
    bench::UntilIdle(window);
}

void BM_PaintRowHugeCell(benchmark::State &state)
{
    PaintRowWithCell(state, 10 * 1024 * 1024);
}

void BM_PaintRowShortCell(benchmark::State &state)
{
    PaintRowWithCell(state, 20);
}

} // namespace

// The starts first, while no other program runs in this process.
BENCHMARK(BM_StartUntilIdle)
    ->Name("BM_StartUntilIdle/10k")
    ->Arg(kMedium)
    ->UseManualTime()
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);
// The divisor of the million-task start: repeated so that one slow run does not
// move the figure much.
BENCHMARK(BM_StartUntilIdle)
    ->Name("BM_StartUntilIdle/100k")
    ->Arg(kLarge)
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LengthKeystroke)
    ->Name("BM_LengthKeystroke/1k")
    ->Arg(kSmall)
    ->UseManualTime()
    ->Iterations(10)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RowClick)
    ->Name("BM_RowClick/1k")
    ->Arg(kSmall)
    ->UseManualTime()
    ->Iterations(10)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenAlonePlusOnePaint)
    ->Name("BM_OpenAlonePlusOnePaint/10k")
    ->Arg(kMedium)
    ->UseManualTime()
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenAlonePlusOnePaint)
    ->Name("BM_OpenAlonePlusOnePaint/100k")
    ->Arg(kLarge)
    ->UseManualTime()
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LengthKeystroke)
    ->Name("BM_LengthKeystroke/100k")
    ->Arg(kLarge)
    ->UseManualTime()
    ->Iterations(10)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RowClick)
    ->Name("BM_RowClick/100k")
    ->Arg(kLarge)
    ->UseManualTime()
    ->Iterations(10)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SelectAll)
    ->Name("BM_SelectAll/100k")
    ->Arg(kLarge)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FlashTickAllSelected)
    ->Name("BM_FlashTickAllSelected/100k")
    ->Arg(kLarge)
    ->UseManualTime()
    ->Iterations(6)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScrollOneDay)
    ->Name("BM_ScrollOneDay/100k")
    ->Arg(kLarge)
    ->UseManualTime()
    ->Iterations(10)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortByStart)
    ->Name("BM_SortByStart/100k")
    ->Arg(kLarge)
    ->UseManualTime()
    ->Iterations(4)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SwitchTable)
    ->Name("BM_SwitchTable/100k")
    ->Arg(kLarge)
    ->UseManualTime()
    ->Iterations(4)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ClearFilters)
    ->Name("BM_ClearFilters/100k")
    ->Arg(kLarge)
    ->UseManualTime()
    ->Iterations(4)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HideEmptyRows)
    ->Name("BM_HideEmptyRows/100k")
    ->Arg(kLarge)
    ->UseManualTime()
    ->Iterations(4)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HideEmptyMultiRows)
    ->Name("BM_HideEmptyMultiRows/100k")
    ->Arg(kLarge)
    ->UseManualTime()
    ->Iterations(4)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ResizeWindow)
    ->Name("BM_ResizeWindow/100k")
    ->Arg(kLarge)
    ->UseManualTime()
    ->Iterations(4)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AutoFitEveryRow)
    ->Name("BM_AutoFitEveryRow/100k")
    ->Arg(kLarge)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MeasureDistinctTexts)
    ->Name("BM_MeasureDistinctTexts/100k")
    ->Arg(kLarge)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CtrlEnd)
    ->Name("BM_CtrlEnd/100k")
    ->Arg(kLarge)
    ->UseManualTime()
    ->Iterations(4)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveCommand)
    ->Name("BM_SaveCommand/100k")
    ->Arg(kLarge)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DocumentSaveAlone)
    ->Name("BM_DocumentSaveAlone/100k")
    ->Arg(kLarge)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintRowShortCell)
    ->Name("BM_PaintRowShortCell/100k")
    ->Arg(kLarge)
    ->UseManualTime()
    ->Iterations(100)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintRowHugeCell)
    ->Name("BM_PaintRowHugeCell/100k")
    ->Arg(kLarge)
    ->UseManualTime()
    ->Iterations(100)
    ->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_SCALE_FACTOR", "1");
    qputenv("ZELTRANO_UPDATE_URL", QByteArray());
    qputenv("XDG_DATA_HOME", Folder().filePath(QStringLiteral("appdata")).toLocal8Bit());
    std::vector<int> sizes { kSmall, kMedium, kLarge };
    if (MillionAsked()) {
        sizes.push_back(kMillion);
        // One window of the large plan for all but the start, opened once.
        const auto million = [](const char *name, auto *function, int iterations) {
            benchmark::RegisterBenchmark(name, function)
                ->Arg(kMillion)
                ->UseManualTime()
                ->Iterations(iterations)
                ->Unit(benchmark::kMillisecond);
        };
        million("BM_StartUntilIdle/1M", BM_StartUntilIdle, 1);
        million("BM_RowClick/1M", BM_RowClick, 6);
        million("BM_SelectAll/1M", BM_SelectAll, 3);
        million("BM_SortByStart/1M", BM_SortByStart, 2);
        million("BM_SaveCommand/1M", BM_SaveCommand, 1);
    }
    if (!WritePlans(sizes)) {
        std::printf("FIGURE program.plans_written missing - - -\n");
        return 1;
    }
    TMainApplication app(argc, argv);
    QApplication::setFont(QFont(QStringLiteral("Liberation Sans"), 9));
    std::vector<bench::Figure> figures {
        { "program.start_until_idle_10k/open_alone_plus_paint", "BM_StartUntilIdle/10k",
            "BM_OpenAlonePlusOnePaint/10k", "<=", 1.5 },
        { "program.start_until_idle_100k/open_alone_plus_paint", "BM_StartUntilIdle/100k",
            "BM_OpenAlonePlusOnePaint/100k", "<=", 1.5 },
        { "program.open_100k_longest_gap_ms", "BM_StartUntilIdle/100k/longest_gap_ms", "", "<=", 100 },
        { "program.length_keystroke_100k_ms", "BM_LengthKeystroke/100k", "", "<=", 50, 1000 },
        { "program.length_keystroke_100k/1k", "BM_LengthKeystroke/100k", "BM_LengthKeystroke/1k", "<=", 2 },
        { "program.row_click_100k_ms", "BM_RowClick/100k", "", "<=", 20, 1000 },
        { "program.row_click_100k/1k", "BM_RowClick/100k", "BM_RowClick/1k", "<=", 2 },
        { "program.select_all_100k_ms", "BM_SelectAll/100k", "", "<=", 100, 1000 },
        { "program.flash_tick_100k_ms", "BM_FlashTickAllSelected/100k", "", "<=", 16, 1000 },
        { "program.scroll_one_day_100k_ms", "BM_ScrollOneDay/100k", "", "<=", 50, 1000 },
        { "program.sort_by_start_100k_ms", "BM_SortByStart/100k", "", "<=", 50, 1000 },
        { "program.ctrl_end_100k_ms", "BM_CtrlEnd/100k", "", "<=", 50, 1000 },
        { "program.hide_empty_multi_rows_100k_ms", "BM_HideEmptyMultiRows/100k", "", "<=", 100, 1000 },
        { "program.auto_fit_every_row_100k_ms", "BM_AutoFitEveryRow/100k", "", "<=", 200, 1000 },
        // Shaping each distinct text (an order number a row) is most of the fit.
        { "program.auto_fit_every_row_100k/distinct_texts_measured", "BM_AutoFitEveryRow/100k",
            "BM_MeasureDistinctTexts/100k", "", 0 },
        { "program.save_100k/document_save_alone", "BM_SaveCommand/100k", "BM_DocumentSaveAlone/100k",
            "<=", 1.5 },
        { "program.save_100k_longest_stall_ms", "BM_SaveCommand/100k/longest_stall_ms", "", "<=", 100 },
        { "program.paint_row_10mb_cell/short_cell", "BM_PaintRowHugeCell/100k", "BM_PaintRowShortCell/100k",
            "<=", 2 },
    };
    if (MillionAsked()) {
        figures.push_back({ "program.start_until_idle_1m/100k", "BM_StartUntilIdle/1M",
            "BM_StartUntilIdle/100k", "<=", 10 });
        figures.push_back(
            { "program.open_1m_longest_gap_ms", "BM_StartUntilIdle/1M/longest_gap_ms", "", "<=", 100 });
        figures.push_back({ "program.row_click_1m_ms", "BM_RowClick/1M", "", "<=", 20, 1000 });
        figures.push_back({ "program.row_click_1m/1k", "BM_RowClick/1M", "BM_RowClick/1k", "<=", 2 });
        figures.push_back({ "program.select_all_1m_ms", "BM_SelectAll/1M", "", "<=", 300, 1000 });
        figures.push_back({ "program.sort_by_start_1m_ms", "BM_SortByStart/1M", "", "<=", 300, 1000 });
        figures.push_back(
            { "program.save_1m_longest_stall_ms", "BM_SaveCommand/1M/longest_stall_ms", "", "<=", 100 });
        figures.push_back(
            { "program.save_1m_peak_over_resident", "BM_SaveCommand/1M/peak_over_resident", "", "<=", 1.5 });
    }
    const int result = bench::runWithFigures(argc, argv, figures);
    CurrentSession().reset();
    return result;
}
