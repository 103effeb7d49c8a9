// A full repaint of the time chart on a 1920 x 1080 image beside a QGraphicsScene
// that holds one rectangle with its text items per bar of the whole document and
// renders the same view; the same repaint of a document a hundred times larger
// whose extra bars lie outside the view; a one-day scroll strip; and the bar cache's
// bytes after scrolling through that large document at zoom 200.
#include "bench/BenchSupport.h"
#include "bench/generator/DocumentGenerator.h"
#include "document/ChartRows.h"
#include "document/DocumentTable.h"
#include "document/program/Settings.h"
#include "document/text/CommaText.h"
#include "timechart/BarPainter.h"
#include "timechart/ChartCanvas.h"
#include "timechart/ChartPaintGeometry.h"
#include "timechart/ChartPainter.h"

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
#include <cmath>
#include <memory>

namespace {

constexpr int Width = 1920;
constexpr int Height = 1080;
constexpr int RowHeight = 42;

int Round(double value)
{
    return int(std::nearbyint(value));
}

// The chart's geometry in day mode at a given number of pixels per day.
class TBenchGeometry : public IChartPaintGeometry {
public:
    TBenchGeometry(Document &doc, int colWidth)
        : FDoc(doc)
        , FColWidth(colWidth)
    { }
    int GetZoom() const override { return 100; }
    int GetTimeChartColWidth() const override { return FColWidth; }
    int _TimeChartColWidth(int) const override { return FColWidth; }
    int TimeChartFullRowHeight(int) const override { return 40; }
    int TimeChartRowHeight(int) const override { return RowHeight; }
    int _TimeChartFontSize(int, int) const override { return 8; }
    QString TimeChartFontName() const override { return QStringLiteral("Liberation Sans"); }
    int GetTransparency() const override { return 50; }
    TRect TimeChartRect(TDateTime s, TDateTime e, double vs, double ve, int top, int rh, int width, int row,
        bool, bool multiRow) const override
    {
        const double f = width / (ve - vs);
        TRect r { Round((s - vs) * f), row * rh - top, Round((e - vs) * f), (row + 1) * rh - top };
        if (row == kAllPositions) {
            r.Top = -top;
            r.Bottom = FDoc.GetRowCount() * rh - top;
        } else if (multiRow) {
            const TInterval span = FDoc.GetMultipleRowSpan(tbExclude, row);
            r.Top = span.low * rh - top;
            r.Bottom = r.Top + (span.high - span.low + 1) * rh;
        }
        return r;
    }
    TRect ItemRect(
        TNodeData *node, double vs, double ve, int top, int rh, int width, bool full) const override
    {
        const int row = FDoc.GetPositionOf(node);
        if (row < 0 && row != kAllPositions)
            return {};
        const TDateTime end = DatePart(FDoc.GetEndOf(node)) + 1;
        if (node->NodeTable == tbExclude) {
            TRect r
                = TimeChartRect(node->nodeStart, end, vs, ve, top, rh, width, node->nodePosition, true, true);
            ++r.Right;
            return r;
        }
        TRect r = TimeChartRect(node->nodeStart, end, vs, ve, top, rh, width, row, false, false);
        if (row != kAllPositions && !full) {
            const int inset = Round((r.Bottom - r.Top) * 0.1);
            r.Top += inset;
            r.Bottom -= inset;
        }
        return r;
    }
    TRect ArrowRect(TNodeData *node, double vs, double ve, int top, int rh, int width) const override
    {
        const int row = FDoc.GetPositionOf(node);
        const TDateTime deadline = FDoc.GetTerminOf(node);
        if (row < 0 || deadline == 0 || FDoc.GetEndOf(node) <= deadline)
            return {};
        const TRect r
            = TimeChartRect(FDoc.GetEndOf(node) + 1, deadline, vs, ve, top, rh, width, row, true, false);
        return { r.Left, (r.Top + r.Bottom) / 2, r.Right, r.Bottom };
    }
    TRect PositionRect(QPainter &canvas, int top, int row, int width, int rh) const override
    {
        const int fh = canvas.font().pixelSize();
        const int t = (rh - fh - 4) / 2 + row * rh - top;
        return { 0, t, std::min(8 + 70, width / 6), t + fh + 4 };
    }
    bool isMultiRow(int row) const override
    {
        const TChartRows &rows = FDoc.ChartRows();
        const int p = rows.FirstPositionOfRow(row);
        return p >= 0 && rows.PositionsInHolidayGroup()[p].low != p;
    }
    double TimeChartStart() const override { return 0; }
    int TimeChartTop() const override { return 0; }
    double GetTimeChartEnd() const override { return 0; }
    double MinDate() const override { return 0; }
    double MaxDate() const override { return 0; }

private:
    Document &FDoc;
    int FColWidth;
};

// A generated plan with its chart painters.
struct TChart {
    explicit TChart(int extraTasks, int colWidth = 8)
        : geometry(doc, colWidth)
    {
        GeneratorOptions o;
        o.deadlines = true;
        o.barTexts = true;
        o.extraTasks = extraTasks;
        GenerateDocument(doc, o);
    }
    Document doc;
    TProgramSettings settings;
    TBenchGeometry geometry;
    TBarPainter bars { doc, geometry, settings };
    TChartPainter painter { doc, geometry, settings, bars };
    QImage image { Width, Height, QImage::Format_ARGB32 };

    // What the chart's panel does on a paint: erase the region, paint the body and
    // the labels into it.
    void Paint(TDateTime start, const QRect &region = QRect(0, 0, Width, Height))
    {
        const double end = start + double(Width) / geometry.GetTimeChartColWidth();
        QPainter p(&image);
        p.setClipRect(region);
        p.fillRect(region, Qt::lightGray);
        const TChartCanvas canvas(p, TCanvasKind::TimeChart);
        painter.DrawTimeChart(canvas, false, start, end, 0, Width, 0, 0, true, 0, 0, true);
        painter.DrawTimeChartPositions(canvas, start, end, 0, Width, 0, 0, 0, 0, true);
    }
};

const TDateTime ViewStart = EncodeDate(2024, 3, 1);

TChart &Small()
{
    static TChart chart(0);
    return chart;
}

TChart &Large()
{
    static TChart chart(99000);
    return chart;
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
            const TRect r = chart.geometry.ItemRect(node, ViewStart, farEnd, 0, RowHeight, 5000 * 8, false);
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
    chart.Paint(ViewStart);
    for (auto _ : state)
        chart.Paint(ViewStart);
}

void Chart_Cold(benchmark::State &state)
{
    TChart &chart = Small();
    for (auto _ : state) {
        state.PauseTiming();
        chart.bars.Cache().Clear();
        state.ResumeTiming();
        chart.Paint(ViewStart);
    }
}

void Scene_Render(benchmark::State &state)
{
    static TScenePeer peer(Small());
    for (auto _ : state)
        peer.Render();
}

void Chart_Warm_100k(benchmark::State &state)
{
    TChart &chart = Large();
    chart.Paint(ViewStart);
    for (auto _ : state)
        chart.Paint(ViewStart);
}

// The strip a one-day scroll uncovers (the pixels moved are not painted again).
void Chart_ScrollStrip_100k(benchmark::State &state)
{
    TChart &chart = Large();
    chart.Paint(ViewStart);
    chart.Paint(ViewStart - 1);
    chart.bars.redrawcount = 0;
    for (auto _ : state)
        chart.Paint(ViewStart - 1, QRect(0, 0, chart.geometry.GetTimeChartColWidth(), Height));
}

} // namespace

BENCHMARK(Chart_Warm)->Unit(benchmark::kMillisecond);
BENCHMARK(Chart_Cold)->Unit(benchmark::kMillisecond);
BENCHMARK(Scene_Render)->Unit(benchmark::kMillisecond);
BENCHMARK(Chart_Warm_100k)->Unit(benchmark::kMillisecond);
BENCHMARK(Chart_ScrollStrip_100k)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return bench::runWithFigures(argc, argv,
        { { "chartpaint.full_repaint_warm/scene", "Chart_Warm", "Scene_Render", "<=", 1.0 / 3 },
            { "chartpaint.full_repaint_cold/scene", "Chart_Cold", "Scene_Render", "<=", 1.5 },
            { "chartpaint.full_repaint_100k/1k", "Chart_Warm_100k", "Chart_Warm", "<=", 1.5 },
            { "chartpaint.scroll_strip/full_repaint_100k", "Chart_ScrollStrip_100k", "Chart_Warm_100k",
                "<=", 0.1 },
            { "chartpaint.cache_mb_after_scrolling_100k_zoom200", "cache_mb", "", "<=", 64 },
            { "chartpaint.bars_rendered_by_repaint_after_scroll", "rerendered", "", "<=", 0 } },
        [](bench::FigureReporter &reporter) {
            // Zoom 200: 16 pixels a day, from the first day of the plan to the last.
            TChart chart(99000, 16);
            const double days = double(Width) / 16;
            for (TDateTime start = EncodeDate(2023, 12, 1); start < EncodeDate(2026, 3, 1); start += days)
                chart.Paint(start);
            reporter.Record("cache_mb", double(chart.bars.Cache().Bytes()) / (1024 * 1024));
            // A one-day scroll on the large plan at zoom 100, then a full repaint.
            TChart &large = Large();
            large.Paint(ViewStart);
            large.Paint(ViewStart - 1, QRect(0, 0, 8, Height));
            large.bars.redrawcount = 0;
            large.Paint(ViewStart - 1);
            reporter.Record("rerendered", large.bars.redrawcount);
        });
}
