// The document model on a large plan, each pass beside its floor: the bare cost
// of the same number of hash look-ups and string-list writes.
#include "bench/BenchSupport.h"
#include "bench/generator/DocumentGenerator.h"

#include <QHash>
#include <QStringList>
#include <benchmark/benchmark.h>

namespace {

constexpr int kTasks = 100000;
constexpr int kAbsent = 10000;

GeneratorOptions bigPlan()
{
    GeneratorOptions o;
    o.tasks = kTasks;
    o.absentRows = kAbsent;
    o.positions = 1000;
    o.columns = 20;
    return o;
}

Document &sharedDocument()
{
    static Document doc;
    static bool filled = false;
    if (!filled) {
        GenerateDocument(doc, bigPlan());
        filled = true;
    }
    return doc;
}

void BM_AddAllRows(benchmark::State &state)
{
    for (auto _ : state) {
        Document doc;
        GenerateDocument(doc, bigPlan());
        benchmark::DoNotOptimize(doc.TotalCount(tbTable));
    }
}

void BM_CheckAllValid(benchmark::State &state)
{
    Document &doc = sharedDocument();
    for (auto _ : state)
        doc.CheckAllValid();
}

void BM_FindByID(benchmark::State &state)
{
    Document &doc = sharedDocument();
    for (auto _ : state) {
        for (int i = 0; i < kTasks; ++i)
            benchmark::DoNotOptimize(doc.FindNode(QStringLiteral("gen.task.%1").arg(i)));
    }
}

void BM_SetCellInEveryRowAndUndo(benchmark::State &state)
{
    Document &doc = sharedDocument();
    int round = 0;
    for (auto _ : state) {
        const QString text = QStringLiteral("edit %1").arg(round++);
        {
            UpdateBracket bracket(doc, QStringLiteral("edit"));
            doc.SetUndoRedoGroupIndex(doc.UndoRedo().GetGroupIndex());
            doc.ForEach(
                tbTable, feAll, [&](TNodeData &row) { doc.SetData_(&row, cnTextCenterMiddle, text); });
            doc.SetUndoRedoGroupIndex(-1);
        }
        UpdateBracket bracket(doc, QStringLiteral("undo"));
        doc.UndoRedo().Undo();
    }
}

// The floor: the same number of hash look-ups and string-list writes.
void BM_FloorLookupsAndWrites(benchmark::State &state)
{
    QHash<QString, QStringList> rows;
    for (int i = 0; i < kTasks; ++i)
        rows.insert(QStringLiteral("gen.task.%1").arg(i), QStringList(20));
    int round = 0;
    for (auto _ : state) {
        const QString text = QStringLiteral("edit %1").arg(round++);
        for (int i = 0; i < kTasks; ++i) {
            auto it = rows.find(QStringLiteral("gen.task.%1").arg(i));
            (*it)[5] = text;
        }
    }
}

} // namespace

BENCHMARK(BM_AddAllRows)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_CheckAllValid)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindByID)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SetCellInEveryRowAndUndo)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_FloorLookupsAndWrites)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    const char *floor = "BM_FloorLookupsAndWrites";
    return bench::runWithFigures(argc, argv,
        { { "document.add_all_rows/floor", "BM_AddAllRows", floor, "<=", 5 },
            { "document.check_all_valid/floor", "BM_CheckAllValid", floor, "<=", 5 },
            { "document.find_by_id/floor", "BM_FindByID", floor, "<=", 5 },
            { "document.set_cell_every_row_and_undo/floor", "BM_SetCellInEveryRowAndUndo", floor,
                "<=", 5 } });
}
