// Stable sorting of siblings and of the tree, and automatic sorting.
#include "components/BaseGridTree.h"
#include "components/StableSort.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace {

struct Keyed {
    int key, original;
};

// A flat tree of keyed rows compared by key only.
class SortTree : public ::testing::Test {
protected:
    void SetUp() override
    {
        tree.SetNodeDataType<Keyed>();
        tree.OnCompareNodes = [this](TBaseGridTree &t, TGridNode *a, TGridNode *b, int column) {
            ++compares;
            lastColumn = column;
            return t.GetNodeData<Keyed>(a)->key - t.GetNodeData<Keyed>(b)->key;
        };
    }
    void fill(const std::vector<int> &keys, TGridNode *parent = nullptr)
    {
        for (size_t i = 0; i < keys.size(); ++i)
            *tree.GetNodeData<Keyed>(tree.AddChild(parent)) = { keys[i], int(i) };
    }
    std::vector<std::pair<int, int>> order(TGridNode *parent = nullptr)
    {
        std::vector<std::pair<int, int>> result;
        for (TGridNode *n = (parent ? parent : tree.RootNode())->FirstChild(); n; n = n->NextSibling()) {
            EXPECT_EQ(n->Index(), result.size());
            result.emplace_back(tree.GetNodeData<Keyed>(n)->key, tree.GetNodeData<Keyed>(n)->original);
        }
        return result;
    }

    TBaseGridTree tree;
    long compares = 0;
    int lastColumn = -9;
};

} // namespace

TEST_F(SortTree, TiesKeepTheirOrderInBothDirections)
{
    // Small, and big enough to be merged in several cache blocks with a short last one.
    for (size_t count : { size_t(1000), size_t(2 * 8192 + 77) }) {
        SCOPED_TRACE(count);
        tree.Clear();
        std::mt19937 rng(7);
        std::vector<int> keys(count);
        for (int &k : keys)
            k = int(rng() % 5);
        fill(keys);
        for (auto direction : { sdAscending, sdDescending, sdAscending }) {
            std::vector<std::pair<int, int>> expected = order();
            std::stable_sort(expected.begin(), expected.end(), [&](auto &a, auto &b) {
                return direction == sdAscending ? a.first < b.first : a.first > b.first;
            });
            tree.Sort(nullptr, 3, direction);
            EXPECT_EQ(order(), expected);
            EXPECT_EQ(lastColumn, 3);
        }
        EXPECT_EQ(tree.RootNode()->LastChild()->Index(), count - 1);
        EXPECT_EQ(tree.RootNode()->FirstChild()->PrevSibling(), nullptr);
    }
}

TEST_F(SortTree, SortTreeSortsEveryLevel)
{
    fill({ 3, 1, 2 });
    TGridNode *middle = tree.RootNode()->FirstChild()->NextSibling();
    fill({ 9, 7, 8 }, middle);
    tree.SortTree(0, sdDescending);
    EXPECT_EQ(order(), (std::vector<std::pair<int, int>> { { 3, 0 }, { 2, 2 }, { 1, 1 } }));
    EXPECT_EQ(order(middle), (std::vector<std::pair<int, int>> { { 9, 0 }, { 8, 2 }, { 7, 1 } }));
    // Below -1 nothing is sorted.
    compares = 0;
    tree.SortTree(-2, sdAscending);
    EXPECT_EQ(compares, 0);
}

TEST_F(SortTree, TheViewCanRefuseAndBoundsTheColumn)
{
    struct View : TGridTreeHooks {
        bool EndEdit() override { return false; }
        int ColumnCount() const override { return 5; }
    } view;
    fill({ 2, 1 });
    tree.AttachView(view);
    tree.Sort(nullptr, 0, sdAscending); // a refused end of edit cancels the sort
    EXPECT_EQ(order().front().first, 2);
    tree.SetSortColumn(99);
    EXPECT_EQ(tree.SortColumn(), 4);
    tree.SetSortColumn(-5);
    EXPECT_EQ(tree.SortColumn(), -1);
    tree.DetachView();
}

TEST_F(SortTree, AutoSortWaitsForTheBracketAndSortsOnce)
{
    tree.SetAutoOptions(tree.AutoOptions() + TGTAutoOptions { toAutoSort });
    fill({ 5, 4 });
    EXPECT_EQ(order().front().first, 4); // sorted after each add outside a bracket
    tree.BeginUpdate();
    compares = 0;
    fill({ 3, 9, 1 });
    EXPECT_EQ(compares, 0);
    tree.EndUpdate();
    EXPECT_EQ(order().front().first, 1);
    compares = 0;
    tree.SetSortDirection(sdDescending);
    EXPECT_GT(compares, 0);
    EXPECT_EQ(order().front().first, 9);
}

TEST_F(SortTree, SortsAMillionNodes)
{
    const int count = 1000000;
    std::mt19937 rng(11);
    tree.SetRootNodeCount(count);
    int i = 0;
    for (TGridNode *n = tree.GetFirstNoInit(); n; n = n->NextSibling(), ++i)
        *tree.GetNodeData<Keyed>(n) = { int(rng() % 100000), i };
    tree.Sort(nullptr, 0, sdDescending, false);
    int previousKey = INT32_MAX, previousOriginal = -1;
    uint32_t index = 0;
    for (TGridNode *n = tree.GetFirstNoInit(); n; n = n->NextSibling(), ++index) {
        const Keyed *k = tree.GetNodeData<Keyed>(n);
        ASSERT_TRUE(k->key < previousKey || (k->key == previousKey && k->original > previousOriginal));
        ASSERT_EQ(n->Index(), index);
        previousKey = k->key;
        previousOriginal = k->original;
    }
    EXPECT_EQ(index, uint32_t(count));
    EXPECT_LT(compares, 21L * count);
}

TEST(StableSort, OrdersAsTheStandardStableSortAndTellsWhetherAnythingMoved)
{
    // Sizes around the insertion runs and the cache blocks, few distinct keys.
    std::mt19937 rng(5);
    for (size_t count : { size_t(0), size_t(1), size_t(8), size_t(9), size_t(300), size_t(2 * 8192 + 5) }) {
        SCOPED_TRACE(count);
        std::vector<std::pair<int, int>> items(count);
        for (size_t i = 0; i < count; ++i)
            items[i] = { int(rng() % 7), int(i) };
        std::vector<std::pair<int, int>> expected = items;
        auto before = [](const auto &a, const auto &b) { return a.first < b.first; };
        std::stable_sort(expected.begin(), expected.end(), before);
        auto secondFirst = [&](const auto &a, const auto &b) { return before(b, a); };
        const bool moved = GridTreeSort::StableSort(items, secondFirst, [](const auto &) {});
        EXPECT_EQ(items, expected);
        EXPECT_EQ(moved, count > 1);
        EXPECT_FALSE(GridTreeSort::StableSort(items, secondFirst, [](const auto &) {}));
    }
}

TEST(StableSort, InPartsOrdersAsOnOneThreadForAnyNumberOfParts)
{
    // Piece edges fall between equal keys: the earlier piece's items stay first.
    std::mt19937 rng(11);
    for (size_t count :
        { size_t(5), GridTreeSort::PartedSortLeast * 2 + 3, GridTreeSort::PartedSortLeast * 5 }) {
        for (int distinct : { 3, 1000000 }) {
            std::vector<std::pair<int, int>> items(count);
            for (size_t i = 0; i < count; ++i)
                items[i] = { int(rng() % unsigned(distinct)), int(i) };
            std::vector<std::pair<int, int>> expected = items;
            auto before = [](const auto &a, const auto &b) { return a.first < b.first; };
            std::stable_sort(expected.begin(), expected.end(), before);
            auto secondFirst = [&](const auto &a, const auto &b) { return before(b, a); };
            for (size_t parts : { size_t(1), size_t(2), size_t(3), size_t(4), size_t(64) }) {
                SCOPED_TRACE(
                    testing::Message() << count << " items, " << distinct << " keys, " << parts << " parts");
                std::vector<std::pair<int, int>> sorted = items;
                EXPECT_EQ(GridTreeSort::StableSortInParts(sorted, secondFirst, parts), expected != items);
                EXPECT_EQ(sorted, expected);
                EXPECT_FALSE(GridTreeSort::StableSortInParts(sorted, secondFirst, parts));
            }
        }
    }
}

TEST_F(SortTree, SortTreeByRelinksTheTopLevelInTheOrderGivenAndSortsLevelsBelow)
{
    fill({ 3, 1, 2 });
    TGridNode *last = tree.RootNode()->LastChild();
    fill({ 9, 7, 8 }, last);
    std::vector<int> seen;
    auto byKey = [&](const std::vector<TGridNode *> &nodes) {
        seen.clear();
        for (TGridNode *n : nodes)
            seen.push_back(tree.GetNodeData<Keyed>(n)->key);
        return std::vector<uint32_t> { 1, 2, 0 };
    };
    tree.SortTreeBy(0, sdAscending, byKey);
    EXPECT_EQ(seen, (std::vector<int> { 3, 1, 2 }));
    EXPECT_EQ(order(), (std::vector<std::pair<int, int>> { { 1, 1 }, { 2, 2 }, { 3, 0 } }));
    EXPECT_EQ(order(last), (std::vector<std::pair<int, int>> { { 7, 1 }, { 8, 2 }, { 9, 0 } }));
    EXPECT_EQ(tree.RootNode()->FirstChild()->PrevSibling(), nullptr);
    EXPECT_EQ(tree.RootNode()->LastChild()->NextSibling(), nullptr);

    // Nothing, or not a place for every node, leaves the order as it is.
    for (std::vector<uint32_t> places : { std::vector<uint32_t> {}, std::vector<uint32_t> { 2, 1 } }) {
        tree.SortTreeBy(0, sdAscending, [&](const std::vector<TGridNode *> &) { return places; });
        EXPECT_EQ(order(), (std::vector<std::pair<int, int>> { { 1, 1 }, { 2, 2 }, { 3, 0 } }));
    }
}

// The same edits on two trees, one of which leaves out the bracket-end sorts
// its order stamp calls needless: after every step both hold the same order.
TEST(AutoSortStamp, LeavesOutOnlySortsThatWouldKeepTheOrder)
{
    struct Side {
        TBaseGridTree tree;
        long compares = 0;
        std::uint64_t stamp = 0;
        explicit Side(bool stamped)
        {
            tree.SetNodeDataType<Keyed>();
            tree.SetAutoOptions(tree.AutoOptions() + TGTAutoOptions { toAutoSort });
            tree.OnCompareNodes = [this](TBaseGridTree &t, TGridNode *a, TGridNode *b, int column) {
                ++compares;
                const int x = t.GetNodeData<Keyed>(a)->key, y = t.GetNodeData<Keyed>(b)->key;
                return column == 1 ? x % 3 - y % 3 : x - y;
            };
            if (stamped)
                tree.OnOrderStamp = [this](TBaseGridTree &) { return stamp; };
        }
        TGridNode *at(uint32_t index)
        {
            TGridNode *n = tree.RootNode()->FirstChild();
            while (n && index--)
                n = n->NextSibling();
            return n;
        }
        std::vector<int> ids()
        {
            std::vector<int> result;
            for (TGridNode *n = tree.RootNode()->FirstChild(); n; n = n->NextSibling())
                result.push_back(tree.GetNodeData<Keyed>(n)->original);
            return result;
        }
    };
    Side plain(false), stamped(true);
    std::mt19937 rng(3);
    int nextId = 0;
    // Brackets that change nothing and that only the plain tree sorted at.
    int leftOut = 0;
    for (int step = 0; step < 3000; ++step) {
        const int op = int(rng() % 8);
        const bool bracket = rng() % 2;
        const uint32_t count = plain.tree.RootNode()->ChildCount();
        const uint32_t index = count ? uint32_t(rng() % count) : 0;
        const int key = int(rng() % 40);
        const int id = nextId++;
        const long plainBefore = plain.compares, stampedBefore = stamped.compares;
        for (Side *side : { &plain, &stamped }) {
            TBaseGridTree &t = side->tree;
            if (bracket)
                t.BeginUpdate();
            switch (op) {
            case 0: // a key changes
            case 1:
                if (TGridNode *n = side->at(index)) {
                    t.GetNodeData<Keyed>(n)->key = key;
                    ++side->stamp;
                }
                break;
            case 2:
                *t.GetNodeData<Keyed>(t.AddChild(nullptr)) = { key, id };
                break;
            case 3:
                if (TGridNode *n = side->at(index); n && count > 20)
                    t.DeleteNode(n);
                break;
            case 4:
                t.SetSortColumn(key % 2);
                break;
            case 5:
                t.SetSortDirection(key % 2 ? sdDescending : sdAscending);
                break;
            case 6: // sorted by the other column, outside the automatic sort
                t.Sort(nullptr, 1 - std::max(0, t.SortColumn()), t.SortDirection());
                break;
            default: // a bracket that changes nothing the order reads
                t.BeginUpdate();
                t.EndUpdate();
                break;
            }
            if (bracket)
                t.EndUpdate();
        }
        ASSERT_EQ(stamped.ids(), plain.ids()) << "step " << step << " op " << op;
        if (op == 7 && stamped.compares == stampedBefore && plain.compares > plainBefore)
            ++leftOut;
    }
    EXPECT_GT(plain.tree.RootNode()->ChildCount(), 20u);
    // The plain tree compares every node at every bracket end; the stamped one
    // only after a change left unsorted (a key changed outside a bracket).
    EXPECT_LT(stamped.compares, plain.compares);
    EXPECT_GT(leftOut, 100);
}

// The kept list of top-level nodes is the chain as it is now after each kind
// of structure change, sorts included.
TEST_F(SortTree, TheListOrderFollowsEveryChangeOfTheTopLevel)
{
    const auto chain = [this] {
        std::vector<TGridNode *> nodes;
        for (TGridNode *n = tree.RootNode()->FirstChild(); n; n = n->NextSibling())
            nodes.push_back(n);
        return nodes;
    };
    fill({ 5, 3, 9, 1, 7 });
    ASSERT_EQ(tree.ListOrder(), chain());
    tree.Sort(nullptr, 0, sdAscending);
    ASSERT_EQ(tree.ListOrder(), chain());
    EXPECT_EQ(tree.GetNodeData<Keyed>(tree.ListOrder().front())->key, 1);
    tree.SortTreeBy(0, sdAscending, [](const std::vector<TGridNode *> &) {
        return std::vector<uint32_t> { 4, 3, 2, 1, 0 };
    });
    ASSERT_EQ(tree.ListOrder(), chain());
    EXPECT_EQ(tree.GetNodeData<Keyed>(tree.ListOrder().front())->key, 9);
    tree.DeleteNode(tree.ListOrder()[2]);
    ASSERT_EQ(tree.ListOrder(), chain());
    fill({ 4 });
    ASSERT_EQ(tree.ListOrder(), chain());
    tree.MoveTo(tree.ListOrder().back(), tree.ListOrder().front(), amInsertBefore, false);
    ASSERT_EQ(tree.ListOrder(), chain());
    EXPECT_EQ(tree.GetNodeData<Keyed>(tree.ListOrder().front())->key, 4);
    // Moved below another node, it leaves the top level.
    tree.MoveTo(tree.ListOrder().front(), tree.ListOrder().back(), amAddChildLast, false);
    ASSERT_EQ(tree.ListOrder(), chain());
    EXPECT_EQ(tree.ListOrder().size(), 4u);
    tree.Clear();
    EXPECT_TRUE(tree.ListOrder().empty());
}
