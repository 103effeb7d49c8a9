#include "tables/NodeComparer.h"

#include "components/StableSort.h"
#include "document/Document.h"
#include "document/DocumentTable.h"
#include "document/calendar/DateTime.h"
#include "tables/TableCells.h"

#include <QThread>
#include <algorithm>
#include <cstdint>
#include <utility>

namespace {

bool isNumeric(TColumnType type)
{
    return type == ctDate || type == ctNumber;
}

int compareValues(double x, double y)
{
    return x < y ? -1 : x > y ? 1 : 0;
}

// A row of a sort under way: its first key beside its place among its
// siblings, so that the merges read the items in a row instead of the rows.
// Every key sorts ascending: a descending one is read negated (which answers
// each comparison reversed, ties and all).
struct TSortItem {
    double first = 0; // 0 when the first key is a text
    uint32_t place = 0;
    uint32_t valid = 0; // incomplete rows (0) come first in both directions
};

// The keys the items do not hold, read for every row by its place.
struct TLaterKey {
    bool byText = false;
    bool reversed = false;
    std::vector<double> values; // negated when reversed
    std::vector<QStringView> texts;
    int Compare(uint32_t i, uint32_t j) const
    {
        if (!byText)
            return compareValues(values[i], values[j]);
        const int result = CompareText(texts[i], texts[j]);
        return reversed ? -result : result;
    }
};

} // namespace

TNodeComparer::TNodeComparer(const Document &doc)
    : FDoc(doc)
{ }

int TNodeComparer::CompareNodes(TBaseGridTree &tree, TGridNode *a, TGridNode *b, int column)
{
    const TNodeData *rowA = tree.GetNodeData<TNodeData>(a);
    const TNodeData *rowB = tree.GetNodeData<TNodeData>(b);
    if (!rowA || !rowB)
        return 0;
    return CompareNodes(*rowA, *rowB, column, tree.SortDirection());
}

int TNodeComparer::CompareNodes(const TNodeData &a, const TNodeData &b, int column, TSortDirection direction)
{
    if (column < 0)
        return 0;
    // The tree reverses the result when sorting descending: incomplete rows are
    // put first by answering against the direction.
    const int first = direction == sdAscending ? 1 : -1;
    if (a.nodeValid != b.nodeValid)
        return a.nodeValid ? first : -first;
    const TColumnType type = FDoc.GetColumnType(a.NodeTable, column);
    if (isNumeric(type))
        return compareValues(ValueOf(a, column, type), ValueOf(b, column, type));
    return CompareText(CellOf(a, column), CellOf(b, column));
}

double TNodeComparer::ValueOf(const TNodeData &row, int column, TColumnType type)
{
    TColumnValues &values = FValues[{ row.NodeTable, column }];
    const TMinUnit unit = FDoc.GetMinUnit();
    // Entries of deleted rows are dropped now and then.
    if (values.type != type || values.unit != unit
        || values.rows.size() > 2 * qsizetype(FDoc.GetTableRowCount(row.NodeTable)) + 64) {
        values.rows.clear();
        values.type = type;
        values.unit = unit;
    }
    const QString &cell = CellOf(row, column);
    auto it = values.rows.find(&row);
    if (it != values.rows.end()) {
        // A changed cell holds other string data; the same data is the same text.
        const bool same = it->text.constData() == cell.constData() && it->text.size() == cell.size();
        if (same || it->text == cell)
            return it->value;
    }
    double value = 0;
    if (type == ctDate)
        value = FDoc.StrToDateTime(cell);
    else if (!TryStrToFloat(cell, value))
        value = 0;
    values.rows.insert(&row, TCachedValue { cell, value });
    return value;
}

void TNodeComparer::SortTree(
    Document &doc, TWhichTable table, const std::vector<TSortKey> &keys, bool mayPaint)
{
    if (keys.empty())
        return;
    TBaseGridTree &tree = doc.GetTable(table).Tree();
    // Values of columns that are no key are not kept.
    for (auto it = FValues.begin(); it != FValues.end();) {
        const bool key = std::any_of(
            keys.begin(), keys.end(), [&](const TSortKey &k) { return k.column == it->first.second; });
        it = it->first.first == table && !key ? FValues.erase(it) : std::next(it);
    }

    // Outside an update bracket the record holds its start and end parsed
    // from their cells.
    const int start = doc.IsUpdating() ? -1 : doc.GetConnection(table, cnStart);
    const int end = doc.IsUpdating() ? -1 : doc.GetConnection(table, cnEnd);
    std::vector<TColumnType> types;
    for (const TSortKey &key : keys)
        types.push_back(doc.GetColumnType(table, key.column));
    auto valueOf = [&](const TNodeData &row, std::size_t k) {
        const int column = keys[k].column;
        double value = 0;
        if (types[k] == ctDate && column == start)
            value = row.nodeStart;
        else if (types[k] == ctDate && column == end)
            value = row.nodeEnd;
        else
            value = ValueOf(row, column, types[k]);
        return keys[k].direction == sdAscending ? value : -value;
    };
    // A first key that is a number or date goes into the items.
    const std::size_t later = isNumeric(types.front()) ? 1 : 0;

    auto orderNow = [&](const std::vector<TGridNode *> &nodes) {
        const std::size_t count = nodes.size();
        std::vector<TSortItem> items(count);
        std::vector<TLaterKey> laterKeys(keys.size() - later);
        for (std::size_t k = later; k < keys.size(); ++k) {
            TLaterKey &key = laterKeys[k - later];
            key.byText = !isNumeric(types[k]);
            key.reversed = keys[k].direction != sdAscending;
            if (key.byText)
                key.texts.resize(count);
            else
                key.values.resize(count);
        }
        for (std::size_t i = 0; i < count; ++i) {
            const TNodeData &row = *tree.GetNodeData<TNodeData>(nodes[i]);
            TSortItem &item = items[i];
            item.place = uint32_t(i);
            item.valid = row.nodeValid ? 1 : 0;
            if (later)
                item.first = valueOf(row, 0);
            for (std::size_t k = later; k < keys.size(); ++k) {
                TLaterKey &key = laterKeys[k - later];
                if (key.byText)
                    key.texts[i] = CellOf(row, keys[k].column);
                else
                    key.values[i] = valueOf(row, k);
            }
        }
        // Ties keep their order: an item goes before an earlier one only when
        // it really sorts first.
        auto secondFirst = [&](const TSortItem &a, const TSortItem &b) {
            if (a.valid != b.valid)
                return a.valid > b.valid;
            if (b.first < a.first)
                return true;
            if (a.first < b.first)
                return false;
            for (const TLaterKey &key : laterKeys) {
                if (const int result = key.Compare(a.place, b.place))
                    return result > 0;
            }
            return false;
        };
        std::vector<uint32_t> places;
        if (GridTreeSort::StableSortInParts(items, secondFirst, std::size_t(QThread::idealThreadCount()))) {
            places.reserve(count);
            for (const TSortItem &item : items)
                places.push_back(item.place);
        }
        return places;
    };
    // Reading the keys and comparing them only reads the rows (and this
    // comparer's own values), so the owner may run it elsewhere.
    auto order = [&](const std::vector<TGridNode *> &nodes) {
        std::vector<uint32_t> places;
        const auto work = [&] { places = orderNow(nodes); };
        if (FRunLong && mayPaint && !doc.IsUpdating())
            FRunLong(nodes.size(), work);
        else
            work();
        return places;
    };

    // The header takes the first key; setting it must not sort on its own.
    struct TQuietAutoSort {
        TBaseGridTree &tree;
        TGTAutoOptions options = tree.AutoOptions();
        explicit TQuietAutoSort(TBaseGridTree &t)
            : tree(t)
        {
            TGTAutoOptions quiet = options;
            quiet.exclude(toAutoSort);
            tree.SetAutoOptions(quiet);
        }
        ~TQuietAutoSort() { tree.SetAutoOptions(options); }
    } quiet(tree);
    tree.SetSortColumn(keys.front().column);
    tree.SetSortDirection(keys.front().direction);
    tree.SortTreeBy(keys.front().column, keys.front().direction, order);
}
