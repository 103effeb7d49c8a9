#pragma once

#include "document/calendar/DateTime.h"
#include "platform/gui/Rect.h"
#include "timechart/BarTextLayout.h"

#include <QString>
#include <QStringList>
#include <vector>

// The cells of one row of the date header: where each year, month, week or day
// begins and ends on the axis, what it reads and where its label goes. Pure layout;
// the caption painter draws it.

// The unit of a header row's cells (hours and minutes have none).
enum TCaptionLabel : int { clYear, clMonth, clWeek, clDay, clHour, clMinute };

// Month and weekday names from the program's English tables, translated; months
// 1..12, weekdays 1 (Sunday) .. 7 (Saturday).
QString ShortMonthName(int month);
QString LongMonthName(int month);
QString ShortDayName(int weekday);
QString LongDayName(int weekday);

// The text of a cell whose first day is `date`: for each piece one space and its
// value ("%mmm" the long month name, "%yy" the year's last two digits, "%w" the
// week number, ...); a piece that is no placeholder stands for itself.
QString CaptionText(const QStringList &pieces, TDateTime date);

// The first cell of a row: the start of the year, month or (Monday) week of
// viewStart, or its day; and the start of the cell after the one at `date`.
TDateTime FirstCaptionCell(TCaptionLabel unit, double viewStart);
TDateTime NextCaptionCell(TCaptionLabel unit, TDateTime date);

struct TCaptionCell {
    TDateTime Start = 0;
    // Edges on the axis (x2 exclusive); the separator lies at X1.
    int X1 = 0;
    int X2 = 0;
    QString Text;
    // Where the text goes (left-aligned, vertically centred): the cell inside one pen
    // width, moved to the left edge of the view while the cell began left of it.
    TRect TextRect;
    // The weekday name of a day cell that has room for one, and its box (centred).
    QString DayName;
    TRect DayNameRect;
};

// The cells of a row over [viewStart, viewEnd] on `width` pixels, the band's top
// and bottom as given; nothing for an empty view or a unit without cells. The view
// shows the row from `visibleLeft` on (0 unless something covers its left part).
std::vector<TCaptionCell> LayoutCaptionRow(double viewStart, double viewEnd, int width, int bandTop,
    int bandBottom, const QStringList &pieces, TCaptionLabel unit, int penWidth, const TTextWidth &textWidth,
    int visibleLeft = 0);
