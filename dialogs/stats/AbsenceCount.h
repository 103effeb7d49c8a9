#pragma once

#include "document/calendar/DateTime.h"

#include <functional>
#include <span>
#include <vector>

// The absent days of each chart row and reason within a range of days, both ends
// included.

// An absent-day row: its first and last day, the chart row it is shown in and the
// index of its reason (-1: none).
struct TAbsentItem {
    TDateTime start = 0;
    TDateTime last = 0;
    int row = 0;
    int reason = -1;
};

// The working minutes the absent-day row `item` (an index into the items) has from
// `from` up to `to` (exclusive), measured as the row measures its own length.
using TAbsenceMeasure = std::function<double(int item, TDateTime from, TDateTime to)>;

// The days of an absent-day row inside [from, to]: its length measured over the
// days it shares with the range, in days of 8 hours; 0 when it shares none.
double AbsentDaysInRange(
    const TAbsentItem &item, int index, TDateTime from, TDateTime to, const TAbsenceMeasure &measure);

// The days per chart row (0 .. rowCount - 1) and reason (0 .. reasonCount - 1).
// Rows outside them are left out.
std::vector<std::vector<double>> AbsenceTotals(std::span<const TAbsentItem> items, int rowCount,
    int reasonCount, TDateTime from, TDateTime to, const TAbsenceMeasure &measure);
