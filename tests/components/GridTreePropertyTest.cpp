// Random operation sequences against a plain reference tree: structure, counts,
// heights, indexes, walks in both orders and the visible walks must agree.
#include "components/BaseGridTree.h"

#include <QString>
#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <set>
#include <vector>

namespace {

struct Row {
    int id = -1, key = 0;
    QString tag; // owns heap memory, so a raw copy or a missed destructor shows under ASan
};

struct RefNode {
    int parent = 0;
    std::vector<int> children;
    bool visible = true, expanded = false;
    uint32_t height = 18;
    int key = 0;
};

// The reference: a map of id -> node; id 0 is the root.
class RefTree {
public:
    RefTree() { nodes[0].expanded = true; }

    std::map<int, RefNode> nodes;

    bool isAncestor(int ancestor, int id) const
    {
        for (int p = nodes.at(id).parent; id != 0; id = p, p = nodes.at(id).parent)
            if (p == ancestor)
                return true;
        return false;
    }
    void add(int parent, int id, int key, uint32_t height)
    {
        nodes[id] = RefNode { parent, {}, true, false, height, key };
        nodes[parent].children.push_back(id);
    }
    void unlink(int id)
    {
        RefNode &parent = nodes[nodes[id].parent];
        parent.children.erase(std::find(parent.children.begin(), parent.children.end(), id));
        if (parent.children.empty() && nodes[id].parent != 0)
            parent.expanded = false;
    }
    void erase(int id, bool linked = true)
    {
        if (linked)
            unlink(id);
        for (int c : nodes[id].children)
            erase(c, false);
        nodes.erase(id);
    }
    void clearChildren(int id)
    {
        for (int c : std::vector<int>(nodes[id].children))
            erase(c);
        if (id != 0)
            nodes[id].expanded = false;
    }
    // Place id relative to target with an attach mode.
    void place(int id, int target, TGTAttachMode mode)
    {
        const bool sibling = mode == amInsertBefore || mode == amInsertAfter;
        const int parent = sibling ? nodes[target].parent : target;
        auto &list = nodes[parent].children;
        list.insert(sibling ? std::find(list.begin(), list.end(), target) + (mode == amInsertAfter)
                : mode == amAddChildFirst ? list.begin()
                                          : list.end(),
            id);
        nodes[id].parent = parent;
    }
    bool shownChildren(int id) const
    {
        for (int n = id; n != 0; n = nodes.at(n).parent)
            if (!nodes.at(n).visible || !nodes.at(n).expanded)
                return false;
        return true;
    }
    bool displayed(int id) const { return nodes.at(id).visible && shownChildren(nodes.at(id).parent); }
    uint32_t totalHeight(int id) const
    {
        const RefNode &n = nodes.at(id);
        uint32_t h = n.height;
        if (n.expanded)
            for (int c : n.children)
                if (nodes.at(c).visible)
                    h += totalHeight(c);
        return h;
    }
    // The subtree below id in tree order, or with children before their parent.
    void walk(int id, std::vector<int> &out, bool post = false) const
    {
        for (int c : nodes.at(id).children) {
            if (!post)
                out.push_back(c);
            walk(c, out, post);
            if (post)
                out.push_back(c);
        }
    }
};

class PropertyRun {
public:
    explicit PropertyRun(unsigned seed)
        : rng(seed)
    {
        // Half the runs with a view and listeners attached: the store takes
        // shorter paths when nobody listens, and both must keep the structure.
        if (seed % 2 == 0) {
            tree.AttachView(view);
            tree.OnStateChange = [this](TBaseGridTree &, TGridTreeStates, TGridTreeStates) { ++view.calls; };
            tree.OnStructureChange = [this](TBaseGridTree &, TGridNode *, TChangeReason) { ++view.calls; };
        }
        tree.SetNodeDataType<Row>();
        tree.OnFreeNode = [this](TBaseGridTree &t, TGridNode *node) {
            Row *row = t.GetNodeData<Row>(node);
            if (row->id >= 0) {
                EXPECT_EQ(row->tag, QString::number(row->id));
                freed.insert(row->id);
                byId.erase(row->id);
            }
        };
        tree.OnCompareNodes = [](TBaseGridTree &t, TGridNode *a, TGridNode *b, int) {
            return t.GetNodeData<Row>(a)->key - t.GetNodeData<Row>(b)->key;
        };
    }

    // Counts what the store tells a view.
    struct View : TGridTreeHooks {
        int calls = 0;
        void InvalidateCache() override { ++calls; }
        void InterruptValidation() override { ++calls; }
    } view;
    std::mt19937 rng;
    RefTree ref;
    std::map<int, TGridNode *> byId;
    std::set<int> freed;
    int nextId = 1;
    // Last, so that its destructor's free events still find the maps above.
    TBaseGridTree tree;

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }
    int randomNode(bool allowRoot) // the root is always the first entry
    {
        const int skip = allowRoot ? 0 : 1, n = int(ref.nodes.size()) - skip;
        return n <= 0 ? 0 : std::next(ref.nodes.begin(), skip + pick(n))->first;
    }
    TGridNode *nodeOf(int id) { return id == 0 ? nullptr : byId.at(id); }

    void name(TGridNode *node, int parentId)
    {
        const int id = nextId++;
        Row *row = tree.GetNodeData<Row>(node);
        row->id = id;
        row->key = pick(4);
        row->tag = QString::number(id);
        byId[id] = node;
        ref.add(parentId, id, row->key, node->NodeHeight());
    }

    void step()
    {
        const int op = pick(100);
        if (op < 22 || ref.nodes.size() < 3) {
            const int parent = pick(3) == 0 ? 0 : randomNode(true);
            name(tree.AddChild(nodeOf(parent)), parent);
        } else if (op < 32) {
            const int id = randomNode(false);
            tree.DeleteNode(byId.at(id), pick(2) == 0);
            ref.erase(id);
        } else if (op < 37) {
            const int id = randomNode(true);
            TGridNode *node = nodeOf(id);
            const uint32_t old = tree.ChildCount(node);
            const uint32_t count = uint32_t(pick(5));
            tree.SetChildCount(node, count);
            if (count == 0) {
                ref.clearChildren(id);
            } else if (count < old) {
                while (ref.nodes[id].children.size() > count)
                    ref.erase(ref.nodes[id].children.back());
            } else {
                TGridNode *child = node ? node->FirstChild() : tree.RootNode()->FirstChild();
                for (uint32_t i = 0; i < old; ++i)
                    child = child->NextSibling();
                for (; child; child = child->NextSibling())
                    name(child, id);
            }
        } else if (op < 47) {
            move();
        } else if (op < 60) {
            const int id = randomNode(false);
            const bool value = pick(3) == 0;
            tree.SetVisible(byId.at(id), value);
            ref.nodes[id].visible = value;
        } else if (op < 72) {
            const int id = randomNode(false);
            tree.ToggleNode(byId.at(id));
            RefNode &n = ref.nodes[id];
            n.expanded = n.expanded ? false : !n.children.empty();
        } else if (op < 77) {
            const int id = randomNode(false);
            const uint32_t h = pick(5) == 0 ? 70000 + pick(100000) : pick(40);
            tree.SetNodeHeight(byId.at(id), h);
            ref.nodes[id].height = std::min<uint32_t>(h, 65535);
        } else if (op < 83) {
            const int id = randomNode(true);
            const bool ascending = pick(2) == 0;
            tree.Sort(nodeOf(id), 0, ascending ? sdAscending : sdDescending);
            auto &list = ref.nodes[id].children;
            std::stable_sort(list.begin(), list.end(), [&](int a, int b) {
                return ascending ? ref.nodes[a].key < ref.nodes[b].key : ref.nodes[a].key > ref.nodes[b].key;
            });
        } else if (op < 86) {
            const int id = randomNode(true);
            tree.DeleteChildren(nodeOf(id));
            ref.clearChildren(id);
        } else if (op < 91) {
            const int id = pick(3) == 0 ? 0 : randomNode(false);
            const bool expand = op < 89;
            expand ? tree.FullExpand(nodeOf(id)) : tree.FullCollapse(nodeOf(id));
            std::vector<int> all { id };
            ref.walk(id, all);
            for (int n : all)
                if (n != 0)
                    ref.nodes[n].expanded = expand && !ref.nodes[n].children.empty();
        } else if (op < 98) {
            // Several changes inside one update bracket.
            tree.BeginUpdate();
            for (int i = pick(6); i >= 0; --i)
                step();
            tree.EndUpdate();
        } else if (pick(8) == 0) {
            tree.Clear();
            ref.clearChildren(0);
        }
    }

    void move()
    {
        const int source = randomNode(false);
        int target = pick(6) == 0 ? 0 : randomNode(false);
        auto mode = TGTAttachMode(1 + pick(4));
        const bool childrenOnly = pick(4) == 0;
        if (target == 0)
            mode = amAddChildFirst; // a nil target means the root's first child place
        const auto &children = ref.nodes[source].children;
        bool refused = childrenOnly ? std::any_of(children.begin(), children.end(),
                           [&](int c) { return target == c || ref.isAncestor(c, target); })
                                    : target != 0 && ref.isAncestor(source, target);
        if (refused) {
            EXPECT_THROW(tree.MoveTo(byId.at(source), nodeOf(target), mode, childrenOnly), EGridTreeError);
            return;
        }
        tree.MoveTo(byId.at(source), nodeOf(target), mode, childrenOnly);
        if (!childrenOnly) {
            if (target == source)
                return;
            ref.unlink(source);
            ref.place(source, target, mode);
            return;
        }
        if (target == source && (mode == amAddChildFirst || mode == amAddChildLast))
            return;
        std::vector<int> moving = children;
        if (mode == amAddChildFirst || mode == amInsertAfter)
            std::reverse(moving.begin(), moving.end());
        for (int c : moving) {
            ref.unlink(c);
            ref.place(c, target, mode);
        }
    }

    // The ids met walking from first with one of the tree's step functions.
    using Step = TGridNode *(TBaseGridTree::*)(TGridNode *, bool);
    std::vector<int> walk(TGridNode *n, Step next, bool childrenAbove, bool backwards = false)
    {
        std::vector<int> ids;
        for (; n; n = (tree.*next)(n, childrenAbove))
            ids.push_back(tree.GetNodeData<Row>(n)->id);
        if (backwards)
            std::reverse(ids.begin(), ids.end());
        return ids;
    }
    int idOf(TGridNode *n) { return n ? tree.GetNodeData<Row>(n)->id : -1; }

    // The visible walk in one order, forwards and backwards.
    void checkVisibleWalks(const std::vector<int> &order, bool above)
    {
        std::vector<int> shown;
        std::copy_if(
            order.begin(), order.end(), std::back_inserter(shown), [&](int id) { return ref.displayed(id); });
        ASSERT_EQ(walk(tree.GetFirstVisible(nullptr, true), &TBaseGridTree::GetNextVisible, true), shown)
            << above;
        ASSERT_EQ(walk(tree.GetLastVisibleNoInit(nullptr, true), &TBaseGridTree::GetPreviousVisibleNoInit,
                      true, true),
            shown)
            << above;

        // From a node that is not shown, the walk goes on where it would be.
        for (int k = 0; k < 3 && !order.empty(); ++k) {
            const size_t at = size_t(pick(int(order.size())));
            int expectNext = -1, expectPrev = -1;
            for (size_t i = at + 1; i < order.size() && expectNext < 0; ++i)
                if (ref.displayed(order[i]))
                    expectNext = order[i];
            for (size_t i = at; i-- > 0 && expectPrev < 0;)
                if (ref.displayed(order[i]))
                    expectPrev = order[i];
            ASSERT_EQ(idOf(tree.GetNextVisibleNoInit(byId.at(order[at]), true)), expectNext);
            ASSERT_EQ(idOf(tree.GetPreviousVisible(byId.at(order[at]), true)), expectPrev);
        }
    }

    void check()
    {
        ASSERT_EQ(tree.UpdateCount(), 0u);
        std::vector<int> pre, post;
        ref.walk(0, pre);
        ref.walk(0, post, true);

        // Tree order both ways, and back from the end.
        ASSERT_EQ(walk(tree.GetFirstNoInit(), &TBaseGridTree::GetNextNoInit, false), pre);
        ASSERT_EQ(walk(tree.GetLast(), &TBaseGridTree::GetPrevious, false, true), pre);

        // Per node: links, counts, heights, levels, dense indexes (read in random order).
        std::vector<int> shuffled = pre;
        std::shuffle(shuffled.begin(), shuffled.end(), rng);
        for (int id : shuffled) {
            const RefNode &r = ref.nodes.at(id);
            TGridNode *n = byId.at(id);
            const auto &siblings = ref.nodes.at(r.parent).children;
            ASSERT_EQ(
                n->Index(), uint32_t(std::find(siblings.begin(), siblings.end(), id) - siblings.begin()));
            ASSERT_EQ(n->Parent(), r.parent == 0 ? tree.RootNode() : byId.at(r.parent));
            ASSERT_EQ(n->ChildCount(), r.children.size());
            std::vector<int> below;
            ref.walk(id, below);
            ASSERT_EQ(n->TotalCount(), below.size() + 1);
            ASSERT_EQ(n->TotalHeight(), ref.totalHeight(id)) << "node " << id;
            ASSERT_EQ(n->Has(vsExpanded), r.expanded);
            ASSERT_EQ(tree.GetNodeLevel(n), r.parent == 0 ? 0 : tree.GetNodeLevel(byId.at(r.parent)) + 1);
            if (!r.children.empty()) {
                bool anyVisible = std::any_of(
                    r.children.begin(), r.children.end(), [&](int c) { return ref.nodes.at(c).visible; });
                ASSERT_EQ(n->Has(vsAllChildrenHidden), !anyVisible) << "node " << id;
            }
        }
        ASSERT_EQ(tree.RootNode()->TotalCount(), pre.size() + 1);
        ASSERT_EQ(tree.RootNode()->TotalHeight(), ref.totalHeight(0));
        ASSERT_EQ(tree.RootNodeCount(), ref.nodes[0].children.size());
        ASSERT_EQ(tree.VisibleCount(),
            uint32_t(std::count_if(pre.begin(), pre.end(), [&](int id) { return ref.displayed(id); })));

        checkVisibleWalks(pre, false);
        tree.SetPaintOptions(tree.PaintOptions() + TGTPaintOptions { toChildrenAbove });
        ASSERT_EQ(walk(tree.GetFirst(true), &TBaseGridTree::GetNext, true), post);
        ASSERT_EQ(
            walk(tree.GetLastNoInit(nullptr, true), &TBaseGridTree::GetPreviousNoInit, true, true), post);
        checkVisibleWalks(post, true);
        tree.SetPaintOptions(tree.PaintOptions() - TGTPaintOptions { toChildrenAbove });

        // Every node that left got its free event exactly once.
        for (auto &[id, node] : byId)
            ASSERT_FALSE(freed.count(id));
        ASSERT_EQ(byId.size() + freed.size(), size_t(nextId - 1));
    }
};

} // namespace

TEST(GridTreeProperty, RandomOperationsAgreeWithReference)
{
    for (unsigned seed = 1; seed <= 24; ++seed) {
        SCOPED_TRACE(seed);
        PropertyRun run(seed);
        for (int i = 0; i < 600 && !::testing::Test::HasFatalFailure(); ++i) {
            run.step();
            run.check();
        }
        if (::testing::Test::HasFatalFailure())
            return; // the seed replays the failure
        if (seed % 2 == 0) {
            EXPECT_GT(run.view.calls, 0);
        }
    }
}
