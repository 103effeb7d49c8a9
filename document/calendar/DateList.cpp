#include "document/calendar/DateList.h"

#include <algorithm>

TDateListItem &tDateList::Add(const TDateListItem &item)
{
    FItems.push_back(item);
    return FItems.back();
}

TDateListItem &tDateList::Add(
    TDateTime start, TDateTime ende, int position, TNodeData *node, const QString &name)
{
    FItems.emplace_back(start, ende, position, node, name);
    return FItems.back();
}

void tDateList::Delete(int i)
{
    if (i >= 0 && i < Count())
        FItems.erase(FItems.begin() + i);
}

void tDateList::SortDate()
{
    std::stable_sort(FItems.begin(), FItems.end(), [](const TDateListItem &a, const TDateListItem &b) {
        if (a.start != b.start)
            return a.start < b.start;
        return a.ende < b.ende;
    });
}
