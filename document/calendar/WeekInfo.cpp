#include "document/calendar/WeekInfo.h"

#include "document/calendar/DateUtils.h"
#include "document/text/CommaText.h"

namespace {

constexpr int kItemsPerDay = 10;
constexpr int kItemCount = 7 * kItemsPerDay;

TDateTime minutesToTime(int minutes)
{
    return minutes / 1440.0;
}

} // namespace

tWeekInfo DefaultWeekInfo()
{
    TDayInfo day;
    day.start = minutesToTime(7 * 60);
    day.ende = minutesToTime(15 * 60 + 45);
    day.length = 480;
    day.pause[0] = { minutesToTime(9 * 60), 15 };
    day.pause[1] = { minutesToTime(12 * 60), 30 };
    day.pause[2] = { 0, 0 };
    tWeekInfo week;
    for (int d = 0; d < 7; ++d) {
        week[d] = day;
        week[d].active = d >= 1 && d <= 5;
    }
    return week;
}

QString WeekInfo2String(const tWeekInfo &week)
{
    QStringList items;
    items.reserve(kItemCount);
    for (const TDayInfo &day : week) {
        items << QString::number(day.active ? 1 : 0) << QString::number(TimeInMinutes(day.start))
              << QString::number(TimeInMinutes(day.ende)) << QString::number(day.length);
        for (const TPauseInfo &pause : day.pause)
            items << QString::number(TimeInMinutes(pause.start)) << QString::number(pause.length);
    }
    return ToCommaText(items);
}

tWeekInfo String2WeekInfo(const QString &text)
{
    const QStringList items = ParseCommaText(text);
    if (items.size() != kItemCount)
        return DefaultWeekInfo();
    std::array<int, kItemCount> numbers {};
    for (int i = 0; i < kItemCount; ++i) {
        bool ok = false;
        numbers[i] = items[i].toInt(&ok, 10);
        if (!ok)
            return DefaultWeekInfo();
    }
    tWeekInfo week;
    for (int d = 0; d < 7; ++d) {
        const int *n = numbers.data() + d * kItemsPerDay;
        TDayInfo &day = week[d];
        day.active = items[d * kItemsPerDay] == QLatin1String("1");
        day.start = minutesToTime(n[1]);
        day.ende = minutesToTime(n[2]);
        day.length = n[3];
        for (int p = 0; p < 3; ++p)
            day.pause[p] = { minutesToTime(n[4 + 2 * p]), n[5 + 2 * p] };
    }
    return week;
}
