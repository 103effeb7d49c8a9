// The chart's coordinates on hand-built documents: every expected value is worked
// out from the document's dates, the zoom and the row heights.
#include "timechart/ChartGeometry.h"

#include "document/ChartRows.h"
#include "tests/timechart/ChartTestSupport.h"
#include "timechart/ChartScale.h"
#include "timechart/PositionLabels.h"

#include <gtest/gtest.h>
#include <random>

using charttest::Day;
using charttest::PositionItem;

namespace {

constexpr double Minute = 1.0 / 1440;
constexpr double Hour = 1.0 / 24;

// Five chart rows: Press (three rows), Saw, Lathe. The view shows Monday
// 4 March 2024 and the nine days after it on 100 pixels: 10 pixels per day.
class ChartGeometryTest : public ::testing::Test, protected charttest::ChartFixture {
protected:
    ChartGeometryTest()
    {
        SetPositions({ PositionItem("Press", 3), PositionItem("Saw"), PositionItem("Lathe") });
    }

    TRect Item(TNodeData *node, int top = 0, bool fullHeight = false) const
    {
        return geometry.ItemRect(node, viewStart, viewStart + 10, top, 42, 100, fullHeight);
    }
    TRect Arrow(TNodeData *node) const
    {
        return geometry.ArrowRect(node, viewStart, viewStart + 10, 0, 42, 100);
    }

    const TDateTime viewStart = Day(2024, 3, 4);
    TChartGeometry geometry { *doc };
};

} // namespace

TEST(ChartScale, ColumnWidthsRowHeightsAndFontSizes)
{
    TChartScale scale;
    scale.FTimeChartColWidth = 3;
    EXPECT_EQ(scale.GetTimeChartColWidth(), 3);
    scale.Zoom = 25;
    EXPECT_EQ(scale.GetTimeChartColWidth(), 1); // 75 div 100 would be 0
    EXPECT_EQ(scale._TimeChartColWidth(175), 6); // (25 + 175) * 3 div 100
    scale.Zoom = 0;
    EXPECT_EQ(scale.GetZoom(), 1);

    // 8 points: 4 lines of Trunc(8 * 96 / 72) = 10 pixels.
    scale.Zoom = 100;
    scale.FTimeChartFontSize = 8;
    EXPECT_EQ(scale.TimeChartFullRowHeight(0), 40);
    const std::pair<TRowSet, int> heights[]
        = { { rsTopMiddleBottom, 42 }, { rsTopMiddle, 27 }, { rsTop, 15 } };
    for (const auto &[rowSet, height] : heights) {
        scale.FRowSet = rowSet;
        EXPECT_EQ(scale.TimeChartRowHeight(0), height) << rowSet;
    }
    // At 75 % exactly 8 pixels a line (75 * 8 * 96 / 7200 = 8): 32, and heights
    // already a multiple of 3 grow by 3.
    scale.Zoom = 75;
    EXPECT_EQ(scale.TimeChartFullRowHeight(0), 32);
    scale.FRowSet = rsTopMiddle; // 21
    EXPECT_EQ(scale.TimeChartRowHeight(0), 24);
    EXPECT_EQ(scale.TimeChartRowHeight(25), 27); // 100 %: 26
    // A font given by a negative size counts by its magnitude; a tiny one still
    // gives rows of at least one pixel (here 3).
    scale.FTimeChartFontSize = -8;
    EXPECT_EQ(scale.TimeChartFullRowHeight(25), 40);
    scale.FTimeChartFontSize = 0;
    EXPECT_EQ(scale.TimeChartFullRowHeight(0), 1);
    EXPECT_EQ(scale.TimeChartRowHeight(0), 3);

    scale.FTimeChartFontSize = 8;
    scale.Zoom = 150;
    EXPECT_EQ(scale.GetTimeChartFontSize(), 12);
    EXPECT_EQ(scale._TimeChartFontSize(50, 0, 96), 16); // 200 % on the screen
    EXPECT_EQ(scale._TimeChartFontSize(-50, 192, 96), 4); // 100 % at twice the screen's ppi

    scale.Zoom = 100;
    scale.FTimeChartColWidth = 8;
    EXPECT_EQ(scale.ResizeGrabWidth(), 2);
    scale.FTimeChartColWidth = 40;
    EXPECT_EQ(scale.ResizeGrabWidth(), 4);
}

TEST_F(ChartGeometryTest, TasksAndAbsentDaysInDayMode)
{
    ASSERT_EQ(doc->GetRowCount(), 5);
    // Saw (row 3), Tuesday and Wednesday: x 10 to 30, rows at 42 pixels, 80 %
    // of the row: Round(42 * 0.1) = 4 off the top and the bottom.
    TNodeData *saw = AddTask("Saw", "05.03.2024", "2");
    EXPECT_EQ(Item(saw), Rect(10, 130, 30, 164));
    EXPECT_EQ(Item(saw, 0, true), Rect(10, 126, 30, 168));
    EXPECT_EQ(Item(saw, 50), Rect(10, 80, 30, 114));
    // One day is exactly one day wide.
    TNodeData *lathe = AddTask("Lathe", "08.03.2024", "1");
    EXPECT_EQ(Item(lathe), Rect(40, 172, 50, 206));
    // A task of all positions covers every row at full height.
    EXPECT_EQ(Item(AddTask("*", "11.03.2024", "1"), 20), Rect(70, -20, 80, 190));
    // An absent day of any row of Press covers its three rows, one pixel wider.
    EXPECT_EQ(Item(AddAbsence("Press (1)", "05.03.2024", "1")), Rect(10, 0, 21, 126));
    EXPECT_EQ(Item(AddAbsence("Saw", "05.03.2024", "2")), Rect(10, 126, 31, 168));
    EXPECT_EQ(Item(AddAbsence("*", "06.03.2024", "1")), Rect(20, 0, 31, 210));

    // An empty view has no rectangles.
    EXPECT_EQ(geometry.ItemRect(saw, viewStart, viewStart, 0, 42, 100, false), TRect {});
    // Half days round to even pixels: 2.5 days at 1 pixel a day.
    EXPECT_EQ(geometry.TimeChartRect(
                  viewStart + 2.5, viewStart + 3.5, viewStart, viewStart + 100, 0, 42, 100, 0, true, false),
        Rect(2, 0, 4, 42));

    // In a tab without Saw the task has no rectangle.
    TCommaText group;
    group.Add(PositionItem("Lathe"));
    TDocumentSetup setup = doc->Setup();
    setup.FPositionGroup = QStringList { QString(), group.AsString() };
    doc->SetSetup(setup);
    doc->SetShownGroup(1);
    EXPECT_EQ(doc->GetRowCount(), 1);
    EXPECT_EQ(Item(saw), TRect {});
    EXPECT_EQ(Item(lathe), Rect(40, 4, 50, 38));
}

TEST_F(ChartGeometryTest, DeadlineArrowsRunFromTheBarsEndToTheDeadline)
{
    // Ends Wednesday; the arrow starts after the last day.
    TNodeData *late = AddTask("Saw", "05.03.2024", "2", "05.03.2024");
    EXPECT_EQ(Arrow(late), Rect(30, 147, 10, 168));
    TNodeData *ahead = AddTask("Saw", "05.03.2024", "2", "20.03.2024");
    EXPECT_EQ(Arrow(ahead), TRect {});
    doc->GetTable(tbTable).SetSelected(ahead, true);
    EXPECT_EQ(Arrow(ahead), Rect(30, 147, 160, 168));
    doc->GetTable(tbTable).SetSelected(late, true);
    EXPECT_EQ(Arrow(AddTask("*", "05.03.2024", "2", "05.03.2024")), TRect {});
    EXPECT_EQ(Arrow(AddTask("Saw", "05.03.2024", "2")), TRect {});
    EXPECT_EQ(geometry.ArrowRect(late, viewStart, viewStart, 0, 42, 100), TRect {});
}

// Hours mode: 48 pixels a day show the common hours of all rows, 7:00 to 15:45
// (525 minutes); 12 pixels a day each row's own hours of the weekday.
TEST_F(ChartGeometryTest, HoursModeKeepsEachTimeInsideItsDay)
{
    tWeekInfo night = DefaultWeekInfo();
    for (TDayInfo &day : night) {
        day.start = 9 * Hour;
        day.ende = 13 * Hour;
    }
    night[1].ende = night[1].start; // Monday: no hours at all
    SetPositions({ PositionItem("Press", 3), PositionItem("Night", 1, night) });
    doc->SetMinUnit(muMinute);
    ASSERT_DOUBLE_EQ(doc->ChartRows().MinDayStart(), 7 * Hour);
    ASSERT_DOUBLE_EQ(doc->ChartRows().MaxDayEnd(), 15.75 * Hour);
    const int press = 0, nightRow = 3;
    const TDateTime tuesday = Day(2024, 3, 5);
    auto x = [&](TDateTime date, double f, int row) { return geometry.HoursModeX(date, viewStart, f, row); };

    // 10:00 is 180 of 525 minutes into the common hours: 48 + Round(16.46).
    EXPECT_EQ(x(tuesday + 10 * Hour, 48, nightRow), 64);
    // Before the row's start (9:00) it is drawn at the start: 48 + Round(10.97).
    EXPECT_EQ(x(tuesday + 5 * Hour, 48, nightRow), 59);
    // After the common end it is drawn at the end, the next day's edge.
    EXPECT_EQ(x(tuesday + 20 * Hour, 48, press), 96);
    // Own hours at 12 pixels: 10:00 is a quarter into 9:00..13:00.
    EXPECT_EQ(x(tuesday + 10 * Hour, 12, nightRow), 15);
    // 14:00 lies after the row's end but before the common end: it stays at the
    // day's end and does not run into Wednesday (which starts at 24).
    EXPECT_EQ(x(tuesday + 14 * Hour, 12, nightRow), 24);
    EXPECT_EQ(x(tuesday + 1 + 9 * Hour, 12, nightRow), 24);
    // A day without hours maps to its start; at 48 pixels the common hours apply.
    EXPECT_EQ(x(viewStart + 11 * Hour, 12, nightRow), 0);
    EXPECT_EQ(x(viewStart + 11 * Hour, 48, nightRow), 22);

    // Bars use it, arrows and absent days do not.
    TNodeData *task = AddTask("Night", "05.03.2024 10:00:00", "2");
    const TRect bar = geometry.ItemRect(task, viewStart, viewStart + 10, 0, 42, 480, true);
    EXPECT_EQ(bar.Left, 64);
    EXPECT_EQ(bar.Right, x(task->nodeEnd, 48, nightRow));
    EXPECT_EQ(geometry.TimeChartRect(tuesday + 10 * Hour, tuesday + 12 * Hour, viewStart, viewStart + 10, 0,
                  42, 480, nightRow, true, false),
        Rect(68, 126, 72, 168));
}

// GetExactDate finds, for the x of any minute of a working day, the first minute
// drawn at that x: the inverse of the hours mapping.
TEST_F(ChartGeometryTest, ExactDateInvertsTheHoursMappingForEveryMinute)
{
    tWeekInfo late = DefaultWeekInfo();
    for (TDayInfo &day : late) {
        day.start = 10 * Hour;
        day.ende = 22 * Hour;
    }
    SetPositions({ PositionItem("Press"), PositionItem("Late", 1, late) });
    doc->SetMinUnit(muMinute);
    const TDateTime monday = viewStart;
    for (const int colWidth : { 12, 48, 300 }) {
        for (const int row : { 0, 1 }) {
            for (int minute = 0; minute < 1440; ++minute) {
                const TDateTime date = monday + 1 + minute / 1440.0;
                const int x = geometry.HoursModeX(date, monday, colWidth, row);
                const TDateTime found = geometry.GetExactDate(x, row, monday, colWidth, colWidth);
                // The search starts at the day of x div colWidth, and stops at
                // the first minute that reaches x.
                const TDateTime from = monday + x / colWidth;
                ASSERT_GE(found, from) << colWidth << " " << row << " " << minute;
                ASSERT_GE(geometry.HoursModeX(found, monday, colWidth, row), x) << minute;
                if (found > from) {
                    ASSERT_LT(geometry.HoursModeX(found - Minute, monday, colWidth, row), x) << minute;
                }
                // Inside Tuesday's column the date itself reaches x: the first
                // such minute is drawn at x too. (Times after the day's hours
                // lie on Wednesday's edge, where Wednesday's search starts.)
                if (x < 2 * colWidth) {
                    ASSERT_LE(found, date + Minute / 2) << minute;
                    ASSERT_EQ(geometry.HoursModeX(found, monday, colWidth, row), x) << minute;
                }
            }
        }
    }
}

TEST(PositionLabels, BoxesAreAsWideAsTheWidestNameAndMeasuredOnce)
{
    // Seven pixels a character, fonts eleven pixels high.
    class FixedMeasure final : public ITextMeasure {
    public:
        mutable int calls = 0;
        int TextWidth(const QString &text) const override { return ++calls, 7 * int(text.size()); }
        int FontHeight() const override { return 11; }
    } measure;
    const QStringList rows = { PositionItem("Press", 3), PositionItem("Saw") };
    const QStringList expanded = TChartRows::ExpandRows(rows);
    EXPECT_EQ(RowNames(expanded), QStringList({ "Press", "Press (1)", "Press (2)", "Saw" }));

    TLabelWidthCache cache;
    const QFont font("Liberation Sans", 8);
    const TLabelMetrics metrics = cache.Metrics(font, expanded, &measure);
    EXPECT_EQ(metrics.MaxTextWidth, 63);
    // Pen 1 * 8 + 63, at most a sixth of the chart; (42 - 11 - 4) div 2 into the row.
    EXPECT_EQ(PositionRect(metrics, 10, 2, 600, 42), Rect(0, 87, 71, 102));
    EXPECT_EQ(PositionRect(metrics, 0, 0, 300, 42), Rect(0, 13, 50, 28));

    const int calls = measure.calls;
    cache.Metrics(font, QStringList(expanded), &measure);
    cache.Metrics(font, TChartRows::ExpandRows(rows), &measure); // equal rows, other data
    EXPECT_EQ(measure.calls, calls);
    EXPECT_EQ(cache.MeasureCount(), 1);
    cache.Metrics(QFont("Liberation Sans", 12), expanded, &measure);
    cache.Metrics(QFont("Liberation Sans", 12), rows, &measure);
    EXPECT_EQ(cache.MeasureCount(), 3);
}

// Thousands of names (a large plan's positions) are partly summed from the
// font's character pairs: the widest is still the width the font shapes.
TEST(PositionLabels, TheWidestOfManyNamesIsTheShapedWidth)
{
    std::mt19937 rng(11);
    const QString letters = QStringLiteral("AVTWYfiflrkxo.,- 0123456789\u00e4\u00dfLTo");
    for (const QFont &font : { QFont("Liberation Sans", 8), QFont("DejaVu Sans", 9, QFont::Bold) }) {
        const QFontMetrics metrics(font);
        const TFontMeasure measure(font);
        int widest = 0;
        int widestMeasured = 0;
        for (int i = 0; i < 9000; ++i) {
            QString name;
            for (int n = 1 + int(rng() % 14); n > 0; --n)
                name += letters[int(rng() % unsigned(letters.size()))];
            if (i == 8500)
                name += QStringLiteral("\u4e2d"); // outside the pairs' alphabet
            ASSERT_EQ(measure.TextWidth(name), metrics.horizontalAdvance(name)) << qPrintable(name);
            widest = std::max(widest, metrics.horizontalAdvance(name));
            widestMeasured = std::max(widestMeasured, measure.TextWidth(name));
        }
        EXPECT_EQ(widestMeasured, widest);
    }
}

TEST(SliderRect, TheOverviewFramesWhatTheChartShows)
{
    // 10 of 40 rows and 10 of 100 days visible in an overview of 200 x 80.
    TSliderView view;
    view.ChartHeight = 420;
    view.RowHeight = 42;
    view.RowCount = 40;
    view.Top = 420;
    view.MinDate = 1000;
    view.MaxDate = 1100;
    view.Start = 1030;
    view.VisibleDays = 10;
    view.SmallWidth = 200;
    view.SmallHeight = 80;
    EXPECT_EQ(SliderRect(view), Rect(60, 20, 80, 40));
    // All rows fit, the whole range is visible: the full overview.
    view.RowCount = 8;
    view.MaxDate = 1005;
    EXPECT_EQ(SliderRect(view), Rect(0, 0, 200, 80));
}
