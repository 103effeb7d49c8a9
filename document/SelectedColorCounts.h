#pragma once

#include <QHash>
#include <functional>
#include <vector>

// How many selected rows of a table use each colour index. The table keeps it
// as rows enter and leave its selection and as a selected row's colour
// changes, so a question about the selected colours costs the colours, not the
// rows.
class TSelectedColorCounts {
public:
    // One more (`delta` 1) or one fewer (-1) selected row of colour `color`.
    void Add(int color, int delta);
    void Clear();
    int Count(int color) const;
    // Calls `visit` with each colour some selected row uses, until it returns
    // true; returns whether it did.
    bool AnyColor(const std::function<bool(int color)> &visit) const;

private:
    // A plan's rows share a few colours: small indexes are counted in place,
    // others (no colour: -1, a stray big index) by hash.
    static constexpr int MaxInPlace = 1 << 12;
    std::vector<int> FCounts;
    QHash<int, int> FOthers;
};
