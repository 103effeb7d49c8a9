// The utilisation curve of 100,000 tasks over two years in minute mode, beside
// sorting their 200,000 start and end dates.
#include "bench/BenchSupport.h"
#include "dialogs/stats/Utilisation.h"

#include <algorithm>

namespace {

constexpr int Tasks = 100000;
const TUtilisationGrid Grid { 45292, 45292 + 731, muMinute }; // 2024 and 2025

const std::vector<TUtilisationItem> &Plan()
{
    static const std::vector<TUtilisationItem> items = [] {
        std::mt19937 rng(110);
        std::vector<TUtilisationItem> plan;
        plan.reserve(Tasks);
        for (int i = 0; i < Tasks; ++i) {
            const TDateTime start = Grid.minDate + double(rng() % (731 * 1440)) / 1440;
            plan.push_back({ start, start + double(rng() % (10 * 1440) + 1) / 1440, 1, int(rng() % 50) });
        }
        return plan;
    }();
    return items;
}

void Curve(benchmark::State &state)
{
    std::size_t points = 0;
    for (auto _ : state) {
        const auto curve = UtilisationCurve(Plan(), Grid);
        points = curve.size();
        benchmark::DoNotOptimize(curve.data());
    }
    state.counters["points"] = double(points);
}

void SortEvents(benchmark::State &state)
{
    std::vector<TDateTime> events;
    for (auto _ : state) {
        events.clear();
        events.reserve(2 * Plan().size());
        for (const TUtilisationItem &item : Plan()) {
            events.push_back(item.start);
            events.push_back(item.end);
        }
        std::sort(events.begin(), events.end());
        benchmark::DoNotOptimize(events.data());
    }
}

BENCHMARK(Curve)->Unit(benchmark::kMillisecond);
BENCHMARK(SortEvents)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return bench::runWithFigures(
        argc, argv, { { "utilisation.minute_curve/sort_events", "Curve", "SortEvents", "<=", 3.0 } });
}
