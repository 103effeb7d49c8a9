// Showing page 1 of a long printout beside showing page 1 of a one-page printout: the
// preview's cost must not grow with the pages it does not show.
#include "bench/BenchSupport.h"
#include "bench/PrintBenchSupport.h"
#include "dialogs/print/PageView.h"
#include "dialogs/print/PreviewForm.h"
#include "dialogs/print/PrintPreviewDialog.h"
#include "dialogs/print/QtPrinterDevice.h"

#include <QApplication>
#include <QImage>
#include <QPageLayout>
#include <QPrinter>
#include <memory>

namespace {

constexpr int LongJobPages = 2200;
constexpr int RowsPerPage = 45;
constexpr int ColumnsPerRow = 10;

bench::TPdfPrinter &Setup()
{
    static bench::TPdfPrinter setup;
    return setup;
}

// A list-like job: rows of short cell texts under the standard kind of header and footer.
std::unique_ptr<TPrintPreviewDialog> RecordJob(int pages)
{
    auto preview = std::make_unique<TPrintPreviewDialog>(Setup().device);
    preview->NewJob();
    preview->NewPage();
    preview->AddHeader(QStringLiteral("Aufgabenliste"), 1, TPrintJob::AlignLeft);
    preview->AddHeader(QStringLiteral("Page $PAGE_NO$/$PAGE_COUNT$"), -1, TPrintJob::AlignCenter);
    const int line = preview->TextHeight() + preview->TextHeight() / 5;
    const int column = preview->PrintableSize(true, true).width() / ColumnsPerRow;
    for (int page = 1; page <= pages; ++page) {
        if (page > 1)
            preview->NewPage();
        for (int row = 0; row < RowsPerPage; ++row)
            for (int c = 0; c < ColumnsPerRow; ++c)
                preview->TextOut(c * column, row * line, TPrintJob::AlignLeft,
                    QStringLiteral("Zelle %1.%2").arg(page * RowsPerPage + row).arg(c));
    }
    preview->PrintHeaderAndFooter();
    return preview;
}

// What Preview does before the user sees the window: recording ends, the window takes
// the job, and page 1 is painted.
void ShowFirstPage(TPrintPreviewDialog &preview, QImage &screen)
{
    preview.DonePrinting();
    preview.Form()->ShowJob();
    preview.Form()->PaintBox1()->render(&screen);
}

void ShowPage1(benchmark::State &state, int pages)
{
    QImage screen(400, 400, QImage::Format_ARGB32);
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<TPrintPreviewDialog> preview = RecordJob(pages);
        state.ResumeTiming();
        ShowFirstPage(*preview, screen);
        state.PauseTiming();
        preview.reset();
        state.ResumeTiming();
    }
}

void ShowPage1_OnePageJob(benchmark::State &state)
{
    ShowPage1(state, 1);
}

void ShowPage1_LongJob(benchmark::State &state)
{
    ShowPage1(state, LongJobPages);
}

BENCHMARK(ShowPage1_OnePageJob)->Unit(benchmark::kMillisecond)->Iterations(40);
// Three rounds: recording the long job before each, untimed, takes seconds for
// a figure of milliseconds.
BENCHMARK(ShowPage1_LongJob)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return bench::runWithFigures(argc, argv,
        { { "printpreview.show_page1_long/one_page", "ShowPage1_LongJob", "ShowPage1_OnePageJob",
            "<=", 1.5 } });
}
