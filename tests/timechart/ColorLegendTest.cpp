#include "timechart/ColorLegend.h"

#include "tests/timechart/ChartPixelTest.h"
#include "timechart/CanvasPanel.h"

#include <set>

namespace {

constexpr TColor Face = 0xF0F0F0; // between the swatches
constexpr TColor Light = 0xFFFFFF; // raised inner edge, left and top
constexpr TColor Shadow = 0xA0A0A0; // raised inner edge, right and bottom
const std::vector<TColor> ThreeColors = { clRed, clLime, 0xF0E5CC };

class SelectedColors : public ISelectedColors {
public:
    explicit SelectedColors(std::set<int> indexes)
        : m_indexes(std::move(indexes))
    { }
    bool AnySelectedColorIndex(const std::function<bool(int)> &visit) const override
    {
        return std::any_of(m_indexes.begin(), m_indexes.end(), visit);
    }

private:
    std::set<int> m_indexes;
};

class ColorLegendTest : public testsupport::ChartPixelTest {
protected:
    // A legend panel as the main window shows it, rendered.
    QImage Legend(int count, const std::vector<TColor> &colors, int width, const QString &name,
        const TLegendHighlight *highlight = nullptr)
    {
        TCanvasPanel panel;
        panel.SetColor(Face);
        panel.resize(width, 16);
        panel.SetOnPaint([&](TCanvasPanel &sender, QPainter &canvas, const QRegion &) {
            PaintColorLegend(
                canvas, TLegendLayout(count, sender.width(), sender.height()), colors, highlight);
        });
        return Keep(testsupport::RenderWidget(panel), name);
    }
};

} // namespace

TEST(ColorLegendLayout, SwatchesLeaveAQuarterOfEachCellAsGap)
{
    EXPECT_EQ(LegendColorCount(tbTable, 5, 12), 5);
    EXPECT_EQ(LegendColorCount(tbTable, 0, 12), 12);
    EXPECT_EQ(LegendColorCount(tbExclude, 5, 3), 3);
    EXPECT_EQ(LegendWidth(5, 300, 800), 100);
    EXPECT_EQ(LegendWidth(12, 300, 200), 0);

    // Three in 60 pixels: cells of 20, swatches of 15, gaps of 5.
    const TLegendLayout layout(3, 60, 16);
    EXPECT_EQ(layout.SwatchRect(1), Rect(20, 0, 35, 16));
    const std::pair<QPoint, int> hits[]
        = { { { 0, 0 }, 0 }, { { 14, 15 }, 0 }, { { 15, 8 }, -1 }, { { 19, 8 }, -1 }, { { 20, 8 }, 1 },
              { { 54, 8 }, 2 }, { { 55, 8 }, -1 }, { { 30, 16 }, -1 }, { { -1, 8 }, -1 } };
    for (const auto &[point, swatch] : hits)
        EXPECT_EQ(layout.SwatchAt(point), swatch) << point.x() << "," << point.y();

    // Twelve squeezed into a tool bar with 120 pixels left: cells of 10, swatches of 7.
    const TLegendLayout narrow(12, LegendWidth(12, 100, 220), 16);
    EXPECT_EQ(narrow.Cell(), 10);
    EXPECT_EQ(narrow.SwatchAt({ 6, 8 }), 0);
    EXPECT_EQ(narrow.SwatchAt({ 7, 8 }), -1);
    EXPECT_EQ(narrow.SwatchAt({ 116, 8 }), 11);

    // More colours than pixels: cells and swatches of one pixel; none, no hits.
    EXPECT_EQ(TLegendLayout(30, 20, 16).SwatchRect(5), Rect(5, 0, 6, 16));
    EXPECT_EQ(TLegendLayout(0, 60, 16).SwatchAt({ 5, 3 }), -1);
}

TEST_F(ColorLegendTest, SwatchesShowTheirColoursInARaisedEdge)
{
    const QImage image = Legend(3, ThreeColors, 60, "legend");
    EXPECT_PIXEL(image, 7, 8, clRed);
    EXPECT_PIXEL(image, 27, 8, clLime);
    EXPECT_PIXEL(image, 47, 8, 0xF0E5CC);
    ExpectPixels(image, Light, { { 0, 0 }, { 0, 14 } });
    ExpectPixels(image, Shadow, { { 14, 8 }, { 7, 15 } });
    EXPECT_PIXEL(image, 17, 8, Face);
    // An item past the colour list is grey.
    EXPECT_PIXEL(Legend(3, { clRed }, 60, "missing"), 47, 8, LegendMissingColor);
    // No colours, nothing drawn; 30 colours in 20 pixels still show one pixel each.
    EXPECT_PIXEL(Legend(0, {}, 60, "empty"), 7, 8, Face);
    std::vector<TColor> colors(30, clBlue);
    colors[5] = clRed;
    const QImage tiny = Legend(30, colors, 20, "tiny");
    EXPECT_PIXEL(tiny, 5, 8, clRed);
    ExpectPixels(tiny, clBlue, { { 4, 8 }, { 19, 8 } });
}

// At 50 % a selected colour lies halfway to its contrast colour, black for both:
// red 0 + Round(255 * 0.5) = 128; 0xF0E5CC to blue 0x78, green 114.5 = 0x72, red 0x66.
TEST_F(ColorLegendTest, SelectedColoursFadeDuringTheFlash)
{
    const SelectedColors selected({ 0, 2, 7 });
    EXPECT_TRUE(IsColorSelected(selected, 2));
    EXPECT_FALSE(IsColorSelected(selected, 1));
    const TLegendHighlight half { 50, selected };
    const QImage image = Legend(3, ThreeColors, 60, "flash50", &half);
    EXPECT_PIXEL(image, 7, 8, 0x000080);
    EXPECT_PIXEL(image, 27, 8, clLime);
    EXPECT_PIXEL(image, 47, 8, 0x787266);
    const TLegendHighlight full { 100, selected };
    EXPECT_PIXEL(Legend(3, ThreeColors, 60, "flash100", &full), 7, 8, clRed);
}
