// A chart-sized JPEG (10 years at 8 pixels a day, 1,000 rows of 54 pixels) painted
// band by band into its file, beside libjpeg compressing a raw RGB image of the same
// size from memory. Peak memory is compared between 500 and 1,000 rows.
#include "bench/BenchSupport.h"
#include "bench/ChildPeakMemory.h"
#include "bench/JpegFloor.h"
#include "platform/gui/JpegWriter.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <array>
#include <cstdio>
#include <jpeglib.h>

namespace {

constexpr int DayWidth = 8;
constexpr int Days = 3653; // 2024 to 2033
constexpr int RowHeight = 54;
constexpr int Width = Days * DayWidth;
constexpr int Rows = 1000;

// Weekend columns, row lines and twenty bars per row.
void PaintChart(QPainter &painter, const QRect &band)
{
    for (int day = 5; day < Days; day += 7)
        painter.fillRect(day * DayWidth, band.top(), 2 * DayWidth, band.height(), QColor(0xE0, 0xE0, 0xE0));
    const std::array<QColor, 4> colors = { QColor(0x40, 0x80, 0xC0), QColor(0xF0, 0xA0, 0x30),
        QColor(0x60, 0xB0, 0x60), QColor(0xC0, 0x40, 0x40) };
    for (int row = band.top() / RowHeight; row <= band.bottom() / RowHeight; ++row) {
        const int top = row * RowHeight;
        painter.fillRect(0, top + RowHeight - 1, Width, 1, QColor(0xA0, 0xA0, 0xA0));
        for (int bar = 0; bar < 20; ++bar) {
            const int day = (row * 7919 + bar * 104729) % Days;
            painter.fillRect(day * DayWidth, top + 10, DayWidth * ((row + bar) % 20 + 1), 34,
                colors[std::size_t(bar % 4)]);
        }
    }
}

QSize ChartSize(int rows)
{
    return { Width, rows * RowHeight };
}

void WriteChart(const QString &path, int rows)
{
    const auto result = WriteJpeg(path, ChartSize(rows), PaintChart);
    if (!result) {
        std::printf("writing failed: %s\n", qPrintable(result.reason()));
        std::exit(1);
    }
}

void Ours(benchmark::State &state)
{
    QTemporaryDir dir;
    for (auto _ : state)
        WriteChart(dir.filePath(QStringLiteral("chart.jpg")), Rows);
}

void LibjpegFromMemory(benchmark::State &state)
{
    QImage band(Width, JpegBandRows, QImage::Format_ARGB32);
    band.fill(Qt::white);
    {
        QPainter painter(&band);
        PaintChart(painter, band.rect());
    }
    const QImage rgb = band.convertToFormat(QImage::Format_RGB888);
    for (auto _ : state)
        bench::CompressFromMemory(rgb, ChartSize(Rows));
}

BENCHMARK(Ours)->Unit(benchmark::kSecond)->Iterations(1)->Repetitions(3)->UseRealTime();
BENCHMARK(LibjpegFromMemory)->Unit(benchmark::kSecond)->Iterations(1)->Repetitions(3)->UseRealTime();

// The peak resident memory in kB of writing the chart with `rows` rows.
double PeakKilobytes(int rows)
{
    return bench::ChildPeakKilobytes([rows] {
        QTemporaryDir dir;
        WriteChart(dir.filePath(QStringLiteral("chart.jpg")), rows);
    });
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    std::printf("image %d x %d pixels\n", Width, ChartSize(Rows).height());
    const double half = PeakKilobytes(Rows / 2);
    const double full = PeakKilobytes(Rows);
    std::printf("peak memory: %.0f kB with %d rows, %.0f kB with %d rows\n", half, Rows / 2, full, Rows);
    return bench::runWithFigures(argc, argv,
        { { "jpeg.chart_write/libjpeg_from_memory", "Ours", "LibjpegFromMemory", "<=", 2.0 },
            { "jpeg.peak_memory_1000/500_rows", "peak_ratio", "", "<=", 1.10 } },
        [&](bench::FigureReporter &reporter) { reporter.Record("peak_ratio", half > 0 ? full / half : 99); });
}
