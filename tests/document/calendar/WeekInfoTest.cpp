#include "document/calendar/WeekInfo.h"

#include "document/text/CommaText.h"

#include <gtest/gtest.h>

namespace {

// The default week as written, by hand: Sunday to Saturday.
const QString kDefaultOff = QStringLiteral("0,420,945,480,540,15,720,30,0,0");
const QString kDefaultOn = QStringLiteral("1,420,945,480,540,15,720,30,0,0");
const QString kDefaultString
    = QStringList({ kDefaultOff, kDefaultOn, kDefaultOn, kDefaultOn, kDefaultOn, kDefaultOn, kDefaultOff })
          .join(QLatin1Char(','));

} // namespace

TEST(WeekInfo, DefaultWeekAsText)
{
    EXPECT_EQ(WeekInfo2String(DefaultWeekInfo()), kDefaultString);
    EXPECT_EQ(String2WeekInfo(kDefaultString), DefaultWeekInfo());
}

TEST(WeekInfo, OnlySeventyNumbersReadAsAWeek)
{
    // A Saturday shift that differs from the default, so a fallback shows.
    QStringList items = ParseCommaText(kDefaultString);
    items[60] = "1";
    items[61] = "360";
    const tWeekInfo week = String2WeekInfo(ToCommaText(items));
    EXPECT_TRUE(week[6].active);
    EXPECT_EQ(week[6].start, 360 / 1440.0);
    EXPECT_EQ(week[6].pause[1].start, 720 / 1440.0);
    EXPECT_EQ(week[6].pause[1].length, 30);

    QStringList short69 = items;
    short69.removeLast();
    EXPECT_EQ(String2WeekInfo(ToCommaText(short69)), DefaultWeekInfo());
    QStringList long71 = items;
    long71 << "0";
    EXPECT_EQ(String2WeekInfo(ToCommaText(long71)), DefaultWeekInfo());
    EXPECT_EQ(String2WeekInfo(QString()), DefaultWeekInfo());

    QStringList wrong = items;
    wrong[33] = "9x";
    EXPECT_EQ(String2WeekInfo(ToCommaText(wrong)), DefaultWeekInfo());
    wrong[33] = "";
    EXPECT_EQ(String2WeekInfo(ToCommaText(wrong)), DefaultWeekInfo());

    QStringList notOne = items;
    notOne[10] = "2"; // active only when exactly "1"
    EXPECT_FALSE(String2WeekInfo(ToCommaText(notOne))[1].active);
}

TEST(WeekInfo, WholeMinutesSurviveWriteAndRead)
{
    tWeekInfo week = DefaultWeekInfo();
    week[0].active = true;
    week[0].start = (6 * 60 + 1) / 1440.0;
    week[0].ende = (23 * 60 + 59) / 1440.0;
    week[0].length = 900;
    week[3].pause[2] = { (13 * 60 + 7) / 1440.0, 5 };
    EXPECT_EQ(String2WeekInfo(WeekInfo2String(week)), week);

    // Seconds are dropped on writing.
    tWeekInfo withSeconds = week;
    withSeconds[2].start = (8 * 3600 + 30 * 60 + 45) / 86400.0;
    const tWeekInfo reread = String2WeekInfo(WeekInfo2String(withSeconds));
    EXPECT_EQ(reread[2].start, (8 * 60 + 30) / 1440.0);
}
