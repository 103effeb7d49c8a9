#pragma once

#include "document/calendar/DateTime.h"

// Calendar routines on day numbers: Easter for the movable holidays, ISO week
// numbers for the chart captions, starts of weeks and months for its background.

bool IsLeapYear(int year);
int Date2Year(TDateTime date);
// The first day of the date's month, keeping the time of day of `date`.
TDateTime GetFirstDayOfMonth(TDateTime date);
// 1 January of the year, time 0.
TDateTime GetFirstDayOfYear(int year);
// year mod 19 + 1.
int GetGoldenNumber(int year);
// Easter Sunday of the year (Gregorian computus); throws EConvertError outside 1..9999.
TDateTime GetEasterSunday(int year);

// The Sunday on or before `date` (weeks start on Sunday), time kept.
TDateTime StartOfWeek(TDateTime date);
// 1 for Monday ... 7 for Sunday.
int ISODayOfWeek(TDateTime date);
// The Monday on or before `date`, time kept.
TDateTime StartOfISOWeek(TDateTime date);
// Whole days of a minus whole days of b (fractions truncated).
int DaysApart(TDateTime a, TDateTime b);
// 53 when 1 January is a Thursday, or a Wednesday in a leap year; else 52.
int ISOWeeksInYear(int year);
// The ISO 8601 week number and week-numbering year of `date`.
void Date2ISOWeekNo(TDateTime date, int &weekNo, int &year);

// Hours x 60 + minutes of the time of day of `value` (seconds dropped).
int TimeInMinutes(TDateTime value);

// Conversion between day numbers and calendar dates.
void OptDecodeDateW(TDateTime date, int &year, int &month, int &day);
// Throws EConvertError for a date that does not exist (year 0 or above 9999,
// month 0 or above 12, day 0 or beyond the month's length).
TDateTime OptEncodeDateW(int year, int month, int day);
// The same without throwing: false for a date that does not exist (29 February
// of a common year, day 0), so that callers such as the holiday pass skip it.
bool TryOptEncodeDateW(int year, int month, int day, TDateTime &out);
