#include "tables/FilterPass.h"

#include "components/BaseGridTree.h"
#include "document/ChartInvalidation.h"
#include "document/ChartRows.h"
#include "document/Document.h"
#include "document/DocumentTable.h"
#include "document/RowWalkProgress.h"
#include "document/program/Translation.h"
#include "document/text/CommaText.h"
#include "tables/TableCells.h"

namespace {

// A 32-bit decimal integer, optionally signed; blanks around it are allowed.
bool readInt32(const QString &text, std::int32_t &value)
{
    bool ok = false;
    const int v = QStringView(text).trimmed().toInt(&ok, 10);
    if (ok)
        value = v;
    return ok;
}

} // namespace

TFilterPass::TFilterPass(const Document &doc, TWhichTable table)
    : FDoc(doc)
    , FChartRowOf(doc.ChartRows().PositionInPositionGroup())
{
    for (int column = 0; column < doc.GetTableColCount(table); ++column) {
        const TFilterParams &params = doc.GetHeader(table, column)->Filter;
        if (params.FilterType == ftNone)
            continue;
        TColumnTest test;
        test.column = column;
        test.params = params;
        switch (params.FilterType) {
        case ftDate:
            test.date1 = doc.StrToDateTime(params.Text1);
            test.date2 = doc.StrToDateTime(params.text2);
            // In hours documents a "till" day without a time means the whole day.
            test.dateTillWholeDay = doc.GetMinUnit() == muMinute && TimePart(test.date2) == 0;
            break;
        case ftNumber:
            test.number1Ok = readInt32(params.Text1, test.number1);
            test.number2Ok = readInt32(params.text2, test.number2);
            break;
        case ftText:
            if (params.FilterSubType == fsText)
                test.pattern.emplace(params.Text1);
            break;
        case ftList: {
            const TCommaText items(params.Text1);
            for (const QString &item : items.Strings())
                test.items.insert(item);
            break;
        }
        case ftNone:
            break;
        }
        FTests.push_back(std::move(test));
    }
}

bool TFilterPass::Shows(const TNodeData &row)
{
    if (!row.nodeValid)
        return true;
    const int position = row.nodePosition;
    const bool known = position >= 0 && std::size_t(position) < FChartRowOf.size();
    if (known && FChartRowOf[std::size_t(position)] < 0)
        return false;
    for (const TColumnTest &test : FTests) {
        const QString &cell = CellOf(row, test.column);
        bool pass = false;
        switch (test.params.FilterType) {
        case ftDate:
            pass = FilterDate(test, cell);
            break;
        case ftNumber:
            pass = FilterNumber(test, cell);
            break;
        case ftText:
            pass = FilterText(test, cell);
            break;
        case ftList:
            pass = FilterList(test, cell);
            break;
        case ftNone:
            pass = true;
            break;
        }
        if (!pass)
            return false;
    }
    return true;
}

bool TFilterPass::FilterDate(const TColumnTest &test, const QString &cell) const
{
    const TDateTime d = FDoc.StrToDateTime(cell);
    switch (test.params.FilterSubType) {
    case fsSmaller:
        return d <= test.date1;
    case fsGreater:
        return d >= test.date1;
    case fsEquals:
        return d == test.date1;
    case fsFromTo:
        return test.date1 <= d && (test.dateTillWholeDay ? d < test.date2 + 1 : d <= test.date2);
    default:
        return false;
    }
}

bool TFilterPass::FilterNumber(const TColumnTest &test, const QString &cell) const
{
    std::int32_t value = 0;
    if (!readInt32(cell, value) || !test.number1Ok)
        return false;
    switch (test.params.FilterSubType) {
    case fsSmaller:
        return value < test.number1;
    case fsGreater:
        return value > test.number1;
    case fsEquals:
        return value == test.number1;
    case fsFromTo:
        return test.number2Ok && test.number1 < value && value < test.number2;
    default:
        return false;
    }
}

bool TFilterPass::FilterText(const TColumnTest &test, const QString &cell)
{
    switch (test.params.FilterSubType) {
    case fsText:
        return test.pattern->Matches(FUpper.Of(cell));
    case fsEmpty:
        return cell.isEmpty();
    default:
        return false;
    }
}

bool TFilterPass::FilterList(const TColumnTest &test, const QString &cell) const
{
    return test.items.contains(cell);
}

void TFilterPass::Prefetch(const TNodeData &row, int ahead) const
{
    if (ahead == 2 || FTests.empty()) {
        // The record spans three cache lines: validity and position, the
        // cells, the node links.
        const char *record = reinterpret_cast<const char *>(&row);
        for (std::size_t line = 0; line < sizeof(TNodeData); line += 64)
            __builtin_prefetch(record + line);
        return;
    }
    const int column = FTests.front().column;
    if (column >= row.StringList.size())
        return;
    if (ahead == 1)
        __builtin_prefetch(row.StringList.constData() + column);
    else
        __builtin_prefetch(row.StringList[column].constData());
}

void CB_FilterNode(Document &doc, TFilterPass &pass, TNodeData &row)
{
    const bool hidden = !pass.Shows(row);
    doc.SetNodeFiltered(&row, hidden);
    if (hidden)
        doc.GetTable(row.NodeTable).SetSelected(&row, false);
}

void RefilterRows(Document &doc, TWhichTable table, TForEachNode mode)
{
    TFilterPass pass(doc, table);
    if (mode != feAll) {
        doc.ForEach(table, mode, [&](TNodeData &row) { CB_FilterNode(doc, pass, row); });
        return;
    }
    // The tree's view takes the new rows once, not row by row.
    TBaseGridTree &tree = doc.GetTable(table).Tree();
    tree.BeginUpdate();
    struct TTreeUpdate {
        TBaseGridTree &tree;
        ~TTreeUpdate() { tree.EndUpdate(); }
    } update { tree };
    // A row's record, its list of cells and a cell's text lie in three places
    // of memory: over all rows they are asked for ahead, so that the waits
    // for them overlap.
    const DocumentTable &t = doc.GetTable(table);
    constexpr std::size_t kStage = 16;
    std::vector<TNodeData *> rows;
    rows.reserve(std::size_t(t.RowCount()));
    TNodeData *ahead = t.First();
    for (std::size_t i = 0;; ++i) {
        // The walk along the rows keeps three stages ahead of the tests.
        while (ahead && rows.size() <= i + 3 * kStage) {
            rows.push_back(ahead);
            ahead = t.Next(ahead);
        }
        if (i >= rows.size())
            break;
        for (int stage = 0; stage <= 2; ++stage) {
            const std::size_t next = i + (std::size_t(stage) + 1) * kStage;
            if (next < rows.size())
                pass.Prefetch(*rows[next], stage);
        }
        CB_FilterNode(doc, pass, *rows[i]);
        TRowWalkProgress::Row();
    }
}

QString FilterDescription(const TFilterParams &p)
{
    auto format = [](const char *text, const QStringList &args) {
        return Translate(QString::fromLatin1(text), args);
    };
    switch (p.FilterType) {
    case ftDate:
        switch (p.FilterSubType) {
        case fsSmaller:
            return format("[before %s]", { p.Text1 });
        case fsGreater:
            return format("[after %s]", { p.Text1 });
        case fsFromTo:
            return format("[from %s till %s]", { p.Text1, p.text2 });
        default:
            return QString();
        }
    case ftList:
        return format("[= %s]", { TCommaText(p.Text1).Strings().join(QLatin1Char(',')) });
    case ftText:
        switch (p.FilterSubType) {
        case fsText:
            return format("[contains %s]", { p.Text1 });
        case fsEmpty:
            return Translate(QStringLiteral("[empty fields]"));
        default:
            return QString();
        }
    case ftNumber:
        switch (p.FilterSubType) {
        case fsSmaller:
            return format("[smaller than %s]", { p.Text1 });
        case fsGreater:
            return format("[bigger than %s]", { p.Text1 });
        case fsEquals:
            return format("[= %s]", { p.Text1 });
        case fsFromTo:
            return format("[from %s to %s]", { p.Text1, p.text2 });
        default:
            return QString();
        }
    case ftNone:
        break;
    }
    return QString();
}

TFilterMark FilterMark(const TFilterParams &params)
{
    TFilterMark mark;
    mark.description = FilterDescription(params);
    mark.image = mark.description.isEmpty() ? 23 : 22;
    return mark;
}

std::optional<std::vector<TFilterMark>> FilterData(Document &doc, TWhichTable table)
{
    if (doc.IsUpdating())
        return std::nullopt;
    RefilterRows(doc, table, feAll);
    InvalidateTimeChart(doc);
    doc.Host().UpdateStatusBar();
    std::vector<TFilterMark> marks;
    for (int column = 0; column < doc.GetTableColCount(table); ++column)
        marks.push_back(FilterMark(doc.GetHeader(table, column)->Filter));
    return marks;
}
