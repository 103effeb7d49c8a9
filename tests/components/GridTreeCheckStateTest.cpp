// Check lists through the store's API and events: tri-state propagation down
// and up with refusing and disabled nodes, radio groups, read-only trees, the
// pressed look of a press, and random clicks against a plain recursive model.
#include "components/BaseGridTree.h"

#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <set>
#include <vector>

namespace {

constexpr TCheckType Tri = TCheckType::ctTriStateCheckBox;
constexpr TCheckType Box = TCheckType::ctCheckBox;
constexpr TCheckType Radio = TCheckType::ctRadioButton;

struct CheckList : testing::Test {
    TBaseGridTree tree;
    std::set<TGridNode *> refusing;
    std::set<TGridNode *> disabled;
    std::vector<TGridNode *> asked, checked;

    void SetUp() override
    {
        tree.OnChecking = [this](TBaseGridTree &, TGridNode *node, TCheckState &, bool &allowed) {
            asked.push_back(node);
            allowed = !refusing.count(node);
        };
        tree.OnChecked = [this](TBaseGridTree &, TGridNode *node) { checked.push_back(node); };
        tree.OnInitNode = [this](TBaseGridTree &, TGridNode *, TGridNode *node, TGridNodeInitStates &init) {
            if (disabled.count(node))
                init.include(ivsDisabled);
        };
    }
    TGridNode *add(TGridNode *parent, TCheckType type)
    {
        TGridNode *n = tree.AddChild(parent);
        tree.SetCheckType(n, type);
        return n;
    }
    std::vector<TCheckState> states(std::initializer_list<TGridNode *> nodes)
    {
        std::vector<TCheckState> out;
        for (TGridNode *n : nodes)
            out.push_back(tree.CheckState(n));
        return out;
    }
    void reset()
    {
        asked.clear();
        checked.clear();
    }
};

using S = std::vector<TCheckState>;

} // namespace

TEST_F(CheckList, TriStateParentsFollowTheirBoxesBothWays)
{
    TGridNode *p = add(nullptr, Tri);
    TGridNode *c1 = add(p, Box), *c2 = add(p, Box), *c3 = add(p, Tri);
    TGridNode *plain = add(p, TCheckType::ctNone);
    tree.SetCheckState(p, csCheckedNormal);
    EXPECT_EQ(states({ p, c1, c2, c3, plain }),
        (S { csCheckedNormal, csCheckedNormal, csCheckedNormal, csCheckedNormal, csUncheckedNormal }));
    EXPECT_EQ(asked, (std::vector<TGridNode *> { p, c1, c2, c3 }));
    EXPECT_EQ(checked, (std::vector<TGridNode *> { c1, c2, c3, p }));
    tree.SetCheckState(p, csUncheckedNormal);
    EXPECT_EQ(states({ p, c1, c2, c3 }), S(4, csUncheckedNormal));

    // A child that refuses keeps its state; the parent ends mixed.
    refusing = { c2 };
    tree.SetCheckState(p, csCheckedNormal);
    EXPECT_EQ(states({ p, c1, c2, c3 }),
        (S { csMixedNormal, csCheckedNormal, csUncheckedNormal, csCheckedNormal }));
    // Up: the last unchecked child checks the parent; one less makes it mixed,
    // none makes it unchecked.
    refusing.clear();
    tree.SetCheckState(c2, csCheckedNormal);
    EXPECT_EQ(tree.CheckState(p), csCheckedNormal);
    tree.SetCheckState(c1, csUncheckedNormal);
    EXPECT_EQ(tree.CheckState(p), csMixedNormal);
    tree.SetCheckState(c2, csUncheckedNormal);
    tree.SetCheckState(c3, csUncheckedNormal);
    EXPECT_EQ(tree.CheckState(p), csUncheckedNormal);

    // A click on a mixed box checks it.
    tree.SetCheckState(c1, csCheckedNormal);
    ASSERT_EQ(tree.CheckState(p), csMixedNormal);
    tree.SetCheckState(p, tree.DetermineNextCheckState(Tri, tree.CheckState(p)));
    EXPECT_EQ(states({ p, c1, c2, c3 }), S(4, csCheckedNormal));
}

TEST_F(CheckList, ParentsEndAsTheirChildrenAllowAndReportEveryChange)
{
    // Every box refuses: the parent stays unchecked with them.
    TGridNode *p = add(nullptr, Tri);
    TGridNode *c1 = add(p, Box), *c2 = add(p, Box);
    refusing = { c1, c2 };
    tree.SetCheckState(p, csCheckedNormal);
    EXPECT_EQ(states({ p, c1, c2 }), S(3, csUncheckedNormal));
    // A tri-state parent without boxes below takes the state itself.
    TGridNode *q = add(nullptr, Tri);
    add(q, TCheckType::ctNone);
    tree.SetCheckState(q, csCheckedNormal);
    EXPECT_EQ(tree.CheckState(q), csCheckedNormal);

    // Two levels up, and a parent that refuses to follow: the child's own
    // change is still reported, the levels above stay.
    refusing.clear();
    TGridNode *g = add(nullptr, Tri);
    TGridNode *m = add(g, Tri);
    TGridNode *leaf = add(m, Box);
    add(g, Box);
    reset();
    tree.SetCheckState(leaf, csCheckedNormal);
    EXPECT_EQ(states({ leaf, m, g }), (S { csCheckedNormal, csCheckedNormal, csMixedNormal }));
    EXPECT_EQ(checked, (std::vector<TGridNode *> { g, m, leaf }));
    refusing = { m };
    reset();
    tree.SetCheckState(leaf, csUncheckedNormal);
    EXPECT_EQ(states({ leaf, m, g }), (S { csUncheckedNormal, csCheckedNormal, csMixedNormal }));
    EXPECT_EQ(checked, (std::vector<TGridNode *> { leaf }));

    // A new box below a checked tri-state parent joins it checked.
    refusing.clear();
    tree.SetCheckState(c1, csCheckedNormal);
    tree.SetCheckState(c2, csCheckedNormal);
    ASSERT_EQ(tree.CheckState(p), csCheckedNormal);
    EXPECT_EQ(tree.CheckState(add(p, Box)), csCheckedNormal);
    EXPECT_EQ(tree.CheckState(p), csCheckedNormal);
}

TEST_F(CheckList, RadioButtonsReadOnlyTreesAndDisabledNodes)
{
    TGridNode *r1 = add(nullptr, Radio), *r2 = add(nullptr, Radio);
    TGridNode *box = add(nullptr, Box);
    tree.SetCheckState(box, csCheckedNormal);
    tree.SetCheckState(r1, csCheckedNormal);
    reset();
    tree.SetCheckState(r2, tree.DetermineNextCheckState(Radio, csUncheckedNormal));
    EXPECT_EQ(states({ r1, r2, box }), (S { csUncheckedNormal, csCheckedNormal, csCheckedNormal }));
    EXPECT_EQ(asked, (std::vector<TGridNode *> { r2 })); // the sibling is not asked

    TGridNode *d = tree.AddChild(nullptr);
    disabled = { d };
    tree.ReinitNode(d, false);
    tree.SetCheckType(d, Box);
    reset();
    tree.SetCheckState(d, csCheckedNormal);
    EXPECT_FALSE(tree.BeginCheckPending(d, false));
    EXPECT_EQ(tree.CheckState(d), csUncheckedNormal);

    tree.SetMiscOptions(tree.MiscOptions() + TGTMiscOptions { toReadOnly });
    tree.SetCheckState(r1, csCheckedNormal);
    tree.SetCheckType(box, Tri);
    EXPECT_FALSE(tree.BeginCheckPending(box, false));
    EXPECT_EQ(states({ r1, r2, box }), (S { csUncheckedNormal, csCheckedNormal, csCheckedNormal }));
    EXPECT_EQ(tree.CheckType(box), Box);
    EXPECT_TRUE(asked.empty());
}

TEST_F(CheckList, APressShowsThePressedTwinUntilItsRelease)
{
    TGridNode *p = add(nullptr, Tri);
    TGridNode *c = add(p, Box);
    std::vector<std::pair<TGridTreeStates, TGridTreeStates>> stateChanges;
    tree.OnStateChange = [&](TBaseGridTree &, TGridTreeStates enter, TGridTreeStates leave) {
        stateChanges.push_back({ enter, leave });
    };
    ASSERT_TRUE(tree.BeginCheckPending(c, false));
    EXPECT_EQ(tree.CheckState(c), csUncheckedPressed);
    EXPECT_EQ(tree.CheckNode(), c);
    EXPECT_FALSE(tree.BeginCheckPending(p, true)); // one press at a time
    tree.EndCheckPending(false); // released elsewhere
    EXPECT_EQ(tree.CheckState(c), csUncheckedNormal);
    EXPECT_TRUE(checked.empty());

    // Space on the parent, released on it: checked with its child; while the
    // change runs the propagation count says so.
    std::vector<uint32_t> depth;
    tree.OnChecked = [&](TBaseGridTree &t, TGridNode *) {
        depth.push_back(t.CheckPropagationCount() * 10 + t.TreeStates().contains(tsCheckPropagation));
    };
    stateChanges.clear();
    ASSERT_TRUE(tree.BeginCheckPending(p, true));
    EXPECT_TRUE(tree.TreeStates().contains(tsKeyCheckPending));
    EXPECT_EQ(tree.PendingCheckState(), csCheckedNormal);
    tree.EndCheckPending(true);
    EXPECT_EQ(states({ p, c }), S(2, csCheckedNormal));
    EXPECT_EQ(depth, (std::vector<uint32_t> { 11, 0 })); // the child inside the parent's change
    EXPECT_EQ(tree.CheckNode(), nullptr);
    EXPECT_EQ(stateChanges.size(), 4u); // pending on and off, propagation on and off
    EXPECT_FALSE(tree.TreeStates().contains(tsCheckPropagation));

    // The node goes while it is held: the release touches nothing.
    ASSERT_TRUE(tree.BeginCheckPending(c, false));
    tree.DeleteNode(c);
    tree.EndCheckPending(true);
    EXPECT_FALSE(tree.TreeStates().contains(tsMouseCheckPending));
    EXPECT_EQ(TBaseGridTree::PressedTwin(csMixedNormal), csMixedPressed);
}

TEST(CheckStates, HeaderBoxesTakeTheirNextStateThroughTheView)
{
    struct View : TGridTreeHooks {
        TCheckState state = csCheckedNormal;
        bool ColumnCheckBox(int column, TCheckType &type, TCheckState &s) const override
        {
            type = Box;
            s = state;
            return column == 1;
        }
        void SetColumnCheckState(int, TCheckState s) override { state = s; }
    } view;
    TBaseGridTree tree;
    tree.AttachView(view);
    tree.UpdateColumnCheckState(0);
    EXPECT_EQ(view.state, csCheckedNormal);
    tree.UpdateColumnCheckState(1);
    EXPECT_EQ(view.state, csUncheckedNormal);
    tree.UpdateColumnCheckState(1);
    EXPECT_EQ(view.state, csCheckedNormal);
}

namespace {

// The plain model: states by node, worked out recursively from the rules.
struct CheckModel {
    TBaseGridTree &tree;
    const std::set<TGridNode *> &refusing, &disabled;
    std::map<TGridNode *, TCheckState> state;

    static bool box(TGridNode *n) { return n->CheckType() == Tri || n->CheckType() == Box; }
    bool blocked(TGridNode *n) const { return refusing.count(n) || disabled.count(n); }
    // The state a tri-state node takes from its boxes, or none without boxes.
    bool fromChildren(TGridNode *n, TCheckState &result)
    {
        int boxes = 0, on = 0, mixed = 0;
        for (TGridNode *c = n->FirstChild(); c; c = c->NextSibling())
            if (box(c)) {
                ++boxes;
                on += state[c] == csCheckedNormal;
                mixed += state[c] == csMixedNormal;
            }
        if (boxes == 0)
            return false;
        result = mixed || (on && on < boxes) ? csMixedNormal : on ? csCheckedNormal : csUncheckedNormal;
        return true;
    }
    void push(TGridNode *n, TCheckState v)
    {
        if (state[n] == v || blocked(n))
            return;
        TCheckState result = v;
        if (n->CheckType() == Tri && n->FirstChild()) {
            for (TGridNode *c = n->FirstChild(); c; c = c->NextSibling())
                if (box(c))
                    push(c, v);
            fromChildren(n, result);
        }
        state[n] = result;
    }
    void click(TGridNode *n, TCheckState v)
    {
        if (state[n] == v || blocked(n))
            return;
        push(n, v);
        for (TGridNode *p = n->Parent(); !p->IsRoot() && p->CheckType() == Tri && !disabled.count(p);
             p = p->Parent()) {
            TCheckState next = state[p];
            if (!fromChildren(p, next) || next == state[p] || refusing.count(p))
                break;
            state[p] = next;
        }
    }
};

} // namespace

TEST_F(CheckList, RandomClicksAgreeWithThePlainModel)
{
    std::mt19937 rng(7);
    auto pick = [&](int n) { return int(rng() % unsigned(n)); };
    std::vector<TGridNode *> nodes;
    std::function<void(TGridNode *, int)> grow = [&](TGridNode *parent, int depth) {
        for (int i = pick(depth == 0 ? 6 : 5) + 1; i > 0; --i) {
            TGridNode *n = tree.AddChild(parent);
            nodes.push_back(n);
            if (pick(100) < 5)
                disabled.insert(n);
            const bool inner = depth < 3 && pick(100) < 45;
            const int roll = pick(10);
            tree.ReinitNode(n, false);
            tree.SetCheckType(n,
                inner ? (roll < 8  ? Tri
                        : roll < 9 ? Box
                                   : TCheckType::ctNone)
                      : (roll < 7        ? Box
                              : roll < 8 ? Tri
                                         : TCheckType::ctNone));
            if (inner)
                grow(n, depth + 1);
        }
    };
    grow(nullptr, 0);
    CheckModel model { tree, refusing, disabled, {} };
    for (TGridNode *n : nodes)
        model.state[n] = tree.CheckState(n);

    for (int step = 0; step < 3000; ++step) {
        SCOPED_TRACE(step);
        refusing.clear();
        for (int i = pick(3); i > 0; --i)
            refusing.insert(nodes[pick(int(nodes.size()))]);
        TGridNode *n = nodes[pick(int(nodes.size()))];
        if (!CheckModel::box(n))
            continue;
        const TCheckState value = tree.DetermineNextCheckState(n->CheckType(), tree.CheckState(n));
        const auto before = model.state;
        model.click(n, value);
        reset();
        tree.SetCheckState(n, value);
        std::set<TGridNode *> reported(checked.begin(), checked.end());
        for (TGridNode *m : nodes) {
            ASSERT_EQ(tree.CheckState(m), model.state[m]) << m;
            // Every change is reported, and nothing else.
            ASSERT_EQ(reported.count(m) > 0, before.at(m) != model.state[m]) << m;
        }
        ASSERT_EQ(tree.CheckPropagationCount(), 0u);
    }
}
