// Data areas, freeing, indexes, heights, references and the update bracket.
#include "components/BaseGridTree.h"

#include <QImage>
#include <QStringList>
#include <cstdint>
#include <gtest/gtest.h>
#include <vector>

namespace {

// A row record shaped like the document's: owns a list, a bitmap and an ID.
struct RecordCounts {
    int constructed = 0, destroyed = 0;
} counts;

struct Record {
    Record() { ++counts.constructed; }
    ~Record() { ++counts.destroyed; }
    Record(const Record &) = delete;
    Record &operator=(const Record &) = delete;
    QStringList cells;
    QImage bitmap;
    QString id;
};

std::vector<TGridNode *> children(TBaseGridTree &tree, TGridNode *parent = nullptr)
{
    std::vector<TGridNode *> result;
    for (TGridNode *n = (parent ? parent : tree.RootNode())->FirstChild(); n; n = n->NextSibling())
        result.push_back(n);
    return result;
}

// What f throws as E; anything else fails the test.
template <class E, class F> E caught(F f)
{
    try {
        f();
    } catch (const E &e) {
        return e;
    }
    throw std::logic_error("nothing thrown");
}

} // namespace

TEST(GridTreeNodeStore, RefusedCallsNameTheReasonAndChangeNothing)
{
    TBaseGridTree tree, other;
    TGridNode *a = tree.AddChild(nullptr);
    TGridNode *b = tree.AddChild(a);
    EXPECT_EQ(tree.GetNodeData(nullptr), nullptr);
    EXPECT_STREQ(
        caught<EGridTreeAssertion>([&] { tree.GetNodeData(a); }).what(), "NodeDataSize not initialized.");
    EXPECT_EQ(caught<EGridTreeError>([&] { tree.MoveTo(a, b, amAddChildLast, false); }).Message(),
        "Target node cannot be a child node of the node to be moved.");
    EXPECT_THROW(other.MoveTo(a, nullptr, amAddChildLast, false), EGridTreeAssertion);
    tree.DoStateChange({ tsIterating });
    EXPECT_THROW(tree.DeleteNode(b), EGridTreeAssertion);
    EXPECT_THROW(tree.DeleteChildren(nullptr), EGridTreeAssertion);
    tree.DoStateChange({}, { tsIterating });
    EXPECT_EQ(b->Parent(), a);
    EXPECT_EQ(tree.RootNode()->TotalCount(), 3u);
}

TEST(GridTreeNodeStore, UserDataPointerIsStoredWhole)
{
    TBaseGridTree tree;
    tree.SetNodeDataSize(sizeof(void *));
    // A pointer whose upper half matters.
    void *pointer = reinterpret_cast<void *>(uintptr_t(0x7f12345678abcdefULL));
    TGridNode *node = tree.AddChild(nullptr, pointer);
    EXPECT_TRUE(node->Has(vsInitialUserData));
    EXPECT_EQ(*tree.GetNodeData<void *>(node), pointer);

    TBaseGridTree small;
    small.SetNodeDataSize(4);
    const auto e = caught<EGridTreeError>([&] { small.AddChild(nullptr, pointer); });
    EXPECT_EQ(
        e.Message(), "Cannot set initial user data because there is not enough user data space allocated.");
    EXPECT_EQ(e.HelpContext(), 2008);
    // The node was added before the check failed.
    EXPECT_EQ(small.RootNodeCount(), 1u);
}

TEST(GridTreeNodeStore, FreeEventForEveryHandedOutArea)
{
    TBaseGridTree tree;
    tree.SetNodeDataSize(16);
    std::vector<TGridNode *> freed;
    tree.OnFreeNode = [&](TBaseGridTree &, TGridNode *node) { freed.push_back(node); };
    tree.SetRootNodeCount(3);
    auto nodes = children(tree);
    tree.GetNodeData(nodes[1]); // handed out, never initialised
    ASSERT_FALSE(nodes[1]->Has(vsInitialized));
    tree.IsVisible(nodes[2]); // initialised, area untouched
    tree.Clear();
    EXPECT_EQ(freed, (std::vector<TGridNode *> { nodes[2], nodes[1] }));
}

TEST(GridTreeNodeStore, TypedRecordsAreBuiltOnceAndDestroyedOnce)
{
    counts = {};
    {
        TBaseGridTree tree;
        tree.SetNodeDataType<Record>();
        int freeEvents = 0;
        tree.OnFreeNode = [&](TBaseGridTree &t, TGridNode *node) {
            // Still alive during the event.
            EXPECT_EQ(t.GetNodeData<Record>(node)->cells.size(), 3);
            ++freeEvents;
        };
        tree.OnCompareNodes = [](TBaseGridTree &t, TGridNode *a, TGridNode *b, int) {
            return t.GetNodeData<Record>(a)->id.compare(t.GetNodeData<Record>(b)->id);
        };
        for (int i = 0; i < 50; ++i) {
            Record *r = tree.GetNodeData<Record>(tree.AddChild(nullptr));
            r->cells = QStringList { "a", "b", QString::number(i) };
            r->bitmap = QImage(4, 4, QImage::Format_ARGB32);
            r->id = QString::number(1000 - i);
        }
        EXPECT_EQ(counts.constructed, 50);
        tree.Sort(nullptr, 0, sdAscending);
        tree.MoveTo(tree.GetFirst(), tree.GetLast(), amInsertAfter, false);
        EXPECT_EQ(counts.constructed, 50); // relinked, never copied
        tree.DeleteNode(tree.GetFirst());
        EXPECT_EQ(counts.destroyed, 1);
        EXPECT_THROW(tree.GetNodeData<int>(tree.GetFirst()), EGridTreeAssertion);
        // A new layout frees every record first and keeps the row count.
        tree.SetNodeDataSize(8);
        EXPECT_EQ(counts.destroyed, 50);
        EXPECT_EQ(freeEvents, 50);
        EXPECT_EQ(tree.RootNodeCount(), 49u);
        EXPECT_EQ(*tree.GetNodeData<int64_t>(tree.GetFirst()), 0);
        tree.OnFreeNode = nullptr;
    }
    EXPECT_EQ(counts.constructed, counts.destroyed);
}

TEST(GridTreeNodeStore, DeletingEveryRowOneByOneStaysLinear)
{
    // 100k rows deleted from the front; renumbering all later rows each time
    // would be five billion steps. Every read still sees the dense number.
    TBaseGridTree tree;
    tree.SetRootNodeCount(100000);
    TGridNode *last = tree.RootNode()->LastChild();
    for (uint32_t left = 100000; left > 1; --left) {
        tree.DeleteNode(tree.RootNode()->FirstChild());
        if (left % 20000 == 0) {
            ASSERT_EQ(last->Index(), left - 2);
        }
        ASSERT_EQ(tree.RootNode()->FirstChild()->Index(), 0u);
    }
    EXPECT_EQ(last->Index(), 0u);
    EXPECT_EQ(tree.RootNode()->TotalCount(), 2u);
}

TEST(GridTreeNodeStore, HeightsBeyondSixteenBitsAreClamped)
{
    TBaseGridTree tree;
    TGridNode *node = tree.AddChild(nullptr);
    tree.SetNodeHeight(node, 70000);
    EXPECT_EQ(node->NodeHeight(), 65535u);
    EXPECT_EQ(tree.RootNode()->TotalHeight(), 18u + 65535u);
    tree.SetDefaultNodeHeight(1u << 20);
    EXPECT_EQ(tree.DefaultNodeHeight(), 65535u);
    tree.SetDefaultNodeHeight(0);
    EXPECT_EQ(tree.DefaultNodeHeight(), 18u);
    EXPECT_EQ(tree.RootNode()->TotalHeight(), 18u + 65535u);
}

TEST(GridTreeNodeStore, ReferencesToFreedNodesAreCleared)
{
    struct Offsets : TGridTreeHooks {
        int resets = 0;
        void ResetScrollOffsets() override { ++resets; }
    } hooks;
    TBaseGridTree tree;
    tree.AttachView(hooks);
    TGridNode *parent = tree.AddChild(nullptr);
    TGridNode *child = tree.AddChild(parent);
    TGridNode *other = tree.AddChild(nullptr);
    TGridNodeReference kept(tree, child);
    tree.SetFocusedNode(child);
    tree.SetHotNode(child);
    tree.SetDropTargetNode(other);
    TGridNode *delivered = other;
    tree.OnChange = [&](TBaseGridTree &, TGridNode *node) { delivered = node; };
    tree.BeginUpdate();
    tree.Change(child);
    tree.DeleteNode(parent);
    EXPECT_EQ(kept.get(), nullptr);
    EXPECT_EQ(tree.FocusedNode(), nullptr);
    EXPECT_EQ(tree.HotNode(), nullptr);
    EXPECT_EQ(tree.DropTargetNode(), other);
    tree.EndUpdate();
    EXPECT_EQ(delivered, nullptr); // the pending change no longer names a freed node
    tree.SetDropTargetNode(nullptr);

    // Freeing other nodes leaves a reference alone; one set again after the
    // tree found all of them nil is still cleared.
    TGridNode *first = tree.AddChild(nullptr);
    TGridNode *second = tree.AddChild(nullptr);
    kept = first;
    tree.DeleteNode(second);
    EXPECT_EQ(kept.get(), first);
    tree.DeleteNode(first);
    EXPECT_EQ(kept.get(), nullptr);
    TGridNode *third = tree.AddChild(nullptr);
    tree.DeleteNode(tree.AddChild(nullptr));
    kept = third;
    tree.DeleteNode(third);
    EXPECT_EQ(kept.get(), nullptr);

    // Clear drops the focus too and starts the root and the view afresh.
    tree.SetRootNodeCount(5);
    tree.SetFocusedNode(tree.GetFirst());
    tree.SetDefaultNodeHeight(20);
    tree.Clear();
    EXPECT_EQ(tree.FocusedNode(), nullptr);
    EXPECT_EQ(tree.RootNode()->TotalHeight(), 20u);
    EXPECT_EQ(tree.VisibleCount(), 0u);
    EXPECT_EQ(hooks.resets, 1);

    // A reference that outlives its tree is detached, not dangling.
    auto owned = std::make_unique<TBaseGridTree>();
    TGridNodeReference late(*owned, owned->AddChild(nullptr));
    owned.reset();
    EXPECT_EQ(late.get(), nullptr);
}

TEST(GridTreeNodeStore, RemovingTheLastChildResetsTheParentsFlags)
{
    TBaseGridTree tree;
    TGridNode *parent = tree.AddChild(nullptr);
    TGridNode *child = tree.AddChild(parent);
    tree.ToggleNode(parent);
    tree.SetVisible(child, false);
    tree.DeleteNode(child);
    EXPECT_FALSE(parent->Has(vsHasChildren));
    EXPECT_FALSE(parent->Has(vsAllChildrenHidden));
    EXPECT_FALSE(parent->Has(vsExpanded));
    tree.DeleteNode(parent);
    EXPECT_TRUE(tree.RootNode()->Has(vsExpanded));

    // Set to zero children a node still says it may have some.
    tree.SetChildCount(parent = tree.AddChild(nullptr), 3);
    tree.SetChildCount(parent, 0);
    EXPECT_TRUE(parent->Has(vsHasChildren));
}

TEST(GridTreeNodeStore, NotificationsAreBundledAndDelayed)
{
    struct Timers : TGridTreeHooks {
        std::vector<TGridTreeTimer> started;
        bool StartTimer(TGridTreeTimer id, int) override
        {
            started.push_back(id);
            return true;
        }
    } hooks;
    TBaseGridTree tree;
    tree.AttachView(hooks);
    tree.SetRootNodeCount(3);
    std::vector<TGridNode *> changes;
    std::vector<TChangeReason> reasons;
    std::vector<TGTUpdateState> updating;
    tree.OnChange = [&](TBaseGridTree &, TGridNode *node) { changes.push_back(node); };
    tree.OnStructureChange = [&](TBaseGridTree &, TGridNode *, TChangeReason r) { reasons.push_back(r); };
    tree.OnUpdating = [&](TBaseGridTree &, TGTUpdateState s) { updating.push_back(s); };

    auto nodes = children(tree);
    tree.BeginUpdate();
    for (int i = 0; i < 10; ++i)
        tree.Change(nodes[i % 3]);
    tree.AddChild(nullptr);
    tree.DeleteNode(nodes[1]);
    tree.EndUpdate();
    EXPECT_EQ(changes, (std::vector<TGridNode *> { nodes[0] }));
    EXPECT_EQ(reasons, (std::vector<TChangeReason> { crAccumulated }));
    EXPECT_EQ(updating, (std::vector<TGTUpdateState> { usBegin, usEnd }));
    tree.EndUpdate(); // unbalanced: tells the end again but does not go negative
    EXPECT_EQ(tree.UpdateCount(), 0u);
    EXPECT_EQ(updating, (std::vector<TGTUpdateState> { usBegin, usEnd, usEnd }));

    // With a delay the change waits for the view's timer and comes once.
    changes.clear();
    tree.SetChangeDelay(100);
    tree.Change(nodes[0]);
    EXPECT_TRUE(changes.empty());
    EXPECT_EQ(hooks.started.back(), ttChangeDelay);
    tree.DeliverPendingChange();
    tree.DeliverPendingChange();
    EXPECT_EQ(changes, (std::vector<TGridNode *> { nodes[0] }));
}

// A view shows a store it does not own; either may go first, and a store that
// takes another view lets the first one go.
TEST(GridTreeNodeStore, AViewAttachesAndDetachesWhicheverGoesFirst)
{
    struct View : TGridTreeHooks {
        int calls = 0, detached = 0;
        void InvalidateCache() override { ++calls; }
        void Detached() override { ++detached; }
    };
    auto store = std::make_unique<TBaseGridTree>();
    {
        View view;
        store->AttachView(view);
        EXPECT_EQ(store->AttachedView(), &view);
        EXPECT_EQ(view.AttachedTree(), store.get());
        store->SetRootNodeCount(3);
        EXPECT_GT(view.calls, 0);
    }
    EXPECT_EQ(store->AttachedView(), nullptr);
    store->SetRootNodeCount(5); // reaches no view that is gone

    View first, second;
    store->AttachView(first);
    store->AttachView(second);
    EXPECT_EQ(first.detached, 1);
    EXPECT_EQ(first.AttachedTree(), nullptr);
    TBaseGridTree other;
    other.AttachView(second);
    EXPECT_EQ(store->AttachedView(), nullptr);
    EXPECT_EQ(second.AttachedTree(), &other);

    store->AttachView(first);
    const int calls = first.calls;
    store.reset();
    EXPECT_EQ(first.detached, 2);
    EXPECT_EQ(first.AttachedTree(), nullptr);
    EXPECT_EQ(first.calls, calls); // the store's tear-down reaches no view
}
