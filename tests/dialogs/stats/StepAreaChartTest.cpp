// The utilisation chart: the red area under a stepped curve, its axes and window.
#include "dialogs/stats/ChartDialog.h"
#include "tests/timechart/ChartPixelTest.h"

#include <QLayout>

namespace {

class StepAreaChartTest : public testsupport::ChartPixelTest { };

const TDateTime Monday = EncodeDate(2024, 3, 4);

} // namespace

TEST(ChartAxes, RoundValueStepsAndDateTicksWithRoomForTheirLabels)
{
    const TValueAxis counts = ValueAxisFor(0, 2, true);
    EXPECT_EQ(counts.max, 2);
    EXPECT_EQ(counts.step, 1); // not 0.5: whole values get whole steps
    const TValueAxis sums = ValueAxisFor(-3, 37.5, false);
    EXPECT_EQ(sums.min, -10);
    EXPECT_EQ(sums.max, 40);
    EXPECT_EQ(sums.step, 10);
    EXPECT_EQ(ValueAxisFor(0, 0, true).max, 1);
    EXPECT_EQ(ValueLabel(2.5, 0.5), QStringLiteral("2,5"));

    // Labels of 60 pixels and a gap of 12. 30 days on 360 pixels (12 a day): a tick
    // each Monday; on 1,500 pixels every even day; a year on 600 pixels (50 a month):
    // every other month, on its first day.
    EXPECT_EQ(DateTicksFor(Monday - 3, Monday + 27, 360, 60, 90).dates,
        (std::vector<TDateTime> { Monday, Monday + 7, Monday + 14, Monday + 21 }));
    const TDateTicks days = DateTicksFor(Monday, Monday + 30, 1500, 60, 90);
    EXPECT_EQ(days.dates.size(), 15u);
    EXPECT_EQ(days.dates.front(), Monday + 1);
    const TDateTicks months = DateTicksFor(EncodeDate(2024, 1, 1), EncodeDate(2025, 1, 1), 600, 60, 90);
    EXPECT_FALSE(months.withTime);
    EXPECT_EQ(months.dates.size(), 7u);
    EXPECT_EQ(months.dates[1], EncodeDate(2024, 3, 1));
    // Half a day on 800 pixels (67 an hour): labels of 90 with the time, every other hour.
    const TDateTicks hours = DateTicksFor(Monday + 0.25, Monday + 0.75, 800, 60, 90);
    EXPECT_TRUE(hours.withTime);
    EXPECT_EQ(hours.dates.size(), 7u);
    EXPECT_EQ(hours.dates[1], Monday + 8 / 24.0);
}

TEST_F(StepAreaChartTest, TheAreaIsRedUnderTheCurveAndWhiteAboveIt)
{
    TChartDialog dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Utilization"));
    // 2 tasks from the 10th day, 1 from the 20th, to the end of the range on the 30th.
    dialog.ShowCurve(QStringLiteral("Utilization"), QStringLiteral("No. Tasks"),
        { { Monday, 0 }, { Monday + 10, 2 }, { Monday + 20, 1 } }, { Monday, Monday + 30, muDay });
    dialog.resize(400, 300);
    dialog.layout()->activate();
    StepAreaChart &chart = *dialog.Chart1();
    ASSERT_EQ(chart.size(), QSize(400, 300));
    const QImage image = Keep(testsupport::RenderWidget(chart), "utilisation");

    // Values 0 to 2 over the plot's height, days over its width.
    const TStepAreaLayout layout = chart.Layout();
    ASSERT_EQ(layout.Values().max, 2);
    const TRect plot = layout.Plot();
    ASSERT_GT(plot.Width(), 300);
    const auto x = [&](double day) { return plot.Left + int(day / 30 * plot.Width()); };
    const auto y = [&](double value) { return plot.Bottom - int(value / 2 * plot.Height()); };
    ExpectPixels(image, clRed,
        { { x(12.5), y(1.9) }, { x(12.5), y(0.1) }, { x(19.6), y(1.5) }, { x(25.5), y(0.5) },
            { x(29.6), y(0.9) } });
    ExpectPixels(image, clWhite,
        { { x(5.5), y(0.1) }, { x(9.6), y(1.5) }, { x(25.5), y(1.5) }, { x(20.4), y(1.1) }, { x(12.5), 3 } });
}
