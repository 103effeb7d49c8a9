#include "tables/SelectedList.h"

#include <QSet>

TSelectedList::TChange TSelectedList::Change(const std::vector<TNodeData *> &selected)
{
    TChange change;
    QSet<const TNodeData *> now;
    now.reserve(qsizetype(selected.size()));
    for (TNodeData *row : selected)
        now.insert(row);
    for (TNodeData *&row : FRows) {
        if (row && !now.contains(row)) {
            change.repaint.push_back(row);
            FIndex.remove(row);
            row = nullptr;
        }
    }
    for (TNodeData *row : selected) {
        if (!FIndex.contains(row)) {
            change.repaint.push_back(row);
            FIndex.insert(row, FRows.size());
            FRows.push_back(row);
        }
    }
    for (TNodeData *row : change.repaint)
        row->RecalcBitmap = true;
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
    if (FRows.size() == std::size_t(FIndex.size()))
        return;
    std::size_t kept = 0;
    for (TNodeData *row : FRows) {
        if (!row)
            continue;
        FIndex[row] = kept;
        FRows[kept++] = row;
    }
    FRows.resize(kept);
}
