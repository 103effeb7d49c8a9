#pragma once

#include "document/Document.h"

#include <QStringList>

// The tables of a document as text, one row a line in ID order: ID, table,
// (change counter,) cells. The derived End column is left empty: every instance
// computes it for itself.
inline QString TableDump(Document &doc, bool withCounters)
{
    constexpr int kEndColumn = 2;
    QStringList ids;
    doc.ForEach(feAll, [&](TNodeData &row) { ids.append(row.ID); });
    ids.sort();
    QString text;
    for (const QString &id : ids) {
        TNodeData *row = doc.FindNode(id);
        QStringList line { id, TableName(row->NodeTable) };
        if (withCounters)
            line.append(QString::number(row->ChangeIndex));
        for (int c = 0; c < doc.GetTableColCount(row->NodeTable); ++c)
            line.append(c == kEndColumn ? QString() : doc.GetData(row, c));
        text += line.join(QLatin1Char('\t')) + QLatin1Char('\n');
    }
    return text;
}
