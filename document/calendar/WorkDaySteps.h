#pragma once

#include "document/calendar/DateTime.h"
#include "document/calendar/WorkingTime.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

// The small steps every way of deriving an end shares, so that the walk and
// the tables finish a day in exactly the same way.
namespace workday {

constexpr std::int64_t kMsPerDay = 86400000;
constexpr std::int64_t kMsPerMinute = 60000;

// A moment as its day and the milliseconds after that day's midnight.
struct Moment {
    std::int64_t day = 0;
    std::int64_t ms = 0;
};

inline bool split(TDateTime value, Moment &m)
{
    if (!std::isfinite(value))
        return false;
    // Below 2^53 the cast is floor for what is not negative, without a call.
    const double day
        = value >= 0 && value < 9007199254740992.0 ? double(std::int64_t(value)) : std::floor(value);
    if (day < double(kFirstWalkDay) || day > double(kLastWalkDay + 1))
        return false;
    m.day = std::int64_t(day);
    // To the nearest millisecond (the fraction is never negative here).
    m.ms = std::int64_t((value - day) * double(kMsPerDay) + 0.5);
    if (m.ms >= kMsPerDay) {
        ++m.day;
        m.ms -= kMsPerDay;
    }
    return true;
}

inline TDateTime join(std::int64_t day, std::int64_t ms)
{
    return double(day) + double(ms) / double(kMsPerDay);
}

// Where work goes on when the day is entered at `at`: not before the start, and
// not inside a pause (pauses in order of their start, so one ending inside the
// next hands over to it).
inline std::int64_t entryPoint(const TWorkDay &day, std::int64_t at)
{
    at = std::max(at, day.start);
    for (int i = 0; i < day.pauseCount; ++i) {
        const TWorkPause &p = day.pauses[i];
        if (p.start <= at && at < p.end)
            at = p.end;
    }
    return at;
}

// Working minutes left in the day from `from` (an entry point). The pauses ahead
// are taken off; a day with no time left offers nothing rather than less than nothing.
inline std::int64_t availMinutes(const TWorkDay &day, std::int64_t from)
{
    if (!day.active || from >= day.ende || day.dayEnd <= from)
        return 0;
    std::int64_t minutes = (day.dayEnd - from) / kMsPerMinute;
    for (int i = 0; i < day.pauseCount; ++i) {
        if (day.pauses[i].end > from)
            minutes -= day.pauses[i].minutes;
    }
    return std::max<std::int64_t>(0, minutes);
}

inline bool works(const TWorkDay &day, std::int64_t from)
{
    return day.active && from < day.ende;
}

// The moment (ms of the day) at which `minutes` of work entered at `entry` are
// done: pauses passed on the way are added.
inline std::int64_t finishMs(const TWorkDay &day, std::int64_t entry, std::int64_t minutes)
{
    std::int64_t ms = entry + minutes * kMsPerMinute;
    for (int i = 0; i < day.pauseCount; ++i) {
        if (entry < day.pauses[i].start && ms > day.pauses[i].start)
            ms += day.pauses[i].minutes * kMsPerMinute;
    }
    return ms;
}

} // namespace workday
