#pragma once

#include "document/calendar/DateTime.h"

#include <QString>
#include <cstdint>
#include <unordered_map>
#include <vector>

class TSharedTexts;

// The texts of derived ends, each formatted once: a plan's ends fall on a few
// hundred days, and formatting a date costs far more than looking its text up.
// Whole days are kept by day number, moments within a day in a bounded map. The
// texts come through the pool, so a cell that already holds an equal text shares
// its storage (comparing the two is a look at their storage). A change of the
// date or time format is noticed by the next look-up. Main thread only.
class TDateTextCache {
public:
    // The text for `date`: the short date, with the long time after a blank when
    // `withTime` and the date has a time of day.
    static QString Format(TDateTime date, bool withTime);

    // Format's text, valid until the next call.
    const QString &Text(TDateTime date, bool withTime, TSharedTexts &pool);
    void Clear();

    // The widest range of days kept by day number, and the most moments kept.
    static constexpr std::int64_t kMostDays = 1 << 15;
    static constexpr std::size_t kMostMoments = 1 << 16;

private:
    // Text for what the usual look-up does not find.
    const QString &lookUp(TDateTime date, bool withTime, TSharedTexts &pool);
    // Whether the texts were made with the formats in use (the characters held
    // are the settings' own: two pointers compared).
    bool formatsHeld(bool withTime) const;
    // Forgets the texts when the formats they were made with changed.
    void followFormats(bool withTime);
    // Grows the day range to take in `day`; false when it would grow too wide.
    bool coverDay(std::int64_t day);

    // The process-wide settings (they stay where they are).
    const TFormatSettings *FSettings = &FormatSettings();
    QString FDateFormat;
    QString FTimeFormat;
    bool FWithTime = false;
    std::int64_t FFirstDay = 0;
    std::vector<QString> FByDay; // from FFirstDay on; null: not formatted yet
    std::unordered_map<std::uint64_t, QString> FMoments; // by the date's bits
};

inline bool TDateTextCache::formatsHeld(bool withTime) const
{
    const TFormatSettings &fs = *FSettings;
    return FDateFormat.constData() == fs.ShortDateFormat.constData()
        && FDateFormat.size() == fs.ShortDateFormat.size()
        && FTimeFormat.constData() == fs.LongTimeFormat.constData()
        && FTimeFormat.size() == fs.LongTimeFormat.size() && FWithTime == withTime;
}

inline const QString &TDateTextCache::Text(TDateTime date, bool withTime, TSharedTexts &pool)
{
    // The usual look-up, done where it is asked for: formats unchanged, and a
    // whole day formatted before.
    if (date >= 0 && date < 1e8 && formatsHeld(withTime)) {
        const std::int64_t day = std::int64_t(date);
        const std::uint64_t at = std::uint64_t(day - FFirstDay);
        if (double(day) == date && at < FByDay.size() && !FByDay[std::size_t(at)].isNull())
            return FByDay[std::size_t(at)];
    }
    return lookUp(date, withTime, pool);
}
