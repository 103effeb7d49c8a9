#include "timechart/Clock.h"

#include "document/calendar/DateTime.h"
#include "tests/timechart/ChartPixelTest.h"

#include <QTimer>

namespace {

class ClockTest : public testsupport::ChartPixelTest {
protected:
    TClock clock;
    QTimer &Timer() { return *clock.findChild<QTimer *>(); }
};

} // namespace

// (4, 4) lies 11.3 pixels up-left of the centre: beyond the minute pointer's 10,
// away from the shadows and from every hour mark, so it shows the face.
TEST_F(ClockTest, PaintsTheCurrentTimeInItsColoursWithTheTimeAsHint)
{
    EXPECT_EQ(clock.size(), QSize(25, 25));
    EXPECT_DOUBLE_EQ(clock.HourPointerLength(), 0.6);
    EXPECT_DOUBLE_EQ(clock.MinutePointerLength(), 0.8);
    const QImage plain = Keep(testsupport::RenderWidget(clock), "default");
    EXPECT_PIXEL(plain, 4, 4, clWhite);
    EXPECT_PIXEL(plain, 12, 12, clBlack);

    clock.SetClockColor(clYellow);
    clock.SetPointerColor(clRed);
    const QString before = FormatDateTimePattern(FormatSettings().ShortTimeFormat, Now());
    const QImage image = Keep(testsupport::RenderWidget(clock), "coloured");
    const QString after = FormatDateTimePattern(FormatSettings().ShortTimeFormat, Now());
    EXPECT_PIXEL(image, 4, 4, clYellow);
    EXPECT_PIXEL(image, 12, 12, clRed);
    EXPECT_TRUE(clock.toolTip() == before || clock.toolTip() == after) << qPrintable(clock.toolTip());
}

TEST_F(ClockTest, TicksEverySixSecondsOnlyWhileRunningAndVisible)
{
    EXPECT_FALSE(clock.Running());
    clock.SetRunning(true);
    EXPECT_FALSE(Timer().isActive()); // not shown yet
    clock.show();
    EXPECT_TRUE(Timer().isActive());
    EXPECT_EQ(Timer().interval(), 6000);
    clock.hide();
    EXPECT_FALSE(Timer().isActive());
    clock.show();
    EXPECT_TRUE(Timer().isActive());
    clock.SetRunning(false);
    EXPECT_FALSE(Timer().isActive());
    clock.hide();
    clock.show();
    EXPECT_FALSE(Timer().isActive());
}
