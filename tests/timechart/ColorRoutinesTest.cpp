#include "timechart/ColorRoutines.h"

#include <QColor>
#include <gtest/gtest.h>
#include <random>

namespace {

// A coarse grid over the colour cube plus random colours.
std::vector<TColor> SampleColors()
{
    std::vector<TColor> colors;
    for (int r = 0; r <= 255; r += 51)
        for (int g = 0; g <= 255; g += 51)
            for (int b = 0; b <= 255; b += 51)
                colors.push_back(RGB(r, g, b));
    std::mt19937 random(21);
    for (int i = 0; i < 3000; ++i)
        colors.push_back(random() & 0xFFFFFF);
    return colors;
}

} // namespace

TEST(ColorRoutines, HsvOfPrimariesAndGreys)
{
    EXPECT_DOUBLE_EQ(ColorToHSV(0xFF0000).h, 240);
    EXPECT_DOUBLE_EQ(ColorToHSV(0xFF00FF).h, 300); // red is largest, g - b negative: + 360
    EXPECT_EQ(ColorToHSV(0x808080).s, 0);
    EXPECT_EQ(ColorToHSV(0).s, 0); // black: no division by a zero maximum
    EXPECT_EQ(HSVToColor({ 360, 1, 1, 0 }), 0x0000FFu); // 360 degrees count as 0
    EXPECT_EQ(HSVToColor({ 0, 0, 0.5, 0 }), 0x808080u); // 127.5 rounds to even
    EXPECT_EQ(HSVToColor(ColorToHSV(clBtnFace)), GetSysColor(COLOR_BTNFACE));
}

// Qt keeps hue in hundredths of a degree; the doubles must agree within that.
TEST(ColorRoutines, HsvRoundTripsAndAgreesWithQt)
{
    for (const TColor color : SampleColors()) {
        const THSV hsv = ColorToHSV(color);
        ASSERT_EQ(HSVToColor(hsv), color) << std::hex << color;
        float h = 0, s = 0, v = 0;
        QColor(GetRValue(color), GetGValue(color), GetBValue(color)).getHsvF(&h, &s, &v);
        ASSERT_NEAR(hsv.v, v, 1e-4) << std::hex << color;
        ASSERT_NEAR(hsv.s, s, 1e-4) << std::hex << color;
        if (hsv.s > 0) {
            ASSERT_NEAR(hsv.h, h * 360, 0.02) << std::hex << color;
        }
    }
}

TEST(ColorRoutines, FlashColorMovesTheValue)
{
    EXPECT_EQ(FlashColor(0x808080, 100), clWhite);
    EXPECT_EQ(FlashColor(0x7362D6, -100), clBlack);
    EXPECT_EQ(FlashColor(0x7362D6, 0), 0x7362D6u);
    EXPECT_EQ(FlashColor(0xE0CA92, -50), 0x706549u); // each channel halved: 146, 202, 224
    EXPECT_EQ(FlashColor(0x000065, 50), 0x0000B2u); // 101 + (255 - 101) / 2 = 178
    EXPECT_EQ(FlashColor(0x404040, -150), clBlack);
    EXPECT_EQ(FlashColor(0x404040, 150), clWhite);
    // With hue and saturation kept, every channel scales like the value.
    for (const int percent : { -75, -25, -1, 1, 30, 90 }) {
        for (const TColor color : SampleColors()) {
            const double v = std::max({ GetRValue(color), GetGValue(color), GetBValue(color) }) / 255.0;
            const double newV = percent > 0 ? v + (1 - v) * percent / 100 : v * (1 + percent / 100.0);
            const TColor flashed = FlashColor(color, percent);
            for (const auto channel : { GetRValue, GetGValue, GetBValue }) {
                const double expected = v == 0 ? channel(flashed) : channel(color) * newV / v;
                ASSERT_LE(std::abs(channel(flashed) - expected), 0.5 + 1e-9)
                    << std::hex << color << " " << percent;
            }
        }
    }
}

TEST(ColorRoutines, FadeAndContrast)
{
    EXPECT_EQ(FadeColorRGB(0x0000FF, 0xFFFFFF, 50), 0x7F7FFFu); // 255 + Round(-127.5) = 255 - 128
    EXPECT_EQ(FadeColorRGB(0x123456, 0xABCDEF, 100), 0x123456u);
    EXPECT_EQ(FadeColorRGB(0x123456, 0xABCDEF, 0), 0xABCDEFu);
    EXPECT_EQ(FadeColorRGB(0xFFFFFF, 0x0A0A0A, 77), 0xC7C7C7u); // 10 + Round(188.65)
    EXPECT_EQ(VisibleContrast(0xF0E5CC), clBlack);
    EXPECT_EQ(VisibleContrast(0x706449), clWhite);
    EXPECT_EQ(VisibleContrast(RGB(0, 0, 204)), clWhite); // value exactly 0.8
    EXPECT_EQ(VisibleContrast(RGB(0, 205, 0)), clBlack);
}
