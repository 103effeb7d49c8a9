// The texts of a working day and of holidays as the setup dialogs show them,
// and reading an edited day back.
#include "dialogs/setup/WorkingHours.h"

#include "dialogs/setup/HolidayTexts.h"
#include "document/calendar/DateTime.h"

#include <QSet>
#include <gtest/gtest.h>

namespace {

TDateTime clock(int hours, int minutes)
{
    return (hours * 60 + minutes) / 1440.0;
}

TDayTimesText day(const QString &begin, const QString &end, const QString &breakLength = "0")
{
    return { begin, end, { "12:00", "00:00", "00:00" }, { breakLength, "0", "0" } };
}

} // namespace

TEST(WorkingHours, HoursShowWithACommaAndTwoDigitsOfMinutes)
{
    EXPECT_EQ(WorkingHoursText(480), "8,00 h");
    EXPECT_EQ(WorkingHoursText(450), "7,30 h");
    EXPECT_EQ(WorkingHoursText(5), "0,05 h");
    EXPECT_EQ(WorkingHoursText(-90), "-1,30 h");
}

TEST(WorkingHours, AnEditedDayIsReadBackOrRefusedWithItsReason)
{
    FormatSettings() = TFormatSettings {};
    TDayInfo monday = DefaultWeekInfo()[1];
    const TDayTimesText shown = DayTimesText(monday);
    EXPECT_EQ(shown.begin, "07:00");
    EXPECT_EQ(shown.end, "15:45");
    EXPECT_EQ(shown.pauseStart[1], "12:00");
    EXPECT_EQ(shown.pauseLength[1], "30");
    // Shown and read back unchanged.
    EXPECT_EQ(ReadDayTimes(shown, monday).day, monday);

    const TDayTimesResult read = ReadDayTimes(day("8:00", "16:30", "30"), monday);
    ASSERT_TRUE(read.day);
    EXPECT_TRUE(read.day->active);
    EXPECT_EQ(read.day->start, clock(8, 0));
    EXPECT_EQ(read.day->ende, clock(16, 30));
    EXPECT_EQ(read.day->length, 480);
    EXPECT_EQ(read.day->pause[0].start, clock(12, 0));

    for (const TDayTimesText &refused :
        { day("25:00", "16:00"), day("8:00", ""), day("8:00", "8:00"), day("9:00", "8:00"),
            day("8:00", "9:00", "1.5"), day("8:00", "9:00", "-5"), day("8:00", "9:00", "61") }) {
        const TDayTimesResult result = ReadDayTimes(refused, monday);
        EXPECT_FALSE(result.day) << refused.begin.toStdString() << "-" << refused.end.toStdString();
        EXPECT_FALSE(result.error.isEmpty());
    }
    EXPECT_TRUE(ReadDayTimes(day("8:00", "9:00", "60"), monday).day);
}

TEST(WorkingHours, ADaysTimesGoToEveryDayWhichKeepsWhetherItIsWorked)
{
    tWeekInfo week = DefaultWeekInfo();
    week[3].start = clock(6, 0);
    week[3].length = 525;
    const tWeekInfo applied = ApplyDayToAll(week, 3);
    for (std::size_t d = 0; d < 7; ++d) {
        EXPECT_EQ(applied[d].active, week[d].active);
        EXPECT_EQ(applied[d].start, clock(6, 0));
        EXPECT_EQ(applied[d].length, 525);
    }
}

TEST(HolidayTexts, DatesShowAsDayAndMonthOrFromEaster)
{
    EXPECT_EQ(HolidayDateText({ "x", 24, 12, true, false }), "24. December");
    EXPECT_EQ(HolidayDateText({ "x", 0, 0, true, true }), "Easter - 0");
    EXPECT_EQ(HolidayDateText({ "x", 1, 0, true, true }), "Easter + 1");
    EXPECT_EQ(HolidayDateText({ "x", -2, 0, true, true }), "Easter - 2");
    const std::vector<THolidayData> &german = GermanPublicHolidays();
    ASSERT_EQ(german.size(), 20u);
    QSet<QString> names;
    for (const THolidayData &h : german) {
        names.insert(h.name);
        EXPECT_FALSE(h.enabled);
        EXPECT_EQ(h.easter, h.month == 0) << h.name.toStdString();
    }
    EXPECT_EQ(names.size(), 20);
    EXPECT_EQ(german[1].name, QString::fromUtf8("Heilige 3 Könige"));
    EXPECT_EQ(german[8], THolidayData({ "Fronleichname", 60, 0, false, true }));
}
