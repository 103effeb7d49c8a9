#pragma once

#include "document/DocumentTypes.h"
#include "tables/UpperText.h"
#include "tables/WildcardPattern.h"

#include <QSet>
#include <QString>
#include <optional>
#include <vector>

class Document;

// One refiltering of a table: the filters of its columns are read once
// (dates and numbers converted, patterns prepared, list items collected),
// then each row is tested against them.
class TFilterPass {
public:
    TFilterPass(const Document &doc, TWhichTable table);

    // Whether the row is shown: incomplete rows always are; a row whose
    // position is known but not in the shown position group is not; else it
    // must pass every column's filter. A row whose position is unknown stays.
    bool Shows(const TNodeData &row);
    // Asks the memory for what Shows will read of the row (its record, the
    // first tested cell and its text), in stages: `ahead` 2 the record, 1 the
    // cell, 0 the text, each stage once the one before has arrived.
    void Prefetch(const TNodeData &row, int ahead) const;

private:
    struct TColumnTest {
        int column = 0;
        TFilterParams params;
        // The filter's texts read as dates or numbers.
        TDateTime date1 = 0, date2 = 0;
        bool dateTillWholeDay = false;
        bool number1Ok = false, number2Ok = false;
        std::int32_t number1 = 0, number2 = 0;
        std::optional<TWildcardPattern> pattern;
        QSet<QString> items;
    };

    bool FilterDate(const TColumnTest &test, const QString &cell) const;
    bool FilterNumber(const TColumnTest &test, const QString &cell) const;
    bool FilterText(const TColumnTest &test, const QString &cell);
    bool FilterList(const TColumnTest &test, const QString &cell) const;

    const Document &FDoc;
    // Per position its chart row in the shown group, negative when not shown.
    const std::vector<int> &FChartRowOf;
    std::vector<TColumnTest> FTests;
    TUpperText FUpper;
};

// Decides whether one row is shown (CB_FilterNode): hides or shows it in its
// table and deselects it when hidden.
void CB_FilterNode(Document &doc, TFilterPass &pass, TNodeData &row);
// Refilters the rows of a table that `mode` walks (all rows after a filter
// changed, the selected rows when the editor is entered).
void RefilterRows(Document &doc, TWhichTable table, TForEachNode mode);

// The header mark of a filtered column: its description (also its hint) and
// its image, 22 for a filtered column and 23 for the others.
struct TFilterMark {
    QString description;
    int image = 23;
    bool operator==(const TFilterMark &) const = default;
};
QString FilterDescription(const TFilterParams &params);
TFilterMark FilterMark(const TFilterParams &params);

// Refilters a table (FilterData): every row tested, the chart repainted and
// the status bar refreshed through the document's host. Returns the header
// marks of its columns, or nothing while an update bracket is open (the
// window refilters when the outermost bracket closes).
std::optional<std::vector<TFilterMark>> FilterData(Document &doc, TWhichTable table);
