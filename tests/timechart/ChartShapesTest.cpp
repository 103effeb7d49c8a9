#include "timechart/ChartShapes.h"

#include "tests/timechart/ChartPixelTest.h"

#include <QPainter>

using testsupport::MakeCanvas;
using testsupport::Unpainted;

namespace {

constexpr TColor ArrowFill = 0x11CCFF; // a deadline already passed

class ChartShapesTest : public testsupport::ChartPixelTest {
protected:
    QImage Arrow(QPoint from, TFillStyle fill, double size, const QString &name)
    {
        QImage image = MakeCanvas(160, 100);
        QPainter painter(&image);
        painter.setPen(QPen(ToQColor(clBlack), 0));
        painter.setBrush(ToQColor(ArrowFill));
        DrawArrow(painter, from, { 120, 60 }, fill, size);
        painter.end();
        return Keep(image, name);
    }

    QImage Clock(int side, const TRect &face, int hour, const QString &name)
    {
        QImage image = MakeCanvas(side, side, Unpainted);
        QPainter painter(&image);
        DrawClock(painter, face, EncodeTime(hour, 0, 0, 0), clWhite, clBlack, 0.6, 0.8);
        painter.end();
        return Keep(image, name);
    }
};

} // namespace

// From (20, 60) to (120, 60) at size 1 the head's outline runs through (95, 56),
// (90, 60), the tip (120, 60), (105, 34) and (104, 41); the shaft is a crescent
// arching up between two curves back to the start. At size 2 the head is 60 long
// and reaches up to (90, 8).
TEST_F(ChartShapesTest, ArrowFillsAndOutlinesHeadAndShaft)
{
    const QImage both = Arrow({ 20, 60 }, fsStrokeAndFill, 1, "strokeAndFill");
    ExpectPixels(both, ArrowFill, { { 108, 50 }, { 50, 44 } }); // in the head, in the shaft
    EXPECT_PIXEL(both, 100, 60, clBlack); // the head's lower edge
    // Past the tip, under the shaft, beyond the head's upper edge, above it.
    ExpectPixels(both, clWhite, { { 121, 60 }, { 60, 57 }, { 120, 40 }, { 92, 20 } });

    const QImage outline = Arrow({ 20, 60 }, fsStroke, 1, "stroke");
    EXPECT_PIXEL(outline, 108, 50, clWhite);
    EXPECT_PIXEL(outline, 100, 60, clBlack);
    EXPECT_PIXEL(Arrow({ 20, 60 }, fsFill, 1, "fill"), 100, 59, ArrowFill);
    EXPECT_PIXEL(Arrow({ 10, 60 }, fsFill, 2, "size2"), 92, 20, ArrowFill);
}

TEST_F(ChartShapesTest, FocusRectIgnoresCornerOrderAndUndoesItself)
{
    QImage forward = MakeCanvas(20, 20);
    QImage reversed = MakeCanvas(20, 20);
    const auto band = [](QImage &image, const TRect &rect) {
        QPainter painter(&image);
        FocusRect(painter, rect);
    };
    band(forward, Rect(0, 0, 10, 10));
    band(reversed, Rect(10, 10, 0, 0));
    EXPECT_EQ(Keep(forward, "once"), reversed);
    // Every other pixel of the border; the frame's last column and row are 9.
    ExpectPixels(forward, clBlack, { { 0, 0 }, { 2, 0 }, { 0, 2 }, { 9, 1 }, { 9, 9 } });
    ExpectPixels(forward, clWhite, { { 1, 0 }, { 10, 10 }, { 5, 5 } });
    EXPECT_EQ(qAlpha(forward.pixel(0, 0)), 255);

    QImage coloured = MakeCanvas(20, 20, 0x7362D6);
    const QImage before = coloured;
    QPainter painter(&coloured);
    FocusRect(painter, Rect(15, 2, 3, 12));
    EXPECT_PIXEL(coloured, 4, 2, 0x8C9D29u); // 0x7362D6 inverted
    FocusRect(painter, Rect(3, 12, 15, 2));
    EXPECT_EQ(coloured, before);
}

// 25 x 25 at 15:00: centre (12, 12), radii 12.5; the hour pointer ends
// Round(0.6 * 12.5) = 8 right, the minute pointer 10 up; shadows one pixel right
// and down; rim marks at (12, 12 + Round(-12.5)) = (12, 0) and, for 1 o'clock,
// (12 + Round(6.25), 12 + Round(-10.83)) = (18, 1). The 17 x 17 clock of a moved
// bar centres on the bar's corner (40, 30): at 9:00 the hour pointer ends
// Round(0.6 * 8.5) = 5 left, the minute pointer 7 up, the 9 o'clock mark 8 left.
TEST_F(ChartShapesTest, ClockPointersShadowsAndMarks)
{
    const QImage image = Clock(25, Rect(0, 0, 25, 25), 15, "clock15");
    ExpectPixels(image, clBlack, { { 12, 12 }, { 20, 12 }, { 12, 2 }, { 12, 0 }, { 18, 1 } });
    ExpectPixels(image, ClockShadowColor, { { 16, 13 }, { 21, 13 }, { 13, 3 } });
    ExpectPixels(image, clWhite, { { 21, 12 }, { 12, 1 }, { 4, 4 } });
    EXPECT_PIXEL(image, 0, 0, Unpainted);

    const QImage small = Clock(80, Bounds(40 - 8, 30 - 8, 17, 17), 9, "clock9");
    ExpectPixels(small, clBlack, { { 40, 30 }, { 35, 30 }, { 40, 23 }, { 32, 30 } });
    EXPECT_PIXEL(small, 34, 30, clWhite);
    EXPECT_PIXEL(small, 36, 31, ClockShadowColor);
    EXPECT_PIXEL(small, 31, 30, Unpainted);
}

// Radius over 40: marks are lines over the outer tenth. On an even-sized face the
// 3 and 6 o'clock marks end on the face's last pixel, not one past it.
TEST_F(ChartShapesTest, LargeClockHasLineMarksInsideItsFace)
{
    const QImage image = Clock(110, Rect(0, 0, 100, 100), 15, "clockLarge");
    ExpectPixels(image, clBlack, { { 50, 0 }, { 50, 5 }, { 96, 50 }, { 99, 50 }, { 50, 99 } });
    ExpectPixels(image, Unpainted, { { 100, 50 }, { 50, 100 } });
    EXPECT_PIXEL(image, 50, 6, clWhite);
}
