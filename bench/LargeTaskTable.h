#pragma once

// The task table the table benchmarks work on: 100,000 tasks on 20 positions,
// 10 columns (Position, Start, End, Length, State, Comment "Order <n>", and
// text columns "value <n>/<column>"), made once per process.
#include "bench/generator/DocumentGenerator.h"
#include "document/DocumentTable.h"

#include <QDate>
#include <QStandardItemModel>

namespace bench {

constexpr int kLargeTableRows = 100000;
constexpr int kLargeTableColumns = 10;

inline Document &largeTaskTable()
{
    static Document doc;
    static bool filled = false;
    if (!filled) {
        GeneratorOptions o;
        o.tasks = kLargeTableRows;
        o.absentRows = 0;
        o.positions = 20;
        o.columns = kLargeTableColumns;
        GenerateDocument(doc, o);
        filled = true;
    }
    return doc;
}

// The task table's rows in Qt's standard item model, the dates of one column
// held as QDate values (the peer of the table benchmarks).
inline void fillStandardModel(QStandardItemModel &model, const Document &doc, int columns, int dateColumn)
{
    const DocumentTable &rows = doc.GetTable(tbTable);
    for (const TNodeData *row = rows.First(); row; row = rows.Next(row)) {
        QList<QStandardItem *> items;
        for (int c = 0; c < columns; ++c) {
            auto *item = new QStandardItem;
            if (c == dateColumn)
                item->setData(QDate(1899, 12, 30).addDays(qint64(doc.StrToDateTime(doc.GetData(row, c)))),
                    Qt::DisplayRole);
            else
                item->setData(doc.GetData(row, c), Qt::DisplayRole);
            items.append(item);
        }
        model.appendRow(items);
    }
}

} // namespace bench
