#pragma once

#include "document/calendar/DateTime.h"

#include <QString>
#include <array>

// A pause inside a working day: its start (time of day) and length in minutes.
// A pause of length 0 has no effect.
struct TPauseInfo {
    TDateTime start = 0;
    int length = 0;
    bool operator==(const TPauseInfo &) const = default;
};

// One day of a working week: working or not, the working hours (times of day),
// the working minutes of the day with pauses excluded, and three pauses.
struct TDayInfo {
    bool active = false;
    TDateTime start = 0;
    TDateTime ende = 0;
    int length = 0;
    std::array<TPauseInfo, 3> pause {};
    bool operator==(const TDayInfo &) const = default;
};

// The working week of a position: seven days, Sunday first (index = weekday - 1
// with weekday 1 = Sunday).
using tWeekInfo = std::array<TDayInfo, 7>;

// Every day 7:00 to 15:45, 480 working minutes, pauses at 9:00 (15 minutes) and
// 12:00 (30 minutes); Monday to Friday working, Saturday and Sunday not.
tWeekInfo DefaultWeekInfo();

// The week as a comma text of 70 decimal numbers, 10 per day from Sunday:
// active (1 or 0), start and end of work in minutes after midnight, working
// minutes, then start (minutes after midnight) and length of each pause. Times
// are written in whole minutes, seconds dropped.
QString WeekInfo2String(const tWeekInfo &week);

// Reads a week written by WeekInfo2String. A day is active when its first item is
// exactly "1". A text with any other item count, or with an item that is no
// decimal number, reads as the default week.
tWeekInfo String2WeekInfo(const QString &text);
