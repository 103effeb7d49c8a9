// The colour picker as a user meets it: real mouse and key events on the open popup,
// and the pixels it shows at points worked out by hand (cells of 18, edges of 2, the
// mix caption 22 high for Liberation Sans at 11 pixels).
#include "controls/ColorPickerPopup.h"

#include "document/program/MessageDialog.h"
#include "tests/support/PixelTest.h"

#include <QApplication>
#include <QFontMetrics>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <vector>

using testsupport::PixelAt;
using testsupport::SavePng;

namespace {

constexpr int Mix = TColorPickerGeometry::CustomCell;
constexpr TColor Face = 0xF0F0F0; // button face
constexpr TColor Light = 0xFFFFFF; // button highlight
constexpr TColor Shadow = 0xA0A0A0; // button shadow
constexpr TColor Outline = 0x808080;

class ColorPickerPopupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QFont font = QApplication::font();
        font.setPixelSize(11);
        ASSERT_EQ(QFontMetrics(font).height(), 12) << "the expected layout assumes a 12-pixel text line";
    }

    // Opens the picker below (100, 100, 150, 120) with `color` selected.
    void Open(TColor color)
    {
        popup.SetDestRect(Rect(100, 100, 150, 120));
        popup.SetSelectionColor(color);
        popup.Popup();
        ASSERT_TRUE(popup.isVisible());
    }

    QImage Shot(const char *name)
    {
        const QImage image = popup.grab().toImage();
        SavePng(image, QString::fromLatin1(name));
        return image;
    }

    void Click(QPoint p) { QTest::mouseClick(&popup, Qt::LeftButton, {}, p); }
    void Key(Qt::Key key) { QTest::keyClick(&popup, key); }
    void OpenMixArea() { Click({ 60, 111 }); }

    TColorPickerPopup popup;
};

} // namespace

TEST_F(ColorPickerPopupTest, OpensBelowTheRectangleWithTheColourSelected)
{
    Open(0x0066FF);
    EXPECT_EQ(popup.geometry(), QRect(100, 120, 164, 126));
    EXPECT_EQ(popup.SelectedIndex(), 9);
    EXPECT_EQ(popup.ModalResult(), mrNone);

    const QImage image = Shot("colorpicker_open");
    // The selected Orange cell (28, 22, 46, 40): button-highlight background, sunken
    // edge, its square (31, 25, 43, 37) outlined grey and filled with the colour.
    EXPECT_EQ(PixelAt(image, 28, 30), Shadow);
    EXPECT_EQ(PixelAt(image, 36, 22), Shadow);
    EXPECT_EQ(PixelAt(image, 45, 30), Light);
    EXPECT_EQ(PixelAt(image, 29, 30), Light);
    EXPECT_EQ(PixelAt(image, 31, 30), Outline);
    EXPECT_EQ(PixelAt(image, 36, 30), 0x0066FFu);
    // Cell 0 (10, 4, 28, 22) is plain: face, no edge; its square (13, 7, 25, 19).
    EXPECT_EQ(PixelAt(image, 10, 10), Face);
    EXPECT_EQ(PixelAt(image, 13, 7), Outline);
    EXPECT_EQ(PixelAt(image, 14, 8), 0x000000u);
    // Raised frame: 3D light and highlight top-left, dark shadow and shadow bottom-right.
    EXPECT_EQ(PixelAt(image, 0, 50), 0xE3E3E3u);
    EXPECT_EQ(PixelAt(image, 1, 50), Light);
    EXPECT_EQ(PixelAt(image, 162, 50), Shadow);
    EXPECT_EQ(PixelAt(image, 50, 125), 0x696969u);
    // Etched line 4 above the mix caption (10, 100, 154, 122).
    EXPECT_EQ(PixelAt(image, 50, 96), Shadow);
    EXPECT_EQ(PixelAt(image, 50, 97), Light);
    EXPECT_EQ(PixelAt(image, 50, 95), Face);
    // No comb entry chosen yet: the mix colour box (137, 105, 149, 117) is an empty frame.
    EXPECT_EQ(PixelAt(image, 137, 105), Shadow);
    EXPECT_EQ(PixelAt(image, 142, 110), Face);
}

TEST_F(ColorPickerPopupTest, HoveredAndPressedCellEdges)
{
    Open(0x0066FF);
    // Over cell 1 (28, 4, 46, 22): a raised edge on face.
    QTest::mouseMove(&popup, { 37, 13 });
    EXPECT_EQ(popup.HoverIndex(), 1);
    QImage image = Shot("colorpicker_hover");
    EXPECT_EQ(PixelAt(image, 28, 13), Light);
    EXPECT_EQ(PixelAt(image, 45, 13), Shadow);
    EXPECT_EQ(PixelAt(image, 29, 13), Face);

    // The left button held on it: sunken.
    QTest::mousePress(&popup, Qt::LeftButton, {}, { 37, 13 });
    image = Shot("colorpicker_pressed");
    EXPECT_EQ(PixelAt(image, 28, 13), Shadow);
    EXPECT_EQ(PixelAt(image, 45, 13), Light);
    EXPECT_EQ(popup.ModalResult(), mrNone);

    // Moved onto the selected cell with the button held: its background turns to face.
    QTest::mouseMove(&popup, { 37, 31 });
    image = Shot("colorpicker_over_selected");
    EXPECT_EQ(PixelAt(image, 29, 30), Face);
    EXPECT_EQ(PixelAt(image, 28, 30), Shadow);
    // The cell left behind is plain again.
    EXPECT_EQ(PixelAt(image, 28, 13), Face);
}

TEST_F(ColorPickerPopupTest, ClickInTheGridPicks)
{
    Open(clNone);
    EXPECT_EQ(popup.SelectedIndex(), -1);
    Click({ 37, 31 });
    EXPECT_EQ(popup.ModalResult(), mrOk);
    EXPECT_EQ(popup.SelectionColor(), 0x0066FFu);
    EXPECT_FALSE(popup.isVisible());
}

TEST_F(ColorPickerPopupTest, EscapeAndOutsideClickCancelAndAReusedPopupStartsAfresh)
{
    Open(0x0066FF);
    Key(Qt::Key_Right);
    Key(Qt::Key_Escape);
    EXPECT_EQ(popup.ModalResult(), mrCancel);
    EXPECT_EQ(popup.SelectionColor(), 0x0066FFu);
    EXPECT_FALSE(popup.isVisible());

    Open(0x0066FF);
    EXPECT_EQ(popup.ModalResult(), mrNone);
    EXPECT_EQ(popup.HoverIndex(), -1);
    Click({ -5, 40 });
    EXPECT_EQ(popup.ModalResult(), mrCancel);
    EXPECT_FALSE(popup.isVisible());

    // A colour found nowhere selects nothing; Enter then keeps it.
    Open(0x123456);
    EXPECT_EQ(popup.SelectedIndex(), -1);
    Key(Qt::Key_Return);
    EXPECT_EQ(popup.ModalResult(), mrOk);
    EXPECT_EQ(popup.SelectionColor(), 0x123456u);
}

TEST_F(ColorPickerPopupTest, ArrowKeysGoAroundTheWholeCycle)
{
    Open(0x0066FF);
    // From the selected Orange (9) to the right: 10 .. 39, the mix caption, 0 .. 9.
    std::vector<int> expected;
    for (int i = 10; i < 40; ++i)
        expected.push_back(i);
    expected.push_back(Mix);
    for (int i = 0; i <= 9; ++i)
        expected.push_back(i);
    std::vector<int> seen;
    for (std::size_t n = 0; n < expected.size(); ++n) {
        Key(Qt::Key_Right);
        seen.push_back(popup.HoverIndex());
    }
    EXPECT_EQ(seen, expected);
    // And back to the left the same way.
    seen.clear();
    std::vector<int> backwards(expected.rbegin() + 1, expected.rend());
    backwards.push_back(9);
    for (std::size_t n = 0; n < backwards.size(); ++n) {
        Key(Qt::Key_Left);
        seen.push_back(popup.HoverIndex());
    }
    EXPECT_EQ(seen, backwards);
    // Down to Light Orange (17); Space takes the hovered cell.
    Key(Qt::Key_Down);
    Key(Qt::Key_Space);
    EXPECT_EQ(popup.ModalResult(), mrOk);
    EXPECT_EQ(popup.SelectionColor(), 0x0099FFu);
}

TEST_F(ColorPickerPopupTest, MixCaptionOpensTheMixArea)
{
    Open(0x0066FF);
    OpenMixArea();
    EXPECT_EQ(popup.SelectedIndex(), Mix);
    EXPECT_EQ(popup.ModalResult(), mrNone);
    EXPECT_EQ(popup.geometry(), QRect(100, 120, 164, 278));

    const QImage image = Shot("colorpicker_mix");
    // Comb centre (73, 189) white, magenta at (128, 189).
    EXPECT_EQ(PixelAt(image, 73, 189), 0xFFFFFFu);
    EXPECT_EQ(PixelAt(image, 128, 189), 0xFF00FFu);
    EXPECT_EQ(PixelAt(image, 105, 228), 0x2A00FFu);
    // Black-and-white comb from (10, 248): white at (21, 259), a grey at (48, 262), black at (134, 259).
    EXPECT_EQ(PixelAt(image, 21, 259), 0xFFFFFFu);
    EXPECT_EQ(PixelAt(image, 48, 262), 0xD2D2D2u);
    EXPECT_EQ(PixelAt(image, 134, 259), 0x000000u);
    // Slider (136, 137, 156, 241): 10-pixel lines, white on top, black at the bottom;
    // the marker's tip at (147, 137) for full brightness.
    EXPECT_EQ(PixelAt(image, 136, 137), 0xFFFFFFu);
    EXPECT_EQ(PixelAt(image, 146, 137), Face);
    EXPECT_EQ(PixelAt(image, 136, 240), 0x000000u);
    EXPECT_EQ(PixelAt(image, 147, 137), 0x000000u);
    EXPECT_EQ(PixelAt(image, 151, 137), 0x000000u);
    EXPECT_EQ(PixelAt(image, 153, 137), Face);
    EXPECT_EQ(PixelAt(image, 147, 140), Face);
    // The frame runs around the taller popup.
    EXPECT_EQ(PixelAt(image, 50, 277), 0x696969u);
    EXPECT_EQ(PixelAt(image, 50, 125), Face);
}

TEST_F(ColorPickerPopupTest, ChoosingInTheColourComb)
{
    Open(0x0066FF);
    OpenMixArea();
    QTest::mousePress(&popup, Qt::LeftButton, {}, { 105, 228 });
    EXPECT_EQ(popup.CustomIndex(), 22);
    const QImage image = Shot("colorpicker_comb_choice");
    // The chosen hexagon's right side (x 110) inverted 2 pixels wide: its own colour
    // inside, button face outside; the centre untouched.
    EXPECT_EQ(PixelAt(image, 105, 228), 0x2A00FFu);
    EXPECT_EQ(PixelAt(image, 109, 228), 0x2A00FFu ^ 0xFFFFFFu);
    EXPECT_EQ(PixelAt(image, 110, 228), Face ^ 0xFFFFFFu);
    EXPECT_EQ(PixelAt(image, 111, 228), Face);
    // The mix colour box shows the choice.
    EXPECT_EQ(PixelAt(image, 137, 105), Outline);
    EXPECT_EQ(PixelAt(image, 142, 110), 0x2A00FFu);

    QTest::mouseRelease(&popup, Qt::LeftButton, {}, { 105, 228 });
    EXPECT_EQ(popup.ModalResult(), mrOk);
    EXPECT_EQ(popup.SelectionColor(), 0x2A00FFu);
}

TEST_F(ColorPickerPopupTest, ChoosingInTheBlackAndWhiteComb)
{
    Open(0x0066FF);
    OpenMixArea();
    QTest::mousePress(&popup, Qt::LeftButton, {}, { 21, 259 });
    EXPECT_EQ(popup.CustomIndex(), -1);
    const QImage image = Shot("colorpicker_bw_choice");
    // White of size 22 at (21, 259): its right side at x 31 inverted.
    EXPECT_EQ(PixelAt(image, 21, 259), 0xFFFFFFu);
    EXPECT_EQ(PixelAt(image, 30, 259), 0x000000u);
    EXPECT_EQ(PixelAt(image, 31, 259), Face ^ 0xFFFFFFu);
    EXPECT_EQ(PixelAt(image, 32, 259), Face);
    QTest::mouseRelease(&popup, Qt::LeftButton, {}, { 21, 259 });
    EXPECT_EQ(popup.ModalResult(), mrOk);
    EXPECT_EQ(popup.SelectionColor(), 0xFFFFFFu);

    // A grey, by a plain click.
    Open(0x0066FF);
    OpenMixArea();
    Click({ 48, 262 });
    EXPECT_EQ(popup.ModalResult(), mrOk);
    EXPECT_EQ(popup.SelectionColor(), 0xD2D2D2u);
}

TEST_F(ColorPickerPopupTest, SliderDarkensTheCombWithoutEndingThePick)
{
    Open(0x0066FF);
    OpenMixArea();
    // Half way down the slider: intensity 0.5, centre 127.5 -> 128, marker at 137 + 52.
    Click({ 140, 189 });
    EXPECT_EQ(popup.ModalResult(), mrNone);
    EXPECT_EQ(popup.CustomIndex(), 0);
    const QImage image = Shot("colorpicker_slider");
    EXPECT_EQ(PixelAt(image, 73, 189), 0x808080u);
    EXPECT_EQ(PixelAt(image, 147, 189), 0x000000u);
    EXPECT_EQ(PixelAt(image, 147, 137), Face);
    EXPECT_EQ(PixelAt(image, 136, 137), 0xFFFFFFu);
    // Then a pick in the darker comb returns the darker colour: the centre.
    Click({ 73, 189 });
    EXPECT_EQ(popup.ModalResult(), mrOk);
    EXPECT_EQ(popup.SelectionColor(), 0x808080u);
}

TEST_F(ColorPickerPopupTest, SystemColoursAreAnOption)
{
    popup.SetShowSysColors(true);
    Open(clHighlight);
    EXPECT_EQ(popup.SelectedIndex(), 53);
    const QImage image = Shot("colorpicker_system");
    // Cell 53 (100, 118, 118, 136) shows the palette's highlight; the etched line at 96.
    EXPECT_EQ(PixelAt(image, 108, 126), ColorToRGB(clHighlight));
    EXPECT_EQ(PixelAt(image, 50, 96), Shadow);
    EXPECT_EQ(PixelAt(image, 50, 97), Light);
    Click({ 19, 109 }); // cell 40, the scroll-bar colour
    EXPECT_EQ(popup.SelectionColor(), clScrollBar);
}

TEST_F(ColorPickerPopupTest, PickWaitsForTheUser)
{
    QTimer::singleShot(0, [&] {
        Key(Qt::Key_Right);
        Key(Qt::Key_Return);
    });
    EXPECT_EQ(popup.Pick(0x0066FF, Rect(100, 100, 150, 120)), 0x008080u); // Dark Yellow, right of Orange
    QTimer::singleShot(0, [&] { Key(Qt::Key_Escape); });
    EXPECT_EQ(popup.Pick(0x0066FF, Rect(100, 100, 150, 120)), std::nullopt);
}
