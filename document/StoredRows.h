#pragma once

#include <QString>
#include <functional>
#include <utility>
#include <vector>

class Document;

// Each row of both tables as the document file stores it, in file order (the
// task table first), made one at a time from the document in memory: the ID of
// its element and the element's children, each a name and its text as stored
// (the table marker first, then the cells, dates in their stored form). The
// children point at the walk's own texts and the document's cells, valid during
// the call only; the names are the same few texts through a table's rows.
using TStoredChildren = std::vector<std::pair<const QString *, const QString *>>;
using TStoredRowTaker = std::function<void(const QString &id, const TStoredChildren &children)>;
void ForEachStoredRow(const Document &doc, const TStoredRowTaker &take);
