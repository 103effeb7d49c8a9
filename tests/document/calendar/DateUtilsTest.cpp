#include "document/calendar/DateUtils.h"

#include <QDate>
#include <gtest/gtest.h>

namespace {

// The anonymous Gregorian algorithm (Meeus/Jones/Butcher): a second, independent
// computus to check the one in use against.
QDate easterReference(int y)
{
    const int a = y % 19, b = y / 100, c = y % 100, d = b / 4, e = b % 4;
    const int f = (b + 8) / 25, g = (b - f + 1) / 3;
    const int h = (19 * a + b - d - g + 15) % 30;
    const int i = c / 4, k = c % 4;
    const int l = (32 + 2 * e + 2 * i - h - k) % 7;
    const int m = (a + 11 * h + 22 * l) / 451;
    const int month = (h + l - 7 * m + 114) / 31;
    const int day = (h + l - 7 * m + 114) % 31 + 1;
    return QDate(y, month, day);
}

QDate toQDate(TDateTime value)
{
    int y, m, d;
    DecodeDate(value, y, m, d);
    return QDate(y, m, d);
}

} // namespace

TEST(DateUtils, EasterSunday)
{
    // Two dates by hand anchor the reference; it checks every year of the Gregorian calendar.
    EXPECT_EQ(toQDate(GetEasterSunday(2024)), QDate(2024, 3, 31));
    EXPECT_EQ(toQDate(GetEasterSunday(1954)), QDate(1954, 4, 18)); // one of the computus' special cases
    for (int year = 1583; year <= 9999; ++year) {
        const TDateTime easter = GetEasterSunday(year);
        ASSERT_EQ(toQDate(easter), easterReference(year)) << year;
        ASSERT_EQ(DayOfWeek(easter), 1) << year;
    }
    EXPECT_EQ(GetGoldenNumber(2024), 11);
}

TEST(DateUtils, IsoWeeksAtYearEnds)
{
    int week = 0, year = 0;
    Date2ISOWeekNo(EncodeDate(2024, 12, 31) + 0.75, week, year); // a Tuesday, with a time
    EXPECT_EQ(year * 100 + week, 202501);
    EXPECT_EQ(ISOWeeksInYear(2020), 53); // leap year starting on a Wednesday
    EXPECT_EQ(ISOWeeksInYear(2015), 53); // starts on a Thursday
    EXPECT_EQ(ISOWeeksInYear(2021), 52);

    for (TDateTime day = EncodeDate(1995, 1, 1); day <= EncodeDate(2045, 12, 31); day += 1) {
        int refYear = 0;
        const int refWeek = toQDate(day).weekNumber(&refYear);
        Date2ISOWeekNo(day, week, year);
        ASSERT_EQ(year * 100 + week, refYear * 100 + refWeek) << toQDate(day).toString().toStdString();
    }
}

TEST(DateUtils, WeekAndMonthStartsKeepTheTime)
{
    const TDateTime sunday = EncodeDate(2024, 3, 31) + 0.25;
    EXPECT_EQ(StartOfWeek(sunday), sunday);
    EXPECT_EQ(StartOfISOWeek(sunday), EncodeDate(2024, 3, 25) + 0.25);
    EXPECT_EQ(ISODayOfWeek(sunday), 7);
    EXPECT_EQ(StartOfWeek(EncodeDate(2024, 4, 6)), EncodeDate(2024, 3, 31)); // from Saturday
    EXPECT_EQ(GetFirstDayOfMonth(EncodeDate(2024, 2, 29) + 0.5), EncodeDate(2024, 2, 1) + 0.5);
    EXPECT_EQ(GetFirstDayOfYear(2024), EncodeDate(2024, 1, 1));
    EXPECT_EQ(Date2Year(EncodeDate(1999, 12, 31) + 0.99), 1999);
    EXPECT_EQ(DaysApart(10.9, 3.2), 7);
    EXPECT_TRUE(IsLeapYear(2000));
    EXPECT_FALSE(IsLeapYear(1900));
}

TEST(DateUtils, ImpossibleDatesCanBeSkippedWithoutThrowing)
{
    TDateTime out = -1;
    EXPECT_FALSE(TryOptEncodeDateW(2023, 2, 29, out));
    EXPECT_FALSE(TryOptEncodeDateW(2024, 5, 0, out));
    EXPECT_FALSE(TryOptEncodeDateW(0, 1, 1, out));
    EXPECT_FALSE(TryOptEncodeDateW(10000, 1, 1, out));
    EXPECT_EQ(out, -1);
    EXPECT_THROW(OptEncodeDateW(2023, 2, 29), EConvertError);
    ASSERT_TRUE(TryOptEncodeDateW(2024, 2, 29, out));
    int y, m, d;
    OptDecodeDateW(out, y, m, d);
    EXPECT_EQ(y * 10000 + m * 100 + d, 20240229);
}

TEST(DateUtils, TimeInMinutesDropsSecondsAndTheDate)
{
    EXPECT_EQ(TimeInMinutes(EncodeTime(13, 5, 59, 999)), 785);
    EXPECT_EQ(TimeInMinutes(45000 + EncodeTime(12, 0, 0, 0)), 720);
    EXPECT_EQ(TimeInMinutes(945 / 1440.0), 945); // 15:45 survives the division
    EXPECT_EQ(TimeInMinutes(0), 0);
}
