// A shown tree driven by real mouse events: click, Ctrl and Shift selection,
// bands, presses that wait for a drag, right clicks with a popup, double
// clicks, dragging a row's height, hot tracking, the header, focus lost in
// the middle of a gesture, and check boxes. Rows are 18 high; texts measure
// 40 (+ 8 margins), so a top-level label spans x 22-70.
#include "components/gui/StringGridTree.h"
#include "tests/components/gui/TreeViewTestSupport.h"

#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <gtest/gtest.h>
#include <set>

using namespace treetest;

namespace {

struct MouseTree {
    TStringGridTree view;
    std::vector<TGridNode *> rows;
    int changes = 0;

    explicit MouseTree(TGTSelectionOptions Selection = { toMultiSelect }, int Count = 10)
    {
        view.OnMeasureTextWidth = [](TCustomStringGridTree &, QPainter &, TGridNode *, TColumnIndex,
                                      const QString &, int &Extent) { Extent = 40; };
        view.TreeOptions().SetSelectionOptions(Selection);
        view.Tree()->OnChange = [this](TBaseGridTree &, TGridNode *) { ++changes; };
        view.Tree()->SetRootNodeCount(uint32_t(Count));
        for (TGridNode *n = view.Tree()->GetFirst(); n; n = n->NextSibling())
            rows.push_back(n);
        ShowTree(view, 300, 200);
        view.setFocus();
    }

    QWidget *client() { return view.viewport(); }
    // The middle of row Row's label.
    static QPoint Label(int Row) { return QPoint(40, Row * 18 + 9); }

    std::set<int> Selected()
    {
        std::set<int> result;
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (rows[i]->Has(vsSelected))
                result.insert(int(i));
        return result;
    }
    void Move(QPoint P, Qt::MouseButtons Buttons = Qt::NoButton, Qt::KeyboardModifiers Keys = {})
    {
        QMouseEvent move(QEvent::MouseMove, P, client()->mapToGlobal(P), Qt::NoButton, Buttons, Keys);
        QApplication::sendEvent(client(), &move);
    }
    void Band(QPoint From, QPoint To, Qt::KeyboardModifiers Keys = {})
    {
        QTest::mousePress(client(), Qt::LeftButton, Keys, From);
        Move(To, Qt::LeftButton, Keys);
        QTest::mouseRelease(client(), Qt::LeftButton, Keys, To);
    }
};

} // namespace

TEST(TreeMouse, ClicksSelectAndCtrlAndShiftChangeTheSelection)
{
    MouseTree t;
    int clicks = 0;
    t.view.OnClick = [&clicks](TGridTreeView &) { ++clicks; };
    QTest::mouseClick(t.client(), Qt::LeftButton, {}, MouseTree::Label(2));
    EXPECT_EQ(t.Selected(), std::set<int>({ 2 }));
    EXPECT_EQ(t.view.Tree()->FocusedNode(), t.rows[2]);
    EXPECT_EQ(clicks, 1);
    QTest::mouseClick(t.client(), Qt::LeftButton, Qt::ControlModifier, MouseTree::Label(5));
    EXPECT_EQ(t.Selected(), std::set<int>({ 2, 5 }));
    QTest::mouseClick(t.client(), Qt::LeftButton, Qt::ControlModifier, MouseTree::Label(2));
    EXPECT_EQ(t.Selected(), std::set<int>({ 5 }));
    // Shift: from the anchor (the last Ctrl click) the range replaces the selection.
    QTest::mouseClick(t.client(), Qt::LeftButton, Qt::ShiftModifier, MouseTree::Label(4));
    EXPECT_EQ(t.Selected(), std::set<int>({ 2, 3, 4 }));
    // Ctrl+Shift adds the range.
    QTest::mouseClick(
        t.client(), Qt::LeftButton, Qt::ControlModifier | Qt::ShiftModifier, MouseTree::Label(7));
    EXPECT_EQ(t.Selected(), std::set<int>({ 2, 3, 4, 5, 6, 7 }));
    EXPECT_EQ(t.view.Tree()->FocusedNode(), t.rows[7]);
    // A click on a selected row makes it the only one.
    QTest::mouseClick(t.client(), Qt::LeftButton, {}, MouseTree::Label(4));
    EXPECT_EQ(t.Selected(), std::set<int>({ 4 }));
    // A click beside the labels, and one below the rows, clears the selection.
    QTest::mouseClick(t.client(), Qt::LeftButton, {}, QPoint(200, 9));
    EXPECT_TRUE(t.Selected().empty());
    QTest::mouseClick(t.client(), Qt::LeftButton, {}, MouseTree::Label(3));
    QTest::mouseClick(t.client(), Qt::LeftButton, {}, QPoint(40, 190));
    EXPECT_TRUE(t.Selected().empty());
}

TEST(TreeMouse, APressThatMayStartADragKeepsTheSelectionUntilTheRelease)
{
    MouseTree t({ toMultiSelect, toFullRowSelect });
    TGTMiscOptions misc = t.view.TreeOptions().MiscOptions();
    misc.include(toFullRowDrag);
    t.view.TreeOptions().SetMiscOptions(misc);
    t.view.SetDragMode(dmAutomatic);
    QTest::mouseClick(t.client(), Qt::LeftButton, {}, QPoint(150, 20));
    QTest::mouseClick(t.client(), Qt::LeftButton, Qt::ShiftModifier, QPoint(150, 60));
    ASSERT_EQ(t.Selected(), std::set<int>({ 1, 2, 3 }));
    QTest::mousePress(t.client(), Qt::LeftButton, {}, QPoint(150, 45));
    EXPECT_EQ(t.Selected(), std::set<int>({ 1, 2, 3 }));
    QTest::mouseRelease(t.client(), Qt::LeftButton, {}, QPoint(150, 45));
    EXPECT_EQ(t.Selected(), std::set<int>({ 2 }));

    // Without dragging the press decides at once.
    t.view.SetDragMode(dmManual);
    QTest::mouseClick(t.client(), Qt::LeftButton, Qt::ShiftModifier, QPoint(150, 80));
    QTest::mousePress(t.client(), Qt::LeftButton, {}, QPoint(150, 60));
    EXPECT_EQ(t.Selected(), std::set<int>({ 3 }));
    QTest::mouseRelease(t.client(), Qt::LeftButton, {}, QPoint(150, 60));
}

TEST(TreeMouse, BandsSelectWhatTheyCrossAndCtrlTogglesIt)
{
    MouseTree t;
    // From beside row 0's label down and left over three labels.
    QTest::mousePress(t.client(), Qt::LeftButton, {}, QPoint(200, 5));
    t.Move(QPoint(30, 45), Qt::LeftButton);
    EXPECT_TRUE(t.view.ViewStates().contains(tsDrawSelecting));
    EXPECT_EQ(t.Selected(), std::set<int>({ 0, 1, 2 }));
    // Row 2 leaves the band again.
    t.changes = 0;
    t.Move(QPoint(30, 30), Qt::LeftButton);
    EXPECT_EQ(t.Selected(), std::set<int>({ 0, 1 }));
    EXPECT_EQ(t.changes, 1);
    // A band right of the labels crosses none of them.
    t.Move(QPoint(100, 100), Qt::LeftButton);
    EXPECT_TRUE(t.Selected().empty());
    QTest::mouseRelease(t.client(), Qt::LeftButton, {}, QPoint(100, 100));
    EXPECT_FALSE(t.view.IsMouseSelecting());

    // With Ctrl the crossed rows toggle.
    t.Band(QPoint(200, 5), QPoint(30, 45));
    t.Band(QPoint(200, 30), QPoint(30, 80), Qt::ControlModifier);
    EXPECT_EQ(t.Selected(), std::set<int>({ 0, 3, 4 }));

    // Within the drag distance no band starts, and the press beside an
    // unselected row's label cleared the selection.
    QTest::mousePress(t.client(), Qt::LeftButton, {}, QPoint(200, 113));
    t.Move(QPoint(199, 115), Qt::LeftButton);
    EXPECT_TRUE(t.view.ViewStates().contains(tsDrawSelPending));
    QTest::mouseRelease(t.client(), Qt::LeftButton, {}, QPoint(199, 115));
    EXPECT_TRUE(t.Selected().empty());
    EXPECT_FALSE(t.view.IsMouseSelecting());
}

TEST(TreeMouse, FocusLostInTheMiddleOfABandEndsIt)
{
    MouseTree t;
    QLineEdit other;
    other.show();
    QTest::mousePress(t.client(), Qt::LeftButton, {}, QPoint(200, 5));
    t.Move(QPoint(30, 45), Qt::LeftButton);
    ASSERT_TRUE(t.view.IsMouseSelecting());
    other.activateWindow();
    other.setFocus();
    QApplication::processEvents();
    EXPECT_FALSE(t.view.IsMouseSelecting());
    EXPECT_FALSE(t.view.ViewStates().contains(tsLeftButtonDown));
    // The next press starts afresh.
    t.view.activateWindow();
    t.view.setFocus();
    QTest::mouseClick(t.client(), Qt::LeftButton, {}, MouseTree::Label(5));
    EXPECT_EQ(t.Selected(), std::set<int>({ 5 }));
    EXPECT_FALSE(t.view.IsMouseSelecting());
}

TEST(TreeMouse, ARightClickOnAMultiSelectionWithAPopupKeepsIt)
{
    MouseTree t({ toMultiSelect, toFullRowSelect, toRightClickSelect });
    QMenu menu;
    menu.addAction(QStringLiteral("Delete"));
    QPoint asked;
    TGridNode *askedNode = nullptr;
    t.view.OnGetPopupMenu
        = [&](TGridTreeView &, TGridNode *Node, TColumnIndex, QPoint P, bool &, QMenu *&Menu) {
              askedNode = Node;
              asked = P;
              Menu = &menu;
          };
    QTest::mouseClick(t.client(), Qt::LeftButton, {}, QPoint(150, 20));
    QTest::mouseClick(t.client(), Qt::LeftButton, Qt::ShiftModifier, QPoint(150, 60));
    QTest::mouseClick(t.client(), Qt::RightButton, {}, QPoint(150, 45));
    EXPECT_EQ(t.Selected(), std::set<int>({ 1, 2, 3 }));
    EXPECT_EQ(askedNode, t.rows[2]);
    EXPECT_EQ(asked, QPoint(150, 45));
    EXPECT_TRUE(menu.isVisible());
    menu.close();

    // Without a menu the right click selects the row alone.
    t.view.OnGetPopupMenu = nullptr;
    QTest::mouseClick(t.client(), Qt::RightButton, {}, QPoint(150, 45));
    EXPECT_EQ(t.Selected(), std::set<int>({ 2 }));
}

TEST(TreeMouse, DoubleClicksToggleAndRowEdgesDragTheHeight)
{
    MouseTree t({ toMultiSelect }, 3);
    TBaseGridTree &tree = *t.view.Tree();
    tree.AddChild(t.rows[0]);
    QTest::mouseClick(t.client(), Qt::LeftButton, {}, MouseTree::Label(0));
    QTest::mouseDClick(t.client(), Qt::LeftButton, {}, MouseTree::Label(0));
    QTest::mouseRelease(t.client(), Qt::LeftButton, {}, MouseTree::Label(0));
    EXPECT_TRUE(t.rows[0]->Has(vsExpanded));
    // On the button: the press toggles, the double click again.
    QTest::mouseClick(t.client(), Qt::LeftButton, {}, QPoint(8, 9));
    EXPECT_FALSE(t.rows[0]->Has(vsExpanded));
    QTest::mouseDClick(t.client(), Qt::LeftButton, {}, QPoint(8, 9));
    QTest::mouseRelease(t.client(), Qt::LeftButton, {}, QPoint(8, 9));
    EXPECT_TRUE(t.rows[0]->Has(vsExpanded));
    tree.ToggleNode(t.rows[0]);

    // A fixed column's row edges drag the height.
    AddColumns(t.view, { 120, 100 });
    TGridTreeColumn &first = t.view.Header().Columns()[0];
    first.SetOptions(first.Options() + TGTColumnOptions { coFixed });
    TGTMiscOptions misc = t.view.TreeOptions().MiscOptions();
    misc.include(toNodeHeightResize);
    misc.include(toNodeHeightDblClickResize);
    t.view.TreeOptions().SetMiscOptions(misc);
    int allowedBelow = 1000;
    t.view.OnNodeHeightTracking = [&allowedBelow](TGridTreeView &, TGridNode *, TColumnIndex, TShiftState,
                                      QPoint &, QPoint P, bool &Allowed) { Allowed = P.y() < allowedBelow; };
    QTest::mousePress(t.client(), Qt::LeftButton, {}, QPoint(60, 35));
    t.Move(QPoint(60, 60), Qt::LeftButton);
    EXPECT_EQ(tree.NodeHeight(t.rows[1]), 42u);
    allowedBelow = 70;
    t.Move(QPoint(60, 80), Qt::LeftButton);
    EXPECT_EQ(tree.NodeHeight(t.rows[1]), 42u);
    QTest::mouseRelease(t.client(), Qt::LeftButton, {}, QPoint(60, 80));
    // The upper edge of row 2 (now at 60) belongs to row 1: a double click
    // there gives it its default height back.
    QTest::mouseDClick(t.client(), Qt::LeftButton, {}, QPoint(60, 61));
    EXPECT_EQ(tree.NodeHeight(t.rows[1]), 18u);
    // The non-fixed column's edges are plain rows.
    QTest::mousePress(t.client(), Qt::LeftButton, {}, QPoint(160, 35));
    EXPECT_FALSE(t.view.ViewStates().contains(tsNodeHeightTrackPending));
    QTest::mouseRelease(t.client(), Qt::LeftButton, {}, QPoint(160, 35));
}

TEST(TreeMouse, HotNodeFollowsTheMouseAndTheHeaderKeepsItsClicks)
{
    MouseTree t({ toMultiSelect, toFullRowSelect });
    AddPaintOptions(t.view, { toHotTrack });
    std::vector<std::pair<TGridNode *, TGridNode *>> hot;
    t.view.OnHotChange
        = [&hot](TGridTreeView &, TGridNode *Old, TGridNode *New) { hot.emplace_back(Old, New); };
    t.Move(QPoint(100, 10));
    t.Move(QPoint(120, 12));
    t.Move(QPoint(100, 30));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(t.client(), &leave);
    const std::vector<std::pair<TGridNode *, TGridNode *>> expected { { nullptr, t.rows[0] },
        { t.rows[0], t.rows[1] }, { t.rows[1], nullptr } };
    EXPECT_EQ(hot, expected);
    EXPECT_EQ(t.view.HotNode(), nullptr);

    // Clicks on the header are the header's.
    AddColumns(t.view, { 150, 100 });
    TGTHeaderOptions options = t.view.Header().Options();
    options.include(hoVisible);
    t.view.Header().SetOptions(options);
    QApplication::processEvents();
    int columnClicks = 0;
    t.view.OnColumnClick = [&columnClicks](TGridTreeView &, TColumnIndex, TShiftState) { ++columnClicks; };
    QWidget &header = t.view.HeaderWidget();
    QTest::mouseClick(&header, Qt::LeftButton, {}, QPoint(60, 8));
    EXPECT_TRUE(t.Selected().empty());
    EXPECT_EQ(columnClicks, 0);
    // A click on a row reports its column.
    QTest::mouseClick(t.client(), Qt::LeftButton, {}, QPoint(160, 10));
    EXPECT_EQ(columnClicks, 1);
    EXPECT_EQ(t.Selected(), std::set<int>({ 0 }));
}

TEST(TreeMouse, CheckBoxesChangeOnTheReleaseOverThem)
{
    MouseTree t({}, 0);
    TGTMiscOptions misc = t.view.TreeOptions().MiscOptions();
    misc.include(toCheckSupport);
    t.view.TreeOptions().SetMiscOptions(misc);
    t.view.SetCheckImageKind(ckDarkCheck);
    TBaseGridTree &tree = *t.view.Tree();
    TGridNode *parent = tree.AddChild(nullptr);
    std::vector<TGridNode *> children;
    for (int i = 0; i < 3; ++i)
        children.push_back(tree.AddChild(parent));
    TGridNode *radioA = tree.AddChild(nullptr);
    TGridNode *radioB = tree.AddChild(nullptr);
    tree.ToggleNode(parent);
    tree.SetCheckType(parent, TCheckType::ctTriStateCheckBox);
    for (TGridNode *child : children)
        tree.SetCheckType(child, TCheckType::ctCheckBox);
    tree.SetCheckType(radioA, TCheckType::ctRadioButton);
    tree.SetCheckType(radioB, TCheckType::ctRadioButton);
    std::set<TGridNode *> refusing;
    tree.OnChecking = [&refusing](TBaseGridTree &, TGridNode *Node, TCheckState &, bool &Allowed) {
        Allowed = !refusing.count(Node);
    };
    // Check boxes: x 22-39 on top-level rows, 40-57 one level down.
    const auto box = [](int Row, int Level) { return QPoint(30 + 18 * Level, Row * 18 + 9); };

    // Pressed: the pressed look; released elsewhere: back, unchanged.
    QTest::mousePress(t.client(), Qt::LeftButton, {}, box(1, 1));
    EXPECT_EQ(children[0]->CheckState(), csUncheckedPressed);
    QTest::mouseRelease(t.client(), Qt::LeftButton, {}, box(3, 1));
    EXPECT_EQ(children[0]->CheckState(), csUncheckedNormal);
    // Released on it: checked, and the parent follows as mixed.
    QTest::mouseClick(t.client(), Qt::LeftButton, {}, box(1, 1));
    EXPECT_EQ(children[0]->CheckState(), csCheckedNormal);
    EXPECT_EQ(parent->CheckState(), csMixedNormal);
    // Checking the parent checks the children, except one that refuses.
    refusing.insert(children[2]);
    QTest::mouseClick(t.client(), Qt::LeftButton, {}, box(0, 0));
    EXPECT_EQ(children[1]->CheckState(), csCheckedNormal);
    EXPECT_EQ(children[2]->CheckState(), csUncheckedNormal);
    EXPECT_EQ(parent->CheckState(), csMixedNormal);
    // Radio buttons: one of the siblings.
    QTest::mouseClick(t.client(), Qt::LeftButton, {}, box(4, 0));
    QTest::mouseClick(t.client(), Qt::LeftButton, {}, box(5, 0));
    EXPECT_EQ(radioA->CheckState(), csUncheckedNormal);
    EXPECT_EQ(radioB->CheckState(), csCheckedNormal);
    // Read-only: nothing changes, not even the look.
    misc.include(toReadOnly);
    t.view.TreeOptions().SetMiscOptions(misc);
    QTest::mousePress(t.client(), Qt::LeftButton, {}, box(4, 0));
    EXPECT_EQ(radioA->CheckState(), csUncheckedNormal);
    QTest::mouseRelease(t.client(), Qt::LeftButton, {}, box(4, 0));
    EXPECT_EQ(radioA->CheckState(), csUncheckedNormal);
}

TEST(TreeMouse, ANodeFreedInTheMiddleOfAGestureEndsIt)
{
    MouseTree t({ toMultiSelect, toFullRowSelect });
    TBaseGridTree &tree = *t.view.Tree();
    TGTMiscOptions misc = t.view.TreeOptions().MiscOptions();
    misc.include(toCheckSupport);
    misc.include(toNodeHeightResize);
    t.view.TreeOptions().SetMiscOptions(misc);
    AddPaintOptions(t.view, { toHotTrack });
    AddColumns(t.view, { 150, 100 });
    TGridTreeColumn &first = t.view.Header().Columns()[0];
    first.SetOptions(first.Options() + TGTColumnOptions { coFixed });
    tree.SetCheckType(t.rows[0], TCheckType::ctCheckBox);

    // A check box held down, its node deleted, released.
    QTest::mousePress(t.client(), Qt::LeftButton, {}, QPoint(30, 9));
    ASSERT_EQ(tree.CheckNode(), t.rows[0]);
    tree.DeleteNode(t.rows[0]);
    QTest::mouseRelease(t.client(), Qt::LeftButton, {}, QPoint(30, 9));
    EXPECT_FALSE(tree.TreeStates().contains(tsMouseCheckPending));
    // A row's height being dragged.
    QTest::mousePress(t.client(), Qt::LeftButton, {}, QPoint(60, 17));
    ASSERT_EQ(tree.HeightTrackNode(), t.rows[1]);
    tree.DeleteNode(t.rows[1]);
    t.Move(QPoint(60, 40), Qt::LeftButton);
    QTest::mouseRelease(t.client(), Qt::LeftButton, {}, QPoint(60, 40));
    // The hot row.
    t.Move(QPoint(100, 9));
    ASSERT_EQ(t.view.HotNode(), t.rows[2]);
    tree.DeleteNode(t.rows[2]);
    EXPECT_EQ(t.view.HotNode(), nullptr);
    t.Move(QPoint(100, 27));
    EXPECT_EQ(t.view.HotNode(), t.rows[4]);
    // The last search hit.
    t.view.SetIncrementalSearch(isAll);
    t.view.SetIncrementalSearchStart(ssLastHit);
    QTest::keyClick(&t.view, 'N');
    ASSERT_EQ(tree.LastSearchNode(), t.rows[3]);
    tree.DeleteNode(t.rows[3]);
    QTest::keyClick(&t.view, 'o');
    EXPECT_EQ(tree.FocusedNode(), t.rows[4]);
}

TEST(TreeMouse, ABandHeldBelowTheRowsScrollsAndTakesInTheRowsScrolledPast)
{
    MouseTree t({ toMultiSelect }, 40);
    TGTAutoOptions autoOptions = t.view.TreeOptions().AutoOptions();
    autoOptions.include(toAutoScroll);
    t.view.TreeOptions().SetAutoOptions(autoOptions);
    t.view.SetAutoScrollDelay(0);
    QTest::mousePress(t.client(), Qt::LeftButton, {}, QPoint(200, 5));
    t.Move(QPoint(30, 195), Qt::LeftButton);
    ASSERT_TRUE(t.view.ViewStates().contains(tsDrawSelecting));
    t.Move(QPoint(30, 196), Qt::LeftButton);
    // Scrolled at least this far (the rows below are checked whatever the offset).
    static_cast<void>(QTest::qWaitFor([&] { return t.view.OffsetY() <= -100; }, 5000));
    QTest::mouseRelease(t.client(), Qt::LeftButton, {}, QPoint(30, 196));
    // Every row from the first to the one under the mouse now.
    const int last = (196 - t.view.OffsetY()) / 18;
    ASSERT_GT(last, 11);
    std::set<int> expected;
    for (int i = 0; i <= last; ++i)
        expected.insert(i);
    EXPECT_EQ(t.Selected(), expected);
}
