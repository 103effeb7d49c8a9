#pragma once

#include "document/calendar/DateTime.h"

#include <QString>
#include <vector>

// The scales of the utilisation chart's axes: round value steps and date ticks
// that leave room for their labels.

struct TValueAxis {
    double min = 0;
    double max = 1;
    double step = 1;
};

// From 0 (or a round value below the lowest) to a round value at or above the
// highest, in about five steps of 1, 2 or 5 times a power of ten; steps of whole
// numbers when every value is whole.
TValueAxis ValueAxisFor(double lowest, double highest, bool whole);
// A value label in the user's number format, with the decimals the step needs.
QString ValueLabel(double value, double step);

struct TDateTicks {
    std::vector<TDateTime> dates;
    bool withTime = false; // steps under a day label the time too
};

// Ticks on [from, to] at the smallest round step (minutes, hours, days, a week,
// months, years) at which labels `dateWidth` (or with a time `dateTimeWidth`)
// pixels wide fit on an axis `pixels` long.
TDateTicks DateTicksFor(TDateTime from, TDateTime to, int pixels, int dateWidth, int dateTimeWidth);
QString DateLabel(TDateTime date, bool withTime);
