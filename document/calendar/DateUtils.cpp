#include "document/calendar/DateUtils.h"

#include <cmath>

bool IsLeapYear(int year)
{
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int Date2Year(TDateTime date)
{
    int year, month, day;
    DecodeDate(date, year, month, day);
    return year;
}

TDateTime GetFirstDayOfMonth(TDateTime date)
{
    int year, month, day;
    DecodeDate(date, year, month, day);
    return date - (day - 1);
}

TDateTime GetFirstDayOfYear(int year)
{
    return EncodeDate(year, 1, 1);
}

int GetGoldenNumber(int year)
{
    return year % 19 + 1;
}

TDateTime GetEasterSunday(int year)
{
    const int g = year % 19;
    const int c = year / 100;
    const int h = (c - c / 4 - (8 * c + 13) / 25 + 19 * g + 15) % 30;
    const int i = h - (h / 28) * (1 - (h / 28) * (29 / (h + 1)) * ((21 - g) / 11));
    const int j = (year + year / 4 + i + 2 - c + c / 4) % 7;
    const int l = i - j;
    const int month = 3 + (l + 40) / 44;
    const int day = l + 28 - 31 * (month / 4);
    return EncodeDate(year, month, day);
}

TDateTime StartOfWeek(TDateTime date)
{
    return date - (DayOfWeek(date) - 1);
}

int ISODayOfWeek(TDateTime date)
{
    const int dow = DayOfWeek(date); // 1 = Sunday
    return dow == 1 ? 7 : dow - 1;
}

TDateTime StartOfISOWeek(TDateTime date)
{
    return date - (ISODayOfWeek(date) - 1);
}

int DaysApart(TDateTime a, TDateTime b)
{
    return static_cast<int>(std::trunc(a)) - static_cast<int>(std::trunc(b));
}

int ISOWeeksInYear(int year)
{
    TDateTime first;
    if (!TryEncodeDate(year, 1, 1, first))
        return 52;
    const int dow = ISODayOfWeek(first);
    return dow == 4 || (dow == 3 && IsLeapYear(year)) ? 53 : 52;
}

void Date2ISOWeekNo(TDateTime date, int &weekNo, int &year)
{
    year = Date2Year(date);
    TDateTime jan4;
    if (!TryEncodeDate(year, 1, 4, jan4)) {
        weekNo = 1;
        return;
    }
    const TDateTime day = std::trunc(date);
    const int jan4Dow = ISODayOfWeek(jan4);
    if (jan4Dow >= 5) {
        // 4 January on Friday to Sunday: the week holding it is week 1 and began
        // in the old year; the first Monday after it starts week 2.
        const TDateTime secondMonday = StartOfISOWeek(jan4) + 7;
        weekNo = day < secondMonday ? 1 : 2 + DaysApart(day, secondMonday) / 7;
    } else {
        const TDateTime firstMonday = StartOfISOWeek(jan4);
        if (day < firstMonday) {
            --year;
            weekNo = ISOWeeksInYear(year);
            return;
        }
        weekNo = 1 + DaysApart(day, firstMonday) / 7;
    }
    if (weekNo > ISOWeeksInYear(year)) {
        weekNo = 1;
        ++year;
    }
}

void OptDecodeDateW(TDateTime date, int &year, int &month, int &day)
{
    DecodeDate(date, year, month, day);
}

TDateTime OptEncodeDateW(int year, int month, int day)
{
    return EncodeDate(year, month, day);
}

bool TryOptEncodeDateW(int year, int month, int day, TDateTime &out)
{
    return TryEncodeDate(year, month, day, out);
}

int TimeInMinutes(TDateTime value)
{
    int hour, minute, second, msec;
    DecodeTime(value, hour, minute, second, msec);
    return hour * 60 + minute;
}
