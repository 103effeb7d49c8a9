// A task list of 100k rows x 10 columns (about 2,200 pages) recorded by PrintStringGrid
// beside its floor: a bare QPainter loop drawing the same texts, a row pitch apart,
// into one QPicture a page. The heap each holds once recorded is compared too.
#include "bench/BenchSupport.h"
#include "bench/PrintBenchSupport.h"
#include "dialogs/print/PrintJob.h"
#include "dialogs/print/QtPrinterDevice.h"
#include "dialogs/print/StringGrid.h"
#include "platform/gui/Fonts.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPainter>
#include <QPicture>
#include <QPrinter>
#include <deque>
#include <malloc.h>
#include <memory>

namespace {

constexpr int Rows = 100000;
constexpr int Columns = 10;

bench::TPdfPrinter &Setup()
{
    static bench::TPdfPrinter setup;
    return setup;
}

// Texts as a task table shows them: positions, dates, lengths, states, comments.
const TStringGrid &Grid()
{
    static const TStringGrid grid = [] {
        const char *positions[] = { "Machine 1", "Machine 2", "Assembly", "Paint shop", "Müller", "Weiß" };
        const char *states[] = { "planned", "started", "done", "on hold" };
        TStringGrid g;
        g.SetColCount(Columns);
        g.SetRowCount(1);
        for (int c = 0; c < Columns; ++c)
            g.SetCell(c, 0, QStringLiteral("Column %1").arg(c));
        for (int r = 0; r < Rows; ++r) {
            const int day = r % 28 + 1, month = r % 12 + 1;
            g.AddRow({ QString::fromUtf8(positions[r % 6]),
                QStringLiteral("%1.%2.2024").arg(day, 2, 10, QChar('0')).arg(month, 2, 10, QChar('0')),
                QStringLiteral("%1.%2.2024")
                    .arg(day, 2, 10, QChar('0'))
                    .arg(month % 12 + 1, 2, 10, QChar('0')),
                QString::number(r % 20 + 1), QString::fromUtf8(states[r % 4]),
                QStringLiteral("Order %1").arg(r), QStringLiteral("Customer %1").arg(r % 977),
                QStringLiteral("%1 h").arg(r % 40), r % 2 ? QStringLiteral("Ja") : QStringLiteral("Nein"),
                QStringLiteral("Note %1").arg(r % 313) });
        }
        return g;
    }();
    return grid;
}

double HeapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return double(info.uordblks + info.hblkhd);
}

std::unique_ptr<TPrintJob> RecordList()
{
    auto job = std::make_unique<TPrintJob>(Setup().device);
    job->NewJob();
    job->NewPage();
    job->PrintStringGrid(Grid(), QString(), 0, 1, Rows, true);
    return job;
}

// The same texts into pictures without any layout: fixed columns, a row pitch of
// a line and a gap, as many rows a page as the list gets.
std::unique_ptr<std::deque<QPicture>> RecordBare()
{
    auto pages = std::make_unique<std::deque<QPicture>>();
    const QSize body(4358, 6417);
    QFont font(QStringLiteral("Arial"));
    SetFontPoints(font, 10, 600);
    const QFontMetrics metrics(font);
    const int h = metrics.height(), pitch = h + h / 5, columnWidth = body.width() / Columns;
    const int perPage = (body.height() - 2 * pitch) / pitch;
    const TStringGrid &grid = Grid();
    QPainter painter;
    for (int row = 1; row <= Rows; ++row) {
        const int onPage = (row - 1) % perPage;
        if (onPage == 0) {
            if (painter.isActive())
                painter.end();
            painter.begin(&pages->emplace_back());
            painter.setFont(font);
        }
        const int baseline = (onPage + 2) * pitch + metrics.ascent();
        for (int c = 0; c < Columns; ++c)
            painter.drawText(c * columnWidth, baseline, grid.Cell(c, row));
    }
    painter.end();
    return pages;
}

void PrintStringGrid_100k(benchmark::State &state)
{
    Grid();
    for (auto _ : state) {
        std::unique_ptr<TPrintJob> job = RecordList();
        job->DonePrinting();
        state.PauseTiming();
        state.counters["pages"] = job->GetPageCount();
        job.reset();
        state.ResumeTiming();
    }
}

void BarePictures_100k(benchmark::State &state)
{
    Grid();
    for (auto _ : state) {
        auto pages = RecordBare();
        state.PauseTiming();
        state.counters["pages"] = double(pages->size());
        pages.reset();
        state.ResumeTiming();
    }
}

// Two rounds each: a round records 2,200 pages for seconds, and the figure lies
// far inside its goal.
BENCHMARK(PrintStringGrid_100k)->Unit(benchmark::kSecond)->Iterations(1)->Repetitions(2)->UseRealTime();
BENCHMARK(BarePictures_100k)->Unit(benchmark::kSecond)->Iterations(1)->Repetitions(2)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
    Grid();
    // The heap each holds once its pages are recorded.
    double ours = 0, bare = 0;
    {
        const double before = HeapInUse();
        std::unique_ptr<TPrintJob> job = RecordList();
        job->DonePrinting();
        ours = HeapInUse() - before;
    }
    {
        const double before = HeapInUse();
        auto pages = RecordBare();
        bare = HeapInUse() - before;
    }
    std::printf(
        "heap held: %.1f MB by the list's pages, %.1f MB by the bare pictures\n", ours / 1e6, bare / 1e6);
    return bench::runWithFigures(argc, argv,
        { { "printlist.record_100k/bare_pictures", "PrintStringGrid_100k", "BarePictures_100k", "<=", 3.0 },
            { "printlist.heap/bare_pictures", "heap_ratio", "", "<=", 1.5 } },
        [&](bench::FigureReporter &reporter) { reporter.Record("heap_ratio", bare > 0 ? ours / bare : 99); });
}
