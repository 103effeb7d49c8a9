#pragma once

#include "document/DocumentTypes.h"

// The scale of the chart: pixels per day, row heights and font sizes for a zoom.
// Printing takes the same scale with an extra zoom of its own.
struct TChartScale {
    // Pixels per day at zoom 100 %.
    int FTimeChartColWidth = 8;
    // The zoom in percent.
    int Zoom = 100;
    // The chart font's size in points at zoom 100 %.
    int FTimeChartFontSize = 8;
    // The text lines per bar of the shown tab.
    TRowSet FRowSet = rsTopMiddleBottom;

    // The zoom, at least 1.
    int GetZoom() const;
    // Pixels per day, at least 1.
    int GetTimeChartColWidth() const { return _TimeChartColWidth(0); }
    int _TimeChartColWidth(int extraZoom) const;
    // Four text lines of the zoomed font at 96 pixels per inch, at least 1.
    int TimeChartFullRowHeight(int extraZoom) const;
    // The height of one chart row: the lines of the row set, grown to the next
    // multiple of 3 above it (always at least 1).
    int TimeChartRowHeight(int extraZoom) const;
    // The zoomed font size in points.
    int GetTimeChartFontSize() const;
    // The font size for a device of `pixelsPerInch` (0: the screen's) that makes the
    // text as large in inches as on the screen of `screenPixelsPerInch`.
    int _TimeChartFontSize(int extraZoom, int pixelsPerInch, int screenPixelsPerInch) const;
    // How near a bar's edge the pointer must be to resize it.
    int ResizeGrabWidth() const;
};
