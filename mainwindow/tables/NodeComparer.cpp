#include "mainwindow/tables/NodeComparer.h"

#include "document/Document.h"
#include "document/DocumentTable.h"
#include "document/calendar/DateTime.h"
#include "mainwindow/tables/TableCells.h"

#include <algorithm>

namespace {

bool isNumeric(TColumnType type)
{
    return type == ctDate || type == ctNumber;
}

int compareValues(double x, double y)
{
    return x < y ? -1 : x > y ? 1 : 0;
}

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

int TNodeComparer::ComparePrepared(TGridNode *a, TGridNode *b) const
{
    const auto *x = static_cast<const TNodeData *>(FTree->GetNodeData(a));
    const auto *y = static_cast<const TNodeData *>(FTree->GetNodeData(b));
    // Incomplete rows first whatever the direction the tree applies.
    const int first = FDirection == sdAscending ? 1 : -1;
    if (x->nodeValid != y->nodeValid)
        return x->nodeValid ? first : -first;
    // The places are looked up only for a key that needs them.
    std::size_t i = 0, j = 0;
    bool placed = false;
    auto place = [&] {
        if (!placed) {
            i = a->Index();
            j = b->Index();
            placed = true;
        }
    };
    for (const TPreparedKey &key : FPrepared) {
        int result = 0;
        switch (key.source) {
        case TPreparedKey::ksValues:
            place();
            result = compareValues(key.values[i], key.values[j]);
            break;
        case TPreparedKey::ksTexts:
            place();
            result = CompareText(key.texts[i], key.texts[j]);
            break;
        case TPreparedKey::ksStart:
            result = compareValues(x->nodeStart, y->nodeStart);
            break;
        case TPreparedKey::ksEnd:
            result = compareValues(x->nodeEnd, y->nodeEnd);
            break;
        }
        if (result != 0)
            return key.reversed ? -result : result;
    }
    return 0;
}

void TNodeComparer::SortTree(Document &doc, TWhichTable table, const std::vector<TSortKey> &keys)
{
    if (keys.empty())
        return;
    const DocumentTable &rows = doc.GetTable(table);
    TBaseGridTree &tree = doc.GetTable(table).Tree();
    // Values of columns that are no key are not kept.
    for (auto it = FValues.begin(); it != FValues.end();) {
        const bool key = std::any_of(
            keys.begin(), keys.end(), [&](const TSortKey &k) { return k.column == it->first.second; });
        it = it->first.first == table && !key ? FValues.erase(it) : std::next(it);
    }

    const std::size_t count = std::size_t(rows.RowCount());
    FPrepared.assign(keys.size(), TPreparedKey {});
    // The tree applies the first key's direction to every result; keys in
    // the other direction answer reversed.
    const TSortDirection direction = keys.front().direction;
    FDirection = direction;
    bool byPlace = false; // some key is read by the rows' places
    std::vector<TColumnType> types;
    for (std::size_t k = 0; k < keys.size(); ++k) {
        const int column = keys[k].column;
        types.push_back(doc.GetColumnType(table, column));
        TPreparedKey &key = FPrepared[k];
        key.reversed = keys[k].direction != direction;
        // Outside an update bracket the record holds its start and end parsed
        // from their cells.
        const bool parsed = types.back() == ctDate && !doc.IsUpdating();
        if (parsed && doc.GetConnection(table, cnStart) == column) {
            key.source = TPreparedKey::ksStart;
        } else if (parsed && doc.GetConnection(table, cnEnd) == column) {
            key.source = TPreparedKey::ksEnd;
        } else if (isNumeric(types.back())) {
            key.source = TPreparedKey::ksValues;
            key.values.resize(count);
            byPlace = true;
        } else {
            key.source = TPreparedKey::ksTexts;
            key.texts.resize(count);
            byPlace = true;
        }
    }
    if (byPlace) {
        // Row i of the walk is the node of sibling index i.
        std::size_t i = 0;
        for (const TNodeData *row = rows.First(); row && i < count; row = rows.Next(row), ++i) {
            for (std::size_t k = 0; k < keys.size(); ++k) {
                TPreparedKey &key = FPrepared[k];
                if (key.source == TPreparedKey::ksValues)
                    key.values[i] = ValueOf(*row, keys[k].column, types[k]);
                else if (key.source == TPreparedKey::ksTexts)
                    key.texts[i] = CellOf(*row, keys[k].column);
            }
        }
    }

    // While the tree sorts, its comparisons look the keys up; the header takes
    // the first key, and setting it must not sort on its own.
    struct TPrepared {
        TNodeComparer &comparer;
        TBaseGridTree &tree;
        TGTAutoOptions options = tree.AutoOptions();
        decltype(TBaseGridTree::OnCompareNodes) compare = tree.OnCompareNodes;
        TPrepared(TNodeComparer &c, TBaseGridTree &t)
            : comparer(c)
            , tree(t)
        {
            TGTAutoOptions quiet = options;
            quiet.exclude(toAutoSort);
            tree.SetAutoOptions(quiet);
            tree.OnCompareNodes = [this](TBaseGridTree &, TGridNode *a, TGridNode *b, int) {
                return comparer.ComparePrepared(a, b);
            };
            comparer.FTree = &tree;
        }
        ~TPrepared()
        {
            tree.SetAutoOptions(options);
            tree.OnCompareNodes = compare;
            comparer.FTree = nullptr;
            comparer.FPrepared.clear();
        }
    } prepared(*this, tree);
    tree.SetSortColumn(keys.front().column);
    tree.SetSortDirection(direction);
    // The rows are complete records: the tree need not initialise them first.
    tree.SortTree(keys.front().column, direction, false);
}
