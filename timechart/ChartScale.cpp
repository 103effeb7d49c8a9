#include "timechart/ChartScale.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

// Sizes are computed on exact fractions in 64-bit integers and truncated toward
// zero: a zoom of 75 % on an 8-point font gives exactly 8 pixels per line, where
// the same sum in floating point lands just below it.

int TChartScale::GetZoom() const
{
    return std::max(1, Zoom);
}

int TChartScale::_TimeChartColWidth(int extraZoom) const
{
    return std::max(1, (GetZoom() + extraZoom) * FTimeChartColWidth / 100);
}

int TChartScale::TimeChartFullRowHeight(int extraZoom) const
{
    // (zoom) x (points x 96 / 72) / 100 pixels per line.
    const std::int64_t line = std::int64_t(extraZoom + GetZoom()) * FTimeChartFontSize * 96 / (72 * 100);
    return int(std::max<std::int64_t>(1, 4 * std::llabs(line)));
}

int TChartScale::TimeChartRowHeight(int extraZoom) const
{
    const int full = TimeChartFullRowHeight(extraZoom);
    int h = full;
    if (FRowSet == rsTopMiddle)
        h = full * 2 / 3;
    else if (FRowSet == rsTop)
        h = full / 3;
    const int height = h + 3 - h % 3;
    return height > 0 ? height : 1;
}

int TChartScale::GetTimeChartFontSize() const
{
    return GetZoom() * FTimeChartFontSize / 100;
}

int TChartScale::_TimeChartFontSize(int extraZoom, int pixelsPerInch, int screenPixelsPerInch) const
{
    const int ppi = pixelsPerInch > 0 ? pixelsPerInch : screenPixelsPerInch;
    if (ppi <= 0)
        return 0;
    return int(std::int64_t(extraZoom + GetZoom()) * FTimeChartFontSize * screenPixelsPerInch / (100 * ppi));
}

int TChartScale::ResizeGrabWidth() const
{
    return std::min(GetTimeChartColWidth() / 4, 4);
}
