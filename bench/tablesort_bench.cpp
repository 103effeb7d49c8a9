// Sorting a large task table by a date column through the tables' sort
// command, beside Qt's standard item model sorting the same dates held as
// QDate values; and a sort by two keys beside one.
#include "bench/BenchSupport.h"
#include "bench/generator/DocumentGenerator.h"
#include "document/DocumentTable.h"
#include "document/program/MessageDialog.h"
#include "mainwindow/tables/TaskTables.h"

#include <QDate>
#include <QStandardItemModel>
#include <benchmark/benchmark.h>

namespace {

constexpr int kRows = 100000;
constexpr int kColumns = 10;
constexpr int kDateColumn = 1; // Start
constexpr int kTextColumn = 5; // "Order <n>"

Document &sharedDocument()
{
    static Document doc;
    static bool filled = false;
    if (!filled) {
        GeneratorOptions o;
        o.tasks = kRows;
        o.absentRows = 0;
        o.positions = 20;
        o.columns = kColumns;
        GenerateDocument(doc, o);
        filled = true;
    }
    return doc;
}

// Each round sorts by the date column, alternating its direction.
void BM_SortByDate(benchmark::State &state)
{
    Document &doc = sharedDocument();
    TTaskTables tables(doc);
    for (auto _ : state) {
        tables.HeaderClick(kDateColumn, Qt::LeftButton, 100, 0);
        tables.ActionSort(tbTable);
    }
}

// Two keys: the text column as main key, the date column breaking its ties.
void BM_SortByTwoKeys(benchmark::State &state)
{
    Document &doc = sharedDocument();
    TTaskTables tables(doc);
    tables.HeaderClick(kDateColumn, Qt::LeftButton, 100, 0);
    tables.ActionSort(tbTable);
    TScriptedMessageDialogs dialogs;
    ScopedMessageDialogs scoped(&dialogs);
    for (auto _ : state) {
        dialogs.QueueAnswer(mrYes); // keep the other key
        tables.HeaderClick(kTextColumn, Qt::LeftButton, 100, 0);
        tables.ActionSort(tbTable);
    }
}

void BM_StandardModelSortByDate(benchmark::State &state)
{
    Document &doc = sharedDocument();
    QStandardItemModel model(0, kColumns);
    const DocumentTable &rows = doc.GetTable(tbTable);
    for (const TNodeData *row = rows.First(); row; row = rows.Next(row)) {
        QList<QStandardItem *> items;
        for (int c = 0; c < kColumns; ++c) {
            auto *item = new QStandardItem;
            if (c == kDateColumn)
                item->setData(QDate(1899, 12, 30).addDays(qint64(doc.StrToDateTime(doc.GetData(row, c)))),
                    Qt::DisplayRole);
            else
                item->setData(doc.GetData(row, c), Qt::DisplayRole);
            items.append(item);
        }
        model.appendRow(items);
    }
    Qt::SortOrder order = Qt::AscendingOrder;
    for (auto _ : state) {
        model.sort(kDateColumn, order);
        order = order == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    }
}

} // namespace

BENCHMARK(BM_SortByDate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortByTwoKeys)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StandardModelSortByDate)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    return bench::runWithFigures(argc, argv,
        { { "tablesort.sort_by_date/standard_model", "BM_SortByDate", "BM_StandardModelSortByDate", "", 0 },
            { "tablesort.two_keys/one_key", "BM_SortByTwoKeys", "BM_SortByDate", "<=", 2 } });
}
