// The scroll animation: halving steps to the destination, centring a selected bar,
// and a bar being dragged that keeps its dates while the chart scrolls under it.
#include "document/DocumentTable.h"
#include "tests/timechart/ChartTestSupport.h"
#include "timechart/TimeChartMouse.h"

#include <QMouseEvent>
#include <gtest/gtest.h>
#include <vector>

using charttest::Day;
using charttest::PositionItem;

namespace {

// Ten positions; tasks from 1 January to 1 July 2024; the chart 400 x 300 (50
// days, rows of 42).
class ScrollAnimationTest : public ::testing::Test, protected charttest::ChartFixture {
protected:
    TNodeData *first = nullptr;
    TNodeData *last = nullptr;

    ScrollAnimationTest()
    {
        QStringList items;
        for (int p = 0; p < 10; ++p)
            items << PositionItem(QStringLiteral("P%1").arg(p));
        SetPositions(items);
        first = AddTask("P0", "10.01.2024", "2");
        last = AddTask("P9", "01.07.2024", "1");
        ShowChart(400, 300);
        chart->TabControl1Change();
        chart->RunPendingLayoutPasses();
        Settle();
    }

    // Ticks the animation until it stops; the days each tick moved.
    std::vector<int> Settle()
    {
        std::vector<int> steps;
        for (int tick = 0; tick < 200 && chart->SliderTimer().isActive(); ++tick) {
            const TDateTime before = chart->TimeChartStart();
            chart->SliderTimerTimer();
            steps.push_back(int(chart->TimeChartStart() - before));
        }
        EXPECT_FALSE(chart->SliderTimer().isActive());
        return steps;
    }

    void Send(QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons,
        Qt::KeyboardModifiers keys = Qt::NoModifier)
    {
        QMouseEvent event(type, pos, chart->TimeChart().mapToGlobal(pos), button, buttons, keys);
        QCoreApplication::sendEvent(&chart->TimeChart(), &event);
    }
};

} // namespace

// Each tick covers half the distance left, at least one day.
TEST_F(ScrollAnimationTest, EachTickHalvesTheDistanceLeft)
{
    const TDateTime start = chart->TimeChartStart();
    chart->SetTimeChartDestination(start + 100, 0, false);
    EXPECT_TRUE(chart->SliderTimer().isActive());
    EXPECT_EQ(chart->SliderTimer().interval(), 15);
    EXPECT_EQ(Settle(), std::vector<int>({ 50, 25, 13, 6, 3, 2, 1 }));
    EXPECT_EQ(chart->TimeChartStart(), start + 100);

    chart->SetTimeChartDestination(start + 99, 1, false);
    EXPECT_EQ(Settle(), std::vector<int>({ -1 }));
    EXPECT_EQ(chart->TimeChartTop(), 1);
}

// A selected bar comes to the middle of the chart; one not selected stays where it is.
TEST_F(ScrollAnimationTest, CentringBringsASelectedBarToTheMiddle)
{
    TNodeData *middle = AddTask("P5", "01.04.2024", "1");
    chart->CenterNode(middle);
    EXPECT_FALSE(chart->SliderTimer().isActive());
    doc->GetTable(tbTable).SetSelected(middle, true);
    chart->CenterNode(middle);
    Settle();
    const TRect bar = chart->ItemRect(middle, false);
    EXPECT_LE(std::abs((bar.Left + bar.Right) / 2 - 200), 4);
    EXPECT_LE(std::abs((bar.Top + bar.Bottom) / 2 - 150), 1);
}

// While a bar is dragged with "Scroll Timechart while moving Task" checked, the
// chart brings it to the middle and the bar keeps its dates: the pointer counts
// as ridden along. Shift turns the scrolling off for the drag.
TEST_F(ScrollAnimationTest, ADraggedBarRidesAlongWhileTheChartScrolls)
{
    chartHost.settings.AutoScroll = true;
    chart->SetTimeChartDestination(Day(2024, 1, 1), 0, true);
    // The bar of 10 January from x 72; a day to the right, then the chart centres it.
    Send(QEvent::MouseButtonPress, { 76, 20 }, Qt::LeftButton, Qt::LeftButton);
    Send(QEvent::MouseMove, { 84, 20 }, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(doc->GetStartOf(first), Day(2024, 1, 11));
    ASSERT_TRUE(chart->SliderTimer().isActive());
    Settle();
    const TDateTime scrolled = chart->TimeChartStart() - Day(2024, 1, 1);
    ASSERT_LT(scrolled, 0);
    EXPECT_EQ(doc->GetStartOf(first), Day(2024, 1, 11));
    EXPECT_EQ(chart->Mouse().GesturePoint({ 84, 20 }), QPoint(84 - int(scrolled) * 8, 20));
    // The pointer rests: the bar stays.
    Send(QEvent::MouseMove, { 84, 20 }, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(doc->GetStartOf(first), Day(2024, 1, 11));
    // A day further right moves it one day.
    Send(QEvent::MouseMove, { 92, 20 }, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(doc->GetStartOf(first), Day(2024, 1, 12));
    Send(QEvent::MouseButtonRelease, { 92, 20 }, Qt::LeftButton, Qt::NoButton);
    Settle();

    // With Shift the chart stays put.
    const TDateTime view = chart->TimeChartStart();
    const TRect bar = chart->ItemRect(first, false);
    const QPoint on((bar.Left + bar.Right) / 2, 20);
    Send(QEvent::MouseButtonPress, on, Qt::LeftButton, Qt::LeftButton, Qt::ShiftModifier);
    ASSERT_EQ(chart->Mouse().State(), msMoveItem);
    Send(QEvent::MouseMove, on + QPoint(16, 0), Qt::NoButton, Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(doc->GetStartOf(first), Day(2024, 1, 14));
    EXPECT_FALSE(chart->SliderTimer().isActive());
    Send(QEvent::MouseButtonRelease, on + QPoint(16, 0), Qt::LeftButton, Qt::NoButton, Qt::ShiftModifier);
    EXPECT_EQ(chart->TimeChartStart(), view);
}

// From a view at the end of the calendar, a bar of 2024 selected comes to the
// middle: its distance is worked out in days, not in pixels clamped far out.
TEST_F(ScrollAnimationTest, CentringReachesABarThousandsOfYearsAway)
{
    AddTask("P1", "01.01.1900", "1");
    AddTask("P2", "27.12.9999", "1");
    chart->RunPendingLayoutPasses();
    chart->SetTimeChartDestination(Day(9999, 12, 20), 0, true);
    ASSERT_GT(chart->TimeChartStart(), Day(9999, 1, 1));
    TNodeData *june = AddTask("P3", "03.06.2024", "1");
    doc->GetTable(tbTable).SetSelected(june, true);
    chart->CenterNode(june);
    Settle();
    const TRect bar = chart->ItemRect(june, false);
    EXPECT_LE(std::abs((bar.Left + bar.Right) / 2 - 200), 8) << chart->TimeChartStart();
}
