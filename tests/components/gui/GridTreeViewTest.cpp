// The tree view: its defaults and option side effects, the change timers, the
// store it shows in either order of destruction, and positions on a shown tree.
#include "components/gui/GridTreeView.h"

#include "components/PositionCache.h"
#include "components/ValidationWorker.h"
#include "components/gui/GTColors.h"
#include "components/gui/GTDragImage.h"
#include "components/gui/GTHeader.h"
#include "components/gui/GridTreeColumns.h"
#include "components/gui/GridTreeOptions.h"
#include "components/gui/ScrollBarOptions.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTest>
#include <QThread>
#include <gtest/gtest.h>
#include <memory>

namespace {

// Counts what the view leaves to the parts of the control still to come.
class TProbeTree : public TGridTreeView {
public:
    using TGridTreeView::TGridTreeView;
    int Cleared = 0;
    int Paints = 0;
    int Measured = 0;
    bool MeasuredElsewhere = false;
    void ClearSelection() override { ++Cleared; }

protected:
    void paintEvent(QPaintEvent *Event) override
    {
        ++Paints;
        TGridTreeView::paintEvent(Event);
    }
    // Rows of 10 to 40 pixels, measured when the cache is about to be built.
    void MeasureItemHeight(TGridNode *Node) override
    {
        ++Measured;
        MeasuredElsewhere = MeasuredElsewhere || QThread::currentThread() != qApp->thread();
        Tree()->SetNodeHeight(Node, 10 + Node->Index() * 7 % 31);
    }
};

// Waits until the worker has left the view's cache and the states are delivered.
// Waits until no build is queued or running, also for one that a queued call of the
// event loop asks for only after the first wait.
void Settle(TGridTreeView &view)
{
    const auto busy = [&view] {
        return view.PositionCache()->Pending()
            || TWorkerThread::Instance()->CurrentTree() == view.PositionCache();
    };
    for (int quietTurns = 0; quietTurns < 3;) {
        QApplication::processEvents();
        if (busy()) {
            quietTurns = 0;
            while (busy())
                QThread::yieldCurrentThread();
        } else {
            ++quietTurns;
        }
    }
}

// Paints happen on the next turn of the event loop.
int PaintsAfter(TProbeTree &view, const std::function<void()> &change)
{
    QApplication::processEvents();
    const int before = view.Paints;
    change();
    QApplication::processEvents();
    return view.Paints - before;
}

} // namespace

TEST(GridTreeView, StartsWithTheDefaults)
{
    TGridTreeView view;
    EXPECT_EQ(view.size(), QSize(200, 100));
    EXPECT_EQ(view.focusPolicy(), Qt::StrongFocus);
    EXPECT_EQ(view.DefaultNodeHeight(), 18u);
    EXPECT_EQ(view.Indent(), 18);
    EXPECT_EQ(view.Margin(), 4);
    EXPECT_EQ(view.TextMargin(), 4);
    EXPECT_EQ(view.CheckImageKind(), ckSystemDefault);
    EXPECT_EQ(view.DragOperations(), (TDragOperations { doCopy, doMove }));
    EXPECT_EQ(view.Tree()->NodeDataSize(), -1);
    EXPECT_EQ(view.FocusedColumn(), NoColumn);
    EXPECT_EQ(view.ScrollBarOptions().ScrollBars(), ssBoth);
    EXPECT_EQ(view.ScrollBarOptions().VerticalIncrement(), 20);
    EXPECT_EQ(view.Colors().Color(TGTColors::FocusedSelectionColor), clHighlight);
    EXPECT_EQ(view.Colors().Color(TGTColors::HeaderHotColor), clBtnShadow);
    EXPECT_EQ(view.Header().Height(), 17);
    EXPECT_EQ(view.Header().Options(), (TGTHeaderOptions { hoColumnResize, hoDrag, hoShowSortGlyphs }));
    EXPECT_EQ(view.Header().DragImage().Transparency(), 140);
    // The store takes the view's options and can be shown as a string tree.
    EXPECT_TRUE(view.Tree()->PaintOptions().contains(toThemeAware));
    EXPECT_TRUE(view.ViewStates().contains(tsUseThemes));
    EXPECT_GT(view.Tree()->TotalInternalDataSize(), 0);
    EXPECT_THROW(view.ScrollBarOptions().SetScrollBarStyle(sbmFlat), EGridTreeAssertion);
}

TEST(GridTreeView, OptionSettersApplyWhatTheyMean)
{
    TProbeTree view;
    view.show();
    QApplication::processEvents();
    TCustomGridTreeOptions &options = view.TreeOptions();

    // Themes follow toThemeAware; the store follows the paint options.
    options.SetPaintOptions(options.PaintOptions() - TGTPaintOptions { toThemeAware });
    EXPECT_FALSE(view.ViewStates().contains(tsUseThemes));
    EXPECT_FALSE(view.Tree()->PaintOptions().contains(toThemeAware));

    // The selection is cleared when multi-select switches either way and when a
    // constraint is switched on, not off.
    options.SetSelectionOptions({ toMultiSelect });
    options.SetSelectionOptions({ toMultiSelect, toLevelSelectConstraint });
    options.SetSelectionOptions({ toMultiSelect });
    options.SetSelectionOptions({});
    EXPECT_EQ(view.Cleared, 3);

    // Without extended focus the focused column follows the main column.
    view.Header().Columns().Add();
    view.Header().Columns().Add();
    options.SetSelectionOptions({ toExtendedFocus });
    view.SetFocusedColumn(1);
    options.SetSelectionOptions({});
    EXPECT_EQ(view.FocusedColumn(), 0);

    // The drop target and the misc options reach the window and the store.
    options.SetMiscOptions(options.MiscOptions() - TGTMiscOptions { toAcceptOLEDrop });
    EXPECT_FALSE(view.viewport()->acceptDrops());
    options.SetMiscOptions(options.MiscOptions() + TGTMiscOptions { toAcceptOLEDrop, toCheckSupport });
    EXPECT_TRUE(view.viewport()->acceptDrops());
    EXPECT_TRUE(view.Tree()->MiscOptions().contains(toCheckSupport));

    // Repaints: span columns, static text, a colour; not for an unchanged value
    // or the animation options.
    EXPECT_GT(
        PaintsAfter(view,
            [&] { options.SetAutoOptions(options.AutoOptions() + TGTAutoOptions { toAutoSpanColumns }); }),
        0);
    EXPECT_EQ(PaintsAfter(view, [&] { options.SetAnimationOptions({ toAnimatedToggle }); }), 0);
    EXPECT_GT(PaintsAfter(view, [&] { view.Colors().SetColor(TGTColors::GridLineColor, clRed); }), 0);
    EXPECT_EQ(PaintsAfter(view, [&] { view.Colors().SetColor(TGTColors::GridLineColor, clRed); }), 0);
    TCustomStringTreeOptions strings(view);
    strings.SetStringOptions({ toShowStaticText });
    EXPECT_GT(PaintsAfter(view, [&] { view.SetTreeOptions(strings); }), 0);
    EXPECT_TRUE(view.TreeOptions().PaintOptions() == strings.PaintOptions());

    // Scroll bars by the scroll bar options.
    view.ScrollBarOptions().SetScrollBars(ssVertical);
    EXPECT_EQ(view.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    view.ScrollBarOptions().SetAlwaysVisible(true);
    EXPECT_EQ(view.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
}

TEST(GridTreeView, ChangeDelayGivesOneChangeFromItsTimer)
{
    TGridTreeView view;
    TBaseGridTree &tree = *view.Tree();
    tree.SetRootNodeCount(5);
    std::vector<TGridNode *> changed;
    tree.OnChange = [&](TBaseGridTree &, TGridNode *node) { changed.push_back(node); };
    view.SetChangeDelay(40);
    TGridNode *last = tree.GetLast();
    tree.Change(tree.GetFirst());
    tree.Change(last);
    EXPECT_TRUE(changed.empty());
    EXPECT_TRUE(tree.TreeStates().contains(tsChangePending));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !tree.TreeStates().contains(tsChangePending); }, 5000));
    ASSERT_EQ(changed.size(), 1u);
    EXPECT_EQ(changed[0], last);

    // Structure changes likewise, reasons gathered.
    std::vector<TChangeReason> reasons;
    tree.OnStructureChange = [&](TBaseGridTree &, TGridNode *, TChangeReason r) { reasons.push_back(r); };
    tree.AddChild(nullptr);
    tree.DeleteNode(tree.GetFirst());
    EXPECT_TRUE(reasons.empty());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !reasons.empty(); }, 5000));
    EXPECT_EQ(reasons, std::vector<TChangeReason> { crAccumulated });

    // Without a delay, at once.
    view.SetChangeDelay(0);
    tree.Change(last);
    EXPECT_EQ(changed.size(), 2u);
}

TEST(GridTreeView, OperationsNestAndEndingNoneFails)
{
    TGridTreeView view;
    EXPECT_FALSE(view.OperationCanceled());
    view.BeginOperation();
    view.CancelOperation();
    view.BeginOperation();
    EXPECT_TRUE(view.OperationCanceled());
    view.EndOperation();
    view.EndOperation();
    EXPECT_FALSE(view.OperationCanceled());
    EXPECT_THROW(view.EndOperation(), EGridTreeAssertion);
    // A new operation starts uncancelled.
    view.BeginOperation();
    EXPECT_FALSE(view.OperationCanceled());
    view.EndOperation();
}

TEST(GridTreeView, AGivenStoreOutlivesItsView)
{
    TBaseGridTree store;
    store.SetRootNodeCount(3000);
    {
        TGridTreeView view(store);
        view.show();
        Settle(view);
        EXPECT_TRUE(view.PositionCache()->UseCache());
        // Gone while a build may run.
        store.SetNodeHeight(store.GetFirst(), 30);
    }
    // The store works on alone, without the view's hooks.
    store.SetRootNodeCount(10);
    EXPECT_EQ(store.VisibleCount(), 10u);
    EXPECT_EQ(TWorkerThread::Instance(), nullptr);
}

TEST(GridTreeView, AGivenStoreMayGoFirst)
{
    auto store = std::make_unique<TBaseGridTree>();
    store->SetRootNodeCount(300000);
    TGridTreeView view(*store);
    view.Header().Columns().Add();
    view.show();
    QApplication::processEvents();
    // Its cache may be being built right now.
    store.reset();
    EXPECT_EQ(view.Tree(), nullptr);
    EXPECT_EQ(view.PositionCache(), nullptr);
    EXPECT_EQ(view.GetNodeAt(0, 0), nullptr);
    EXPECT_EQ(view.RangeY(), 0);
    view.repaint();
    // The header works on without rows.
    view.Header().SetSortColumn(0);
    EXPECT_EQ(view.Header().SortColumn(), 0);
}

TEST(GridTreeView, PositionsOnAShownTree)
{
    TGridTreeView view;
    view.resize(300, 200);
    view.show();
    TBaseGridTree &tree = *view.Tree();
    tree.SetRootNodeCount(5000);
    // A collapsed parent far down with children of 30 pixels.
    TGridNode *parent = tree.GetFirst();
    for (int i = 0; i < 4000; ++i)
        parent = parent->NextSibling();
    tree.SetChildCount(parent, 3);
    for (TGridNode *c = parent->FirstChild(); c; c = c->NextSibling())
        tree.SetNodeHeight(c, 30);
    Settle(view);
    ASSERT_TRUE(view.PositionCache()->UseCache());

    const int client = view.ClientHeight();
    EXPECT_EQ(view.TopNode(), tree.GetFirst());
    EXPECT_EQ(view.BottomNode()->Index(), uint32_t((client - 1) / 18));

    // Scrolled to a child: its parent opens, the child's row is the first.
    TGridNode *child = parent->LastChild();
    view.SetTopNode(child);
    EXPECT_TRUE(parent->Has(vsExpanded));
    EXPECT_EQ(view.OffsetY(), -(4001 * 18 + 2 * 30));
    EXPECT_EQ(view.verticalScrollBar()->value(), 4001 * 18 + 2 * 30);
    int top = -1;
    EXPECT_EQ(view.GetNodeAt(0, 29, true, top), child);
    EXPECT_EQ(top, 0);
    EXPECT_EQ(view.GetNodeAt(0, 30, true, top), parent->NextSibling());
    EXPECT_EQ(top, 30);
    EXPECT_EQ(view.GetNodeAt(0, -5, true, top), child);
    // Absolute positions ignore the offset.
    EXPECT_EQ(
        view.GetNodeAt(0, 18 * 3, false, top), tree.GetFirst()->NextSibling()->NextSibling()->NextSibling());
    EXPECT_EQ(top, 54);

    // The last node's row at the bottom of the client area.
    TGridNode *last = tree.GetLast();
    view.SetBottomNode(last);
    EXPECT_EQ(view.BottomNode(), last);
    EXPECT_EQ(view.OffsetY(), client - view.RangeY());
    // Below the last row: nothing.
    top = 77;
    view.SetOffsetY(-view.RangeY());
    EXPECT_EQ(view.GetNodeAt(0, client - 1, true, top), last);
    view.SetBottomSpace(40);
    view.SetOffsetY(-view.RangeY());
    EXPECT_EQ(view.GetNodeAt(0, client - 1, true, top = 77), nullptr);
    EXPECT_EQ(top, 77);

    EXPECT_LT(view.CompareNodePositions(parent, child), 0);
    EXPECT_GT(view.CompareNodePositions(last, child), 0);
}

TEST(GridTreeView, VariableHeightsAreMeasuredOnThisThreadBeforeABuild)
{
    TProbeTree view;
    TCustomGridTreeOptions &options = view.TreeOptions();
    options.SetMiscOptions(options.MiscOptions() + TGTMiscOptions { toVariableNodeHeight });
    TBaseGridTree &tree = *view.Tree();
    tree.SetRootNodeCount(4500);
    Settle(view);
    ASSERT_TRUE(view.PositionCache()->UseCache());
    EXPECT_GE(view.Measured, 4500);
    EXPECT_FALSE(view.MeasuredElsewhere);
    // The cache holds the measured heights.
    uint32_t expected = 0;
    for (TGridNode *n = tree.GetFirst(); n && n->Index() < 4321; n = n->NextSibling())
        expected += n->NodeHeight();
    uint32_t top = 0;
    EXPECT_EQ(view.PositionCache()->GetNodeAt(expected, top)->Index(), 4321u);
    EXPECT_EQ(top, expected);
}

TEST(GridTreeView, TheLastViewGoingMidBuildJoinsTheWorker)
{
    auto view = std::make_unique<TGridTreeView>();
    view->Tree()->SetRootNodeCount(400000);
    while (!(view->PositionCache()->States() & csValidating) && !view->PositionCache()->UseCache())
        QThread::yieldCurrentThread();
    view.reset();
    EXPECT_EQ(TWorkerThread::Instance(), nullptr);
    QApplication::processEvents();
}
