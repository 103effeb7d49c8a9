#pragma once

#include "document/calendar/DateTime.h"
#include "document/calendar/PublicHoliday.h"
#include "document/calendar/WeekInfo.h"

#include <QString>
#include <array>
#include <cstdint>
#include <span>
#include <vector>

// Working time of a position: which days count, how many minutes each offers,
// and the walk that derives a task's end from its start and length (and the
// measure that derives a length from two dates). Pure computation: the document
// hands in the week and the days nobody works.

// The day number of the holiday in `year`; false when that date does not exist
// (29 February of a common year, month 0, a year outside 1..9999).
bool HolidayDateInYear(const THolidayData &holiday, int year, std::int64_t &day);

// The days a walk can cover: from day 0 (30 December 1899) to the last day a
// date can name (31 December 9999).
constexpr std::int64_t kFirstWalkDay = 0;
constexpr std::int64_t kLastWalkDay = 2958465;

// Whole days [first, end).
struct DaySpan {
    std::int64_t first = 0;
    std::int64_t end = 0;
    bool operator==(const DaySpan &) const = default;
};

// Days on which nobody (of some group) works, as sorted, disjoint spans.
class DaySpans {
public:
    DaySpans() = default;
    // Sorts and merges; empty spans are dropped.
    explicit DaySpans(std::vector<DaySpan> spans);
    const std::vector<DaySpan> &Spans() const { return FSpans; }
    bool Contains(std::int64_t day) const;

private:
    std::vector<DaySpan> FSpans;
};

// The enabled public holidays as day spans, generated for a window of years that
// grows on demand, so a walk sees the holidays of whatever years it crosses.
class HolidayCalendar {
public:
    // Takes a copy of the list; the window is emptied.
    void SetHolidays(const std::vector<THolidayData> &holidays);
    const std::vector<THolidayData> &Holidays() const { return FHolidays; }
    // Grows the window to cover every day of [first, last] (clamped to the dates).
    void Cover(std::int64_t first, std::int64_t last);
    const std::vector<DaySpan> &Spans() const { return FSpans.Spans(); }
    // The window [CoveredFrom, CoveredTo); empty before the first Cover.
    std::int64_t CoveredFrom() const { return FCoveredFrom; }
    std::int64_t CoveredTo() const { return FCoveredTo; }

private:
    std::vector<THolidayData> FHolidays;
    int FYearMargin = 0; // how far an Easter offset can reach into another year
    int FFromYear = 0;
    int FToYear = -1;
    std::int64_t FCoveredFrom = 0;
    std::int64_t FCoveredTo = 0;
    DaySpans FSpans;
};

// One day of a working week in milliseconds after midnight, made safe to walk:
// times clamped into the day, pauses of no length dropped and the rest ordered by
// their start.
struct TWorkPause {
    std::int64_t start = 0;
    std::int64_t end = 0;
    std::int64_t minutes = 0;
};

struct TWorkDay {
    bool active = false;
    std::int64_t start = 0;
    std::int64_t ende = 0;
    // Where the day's working minutes run out: start + working minutes + pauses.
    std::int64_t dayEnd = 0;
    int pauseCount = 0;
    std::array<TWorkPause, 3> pauses {};
    // Reached from the day before, work resumes at `arrival` (the start, or the
    // end of a pause that begins there) and the day offers `arrivalMinutes`
    // (hours documents) or counts as a working day (`arrivalWorks`, day documents).
    std::int64_t arrival = 0;
    std::int64_t arrivalMinutes = 0;
    bool arrivalWorks = false;
};

struct TWorkWeek {
    std::array<TWorkDay, 7> days {}; // Sunday first
    std::int64_t weekMinutes = 0; // sum of arrivalMinutes
    int weekWorkingDays = 0; // days with arrivalWorks
    // Counting working days (arrivalWorks) from weekday w onwards: the offset in
    // days of the r-th one (r from 0), and how many lie among the first n days.
    std::array<std::array<std::int8_t, 7>, 7> nthWorkingDay {};
    std::array<std::array<std::int8_t, 8>, 7> workingDaysWithin {};
};

TWorkWeek PrepareWorkWeek(const tWeekInfo &week);

// Index into a week (Sunday = 0) of a day number from kFirstWalkDay on.
inline int WeekdayIndex(std::int64_t day)
{
    // Day 0 (30 December 1899) was a Saturday. The walkable days fit 32 bits,
    // whose remainder costs a third of a 64-bit one.
    return int(std::uint32_t(day + 6) % 7u);
}

// What one walk works with.
struct WorkingTimeWalk {
    const TWorkWeek *week = nullptr;
    // Days of 480 minutes (day documents and absent days) instead of the minutes
    // of the working hours.
    bool wholeDays = true;
    HolidayCalendar *holidays = nullptr;
    // Sorted, disjoint spans (as DaySpans keeps them).
    std::array<std::span<const DaySpan>, 2> absences {};
};

struct WalkResult {
    TDateTime end = 0;
    // False when the end lies beyond the last date or the week offers no working
    // time at all: the end is then the start.
    bool reached = true;
};

// Walks `minutes` of working time from `start`. The end is the moment the last
// minute is worked; in whole-day mode the start of the following working day's
// work (the caller turns it into the last day, inclusive).
WalkResult WalkToEnd(const WorkingTimeWalk &walk, TDateTime start, std::int64_t minutes);

// The working minutes between two moments, counted like WalkToEnd counts them (in
// whole-day mode each working day before the day of `end` counts 480), so that
// measuring from a start to the end the walk gave yields the walked length. 0 when
// end is not after start; -1 when either date lies outside the walkable dates.
std::int64_t MeasureWorkingMinutes(const WorkingTimeWalk &walk, TDateTime start, TDateTime end);
