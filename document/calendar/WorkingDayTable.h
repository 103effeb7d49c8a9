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

private:
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
