// Sorting a large task table by a date column through the tables' sort
// command, beside Qt's standard item model sorting the same dates held as
// QDate values; and a sort by a second key breaking the ties of the first,
// beside the first alone.
#include "bench/BenchSupport.h"
#include "bench/LargeTaskTable.h"
#include "document/DocumentTable.h"
#include "document/program/MessageDialog.h"
#include "tables/TaskTables.h"

#include <QDate>
#include <QStandardItemModel>
#include <benchmark/benchmark.h>

namespace {

constexpr int kColumns = bench::kLargeTableColumns;
constexpr int kDateColumn = 1; // Start
constexpr int kTextColumn = 5; // "Order <n>"

// Each round sorts by the date column, alternating its direction.
void BM_SortByDate(benchmark::State &state)
{
    Document &doc = bench::largeTaskTable();
    TTaskTables tables(doc);
    for (auto _ : state) {
        tables.HeaderClick(kDateColumn, Qt::LeftButton, 100, 0);
        tables.ActionSort(tbTable);
    }
}

// The text column alone, and with the date column breaking its ties.
void sortByText(benchmark::State &state, bool withDate)
{
    Document &doc = bench::largeTaskTable();
    TTaskTables tables(doc);
    TScriptedMessageDialogs dialogs;
    ScopedMessageDialogs scoped(&dialogs);
    tables.HeaderClick(kTextColumn, Qt::LeftButton, 100, 0);
    tables.ActionSort(tbTable);
    if (withDate) {
        dialogs.QueueAnswer(mrYes); // keep the text key
        tables.HeaderClick(kDateColumn, Qt::LeftButton, 100, 0);
        tables.ActionSort(tbTable);
    }
    for (auto _ : state) {
        dialogs.QueueAnswer(mrYes);
        tables.HeaderClick(kTextColumn, Qt::LeftButton, 100, 0);
        tables.ActionSort(tbTable);
    }
}

void BM_SortByText(benchmark::State &state)
{
    sortByText(state, false);
}

void BM_SortByTextThenDate(benchmark::State &state)
{
    sortByText(state, true);
}

void BM_StandardModelSortByDate(benchmark::State &state)
{
    Document &doc = bench::largeTaskTable();
    QStandardItemModel model(0, kColumns);
    bench::fillStandardModel(model, doc, kColumns, kDateColumn);
    Qt::SortOrder order = Qt::AscendingOrder;
    for (auto _ : state) {
        model.sort(kDateColumn, order);
        order = order == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    }
}

} // namespace

BENCHMARK(BM_SortByDate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortByText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortByTextThenDate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StandardModelSortByDate)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    return bench::runWithFigures(argc, argv,
        { { "tablesort.sort_by_date/standard_model", "BM_SortByDate", "BM_StandardModelSortByDate", "", 0 },
            { "tablesort.text_and_date/text_alone", "BM_SortByTextThenDate", "BM_SortByText", "<=", 2 } });
}
