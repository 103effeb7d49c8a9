#pragma once

#include "document/DocumentTypes.h"
#include "document/calendar/WeekInfo.h"

#include <QHash>
#include <QStringList>
#include <vector>

class TCommaText;

// Which chart row shows which position. The positions, expanded into one entry
// per chart row a position occupies, are numbered from 0 (a row's nodePosition
// is such a number); the shown group's expanded list gives the chart rows. The
// document rebuilds it whenever the positions or the shown group change; the
// time chart reads it directly.
class TChartRows {
public:
    TChartRows();

    // Position items expanded into chart rows: a position of n rows (field 2,
    // default 1) is followed by n - 1 copies named "Name (1)", "Name (2)", ...
    static QStringList ExpandRows(const QStringList &items);
    // The chart rows of one position item: field 2, 1 when it is no number,
    // bounded to 1..32767.
    static int RowCountOf(const TCommaText &item);
    // The name of a position's chart row `row` (0 is the position's own).
    static QString RowName(const QString &name, int row);

    // Takes the position items (not expanded) and whether a column is bound to
    // the position role; the shown rows are kept.
    void SetPositions(const QStringList &items, bool bound);
    // Takes the rows of the shown group (expanded items, one per chart row): they
    // are shown, and kept as the rows the empty-rows pass hides rows from.
    void SetGroupRows(const QStringList &rows);
    // Takes the shown rows (expanded items, one per chart row); the group's rows stay.
    void SetShownRows(const QStringList &rows);
    // SetPositions and SetGroupRows in one: the positions are mapped to the rows
    // once, not once for each.
    void SetPositionsAndGroupRows(const QStringList &items, bool bound, const QStringList &rows);

    // The number of chart rows, at least 1.
    int RowCount() const { return FRowCount; }
    // The shown rows (the expanded items of the shown group, less hidden ones).
    const QStringList &GlobalPositionFilter() const { return FGlobalPositionFilter; }
    // The rows of the shown group before empty rows were hidden.
    const QStringList &NoAutoGlobalPositionFilter() const { return FNoAutoGlobalPositionFilter; }
    // Every position, expanded.
    const QStringList &AllPositions() const { return FAllPositions; }
    // Per position: its chart row, -2 when the shown group lacks it.
    const std::vector<int> &PositionInPositionGroup() const { return FPositionInPositionGroup; }
    // Per position: the first and last position of the multi-row position it
    // belongs to (absent days of a position apply to all its rows).
    const std::vector<TInterval> &PositionsInHolidayGroup() const { return FPositionsInHolidayGroup; }

    // The chart row of a position: kAllPositions stays, an unknown one is -1.
    int RowOfPosition(int position) const;
    // The first position shown at chart row `row`; -1 for none.
    int FirstPositionOfRow(int row) const;
    // The chart rows a row covers: a task its own, an absent row all rows of its
    // position, a row of all positions every shown position's row. `row` is a
    // chart row for tasks and a position for absent days.
    TInterval MultipleRowSpan(TWhichTable table, int row) const;

    // The working week of a position and of a chart row (the default week when
    // there is none).
    const tWeekInfo &WeekInfoOfPosition(int position) const;
    const tWeekInfo &WeekInfoOfRow(int row) const { return WeekInfoOfPosition(FirstPositionOfRow(row)); }
    // The distinct weeks of the positions, and which one each position works.
    const std::vector<tWeekInfo> &DistinctWeeks() const { return FWeeks; }
    const std::vector<int> &WeekOfPosition() const { return FWeekOf; }
    // The earliest start and latest end of work over the weeks of all chart rows.
    TDateTime MinDayStart() const { return FMinDayStart; }
    TDateTime MaxDayEnd() const { return FMaxDayEnd; }

private:
    void MapShownRows();
    // Expands the items into rows and reads their weeks.
    void TakeItems(const QStringList &items);

    int FItemCount = 0;
    bool FBound = false;
    int FRowCount = 1;
    QStringList FItems; // as last taken, not expanded
    QStringList FAllPositions;
    QStringList FGlobalPositionFilter;
    // The lists the row mapping was last made from: a load sets the positions
    // several times over with the same items, and matching them without case
    // is the costly part of the mapping.
    QStringList FMappedPositions;
    QStringList FMappedFilter;
    QStringList FNoAutoGlobalPositionFilter;
    std::vector<int> FPositionInPositionGroup;
    std::vector<TInterval> FPositionsInHolidayGroup;
    std::vector<int> FFirstPositionOfRow;
    std::vector<tWeekInfo> FWeeks;
    std::vector<int> FWeekOf;
    TDateTime FMinDayStart = 1.0;
    TDateTime FMaxDayEnd = 0;
};
