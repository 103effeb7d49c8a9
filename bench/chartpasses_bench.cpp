// The chart's layout passes on a large plan (100k tasks, 20k absent rows, about
// 2,000 chart rows), each beside its floor: a bare walk reading start, end and
// position of every row (for the overlaps also sorting the starts). The same
// passes on a tenth of the plan (tasks, absent rows, positions) show whether they
// grow faster than the plan. A one-day scroll costs the same on 2,000 rows as on 20.
// Each pass here walks every row, as after a load (an edit's pass follows only the
// rows it changed).
#include "bench/BenchSupport.h"
#include "bench/generator/DocumentGenerator.h"
#include "timechart/CanvasPanel.h"
#include "timechart/TimeChart.h"
#include "timechart/TimeChartHost.h"

#include <QApplication>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <map>
#include <memory>
#include <vector>

namespace {

// Hides empty rows, so the empty-rows pass has work to do.
class BenchHost final : public ITimeChartHost {
public:
    BenchHost() { FSettings.HideRows = true; }
    const TProgramSettings &ProgramSettings() const override { return FSettings; }

private:
    TProgramSettings FSettings;
};

// A generated plan with its chart in a window of 1200 x 800.
struct Plan {
    BenchHost host;
    Document doc;
    std::unique_ptr<TTimeChart> chart;

    Plan(int tasks, int absentRows, int positions)
    {
        GeneratorOptions options;
        options.tasks = tasks;
        options.absentRows = absentRows;
        options.positions = positions;
        GenerateDocument(doc, options);
        chart = std::make_unique<TTimeChart>(doc, host);
        chart->resize(1240, 1000);
        chart->show();
        chart->TimeChart().setFixedSize(1200, 800);
        QCoreApplication::processEvents();
        // Settle: the first passes derive what the later ones find unchanged.
        for (int i = 0; i < 2; ++i) {
            chart->UpdateEmptyRowsProc();
            chart->UpdateBoundsProc();
            chart->UpdateOverlappingProc();
        }
        chart->SetTimeChartDestination(chart->MinDate() + 100, 0, true);
        QCoreApplication::processEvents();
    }
};

// 1,820 positions, every tenth of two rows: 2,002 chart rows.
constexpr int ManyPositions = 1820;

// The plans compared: 100k tasks on 2,002 rows; a tenth of it (10k tasks on 200
// rows, as many tasks a row); 10k tasks on the large plan's rows; 20 rows.
enum PlanKind : int { Big, Small, SmallOnManyRows, TwentyRows };

// The plans live until main ends, before the application goes.
std::map<int, std::unique_ptr<Plan>> &Plans()
{
    static std::map<int, std::unique_ptr<Plan>> plans;
    return plans;
}

Plan &PlanOf(int kind)
{
    auto &plan = Plans()[kind];
    if (!plan) {
        switch (kind) {
        case Big:
            plan = std::make_unique<Plan>(100000, 20000, ManyPositions);
            break;
        case Small:
            plan = std::make_unique<Plan>(10000, 2000, ManyPositions / 10);
            break;
        case SmallOnManyRows:
            plan = std::make_unique<Plan>(10000, 2000, ManyPositions);
            break;
        default: // positions 0 and 10 have two rows
            plan = std::make_unique<Plan>(2000, 200, 18);
        }
    }
    return *plan;
}

void Floor(benchmark::State &state, int kind, bool sort)
{
    Document &doc = PlanOf(kind).doc;
    std::vector<double> starts;
    for (auto _ : state) {
        starts.clear();
        double sum = 0;
        doc.ForEach(feAll, [&](TNodeData &node) {
            const TDateTime start = doc.GetStartOf(&node);
            sum += start + doc.GetEndOf(&node) + node.nodePosition;
            if (sort)
                starts.push_back(start);
        });
        if (sort)
            std::sort(starts.begin(), starts.end());
        benchmark::DoNotOptimize(sum);
        benchmark::DoNotOptimize(starts.data());
    }
}

void BM_Floor(benchmark::State &state, int kind)
{
    Floor(state, kind, false);
}

void BM_FloorSort(benchmark::State &state, int kind)
{
    Floor(state, kind, true);
}

void BM_BoundsPass(benchmark::State &state, int kind)
{
    Plan &plan = PlanOf(kind);
    TTimeChart &chart = *plan.chart;
    for (auto _ : state) {
        plan.doc.RowChanges().Reset(); // the whole walk, as after a load
        chart.UpdateBoundsProc();
    }
}

void BM_EmptyRowsPass(benchmark::State &state, int kind)
{
    Plan &plan = PlanOf(kind);
    TTimeChart &chart = *plan.chart;
    for (auto _ : state) {
        plan.doc.RowChanges().Reset(); // the whole walk, as after a load
        chart.UpdateEmptyRowsProc();
    }
}

void BM_OverlapPass(benchmark::State &state, int kind)
{
    Plan &plan = PlanOf(kind);
    TTimeChart &chart = *plan.chart;
    for (auto _ : state) {
        plan.doc.RowChanges().Reset(); // the whole walk, as after a load
        chart.UpdateOverlappingProc();
    }
}

// One day to the right and back, each repainted.
void BM_DayScroll(benchmark::State &state, int kind)
{
    TTimeChart &chart = *PlanOf(kind).chart;
    const TDateTime start = chart.TimeChartStart();
    int step = 0;
    for (auto _ : state) {
        chart.SetTimeChartStart(start + (++step % 2));
        QCoreApplication::processEvents();
    }
}

} // namespace

BENCHMARK_CAPTURE(BM_Floor, 100k, Big)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Floor, 10k, Small)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FloorSort, 100k, Big)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FloorSort, 10k, Small)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_BoundsPass, 100k, Big)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_BoundsPass, 10k, Small)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_EmptyRowsPass, 100k, Big)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_EmptyRowsPass, 10k, Small)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OverlapPass, 100k, Big)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OverlapPass, 10k, Small)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OverlapPass, 10k_2000rows, SmallOnManyRows)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DayScroll, 2000rows, Big)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_DayScroll, 20rows, TwentyRows)->Unit(benchmark::kMicrosecond);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_SCALE_FACTOR", "1");
    QApplication app(argc, argv);
    QApplication::setFont(QFont(QStringLiteral("Liberation Sans"), 8));
    const int result = bench::runWithFigures(argc, argv,
        { { "chartpasses.bounds_100k/floor", "BM_BoundsPass/100k", "BM_Floor/100k", "<=", 5 },
            { "chartpasses.empty_rows_100k/floor", "BM_EmptyRowsPass/100k", "BM_Floor/100k", "<=", 5 },
            { "chartpasses.overlaps_100k/floor_sort", "BM_OverlapPass/100k", "BM_FloorSort/100k", "<=", 5 },
            // Each pass's growth from 10k to 100k beside the bare walk's own growth
            // (rows beyond what the caches hold make the walk itself grow faster
            // than the plan): a pass should grow no faster than its floor.
            { "chartpasses.bounds_100k/10k", "BM_BoundsPass/100k", "BM_BoundsPass/10k", "", 0 },
            { "chartpasses.empty_rows_100k/10k", "BM_EmptyRowsPass/100k", "BM_EmptyRowsPass/10k", "", 0 },
            { "chartpasses.overlaps_100k/10k", "BM_OverlapPass/100k", "BM_OverlapPass/10k", "", 0 },
            { "chartpasses.floor_100k/10k", "BM_Floor/100k", "BM_Floor/10k", "", 0 },
            { "chartpasses.floor_sort_100k/10k", "BM_FloorSort/100k", "BM_FloorSort/10k", "", 0 },
            { "chartpasses.bounds_growth/floor_growth", "BM_BoundsPass/100k", "BM_BoundsPass/10k", "<=", 1.2,
                1, "BM_Floor/100k", "BM_Floor/10k" },
            { "chartpasses.empty_rows_growth/floor_growth", "BM_EmptyRowsPass/100k", "BM_EmptyRowsPass/10k",
                "<=", 1.2, 1, "BM_Floor/100k", "BM_Floor/10k" },
            { "chartpasses.overlaps_growth/floor_sort_growth", "BM_OverlapPass/100k", "BM_OverlapPass/10k",
                "<=", 1.2, 1, "BM_FloorSort/100k", "BM_FloorSort/10k" },
            // A tenth of the tasks on the same rows overlap far less (overlaps grow
            // with the tasks a row holds): shown, not judged.
            { "chartpasses.overlaps_100k/10k_2000rows", "BM_OverlapPass/100k", "BM_OverlapPass/10k_2000rows",
                "", 0 },
            { "chartpasses.day_scroll_2000rows/20rows", "BM_DayScroll/2000rows", "BM_DayScroll/20rows",
                "<=", 1.5 } });
    Plans().clear();
    return result;
}
