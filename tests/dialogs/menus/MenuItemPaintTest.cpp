// One item painted into an image at points worked out from the item layout. The
// drop-down item's rectangle is (10, 5)-(160, 28): 150 x 23, icon column 24 wide;
// it is composed 4 pixels wider to the left, so composition x = image x - 6 and
// composition y = image y - 5.
#include "dialogs/menus/FlatMenu.h"
#include "dialogs/menus/MenuItemOptions.h"
#include "tests/dialogs/menus/PinnedMenuColors.h"
#include "tests/support/PixelTest.h"

#include <QIcon>
#include <QPainter>
#include <gtest/gtest.h>

using testsupport::MakeCanvas;
using testsupport::PixelAt;

namespace {

using namespace menutest;
constexpr TRect ItemRect = Rect(10, 5, 160, 28);

struct TItemCanvas {
    TFlatMenu Menu { nullptr };
    QImage Image = MakeCanvas(200, 40, clFuchsia);

    TItemCanvas() { Menu.UseMainWindowSettings(); }

    void Paint(const TMenuItemInfo &item, const TRect &rect = ItemRect, bool selected = false)
    {
        QPainter painter(&Image);
        Menu.MenueDrawItem(painter, item, rect, selected);
    }
    TColor At(int x, int y) const { return PixelAt(Image, x, y); }
    // Pixels in the rectangle whose channels all lie within `tolerance` of `color`
    // (text is smoothed: only some of its pixels have the text colour itself).
    int Count(TColor color, const TRect &r, int tolerance = 0) const
    {
        int n = 0;
        for (int y = r.Top; y < r.Bottom; ++y) {
            for (int x = r.Left; x < r.Right; ++x) {
                const TColor p = At(x, y);
                n += std::abs(GetRValue(p) - GetRValue(color)) <= tolerance
                    && std::abs(GetGValue(p) - GetGValue(color)) <= tolerance
                    && std::abs(GetBValue(p) - GetBValue(color)) <= tolerance;
            }
        }
        return n;
    }
    int Ink(const TRect &r) const { return Count(clBlack, r, 90); }
};

TMenuItemInfo Item(const QString &caption)
{
    TMenuItemInfo item;
    item.Caption = caption;
    return item;
}

// An item's own bitmap in `color` whose bottom-left pixel (white) marks what is
// transparent, as the item gets it.
QImage KeyedImage(int width, int height, TColor color)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(ToQColor(color));
    image.setPixel(0, height - 1, qRgb(255, 255, 255));
    return ItemImage(QIcon(), image);
}

} // namespace

TEST(MenuItemPaint, PlainItemHasIconColumnAndFourPixelStrip)
{
    TItemCanvas c;
    c.Paint(Item(QStringLiteral("&Open")));
    EXPECT_EQ(c.At(7, 10), Background); // the strip left of the item
    EXPECT_EQ(c.At(10, 10), IconBack);
    EXPECT_EQ(c.At(33, 27), IconBack);
    EXPECT_EQ(c.At(34, 5), Background);
    EXPECT_EQ(c.At(159, 27), Background);
    EXPECT_EQ(c.At(160, 10), clFuchsia);
    EXPECT_EQ(c.At(10, 28), clFuchsia);
    EXPECT_GT(c.Ink(Rect(36, 5, 100, 28)), 5); // the caption, after column and blank
    EXPECT_EQ(c.Ink(Rect(6, 5, 36, 28)), 0);
}

TEST(MenuItemPaint, SelectionRectangleLeavesTopRow)
{
    TItemCanvas c;
    c.Paint(Item(QStringLiteral("Save")), ItemRect, true);
    EXPECT_EQ(c.At(50, 5), Background);
    EXPECT_EQ(c.At(20, 5), IconBack);
    EXPECT_EQ(c.At(50, 6), Highlight);
    EXPECT_EQ(c.At(50, 27), Highlight);
    EXPECT_EQ(c.At(10, 15), Highlight);
    EXPECT_EQ(c.At(159, 15), Highlight);
    EXPECT_EQ(c.At(20, 15), Select);
    EXPECT_EQ(c.At(158, 7), Select);

    // With the flat menu border the rectangle ends a pixel earlier.
    TItemCanvas flat;
    flat.Menu.SetFlatMenu(true);
    flat.Paint(Item(QStringLiteral("Save")), ItemRect, true);
    EXPECT_EQ(flat.At(158, 15), Highlight);
    EXPECT_EQ(flat.At(159, 15), Background);
}

TEST(MenuItemPaint, DisabledItemUnderMouseHasGreyTextNoSelection)
{
    TItemCanvas c;
    TMenuItemInfo item = Item(QStringLiteral("Revert"));
    item.Enabled = false;
    item.Image = KeyedImage(16, 16, RGB(0, 0, 200));
    c.Paint(item, ItemRect, true);
    EXPECT_EQ(c.At(150, 15), Background);
    EXPECT_EQ(c.At(50, 6), Background);
    EXPECT_GT(c.Count(Disabled, Rect(36, 5, 100, 28), 25), 5);
    EXPECT_EQ(c.Ink(Rect(36, 5, 100, 28)), 0);
    // The image grey and dimmed: (0 + 0 + 200) div 3 + 10 = 76, then 40 % lighter: 147.6 -> 148.
    EXPECT_EQ(c.At(20, 15), RGB(148, 148, 148));
}

TEST(MenuItemPaint, SeparatorLineAtMiddleRowFromColumnPlusSeven)
{
    // Measured 4 high, composed 5 high: the line lies at y = 2.
    TItemCanvas c;
    TMenuItemInfo item;
    item.Separator = true;
    c.Paint(item, Rect(10, 5, 160, 9));
    EXPECT_EQ(c.At(41, 7), Separator);
    EXPECT_EQ(c.At(159, 7), Separator);
    EXPECT_EQ(c.At(40, 7), Background);
    EXPECT_EQ(c.At(41, 6), Background);
    EXPECT_EQ(c.At(41, 8), Background);
    EXPECT_EQ(c.At(20, 7), IconBack);
    EXPECT_EQ(c.At(41, 9), clFuchsia);
}

TEST(MenuItemPaint, CheckedItemWithoutImageShowsBoxAndFiveStrokes)
{
    // Box (11, 7)-(21, 17) in the composition, (17, 12)-(27, 22) in the image.
    TItemCanvas c;
    TMenuItemInfo item = Item(QStringLiteral("Grid"));
    item.Checked = true;
    c.Paint(item);
    EXPECT_EQ(c.At(17, 12), Highlight);
    EXPECT_EQ(c.At(26, 21), Highlight);
    EXPECT_EQ(c.At(16, 12), IconBack);
    EXPECT_EQ(c.At(25, 20), CheckedArea);
    EXPECT_EQ(c.At(18, 17), clBlack); // first stroke starts at (L + 1, T + 5)
    EXPECT_EQ(c.At(21, 19), clBlack); // (L + 4, B - 3), where the long stroke starts
    EXPECT_EQ(c.At(27, 13), clBlack); // the long stroke crosses the frame...
    EXPECT_EQ(c.At(28, 12), clBlack); // ...and ends outside the box
    EXPECT_EQ(c.At(29, 11), IconBack);
    EXPECT_EQ(c.At(21, 20), clBlack); // fifth stroke from (L + 4, B - 2)
    EXPECT_EQ(c.At(24, 16), clBlack); // ...to (Rt - 2, T + 3), its end left out
    EXPECT_EQ(c.At(24, 15), CheckedArea);

    TItemCanvas disabled;
    item.Enabled = false;
    disabled.Paint(item);
    EXPECT_EQ(disabled.At(17, 12), Disabled);
    EXPECT_EQ(disabled.At(25, 20), IconBack); // the brush the column left
    EXPECT_EQ(disabled.At(18, 17), Disabled);
}

TEST(MenuItemPaint, CheckedRadioItemShowsRingAndDot)
{
    TItemCanvas c;
    TMenuItemInfo item = Item(QStringLiteral("Days"));
    item.RadioItem = true;
    item.Checked = true;
    c.Paint(item);
    EXPECT_EQ(c.At(21, 12), Highlight); // top of the ring
    EXPECT_EQ(c.At(21, 13), CheckedArea); // between ring and dot
    EXPECT_EQ(c.At(21, 16), Highlight); // the dot
    EXPECT_EQ(c.At(22, 17), Highlight);
    EXPECT_EQ(c.At(17, 12), IconBack); // the ring's corner is round

    TItemCanvas unchecked;
    item.Checked = false;
    unchecked.Paint(item);
    EXPECT_EQ(unchecked.Count(Highlight, Rect(10, 5, 34, 28)), 0);
}

TEST(MenuItemPaint, WideImageMovesTextAndWidensCheckFrame)
{
    // A 30-pixel image: check frame (5, 2)-(35, 22), image at (6, 3), text from 34 + 4 + 3.
    TItemCanvas c;
    TMenuItemInfo item = Item(QStringLiteral("Wide"));
    item.Checked = true;
    item.Image = KeyedImage(30, 16, clTeal);
    c.Paint(item);
    EXPECT_EQ(c.At(11, 7), Highlight); // frame corner
    EXPECT_EQ(c.At(40, 7), Highlight); // right edge moved to the image's width
    EXPECT_EQ(c.At(40, 25), Highlight);
    EXPECT_EQ(c.At(41, 15), clTeal); // the image, (12, 8)-(42, 24)
    EXPECT_EQ(c.At(42, 15), Background);
    EXPECT_EQ(c.At(13, 9), clTeal); // checked images are not dimmed
    EXPECT_EQ(c.At(12, 23), CheckedArea); // the image's transparent corner
    EXPECT_EQ(c.Ink(Rect(42, 5, 49, 28)), 0); // text from 47, after its leading blank
    EXPECT_GT(c.Ink(Rect(49, 5, 70, 28)), 5);
}

TEST(MenuItemPaint, DefaultItemGetsSoftCopiesOnlyWhenEnabled)
{
    const auto paint = [](bool isDefault, bool enabled) {
        TItemCanvas c;
        TMenuItemInfo item = Item(QStringLiteral("Exit"));
        item.Default = isDefault;
        item.Enabled = enabled;
        c.Paint(item);
        return c.Image;
    };
    const QImage plain = paint(false, true);
    const QImage soft = paint(true, true);
    EXPECT_NE(plain, soft);
    // The copies lie right of and below the caption, in shades lighter than the text.
    int shaded = 0;
    for (int y = 5; y < 28; ++y)
        for (int x = 36; x < 100; ++x)
            shaded += PixelAt(plain, x, y) == Background && PixelAt(soft, x, y) != Background;
    EXPECT_GT(shaded, 10);
    EXPECT_EQ(paint(false, false), paint(true, false));
}

TEST(MenuItemPaint, SelectedBarEntryHasShadowBandsAndRoundCorner)
{
    // A bar entry of 40 x 23 at (10, 5): composition x = image x - 10.
    TItemCanvas c;
    TMenuItemInfo item = Item(QStringLiteral("&File"));
    item.TopLevel = true;
    c.Paint(item, Rect(10, 5, 50, 28), true);
    const auto at = [&](int x, int y) { return c.At(10 + x, 5 + y); };
    EXPECT_EQ(at(20, 1), Select);
    EXPECT_EQ(at(0, 10), Highlight);
    EXPECT_EQ(at(20, 0), Highlight);
    EXPECT_EQ(at(32, 22), Highlight); // the frame's right line, at Rt - 8
    EXPECT_EQ(at(0, 22), Highlight);
    // Bands at the bottom row: shade 100 of button face, then 60, 30 and 10.
    EXPECT_EQ(at(33, 20), RGB(140, 142, 140));
    EXPECT_EQ(at(34, 20), RGB(140, 142, 140));
    EXPECT_EQ(at(35, 20), RGB(180, 182, 180));
    EXPECT_EQ(at(36, 20), RGB(180, 182, 180));
    EXPECT_EQ(at(37, 20), RGB(210, 212, 210));
    EXPECT_EQ(at(38, 20), RGB(230, 232, 230));
    EXPECT_EQ(at(39, 20), RGB(230, 232, 230));
    EXPECT_EQ(at(39, 0), RGB(230, 232, 230));
    // The rounded corner.
    EXPECT_EQ(at(39, 1), RGB(240, 240, 240));
    EXPECT_EQ(at(38, 2), RGB(240, 240, 240));
    EXPECT_EQ(at(36, 3), RGB(230, 232, 230));
    EXPECT_EQ(at(35, 5), RGB(210, 212, 210));
    EXPECT_EQ(at(34, 6), RGB(200, 202, 200));
    EXPECT_EQ(c.At(10, 28), clFuchsia); // no strip, no extra row
    EXPECT_EQ(c.At(9, 10), clFuchsia);

    // Right to left: a plain frame and a two-pixel edge in shade 70 of the bar.
    TItemCanvas rtl;
    item.RightToLeft = true;
    rtl.Paint(item, Rect(10, 5, 50, 28), true);
    EXPECT_EQ(rtl.At(10 + 37, 5 + 10), Highlight);
    EXPECT_EQ(rtl.At(10 + 38, 5 + 10), RGB(170, 172, 170));
    EXPECT_EQ(rtl.At(10 + 39, 5 + 1), RGB(240, 240, 240));
}

TEST(MenuItemPaint, GradientColumnsGrowFasterOverTheIconColumn)
{
    // p = 1 at the item's left, + 3 per column up to IconWidth + 4, then + 1, at most 96.
    TItemCanvas c;
    c.Menu.SetGradient(true);
    c.Paint(Item(QStringLiteral("Zoom")));
    EXPECT_EQ(c.At(10, 5), RGB(242, 242, 242)); // p = 1
    EXPECT_EQ(c.At(11, 5), RGB(243, 243, 243)); // p = 4: 242.52
    EXPECT_EQ(c.At(26, 5), RGB(248, 248, 248)); // p = 49: 248.37
    EXPECT_EQ(c.At(38, 5), RGB(253, 253, 253)); // p = 85
    EXPECT_EQ(c.At(120, 27), RGB(254, 254, 254)); // p = 96: 254.48
    EXPECT_EQ(c.At(7, 5), Background); // the strip keeps the menu colour
}

TEST(MenuItemPaint, RightToLeftItemMirrorsColumnAndCheck)
{
    // Icon column (130, 0)-(154, 24) in the composition, 136..159 in the image.
    TItemCanvas c;
    TMenuItemInfo item = Item(QStringLiteral("Grid"));
    item.Checked = true;
    item.RightToLeft = true;
    c.Paint(item);
    EXPECT_EQ(c.At(135, 15), Background);
    EXPECT_EQ(c.At(136, 15), IconBack);
    EXPECT_EQ(c.At(159, 15), IconBack);
    EXPECT_EQ(c.At(143, 12), Highlight); // box from 130 + 7 = 137
    EXPECT_EQ(c.At(152, 21), Highlight);
    EXPECT_EQ(c.Ink(Rect(133, 5, 136, 28)), 0); // text ends 3 pixels before the column...
    EXPECT_GT(c.Ink(Rect(100, 5, 133, 28)), 5); // ...right-aligned
    EXPECT_EQ(c.Ink(Rect(10, 5, 100, 28)), 0);
}

TEST(MenuItemPaint, MenuWindowBorderAndShadow)
{
    TFlatMenu menu(nullptr);
    menu.UseMainWindowSettings();
    QImage image = MakeCanvas(100, 60, clFuchsia);
    {
        QPainter painter(&image);
        menu.DrawMenuBackground(painter, image.size(), false);
        menu.DrawWindowBorder(painter, image.size(), false);
    }
    const TColor border = MenuBorder, shadow = MenuShadow;
    EXPECT_EQ(PixelAt(image, 0, 0), border);
    EXPECT_EQ(PixelAt(image, 97, 30), border);
    EXPECT_EQ(PixelAt(image, 50, 57), border);
    EXPECT_EQ(PixelAt(image, 1, 30), IconBack); // the icon column reaches the outline
    EXPECT_EQ(PixelAt(image, 2, 56), IconBack);
    EXPECT_EQ(PixelAt(image, 1, 1), IconBack); // top rows as the first item row
    EXPECT_EQ(PixelAt(image, 10, 2), IconBack);
    EXPECT_EQ(PixelAt(image, 50, 1), Background);
    EXPECT_EQ(PixelAt(image, 97, 1), border);
    EXPECT_EQ(PixelAt(image, 98, 30), shadow);
    EXPECT_EQ(PixelAt(image, 99, 2), shadow);
    EXPECT_EQ(PixelAt(image, 2, 58), shadow);
    EXPECT_EQ(PixelAt(image, 50, 59), shadow);
    const QRegion mask = [&] {
        menu.SetFlatMenu(true);
        return menu.MenuWindowMask(image.size());
    }();
    EXPECT_FALSE(mask.contains(QPoint(98, 1)));
    EXPECT_FALSE(mask.contains(QPoint(1, 58)));
    EXPECT_TRUE(mask.contains(QPoint(98, 2)));
    EXPECT_TRUE(mask.contains(QPoint(2, 58)));
    EXPECT_TRUE(mask.contains(QPoint(0, 0)));
    EXPECT_TRUE(mask.contains(QPoint(99, 59)));

    // On the XP family the border is 3 pixels all round, without shadow or mask.
    menu.SetIsWXP(true);
    image.fill(ToQColor(clFuchsia));
    {
        QPainter painter(&image);
        menu.DrawMenuBackground(painter, image.size(), false);
        menu.DrawWindowBorder(painter, image.size(), false);
    }
    EXPECT_EQ(PixelAt(image, 99, 30), border);
    EXPECT_EQ(PixelAt(image, 97, 30), Background);
    EXPECT_EQ(PixelAt(image, 98, 30), Background);
    EXPECT_EQ(PixelAt(image, 50, 59), border);
    EXPECT_EQ(PixelAt(image, 50, 57), Background);
    EXPECT_EQ(PixelAt(image, 10, 58), IconBack);
    EXPECT_TRUE(menu.MenuWindowMask(image.size()).isEmpty());
}
