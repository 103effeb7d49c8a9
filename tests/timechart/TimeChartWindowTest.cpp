// A generated plan in a window: it scrolls, zooms and switches tabs over the
// right range and rows. The test paints the bars as plain boxes where the
// geometry puts them and keeps the window as a PNG for a person to look at.
#include "bench/generator/DocumentGenerator.h"
#include "document/ChartRows.h"
#include "tests/timechart/ChartPixelTest.h"
#include "tests/timechart/ChartTestSupport.h"
#include "timechart/ScrollBarBox.h"

#include <QBoxLayout>
#include <QPainter>
#include <QTabBar>
#include <QTest>
#include <cmath>

namespace {

constexpr TColor LabelFace = 0xE0E0E0;

class TimeChartWindowTest : public testsupport::ChartPixelTest, protected charttest::ChartFixture {
protected:
    TimeChartWindowTest()
    {
        GeneratorOptions options;
        options.tasks = 400;
        options.absentRows = 40;
        options.positions = 16;
        options.seed = 3;
        GenerateDocument(*doc, options);
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(chart.get());
        window.resize(900, 650);
        window.show();
        QCoreApplication::processEvents();
        chart->TimeChart().SetOnPaint(
            [this](TCanvasPanel &, QPainter &canvas, const QRegion &) { PaintBoxes(canvas); });
        chart->RunPendingLayoutPasses();
        Settle();
    }
    ~TimeChartWindowTest() override { chart->setParent(nullptr); }

    void Settle()
    {
        for (int tick = 0; tick < 200 && chart->SliderTimer().isActive(); ++tick)
            chart->SliderTimerTimer();
        QCoreApplication::processEvents();
    }

    // White rows, the bars in their state colour (absent days grey), labels.
    void PaintBoxes(QPainter &canvas)
    {
        const int rowHeight = chart->TimeChartRowHeight(0);
        const int width = chart->TimeChart().width();
        canvas.fillRect(0, -chart->TimeChartTop(), width, rowHeight * doc->GetRowCount(), ToQColor(clWhite));
        for (int row = 1; row < doc->GetRowCount(); ++row)
            canvas.fillRect(0, row * rowHeight - chart->TimeChartTop(), width, 1, ToQColor(0xE0CA92));
        canvas.setPen(ToQColor(clBlack));
        doc->ForEach(feAll, [&](TNodeData &node) {
            if (!node.nodeValid)
                return;
            const TRect r = chart->ItemRect(&node, false);
            const TColor fill = node.NodeTable == tbExclude ? clGray : BarColor(node);
            canvas.fillRect(ToQRect(r), ToQColor(fill));
            canvas.drawRect(ToQRect(r).adjusted(0, 0, -1, -1));
        });
        for (int row = 0; row < doc->GetRowCount(); ++row) {
            const TRect r = chart->PositionRect(row);
            canvas.fillRect(ToQRect(r), ToQColor(LabelFace));
            canvas.drawText(
                ToQRect(r), Qt::AlignCenter, RowNames({ doc->ChartRows().GlobalPositionFilter()[row] })[0]);
        }
    }
    TColor BarColor(const TNodeData &node) const
    {
        const std::vector<std::uint32_t> &colors = doc->Setup().FColors;
        return node.nodeColor >= 0 && std::size_t(node.nodeColor) < colors.size() ? colors[node.nodeColor]
                                                                                  : clSilver;
    }

    // A task drawn inside the window's view, well away from others.
    TNodeData *VisibleTask()
    {
        TNodeData *found = nullptr;
        doc->ForEach(tbTable, feAll, [&](TNodeData &node) {
            const TRect r = chart->ItemRect(&node, false);
            if (!found && node.nodeValid && r.Left > 100 && r.Right < chart->TimeChart().width() - 10
                && r.Top > 0 && r.Bottom < chart->TimeChart().height() && r.Width() > 2)
                found = &node;
        });
        return found;
    }

    QImage Shot(const QString &name) { return Keep(testsupport::RenderWidget(window), name); }

    QWidget window;
};

} // namespace

TEST_F(TimeChartWindowTest, AGeneratedPlanScrollsZoomsAndSwitchesTabs)
{
    // The range: two weeks around the dates of every valid row.
    TDateTime first = 1e9, last = -1e9;
    doc->ForEach(feAll, [&](TNodeData &node) {
        if (node.nodeValid) {
            first = std::min(first, node.nodeStart);
            last = std::max(last, node.nodeEnd);
        }
    });
    EXPECT_EQ(chart->MinDate(), std::trunc(first - 14));
    EXPECT_EQ(chart->MaxDate(), std::trunc(last + 14));
    EXPECT_EQ(chart->TimeChartStart(), chart->MinDate());
    // Sixteen machines, every tenth on two rows.
    EXPECT_EQ(doc->GetRowCount(), 18);
    EXPECT_EQ(chart->TimeChartBox().VertScrollInfo().Max(), 18 * 42);

    // A page to the right; the bars move with the view.
    QScrollBar &bar = chart->TimeChartBox().Bar(sbHorizontal);
    const int page = chart->TimeChartBox().HorzScrollInfo().Page();
    QTest::mouseClick(
        &bar, Qt::LeftButton, Qt::NoModifier, charttest::ScrollBarPart(bar, QStyle::SC_ScrollBarAddPage));
    Settle();
    EXPECT_EQ(chart->TimeChartStart(), chart->MinDate() + page);
    TNodeData *task = VisibleTask();
    ASSERT_NE(task, nullptr);
    TRect r = chart->ItemRect(task, false);
    QPoint inWindow
        = chart->TimeChart().mapTo(&window, QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2));
    EXPECT_PIXEL(Shot("scrolled"), inWindow.x(), inWindow.y(), BarColor(*task));

    // Half the zoom: twice the days, the same start.
    chart->SetZoom(50);
    QCoreApplication::processEvents();
    EXPECT_EQ(
        chart->TimeChartBox().HorzScrollInfo().Page(), std::nearbyint(chart->TimeChart().width() / 4.0));
    EXPECT_GT(chart->TimeChartBox().HorzScrollInfo().Page(), page);
    EXPECT_EQ(chart->TimeChartRowHeight(0), 21); // 4 * 5 grown to 21
    task = VisibleTask();
    ASSERT_NE(task, nullptr);
    r = chart->ItemRect(task, false);
    inWindow = chart->TimeChart().mapTo(&window, QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2));
    EXPECT_PIXEL(Shot("zoomed"), inWindow.x(), inWindow.y(), BarColor(*task));

    // A tab with the even machines, shown one text line high.
    const QStringList items = doc->GetColumnStrings(tbTable, doc->GetConnection(tbTable, cnPosition));
    TCommaText even;
    for (int i = 0; i < items.size(); i += 2)
        even.Add(items[i]);
    chart->AddPositionGroup("Even", even.AsString());
    TDocumentSetup setup = doc->Setup();
    setup.FRowSets = { rsTopMiddleBottom, rsTop };
    doc->SetSetup(setup);
    chart->SetZoom(100);
    QTabBar &tabs = chart->TabControl1();
    QTest::mouseClick(&tabs, Qt::LeftButton, Qt::NoModifier, tabs.tabRect(1).center());
    chart->RunPendingLayoutPasses();
    Settle();
    EXPECT_EQ(doc->GetRowCount(), 10); // Machine 0 and Machine 10 have two rows each
    EXPECT_EQ(RowNames(doc->ChartRows().GlobalPositionFilter()).mid(0, 3),
        QStringList({ "Machine 0", "Machine 0 (1)", "Machine 2" }));
    EXPECT_EQ(chart->TimeChartRowHeight(0), 15);
    EXPECT_EQ(chart->TimeChartBox().VertScrollInfo().Max(), 150);
    Shot("tab");
}
