#pragma once

#include "timechart/BarPainter.h"
#include "timechart/ChartPaintGeometry.h"
#include "timechart/ChartPainter.h"
#include "timechart/PositionLabels.h"

class Document;
class TTimeChart;
struct TProgramSettings;

// The chart's geometry and view as its painters ask for them.
class TTimeChartPaintGeometry final : public IChartPaintGeometry {
public:
    TTimeChartPaintGeometry(TTimeChart &chart, Document &doc);

    int GetZoom() const override;
    int _TimeChartColWidth(int extraZoom) const override;
    int TimeChartFullRowHeight(int extraZoom) const override;
    int TimeChartRowHeight(int extraZoom) const override;
    int _TimeChartFontSize(int extraZoom, int pixelsPerInch) const override;
    QString TimeChartFontName() const override;
    int GetTransparency() const override;
    TRect TimeChartRect(TDateTime startDate, TDateTime endDate, double viewStart, double viewEnd, int top,
        int rowHeight, int width, int row, bool noExact, bool multiRow) const override;
    TRect ItemRect(TNodeData *node, double viewStart, double viewEnd, int top, int rowHeight, int width,
        bool fullHeight) const override;
    TRect ArrowRect(
        TNodeData *node, double viewStart, double viewEnd, int top, int rowHeight, int width) const override;
    TRect PositionRect(QPainter &canvas, int top, int row, int width, int rowHeight) const override;
    bool isMultiRow(int row) const override;

private:
    TTimeChart &FChart;
    Document &FDoc;
    // Label widths per canvas font (printing measures with its own).
    mutable TLabelWidthCache FLabelWidths;
};

// What the chart paints with: its geometry for the painters, the bar painter with
// the bars' cache, and the body painter.
struct TTimeChartPainting {
    TTimeChartPainting(TTimeChart &chart, Document &doc, const TProgramSettings &settings)
        : Geometry(chart, doc)
        , Bars(doc, Geometry, settings)
        , Painter(doc, Geometry, settings, Bars)
    { }

    TTimeChartPaintGeometry Geometry;
    TBarPainter Bars;
    TChartPainter Painter;
};
