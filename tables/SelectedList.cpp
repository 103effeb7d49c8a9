#include "tables/SelectedList.h"

TSelectedList::TChange TSelectedList::Change(const std::vector<TNodeData *> &selected)
{
    TChange change;
    // The listed rows still selected are found through the index (by place), the
    // others are new: no set of the whole selection is made, and a selection that
    // shrinks to a few rows or grows to all of them costs a look-up per row.
    std::vector<bool> kept(FRows.size(), false);
    std::vector<TNodeData *> added;
    for (TNodeData *row : selected) {
        const auto it = FIndex.constFind(row);
        if (it == FIndex.constEnd())
            added.push_back(row);
        else
            kept[*it] = true;
    }
    std::size_t removed = 0;
    for (std::size_t place = 0; place < FRows.size(); ++place) {
        TNodeData *&row = FRows[place];
        if (row && !kept[place]) {
            change.repaint.push_back(row);
            row = nullptr;
            ++removed;
        }
    }
    if (removed * 2 >= std::size_t(FIndex.size())) {
        // Most of the list left: the index is made anew from the rest.
        FIndex.clear();
        Compact();
    } else {
        for (std::size_t i = 0; i < removed; ++i)
            FIndex.remove(change.repaint[i]);
    }
    if (!added.empty()) {
        FIndex.reserve(FIndex.size() + qsizetype(added.size()));
        FRows.reserve(FRows.size() + added.size());
        for (TNodeData *row : added) {
            if (FIndex.contains(row)) // named twice
                continue;
            FIndex.insert(row, FRows.size());
            FRows.push_back(row);
            change.repaint.push_back(row);
        }
    }
    for (TNodeData *row : change.repaint)
        row->RecalcBitmap = true;
    // The list starts with a row, and holds at most as many gaps as rows.
    if ((!FRows.empty() && !FRows.front()) || FRows.size() > 2 * std::size_t(FIndex.size()) + 16)
        Compact();
    change.centre = FRows.empty() ? nullptr : FRows.front();
    return change;
}

void TSelectedList::Remove(const TNodeData *row)
{
    const auto it = FIndex.constFind(row);
    if (it == FIndex.constEnd())
        return;
    FRows[*it] = nullptr;
    FIndex.erase(it);
    if (FRows.size() > 2 * std::size_t(FIndex.size()) + 16)
        Compact();
}

void TSelectedList::Compact()
{
    // An index emptied beforehand is filled as the rows move up.
    const bool fill = FIndex.isEmpty();
    std::size_t count = 0;
    for (TNodeData *row : FRows) {
        if (!row)
            continue;
        if (fill)
            FIndex.insert(row, count);
        else if (count != FIndex.value(row))
            FIndex[row] = count;
        FRows[count++] = row;
    }
    FRows.resize(count);
}
