#pragma once

#include "document/DocumentTypes.h"
#include "platform/gui/Rect.h"

#include <QString>

class QPainter;

// What the chart painters ask of the chart's geometry: scale, and the rectangles
// of cells, bars, arrows and labels for any view. Every rectangle routine takes the
// view as arguments, so that the window, printing and export pass their own.
class IChartPaintGeometry {
public:
    virtual ~IChartPaintGeometry() = default;

    // Scale. extraZoom is the print zoom added to the window's (0 on screen);
    // pixelsPerInch 0 stands for the screen's.
    virtual int GetZoom() const = 0;
    virtual int _TimeChartColWidth(int extraZoom) const = 0;
    virtual int TimeChartFullRowHeight(int extraZoom) const = 0;
    virtual int TimeChartRowHeight(int extraZoom) const = 0;
    virtual int _TimeChartFontSize(int extraZoom, int pixelsPerInch) const = 0;
    virtual QString TimeChartFontName() const = 0;
    // Percent of transparency of filtered bars.
    virtual int GetTransparency() const = 0;

    // Rectangles (right and bottom exclusive) for the view [viewStart, viewEnd]
    // over `width` pixels with the rows scrolled up by `top`.
    virtual TRect TimeChartRect(TDateTime startDate, TDateTime endDate, double viewStart, double viewEnd,
        int top, int rowHeight, int width, int row, bool noExact, bool multiRow) const = 0;
    virtual TRect ItemRect(TNodeData *node, double viewStart, double viewEnd, int top, int rowHeight,
        int width, bool fullHeight) const = 0;
    virtual TRect ArrowRect(
        TNodeData *node, double viewStart, double viewEnd, int top, int rowHeight, int width) const = 0;
    // The label box of a row's position name, measured with the canvas's font and pen.
    virtual TRect PositionRect(QPainter &canvas, int top, int row, int width, int rowHeight) const = 0;
    // Whether chart row `row` is an extra row of a multi-row position.
    virtual bool isMultiRow(int row) const = 0;
};
