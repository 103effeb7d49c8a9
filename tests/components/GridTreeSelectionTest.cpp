// Selection and focus as a view and its owner meet them: constraints, ranges
// in collapsed branches, notifications, deleted nodes, locks and focus vetoes.
#include "components/BaseGridTree.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace {

// A view that records what the store asks of it and answers for three columns.
struct RecordingView : TGridTreeHooks {
    std::vector<std::string> calls;
    bool delayChanges = false;
    int main = 1;

    void InvalidateSelection() override { calls.push_back("selection"); }
    bool ScrollIntoView(TGridNode *, bool center, bool) override
    {
        calls.push_back(center ? "scroll centred" : "scroll");
        return true;
    }
    bool StartTimer(TGridTreeTimer, int) override { return delayChanges; }
    int ColumnCount() const override { return 3; }
    int MainColumn() const override { return main; }
    int FirstVisibleColumn() const override { return 0; }
    bool ColumnVisible(int column) const override { return column >= 0 && column < 3; }
    bool ColumnAllowsFocus(int column) const override { return column >= 0 && column < 2; }
};

struct GridTreeSelection : testing::Test {
    TBaseGridTree tree;
    std::vector<TGridNode *> changes;
    // Top-level a, b, c; b has b0, b1; b1 has b10.
    TGridNode *a, *b, *c, *b0, *b1, *b10;

    void SetUp() override
    {
        tree.OnChange = [this](TBaseGridTree &, TGridNode *node) { changes.push_back(node); };
        a = tree.AddChild(nullptr);
        b = tree.AddChild(nullptr);
        c = tree.AddChild(nullptr);
        b0 = tree.AddChild(b);
        b1 = tree.AddChild(b);
        b10 = tree.AddChild(b1);
        tree.SetSelectionOptions({ toMultiSelect });
    }
    TNodeArray sorted(bool resolve = false) { return tree.GetSortedSelection(resolve); }
};

} // namespace

TEST_F(GridTreeSelection, AddingWhatCannotBeAddedChangesNothing)
{
    tree.AddToSelection(a);
    changes.clear();
    tree.AddToSelection(a);
    tree.OnInitNode = [&](TBaseGridTree &, TGridNode *, TGridNode *node, TGridNodeInitStates &init) {
        if (node == c)
            init.include(ivsDisabled);
    };
    tree.ReinitNode(c, false);
    tree.AddToSelection(c);
    tree.AddToSelection({ a, c, a }, 3);
    EXPECT_TRUE(changes.empty());
    EXPECT_EQ(sorted(), (TNodeArray { a }));

    // Level constraint: a level-2 node fixes the level; a top-level node stays out.
    tree.ClearSelection();
    tree.SetSelectionOptions({ toMultiSelect, toLevelSelectConstraint });
    tree.SetSelected(b10, true);
    changes.clear();
    tree.AddToSelection(b);
    tree.SelectNodes(a, b, true);
    EXPECT_TRUE(changes.empty());
    EXPECT_EQ(sorted(), (TNodeArray { b10 }));

    // Sibling constraint: only the anchor's siblings join.
    tree.SetSelectionOptions({ toMultiSelect, toSiblingSelectConstraint });
    tree.SetSelected(b0, true);
    tree.AddToSelection({ b1, b10, a }, 3);
    EXPECT_EQ(sorted(), (TNodeArray { b0, b1 }));
}

TEST_F(GridTreeSelection, RangesStartAtTheNearestShownNodeAndNotifyOnce)
{
    // b is collapsed: b10 stands for b, so a range from it to c covers b and c.
    tree.SelectNodes(b10, c, false);
    EXPECT_EQ(sorted(), (TNodeArray { b, c }));
    EXPECT_EQ(changes, (TNodeArray { nullptr }));

    tree.ToggleNode(b);
    tree.ToggleNode(b1);
    tree.SetRangeAnchor(a);
    changes.clear();
    tree.SelectNodes(a, b0, false);
    EXPECT_EQ(sorted(), (TNodeArray { a, b, b0 }));
    EXPECT_EQ(tree.RangeAnchor(), a); // still selected: it stays the anchor
    // Shift+Down twice, then back up: the range grows and shrinks, one note each.
    tree.ToggleSelection(b0, b1);
    tree.ToggleSelection(b1, b10);
    EXPECT_EQ(sorted(), (TNodeArray { a, b, b0, b1, b10 }));
    tree.ToggleSelection(b10, b1);
    EXPECT_EQ(sorted(), (TNodeArray { a, b, b0, b1 }));
    EXPECT_EQ(changes, (TNodeArray { nullptr, b1, b10, nullptr }));
    // Toggling across the anchor keeps the anchor selected.
    tree.SetRangeAnchor(b0);
    tree.ToggleSelection(a, c);
    EXPECT_EQ(sorted(), (TNodeArray { b0, b10, c }));

    changes.clear();
    tree.UnselectNodes(nullptr, c); // from the first top-level node up to c, not c
    EXPECT_EQ(sorted(), (TNodeArray { c }));
    tree.UnselectNodes(a, b); // nothing selected there: no note
    tree.SelectAll(true);
    tree.ClearSelection();
    tree.ClearSelection(); // empty: no note
    EXPECT_EQ(changes, (TNodeArray { nullptr, nullptr, nullptr }));

    // Without multiple selection there is no select all.
    tree.SetSelectionOptions({});
    tree.SelectAll(false);
    EXPECT_EQ(tree.SelectedCount(), 0);
}

TEST_F(GridTreeSelection, SortedSelectionFollowsTheTreeAndResolvesChildren)
{
    tree.AddToSelection({ c, b10, b, a }, 4);
    EXPECT_EQ(sorted(), (TNodeArray { a, b, b10, c }));
    EXPECT_EQ(sorted(true), (TNodeArray { a, b, c }));
    tree.MoveTo(c, a, amInsertBefore, false);
    EXPECT_EQ(sorted(), (TNodeArray { c, a, b, b10 }));
    TNodeArray walked;
    for (TGridNode *n = tree.GetFirstSelected(); n; n = tree.GetNextSelected(n))
        walked.push_back(n);
    EXPECT_EQ(walked, sorted());

    // Deleting the selection: the resolved nodes go, with one note at the end.
    changes.clear();
    tree.DeleteSelectedNodes();
    EXPECT_EQ(tree.RootNodeCount(), 0u);
    EXPECT_EQ(changes, (TNodeArray { nullptr }));
}

TEST_F(GridTreeSelection, FreedNodesLeaveTheSelectionWhateverRemovesThem)
{
    RecordingView view;
    view.delayChanges = true; // notifications wait for the view's timer ...
    tree.AttachView(view);
    tree.SetChangeDelay(100);
    tree.AddToSelection({ a, b, b0, b10, c }, 5);
    tree.DeliverPendingChange();
    changes.clear();
    // ... but a deleted selected node is told at once, while it still exists.
    tree.DeleteNode(a);
    EXPECT_EQ(changes, (TNodeArray { a }));
    EXPECT_FALSE(tree.TreeStates().contains(tsSynchMode));

    // Locked or not, in an update or not: freed nodes are gone from the array.
    tree.SetSelectionLocked(true);
    tree.DeleteChildren(b1);
    EXPECT_EQ(tree.SelectedCount(), 3);
    tree.BeginUpdate();
    tree.DeleteNode(b0);
    EXPECT_EQ(tree.SelectedCount(), 2);
    tree.EndUpdate();
    tree.SetNodeDataSize(8); // rebuilds every node
    EXPECT_EQ(tree.SelectedCount(), 0);
    EXPECT_EQ(tree.RootNodeCount(), 2u);
    // New nodes in the freed blocks come unselected.
    TGridNode *fresh = tree.AddChild(nullptr);
    int index;
    EXPECT_FALSE(tree.FindNodeInSelection(fresh, index));

    // A node cached for a bulk add and freed before it is added is not added.
    tree.SetSelectionLocked(false);
    tree.InternalCacheNode(fresh);
    tree.DeleteNode(fresh);
    EXPECT_EQ(tree.TempNodeCache(), (TNodeArray { nullptr }));
    tree.AddToSelection(tree.TempNodeCache(), tree.TempNodeCount());
    EXPECT_EQ(tree.SelectedCount(), 0);
}

TEST_F(GridTreeSelection, InitialisationSelectsOnceAndAnchorsFollowTheFocus)
{
    int selectedInits = 0;
    tree.OnInitNode = [&](TBaseGridTree &, TGridNode *, TGridNode *, TGridNodeInitStates &init) {
        init.include(ivsSelected);
        ++selectedInits;
    };
    tree.ReinitNode(b, true);
    tree.ReinitNode(b, true); // already selected: not listed twice
    EXPECT_EQ(selectedInits, 8);
    EXPECT_EQ(sorted(), (TNodeArray { b, b0, b1, b10 }));
    EXPECT_TRUE(changes.empty()); // the init path tells nobody
    tree.DeleteNode(b);
    EXPECT_EQ(tree.SelectedCount(), 0);

    // The anchor that goes is replaced by the focused node.
    tree.OnInitNode = nullptr;
    tree.SetFocusedNode(c);
    tree.SetSelected(a, true);
    EXPECT_EQ(tree.RangeAnchor(), a);
    tree.DeleteNode(a);
    EXPECT_EQ(tree.RangeAnchor(), c);
    EXPECT_EQ(tree.LastSelectionLevel(), -1);
    // Also when it goes with its parent.
    tree.SetRangeAnchor(tree.AddChild(tree.AddChild(c)));
    tree.DeleteChildren(c);
    EXPECT_EQ(tree.RangeAnchor(), c);
}

TEST_F(GridTreeSelection, SingleSelectionReplacesWithOneNoteAndPicksAFocusColumn)
{
    RecordingView view;
    tree.AttachView(view);
    tree.SetSelectionOptions({});
    tree.SetSelected(a, true);
    EXPECT_EQ(tree.FocusedColumn(), 1); // unset: the main column, visible and focusable
    changes.clear();
    tree.SetSelected(c, true);
    EXPECT_EQ(sorted(), (TNodeArray { c }));
    EXPECT_EQ(changes, (TNodeArray { c }));
    EXPECT_EQ(view.calls, (std::vector<std::string> { "selection" })); // the old rows repainted

    // A main column that may not take the focus: the first visible column.
    tree.StoreFocusedColumn(-1);
    view.main = 2;
    tree.SetSelected(a, true);
    EXPECT_EQ(tree.FocusedColumn(), 0);
    tree.SetSelected(a, false);
    EXPECT_EQ(tree.SelectedCount(), 0);
    EXPECT_EQ(tree.RangeAnchor(), nullptr);
}

TEST_F(GridTreeSelection, FocusChangesCanBeVetoedAndExpandTheirNode)
{
    RecordingView view;
    tree.AttachView(view);
    std::vector<std::string> events;
    bool allow = true;
    tree.OnFocusChanging
        = [&](TBaseGridTree &, TGridNode *, TGridNode *, int oldColumn, int newColumn, bool &allowed) {
              events.push_back("changing " + std::to_string(oldColumn) + ">" + std::to_string(newColumn));
              allowed = allowed && allow;
          };
    tree.OnFocusChanged = [&](TBaseGridTree &, TGridNode *, int column) {
        events.push_back("changed " + std::to_string(column));
    };
    tree.SetSelectionOptions({ toMultiSelect, toCenterScrollIntoView });
    tree.SetAutoOptions(tree.AutoOptions() + TGTAutoOptions { toAutoExpand });
    tree.SetSelected(a, true);
    tree.SetFocusedNode(b);
    EXPECT_EQ(tree.FocusedNode(), b);
    EXPECT_TRUE(b->Has(vsExpanded)); // focusing expands
    EXPECT_EQ(tree.FocusedColumn(), 1); // the main one, taken when a was selected
    tree.SetFocusedNode(c);
    EXPECT_FALSE(b->Has(vsExpanded)); // a sibling taking the focus collapses it
    EXPECT_EQ(view.calls.back(), "scroll centred");

    // Vetoed: node, column and selection stay.
    allow = false;
    events.clear();
    tree.SetFocusedNodeAndColumn(a, 0);
    tree.SetFocusedColumn(0);
    EXPECT_EQ(tree.FocusedNode(), c);
    EXPECT_EQ(tree.FocusedColumn(), 1);
    EXPECT_EQ(sorted(), (TNodeArray { a }));
    EXPECT_EQ(events, (std::vector<std::string> { "changing 0>0", "changing 1>0" }));

    // A column the header refuses is no column to go to.
    allow = true;
    events.clear();
    tree.SetFocusedNodeAndColumn(a, 2);
    EXPECT_EQ(tree.FocusedNode(), a);
    EXPECT_EQ(tree.FocusedColumn(), 1);
    tree.SetFocusedColumn(2);
    tree.SetFocusedColumn(0);
    EXPECT_EQ(events,
        (std::vector<std::string> {
            "changing 1>1", "changed 1", "changing 1>2", "changing 1>0", "changed 0" }));
}

TEST(GridTreeSelectionArray, BigSelectionsInAnyOrderStaySortedAndFound)
{
    // Big enough for the radix sort and the merge of two big arrays.
    TBaseGridTree tree;
    tree.SetRootNodeCount(40000);
    TNodeArray rows;
    for (TGridNode *n = tree.GetFirstNoInit(); n; n = n->NextSibling())
        rows.push_back(n);
    TNodeArray shuffled = rows;
    std::mt19937 rng(3);
    std::shuffle(shuffled.begin(), shuffled.end(), rng);
    const TNodeArray half(shuffled.begin(), shuffled.begin() + 20000);
    const TNodeArray rest(shuffled.begin() + 20000, shuffled.end());
    tree.AddToSelection(half, int(half.size()));
    tree.AddToSelection(rest, int(rest.size()));
    EXPECT_EQ(tree.SelectedCount(), 40000);
    EXPECT_EQ(tree.GetSortedSelection(false), rows);
    int index, misses = 0;
    for (TGridNode *n : rows)
        misses += !tree.FindNodeInSelection(n, index);
    EXPECT_EQ(misses, 0);
}

// A select-all of a list whose order is not the order its rows were made in:
// the sorted selection follows the list; with rows below rows it follows the
// tree as before.
TEST(GridTreeSelectionArray, SelectAllIsSortedInListOrder)
{
    TBaseGridTree tree;
    tree.SetSelectionOptions({ toMultiSelect });
    tree.SetRootNodeCount(300);
    std::mt19937 rng(5);
    for (int i = 0; i < 200; ++i) {
        TGridNode *source = tree.GetFirstNoInit();
        for (int k = int(rng() % 300); k > 0; --k)
            source = source->NextSibling();
        tree.MoveTo(source, tree.GetFirstNoInit(), amInsertBefore, false);
    }
    TNodeArray rows;
    for (TGridNode *n = tree.GetFirstNoInit(); n; n = n->NextSibling())
        rows.push_back(n);
    tree.SelectAll(false);
    ASSERT_EQ(tree.SelectedCount(), 300);
    EXPECT_EQ(tree.GetSortedSelection(false), rows);

    // Top-level rows only, but a row has a child: the tree's order, children
    // left out because they are not selected.
    tree.ClearSelection();
    tree.AddChild(rows[7]);
    tree.AddToSelection(rows, int(rows.size()));
    ASSERT_EQ(tree.SelectedCount(), 300);
    EXPECT_EQ(tree.GetSortedSelection(false), rows);
    EXPECT_EQ(tree.GetSortedSelection(true), rows);
}
