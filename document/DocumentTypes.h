#pragma once

#include "document/BarBitmap.h"
#include "document/calendar/DateTime.h"

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <vector>

class TGridNode;
class TBaseGridTree;

// Which table a row belongs to; documents store the enumerator's name.
enum TWhichTable : int { tbTable = 0, tbExclude = 1 };
constexpr int kTableCount = 2;

enum TColumnType : int { ctText, ctDate, ctPulldown, ctNumber, ctCheckBox, ctLink };
constexpr int kColumnTypeCount = 6;

// The roles a column can play on the chart, in their stored order.
enum TConnection : int {
    cnNone,
    cnPosition,
    cnStart,
    cnEnd,
    cnLength,
    cnTermin,
    cnColor,
    cnTextLeftTop,
    cnTextLeftMiddle,
    cnTextLeftBottom,
    cnTextcenterTop,
    cnTextCenterMiddle,
    cnTextCenterBottom,
    cnTextRightTop,
    cnTextRightMiddle,
    cnTextRightBottom,
    cnLengthWithWeekend,
    cnInterval,
};
constexpr int kConnectionCount = 18;

enum TMinUnit : int { muDay, muMinute };

enum TForEachNode : int { feAll, feGroupAll, feGroupFiltered, feOverlapping, feSelected, feFiltered };

enum TFilterType : int { ftNone, ftDate, ftList, ftText, ftNumber };
enum TFilterSubType : int { fsSmaller, fsGreater, fsEquals, fsFromTo, fsText, fsEmpty };

// What emptying the document does with the counter of new row IDs: a new
// document numbers its rows from the start again; a document read again while
// records of rows made here are still queued keeps counting, so that no new row
// takes the ID of a queued one.
enum class TRowIDs { Keep, StartAgain };

// How many text lines a bar shows.
enum TRowSet : int { rsTopMiddleBottom, rsTopMiddle, rsTop };

// A range of rows or positions, both ends included.
struct TInterval {
    int low = 0;
    int high = 0;
    bool operator==(const TInterval &) const = default;
};

// The position index of a row that belongs to all positions ("*").
constexpr int kAllPositions = -9;

QString TableName(TWhichTable table); // "tbTable" / "tbExclude"
QString ColumnTypeName(TColumnType type); // "Text", "Date", ...
TColumnType ColumnTypeName2Type(const QString &name); // exact match, else ctText
// Clamps a stored ordinal into the enumeration (bad files must not produce
// values the code cannot handle).
TColumnType ColumnTypeFromOrdinal(int ordinal);
// The element names of the roles cnPosition..cnInterval in documents
// ("Position", "Start", ..., "Interval"); cnNone has none.
QString ConnectionName(TConnection role);

struct TFilterParams {
    TFilterType FilterType = ftNone;
    TFilterSubType FilterSubType = fsSmaller;
    QString Text1;
    QString text2;
};

// Per-column definition: pulldown items, type, sort direction, autofill flags, filter.
class THeaderData {
public:
    TFilterParams Filter;
    QStringList Strings; // each item a comma text; field 0 is the value shown in cells
    TColumnType ColumnType = ctText;
    bool SortAscending = true;
    bool HasUniqueAutofill = false;
    bool HasAutofill = false;

    bool IsFiltered() const { return Filter.FilterType != ftNone; }
};

// The row record held in each tree node. The cells are the truth; the other
// values are parsed from them.
struct TNodeData {
    TDateTime nodeStart = 0;
    TDateTime nodeEnd = 0;
    TDateTime nodeTermin = 0;
    std::int32_t nodeLength = 0;
    std::int32_t nodePosition = -1;
    std::int32_t nodeColor = -1;
    // The flags and the table stand together right after the parsed values: no
    // padding between them, and deriving the ends of a whole plan reads one cache
    // line per row.
    bool nodeValid = false;
    bool RecalcEndOf = false;
    bool RecalcStartOf = false;
    // The last derivation of the end found none (no working time in the week, or
    // past the last date): the row is invalid until its inputs change.
    bool nodeEndUnreachable = false;
    // The last overlap pass found the row overlapping another (tasks only).
    bool nodeOverlapping = false;
    bool RecalcBitmap = true;
    TWhichTable NodeTable = tbTable;
    // The row's place in its table's list of selected rows, a hint the list
    // checks against its own entry: a copied or dropped row's stale number
    // finds another row there and counts as not held. Beside RecalcBitmap,
    // which a selection change sets with it.
    std::uint32_t SelectedPlace = 0;
    QStringList StringList;
    TBarBitmap Bitmap;
    QString ID;
    std::uint64_t ChangeIndex = 0;
    TGridNode *VNode = nullptr;
    TBaseGridTree *VNodeTable = nullptr;
};
