// Scrolling, zooming and the splitters of the chart, driven by real input events
// on a chart of thirty positions whose tasks run from 1 March to 7 June 2024.
#include "document/ChartRows.h"
#include "tests/timechart/ChartPixelTest.h"
#include "tests/timechart/ChartTestSupport.h"
#include "timechart/ScrollBarBox.h"
#include "timechart/Splitter.h"

#include <QScrollBar>
#include <QSplitterHandle>
#include <QTest>

using charttest::Day;
using charttest::PositionItem;
using charttest::ScrollBarPart;

namespace {

class TimeChartViewTest : public testsupport::ChartPixelTest, protected charttest::ChartFixture {
protected:
    QScrollBar &Bar(TScrollBarKind kind) { return chart->TimeChartBox().Bar(kind); }
    void Click(TScrollBarKind kind, QStyle::SubControl part)
    {
        QTest::mouseClick(&Bar(kind), Qt::LeftButton, Qt::NoModifier, ScrollBarPart(Bar(kind), part));
    }
    void Wheel(QWidget &target, int delta)
    {
        QWheelEvent wheel(QPointF(20, 20), target.mapToGlobal(QPointF(20, 20)), QPoint(), QPoint(0, delta),
            Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(&target, &wheel);
    }
    // Drags handle 1 of `splitter` by dy pixels with the mouse, in two moves (the
    // handle moves away under the pointer meanwhile).
    static void DragHandle(QSplitter &splitter, int dy)
    {
        QSplitterHandle *handle = splitter.handle(1);
        const QPoint centre = handle->rect().center();
        const QPoint global = handle->mapToGlobal(centre);
        QTest::mousePress(handle, Qt::LeftButton, Qt::NoModifier, centre);
        for (const int step : { dy / 2, dy }) {
            const QPoint to = global + QPoint(0, step);
            QMouseEvent move(QEvent::MouseMove, handle->mapFromGlobal(to), to, Qt::NoButton, Qt::LeftButton,
                Qt::NoModifier);
            QCoreApplication::sendEvent(handle, &move);
        }
        QTest::mouseRelease(
            handle, Qt::LeftButton, Qt::NoModifier, handle->mapFromGlobal(global + QPoint(0, dy)));
    }

    // The range: two weeks before the first task to two weeks after the last end.
    const TDateTime first = Day(2024, 2, 16);
    const TDateTime last = Day(2024, 6, 21);
};

} // namespace

// Page, line, thumb and wheel reach their destinations, held at the ends.
TEST_F(TimeChartViewTest, ScrollBarsAndWheelScrollWithinTheRange)
{
    ShowPlan(30);
    EXPECT_EQ(chart->TimeChartStart(), first);
    const TScrollBarInfo &h = chart->TimeChartBox().HorzScrollInfo();
    EXPECT_EQ(std::tuple(h.Min(), h.Max(), h.Page(), h.Pos()), std::tuple(0, 126, 50, 0));
    const TScrollBarInfo &v = chart->TimeChartBox().VertScrollInfo();
    EXPECT_EQ(std::tuple(v.Min(), v.Max(), v.Page(), v.Pos()), std::tuple(0, 1260, 300, 0));
    Click(sbHorizontal, QStyle::SC_ScrollBarAddPage);
    EXPECT_EQ(chart->GetTimeChartStartDestination(), first + 50);
    Click(sbHorizontal, QStyle::SC_ScrollBarAddPage); // 100 is beyond the last start
    EXPECT_EQ(chart->GetTimeChartStartDestination(), last - 50);
    Settle();
    EXPECT_EQ(chart->TimeChartStart(), last - 50);
    Click(sbHorizontal, QStyle::SC_ScrollBarSubLine);
    EXPECT_EQ(chart->GetTimeChartStartDestination(), last - 51);
    Settle();
    EXPECT_EQ(chart->TimeChartStart(), last - 51);

    // The thumb dragged past the left end.
    QScrollBar &bar = Bar(sbHorizontal);
    const QPoint thumb = ScrollBarPart(bar, QStyle::SC_ScrollBarSlider);
    QTest::mousePress(&bar, Qt::LeftButton, Qt::NoModifier, thumb);
    QTest::mouseMove(&bar, thumb - QPoint(500, 0));
    QTest::mouseRelease(&bar, Qt::LeftButton, Qt::NoModifier, thumb - QPoint(500, 0));
    EXPECT_EQ(chart->GetTimeChartStartDestination(), first);
    Settle();
    EXPECT_EQ(chart->TimeChartStart(), first);

    // One row per notch, over the chart and over the overview; held at the top
    // and at the bottom (1260 - 300).
    Wheel(chart->TimeChart(), -120);
    EXPECT_EQ(chart->GetTimeChartTopDestination(), 42);
    Wheel(chart->SmallTimeChart(), -60);
    Wheel(chart->SmallTimeChart(), -60);
    EXPECT_EQ(chart->GetTimeChartTopDestination(), 42); // from the top not yet moved
    Settle();
    EXPECT_EQ(chart->TimeChartTop(), 42);
    Wheel(chart->TimeChart(), 240);
    EXPECT_EQ(chart->GetTimeChartTopDestination(), 0);
    Click(sbVertical, QStyle::SC_ScrollBarAddPage);
    EXPECT_EQ(chart->GetTimeChartTopDestination(), 342);
    Settle();
    Bar(sbVertical).triggerAction(QAbstractSlider::SliderToMaximum);
    Settle();
    EXPECT_EQ(chart->TimeChartTop(), 960);
    Wheel(chart->TimeChart(), -120);
    EXPECT_EQ(chart->GetTimeChartTopDestination(), 960);

    // Hiding rows while at the bottom brings the last row to the bottom.
    chartHost.settings.HideRows = true;
    chart->UpdateEmptyRowsProc();
    EXPECT_EQ(doc->GetRowCount(), 2);
    EXPECT_EQ(chart->TimeChartTop(), 0);
}

// A scroll in either direction moves the chart's pixels under the labels, which
// are laid on again where they stay and where the moved pixels took them; the
// pixels are what a full paint gives, under the labels too.
TEST_F(TimeChartViewTest, HorizontalScrollLaysTheLabelsOnWhereTheyStay)
{
    ShowPlan(3);
    QRegion overlaid;
    chart->TimeChart().SetOnPaint([this](TCanvasPanel &panel, QPainter &canvas, const QRegion &) {
        // Day columns alternate by date, so moved pixels show where they came from.
        for (int x = 0; x < panel.width(); ++x) {
            const bool even = qint64(chart->TimeChartXToDate(x)) % 2 == 0;
            canvas.fillRect(x, 0, 1, panel.height(), ToQColor(even ? clBlue : clLime));
        }
    });
    chart->TimeChart().SetOnPaintOverlay(
        [&overlaid](TCanvasPanel &, QPainter &, const QRegion &region) { overlaid += region; });
    chart->TimeChart().repaint();
    const QRegion labels = chart->LabelRegion();
    ASSERT_GT(chart->PositionRect(1).Right, 8);
    for (const int days : { 1, -1 }) {
        overlaid = QRegion();
        chart->SetTimeChartStart(chart->TimeChartStart() + days);
        QCoreApplication::processEvents();
        const QRegion moved = labels.united(labels.translated(-8 * days, 0)) & chart->TimeChart().rect();
        EXPECT_TRUE((moved - overlaid).isEmpty()) << days;
        const QImage image = Keep(chart->TimeChart().BackBuffer(), QStringLiteral("scrolled %1").arg(days));
        for (int x = 0; x < image.width(); ++x) {
            const bool even = qint64(chart->TimeChartXToDate(x)) % 2 == 0;
            ASSERT_EQ(testsupport::PixelAt(image, x, 20), even ? clBlue : clLime) << x << " after " << days;
        }
    }
}

TEST_F(TimeChartViewTest, ZoomFontAndTransparencyReachTheWindowsBoxes)
{
    ShowPlan(30);
    chartHost.events.clear();
    chart->SetZoom(200);
    chart->SetTransparency(70);
    chart->SetZoom(0); // ignored
    EXPECT_EQ(chartHost.events,
        QStringList(
            { "zoom Timechart zoom (200 %)", "transparency Transparency for filtered Tasks (70 %)" }));
    // 16 pixels a day, rows of 4 * Trunc(200 * 8 * 96 / 7200) = 84 grown to 87.
    EXPECT_EQ(chart->GetTimeChartColWidth(), 16);
    EXPECT_EQ(chart->TimeChartRowHeight(0), 87);
    EXPECT_EQ(chart->TimeChartCaption().height(), 84);
    EXPECT_EQ(chart->TimeChartCaption().width(), 400);
    EXPECT_EQ(chart->TimeChartCaption().mapTo(chart.get(), QPoint()).x(),
        chart->TimeChart().mapTo(chart.get(), QPoint()).x());
    EXPECT_EQ(chart->TimeChartBox().HorzScrollInfo().Page(), 25);
    EXPECT_EQ(chart->TimeChartBox().VertScrollInfo().Max(), 30 * 87);
    EXPECT_EQ(chart->TimeChart().font().pixelSize(), 21); // 16 points at 96 ppi

    chartHost.events.clear();
    chart->FontSizeComboBox1Change("10");
    chart->FontSizeComboBox1Change("10");
    chart->ScFontComboBox1Change("DejaVu Sans");
    EXPECT_EQ(chartHost.events, QStringList({ "font Liberation Sans 10", "font DejaVu Sans 10" }));
    EXPECT_EQ(chart->TimeChartRowHeight(0), 4 * 26 + 3 - (4 * 26) % 3); // 200 % of 10 points: 26 a line

    // With no width the chart maps x by its pixels per day, without dividing 0 by 0.
    chart->TimeChart().setFixedSize(0, 300);
    QCoreApplication::processEvents();
    EXPECT_EQ(chart->TimeChartXToDate(32), chart->TimeChartStart() + 2);
    EXPECT_EQ(chart->GetTimeChartEnd(), chart->TimeChartStart());
}

// The splitter under the overview snaps it to whole pixel rows; the one above the
// tables never hides the chart under its headers.
TEST_F(TimeChartViewTest, SplittersKeepTheOverviewInRowsAndTheChartInSight)
{
    ShowPlan(3);
    QWidget &overview = chart->OverviewBar();
    const int caption = chart->SmallTimeChartCaption().height();
    ASSERT_EQ(caption, 14);
    EXPECT_EQ(overview.height(), 3 * 2 + 14);
    DragHandle(chart->Splitter3(), 11); // 31 pixels proposed: rows of 5
    EXPECT_EQ(chart->SmallTimeChartRowHeight(), 5);
    EXPECT_EQ(overview.height(), 3 * 5 + 14);
    DragHandle(chart->Splitter3(), 100);
    EXPECT_EQ(overview.height(), 3 * 8 + 14);
    DragHandle(chart->Splitter3(), -100);
    EXPECT_EQ(overview.height(), 3 * 1 + 14);

    chart->TimeChart().setMinimumSize(0, 0);
    chart->TimeChart().setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    QWidget window;
    TSplitter splitter1(Qt::Vertical, &window);
    QWidget tables;
    chart->setParent(nullptr);
    splitter1.addWidget(chart.get());
    splitter1.addWidget(&tables);
    splitter1.SetOnCanResize([this](TSplitter &sender, int &newSize, bool &accept) {
        chart->Splitter1CanResize(sender, newSize, accept);
    });
    splitter1.resize(400, 600);
    window.resize(400, 600);
    window.show();
    QCoreApplication::processEvents();
    // Higher than the chart's own least height, so the handler is what holds it.
    splitter1.SetMinSize(100);
    const int chartTop = chart->TimeChart().mapTo(chart.get(), QPoint()).y();
    ASSERT_LT(chart->minimumSizeHint().height(), chartTop + 100);
    DragHandle(splitter1, -2000);
    EXPECT_EQ(chart->height(), chartTop + 100);
    tables.setParent(nullptr);
    chart->setParent(nullptr);
}
