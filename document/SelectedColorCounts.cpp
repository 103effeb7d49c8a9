#include "document/SelectedColorCounts.h"

void TSelectedColorCounts::Add(int color, int delta)
{
    if (color >= 0 && color < MaxInPlace) {
        if (std::size_t(color) >= FCounts.size())
            FCounts.resize(std::size_t(color) + 1, 0);
        FCounts[std::size_t(color)] += delta;
        return;
    }
    const int count = FOthers.value(color) + delta;
    if (count == 0)
        FOthers.remove(color);
    else
        FOthers.insert(color, count);
}

void TSelectedColorCounts::Clear()
{
    FCounts.clear();
    FOthers.clear();
}

int TSelectedColorCounts::Count(int color) const
{
    if (color >= 0 && color < MaxInPlace)
        return std::size_t(color) < FCounts.size() ? FCounts[std::size_t(color)] : 0;
    return FOthers.value(color);
}

bool TSelectedColorCounts::AnyColor(const std::function<bool(int color)> &visit) const
{
    for (std::size_t color = 0; color < FCounts.size(); ++color)
        if (FCounts[color] > 0 && visit(int(color)))
            return true;
    for (auto it = FOthers.cbegin(); it != FOthers.cend(); ++it)
        if (it.value() > 0 && visit(it.key()))
            return true;
    return false;
}
