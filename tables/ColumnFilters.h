#pragma once

#include "document/DocumentTypes.h"
#include "document/program/Settings.h"

#include <QString>
#include <QStringList>
#include <vector>

class Document;

// A column filter as set on a position-group tab: each tab remembers the
// filters of both tables' columns, by column caption.
class TFilter {
public:
    TFilterParams params;
    QString group; // caption of the position-group tab
    QString header; // caption of the column
    TWhichTable table = tbTable;
};

// The stored filters of the document (FFilters), kept in the per-document
// settings.
class TFilters {
public:
    const std::vector<TFilter> &Items() const { return FItems; }
    const TFilter *Find(TWhichTable table, const QString &group, const QString &header) const;

    // The filter of a column was set: the copy for the table, tab and caption
    // is updated, or appended.
    void Store(TWhichTable table, const QString &group, const QString &header, const TFilterParams &params);
    // The filter of a column was cleared: its copy for the tab goes too, so
    // that it does not come back with the next tab switch.
    void Remove(TWhichTable table, const QString &group, const QString &header);

    // A tab switch: every column filter of both tables is reset, then those
    // stored for the tab are given back to the columns of their captions (the
    // first column as any other).
    void RestoreGroup(Document &doc, const QString &group) const;

    // The settings' form and back. Values outside the enumerations (a file
    // edited by hand) fall back to no filter.
    std::vector<TFilterSettings> ToSettings() const;
    void FromSettings(const std::vector<TFilterSettings> &settings);

private:
    std::vector<TFilter> FItems;
};

// The clear actions. Each resets the filter type of the column(s) of the table
// to none and removes their copies for the tab in `filters`. The caller then
// refilters the table (FilterData).
void ClearFilter(Document &doc, TFilters &filters, const QString &group, TWhichTable table, int column);
void ClearAllFilters(Document &doc, TFilters &filters, const QString &group, TWhichTable table);
// Whether some column of the table is filtered (the clear-all action's state).
bool AnyColumnFiltered(const Document &doc, TWhichTable table);

// What the filter popup holds when it closes with OK: the checked choice and
// the values of its fields.
struct TFilterChoice {
    enum TRadio {
        rbNoFilter,
        rbList,
        rbDate,
        rbEmptyFields,
        rbTextEquals,
        rbSmaller,
        rbBigger,
        rbNumberEquals,
        rbFromTo,
        rbNone, // no choice checked
    };
    TRadio checked = rbNoFilter;
    QStringList listSelection; // the selected list items, in list order
    TDateTime dateFrom = 0, dateTill = 0;
    QString pattern; // the text field
    QString number; // the single number field
    QString numberFrom, numberTo;
};
// The column's filter after the popup closed with OK. "List" with nothing
// selected, and a number filter without a number choice, change only the
// type and keep the rest.
TFilterParams ApplyFilterChoice(
    const Document &doc, const TFilterParams &current, const TFilterChoice &choice);

// The popup's list items of a column: field 0 of each pulldown item in item
// order; for a column without items the distinct cells of all rows, sorted.
QStringList FilterListItems(const Document &doc, TWhichTable table, int column);
// The distinct cells of a column over all rows, sorted ignoring case (the
// text field's completion items).
QStringList DistinctColumnValues(const Document &doc, TWhichTable table, int column);
