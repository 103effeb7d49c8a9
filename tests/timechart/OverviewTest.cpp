// The overview: the slider over the part the chart shows, scrolling by clicking
// beside it and dragging it, its tint and frame, bars that show their fill at the
// smallest rows, and a drawing that a scroll does not make again.
#include "bench/generator/DocumentGenerator.h"
#include "resources/Cursors.h"
#include "tests/timechart/ChartPixelTest.h"
#include "tests/timechart/ChartTestSupport.h"
#include "timechart/BarPainter.h"
#include "timechart/ScrollBarBox.h"

#include <QTest>
#include <cmath>

using charttest::Day;
using charttest::PositionItem;
using testsupport::PixelAt;

namespace {

constexpr TColor SliderTint = 0x978762;
constexpr TColor SliderFrame = 0x706449;

class OverviewTest : public testsupport::ChartPixelTest, protected charttest::ChartFixture {
protected:
    TCanvasPanel &Small() { return chart->SmallTimeChart(); }
    void Send(QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons)
    {
        QMouseEvent event(type, pos, Small().mapToGlobal(pos), button, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(&Small(), &event);
    }
};

} // namespace

// The slider covers the part of range and rows the chart shows, all of it when
// everything fits.
TEST_F(OverviewTest, TheSliderMarksWhatTheChartShows)
{
    ShowPlan(30);
    // 440 x 60 pixels for 126 days and 30 rows; the chart shows 50 days and 300 / 42 rows.
    ASSERT_EQ(std::tuple(Small().width(), Small().height()), std::tuple(440, 60));
    EXPECT_EQ(chart->SliderRect(), Rect(0, 0, 175, 15)); // Ceil(50 * 440 / 126), Ceil(60 * 7.14 / 30)
    chart->SetTimeChartDestination(Day(2024, 3, 1), 420, true);
    EXPECT_EQ(chart->SliderRect(), Rect(49, 20, 224, 35)); // Round(14 * 440 / 126), Round(420 / 21)
    chart->SetZoom(25); // 200 days of 2 pixels, rows of 9
    EXPECT_EQ(chart->SliderRect(), Rect(0, 0, 440, 60));
}

// A click beside the slider centres it on the click, animated; a drag of the
// slider moves it with the pointer, under the closed hand.
TEST_F(OverviewTest, ClickingAndDraggingScrollTheChart)
{
    ShowPlan(30);
    const int w = Small().width(), h = Small().height();
    const TRect slider = chart->SliderRect();
    const QPoint click(slider.Right + 100, 40);
    Send(QEvent::MouseButtonPress, click, Qt::LeftButton, Qt::LeftButton);
    EXPECT_TRUE(chart->SliderTimer().isActive());
    const TDateTime first = Day(2024, 2, 16);
    EXPECT_DOUBLE_EQ(
        chart->GetTimeChartStartDestination(), first + 126.0 * (click.x() - slider.Width() / 2) / w);
    EXPECT_EQ(chart->GetTimeChartTopDestination(), 42 * 30 * (40 - slider.Height() / 2) / h);
    Send(QEvent::MouseButtonRelease, click, Qt::LeftButton, Qt::NoButton);
    Settle();
    EXPECT_EQ(chart->TimeChartStart(), std::nearbyint(first + 126.0 * (click.x() - slider.Width() / 2) / w));
    const TRect centred = chart->SliderRect();
    EXPECT_LE(std::abs((centred.Left + centred.Right) / 2 - click.x()), 2);

    // Grab the slider and drag it to the left end.
    const QPoint grip((centred.Left + centred.Right) / 2, (centred.Top + centred.Bottom) / 2);
    Send(QEvent::MouseMove, grip, Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(Small().cursor().shape(), Qt::BitmapCursor); // the open hand
    Send(QEvent::MouseButtonPress, grip, Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(TScreenCursor::Current(), crHandClosed);
    Send(QEvent::MouseMove, QPoint(0, grip.y()), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(chart->GetTimeChartStartDestination(), first); // held at the range's start
    Send(QEvent::MouseButtonRelease, QPoint(0, grip.y()), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(TScreenCursor::Current(), crDefault);
    Settle();
    EXPECT_EQ(chart->SliderRect().Left, 0);
    Send(QEvent::MouseMove, QPoint(w - 1, 1), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(Small().cursor().shape(), Qt::ArrowCursor);
}

// The slider tints what it covers and is framed; outside it the overview shows
// its rows as they are. A scroll paints the overview again without drawing a bar.
TEST_F(OverviewTest, TheSliderIsTintedAndFramedOverAKeptDrawing)
{
    ShowPlan(30);
    const QImage image = Keep(testsupport::RenderWidget(Small()), "overview");
    const TRect slider = chart->SliderRect();
    EXPECT_PIXEL(image, slider.Left + 5, slider.Top + 5, testsupport::Blend(SliderTint, clWhite, 100));
    EXPECT_PIXEL(image, slider.Left, slider.Top + 5, SliderFrame);
    EXPECT_PIXEL(image, slider.Right - 1, slider.Top + 5, SliderFrame);
    EXPECT_PIXEL(image, slider.Left + 5, slider.Bottom - 1, SliderFrame);
    EXPECT_PIXEL(image, slider.Right + 5, slider.Top + 5, clWhite);
    // The first task (1 March, row 1): two pixels of its fill, tinted.
    const int x = int((Day(2024, 3, 1) - Day(2024, 2, 16)) * Small().width() / 126.0) + 1;
    EXPECT_PIXEL(image, x, 1, testsupport::Blend(SliderTint, ChartCellColor, 100));

    chart->InvalidateTimeChart(false);
    QCoreApplication::processEvents();
    EXPECT_GT(chart->BarPainter().smallredrawcount, 0);
    chart->SetTimeChartDestination(Day(2024, 4, 1), 200, true);
    QCoreApplication::processEvents();
    EXPECT_EQ(chart->BarPainter().smallredrawcount, 0);
    const QImage scrolled = Keep(testsupport::RenderWidget(Small()), "scrolled");
    EXPECT_PIXEL(scrolled, x, 1, ChartCellColor); // no longer under the slider
    AddTask("P05", "05.03.2024", "2");
    QCoreApplication::processEvents();
    EXPECT_GT(chart->BarPainter().smallredrawcount, 0);
}

// At rows of two pixels a bar's outline is its fill: the overview of a plan shows
// the bars' colours, not black.
TEST_F(OverviewTest, SmallBarsShowTheirFill)
{
    GeneratorOptions options;
    options.tasks = 300;
    options.absentRows = 0;
    options.positions = 20;
    options.spanDays = 120;
    GenerateDocument(*doc, options);
    ShowChart(800, 300);
    chart->RunPendingLayoutPasses();
    chart->UpdateOverlappingProc();
    QCoreApplication::processEvents();
    ASSERT_EQ(chart->SmallTimeChartRowHeight(), 2);
    const QImage image = Keep(testsupport::RenderWidget(Small()), "plan");
    const TRect slider = chart->SliderRect();
    int black = 0, filled = 0;
    // Right of the slider, which may lie left of the image altogether.
    for (int y = 0; y < image.height(); ++y)
        for (int x = std::max(0, slider.Right + 1); x < image.width(); ++x) {
            const TColor c = PixelAt(image, x, y);
            black += c == clBlack;
            filled += c == OverlapColor || c == NotOverlappingColor || c == ChartCellColor;
        }
    EXPECT_EQ(black, 0);
    EXPECT_GT(filled, 100);
}

// Rows times pixels times the pointer's y passes 32 bits on a large plan: the
// destination is still right.
TEST_F(OverviewTest, AClickOnALargePlanScrollsToItsRow)
{
    QStringList items;
    for (int p = 0; p < 3000; ++p)
        items << PositionItem(QStringLiteral("P%1").arg(p));
    SetPositions(items);
    AddTask("P0", "01.03.2024", "1");
    ShowChart(400, 300);
    chart->resize(440, 3200); // an overview of some 1000 pixels (a third of the chart)
    chart->TabControl1Change();
    QCoreApplication::processEvents();
    chart->SetTimeChartFontSize(200); // rows of 1065 pixels
    const qint64 rows = qint64(chart->TimeChartRowHeight(0)) * 3000;
    const int h = Small().height();
    ASSERT_GT(rows * h, qint64(INT_MAX));
    const TRect slider = chart->SliderRect();
    Send(QEvent::MouseButtonPress, QPoint(slider.Right + 50, h - 1), Qt::LeftButton, Qt::LeftButton);
    Send(QEvent::MouseButtonRelease, QPoint(slider.Right + 50, h - 1), Qt::LeftButton, Qt::NoButton);
    const int bottom
        = chart->TimeChartBox().VertScrollInfo().Max() - chart->TimeChartBox().VertScrollInfo().Page();
    EXPECT_EQ(chart->GetTimeChartTopDestination(),
        std::min<qint64>(bottom, rows * (h - 1 - slider.Height() / 2) / h));
}

// While the range is not known the overview is plain; once the range pass has
// run it is drawn whole, not only where bars asked for a repaint meanwhile. Rows
// hidden as empty give the overview the height of the rows left.
TEST_F(OverviewTest, IsDrawnWholeOnceTheRangeIsKnownAndFollowsTheRowCount)
{
    ShowPlan(30);
    chart->DocumentReset();
    QCoreApplication::processEvents();
    AddTask("P05", "05.03.2024", "2");
    QCoreApplication::processEvents();
    chart->UpdateBoundsProc();
    QCoreApplication::processEvents();
    const QImage shown = Keep(Small().BackBuffer().copy(), "after_range");
    const QImage full = Keep(testsupport::RenderWidget(Small()), "full");
    int differ = 0;
    for (int y = 0; y < full.height(); ++y)
        for (int x = 0; x < full.width(); ++x)
            differ += PixelAt(shown, x, y) != PixelAt(full, x, y);
    EXPECT_EQ(differ, 0);

    const int before = Small().height();
    chartHost.settings.HideRows = true;
    chart->UpdateEmptyRowsProc();
    QCoreApplication::processEvents();
    ASSERT_EQ(doc->GetRowCount(), 3);
    EXPECT_LT(Small().height(), before);
    EXPECT_LE(Small().height(), 3 * 8); // rows of eight pixels at most
}

// A plan of more rows than one paint draws has its overview made in bands, one a
// paint, the older drawing shown meanwhile; the drawing in the end is the one made
// at once.
TEST_F(OverviewTest, ALargePlansOverviewComesInBandsAndEndsAsTheOneMadeAtOnce)
{
    GeneratorOptions options;
    options.tasks = 600;
    options.absentRows = 0;
    options.positions = 250;
    options.spanDays = 90;
    GenerateDocument(*doc, options);
    ShowChart(800, 300);
    chart->TabControl1Change();
    QCoreApplication::processEvents();
    chart->RunPendingLayoutPasses();
    Settle();
    const QImage before = chart->SmallTimeChartImage().copy();
    ASSERT_FALSE(chart->SmallTimeChartPiecesLeft());

    // Selected bars at the height of their flash: a band not drawn yet still
    // shows them as they were.
    chart->SetSmallRowsPerPiece(100);
    DocumentTable &tasks = doc->GetTable(tbTable);
    for (TNodeData *node : tasks.Rows())
        tasks.SetSelected(node, true);
    chart->BarPainter().SetFlashStep(4);
    chart->InvalidateTimeChart(false);
    Small().repaint();
    // The paint that finds the drawing out of date leaves the bands to later ones.
    ASSERT_TRUE(chart->SmallTimeChartPiecesLeft());
    EXPECT_EQ(chart->SmallTimeChartImage(), before);
    // Each turn of the event loop draws a band at most: the drawing grows over
    // several turns.
    int grown = 0;
    QImage first, last = before;
    for (int turn = 0; turn < 100 && chart->SmallTimeChartPiecesLeft(); ++turn) {
        QCoreApplication::processEvents();
        if (chart->SmallTimeChartImage() != last) {
            ++grown;
            last = chart->SmallTimeChartImage().copy();
            if (first.isNull())
                first = last;
        }
    }
    EXPECT_FALSE(chart->SmallTimeChartPiecesLeft());
    EXPECT_GE(grown, 3);
    ASSERT_FALSE(first.isNull());
    const QImage pieces = Keep(chart->SmallTimeChartImage().copy(), "in_bands");

    chart->SetSmallRowsPerPiece(1000000);
    chart->InvalidateTimeChart(false);
    Small().repaint();
    EXPECT_FALSE(chart->SmallTimeChartPiecesLeft());
    const QImage atOnce = Keep(chart->SmallTimeChartImage().copy(), "at_once");
    ASSERT_EQ(pieces.size(), atOnce.size());
    // The first band drawn was the top one: where the pixels changed, the top
    // half shows new ones somewhere and the bottom half still the old ones.
    int differ = 0, newAbove = 0, oldBelow = 0;
    const int middle = atOnce.height() / 2;
    for (int y = 0; y < atOnce.height(); ++y)
        for (int x = 0; x < atOnce.width(); ++x) {
            differ += pieces.pixel(x, y) != atOnce.pixel(x, y);
            if (before.pixel(x, y) == atOnce.pixel(x, y))
                continue;
            if (y < middle)
                newAbove += first.pixel(x, y) == atOnce.pixel(x, y);
            else
                oldBelow += first.pixel(x, y) == before.pixel(x, y);
        }
    EXPECT_EQ(differ, 0);
    EXPECT_GT(newAbove, 0);
    EXPECT_GT(oldBelow, 0);
}
