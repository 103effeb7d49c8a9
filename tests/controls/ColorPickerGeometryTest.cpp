// Layout, combs, hit tests and the keyboard cycle of the colour picker, with every
// number worked out by hand for cells of 18 pixels and edges of 2.
#include "controls/ColorPickerGeometry.h"

#include <gtest/gtest.h>

namespace {

constexpr int Mix = TColorPickerGeometry::CustomCell;
constexpr int Default = TColorPickerGeometry::DefaultCell;

// The picker as the program shows it: no system colours, no default text, the mix
// caption with a text of 50 x 12 pixels.
TColorPickerGeometry Standard()
{
    TColorPickerGeometry g;
    g.AdjustWindow(false, std::nullopt, QSize(50, 12));
    return g;
}

TRect CellRect(const TColorPickerGeometry &g, int index)
{
    TRect r;
    EXPECT_TRUE(g.GetCellRect(index, r)) << index;
    return r;
}

} // namespace

TEST(ColorPickerGeometry, WindowCellsCaptionAndMixArea)
{
    const TColorPickerGeometry g = Standard();
    // 8 x 18 + 2 x 2 + 2 x 8 wide; the caption box 12 + 4 x 2 + 2 high, 6 below the grid.
    EXPECT_EQ(g.WindowRect(), Rect(0, 0, 164, 126));
    EXPECT_EQ(CellRect(g, 0), Rect(10, 4, 28, 22));
    EXPECT_EQ(CellRect(g, 9), Rect(28, 22, 46, 40));
    EXPECT_EQ(CellRect(g, 39), Rect(136, 76, 154, 94));
    EXPECT_EQ(CellRect(g, Mix), Rect(10, 100, 154, 122));
    TRect untouched = Rect(1, 2, 3, 4);
    EXPECT_FALSE(g.GetCellRect(-1, untouched));
    EXPECT_FALSE(g.GetCellRect(Default, untouched));
    EXPECT_FALSE(g.GetCellRect(40, untouched));
    EXPECT_EQ(untouched, Rect(1, 2, 3, 4));
    EXPECT_EQ(g.GetRow(39), 4);
    EXPECT_EQ(g.GetRow(Mix), Mix);
    // The mix colour box: an 18 square at the caption's right end less 2, centred, shrunk by 3.
    EXPECT_EQ(g.CustomColorRect(), Rect(137, 105, 149, 117));

    // Radius 8 x 18 x 7 / 16, comb size round(63 / 6 + 0.5).
    EXPECT_EQ(g.Radius(), 63);
    EXPECT_EQ(g.CombSize(), 11);
    EXPECT_EQ(g.ColorCombRect(), Rect(10, 126, 136, 252));
    // Right edge round(cos 30 x 17 x 11 / 2) + 66 = 147.
    EXPECT_EQ(g.BWCombRect(), Rect(10, 248, 147, 274));
    EXPECT_EQ(g.SliderRect(), Rect(136, 137, 156, 241));
    EXPECT_EQ(g.PopupHeight(false), 126);
    EXPECT_EQ(g.PopupHeight(true), 278);
    EXPECT_EQ(g.MixAreaRect(), Rect(0, 126, 164, 278));
}

TEST(ColorPickerGeometry, SystemRowsDefaultTextAndLongCaptions)
{
    TColorPickerGeometry g;
    g.AdjustWindow(true, std::nullopt, std::nullopt);
    // 98 for the grid plus 4 x 18 + 4 for the system rows, which start 6 below the grid.
    EXPECT_EQ(g.WindowRect(), Rect(0, 0, 164, 174));
    EXPECT_EQ(CellRect(g, 40), Rect(10, 100, 28, 118));
    EXPECT_EQ(g.GetRow(40), 5);
    EXPECT_EQ(g.GetColumn(40), 0);
    EXPECT_EQ(CellRect(g, 64), Rect(10, 154, 28, 172));
    EXPECT_EQ(g.SystemSeparatorY(), 96);

    // A default text of 12 pixels: its box (10, 4, 154, 26) pushes the cells down by 22.
    g.AdjustWindow(false, QSize(60, 12), QSize(50, 12));
    EXPECT_EQ(CellRect(g, Default), Rect(10, 4, 154, 26));
    EXPECT_EQ(CellRect(g, 0), Rect(10, 26, 28, 44));
    EXPECT_EQ(CellRect(g, Mix), Rect(10, 122, 154, 144));
    EXPECT_EQ(g.WindowRect(), Rect(0, 0, 164, 148));

    // A long caption widens the window to keep a box's width free on both sides.
    g.AdjustWindow(false, std::nullopt, QSize(200, 12));
    EXPECT_EQ(g.WindowRect().Width(), 200 + 2 * 20 + 2 * 10);
    EXPECT_EQ(CellRect(g, Mix), Rect(10, 100, 250, 122));
    EXPECT_EQ(CellRect(g, 7), Rect(136, 4, 154, 22));
}

TEST(ColorPickerGeometry, ColorCombRingsAndColors)
{
    TColorPickerGeometry g = Standard();
    const auto &comb = g.ColorCombs();
    ASSERT_EQ(comb.size(), 127u);
    const auto expect = [&](std::size_t i, QPoint p, TColor c) {
        EXPECT_EQ(comb[i].Position, p) << "entry " << i;
        EXPECT_EQ(comb[i].Color, c) << "entry " << i;
    };
    // Corners 54.56 (cos 30 x 63) from the centre; rings 9.09 apart.
    expect(0, { 0, 0 }, 0xFFFFFF);
    // Ring 1, sector 0: a sixth of the way to magenta; green 255 x 5/6 = 212.5 -> 212.
    expect(1, { 9, 0 }, 0xFFD4FF);
    // Sector 0's outer ring runs from magenta at the right corner towards red.
    expect(16, { 55, 0 }, 0xFF00FF);
    // 4/6 of the way: y = 31.5 -> 32, blue 85.
    expect(20, { 36, 32 }, 0x5500FF);
    // 5/6 of the way: (31.83, 39.38), blue 42.5 -> 42.
    expect(21, { 32, 39 }, 0x2A00FF);
    // Sector 1 starts with its first ring, a sixth of the way to red.
    expect(22, { 5, 8 }, 0xD4D4FF);
    expect(37, { 27, 47 }, 0x0000FF);
    // The last entry closes the ring from blue back towards magenta: red 212.5 -> 212.
    expect(126, { 50, -8 }, 0xFF00D4);

    // Half brightness: the centre 127.5 -> 128; corners keep their colours.
    g.SetCenterIntensity(0.5);
    expect(0, { 0, 0 }, 0x808080);
    expect(1, { 9, 0 }, 0x956A95);
    expect(16, { 55, 0 }, 0xFF00FF);
}

TEST(ColorPickerGeometry, BlackAndWhiteComb)
{
    const TColorPickerGeometry g = Standard();
    const auto &bw = g.BWCombs();
    ASSERT_EQ(bw.size(), 17u);
    // dx = round(4.76) = 5, dy = round(8.25) = 8; greys at y 6 and 14 by turns.
    EXPECT_EQ(bw[0].Position, QPoint(11, 11));
    EXPECT_EQ(bw[0].Color, 0xFFFFFFu);
    EXPECT_EQ(bw[1].Position, QPoint(33, 6));
    EXPECT_EQ(bw[2].Position, QPoint(38, 14));
    EXPECT_EQ(bw[2].Color, 0xD2D2D2u);
    EXPECT_EQ(bw[15].Position, QPoint(103, 6));
    EXPECT_EQ(bw[15].Color, 0x0F0F0Fu);
    EXPECT_EQ(bw[16].Position, QPoint(124, 11));
    EXPECT_EQ(bw[16].Color, 0u);
}

TEST(ColorPickerGeometry, HexagonsSliderAndMarker)
{
    TColorPickerGeometry g = Standard();
    // Corners 5.5 above and below the centre (194.5 -> 194, 183.5 -> 184), sides at
    // 4.76 left and right, 2.75 up and down.
    const QPolygon expected({ { 73, 194 }, { 78, 192 }, { 78, 186 }, { 73, 184 }, { 68, 186 }, { 68, 192 } });
    EXPECT_EQ(g.CombPolygon(73, 189, 11), expected);

    // 104 lines, white to black; line 51: round(52 x 255 / 103) = 129.
    EXPECT_EQ(g.SliderLineCount(), 104);
    EXPECT_EQ(g.SliderGrey(0), 255);
    EXPECT_EQ(g.SliderGrey(51), 129);
    EXPECT_EQ(g.SliderGrey(103), 0);
    EXPECT_EQ(g.MarkerY(1.0), 137);
    EXPECT_EQ(g.MarkerY(0.5), 189); // 51.5 -> 52
    EXPECT_DOUBLE_EQ(g.IntensityAt(189), 0.5);
    EXPECT_DOUBLE_EQ(g.IntensityAt(400), 0.0);
}

TEST(ColorPickerGeometry, PointsToCellsCaptionsAndCombs)
{
    const TColorPickerGeometry g = Standard();
    EXPECT_EQ(g.SelectionFromPoint({ 10, 4 }), 0);
    EXPECT_EQ(g.SelectionFromPoint({ 28, 4 }), 1);
    EXPECT_EQ(g.SelectionFromPoint({ 100, 110 }), Mix);
    // Margins around the grid and the gap above the caption belong to no cell.
    EXPECT_EQ(g.SelectionFromPoint({ 9, 10 }), -1);
    EXPECT_EQ(g.SelectionFromPoint({ 20, 3 }), -1);
    EXPECT_EQ(g.SelectionFromPoint({ 156, 10 }), -1);
    EXPECT_EQ(g.SelectionFromPoint({ 50, 96 }), -1);

    TColorPickerGeometry sys;
    sys.AdjustWindow(true, std::nullopt, std::nullopt);
    EXPECT_EQ(sys.SelectionFromPoint({ 10, 97 }), -1);
    EXPECT_EQ(sys.SelectionFromPoint({ 10, 100 }), 40);
    EXPECT_EQ(sys.SelectionFromPoint({ 10, 154 }), 64);
    EXPECT_EQ(sys.SelectionFromPoint({ 30, 154 }), -1);

    // Colour comb around (73, 189), radius 5: magenta's centre at (128, 189), a point
    // exactly 5 away still hits, one 6 away hits nothing.
    EXPECT_EQ(g.FindColorArea(128, 189), 16);
    EXPECT_EQ(g.FindColorArea(131, 193), 16);
    EXPECT_EQ(g.FindColorArea(134, 189), -1);
    EXPECT_EQ(g.FindColorArea(105, 228), 21);
    // Black-and-white comb from (10, 248): white and black with radius 11, greys 5.
    EXPECT_EQ(g.FindBWArea(32, 259), 0);
    EXPECT_EQ(g.FindBWArea(33, 259), -1);
    EXPECT_EQ(g.FindBWArea(48, 262), 2);
    EXPECT_EQ(g.FindBWArea(145, 259), 16);
    EXPECT_TRUE(TColorPickerGeometry::PtInComb({ { 0, 0 }, 0 }, { 3, -4 }, 5));
    EXPECT_FALSE(TColorPickerGeometry::PtInComb({ { 0, 0 }, 0 }, { 4, -4 }, 5));
}

TEST(ColorPickerGeometry, ArrowKeysCycleThroughGridAndCaptions)
{
    using K = TPickerKey;
    const TColorPickerGeometry g = Standard();
    EXPECT_EQ(g.MoveHover(7, K::Right), 8); // last column -> first of the next row
    EXPECT_EQ(g.MoveHover(39, K::Right), Mix);
    EXPECT_EQ(g.MoveHover(Mix, K::Right), 0);
    EXPECT_EQ(g.MoveHover(0, K::Left), Mix);
    EXPECT_EQ(g.MoveHover(Mix, K::Left), 39);
    EXPECT_EQ(g.MoveHover(5, K::Up), Mix);
    EXPECT_EQ(g.MoveHover(33, K::Down), Mix);
    EXPECT_EQ(g.MoveHover(Mix, K::Down), 0);
    EXPECT_EQ(g.MoveHover(-1, K::Left), 0);

    TColorPickerGeometry both;
    both.AdjustWindow(false, QSize(60, 12), QSize(50, 12));
    EXPECT_EQ(both.MoveHover(39, K::Right), Mix);
    EXPECT_EQ(both.MoveHover(Mix, K::Right), Default);
    EXPECT_EQ(both.MoveHover(Default, K::Down), 0);
    EXPECT_EQ(both.MoveHover(0, K::Left), Default);
    EXPECT_EQ(both.MoveHover(Default, K::Up), Mix);
    EXPECT_EQ(both.MoveHover(Mix, K::Left), 39);

    TColorPickerGeometry bare;
    bare.AdjustWindow(false, std::nullopt, std::nullopt);
    EXPECT_EQ(bare.MoveHover(39, K::Right), 0);
    EXPECT_EQ(bare.MoveHover(0, K::Up), 39);

    TColorPickerGeometry sys;
    sys.AdjustWindow(true, std::nullopt, QSize(50, 12));
    EXPECT_EQ(sys.MoveHover(39, K::Right), 40);
    EXPECT_EQ(sys.MoveHover(40, K::Up), 32);
    EXPECT_EQ(sys.MoveHover(56, K::Down), 64);
    EXPECT_EQ(sys.MoveHover(57, K::Down), Mix);
    EXPECT_EQ(sys.MoveHover(Mix, K::Left), 64);

    // A hovered system cell exists only while the system colours are shown.
    EXPECT_EQ(g.HoverIndexFor(45), -1);
    EXPECT_EQ(sys.HoverIndexFor(45), 45);
    EXPECT_EQ(sys.HoverIndexFor(65), -1);
}

TEST(ColorPickerGeometry, FindingAColor)
{
    const TColorPickerGeometry g = Standard();
    const auto found = [&](TColor c) { return g.FindColor(c).Index; };
    EXPECT_EQ(found(0x0066FF), 9); // Orange
    EXPECT_EQ(found(0xFF00FF), 24); // Pink in the grid before magenta in the comb
    EXPECT_EQ(found(0xFFFFFF), 39); // White in the grid before white in the comb
    EXPECT_EQ(found(clDefault), Default);
    EXPECT_EQ(found(0x123456), -1);
    // A system colour is found by its value while the system rows are hidden.
    EXPECT_EQ(found(clWindow), 39);
    EXPECT_EQ(found(clBtnFace), -1);

    const auto grey = g.FindColor(0xD2D2D2);
    EXPECT_EQ(grey.Index, Mix);
    EXPECT_EQ(grey.CustomIndex, -3);
    const auto comb = g.FindColor(0x2A00FF);
    EXPECT_EQ(comb.Index, Mix);
    EXPECT_EQ(comb.CustomIndex, 22);
    EXPECT_EQ(g.CustomColor(22), 0x2A00FFu);
    EXPECT_EQ(g.CustomColor(0), std::nullopt);
    EXPECT_EQ(g.CustomColor(128), std::nullopt);

    TColorPickerGeometry sys;
    sys.AdjustWindow(true, std::nullopt, std::nullopt);
    EXPECT_EQ(sys.FindColor(clWindow).Index, 45);
    EXPECT_EQ(sys.FindColor(clBtnFace).Index, 55);
}

TEST(ColorPickerGeometry, PopupGoesBelowElseAboveAndStaysOnScreen)
{
    const TRect screen = Rect(0, 0, 800, 600);
    const QSize size(164, 126);
    const auto place = [&](TRect dest) { return TColorPickerGeometry::PopupPlacement(dest, size, screen); };
    EXPECT_EQ(place(Rect(100, 100, 150, 120)), Rect(100, 120, 264, 246));
    EXPECT_EQ(place(Rect(100, 500, 150, 520)), Rect(100, 374, 264, 500));
    EXPECT_EQ(place(Rect(700, 100, 750, 120)), Rect(636, 120, 800, 246));
    EXPECT_EQ(place(Rect(-20, 100, 30, 120)), Rect(0, 120, 164, 246));
    // Fits neither below nor above: kept whole on the screen.
    EXPECT_EQ(TColorPickerGeometry::PopupPlacement(Rect(10, 100, 60, 120), QSize(164, 550), screen),
        Rect(10, 0, 174, 550));
}
