#include "dialogs/print/PageDisplay.h"
#include "dialogs/print/PrintJob.h"
#include "tests/dialogs/print/PrintTestSupport.h"

#include <gtest/gtest.h>
#include <set>

using namespace printtest;
using testsupport::PixelAt;

namespace {

constexpr TColor Grey = 0xF0F0F0;
const std::set<TColor> Dotted { Grey, clWhite }, White { clWhite };

// The colours met from (x0, y0) to (x1, y1), along a row or a column.
std::set<TColor> Colours(const QImage &image, int x0, int y0, int x1, int y1)
{
    std::set<TColor> colours;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            colours.insert(PixelAt(image, x, y));
    return colours;
}

} // namespace

// The made-up 800 x 1100 sheet in a 400 x 550 box: half a box pixel per printer pixel,
// two box pixels per millimetre.
class DisplayPageTest : public ::testing::Test {
protected:
    QImage Show(int page)
    {
        QImage box = testsupport::MakeCanvas(400, 550, clRed);
        QPainter painter(&box);
        DisplayPage(painter, box.size(), job, page);
        return box;
    }
    void FillBlack(const TRect &rect)
    {
        job.GetBrush()->setStyle(Qt::SolidPattern);
        job.GetBrush()->setColor(Qt::black);
        job.Rectangle(rect);
    }
    TFakePrinter printer;
    TPrintJob job { printer };
};

TEST_F(DisplayPageTest, SheetWithDottedFramesInchLinesAndPunchHoles)
{
    job.SetLochrand(true); // 44 printer pixels
    job.NewJob();
    job.NewPage();
    FillBlack(Rect(0, 400, 100, 460)); // on the sheet (74, 440)-(174, 500)
    job.DonePrinting();
    const QImage box = Show(1);
    testsupport::SavePng(box, QStringLiteral("print_display_page"));

    // The printable area (30, 40)-(770, 1050) is (15, 20)-(385, 525) in the box.
    EXPECT_EQ(Colours(box, 15, 20, 15, 524), Dotted);
    EXPECT_EQ(Colours(box, 384, 20, 384, 524), Dotted);
    EXPECT_EQ(Colours(box, 15, 20, 384, 20), Dotted);
    EXPECT_EQ(Colours(box, 15, 524, 384, 524), Dotted);
    EXPECT_EQ(PixelAt(box, 14, 300), clWhite);
    EXPECT_EQ(PixelAt(box, 310, 525), clWhite);
    // The body starts right of the punch margin: sheet x 74 is box x 37.
    EXPECT_EQ(Colours(box, 37, 21, 37, 219), Dotted);
    EXPECT_EQ(Colours(box, 36, 21, 36, 49), White);
    // A line at every inch (50 box pixels) across the whole box.
    for (int x = 50; x < 400; x += 50) {
        EXPECT_EQ(Colours(box, x, 0, x, 19), Dotted) << x;
        EXPECT_EQ(Colours(box, x + 1, 0, x + 1, 19), White) << x;
    }
    for (int y = 50; y < 550; y += 50)
        EXPECT_EQ(Colours(box, 0, y, 14, y), Dotted) << y;
    // Holes of 3 mm radius 10.5 mm from the left edge, 39.5 mm above and below the
    // middle of the 275 mm: (15, 190)-(27, 202) and (15, 348)-(27, 360).
    for (const int centre : { 196, 354 }) {
        EXPECT_EQ(Colours(box, 21, centre - 6, 21, centre + 5), std::set<TColor> { Grey }) << centre;
        EXPECT_EQ(PixelAt(box, 21, centre - 8), clWhite) << centre;
        EXPECT_EQ(PixelAt(box, 21, centre + 8), clWhite) << centre;
        EXPECT_EQ(PixelAt(box, 29, centre), clWhite) << centre;
    }
    // The page's rectangle at half size.
    EXPECT_EQ(DarkBounds(box, box.rect()), QRect(QPoint(37, 220), QPoint(86, 249)));
}

TEST_F(DisplayPageTest, NoHolesWithoutPunchMarginAndNothingOutsideThePrintableArea)
{
    job.NewJob();
    job.NewPage();
    FillBlack(Rect(-100, -100, 2000, 2000));
    job.NewPage();
    job.GetFont()->SetSize(40);
    job.TextOut(10, 10, 0, QStringLiteral("HHHH")); // black, whatever the box was drawn with before
    EXPECT_EQ(PixelAt(Show(1), 200, 200), clRed); // still recording: nothing to show
    job.DonePrinting();
    EXPECT_EQ(PixelAt(Show(3), 200, 200), clRed);
    const QImage second = Show(2);
    EXPECT_EQ(PixelAt(second, 21, 196), clWhite);
    const QRect text = DarkBounds(second, QRect(0, 0, 200, 100)); // from sheet (40, 50)
    EXPECT_NEAR(text.left(), 22, 2);
    EXPECT_NEAR(text.top(), 29, 3);
    const QImage box = Show(1);
    EXPECT_EQ(DarkBounds(box, box.rect()), QRect(QPoint(15, 20), QPoint(384, 524)));
}
