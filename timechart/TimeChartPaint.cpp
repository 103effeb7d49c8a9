// The chart's paint handlers, the repaint of a row's bar and the selection flash.
#include "document/BarBitmap.h"
#include "document/Document.h"
#include "platform/gui/Fonts.h"
#include "timechart/CanvasPanel.h"
#include "timechart/CaptionPainter.h"
#include "timechart/ChartCanvas.h"
#include "timechart/ChartShapes.h"
#include "timechart/TimeChart.h"
#include "timechart/TimeChartHost.h"
#include "timechart/TimeChartPainting.h"

#include <QPainter>

TChartPainter &TTimeChart::Painter() const
{
    return FPainting->Painter;
}

TBarPainter &TTimeChart::BarPainter() const
{
    return FPainting->Bars;
}

TChartPaintMouse &TTimeChart::PaintMouse() const
{
    return FPainting->Painter.Mouse();
}

void TTimeChart::TimeChartPaint(QPainter &canvas, const QRegion &region)
{
    FPainting->Bars.redrawcount = 0;
    const int width = TimeChart().width();
    const TDateTime end = GetTimeChartEnd();
    // The bar images kept are a few screens' worth of this window: what a scroll
    // brings back into view, not the whole plan's bars.
    FPainting->Bars.Cache().SetCapBytes(
        TBarPainter::CachedScreens * std::size_t(width) * std::size_t(TimeChart().height()) * 4);
    // Each rectangle of the region on its own: a region of a strip at one edge and
    // small parts at the other has a bounding box of the whole chart.
    for (const QRect &box : region) {
        canvas.save();
        canvas.setClipRect(box);
        const TChartCanvas chart(canvas, TCanvasKind::TimeChart);
        Painter().DrawTimeChart(
            chart, false, FTimeChartStart, end, FTimeChartTop, width, 0, 0, true, 0, 0, true);
        canvas.restore();
        FPaintedArea += qint64(box.width()) * box.height();
    }
    canvas.setClipRegion(region);
    const TChartPaintMouse &mouse = PaintMouse();
    if (mouse.RubberBand) // painting erased it
        FocusRect(canvas, Rect(mouse.Mouse.x(), mouse.Mouse.y(), mouse.LastMouse.x(), mouse.LastMouse.y()));
    const QString note = Painter().FadeOutNote();
    if (!note.isEmpty()) {
        canvas.save();
        canvas.setFont(TimeChart().font());
        canvas.setPen(ToQColor(clBlack));
        canvas.setBackgroundMode(Qt::OpaqueMode);
        canvas.setBackground(ToQColor(TimeChart().Color()));
        TextOutTopLeft(canvas, 3, TimeChartRowHeight(0) * FDoc.GetRowCount() - FTimeChartTop, note);
        canvas.restore();
    }
}

void TTimeChart::TimeChartOverlayPaint(QPainter &canvas, const QRegion &region)
{
    canvas.save();
    canvas.setClipRegion(region);
    const TChartCanvas chart(canvas, TCanvasKind::TimeChart);
    Painter().DrawTimeChartPositions(
        chart, FTimeChartStart, GetTimeChartEnd(), FTimeChartTop, TimeChart().width(), 0, 0, 0, 0, true);
    canvas.restore();
}

void TTimeChart::TimeChartCaptionPaint(QPainter &canvas, const QRegion &)
{
    DrawTimeChartCaptions(TChartCanvas(canvas, TCanvasKind::TimeChartCaption), FPainting->Geometry,
        FTimeChartStart, GetTimeChartEnd(), TimeChart().width(), 0, 0, 0, 0, true,
        GetTimeChartColWidth() <= 24 ? clWeek : clDay);
}

void TTimeChart::SmallTimeChartCaptionPaint(QPainter &canvas, const QRegion &)
{
    DrawSmallTimeChartCaption(TChartCanvas(canvas, TCanvasKind::SmallTimeChartCaption), FPainting->Geometry,
        FMinDate, FMaxDate, FSmallTimeChartCaption->width());
}

void TTimeChart::RedrawTimerTimer()
{
    TimeChart().Invalidate();
    InvalidateSmallTimeChart();
}

void TTimeChart::InvalidateNodeArea(const TNodeData &node, bool selected)
{
    // A row whose end is still to be derived is repainted across its whole rows:
    // where its bar will end is not known, and invalidating derives nothing.
    auto *row = const_cast<TNodeData *>(&node);
    const bool absent = node.NodeTable == tbExclude;
    const int chartRow = absent ? node.nodePosition : FDoc.GetPositionOf(&node);
    if (!absent && chartRow < 0 && chartRow != kAllPositions)
        return;
    auto bar = [&](TDateTime start, TDateTime end, int top, int rowHeight, int width, bool fullHeight) {
        if (node.RecalcEndOf)
            return Geometry().TimeChartRect(
                start, end, start, end, top, rowHeight, width, chartRow, true, absent);
        return Geometry().ItemRect(row, start, end, top, rowHeight, width, fullHeight);
    };

    TRect area = bar(
        FTimeChartStart, GetTimeChartEnd(), FTimeChartTop, TimeChartRowHeight(0), TimeChart().width(), false);
    if (selected && !node.RecalcEndOf && !area.IsEmpty()) {
        area.Right += 8;
        area.Bottom += 8;
        area = UnionRect(area, Painter().ItemInfoRect(node.NodeTable, &node, area));
        const TRect arrow = ArrowRect(row);
        if (arrow != TRect {})
            area = UnionRect(
                area, ArrowBounds(&TimeChart(), arrow.TopLeft(), arrow.BottomRight(), GetZoom() / 100.0));
    }
    if (!area.IsEmpty() && FHost.ProgramSettings().DrawFullText) // the texts may run on to the right
        area.Right = std::max(area.Right, TimeChart().width());
    if (!area.IsEmpty())
        TimeChart().Invalidate(ToQRect(area));

    const TRect small = bar(FMinDate, FMaxDate, 0, SmallTimeChartRowPixels(), FSmallTimeChart->width(), true);
    if (!small.IsEmpty())
        InvalidateSmallTimeChart(SmallTimeChartArea(small));
}

void TTimeChart::StartFlashSelected()
{
    FFlashSelectedTimer.start();
}

void TTimeChart::FlashSelectedTimerTimer()
{
    if (FDoc.IsUpdating()) // a document is being loaded
        return;
    FDoc.ForEach(FDoc.GetActiveTable(), feSelected, [this](TNodeData &node) { CB_SetRecalcBitmap(node); });
    TBarPainter &bars = BarPainter();
    bars.SetFlashStep((bars.FlashStep() + 1) % 7);
    if (bars.FlashStep() == 0)
        FFlashSelectedTimer.stop();
    SetLegendFlash(bars.FlashStep() == 0
            ? std::nullopt
            : std::optional<int>(TBarPainter::HighlightPercent(bars.FlashStep())));
}
