// The chart in its window paints itself with the painters: bars, header, overview,
// the repaint of a changed bar, the selection flash and the fade-out note.
#include "document/DocumentTable.h"
#include "tests/timechart/ChartPaintFixture.h"
#include "timechart/BarPainter.h"
#include "timechart/CaptionPainter.h"
#include "timechart/ChartPainter.h"
#include "timechart/ScrollBarBox.h"

#include <QScrollBar>
#include <QTest>
#include <random>

using testsupport::PixelAt;

namespace {

// 8 pixels a day, rows of 42: a two-day task from Tuesday 2 January 2024 is the box
// (8, 4) to (24, 38) in the state colour 0x008080.
class TimeChartPaintTest : public testsupport::ChartPixelTest, protected charttest::ChartFixture {
protected:
    const TDateTime Jan1 = charttest::Day(2024, 1, 1);
    static constexpr TColor StateColor = 0x008080;
    TNodeData *task = nullptr;

    void SetUp() override
    {
        ChartPixelTest::SetUp();
        SetPositions({ charttest::PositionItem("A"), charttest::PositionItem("B") });
        task = AddTask("A", "02.01.2024", "2");
        ShowChart(280, 100);
        chart->RunPendingLayoutPasses();
        chart->SetTimeChartDestination(Jan1, 0, true);
        QCoreApplication::processEvents();
    }

    QImage Chart(const QString &name) { return Keep(testsupport::RenderWidget(chart->TimeChart()), name); }
};

} // namespace

TEST_F(TimeChartPaintTest, TheWindowPaintsBarsHeaderAndOverview)
{
    ASSERT_EQ(doc->Setup().FColors[0], StateColor);
    QImage image = Chart("chart");
    EXPECT_PIXEL(image, 20, 8, StateColor); // above A's label (13 to 28)
    EXPECT_PIXEL(image, 8, 6, clBlack);
    EXPECT_PIXEL(image, 44, 20, NonWorkingColor); // Saturday 6 January from 40
    Chart("again");
    EXPECT_EQ(chart->BarPainter().redrawcount, 0); // copied from its image

    // Rows of 40 / 3 = 13: months, weeks, and at 8 pixels a day weeks again, a line each Monday.
    const QImage header = Keep(testsupport::RenderWidget(chart->TimeChartCaption()), "header");
    EXPECT_PIXEL(header, 45, 18, CaptionWeekBackColor);
    EXPECT_PIXEL(header, 56, 28, CaptionLineColor);
    EXPECT_PIXEL(header, 57, 28, CaptionBackColor);

    // The whole range fits the chart: the slider tints all of the overview.
    const QImage overview = Keep(testsupport::RenderWidget(chart->SmallTimeChart()), "overview");
    int bar = 0;
    for (int x = 0; x < overview.width(); ++x)
        bar += PixelAt(overview, x, 1) == testsupport::Blend(0x978762, ChartCellColor, 100);
    EXPECT_GT(bar, 0);
    EXPECT_TRUE(chart->RedrawTimer().isActive());
    EXPECT_EQ(chart->RedrawTimer().interval(), 60000);
}

TEST_F(TimeChartPaintTest, AChangedBarIsRepaintedWhereItWasAndWhereItIs)
{
    QCoreApplication::processEvents();
    EXPECT_PIXEL(chart->TimeChart().BackBuffer(), 20, 8, StateColor);
    doc->SetData(task, 1, QStringLiteral("10.01.2024")); // to 72 .. 88
    QCoreApplication::processEvents();
    const QImage &painted = Keep(chart->TimeChart().BackBuffer(), "moved");
    EXPECT_PIXEL(painted, 20, 8, ChartBackColor);
    EXPECT_PIXEL(painted, 76, 8, StateColor);
}

TEST_F(TimeChartPaintTest, TheFlashRunsSixStepsOverTheSelectedBarsThenEnds)
{
    doc->GetTable(tbTable).SetSelected(task, true);
    doc->SetDataIndex(task, 4, 1); // another state ...
    doc->SetDataIndex(task, 4, 0); // ... and back: a flash
    ASSERT_TRUE(chart->FlashSelectedTimer().isActive());
    EXPECT_EQ(chart->FlashSelectedTimer().interval(), 100);

    chart->FlashSelectedTimerTimer();
    // Step 1, 50 % towards white: 0x80 -> 128 + round(63.5) = 192, 0x00 -> round(127.5) = 128.
    EXPECT_PIXEL(Chart("step1"), 20, 8, 0x80C0C0);
    {
        UpdateBracket loading(*doc, QStringLiteral("loading"));
        chart->FlashSelectedTimerTimer(); // ignored
    }
    EXPECT_EQ(chart->BarPainter().FlashStep(), 1);
    for (int tick = 2; tick <= 7; ++tick)
        chart->FlashSelectedTimerTimer();
    EXPECT_FALSE(chart->FlashSelectedTimer().isActive());
    EXPECT_EQ(chart->BarPainter().FlashStep(), 0);
    EXPECT_PIXEL(Chart("done"), 20, 8, StateColor);
}

TEST_F(TimeChartPaintTest, TheFadeOutNoteNamesTheHiddenRowsBelowTheLastRow)
{
    EXPECT_EQ(chart->Painter().FadeOutNote(), QString()); // hiding is off
    chartHost.settings.HideRows = true;
    SetPositions({ charttest::PositionItem("A"), charttest::PositionItem("Empty") });
    chart->RunPendingLayoutPasses();
    ASSERT_EQ(doc->GetRowCount(), 1);
    EXPECT_EQ(chart->Painter().FadeOutNote(), QStringLiteral("automatically fade-out: Empty"));
    const QImage image = Chart("note");
    auto darkIn = [&](int top, int bottom) {
        int dark = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = 3; x < 150; ++x)
                dark += GetRValue(PixelAt(image, x, y)) < 80;
        return dark;
    };
    EXPECT_GT(darkIn(42, 56), 20); // from the end of the one row left
    EXPECT_EQ(darkIn(60, 100), 0);
}

// A scroll repaints only what moved in: the note under the last row is there
// as a full repaint draws it, not moved with the days.
TEST_F(TimeChartPaintTest, TheFadeOutNoteAfterAScrollIsWhatAFullRepaintDraws)
{
    chartHost.settings.HideRows = true;
    SetPositions({ charttest::PositionItem("A"), charttest::PositionItem("Empty") });
    chart->RunPendingLayoutPasses();
    Chart("note before the scroll");
    for (const int step : { 1, 1, -1 }) {
        const TDateTime before = chart->TimeChartStart();
        chart->SetTimeChartStart(before + step);
        ASSERT_EQ(chart->TimeChartStart(), before + step);
        QCoreApplication::processEvents();
        const QImage scrolled = chart->TimeChart().BackBuffer().copy();
        chart->TimeChart().Invalidate();
        QCoreApplication::processEvents();
        const QImage full = chart->TimeChart().BackBuffer();
        int dark = 0;
        for (int y = 42; y < 56; ++y)
            for (int x = 3; x < 150; ++x)
                dark += GetRValue(PixelAt(full, x, y)) < 80;
        EXPECT_GT(dark, 20) << "step " << step;
        ASSERT_EQ(scrolled, full) << "step " << step;
    }
}

// A generated plan in the chart's window, saved for a person to look at: the
// header rows, labels, weekends and holidays, absent days, bars with their texts,
// a selection, a filtered bar, overlaps and deadline arrows.
TEST(TimeChartPlanPicture, AGeneratedPlanInTheWindow)
{
    charttest::ChartFixture plan;
    GenerateDocument(*plan.doc, charttest::PicturePlan());
    plan.chart->resize(1300, 560);
    plan.chart->show();
    QCoreApplication::processEvents();
    plan.chart->SetZoom(150);
    QCoreApplication::processEvents();
    plan.chart->RunPendingLayoutPasses();
    plan.chart->UpdateOverlappingProc();
    plan.chart->SetTimeChartDestination(charttest::PictureStart, 0, true);
    DocumentTable &tasks = plan.doc->GetTable(tbTable);
    tasks.SetSelected(tasks.First(), true);
    plan.doc->SetNodeFiltered(tasks.Next(tasks.First()), true);
    plan.chart->InvalidateTimeChart(true);
    QCoreApplication::processEvents();
    const QImage window = testsupport::RenderWidget(*plan.chart);
    std::printf(
        "saved %s\n", qPrintable(testsupport::SavePng(window, QStringLiteral("generated_plan_window"))));
    EXPECT_GT(plan.chart->BarPainter().Cache().Count(), 10u);
}

// A scroll moves the pixels and paints only the strip it uncovers and the labels,
// in both directions; what it leaves is what a full repaint paints.
TEST(TimeChartScrollPaint, AScrollPaintsTheStripAndTheLabelsAndLeavesTheFullPicture)
{
    charttest::ChartFixture plan;
    GeneratorOptions options; // all bar texts, overlaps, deadline arrows
    options.tasks = 40;
    options.absentRows = 8;
    options.positions = 5;
    options.spanDays = 45;
    options.deadlines = true;
    options.barTexts = true;
    GenerateDocument(*plan.doc, options);
    plan.ShowChart(480, 260);
    plan.chart->TabControl1Change();
    plan.chart->RunPendingLayoutPasses();
    plan.chart->UpdateOverlappingProc();
    plan.chart->SetTimeChartDestination(charttest::Day(2024, 1, 15), 0, true);
    TCanvasPanel &panel = plan.chart->TimeChart();
    panel.repaint();
    QScrollBar &bar = plan.chart->TimeChartBox().Bar(sbHorizontal);
    auto full = [&] {
        QImage image = testsupport::MakeCanvas(panel.width(), panel.height(), panel.Color());
        QPainter p(&image);
        plan.chart->TimeChartPaint(p, QRegion(panel.rect()));
        return image;
    };
    int area = 0;
    for (const QRect &r : plan.chart->LabelRegion().united(plan.chart->FadeOutBandRegion()))
        area += r.width() * r.height();
    std::mt19937 random(7);
    for (int step = 0; step < 12; ++step) {
        const bool back = random() % 2;
        const int days = 1 + int(random() % 3);
        for (int d = 0; d < days; ++d)
            QTest::mouseClick(&bar, Qt::LeftButton, Qt::NoModifier,
                charttest::ScrollBarPart(
                    bar, back ? QStyle::SC_ScrollBarSubLine : QStyle::SC_ScrollBarAddLine));
        for (int tick = 0; tick < 50 && plan.chart->SliderTimer().isActive(); ++tick)
            plan.chart->SliderTimerTimer();
        plan.chart->ResetPaintedArea();
        QCoreApplication::processEvents();
        const qint64 painted = plan.chart->PaintedArea();
        EXPECT_LE(painted, days * 8 * panel.height() + 2 * area) << step;
        EXPECT_LT(painted, panel.width() * panel.height() / 3) << step;
        const QImage scrolled = panel.BackBuffer().copy();
        const QImage expected = full();
        int differ = 0;
        for (int y = 0; y < expected.height(); ++y)
            for (int x = 0; x < expected.width(); ++x)
                differ += PixelAt(scrolled, x, y) != PixelAt(expected, x, y);
        EXPECT_EQ(differ, 0) << "step " << step << (back ? " back " : " on ") << days;
        if (differ) {
            testsupport::SavePng(
                scrolled.copy(0, 95, 60, 40).scaled(480, 320), QStringLiteral("zoom_%1_scrolled").arg(step));
            testsupport::SavePng(
                expected.copy(0, 95, 60, 40).scaled(480, 320), QStringLiteral("zoom_%1_expected").arg(step));
            testsupport::SavePng(scrolled, QStringLiteral("scroll_%1_scrolled").arg(step));
            testsupport::SavePng(expected, QStringLiteral("scroll_%1_expected").arg(step));
        }
    }
}

// Scrolled through a long plan, the chart keeps a few screens' worth of bar images
// of its window, and a one-day scroll with a full repaint after it renders no bar.
TEST(TimeChartBarCache, KeepsAFewScreensOfBarsAndAScrollRendersNone)
{
    charttest::ChartFixture plan;
    GeneratorOptions options;
    options.tasks = 3000;
    options.positions = 12;
    options.spanDays = 700;
    options.barTexts = true;
    GenerateDocument(*plan.doc, options);
    plan.ShowChart(320, 200);
    plan.chart->TabControl1Change();
    plan.chart->RunPendingLayoutPasses();
    TCanvasPanel &panel = plan.chart->TimeChart();
    const std::size_t screen = std::size_t(panel.width()) * panel.height() * 4;
    TBarBitmapCache &cache = plan.chart->BarPainter().Cache();
    int rendered = 0;
    for (TDateTime start = plan.chart->MinDate(); start < plan.chart->MaxDate();
         start += double(panel.width()) / plan.chart->GetTimeChartColWidth()) {
        plan.chart->SetTimeChartDestination(start, 0, true);
        panel.repaint();
        rendered += plan.chart->BarPainter().redrawcount;
        EXPECT_LE(cache.Bytes(), TBarPainter::CachedScreens * screen);
    }
    EXPECT_GT(rendered, 1000);
    EXPECT_GT(cache.Bytes(), screen / 2);

    plan.chart->SetTimeChartDestination(plan.chart->TimeChartStart() - 1, 0, true);
    panel.repaint();
    plan.chart->InvalidateTimeChart(false);
    panel.repaint();
    EXPECT_EQ(plan.chart->BarPainter().redrawcount, 0);
}
