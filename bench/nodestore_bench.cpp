// The tree-grid node store beside Qt's QStandardItemModel on the same work with
// 1,000,000 flat rows: create, walk, sort by a cached integer key, hide every
// second row, delete every row one by one. Prints the time ratio of each step
// and the heap bytes per row of both.
#include "bench/BenchSupport.h"
#include "components/BaseGridTree.h"

#include <QSortFilterProxyModel>
#include <QStandardItem>
#include <QStandardItemModel>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int Rows = 1000000;
constexpr int KeyRole = Qt::UserRole + 1;
constexpr int HiddenRole = Qt::UserRole + 2;

// The cached sort key each row carries as its caller data.
struct RowKey {
    int key;
};

std::vector<int> randomKeys(unsigned seed)
{
    std::mt19937 rng(seed);
    std::vector<int> keys(Rows);
    for (int &k : keys)
        k = int(rng() % 1000000);
    return keys;
}

const std::vector<int> &keys()
{
    static const std::vector<int> k = randomKeys(1);
    return k;
}

std::unique_ptr<TBaseGridTree> makeTree()
{
    auto tree = std::make_unique<TBaseGridTree>();
    tree->SetNodeDataType<RowKey>();
    tree->OnCompareNodes = [](TBaseGridTree &t, TGridNode *a, TGridNode *b, int) {
        const int ka = t.GetNodeData<RowKey>(a)->key, kb = t.GetNodeData<RowKey>(b)->key;
        return ka < kb ? -1 : ka > kb ? 1 : 0;
    };
    return tree;
}

void fillTree(TBaseGridTree &tree)
{
    for (int i = 0; i < Rows; ++i)
        tree.GetNodeData<RowKey>(tree.AddChild(nullptr))->key = keys()[i];
}

void fillModel(QStandardItemModel &model)
{
    for (int i = 0; i < Rows; ++i) {
        auto *item = new QStandardItem;
        item->setData(keys()[i], KeyRole);
        model.appendRow(item);
    }
}

// Rows flagged hidden drop out of the proxy, as hidden nodes drop out of the tree's walks.
class HiddenFilter : public QSortFilterProxyModel {
protected:
    bool filterAcceptsRow(int row, const QModelIndex &parent) const override
    {
        return !sourceModel()->index(row, 0, parent).data(HiddenRole).toBool();
    }
};

// ---- create ----------------------------------------------------------------------------------------

void Create_NodeStore(benchmark::State &state)
{
    for (auto _ : state) {
        auto tree = makeTree();
        fillTree(*tree);
        benchmark::DoNotOptimize(tree->RootNodeCount());
        state.PauseTiming();
        tree.reset();
        state.ResumeTiming();
    }
}

void Create_QtModel(benchmark::State &state)
{
    for (auto _ : state) {
        auto model = std::make_unique<QStandardItemModel>();
        fillModel(*model);
        benchmark::DoNotOptimize(model->rowCount());
        state.PauseTiming();
        model.reset();
        state.ResumeTiming();
    }
}

// ---- walk: visit every row and read its key -------------------------------------------------------------
// Qt reads through its items, its quickest way to the data (index() and data()
// through the model take about a third longer). The first round of ours also
// initialises every node, which creating them leaves for later.

void Walk_NodeStore(benchmark::State &state)
{
    auto tree = makeTree();
    fillTree(*tree);
    for (auto _ : state) {
        long long sum = 0;
        for (TGridNode *n = tree->GetFirst(); n; n = tree->GetNext(n))
            sum += tree->GetNodeData<RowKey>(n)->key;
        benchmark::DoNotOptimize(sum);
    }
}

void Walk_QtModel(benchmark::State &state)
{
    QStandardItemModel model;
    fillModel(model);
    for (auto _ : state) {
        long long sum = 0;
        const int rows = model.rowCount();
        for (int r = 0; r < rows; ++r)
            sum += model.item(r)->data(KeyRole).toInt();
        benchmark::DoNotOptimize(sum);
    }
}

// ---- sort by the cached key (fresh random keys for each round) ---------------------------------------
// Both sides are rebuilt between rounds. After a sort the Qt model finds an
// item's row by a linear search, so changing every key in place, or even
// destroying the sorted model, takes many minutes at this size: the sorted Qt
// models are therefore kept until the process ends.

std::vector<QStandardItemModel *> &sortedModels()
{
    static std::vector<QStandardItemModel *> models;
    return models;
}

void Sort_NodeStore(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto tree = makeTree();
        fillTree(*tree);
        state.ResumeTiming();
        tree->Sort(nullptr, 0, sdAscending);
        state.PauseTiming();
        tree.reset();
        state.ResumeTiming();
    }
}

void Sort_QtModel(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto model = std::make_unique<QStandardItemModel>();
        fillModel(*model);
        model->setSortRole(KeyRole);
        state.ResumeTiming();
        model->sort(0);
        state.PauseTiming();
        sortedModels().push_back(model.release());
        state.ResumeTiming();
    }
}

// ---- hide every second row ---------------------------------------------------------------------------

void Hide_NodeStore(benchmark::State &state)
{
    auto tree = makeTree();
    fillTree(*tree);
    for (auto _ : state) {
        bool odd = false;
        for (TGridNode *n = tree->GetFirst(); n; n = tree->GetNext(n), odd = !odd)
            if (odd)
                tree->SetVisible(n, false);
        benchmark::DoNotOptimize(tree->VisibleCount());
        state.PauseTiming();
        for (TGridNode *n = tree->GetFirst(); n; n = tree->GetNext(n))
            tree->SetVisible(n, true);
        state.ResumeTiming();
    }
}

// Qt keeps no visibility in its model: the rows are flagged and a filter proxy
// built over them. (Re-filtering an existing proxy instead removes the rows
// range by range, which does not finish in minutes at this size.)
void Hide_QtModel(benchmark::State &state)
{
    QStandardItemModel model;
    fillModel(model);
    for (auto _ : state) {
        for (int r = 1; r < Rows; r += 2)
            model.item(r)->setData(true, HiddenRole);
        HiddenFilter proxy;
        proxy.setSourceModel(&model);
        benchmark::DoNotOptimize(proxy.rowCount());
        state.PauseTiming();
        proxy.setSourceModel(nullptr);
        for (int r = 1; r < Rows; r += 2)
            model.item(r)->setData(false, HiddenRole);
        state.ResumeTiming();
    }
}

// ---- delete every row one by one (ours from the top, the Qt model from the bottom) -------------------
// -------------------------------------------------------------

void Delete_NodeStore(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto tree = makeTree();
        fillTree(*tree);
        state.ResumeTiming();
        while (TGridNode *n = tree->RootNode()->FirstChild())
            tree->DeleteNode(n);
        benchmark::DoNotOptimize(tree->RootNodeCount());
    }
}

void Delete_QtModel(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto model = std::make_unique<QStandardItemModel>();
        fillModel(*model);
        state.ResumeTiming();
        // From the bottom: removing the top row each time makes the model search
        // for rows linearly, which does not finish in minutes at this size.
        for (int r = model->rowCount() - 1; r >= 0; --r)
            model->removeRow(r);
        benchmark::DoNotOptimize(model->rowCount());
        state.PauseTiming();
        model.reset();
        state.ResumeTiming();
    }
}

BENCHMARK(Create_NodeStore)->Unit(benchmark::kMillisecond)->Iterations(3);
// The Qt model's rounds are few: each fills (and later frees) a model of a million
// items untimed, seconds apiece, and its long sort varies little between rounds.
BENCHMARK(Create_QtModel)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(Walk_NodeStore)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(Walk_QtModel)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(Sort_NodeStore)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(Sort_QtModel)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(Hide_NodeStore)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(Hide_QtModel)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(Delete_NodeStore)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(Delete_QtModel)->Unit(benchmark::kMillisecond)->Iterations(2);

// Resident bytes: counts heap blocks and mapped chunks alike.
double residentBytes()
{
    long pages = 0, resident = 0;
    if (FILE *f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return double(resident) * double(sysconf(_SC_PAGESIZE));
}

// Records the node store's bytes per row besides the caller data.
void measureMemory(bench::FigureReporter &reporter)
{
    keys();
    const double before = residentBytes();
    auto tree = makeTree();
    fillTree(*tree);
    const double ours = (residentBytes() - before) / Rows;
    tree.reset();
    const double beforeQt = residentBytes();
    auto model = std::make_unique<QStandardItemModel>();
    fillModel(*model);
    const double qt = (residentBytes() - beforeQt) / Rows;
    model.reset();
    std::printf("\nresident bytes per row: node store %.1f (of which caller data %zu, so %.1f besides it), "
                "QStandardItemModel %.1f\n",
        ours, sizeof(RowKey), ours - double(sizeof(RowKey)), qt);
    reporter.Record("bytes_per_row_besides_data", ours - double(sizeof(RowKey)));
}

} // namespace

int main(int argc, char **argv)
{
    std::vector<bench::Figure> figures;
    // Qt model time over node store time for each step (medians when repeated:
    // --benchmark_repetitions=N is advisable on a busy machine).
    for (const char *step : { "Create", "Walk", "Sort", "Hide", "Delete" }) {
        figures.push_back({ std::string("nodestore.") + step + "_speed/qt_model",
            std::string(step) + "_QtModel", std::string(step) + "_NodeStore", ">=", 10 });
    }
    figures.push_back({ "nodestore.bytes_per_row_besides_data", "bytes_per_row_besides_data", "", "<=", 96 });
    // Memory first, while the process is fresh.
    return bench::runWithFigures(argc, argv, std::move(figures), measureMemory);
}
