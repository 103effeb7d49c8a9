// Task dates over working time: the derived end, the length measure, the absent
// days of a position and the public holidays.
#include "document/Document.h"

#include <climits>
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

const tWeekInfo &Document::GetWeekInfoOfPosition(int position) const
{
    static const tWeekInfo defaultWeek = DefaultWeekInfo();
    return position >= 0 && position < int(FWeekInfo.size()) ? FWeekInfo[position] : defaultWeek;
}

TInterval Document::GetMultipleRowSpan(TWhichTable table, int row) const
{
    if (row == kAllPositions) {
        if (FPositionInPositionGroup.empty())
            return TInterval { 0, 0 };
        return TInterval { FPositionInPositionGroup.front(), FPositionInPositionGroup.back() };
    }
    if (table == tbExclude && row >= 0 && row < int(FPositionsInHolidayGroup.size())) {
        const TInterval span = FPositionsInHolidayGroup[row];
        return TInterval { FPositionInPositionGroup[span.low], FPositionInPositionGroup[span.high] };
    }
    return TInterval { row, row };
}

TInterval Document::GetMultipleRowSpan(const TNodeData *node) const
{
    if (!node)
        return TInterval { -1, -1 };
    return GetMultipleRowSpan(node->NodeTable, node->nodePosition);
}

const TWorkWeek &Document::WalkWeekOf(int position) const
{
    if (position >= 0 && position < int(FWalkWeekOf.size()))
        return FWalkWeeks[FWalkWeekOf[position]];
    return defaultWalkWeek();
}

HolidayCalendar &Document::WalkHolidays()
{
    if (!FWalkHolidaysTaken) {
        FWalkHolidays.SetHolidays(FHolidayList);
        FWalkHolidaysTaken = true;
    }
    return FWalkHolidays;
}

void Document::RefreshWalkHolidays()
{
    if (FWalkHolidaysTaken && FWalkHolidays.Holidays() == FHolidayList)
        return;
    FWalkHolidays.SetHolidays(FHolidayList);
    FWalkHolidaysTaken = true;
}

void Document::updateAutoEntries(TDateTime minDate, TDateTime maxDate)
{
    FAutoExcludeList.Clear();
    RefreshWalkHolidays();
    if (std::isfinite(minDate) && std::isfinite(maxDate)) {
        const int firstYear = clampedYear(minDate);
        const int lastYear = clampedYear(maxDate);
        for (const THolidayData &holiday : FHolidayList) {
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
    // Absent rows counted in working days end elsewhere now.
    AbsentDaysChanged();
}

void Document::BuildAbsenceCache()
{
    // Deriving an absent row's end writes its End cell, which may call back into
    // the host; a walk asked for meanwhile uses the lists as they are.
    if (FBuildingAbsences)
        return;
    FBuildingAbsences = true;
    const int positions = int(FPositionsInHolidayGroup.size());
    std::vector<std::vector<DaySpan>> byGroup(positions);
    std::vector<DaySpan> ofAll;
    const DocumentTable &absent = GetTable(tbExclude);
    for (TNodeData *row = absent.First(); row; row = absent.Next(row)) {
        if (!row->nodeValid)
            continue;
        const TDateTime end = GetEndOf(row);
        if (!row->nodeValid)
            continue;
        const double first = std::ceil(row->nodeStart);
        const double last = std::floor(end);
        if (!std::isfinite(first) || !std::isfinite(last) || last < first || first > double(kLastWalkDay)
            || last < double(kFirstWalkDay))
            continue;
        const DaySpan span { std::int64_t(std::max(first, double(kFirstWalkDay))),
            std::int64_t(std::min(last, double(kLastWalkDay))) + 1 };
        const int p = row->nodePosition;
        if (p == kAllPositions)
            ofAll.push_back(span);
        else if (p >= 0 && p < positions)
            byGroup[FPositionsInHolidayGroup[p].low].push_back(span);
    }
    // One block for all positions, each position pointing straight at its
    // group's spans: the walks of a plan touch little memory.
    FAbsenceSpans.clear();
    FAbsenceRangeOf.assign(positions, SpanRange());
    std::vector<SpanRange> ofGroup(positions);
    for (int i = 0; i < positions; ++i) {
        if (!byGroup[i].empty()) {
            const DaySpans merged(std::move(byGroup[i]));
            ofGroup[i] = { std::uint32_t(FAbsenceSpans.size()), std::uint32_t(merged.Spans().size()) };
            FAbsenceSpans.insert(FAbsenceSpans.end(), merged.Spans().begin(), merged.Spans().end());
        }
    }
    for (int i = 0; i < positions; ++i)
        FAbsenceRangeOf[i] = ofGroup[FPositionsInHolidayGroup[i].low];
    FAbsencesOfAll = DaySpans(std::move(ofAll));
    FAbsencesValid = true;
    FBuildingAbsences = false;
}

WorkingTimeWalk Document::WalkFor(int position, bool withAbsences, bool wholeDays)
{
    WorkingTimeWalk walk;
    walk.week = &WalkWeekOf(position);
    walk.wholeDays = wholeDays;
    walk.holidays = &WalkHolidays();
    if (withAbsences) {
        if (!FAbsencesValid)
            BuildAbsenceCache();
        walk.absences[0] = FAbsencesOfAll.Spans();
        if (position >= 0 && position < int(FAbsenceRangeOf.size())) {
            const SpanRange range = FAbsenceRangeOf[position];
            walk.absences[1] = std::span<const DaySpan>(FAbsenceSpans.data() + range.from, range.count);
        }
    }
    return walk;
}

TDateTime Document::CalcEndOf(const TNodeData &node, bool *reachedOut)
{
    const TDateTime start = node.nodeStart;
    const bool absent = node.NodeTable == tbExclude;
    // Absent days are always planned in whole days.
    const bool wholeDays = FMinUnit == muDay || absent;
    bool reached = true;
    TDateTime end = start;
    if (node.nodeLength > 0) {
        const bool workingDays = !absent || GetData_(&node, cnLengthWithWeekend) == QLatin1String("Ja");
        if (node.nodePosition == kAllPositions || !workingDays) {
            // Calendar days of 480 minutes.
            end = start + double(node.nodeLength) / 8 / 60;
        } else {
            // Tasks keep clear of the absent days of their own position (whichever
            // group is shown); absent rows only of weekends and holidays.
            const WalkResult walked
                = WalkToEnd(WalkFor(node.nodePosition, !absent, wholeDays), start, node.nodeLength);
            end = walked.end;
            reached = walked.reached;
        }
        if (reached && wholeDays)
            end = std::trunc(end) - 1; // the last day, inclusive
        if (!std::isfinite(end) || !(end < double(kLastWalkDay + 1)))
            reached = false;
        if (!reached)
            end = start;
    }
    if (reachedOut)
        *reachedOut = reached;
    return end;
}

TDateTime Document::GetEndOf(TNodeData *node)
{
    if (!node)
        return 0;
    if (!node->RecalcEndOf)
        return node->nodeEnd;
    if (node->nodeStart == 0)
        return 0;
    bool reached = true;
    const TDateTime end = CalcEndOf(*node, &reached);
    const bool reachChanged = node->nodeEndUnreachable == reached;
    node->nodeEndUnreachable = !reached;
    SetRecalcEndOf(node, false);
    const QString before = GetData_(node, cnEnd);
    SetEndOf(node, end);
    // A changed End cell revalidates the row; an unchanged one does not, yet the
    // row's validity follows whether its end could be reached.
    if (reachChanged && GetData_(node, cnEnd) == before)
        CB_CheckValid(*node);
    return end;
}

std::int32_t Document::measureLength(
    TWhichTable table, int position, bool workingDays, TDateTime start, TDateTime end)
{
    const bool absent = table == tbExclude;
    const bool wholeDays = FMinUnit == muDay || absent;
    std::int64_t minutes;
    if (position == kAllPositions || !workingDays) {
        // The inverse of the end walk's calendar days of 480 minutes.
        if (!std::isfinite(start) || !std::isfinite(end) || !(end > start))
            return 0;
        const double m = std::nearbyint((end - start) * 480);
        minutes = m <= double(INT_MAX) ? std::int64_t(m) : -1;
    } else {
        minutes = MeasureWorkingMinutes(WalkFor(position, !absent, wholeDays), start, end);
    }
    return minutes >= 0 && minutes <= INT_MAX ? std::int32_t(minutes) : 0;
}

std::int32_t Document::calcLengthOf(TWhichTable table, int row, TDateTime start, TDateTime end)
{
    int position = -1;
    if (row == kAllPositions)
        position = kAllPositions;
    else if (row >= 0 && row < int(FFirstPositionOfRow.size()))
        position = FFirstPositionOfRow[row];
    return measureLength(table, position, table == tbTable || FDefaultCalcWorkdays, start, end);
}

std::int32_t Document::calcLengthOf(const TNodeData &node, TDateTime start, TDateTime end)
{
    const bool workingDays
        = node.NodeTable == tbTable || GetData_(&node, cnLengthWithWeekend) == QLatin1String("Ja");
    return measureLength(node.NodeTable, node.nodePosition, workingDays, start, end);
}
