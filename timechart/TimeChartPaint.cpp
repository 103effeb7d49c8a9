// The chart's paint handlers. The chart's painters draw the chart body, the
// date headers and the overview here; until then each panel shows its plain
// background: white where the rows are.
#include "document/Document.h"
#include "timechart/CanvasPanel.h"
#include "timechart/TimeChart.h"

#include <QPainter>

void TTimeChart::TimeChartPaint(QPainter &canvas, const QRegion &)
{
    const int rowsBottom = RoundPixel(double(TimeChartRowHeight(0)) * FDoc.GetRowCount() - FTimeChartTop);
    canvas.fillRect(ToQRect(Rect(0, 0, TimeChart().width(), rowsBottom)), ToQColor(clWhite));
}

void TTimeChart::TimeChartCaptionPaint(QPainter &, const QRegion &) { }

void TTimeChart::SmallTimeChartPaint(QPainter &, const QRegion &) { }

void TTimeChart::SmallTimeChartCaptionPaint(QPainter &, const QRegion &) { }
