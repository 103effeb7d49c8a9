#include "dialogs/stats/AbsenceCount.h"

#include <algorithm>

double AbsentDaysInRange(
    const TAbsentItem &item, int index, TDateTime from, TDateTime to, const TAbsenceMeasure &measure)
{
    const TDateTime first = std::max(DatePart(item.start), DatePart(from));
    const TDateTime last = std::min(DatePart(item.last), DatePart(to));
    if (!(first <= last))
        return 0;
    return std::max(0.0, measure(index, first, last + 1) / 60 / 8);
}

std::vector<std::vector<double>> AbsenceTotals(std::span<const TAbsentItem> items, int rowCount,
    int reasonCount, TDateTime from, TDateTime to, const TAbsenceMeasure &measure)
{
    std::vector<std::vector<double>> totals(
        std::size_t(std::max(rowCount, 0)), std::vector<double>(std::size_t(std::max(reasonCount, 0)), 0.0));
    for (std::size_t i = 0; i < items.size(); ++i) {
        const TAbsentItem &item = items[i];
        if (item.row < 0 || item.row >= rowCount || item.reason < 0 || item.reason >= reasonCount)
            continue;
        totals[std::size_t(item.row)][std::size_t(item.reason)]
            += AbsentDaysInRange(item, int(i), from, to, measure);
    }
    return totals;
}
