// Task dates over working time: the derived end, the length measure, the absent
// days of a position and the public holidays.
#include "document/ChartRows.h"
#include "document/Document.h"
#include "document/DocumentTable.h"
#include "document/RowWalkProgress.h"
#include "document/WorkingTimeCache.h"

#include <algorithm>
#include <climits>
#include <cmath>

const tWeekInfo &Document::GetWeekInfoOfPosition(int position) const
{
    return FChartRows->WeekInfoOfPosition(position);
}

TInterval Document::GetMultipleRowSpan(TWhichTable table, int row) const
{
    return FChartRows->MultipleRowSpan(table, row);
}

TInterval Document::GetMultipleRowSpan(const TNodeData *node) const
{
    if (!node)
        return TInterval { -1, -1 };
    return GetMultipleRowSpan(node->NodeTable, node->nodePosition);
}

void Document::updateAutoEntries(TDateTime minDate, TDateTime maxDate)
{
    FAutoEntriesFrom = minDate;
    FAutoEntriesTo = maxDate;
    FWorkingTime->UpdateAutoEntries(minDate, maxDate);
}

void Document::updateAutoEntries()
{
    FWorkingTime->UpdateAutoEntries(FAutoEntriesFrom, FAutoEntriesTo);
}

void Document::ClearHoliday()
{
    FSetup.FHolidayList.clear();
    HolidaysChanged();
}

void Document::AddHoliday(const QString &name, int day, int month, bool enabled, bool easter)
{
    FSetup.FHolidayList.push_back(THolidayData { name, day, month, enabled, easter });
    HolidaysChanged();
}

void Document::HolidaysChanged()
{
    // The closing bracket flags every end anyway.
    if (FWorkingTime->SetHolidays(FSetup.FHolidayList) && !IsUpdating())
        RecalcAllEnds();
}

const tDateList &Document::AutoExcludeList() const
{
    return FWorkingTime->AutoExcludeList();
}

void Document::AbsentDaysChanged()
{
    FWorkingTime->AbsentDaysChanged();
}

void Document::RecalcAllEnds()
{
    FRowChanges.Reset();
    ForEach(feAll, [](TNodeData &node) {
        node.RecalcEndOf = true;
        node.RecalcBitmap = true;
        TRowWalkProgress::Row();
    });
    ++FRowsRevision;
    AbsentDaysChanged();
}

void Document::CollectAbsentDays()
{
    // Deriving an absent row's end writes its End cell, which may call back into
    // the host; a walk asked for meanwhile uses the absent days as they are.
    if (FCollectingAbsences)
        return;
    FCollectingAbsences = true;
    std::vector<TWorkingTimeCache::TAbsence> absences;
    const DocumentTable &absent = GetTable(tbExclude);
    absences.reserve(std::size_t(std::max(0, absent.RowCount())));
    for (TNodeData *row = absent.First(); row; row = absent.Next(row)) {
        if (!row->nodeValid)
            continue;
        const TDateTime end = GetEndOf(row);
        if (row->nodeValid)
            absences.push_back({ row->nodePosition, row->nodeStart, end });
    }
    FWorkingTime->SetAbsences(absences);
    FCollectingAbsences = false;
}

WorkingTimeWalk Document::WalkFor(int position, bool withAbsences, bool wholeDays)
{
    if (withAbsences && !FWorkingTime->AbsencesValid())
        CollectAbsentDays();
    return FWorkingTime->WalkFor(position, withAbsences, wholeDays);
}

TDateTime Document::endOver(
    TWhichTable table, int position, bool workingDays, TDateTime start, std::int32_t length, bool *reachedOut)
{
    const bool absent = table == tbExclude;
    // Absent days are always planned in whole days.
    const bool wholeDays = FSetup.FMinUnit == muDay || absent;
    bool reached = true;
    TDateTime end = start;
    if (length > 0) {
        if (position == kAllPositions || !workingDays) {
            // Calendar days of 480 minutes.
            end = start + double(length) / 8 / 60;
        } else {
            // Tasks keep clear of the absent days of their own position (whichever
            // group is shown); absent rows only of weekends and holidays.
            if (!absent && !FWorkingTime->AbsencesValid())
                CollectAbsentDays();
            const WalkResult walked = FWorkingTime->EndOf(position, !absent, wholeDays, start, length);
            end = walked.end;
            reached = walked.reached;
        }
        if (reached && wholeDays)
            end = (end >= 0 && end < double(kLastWalkDay + 2) ? double(std::int64_t(end)) : std::trunc(end))
                - 1; // the last day, inclusive
        if (!std::isfinite(end) || !(end < double(kLastWalkDay + 1)))
            reached = false;
        if (!reached)
            end = start;
    }
    if (reachedOut)
        *reachedOut = reached;
    return end;
}

TDateTime Document::CalcEndOf(const TNodeData &node, bool *reachedOut)
{
    // Most tasks of a plan in days start at midnight and last whole days: their
    // end is read from the position's day table in one step.
    TDateTime last;
    if (node.NodeTable == tbTable && FSetup.FMinUnit == muDay
        && FWorkingTime->LastWholeDay(node.nodePosition, node.nodeStart, node.nodeLength, last)) {
        if (reachedOut)
            *reachedOut = true;
        return last;
    }
    const bool workingDays
        = node.NodeTable != tbExclude || GetData_(&node, cnLengthWithWeekend) == QLatin1String("Ja");
    return endOver(
        node.NodeTable, node.nodePosition, workingDays, node.nodeStart, node.nodeLength, reachedOut);
}

TDateTime Document::calcEndOf(TWhichTable table, int row, TDateTime start, TDateTime end)
{
    const int position = row == kAllPositions ? kAllPositions : FChartRows->FirstPositionOfRow(row);
    const bool workingDays = table == tbTable || FSetup.FDefaultCalcWorkdays;
    return endOver(
        table, position, workingDays, start, measureLength(table, position, workingDays, start, end));
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
    // SetRecalcEndOf(node, false) without its call: every end derived anew
    // passes here once a row.
    if (node->RecalcEndOf) {
        NoteRowChanging(*node);
        ++FRowsRevision;
        node->RecalcEndOf = false;
    }
    QString before;
    if (reachChanged)
        before = GetData_(node, cnEnd);
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
    const bool wholeDays = FSetup.FMinUnit == muDay || absent;
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
    const int position = row == kAllPositions ? kAllPositions : FChartRows->FirstPositionOfRow(row);
    return measureLength(table, position, table == tbTable || FSetup.FDefaultCalcWorkdays, start, end);
}

std::int32_t Document::calcLengthOf(const TNodeData &node, TDateTime start, TDateTime end)
{
    const bool workingDays
        = node.NodeTable == tbTable || GetData_(&node, cnLengthWithWeekend) == QLatin1String("Ja");
    return measureLength(node.NodeTable, node.nodePosition, workingDays, start, end);
}
