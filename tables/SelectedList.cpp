#include "tables/SelectedList.h"

#include <algorithm>

bool TSelectedList::Find(const TNodeData *row, std::size_t &place) const
{
    place = row->SelectedPlace;
    return place < FRows.size() && FRows[place] == row;
}

TSelectedList::TChange TSelectedList::Change(const std::vector<TNodeData *> &selected)
{
    TChange change;
    // One look at each selected row: a listed one is marked kept by its place,
    // a new one joins the list's end at once and is marked for redraw while
    // it is at hand. No set of the whole selection is made, and a selection
    // that shrinks to a few rows or grows to all of them costs a row each.
    const std::size_t listed = FRows.size();
    std::vector<bool> kept(listed, false);
    std::vector<TNodeData *> added;
    FRows.reserve(std::max(listed, selected.size()));
    constexpr std::size_t ahead = 16; // rows in table order lie anywhere in memory
    for (std::size_t i = 0; i < selected.size(); ++i) {
        if (i + ahead < selected.size())
            __builtin_prefetch(&selected[i + ahead]->SelectedPlace, 1);
        TNodeData *row = selected[i];
        std::size_t place;
        if (Find(row, place)) {
            if (place < listed) // else named twice
                kept[place] = true;
            continue;
        }
        row->SelectedPlace = std::uint32_t(FRows.size());
        row->RecalcBitmap = true;
        FRows.push_back(row);
        added.push_back(row);
    }
    FCount += added.size();
    for (std::size_t place = 0; place < listed; ++place) {
        TNodeData *&row = FRows[place];
        if (row && kept[place]) {
            change.kept.push_back(row);
        } else if (row) {
            row->RecalcBitmap = true;
            change.repaint.push_back(row);
            row = nullptr;
        }
    }
    change.left = change.repaint.size();
    FCount -= change.left;
    if (change.repaint.empty())
        change.repaint = std::move(added);
    else
        change.repaint.insert(change.repaint.end(), added.begin(), added.end());
    // The list starts with a row, and holds at most as many gaps as rows.
    if ((!FRows.empty() && !FRows.front()) || FRows.size() > 2 * FCount + 16)
        Compact();
    change.centre = FRows.empty() ? nullptr : FRows.front();
    return change;
}

void TSelectedList::Remove(const TNodeData *row)
{
    std::size_t place;
    if (!Find(row, place))
        return;
    FRows[place] = nullptr;
    --FCount;
    if (FRows.size() > 2 * FCount + 16)
        Compact();
}

void TSelectedList::Compact()
{
    std::size_t count = 0;
    for (TNodeData *row : FRows) {
        if (!row)
            continue;
        row->SelectedPlace = std::uint32_t(count);
        FRows[count++] = row;
    }
    FRows.resize(count);
}
