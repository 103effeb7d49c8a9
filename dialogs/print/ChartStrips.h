#pragma once

#include "document/calendar/DateTime.h"

#include <QPoint>
#include <QSize>
#include <functional>
#include <vector>

// How a chart printout is cut into strips, one per page, and where a strip goes on
// its page. Pure arithmetic over the chart's sizes at each extra zoom.

// One strip: the days from From to To.
struct TChartStrip {
    TDateTime From = 0;
    TDateTime To = 0;
    bool operator==(const TChartStrip &) const = default;
};

// Strips of `days` div `pages` whole days from `start` on, as many as end on or
// before `end`; the days left over at the end are not printed. With more pages than
// days each strip is one day long.
std::vector<TChartStrip> StripDates(TDateTime start, TDateTime end, int days, int pages);

// The size of a strip's chart at an extra zoom.
using TStripSize = std::function<QSize(int zoom)>;

// Where a strip goes in the body of its page, in body coordinates.
struct TStripPlacement {
    int Zoom = 0;
    QSize Size; // the chart's size at Zoom
    QPoint Chart; // its top left
    QPoint Title; // the centre of the strip title's top edge
    bool operator==(const TStripPlacement &) const = default;
};

// The largest extra zoom whose chart is smaller than `room` in both directions,
// searched from 0 upwards, or downwards to `lowest` (the zoom of 1 pixel per day)
// when even the screen's zoom is too large; `lowest` when nothing fits.
int FitZoom(const TStripSize &sizeAt, QSize room, int lowest);

// The strip in a body of `body`: the chart fitted below a title band of
// `titleHeight`, as wide as the body when its width is what keeps it from the next
// zoom, chart and title centred together; a chart that still does not fit starts
// at the body's left edge and below the title, and is cut by the body.
TStripPlacement PlaceStrip(const TStripSize &sizeAt, int lowest, QSize body, int titleHeight);
