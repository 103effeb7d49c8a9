// The header of a shown tree driven by real mouse and key events: clicks and
// their hit info, splitter tracking and double clicks, column dragging, Escape,
// the popup, hot tracking; and its pixels.
#include "components/gui/GTDragImage.h"
#include "components/gui/GTHeader.h"
#include "components/gui/GridTreeColumns.h"
#include "components/gui/GridTreeOptions.h"
#include "components/gui/GridTreeView.h"
#include "tests/support/PixelTest.h"

#include <QApplication>
#include <QMenu>
#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

using testsupport::PixelAt;

namespace {

// A tree whose rows report a width per node, so that auto-fit has content to measure.
class TWideTree : public TGridTreeView {
public:
    using TGridTreeView::TGridTreeView;
    int Width = 0;

protected:
    int DoGetNodeWidth(TGridNode *Node, TColumnIndex, QPainter *) override
    {
        return Width + int(Node->Index()) % 7;
    }
};

class HeaderFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        view = std::make_unique<TWideTree>();
        view->resize(700, 300);
        Header().SetOptions(
            Header().Options() + TGTHeaderOptions { hoVisible, hoHotTrack, hoDblClickResize });
        for (int i = 0; i < 20; ++i) {
            TGridTreeColumn &c = Columns().Add();
            c.SetText(QStringLiteral("C%1").arg(i));
            c.SetWidth(60);
        }
        view->Tree()->SetRootNodeCount(50);
        view->show();
        view->setFocus();
        QApplication::processEvents();
        view->OnHeaderClick = [this](TGTHeader &, const TGTHeaderHitInfo &info) { clicks.push_back(info); };
        view->OnHeaderDblClick
            = [this](TGTHeader &, const TGTHeaderHitInfo &info) { dblClicks.push_back(info); };
    }

    TGTHeader &Header() const { return view->Header(); }
    TGridTreeColumns &Columns() const { return Header().Columns(); }
    QWidget &Strip() const { return view->HeaderWidget(); }
    // Header coordinates of a point inside a column's cell, dx from its left edge.
    QPoint InColumn(TColumnIndex column, int dx = -1) const
    {
        int left = 0;
        int right = 0;
        Columns().GetColumnBounds(column, left, right);
        return { dx < 0 ? (left + right) / 2 : left + dx, Header().Height() / 2 };
    }
    void Press(QPoint p) { QTest::mousePress(&Strip(), Qt::LeftButton, {}, p); }
    void Release(QPoint p) { QTest::mouseRelease(&Strip(), Qt::LeftButton, {}, p); }
    // Moves in steps, as a hand does.
    void MoveTo(QPoint from, QPoint to)
    {
        for (int step = 1; step <= 4; ++step)
            QTest::mouseMove(&Strip(), from + (to - from) * step / 4);
    }
    std::vector<TColumnIndex> Order() const
    {
        std::vector<TColumnIndex> order;
        for (TColumnPosition p = 0; p < TColumnPosition(Columns().Count()); ++p)
            order.push_back(Columns().ColumnFromPosition(p));
        return order;
    }
    // Only the first `count` columns stay visible, so that the header shows room beyond them.
    void KeepColumns(int count)
    {
        for (TColumnIndex c = count; c < Columns().Count(); ++c)
            Columns()[c].SetOptions(Columns()[c].Options() - TGTColumnOptions { coVisible });
    }
    QImage Grab() const { return view->grab().toImage().convertToFormat(QImage::Format_RGB32); }

    std::unique_ptr<TWideTree> view;
    std::vector<TGTHeaderHitInfo> clicks, dblClicks;
};

} // namespace

TEST_F(HeaderFixture, AClickReportsTheColumnInTreeWindowCoordinates)
{
    const QPoint p = InColumn(2);
    QTest::mouseClick(&Strip(), Qt::LeftButton, Qt::ShiftModifier, p);
    ASSERT_EQ(clicks.size(), 1u);
    const TGTHeaderHitInfo &hit = clicks[0];
    EXPECT_EQ(hit.Column, 2);
    EXPECT_EQ(hit.HitPosition, TGTHeaderHitPositions { hhiOnColumn });
    EXPECT_EQ(QPoint(hit.X, hit.Y), p);
    EXPECT_EQ(hit.Button, Qt::LeftButton);
    EXPECT_FALSE(hit.Shift.contains(ssDouble));
    EXPECT_EQ(Columns().ClickIndex(), 2);
    EXPECT_EQ(Columns().DownIndex(), NoColumn);

    // Right of the last column there is no column.
    KeepColumns(5);
    QTest::mouseClick(&Strip(), Qt::LeftButton, {}, QPoint(305, 5));
    EXPECT_EQ(clicks.back().Column, NoColumn);
    EXPECT_EQ(clicks.back().HitPosition, TGTHeaderHitPositions { hhiNoWhere });
}

TEST_F(HeaderFixture, AClickIsOnlyOneWhereItBeganOnAClickableColumn)
{
    // Released over another column.
    Press(InColumn(1));
    Release(InColumn(3));
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0].Column, NoColumn);
    EXPECT_EQ(clicks[0].HitPosition, TGTHeaderHitPositions { hhiNoWhere });

    // A column that takes no clicks.
    Columns()[4].SetOptions(Columns()[4].Options() - TGTColumnOptions { coAllowClick });
    QTest::mouseClick(&Strip(), Qt::LeftButton, {}, InColumn(4));
    EXPECT_EQ(clicks.back().HitPosition, TGTHeaderHitPositions { hhiNoWhere });
    EXPECT_EQ(Columns().ClickIndex(), NoColumn);

    // Moved by less than the drag distance: a click, no drag.
    int draggings = 0;
    view->OnHeaderDragging = [&](TGTHeader &, TColumnIndex, bool &) { ++draggings; };
    const QPoint from = InColumn(5);
    const QPoint to = from + QPoint(QApplication::startDragDistance(), 0);
    Press(from);
    MoveTo(from, to);
    Release(to);
    EXPECT_EQ(draggings, 0);
    EXPECT_EQ(clicks.back().Column, 5);
    EXPECT_EQ(Order()[5], 5);
}

TEST_F(HeaderFixture, TheSplitterTracksTheWidthUnlessTheOwnerVetoes)
{
    int before = 0, after = 0;
    view->OnBeforeColumnWidthTracking = [&](TGTHeader &, TColumnIndex c, TShiftState) { before += c == 0; };
    view->OnAfterColumnWidthTracking = [&](TGTHeader &, TColumnIndex c) { after += c == 0; };
    // Nothing wider than 100 pixels.
    view->OnColumnWidthTracking = [](TGTHeader &, TColumnIndex, TShiftState, QPoint &track, QPoint p,
                                      bool &allowed) { allowed = p.x() - track.x() <= 100; };
    // Just left of column 0's right edge (60): the splitter, not a press on the column.
    const QPoint edge(58, 8);
    Press(edge);
    EXPECT_EQ(Header().States().contains(hsColumnWidthTrackPending), true);
    EXPECT_EQ(Columns().DownIndex(), NoColumn);
    MoveTo(edge, QPoint(88, 8));
    EXPECT_EQ(Columns()[0].Width(), 90); // 88 - (58 - 60)
    EXPECT_EQ(Columns()[1].Left(), 90);
    // Steps to 96, 104, 112, 120: the first one is the last allowed.
    MoveTo(QPoint(88, 8), QPoint(120, 8));
    EXPECT_EQ(Columns()[0].Width(), 98);
    Release(QPoint(120, 8));
    EXPECT_EQ(before, 1);
    EXPECT_EQ(after, 1);
    EXPECT_TRUE(clicks.empty());
    EXPECT_FALSE(Header().States().contains(hsColumnWidthTracking));
}

TEST_F(HeaderFixture, DoubleClickingASplitterFitsTheColumnToItsWidestRow)
{
    view->Width = 150;
    std::vector<TColumnIndex> resized;
    view->OnColumnResize = [&](TGTHeader &, TColumnIndex c) { resized.push_back(c); };
    // Column 3's right edge is at 240.
    QTest::mouseDClick(&Strip(), Qt::LeftButton, {}, QPoint(239, 8));
    // Margin 4 + the widest row: 150 + 6 (the node width varies by index mod 7).
    EXPECT_EQ(Columns()[3].Width(), 160);
    EXPECT_FALSE(resized.empty());
    EXPECT_EQ(resized.back(), 3);
    EXPECT_TRUE(dblClicks.empty());
    EXPECT_TRUE(clicks.empty());

    // The main column adds the indent of the rows' level (root shown: one level).
    QTest::mouseDClick(&Strip(), Qt::LeftButton, {}, QPoint(59, 8));
    EXPECT_EQ(Columns()[0].Width(), 4 + 18 + 156);

    // Narrow content still leaves room for the caption and the sort glyph.
    view->Width = 0;
    Header().AutoFitColumns(false, smaNoColumn, 5, 5);
    const int caption = QFontMetrics(Header().Font()).horizontalAdvance(QStringLiteral("C5"));
    EXPECT_EQ(Columns()[5].Width(), caption + 2 * 4 + 44);
}

TEST_F(HeaderFixture, DraggingAColumnMovesItToTheDropPosition)
{
    std::vector<std::pair<TColumnIndex, TColumnPosition>> dragged;
    view->OnHeaderDragged = [&](TGTHeader &, TColumnIndex c, TColumnPosition old) {
        dragged.push_back({ c, old });
    };
    // Column 1 onto the right half of column 4.
    const QPoint from = InColumn(1);
    const QPoint to = InColumn(4, 45);
    Press(from);
    MoveTo(from, to);
    EXPECT_TRUE(Header().States().contains(hsDragging));
    EXPECT_EQ(Columns().DropTarget(), 4);
    EXPECT_FALSE(Columns().DropBefore());
    EXPECT_TRUE(Header().DragImage().Visible());
    Release(to);
    EXPECT_EQ(Order(),
        (std::vector<TColumnIndex> { 0, 2, 3, 4, 1, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19 }));
    ASSERT_EQ(dragged.size(), 1u);
    EXPECT_EQ(dragged[0], std::make_pair(TColumnIndex(1), TColumnPosition(1)));
    EXPECT_TRUE(clicks.empty());
    EXPECT_FALSE(Header().DragImage().Visible());
    EXPECT_EQ(Columns()[1].Left(), 240);

    // Back to the front: the left half of the first column.
    const QPoint back = InColumn(1);
    Press(back);
    MoveTo(back, InColumn(0, 10));
    Release(InColumn(0, 10));
    EXPECT_EQ(Order()[0], 1);

    // Dropped below the header: the owner hears of it, nothing moves.
    TColumnIndex out = NoColumn;
    view->OnHeaderDraggedOut = [&](TGTHeader &, TColumnIndex c, QPoint) { out = c; };
    const QPoint third = InColumn(3);
    Press(third);
    MoveTo(third, third + QPoint(0, 80));
    Release(third + QPoint(0, 80));
    EXPECT_EQ(out, 3);
    EXPECT_EQ(Order()[3], 3);
}

TEST_F(HeaderFixture, EscapeCancelsADrag)
{
    int dragged = 0;
    view->OnHeaderDragged = [&](TGTHeader &, TColumnIndex, TColumnPosition) { ++dragged; };
    const QPoint from = InColumn(2);
    Press(from);
    MoveTo(from, InColumn(6));
    ASSERT_TRUE(Header().States().contains(hsDragging));
    QTest::keyClick(view.get(), Qt::Key_Escape);
    EXPECT_FALSE(Header().States().contains(hsDragging));
    EXPECT_FALSE(Header().DragImage().Visible());
    EXPECT_EQ(Columns().DropTarget(), NoColumn);
    Release(InColumn(6));
    EXPECT_EQ(dragged, 0);
    EXPECT_TRUE(clicks.empty());
    EXPECT_EQ(Order()[2], 2);

    // Width tracking ends with its after event.
    int after = 0;
    view->OnAfterColumnWidthTracking = [&](TGTHeader &, TColumnIndex) { ++after; };
    Press(QPoint(58, 8));
    MoveTo(QPoint(58, 8), QPoint(70, 8));
    QTest::keyClick(view.get(), Qt::Key_Escape);
    EXPECT_EQ(after, 1);
    Release(QPoint(70, 8));
    EXPECT_EQ(after, 1);
    EXPECT_EQ(Columns()[0].Width(), 72);
}

TEST_F(HeaderFixture, ARightClickClicksWithForceAndShowsThePopup)
{
    QMenu menu;
    menu.addAction(QStringLiteral("Sort"));
    TColumnIndex asked = InvalidColumn;
    view->OnGetPopupMenu = [&](TGridTreeView &, TGridNode *node, TColumnIndex c, QPoint, bool &, QMenu *&m) {
        EXPECT_EQ(node, nullptr);
        asked = c;
        m = &menu;
    };
    QTest::mouseClick(&Strip(), Qt::RightButton, {}, InColumn(7));
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0].Column, 7);
    EXPECT_EQ(clicks[0].Button, Qt::RightButton);
    EXPECT_EQ(asked, 7);
    EXPECT_EQ(QApplication::activePopupWidget(), &menu);
    menu.close();

    // The header's own menu comes first.
    QMenu own;
    own.addAction(QStringLiteral("Columns"));
    Header().SetPopupMenu(&own);
    asked = InvalidColumn;
    QTest::mouseClick(&Strip(), Qt::RightButton, {}, InColumn(1));
    EXPECT_EQ(QApplication::activePopupWidget(), &own);
    EXPECT_EQ(asked, InvalidColumn);
    own.close();
}

TEST_F(HeaderFixture, HotTrackingFollowsTheMouseAndTimerThreeClearsIt)
{
    QTest::mouseMove(&Strip(), InColumn(3));
    EXPECT_EQ(Columns().HoverIndex(), 3);
    QTest::mouseMove(&Strip(), InColumn(4));
    EXPECT_EQ(Columns().HoverIndex(), 4);
    // Out of the header onto the rows.
    QTest::mouseMove(view->viewport(), QPoint(100, 100));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&Strip(), &leave);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Columns().HoverIndex() == NoColumn; }, 5000));
}

TEST_F(HeaderFixture, TheHeightFollowsItsLimitsAndTheMouse)
{
    Header().SetHeight(5);
    EXPECT_EQ(Header().Height(), 10);
    Header().SetHeight(17);
    EXPECT_EQ(view->viewport()->geometry().top() - Strip().geometry().top(), 17);

    Header().SetOptions(Header().Options() + TGTHeaderOptions { hoHeightResize, hoHeightDblClickResize });
    // The lower edge: one pixel inside the header.
    Press(QPoint(300, 16));
    MoveTo(QPoint(300, 16), QPoint(300, 28));
    Release(QPoint(300, 28));
    EXPECT_EQ(Header().Height(), 29);
    EXPECT_EQ(Strip().height(), 29);
    EXPECT_TRUE(clicks.empty());
    // A double click there goes back to the least height.
    QTest::mouseDClick(&Strip(), Qt::LeftButton, {}, QPoint(300, 28));
    EXPECT_EQ(Header().Height(), 10);
}

TEST_F(HeaderFixture, TheSortGlyphIsDrawnOnTheSortColumnOnly)
{
    TGTPaintOptions paint = view->TreeOptions().PaintOptions();
    paint.exclude(toThemeAware);
    view->TreeOptions().SetPaintOptions(paint);
    Header().SetSortColumn(1);
    Header().SetSortDirection(sdAscending);
    QApplication::processEvents();
    const QImage image = Grab();
    testsupport::SavePng(image, QStringLiteral("header_sort_glyph"));
    const QPoint origin = Strip().geometry().topLeft();
    // The glyph's top-left: 4 (margin) + 16 left of the cell's right edge, (17 - 16) / 2 down;
    // its triangle's middle row at (8, 7) is the button shadow.
    const auto glyphPixel = [&](TColumnIndex c) {
        return PixelAt(image, origin.x() + 60 * (c + 1) - 4 - 16 + 8, origin.y() + 0 + 7);
    };
    EXPECT_EQ(glyphPixel(1), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(glyphPixel(0), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(glyphPixel(2), GetSysColor(COLOR_BTNFACE));
    // Ascending is widest at its lowest row (9), descending at its highest (6).
    Header().SetSortDirection(sdDescending);
    QApplication::processEvents();
    const QImage down = Grab();
    const int x = origin.x() + 120 - 20 + 5;
    EXPECT_EQ(PixelAt(image, x, origin.y() + 9), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(PixelAt(image, x, origin.y() + 6), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(PixelAt(down, x, origin.y() + 6), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(PixelAt(down, x, origin.y() + 9), GetSysColor(COLOR_BTNFACE));
}

TEST_F(HeaderFixture, AnOwnerDrawsTheBackgroundItAskedFor)
{
    Header().SetOptions(Header().Options() + TGTHeaderOptions { hoOwnerDraw });
    view->OnHeaderDrawQueryElements
        = [](TGTHeader &, THeaderPaintInfo &info, THeaderPaintElements &elements) {
              // The background everywhere, the text of column 2 too.
              elements = { hpeBackground };
              if (info.Column && info.Column->Index() == 2)
                  elements.include(hpeText);
          };
    std::vector<TColumnIndex> texts;
    view->OnAdvancedHeaderDraw = [&](TGTHeader &, THeaderPaintInfo &info, THeaderPaintElements elements) {
        if (elements.contains(hpeBackground))
            info.TargetCanvas->fillRect(ToQRect(info.PaintRectangle), ToQColor(RGB(10, 200, 30)));
        if (elements.contains(hpeText))
            texts.push_back(info.Column->Index());
    };
    KeepColumns(5);
    QApplication::processEvents();
    const QImage image = Grab();
    testsupport::SavePng(image, QStringLiteral("header_owner_background"));
    const QPoint origin = Strip().geometry().topLeft();
    // Inside the last cell (right of its caption) and beyond it.
    EXPECT_EQ(PixelAt(image, origin.x() + 298, origin.y() + 2), RGB(10, 200, 30));
    EXPECT_EQ(PixelAt(image, origin.x() + 310, origin.y() + 2), RGB(10, 200, 30));
    EXPECT_NE(std::find(texts.begin(), texts.end(), 2), texts.end());
}

TEST_F(HeaderFixture, TheDragImageBlendsTheCellWithItsValues)
{
    // Flat, empty cells, so that image and background are one colour: button face.
    TGTPaintOptions paint = view->TreeOptions().PaintOptions();
    paint.exclude(toThemeAware);
    view->TreeOptions().SetPaintOptions(paint);
    Header().SetStyle(hsPlates);
    for (TColumnIndex c = 0; c < Columns().Count(); ++c)
        Columns()[c].SetText(QString());
    const QPoint from = InColumn(1, 10);
    const QPoint to = from + QPoint(100, 0);
    Press(from);
    MoveTo(from, to);
    ASSERT_TRUE(Header().DragImage().Visible());
    QApplication::processEvents();
    const QImage image = Grab();
    testsupport::SavePng(image, QStringLiteral("header_drag_image"));
    // The image is column 1's cell, moved with the mouse: it now starts at 160.
    const TRect r = Header().DragImage().GetDragImageRect();
    EXPECT_EQ(r.Left - Strip().geometry().left(), 160);
    // Pre-blend: floor(255 * 240 / 256) - 50 = 189; shown: floor((140 * 189 + 116 * 240) / 256) = 212.
    // (Column 4's drop mark lies at its left edge, far from this pixel.)
    EXPECT_EQ(PixelAt(image, r.Left + 30, r.Top + 8), RGB(212, 212, 212));
    Release(to);
}
