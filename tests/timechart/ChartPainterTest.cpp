#include "document/calendar/DateList.h"
#include "document/gui/DrawingRoutines.h"
#include "platform/gui/Fonts.h"
#include "tests/timechart/ChartPaintFixture.h"
#include "timechart/ColorRoutines.h"

#include <QApplication>

using testsupport::PixelAt;
using testsupport::Unpainted;

namespace {

class ChartPainterTest : public charttest::ChartPaintTest {
protected:
    void SetUp() override
    {
        ChartPaintTest::SetUp();
        SetPositions({ charttest::PositionItem("A"), charttest::PositionItem("B") });
        SetColors({ 0x808080, 0xFFFFFF, 0x3080F0 });
    }

    // Two rows of 42 over four weeks from Monday 1 January, 10 pixels a day.
    QImage Chart(bool today = false) { return Paint(280, 90, Jan1, TCanvasKind::TimeChart, today); }

    tWeekInfo Week(double start, double end, bool weekend)
    {
        tWeekInfo week {};
        for (int d = 0; d < 7; ++d) {
            week[d].active = weekend || (d >= 1 && d <= 5);
            week[d].start = start / 24;
            week[d].ende = end / 24;
            week[d].length = int((end - start) * 60);
        }
        return week;
    }

    void BindDeadline()
    {
        const int column = doc.GetTableColCount(tbTable);
        doc.ResizeTable(tbTable, column + 1);
        doc.SetColumnType(tbTable, column, ctDate);
        doc.SetConnection(tbTable, cnTermin, column);
    }
};

const TColor MonthLine = MonthDividerColor;

} // namespace

TEST_F(ChartPainterTest, WeekendsAreShadedCellsBetweenDayLinesAndMonthsBeginWithADoubleLine)
{
    const QImage image = Keep(Chart(), "week");
    EXPECT_PIXEL(image, 15, 20, ChartBackColor); // Tuesday 2 January
    ExpectPixels(image, GridColor, { { 10, 20 }, { 20, 60 } }); // day lines
    ExpectPixels(image, MonthLine, { { 0, 20 }, { 1, 20 }, { 0, 84 } });
    // Saturday 6 January is (50, 60): filled inside, edges at its left and at its
    // exclusive right, which is also Sunday's left edge.
    ExpectPixels(image, NonWorkingColor, { { 51, 20 }, { 55, 20 }, { 59, 60 }, { 69, 20 } });
    ExpectPixels(image, GridColor, { { 50, 20 }, { 60, 20 }, { 70, 20 } });
    // The line between the rows; the rows end at 84, the grid one pixel below.
    EXPECT_PIXEL(image, 15, 42, GridColor);
    EXPECT_PIXEL(image, 15, 83, ChartBackColor);
    EXPECT_PIXEL(image, 15, 84, Unpainted);
    EXPECT_PIXEL(image, 10, 84, GridColor);
    EXPECT_PIXEL(image, 10, 85, Unpainted);
}

TEST_F(ChartPainterTest, RowLinesFollowTheViewOptions)
{
    SetPositions({ charttest::PositionItem("A", 2), charttest::PositionItem("B") }); // rows A, A (1), B
    settings.DrawLinesMultiRow = false;
    QImage image = Keep(Paint(280, 130, Jan1), "multirow_off");
    EXPECT_PIXEL(image, 15, 42, ChartBackColor); // above the extra row of A
    EXPECT_PIXEL(image, 15, 84, GridColor);
    settings.DrawLinesMultiRow = true;
    EXPECT_PIXEL(Paint(280, 130, Jan1), 15, 42, GridColor);
    settings.DrawLines = false;
    image = Paint(280, 130, Jan1);
    EXPECT_PIXEL(image, 15, 42, ChartBackColor);
    EXPECT_PIXEL(image, 15, 84, ChartBackColor);
}

// A public holiday is a shaded day over every row, its name written down the day
// in the grid colour darkened by half; nothing of it leaves the day.
TEST_F(ChartPainterTest, APublicHolidayIsACellOverAllRowsWithItsNameWrittenDownTheDay)
{
    TDocumentSetup setup = doc.Setup();
    setup.FHolidayList = { { QStringLiteral("New Year"), 1, 1, true, false } };
    doc.SetSetup(setup);
    doc.updateAutoEntries(Jan1, Jan1 + 60);
    const QImage image = Keep(Chart(), "holiday");
    ExpectPixels(image, NonWorkingColor, { { 5, 75 }, { 9, 83 } }); // below the name
    EXPECT_PIXEL(image, 10, 60, GridColor);
    // The name in the grid colour darkened by half: 0x92, 0xCA, 0xE0 halved.
    const TColor text = FlashColor(GridColor, -50);
    EXPECT_EQ(text, 0x706549u);
    int darkest = 255 * 3, inside = 0;
    TColor darkestColor = 0;
    for (int y = 0; y < 84; ++y)
        for (int x = 2; x < 10; ++x) {
            const TColor c = PixelAt(image, x, y);
            inside += c != NonWorkingColor;
            const int sum = GetRValue(c) + GetGValue(c) + GetBValue(c);
            if (sum < darkest) {
                darkest = sum;
                darkestColor = c;
            }
        }
    EXPECT_GT(inside, 30);
    EXPECT_NEAR(GetRValue(darkestColor), GetRValue(text), 16);
    EXPECT_NEAR(GetGValue(darkestColor), GetGValue(text), 16);
    EXPECT_NEAR(GetBValue(darkestColor), GetBValue(text), 16);
    // Nothing of it outside the day.
    for (int y = 0; y < 84; ++y)
        ASSERT_EQ(PixelAt(image, 15, y), y == 42 ? GridColor : ChartBackColor) << y;
}

TEST_F(ChartPainterTest, WithoutHolidaysNoCellIsDrawnForThem)
{
    ASSERT_TRUE(doc.AutoExcludeList().IsEmpty());
    EXPECT_PIXEL(Keep(Chart(), "no_holiday"), 5, 20, ChartBackColor);
}

TEST_F(ChartPainterTest, HoursModeShadesTheHoursOutsideEachRowsWorkingDay)
{
    // A works 7:00 to 15:45 with pauses at 9:00 (15 minutes) and 12:00 (30); B 8:00
    // to 14:00 without pauses. Every day shows 7:00 to 15:45, 8.75 hours on 48 pixels.
    SetPositions({ charttest::PositionItem("A"), charttest::PositionItem("B", 1, Week(8, 14, false)) });
    doc.SetMinUnit(muMinute);
    geometry.ColWidth = 48;
    const QImage image = Keep(Paint(336, 90, Jan1), "hours");
    // A's pauses: 2 h -> round(10.97) = 11 to round(12.34) = 12; 5 h -> 27 to 30.
    ExpectPixels(image, NonWorkingColor, { { 11, 20 }, { 27, 20 }, { 29, 20 } });
    ExpectPixels(image, ChartBackColor, { { 10, 20 }, { 12, 20 }, { 26, 20 }, { 30, 20 }, { 47, 20 } });
    // B: 1 h before its start (round(5.49) = 5) and 1.75 h after its end (round(9.6) = 10).
    ExpectPixels(image, NonWorkingColor, { { 3, 62 }, { 4, 62 }, { 38, 62 }, { 47, 62 } });
    ExpectPixels(image, ChartBackColor, { { 5, 62 }, { 37, 62 } });
    EXPECT_PIXEL(image, 48, 62, GridColor); // days only: no hour lines
    EXPECT_PIXEL(image, 52, 62, NonWorkingColor); // Tuesday like Monday
    EXPECT_PIXEL(image, 260, 20, NonWorkingColor); // Saturday, all of it
}

TEST_F(ChartPainterTest, AtLowZoomTheGridShowsWeeksFromMondayThenMonthsOnly)
{
    SetPositions({ charttest::PositionItem("A", 1, Week(7, 15, true)) }); // no day off
    geometry.ColWidth = 3; // 21 pixels a week: week lines
    QImage image = Keep(Paint(280, 50, Jan1), "weeks");
    EXPECT_PIXEL(image, 42, 20, GridColor); // Monday 15 January
    EXPECT_PIXEL(image, 6, 20, ChartBackColor); // Wednesday
    geometry.ColWidth = 2; // 14 pixels a week: months
    image = Keep(Paint(280, 50, Jan1), "months");
    EXPECT_PIXEL(image, 28, 20, ChartBackColor);
    ExpectPixels(image, MonthLine, { { 62, 20 }, { 63, 20 }, { 120, 20 } }); // 1 February, 1 March
}

TEST_F(ChartPainterTest, TheTodayMarkerTintsWhatLiesBeneath)
{
    Row(tbTable, "A", Jan1 + 1, 2, 0); // grey 0x808080, x 10 to 30
    painter.SetNow([&] { return Jan1 + 2.5; }); // Wednesday noon
    QImage image = Keep(Chart(true), "today");
    EXPECT_PIXEL(image, 25, 60, TodayColor); // over white
    EXPECT_PIXEL(image, 25, 20, 0x000080); // 0x808080 and 0x7362D6
    EXPECT_PIXEL(image, 20, 60, 0x604292); // 0xE0CA92 and 0x7362D6
    EXPECT_PIXEL(image, 29, 83, TodayColor);
    EXPECT_PIXEL(image, 30, 60, GridColor);
    EXPECT_PIXEL(Chart(false), 25, 60, ChartBackColor);
    // From 24 pixels a day on: from now for a tenth of a day (120 to 124.8).
    geometry.ColWidth = 48;
    image = Keep(Paint(336, 90, Jan1, TCanvasKind::TimeChart, true), "today_hours");
    ExpectPixels(image, TodayColor, { { 120, 60 }, { 124, 60 } });
    ExpectPixels(image, ChartBackColor, { { 119, 60 }, { 125, 60 } });
}

TEST_F(ChartPainterTest, DeadlineArrowsAreYellowWhenPassedAndGreyWhenAhead)
{
    BindDeadline();
    TNodeData *late = Row(tbTable, "A", Jan1, 5, 1); // ends Friday 5th, due on the 3rd
    doc.SetTerminOf(late, Jan1 + 2);
    TNodeData *early = Row(tbTable, "B", Jan1, 1, 1); // ends the 1st, due on the 10th
    doc.SetTerminOf(early, Jan1 + 9);
    Select(early);
    const QImage image = Keep(Chart(), "arrows");
    // The arrows run from (50, 21) to (20, 42) and from (10, 63) to (90, 84).
    auto interiorCount = [&](QPoint from, QPoint to, TColor color) {
        const QPainterPath path = ArrowPath(ConstructArrowPoints(96, 96, from, to, 1.0));
        int count = 0;
        const QRect box = path.boundingRect().toAlignedRect();
        for (int y = box.top(); y <= box.bottom(); ++y)
            for (int x = box.left(); x <= box.right(); ++x) {
                bool interior = true;
                for (int dy = -2; dy <= 2 && interior; ++dy)
                    for (int dx = -2; dx <= 2 && interior; ++dx)
                        interior = path.contains(QPointF(x + dx + 0.5, y + dy + 0.5));
                count += interior && image.rect().contains(x, y) && PixelAt(image, x, y) == color;
            }
        return count;
    };
    EXPECT_GT(interiorCount({ 50, 21 }, { 20, 42 }, DeadlinePassedColor), 5); // over white: its own colour
    EXPECT_EQ(interiorCount({ 50, 21 }, { 20, 42 }, DeadlineAheadColor), 0);
    EXPECT_GT(interiorCount({ 10, 63 }, { 90, 84 }, DeadlineAheadColor), 5);
    EXPECT_EQ(interiorCount({ 10, 63 }, { 90, 84 }, DeadlinePassedColor), 0);
}

TEST_F(ChartPainterTest, ABarBeingMovedShowsItsStartDateOrAClock)
{
    TNodeData *task = Row(tbTable, "B", Jan1 + 3, 1, 1); // (30, 46)
    Select(task);
    EXPECT_PIXEL(Chart(), 5, 40, ChartBackColor);
    painter.Mouse().MovingItems = true;
    QImage image = Keep(Chart(), "moving");
    const QFontMetrics metrics(QApplication::font(), &image);
    const int w = metrics.horizontalAdvance(QStringLiteral("4.Jan")) + 6;
    const int h = metrics.height() + 2;
    const int left = 30 - w / 2, top = 46 - h / 2;
    ExpectPixels(image, clBlack, { { left, top }, { left + w - 1, top + h - 1 } });
    EXPECT_PIXEL(image, left + 1, top + 1, GetSysColor(COLOR_INFOBK));
    EXPECT_PIXEL(Paint(280, 90, Jan1, TCanvasKind::Other), left, top, ChartBackColor); // the window's only

    // In hours mode a clock face of 17 pixels around the corner, pointers from its centre.
    // From 8:00 for two hours: 8.75 working hours fill a day's 10 pixels from 7:00,
    // so the bar begins at 30 + round(10 / 8.75) = 31.
    doc.SetMinUnit(muMinute);
    doc.SetData_(task, cnStart, doc.FormatDateTime(Jan1 + 3 + 8.0 / 24));
    doc.SetData_(task, cnLength, QStringLiteral("2"));
    image = Keep(Chart(), "clock");
    const TRect bar = geometry.ItemRect(task, Jan1, Jan1 + 28, 0, 42, 280, false);
    ASSERT_EQ(bar.Left, 31);
    EXPECT_PIXEL(image, bar.Left, bar.Top, clBlack);
    EXPECT_PIXEL(image, bar.Left - 5, bar.Top, clWhite);
}

// The labels at the left edge: a raised face with the name on it for each row
// but the extra rows of a multi-row position.
TEST_F(ChartPainterTest, PositionLabelsSitOnRaisedFacesAtTheLeftEdge)
{
    SetPositions({ charttest::PositionItem("A", 2), charttest::PositionItem("Beta") });
    bars.SetAllowAlpha(false);
    QImage image = testsupport::MakeCanvas(280, 130, Unpainted);
    {
        QPainter p(&image);
        painter.DrawTimeChartPositions(
            TChartCanvas(p, TCanvasKind::TimeChart), Jan1, Jan1 + 28, 0, 280, 0, 0, 0, 0, true);
    }
    Keep(image, "labels");
    QPainter measure(&image);
    measure.setFont(MakeFont(geometry.TimeChartFontName(), 8, 96));
    const TRect row0 = geometry.PositionRect(measure, 0, 0, 280, 42);
    const TRect row2 = geometry.PositionRect(measure, 0, 2, 280, 42);
    measure.end();
    EXPECT_PIXEL(image, row0.Left, row0.Top + 3, GetSysColor(COLOR_3DLIGHT));
    EXPECT_PIXEL(image, row0.Right - 1, row0.Top + 3, GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_PIXEL(image, row2.Left + 2, row2.Top + 2, GetSysColor(COLOR_BTNFACE));
    // No label on A's extra row, nothing right of the labels.
    EXPECT_PIXEL(image, row0.Left + 2, (42 + 84) / 2, Unpainted);
    EXPECT_PIXEL(image, row0.Right + 1, row0.Top + 3, Unpainted);
    int text = 0;
    for (int y = row2.Top; y < row2.Bottom; ++y)
        for (int x = row2.Left; x < row2.Right; ++x)
            text += GetRValue(PixelAt(image, x, y)) < 90;
    EXPECT_GT(text, 10);
}

TEST_F(ChartPainterTest, TheFadeOutNoteNamesHiddenRowsWhileHidingIsOn)
{
    EXPECT_EQ(painter.FadeOutNote(), QString());
    settings.HideRows = true;
    EXPECT_EQ(painter.FadeOutNote(), QStringLiteral("automatically fade-out suppressed"));
    doc.SetGlobalPositionFilter({ charttest::PositionItem("A") });
    EXPECT_EQ(painter.FadeOutNote(), QStringLiteral("automatically fade-out: B"));
}

TEST_F(ChartPainterTest, AnEmptyViewPaintsNothing)
{
    Row(tbTable, "A", Jan1, 2, 0);
    QImage image = testsupport::MakeCanvas(100, 90, Unpainted);
    {
        QPainter p(&image);
        painter.DrawTimeChart(
            TChartCanvas(p, TCanvasKind::TimeChart), false, Jan1, Jan1, 0, 100, 0, 0, true, 0, 0, true);
    }
    for (int y = 0; y < 90; ++y)
        for (int x = 0; x < 100; ++x)
            ASSERT_EQ(PixelAt(image, x, y), Unpainted);
}

TEST_F(ChartPainterTest, TheOverviewShowsTasksAsPlainFullHeightBoxes)
{
    Row(tbTable, "A", Jan1 + 1, 2, 1);
    Row(tbExclude, "B", Jan1 + 1, 2, 0);
    // 40 pixels high: rows of 20.
    const QImage image = Keep(Paint(280, 40, Jan1, TCanvasKind::SmallTimeChart), "overview");
    ExpectPixels(image, ChartCellColor, { { 15, 1 }, { 25, 18 } });
    EXPECT_PIXEL(image, 15, 30, ChartBackColor); // no absent days, no weekend cells
    EXPECT_PIXEL(image, 55, 10, ChartBackColor);
    EXPECT_EQ(bars.smallredrawcount, 1);
}

TEST_F(ChartPainterTest, BarsFollowEditsBetweenPaints)
{
    TNodeData *task = Row(tbTable, "A", Jan1 + 40, 2, 0); // in February: not in view
    EXPECT_PIXEL(Chart(), 15, 20, ChartBackColor);
    doc.SetData_(task, cnStart, doc.FormatDateTime(Jan1 + 1));
    EXPECT_PIXEL(Keep(Chart(), "moved_in"), 15, 20, 0x808080);
    EXPECT_PIXEL(Chart(), 35, 20, ChartBackColor);

    // An absent day on Wednesday: the task's second day moves to Thursday.
    Row(tbExclude, "A", Jan1 + 2, 1, 0);
    EXPECT_PIXEL(Keep(Chart(), "absence"), 35, 20, 0x808080);

    doc.DeleteNode(task, false);
    EXPECT_PIXEL(Chart(), 15, 20, ChartBackColor);
}
