#include "timechart/CaptionLayout.h"

#include <gtest/gtest.h>

namespace {

int SixEach(const QString &text)
{
    return int(text.size()) * 6;
}

QStringList Pieces(std::initializer_list<const char *> pieces)
{
    QStringList list;
    for (const char *piece : pieces)
        list << QString::fromLatin1(piece);
    return list;
}

std::vector<TCaptionCell> Row(
    double start, double end, int width, TCaptionLabel unit, const QStringList &pieces, int visibleLeft = 0)
{
    return LayoutCaptionRow(start, end, width, 20, 40, pieces, unit, 1, SixEach, visibleLeft);
}

const TDateTime Jan29 = EncodeDate(2024, 1, 29); // a Monday of ISO week 5

} // namespace

TEST(CaptionLayout, CellTextsFromTheProgramsTables)
{
    // Tuesday 5 March 2024, ISO week 10.
    EXPECT_EQ(
        CaptionText(Pieces({ "%m", "%mm", "%mmm", "%d", "%d+", "%dd", "%ddd", "%yy", "%yyyy", "%w", "cw" }),
            EncodeDate(2024, 3, 5)),
        QStringLiteral(" 3 Mar March 5 5 Tue Tuesday 24 2024 10 cw"));
    EXPECT_EQ(ShortDayName(5), QStringLiteral("Thur"));
    EXPECT_EQ(LongDayName(1), QStringLiteral("Sunday"));
    EXPECT_EQ(LongMonthName(12), QStringLiteral("December"));
    EXPECT_EQ(ShortMonthName(13), QString());
}

TEST(CaptionLayout, MonthCellsSpanTheirDaysAndTheFirstLabelStaysReadable)
{
    // 35 days on 350 pixels: 10 per day. January began 28 days left of the view.
    const auto months = Row(Jan29, Jan29 + 35, 350, clMonth, Pieces({ "%mmm", "%yy" }));
    ASSERT_EQ(months.size(), 3u);
    EXPECT_EQ(months[0].X1, -280);
    EXPECT_EQ(months[0].X2, 30);
    EXPECT_EQ(months[0].Text, QStringLiteral(" January 24"));
    // The cell ends 30 pixels in, before its 66-pixel label could fit: the label is
    // pushed out to end at the cell's end.
    EXPECT_EQ(months[0].TextRect, Rect(30 - 66, 20, 29, 40));
    EXPECT_EQ(months[1].X1, 30); // 1 February
    EXPECT_EQ(months[1].X2, 320); // 29 days later
    EXPECT_EQ(months[1].TextRect, Rect(31, 20, 319, 40));
    EXPECT_EQ(months[2].X1, 320);
    EXPECT_EQ(months[2].X2, 630);

    // A view from 10 February: February's label sits at the left edge while the cell
    // reaches far enough (to 200 here).
    const auto february
        = Row(EncodeDate(2024, 2, 10), EncodeDate(2024, 2, 10) + 35, 350, clMonth, Pieces({ "%mmm", "%yy" }));
    EXPECT_EQ(february[0].X1, -90);
    EXPECT_EQ(february[0].TextRect, Rect(0, 20, 199, 40));
    // When something covers the row's left 40 pixels, the label keeps clear of it.
    const auto covered = Row(
        EncodeDate(2024, 2, 10), EncodeDate(2024, 2, 10) + 35, 350, clMonth, Pieces({ "%mmm", "%yy" }), 40);
    EXPECT_EQ(covered[0].TextRect.Left, 40);
}

TEST(CaptionLayout, WeeksBeginOnMondayAndDaysNameTheirWeekdayWhereItFits)
{
    const auto weeks = Row(Jan29 + 3, Jan29 + 17, 140, clWeek, Pieces({ "cw", "%w" }));
    ASSERT_EQ(weeks.size(), 3u);
    EXPECT_EQ(weeks[0].Start, Jan29);
    EXPECT_EQ(weeks[0].X1, -30);
    EXPECT_EQ(weeks[0].Text, QStringLiteral(" cw 5"));
    EXPECT_EQ(weeks[1].X1, 40);
    EXPECT_EQ(weeks[2].Text, QStringLiteral(" cw 7"));

    // 100 pixels per day: " 29" (18 pixels) from 1, "Monday" (36) fits: 36 + 1 + 18 + 5 < 100.
    const auto wide = Row(Jan29, Jan29 + 7, 700, clDay, Pieces({ "%d+" }));
    ASSERT_EQ(wide.size(), 7u);
    EXPECT_EQ(wide[0].Text, QStringLiteral(" 29"));
    EXPECT_EQ(wide[0].DayName, QStringLiteral("Monday"));
    EXPECT_EQ(wide[0].DayNameRect, Rect(24, 20, 100, 39));
    EXPECT_EQ(wide[3].DayName, QStringLiteral("Thursday"));
    // 50 pixels per day: "Mon" (18) instead; 25: neither.
    EXPECT_EQ(Row(Jan29, Jan29 + 7, 350, clDay, Pieces({ "%d+" }))[0].DayName, QStringLiteral("Mon"));
    EXPECT_EQ(Row(Jan29, Jan29 + 7, 175, clDay, Pieces({ "%d+" }))[0].DayName, QString());
    // Only "%d+" day rows carry names.
    EXPECT_EQ(Row(Jan29, Jan29 + 7, 700, clDay, Pieces({ "%d" }))[0].DayName, QString());
}

TEST(CaptionLayout, AnEmptyViewOrAUnitWithoutCellsHasNoCells)
{
    EXPECT_TRUE(Row(Jan29, Jan29, 350, clMonth, Pieces({ "%mmm" })).empty());
    EXPECT_TRUE(Row(Jan29, Jan29 + 7, 350, clHour, Pieces({ "%d" })).empty());
    const auto years = Row(Jan29, Jan29 + 400, 400, clYear, Pieces({ "%yyyy" }));
    ASSERT_EQ(years.size(), 2u);
    EXPECT_EQ(years[1].Text, QStringLiteral(" 2025"));
}

// No calendar day follows 31 December 9999: the caption there is blank, the
// days before keep theirs.
TEST(CaptionLayout, CellsPastTheLastDayOfTheCalendarAreBlank)
{
    const TDateTime last = EncodeDate(9999, 12, 31);
    const auto days = Row(last - 2, last + 5, 70, clDay, Pieces({ "%d" }));
    ASSERT_GE(days.size(), 4u);
    EXPECT_EQ(days[0].Text, QStringLiteral(" 29"));
    EXPECT_EQ(days[2].Text, QStringLiteral(" 31"));
    for (std::size_t i = 3; i < days.size(); ++i)
        EXPECT_EQ(days[i].Text, QString()) << i;
    EXPECT_EQ(days.back().X2, 70);
    const auto months = Row(last - 2, last + 40, 420, clMonth, Pieces({ "%mmm", "%yy" }));
    ASSERT_GE(months.size(), 2u);
    EXPECT_EQ(months[0].Text, QStringLiteral(" December 99"));
    for (std::size_t i = 1; i < months.size(); ++i)
        EXPECT_EQ(months[i].Text, QString()) << i;
    EXPECT_TRUE(Row(last + 10, last + 20, 100, clWeek, Pieces({ "%w" })).front().Text.isEmpty());
}
