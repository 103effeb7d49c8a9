#include "timechart/ScrollBarBox.h"

#include "tests/timechart/ChartPixelTest.h"
#include "tests/timechart/ChartTestSupport.h"
#include "timechart/CanvasPanel.h"

#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QTest>

namespace {

class ScrollBarBoxTest : public testsupport::ChartPixelTest {
protected:
    ScrollBarBoxTest()
    {
        box.resize(300, 200);
        box.SetOnVertScroll(
            [this](TScrollBarBox &sender) { vertical.push_back(sender.VertScrollInfo().Pos()); });
        box.SetOnHorzScroll(
            [this](TScrollBarBox &sender) { horizontal.push_back(sender.HorzScrollInfo().Pos()); });
        box.show();
    }

    QPoint PartOf(TScrollBarKind kind, QStyle::SubControl part)
    {
        return charttest::ScrollBarPart(box.Bar(kind), part);
    }

    void Click(TScrollBarKind kind, QStyle::SubControl part)
    {
        QTest::mouseClick(&box.Bar(kind), Qt::LeftButton, Qt::NoModifier, PartOf(kind, part));
    }

    TScrollBarBox box;
    std::vector<int> vertical;
    std::vector<int> horizontal;
};

} // namespace

// The panel is the client area: inside the 2-pixel sunken edge, less the shown bars.
TEST_F(ScrollBarBoxTest, PanelFillsWhatTheShownBarsLeave)
{
    EXPECT_EQ(TScrollBarBox().size(), QSize(185, 41));
    EXPECT_EQ(box.frameWidth(), 2);
    const int barWidth = box.Bar(sbVertical).sizeHint().width();
    const int barHeight = box.Bar(sbHorizontal).sizeHint().height();
    EXPECT_EQ(box.Panel().geometry(), QRect(2, 2, 296 - barWidth, 196 - barHeight));

    box.ScrollBarOptions().SetScrollBars(ssVertical);
    QApplication::processEvents();
    EXPECT_FALSE(box.Bar(sbHorizontal).isVisible());
    EXPECT_EQ(box.Panel().size(), QSize(296 - barWidth, 196));

    TScrollBarBox other;
    other.ScrollBarOptions().SetScrollBars(ssNone);
    box.SetScrollBarOptions(other.ScrollBarOptions());
    box.SetBorderStyle(bsNone);
    QApplication::processEvents();
    EXPECT_EQ(box.Panel().geometry(), QRect(0, 0, 300, 200));
}

TEST_F(ScrollBarBoxTest, ShowsThePanelInsideTheEdgeAndTheBars)
{
    box.HorzScrollInfo().SetAll(0, 100, 20, 10);
    box.VertScrollInfo().SetAll(0, 100, 20, 10);
    box.Panel().SetColor(clWhite);
    const QImage image = Keep(testsupport::RenderWidget(box), "box");
    EXPECT_PIXEL(image, 2, 2, clWhite);
    EXPECT_PIXEL(image, 296, 196, FromQColor(box.palette().window().color())); // between the bars
    EXPECT_NE(testsupport::PixelAt(image, 1, 100), clWhite); // the edge
}

// Positions run from Min to Max - Page, as the chart's range and view need.
TEST_F(ScrollBarBoxTest, ArrowsMoveByOneAndTheGrooveByAPageWithinTheRange)
{
    box.VertScrollInfo().SetAll(0, 1000, 150, 100);
    Click(sbVertical, QStyle::SC_ScrollBarAddLine);
    Click(sbVertical, QStyle::SC_ScrollBarSubLine);
    Click(sbVertical, QStyle::SC_ScrollBarSubLine);
    Click(sbVertical, QStyle::SC_ScrollBarAddPage);
    Click(sbVertical, QStyle::SC_ScrollBarSubPage);
    EXPECT_EQ(vertical, std::vector<int>({ 101, 100, 99, 249, 99 }));
    EXPECT_EQ(box.Bar(sbVertical).value(), 99);

    box.HorzScrollInfo().SetAll(0, 365, 40, 300);
    Click(sbHorizontal, QStyle::SC_ScrollBarAddPage);
    Click(sbHorizontal, QStyle::SC_ScrollBarAddLine);
    box.HorzScrollInfo().SetPos(20); // the program's own moves report nothing
    Click(sbHorizontal, QStyle::SC_ScrollBarSubPage);
    EXPECT_EQ(horizontal, std::vector<int>({ 325, 325, 0 }));
    EXPECT_EQ(vertical.size(), 5u);

    box.VertScrollInfo().SetAll(0, 100, 30, 95);
    EXPECT_EQ(box.VertScrollInfo().Pos(), 70);
    box.VertScrollInfo().SetAll(0, 10, 30, 5); // a range shorter than the page
    EXPECT_EQ(box.VertScrollInfo().Pos(), 0);
}

TEST_F(ScrollBarBoxTest, EndsAndThumbDragFollowTheBar)
{
    box.VertScrollInfo().SetAll(0, 1000, 100, 400);
    QScrollBar &bar = box.Bar(sbVertical);
    bar.triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(box.VertScrollInfo().Pos(), 900);
    bar.triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_EQ(box.VertScrollInfo().Pos(), 0);

    const QPoint thumb = PartOf(sbVertical, QStyle::SC_ScrollBarSlider);
    QTest::mousePress(&bar, Qt::LeftButton, Qt::NoModifier, thumb);
    QTest::mouseMove(&bar, thumb + QPoint(0, 40));
    QTest::mouseRelease(&bar, Qt::LeftButton, Qt::NoModifier, thumb + QPoint(0, 40));
    ASSERT_GE(vertical.size(), 3u);
    EXPECT_GT(box.VertScrollInfo().Pos(), 0);
    EXPECT_EQ(box.VertScrollInfo().Pos(), bar.value());
    EXPECT_EQ(box.VertScrollInfo().Pos(), box.VertScrollInfo().TrackPos());
    EXPECT_EQ(vertical.back(), box.VertScrollInfo().Pos());
}

// The wheel over a bar scrolls as the wheel over the chart does: it goes to the panel.
TEST_F(ScrollBarBoxTest, WheelOverABarGoesToThePanel)
{
    box.VertScrollInfo().SetAll(0, 1000, 100, 400);
    std::vector<QPoint> wheels;
    box.Panel().SetOnMouseWheel(
        [&](TCanvasPanel &, QWheelEvent &event) { wheels.push_back(event.angleDelta()); });
    QScrollBar &bar = box.Bar(sbVertical);
    QWheelEvent wheel(QPointF(5, 50), bar.mapToGlobal(QPointF(5, 50)), QPoint(), QPoint(0, -120),
        Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&bar, &wheel);
    EXPECT_EQ(wheels, std::vector<QPoint>({ QPoint(0, -120) }));
    EXPECT_EQ(box.VertScrollInfo().Pos(), 400);
    EXPECT_TRUE(vertical.empty());
}
