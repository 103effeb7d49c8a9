// The position cache against a plain walk of the node links while the worker
// builds in the background, its threshold edge, and the worker's lifetime.
#include "components/PositionCache.h"

#include "components/ValidationWorker.h"

#include <QCoreApplication>
#include <algorithm>
#include <gtest/gtest.h>
#include <random>
#include <thread>
#include <vector>

namespace {

// What the view does with the store's cache hooks, without a window.
class TCacheHooks : public TGridTreeHooks {
public:
    TPositionCache *Cache = nullptr;
    // What the tree looked like when it stopped the worker: nothing had changed yet.
    uint32_t HeightAtStop = 0;
    int Stops = 0;
    TBaseGridTree *Tree = nullptr;

    void InterruptValidation() override
    {
        ++Stops;
        HeightAtStop = Tree->RootNode()->TotalHeight();
        Cache->InterruptValidation();
    }
    void PauseValidation() override { Cache->PauseValidation(); }
    void InvalidateCache() override { Cache->InvalidateCache(); }
    void ValidateCache() override { Cache->ValidateCache(); }
};

struct Row {
    TGridNode *Node;
    uint32_t Top;
};

class CacheFixture : public ::testing::Test {
protected:
    CacheFixture()
    {
        AddThreadReference();
        hooks.Tree = &tree;
        hooks.Cache = &cache;
        tree.AttachView(hooks);
    }
    ~CacheFixture() override
    {
        ReleaseThreadReference(&cache);
        tree.DetachView();
    }

    // Waits until the worker has left the cache and the tree's states caught up.
    void Settle()
    {
        while (cache.Pending() || TWorkerThread::Instance()->CurrentTree() == &cache)
            std::this_thread::yield();
        QCoreApplication::processEvents();
    }

    // The rows as the node links and states say, independent of the store's walks.
    void Collect(TGridNode *Parent, std::vector<TGridNode *> &Out, bool All = false) const
    {
        const bool above = tree.PaintOptions().contains(toChildrenAbove);
        for (TGridNode *c = Parent->FirstChild(); c; c = c->NextSibling()) {
            if (!All && !c->Has(vsVisible))
                continue;
            if (!above)
                Out.push_back(c);
            if (All || c->Has(vsExpanded))
                Collect(c, Out, All);
            if (above)
                Out.push_back(c);
        }
    }
    std::vector<Row> Rows() const
    {
        std::vector<TGridNode *> nodes;
        Collect(tree.RootNode(), nodes);
        std::vector<Row> rows;
        uint32_t top = 0;
        for (TGridNode *n : nodes) {
            rows.push_back({ n, top });
            top += n->NodeHeight();
        }
        rows.push_back({ nullptr, top });
        return rows;
    }

    TBaseGridTree tree;
    TCacheHooks hooks;
    TPositionCache cache { tree };
};

} // namespace

TEST_F(CacheFixture, OnlyTreesOfMoreThan2000VisibleNodesUseTheCache)
{
    tree.SetRootNodeCount(2000);
    Settle();
    EXPECT_FALSE(cache.UseCache());
    EXPECT_FALSE(tree.TreeStates().contains(tsUseCache));

    tree.AddChild(nullptr);
    Settle();
    ASSERT_TRUE(cache.UseCache());
    EXPECT_TRUE(tree.TreeStates().contains(tsUseCache));
    EXPECT_FALSE(tree.TreeStates().contains(tsValidationNeeded));
    EXPECT_EQ(cache.CalculateCacheEntryCount(), 2);
    // Anchors at the first node and the 2001st, then the end of the last row.
    const std::vector<TCacheEntry> &e = cache.Entries();
    ASSERT_EQ(e.size(), 3u);
    TGridNode *first = tree.GetFirstNoInit();
    EXPECT_EQ(e[0].Node, first);
    EXPECT_EQ(e[0].AbsoluteTop, 0u);
    EXPECT_EQ(e[1].Node, tree.GetLastNoInit());
    EXPECT_EQ(e[1].AbsoluteTop, 2000u * 18);
    EXPECT_EQ(e[2].Node, nullptr);
    EXPECT_EQ(e[2].AbsoluteTop, 2001u * 18);

    // Below the last row there is no node, and the top passed in stays.
    uint32_t top = 77;
    EXPECT_EQ(cache.GetNodeAt(2001 * 18, top), nullptr);
    EXPECT_EQ(top, 77u);
    EXPECT_EQ(cache.GetNodeAt(2001 * 18 - 1, top), tree.GetLastNoInit());
    EXPECT_EQ(top, 2000u * 18);
}

TEST_F(CacheFixture, ChangesStopTheWorkerBeforeTheyTouchTheNodes)
{
    tree.SetRootNodeCount(3000);
    for (TGridNode *n = tree.GetFirst(); n; n = n->NextSibling())
        if (n->Index() % 100 == 0)
            tree.SetChildCount(n, 3);
    Settle();
    TGridNode *parent = tree.GetFirst();
    const std::function<void()> changes[] = {
        [&] { tree.ToggleNode(parent); },
        [&] { tree.SetNodeHeight(parent->NextSibling(), 40); },
        [&] { tree.DeleteNode(parent->NextSibling()->NextSibling()); },
        [&] { tree.ToggleNode(parent); },
        [&] { tree.SetDefaultNodeHeight(25); },
        [&] { tree.SetVisible(parent->NextSibling(), false); },
    };
    for (const auto &change : changes) {
        // Queue a build, then change at once: it may be running right now.
        tree.SetNodeHeight(tree.GetLastNoInit(), tree.GetLastNoInit()->NodeHeight() + 1);
        const uint32_t before = tree.RootNode()->TotalHeight();
        const int stops = hooks.Stops;
        change();
        EXPECT_GT(hooks.Stops, stops);
        EXPECT_EQ(hooks.HeightAtStop, before);
        Settle();
        EXPECT_TRUE(cache.UseCache());
    }
}

TEST_F(CacheFixture, RandomTreesAgreeWithAPlainWalkWhileTheWorkerBuilds)
{
    for (unsigned seed : { 1u, 2u, 3u }) {
        std::mt19937 rng(seed);
        const auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
        tree.Clear();
        tree.SetPaintOptions(tree.PaintOptions() - TGTPaintOptions { toChildrenAbove });
        if (seed == 3) {
            // A flat list, as the tables are: anchors are siblings.
            tree.SetRootNodeCount(6000);
        } else {
            tree.SetRootNodeCount(60);
            for (TGridNode *n = tree.GetFirst(); n; n = n->NextSibling()) {
                tree.SetChildCount(n, uint32_t(40 + pick(80)));
                if (pick(4) != 0)
                    tree.ToggleNode(n);
            }
        }
        std::vector<TGridNode *> all;
        const auto refresh = [&] {
            all.clear();
            Collect(tree.RootNode(), all, true);
        };
        refresh();
        const auto any = [&] { return all[std::size_t(pick(int(all.size())))]; };

        for (int step = 0; step < 250; ++step) {
            if (all.size() < 200) {
                tree.SetRootNodeCount(tree.RootNodeCount() + 100);
                refresh();
            }
            switch (pick(10)) {
            case 0:
                tree.AddChild(pick(3) ? any() : nullptr);
                break;
            case 1:
                tree.DeleteNode(any());
                break;
            case 2: {
                TGridNode *n = any();
                tree.SetVisible(n, !n->Has(vsVisible));
                break;
            }
            case 3:
                tree.ToggleNode(any());
                break;
            case 4:
            case 5:
                tree.SetNodeHeight(any(), uint32_t(1 + pick(40)));
                break;
            case 6: {
                TGridNode *source = any();
                TGridNode *target = any();
                if (target != source && !tree.HasAsParent(target, source))
                    tree.MoveTo(source, target, TGTAttachMode(1 + pick(4)), false);
                break;
            }
            case 7:
                tree.OnCompareNodes
                    = [&](TBaseGridTree &, TGridNode *, TGridNode *, int) { return pick(3) - 1; };
                tree.Sort(pick(2) ? any() : nullptr, 0, TSortDirection(pick(2)));
                break;
            case 8:
                if (pick(8) == 0) {
                    TGTPaintOptions options = tree.PaintOptions();
                    options.set(toChildrenAbove, !options.contains(toChildrenAbove));
                    tree.SetPaintOptions(options);
                }
                break;
            default:
                tree.SetChildCount(any(), uint32_t(pick(4)));
                break;
            }
            refresh();
            // Mostly read while the worker may still be building.
            if (pick(3) == 0)
                Settle();

            const std::vector<Row> rows = Rows();
            const uint32_t total = rows.back().Top;
            const bool complete = cache.UseCache();
            if (complete) {
                const std::vector<TCacheEntry> &e = cache.Entries();
                ASSERT_EQ(e.size(), (rows.size() - 1 + CacheThreshold - 1) / CacheThreshold + 1);
                for (std::size_t k = 0; k + 1 < e.size(); ++k) {
                    EXPECT_EQ(e[k].Node, rows[k * CacheThreshold].Node);
                    EXPECT_EQ(e[k].AbsoluteTop, rows[k * CacheThreshold].Top);
                }
                EXPECT_EQ(e.back().Node, nullptr);
                EXPECT_EQ(e.back().AbsoluteTop, total);
            }
            // Every pixel row of some rows, and the first and last.
            for (int sample = 0; sample < 12 && rows.size() > 1; ++sample) {
                const std::size_t i = sample == 0 ? 0
                    : sample == 1                 ? rows.size() - 2
                                                  : std::size_t(pick(int(rows.size()) - 1));
                const Row &row = rows[i];
                uint32_t top = 0;
                ASSERT_TRUE(cache.NodeTop(row.Node, top));
                EXPECT_EQ(top, row.Top);
                for (uint32_t y = row.Top; y < rows[i + 1].Top; ++y) {
                    top = 0;
                    ASSERT_EQ(cache.GetNodeAt(y, top), row.Node) << "seed " << seed << " step " << step;
                    EXPECT_EQ(top, row.Top);
                }
            }
            uint32_t top = 5;
            EXPECT_EQ(cache.GetNodeAt(total, top), nullptr);
            EXPECT_EQ(top, 5u);

            // Display order of any two nodes, shown or not.
            for (int pair = 0; pair < 10; ++pair) {
                const std::size_t a = std::size_t(pick(int(all.size())));
                const std::size_t b = std::size_t(pick(int(all.size())));
                const int order = CompareNodePositions(tree, all[a], all[b], true);
                EXPECT_EQ(order < 0, a < b);
                EXPECT_EQ(order == 0, a == b);
            }
        }
    }
}

TEST(ValidationWorker, TheLastTreeGoingMidBuildStopsAndJoinsTheWorker)
{
    ASSERT_EQ(TWorkerThread::Instance(), nullptr);
    AddThreadReference();
    auto tree = std::make_unique<TBaseGridTree>();
    auto cache = std::make_unique<TPositionCache>(*tree);
    TCacheHooks hooks;
    hooks.Tree = tree.get();
    hooks.Cache = cache.get();
    tree->AttachView(hooks);
    tree->SetRootNodeCount(300000);
    // Wait until the build has started, then go away while it runs.
    while (!(cache->States() & csValidating) && !cache->UseCache())
        std::this_thread::yield();
    ReleaseThreadReference(cache.get());
    EXPECT_EQ(TWorkerThread::Instance(), nullptr);
    EXPECT_FALSE(cache->Pending());
    tree->DetachView();
    cache.reset();
    tree.reset();
    QCoreApplication::processEvents();
}
