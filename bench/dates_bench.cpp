// Task ends over working time on a large plan (100,000 tasks of about five working
// days on 1,000 positions, 10,000 absent rows, a year of public holidays), beside
// the floor: the same start dates plus the same numbers of days, read from the
// same rows.
#include "bench/BenchSupport.h"
#include "bench/generator/DocumentGenerator.h"

#include <vector>

namespace {

struct Plan {
    Document doc;
    std::vector<TNodeData *> tasks;
};

Plan &plan()
{
    static Plan *p = [] {
        auto *made = new Plan;
        GeneratorOptions o;
        o.tasks = 100000;
        o.absentRows = 10000;
        o.positions = 1000;
        GenerateDocument(made->doc, o);
        made->doc.ForEach(tbTable, feAll, [made](TNodeData &row) { made->tasks.push_back(&row); });
        return made;
    }();
    return *p;
}

// The walk alone: every end derived again from start, length, week, holidays and
// the position's absent days.
void BM_WalkEveryEnd(benchmark::State &state)
{
    Plan &p = plan();
    for (auto _ : state) {
        for (TNodeData *row : p.tasks)
            benchmark::DoNotOptimize(p.doc.CalcEndOf(*row));
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(p.tasks.size()));
}

// The floor: start + days for the same rows.
void BM_FloorAddDays(benchmark::State &state)
{
    Plan &p = plan();
    std::vector<TDateTime> ends(p.tasks.size());
    for (auto _ : state) {
        for (std::size_t i = 0; i < p.tasks.size(); ++i)
            ends[i] = p.tasks[i]->nodeStart + p.tasks[i]->nodeLength / 480;
        benchmark::DoNotOptimize(ends.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(p.tasks.size()));
}

// After an absent row changed: the absent days of every position are gathered
// again on the next walk.
void BM_WalkEveryEndAfterAbsentChange(benchmark::State &state)
{
    Plan &p = plan();
    for (auto _ : state) {
        p.doc.AbsentDaysChanged();
        for (TNodeData *row : p.tasks)
            benchmark::DoNotOptimize(p.doc.CalcEndOf(*row));
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(p.tasks.size()));
}

// The whole road of a recomputed end: the walk, then the End cell written and the
// row validated again.
void BM_GetEndOfEveryRow(benchmark::State &state)
{
    Plan &p = plan();
    for (auto _ : state) {
        for (TNodeData *row : p.tasks)
            row->RecalcEndOf = true;
        for (TNodeData *row : p.tasks)
            benchmark::DoNotOptimize(p.doc.GetEndOf(row));
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(p.tasks.size()));
}

} // namespace

BENCHMARK(BM_WalkEveryEnd)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FloorAddDays)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WalkEveryEndAfterAbsentChange)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetEndOfEveryRow)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char **argv)
{
    return bench::runWithFigures(argc, argv,
        { { "dates.walk_every_end/floor", "BM_WalkEveryEnd", "BM_FloorAddDays", "<=", 5 },
            { "dates.walk_after_absent_change/floor", "BM_WalkEveryEndAfterAbsentChange", "BM_FloorAddDays",
                "<=", 5 },
            { "dates.recompute_every_end/floor", "BM_GetEndOfEveryRow", "BM_FloorAddDays", "<=", 5 } });
}
