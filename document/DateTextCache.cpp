#include "document/DateTextCache.h"

#include "document/SharedTexts.h"

#include <algorithm>
#include <cmath>
#include <cstring>

QString TDateTextCache::Format(TDateTime date, bool withTime)
{
    if (withTime && TimePart(date) != 0)
        return DateToStr(date) + QLatin1Char(' ') + TimeToStr(date);
    return DateToStr(date);
}

void TDateTextCache::Clear()
{
    FByDay.clear();
    FMoments.clear();
}

void TDateTextCache::followFormats(bool withTime)
{
    // The held copies share the settings' characters until a setting is assigned
    // anew (or changed, which detaches it from the copy): the usual look-up
    // compares two pointers. Held, the characters cannot be freed and reused.
    const TFormatSettings &fs = *FSettings;
    if (formatsHeld(withTime))
        return;
    if (FDateFormat != fs.ShortDateFormat || FTimeFormat != fs.LongTimeFormat || FWithTime != withTime)
        Clear();
    FDateFormat = fs.ShortDateFormat;
    FTimeFormat = fs.LongTimeFormat;
    FWithTime = withTime;
}

bool TDateTextCache::coverDay(std::int64_t day)
{
    const std::int64_t size = std::int64_t(FByDay.size());
    if (size == 0) {
        // Room for a few years around the first day asked for.
        FFirstDay = day - 512;
        FByDay.resize(2048);
        return true;
    }
    if (day >= FFirstDay && day < FFirstDay + size)
        return true;
    const std::int64_t low = std::min(FFirstDay, day), high = std::max(FFirstDay + size, day + 1);
    if (high - low > kMostDays)
        return false;
    // At least doubled toward the day, so a plan spread over many years grows it
    // a few times only.
    std::int64_t first = low, end = high;
    if (day < FFirstDay)
        first = std::max(high - kMostDays, std::min(low, FFirstDay - size));
    else
        end = std::min(low + kMostDays, std::max(high, FFirstDay + 2 * size));
    std::vector<QString> grown(std::size_t(end - first));
    std::move(FByDay.begin(), FByDay.end(), grown.begin() + (FFirstDay - first));
    FByDay.swap(grown);
    FFirstDay = first;
    return true;
}

const QString &TDateTextCache::lookUp(TDateTime date, bool withTime, TSharedTexts &pool)
{
    followFormats(withTime);
    if (date == std::floor(date) && std::abs(date) < 1e8) {
        const std::int64_t day = std::int64_t(date);
        if ((day >= FFirstDay && day - FFirstDay < std::int64_t(FByDay.size())) || coverDay(day)) {
            QString &text = FByDay[std::size_t(day - FFirstDay)];
            if (text.isNull())
                text = pool.Share(Format(date, withTime));
            return text;
        }
    }
    std::uint64_t key;
    std::memcpy(&key, &date, sizeof key);
    auto it = FMoments.find(key);
    if (it == FMoments.end()) {
        if (FMoments.size() >= kMostMoments)
            FMoments.clear();
        it = FMoments.emplace(key, pool.Share(Format(date, withTime))).first;
    }
    return it->second;
}
