#pragma once

#include "document/DocumentTypes.h"

#include <QString>
#include <vector>

class Document;

// What the editor's fields show for the selected rows of a table: per column
// the cell all of them share, or the empty text when they differ.
struct TEditorValue {
    QString Value;
    bool Differs = false;
    bool operator==(const TEditorValue &) const = default;
};

struct TEditorValues {
    std::vector<TEditorValue> Columns;
    int Selected = 0;
};

TEditorValues CollectEditorValues(const Document &Doc, TWhichTable Table);
