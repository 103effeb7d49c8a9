// The chart's paint handlers, the repaint of a row's bar and the selection flash.
#include "document/BarBitmap.h"
#include "document/Document.h"
#include "document/DocumentTable.h"
#include "document/program/Translation.h"
#include "platform/gui/Fonts.h"
#include "timechart/CanvasPanel.h"
#include "timechart/CaptionPainter.h"
#include "timechart/ChartCanvas.h"
#include "timechart/ChartShapes.h"
#include "timechart/OverviewLayers.h"
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
    if (IsPreparing()) {
        // Until the first range pass of a document, the chart knows no dates to
        // show: it says so instead of showing day 0.
        canvas.fillRect(region.boundingRect(), ToQColor(TimeChart().Color()));
        canvas.setPen(ToQColor(clBlack));
        canvas.drawText(
            TimeChart().rect(), Qt::AlignCenter, Translate(QStringLiteral("Preparing the chart...")));
        return;
    }
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
    // The note is one line under the last row: it is worked out only when the
    // region reaches that line.
    const int noteTop = TimeChartRowHeight(0) * FDoc.GetRowCount() - FTimeChartTop;
    const QRect noteLine(0, noteTop, TimeChart().width(), TimeChart().fontMetrics().height() + 4);
    const QString note = region.intersects(noteLine) ? Painter().FadeOutNote() : QString();
    if (!note.isEmpty()) {
        canvas.save();
        canvas.setFont(TimeChart().font());
        canvas.setPen(ToQColor(clBlack));
        canvas.setBackgroundMode(Qt::OpaqueMode);
        canvas.setBackground(ToQColor(TimeChart().Color()));
        TextOutTopLeft(canvas, 3, noteTop, note);
        canvas.restore();
    }
}

void TTimeChart::TimeChartOverlayPaint(QPainter &canvas, const QRegion &region)
{
    if (IsPreparing())
        return;
    canvas.save();
    canvas.setClipRegion(region);
    const TChartCanvas chart(canvas, TCanvasKind::TimeChart);
    Painter().DrawTimeChartPositions(
        chart, FTimeChartStart, GetTimeChartEnd(), FTimeChartTop, TimeChart().width(), 0, 0, 0, 0, true);
    canvas.restore();
}

void TTimeChart::TimeChartCaptionPaint(QPainter &canvas, const QRegion &)
{
    if (IsPreparing())
        return;
    DrawTimeChartCaptions(TChartCanvas(canvas, TCanvasKind::TimeChartCaption), FPainting->Geometry,
        FTimeChartStart, GetTimeChartEnd(), TimeChart().width(), 0, 0, 0, 0, true,
        GetTimeChartColWidth() <= 24 ? clWeek : clDay);
}

void TTimeChart::SmallTimeChartCaptionPaint(QPainter &canvas, const QRegion &)
{
    if (IsPreparing())
        return;
    DrawSmallTimeChartCaption(TChartCanvas(canvas, TCanvasKind::SmallTimeChartCaption), FPainting->Geometry,
        FMinDate, FMaxDate, FSmallTimeChartCaption->width());
}

void TTimeChart::RedrawTimerTimer()
{
    TimeChart().Invalidate();
    InvalidateSmallTimeChart();
}

std::optional<int> TTimeChart::ChartRowOfNode(const TNodeData &node) const
{
    const bool absent = node.NodeTable == tbExclude;
    const int chartRow = absent ? node.nodePosition : FDoc.GetPositionOf(&node);
    if (!absent && chartRow < 0 && chartRow != kAllPositions)
        return std::nullopt;
    return chartRow;
}

TRect TTimeChart::NodeBar(const TNodeData &node, int chartRow, TDateTime start, TDateTime end, int top,
    int rowHeight, int width, bool fullHeight) const
{
    // A row whose end is still to be derived is repainted across its whole rows:
    // where its bar will end is not known, and invalidating derives nothing.
    if (node.RecalcEndOf)
        return Geometry().TimeChartRect(
            start, end, start, end, top, rowHeight, width, chartRow, true, node.NodeTable == tbExclude);
    return Geometry().ItemRect(const_cast<TNodeData *>(&node), start, end, top, rowHeight, width, fullHeight);
}

void TTimeChart::InvalidateNodeArea(const TNodeData &node, bool selected)
{
    const QRect chartRect = TimeChart().rect();
    const QRect smallRect = FSmallTimeChart->rect();
    if (FAreaBatch > 0 && FBatchChartArea.Covers(chartRect) && FBatchSmallArea.Covers(smallRect))
        return;
    const std::optional<int> chartRow = ChartRowOfNode(node);
    if (!chartRow)
        return;
    auto *row = const_cast<TNodeData *>(&node);
    TRect area = NodeBar(node, *chartRow, FTimeChartStart, GetTimeChartEnd(), FTimeChartTop,
        TimeChartRowHeight(0), TimeChart().width(), false);
    if (selected && !node.RecalcEndOf && !area.IsEmpty()) {
        area.Right += 8;
        area.Bottom += 8;
        area = UnionRect(area, Painter().ItemInfoRect(node.NodeTable, &node, area));
    }
    // An overdue row shows its deadline arrow selected or not; a row that has just
    // lost its selection may have lost its arrow with it.
    if (!node.RecalcEndOf && !area.IsEmpty()) {
        const TRect arrow = Geometry().ArrowRect(row, FTimeChartStart, GetTimeChartEnd(), FTimeChartTop,
            TimeChartRowHeight(0), TimeChart().width(), selected);
        if (arrow != TRect {})
            area = UnionRect(
                area, ArrowBounds(&TimeChart(), arrow.TopLeft(), arrow.BottomRight(), GetZoom() / 100.0));
    }
    if (!area.IsEmpty() && FHost.ProgramSettings().DrawFullText) // the texts may run on to the right
        area.Right = std::max(area.Right, TimeChart().width());
    if (!area.IsEmpty()) {
        if (FAreaBatch > 0)
            FBatchChartArea.Add(ToQRect(area).intersected(chartRect));
        else
            TimeChart().Invalidate(ToQRect(area));
    }
    InvalidateOverviewNode(node, *chartRow);
}

void TTimeChart::InvalidateOverviewNode(const TNodeData &node, int chartRow)
{
    const TRect small = NodeBar(
        node, chartRow, FMinDate, FMaxDate, 0, SmallTimeChartRowPixels(), FSmallTimeChart->width(), true);
    if (small.IsEmpty())
        return;
    if (FAreaBatch > 0)
        FBatchSmallArea.Add(SmallTimeChartArea(small).intersected(FSmallTimeChart->rect()));
    else
        InvalidateSmallTimeChart(SmallTimeChartArea(small));
}

void TTimeChart::RepaintSelectionChange(TWhichTable table, const std::vector<TNodeData *> &changed,
    std::size_t left, const std::vector<TNodeData *> &kept)
{
    using namespace overviewlayers;
    TimeChart().Invalidate();
    const DocumentTable &rows = FDoc.GetTable(table);
    // Without hidden rows no row is read for its layer.
    const bool anyHidden = rows.VisibleRowCount() < rows.RowCount();
    const auto layer = [&](const TNodeData *row, bool selected) {
        return selected ? lySelected : anyHidden && rows.IsHidden(row) ? lyHidden : lyShown;
    };
    TMoves moves;
    std::vector<int> moveOf(changed.size());
    std::size_t unselectedNow = 0, selectedBefore = kept.size();
    for (std::size_t i = 0; i < changed.size(); ++i) {
        const bool now = i >= left;
        moveOf[i] = MoveOf(layer(changed[i], !now), layer(changed[i], now));
        ++moves.Rows[std::size_t(moveOf[i])];
        moves.Known[std::size_t(moveOf[i])] = true;
        unselectedNow += !now;
        selectedBefore += !now;
    }
    moves.Rows[MoveOf(lySelected, lySelected)] = kept.size();
    moves.Known[MoveOf(lySelected, lySelected)] = true;
    // The rows unselected before and after, shown or hidden: not named, and
    // counted on both layers, which asks no more than their true split.
    const std::size_t unselected = std::size_t(std::max(0, rows.RowCount() - rows.SelectedCount()));
    const std::size_t stayed = unselected > unselectedNow ? unselected - unselectedNow : 0;
    moves.Rows[MoveOf(lyShown, lyShown)] = moves.Rows[MoveOf(lyHidden, lyHidden)] = stayed;
    std::optional<unsigned> mask = RowsToRepaint(moves);
    // A few selected rows may show the selection flash's look there: they are
    // drawn plain again.
    if (mask && selectedBefore <= RowRepaintLimit)
        for (int to = 0; to < LayerCount; ++to)
            *mask |= 1u << MoveOf(lySelected, to);
    std::size_t repainted = 0;
    for (int move = 0; mask && move < MoveCount; ++move)
        if (*mask & (1u << move))
            repainted += moves.Rows[std::size_t(move)];
    if (!mask || repainted > RowRepaintLimit) {
        InvalidateSmallTimeChart();
        return;
    }
    BeginAreaBatch();
    for (std::size_t i = 0; i < changed.size(); ++i)
        if (*mask & (1u << moveOf[i]))
            if (const std::optional<int> chartRow = ChartRowOfNode(*changed[i]))
                InvalidateOverviewNode(*changed[i], *chartRow);
    if (*mask & (1u << MoveOf(lySelected, lySelected)))
        for (const TNodeData *row : kept)
            if (const std::optional<int> chartRow = ChartRowOfNode(*row))
                InvalidateOverviewNode(*row, *chartRow);
    EndAreaBatch();
}

void TTimeChart::BeginAreaBatch()
{
    ++FAreaBatch;
}

void TTimeChart::EndAreaBatch()
{
    if (FAreaBatch == 0 || --FAreaBatch > 0)
        return;
    for (const QRect &r : FBatchChartArea.Region())
        TimeChart().Invalidate(r);
    for (const QRect &r : FBatchSmallArea.Region())
        InvalidateSmallTimeChart(r);
    FBatchChartArea.Clear();
    FBatchSmallArea.Clear();
}

void TTimeChart::StartFlashSelected()
{
    FFlashSelectedTimer.start();
}

void TTimeChart::FlashSelectedTimerTimer()
{
    if (FDoc.IsUpdating()) // a document is being loaded
        return;
    TBarPainter &bars = BarPainter();
    bars.SetFlashStep((bars.FlashStep() + 1) % 7);
    if (bars.FlashStep() == 0)
        FFlashSelectedTimer.stop();
    RepaintSelectedBars();
    SetLegendFlash(bars.FlashStep() == 0
            ? std::nullopt
            : std::optional<int>(TBarPainter::HighlightPercent(bars.FlashStep())));
}

void TTimeChart::RepaintSelectedBars()
{
    // A selected bar's image knows the flash step it shows, so whatever is
    // repainted draws the selected bars in view anew. A few are repainted each,
    // on the chart and on the overview; many repaint the chart's view whole,
    // and the overview, where all of them would be drawn again, stays as it is.
    const DocumentTable &table = FDoc.GetTable(FDoc.GetActiveTable());
    if (std::size_t(table.SelectedCount()) > RowRepaintLimit) {
        TimeChart().Invalidate();
        return;
    }
    const RowBatch batch(FDoc);
    for (TNodeData *row : table.SelectedRows())
        FDoc.InvalidateNode(row, true);
}
