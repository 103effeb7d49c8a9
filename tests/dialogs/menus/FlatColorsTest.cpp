// Colour arithmetic and the derived colours, from the pinned palette: button face
// 240, button shadow 160, highlight (0, 120, 215), inactive caption (191, 205, 219).
#include "dialogs/menus/FlatColors.h"

#include "dialogs/menus/FlatMenu.h"

#include <QImage>
#include <gtest/gtest.h>

TEST(FlatColors, NewColorLightensTowardsWhiteRoundingHalvesToEven)
{
    // 255 * 30 / 100 = 76.5 -> 76; 160 + 95 * 10 / 100 = 169.5 -> 170.
    EXPECT_EQ(NewColor(clBlack, 30), RGB(76, 76, 76));
    EXPECT_EQ(NewColor(clBtnShadow, 10), RGB(170, 170, 170));
    EXPECT_EQ(NewColor(RGB(0, 120, 215), 68), RGB(173, 212, 242));
    EXPECT_EQ(NewColor(clHighlight, 68), RGB(173, 212, 242));
    // Percent capped at 100.
    EXPECT_EQ(NewColor(RGB(0, 100, 200), 150), clWhite);
    EXPECT_EQ(NewColor(RGB(10, 20, 30), 0), RGB(10, 20, 30));
}

TEST(FlatColors, ShadeDarkensGreenTwoLessAndClamps)
{
    EXPECT_EQ(GetShadeColor(RGB(100, 100, 100), 10), RGB(90, 92, 90));
    EXPECT_EQ(GetShadeColor(RGB(5, 1, 250), 10), RGB(0, 0, 240));
    EXPECT_EQ(GetShadeColor(RGB(255, 255, 255), 1), RGB(254, 255, 254));
    EXPECT_EQ(GetShadeColor(clBtnFace, 90), RGB(150, 152, 150));
}

TEST(FlatColors, GrayLevelIsMeanPlusAmountAtMost240)
{
    EXPECT_EQ(GrayColor(RGB(10, 20, 30), 5), RGB(25, 25, 25));
    EXPECT_EQ(GrayColor(RGB(10, 20, 31), 0), RGB(20, 20, 20)); // 61 div 3
    EXPECT_EQ(GrayColor(clWhite, 10), RGB(240, 240, 240));
}

TEST(FlatColors, MergColorTruncatesEachShareBeforeAdding)
{
    EXPECT_EQ(MergColor({ clWhite, RGB(1, 3, 5) }), RGB(127, 128, 129));
    EXPECT_EQ(MergColor({ RGB(200, 0, 0), RGB(200, 0, 0), RGB(200, 0, 0) }), RGB(198, 0, 0));
    EXPECT_EQ(MergColor({ clBtnFace, clWindow }), RGB(247, 247, 247));
}

TEST(FlatColors, TopMenuFontColorOnDarkBarsOnly)
{
    const TColor font = RGB(1, 2, 3);
    // Mean of red and blue below 151, green at most 200: 100 + 155 * .9 = 239.5 -> 240.
    EXPECT_EQ(TopMenuFontColor(RGB(100, 200, 100), font), RGB(240, 250, 240));
    EXPECT_EQ(TopMenuFontColor(RGB(150, 0, 151), font), NewColor(RGB(150, 0, 151), 90));
    EXPECT_EQ(TopMenuFontColor(RGB(100, 201, 100), font), font);
    EXPECT_EQ(TopMenuFontColor(RGB(151, 0, 151), font), font);
    EXPECT_EQ(TopMenuFontColor(clBtnFace, font), font);
}

TEST(FlatColors, BitmapsChangeEveryPixelAndKeepTransparency)
{
    QImage image(2, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgba(10, 20, 30, 255));
    image.setPixel(1, 0, qRgba(0, 0, 0, 0));
    QImage gray = image;
    GrayBitmap(gray, 5);
    EXPECT_EQ(gray.pixel(0, 0), qRgba(25, 25, 25, 255));
    EXPECT_EQ(qAlpha(gray.pixel(1, 0)), 0);
    QImage dim = image;
    DimBitmap(dim, 150);
    EXPECT_EQ(dim.pixel(0, 0), qRgba(255, 255, 255, 255));
    EXPECT_EQ(qAlpha(dim.pixel(1, 0)), 0);
}

TEST(FlatColors, DerivedFromSystemColors)
{
    TFlatMenu menu(nullptr);
    menu.SetGlobalColor();
    const TFlatMenuColors &k = menu.Colors();
    EXPECT_EQ(k.FFColor, RGB(253, 253, 253)); // 240 + 15 * .86 = 252.9
    EXPECT_EQ(k.FFIconBackColor, RGB(242, 242, 242));
    EXPECT_EQ(k.FFSelectColor, RGB(173, 212, 242));
    EXPECT_EQ(k.FFSelectBorderColor, RGB(0, 120, 215));
    EXPECT_EQ(k.FFMenuBarColor, RGB(240, 240, 240));
    EXPECT_EQ(k.FFDisabledColor, RGB(170, 170, 170));
    EXPECT_EQ(k.FFSeparatorColor, RGB(184, 184, 184)); // 160 + 95 * .25 = 183.75
    EXPECT_EQ(k.FFCheckedColor, RGB(0, 120, 215));
    EXPECT_EQ(k.FCheckedAreaColor, RGB(204, 228, 247));
    EXPECT_EQ(k.FCheckedAreaSelectColor, RGB(128, 188, 235)); // 127.5 -> 128, 187.5 -> 188
    EXPECT_EQ(k.FMenuBorderColor, RGB(150, 152, 150));
    EXPECT_EQ(k.FMenuShadowColor, RGB(164, 166, 164));
    EXPECT_EQ(k.FDimParentColor, 16);
    EXPECT_EQ(k.FDimParentColorSelect, 40);

    menu.SetIs16Bit(false);
    const TFlatMenuColors &low = menu.Colors();
    EXPECT_EQ(low.FFColor, clWhite);
    EXPECT_EQ(low.FFIconBackColor, RGB(240, 240, 240));
    EXPECT_EQ(low.FFSelectColor, clWhite);
    EXPECT_EQ(low.FFSelectBorderColor, RGB(0, 120, 215));
    EXPECT_EQ(low.FFSeparatorColor, RGB(160, 160, 160));
    EXPECT_EQ(low.FFDisabledColor, RGB(160, 160, 160));
    EXPECT_EQ(low.FCheckedAreaColor, clWhite);
    EXPECT_EQ(low.FCheckedAreaSelectColor, clWhite);
    EXPECT_EQ(low.FMenuBorderColor, RGB(160, 160, 160));
}

TEST(FlatColors, DerivedFromProperties)
{
    TFlatMenu menu(nullptr);
    menu.SetUseSystemColors(false);
    menu.SetColor(clCream);
    menu.SetSelectColor(RGB(0, 120, 215));
    menu.SetDisabledColor(clGray);
    const TFlatMenuColors &k = menu.Colors();
    EXPECT_EQ(k.FFColor, clCream);
    EXPECT_EQ(k.FFIconBackColor, RGB(240, 240, 240)); // the property's button face
    EXPECT_EQ(k.FFDisabledColor, clGray);
    EXPECT_EQ(k.FFSelectFontColor, ColorToRGB(clMenuText));
    EXPECT_EQ(k.FCheckedAreaColor, RGB(0, 120, 215));
    EXPECT_EQ(k.FCheckedAreaSelectColor, RGB(0, 120, 215));
    EXPECT_EQ(k.FMenuShadowColor, RGB(164, 166, 164));

    menu.SetUseDimColor(true);
    EXPECT_EQ(menu.Colors().FCheckedAreaColor, RGB(173, 212, 242));
    EXPECT_EQ(menu.Colors().FCheckedAreaSelectColor, RGB(128, 188, 235));

    menu.SetIs16Bit(false);
    EXPECT_EQ(menu.Colors().FCheckedAreaColor, clWhite);
    EXPECT_EQ(menu.Colors().FCheckedAreaSelectColor, clSilver);
    EXPECT_EQ(menu.Colors().FMenuShadowColor, RGB(160, 160, 160));
}
