#include "dialogs/setup/WorkingHours.h"

#include "document/calendar/DateTime.h"
#include "document/program/Translation.h"

#include <QTime>
#include <cmath>
#include <cstdlib>

namespace {

constexpr double kMinutesPerDay = 1440;

// A time of day as the dialog shows it ("hh:mm"), or in the program's short or
// long time format; hours may have one digit.
std::optional<TDateTime> readTime(const QString &text)
{
    const TFormatSettings &formats = FormatSettings();
    for (const QString &format : { QStringLiteral("hh:mm"), formats.ShortTimeFormat, formats.LongTimeFormat,
             QStringLiteral("h:mm"), QStringLiteral("h:mm:ss") }) {
        const QTime time = QTime::fromString(text.trimmed(), format);
        if (time.isValid())
            return time.msecsSinceStartOfDay() / (kMinutesPerDay * 60 * 1000);
    }
    return std::nullopt;
}

int minutesOf(TDateTime time)
{
    return int(std::nearbyint(time * kMinutesPerDay));
}

QString timeText(TDateTime time)
{
    const int minutes = ((minutesOf(time) % 1440) + 1440) % 1440;
    return QTime::fromMSecsSinceStartOfDay(minutes * 60 * 1000).toString(QStringLiteral("hh:mm"));
}

} // namespace

QString WorkingHoursText(int minutes)
{
    const QString sign = minutes < 0 ? QStringLiteral("-") : QString();
    const int m = std::abs(minutes);
    return sign + QString::number(m / 60) + QLatin1Char(',')
        + QStringLiteral("%1").arg(m % 60, 2, 10, QLatin1Char('0')) + QStringLiteral(" h");
}

tWeekInfo ApplyDayToAll(const tWeekInfo &week, int day)
{
    if (day < 0 || day >= int(week.size()))
        return week;
    tWeekInfo result = week;
    for (TDayInfo &d : result) {
        const bool active = d.active;
        d = week[std::size_t(day)];
        d.active = active;
    }
    return result;
}

TDayTimesText DayTimesText(const TDayInfo &day)
{
    TDayTimesText text { timeText(day.start), timeText(day.ende), {}, {} };
    for (std::size_t i = 0; i < day.pause.size(); ++i) {
        text.pauseStart[i] = timeText(day.pause[i].start);
        text.pauseLength[i] = QString::number(day.pause[i].length);
    }
    return text;
}

TDayTimesResult ReadDayTimes(const TDayTimesText &text, const TDayInfo &day)
{
    auto refuse = [](const QString &message, const QString &field) {
        return TDayTimesResult { std::nullopt, Translate(message, { field }) };
    };
    TDayInfo read = day;
    const auto begin = readTime(text.begin);
    if (!begin)
        return refuse(QStringLiteral("\"%s\" is not a valid time."), text.begin);
    const auto end = readTime(text.end);
    if (!end)
        return refuse(QStringLiteral("\"%s\" is not a valid time."), text.end);
    read.start = *begin;
    read.ende = *end;
    int breaks = 0;
    for (std::size_t i = 0; i < read.pause.size(); ++i) {
        const auto start = readTime(text.pauseStart[i]);
        if (!start)
            return refuse(QStringLiteral("\"%s\" is not a valid time."), text.pauseStart[i]);
        bool ok = false;
        const int length = text.pauseLength[i].trimmed().toInt(&ok);
        if (!ok || length < 0)
            return refuse(QStringLiteral("\"%s\" is not a break length: enter whole minutes, 0 or more."),
                text.pauseLength[i]);
        read.pause[i] = { *start, length };
        breaks += length;
    }
    const int minutes = minutesOf(read.ende) - minutesOf(read.start);
    if (minutes <= 0)
        return { std::nullopt, Translate(QStringLiteral("The end of work must come after its begin.")) };
    if (breaks > minutes)
        return { std::nullopt, Translate(QStringLiteral("The breaks are longer than the working day.")) };
    read.length = minutes - breaks;
    return { read, {} };
}
