#pragma once

#include "document/DocumentTypes.h"

#include <vector>

// The rows of one table that were selected at the last selection change
// (FSelectedList), in the order they became selected. On each change it tells
// which rows' selection state changed, so that only those are repainted, and
// which row the chart should show.
class TSelectedList {
public:
    struct TChange {
        // The rows whose selection state changed, their bars marked for
        // redraw. Each was selected before or is now: its repaint takes the
        // area of a selected bar.
        std::vector<TNodeData *> repaint;
        // The first `left` rows of `repaint` left the selection, the others joined it.
        std::size_t left = 0;
        // The rows selected before and still.
        std::vector<TNodeData *> kept;
        // The row the chart scrolls to: the earliest selected row that is still
        // selected; none without a selection.
        TNodeData *centre = nullptr;
    };

    // `selected` is the table's selection now, in tree order.
    TChange Change(const std::vector<TNodeData *> &selected);
    // A deleted row leaves the list.
    void Remove(const TNodeData *row);

    bool Contains(const TNodeData *row) const
    {
        std::size_t place;
        return Find(row, place);
    }

private:
    // A row's place is kept in the row itself: a selection of every row of a
    // large plan then writes each row once, where a separate index of places
    // takes a scattered write per row into a table bigger than the cache.
    bool Find(const TNodeData *row, std::size_t &place) const;
    void Compact();

    // Rows in the order they became selected; a row that left is a null
    // entry until the list is compacted.
    std::vector<TNodeData *> FRows;
    std::size_t FCount = 0; // rows held (entries of FRows that are not null)
};
