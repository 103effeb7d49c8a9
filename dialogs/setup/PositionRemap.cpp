#include "dialogs/setup/PositionRemap.h"

#include "document/ChartRows.h"
#include "document/Document.h"
#include "document/DocumentTable.h"
#include "document/PositionGroupMembers.h"
#include "document/UndoGroup.h"
#include "document/text/CommaText.h"

#include <QSet>
#include <algorithm>

namespace {

// The chart rows of a position list: per row its name, its position and its
// sub-row; per position its first row. Each item is read once.
struct Slots {
    QStringList names;
    std::vector<int> owner;
    std::vector<int> subRow;
    std::vector<int> first;

    explicit Slots(const QStringList &items)
    {
        for (int p = 0; p < items.size(); ++p) {
            const TCommaText item(items[p]);
            const QString name = item.Item(0);
            first.push_back(int(owner.size()));
            for (int r = 0, rows = TChartRows::RowCountOf(item); r < rows; ++r) {
                names.append(TChartRows::RowName(name, r));
                owner.push_back(p);
                subRow.push_back(r);
            }
        }
    }
    int rowsOf(int position) const
    {
        const std::size_t p = std::size_t(position);
        return (p + 1 < first.size() ? first[p + 1] : int(owner.size())) - first[p];
    }
};

} // namespace

TPositionRemap::TPositionRemap(
    const QStringList &oldItems, const QStringList &newItems, const std::vector<int> &origins)
    : FOldItems(oldItems)
    , FNewItems(newItems)
    , FNewIndexOf(std::size_t(oldItems.size()), -1)
{
    for (std::size_t j = 0; j < origins.size() && j < std::size_t(newItems.size()); ++j) {
        const int o = origins[j];
        if (o >= 0 && o < oldItems.size() && FNewIndexOf[std::size_t(o)] < 0)
            FNewIndexOf[std::size_t(o)] = int(j);
    }

    const Slots before(oldItems);
    const Slots after(newItems);
    // A cell names the first row of that name, as the document parses it.
    QSet<QString> seen;
    for (int s = 0; s < before.names.size(); ++s) {
        const QString &name = before.names[s];
        if (name.isEmpty() || name == QLatin1String("*") || seen.contains(name))
            continue;
        seen.insert(name);
        const int j = FNewIndexOf[std::size_t(before.owner[std::size_t(s)])];
        QString target;
        if (j >= 0) {
            const int row = std::min(after.rowsOf(j) - 1, before.subRow[std::size_t(s)]);
            target = after.names[after.first[std::size_t(j)] + row];
        }
        if (target != name)
            FRenamed.insert(name, target);
    }
}

int TPositionRemap::NewIndexOf(int oldIndex) const
{
    return oldIndex >= 0 && oldIndex < int(FNewIndexOf.size()) ? FNewIndexOf[std::size_t(oldIndex)] : -1;
}

QStringList TPositionRemap::RemapGroups(const QStringList &groups) const
{
    // Members name old positions by their whole items or their names; they are
    // written as whole items.
    const TPositionGroupMembers oldMembers(FOldItems);
    QStringList remapped;
    for (const QString &members : groups) {
        QStringList kept;
        for (const QString &member : ParseCommaText(members)) {
            const int j = NewIndexOf(oldMembers.IndexOf(member));
            if (j >= 0)
                kept.append(FNewItems[j]);
        }
        remapped.append(ToCommaText(kept));
    }
    return remapped;
}

void TPositionRemap::Apply(Document &doc) const
{
    if (FRenamed.isEmpty())
        return;
    TUndoGroup group(doc);
    for (TWhichTable table : { tbTable, tbExclude }) {
        const int column = doc.GetConnection(table, cnPosition);
        if (column < 0)
            continue;
        const DocumentTable &rows = doc.GetTable(table);
        for (TNodeData *row = rows.First(); row; row = rows.Next(row)) {
            if (column >= row->StringList.size())
                continue;
            if (const QString *text = NewText(row->StringList.at(column)))
                doc.SetData_(row, cnPosition, *text);
        }
    }
}
