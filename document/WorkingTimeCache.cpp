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
    AbsentDaysChanged();
}

bool TWorkingTimeCache::SetHolidays(const std::vector<THolidayData> &holidays)
{
    if (FHolidaysTaken && FHolidays.Holidays() == holidays)
        return false;
    FHolidays.SetHolidays(holidays);
    FHolidaysTaken = true;
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
    std::vector<std::vector<DaySpan>> byGroup(positions);
    std::vector<DaySpan> ofAll;
    for (const TAbsence &absence : absences) {
        const double first = std::ceil(absence.start);
        const double last = std::floor(absence.end);
        if (!std::isfinite(first) || !std::isfinite(last) || last < first || first > double(kLastWalkDay)
            || last < double(kFirstWalkDay))
            continue;
        const DaySpan span { std::int64_t(std::max(first, double(kFirstWalkDay))),
            std::int64_t(std::min(last, double(kLastWalkDay))) + 1 };
        const int p = absence.position;
        if (p == kAllPositions)
            ofAll.push_back(span);
        else if (p >= 0 && p < positions)
            byGroup[FGroupOf[p]].push_back(span);
    }
    // One block for all positions, each position pointing straight at its
    // group's spans: the walks of a plan touch little memory.
    FAbsenceSpans.clear();
    std::vector<SpanRange> ofGroup(positions);
    for (int i = 0; i < positions; ++i) {
        if (!byGroup[i].empty()) {
            const DaySpans merged(std::move(byGroup[i]));
            ofGroup[i] = { std::uint32_t(FAbsenceSpans.size()), std::uint32_t(merged.Spans().size()) };
            FAbsenceSpans.insert(FAbsenceSpans.end(), merged.Spans().begin(), merged.Spans().end());
        }
    }
    FAbsenceRangeOf.assign(positions, SpanRange());
    for (int i = 0; i < positions; ++i)
        FAbsenceRangeOf[i] = ofGroup[FGroupOf[i]];
    FAbsencesOfAll = DaySpans(std::move(ofAll));
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
