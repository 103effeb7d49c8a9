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
        std::size_t place;
        if (FIndex.Find(row, place))
            kept[place] = true;
        else
            added.push_back(row);
    }
    std::size_t removed = 0;
    for (std::size_t place = 0; place < FRows.size(); ++place) {
        TNodeData *&row = FRows[place];
        if (row && kept[place]) {
            change.kept.push_back(row);
        } else if (row) {
            change.repaint.push_back(row);
            row = nullptr;
            ++removed;
        }
    }
    change.left = removed;
    if (removed * 2 >= FIndex.Size()) {
        // Most of the list left: the index is made anew from the rest.
        FIndex.Clear();
        Compact();
    } else {
        for (std::size_t i = 0; i < removed; ++i)
            FIndex.Remove(change.repaint[i]);
    }
    if (!added.empty()) {
        FIndex.Reserve(FIndex.Size() + added.size());
        FRows.reserve(FRows.size() + added.size());
        for (TNodeData *row : added) {
            if (!FIndex.Add(row, FRows.size())) // named twice
                continue;
            FRows.push_back(row);
            change.repaint.push_back(row);
        }
    }
    for (TNodeData *row : change.repaint)
        row->RecalcBitmap = true;
    // The list starts with a row, and holds at most as many gaps as rows.
    if ((!FRows.empty() && !FRows.front()) || FRows.size() > 2 * FIndex.Size() + 16)
        Compact();
    change.centre = FRows.empty() ? nullptr : FRows.front();
    return change;
}

void TSelectedList::Remove(const TNodeData *row)
{
    std::size_t place;
    if (!FIndex.Find(row, place))
        return;
    FRows[place] = nullptr;
    FIndex.Remove(row);
    if (FRows.size() > 2 * FIndex.Size() + 16)
        Compact();
}

void TSelectedList::Compact()
{
    // The index follows the rows as they move up (one emptied beforehand is
    // filled anew).
    std::size_t count = 0;
    for (TNodeData *row : FRows) {
        if (!row)
            continue;
        FIndex.Insert(row, count);
        FRows[count++] = row;
    }
    FRows.resize(count);
}
