// Utilisation curves against a plain scan over every step of the range.
#include "dialogs/stats/Utilisation.h"

#include <gtest/gtest.h>
#include <random>

namespace {

using Points = std::vector<TChartPoint>;

// The value at each step t = min + k / steps-per-day from the items running then,
// with a point wherever it changes.
Points Scan(const std::vector<TUtilisationItem> &items, const TUtilisationGrid &grid,
    const std::function<bool(const TUtilisationItem &)> &counts, const std::function<double(double)> &valueOf)
{
    const double perDay = grid.unit == muMinute ? 1440 : 1;
    const double extra = grid.unit == muDay ? 1 : 0;
    Points points;
    for (long long k = 0;; ++k) {
        const TDateTime t = grid.minDate + double(k) / perDay;
        if (!(t < grid.maxDate))
            break;
        double sum = 0;
        for (const TUtilisationItem &item : items)
            if (counts(item) && item.start <= t && t < item.end + extra)
                sum += item.value;
        const double value = valueOf(sum);
        if (points.empty() || points.back().value != value)
            points.push_back({ t, value });
    }
    return points;
}

const auto All = [](const TUtilisationItem &) { return true; };
const auto Sum = [](double sum) { return sum; };

// A plan of `count` tasks on three positions around [min, max]: some start
// before the range or end after it, some last a single step, some start between
// steps; values are quarters, whose sums are exact.
std::vector<TUtilisationItem> RandomPlan(
    std::mt19937 &rng, TMinUnit unit, TDateTime min, int steps, int count)
{
    const double perDay = unit == muMinute ? 1440 : 1;
    std::uniform_int_distribution<int> step(-steps / 10, steps + steps / 10);
    std::uniform_int_distribution<int> length(0, steps / 4);
    std::uniform_int_distribution<int> quarters(-4, 40);
    std::vector<TUtilisationItem> items;
    for (int i = 0; i < count; ++i) {
        const int first = step(rng);
        const double offset = unit == muMinute && i % 5 == 0 ? 0.5 : 0;
        const TDateTime start = min + (first + offset) / perDay;
        items.push_back({ start, start + length(rng) / perDay, quarters(rng) / 4.0, int(rng() % 3) });
    }
    return items;
}

TDateTime Day(int year, int month, int day)
{
    return EncodeDate(year, month, day);
}

} // namespace

TEST(Utilisation, TheSweepGivesThePointsOfAPlainScanInBothModes)
{
    std::mt19937 rng(31);
    for (const TMinUnit unit : { muDay, muMinute }) {
        const int steps = unit == muDay ? 400 : 3 * 1440;
        const TUtilisationGrid grid { Day(2024, 1, 1), Day(2024, 1, 1) + (unit == muDay ? steps : 3), unit };
        for (int round = 0; round < 20; ++round) {
            const auto items = RandomPlan(rng, unit, grid.minDate, steps, 1 + round * 3);
            EXPECT_EQ(UtilisationCurve(items, grid), Scan(items, grid, All, Sum));
            for (int position = 0; position < 3; ++position)
                EXPECT_EQ(PositionUtilisationCurve(items, grid, position),
                    Scan(
                        items, grid, [=](const TUtilisationItem &item) { return item.position == position; },
                        Sum));
            std::vector<TUtilisationItem> whole = items;
            for (TUtilisationItem &item : whole)
                item.value = std::trunc(item.value * 4);
            for (const int positions : { 1, 3, 7 })
                EXPECT_EQ(MeanUtilisationCurve(whole, grid, positions),
                    Scan(whole, grid, All, [=](double sum) { return double((long long)sum / positions); }));
        }
    }
}

TEST(Utilisation, OverlappingTasksStepUpAndDownWithOnePointPerChange)
{
    const TDateTime d = Day(2024, 3, 4);
    const TUtilisationGrid grid { d, d + 20, muDay };
    // Days 3..6 and 5..10, each to the end of its last day.
    const std::vector<TUtilisationItem> items = { { d + 3, d + 6 }, { d + 5, d + 10 } };
    EXPECT_EQ(UtilisationCurve(items, grid),
        (Points { { d, 0 }, { d + 3, 1 }, { d + 5, 2 }, { d + 7, 1 }, { d + 11, 0 } }));

    // A task of one day counts on that day; a task of no minutes never does.
    EXPECT_EQ(UtilisationCurve(std::vector<TUtilisationItem> { { d + 4, d + 4 } }, grid),
        (Points { { d, 0 }, { d + 4, 1 }, { d + 5, 0 } }));
    const TUtilisationGrid minutes { d, d + 1, muMinute };
    const TDateTime ten = d + 600 / 1440.0;
    EXPECT_EQ(
        UtilisationCurve(std::vector<TUtilisationItem> { { ten, ten }, { ten, ten + 90 / 1440.0 } }, minutes),
        (Points { { d, 0 }, { ten, 1 }, { d + 690 / 1440.0, 0 } }));

    // An empty range has no steps.
    EXPECT_TRUE(UtilisationCurve(items, { d, d, muDay }).empty());
}

TEST(Utilisation, MinuteStepsFallOnWholeDaysHalfAYearOn)
{
    // 260,640 minutes on: adding a minute at a time would be well off by now.
    const TDateTime start = Day(2024, 1, 1);
    const TUtilisationGrid grid { start, start + 200, muMinute };
    EXPECT_EQ(StepDate(grid, 181 * 1440), Day(2024, 6, 30));
    const std::vector<TUtilisationItem> items = { { Day(2024, 6, 30), Day(2024, 7, 1) } };
    EXPECT_EQ(UtilisationCurve(items, grid),
        (Points { { start, 0 }, { Day(2024, 6, 30), 1 }, { Day(2024, 7, 1), 0 } }));
}

TEST(Utilisation, PositionSumsAndTheTruncatedMeanOverAllPositions)
{
    const TDateTime d = Day(2024, 3, 4);
    const TUtilisationGrid grid { d, d + 10, muDay };
    const std::vector<TUtilisationItem> items
        = { { d + 1, d + 2, 4, 0 }, { d + 2, d + 4, 2, 1 }, { d + 2, d + 2, 3, 0 } };
    EXPECT_EQ(PositionUtilisationCurve(items, grid, 0),
        (Points { { d, 0 }, { d + 1, 4 }, { d + 2, 7 }, { d + 3, 0 } }));
    EXPECT_EQ(PositionUtilisationCurve(items, grid, 1), (Points { { d, 0 }, { d + 2, 2 }, { d + 5, 0 } }));
    // Sums 4, 9, 2, 2 over three positions: 1, 3, 0, 0; the two days of 0 are one point.
    EXPECT_EQ(MeanUtilisationCurve(items, grid, 3),
        (Points { { d, 0 }, { d + 1, 1 }, { d + 2, 3 }, { d + 3, 0 } }));
    EXPECT_EQ(MeanUtilisationCurve(items, grid, 0), (Points { { d, 0 } }));
}
