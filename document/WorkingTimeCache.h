#pragma once

#include "document/calendar/DateList.h"
#include "document/calendar/WorkingDayTable.h"
#include "document/calendar/WorkingTime.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

class TChartRows;

// What the end walks of one document work with, prepared once and kept until
// it changes: the working week of every position, the public holidays, and the
// absent days by position. The document collects the absent days and hands
// them in; the cache only arranges them for the walks.
class TWorkingTimeCache {
public:
    // One absent row: its position (kAllPositions: everybody) and its days, from
    // the start to the last day (inclusive).
    struct TAbsence {
        int position = 0;
        TDateTime start = 0;
        TDateTime end = 0;
    };

    // Takes the weeks and the multi-row positions of the chart rows. The absent
    // days are to be collected again (their positions may have moved).
    void SetPositions(const TChartRows &rows);
    // Takes the public holidays; false when they are the ones the walks have.
    bool SetHolidays(const std::vector<THolidayData> &holidays);
    // Rebuilds the chart's holiday entries with the enabled holidays of every
    // year from that of minDate to that of maxDate (none when either is no number).
    void UpdateAutoEntries(TDateTime minDate, TDateTime maxDate);
    // The chart's holiday entries (FAutoExcludeList), sorted by start.
    const tDateList &AutoExcludeList() const { return FAutoExcludeList; }
    void ClearAutoEntries() { FAutoExcludeList.Clear(); }

    // Absent days: out of date after any change of the absent-days table.
    void AbsentDaysChanged() { FAbsencesValid = false; }
    bool AbsencesValid() const { return FAbsencesValid; }
    void SetAbsences(const std::vector<TAbsence> &absences);

    // What a walk for `position` works with: its week, the holidays and, with
    // `withAbsences`, the absent days of everybody and of its position (as last
    // set: collect them first when they are out of date).
    WorkingTimeWalk WalkFor(int position, bool withAbsences, bool wholeDays);
    // WalkToEnd over the walk WalkFor gives, answered from a table of the
    // position's calendar where it can be.
    WalkResult EndOf(int position, bool withAbsences, bool wholeDays, TDateTime start, std::int64_t minutes);
    // The last day (inclusive) of a task of `position` planned in whole days with
    // its absent days, for the common case only: a start at midnight, a length of
    // whole days, and the position's table already counting the days it needs.
    // False sends the caller down EndOf, which answers every case.
    bool LastWholeDay(int position, TDateTime start, std::int32_t minutes, TDateTime &last) const;

private:
    struct SpanRange {
        std::uint32_t from = 0;
        std::uint32_t count = 0;
        // Per kBucketDays days from firstBucket on (buckets of them, from
        // bucketsFrom in FBucketStarts): the first of the spans that ends after
        // the bucket's first day, so a look-up starts near its day.
        std::uint32_t bucketsFrom = 0;
        std::uint32_t buckets = 0;
        std::int64_t firstBucket = 0;
    };
    static constexpr std::int64_t kBucketDays = 32;

    WorkingDayTable &tableFor(int week, bool withAbsences, bool wholeDays);
    WalkResult endFromGrownTable(WorkingDayTable &table, int position, bool withAbsences, bool wholeDays,
        TDateTime start, std::int64_t minutes);
    void clearTables(bool onlyWithAbsences);
    // The position's absent days from the first that may end after `start` on.
    std::span<const DaySpan> absencesOf(int position, TDateTime start) const;

    std::vector<TWorkWeek> FWeeks;
    std::vector<int> FWeekOf;
    // Per position: the first position of its multi-row position, whose absent
    // days it shares.
    std::vector<int> FGroupOf;
    HolidayCalendar FHolidays;
    bool FHolidaysTaken = false;
    tDateList FAutoExcludeList;
    std::vector<DaySpan> FAbsenceSpans; // of every group, one after the other
    std::vector<SpanRange> FAbsenceRangeOf; // per position: its group's spans
    std::vector<std::uint32_t> FBucketStarts; // of every group, one after the other
    DaySpans FAbsencesOfAll;
    bool FAbsencesValid = false;
    // Per week: its tables without and with the absent days of everybody, each
    // in hours and in whole days; a position's own absent days are looked at by
    // each look-up.
    std::vector<std::array<WorkingDayTable, 4>> FTables;
};
