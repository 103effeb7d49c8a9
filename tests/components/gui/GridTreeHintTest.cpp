// Hints and tooltips as the mouse brings them up: header column hints at
// once, tooltips of clipped cells right over their text, node hints after the
// hint pause, all in the tree's own hint window.
#include "components/gui/GTHeader.h"
#include "components/gui/GridTreeColumns.h"
#include "components/gui/GridTreeHintWindow.h"
#include "tests/components/gui/CellTreeSupport.h"

#include <QCursor>
#include <QHelpEvent>
#include <QHoverEvent>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

using namespace treetest;

namespace {

// Two columns (120 and 80 pixels) under a visible header with hints; rows
// "row 0".."row 3" with a second cell each.
struct THintTree : TCellTree {
    int asked = 0;

    THintTree()
    {
        AddColumns(*this, { 120, 80 });
        Header().Columns()[0].SetText(QStringLiteral("Name"));
        Header().Columns()[0].SetHint(QStringLiteral("The task's name"));
        Header().Columns()[1].SetText(QStringLiteral("Note"));
        Header().SetOptions(Header().Options() + TGTHeaderOptions { hoVisible, hoShowHint });
        for (int i = 0; i < 4; ++i)
            Add(nullptr, { QStringLiteral("row %1").arg(i), QStringLiteral("n%1").arg(i) });
        SetHintAnimation(hatNone);
        OnGetHint = [this](TCustomStringGridTree &, TGridNode *Node, TColumnIndex Column,
                        TGTHintLineBreakStyle &, QString &Text) {
            ++asked;
            Text = HintMode() == hmTooltip ? Cells(Node).value(std::max(Column, 0))
                                           : QStringLiteral("hint of ") + Cells(Node)[0];
        };
        ShowTree(*this, 200, 120);
        activateWindow();
        setFocus();
    }
    QWidget &Client() const { return *viewport(); }
    // The mouse moved to P (client coordinates; negative y: over the header).
    void MoveTo(QPoint P)
    {
        if (P.y() < 0)
            QTest::mouseMove(&HeaderWidget(), P + QPoint(0, Header().Height()));
        else
            QTest::mouseMove(&Client(), P);
        QApplication::processEvents();
    }
    bool HintShown() const { return HintWindow() && HintWindow()->isVisible(); }
};

} // namespace

TEST(GridTreeHint, HeaderColumnHintShowsAtOnceEmptyHintNone)
{
    THintTree tree;
    tree.MoveTo(QPoint(30, -8));
    ASSERT_TRUE(tree.HintShown());
    EXPECT_EQ(tree.HintWindow()->HintData().HintText, QStringLiteral("The task's name"));
    EXPECT_EQ(tree.LastHintRect(), Rect(0, -17, 120, 0));
    EXPECT_TRUE(tree.ViewStates().contains(tsHint));
    // Below the header's bottom edge on the screen.
    EXPECT_GE(tree.HintWindow()->geometry().top(), tree.Client().mapToGlobal(QPoint(0, 0)).y());

    // A column without a hint shows none.
    tree.MoveTo(QPoint(150, -8));
    EXPECT_FALSE(tree.HintShown());
    EXPECT_FALSE(tree.ViewStates().contains(tsHint));
    // Without hoShowHint the header shows none either.
    tree.Header().SetOptions(tree.Header().Options() - TGTHeaderOptions { hoShowHint });
    tree.MoveTo(QPoint(20, -5));
    EXPECT_FALSE(tree.HintShown());
}

TEST(GridTreeHint, TooltipCoversTheClippedTextAndOnlyThat)
{
    THintTree tree;
    tree.SetHintMode(hmTooltip);
    tree.Cells(tree.Find(QStringLiteral("row 1")))[1] = QStringLiteral("a text far too long for the column");
    // Row 1 (18 pixels high, at 18), column 1 at 120: the text is clipped.
    tree.MoveTo(QPoint(130, 25));
    ASSERT_TRUE(tree.HintShown());
    TGridNode *node = tree.Find(QStringLiteral("row 1"));
    const TRect text = tree.GetDisplayRect(node, 1, true, true, true);
    EXPECT_EQ(tree.LastHintRect(), text);
    // One pixel out on each side: the window's text lies exactly over the cell's.
    EXPECT_EQ(
        tree.HintWindow()->geometry().topLeft(), tree.Client().mapToGlobal(text.TopLeft()) - QPoint(1, 1));
    EXPECT_EQ(tree.HintWindow()->width(), text.Width() + 2);
    EXPECT_EQ(tree.HintWindow()->HintData().HintText, QStringLiteral("a text far too long for the column"));
    // The first ink of the tooltip's text (inside its frame) and of the
    // clipped cell's text fall on the same screen column.
    const auto firstInk = [](const QImage &Image, int Left, int Top, int Bottom) {
        for (int x = Left; x < Image.width(); ++x)
            for (int y = Top; y < Bottom; ++y)
                if (qGray(Image.pixel(x, y)) < 100)
                    return x;
        return -1;
    };
    const QImage cell = Screen(tree);
    const QImage tip = tree.HintWindow()->grab().toImage();
    const int cellInk = firstInk(cell, text.Left, text.Top, text.Bottom);
    const int tipInk = firstInk(tip, 1, 1, tip.height() - 1);
    ASSERT_GE(cellInk, 0);
    EXPECT_EQ(tree.HintWindow()->x() + tipInk, tree.Client().mapToGlobal(QPoint(cellInk, 0)).x());

    // Within the same text nothing is asked again.
    const int asked = tree.asked;
    tree.MoveTo(QPoint(131, 26));
    EXPECT_EQ(tree.asked, asked);
    EXPECT_TRUE(tree.HintShown());

    // A text that fits has no tooltip.
    tree.MoveTo(QPoint(125, 5));
    EXPECT_FALSE(tree.HintShown());
    EXPECT_TRUE(tree.LastHintRect().IsEmpty());

    // The row going takes its tooltip with it.
    tree.MoveTo(QPoint(130, 25));
    ASSERT_TRUE(tree.HintShown());
    tree.Tree()->DeleteNode(node);
    EXPECT_FALSE(tree.HintShown());
    EXPECT_FALSE(tree.ViewStates().contains(tsHint));
}

TEST(GridTreeHint, NodeHintsWaitForThePauseAndSitBelowTheRow)
{
    THintTree tree;
    tree.SetHintMode(hmHint);
    tree.MoveTo(QPoint(20, 40));
    EXPECT_FALSE(tree.HintShown());
    // The pause is over: the help event at the mouse.
    QHelpEvent help(QEvent::ToolTip, QPoint(20, 40), tree.Client().mapToGlobal(QPoint(20, 40)));
    QApplication::sendEvent(&tree.Client(), &help);
    ASSERT_TRUE(tree.HintShown());
    EXPECT_EQ(tree.HintWindow()->HintData().HintText, QStringLiteral("hint of row 2"));
    // The row is the area; the hint starts two pixels below its bottom.
    EXPECT_EQ(tree.LastHintRect(), Rect(0, 36, 120, 54));
    EXPECT_GE(tree.HintWindow()->geometry().top(), tree.Client().mapToGlobal(QPoint(0, 54)).y() + 2);

    // Outside the nodes only hmHintAndDefault shows the control's hint.
    tree.setToolTip(QStringLiteral("the tree"));
    QHelpEvent below(QEvent::ToolTip, QPoint(20, 100), tree.Client().mapToGlobal(QPoint(20, 100)));
    tree.MoveTo(QPoint(20, 100));
    QApplication::sendEvent(&tree.Client(), &below);
    EXPECT_FALSE(tree.HintShown());
    tree.SetHintMode(hmHintAndDefault);
    QApplication::sendEvent(&tree.Client(), &below);
    ASSERT_TRUE(tree.HintShown());
    EXPECT_EQ(tree.HintWindow()->HintData().HintText, QStringLiteral("the tree"));
}

TEST(GridTreeHint, HintStaysOnTheScreenAndAnimationsEndFullyShown)
{
    THintTree tree;
    const QRect screen = tree.screen()->availableGeometry();
    tree.window()->move(screen.right() - 150, screen.top() + 40);
    QApplication::processEvents();
    tree.Header().Columns()[1].SetHint(
        QStringLiteral("A long hint for the column at the right edge of the screen"));
    tree.MoveTo(QPoint(190, -8));
    ASSERT_TRUE(tree.HintShown());
    EXPECT_LE(tree.HintWindow()->geometry().right(), screen.right());
    EXPECT_LT(tree.HintWindow()->geometry().left(), tree.Client().mapToGlobal(QPoint(190, 0)).x());

    for (const THintAnimationType animation : { hatFade, hatSlide }) {
        tree.SetHintAnimation(animation);
        tree.SetAnimationDuration(40);
        tree.MoveTo(QPoint(200, 60));
        tree.MoveTo(QPoint(20, -8));
        ASSERT_TRUE(tree.HintShown()) << animation;
        EXPECT_EQ(tree.HintWindow()->windowOpacity(), 1.0);
        EXPECT_EQ(tree.HintWindow()->RevealedLines(), -1);
        EXPECT_TRUE(tree.HintWindow()->mask().isEmpty());
        // What the window shows: the black frame around the info colour.
        const QImage shown = tree.HintWindow()->grab().toImage();
        EXPECT_EQ(QColor(shown.pixel(0, 0)), QColor(Qt::black));
        EXPECT_EQ(QColor(shown.pixel(shown.width() / 2, 1)),
            tree.HintWindow()->palette().color(QPalette::ToolTipBase));
    }
}

TEST(GridTreeHint, TooltipStaysWhileTheMouseRestsUnderIt)
{
    THintTree tree;
    tree.SetHintMode(hmTooltip);
    tree.Cells(tree.Find(QStringLiteral("row 1")))[1] = QStringLiteral("a text far too long for the column");
    const auto restAt = [&](QPoint Global) {
        QCursor::setPos(Global);
        QApplication::processEvents();
    };
    restAt(tree.Client().mapToGlobal(QPoint(130, 25)));
    ASSERT_TRUE(tree.HintShown());

    // The tooltip appears under the mouse: the window system reports that the
    // mouse left the tree's window for it. The tooltip stays.
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&tree.Client(), &leave);
    QHoverEvent hoverLeave(QEvent::HoverLeave, QPointF(-1, -1), QPointF(-1, -1), QPointF(130, 25));
    QApplication::sendEvent(&tree.Client(), &hoverLeave);
    EXPECT_TRUE(tree.HintShown());
    EXPECT_TRUE(tree.ViewStates().contains(tsHint));
    // The mouse still resting there asks for nothing new.
    const int asked = tree.asked;
    restAt(tree.Client().mapToGlobal(QPoint(131, 25)));
    EXPECT_TRUE(tree.HintShown());
    EXPECT_EQ(tree.asked, asked);

    // The mouse leaving the tree takes the tooltip with it.
    restAt(tree.mapToGlobal(QPoint(tree.width() + 40, 25)));
    EXPECT_FALSE(tree.HintShown());
    EXPECT_FALSE(tree.ViewStates().contains(tsHint));
}
