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
// The extra zoom at which a day is 1 pixel wide (or the smallest zoom there is).
int LowestZoom(const TTimeChart &chart);

// The chart of a strip as an image at `zoom` (0: the screen's), white where the
// chart leaves it; scaled down to `largest` where it is larger (none: as it is).
QImage StripImage(
    TTimeChart &chart, const TChartStrip &strip, int zoom, bool showToday, QSize largest = QSize());

// Records the strips on `job`, one per page, the first on the current page: a title
// with the strip's dates above the chart, both fitted into the body. The job has its
// first page and its header and footer lines already.
void PrintChartStrips(TPrintJob &job, TTimeChart &chart, const TChartPrintOptions &options);
