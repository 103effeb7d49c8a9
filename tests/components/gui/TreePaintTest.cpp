// Painting of a shown tree: backgrounds, grid lines, fixed columns, the focus
// frame, the order of the paint events and their effects. Expected pixels are
// worked out from the row heights (18), the column widths and the options.
#include "components/gui/DrawGridTree.h"
#include "components/gui/GTColors.h"
#include "components/gui/StringGridTree.h"
#include "tests/components/gui/TreeViewTestSupport.h"

#include <QFontMetrics>
#include <QPainter>
#include <QScreen>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace treetest;
using testsupport::PixelAt;

namespace {

constexpr TColor TreeColor = RGB(0xC8, 0xC8, 0xFA);
constexpr TColor ColorA = RGB(0xFA, 0xC8, 0xC8);
constexpr TColor ColorB = RGB(0xC8, 0xFA, 0xC8);
constexpr TColor ColorC = RGB(0xF0, 0xF0, 0x80);
constexpr TColor Handler = RGB(0x20, 0x40, 0x60);

} // namespace

TEST(TreePaint, RowsAndColumnStripsTakeTheirColours)
{
    TGridTreeView view;
    view.SetColor(TreeColor);
    AddColumns(view, { 60, 50 }, { ColorA, ColorB });
    ShowTree(view, 240, 120);

    // An empty tree: the column strips, then the tree colour.
    QImage image = Screen(view);
    EXPECT_EQ(PixelAt(image, 0, 0), ColorA);
    EXPECT_EQ(PixelAt(image, 59, 119), ColorA);
    EXPECT_EQ(PixelAt(image, 60, 0), ColorB);
    EXPECT_EQ(PixelAt(image, 109, 60), ColorB);
    EXPECT_EQ(PixelAt(image, 110, 60), TreeColor);

    // Three rows (0 to 53): cells in their columns' colours, the tree colour
    // right of the columns, the strips below.
    view.Tree()->SetRootNodeCount(3);
    image = Screen(view);
    EXPECT_EQ(PixelAt(image, 30, 9), ColorA);
    EXPECT_EQ(PixelAt(image, 85, 40), ColorB);
    EXPECT_EQ(PixelAt(image, 150, 9), TreeColor);
    EXPECT_EQ(PixelAt(image, 30, 100), ColorA);
    EXPECT_EQ(PixelAt(image, 109, 100), ColorB);
    EXPECT_EQ(PixelAt(image, 110, 100), TreeColor);

    // A column with its parent's colour takes the tree's.
    TGridTreeColumn &second = view.Header().Columns()[1];
    second.SetOptions(second.Options() + TGTColumnOptions { coParentColor });
    image = Screen(view);
    EXPECT_EQ(PixelAt(image, 85, 40), TreeColor);
    EXPECT_EQ(PixelAt(image, 85, 100), TreeColor);

    // The area below the rows is the handler's when it says so.
    int calls = 0;
    view.OnPaintBackground = [&calls](TGridTreeView &, QPainter &Canvas, const TRect &R, bool &Handled) {
        ++calls;
        Canvas.fillRect(ToQRect(R), ToQColor(Handler));
        Handled = true;
    };
    image = Screen(view);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(PixelAt(image, 30, 53), ColorA);
    EXPECT_EQ(PixelAt(image, 30, 54), Handler);
    EXPECT_EQ(PixelAt(image, 200, 119), Handler);
}

TEST(TreePaint, GridLinesAreDottedAndTakeTheCellsLastPixel)
{
    TGridTreeView view;
    view.SetColor(clWhite);
    view.Colors().SetColor(TGTColors::GridLineColor, clBlack);
    AddColumns(view, { 60, 60 });
    AddPaintOptions(view, { toShowHorzGridLines, toShowVertGridLines });
    view.Tree()->SetRootNodeCount(3);
    ShowTree(view, 200, 100);

    // A line pixel wherever x + y (tree coordinates) is even, so lines stay
    // dotted across rows.
    QImage image = Screen(view);
    EXPECT_EQ(PixelAt(image, 31, 17), clBlack);
    EXPECT_EQ(PixelAt(image, 30, 17), clWhite);
    EXPECT_EQ(PixelAt(image, 31, 35), clBlack);
    EXPECT_EQ(PixelAt(image, 30, 35), clWhite);
    EXPECT_EQ(PixelAt(image, 30, 16), clWhite);
    EXPECT_EQ(PixelAt(image, 59, 5), clBlack);
    EXPECT_EQ(PixelAt(image, 59, 4), clWhite);
    EXPECT_EQ(PixelAt(image, 119, 1), clBlack);
    // Below the rows only with full grid lines.
    EXPECT_EQ(PixelAt(image, 59, 71), clWhite);
    AddPaintOptions(view, { toFullVertGridLines });
    image = Screen(view);
    EXPECT_EQ(PixelAt(image, 59, 71), clBlack);
    EXPECT_EQ(PixelAt(image, 59, 70), clWhite);
    EXPECT_EQ(PixelAt(image, 60, 71), clWhite);

    // Solid lines take every pixel.
    view.SetLineStyle(lsSolid);
    image = Screen(view);
    EXPECT_EQ(PixelAt(image, 30, 17), clBlack);
    EXPECT_EQ(PixelAt(image, 59, 4), clBlack);
}

TEST(TreePaint, FixedColumnsStayWhereTheyAreWhenScrolledSideways)
{
    TGridTreeView view;
    view.SetColor(TreeColor);
    AddColumns(view, { 50, 200, 200 }, { ColorA, ColorB, ColorC });
    TGridTreeColumn &fixed = view.Header().Columns()[0];
    fixed.SetOptions(fixed.Options() + TGTColumnOptions { coFixed });
    view.Tree()->SetRootNodeCount(2);
    ShowTree(view, 200, 60);
    EXPECT_EQ(PixelAt(Screen(view), 170, 9), ColorB);

    view.SetOffsetX(-100);
    EXPECT_EQ(view.OffsetX(), -100);
    // What the window now holds, and what a new paint gives: the same.
    QApplication::processEvents();
    const QImage held
        = view.screen()->grabWindow(view.winId()).toImage().convertToFormat(QImage::Format_ARGB32);
    for (const QImage &image : { Screen(view), held }) {
        EXPECT_EQ(PixelAt(image, 25, 9), ColorA);
        EXPECT_EQ(PixelAt(image, 49, 50), ColorA);
        EXPECT_EQ(PixelAt(image, 60, 9), ColorB); // tree x 160
        EXPECT_EQ(PixelAt(image, 149, 9), ColorB); // tree x 249
        EXPECT_EQ(PixelAt(image, 150, 9), ColorC);
        EXPECT_EQ(PixelAt(image, 170, 50), ColorC);
    }
}

TEST(TreePaint, BackgroundPictureIsTiledOrFixedAtItsOffset)
{
    QImage picture(4, 4, QImage::Format_ARGB32);
    const auto pictureAt = [](int x, int y) { return RGB(x * 60, y * 60, 100); };
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            picture.setPixel(x, y, ToQRgb(pictureAt(x, y)));
    TGridTreeView view;
    view.SetColor(TreeColor);
    view.SetBackground(picture);
    view.SetBackgroundOffset(0, 1);
    view.SetBackgroundOffset(1, 2);
    AddPaintOptions(view, { toShowBackground });
    view.Tree()->SetRootNodeCount(2);
    ShowTree(view, 100, 80);

    // Tiled from the window's origin less the offsets, in rows and below them.
    QImage image = Screen(view);
    EXPECT_EQ(PixelAt(image, 5, 7), pictureAt(2, 1));
    EXPECT_EQ(PixelAt(image, 0, 20), pictureAt(1, 2));
    EXPECT_EQ(PixelAt(image, 5, 50), pictureAt(2, 0));
    EXPECT_EQ(PixelAt(image, 98, 79), pictureAt(3, 1));

    // Fixed at the offsets, the tree colour around it.
    AddPaintOptions(view, { toStaticBackground });
    image = Screen(view);
    EXPECT_EQ(PixelAt(image, 1, 2), pictureAt(0, 0));
    EXPECT_EQ(PixelAt(image, 4, 5), pictureAt(3, 3));
    EXPECT_EQ(PixelAt(image, 5, 2), TreeColor);
    EXPECT_EQ(PixelAt(image, 1, 6), TreeColor);
    EXPECT_EQ(PixelAt(image, 2, 50), TreeColor);
}

TEST(TreePaint, FocusFrameInvertsEveryOtherPixelAroundTheText)
{
    TStringGridTree view;
    view.SetColor(clWhite);
    AddPaintOptions(view, { toPopupMode });
    view.Tree()->SetRootNodeCount(2);
    ShowTree(view, 200, 60);
    view.Tree()->SetFocusedNode(Row(view, 0));

    // Without columns: the content starts after the margin (4) and one indent
    // (18, the root level); it is the text's width plus two text margins (4).
    const int left = 4 + 18;
    const int width = QFontMetrics(view.font()).horizontalAdvance(QStringLiteral("Node")) + 8;
    const QImage image = Screen(view);
    EXPECT_EQ(PixelAt(image, left, 0), clBlack);
    EXPECT_EQ(PixelAt(image, left + 1, 0), clWhite);
    EXPECT_EQ(PixelAt(image, left, 2), clBlack);
    EXPECT_EQ(PixelAt(image, left, 3), clWhite);
    EXPECT_EQ(PixelAt(image, left - 1, 0), clWhite);
    const int right = left + width - 1;
    EXPECT_EQ(PixelAt(image, right, 17), (right + 17) % 2 == 0 ? clBlack : clWhite);
    EXPECT_EQ(PixelAt(image, right + 1, 16), clWhite);
    // The second row has no focus.
    EXPECT_EQ(PixelAt(image, left, 18), clWhite);

    // No frame with toHideFocusRect.
    AddPaintOptions(view, { toHideFocusRect });
    EXPECT_EQ(PixelAt(Screen(view), left, 0), clWhite);
}

namespace {

// Records the paint events of a tree of two rows and two columns.
struct TRecorder {
    TCustomDrawGridTree view;
    QStringList events;

    TRecorder()
    {
        AddColumns(view, { 60, 60 });
        view.Tree()->SetRootNodeCount(2);
        view.OnBeforePaint = [this](TGridTreeView &, QPainter &) { events << "BeforePaint"; };
        view.OnBeforeItemPaint = [this](TGridTreeView &, QPainter &, TGridNode *Node, const TRect &, bool &) {
            events << QStringLiteral("BeforeItemPaint %1").arg(Node->Index());
        };
        view.OnBeforeItemErase = [this](TGridTreeView &, QPainter &, TGridNode *, const TRect &, TColor &,
                                     TItemEraseAction &) { events << "BeforeItemErase"; };
        view.OnAfterItemErase
            = [this](TGridTreeView &, QPainter &, TGridNode *, const TRect &) { events << "AfterItemErase"; };
        view.OnBeforeCellPaint
            = [this](TGridTreeView &, QPainter &, TGridNode *, TColumnIndex Column, TGTCellPaintMode,
                  const TRect &, TRect &) { events << QStringLiteral("BeforeCellPaint %1").arg(Column); };
        view.OnDrawNode = [this](TCustomDrawGridTree &, const TGTPaintInfo &Info) {
            events << QStringLiteral("DrawNode %1").arg(Info.Column);
        };
        view.OnAfterCellPaint
            = [this](TGridTreeView &, QPainter &, TGridNode *, TColumnIndex Column, const TRect &) {
                  events << QStringLiteral("AfterCellPaint %1").arg(Column);
              };
        view.OnAfterItemPaint
            = [this](TGridTreeView &, QPainter &, TGridNode *, const TRect &) { events << "AfterItemPaint"; };
        view.OnPaintBackground
            = [this](TGridTreeView &, QPainter &, const TRect &, bool &) { events << "PaintBackground"; };
        view.OnAfterPaint = [this](TGridTreeView &, QPainter &) { events << "AfterPaint"; };
    }

    // PaintTree of the tree's first 100 x 60 pixels into an image.
    QImage Paint()
    {
        QImage image = testsupport::MakeCanvas(100, 60, clBlack);
        QPainter painter(&image);
        view.PaintTree(painter, Rect(0, 0, 100, 60), QPoint(), WindowPaintOptions);
        return image;
    }
};

} // namespace

TEST(TreePaint, EventsComeInTheirOrder)
{
    TRecorder recorder;
    ShowTree(recorder.view, 200, 80);
    recorder.events.clear();
    recorder.Paint();
    const QStringList row = { "BeforeItemErase", "AfterItemErase", "BeforeCellPaint 0", "DrawNode 0",
        "AfterCellPaint 0", "BeforeCellPaint 1", "DrawNode 1", "AfterCellPaint 1", "AfterItemPaint" };
    QStringList expected { "BeforePaint", "BeforeItemPaint 0" };
    expected << row << "BeforeItemPaint 1" << row << "PaintBackground"
             << "AfterPaint";
    EXPECT_EQ(recorder.events, expected);

    // A window of the first row's lower half and the second row's upper half
    // paints both rows and nothing below them.
    recorder.events.clear();
    QImage image = testsupport::MakeCanvas(100, 18);
    QPainter painter(&image);
    recorder.view.PaintTree(painter, Rect(0, 9, 100, 27), QPoint(), WindowPaintOptions);
    EXPECT_EQ(recorder.events.count("AfterItemPaint"), 2);
    EXPECT_FALSE(recorder.events.contains("PaintBackground"));
}

TEST(TreePaint, CustomDrawnRowIsCopiedAsTheHandlerLeftIt)
{
    TRecorder recorder;
    recorder.view.OnBeforeItemPaint = [&recorder](TGridTreeView &, QPainter &Canvas, TGridNode *Node,
                                          const TRect &ItemRect, bool &Custom) {
        recorder.events << QStringLiteral("BeforeItemPaint %1").arg(Node->Index());
        if (Node->Index() == 0) {
            Canvas.fillRect(ToQRect(ItemRect), ToQColor(Handler));
            Custom = true;
        }
    };
    recorder.view.SetColor(TreeColor);
    ShowTree(recorder.view, 200, 80);
    recorder.events.clear();
    const QImage image = recorder.Paint();
    EXPECT_EQ(PixelAt(image, 5, 5), Handler);
    EXPECT_EQ(PixelAt(image, 99, 17), Handler);
    EXPECT_EQ(PixelAt(image, 5, 18), TreeColor);
    // The claimed row gets no erasing and no cells, but its closing event.
    EXPECT_EQ(recorder.events.mid(1, 3),
        (QStringList { "BeforeItemPaint 0", "AfterItemPaint", "BeforeItemPaint 1" }));
}

TEST(TreePaint, FailingHandlerStillEndsThePaint)
{
    TRecorder recorder;
    ShowTree(recorder.view, 200, 80);
    recorder.view.OnAfterCellPaint
        = [](TGridTreeView &, QPainter &, TGridNode *Node, TColumnIndex, const TRect &) {
              if (Node->Index() == 1)
                  throw std::runtime_error("handler failed");
          };
    recorder.events.clear();
    EXPECT_THROW(recorder.Paint(), std::runtime_error);
    EXPECT_EQ(recorder.events.count("AfterPaint"), 1);
    EXPECT_EQ(recorder.events.last(), "AfterPaint");
    EXPECT_FALSE(recorder.view.ViewStates().contains(tsPainting));

    // The next paint runs whole; a paint inside a paint does nothing.
    recorder.view.OnAfterCellPaint = nullptr;
    int nested = 0;
    recorder.view.OnBeforePaint = [&nested](TGridTreeView &View, QPainter &Canvas) {
        ++nested;
        View.PaintTree(Canvas, Rect(0, 0, 10, 10), QPoint(), WindowPaintOptions);
    };
    recorder.events.clear();
    recorder.Paint();
    EXPECT_EQ(nested, 1);
    EXPECT_EQ(recorder.events.count("AfterItemPaint"), 2);
    // The window survives a failing handler too.
    recorder.view.OnAfterCellPaint = [](TGridTreeView &, QPainter &, TGridNode *, TColumnIndex,
                                         const TRect &) { throw std::runtime_error("handler failed"); };
    Screen(recorder.view);
    EXPECT_FALSE(recorder.view.ViewStates().contains(tsPainting));
}

namespace {

constexpr TColor Focused = RGB(10, 20, 200);
constexpr TColor FocusedBorder = RGB(200, 0, 0);
constexpr TColor Unfocused = RGB(150, 150, 150);
constexpr TColor UnfocusedBorder = RGB(0, 150, 0);

// Two columns of 60 in the tree colour white, three rows, the second selected.
void MakeSelectedTree(TGridTreeView &View)
{
    View.SetColor(clWhite);
    View.Colors().SetColor(TGTColors::FocusedSelectionColor, Focused);
    View.Colors().SetColor(TGTColors::FocusedSelectionBorderColor, FocusedBorder);
    View.Colors().SetColor(TGTColors::UnfocusedSelectionColor, Unfocused);
    View.Colors().SetColor(TGTColors::UnfocusedSelectionBorderColor, UnfocusedBorder);
    View.TreeOptions().SetSelectionOptions({ toFullRowSelect });
    AddColumns(View, { 60, 60 });
    View.Tree()->SetRootNodeCount(3);
    ShowTree(View, 200, 80);
    View.clearFocus();
    View.Tree()->SetSelected(Row(View, 1), true);
}

void Focus(TGridTreeView &View)
{
    QApplication::setActiveWindow(&View);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&View));
    View.setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(View.Focused());
}

} // namespace

TEST(TreePaint, FullRowSelectionInTheFocusedAndUnfocusedColours)
{
    TGridTreeView view;
    MakeSelectedTree(view);
    ASSERT_FALSE(view.Focused());
    // Row 1 is 18 to 35. Each cell is framed on its own; right of the columns
    // the row's own frame (0 to 199) shows.
    QImage image = Screen(view);
    EXPECT_EQ(PixelAt(image, 30, 25), Unfocused);
    EXPECT_EQ(PixelAt(image, 0, 25), UnfocusedBorder);
    EXPECT_EQ(PixelAt(image, 59, 25), UnfocusedBorder);
    EXPECT_EQ(PixelAt(image, 60, 25), UnfocusedBorder);
    EXPECT_EQ(PixelAt(image, 30, 18), UnfocusedBorder);
    EXPECT_EQ(PixelAt(image, 30, 35), UnfocusedBorder);
    EXPECT_EQ(PixelAt(image, 150, 25), Unfocused);
    EXPECT_EQ(PixelAt(image, 150, 18), UnfocusedBorder);
    EXPECT_EQ(PixelAt(image, 199, 25), UnfocusedBorder);
    EXPECT_EQ(PixelAt(image, 30, 9), clWhite);
    EXPECT_EQ(PixelAt(image, 30, 40), clWhite);

    // The popup look is the focused one.
    AddPaintOptions(view, { toPopupMode });
    image = Screen(view);
    EXPECT_EQ(PixelAt(image, 30, 25), Focused);
    EXPECT_EQ(PixelAt(image, 59, 25), FocusedBorder);
    RemovePaintOptions(view, { toPopupMode });

    // Hidden while unfocused with toHideSelection.
    AddPaintOptions(view, { toHideSelection });
    EXPECT_EQ(PixelAt(Screen(view), 30, 25), clWhite);

    // Focused: shown in the focused colours.
    Focus(view);
    image = Screen(view);
    EXPECT_EQ(PixelAt(image, 30, 25), Focused);
    EXPECT_EQ(PixelAt(image, 150, 25), Focused);
    EXPECT_EQ(PixelAt(image, 150, 35), FocusedBorder);

    // Never with toAlwaysHideSelection; and no more once deselected.
    AddPaintOptions(view, { toAlwaysHideSelection });
    EXPECT_EQ(PixelAt(Screen(view), 30, 25), clWhite);
    RemovePaintOptions(view, { toAlwaysHideSelection });
    view.Tree()->SetSelected(Row(view, 1), false);
    EXPECT_EQ(PixelAt(Screen(view), 30, 25), clWhite);
}

// A tree held still (its document half changed, as in an update bracket) draws
// none of its rows even when the window system asks for the area again; the
// rows come back once it may paint.
TEST(TreePaint, TreeHeldStillDrawsNoRowsOnAnExpose)
{
    TGridTreeView view;
    MakeSelectedTree(view);
    int paints = 0;
    view.OnBeforePaint = [&paints](TGridTreeView &, QPainter &) { ++paints; };
    view.setUpdatesEnabled(false);
    ASSERT_FALSE(view.updatesEnabled());
    EXPECT_NE(PixelAt(Screen(view), 30, 25), Unfocused);
    EXPECT_EQ(paints, 0);
    view.setUpdatesEnabled(true);
    EXPECT_EQ(PixelAt(Screen(view), 30, 25), Unfocused);
    EXPECT_GT(paints, 0);
}

TEST(TreePaint, BlendedSelectionMixesItsColourIntoTheCell)
{
    TGridTreeView view;
    MakeSelectedTree(view);
    AddPaintOptions(view, { toUseBlendedSelection, toPopupMode });
    // Half and half with white (255): floor((128 x C + 128 x 255) / 256).
    QImage image = Screen(view);
    EXPECT_EQ(PixelAt(image, 30, 25), RGB(132, 137, 227));
    EXPECT_EQ(PixelAt(image, 59, 35), RGB(132, 137, 227));
    // Right of the columns the row keeps the tree colour.
    EXPECT_EQ(PixelAt(image, 150, 25), clWhite);
    // A quarter: floor((64 x C + 192 x 255) / 256).
    view.SetSelectionBlendFactor(64);
    image = Screen(view);
    EXPECT_EQ(PixelAt(image, 30, 25), RGB(193, 196, 241));
    // Pixels drawn over the blend are opaque: the blit keeps them as they are.
    EXPECT_EQ(qAlpha(view.viewport()->grab().toImage().pixel(30, 25)), 255);
}

TEST(TreePaint, SelectionStopsAboveTheGridLines)
{
    TGridTreeView view;
    MakeSelectedTree(view);
    view.Colors().SetColor(TGTColors::UnfocusedSelectionBorderColor, Unfocused);
    view.Colors().SetColor(TGTColors::GridLineColor, clBlack);
    AddPaintOptions(view, { toShowHorzGridLines, toShowVertGridLines });
    const QImage image = Screen(view);
    // Row 1's line at y 35 and column 0's at x 59 stay dotted on the tree colour.
    EXPECT_EQ(PixelAt(image, 31, 35), clBlack);
    EXPECT_EQ(PixelAt(image, 30, 35), clWhite);
    EXPECT_EQ(PixelAt(image, 30, 34), Unfocused);
    EXPECT_EQ(PixelAt(image, 59, 19), clBlack);
    EXPECT_EQ(PixelAt(image, 59, 20), clWhite);
    EXPECT_EQ(PixelAt(image, 58, 20), Unfocused);
    EXPECT_EQ(PixelAt(image, 60, 20), Unfocused);
}

namespace {

class TBandPainter : public TGridTreeView {
public:
    using TGridTreeView::PaintSelectionRectangle;
    using TGridTreeView::TGridTreeView;
};

} // namespace

TEST(TreePaint, SelectionBandIsBlendedAndFramedOrDotted)
{
    TBandPainter view;
    view.Colors().SetColor(TGTColors::SelectionRectangleBlendColor, RGB(0, 0, 255));
    view.Colors().SetColor(TGTColors::SelectionRectangleBorderColor, RGB(255, 0, 0));
    RemovePaintOptions(view, { toThemeAware });
    QImage image = testsupport::MakeCanvas(60, 20);
    {
        // A row buffer whose left edge is tree x 100: the band from 110 to 130
        // covers pixels 10 to 29, rows 2 to 11.
        QPainter painter(&image);
        painter.translate(-100, 0);
        view.SetDrawSelectionMode(smBlendedRectangle);
        view.PaintSelectionRectangle(painter, 100, Rect(130, 12, 110, 2), Rect(0, 0, 60, 20));
    }
    // Half and half with white: floor((128 x C + 128 x 255) / 256).
    EXPECT_EQ(PixelAt(image, 15, 5), RGB(127, 127, 255));
    EXPECT_EQ(PixelAt(image, 10, 5), RGB(255, 0, 0));
    EXPECT_EQ(PixelAt(image, 29, 11), RGB(255, 0, 0));
    EXPECT_EQ(PixelAt(image, 30, 5), clWhite);
    EXPECT_EQ(PixelAt(image, 15, 12), clWhite);

    // Dotted: every other border pixel inverted.
    image = testsupport::MakeCanvas(60, 20);
    {
        QPainter painter(&image);
        painter.translate(-100, 0);
        view.SetDrawSelectionMode(smDottedRectangle);
        view.PaintSelectionRectangle(painter, 100, Rect(110, 2, 130, 12), Rect(0, 0, 60, 20));
    }
    EXPECT_EQ(PixelAt(image, 10, 2), clBlack);
    EXPECT_EQ(PixelAt(image, 11, 2), clWhite);
    EXPECT_EQ(PixelAt(image, 15, 5), clWhite);
}

// On a target of two device pixels to each pixel (a scaled screen) the rows are
// painted at the target's resolution, not painted at one and stretched: a line
// drawn half a pixel wide in a cell shows as one device pixel.
TEST(TreePaint, RowsArePaintedAtTheTargetsDevicePixels)
{
    TGridTreeView view;
    view.SetColor(clWhite);
    AddColumns(view, { 60, 60 });
    view.Tree()->SetRootNodeCount(2);
    ShowTree(view, 200, 80);
    view.OnAfterCellPaint = [](TGridTreeView &, QPainter &Canvas, TGridNode *, TColumnIndex, const TRect &R) {
        Canvas.fillRect(QRectF(R.Left + 10, R.Top + 4, 0.5, 10), Qt::black);
    };
    QImage target(400, 160, QImage::Format_ARGB32);
    target.setDevicePixelRatio(2);
    target.fill(Qt::white);
    {
        QPainter painter(&target);
        view.PaintTree(painter, Rect(0, 0, 200, 36), QPoint(), WindowPaintOptions);
    }
    target.setDevicePixelRatio(1);
    // Device pixels 20 (the line) and 21 (its other half, left white).
    EXPECT_EQ(PixelAt(target, 20, 20), clBlack);
    EXPECT_EQ(PixelAt(target, 21, 20), clWhite);
}
