#include "document/WorkingTimeCache.h"

#include "document/ChartRows.h"

#include <cmath>
#include <gtest/gtest.h>
#include <random>

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

// Ends through the cache's tables against the plain walk over the same
// calendars: positions with and without absent days of their own, absent rows
// (no absent days), hours and whole days, lengths of none or less, and starts so
// far away that the tables give way to the walk.
// Positions set again and again, the same items or others, with groups shown
// in between: the rows always read as in rows given only the last of each.
TEST(ChartRows, PositionsSetAgainReadAsPositionsSetOnce)
{
    const std::vector<QStringList> pool { { "Press,,2", "Saw", "Drill" }, { "Press,,2", "Saw", "Drill" },
        { "Saw,,3", "press" }, {}, { "Drill,Mo 8-12", "Saw,,2" } };
    std::mt19937 random(5);
    TChartRows rows;
    QStringList items;
    QStringList shown;
    bool bound = false; // as before any positions
    for (int step = 0; step < 300; ++step) {
        const QStringList &some = pool[random() % pool.size()];
        if (random() % 3 == 0) {
            shown = TChartRows::ExpandRows(random() % 2 ? some : QStringList { some.value(0) });
            rows.SetShownRows(shown);
        } else {
            items = QStringList(some.begin(), some.end()); // equal, not shared
            bound = random() % 4 != 0;
            rows.SetPositions(items, bound);
        }
        TChartRows once;
        once.SetPositions(items, bound);
        once.SetShownRows(shown);
        ASSERT_EQ(rows.AllPositions(), once.AllPositions()) << step;
        ASSERT_EQ(rows.RowCount(), once.RowCount()) << step;
        ASSERT_EQ(rows.PositionInPositionGroup(), once.PositionInPositionGroup()) << step;
        ASSERT_EQ(rows.PositionsInHolidayGroup(), once.PositionsInHolidayGroup()) << step;
        ASSERT_EQ(rows.WeekOfPosition(), once.WeekOfPosition()) << step;
        ASSERT_EQ(rows.DistinctWeeks().size(), once.DistinctWeeks().size()) << step;
        for (int row = 0; row < rows.RowCount(); ++row)
            ASSERT_EQ(rows.FirstPositionOfRow(row), once.FirstPositionOfRow(row)) << step;
    }
}

TEST(WorkingTimeCache, EndsAreThoseOfTheWalk)
{
    std::mt19937 random(7);
    TChartRows rows;
    tWeekInfo late = DefaultWeekInfo();
    late[6].active = true; // Saturday
    late[2].start = 10.5 / 24;
    rows.SetPositions({ "Press,,3", "Saw," + WeekInfo2String(late), "Drill" }, true);
    TWorkingTimeCache cache;
    cache.SetPositions(rows);
    cache.SetHolidays({ { "New Year", 1, 1, true, false }, { "Easter Monday", 1, 0, true, true } });
    const TDateTime first = EncodeDate(2024, 1, 1);
    std::vector<TWorkingTimeCache::TAbsence> absences;
    for (int i = 0; i < 40; ++i) {
        const TDateTime start = first + double(random() % 700);
        absences.push_back({ int(random() % 5) - (i % 9 == 0 ? 2 : 0), start, start + double(random() % 6) });
    }
    cache.SetAbsences(absences);
    for (int i = 0; i < 20000; ++i) {
        const int position = int(random() % 6) - 1; // -1: no such position
        const bool withAbsences = random() % 4 != 0, wholeDays = random() % 2 == 0;
        const std::uint32_t where = random() % 100;
        const double start = where == 0 ? first + 20000 + double(random() % 9000) // far off
            : where == 1                ? double(kLastWalkDay - 30) // near the last date
                                        : first + double(random() % 800) + double(random() % 96) / 96;
        const std::int64_t minutes = where == 2 ? -int(random() % 3) : std::int64_t(random() % 20000);
        const WalkResult got = cache.EndOf(position, withAbsences, wholeDays, start, minutes);
        const WalkResult walked = minutes <= 0
            ? WalkResult { start, true }
            : WalkToEnd(cache.WalkFor(position, withAbsences, wholeDays), start, minutes);
        ASSERT_EQ(got.end, walked.end) << i;
        ASSERT_EQ(got.reached, walked.reached) << i;
        if (i == 10000) // a changed absent row builds the tables it touches anew
            cache.SetAbsences({ { kAllPositions, first + 3, first + 9 }, { 3, first + 40, first + 44 } });
    }
}

// Look-ups start among the absent days near their start: dense absent days (many
// in every few weeks, single days and runs), starts before, among and after them,
// on either side of every month's edge.
TEST(WorkingTimeCache, EndsAmongDenseAbsentDaysAreThoseOfTheWalk)
{
    std::mt19937 random(31);
    TChartRows rows;
    rows.SetPositions({ "Press,,2", "Saw", "Drill" }, true);
    TWorkingTimeCache cache;
    cache.SetPositions(rows);
    cache.SetHolidays({ { "May Day", 1, 5, true, false } });
    const TDateTime first = EncodeDate(2024, 1, 1);
    std::vector<TWorkingTimeCache::TAbsence> absences;
    for (int day = 0; day < 400; day += 2 + int(random() % 3)) {
        const int position = int(random() % 3) + (day % 7 == 0 ? 1 : 0);
        // Now and then a part of a day at either end, which does not count.
        const double from = first + day + (random() % 5 == 0 ? 0.5 : 0.0);
        absences.push_back(
            { position, from, first + day + double(random() % 3 == 0 ? 2 : 0) + 0.25 * (random() % 2) });
    }
    cache.SetAbsences(absences);
    // Each position sees its group's days, overlapping and touching runs merged.
    const int groupOf[] = { 0, 0, 2, 3 };
    for (int position = 0; position < 4; ++position) {
        std::vector<DaySpan> own;
        for (const TWorkingTimeCache::TAbsence &a : absences) {
            if (groupOf[a.position] == groupOf[position])
                own.push_back({ std::int64_t(std::ceil(a.start)), std::int64_t(std::floor(a.end)) + 1 });
        }
        const std::span<const DaySpan> seen = cache.WalkFor(position, true, true).absences[1];
        ASSERT_EQ(std::vector<DaySpan>(seen.begin(), seen.end()), DaySpans(own).Spans()) << position;
    }
    for (int i = 0; i < 20000; ++i) {
        const int position = int(random() % 4);
        const bool wholeDays = random() % 2 == 0;
        const double start = first + double(int(random() % 500) - 50) + (random() % 4 == 0 ? 0.4 : 0.0);
        const std::int64_t minutes = std::int64_t(random() % 12000) + 1;
        const WalkResult got = cache.EndOf(position, true, wholeDays, start, minutes);
        const WalkResult walked = WalkToEnd(cache.WalkFor(position, true, wholeDays), start, minutes);
        ASSERT_EQ(got.end, walked.end) << i << ' ' << position << ' ' << start << ' ' << minutes;
        ASSERT_EQ(got.reached, walked.reached) << i;
    }
}

// The one-step answer for whole-day tasks from midnight against the walk: starts
// on holidays, weekends, absent days of everybody and of the position, lengths of
// none, less than none or not whole days (no answer), and ends running past the
// table's last day or starts before its first (no answer: the walk takes them).
TEST(WorkingTimeCache, LastWholeDaysAreThoseOfTheWalk)
{
    std::mt19937 random(53);
    TChartRows rows;
    tWeekInfo late = DefaultWeekInfo();
    late[6].active = true; // Saturday
    late[2].start = 10.5 / 24;
    rows.SetPositions({ "Press,,2", "Saw," + WeekInfo2String(late), "Drill" }, true);
    TWorkingTimeCache cache;
    cache.SetPositions(rows);
    cache.SetHolidays({ { "New Year", 1, 1, true, false }, { "Easter Monday", 1, 0, true, true },
        { "Day of Labour", 1, 5, true, false } });
    const TDateTime first = EncodeDate(2024, 1, 1);
    std::vector<TWorkingTimeCache::TAbsence> absences;
    for (int day = 0; day < 760; day += 1 + int(random() % 9)) {
        const int position = int(random() % 5) - (day % 11 == 0 ? 9 : 0); // now and then everybody
        absences.push_back({ position < 0 ? kAllPositions : position, first + day,
            first + day + double(random() % 4 == 0 ? random() % 8 : 0) });
    }
    TDateTime last = 0;
    EXPECT_FALSE(cache.LastWholeDay(0, first, 480, last)); // absent days not yet handed in
    cache.SetAbsences(absences);
    EXPECT_FALSE(cache.LastWholeDay(0, first, 480, last)); // no table counted yet
    // Each week's table then counts the days from a year before to two after.
    for (int position = 0; position < 4; ++position)
        cache.EndOf(position, true, true, first, 480);

    int answered = 0;
    for (int i = 0; i < 20000; ++i) {
        const int position = int(random() % 5) - 1; // -1: no such position
        const std::uint32_t kind = random() % 20;
        const double start = first + double(int(random() % 1200) - 400) + (kind == 0 ? 0.5 : 0.0);
        const std::int32_t minutes = kind == 1 ? -int(random() % 2) * 480 // none or less
            : kind == 2 ? int(random() % 6) * 480 + 1 + int(random() % 479) // part days
                        : int(random() % 60 + 1) * 480;
        if (!cache.LastWholeDay(position, start, minutes, last)) {
            // Only the common case may be answered here; all else goes the long way.
            const bool common = position >= 0 && kind > 2 && start >= first - 366 && start < first + 732
                && start + minutes / 480 < first + 600;
            ASSERT_FALSE(common) << i << ' ' << position << ' ' << start << ' ' << minutes;
            continue;
        }
        ++answered;
        ASSERT_TRUE(position >= 0 && kind > 2) << i;
        const WalkResult walked = WalkToEnd(cache.WalkFor(position, true, true), start, minutes);
        ASSERT_TRUE(walked.reached) << i;
        ASSERT_EQ(last, std::floor(walked.end) - 1) << i << ' ' << position << ' ' << start << ' ' << minutes;
    }
    EXPECT_GT(answered, 10000);
}
