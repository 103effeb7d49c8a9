// Drags over a tree by real drag events on its client area, and drags from a
// tree by real mouse events, whose drag loop (the offscreen platform has
// none) hands the data to the target's events the way a system loop would.
#include "components/gui/GTColors.h"
#include "components/gui/GTDataObject.h"
#include "components/gui/GTHeader.h"
#include "components/gui/GridTreeColumns.h"
#include "tests/components/gui/CellTreeSupport.h"

#include <QDragEnterEvent>
#include <QMimeData>
#include <QTest>
#include <gtest/gtest.h>

using namespace treetest;
using testsupport::PixelAt;

namespace {

// A drop target: rows "t0".."t4" in one column of 150 pixels; every drop
// accepted; a drop inserts the tree records by the drop mode.
struct TDropTree : TCellTree {
    QStringList events;
    bool accept = true;

    explicit TDropTree(const QString &Prefix = QStringLiteral("t"), int Rows = 5)
    {
        AddColumns(*this, { 150 });
        for (int i = 0; i < Rows; ++i)
            Add(nullptr, { Prefix + QString::number(i) });
        Tree()->SetSelectionOptions({ toMultiSelect });
        SetClipboardFormats({ QLatin1String(CFSTR_GRIDTREE) });
        Colors().SetColor(TGTColors::DropMarkColor, clRed);
        SetColor(clWhite);
        OnDragOver = [this](TGridTreeView &, TGridTreeView *, TShiftState, TDragState State, QPoint,
                         TDropMode, uint32_t &, bool &Accept) { Accept = accept && State != dsDragLeave; };
        OnDragDrop = [this](TGridTreeView &, TGridTreeView *Source, const QMimeData *Data,
                         const QStringList &, TShiftState, QPoint, uint32_t &Effect, TDropMode Mode) {
            events << QStringLiteral("drop %1").arg(Effect);
            const TGTAttachMode attach = Mode == dmAbove ? amInsertBefore
                : Mode == dmBelow                        ? amInsertAfter
                                                         : amAddChildLast;
            ProcessOLEData(
                Source, Data, Tree()->DropTargetNode(), attach, Source && Effect == DROPEFFECT_MOVE);
        };
        ShowTree(*this, 200, 100);
    }
    QWidget &Client() const { return *viewport(); }

    // A drag entering at P, moving there and, with Drop, dropping there:
    // the effect chosen (0: refused).
    uint32_t DragTo(
        const QMimeData *Data, uint32_t Allowed, QPoint P, Qt::KeyboardModifiers Keys = {}, bool Drop = true)
    {
        const auto actions = Qt::DropActions(int(Allowed));
        QDragEnterEvent enter(P, actions, Data, Qt::LeftButton, Keys);
        QApplication::sendEvent(&Client(), &enter);
        QDragMoveEvent move(P, actions, Data, Qt::LeftButton, Keys);
        QApplication::sendEvent(&Client(), &move);
        if (!Drop)
            return move.isAccepted() ? uint32_t(move.dropAction()) : 0;
        QDropEvent drop(P, actions, Data, Qt::LeftButton, Keys);
        QApplication::sendEvent(&Client(), &drop);
        return drop.isAccepted() ? uint32_t(drop.dropAction()) : 0;
    }
    // A move over the tree already entered.
    uint32_t MoveTo(const QMimeData *Data, uint32_t Allowed, QPoint P, Qt::KeyboardModifiers Keys = {})
    {
        QDragMoveEvent move(P, Qt::DropActions(int(Allowed)), Data, Qt::LeftButton, Keys);
        QApplication::sendEvent(&Client(), &move);
        return move.isAccepted() ? uint32_t(move.dropAction()) : 0;
    }
    void Leave()
    {
        QDragLeaveEvent leave;
        QApplication::sendEvent(&Client(), &leave);
    }
};

// The drag loop of a test: the data goes to Target at Point with Keys.
struct TDragLoopScope {
    uint32_t allowed = 0;
    TDragLoopScope(TDropTree &Target, QPoint Point, Qt::KeyboardModifiers Keys)
    {
        TGridTreeView::SetDragLoop(
            [this, &Target, Point, Keys](TGridTreeView &, QMimeData *Data, uint32_t Allowed) {
                allowed = Allowed;
                return Target.DragTo(Data, Allowed, Point, Keys);
            });
    }
    ~TDragLoopScope() { TGridTreeView::SetDragLoop({}); }
};

// Presses on a row's text and moves the mouse beyond the drag distance.
void DragRow(TDropTree &Source, int Row)
{
    const QPoint from(30, Row * 18 + 9);
    QTest::mousePress(&Source.Client(), Qt::LeftButton, {}, from);
    QTest::mouseMove(&Source.Client(), from + QPoint(0, QApplication::startDragDistance() + 5));
    QTest::mouseRelease(&Source.Client(), Qt::LeftButton, {}, from);
}

} // namespace

TEST(GridTreeDragDrop, DropModeFollowsTheHalfOfTheRowOrTheLabel)
{
    TDropTree tree;
    QMimeData data;
    // Row 2 (36..54): its text, the upper and the lower half right of it.
    tree.DragTo(&data, DROPEFFECT_COPY, QPoint(30, 45), {}, false);
    EXPECT_EQ(tree.LastDropMode(), dmOnNode);
    EXPECT_EQ(tree.Tree()->DropTargetNode(), tree.Find(QStringLiteral("t2")));
    tree.MoveTo(&data, DROPEFFECT_COPY, QPoint(120, 40));
    EXPECT_EQ(tree.LastDropMode(), dmAbove);
    tree.MoveTo(&data, DROPEFFECT_COPY, QPoint(120, 50));
    EXPECT_EQ(tree.LastDropMode(), dmBelow);
    // Below the rows: nowhere.
    tree.MoveTo(&data, DROPEFFECT_COPY, QPoint(120, 95));
    EXPECT_EQ(tree.LastDropMode(), dmNowhere);
    EXPECT_EQ(tree.Tree()->DropTargetNode(), nullptr);
    // Without drop marks a row is always dropped on.
    tree.TreeOptions().SetPaintOptions(
        tree.TreeOptions().PaintOptions() - TGTPaintOptions { toShowDropmark });
    tree.MoveTo(&data, DROPEFFECT_COPY, QPoint(120, 40));
    EXPECT_EQ(tree.LastDropMode(), dmOnNode);
    tree.Leave();
    EXPECT_EQ(tree.Tree()->DropTargetNode(), nullptr);
}

TEST(GridTreeDragDrop, DropMarkIsPaintedAtTheRowsEdgeAndGoesWithTheDrag)
{
    TDropTree tree;
    QMimeData data;
    tree.DragTo(&data, DROPEFFECT_COPY, QPoint(120, 40), {}, false);
    ASSERT_EQ(tree.LastDropMode(), dmAbove);
    // Row 2 spans 0..200 and 36..54: the mark above is a bar from x 2 to 198
    // on y 36 and 37 with triangles down to y 42 at both ends.
    QImage shown = Screen(tree);
    EXPECT_EQ(PixelAt(shown, 100, 36), clRed);
    EXPECT_EQ(PixelAt(shown, 100, 37), clRed);
    EXPECT_EQ(PixelAt(shown, 100, 39), clWhite);
    EXPECT_EQ(PixelAt(shown, 3, 40), clRed);
    EXPECT_EQ(PixelAt(shown, 197, 40), clRed);
    EXPECT_EQ(PixelAt(shown, 1, 37), clWhite);
    // Below: the bar on y 51 to 52, the triangles from y 46.
    tree.MoveTo(&data, DROPEFFECT_COPY, QPoint(120, 50));
    shown = Screen(tree);
    EXPECT_EQ(PixelAt(shown, 100, 52), clRed);
    EXPECT_EQ(PixelAt(shown, 100, 48), clWhite);
    EXPECT_EQ(PixelAt(shown, 3, 49), clRed);
    EXPECT_EQ(PixelAt(shown, 100, 37), clWhite);

    // A refused drop leaves no mark behind.
    tree.accept = false;
    EXPECT_EQ(tree.DragTo(&data, DROPEFFECT_COPY, QPoint(120, 50)), 0u);
    EXPECT_EQ(tree.Tree()->DropTargetNode(), nullptr);
    shown = Screen(tree);
    EXPECT_EQ(PixelAt(shown, 100, 52), clWhite);
    EXPECT_TRUE(tree.events.isEmpty());
}

TEST(GridTreeDragDrop, EffectsFollowSourceAndKeys)
{
    TDropTree tree;
    TDropTree other(QStringLiteral("o"));
    auto data = std::make_unique<TGTDataObject>(&other, false);
    const uint32_t all = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    // From another tree: a copy; from this one: a move.
    EXPECT_EQ(tree.DragTo(data.get(), all, QPoint(30, 9), {}, false), DROPEFFECT_COPY);
    tree.Leave();
    auto own = std::make_unique<TGTDataObject>(&tree, false);
    EXPECT_EQ(tree.DragTo(own.get(), all, QPoint(30, 9), {}, false), DROPEFFECT_MOVE);
    EXPECT_EQ(tree.MoveTo(own.get(), all, QPoint(30, 9), Qt::ControlModifier), DROPEFFECT_COPY);
    EXPECT_EQ(tree.MoveTo(own.get(), all, QPoint(30, 9), Qt::ShiftModifier), DROPEFFECT_MOVE);
    EXPECT_EQ(
        tree.MoveTo(own.get(), all, QPoint(30, 9), Qt::ControlModifier | Qt::ShiftModifier), DROPEFFECT_LINK);
    EXPECT_EQ(tree.MoveTo(own.get(), all, QPoint(30, 9), Qt::AltModifier), DROPEFFECT_LINK);
    // A key asking for an effect not allowed changes nothing.
    EXPECT_EQ(tree.MoveTo(own.get(), DROPEFFECT_COPY | DROPEFFECT_MOVE, QPoint(30, 9), Qt::AltModifier),
        DROPEFFECT_MOVE);
    tree.Leave();
}

TEST(GridTreeDragDrop, DraggedRowsMoveWithinATreeAndLeaveItForAnother)
{
    TDropTree source(QStringLiteral("r"));
    source.SetDragMode(dmAutomatic);
    TDropTree target;
    source.Tree()->AddToSelection(source.Find(QStringLiteral("r0")));
    source.Tree()->AddToSelection(source.Find(QStringLiteral("r1")));
    {
        // Onto row 4 of the same tree with Shift: a move there, kept by the drag's end.
        TDragLoopScope loop(source, QPoint(30, 4 * 18 + 9), Qt::ShiftModifier);
        DragRow(source, 0);
        EXPECT_EQ(loop.allowed, DROPEFFECT_COPY | DROPEFFECT_MOVE);
    }
    EXPECT_EQ(source.Outline(), QStringList({ "r2", "r3", "r4", " r0", " r1" }));
    EXPECT_FALSE(source.ViewStates().contains(tsOLEDragging));
    EXPECT_TRUE(source.DragSelection().empty());

    // Into another tree, moved there by the target.
    source.Tree()->FullExpand();
    source.Tree()->ClearSelection();
    source.Tree()->AddToSelection(source.Find(QStringLiteral("r2")));
    {
        TDragLoopScope loop(target, QPoint(120, 1 * 18 + 14), Qt::ShiftModifier);
        DragRow(source, 0);
    }
    EXPECT_EQ(source.Outline(), QStringList({ "r3", "r4", " r0", " r1" }));
    EXPECT_EQ(target.Outline(), QStringList({ "t0", "t1", "r2", "t2", "t3", "t4" }));

    // Copied by the target (no move of its own): the drag's end deletes the rows moved.
    target.OnDragDrop = [&](TGridTreeView &, TGridTreeView *, const QMimeData *Data, const QStringList &,
                            TShiftState, QPoint, uint32_t &, TDropMode) {
        target.ProcessOLEData(nullptr, Data, nullptr, amAddChildFirst, false);
    };
    source.Tree()->ClearSelection();
    source.Tree()->AddToSelection(source.Find(QStringLiteral("r3")));
    {
        TDragLoopScope loop(target, QPoint(120, 9), Qt::ShiftModifier);
        DragRow(source, 0);
    }
    EXPECT_EQ(source.Outline(), QStringList({ "r4", " r0", " r1" }));
    EXPECT_EQ(target.Outline().first(), QStringLiteral("r3"));

    // Every effect is offered when the operations are left empty.
    source.SetDragOperations({});
    source.Tree()->AddToSelection(source.Find(QStringLiteral("r4")));
    target.accept = false;
    TDragLoopScope loop(target, QPoint(120, 9), {});
    DragRow(source, 0);
    EXPECT_EQ(loop.allowed, DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK);
    EXPECT_EQ(source.Outline(), QStringList({ "r4", " r0", " r1" }));
}

TEST(GridTreeDragDrop, TablesOptionsRefuseEveryDrop)
{
    // As the task tables set a tree up: drops accepted by the window, copies
    // only, and no drag handlers.
    TCellTree table;
    AddColumns(table, { 150 });
    table.Add(nullptr, { "row" });
    table.SetDragOperations({ doCopy });
    ShowTree(table, 200, 100);
    EXPECT_TRUE(table.viewport()->acceptDrops());
    TDropTree source(QStringLiteral("r"));
    TGTDataObject data(&source, false);
    source.Tree()->AddToSelection(source.Find(QStringLiteral("r0")));
    for (const QPoint p : { QPoint(30, 9), QPoint(120, 4), QPoint(100, 80) }) {
        QDragEnterEvent enter(p, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(table.viewport(), &enter);
        QDragMoveEvent move(p, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(table.viewport(), &move);
        EXPECT_FALSE(move.isAccepted());
        QDropEvent drop(p, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(table.viewport(), &drop);
        EXPECT_FALSE(drop.isAccepted());
    }
    EXPECT_EQ(table.Outline(), QStringList({ "row" }));
    EXPECT_EQ(table.Tree()->DropTargetNode(), nullptr);
}

TEST(GridTreeDragDrop, HoveringExpandsAndTheEdgesScroll)
{
    TDropTree tree(QStringLiteral("t"), 12);
    tree.Add(tree.Find(QStringLiteral("t1")), { "child" });
    tree.SetAutoExpandDelay(20);
    QMimeData data;
    tree.DragTo(&data, DROPEFFECT_COPY, QPoint(30, 27), {}, false);
    EXPECT_FALSE(tree.Find(QStringLiteral("t1"))->Has(vsExpanded));
    EXPECT_TRUE(QTest::qWaitFor([&] { return tree.Find(QStringLiteral("t1"))->Has(vsExpanded); }, 5000));

    // Held at the lower edge, the rows scroll up by the vertical increment.
    tree.TreeOptions().SetAutoOptions(tree.TreeOptions().AutoOptions() + TGTAutoOptions { toAutoScroll });
    tree.SetAutoScrollDelay(0);
    EXPECT_EQ(tree.OffsetY(), 0);
    tree.MoveTo(&data, DROPEFFECT_COPY, QPoint(30, 98));
    EXPECT_EQ(tree.OffsetY(), -20);
    // While the mouse rests there the tree goes on scrolling.
    EXPECT_TRUE(QTest::qWaitFor([&] { return tree.OffsetY() < -20; }, 5000));
    tree.Leave();
    const int offset = tree.OffsetY();
    // Time passing is the point: the scroll timer, were it still running, fires meanwhile.
    QTest::qWait(100);
    EXPECT_EQ(tree.OffsetY(), offset);
}
