// Scrolling the chart: the view's start and top, the destinations the animation
// heads for, the scrollable range and the scroll bars.
#include "document/Document.h"
#include "document/DocumentTable.h"
#include "timechart/CanvasPanel.h"
#include "timechart/ScrollBarBox.h"
#include "timechart/TimeChart.h"
#include "timechart/TimeChartHost.h"
#include "timechart/TimeChartMouse.h"

#include <QFontMetrics>
#include <QWheelEvent>
#include <cmath>

namespace {

// One notch of a mouse wheel.
constexpr int WheelNotch = 120;

// Half the distance, at least one step: -1, 0 or 1 times Ceil(|d| / 2).
int HalfStep(int distance)
{
    const int half = (std::abs(distance) + 1) / 2;
    return distance < 0 ? -half : half;
}

} // namespace

void TTimeChart::InvalidateSlider()
{
    FSmallTimeChart->update(ToQRect(SliderRect()));
}

QRegion TTimeChart::LabelRegion() const
{
    TCanvasPanel &chart = TimeChart();
    const int rowHeight = TimeChartRowHeight(0);
    QRegion region;
    // Labels of rows outside the window need no repaint; one row more on each side
    // covers labels higher than their row.
    const int first = std::max(0, FTimeChartTop / rowHeight - 1);
    const int last = std::min(FDoc.GetRowCount() - 1, (FTimeChartTop + chart.height()) / rowHeight + 1);
    const TLabelMetrics metrics = LabelMetrics();
    for (int row = first; row <= last; ++row)
        if (!isMultiRow(row))
            region += ToQRect(::PositionRect(metrics, FTimeChartTop, row, chart.width(), rowHeight));
    return region.intersected(chart.rect());
}

QRegion TTimeChart::FadeOutBandRegion() const
{
    TCanvasPanel &chart = TimeChart();
    const int bandTop = FDoc.GetRowCount() * TimeChartRowHeight(0) - FTimeChartTop;
    const int bandHeight = 5 + QFontMetrics(chart.font()).height();
    return QRegion(ToQRect(Bounds(0, bandTop, chart.width(), bandHeight))).intersected(chart.rect());
}

void TTimeChart::SetTimeChartStart(TDateTime date)
{
    // The user's date follows a view beyond the data, so the range grows with it.
    if (FUserDate != 0) {
        if (FUserDate > FDataMaxDate)
            SetUserdate(std::ceil(TimeChart().width() / double(GetTimeChartColWidth()) + date));
        else if (FUserDate < FDataMinDate)
            SetUserdate(std::trunc(date));
    }
    const TScrollBarInfo &info = FTimeChartBox->HorzScrollInfo();
    const double limit = info.Max() + FMinDate - info.Page();
    date = std::trunc(std::max(std::min(date, limit), FMinDate));
    if (date == FTimeChartStart)
        return;
    const int dx = RoundPixel(GetTimeChartColWidth() * (FTimeChartStart - date));
    if (dx == 0)
        return;
    InvalidateSlider();
    FTimeChartStart = date;
    InvalidateSlider();
    UpdateScrollBars(ssHorizontal);
    // What stays in place is shown again where it is and where the moved pixels
    // took a copy of it: the labels lie over the chart's pixels and are only laid
    // on again, the note under the rows is in them.
    const QRegion labels = LabelRegion();
    const QRegion band = FadeOutBandRegion();
    TimeChart().ScrollClient(dx, 0);
    TimeChart().UpdateOverlay(labels.united(labels.translated(dx, 0)).intersected(TimeChart().rect()));
    TimeChart().Invalidate(band.united(band.translated(dx, 0)).intersected(TimeChart().rect()));
    FTimeChartCaption->update();
}

void TTimeChart::SetTimeChartTop(int pixels)
{
    const TScrollBarInfo &info = FTimeChartBox->VertScrollInfo();
    pixels = std::max(0, std::min(pixels, info.Max() - info.Page()));
    if (pixels == FTimeChartTop)
        return;
    const int dy = FTimeChartTop - pixels;
    InvalidateSlider();
    FTimeChartTop = pixels;
    InvalidateSlider();
    UpdateScrollBars(ssVertical);
    TimeChart().ScrollClient(0, dy);
}

void TTimeChart::SetTimeChartDestination(TDateTime start, int top, bool immediate)
{
    start = std::min(start, FMaxDate - (GetTimeChartEnd() - FTimeChartStart));
    TimeChartStartDestination = std::max(start, FMinDate);
    const TScrollBarInfo &info = FTimeChartBox->VertScrollInfo();
    TimeChartTopDestination = std::min(std::max(top, 0), info.Max() - info.Page());
    if (immediate) {
        SetTimeChartTop(TimeChartTopDestination);
        SetTimeChartStart(TimeChartStartDestination);
    } else {
        FSliderTimer.start();
    }
}

bool TTimeChart::SetTimeChartBounds(TDateTime min, TDateTime max)
{
    min = std::trunc(min);
    max = std::trunc(max);
    if (min == FMinDate && max == FMaxDate)
        return false;
    FMinDate = min;
    FMaxDate = max;
    InvalidateTimeChart(true);
    UpdateScrollBars(ssHorizontal);
    // A view outside the range (day 0 before a document's first range, the far
    // side of a range that shrank) has nothing to ride from: it goes there at
    // once, so that no paint shows the days it came from.
    if (FTimeChartStart < FMinDate || FTimeChartStart > FMaxDate)
        SetTimeChartDestination(FTimeChartBox->HorzScrollInfo().Pos() + FMinDate, FTimeChartTop, true);
    else
        TimeChartHorzScroll();
    return true;
}

void TTimeChart::SetUserdate(TDateTime date)
{
    FUserDate = std::trunc(date);
    FDoc.UpdateBounds(true);
}

void TTimeChart::UpdateScrollBars(TScrollStyle which)
{
    if (which == ssHorizontal || which == ssBoth) {
        FTimeChartBox->HorzScrollInfo().SetAll(0, RoundPixel(FMaxDate - FMinDate),
            RoundPixel(GetTimeChartEnd() - FTimeChartStart),
            RoundPixel(TimeChartStartDestination - FMinDate));
    }
    if (which == ssVertical || which == ssBoth) {
        TScrollBarInfo &info = FTimeChartBox->VertScrollInfo();
        const int total = RoundPixel(double(TimeChartRowHeight(0)) * FDoc.GetRowCount());
        info.SetAll(0, total, std::min(total, TimeChart().height()), TimeChartTopDestination);
        // At or beyond the bottom (rows gone, chart higher): the last row comes to the bottom.
        if (info.Max() <= info.Page() + info.Pos()) {
            SetTimeChartTop(info.Max() - info.Page());
            InvalidateTimeChart(false);
        }
    }
}

void TTimeChart::TimeChartHorzScroll()
{
    SetTimeChartDestination(FTimeChartBox->HorzScrollInfo().Pos() + FMinDate, FTimeChartTop, false);
}

void TTimeChart::TimeChartVertScroll()
{
    SetTimeChartDestination(FTimeChartStart, FTimeChartBox->VertScrollInfo().Pos(), false);
}

void TTimeChart::TimeChartMouseWheelDown()
{
    SetTimeChartDestination(FTimeChartStart, FTimeChartTop + TimeChartRowHeight(0), false);
}

void TTimeChart::TimeChartMouseWheelUp()
{
    SetTimeChartDestination(FTimeChartStart, FTimeChartTop - TimeChartRowHeight(0), false);
}

void TTimeChart::Wheel(QWheelEvent &event)
{
    // One row per notch; fine-grained wheels add up to notches.
    FWheelDelta += event.angleDelta().y();
    for (; FWheelDelta >= WheelNotch; FWheelDelta -= WheelNotch)
        TimeChartMouseWheelUp();
    for (; FWheelDelta <= -WheelNotch; FWheelDelta += WheelNotch)
        TimeChartMouseWheelDown();
    event.accept();
}

void TTimeChart::SliderTimerTimer()
{
    if (FDoc.IsUpdating()) // a document is being loaded
        return;
    // A bar being moved keeps its dates; the pointer rides along with it.
    TNodeData *grabbed = Mouse().State() == msMoveItem ? Mouse().GrabbedNode() : nullptr;
    const TRect before = grabbed ? ItemRect(grabbed, false) : TRect {};
    const int days = RoundPixel(TimeChartStartDestination - FTimeChartStart);
    const int pixels = TimeChartTopDestination - FTimeChartTop;
    const int dayStep = HalfStep(days);
    const int pixelStep = HalfStep(pixels);
    if (dayStep == days && pixelStep == pixels)
        FSliderTimer.stop();
    const TDateTime oldStart = FTimeChartStart;
    const int oldTop = FTimeChartTop;
    SetTimeChartStart(FTimeChartStart + dayStep);
    SetTimeChartTop(FTimeChartTop + pixelStep);
    // A destination the view cannot reach (the range shrank meanwhile) ends the ride.
    if (FTimeChartStart == oldStart && FTimeChartTop == oldTop)
        FSliderTimer.stop();
    if (grabbed) {
        const TRect after = ItemRect(grabbed, false);
        Mouse().RideAlong(QPoint(after.Left - before.Left, after.Top - before.Top));
    }
}

void TTimeChart::CenterNode(TNodeData *node)
{
    if (FDoc.IsUpdating() || !FDoc.GetNodeValid(node) || !FDoc.GetTable(node->NodeTable).IsSelected(node))
        return;
    const TTimeChartMouseState state = Mouse().State();
    const bool drawing = state == msNewItem || state == msMoveItem || state == msResizeItem;
    if (drawing && FHost.ProgramSettings().AutoScroll == Mouse().ShiftHeld())
        return;
    const TRect r = ItemRect(node, false);
    const double pixelsPerDay = GetTimeChartColWidth();
    const double visibleDays = GetTimeChartEnd() - FTimeChartStart;
    const int width = TimeChart().width();
    // Horizontally the bar is placed in a view that starts on its own first day:
    // seen from a view thousands of years away its pixels are clamped.
    const TDateTime anchor = std::trunc(FDoc.GetStartOf(node));
    const TRect near = Geometry().ItemRect(
        node, anchor, anchor + visibleDays, FTimeChartTop, TimeChartRowHeight(0), width, false);
    TDateTime start;
    if (near.Right - near.Left
        > width * 3 / 4) { // a long bar: the part under the pointer comes to the middle
        const int x = state == msMoveItem ? Mouse().LastMouse().x() - r.Left : 0;
        start = FDoc.GetStartOf(node) - visibleDays / 2 + x / pixelsPerDay;
    } else {
        start = anchor - visibleDays / 2 + (near.Left + (near.Right - near.Left) / 2) / pixelsPerDay;
    }
    const int top = FTimeChartTop - TimeChart().height() / 2 + r.Top + (r.Bottom - r.Top) / 2;
    SetTimeChartDestination(start, top, false);
}
