#include "document/calendar/WorkingTime.h"

#include "document/calendar/DateUtils.h"
#include "document/calendar/WorkDaySteps.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace {

using namespace workday;

// How far ahead of a walk the holiday window reaches when it has to grow.
constexpr std::int64_t kHolidayWindowDays = 1100;

// A time of day in milliseconds, clamped into [lo, hi].
std::int64_t timeOfDay(TDateTime value, std::int64_t lo, std::int64_t hi)
{
    if (!std::isfinite(value))
        return lo;
    const double clamped = std::clamp(value, -1.0, 2.0);
    return std::clamp<std::int64_t>(std::llround(clamped * double(kMsPerDay)), lo, hi);
}

int yearOf(std::int64_t day)
{
    int year, month, dayOfMonth;
    DecodeDate(double(day), year, month, dayOfMonth);
    return year;
}

// Working days among `days` days from `day` on, none of them off.
std::int64_t workingDaysIn(const TWorkWeek &week, std::int64_t day, std::int64_t days)
{
    return days / 7 * week.weekWorkingDays + week.workingDaysWithin[WeekdayIndex(day)][days % 7];
}

// The first span that ends after `day` (spans sorted and disjoint, so their ends
// ascend); a search without branches, as the lists are short and visited at random.
std::size_t firstEndingAfter(std::span<const DaySpan> spans, std::int64_t day)
{
    const DaySpan *base = spans.data();
    std::size_t n = spans.size();
    if (n == 0)
        return 0;
    while (n > 1) {
        const std::size_t half = n / 2;
        base = base[half - 1].end <= day ? base + half : base;
        n -= half;
    }
    return std::size_t(base - spans.data()) + (base->end <= day ? 1 : 0);
}

// Working minutes from `from` to `to` on the same day, pauses between them left out.
std::int64_t minutesUntil(const TWorkDay &day, std::int64_t from, std::int64_t to)
{
    if (!works(day, from) || to <= from)
        return 0;
    std::int64_t worked = to - from;
    for (int i = 0; i < day.pauseCount; ++i) {
        const TWorkPause &p = day.pauses[i];
        if (from < p.start && p.start < to)
            worked -= std::min(p.end, to) - p.start;
    }
    return std::clamp<std::int64_t>(worked / kMsPerMinute, 0, availMinutes(day, from));
}

// The days of one walk on which nobody works: the holidays and up to two lists of
// absent days, each looked at through a cursor that only moves forward.
class Exclusions {
public:
    explicit Exclusions(const WorkingTimeWalk &walk)
        : FCalendar(walk.holidays)
    {
        for (std::span<const DaySpan> spans : walk.absences) {
            if (!spans.empty())
                FSources[FCount++] = { spans, 0, false };
        }
        if (FCalendar)
            FHoliday = FCount++;
    }

    // Whether nobody works on `day`; `until` is the next day on which that may change.
    bool State(std::int64_t day, std::int64_t &until)
    {
        until = LLONG_MAX;
        if (FCalendar) {
            if (day < FCalendar->CoveredFrom() || day >= FCalendar->CoveredTo()) {
                FCalendar->Cover(day, day + kHolidayWindowDays);
                FSources[FHoliday].sought = false;
            }
            until = FCalendar->CoveredTo();
            FSources[FHoliday].spans = FCalendar->Spans();
        }
        for (int i = 0; i < FCount; ++i) {
            Source &s = FSources[i];
            const std::span<const DaySpan> spans = s.spans;
            if (!s.sought) {
                s.index = firstEndingAfter(spans, day);
                s.sought = true;
            }
            while (s.index < spans.size() && spans[s.index].end <= day)
                ++s.index;
            if (s.index == spans.size())
                continue;
            const DaySpan &span = spans[s.index];
            if (span.first <= day) {
                until = span.end;
                return true;
            }
            until = std::min(until, span.first);
        }
        return false;
    }

private:
    struct Source {
        std::span<const DaySpan> spans;
        std::size_t index = 0;
        bool sought = false;
    };
    HolidayCalendar *FCalendar;
    std::array<Source, 3> FSources {};
    int FCount = 0;
    int FHoliday = -1;
};

} // namespace

bool HolidayDateInYear(const THolidayData &holiday, int year, std::int64_t &day)
{
    if (year < 1 || year > 9999)
        return false;
    if (holiday.easter) {
        day = std::int64_t(GetEasterSunday(year)) + holiday.day;
        return day >= -693593 && day <= kLastWalkDay;
    }
    TDateTime date = 0;
    if (!TryOptEncodeDateW(year, holiday.month, holiday.day, date))
        return false;
    day = std::int64_t(date);
    return true;
}

DaySpans::DaySpans(std::vector<DaySpan> spans)
{
    std::erase_if(spans, [](const DaySpan &s) { return s.end <= s.first; });
    std::sort(
        spans.begin(), spans.end(), [](const DaySpan &a, const DaySpan &b) { return a.first < b.first; });
    for (const DaySpan &s : spans) {
        if (!FSpans.empty() && s.first <= FSpans.back().end)
            FSpans.back().end = std::max(FSpans.back().end, s.end);
        else
            FSpans.push_back(s);
    }
}

bool DaySpans::Contains(std::int64_t day) const
{
    const auto it = std::partition_point(
        FSpans.begin(), FSpans.end(), [day](const DaySpan &span) { return span.end <= day; });
    return it != FSpans.end() && it->first <= day;
}

void HolidayCalendar::SetHolidays(const std::vector<THolidayData> &holidays)
{
    FHolidays = holidays;
    FYearMargin = 0;
    for (const THolidayData &h : FHolidays) {
        if (h.enabled && h.easter)
            FYearMargin = std::max(
                FYearMargin, int(std::min<std::int64_t>(9999, std::abs(std::int64_t(h.day)) / 365 + 1)));
    }
    FFromYear = 0;
    FToYear = -1;
    FCoveredFrom = FCoveredTo = 0;
    FSpans = DaySpans();
}

void HolidayCalendar::Cover(std::int64_t first, std::int64_t last)
{
    first = std::max(first, kFirstWalkDay);
    last = std::min(last, kLastWalkDay);
    if (first > last)
        return;
    int fromYear = yearOf(first);
    int toYear = yearOf(last);
    const bool empty = FFromYear > FToYear;
    if (!empty && fromYear >= FFromYear && toYear <= FToYear)
        return;
    if (!empty) {
        // Grow by at least the present width, so a long walk regenerates the
        // window a logarithmic number of times.
        const int width = FToYear - FFromYear + 1;
        if (fromYear < FFromYear)
            fromYear = std::min(fromYear, FFromYear - width);
        if (toYear > FToYear)
            toYear = std::max(toYear, FToYear + width);
        fromYear = std::max(std::min(fromYear, FFromYear), yearOf(kFirstWalkDay));
        toYear = std::min(std::max(toYear, FToYear), 9999);
    }
    FFromYear = fromYear;
    FToYear = toYear;
    FCoveredFrom = std::max<std::int64_t>(kFirstWalkDay, std::int64_t(EncodeDate(fromYear, 1, 1)));
    FCoveredTo = toYear >= 9999 ? kLastWalkDay + 1 : std::int64_t(EncodeDate(toYear + 1, 1, 1));

    std::vector<DaySpan> spans;
    const int lo = std::max(1, fromYear - FYearMargin);
    const int hi = std::min(9999, toYear + FYearMargin);
    for (int year = lo; year <= hi; ++year) {
        for (const THolidayData &h : FHolidays) {
            std::int64_t day = 0;
            if (h.enabled && HolidayDateInYear(h, year, day) && day >= FCoveredFrom && day < FCoveredTo)
                spans.push_back({ day, day + 1 });
        }
    }
    FSpans = DaySpans(std::move(spans));
}

TWorkWeek PrepareWorkWeek(const tWeekInfo &week)
{
    TWorkWeek out;
    for (int d = 0; d < 7; ++d) {
        const TDayInfo &in = week[d];
        TWorkDay &day = out.days[d];
        day.active = in.active;
        day.start = timeOfDay(in.start, 0, kMsPerDay - kMsPerMinute);
        day.ende = timeOfDay(in.ende, 0, kMsPerDay);
        std::int64_t pauseMinutes = 0;
        for (const TPauseInfo &p : in.pause) {
            if (p.length <= 0)
                continue;
            TWorkPause &pause = day.pauses[day.pauseCount++];
            pause.minutes = std::min(p.length, 1440);
            pause.start = timeOfDay(p.start, 0, kMsPerDay);
            pause.end = pause.start + pause.minutes * kMsPerMinute;
            pauseMinutes += pause.minutes;
        }
        std::stable_sort(day.pauses.begin(), day.pauses.begin() + day.pauseCount,
            [](const TWorkPause &a, const TWorkPause &b) { return a.start < b.start; });
        day.dayEnd = std::clamp<std::int64_t>(
            day.start + (std::int64_t(in.length) + pauseMinutes) * kMsPerMinute, 0, kMsPerDay);
        day.arrival = entryPoint(day, day.start);
        day.arrivalMinutes = availMinutes(day, day.arrival);
        day.arrivalWorks = works(day, day.arrival);
        out.weekMinutes += day.arrivalMinutes;
        out.weekWorkingDays += day.arrivalWorks ? 1 : 0;
    }
    for (int w = 0; w < 7; ++w) {
        int found = 0;
        for (int offset = 0; offset < 7; ++offset) {
            out.workingDaysWithin[w][offset] = std::int8_t(found);
            if (out.days[(w + offset) % 7].arrivalWorks)
                out.nthWorkingDay[w][found++] = std::int8_t(offset);
        }
        out.workingDaysWithin[w][7] = std::int8_t(found);
    }
    return out;
}

WalkResult WalkToEnd(const WorkingTimeWalk &walk, TDateTime start, std::int64_t minutes)
{
    const WalkResult failed { start, false };
    if (minutes <= 0)
        return { start, true };
    Moment m;
    if (!walk.week || !split(start, m))
        return failed;
    const TWorkWeek &week = *walk.week;
    const bool whole = walk.wholeDays;
    const std::int64_t perWeek = whole ? 480 * std::int64_t(week.weekWorkingDays) : week.weekMinutes;
    Exclusions exclusions(walk);

    std::int64_t day = m.day;
    std::int64_t remaining = minutes;
    // A start at or before the day's working start enters the day like any later
    // day does (the usual case: day documents start at midnight).
    bool first = m.ms > week.days[WeekdayIndex(day)].start;
    bool excluded = false;
    std::int64_t until = day;
    for (;;) {
        if (day > kLastWalkDay)
            return failed;
        if (day >= until)
            excluded = exclusions.State(day, until);
        if (excluded) {
            day = until;
            first = false;
            continue;
        }
        const TWorkDay &wd = week.days[WeekdayIndex(day)];
        std::int64_t entry;
        std::int64_t avail;
        if (first) {
            entry = entryPoint(wd, m.ms);
            avail = whole ? (works(wd, entry) ? 480 : 0) : availMinutes(wd, entry);
        } else if (whole) {
            // Past the first day the week repeats. Without working days the walk
            // never ends; else the working day it ends on is found by counting,
            // unless a day off comes first: then the days up to it are used up.
            if (perWeek == 0)
                return failed;
            const std::int64_t full = remaining / 480, rest = remaining % 480;
            const std::int64_t k
                = rest == 0 ? full - 1 : full; // the walk ends on the k-th working day, from 0
            const std::int64_t perWeekDays = week.weekWorkingDays;
            const std::int64_t weeks = k < perWeekDays ? 0 : k / perWeekDays;
            const std::int64_t offset
                = 7 * weeks + week.nthWorkingDay[WeekdayIndex(day)][k - weeks * perWeekDays];
            if (offset > kLastWalkDay - day)
                return failed;
            const std::int64_t last = day + offset;
            if (last < until) {
                if (rest == 0)
                    return { join(last + 1, week.days[WeekdayIndex(last + 1)].start), true };
                const TWorkDay &lastDay = week.days[WeekdayIndex(last)];
                return { join(last, finishMs(lastDay, lastDay.arrival, rest)), true };
            }
            remaining -= 480 * workingDaysIn(week, day, until - day);
            day = until;
            continue;
        } else {
            // Hours: without working time the walk never ends; whole weeks up to
            // the next day off pass in one step.
            if (perWeek == 0)
                return failed;
            if (remaining > perWeek) {
                const std::int64_t needed = (remaining - 1) / perWeek;
                if (needed > (kLastWalkDay - day) / 7)
                    return failed;
                const std::int64_t weeks = std::min(needed, (until - day) / 7);
                if (weeks > 0) {
                    day += 7 * weeks;
                    remaining -= weeks * perWeek;
                    continue;
                }
            }
            entry = wd.arrival;
            avail = wd.arrivalMinutes;
        }
        if (avail > remaining || (!whole && avail == remaining))
            return { join(day, finishMs(wd, entry, remaining)), true };
        remaining -= avail;
        ++day;
        first = false;
        if (remaining == 0)
            return { join(day, week.days[WeekdayIndex(day)].start), true };
    }
}

std::int64_t MeasureWorkingMinutes(const WorkingTimeWalk &walk, TDateTime start, TDateTime end)
{
    Moment s, e;
    if (!walk.week || !split(start, s) || !split(end, e))
        return -1;
    if (!(end > start))
        return 0;
    const TWorkWeek &week = *walk.week;
    const bool whole = walk.wholeDays;
    const std::int64_t perWeek = whole ? 480 * std::int64_t(week.weekWorkingDays) : week.weekMinutes;
    Exclusions exclusions(walk);

    std::int64_t total = 0;
    std::int64_t day = s.day;
    bool first = s.ms > week.days[WeekdayIndex(day)].start;
    bool excluded = false;
    std::int64_t until = day;
    while (day <= e.day) {
        if (day >= until)
            excluded = exclusions.State(day, until);
        if (excluded) {
            day = until;
            first = false;
            continue;
        }
        const TWorkDay &wd = week.days[WeekdayIndex(day)];
        if (!first && whole) {
            // Every working day before the end's day counts whole: up to the next
            // day off (or that day) they are counted at once.
            const std::int64_t days = std::min(until, e.day) - day;
            if (days <= 0)
                break;
            total += 480 * workingDaysIn(week, day, days);
            day += days;
            continue;
        }
        if (!first) {
            const std::int64_t weeks = std::min(until - day, e.day - day) / 7;
            if (weeks > 0) {
                total += weeks * perWeek;
                day += 7 * weeks;
                continue;
            }
        }
        const std::int64_t entry = first ? entryPoint(wd, s.ms) : wd.arrival;
        if (day < e.day)
            total += whole ? (works(wd, entry) ? 480 : 0) : availMinutes(wd, entry);
        else if (!whole)
            total += minutesUntil(wd, entry, e.ms);
        ++day;
        first = false;
    }
    return total;
}
