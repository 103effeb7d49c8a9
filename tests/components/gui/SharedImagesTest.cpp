#include "components/gui/SharedImages.h"

#include "components/GridTreeErrors.h"
#include "components/gui/ImageList.h"
#include "components/gui/TreeUtils.h"
#include "tests/support/PixelTest.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <gtest/gtest.h>

using testsupport::PixelAt;

namespace {

bool FullyTransparent(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) != 0)
                return false;
    return true;
}

// Every image of a list side by side on white, four times enlarged, for a person to look at.
void SaveList(const TImageList &list, const QString &name)
{
    QImage sheet
        = testsupport::MakeCanvas(list.Count() * (list.Width() + 2), list.Height(), RGB(200, 220, 200));
    QPainter painter(&sheet);
    for (int i = 0; i < list.Count(); ++i)
        list.Draw(painter, i * (list.Width() + 2), 0, i);
    painter.end();
    testsupport::SavePng(sheet.scaled(sheet.size() * 4), name);
}

} // namespace

TEST(SharedImages, StripsAreCutIntoSquareImagesWithTheMaskTransparent)
{
    const struct {
        TSharedImageList list;
        const char *name;
        int count;
    } strips[] = { { silCheckLight, "check_light", 25 }, { silCheckDark, "check_dark", 25 },
        { silTickLight, "tick_light", 25 }, { silTickDark, "tick_dark", 25 }, { silFlat, "flat", 25 },
        { silXP, "xp", 25 }, { silUtilities, "utilities", 6 } };
    for (const auto &strip : strips) {
        const TImageList &list = SharedImages(strip.list);
        SaveList(list, QStringLiteral("images_") + strip.name);
        EXPECT_EQ(list.Width(), 16) << strip.name;
        EXPECT_EQ(list.Height(), 16) << strip.name;
        ASSERT_EQ(list.Count(), strip.count) << strip.name;
        // The strip's top-left pixel is the mask: every image's corner is see-through.
        for (int i = 0; i < list.Count(); ++i)
            EXPECT_EQ(qAlpha(list.Image(i).pixel(0, 0)), 0) << strip.name << " " << i;
    }
    EXPECT_TRUE(FullyTransparent(SharedImages(silCheckLight).Image(0)));
}

TEST(SharedImages, RemappingTurnsSilverIntoTheButtonFaceExceptInTheXPSet)
{
    // The pressed, unchecked check box (image 11) is filled silver in the strip.
    TImageList plain;
    ConvertImageList(plain, "GT_CHECK_LIGHT", false);
    EXPECT_EQ(FromQRgb(plain.Image(11).pixel(8, 8)), clSilver);
    TImageList mapped;
    ConvertImageList(mapped, "GT_CHECK_LIGHT", true);
    EXPECT_EQ(FromQRgb(mapped.Image(11).pixel(8, 8)), GetSysColor(COLOR_BTNFACE));
    // The frame is grey 0x808080 in the strip, the button shadow after remapping.
    EXPECT_EQ(FromQRgb(plain.Image(9).pixel(2, 8)), clGray);
    EXPECT_EQ(FromQRgb(mapped.Image(9).pixel(2, 8)), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(FromQRgb(SharedImages(silXP).Image(9).pixel(2, 8)), RGB(28, 81, 128));
}

TEST(SharedImages, AMissingStripIsAnAssertion)
{
    TImageList list;
    try {
        ConvertImageList(list, "GT_NONE", true);
        FAIL();
    } catch (const EGridTreeAssertion &e) {
        EXPECT_STREQ(e.what(), "Internal image \"GT_NONE\" is missing or corrupt.");
    }
}

TEST(SharedImages, SystemSetsFollowTheStyleAndTakeTheButtonsFromTheStrips)
{
    const QStyle *style = QApplication::style();
    for (const TSharedImageList which : { silSystem, silSystemFlat }) {
        const TImageList &list = SharedImages(which);
        SaveList(list, which == silSystem ? "images_system" : "images_system_flat");
        ASSERT_EQ(list.Count(), 25);
        EXPECT_EQ(list.Width(), style->pixelMetric(QStyle::PM_IndicatorWidth) + 3);
        EXPECT_EQ(list.Height(), style->pixelMetric(QStyle::PM_IndicatorHeight) + 3);
        EXPECT_EQ(list.BkColor(), clWhite);
        EXPECT_TRUE(FullyTransparent(list.Image(0)));
        // Checked, unchecked and mixed look different, in every state.
        for (int state = 0; state < 4; ++state) {
            EXPECT_NE(list.Image(1 + state), list.Image(5 + state)) << state;
            EXPECT_NE(list.Image(9 + state), list.Image(13 + state)) << state;
            EXPECT_NE(list.Image(9 + state), list.Image(17 + state)) << state;
        }
        // Images 21 to 24 are the strip's button images, centred.
        const TImageList &buttons = SharedImages(which == silSystem ? silCheckDark : silFlat);
        const int dx = (list.Width() - 16) / 2;
        const int dy = (list.Height() - 16) / 2;
        for (int i = 21; i <= 24; ++i)
            EXPECT_EQ(list.Image(i).copy(dx, dy, 16, 16), buttons.Image(i)) << i;
    }
}

TEST(ImageList, MasksDrawsGreyedAndBlendsAndReportsChanges)
{
    TImageList list(4, 2);
    int changes = 0;
    QObject::connect(&list, &TImageList::Changed, [&changes] { ++changes; });
    QImage image(6, 2, QImage::Format_ARGB32);
    image.fill(ToQColor(clRed));
    image.setPixel(1, 0, ToQRgb(clBlue));
    EXPECT_EQ(list.AddMasked(image, clRed), 0);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Image(0).size(), QSize(4, 2));
    EXPECT_TRUE(list.Image(5).isNull());

    QImage canvas = testsupport::MakeCanvas(12, 2, clWhite);
    QPainter painter(&canvas);
    list.Draw(painter, 0, 0, 0);
    list.Draw(painter, 4, 0, 0, false);
    list.Draw(painter, 8, 0, 0, true, clRed);
    list.Draw(painter, 8, 0, 7); // no such image: nothing
    painter.end();
    EXPECT_EQ(PixelAt(canvas, 0, 0), clWhite); // masked
    EXPECT_EQ(PixelAt(canvas, 1, 0), clBlue);
    // Greyed: blue's brightness (255 * 5 / 32 = 39) half way to white = 147.
    EXPECT_EQ(PixelAt(canvas, 5, 0), RGB(147, 147, 147));
    EXPECT_EQ(PixelAt(canvas, 4, 0), clWhite);
    // Blended half and half with red (0.5 of 255 on both channels, rounded by Qt).
    const TColor blended = PixelAt(canvas, 9, 0);
    EXPECT_NEAR(GetRValue(blended), 128, 1);
    EXPECT_EQ(GetGValue(blended), 0);
    EXPECT_NEAR(GetBValue(blended), 128, 1);
    EXPECT_EQ(PixelAt(canvas, 8, 0), clWhite);

    list.SetBkColor(clWhite);
    list.SetSize(8, 8);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(changes, 3);
}

TEST(TreeUtilities, ColoursOrderedRectanglesAndNodeOrder)
{
    EXPECT_EQ(GetRGBColor(clNone), 0xFFFFFFFFu);
    EXPECT_EQ(GetRGBColor(clDefault), 0xFF000000u);
    EXPECT_EQ(GetRGBColor(clBtnFace), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(GetRGBColor(0x123456), 0x123456u);
    EXPECT_EQ(OrderRect(Rect(10, 20, 0, 5)), Rect(0, 5, 10, 20));
    EXPECT_EQ(OrderRect(Rect(0, 5, 10, 20)), Rect(0, 5, 10, 20));

    std::vector<char> storage(5);
    const auto node = [&storage](int i) { return reinterpret_cast<TGridNode *>(&storage[std::size_t(i)]); };
    std::vector<TGridNode *> nodes { node(4), node(2), node(3), node(0), node(1) };
    QuickSort(nodes, 1, 3);
    EXPECT_EQ(nodes, (std::vector<TGridNode *> { node(4), node(0), node(2), node(3), node(1) }));
    QuickSort(nodes, 0, 99);
    EXPECT_EQ(nodes, (std::vector<TGridNode *> { node(0), node(1), node(2), node(3), node(4) }));
}
