#include "tables/ColumnFilters.h"

#include "document/Document.h"
#include "document/DocumentTable.h"
#include "document/text/CommaText.h"

#include <QSet>
#include <algorithm>

namespace {

bool same(const TFilter &f, TWhichTable table, const QString &group, const QString &header)
{
    return f.table == table && f.group == group && f.header == header;
}

} // namespace

const TFilter *TFilters::Find(TWhichTable table, const QString &group, const QString &header) const
{
    const auto it = std::find_if(
        FItems.begin(), FItems.end(), [&](const TFilter &f) { return same(f, table, group, header); });
    return it == FItems.end() ? nullptr : &*it;
}

void TFilters::Store(
    TWhichTable table, const QString &group, const QString &header, const TFilterParams &params)
{
    auto it = std::find_if(
        FItems.begin(), FItems.end(), [&](const TFilter &f) { return same(f, table, group, header); });
    if (it == FItems.end())
        it = FItems.insert(FItems.end(), TFilter {});
    it->params = params;
    it->group = group;
    it->header = header;
    it->table = table;
}

void TFilters::Remove(TWhichTable table, const QString &group, const QString &header)
{
    std::erase_if(FItems, [&](const TFilter &f) { return same(f, table, group, header); });
}

void TFilters::RestoreGroup(Document &doc, const QString &group) const
{
    for (TWhichTable table : { tbTable, tbExclude }) {
        for (int column = 0; column < doc.GetTableColCount(table); ++column)
            doc.GetHeader(table, column)->Filter = TFilterParams {};
    }
    for (const TFilter &f : FItems) {
        if (f.group != group)
            continue;
        if (THeaderData *header = doc.GetHeader(f.table, doc.GetHeaderIndex(f.table, f.header)))
            header->Filter = f.params;
    }
}

std::vector<TFilterSettings> TFilters::ToSettings() const
{
    std::vector<TFilterSettings> out;
    out.reserve(FItems.size());
    for (const TFilter &f : FItems) {
        out.push_back({ int(f.params.FilterType), int(f.params.FilterSubType), int(f.table), f.params.Text1,
            f.params.text2, f.group, f.header });
    }
    return out;
}

void TFilters::FromSettings(const std::vector<TFilterSettings> &settings)
{
    FItems.clear();
    for (const TFilterSettings &s : settings) {
        const bool known = s.Type >= ftNone && s.Type <= ftNumber && s.SubType >= fsSmaller
            && s.SubType <= fsEmpty && (s.Table == tbTable || s.Table == tbExclude);
        TFilter f;
        if (known) {
            f.params.FilterType = TFilterType(s.Type);
            f.params.FilterSubType = TFilterSubType(s.SubType);
            f.table = TWhichTable(s.Table);
        }
        f.params.Text1 = s.Text1;
        f.params.text2 = s.Text2;
        f.group = s.Group;
        f.header = s.Header;
        FItems.push_back(f);
    }
}

void ClearFilter(Document &doc, TFilters &filters, const QString &group, TWhichTable table, int column)
{
    THeaderData *header = doc.GetHeader(table, column);
    if (!header)
        return;
    header->Filter.FilterType = ftNone;
    filters.Remove(table, group, doc.GetColumnCaption(table, column));
}

void ClearAllFilters(Document &doc, TFilters &filters, const QString &group, TWhichTable table)
{
    for (int column = 0; column < doc.GetTableColCount(table); ++column)
        ClearFilter(doc, filters, group, table, column);
}

bool AnyColumnFiltered(const Document &doc, TWhichTable table)
{
    for (int column = 0; column < doc.GetTableColCount(table); ++column) {
        if (doc.GetHeader(table, column)->IsFiltered())
            return true;
    }
    return false;
}

TFilterParams ApplyFilterChoice(
    const Document &doc, const TFilterParams &current, const TFilterChoice &choice)
{
    TFilterParams p = current;
    auto set = [&p](TFilterType type, TFilterSubType sub, const QString &text1, const QString &text2 = {}) {
        p.FilterType = type;
        p.FilterSubType = sub;
        p.Text1 = text1;
        p.text2 = text2;
    };
    switch (choice.checked) {
    case TFilterChoice::rbNoFilter:
        p.FilterType = ftNone;
        break;
    case TFilterChoice::rbList:
        p.FilterType = ftList;
        if (!choice.listSelection.isEmpty())
            set(ftList, fsEquals, TCommaText(choice.listSelection).AsString());
        break;
    case TFilterChoice::rbDate:
        set(ftDate, fsFromTo, doc.FormatDateTime(choice.dateFrom), doc.FormatDateTime(choice.dateTill));
        break;
    case TFilterChoice::rbEmptyFields:
        set(ftText, fsEmpty, choice.pattern);
        break;
    case TFilterChoice::rbTextEquals:
        set(ftText, fsText, choice.pattern);
        break;
    case TFilterChoice::rbSmaller:
        set(ftNumber, fsSmaller, choice.number);
        break;
    case TFilterChoice::rbBigger:
        set(ftNumber, fsGreater, choice.number);
        break;
    case TFilterChoice::rbNumberEquals:
        set(ftNumber, fsEquals, choice.number);
        break;
    case TFilterChoice::rbFromTo:
        set(ftNumber, fsFromTo, choice.numberFrom, choice.numberTo);
        break;
    case TFilterChoice::rbNone:
        p.FilterType = ftNumber;
        break;
    }
    return p;
}

QStringList DistinctColumnValues(const Document &doc, TWhichTable table, int column)
{
    QSet<QString> seen;
    QStringList values;
    const DocumentTable &rows = doc.GetTable(table);
    for (const TNodeData *row = rows.First(); row; row = rows.Next(row)) {
        const QString cell = doc.GetData(row, column);
        if (!seen.contains(cell)) {
            seen.insert(cell);
            values.append(cell);
        }
    }
    std::sort(values.begin(), values.end(), [](const QString &a, const QString &b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    return values;
}

QStringList FilterListItems(const Document &doc, TWhichTable table, int column)
{
    const QStringList &items = doc.GetColumnStrings(table, column);
    if (items.isEmpty())
        return DistinctColumnValues(doc, table, column);
    QStringList names;
    names.reserve(items.size());
    for (const QString &item : items)
        names.append(TCommaText(item).Item(0));
    return names;
}
