#include "document/calendar/WorkingDayTable.h"

#include "document/calendar/WorkDaySteps.h"

#include <algorithm>

using namespace workday;

namespace {

// Marks the days of `spans` inside [first, first + off.size()).
void markOff(std::span<const DaySpan> spans, std::int64_t first, std::vector<std::uint8_t> &off)
{
    const std::int64_t end = first + std::int64_t(off.size());
    auto it = std::partition_point(
        spans.begin(), spans.end(), [first](const DaySpan &span) { return span.end <= first; });
    for (; it != spans.end() && it->first < end; ++it) {
        const std::int64_t from = std::max(it->first, first), to = std::min(it->end, end);
        std::fill(off.begin() + (from - first), off.begin() + (to - first), std::uint8_t(1));
    }
}

} // namespace

void WorkingDayTable::Clear()
{
    FFirst = FEnd = 0;
    FOff.clear();
    FBefore.clear();
    FWorkingDay.clear();
    FEndAfter.clear();
}

void WorkingDayTable::Build(const WorkingTimeWalk &walk, std::int64_t first, std::int64_t end)
{
    Clear();
    first = std::max(first, kFirstWalkDay);
    end = std::min({ end, kLastWalkDay + 1, first + kMaxDays });
    if (!walk.week || end <= first)
        return;
    FWeek = walk.week;
    FWholeDays = walk.wholeDays;
    FFirst = first;
    FEnd = end;
    const std::size_t days = std::size_t(end - first);
    FOff.assign(days, 0);
    if (walk.holidays) {
        walk.holidays->Cover(first, end - 1);
        markOff(walk.holidays->Spans(), first, FOff);
    }
    markOff(walk.absences[0], first, FOff);

    FBefore.resize(days + 1);
    FWorkingDay.reserve(FWholeDays ? days : 0);
    FEndAfter.reserve(FWholeDays ? days : 0);
    std::int32_t sum = 0;
    int weekday = WeekdayIndex(first);
    for (std::size_t i = 0; i < days; ++i) {
        FBefore[i] = sum;
        const TWorkDay &day = FWeek->days[weekday];
        if (!FOff[i]) {
            if (!FWholeDays) {
                sum += std::int32_t(day.arrivalMinutes);
            } else if (day.arrivalWorks) {
                FWorkingDay.push_back(std::int32_t(i));
                const std::int64_t next = first + std::int64_t(i) + 1;
                FEndAfter.push_back(join(next, FWeek->days[WeekdayIndex(next)].start));
                ++sum;
            }
        }
        weekday = weekday == 6 ? 0 : weekday + 1;
    }
    FBefore[days] = sum;
}

std::size_t WorkingDayTable::dayReaching(std::int64_t target) const
{
    if (FWholeDays)
        return std::size_t(FWorkingDay[std::size_t(target - 1)]);
    // The first day whose minutes, added up, reach the target.
    const auto it = std::lower_bound(FBefore.begin() + 1, FBefore.end(), target);
    return std::size_t(it - FBefore.begin()) - 1;
}

bool WorkingDayTable::EndOf(
    TDateTime start, std::int64_t minutes, std::span<const DaySpan> absent, WalkResult &out) const
{
    Moment m;
    if (!split(start, m) || m.day < FFirst || m.day >= FEnd)
        return false;
    const TWorkWeek &week = *FWeek;
    std::int64_t day = m.day;
    std::int64_t remaining = minutes;
    // The absent days that end after the first day.
    auto span = absent.begin() + std::ptrdiff_t(FirstEndingAfter(absent, day));
    // (A day's work never starts before midnight: a start at midnight needs no
    // look at its weekday.)
    const TWorkDay &startDay = week.days[m.ms > 0 ? WeekdayIndex(day) : 0];
    if (m.ms > 0 && m.ms > startDay.start) {
        // Entered after its work began, the first day offers what is left of it
        // (or, counted whole, all of it if work goes on).
        const bool off = FOff[std::size_t(day - FFirst)] || (span != absent.end() && span->first <= day);
        if (!off) {
            const std::int64_t entry = entryPoint(startDay, m.ms);
            const std::int64_t avail
                = FWholeDays ? (works(startDay, entry) ? 480 : 0) : availMinutes(startDay, entry);
            if (avail > remaining || (!FWholeDays && avail == remaining)) {
                out = { join(day, finishMs(startDay, entry, remaining)), true };
                return true;
            }
            remaining -= avail;
            if (remaining == 0) {
                out = { join(day + 1, week.days[WeekdayIndex(day + 1)].start), true };
                return true;
            }
        }
        ++day;
    }
    // Counted in the table's units (working days, or minutes) from the start of
    // the range: the length runs out at `target`, pushed on past every absent day
    // met before the day it runs out on (their units are contiguous).
    const std::size_t from = std::size_t(day - FFirst);
    const std::int64_t total = FBefore.back();
    // (Lengths fit 32 bits; their division costs a third of a 64-bit one.)
    const bool small = remaining >= 0 && remaining < (std::int64_t(1) << 31);
    const std::int64_t days
        = small ? std::int64_t((std::uint32_t(remaining) + 479u) / 480u) : (remaining + 479) / 480;
    std::int64_t target = FBefore[from] + (FWholeDays ? days : remaining);
    if (target > total)
        return false;
    std::size_t last = FWholeDays ? std::size_t(FWorkingDay[std::size_t(target - 1)]) : dayReaching(target);
    for (; span != absent.end(); ++span) {
        const std::int64_t first = std::max(span->first, day) - FFirst;
        if (first > std::int64_t(last))
            break;
        const std::int64_t end = std::min(span->end - FFirst, std::int64_t(FBefore.size()) - 1);
        target += FBefore[std::size_t(end)] - FBefore[std::size_t(first)];
        if (target > total)
            return false;
        last = dayReaching(target);
    }
    const std::int64_t lastDay = FFirst + std::int64_t(last);
    if (FWholeDays) {
        const std::int64_t rest = small ? std::int64_t(std::uint32_t(remaining) % 480u) : remaining % 480;
        if (rest == 0) {
            out = { FEndAfter[std::size_t(target - 1)], true };
            return true;
        }
        const TWorkDay &work = week.days[WeekdayIndex(lastDay)];
        out = { join(lastDay, finishMs(work, work.arrival, rest)), true };
        return true;
    }
    const TWorkDay &work = week.days[WeekdayIndex(lastDay)];
    out = { join(lastDay, finishMs(work, work.arrival, target - FBefore[last])), true };
    return true;
}
