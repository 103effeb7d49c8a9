#include "timechart/CaptionPainter.h"

#include "platform/gui/Fonts.h"
#include "tests/timechart/ChartPaintFixture.h"

using testsupport::PixelAt;
using testsupport::Unpainted;

namespace {

class CaptionPainterTest : public charttest::ChartPaintTest {
protected:
    const TDateTime Jan29 = EncodeDate(2024, 1, 29); // Monday, week 5

    // The three rows for five weeks from 29 January on 350 pixels, rows of 40 / 3 = 13.
    QImage Header(TCaptionLabel third)
    {
        QImage image = testsupport::MakeCanvas(350, 40, Unpainted);
        QPainter p(&image);
        DrawTimeChartCaptions(TChartCanvas(p, TCanvasKind::TimeChartCaption), geometry, Jan29, Jan29 + 35,
            350, 0, 0, 0, 0, true, third);
        return image;
    }
};

} // namespace

TEST_F(CaptionPainterTest, ThreeBandsWithSeparatorsAtEachCellsStart)
{
    const QImage image = Keep(Header(clWeek), "header");
    // Months: 1 February at 30, 1 March at 320; lines from 2 below the band's top to
    // 3 above its bottom, a white line along the bottom.
    ExpectPixels(image, CaptionLineColor, { { 30, 2 }, { 30, 9 }, { 320, 2 } });
    ExpectPixels(image, CaptionBackColor, { { 30, 1 }, { 30, 10 }, { 31, 11 } });
    EXPECT_PIXEL(image, 30, 12, clWhite);
    // Weeks: the band is the line colour; white along its bottom.
    ExpectPixels(image, CaptionWeekBackColor, { { 70, 15 }, { 71, 22 } });
    EXPECT_PIXEL(image, 71, 25, clWhite);
    // Third row in weeks: a line each Monday (0, 70, 140, ...).
    ExpectPixels(image, CaptionLineColor, { { 70, 28 }, { 140, 35 } });
    ExpectPixels(image, CaptionBackColor, { { 70, 27 }, { 70, 36 }, { 69, 30 } });
    EXPECT_PIXEL(image, 69, 38, clWhite);
    EXPECT_PIXEL(image, 69, 39, Unpainted);
}

TEST_F(CaptionPainterTest, CellTextsAreDrawnWhereTheLayoutPutsThem)
{
    const QImage image = Keep(Header(clDay), "days");
    const QFont font = MakeFont(geometry.TimeChartFontName(), 8, 96);
    const QFontMetrics metrics(font);
    const auto width = [&](const QString &text) { return metrics.horizontalAdvance(text); };
    const std::pair<int, std::vector<TCaptionCell>> rows[] = {
        { 0, LayoutCaptionRow(Jan29, Jan29 + 35, 350, 0, 13, { "%mmm", "%yy" }, clMonth, 1, width) },
        { 2, LayoutCaptionRow(Jan29, Jan29 + 35, 350, 26, 39, { "%d+" }, clDay, 1, width) },
    };
    for (const auto &[row, cells] : rows) {
        int texts = 0;
        for (int x = 0; x < 350; ++x)
            for (int y = row * 13 + 1; y < row * 13 + 11; ++y) {
                const TColor c = PixelAt(image, x, y); // white text, smoothed on the band
                if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 600)
                    continue;
                ++texts;
                const bool placed = std::any_of(cells.begin(), cells.end(), [&](const TCaptionCell &cell) {
                    return (x >= cell.TextRect.Left && x < cell.TextRect.Right)
                        || (x >= cell.DayNameRect.Left && x < cell.DayNameRect.Right);
                });
                ASSERT_TRUE(placed) << "text at " << x << ", " << y;
            }
        EXPECT_GT(texts, 20) << "row " << row;
    }
}

TEST_F(CaptionPainterTest, TheOverviewsRowAndAnEmptyView)
{
    QImage image = testsupport::MakeCanvas(350, 14, Unpainted);
    {
        QPainter p(&image);
        DrawSmallTimeChartCaption(
            TChartCanvas(p, TCanvasKind::SmallTimeChartCaption), geometry, Jan29, Jan29 + 35, 350);
    }
    Keep(image, "overview");
    ExpectPixels(image, SmallCaptionLineColor, { { 30, 2 }, { 30, 10 } });
    ExpectPixels(image, SmallCaptionBackColor, { { 30, 1 }, { 30, 11 }, { 31, 5 } });

    QImage empty = testsupport::MakeCanvas(350, 40, Unpainted);
    {
        QPainter p(&empty);
        DrawTimeChartCaptions(TChartCanvas(p, TCanvasKind::TimeChartCaption), geometry, Jan29, Jan29, 350, 0,
            0, 0, 0, true, clDay);
    }
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 350; ++x)
            ASSERT_EQ(PixelAt(empty, x, y), Unpainted);
}
