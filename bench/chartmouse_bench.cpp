// The mouse on the chart and the overview, beside the chart's own full repaint on a
// 1920 x 1080 panel: the hover pass that finds the bar under the pointer (on a
// 1k-task plan and on a 100k-task plan that shows the same bars), one move of the
// band of a new task with the repaint it asks for, a repaint of the overview after
// its slider moved (beside a plain copy of an image of its size), a redraw of the
// whole overview (beside a QGraphicsScene drawing the same bars; on the 1k plan and
// on the 1k plan with 9,000 tasks more), and "Solve overlapping" on 1,000
// overlapping pairs among 100k tasks (beside one full overlap pass).
#include "bench/BenchSupport.h"
#include "bench/ChartPlan.h"
#include "bench/generator/DocumentGenerator.h"
#include "document/DocumentTable.h"
#include "timechart/BarPainter.h"
#include "timechart/CanvasPanel.h"
#include "timechart/ChartPainter.h"
#include "timechart/OverlapSolver.h"
#include "timechart/TimeChart.h"
#include "timechart/TimeChartHost.h"
#include "timechart/TimeChartMouse.h"

#include <QApplication>
#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <memory>
#include <vector>

namespace {

using TPlan = bench::TChartPlan;
constexpr int Width = TPlan::Width;
constexpr int OverviewHeight = 200;
const TDateTime ViewStart = TPlan::ViewStart;

// The plans of the chart benchmarks, their overview 1920 x 200 and their
// overlaps found.
TPlan &Prepared(std::unique_ptr<TPlan> &plan)
{
    static bool small = false, large = false;
    bool &done = &plan == &bench::SmallChartPlan() ? small : large;
    if (!done) {
        done = true;
        plan->chart->SmallTimeChart().setFixedSize(Width, OverviewHeight);
        QCoreApplication::processEvents();
        plan->chart->UpdateOverlappingProc();
    }
    return *plan;
}

TPlan &Small()
{
    return Prepared(bench::SmallChartPlan());
}

TPlan &Large()
{
    return Prepared(bench::LargeChartPlan());
}

// The 1k plan with 9,000 tasks more after its span: 10k bars in the overview.
std::unique_ptr<TPlan> &MediumPlan()
{
    static std::unique_ptr<TPlan> plan;
    return plan;
}

TPlan &Medium()
{
    std::unique_ptr<TPlan> &plan = MediumPlan();
    if (!plan) {
        plan = std::make_unique<TPlan>(9000);
        plan->chart->SmallTimeChart().setFixedSize(Width, OverviewHeight);
        QCoreApplication::processEvents();
        plan->chart->UpdateOverlappingProc();
    }
    return *plan;
}

void Send(TPlan &plan, QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    TCanvasPanel &panel = plan.chart->TimeChart();
    QMouseEvent event(type, pos, panel.mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(&panel, &event);
}

// The pointer rests at `pos`: the move, then the hover pass.
void Hover(TPlan &plan, QPoint pos)
{
    Send(plan, QEvent::MouseMove, pos, Qt::NoButton, Qt::NoButton);
    plan.chart->Mouse().UpdateTimeChartHint();
}

QImage &OverviewImage()
{
    static QImage image(Width, OverviewHeight, QImage::Format_ARGB32);
    return image;
}

void PaintOverview(TPlan &plan, const QRegion &region = QRegion(0, 0, Width, OverviewHeight))
{
    QPainter p(&OverviewImage());
    p.setClipRegion(region);
    plan.chart->SmallTimeChartPaint(p, region);
}

// Points over the whole chart, most of them on bars.
std::vector<QPoint> HoverPoints()
{
    std::vector<QPoint> points;
    for (int y = 21; y < 924; y += 42)
        for (int x = 37; x < Width; x += 61)
            points.emplace_back(x, y);
    return points;
}

void Chart_Warm(benchmark::State &state)
{
    TPlan &plan = Small();
    plan.PaintAll();
    for (auto _ : state)
        plan.PaintAll();
}

void HoverEverywhere(benchmark::State &state, TPlan &plan)
{
    const std::vector<QPoint> points = HoverPoints();
    std::size_t i = 0;
    for (auto _ : state)
        Hover(plan, points[i++ % points.size()]);
}

void Hover_1k(benchmark::State &state)
{
    HoverEverywhere(state, Small());
}

void Hover_100k(benchmark::State &state)
{
    HoverEverywhere(state, Large());
}

// The frame of a band as the chart has it painted again.
QRegion BandRegion(const TChartPaintMouse &band)
{
    if (!band.RubberBand)
        return {};
    const QRect r = QRect(band.Mouse, band.LastMouse).normalized();
    QRegion region;
    region += QRect(r.left() - 1, r.top() - 1, r.width() + 2, 3);
    region += QRect(r.left() - 1, r.bottom() - 1, r.width() + 2, 3);
    region += QRect(r.left() - 1, r.top() - 1, 3, r.height() + 2);
    region += QRect(r.right() - 1, r.top() - 1, 3, r.height() + 2);
    return region;
}

// A band drawn from an empty spot of the chart, its end moved to and fro; each
// move with the paint of the old and the new frame.
void Band_Move(benchmark::State &state)
{
    TPlan &plan = Small();
    QPoint empty;
    for (int y = 21; y < 900 && empty.isNull(); y += 42)
        for (int x = 100; x < Width - 300 && empty.isNull(); x += 4) {
            Hover(plan, { x, y });
            if (!plan.chart->Mouse().GrabbedNode() && plan.chart->Mouse().GrabbedPosition() < 0)
                empty = QPoint(x, y);
        }
    Send(plan, QEvent::MouseButtonPress, empty, Qt::LeftButton, Qt::LeftButton);
    int step = 0;
    for (auto _ : state) {
        const QRegion before = BandRegion(plan.chart->PaintMouse());
        Send(
            plan, QEvent::MouseMove, empty + QPoint(step++ % 2 ? 100 : 140, 3), Qt::NoButton, Qt::LeftButton);
        plan.Paint(before + BandRegion(plan.chart->PaintMouse()));
    }
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    plan.chart->Mouse().TimeChartKeyDown(escape);
    Send(plan, QEvent::MouseButtonRelease, empty, Qt::LeftButton, Qt::NoButton);
}

// The overview repainted where its slider was and is after it moved: its kept
// drawing, tinted under the slider.
void Overview_SliderMove(benchmark::State &state)
{
    TPlan &plan = Small();
    PaintOverview(plan);
    int step = 0;
    for (auto _ : state) {
        state.PauseTiming();
        // The slider where it was and where it is now, as the chart asks for them.
        QRegion moved(ToQRect(plan.chart->SliderRect()));
        plan.chart->SetTimeChartDestination(ViewStart + (step++ % 2), 0, true);
        moved += ToQRect(plan.chart->SliderRect());
        state.ResumeTiming();
        PaintOverview(plan, moved);
    }
    state.counters["bars_drawn"] = plan.chart->BarPainter().smallredrawcount;
}

void Image_Copy(benchmark::State &state)
{
    QImage source(Width, OverviewHeight, QImage::Format_ARGB32);
    source.fill(Qt::white);
    QImage target(Width, OverviewHeight, QImage::Format_ARGB32);
    for (auto _ : state) {
        QPainter p(&target);
        p.drawImage(0, 0, source);
    }
}

void OverviewRedraw(benchmark::State &state, TPlan &plan)
{
    for (auto _ : state) {
        plan.chart->InvalidateTimeChart(false);
        PaintOverview(plan);
    }
}

void Overview_Redraw(benchmark::State &state)
{
    OverviewRedraw(state, Small());
}

void Overview_Redraw_10k(benchmark::State &state)
{
    OverviewRedraw(state, Medium());
}

// The peer of the overview: every bar of the document as a rectangle item over
// the whole range.
void SceneOverview(benchmark::State &state, TPlan &plan)
{
    QGraphicsScene scene;
    scene.setBackgroundBrush(Qt::white);
    const int rows = plan.doc.GetRowCount();
    for (TWhichTable table : { tbTable, tbExclude }) {
        const DocumentTable &t = plan.doc.GetTable(table);
        for (TNodeData *node = t.First(); node; node = t.Next(node)) {
            const TRect r = plan.chart->Geometry().ItemRect(
                node, plan.chart->MinDate(), plan.chart->MaxDate(), 0, OverviewHeight / rows, Width, true);
            if (!r.IsEmpty())
                scene.addRect(QRectF(r.Left, r.Top, r.Width() - 1, r.Height() - 1),
                    QPen(QColor(0xCC, 0xE5, 0xF0)), QBrush(QColor(0xCC, 0xE5, 0xF0)));
        }
    }
    QImage image(Width, OverviewHeight, QImage::Format_ARGB32);
    for (auto _ : state) {
        QPainter p(&image);
        scene.render(&p, QRectF(0, 0, Width, OverviewHeight), QRectF(0, 0, Width, OverviewHeight));
    }
}

void Scene_Overview(benchmark::State &state)
{
    SceneOverview(state, Small());
}

void Scene_Overview_10k(benchmark::State &state)
{
    SceneOverview(state, Medium());
}

// 100k tasks of one day, every third day, 50 on each of 2,000 rows; in 1,000 rows
// one task starts on its predecessor's day.
struct TOverlapPlan {
    ITimeChartHost host;
    Document doc;
    std::unique_ptr<TTimeChart> chart;

    TOverlapPlan()
    {
        constexpr int Rows = 2000;
        constexpr int PerRow = 50;
        {
            UpdateBracket bracket(doc, QStringLiteral("generating"));
            UndoRecordingPause noUndo(doc.UndoRedo());
            QStringList positions;
            for (int p = 0; p < Rows; ++p)
                positions << QStringLiteral("P%1").arg(p);
            doc.SetColumnStrings(tbTable, doc.GetConnection(tbTable, cnPosition), positions);
            const TDateTime first = EncodeDate(2024, 1, 1);
            for (int p = 0; p < Rows; ++p)
                for (int i = 0; i < PerRow; ++i) {
                    TNodeData *row = doc.AddNode(QStringLiteral("t%1.%2").arg(p).arg(i), tbTable, false);
                    doc.DoSetData_(row, cnPosition, positions[p], false);
                    const bool overlap = p % 2 == 0 && i == PerRow / 2;
                    const TDateTime start = first + 3 * (i - (overlap ? 1 : 0));
                    doc.DoSetData_(row, cnStart, doc.FormatDateTime(start), false);
                    doc.DoSetData_(row, cnLength, QStringLiteral("1"), false);
                }
        }
        chart = std::make_unique<TTimeChart>(doc, host);
        chart->resize(1240, 1000);
        chart->show();
        QCoreApplication::processEvents();
        doc.ForEach(feAll, [this](TNodeData &node) { doc.GetEndOf(&node); });
        chart->UpdateBoundsProc();
        chart->UpdateOverlappingProc();
    }
};

std::unique_ptr<TOverlapPlan> Overlaps;

TOverlapPlan &OverlapPlan()
{
    if (!Overlaps)
        Overlaps = std::make_unique<TOverlapPlan>();
    return *Overlaps;
}

void OverlapPass_100k(benchmark::State &state)
{
    TOverlapPlan &plan = OverlapPlan();
    for (auto _ : state) {
        plan.doc.RowChanges().Reset(); // the whole walk, as after a load
        plan.chart->UpdateOverlappingProc();
    }
}

void SolveOverlapping_1000Pairs(benchmark::State &state)
{
    TOverlapPlan &plan = OverlapPlan();
    for (auto _ : state) {
        state.PauseTiming();
        if (!plan.doc.HasOverlappingNodes()) {
            plan.doc.UndoRedo().Undo();
            plan.doc.ForEach(feAll, [&plan](TNodeData &node) { plan.doc.GetEndOf(&node); });
            plan.chart->UpdateOverlappingProc();
        }
        state.ResumeTiming();
        plan.chart->Solver().ActionSolveOverlappingExecute();
    }
    state.counters["pairs"] = 1000;
}

} // namespace

BENCHMARK(Chart_Warm)->Unit(benchmark::kMillisecond);
BENCHMARK(Hover_1k)->Unit(benchmark::kMicrosecond);
BENCHMARK(Hover_100k)->Unit(benchmark::kMicrosecond);
BENCHMARK(Band_Move)->Unit(benchmark::kMicrosecond);
BENCHMARK(Overview_SliderMove)->Unit(benchmark::kMicrosecond);
BENCHMARK(Image_Copy)->Unit(benchmark::kMicrosecond);
BENCHMARK(Overview_Redraw)->Unit(benchmark::kMillisecond);
BENCHMARK(Scene_Overview)->Unit(benchmark::kMillisecond);
BENCHMARK(Overview_Redraw_10k)->Unit(benchmark::kMillisecond);
BENCHMARK(Scene_Overview_10k)->Unit(benchmark::kMillisecond);
BENCHMARK(OverlapPass_100k)->Unit(benchmark::kMillisecond);
BENCHMARK(SolveOverlapping_1000Pairs)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int result = bench::runWithFigures(argc, argv,
        { { "chartmouse.hover/full_repaint", "Hover_1k", "Chart_Warm", "<=", 0.02 },
            { "chartmouse.hover_100k/hover_1k", "Hover_100k", "Hover_1k", "<=", 1.5 },
            { "chartmouse.band_move/full_repaint", "Band_Move", "Chart_Warm", "<=", 0.1 },
            { "chartmouse.overview_slider_move/image_copy", "Overview_SliderMove", "Image_Copy", "<=", 2 },
            { "chartmouse.overview_redraw/scene", "Overview_Redraw", "Scene_Overview", "<=", 1.5 },
            { "chartmouse.overview_redraw_10k/scene_10k", "Overview_Redraw_10k", "Scene_Overview_10k",
                "<=", 1.5 },
            { "chartmouse.solve_1000_pairs/overlap_pass_100k", "SolveOverlapping_1000Pairs",
                "OverlapPass_100k", "<=", 20 } });
    bench::ResetChartPlans();
    MediumPlan().reset();
    Overlaps.reset();
    return result;
}
