// The chart printed in 20 strips from a plan of about 500 rows, in both modes, each
// beside its floor: bare DrawBitmap calls for the same strips at the same zoom into
// QPictures (vector) or into images of the same size (bitmap). In bitmap mode ten
// years on one page must hold no more memory than one month on one page.
#include "bench/BenchSupport.h"
#include "bench/PrintBenchSupport.h"
#include "bench/generator/DocumentGenerator.h"
#include "dialogs/print/ChartPrinting.h"
#include "dialogs/print/PrintJob.h"
#include "dialogs/print/QtPrinterDevice.h"
#include "platform/gui/Fonts.h"
#include "timechart/ChartCanvas.h"
#include "timechart/ChartPainter.h"
#include "timechart/TimeChart.h"
#include "timechart/TimeChartHost.h"

#include <QApplication>
#include <QPageLayout>
#include <QPainter>
#include <QPicture>
#include <QPrinter>
#include <deque>
#include <malloc.h>
#include <memory>

namespace {

constexpr int Strips = 20;
constexpr int DaysPerStrip = 14;

class BenchHost final : public ITimeChartHost { };

// 455 positions, every tenth of two rows: 501 chart rows; 10 years of tasks.
struct TPlan {
    BenchHost host;
    Document doc;
    std::unique_ptr<TTimeChart> chart;
    bench::TPdfPrinter printer { QPageLayout::Landscape };

    TPlan()
    {
        GeneratorOptions options;
        options.tasks = 20000;
        options.absentRows = 2000;
        options.positions = 455;
        options.spanDays = 3650;
        GenerateDocument(doc, options);
        // Ends derived, as a loaded document has them: painting only reads them.
        doc.ForEach(feAll, [this](TNodeData &row) { doc.GetEndOf(&row); });
        chart = std::make_unique<TTimeChart>(doc, host);
        chart->UpdateBoundsProc();
    }
};

TPlan &Plan()
{
    static TPlan *plan = new TPlan; // lives until the process ends, after the application
    return *plan;
}

TDateTime First()
{
    return EncodeDate(2024, 2, 5);
}

TChartPrintOptions Options(bool bitmap, int days, int pages)
{
    TChartPrintOptions options;
    options.Start = First();
    options.End = First() + days;
    options.Days = days;
    options.Pages = pages;
    options.AsBitmap = bitmap;
    return options;
}

std::unique_ptr<TPrintJob> Print(const TChartPrintOptions &options)
{
    auto job = std::make_unique<TPrintJob>(Plan().printer.device);
    job->NewJob();
    job->NewPage();
    PrintChartStrips(*job, *Plan().chart, options);
    job->DonePrinting();
    return job;
}

// Where the strips go, as the printout places them.
TStripPlacement Placement()
{
    TPrintJob job(Plan().printer.device);
    job.NewJob();
    job.NewPage();
    TTimeChart &chart = *Plan().chart;
    return PlaceStrip([&chart](int zoom) { return ChartSize(chart, DaysPerStrip, zoom); }, LowestZoom(chart),
        job.PrintableSize(true, true), 2 * job.TextHeight());
}

void Ours(benchmark::State &state, bool bitmap)
{
    Plan();
    for (auto _ : state) {
        auto job = Print(Options(bitmap, Strips * DaysPerStrip, Strips));
        state.PauseTiming();
        job.reset();
        state.ResumeTiming();
    }
}

void Vector_Ours(benchmark::State &state)
{
    Ours(state, false);
}

void Bitmap_Ours(benchmark::State &state)
{
    Ours(state, true);
}

void Vector_BareDrawBitmap(benchmark::State &state)
{
    TTimeChart &chart = *Plan().chart;
    const TStripPlacement place = Placement();
    for (auto _ : state) {
        auto pages = std::make_unique<std::deque<QPicture>>();
        for (int s = 0; s < Strips; ++s) {
            QPainter painter(&pages->emplace_back());
            const TDateTime from = First() + s * DaysPerStrip;
            chart.Painter().DrawBitmap(TChartCanvas(painter, TCanvasKind::Other), from, from + DaysPerStrip,
                place.Chart.x(), place.Chart.y(), place.Size.width(), place.Size.height(), false, place.Zoom,
                DevicePpi(*painter.device()));
        }
        state.PauseTiming();
        pages.reset();
        state.ResumeTiming();
    }
}

void Bitmap_BareDrawBitmap(benchmark::State &state)
{
    TTimeChart &chart = *Plan().chart;
    const TStripPlacement place = Placement();
    const QSize size = ChartSize(chart, DaysPerStrip, std::min(0, place.Zoom));
    for (auto _ : state) {
        auto images = std::make_unique<std::deque<QImage>>();
        for (int s = 0; s < Strips; ++s) {
            QImage &image = images->emplace_back(size, QImage::Format_RGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            const TDateTime from = First() + s * DaysPerStrip;
            chart.Painter().DrawBitmap(TChartCanvas(painter, TCanvasKind::Other), from, from + DaysPerStrip,
                0, 0, size.width(), size.height(), false, std::min(0, place.Zoom), 0);
        }
        state.PauseTiming();
        images.reset();
        state.ResumeTiming();
    }
}

BENCHMARK(Vector_Ours)->Unit(benchmark::kMillisecond)->Iterations(2)->Repetitions(3)->UseRealTime();
BENCHMARK(Vector_BareDrawBitmap)->Unit(benchmark::kMillisecond)->Iterations(2)->Repetitions(3)->UseRealTime();
BENCHMARK(Bitmap_Ours)->Unit(benchmark::kMillisecond)->Iterations(2)->Repetitions(3)->UseRealTime();
BENCHMARK(Bitmap_BareDrawBitmap)->Unit(benchmark::kMillisecond)->Iterations(2)->Repetitions(3)->UseRealTime();

double HeapHeldByBitmapPage(int days)
{
    const auto inUse = [] {
        const struct mallinfo2 info = mallinfo2();
        return double(info.uordblks + info.hblkhd);
    };
    const double before = inUse();
    auto job = Print(Options(true, days, 1));
    return inUse() - before;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
    Plan();
    const double month = HeapHeldByBitmapPage(30);
    const double decade = HeapHeldByBitmapPage(3650);
    std::printf("chart rows %d; bitmap page heap: %.1f MB for a month, %.1f MB for 10 years\n",
        Plan().doc.GetRowCount(), month / 1e6, decade / 1e6);
    return bench::runWithFigures(argc, argv,
        { { "chartprint.vector_20_strips/bare_drawbitmap", "Vector_Ours", "Vector_BareDrawBitmap",
              "<=", 1.5 },
            { "chartprint.bitmap_20_strips/bare_drawbitmap", "Bitmap_Ours", "Bitmap_BareDrawBitmap",
                "<=", 1.5 },
            { "chartprint.bitmap_heap_10_years/one_month", "heap_ratio", "", "<=", 1.0 } },
        [&](bench::FigureReporter &reporter) {
            reporter.Record("heap_ratio", month > 0 ? decade / month : 99);
        });
}
