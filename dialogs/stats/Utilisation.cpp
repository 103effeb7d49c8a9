#include "dialogs/stats/Utilisation.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

double StepsPerDay(TMinUnit unit)
{
    return unit == muMinute ? 1440.0 : 1.0;
}

// The first step index k in [0, limit] with StepDate(k) >= date, or limit. The estimate from the division is
// corrected against the very dates the steps have, so an item counts exactly at the steps where start <= t <
// end holds.
long long FirstStepFrom(const TUtilisationGrid &grid, TDateTime date, long long limit)
{
    const double estimate = std::ceil((date - grid.minDate) * StepsPerDay(grid.unit));
    long long k = !(estimate > 0) ? 0 : estimate >= double(limit) ? limit : static_cast<long long>(estimate);
    while (k > 0 && StepDate(grid, k - 1) >= date)
        --k;
    while (k < limit && StepDate(grid, k) < date)
        ++k;
    return k;
}

// A change of the running sum at step k.
struct TEvent {
    long long k;
    double delta;
    int running;
};

// The value maps the running sum of the counted items to the curve's value.
std::vector<TChartPoint> Sweep(std::span<const TUtilisationItem> items, const TUtilisationGrid &grid,
    const std::function<bool(const TUtilisationItem &)> &counts, const std::function<double(double)> &valueOf)
{
    if (!std::isfinite(grid.minDate) || !std::isfinite(grid.maxDate) || !(grid.maxDate > grid.minDate))
        return {};
    // Far more steps than any date range has: 10,000 years of minutes.
    constexpr long long MaxSteps = 10000LL * 366 * 1440;
    const long long steps = FirstStepFrom(grid, grid.maxDate, MaxSteps);
    const double extra = grid.unit == muDay ? 1 : 0; // to the end of the last day

    std::vector<TEvent> events;
    events.reserve(items.size() * 2);
    for (const TUtilisationItem &item : items) {
        if (!counts(item) || !std::isfinite(item.start) || !std::isfinite(item.end)
            || !std::isfinite(item.value))
            continue;
        const long long first = FirstStepFrom(grid, item.start, steps);
        const long long end = FirstStepFrom(grid, item.end + extra, steps);
        if (first >= end)
            continue;
        events.push_back({ first, item.value, 1 });
        if (end < steps)
            events.push_back({ end, -item.value, -1 });
    }
    std::sort(events.begin(), events.end(), [](const TEvent &a, const TEvent &b) { return a.k < b.k; });

    std::vector<TChartPoint> points;
    double sum = 0;
    long long running = 0;
    auto next = events.cbegin();
    for (long long k = 0;;) {
        for (; next != events.cend() && next->k == k; ++next) {
            sum += next->delta;
            running += next->running;
        }
        if (running == 0)
            sum = 0; // no rounding left over from values added and taken away
        const double value = valueOf(sum);
        if (points.empty() || value != points.back().value)
            points.push_back({ StepDate(grid, k), value });
        if (next == events.cend())
            break;
        k = next->k;
    }
    return points;
}

double Identity(double sum)
{
    return sum;
}

} // namespace

TDateTime StepDate(const TUtilisationGrid &grid, long long k)
{
    return grid.minDate + double(k) / StepsPerDay(grid.unit);
}

std::vector<TChartPoint> UtilisationCurve(
    std::span<const TUtilisationItem> items, const TUtilisationGrid &grid)
{
    return Sweep(
        items, grid, [](const TUtilisationItem &) { return true; }, Identity);
}

std::vector<TChartPoint> PositionUtilisationCurve(
    std::span<const TUtilisationItem> items, const TUtilisationGrid &grid, int position)
{
    return Sweep(
        items, grid, [position](const TUtilisationItem &item) { return item.position == position; },
        Identity);
}

std::vector<TChartPoint> MeanUtilisationCurve(
    std::span<const TUtilisationItem> items, const TUtilisationGrid &grid, int positionCount)
{
    return Sweep(
        items, grid, [](const TUtilisationItem &) { return true; },
        [positionCount](double sum) {
            return positionCount > 0 ? double(static_cast<long long>(sum) / positionCount) : 0.0;
        });
}
