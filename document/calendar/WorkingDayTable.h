#pragma once

#include "document/calendar/WorkingTime.h"

#include <cstdint>
#include <span>
#include <vector>

// The working time of a week with its holidays (and the days nobody works)
// counted up to every day of a range, so that an end is looked up instead of
// walked to. The absent days of one position are passed to each look-up: one
// table serves every position of the week, and stays small enough to stay in
// the cache. It answers exactly as WalkToEnd does, or not at all: a start
// outside the range or an end beyond it is left to the walk.
class WorkingDayTable {
public:
    // The widest range a table counts (some ninety years): wider ones would cost
    // more memory than walking the rare far-off task does.
    static constexpr std::int64_t kMaxDays = 1 << 15;

    // Counts the days [first, end) (clamped to the walkable days and kMaxDays) as `walk`
    // sees them, its second list of absent days left out; grows the walk's holiday
    // window to cover them. The week must outlive the table.
    void Build(const WorkingTimeWalk &walk, std::int64_t first, std::int64_t end);
    void Clear();
    bool Empty() const { return FFirst == FEnd; }
    std::int64_t First() const { return FFirst; }
    std::int64_t End() const { return FEnd; }

    // WalkToEnd's answer for a positive length, with `absent` (sorted, disjoint)
    // as the walk's second list of absent days; false when the table cannot tell.
    bool EndOf(TDateTime start, std::int64_t minutes, std::span<const DaySpan> absent, WalkResult &out) const;
    // The common case of EndOf on a table of whole days, taken in one step: a
    // start at the midnight of `day`, a length of `days` whole working days.
    // Gives the last working day (inclusive), as a whole-day end shows it.
    bool LastOfWholeDays(
        std::int64_t day, std::uint32_t days, std::span<const DaySpan> absent, TDateTime &last) const;

private:
    // The first span that ends after `day`.
    static std::size_t FirstEndingAfter(std::span<const DaySpan> spans, std::int64_t day);

    const TWorkWeek *FWeek = nullptr;
    bool FWholeDays = true;
    std::int64_t FFirst = 0;
    std::int64_t FEnd = 0;
    // The day (index into the range) whose units, added up from the first day,
    // reach `target`.
    std::size_t dayReaching(std::int64_t target) const;

    // Per day of the range: whether nobody works (a holiday or absent day).
    std::vector<std::uint8_t> FOff;
    // Per day and one past the last: the working days (whole days) or minutes
    // (hours) before it.
    std::vector<std::int32_t> FBefore;
    // Whole days: the offset from First of the n-th working day.
    std::vector<std::int32_t> FWorkingDay;
    // Whole days: where the walk ends when the length runs out with the n-th
    // working day (the start of the next day's work).
    std::vector<TDateTime> FEndAfter;
};

// Callers mostly hand in the spans from near the day on: a few steps find it.
// Otherwise a search without branches, as a plan's look-ups visit the
// positions' short lists at random.
inline std::size_t WorkingDayTable::FirstEndingAfter(std::span<const DaySpan> spans, std::int64_t day)
{
    for (std::size_t i = 0; i < 4; ++i) {
        if (i == spans.size() || spans[i].end > day)
            return i;
    }
    std::size_t n = spans.size();
    const DaySpan *base = spans.data();
    while (n > 1) {
        const std::size_t half = n / 2;
        base = base[half - 1].end <= day ? base + half : base;
        n -= half;
    }
    return std::size_t(base - spans.data()) + (base->end <= day ? 1 : 0);
}

inline bool WorkingDayTable::LastOfWholeDays(
    std::int64_t day, std::uint32_t days, std::span<const DaySpan> absent, TDateTime &last) const
{
    if (!FWholeDays || day < FFirst || day >= FEnd)
        return false;
    // As EndOf counts: the length runs out with the target-th working day of the
    // range, pushed on past the absent days met before it.
    const std::int32_t *before = FBefore.data();
    const std::int64_t total = FBefore.back();
    std::int64_t target = before[day - FFirst] + std::int64_t(days);
    if (target > total)
        return false;
    std::int64_t lastDay = FWorkingDay[std::size_t(target - 1)];
    const std::int64_t rangeEnd = std::int64_t(FBefore.size()) - 1;
    for (auto span = absent.begin() + std::ptrdiff_t(FirstEndingAfter(absent, day)); span != absent.end();
         ++span) {
        const std::int64_t first = std::max(span->first, day) - FFirst;
        if (first > lastDay)
            break;
        target += before[std::min(span->end - FFirst, rangeEnd)] - before[first];
        if (target > total)
            return false;
        lastDay = FWorkingDay[std::size_t(target - 1)];
    }
    // The walk ends at the start of the next day's work (before that day's last
    // minute): the day before it is the one the length ran out with.
    last = double(FFirst + lastDay);
    return true;
}
