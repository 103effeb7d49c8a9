#include "document/WorkingTimeCache.h"

#include "document/ChartRows.h"
#include "document/DocumentTypes.h"

#include <algorithm>
#include <cmath>

namespace {

const TWorkWeek &defaultWalkWeek()
{
    static const TWorkWeek week = PrepareWorkWeek(DefaultWeekInfo());
    return week;
}

// A year of a date for the holiday entries, clamped to the years dates can have.
int clampedYear(TDateTime date)
{
    date = std::clamp(date, -693593.0, double(kLastWalkDay));
    int year, month, day;
    DecodeDate(date, year, month, day);
    return year;
}

// Below 2^52 and not negative, a cast rounds as floor does, without a call.
double floorOf(double v)
{
    return v >= 0 && v < 4503599627370496.0 ? double(std::int64_t(v)) : std::floor(v);
}

double ceilOf(double v)
{
    if (!(v >= 0 && v < 4503599627370496.0))
        return std::ceil(v);
    const double down = double(std::int64_t(v));
    return down < v ? down + 1 : down;
}

// Days a new table counts before and after the first start it is asked about.
constexpr std::int64_t kTableDaysBefore = 366;
constexpr std::int64_t kTableDaysAfter = 2 * 366;

} // namespace

void TWorkingTimeCache::SetPositions(const TChartRows &rows)
{
    FWeeks.clear();
    for (const tWeekInfo &week : rows.DistinctWeeks())
        FWeeks.push_back(PrepareWorkWeek(week));
    FWeekOf = rows.WeekOfPosition();
    FGroupOf.clear();
    for (const TInterval &group : rows.PositionsInHolidayGroup())
        FGroupOf.push_back(group.low);
    FTables.clear();
    FTables.resize(FWeeks.size());
    AbsentDaysChanged();
}

void TWorkingTimeCache::clearTables(bool onlyWithAbsences)
{
    for (std::array<WorkingDayTable, 4> &tables : FTables) {
        for (int i = onlyWithAbsences ? 2 : 0; i < 4; ++i)
            tables[std::size_t(i)].Clear();
    }
}

bool TWorkingTimeCache::SetHolidays(const std::vector<THolidayData> &holidays)
{
    if (FHolidaysTaken && FHolidays.Holidays() == holidays)
        return false;
    FHolidays.SetHolidays(holidays);
    FHolidaysTaken = true;
    clearTables(false);
    // Absent rows counted in working days end elsewhere now.
    AbsentDaysChanged();
    return true;
}

void TWorkingTimeCache::UpdateAutoEntries(TDateTime minDate, TDateTime maxDate)
{
    FAutoExcludeList.Clear();
    if (!std::isfinite(minDate) || !std::isfinite(maxDate))
        return;
    const int firstYear = clampedYear(minDate);
    const int lastYear = clampedYear(maxDate);
    for (const THolidayData &holiday : FHolidays.Holidays()) {
        if (!holiday.enabled)
            continue;
        for (int year = firstYear; year <= lastYear; ++year) {
            std::int64_t day = 0;
            if (HolidayDateInYear(holiday, year, day))
                FAutoExcludeList.Add(double(day), double(day + 1), kAllPositions, nullptr, holiday.name);
        }
    }
    FAutoExcludeList.SortDate();
}

void TWorkingTimeCache::SetAbsences(const std::vector<TAbsence> &absences)
{
    const int positions = int(FGroupOf.size());
    // The spans of every group one after the other (counted first, then placed):
    // gathered again after every change of an absent row, without an allocation
    // per group.
    std::vector<std::pair<int, DaySpan>> owned;
    owned.reserve(absences.size());
    std::vector<std::uint32_t> groupStart(std::size_t(positions) + 1, 0);
    std::vector<DaySpan> ofAll;
    for (const TAbsence &absence : absences) {
        const double first = ceilOf(absence.start);
        const double last = floorOf(absence.end);
        if (!std::isfinite(first) || !std::isfinite(last) || last < first || first > double(kLastWalkDay)
            || last < double(kFirstWalkDay))
            continue;
        const DaySpan span { std::int64_t(std::max(first, double(kFirstWalkDay))),
            std::int64_t(std::min(last, double(kLastWalkDay))) + 1 };
        const int p = absence.position;
        if (p == kAllPositions) {
            ofAll.push_back(span);
        } else if (p >= 0 && p < positions) {
            owned.emplace_back(FGroupOf[p], span);
            ++groupStart[std::size_t(FGroupOf[p]) + 1];
        }
    }
    for (int i = 0; i < positions; ++i)
        groupStart[std::size_t(i) + 1] += groupStart[std::size_t(i)];
    std::vector<DaySpan> byGroup(owned.size());
    {
        std::vector<std::uint32_t> next(groupStart.begin(), groupStart.end() - 1);
        for (const auto &[group, span] : owned)
            byGroup[next[std::size_t(group)]++] = span;
    }
    // One block for all positions, each position pointing straight at its
    // group's spans (sorted and merged as DaySpans keeps them): the walks of a
    // plan touch little memory.
    FAbsenceSpans.clear();
    std::vector<SpanRange> ofGroup(positions);
    FBucketStarts.clear();
    for (int i = 0; i < positions; ++i) {
        const auto from = byGroup.begin() + groupStart[std::size_t(i)];
        const auto to = byGroup.begin() + groupStart[std::size_t(i) + 1];
        if (from == to)
            continue;
        std::sort(from, to, [](const DaySpan &a, const DaySpan &b) { return a.first < b.first; });
        SpanRange &range = ofGroup[i];
        range.from = std::uint32_t(FAbsenceSpans.size());
        for (auto it = from; it != to; ++it) {
            if (FAbsenceSpans.size() > range.from && it->first <= FAbsenceSpans.back().end)
                FAbsenceSpans.back().end = std::max(FAbsenceSpans.back().end, it->end);
            else
                FAbsenceSpans.push_back(*it);
        }
        range.count = std::uint32_t(FAbsenceSpans.size() - range.from);
        const std::span<const DaySpan> spans(FAbsenceSpans.data() + range.from, range.count);
        // Walkable days only (never negative), so the buckets need no floor.
        range.firstBucket = spans.front().first / kBucketDays;
        range.buckets = std::uint32_t((spans.back().end - 1) / kBucketDays - range.firstBucket + 1);
        range.bucketsFrom = std::uint32_t(FBucketStarts.size());
        std::size_t next = 0;
        for (std::uint32_t b = 0; b < range.buckets; ++b) {
            const std::int64_t day = (range.firstBucket + b) * kBucketDays;
            while (next < spans.size() && spans[next].end <= day)
                ++next;
            FBucketStarts.push_back(std::uint32_t(next));
        }
    }
    FAbsenceRangeOf.assign(positions, SpanRange());
    for (int i = 0; i < positions; ++i)
        FAbsenceRangeOf[i] = ofGroup[FGroupOf[i]];
    // The tables hold everybody's absent days: a change of the others' leaves
    // them as they are.
    DaySpans newOfAll(std::move(ofAll));
    if (newOfAll.Spans() != FAbsencesOfAll.Spans())
        clearTables(true);
    FAbsencesOfAll = std::move(newOfAll);
    FAbsencesValid = true;
}

WorkingTimeWalk TWorkingTimeCache::WalkFor(int position, bool withAbsences, bool wholeDays)
{
    WorkingTimeWalk walk;
    const bool known = position >= 0 && position < int(FWeekOf.size());
    walk.week = known ? &FWeeks[FWeekOf[position]] : &defaultWalkWeek();
    walk.wholeDays = wholeDays;
    walk.holidays = &FHolidays;
    if (withAbsences) {
        walk.absences[0] = FAbsencesOfAll.Spans();
        if (position >= 0 && position < int(FAbsenceRangeOf.size())) {
            const SpanRange range = FAbsenceRangeOf[position];
            walk.absences[1] = std::span<const DaySpan>(FAbsenceSpans.data() + range.from, range.count);
        }
    }
    return walk;
}

inline WorkingDayTable &TWorkingTimeCache::tableFor(int week, bool withAbsences, bool wholeDays)
{
    return FTables[std::size_t(week)][std::size_t(2 * int(withAbsences) + int(wholeDays))];
}

inline std::span<const DaySpan> TWorkingTimeCache::absencesOf(int position, TDateTime start) const
{
    if (position < 0 || position >= int(FAbsenceRangeOf.size()))
        return {};
    const SpanRange &range = FAbsenceRangeOf[std::size_t(position)];
    const std::span<const DaySpan> spans(FAbsenceSpans.data() + range.from, range.count);
    if (range.buckets == 0 || !(start >= 0 && start <= double(kLastWalkDay)))
        return spans;
    const std::int64_t bucket = std::int64_t(start) / kBucketDays - range.firstBucket;
    if (bucket <= 0)
        return spans;
    if (bucket >= std::int64_t(range.buckets))
        return {}; // every span ended before
    return spans.subspan(FBucketStarts[range.bucketsFrom + std::size_t(bucket)]);
}

bool TWorkingTimeCache::LastWholeDay(
    int position, TDateTime start, std::int32_t minutes, TDateTime &last) const
{
    if (!FAbsencesValid || position < 0 || position >= int(FWeekOf.size()) || minutes <= 0
        || std::uint32_t(minutes) % 480u != 0 || !(start >= 0 && start <= double(kLastWalkDay)))
        return false;
    const std::int64_t day = std::int64_t(start);
    if (double(day) != start)
        return false;
    // The table with everybody's absent days, in whole days (see tableFor).
    const WorkingDayTable &table = FTables[std::size_t(FWeekOf[std::size_t(position)])][3];
    return table.LastOfWholeDays(day, std::uint32_t(minutes) / 480u, absencesOf(position, start), last)
        && last < double(kLastWalkDay + 1);
}

WalkResult TWorkingTimeCache::EndOf(
    int position, bool withAbsences, bool wholeDays, TDateTime start, std::int64_t minutes)
{
    if (minutes <= 0)
        return { start, true };
    if (position < 0 || position >= int(FWeekOf.size()))
        return WalkToEnd(WalkFor(position, withAbsences, wholeDays), start, minutes);
    WorkingDayTable &table = tableFor(FWeekOf[std::size_t(position)], withAbsences, wholeDays);
    const std::span<const DaySpan> own
        = withAbsences ? absencesOf(position, start) : std::span<const DaySpan>();
    WalkResult out;
    if (table.EndOf(start, minutes, own, out))
        return out;
    return endFromGrownTable(table, position, withAbsences, wholeDays, start, minutes);
}

WalkResult TWorkingTimeCache::endFromGrownTable(WorkingDayTable &table, int position, bool withAbsences,
    bool wholeDays, TDateTime start, std::int64_t minutes)
{
    const WorkingTimeWalk walk = WalkFor(position, withAbsences, wholeDays);
    if (std::isfinite(start) && start >= double(kFirstWalkDay) && start <= double(kLastWalkDay)) {
        // Grow to take in the start and at least double the width, so a plan
        // spread over many years rebuilds a week's table a few times only.
        const std::int64_t day = std::int64_t(start);
        std::int64_t first = day - kTableDaysBefore, end = day + kTableDaysAfter;
        if (!table.Empty()) {
            const std::int64_t width = table.End() - table.First();
            first = std::min(first, table.First());
            end = std::max(end, table.End());
            if (day < table.First())
                first = std::min(first, table.First() - width);
            else
                end = std::max(end, table.End() + width);
        }
        if (end - first <= WorkingDayTable::kMaxDays) {
            table.Build(walk, first, end);
            WalkResult out;
            if (table.EndOf(start, minutes, walk.absences[1], out))
                return out;
        }
    }
    return WalkToEnd(walk, start, minutes);
}
