// The node store's selection and check states beside Qt's item views on the
// same work: select all of 1,000,000 rows and read them back in row order
// (QTableView's selectAll and selectedRows over QStandardItemModel), and check
// and uncheck a tri-state parent of 10,000 and 40,000 check-box children
// (QTreeWidget's auto-tristate items).
#include "bench/BenchSupport.h"
#include "components/BaseGridTree.h"

#include <QApplication>
#include <QItemSelectionModel>
#include <QStandardItemModel>
#include <QTableView>
#include <QTreeWidget>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

constexpr int Rows = 1000000;

void SelectAll_NodeStore(benchmark::State &state)
{
    TBaseGridTree tree;
    tree.SetSelectionOptions({ toMultiSelect });
    tree.SetRootNodeCount(Rows);
    tree.SelectAll(false); // every node initialised once, as on screen
    for (auto _ : state) {
        state.PauseTiming();
        tree.ClearSelection();
        state.ResumeTiming();
        tree.SelectAll(false);
        const TNodeArray rows = tree.GetSortedSelection(false);
        if (rows.size() != std::size_t(Rows))
            state.SkipWithError("not every row selected");
        benchmark::DoNotOptimize(rows.data());
    }
}

void SelectAll_QtTableView(benchmark::State &state)
{
    QStandardItemModel model(Rows, 1);
    QTableView view;
    view.setModel(&model);
    QItemSelectionModel *selection = view.selectionModel();
    for (auto _ : state) {
        state.PauseTiming();
        selection->clearSelection();
        state.ResumeTiming();
        view.selectAll();
        const QModelIndexList rows = selection->selectedRows();
        if (rows.size() != Rows)
            state.SkipWithError("not every row selected");
        benchmark::DoNotOptimize(rows.constData());
    }
}

// Each iteration checks the parent (every child follows) and unchecks it again.
void CheckParent_NodeStore(benchmark::State &state)
{
    TBaseGridTree tree;
    TGridNode *parent = tree.AddChild(nullptr);
    tree.SetCheckType(parent, TCheckType::ctTriStateCheckBox);
    tree.SetChildCount(parent, uint32_t(state.range(0)));
    for (TGridNode *child = tree.GetFirstChild(parent); child; child = tree.GetNextSibling(child))
        tree.SetCheckType(child, TCheckType::ctCheckBox);
    for (auto _ : state) {
        tree.SetCheckState(parent, csCheckedNormal);
        tree.SetCheckState(parent, csUncheckedNormal);
    }
    if (tree.CheckState(parent->LastChild()) != csUncheckedNormal)
        state.SkipWithError("children did not follow");
}

void CheckParent_QtTreeWidget(benchmark::State &state)
{
    QTreeWidget widget;
    auto *parent = new QTreeWidgetItem(&widget);
    parent->setFlags(parent->flags() | Qt::ItemIsUserCheckable | Qt::ItemIsAutoTristate);
    parent->setCheckState(0, Qt::Unchecked);
    QList<QTreeWidgetItem *> children;
    for (int i = 0; i < state.range(0); ++i) {
        auto *child = new QTreeWidgetItem;
        child->setFlags(child->flags() | Qt::ItemIsUserCheckable);
        child->setCheckState(0, Qt::Unchecked);
        children.append(child);
    }
    parent->addChildren(children);
    for (auto _ : state) {
        parent->setCheckState(0, Qt::Checked);
        parent->setCheckState(0, Qt::Unchecked);
    }
    if (children.last()->checkState(0) != Qt::Unchecked)
        state.SkipWithError("children did not follow");
}

void CheckParent10k_NodeStore(benchmark::State &state)
{
    CheckParent_NodeStore(state);
}
void CheckParent40k_NodeStore(benchmark::State &state)
{
    CheckParent_NodeStore(state);
}
void CheckParent10k_QtTreeWidget(benchmark::State &state)
{
    CheckParent_QtTreeWidget(state);
}

} // namespace

BENCHMARK(SelectAll_NodeStore)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(SelectAll_QtTableView)->Unit(benchmark::kMillisecond)->Iterations(3);
// The median of several runs: these take well under a millisecond each, so a
// busy machine would otherwise decide the ratios.
BENCHMARK(CheckParent10k_NodeStore)->Arg(10000)->Unit(benchmark::kMicrosecond)->Repetitions(7);
BENCHMARK(CheckParent40k_NodeStore)->Arg(40000)->Unit(benchmark::kMicrosecond)->Repetitions(7);
BENCHMARK(CheckParent10k_QtTreeWidget)->Arg(10000)->Unit(benchmark::kMicrosecond)->Repetitions(7);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return bench::runWithFigures(argc, argv,
        {
            { "select_all_1M_vs_qtableview", "SelectAll_NodeStore", "SelectAll_QtTableView", "<=", 0.2 },
            { "check_parent_10k_vs_qtreewidget", "CheckParent10k_NodeStore", "CheckParent10k_QtTreeWidget",
                "<=", 0.1 },
            { "check_parent_40k_vs_10k", "CheckParent40k_NodeStore", "CheckParent10k_NodeStore", "<=", 4.5 },
        });
}
