#include "document/WorkingTimeCache.h"

#include "document/ChartRows.h"

#include <gtest/gtest.h>

// The chart rows and the walks' cache stand on their own, without a document.
TEST(WorkingTimeCache, AbsentDaysOfAMultiRowPositionApplyToEachOfItsRows)
{
    TChartRows rows;
    rows.SetPositions({ "Press,,3", "Saw" }, true); // positions 0..2 are Press, 3 is Saw
    TWorkingTimeCache cache;
    cache.SetPositions(rows);
    const TDateTime monday = EncodeDate(2024, 3, 4), friday = EncodeDate(2024, 3, 8);
    cache.SetAbsences({
        { 1, monday, monday + 1 }, // Press (1): Monday and Tuesday
        { kAllPositions, friday, friday }, // everybody on Friday
        { 3, monday + 2, monday + 2 }, // Saw on Wednesday
        { 9, monday, friday }, // no such position
    });
    const auto spans = [](std::span<const DaySpan> s) { return std::vector<DaySpan>(s.begin(), s.end()); };
    const std::int64_t mon = std::int64_t(monday), fri = std::int64_t(friday);
    for (int press = 0; press < 3; ++press) {
        const WorkingTimeWalk walk = cache.WalkFor(press, true, true);
        EXPECT_EQ(spans(walk.absences[0]), (std::vector<DaySpan> { { fri, fri + 1 } })) << press;
        EXPECT_EQ(spans(walk.absences[1]), (std::vector<DaySpan> { { mon, mon + 2 } })) << press;
    }
    EXPECT_EQ(
        spans(cache.WalkFor(3, true, true).absences[1]), (std::vector<DaySpan> { { mon + 2, mon + 3 } }));
    EXPECT_TRUE(cache.WalkFor(0, false, true).absences[1].empty()); // absent rows walk without them

    // Positions that move make the absent days out of date.
    rows.SetPositions({ "Saw" }, true);
    cache.SetPositions(rows);
    EXPECT_FALSE(cache.AbsencesValid());
}

TEST(ChartRows, AShownGroupMapsPositionsToItsRows)
{
    TChartRows rows;
    rows.SetPositions({ "Press,,2", "Saw", "Drill" }, true);
    rows.SetShownRows(TChartRows::ExpandRows({ "Drill", "Press,,2" }));
    // Positions: Press, "Press (1)", Saw, Drill; rows: Drill, Press, Press (1).
    EXPECT_EQ(rows.PositionInPositionGroup(), (std::vector<int> { 1, 2, -2, 0 }));
    EXPECT_EQ(rows.FirstPositionOfRow(0), 3);
    EXPECT_EQ(rows.RowOfPosition(kAllPositions), kAllPositions);
    EXPECT_EQ(rows.RowOfPosition(7), -1);
    EXPECT_EQ(rows.MultipleRowSpan(tbExclude, 1), (TInterval { 1, 2 })); // an absent day of Press
    EXPECT_EQ(rows.RowCount(), 3);
    rows.SetPositions({ "Saw" }, false); // no column bound to positions: one row
    EXPECT_EQ(rows.RowCount(), 1);
}
