#include "platform/workbook/Sheet.h"

#include <algorithm>

namespace platform::workbook {

namespace {

template <typename A, typename B> bool before(const A &a, const B &b)
{
    return a.row != b.row ? a.row < b.row : a.column < b.column;
}

struct Place {
    int row;
    int column;
};

} // namespace

QString Sheet::cell(int row, int column) const
{
    const Place place { row, column };
    const auto it = std::lower_bound(
        cells_.begin(), cells_.end(), place, [](const Cell &c, const Place &p) { return before(c, p); });
    return it != cells_.end() && it->row == row && it->column == column ? it->text : QString();
}

int Sheet::lastRowWithValue(int lastColumn) const
{
    int last = 0;
    for (const Cell &c : cells_) {
        if (c.column <= lastColumn)
            last = std::max(last, c.row);
    }
    return last;
}

void Sheet::reset(const QString &name)
{
    name_ = name;
    lastRow_ = 0;
    cells_.clear();
    ordered_ = true;
}

void Sheet::addCell(int row, int column, QString text)
{
    if (text.isEmpty())
        return;
    lastRow_ = std::max(lastRow_, row);
    if (!cells_.empty() && !before(cells_.back(), Place { row, column }))
        ordered_ = false;
    cells_.push_back({ row, column, std::move(text) });
}

void Sheet::finish()
{
    if (ordered_)
        return;
    std::stable_sort(cells_.begin(), cells_.end(), [](const Cell &a, const Cell &b) { return before(a, b); });
    // Of cells at the same place the last one read stays.
    std::vector<Cell> kept;
    kept.reserve(cells_.size());
    for (Cell &c : cells_) {
        if (!kept.empty() && kept.back().row == c.row && kept.back().column == c.column)
            kept.back() = std::move(c);
        else
            kept.push_back(std::move(c));
    }
    cells_ = std::move(kept);
    ordered_ = true;
}

} // namespace platform::workbook
