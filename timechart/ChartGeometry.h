#pragma once

#include "document/DocumentTypes.h"
#include "document/calendar/WeekInfo.h"
#include "platform/gui/Rect.h"

class Document;

// Dates to pixels and rows to pixels for any view: the window's, the overview's
// or a printed page's. A view is the dates at its left and right edges, its width
// in pixels, the row height and the pixels scrolled off at the top. Dates are
// days (the time of day as fraction).

// A pixel offset: rounded half to even, and held to a range painting can handle
// however far from the view a date lies.
int RoundPixel(double value);

// The x of `date` in hours mode, where each day column shows working hours only:
// with `pixelsPerDay` of 24 or more an active day shows the common hours of all
// rows (minDayStart .. maxDayEnd), otherwise the row's own hours of that weekday.
// A time is held inside the hours shown, so x grows with the date and never runs
// into the next day; a day that shows no hours maps to its start.
int HoursModeX(TDateTime date, TDateTime viewStart, double pixelsPerDay, const tWeekInfo &week,
    TDateTime minDayStart, TDateTime maxDayEnd);

// The overview's slider: the part of the whole range and of all rows that the
// chart shows, in the overview's pixels.
struct TSliderView {
    int ChartHeight = 0; // the chart's height in pixels
    int RowHeight = 1; // the chart's row height
    int RowCount = 1;
    int Top = 0; // FTimeChartTop
    TDateTime Start = 0; // FTimeChartStart
    double VisibleDays = 0; // GetTimeChartEnd - FTimeChartStart
    TDateTime MinDate = 0; // FMinDate
    TDateTime MaxDate = 0; // FMaxDate
    int SmallWidth = 0; // the overview's size
    int SmallHeight = 0;
};
TRect SliderRect(const TSliderView &view);

// The rectangles of the chart over a document: its row count, row spans, time
// unit and working weeks.
class TChartGeometry {
public:
    explicit TChartGeometry(Document &doc)
        : FDoc(doc)
    { }

    // The box from startDate to endDate in chart row `row` (-9: every row). Day
    // mode maps dates linearly; with noExact false a minute document maps them in
    // hours mode with the row's week. multiRow spans all rows of the position
    // `row` (an absent row's stored position). An empty view gives (0, 0, 0, 0).
    TRect TimeChartRect(TDateTime startDate, TDateTime endDate, TDateTime viewStart, TDateTime viewEnd,
        int top, int rowHeight, int width, int row, bool noExact, bool multiRow) const;
    // A row's bar: a task's in its chart row at 80 % of the row height (full height
    // with fullHeight, or spread over all rows), an absent row's over all rows of
    // its position and one pixel wider. Whole days end inclusive. Rows outside the
    // shown group give (0, 0, 0, 0).
    TRect ItemRect(TNodeData *node, TDateTime viewStart, TDateTime viewEnd, int top, int rowHeight, int width,
        bool fullHeight) const;
    // The deadline arrow's box, from the bar's end to the deadline in the lower
    // half of the row; Left > Right when the deadline lies before the end. Only for
    // a row shown in one chart row, with a deadline, that ends after it or is
    // selected (`asSelected`: as if it were, for the place of an arrow a row just
    // lost with its selection).
    TRect ArrowRect(TNodeData *node, TDateTime viewStart, TDateTime viewEnd, int top, int rowHeight,
        int width, bool asSelected = false) const;
    // The hours-mode x of `date` in chart row `row`.
    int HoursModeX(TDateTime date, TDateTime viewStart, double pixelsPerDay, int row) const;
    // The first minute whose hours-mode x in chart row `row` reaches x, in a view
    // starting at the whole day viewStart with colWidth pixels per day.
    TDateTime GetExactDate(int x, int row, TDateTime viewStart, int colWidth, double pixelsPerDay) const;

private:
    Document &FDoc;
};
