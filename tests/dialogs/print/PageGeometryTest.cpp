#include "dialogs/print/PageGeometry.h"

#include "dialogs/print/PrintJob.h"
#include "tests/dialogs/print/PrintTestSupport.h"

#include <gtest/gtest.h>

using namespace printtest;
using testsupport::PixelAt;

TEST(PageGeometry, PunchMarginAndHeaderLinesShapeTheBody)
{
    TPageGeometry g;
    g.SetCaps(FakeCaps);
    EXPECT_EQ(g.PrintableSize(true, true), QSize(740, 1010));
    g.SetLochrand(true);
    EXPECT_EQ(g.PunchMargin(), 44); // 12 mm of 740 pixels over 200 mm: 44.4
    g.GrowHeaderSize(1, 16);
    g.GrowHeaderSize(2, 30);
    g.GrowHeaderSize(1, 10); // a lower height leaves the line as it was
    g.GrowHeaderSize(-1, 12);
    g.GrowHeaderSize(-2, 14);
    g.GrowHeaderSize(11, 99); // no such line
    EXPECT_EQ(g.HeaderSize(), 46);
    EXPECT_EQ(g.FooterSize(), 26);
    EXPECT_EQ(g.PrintableSize(false, false), QSize(740, 1010));
    EXPECT_EQ(g.PrintableSize(false, true), QSize(696, 1010));
    EXPECT_EQ(g.PrintableSize(true, true), QSize(696, 938));
    EXPECT_EQ(g.PrintableOffset(), QPoint(44, 46));
    // Line 1 right above the body, line 2 above it; line -1 right below it, -2 below that.
    EXPECT_EQ(g.LineTop(1), -16);
    EXPECT_EQ(g.LineTop(2), -46);
    EXPECT_EQ(g.LineTop(-1), 938);
    EXPECT_EQ(g.LineTop(-2), 950);
}

TEST(PageGeometry, PaintBoxTakesTheSheetsProportionsCentred)
{
    // The 800 x 1100 sheet in a wide room: full height, 800/1100 of 351 = 255.3 wide.
    EXPECT_EQ(PositionPaintBox(FakeCaps, QSize(350, 351)), Bounds(47, 0, 255, 351));
    // In a tall room: full width, 1100/800 of 400 = 550 high.
    EXPECT_EQ(PositionPaintBox(FakeCaps, QSize(400, 1000)), Bounds(0, 225, 400, 550));
    EXPECT_TRUE(PositionPaintBox(FakeCaps, QSize(0, 550)).IsEmpty());
    EXPECT_TRUE(PositionPaintBox(TDeviceCaps {}, QSize(400, 550)).IsEmpty());
}

class PrintJobTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PinPageFont();
        job.NewJob();
    }
    void FillBlack()
    {
        job.GetBrush()->setStyle(Qt::SolidPattern);
        job.GetBrush()->setColor(Qt::black);
    }
    TFakePrinter printer;
    TPrintJob job { printer };
};

TEST_F(PrintJobTest, BadHeaderLinesAndDrawingWithoutAPage)
{
    // Without a page: drawing is ignored, measures are -1, headers cannot be measured.
    EXPECT_EQ(job.TextWidth(QStringLiteral("abc")), -1);
    EXPECT_EQ(job.TextHeight(), -1);
    job.TextOut(0, 0, 0, QStringLiteral("nothing"));
    EXPECT_THROW(job.AddHeader(QStringLiteral("x"), 1, 0), EPrintHeaderError);

    job.NewPage();
    try {
        job.AddHeader(QStringLiteral("x"), 0, 0);
        FAIL() << "line 0 accepted";
    } catch (const EPrintHeaderError &e) {
        EXPECT_STREQ(e.what(), "line muss grösser oder kleiner 0 sein");
    }
    EXPECT_THROW(job.AddHeader(QStringLiteral("x"), 11, 0), EPrintHeaderError);
    EXPECT_THROW(job.AddHeader(QStringLiteral("x"), -11, 0), EPrintHeaderError);
    EXPECT_TRUE(job.Headers().empty());
    job.AddHeader(QStringLiteral("x"), -10, 0);
    EXPECT_EQ(job.FooterSize(), job.TextHeight());

    // Once recording is finished nothing more is drawn or measured.
    EXPECT_EQ(job.GetMetafile(1), nullptr);
    job.DonePrinting();
    EXPECT_NE(job.GetMetafile(1), nullptr);
    EXPECT_EQ(job.GetCanvas(1), nullptr);
    EXPECT_EQ(job.NewPage(), -1);
    EXPECT_EQ(job.TextWidth(QStringLiteral("abc")), -1);
    TRect r = Rect(0, 0, 10, 10);
    EXPECT_EQ(job.DrawText(r, QStringLiteral("x"), 0), 0);
}

TEST_F(PrintJobTest, FontsAreSizedForThePrinterAndALineKeepsItsLargestText)
{
    job.NewPage();
    EXPECT_EQ(job.GetFont()->Height(), 14); // 10 pt at 100 pixels per inch: 13.9
    EXPECT_EQ(job.TextHeight(), LineHeight(14));
    job.AddHeader(QStringLiteral("small"), 1, 0);
    job.GetFont()->SetSize(20); // 27.8 pixels
    job.AddHeader(QStringLiteral("large"), 1, 0);
    job.GetFont()->SetSize(10);
    job.AddHeader(QStringLiteral("small again"), 1, 0);
    EXPECT_EQ(job.HeaderSize(), LineHeight(28));
    job.NewPage();
    EXPECT_EQ(*job.GetFont(), TPageFont(100)); // every page starts with the default font
}

TEST_F(PrintJobTest, DrawingLandsInBodyCoordinatesOnThePrintedPage)
{
    job.SetLochrand(true); // 44 pixels
    job.NewPage();
    job.AddHeader(QStringLiteral("head"), 1, 0);
    FillBlack();
    job.Rectangle(Rect(10, 20, 30, 25));
    job.GetPen()->setColor(Qt::red);
    job.Line({ 0, 40 }, { 20, 40 });
    // A page taken up again keeps what it had.
    job.NewPage();
    job.SetCurrentPage(1);
    job.GetBrush()->setColor(Qt::blue);
    job.Rectangle(Rect(40, 20, 50, 25));
    ASSERT_TRUE(job.PrintPage(1));

    const QImage &page = printer.Pages.at(0);
    const int x = 44, y = LineHeight(14); // the body's corner
    EXPECT_EQ(PixelAt(page, x + 10, y + 20), clBlack);
    EXPECT_EQ(PixelAt(page, x + 29, y + 24), clBlack);
    EXPECT_EQ(PixelAt(page, x + 30, y + 24), clWhite); // right and bottom edges exclusive
    EXPECT_EQ(PixelAt(page, x + 29, y + 25), clWhite);
    EXPECT_EQ(PixelAt(page, x + 45, y + 22), clBlue);
    EXPECT_EQ(PixelAt(page, x, y + 40), clRed); // a line stops short of its end
    EXPECT_EQ(PixelAt(page, x + 19, y + 40), clRed);
    EXPECT_EQ(PixelAt(page, x + 20, y + 40), clWhite);
}
