#pragma once

#include "dialogs/print/ChartStrips.h"

#include <QImage>

class TPrintJob;
class TTimeChart;

// What a chart printout covers and how it is drawn.
struct TChartPrintOptions {
    TDateTime Start = 0;
    TDateTime End = 0;
    int Days = 1; // the whole range's day count
    int Pages = 1; // the range is split into this many strips
    bool ShowToday = false;
    // Each strip drawn as an image at the screen's resolution (faster to print)
    // instead of drawn for the printer.
    bool AsBitmap = false;
};

// The size of the chart of `days` days at an extra zoom: the days at the zoom's
// column width, every chart row and one caption row.
QSize ChartSize(const TTimeChart &chart, int days, int zoom);

// The least width of a printed strip at an extra zoom, so that its position names
// (whose column takes at most a sixth of a strip) and its date captions (which
// start beside that column) show whole however few days it holds. Text widths grow
// with the font, which grows with the zoom: they are measured once, in a large
// font, and scaled.
class TStripLegibility {
public:
    explicit TStripLegibility(const TTimeChart &chart);
    int MinWidth(int zoom) const;

private:
    const TTimeChart &FChart;
    double FNamesPerPixel = 0; // the widest name, per pixel of font size
    double FCaptionsPerPixel = 0; // the widest month or week caption, likewise
};

// A strip's size on a page: the chart's, widened to the least legible width.
QSize StripSize(const TTimeChart &chart, const TStripLegibility &legibility, int days, int zoom);
// The extra zoom at which a day is 1 pixel wide (or the smallest zoom there is).
int LowestZoom(const TTimeChart &chart);

// The chart of a strip as an image at `zoom` (0: the screen's) in the strip's size,
// white where the chart leaves it; scaled down to `largest` where it is larger
// (none: as it is).
QImage StripImage(
    TTimeChart &chart, const TChartStrip &strip, int zoom, bool showToday, QSize largest = QSize());

// Records the strips on `job`, one per page, the first on the current page: a title
// with the strip's dates above the chart, both fitted into the body. The job has its
// first page and its header and footer lines already.
void PrintChartStrips(TPrintJob &job, TTimeChart &chart, const TChartPrintOptions &options);
