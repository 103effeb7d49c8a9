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

// Whether the table's first and last rows are in the order `ascending` asks by
// the date column, and differ (a table that did not sort fails one of the two
// directions).
bool DatesInOrder(Document &doc, bool ascending)
{
    const std::vector<TNodeData *> &rows = doc.GetTable(tbTable).Rows();
    if (rows.size() < 2)
        return false;
    const double first = doc.StrToDateTime(doc.GetData(rows.front(), kDateColumn));
    const double last = doc.StrToDateTime(doc.GetData(rows.back(), kDateColumn));
    return ascending ? first < last : first > last;
}

// Each round sorts by the date column, alternating its direction.
void BM_SortByDate(benchmark::State &state)
{
    Document &doc = bench::largeTaskTable();
    TTaskTables tables(doc);
    bool ascending = true;
    for (auto _ : state) {
        tables.HeaderClick(kDateColumn, Qt::LeftButton, 100, 0);
        tables.ActionSort(tbTable);
        state.PauseTiming();
        // The first click sorts one way, each next one the other.
        if (state.iterations() == 0)
            ascending = DatesInOrder(doc, true);
        else
            ascending = !ascending;
        if (!DatesInOrder(doc, ascending))
            state.SkipWithError("the rows are not in date order");
        state.ResumeTiming();
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

// After a sort the Qt model finds each item's row by a linear search from where
// the item used to be, so emptying or destroying the sorted model takes many
// minutes at this size: the one model is filled once and kept until the
// process ends (deliberately never destroyed).
QStandardItemModel &StandardModel()
{
    static QStandardItemModel *model = [] {
        auto *m = new QStandardItemModel(0, kColumns);
        bench::fillStandardModel(*m, bench::largeTaskTable(), kColumns, kDateColumn);
        return m;
    }();
    return *model;
}

void BM_StandardModelSortByDate(benchmark::State &state)
{
    QStandardItemModel &model = StandardModel();
    Qt::SortOrder order = Qt::AscendingOrder;
    for (auto _ : state) {
        model.sort(kDateColumn, order);
        state.PauseTiming();
        const QDate first = model.item(0, kDateColumn)->data(Qt::DisplayRole).toDate();
        const QDate last = model.item(model.rowCount() - 1, kDateColumn)->data(Qt::DisplayRole).toDate();
        if (order == Qt::AscendingOrder ? !(first < last) : !(first > last))
            state.SkipWithError("the model's rows are not in date order");
        state.ResumeTiming();
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
