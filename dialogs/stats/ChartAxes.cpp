#include "dialogs/stats/ChartAxes.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr int LabelGap = 12;

// The first of 1, 2, 5 x 10^n at or above `x` (> 0).
double RoundStep(double x)
{
    const double power = std::pow(10.0, std::floor(std::log10(x)));
    for (const double m : { 1.0, 2.0, 5.0 })
        if (m * power >= x * (1 - 1e-12))
            return m * power;
    return 10 * power;
}

// Day steps in minutes below a day; a week or two start on Mondays (day 2).
constexpr std::array<int, 9> MinuteSteps = { 1, 5, 15, 30, 60, 120, 180, 360, 720 };
constexpr std::array<int, 4> DaySteps = { 1, 2, 7, 14 };
constexpr std::array<int, 9> MonthSteps = { 1, 2, 3, 6, 12, 24, 60, 120, 1200 };

std::vector<TDateTime> MinuteTicks(TDateTime from, TDateTime to, int minutes)
{
    std::vector<TDateTime> dates;
    const double per = 1440.0 / minutes;
    for (double k = std::ceil(from * per - 1e-9); k / per <= to + 1e-9; ++k)
        dates.push_back(k / per);
    return dates;
}

std::vector<TDateTime> DayTicks(TDateTime from, TDateTime to, int days)
{
    const int offset = days >= 7 ? 2 : 0;
    std::vector<TDateTime> dates;
    for (double d = std::ceil(from); d <= to; ++d)
        if (std::fmod(d - offset, days) == 0)
            dates.push_back(d);
    return dates;
}

std::vector<TDateTime> MonthTicks(TDateTime from, TDateTime to, int months)
{
    int year, month, day;
    DecodeDate(from, year, month, day);
    std::vector<TDateTime> dates;
    for (int index = year * 12 + month - 1; index < 10000 * 12; ++index) {
        TDateTime first;
        if (!TryEncodeDate(index / 12, index % 12 + 1, 1, first) || first > to)
            break;
        if (first >= from && index % months == 0)
            dates.push_back(first);
    }
    return dates;
}

} // namespace

TValueAxis ValueAxisFor(double lowest, double highest, bool whole)
{
    const double low = std::min(0.0, lowest);
    double high = std::max(0.0, highest);
    if (!(high > low))
        high = low + 1;
    double step = RoundStep((high - low) / 5);
    if (whole)
        step = std::max(step, 1.0);
    return { std::floor(low / step) * step, std::ceil(high / step) * step, step };
}

QString ValueLabel(double value, double step)
{
    const int decimals = std::max(0, -int(std::floor(std::log10(step) + 1e-9)));
    QString text = QString::number(std::nearbyint(value / step) * step, 'f', decimals);
    if (text.startsWith(QLatin1Char('-')) && text.toDouble() == 0)
        text.remove(0, 1);
    return text.replace(QLatin1Char('.'), FormatSettings().DecimalSeparator);
}

TDateTicks DateTicksFor(TDateTime from, TDateTime to, int pixels, int dateWidth, int dateTimeWidth)
{
    const double span = to - from;
    if (!(span > 0) || pixels <= 0)
        return {};
    const auto fits = [&](double days, int width) { return days / span * pixels >= width + LabelGap; };
    for (const int minutes : MinuteSteps)
        if (fits(minutes / 1440.0, dateTimeWidth))
            return { MinuteTicks(from, to, minutes), true };
    for (const int days : DaySteps)
        if (fits(days, dateWidth))
            return { DayTicks(from, to, days), false };
    for (const int months : MonthSteps)
        if (fits(months * 30.44, dateWidth) || months == MonthSteps.back())
            return { MonthTicks(from, to, months), false };
    return {};
}

QString DateLabel(TDateTime date, bool withTime)
{
    return withTime
        ? DateToStr(date) + QLatin1Char(' ') + FormatDateTimePattern(FormatSettings().ShortTimeFormat, date)
        : DateToStr(date);
}
