#include "timechart/ChartGeometry.h"

#include "document/ChartRows.h"
#include "document/Document.h"
#include "document/DocumentTable.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// Far beyond any screen or page, small enough for every painting sum.
constexpr double FarPixel = 1 << 24;

int ClampPixel(std::int64_t value)
{
    return int(std::clamp<std::int64_t>(value, -std::int64_t(FarPixel), std::int64_t(FarPixel)));
}

} // namespace

int RoundPixel(double value)
{
    if (std::isnan(value))
        return 0;
    return int(std::nearbyint(std::clamp(value, -FarPixel, FarPixel)));
}

int HoursModeX(TDateTime date, TDateTime viewStart, double pixelsPerDay, const tWeekInfo &week,
    TDateTime minDayStart, TDateTime maxDayEnd)
{
    if (!std::isfinite(date))
        return RoundPixel((date - viewStart) * pixelsPerDay);
    const TDateTime day = std::trunc(date);
    const TDayInfo &info = week[std::size_t(DayOfWeek(day) - 1)];
    double lo = info.start;
    double span = info.ende - info.start;
    if (info.active && pixelsPerDay >= 24) {
        lo = minDayStart;
        span = maxDayEnd - minDayStart;
    }
    const double dayX = (day - viewStart) * pixelsPerDay;
    if (!(span > 0))
        return RoundPixel(dayX);
    // Before the day's start counts as its start; nothing leaves the hours shown.
    const double time = std::clamp(std::max(date - day, info.start), lo, lo + span);
    return RoundPixel(dayX + (time - lo) * pixelsPerDay / span);
}

TRect SliderRect(const TSliderView &view)
{
    TRect r = Rect(0, 0, view.SmallWidth, view.SmallHeight);
    const int rows = std::max(1, view.RowCount);
    const int rowHeight = std::max(1, view.RowHeight);
    const double visibleRows = double(view.ChartHeight) / rowHeight;
    if (rows > visibleRows) {
        r.Bottom = RoundPixel(std::ceil(view.SmallHeight * visibleRows / rows));
        const int dy = RoundPixel(double(view.SmallHeight) / (double(rowHeight) * rows) * view.Top);
        r = OffsetRect(r, 0, dy);
    }
    const double total = view.MaxDate - view.MinDate;
    if (total > view.VisibleDays) {
        r.Right = RoundPixel(std::ceil(view.VisibleDays * view.SmallWidth / total));
        const int dx = RoundPixel((view.Start - view.MinDate) * view.SmallWidth / total);
        r = OffsetRect(r, dx, 0);
    }
    return r;
}

TRect TChartGeometry::TimeChartRect(TDateTime startDate, TDateTime endDate, TDateTime viewStart,
    TDateTime viewEnd, int top, int rowHeight, int width, int row, bool noExact, bool multiRow) const
{
    if (viewEnd == viewStart)
        return TRect {};
    const double f = width / (viewEnd - viewStart);
    TRect r;
    r.Left = RoundPixel((startDate - viewStart) * f);
    r.Right = RoundPixel((endDate - viewStart) * f);
    r.Top = ClampPixel(std::int64_t(row) * rowHeight - top);
    r.Bottom = ClampPixel((std::int64_t(row) + 1) * rowHeight - top);
    if (row == kAllPositions) {
        r.Top = -top;
        r.Bottom = ClampPixel(std::int64_t(FDoc.GetRowCount()) * rowHeight - top);
    } else if (multiRow) {
        const TInterval span = FDoc.GetMultipleRowSpan(tbExclude, row);
        r.Top = ClampPixel(std::int64_t(span.low) * rowHeight - top);
        r.Bottom = ClampPixel(r.Top + (std::int64_t(span.high) - span.low + 1) * rowHeight);
    }
    if (!noExact && FDoc.GetMinUnit() == muMinute) {
        r.Left = HoursModeX(startDate, viewStart, f, row);
        r.Right = HoursModeX(endDate, viewStart, f, row);
    }
    return r;
}

TRect TChartGeometry::ItemRect(TNodeData *node, TDateTime viewStart, TDateTime viewEnd, int top,
    int rowHeight, int width, bool fullHeight) const
{
    const int row = FDoc.GetPositionOf(node);
    if (row < 0 && row != kAllPositions)
        return TRect {};
    const bool absent = node->NodeTable == tbExclude;
    const TDateTime start = FDoc.GetStartOf(node);
    TDateTime end = FDoc.GetEndOf(node);
    if (FDoc.GetMinUnit() == muDay || absent)
        end = std::trunc(end) + 1; // the last day is drawn whole
    if (absent) {
        // Absent days are whole days over every row of their position.
        TRect r = TimeChartRect(
            start, end, viewStart, viewEnd, top, rowHeight, width, node->nodePosition, true, true);
        r.Right += 1;
        return r;
    }
    TRect r = TimeChartRect(start, end, viewStart, viewEnd, top, rowHeight, width, row, false, false);
    if (row != kAllPositions && !fullHeight) {
        const int inset = RoundPixel((r.Bottom - r.Top) * 0.2 / 2);
        r.Top += inset;
        r.Bottom -= inset;
    }
    return r;
}

TRect TChartGeometry::ArrowRect(TNodeData *node, TDateTime viewStart, TDateTime viewEnd, int top,
    int rowHeight, int width, bool asSelected) const
{
    const int row = FDoc.GetPositionOf(node);
    const TDateTime deadline = FDoc.GetTerminOf(node);
    if (viewEnd == viewStart || row < 0 || deadline == 0)
        return TRect {};
    const TDateTime end = FDoc.GetEndOf(node);
    if (!(end > deadline) && !asSelected && !FDoc.GetTable(node->NodeTable).IsSelected(node))
        return TRect {};
    const bool wholeDays = FDoc.GetMinUnit() == muDay || node->NodeTable == tbExclude;
    const TDateTime from = end + (wholeDays ? 1 : 0);
    const TRect r
        = TimeChartRect(from, deadline, viewStart, viewEnd, top, rowHeight, width, row, true, false);
    return Rect(r.Left, (r.Top + r.Bottom) / 2, r.Right, r.Bottom);
}

int TChartGeometry::HoursModeX(TDateTime date, TDateTime viewStart, double pixelsPerDay, int row) const
{
    const TChartRows &rows = FDoc.ChartRows();
    return ::HoursModeX(
        date, viewStart, pixelsPerDay, FDoc.GetWeekInfo(row), rows.MinDayStart(), rows.MaxDayEnd());
}

TDateTime TChartGeometry::GetExactDate(
    int x, int row, TDateTime viewStart, int colWidth, double pixelsPerDay) const
{
    const TDateTime first = (x / std::max(1, colWidth)) + viewStart;
    // Minutes are counted, not added up, so no rounding error builds up. The x
    // is reached within the day of `first` or the next one.
    constexpr int MaxMinutes = 3 * 1440;
    int minutes = 0;
    while (minutes < MaxMinutes && x > HoursModeX(first + minutes / 1440.0, viewStart, pixelsPerDay, row))
        ++minutes;
    return first + minutes / 1440.0;
}
