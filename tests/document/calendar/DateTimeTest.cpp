#include "document/calendar/DateTime.h"

#include <QDateTime>
#include <QLocale>
#include <gtest/gtest.h>

namespace {

// Tests pin German formats so they do not depend on the machine's locale.
class DateTimeTest : public ::testing::Test {
protected:
    void SetUp() override { FormatSettings() = TFormatSettings {}; }
    void TearDown() override { FormatSettings() = TFormatSettings {}; }
};

} // namespace

TEST_F(DateTimeTest, DayNumbersMatchTheCalendar)
{
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
    EXPECT_EQ(EncodeDate(1900, 1, 1), 2.0);
    EXPECT_EQ(EncodeDate(2024, 2, 29), 45351.0);
    EXPECT_EQ(EncodeDate(1, 1, 1), -693593.0);
    EXPECT_EQ(EncodeDate(9999, 12, 31), 2958465.0);
    int y, m, d;
    DecodeDate(45351.75, y, m, d);
    EXPECT_EQ(y * 10000 + m * 100 + d, 20240229);
    DecodeDate(-1.25, y, m, d); // before day 0 the fraction still counts forward
    EXPECT_EQ(y * 10000 + m * 100 + d, 18991229);
    int h, mi, s, ms;
    DecodeTime(-1.25, h, mi, s, ms);
    EXPECT_EQ(h, 6);
    EXPECT_EQ(DayOfWeek(EncodeDate(2024, 3, 31)), 1); // a Sunday
    EXPECT_EQ(DayOfWeek(0), 7); // a Saturday
    TDateTime out;
    EXPECT_FALSE(TryEncodeDate(2023, 2, 29, out));
    EXPECT_FALSE(TryEncodeDate(0, 1, 1, out));
    EXPECT_THROW(EncodeDate(2024, 13, 1), EConvertError);
}

TEST_F(DateTimeTest, RoundingToTheMillisecondCarriesIntoTheDay)
{
    int h, mi, s, ms;
    const TDateTime almostMidnight = 45351.0 + 86399999.6 / 86400000.0;
    DecodeTime(almostMidnight, h, mi, s, ms);
    EXPECT_EQ(h + mi + s + ms, 0);
    EXPECT_EQ(FormatDateTimeForStorage(almostMidnight), "2024-03-01 00:00:00");
}

TEST_F(DateTimeTest, StorageFormRoundTrips)
{
    const TDateTime moment = EncodeDate(2024, 2, 29) + EncodeTime(13, 5, 9, 0);
    EXPECT_EQ(FormatDateTimeForStorage(moment), "2024-02-29 13:05:09");
    EXPECT_DOUBLE_EQ(StrToDateTimeFromStorage("2024-02-29 13:05:09"), moment);
    EXPECT_EQ(FormatDateTimeForStorage(0), "1899-12-30 00:00:00");
    EXPECT_THROW(StrToDateTimeFromStorage("2024-02-29"), EConvertError);
    EXPECT_THROW(StrToDateTimeFromStorage("2023-02-29 00:00:00"), EConvertError);
    EXPECT_THROW(StrToDateTimeFromStorage("abcd-02-29 00:00:00"), EConvertError);
    // Only the fixed positions count, not the separators.
    EXPECT_DOUBLE_EQ(StrToDateTimeFromStorage("2024/02/29T13.05.09"), moment);
}

TEST_F(DateTimeTest, UserFormsFollowTheSettings)
{
    const TDateTime moment = EncodeDate(2024, 2, 29) + EncodeTime(13, 5, 9, 0);
    EXPECT_EQ(DateToStr(moment), "29.02.2024");
    EXPECT_EQ(TimeToStr(moment), "13:05:09");
    EXPECT_EQ(DateTimeToStr(moment), "29.02.2024 13:05:09");
    EXPECT_EQ(DateTimeToStr(EncodeDate(2024, 2, 29)), "29.02.2024");
    EXPECT_DOUBLE_EQ(StrToDateTime("29.02.2024 13:05:09"), moment);
    EXPECT_DOUBLE_EQ(StrToDate(" 29.2.2024 "), EncodeDate(2024, 2, 29));
    EXPECT_DOUBLE_EQ(StrToDateTime("13:05"), EncodeTime(13, 5, 0, 0));

    TDateTime out = -5;
    EXPECT_FALSE(TryStrToDate("", out));
    EXPECT_FALSE(TryStrToDate("29.02.2023", out));
    EXPECT_FALSE(TryStrToDate("2024-02-29", out));
    EXPECT_FALSE(TryStrToDate("29.02.2024x", out));
    EXPECT_FALSE(TryStrToDateTime("29.02.2024 25:00", out));
    EXPECT_EQ(out, -5);

    FormatSettings().ShortDateFormat = "yyyy-MM-dd";
    FormatSettings().DateSeparator = '-';
    EXPECT_EQ(DateToStr(moment), "2024-02-29");
    EXPECT_DOUBLE_EQ(StrToDate("2024-02-29"), EncodeDate(2024, 2, 29));
}

TEST_F(DateTimeTest, TwoDigitYearsStayWithinFiftyYearsOfToday)
{
    int thisYear, m, d;
    DecodeDate(Today(), thisYear, m, d);
    int y;
    DecodeDate(StrToDate("1.1." + QString::number((thisYear + 10) % 100)), y, m, d);
    EXPECT_EQ(y, thisYear + 10);
    DecodeDate(StrToDate("1.1." + QString::number((thisYear - 60 + 100) % 100)), y, m, d);
    EXPECT_EQ(y, thisYear + 40);
    DecodeDate(StrToDate("1.1.0024"), y, m, d); // four digits are taken as written
    EXPECT_EQ(y, 24);
}

TEST_F(DateTimeTest, FloatsUseTheDecimalSeparator)
{
    EXPECT_EQ(FloatToStr(2.5), "2,5");
    EXPECT_EQ(FloatToStr(3), "3");
    double v = 0;
    EXPECT_TRUE(TryStrToFloat("2,5", v));
    EXPECT_EQ(v, 2.5);
    EXPECT_FALSE(TryStrToFloat("2.5", v));
    EXPECT_FALSE(TryStrToFloat("", v));
    EXPECT_FALSE(TryStrToFloat("nan", v));
}

TEST_F(DateTimeTest, NumericPatternsFormatLikeQt)
{
    // The fast path for numeric patterns must agree with Qt's formatting.
    const TDateTime moment = EncodeDate(2024, 2, 9) + EncodeTime(7, 5, 3, 0);
    const QDateTime qt(QDate(2024, 2, 9), QTime(7, 5, 3), Qt::UTC);
    for (const char *pattern : { "dd.MM.yyyy", "d.M.yy", "yyyy-MM-dd hh:mm:ss", "M/d/yyyy h:m:s", "H:mm",
             "dd MMM yyyy", "h:mm AP", "'day' d" })
        EXPECT_EQ(FormatDateTimePattern(pattern, moment), qt.toString(pattern)) << pattern;
}

TEST_F(DateTimeTest, EveryLocaleReadsBackTheDatesItWrites)
{
    // A cell written in the user's form must parse to the same day, whatever the
    // locale (the C locale's own form names the month, which cells cannot hold).
    const TDateTime day = EncodeDate(2031, 7, 4);
    for (const QLocale &locale : { QLocale::c(), QLocale(QLocale::German, QLocale::Germany),
             QLocale(QLocale::English, QLocale::UnitedStates),
             QLocale(QLocale::English, QLocale::UnitedKingdom), QLocale(QLocale::French, QLocale::France),
             QLocale(QLocale::Japanese, QLocale::Japan) }) {
        FormatSettings() = FormatSettingsFromLocale(locale);
        EXPECT_TRUE(FormatSettings().ShortDateFormat.contains("yyyy")) << locale.name().toStdString();
        TDateTime read = 0;
        EXPECT_TRUE(TryStrToDate(DateToStr(day), read)) << locale.name().toStdString();
        EXPECT_EQ(read, day) << locale.name().toStdString();
    }
    EXPECT_EQ(FormatSettingsFromLocale(QLocale::c()).ShortDateFormat, "dd.MM.yyyy");
}
