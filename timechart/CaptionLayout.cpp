#include "timechart/CaptionLayout.h"

#include "document/calendar/DateUtils.h"
#include "document/program/Translation.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr std::array<const char *, 12> ShortMonths
    = { "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec" };
constexpr std::array<const char *, 12> LongMonths = { "January", "February", "March", "April", "May", "June",
    "July", "August", "September", "October", "November", "December" };
constexpr std::array<const char *, 7> ShortDays = { "Sun", "Mon", "Tue", "Wed", "Thur", "Fri", "Sat" };
constexpr std::array<const char *, 7> LongDays
    = { "Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday" };

template <std::size_t N> QString Name(const std::array<const char *, N> &table, int number)
{
    if (number < 1 || number > int(N))
        return QString();
    return Translate(QString::fromLatin1(table[number - 1]));
}

int Round(double value)
{
    return int(std::nearbyint(value));
}

QString PieceValue(const QString &piece, TDateTime date)
{
    int year, month, day;
    DecodeDate(date, year, month, day);
    if (piece == QLatin1String("%m"))
        return QString::number(month);
    if (piece == QLatin1String("%mm"))
        return ShortMonthName(month);
    if (piece == QLatin1String("%mmm"))
        return LongMonthName(month);
    if (piece == QLatin1String("%d") || piece == QLatin1String("%d+"))
        return QString::number(day);
    if (piece == QLatin1String("%dd"))
        return ShortDayName(DayOfWeek(date));
    if (piece == QLatin1String("%ddd"))
        return LongDayName(DayOfWeek(date));
    if (piece == QLatin1String("%yy"))
        return QString::number(year).mid(2);
    if (piece == QLatin1String("%yyyy"))
        return QString::number(year);
    if (piece == QLatin1String("%w")) {
        int week, weekYear;
        Date2ISOWeekNo(date, week, weekYear);
        return QString::number(week);
    }
    return piece;
}

} // namespace

QString ShortMonthName(int month)
{
    return Name(ShortMonths, month);
}

QString LongMonthName(int month)
{
    return Name(LongMonths, month);
}

QString ShortDayName(int weekday)
{
    return Name(ShortDays, weekday);
}

QString LongDayName(int weekday)
{
    return Name(LongDays, weekday);
}

QString CaptionText(const QStringList &pieces, TDateTime date)
{
    QString text;
    for (const QString &piece : pieces)
        text += QLatin1Char(' ') + PieceValue(piece, date);
    return text;
}

TDateTime FirstCaptionCell(TCaptionLabel unit, double viewStart)
{
    const TDateTime day = DatePart(viewStart);
    switch (unit) {
    case clYear:
        return GetFirstDayOfYear(Date2Year(day));
    case clMonth:
        return GetFirstDayOfMonth(day);
    case clWeek:
        return StartOfISOWeek(day);
    default:
        return day;
    }
}

TDateTime NextCaptionCell(TCaptionLabel unit, TDateTime date)
{
    int year, month, day;
    switch (unit) {
    case clYear:
        return GetFirstDayOfYear(Date2Year(date) + 1);
    case clMonth:
        DecodeDate(date, year, month, day);
        return date + DaysInMonth(year, month) - (day - 1);
    case clWeek:
        return date + 7;
    default:
        return date + 1;
    }
}

std::vector<TCaptionCell> LayoutCaptionRow(double viewStart, double viewEnd, int width, int bandTop,
    int bandBottom, const QStringList &pieces, TCaptionLabel unit, int penWidth, const TTextWidth &textWidth,
    int visibleLeft)
{
    std::vector<TCaptionCell> cells;
    if (viewEnd <= viewStart || unit > clDay)
        return cells;
    const double f = width / (viewEnd - viewStart);
    const bool dayNames = unit == clDay && pieces.contains(QStringLiteral("%d+"));
    // No calendar date follows 31.12.9999: the view's rest beyond it is one blank cell.
    constexpr TDateTime LastDay = 2958465;
    for (TDateTime t = viewStart > LastDay ? std::trunc(viewStart) : FirstCaptionCell(unit, viewStart);
         t < viewEnd;) {
        const bool beyond = t > LastDay;
        const TDateTime next = beyond ? std::max(viewEnd, t + 1) : NextCaptionCell(unit, t);
        if (next <= t)
            break;
        TCaptionCell cell;
        cell.Start = t;
        cell.X1 = Round((t - viewStart) * f);
        cell.X2 = Round((next - viewStart) * f);
        cell.Text = beyond ? QString() : CaptionText(pieces, t);
        const int textWidthPx = textWidth(cell.Text);
        cell.TextRect = Rect(cell.X1 + penWidth, bandTop, cell.X2 - penWidth, bandBottom);
        if (cell.TextRect.Left < visibleLeft) // the label of a cell begun left of the view stays readable
            cell.TextRect.Left = std::min(visibleLeft, cell.X2 - textWidthPx);
        if (dayNames && !beyond) {
            const int weekday = DayOfWeek(t);
            for (const QString &name : { LongDayName(weekday), ShortDayName(weekday) }) {
                if (textWidth(name) + cell.TextRect.Left + textWidthPx + 5 < cell.X2) {
                    cell.DayName = name;
                    cell.DayNameRect
                        = Rect(cell.TextRect.Left + textWidthPx + 5, bandTop, cell.X2, bandBottom - 1);
                    break;
                }
            }
        }
        cells.push_back(std::move(cell));
        t = next;
    }
    return cells;
}
