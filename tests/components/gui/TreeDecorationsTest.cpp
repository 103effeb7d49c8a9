// The main column's decorations of a shown tree: dotted lines per level, the
// expand buttons, check images and the hot button. Rows are 18 high, the
// indent 18; without images the row's centre is MulDiv(18 - 9, 50, 100) + 9
// div 2 = 9 and the button (9 x 9) sits at x = (18 - 9) / 2 rounded to even
// = 4 of its level, y = 9 - 4 = 5. Dotted lines are anchored to the tree: a
// pixel shows the line colour where x + y (tree coordinates) is even.
#include "components/gui/GTColors.h"
#include "components/gui/ImageList.h"
#include "components/gui/SharedImages.h"
#include "tests/components/gui/TreeViewTestSupport.h"

#include <QMouseEvent>
#include <QPainter>
#include <gtest/gtest.h>

using namespace treetest;
using testsupport::PixelAt;

namespace {

constexpr TColor LineColor = RGB(0x80, 0x00, 0x00);
constexpr TColor Sign = clBlack;

// A tree without the style's look: buttons and check boxes from the images.
struct DecoratedTree {
    TGridTreeView view;
    TGridNode *a = nullptr, *a1 = nullptr, *a2 = nullptr, *b = nullptr;

    DecoratedTree()
    {
        view.SetColor(clWhite);
        view.Colors().SetColor(TGTColors::TreeLineColor, LineColor);
        RemovePaintOptions(view, { toThemeAware });
        QPalette palette = view.palette();
        palette.setColor(QPalette::WindowText, ToQColor(Sign));
        view.setPalette(palette);
        TBaseGridTree &tree = *view.Tree();
        a = tree.AddChild(nullptr);
        a1 = tree.AddChild(a);
        a2 = tree.AddChild(a);
        b = tree.AddChild(nullptr);
        tree.AddChild(b);
        tree.ToggleNode(a);
        ShowTree(view, 200, 120);
    }
};

bool IsLine(const QImage &Image, int X, int Y)
{
    return PixelAt(Image, X, Y) == LineColor;
}

// Every pixel of the block at (X, Y) shows the list's image over White.
void ExpectImageAt(const QImage &Screen, int X, int Y, const TImageList &List, int Index)
{
    QImage expected(List.Width(), List.Height(), QImage::Format_ARGB32);
    expected.fill(Qt::white);
    QPainter painter(&expected);
    List.Draw(painter, 0, 0, Index);
    painter.end();
    for (int y = 0; y < List.Height(); ++y)
        for (int x = 0; x < List.Width(); ++x)
            ASSERT_EQ(PixelAt(Screen, X + x, Y + y), FromQRgb(expected.pixel(x, y)))
                << "image " << Index << " at " << x << ", " << y;
}

} // namespace

TEST(TreeDecorations, DottedLinesJoinNestedNodes)
{
    DecoratedTree t;
    const QImage image = Screen(t.view);
    testsupport::SavePng(image, QStringLiteral("tree-decorations"));
    // Row 0 (A, first of two top-level nodes): down from its centre and right,
    // the button over the crossing.
    EXPECT_TRUE(IsLine(image, 9, 15));
    EXPECT_FALSE(IsLine(image, 9, 16));
    EXPECT_TRUE(IsLine(image, 9, 17));
    EXPECT_TRUE(IsLine(image, 13, 9));
    EXPECT_TRUE(IsLine(image, 17, 9));
    EXPECT_FALSE(IsLine(image, 9, 2)); // nothing above A
    // Row 1 (A1, rows 18-35): A's line goes on at level 0; at level 1 a line
    // through the row and right to the text.
    EXPECT_TRUE(IsLine(image, 9, 19));
    EXPECT_TRUE(IsLine(image, 27, 19));
    EXPECT_TRUE(IsLine(image, 27, 33));
    EXPECT_TRUE(IsLine(image, 29, 27));
    EXPECT_TRUE(IsLine(image, 35, 27));
    EXPECT_FALSE(IsLine(image, 30, 27));
    // Row 2 (A2, the last child, rows 36-53): the level-1 line ends at its centre.
    EXPECT_TRUE(IsLine(image, 27, 37));
    EXPECT_TRUE(IsLine(image, 27, 45));
    EXPECT_FALSE(IsLine(image, 27, 47));
    EXPECT_TRUE(IsLine(image, 9, 53));
    // Row 3 (B, the last top-level node, rows 54-71): from the top to its centre.
    EXPECT_TRUE(IsLine(image, 9, 55));
    EXPECT_FALSE(IsLine(image, 9, 69));
    EXPECT_TRUE(IsLine(image, 15, 63));
}

TEST(TreeDecorations, ButtonsShowMinusWhenExpandedAndPlusWhenCollapsed)
{
    DecoratedTree t;
    const QImage image = Screen(t.view);
    // A (expanded), button at (4, 5)-(12, 13): the frame in the line colour, the
    // tree colour inside, a minus stroke from x 6 to 10 on its middle row.
    EXPECT_EQ(PixelAt(image, 4, 5), LineColor);
    EXPECT_EQ(PixelAt(image, 12, 13), LineColor);
    EXPECT_EQ(PixelAt(image, 5, 6), clWhite);
    EXPECT_EQ(PixelAt(image, 6, 9), Sign);
    EXPECT_EQ(PixelAt(image, 10, 9), Sign);
    EXPECT_EQ(PixelAt(image, 11, 9), clWhite);
    EXPECT_EQ(PixelAt(image, 8, 7), clWhite);
    // B (collapsed, row top 54): a plus.
    EXPECT_EQ(PixelAt(image, 6, 63), Sign);
    EXPECT_EQ(PixelAt(image, 8, 61), Sign);
    EXPECT_EQ(PixelAt(image, 8, 65), Sign);
    EXPECT_EQ(PixelAt(image, 8, 66), clWhite);
    // A1 has no children: no button.
    EXPECT_FALSE(PixelAt(image, 22, 18 + 5) == LineColor);

    // B's only child hidden: with toAutoHideButtons B shows no button.
    t.view.Tree()->SetVisible(t.view.Tree()->GetFirstChild(t.b), false);
    TGTAutoOptions autoOptions = t.view.TreeOptions().AutoOptions();
    autoOptions.include(toAutoHideButtons);
    t.view.TreeOptions().SetAutoOptions(autoOptions);
    const QImage hidden = Screen(t.view);
    EXPECT_NE(PixelAt(hidden, 4, 59), LineColor);
    EXPECT_NE(PixelAt(hidden, 8, 61), Sign);
}

TEST(TreeDecorations, CheckImagesFollowTypeStateAndPress)
{
    DecoratedTree t;
    t.view.SetCheckImageKind(ckDarkCheck);
    TGTMiscOptions misc = t.view.TreeOptions().MiscOptions();
    misc.include(toCheckSupport);
    t.view.TreeOptions().SetMiscOptions(misc);
    TBaseGridTree &tree = *t.view.Tree();
    tree.OnInitNode = [&t](TBaseGridTree &, TGridNode *, TGridNode *Node, TGridNodeInitStates &Init) {
        if (Node == t.a2)
            Init.include(ivsDisabled);
    };
    tree.ReinitNode(t.a2, false);
    tree.SetCheckType(t.a, TCheckType::ctTriStateCheckBox);
    tree.SetCheckType(t.a1, TCheckType::ctCheckBox);
    tree.SetCheckType(t.a2, TCheckType::ctCheckBox);
    tree.SetCheckType(t.b, TCheckType::ctRadioButton);
    tree.SetCheckState(t.a1, csCheckedNormal);
    tree.SetCheckState(t.b, csCheckedNormal);
    const TImageList &checks = SharedImages(silCheckDark);

    // The image follows the margin (4) and the indentation: x = 4 + 18 per
    // level, y = 9 - 16 / 2 = 1 in its row.
    QImage image = Screen(t.view);
    ExpectImageAt(image, 22, 1, checks, 17); // A mixed
    ExpectImageAt(image, 40, 19, checks, 13); // A1 checked
    ExpectImageAt(image, 40, 37, checks, 12); // A2 unchecked, disabled
    ExpectImageAt(image, 22, 55, checks, 5); // B checked radio button

    // Held down by the mouse: the pressed look (A1 checked: 15).
    QTest::mousePress(t.view.viewport(), Qt::LeftButton, {}, QPoint(45, 26));
    image = Screen(t.view);
    ExpectImageAt(image, 40, 19, checks, 15);
    // Over it without a button: the hot look (A2 is disabled: still 12).
    QTest::mouseRelease(t.view.viewport(), Qt::LeftButton, {}, QPoint(45, 26));
    QMouseEvent move(QEvent::MouseMove, QPointF(45, 26), QPointF(45, 26), Qt::NoButton, {}, {});
    QApplication::sendEvent(t.view.viewport(), &move);
    image = Screen(t.view);
    ExpectImageAt(image, 40, 19, checks, 10); // now unchecked and hot
    QMouseEvent over(QEvent::MouseMove, QPointF(45, 44), QPointF(45, 44), Qt::NoButton, {}, {});
    QApplication::sendEvent(t.view.viewport(), &over);
    ExpectImageAt(Screen(t.view), 40, 37, checks, 12);
}

TEST(TreeDecorations, TheHotButtonLightsUpOnlyWithTheMouseOnIt)
{
    DecoratedTree t;
    constexpr TColor Highlight = RGB(0x00, 0x78, 0xD7);
    QPalette palette = t.view.palette();
    palette.setColor(QPalette::Highlight, ToQColor(Highlight));
    t.view.setPalette(palette);
    AddPaintOptions(t.view, { toThemeAware, toUseExplorerTheme, toHotTrack });
    TGTSelectionOptions selection = t.view.TreeOptions().SelectionOptions();
    selection.include(toFullRowSelect);
    t.view.TreeOptions().SetSelectionOptions(selection);
    const auto moveTo = [&t](QPoint P) {
        QMouseEvent move(QEvent::MouseMove, P, t.view.viewport()->mapToGlobal(P), Qt::NoButton, {}, {});
        QApplication::sendEvent(t.view.viewport(), &move);
    };
    // Pixels of A's button (4, 5)-(12, 13) tinted by the highlight (the style
    // draws its glyph half transparent).
    const auto lit = [&t] {
        const QImage image = Screen(t.view);
        int count = 0;
        for (int y = 5; y <= 13; ++y)
            for (int x = 4; x <= 12; ++x)
                count += GetBValue(PixelAt(image, x, y)) - GetRValue(PixelAt(image, x, y)) > 60;
        return count;
    };
    EXPECT_EQ(lit(), 0);
    // The button's own zone starts 9 (its width) before the end of the indent.
    moveTo(QPoint(10, 9));
    EXPECT_EQ(t.view.HotNode(), t.a);
    EXPECT_GT(lit(), 0);
    // Elsewhere on the same row (hot under full-row selection) the plain glyph.
    moveTo(QPoint(120, 9));
    EXPECT_EQ(t.view.HotNode(), t.a);
    EXPECT_EQ(lit(), 0);
}
