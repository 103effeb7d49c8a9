#include "document/DateTextCache.h"

#include "document/SharedTexts.h"

#include <gtest/gtest.h>
#include <random>

namespace {

// Puts the process-wide formats back however the test ends.
struct FormatsKept {
    TFormatSettings saved = FormatSettings();
    ~FormatsKept() { FormatSettings() = saved; }
};

} // namespace

// Every text looked up is the one formatting gives, whether it was kept by day,
// in the moments' map or not at all: days around the first one asked for, far
// off in either direction (past the widest day range), moments, both units.
TEST(DateTextCache, GivesWhatFormattingGives)
{
    std::mt19937 random(11);
    TSharedTexts pool;
    TDateTextCache cache;
    const double first = EncodeDate(2024, 3, 1);
    for (int i = 0; i < 20000; ++i) {
        const std::uint32_t kind = random() % 10;
        double date = first + double(int(random() % 3000) - 1000);
        if (kind == 0)
            date = double(int(random() % 2900000)); // anywhere up to the last date
        else if (kind == 1)
            date = -double(random() % 600000); // before day 0
        else if (kind == 2)
            date += double(random() % 1440) / 1440; // a moment
        const bool withTime = random() % 3 == 0;
        ASSERT_EQ(cache.Text(date, withTime, pool), TDateTextCache::Format(date, withTime))
            << i << ' ' << date;
    }
    EXPECT_EQ(cache.Text(first + 0.5, true, pool), DateToStr(first) + ' ' + TimeToStr(first + 0.5));
    EXPECT_EQ(cache.Text(first + 0.5, false, pool), DateToStr(first)); // a day of whole days has no time
}

TEST(DateTextCache, FollowsAChangedFormat)
{
    const FormatsKept kept;
    TSharedTexts pool;
    TDateTextCache cache;
    const double day = EncodeDate(2024, 12, 24), moment = day + 0.75;
    EXPECT_EQ(cache.Text(day, true, pool), QStringLiteral("24.12.2024"));
    EXPECT_EQ(cache.Text(moment, true, pool), QStringLiteral("24.12.2024 18:00:00"));
    FormatSettings().ShortDateFormat = QStringLiteral("yyyy-MM-dd");
    FormatSettings().LongTimeFormat = QStringLiteral("hh:mm");
    EXPECT_EQ(cache.Text(day, true, pool), QStringLiteral("2024-12-24"));
    EXPECT_EQ(cache.Text(moment, true, pool), QStringLiteral("2024-12-24 18:00"));
    // An equal format assigned anew keeps the texts right as well.
    FormatSettings().ShortDateFormat = QString::fromLatin1("yyyy-MM-dd");
    EXPECT_EQ(cache.Text(day, true, pool), QStringLiteral("2024-12-24"));
}
