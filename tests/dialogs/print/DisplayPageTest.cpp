#include "dialogs/print/PageDisplay.h"
#include "dialogs/print/PrintJob.h"
#include "dialogs/print/PrintTestSupport.h"
#include "dialogs/print/ZoomCursors.h"

#include <gtest/gtest.h>
#include <set>

using namespace printtest;
using testsupport::PixelAt;

namespace {

constexpr TColor Grey = 0xF0F0F0;

// The colours met along a column (or row) from `from` to `to`, inclusive.
std::set<TColor> ColumnColours(const QImage &image, int x, int from, int to)
{
    std::set<TColor> colours;
    for (int y = from; y <= to; ++y)
        colours.insert(PixelAt(image, x, y));
    return colours;
}

std::set<TColor> RowColours(const QImage &image, int y, int from, int to)
{
    std::set<TColor> colours;
    for (int x = from; x <= to; ++x)
        colours.insert(PixelAt(image, x, y));
    return colours;
}

const std::set<TColor> Dotted { Grey, clWhite };

} // namespace

// The made-up sheet of 800 x 1100 printer pixels shown in a 400 x 550 box: every
// printer pixel is half a box pixel, every millimetre two box pixels.
class DisplayPageTest : public ::testing::Test {
protected:
    QImage Show(int page)
    {
        QImage box = testsupport::MakeCanvas(400, 550, clRed);
        QPainter painter(&box);
        DisplayPage(painter, box.size(), job, page);
        return box;
    }
    TFakePrinter printer;
    TPrintJob job { printer };
};

TEST_F(DisplayPageTest, SheetWithDottedFramesInchLinesAndPunchHoles)
{
    job.SetLochrand(true); // 44 printer pixels
    job.NewJob();
    job.NewPage();
    job.GetBrush()->setStyle(Qt::SolidPattern);
    job.GetBrush()->setColor(Qt::black);
    job.Rectangle(Rect(0, 400, 100, 460)); // body, so the sheet's (74, 440)-(174, 500)
    job.DonePrinting();
    const QImage box = Show(1);
    testsupport::SavePng(box, QStringLiteral("print_display_page"));

    // Printable area (30, 40)-(770, 1050) is (15, 20)-(385, 525) in the box.
    EXPECT_EQ(PixelAt(box, 0, 0), clWhite);
    EXPECT_EQ(ColumnColours(box, 15, 20, 524), Dotted);
    EXPECT_EQ(ColumnColours(box, 384, 20, 524), Dotted);
    EXPECT_EQ(RowColours(box, 20, 15, 384), Dotted);
    EXPECT_EQ(RowColours(box, 524, 15, 384), Dotted);
    EXPECT_EQ(PixelAt(box, 14, 300), clWhite);
    EXPECT_EQ(PixelAt(box, 385, 300), clWhite);
    EXPECT_EQ(PixelAt(box, 310, 525), clWhite);
    // The body starts right of the punch margin: sheet x 74 is box x 37.
    EXPECT_EQ(ColumnColours(box, 37, 21, 219), Dotted);
    EXPECT_EQ(ColumnColours(box, 36, 21, 49), std::set<TColor> { clWhite });

    // A dotted line at every inch (100 printer pixels, 50 box pixels), over the whole box.
    for (int x = 50; x < 400; x += 50) {
        EXPECT_EQ(ColumnColours(box, x, 0, 19), Dotted) << x;
        EXPECT_EQ(ColumnColours(box, x + 1, 0, 19), std::set<TColor> { clWhite }) << x;
    }
    for (int y = 50; y < 550; y += 50)
        EXPECT_EQ(RowColours(box, y, 0, 14), Dotted) << y;

    // Holes of 3 mm radius, 10.5 mm from the left edge and 39.5 mm above and below
    // the middle of the 275-mm height: (15, 190)-(27, 202) and (15, 348)-(27, 360).
    for (const int centre : { 196, 354 }) {
        EXPECT_EQ(PixelAt(box, 21, centre), Grey) << centre;
        EXPECT_EQ(PixelAt(box, 21, centre - 6), Grey) << centre;
        EXPECT_EQ(PixelAt(box, 21, centre + 5), Grey) << centre;
        EXPECT_EQ(PixelAt(box, 21, centre - 8), clWhite) << centre;
        EXPECT_EQ(PixelAt(box, 21, centre + 8), clWhite) << centre;
        EXPECT_EQ(PixelAt(box, 29, centre), clWhite) << centre;
    }

    // The page's rectangle: sheet (74, 440)-(174, 500) at half size.
    EXPECT_EQ(DarkBounds(box), QRect(QPoint(37, 220), QPoint(86, 249)));
}

TEST_F(DisplayPageTest, WithoutPunchMarginNoHolesAndBodyMeetsPrintableArea)
{
    job.NewJob();
    job.NewPage();
    job.DonePrinting();
    const QImage box = Show(1);
    EXPECT_EQ(PixelAt(box, 21, 196), clWhite);
    EXPECT_EQ(ColumnColours(box, 37, 21, 49), std::set<TColor> { clWhite });
}

TEST_F(DisplayPageTest, OnlyThePrintableAreaOfThePageIsShown)
{
    job.NewJob();
    job.NewPage();
    job.GetBrush()->setStyle(Qt::SolidPattern);
    job.GetBrush()->setColor(Qt::black);
    job.Rectangle(Rect(-100, -100, 2000, 2000));
    job.DonePrinting();
    const QImage box = Show(1);
    EXPECT_EQ(DarkBounds(box), QRect(QPoint(15, 20), QPoint(384, 524)));
}

TEST_F(DisplayPageTest, PagesTheJobDoesNotHaveShowNothing)
{
    job.NewJob();
    job.NewPage();
    EXPECT_EQ(PixelAt(Show(1), 200, 200), clRed); // still recording
    job.DonePrinting();
    EXPECT_EQ(PixelAt(Show(0), 200, 200), clRed);
    EXPECT_EQ(PixelAt(Show(2), 200, 200), clRed);
    EXPECT_EQ(PixelAt(Show(1), 200, 200), clWhite);
}

TEST(ZoomCursors, GlassShowsPlusOrMinus)
{
    const QImage in = ZoomCursorImage(TZoom::In);
    const QImage out = ZoomCursorImage(TZoom::Out);
    testsupport::SavePng(in, QStringLiteral("print_zoom_in"));
    // The horizontal bar through the glass's centre (12, 12) in both, the vertical only in "in".
    EXPECT_EQ(PixelAt(in, 9, 12), clBlack);
    EXPECT_EQ(PixelAt(out, 9, 12), clBlack);
    EXPECT_EQ(PixelAt(in, 12, 9), clBlack);
    EXPECT_EQ(PixelAt(out, 12, 9), clWhite);
    EXPECT_EQ(qAlpha(in.pixel(0, 31)), 0);
    EXPECT_EQ(ZoomCursor(TZoom::In).hotSpot(), QPoint(12, 12));
}
