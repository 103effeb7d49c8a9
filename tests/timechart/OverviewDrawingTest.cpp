// The overview's boxes written straight into its image are the painter's pixels:
// box by box against the painter at rows squeezed, one pixel and several pixels
// high, and the whole overview of random plans against the drawing that asked
// the painter for every bar, pass by pass in tree order.
#include "bench/generator/DocumentGenerator.h"
#include "tests/timechart/ChartPixelTest.h"
#include "tests/timechart/ChartTestSupport.h"
#include "timechart/BarPainter.h"
#include "timechart/ChartPainter.h"
#include "timechart/ColorRoutines.h"
#include "timechart/OverviewBoxes.h"

#include <random>

namespace {

constexpr QRgb Background = 0xFF123456;

// The first pixel where two images differ, for the failure message.
::testing::AssertionResult SameImage(const QImage &a, const QImage &b)
{
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                return ::testing::AssertionFailure() << "differ at (" << x << ", " << y << "): " << std::hex
                                                     << a.pixel(x, y) << " against " << b.pixel(x, y);
    return ::testing::AssertionSuccess();
}

QImage Blank(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(Background);
    return image;
}

// A box of `row` `rows` high as the painter draws it: filled, then outlined.
void PainterBox(QPainter &p, const TRect &r, TColor brush, TColor pen)
{
    p.fillRect(QRect(r.Left, r.Top, r.Width(), r.Height()), ToQColor(brush));
    p.setPen(ToQColor(pen));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(r.Left, r.Top, r.Width() - 1, r.Height() - 1));
}

class OverviewDrawingTest : public testsupport::ChartPixelTest, protected charttest::ChartFixture {
protected:
    // The overview of `width` x `height` drawn into an image, clipped to `region`,
    // by the chart's painter (boxes written directly) or by the reference.
    QImage Overview(int width, int height, const QRegion &region, bool reference)
    {
        QImage image = Blank(width, height);
        QPainter p(&image);
        p.setClipRegion(region);
        for (const QRect &r : region)
            p.fillRect(r, Qt::white);
        const int rows = std::max(1, doc->GetRowCount());
        if (height < rows)
            p.scale(1.0, double(height) / rows);
        if (reference) {
            ReferenceOverview(p, width, height);
        } else {
            const TOverviewBoxesPaint direct(chart->BarPainter().OverviewBoxes(), p, image, region);
            chart->Painter().DrawTimeChart(TChartCanvas(p, TCanvasKind::SmallTimeChart), true,
                chart->MinDate(), chart->MaxDate(), 0, width, 0, 0, false, 0, 0, true);
        }
        return image;
    }

    // The overview as drawn before: the background, then every valid task's box
    // through the painter, in tree order, in three passes (shown and selected rows,
    // hidden rows, selected rows).
    void ReferenceOverview(QPainter &p, int width, int height)
    {
        const TChartCanvas canvas(p, TCanvasKind::SmallTimeChart);
        const int rowHeight = std::max(1, height / std::max(1, doc->GetRowCount()));
        chart->Painter().DrawBackgnd(canvas, chart->MinDate(), chart->MaxDate(), 0, rowHeight, width, 0, 0);
        const DocumentTable &tasks = doc->GetTable(tbTable);
        const int full = std::max(1, chart->TimeChartRowHeight(0));
        const int flash = TBarPainter::HighlightPercent(chart->BarPainter().FlashStep());
        auto draw = [&](TNodeData *node) {
            const TRect r = chart->Geometry().ItemRect(
                node, chart->MinDate(), chart->MaxDate(), 0, rowHeight, width, true);
            if (r.IsEmpty() || !canvas.RectVisible(r))
                return;
            TColor brush = ChartCellColor;
            if (doc->HasOverlappingNodes())
                brush = node->nodeOverlapping ? OverlapColor : NotOverlappingColor;
            if (doc->GetActiveTable() == tbTable && tasks.IsSelected(node))
                brush = FadeColorRGB(VisibleContrast(brush), brush, flash);
            const TColor pen
                = FadeColorRGB(clBlack, brush, std::min(100, std::max(0, rowHeight - 2) * 100 / full));
            PainterBox(p, r, brush, pen);
        };
        for (int pass = 0; pass < 3; ++pass)
            for (TNodeData *node : tasks.Rows()) {
                if (!node->nodeValid)
                    continue;
                const bool hidden = tasks.IsHidden(node), selected = tasks.IsSelected(node);
                if ((pass == 0 && (!hidden || selected)) || (pass == 1 && hidden) || (pass == 2 && selected))
                    draw(node);
            }
    }

    void MakePlan(int tasks, int positions, unsigned seed)
    {
        GeneratorOptions options;
        options.tasks = tasks;
        options.absentRows = 0;
        options.positions = positions;
        options.spanDays = 90;
        options.seed = seed;
        GenerateDocument(*doc, options);
        ShowChart(800, 300);
        chart->RunPendingLayoutPasses();
        std::mt19937 random(seed);
        DocumentTable &table = doc->GetTable(tbTable);
        for (TNodeData *node : table.Rows()) {
            table.SetSelected(node, random() % 3 == 0);
            table.SetHidden(node, random() % 4 == 0);
        }
    }
};

} // namespace

// Boxes of one to six pixels in every row of an image that squeezes 700 rows
// into 53 pixels, one that gives each of 40 rows a pixel, and one that gives each
// of 12 rows five: written or drawn, the pixels are the same.
TEST_F(OverviewDrawingTest, WrittenBoxesAreThePaintersPixels)
{
    struct Case {
        int rows, height, rowHeight;
    };
    for (const Case c : { Case { 700, 53, 1 }, Case { 40, 45, 1 }, Case { 12, 60, 5 } }) {
        SCOPED_TRACE(c.rows);
        QImage drawn = Blank(90, c.height), written = Blank(90, c.height);
        QPainter byPainter(&drawn), direct(&written);
        const QRegion clip(0, 0, 90, c.height);
        for (QPainter *p : { &byPainter, &direct })
            if (c.height < c.rows)
                p->scale(1.0, double(c.height) / c.rows);
        TOverviewBoxes boxes;
        ASSERT_TRUE(boxes.Begin(direct, written, clip));
        std::mt19937 random(c.rows);
        int writtenCount = 0;
        for (int row = 0; row < c.rows; ++row)
            for (int k = 0; k < 3; ++k) {
                const int left = int(random() % 88), width = 1 + int(random() % 6);
                const TRect r = Rect(left, row * c.rowHeight, left + width, (row + 1) * c.rowHeight);
                const TColor brush = random() % 2 ? ChartCellColor : OverlapColor;
                const TColor pen = c.rowHeight > 2 ? clBlack : brush;
                PainterBox(byPainter, r, brush, pen);
                if (boxes.Draw(direct, r, brush, pen))
                    ++writtenCount;
                else
                    PainterBox(direct, r, brush, pen);
            }
        boxes.End();
        EXPECT_EQ(writtenCount, 3 * c.rows); // none left to the painter
        EXPECT_TRUE(SameImage(written, drawn));
    }
}

// Random plans with rows selected and hidden, overlapping or not, at a step of
// the selection flash: the overview with its boxes written is the one drawn by
// the painter bar by bar, whole and in parts, squeezed or not.
TEST_F(OverviewDrawingTest, TheOverviewIsTheOneThePainterDrew)
{
    struct Case {
        int tasks, positions, width, height;
    };
    for (const Case c :
        { Case { 600, 250, 500, 70 }, Case { 400, 20, 300, 45 }, Case { 300, 12, 420, 80 } }) {
        SCOPED_TRACE(c.positions);
        MakePlan(c.tasks, c.positions, unsigned(c.tasks));
        for (int overlaps = 0; overlaps < 2; ++overlaps) {
            if (overlaps)
                chart->UpdateOverlappingProc();
            chart->BarPainter().SetFlashStep(overlaps ? 3 : 0);
            const QRegion whole(0, 0, c.width, c.height);
            EXPECT_TRUE(SameImage(
                Overview(c.width, c.height, whole, false), Overview(c.width, c.height, whole, true)));
            QRegion parts(QRect(17, 3, 120, c.height / 2));
            parts += QRect(c.width / 2, c.height / 3, c.width / 3, c.height / 2 + 1);
            EXPECT_TRUE(SameImage(
                Overview(c.width, c.height, parts, false), Overview(c.width, c.height, parts, true)));
        }
    }
}
