#include "dialogs/print/PageGeometry.h"

#include "dialogs/print/PrintJob.h"
#include "dialogs/print/PrintTestSupport.h"
#include "platform/gui/Fonts.h"

#include <gtest/gtest.h>

using namespace printtest;

TEST(PageGeometry, PunchMarginAndHeaderLinesShapeTheBody)
{
    TPageGeometry g;
    g.SetCaps(FakeCaps());
    EXPECT_EQ(g.PunchMargin(), 0);
    EXPECT_EQ(g.PrintableSize(true, true), QSize(740, 1010));

    // 12 mm of a 740-pixel, 200-mm wide printable area: 44.4 pixels.
    g.SetLochrand(true);
    EXPECT_EQ(g.PunchMargin(), 44);
    g.GrowHeaderSize(1, 16);
    g.GrowHeaderSize(2, 30);
    g.GrowHeaderSize(1, 10); // a lower line leaves the size as it was
    g.GrowHeaderSize(-1, 12);
    g.GrowHeaderSize(-2, 14);
    g.GrowHeaderSize(0, 99); // no such line
    g.GrowHeaderSize(11, 99); // no such line
    EXPECT_EQ(g.HeaderSize(), 46);
    EXPECT_EQ(g.FooterSize(), 26);
    EXPECT_EQ(g.PrintableSize(false, false), QSize(740, 1010));
    EXPECT_EQ(g.PrintableSize(false, true), QSize(696, 1010));
    EXPECT_EQ(g.PrintableSize(true, false), QSize(740, 938));
    EXPECT_EQ(g.PrintableSize(true, true), QSize(696, 938));
    EXPECT_EQ(g.PrintableOffset(), QPoint(44, 46));

    // Line 1 sits right above the body, line 2 above it; line -1 right below it.
    EXPECT_EQ(g.LineTop(1), -16);
    EXPECT_EQ(g.LineTop(2), -46);
    EXPECT_EQ(g.LineTop(3), -46);
    EXPECT_EQ(g.LineTop(-1), 938);
    EXPECT_EQ(g.LineTop(-2), 950);
    EXPECT_EQ(g.LineTop(-3), 964);
}

TEST(PageGeometry, PaintBoxTakesTheSheetsProportionsCentred)
{
    const TDeviceCaps caps = FakeCaps(); // 800 x 1100
    // Wider than the sheet: full height, width 800/1100 of 351 = 255.3.
    EXPECT_EQ(PositionPaintBox(caps, QSize(350, 351)), Bounds(47, 0, 255, 351));
    // Narrower: full width, height 1100/800 of 400 = 550.
    EXPECT_EQ(PositionPaintBox(caps, QSize(400, 1000)), Bounds(0, 225, 400, 550));
    EXPECT_EQ(PositionPaintBox(caps, QSize(400, 550)), Bounds(0, 0, 400, 550));
    EXPECT_TRUE(PositionPaintBox(caps, QSize(0, 550)).IsEmpty());
    EXPECT_TRUE(PositionPaintBox(TDeviceCaps {}, QSize(400, 550)).IsEmpty());
}

class PrintJobTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PinPageFont();
        job.NewJob();
    }
    TFakePrinter printer;
    TPrintJob job { printer };
};

TEST_F(PrintJobTest, HeaderLinesOutsideOneToTenAreRefused)
{
    job.NewPage();
    try {
        job.AddHeader(QStringLiteral("x"), 0, 0);
        FAIL() << "line 0 accepted";
    } catch (const EPrintHeaderError &e) {
        EXPECT_STREQ(e.what(), "line muss grösser oder kleiner 0 sein");
    }
    EXPECT_THROW(job.AddHeader(QStringLiteral("x"), 11, 0), EPrintHeaderError);
    EXPECT_THROW(job.AddHeader(QStringLiteral("x"), -11, 0), EPrintHeaderError);
    EXPECT_EQ(job.HeaderSize() + job.FooterSize(), 0);
    job.AddHeader(QStringLiteral("x"), 10, 0);
    job.AddHeader(QStringLiteral("x"), -10, 0);
    EXPECT_EQ(job.Geometry().HeaderSizeOf(10), job.TextHeight());
    EXPECT_EQ(job.Geometry().HeaderSizeOf(-10), job.TextHeight());
}

TEST_F(PrintJobTest, WithoutAPageNothingIsDrawnAndMeasuresAreMinusOne)
{
    EXPECT_EQ(job.TextWidth(QStringLiteral("abc")), -1);
    EXPECT_EQ(job.TextHeight(), -1);
    EXPECT_EQ(job.GetFont(), nullptr);
    job.Line({ 0, 0 }, { 10, 10 });
    job.TextOut(0, 0, 0, QStringLiteral("nothing"));
    EXPECT_THROW(job.AddHeader(QStringLiteral("x"), 1, 0), EPrintHeaderError);

    EXPECT_EQ(job.NewPage(), 1);
    EXPECT_GT(job.TextWidth(QStringLiteral("abc")), 0);
    EXPECT_EQ(job.GetMetafile(1), nullptr); // still recording
    job.DonePrinting();
    EXPECT_NE(job.GetMetafile(1), nullptr);
    EXPECT_EQ(job.GetCanvas(1), nullptr);
    EXPECT_EQ(job.NewPage(), -1);
    EXPECT_EQ(job.TextWidth(QStringLiteral("abc")), -1);
    EXPECT_EQ(job.TextHeight(), -1);
    TRect r = Rect(0, 0, 10, 10);
    EXPECT_EQ(job.DrawText(r, QStringLiteral("x"), 0), 0);

    // A new job records again.
    job.NewJob();
    EXPECT_EQ(job.GetPageCount(), 0);
    EXPECT_EQ(job.NewPage(), 1);
}

TEST_F(PrintJobTest, PageFontIsSizedForThePrinterAndLinesKeepTheLargestHeight)
{
    job.NewPage();
    // 10 pt at 100 pixels per inch: 13.9 pixels.
    EXPECT_EQ(job.GetFont()->Height(), 14);
    EXPECT_EQ(job.TextHeight(), LineHeight(14));
    job.AddHeader(QStringLiteral("small"), 1, 0);
    job.GetFont()->SetSize(20); // 27.8 pixels
    job.AddHeader(QStringLiteral("large"), 1, 0);
    job.GetFont()->SetSize(10);
    job.AddHeader(QStringLiteral("small again"), 1, 0);
    EXPECT_EQ(job.HeaderSize(), LineHeight(28));
    EXPECT_EQ(job.PrintableOffset(), QPoint(0, LineHeight(28)));

    // Each page starts with the default font, whatever the previous one was set to.
    job.NewPage();
    EXPECT_EQ(*job.GetFont(), TPageFont(100));
}

TEST_F(PrintJobTest, DrawingLandsInBodyCoordinatesOnThePage)
{
    job.SetLochrand(true); // 44 pixels
    job.NewPage();
    job.AddHeader(QStringLiteral("head"), 1, 0);
    const int head = LineHeight(14);
    job.GetBrush()->setStyle(Qt::SolidPattern);
    job.GetBrush()->setColor(Qt::black);
    job.Rectangle(Rect(10, 20, 30, 25));
    job.GetPen()->setColor(Qt::red);
    job.Line({ 0, 40 }, { 20, 40 });
    ASSERT_TRUE(job.PrintAll());

    ASSERT_EQ(printer.Pages.size(), 1u);
    const QImage &page = printer.Pages[0];
    const int x = 44, y = head; // the body's corner on the page
    EXPECT_EQ(testsupport::PixelAt(page, x + 10, y + 20), clBlack);
    EXPECT_EQ(testsupport::PixelAt(page, x + 29, y + 24), clBlack);
    EXPECT_EQ(testsupport::PixelAt(page, x + 30, y + 24), clWhite); // right edge exclusive
    EXPECT_EQ(testsupport::PixelAt(page, x + 29, y + 25), clWhite); // bottom edge exclusive
    EXPECT_EQ(testsupport::PixelAt(page, x + 9, y + 20), clWhite);
    // A line stops short of its end point.
    EXPECT_EQ(testsupport::PixelAt(page, x, y + 40), clRed);
    EXPECT_EQ(testsupport::PixelAt(page, x + 19, y + 40), clRed);
    EXPECT_EQ(testsupport::PixelAt(page, x + 20, y + 40), clWhite);
}

TEST_F(PrintJobTest, PageTakenUpAgainKeepsWhatWasDrawnBefore)
{
    job.NewPage();
    job.GetBrush()->setStyle(Qt::SolidPattern);
    job.GetBrush()->setColor(Qt::black);
    job.Rectangle(Rect(0, 0, 10, 10));
    job.NewPage();
    job.SetCurrentPage(1);
    job.GetBrush()->setColor(Qt::blue);
    job.Rectangle(Rect(20, 0, 30, 10));
    job.DonePrinting();
    EXPECT_EQ(job.GetMetafile(1)->PictureCount(), 2);
    ASSERT_TRUE(job.PrintPage(1));
    EXPECT_EQ(testsupport::PixelAt(printer.Pages[0], 5, 5), clBlack);
    EXPECT_EQ(testsupport::PixelAt(printer.Pages[0], 25, 5), clBlue);
}
