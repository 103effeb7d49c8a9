// Absent days inside a range of days, both ends included.
#include "dialogs/stats/AbsenceCount.h"

#include <gtest/gtest.h>

namespace {

TDateTime Day(int month, int day)
{
    return EncodeDate(2024, month, day);
}

// 480 minutes for each day from Monday to Friday, as a position working those days
// measures its rows.
double Weekdays(int, TDateTime from, TDateTime to)
{
    double minutes = 0;
    for (TDateTime d = from; d < to; ++d)
        minutes += DayOfWeek(d) == 1 || DayOfWeek(d) == 7 ? 0 : 480;
    return minutes;
}

} // namespace

TEST(AbsenceCount, ARowCountsTheWorkingDaysItSharesWithTheRange)
{
    // Monday 4 March to Friday 15 March: ten working days.
    const TAbsentItem holiday { Day(3, 4), Day(3, 15), 0, 0 };
    EXPECT_EQ(AbsentDaysInRange(holiday, 0, Day(3, 1), Day(3, 31), Weekdays), 10);
    // Cut at the start (from Monday 11th) and at the end (to Tuesday 5th).
    EXPECT_EQ(AbsentDaysInRange(holiday, 0, Day(3, 11), Day(3, 31), Weekdays), 5);
    EXPECT_EQ(AbsentDaysInRange(holiday, 0, Day(1, 1), Day(3, 5), Weekdays), 2);
    // Both ends belong to the range: a row on its first or last day counts.
    EXPECT_EQ(AbsentDaysInRange(holiday, 0, Day(3, 15), Day(3, 20), Weekdays), 1);
    EXPECT_EQ(AbsentDaysInRange(holiday, 0, Day(2, 1), Day(3, 4), Weekdays), 1);
    // Only the weekend in between, or no day in common: nothing, never less.
    EXPECT_EQ(AbsentDaysInRange(holiday, 0, Day(3, 9), Day(3, 10), Weekdays), 0);
    EXPECT_EQ(AbsentDaysInRange(holiday, 0, Day(3, 16), Day(3, 31), Weekdays), 0);
    EXPECT_EQ(AbsentDaysInRange(
                  holiday, 0, Day(3, 4), Day(3, 15), [](int, TDateTime, TDateTime) { return -480.0; }),
        0);
}

TEST(AbsenceCount, TotalsPerChartRowAndReason)
{
    const std::vector<TAbsentItem> items = {
        { Day(3, 4), Day(3, 8), 0, 1 }, // 5 days
        { Day(3, 11), Day(3, 11), 0, 1 }, // 1
        { Day(3, 12), Day(3, 13), 0, 0 }, // 2
        { Day(3, 28), Day(4, 5), 2, 0 }, // cut to 28 and 29 March: 2
        { Day(3, 4), Day(3, 8), 3, 0 }, // no such row
        { Day(3, 4), Day(3, 8), 1, -1 }, // no reason
    };
    std::vector<int> measured;
    const auto measure = [&](int item, TDateTime from, TDateTime to) {
        measured.push_back(item);
        return Weekdays(item, from, to);
    };
    const auto totals = AbsenceTotals(items, 3, 2, Day(3, 1), Day(3, 31), measure);
    EXPECT_EQ(totals, (std::vector<std::vector<double>> { { 2, 6 }, { 0, 0 }, { 2, 0 } }));
    EXPECT_EQ(measured, (std::vector<int> { 0, 1, 2, 3 }));
}
