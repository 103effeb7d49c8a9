// AlphaBlend on a full-HD image beside QPainter::drawImage with an opacity on the
// same premultiplied ARGB32 images: the blend the chart and the tree use against
// the one Qt offers.
#include "bench/BenchSupport.h"
#include "components/gui/AlphaBlend.h"

#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <random>

namespace {

constexpr int Width = 1920;
constexpr int Height = 1080;

// Semi-transparent pixels of random colour, validly premultiplied.
QImage randomImage(unsigned seed)
{
    std::mt19937 rng(seed);
    QImage image(Width, Height, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < Height; ++y) {
        auto *row = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < Width; ++x) {
            const int a = int(rng() % 254) + 1;
            row[x] = qPremultiply(qRgba(int(rng() % 256), int(rng() % 256), int(rng() % 256), a));
        }
    }
    return image;
}

const QImage &source()
{
    static const QImage image = randomImage(1);
    return image;
}

QImage &destination()
{
    static QImage image = randomImage(2);
    return image;
}

void blend(benchmark::State &state, TBlendMode mode, int bias)
{
    QImage &d = destination();
    for (auto _ : state) {
        AlphaBlend(source(), d, Rect(0, 0, Width, Height), { 0, 0 }, mode, 128, bias);
        benchmark::ClobberMemory();
    }
}

void AlphaBlend_Constant(benchmark::State &state)
{
    blend(state, bmConstantAlpha, 0);
}
void AlphaBlend_Bias(benchmark::State &state)
{
    blend(state, bmConstantAlpha, -20);
}
void AlphaBlend_PerPixel(benchmark::State &state)
{
    blend(state, bmPerPixelAlpha, 0);
}
void AlphaBlend_Master(benchmark::State &state)
{
    blend(state, bmMasterAlpha, 0);
}
void AlphaBlend_Color(benchmark::State &state)
{
    blend(state, bmConstantAlphaAndColor, 0x336699);
}

void QPainter_DrawImageOpacity(benchmark::State &state)
{
    QImage &d = destination();
    for (auto _ : state) {
        QPainter painter(&d);
        painter.setOpacity(128 / 255.0);
        painter.drawImage(0, 0, source());
        painter.end();
        benchmark::ClobberMemory();
    }
}

BENCHMARK(QPainter_DrawImageOpacity)->Unit(benchmark::kMillisecond);
BENCHMARK(AlphaBlend_Constant)->Unit(benchmark::kMillisecond);
BENCHMARK(AlphaBlend_Bias)->Unit(benchmark::kMillisecond);
BENCHMARK(AlphaBlend_PerPixel)->Unit(benchmark::kMillisecond);
BENCHMARK(AlphaBlend_Master)->Unit(benchmark::kMillisecond);
BENCHMARK(AlphaBlend_Color)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    const std::string peer = "QPainter_DrawImageOpacity";
    std::vector<bench::Figure> figures {
        { "alphablend.constant/qpainter_opacity", "AlphaBlend_Constant", peer, "<=", 1.5 },
        { "alphablend.bias/qpainter_opacity", "AlphaBlend_Bias", peer, "<=", 2 },
        { "alphablend.per_pixel/qpainter_opacity", "AlphaBlend_PerPixel", peer, "<=", 2 },
        { "alphablend.master/qpainter_opacity", "AlphaBlend_Master", peer, "<=", 2 },
        { "alphablend.color/qpainter_opacity", "AlphaBlend_Color", peer, "", 0 },
    };
    return bench::runWithFigures(argc, argv, std::move(figures), [](bench::FigureReporter &) {
        source();
        destination();
    });
}
