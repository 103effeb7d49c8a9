#include "document/calendar/WorkingDayTable.h"

#include <gtest/gtest.h>
#include <random>

// The tables must answer exactly as the walk does (it is the reference), for any
// week, holidays, absent days, start and length, in hours and in whole days.
namespace {

struct Case {
    TWorkWeek week;
    HolidayCalendar holidays;
    std::vector<DaySpan> ofAll, own;
};

tWeekInfo randomWeek(std::mt19937 &random)
{
    auto pick = [&random](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    tWeekInfo week {};
    for (TDayInfo &day : week) {
        day.active = pick(0, 3) > 0;
        const int start = pick(0, 3) == 0 ? 0 : pick(0, 1400);
        day.start = start / 1440.0 + pick(0, 59) / 86400.0; // now and then seconds
        day.ende = std::min(1440, start + pick(0, 900)) / 1440.0;
        day.length = pick(-10, 700);
        for (TPauseInfo &pause : day.pause) {
            pause.start = pick(0, 1440) / 1440.0;
            pause.length = pick(0, 3) == 0 ? pick(-5, 120) : 0;
        }
    }
    return week;
}

std::vector<DaySpan> randomSpans(std::mt19937 &random, std::int64_t from, int count)
{
    std::vector<DaySpan> spans;
    for (int i = 0; i < count; ++i) {
        const std::int64_t first = from + std::uniform_int_distribution<int>(-100, 900)(random);
        spans.push_back({ first, first + std::uniform_int_distribution<int>(1, 12)(random) });
    }
    return DaySpans(std::move(spans)).Spans();
}

void randomCase(std::mt19937 &random, std::int64_t from, Case &c)
{
    c.week = PrepareWorkWeek(randomWeek(random));
    std::vector<THolidayData> holidays;
    for (int i = std::uniform_int_distribution<int>(0, 8)(random); i > 0; --i) {
        const bool easter = random() % 3 == 0;
        holidays.push_back({ QStringLiteral("h"), easter ? int(random() % 140) - 50 : int(random() % 31) + 1,
            int(random() % 12) + 1, random() % 5 != 0, easter });
    }
    c.holidays.SetHolidays(holidays);
    c.ofAll = randomSpans(random, from, int(random() % 6));
    c.own = randomSpans(random, from, int(random() % 25));
}

WorkingTimeWalk walkOf(Case &c, bool wholeDays)
{
    WorkingTimeWalk walk;
    walk.week = &c.week;
    walk.wholeDays = wholeDays;
    walk.holidays = &c.holidays;
    walk.absences = { c.ofAll, c.own };
    return walk;
}

} // namespace

TEST(WorkingDayTable, AnswersAsTheWalkDoesOrNotAtAll)
{
    std::mt19937 random(20240318);
    const std::int64_t from = std::int64_t(EncodeDate(2024, 1, 1));
    int answered = 0, asked = 0;
    for (int round = 0; round < 300; ++round) {
        Case c;
        randomCase(random, from, c);
        for (const bool wholeDays : { true, false }) {
            WorkingDayTable table;
            table.Build(walkOf(c, wholeDays), from, from + 400 + std::int64_t(random() % 400));
            for (int i = 0; i < 200; ++i) {
                // Starts from before the range to after it, at midnight or any moment.
                const double start = double(from - 30 + std::int64_t(random() % 900))
                    + (random() % 2 ? 0.0
                                    : double(random() % 1440) / 1440.0 + double(random() % 60) / 86400.0);
                const std::int64_t minutes
                    = wholeDays ? std::int64_t(random() % 12000) + 1 : std::int64_t(random() % 40000) + 1;
                WalkResult fromTable;
                ++asked;
                if (!table.EndOf(start, minutes, c.own, fromTable))
                    continue;
                ++answered;
                const WalkResult walked = WalkToEnd(walkOf(c, wholeDays), start, minutes);
                ASSERT_EQ(fromTable.reached, walked.reached) << round << ' ' << start << ' ' << minutes;
                ASSERT_EQ(fromTable.end, walked.end)
                    << round << ' ' << start << ' ' << minutes << ' ' << wholeDays;
            }
        }
    }
    // Most of them lie inside the tables: the comparison is no empty one.
    EXPECT_GT(answered, asked / 2);
}

TEST(WorkingDayTable, LeavesToTheWalkWhatLiesOutsideItsRange)
{
    Case c;
    c.week = PrepareWorkWeek(DefaultWeekInfo());
    const std::int64_t from = std::int64_t(EncodeDate(2024, 1, 1));
    WorkingDayTable table;
    table.Build(walkOf(c, true), from, from + 100);
    WalkResult out;
    EXPECT_FALSE(table.EndOf(double(from - 1), 480, {}, out)); // starts before
    EXPECT_FALSE(table.EndOf(double(from + 100), 480, {}, out)); // starts after
    EXPECT_FALSE(table.EndOf(double(from + 50), 480 * 60, {}, out)); // ends after
    EXPECT_FALSE(table.EndOf(std::nan(""), 480, {}, out));
    ASSERT_TRUE(table.EndOf(double(from + 50), 480 * 5, {}, out));
    EXPECT_EQ(out.end, WalkToEnd(walkOf(c, true), double(from + 50), 480 * 5).end);

    // A week without working time never ends inside a table.
    tWeekInfo idle = DefaultWeekInfo();
    for (TDayInfo &day : idle)
        day.active = false;
    c.week = PrepareWorkWeek(idle);
    table.Build(walkOf(c, false), from, from + 100);
    EXPECT_FALSE(table.EndOf(double(from + 1), 1, {}, out));
}
