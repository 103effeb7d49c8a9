#pragma once

#include "document/DocumentTypes.h"

#include <span>
#include <vector>

// Utilisation curves: how much of the plan runs at each step of the chart's date
// range. Steps lie at minDate + k x step for whole k (no step is ever added onto
// the previous one, so no error builds up); the step is one day, or one minute
// in minute mode. The value at a step sums the items running then; a curve holds
// a point where the value changes, and always its first step.

// One row of the plan: its start and its end as the row gives it. A row runs
// while start <= t < end; in day mode the end is the last day, and the row runs
// to the end of that day.
struct TUtilisationItem {
    TDateTime start = 0;
    TDateTime end = 0;
    double value = 1;
    int position = 0;
};

struct TUtilisationGrid {
    TDateTime minDate = 0;
    TDateTime maxDate = 0;
    TMinUnit unit = muDay;
};

struct TChartPoint {
    TDateTime date = 0;
    double value = 0;
    bool operator==(const TChartPoint &) const = default;
};

// The step at index k.
TDateTime StepDate(const TUtilisationGrid &grid, long long k);

// The sum of the values of the running items.
std::vector<TChartPoint> UtilisationCurve(
    std::span<const TUtilisationItem> items, const TUtilisationGrid &grid);
// The same over the items of one position.
std::vector<TChartPoint> PositionUtilisationCurve(
    std::span<const TUtilisationItem> items, const TUtilisationGrid &grid, int position);
// The sum over all items (whole values) divided by the number of positions,
// truncated; 0 throughout when there are no positions.
std::vector<TChartPoint> MeanUtilisationCurve(
    std::span<const TUtilisationItem> items, const TUtilisationGrid &grid, int positionCount);
