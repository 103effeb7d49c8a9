// Showing a header column's hint and a clipped cell's tooltip on a tree of 100
// rows and on one of 1,000,000: the cost must not grow with the rows.
#include "bench/BenchSupport.h"
#include "bench/WidgetBenchSupport.h"
#include "components/gui/GTHeader.h"
#include "components/gui/GridTreeColumns.h"
#include "components/gui/GridTreeHintWindow.h"
#include "components/gui/StringGridTree.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

// A shown tree of Rows rows under a header with hints; the second column's
// texts do not fit it. The view sits in the middle of the rows.
std::unique_ptr<TStringGridTree> MakeTree(int Rows)
{
    auto tree = std::make_unique<TStringGridTree>();
    TStringGridTree &t = *tree;
    for (const int width : { 120, 60 })
        t.Header().Columns().Add().SetWidth(width);
    t.Header().Columns()[0].SetHint(QStringLiteral("The task's name"));
    t.Header().SetOptions(t.Header().Options() + TGTHeaderOptions { hoVisible, hoShowHint });
    t.SetHintAnimation(hatNone);
    // The same texts in every row: only the number of rows differs.
    t.OnGetText = [](TCustomStringGridTree &, TGridNode *, TColumnIndex Column, TGSTTextType, QString &Text) {
        Text = Column == 1 ? QStringLiteral("A note far too long for its column") : QStringLiteral("A row");
    };
    t.Tree()->SetRootNodeCount(uint32_t(Rows));
    t.resize(300, 400);
    t.show();
    t.activateWindow();
    QApplication::processEvents();
    bench::SettleTree(t);
    t.SetOffsetY(-(int(t.Tree()->RootNode()->TotalHeight()) - t.ClientHeight()) / 2);
    bench::SettleTree(t);
    return tree;
}

void ShowHint(benchmark::State &State, int Rows, bool Tooltip)
{
    auto tree = MakeTree(Rows);
    tree->SetHintMode(Tooltip ? hmTooltip : hmDefault);
    // Over the first column's header cell, or over a clipped note.
    const QPoint at = Tooltip ? QPoint(130, 100) : QPoint(30, -5);
    QPoint pos;
    for (auto _ : State) {
        tree->CancelHint();
        if (!tree->CMHintShow(at, pos))
            State.SkipWithError("no hint");
    }
    tree->CancelHint();
}

void Header_100(benchmark::State &State)
{
    ShowHint(State, 100, false);
}
void Header_1M(benchmark::State &State)
{
    ShowHint(State, 1000000, false);
}
void Tooltip_100(benchmark::State &State)
{
    ShowHint(State, 100, true);
}
void Tooltip_1M(benchmark::State &State)
{
    ShowHint(State, 1000000, true);
}

} // namespace

int main(int argc, char **argv)
{
    bench::OffscreenApplication app(argc, argv);
    using TBench = void (*)(benchmark::State &);
    for (const auto &[name, fn] : { std::pair<const char *, TBench>("HeaderHint_100", Header_100),
             std::pair<const char *, TBench>("HeaderHint_1M", Header_1M),
             std::pair<const char *, TBench>("Tooltip_100", Tooltip_100),
             std::pair<const char *, TBench>("Tooltip_1M", Tooltip_1M) })
        benchmark::RegisterBenchmark(name, fn)->Unit(benchmark::kMicrosecond);
    return bench::runMediansWithFigures(argc, argv, 5,
        { { "treehint.header_1M/100", "HeaderHint_1M", "HeaderHint_100", "<=", 1.2 },
            { "treehint.tooltip_1M/100", "Tooltip_1M", "Tooltip_100", "<=", 1.2 } });
}
