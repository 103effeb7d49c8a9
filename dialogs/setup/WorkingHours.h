#pragma once

#include "document/calendar/WeekInfo.h"

#include <QString>
#include <array>
#include <optional>

// Editing one day of a position's working week, as the positions dialog and
// its time dialog show it.

// Working minutes as whole hours, a comma, the minutes in two digits and " h"
// ("8,00 h" for 480, "7,30 h" for 450).
QString WorkingHoursText(int minutes);

// The week with every day's times, working minutes and breaks taken from
// `day`; each day keeps whether it is worked.
tWeekInfo ApplyDayToAll(const tWeekInfo &week, int day);

// The texts of the time dialog's fields: begin and end, three break starts
// (times of day, "hh:mm") and three break lengths (minutes).
struct TDayTimesText {
    QString begin;
    QString end;
    std::array<QString, 3> pauseStart;
    std::array<QString, 3> pauseLength;
};
TDayTimesText DayTimesText(const TDayInfo &day);

// The fields read back into `day` (its active flag kept), or the reason they
// are refused: a time that is no time, a break length that is no whole number
// of minutes or is negative, an end not after the begin, breaks longer than
// the working day.
struct TDayTimesResult {
    std::optional<TDayInfo> day;
    QString error;
};
TDayTimesResult ReadDayTimes(const TDayTimesText &text, const TDayInfo &day);
