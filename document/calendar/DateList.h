#pragma once

#include "document/calendar/DateTime.h"

#include <QString>
#include <vector>

struct TNodeData;

// A dated interval: public holidays and absent days for the working-time walk,
// bars for the statistics. `ende` is exclusive where the list is used as a set of
// days; `node` points at the row the interval came from (not owned), if any.
struct TDateListItem {
    TDateListItem() = default;
    TDateListItem(TDateTime from, TDateTime until, int at, TNodeData *row, const QString &text)
        : start(from)
        , ende(until)
        , position(at)
        , node(row)
        , name(text)
    { }

    TDateTime start = 0;
    TDateTime ende = 0;
    int position = 0;
    TNodeData *node = nullptr;
    QString name;
    double value = 0;
};

// The list owns its items.
class tDateList {
public:
    int Count() const { return static_cast<int>(FItems.size()); }
    bool IsEmpty() const { return FItems.empty(); }
    TDateListItem &operator[](int i) { return FItems[static_cast<size_t>(i)]; }
    const TDateListItem &operator[](int i) const { return FItems[static_cast<size_t>(i)]; }

    TDateListItem &Add(const TDateListItem &item);
    TDateListItem &Add(TDateTime start, TDateTime ende, int position, TNodeData *node, const QString &name);
    // Removes item i; nothing for an index out of range.
    void Delete(int i);
    void Clear() { FItems.clear(); }

    // Ascending by start, then by end.
    void SortDate();

    auto begin() { return FItems.begin(); }
    auto end() { return FItems.end(); }
    auto begin() const { return FItems.begin(); }
    auto end() const { return FItems.end(); }

private:
    std::vector<TDateListItem> FItems;
};
