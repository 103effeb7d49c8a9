// The chart of a generated plan saved as a JPEG image: 10 years at 8 pixels a day
// by about 1,000 chart rows, painted band by band into its file, beside libjpeg
// compressing a raw RGB image of the same size from memory. Peak memory is compared
// between 500 and 1,000 rows: it must not grow with the height.
#include "bench/BenchSupport.h"
#include "bench/ChildPeakMemory.h"
#include "bench/JpegFloor.h"
#include "bench/generator/DocumentGenerator.h"
#include "dialogs/export/ChartImage.h"
#include "platform/gui/JpegWriter.h"
#include "timechart/TimeChart.h"
#include "timechart/TimeChartHost.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <array>
#include <cstdio>
#include <jpeglib.h>
#include <memory>

namespace {

constexpr int Days = 3653; // 2024 to 2033
// 910 positions, every tenth of two rows: 1,001 chart rows; half of them: 500 rows.
constexpr int ManyPositions = 910;
constexpr int HalfPositions = 455;

class BenchHost final : public ITimeChartHost { };

struct TPlan {
    BenchHost host;
    Document doc;
    std::unique_ptr<TTimeChart> chart;

    explicit TPlan(int positions)
    {
        GeneratorOptions options;
        options.tasks = 30000; // the same plan whatever the rows, so only the picture grows
        options.absentRows = 3000;
        options.positions = positions;
        options.spanDays = Days;
        GenerateDocument(doc, options);
        // Ends derived, as a loaded document has them: painting only reads them.
        doc.ForEach(feAll, [this](TNodeData &row) { doc.GetEndOf(&row); });
        chart = std::make_unique<TTimeChart>(doc, host);
        chart->UpdateBoundsProc();
    }
};

TDateTime First()
{
    return EncodeDate(2024, 1, 1);
}

void WriteChart(TPlan &plan, const QString &path)
{
    const TChartImage image(
        *plan.chart, First(), First() + Days, QStringLiteral("plan.kez (01.01.2024 12:00:00)"));
    const auto result = WriteJpeg(path, image.Size(),
        [&image](QPainter &painter, const QRect &band) { image.PaintBand(painter, band); });
    if (!result) {
        std::printf("writing failed: %s\n", qPrintable(result.reason()));
        std::exit(1);
    }
}

TPlan &BigPlan()
{
    static TPlan *plan = new TPlan(ManyPositions); // lives until the process ends
    return *plan;
}

void Ours(benchmark::State &state)
{
    TPlan &plan = BigPlan();
    QTemporaryDir dir;
    for (auto _ : state)
        WriteChart(plan, dir.filePath(QStringLiteral("chart.jpg")));
}

void LibjpegFromMemory(benchmark::State &state)
{
    TPlan &plan = BigPlan();
    const TChartImage image(*plan.chart, First(), First() + Days, QString());
    QImage band(image.Size().width(), JpegBandRows, QImage::Format_ARGB32);
    band.fill(Qt::white);
    {
        QPainter painter(&band);
        image.PaintBand(painter, band.rect());
    }
    const QImage rgb = band.convertToFormat(QImage::Format_RGB888);
    for (auto _ : state)
        bench::CompressFromMemory(rgb, image.Size());
}

BENCHMARK(Ours)->Unit(benchmark::kSecond)->Iterations(1)->Repetitions(3)->UseRealTime();
BENCHMARK(LibjpegFromMemory)->Unit(benchmark::kSecond)->Iterations(1)->Repetitions(3)->UseRealTime();

// The peak resident memory in kB of making the plan and writing its chart.
double PeakKilobytes(int positions)
{
    return bench::ChildPeakKilobytes([positions] {
        TPlan plan(positions);
        QTemporaryDir dir;
        WriteChart(plan, dir.filePath(QStringLiteral("chart.jpg")));
    });
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const double half = PeakKilobytes(HalfPositions);
    const double full = PeakKilobytes(ManyPositions);
    const TChartImage image(*BigPlan().chart, First(), First() + Days, QString());
    std::printf("image %d x %d pixels (%d chart rows)\n", image.Size().width(), image.Size().height(),
        BigPlan().doc.GetRowCount());
    std::printf("peak memory: %.0f kB with 500 rows, %.0f kB with 1,001 rows\n", half, full);
    return bench::runWithFigures(argc, argv,
        { { "chartimage.write/libjpeg_from_memory", "Ours", "LibjpegFromMemory", "<=", 2.0 },
            { "chartimage.peak_memory_1001/500_rows", "peak_ratio", "", "<=", 1.10 } },
        [&](bench::FigureReporter &reporter) { reporter.Record("peak_ratio", half > 0 ? full / half : 99); });
}
