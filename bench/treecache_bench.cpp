// The tree's position cache: scrolling a far row to the top and asking which row
// lies at a client point, beside Qt's item views doing the same on as many rows;
// building the cache beside a walk that sums the rows' heights; and what a
// change costs the window thread while no build runs, beside a rebuild.
#include "bench/BenchSupport.h"
#include "components/PositionCache.h"
#include "components/ValidationWorker.h"
#include "components/gui/GridTreeView.h"

#include <QApplication>
#include <QStandardItemModel>
#include <QTableView>
#include <QThread>
#include <QTreeView>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <memory>
#include <vector>

namespace {

constexpr int ClientPoint = 300;

// The row numbers scrolled to: spread over the whole list.
std::vector<int> FarRows(int count)
{
    std::vector<int> rows;
    for (int k = 1; k <= 64; ++k)
        rows.push_back(int((int64_t(k) * 7919 * 131) % count));
    return rows;
}

// Until the build is complete and the worker idle again.
void Settle(TGridTreeView &view)
{
    while (!view.PositionCache()->UseCache() || TWorkerThread::Instance()->CurrentTree())
        QThread::yieldCurrentThread();
    QApplication::processEvents();
}

std::unique_ptr<TGridTreeView> ShownTree(int rows)
{
    auto view = std::make_unique<TGridTreeView>();
    view->resize(400, 640);
    view->show();
    view->Tree()->SetRootNodeCount(uint32_t(rows));
    Settle(*view);
    return view;
}

void TopNodeThenGetNodeAt(benchmark::State &state, int count)
{
    auto view = ShownTree(count);
    std::vector<TGridNode *> nodes;
    const std::vector<int> rows = FarRows(count);
    for (TGridNode *n = view->Tree()->GetFirst(); n; n = n->NextSibling())
        if (std::find(rows.begin(), rows.end(), int(n->Index())) != rows.end())
            nodes.push_back(n);
    std::size_t i = 0;
    for (auto _ : state) {
        view->SetTopNode(nodes[i++ % nodes.size()]);
        benchmark::DoNotOptimize(view->GetNodeAt(0, ClientPoint));
    }
}

void Tree_TopNodeThenGetNodeAt_1M(benchmark::State &state)
{
    TopNodeThenGetNodeAt(state, 1000000);
}

void Tree_TopNodeThenGetNodeAt_10k(benchmark::State &state)
{
    TopNodeThenGetNodeAt(state, 10000);
}

QStandardItemModel &Model()
{
    static QStandardItemModel *model = [] {
        auto *m = new QStandardItemModel(1000000, 1);
        for (int row = 0; row < m->rowCount(); ++row)
            m->setItem(row, 0, new QStandardItem(QString::number(row)));
        return m;
    }();
    return *model;
}

template <typename View> void ItemView(benchmark::State &state, View &view)
{
    view.setModel(&Model());
    view.resize(400, 640);
    view.show();
    QApplication::processEvents();
    const std::vector<int> rows = FarRows(Model().rowCount());
    std::size_t i = 0;
    for (auto _ : state) {
        view.scrollTo(Model().index(rows[i++ % rows.size()], 0), QAbstractItemView::PositionAtTop);
        benchmark::DoNotOptimize(view.indexAt(QPoint(5, ClientPoint)));
    }
}

void QTreeView_ScrollToIndexAt(benchmark::State &state)
{
    QTreeView view;
    view.setUniformRowHeights(false);
    ItemView(state, view);
}

void QTableView_ScrollToIndexAt(benchmark::State &state)
{
    QTableView view;
    ItemView(state, view);
}

// A store with a cache that no worker builds: the build runs here.
struct BuildRig {
    explicit BuildRig(int rows)
    {
        tree.SetRootNodeCount(uint32_t(rows));
        for (TGridNode *n = tree.GetFirst(); n; n = n->NextSibling())
            tree.SetNodeHeight(n, 16 + n->Index() % 5);
    }
    TBaseGridTree tree;
    TPositionCache cache { tree };
};

BuildRig &Rig()
{
    static BuildRig rig(1000000);
    return rig;
}

void Cache_Build(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(Rig().cache.DoValidateCache());
}

void Floor_WalkHeights(benchmark::State &state)
{
    TBaseGridTree &tree = Rig().tree;
    for (auto _ : state) {
        uint64_t sum = 0;
        for (TGridNode *n = tree.GetFirstVisibleNoInit(); n; n = tree.GetNextVisibleNoInit(n))
            sum += n->NodeHeight();
        benchmark::DoNotOptimize(sum);
    }
}

void Floor_SiblingHeights(benchmark::State &state)
{
    TBaseGridTree &tree = Rig().tree;
    for (auto _ : state) {
        uint64_t sum = 0;
        for (TGridNode *n = tree.RootNode()->FirstChild(); n; n = n->NextSibling())
            sum += n->NodeHeight();
        benchmark::DoNotOptimize(sum);
    }
}

// A height change and a row hidden or shown, each on a tree whose cache is
// complete; the rebuild they queue runs on the worker and is waited for
// outside the measured time. The figure takes the median change: on a shared
// machine a few changes are preempted by other work.
void Change_WhileNoBuildRuns(benchmark::State &state)
{
    auto view = ShownTree(1000000);
    TBaseGridTree &tree = *view->Tree();
    TGridNode *node = tree.GetFirst();
    for (int i = 0; i < 500000; ++i)
        node = node->NextSibling();
    std::vector<double> seconds;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (seconds.size() % 2 == 0)
            tree.SetNodeHeight(node, node->NodeHeight() == 18 ? 19 : 18);
        else
            tree.SetVisible(node->NextSibling(), !node->NextSibling()->Has(vsVisible));
        const auto end = std::chrono::steady_clock::now();
        seconds.push_back(std::chrono::duration<double>(end - start).count());
        state.SetIterationTime(seconds.back());
        Settle(*view);
    }
    std::nth_element(seconds.begin(), seconds.begin() + std::ptrdiff_t(seconds.size() / 2), seconds.end());
    state.counters["median_seconds"] = seconds[seconds.size() / 2];
}

BENCHMARK(Tree_TopNodeThenGetNodeAt_10k)->Unit(benchmark::kMicrosecond);
BENCHMARK(Tree_TopNodeThenGetNodeAt_1M)->Unit(benchmark::kMicrosecond);
BENCHMARK(QTreeView_ScrollToIndexAt)->Unit(benchmark::kMicrosecond);
BENCHMARK(QTableView_ScrollToIndexAt)->Unit(benchmark::kMicrosecond);
BENCHMARK(Cache_Build)->Unit(benchmark::kMillisecond);
BENCHMARK(Floor_WalkHeights)->Unit(benchmark::kMillisecond);
BENCHMARK(Floor_SiblingHeights)->Unit(benchmark::kMillisecond);
BENCHMARK(Change_WhileNoBuildRuns)->UseManualTime()->Iterations(400)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    AddThreadReference();
    const std::string tree = "Tree_TopNodeThenGetNodeAt_1M";
    std::vector<bench::Figure> figures {
        { "treecache.qtreeview/tree", "QTreeView_ScrollToIndexAt", tree, ">=", 10 },
        { "treecache.tree/qtableview", tree, "QTableView_ScrollToIndexAt", "<=", 1 },
        { "treecache.tree_1m/tree_10k", tree, "Tree_TopNodeThenGetNodeAt_10k", "<=", 1.5 },
        { "treecache.build/walk", "Cache_Build", "Floor_WalkHeights", "<=", 1.5 },
        { "treecache.build/sibling_walk", "Cache_Build", "Floor_SiblingHeights", "", 0 },
        { "treecache.change/build", "Change_WhileNoBuildRuns/median_seconds", "Cache_Build", "<=", 0.01 },
    };
    const int result
        = bench::runWithFigures(argc, argv, std::move(figures), [](bench::FigureReporter &) { Rig(); });
    ReleaseThreadReference(nullptr);
    return result;
}
