#include "timechart/TimeChartPainting.h"

#include "document/ChartRows.h"
#include "document/Document.h"
#include "timechart/TimeChart.h"

#include <QPainter>

TTimeChartPaintGeometry::TTimeChartPaintGeometry(TTimeChart &chart, Document &doc)
    : FChart(chart)
    , FDoc(doc)
{ }

int TTimeChartPaintGeometry::GetZoom() const
{
    return FChart.GetZoom();
}

int TTimeChartPaintGeometry::_TimeChartColWidth(int extraZoom) const
{
    return FChart._TimeChartColWidth(extraZoom);
}

int TTimeChartPaintGeometry::TimeChartFullRowHeight(int extraZoom) const
{
    return FChart.TimeChartFullRowHeight(extraZoom);
}

int TTimeChartPaintGeometry::TimeChartRowHeight(int extraZoom) const
{
    return FChart.TimeChartRowHeight(extraZoom);
}

int TTimeChartPaintGeometry::_TimeChartFontSize(int extraZoom, int pixelsPerInch) const
{
    return FChart._TimeChartFontSize(extraZoom, pixelsPerInch);
}

QString TTimeChartPaintGeometry::TimeChartFontName() const
{
    return FChart.TimeChartFontName();
}

int TTimeChartPaintGeometry::GetTransparency() const
{
    return FChart.GetTransparency();
}

TRect TTimeChartPaintGeometry::TimeChartRect(TDateTime startDate, TDateTime endDate, double viewStart,
    double viewEnd, int top, int rowHeight, int width, int row, bool noExact, bool multiRow) const
{
    return FChart.Geometry().TimeChartRect(
        startDate, endDate, viewStart, viewEnd, top, rowHeight, width, row, noExact, multiRow);
}

TRect TTimeChartPaintGeometry::ItemRect(TNodeData *node, double viewStart, double viewEnd, int top,
    int rowHeight, int width, bool fullHeight) const
{
    return FChart.Geometry().ItemRect(node, viewStart, viewEnd, top, rowHeight, width, fullHeight);
}

TRect TTimeChartPaintGeometry::ArrowRect(
    TNodeData *node, double viewStart, double viewEnd, int top, int rowHeight, int width) const
{
    return FChart.Geometry().ArrowRect(node, viewStart, viewEnd, top, rowHeight, width);
}

TRect TTimeChartPaintGeometry::PositionRect(
    QPainter &canvas, int top, int row, int width, int rowHeight) const
{
    TLabelMetrics metrics = FLabelWidths.Metrics(canvas.font(), FDoc.ChartRows().GlobalPositionFilter());
    metrics.PenWidth = std::max(1, canvas.pen().width());
    return ::PositionRect(metrics, top, row, width, rowHeight);
}

bool TTimeChartPaintGeometry::isMultiRow(int row) const
{
    return FChart.isMultiRow(row);
}
