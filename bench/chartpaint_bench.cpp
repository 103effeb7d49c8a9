// A full repaint of the time chart on a 1920 x 1080 panel beside a QGraphicsScene
// that holds one rectangle with its text items per bar of the whole document and
// renders the same view; the same repaint of a document a hundred times larger
// whose extra bars lie outside the view; a one-day scroll in both directions; and the bar cache's
// bytes after scrolling through that large document at zoom 200, also in screens of the panel.
#include "bench/BenchSupport.h"
#include "bench/ChartPlan.h"
#include "bench/generator/DocumentGenerator.h"
#include "document/DocumentTable.h"
#include "timechart/BarPainter.h"
#include "timechart/CanvasPanel.h"
#include "timechart/TimeChart.h"
#include "timechart/TimeChartHost.h"

#include <QApplication>
#include <QBrush>
#include <QFontMetrics>
#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <array>
#include <memory>

namespace {

constexpr int RowHeight = 42;

using TChart = bench::TChartPlan;
constexpr int Width = TChart::Width;
constexpr int Height = TChart::Height;
const TDateTime ViewStart = TChart::ViewStart;

// A scroll by `days` (back to earlier days when negative) and what it has the
// chart show again: the strip it uncovered and, with `labels`, the band under the
// rows where it is and where the moved pixels took it; and the labels laid on
// where they are and where the moved pixels took them.
struct TScrollPaint {
    QRegion body;
    QRegion labels;
};
TScrollPaint Scroll(TChart &plan, int days, bool labels)
{
    TTimeChart &chart = *plan.chart;
    chart.SetTimeChartDestination(chart.TimeChartStart() + days, 0, true);
    const int dx = -days * chart.GetTimeChartColWidth();
    const QRect all(0, 0, Width, Height);
    TScrollPaint paint { QRegion(all).subtracted(all.translated(dx, 0)), {} };
    if (labels) {
        const QRegion band = chart.FadeOutBandRegion(), shown = chart.LabelRegion();
        paint.body += band.united(band.translated(dx, 0)).intersected(all);
        paint.labels = shown.united(shown.translated(dx, 0)).intersected(all);
    }
    return paint;
}

void Paint(TChart &plan, const TScrollPaint &paint)
{
    plan.Paint(paint.body);
    if (paint.labels.isEmpty())
        return;
    QPainter p(&plan.image);
    plan.chart->TimeChartOverlayPaint(p, paint.labels);
}

TChart &Small()
{
    return *bench::SmallChartPlan();
}

TChart &Large()
{
    return *bench::LargeChartPlan();
}

// The peer: every bar of the document as a rectangle item with its texts, clipped
// to it, in a scene whose x is the chart's x for the view's first day.
struct TScenePeer {
    QGraphicsScene scene;
    QImage image { Width, Height, QImage::Format_ARGB32 };

    explicit TScenePeer(TChart &chart)
    {
        Document &doc = chart.doc;
        scene.setBackgroundBrush(Qt::white);
        const QFont font(QStringLiteral("Liberation Sans"));
        QFont sized = font;
        sized.setPixelSize(11);
        const QFontMetrics metrics(sized);
        static constexpr std::array<TConnection, 9> roles
            = { cnTextLeftTop, cnTextcenterTop, cnTextRightTop, cnTextLeftMiddle, cnTextCenterMiddle,
                  cnTextRightMiddle, cnTextLeftBottom, cnTextCenterBottom, cnTextRightBottom };
        const double farEnd = ViewStart + 5000;
        const DocumentTable &tasks = doc.GetTable(tbTable);
        for (TNodeData *node = tasks.First(); node; node = tasks.Next(node)) {
            const TRect r
                = chart.chart->Geometry().ItemRect(node, ViewStart, farEnd, 0, RowHeight, 5000 * 8, false);
            if (r.IsEmpty())
                continue;
            auto *box = scene.addRect(QRectF(r.Left, r.Top, r.Width() - 1, r.Height() - 1), QPen(Qt::black),
                QBrush(QColor::fromRgb(0x30, 0x80, 0xF0)));
            box->setFlag(QGraphicsItem::ItemClipsChildrenToShape);
            for (std::size_t k = 0; k < roles.size(); ++k) {
                const QString text = doc.GetData_(node, roles[k]);
                if (text.isEmpty())
                    continue;
                auto *item = new QGraphicsSimpleTextItem(text, box);
                item->setFont(sized);
                const int w = metrics.horizontalAdvance(text);
                const int column = int(k % 3), line = int(k / 3);
                const int x = column == 0 ? r.Left + 2
                    : column == 1         ? r.Left + (r.Width() - w) / 2
                                          : r.Right - w - 2;
                const int y = r.Top + line * (r.Height() - metrics.height()) / 2;
                item->setPos(x, y);
            }
        }
    }

    void Render()
    {
        QPainter p(&image);
        scene.render(&p, QRectF(0, 0, Width, Height), QRectF(0, 0, Width, Height));
    }
};

void Chart_Warm(benchmark::State &state)
{
    TChart &chart = Small();
    chart.PaintAll();
    for (auto _ : state)
        chart.PaintAll();
}

void Chart_Cold(benchmark::State &state)
{
    TChart &chart = Small();
    for (auto _ : state) {
        state.PauseTiming();
        chart.chart->BarPainter().Cache().Clear();
        state.ResumeTiming();
        chart.PaintAll();
    }
}

void Scene_Render(benchmark::State &state)
{
    TScenePeer peer(Small());
    for (auto _ : state)
        peer.Render();
}

void Chart_Warm_100k(benchmark::State &state)
{
    TChart &chart = Large();
    chart.PaintAll();
    for (auto _ : state)
        chart.PaintAll();
}

// What a one-day scroll paints (the pixels moved are not painted again): the strip
// it uncovers, or that strip with the labels, back or on.
void Scroll(benchmark::State &state, int days, bool labels)
{
    TChart &chart = Large();
    chart.PaintAll();
    for (auto _ : state) {
        state.PauseTiming();
        chart.chart->SetTimeChartDestination(ViewStart, 0, true);
        const TScrollPaint uncovered = Scroll(chart, days, labels);
        state.ResumeTiming();
        Paint(chart, uncovered);
    }
}

void Chart_ScrollStrip_100k(benchmark::State &state)
{
    Scroll(state, -1, false);
}

void Chart_ScrollBackWithLabels_100k(benchmark::State &state)
{
    Scroll(state, -1, true);
}

void Chart_ScrollOnWithLabels_100k(benchmark::State &state)
{
    Scroll(state, 1, true);
}

} // namespace

BENCHMARK(Chart_Warm)->Unit(benchmark::kMillisecond);
BENCHMARK(Chart_Cold)->Unit(benchmark::kMillisecond);
BENCHMARK(Scene_Render)->Unit(benchmark::kMillisecond);
BENCHMARK(Chart_Warm_100k)->Unit(benchmark::kMillisecond);
// A fixed count: each round first scrolls back untimed, which costs several times
// the strip measured, and a count by the timed half alone ran for minutes.
BENCHMARK(Chart_ScrollStrip_100k)->Unit(benchmark::kMillisecond)->Iterations(200);
BENCHMARK(Chart_ScrollBackWithLabels_100k)->Unit(benchmark::kMillisecond)->Iterations(200);
BENCHMARK(Chart_ScrollOnWithLabels_100k)->Unit(benchmark::kMillisecond)->Iterations(200);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int result = bench::runWithFigures(argc, argv,
        { { "chartpaint.full_repaint_warm/scene", "Chart_Warm", "Scene_Render", "<=", 1.0 / 3 },
            { "chartpaint.full_repaint_cold/scene", "Chart_Cold", "Scene_Render", "<=", 1.5 },
            { "chartpaint.full_repaint_100k/1k", "Chart_Warm_100k", "Chart_Warm", "<=", 1.5 },
            { "chartpaint.one_day_strip/full_repaint_100k", "Chart_ScrollStrip_100k", "Chart_Warm_100k",
                "<=", 0.1 },
            { "chartpaint.one_day_back_with_labels/full_repaint_100k", "Chart_ScrollBackWithLabels_100k",
                "Chart_Warm_100k", "<=", 0.1 },
            { "chartpaint.one_day_on_with_labels/full_repaint_100k", "Chart_ScrollOnWithLabels_100k",
                "Chart_Warm_100k", "<=", 0.1 },
            { "chartpaint.cache_after_scrolling_100k_zoom200/screen", "cache_screens", "",
                "<=", TBarPainter::CachedScreens },
            { "chartpaint.cache_mb_after_scrolling_100k_zoom200", "cache_mb", "", "", 0 },
            { "chartpaint.bars_rendered_by_repaint_after_scroll", "rerendered", "", "<=", 0 } },
        [](bench::FigureReporter &reporter) {
            {
                // Zoom 200, from the first day of the range to the last, a window at a time.
                TChart large(99000, 200);
                for (TDateTime start = large.chart->MinDate(); start < large.chart->MaxDate();
                     start += double(Width) / large.chart->GetTimeChartColWidth()) {
                    large.chart->SetTimeChartDestination(start, 0, true);
                    large.PaintAll();
                }
                const double bytes = double(large.chart->BarPainter().Cache().Bytes());
                reporter.Record("cache_screens", bytes / (double(Width) * Height * 4));
                reporter.Record("cache_mb", bytes / (1024 * 1024));
            }
            // A one-day scroll on the large plan at zoom 100, then a full repaint.
            TChart &chart = Large();
            chart.PaintAll();
            Paint(chart, Scroll(chart, -1, true));
            chart.PaintAll();
            reporter.Record("rerendered", chart.chart->BarPainter().redrawcount);
        });
    bench::ResetChartPlans();
    return result;
}
