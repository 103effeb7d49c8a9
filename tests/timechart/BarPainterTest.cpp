#include "tests/timechart/ChartPaintFixture.h"

#include <QPicture>

using testsupport::PixelAt;
using testsupport::Unpainted;

namespace {

constexpr TColor Grey = 0x808080; // value 0.5: white texts

class BarPainterTest : public charttest::ChartPaintTest {
protected:
    void SetUp() override
    {
        ChartPaintTest::SetUp();
        SetPositions({ charttest::PositionItem("A"), charttest::PositionItem("B") });
        SetColors({ Grey, 0x3080F0, 0xFFFFFF });
    }

    // A two-day task on A from Tuesday 2 January: (10, 4, 30, 38) at 10 pixels per
    // day and rows of 42, 80 % of the row high.
    TNodeData *TaskA(int color = 0) { return Row(tbTable, "A", Jan1 + 1, 2, color); }
    QImage Chart() { return Paint(280, 90, Jan1); }
};

} // namespace

TEST_F(BarPainterTest, ABarFillsFourFifthsOfItsRowInsideABlackOutline)
{
    TaskA(1);
    const QImage image = Keep(Chart(), "bar");
    ExpectPixels(image, 0x3080F0, { { 11, 5 }, { 20, 20 }, { 28, 36 } });
    ExpectPixels(image, clBlack, { { 10, 4 }, { 29, 4 }, { 10, 37 }, { 29, 37 }, { 20, 4 }, { 20, 37 } });
    ExpectPixels(image, clWhite, { { 21, 3 }, { 21, 38 }, { 31, 20 } }); // 20 is a day line
}

TEST_F(BarPainterTest, AnAbsentDayCoversItsPositionsRowsOnePixelWiderWithADarkerPen)
{
    TDocumentSetup setup = doc.Setup();
    setup.FHolidayColors = { 0x0080FF, 0x00FF00, 0xFF0000 };
    doc.SetSetup(setup);
    Row(tbExclude, "B", Jan1 + 1, 1, 0);
    const QImage image = Keep(Chart(), "absent");
    // 0x0080FF a quarter darker: each channel times 0.75 -> 0x0060BF.
    ExpectPixels(image, 0x0060BF, { { 10, 42 }, { 20, 42 }, { 20, 83 }, { 15, 42 }, { 15, 83 } });
    ExpectPixels(image, 0x0080FF, { { 11, 43 }, { 19, 82 }, { 15, 60 } });
    ExpectPixels(image, clWhite, { { 22, 60 } });
}

TEST_F(BarPainterTest, WhileTasksOverlapAllBarsAreGreyAndTheOverlappingOnesRed)
{
    TNodeData *a = TaskA(1);
    TNodeData *b = Row(tbTable, "B", Jan1 + 1, 2, 1);
    doc.SetOverlappingNodes({ a });
    QImage image = Keep(Chart(), "overlap");
    EXPECT_PIXEL(image, 20, 20, OverlapColor);
    EXPECT_PIXEL(image, 20, 62, NotOverlappingColor);

    // The pass found none again and marked the bars: back to their colour.
    doc.SetOverlappingNodes({});
    a->RecalcBitmap = b->RecalcBitmap = true;
    image = Keep(Chart(), "no_overlap");
    EXPECT_PIXEL(image, 20, 20, 0x3080F0);
    EXPECT_PIXEL(image, 20, 62, 0x3080F0);
}

TEST_F(BarPainterTest, FilteredBarsAreBlendedByTheTransparency)
{
    doc.SetNodeFiltered(TaskA(1), true);
    // Alpha (100 - 50) * 256 / 100 = 128 over white: (128 c + 128 * 255) / 256,
    // rounded down: 0xF0 -> 247, 0x80 -> 191, 0x30 -> 151.
    EXPECT_PIXEL(Keep(Chart(), "half"), 15, 20, 0x97BFF7);
    geometry.Transparency = 100; // alpha 0: not to be seen
    EXPECT_PIXEL(Keep(Chart(), "invisible"), 15, 20, clWhite);

    // A selected filtered bar is drawn by all three walks, blended each time:
    // 0xF0 -> 247, 243, 241; 0x80 -> 191, 159, 143; 0x30 -> 151, 99, 73.
    geometry.Transparency = 50;
    Select(doc.GetTable(tbTable).First());
    EXPECT_PIXEL(Keep(Chart(), "selected"), 15, 10, 0x498FF1);
}

TEST_F(BarPainterTest, ASelectedBarHasAnInnerShadowAlongItsBottomAndRightEdges)
{
    Select(TaskA(0));
    const QImage image = Keep(Chart(), "shadow");
    // Bar (10, 4) of 20 x 34. (5, 20) in the bar lies in no band.
    EXPECT_PIXEL(image, 15, 24, Grey);
    // (9, 30) lies in the bottom band's first two rectangles (alphas 5 and 10):
    // 128 * 251 / 256 = 125, 125 * 246 / 256 = 120.
    EXPECT_PIXEL(image, 19, 34, 0x787878);
    // (15, 31): bottom band 5, 10, 20 and right band 5, 10, 20, 35, 50, in the order
    // drawn: 125, 122, 117, 112, 103, 94, 81, 65.
    EXPECT_PIXEL(image, 25, 35, 0x414141);
    // Another table's selection is not shaded.
    doc.SetActiveTable(tbExclude);
    doc.GetTable(tbTable).First()->RecalcBitmap = true;
    EXPECT_PIXEL(Keep(Chart(), "inactive"), 25, 35, Grey);
}

TEST_F(BarPainterTest, TheSelectionFlashFadesTowardsTheContrastColour)
{
    TNodeData *a = TaskA(0);
    Select(a);
    bars.SetFlashStep(1); // 50 %: 128 + round(127 * 0.5) = 192
    EXPECT_PIXEL(Keep(Chart(), "step1"), 15, 10, 0xC0C0C0);
    // The kept image knows the step it shows: the next step is drawn anew
    // without the bar being marked (the flash marks none).
    bars.SetFlashStep(4); // 100 %
    EXPECT_PIXEL(Keep(Chart(), "step4"), 15, 10, clWhite);
    // Once the selection goes, the plain bar comes back.
    doc.GetTable(tbTable).SetSelected(a, false);
    EXPECT_PIXEL(Keep(Chart(), "unselected"), 15, 10, Grey);
    EXPECT_EQ(TBarPainter::HighlightPercent(2), 55);
    EXPECT_EQ(TBarPainter::HighlightPercent(6), 50);
}

TEST_F(BarPainterTest, ABarIsRenderedOnceAndCopiedUntilItsSizeOrDataChange)
{
    TNodeData *a = TaskA(1);
    Row(tbTable, "B", Jan1 + 3, 1, 2);
    Chart();
    EXPECT_EQ(bars.redrawcount, 2);
    bars.redrawcount = 0;
    Paint(280, 90, Jan1 - 1); // moved by a day: copied
    EXPECT_EQ(bars.redrawcount, 0);
    EXPECT_EQ(bars.Cache().Count(), 2u);

    doc.SetData_(a, cnLength, QStringLiteral("3")); // one day longer
    Chart();
    EXPECT_EQ(bars.redrawcount, 1);
    EXPECT_EQ(bars.Cache().Bytes(), (30u * 34 + 10u * 34) * 4);
    a->RecalcBitmap = true;
    Chart();
    EXPECT_EQ(bars.redrawcount, 2);

    // Printing draws directly and keeps nothing.
    bars.redrawcount = 0;
    Paint(280, 90, Jan1, TCanvasKind::Other);
    EXPECT_EQ(bars.redrawcount, 0);
}

TEST_F(BarPainterTest, ABarLargerThanTheCacheTakesIsDrawnDirectly)
{
    Row(tbTable, "A", Jan1, 400, 1); // over 4096 pixels long
    QImage image = Keep(Chart(), "long");
    EXPECT_PIXEL(image, 100, 20, 0x3080F0);
    EXPECT_PIXEL(image, 0, 20, clBlack);
    EXPECT_EQ(bars.Cache().Count(), 0u);
    EXPECT_EQ(bars.redrawcount, 0);
}

TEST_F(BarPainterTest, TextsStayInsideTheirBar)
{
    const std::array<TConnection, 9> roles
        = { cnTextLeftTop, cnTextcenterTop, cnTextRightTop, cnTextLeftMiddle, cnTextCenterMiddle,
              cnTextRightMiddle, cnTextLeftBottom, cnTextCenterBottom, cnTextRightBottom };
    TaskA(1);
    const QImage plain = Chart();
    const int first = doc.GetTableColCount(tbTable);
    doc.ResizeTable(tbTable, first + 8);
    int column = first;
    for (TConnection role : roles)
        if (role != cnTextCenterMiddle)
            doc.SetConnection(tbTable, role, column++);
    TNodeData *a = doc.GetTable(tbTable).First();
    for (TConnection role : roles)
        doc.SetData_(a, role, QStringLiteral("Wide text %1").arg(int(role)));
    a->RecalcBitmap = true;
    const QImage texts = Keep(Chart(), "texts");
    int inside = 0;
    for (int y = 0; y < 90; ++y)
        for (int x = 0; x < 280; ++x) {
            const bool inBar = x >= 10 && x < 30 && y >= 4 && y < 38;
            if (inBar)
                inside += PixelAt(texts, x, y) != PixelAt(plain, x, y);
            else
                ASSERT_EQ(PixelAt(texts, x, y), PixelAt(plain, x, y)) << x << ", " << y;
        }
    EXPECT_GT(inside, 20);
}

TEST_F(BarPainterTest, TheEditorsSampleShowsTheBoundColumnsCaptionsOnAGreenField)
{
    QImage image = testsupport::MakeCanvas(200, 60, Unpainted);
    QPainter p(&image);
    p.setClipRect(QRect(0, 0, 200, 60));
    bars.DrawItem(TChartCanvas(p, TCanvasKind::Other), false, tbTable, nullptr, 0, 0, 0, 42, 200,
        rsTopMiddleBottom, 0, 0, geometry.TimeChartFontName(), 8, true);
    p.end();
    Keep(image, "sample");
    // A band of 42 from (60 - 42) / 2 = 9: white inside a black frame.
    ExpectPixels(image, SampleBackColor, { { 100, 8 }, { 100, 51 } });
    ExpectPixels(image, clBlack, { { 0, 9 }, { 199, 50 } });
    EXPECT_PIXEL(image, 5, 12, clWhite);
    int dark = 0; // the caption "Comment" in black, centred
    for (int x = 60; x < 140; ++x)
        for (int y = 20; y < 40; ++y)
            dark += GetRValue(PixelAt(image, x, y)) < 100;
    EXPECT_GT(dark, 10);
}
