#pragma once

#include "document/DocumentTypes.h"
#include "document/calendar/PublicHoliday.h"
#include "document/calendar/WeekInfo.h"

#include <QString>
#include <QStringList>
#include <array>
#include <vector>

// What the five setup dialogs show and hand back, without any widget: lists
// whose rows carry the index of the item they edit at fill time (their origin,
// -1 for a row added in the dialog). Filled from the document together and
// applied section by section (TSetupTransfer). Each section keeps the flag its
// dialog sets when shown; only flagged sections are applied.

// The setup dialogs, in the order their sections are applied.
enum class TSetupSection : int { AbsentDays, Table, Positions, Groups, Holidays };

// The absence reasons and what new absent-day rows start with.
struct TSetupAbsentDays {
    bool wasActive = false;
    QStringList lines; // one reason per line; empty lines are no reasons
    QString defaultReason;
    bool calcWorkdays = true;
};

// One column of the task table.
struct TSetupColumn {
    QString caption;
    TColumnType type = ctText;
    QString items; // the pulldown items as one comma text
    int origin = -1;
};

// A role of the chart and the caption of the column bound to it (empty: none).
struct TSetupRoleLabel {
    TConnection role = cnNone;
    QString caption;
    TColumnType type = ctText; // the bound column's type (kept when unbound)
};

// The roles the table dialog binds, in the order its labels are visited.
inline constexpr std::array<TConnection, 15> kSetupRoles { cnStart, cnEnd, cnTermin, cnLength, cnPosition,
    cnColor, cnTextLeftTop, cnTextcenterTop, cnTextRightTop, cnTextLeftMiddle, cnTextCenterMiddle,
    cnTextRightMiddle, cnTextLeftBottom, cnTextCenterBottom, cnTextRightBottom };

using TSetupRoleLabels = std::array<TSetupRoleLabel, kSetupRoles.size()>;
// One unbound label per role, in the order above.
TSetupRoleLabels UnboundRoleLabels();

struct TSetupTable {
    bool wasActive = false;
    std::vector<TSetupColumn> columns;
    TSetupRoleLabels labels = UnboundRoleLabels();

    // The first column with this caption, -1 for none (nor for an empty one).
    int FindColumn(const QString &caption) const;
    TSetupRoleLabel &Label(TConnection role);
    const TSetupRoleLabel &Label(TConnection role) const;
    QStringList Captions() const;
    // The column bound to Position, -1 for none.
    int PositionColumn() const { return FindColumn(Label(cnPosition).caption); }

    // Appends a column under `caption` made unique among the others; its row.
    int AddColumn(const QString &caption, TColumnType type, const QString &items, int origin = -1);
    // Removes a column; the labels bound to it become unbound.
    void DeleteColumn(int row);
    // Swaps a column with its neighbour above (direction < 0) or below; false
    // at the ends.
    bool MoveColumn(int row, int direction);
    // What the column dialog's OK stores: a new name (made unique among the
    // other columns; the labels bound to the column follow it and take the
    // type), the type, and the non-empty lines as pulldown items. The items of
    // the Position column stay: they are the positions, which the positions
    // dialog edits.
    void EditColumn(int row, const QString &name, TColumnType type, const QStringList &lines);
};

// Whether a role label takes a column of this type: Duration only numbers,
// Position and Color only pulldowns, Start, End and Deadline only dates, the
// text spots any type.
bool AllowDrag(TConnection role, TColumnType type);
bool IsTextSpot(TConnection role);
// The column is bound to a role that fixes its type (Start, End, Deadline,
// Length, Position, Color).
bool IsConnected(const TSetupTable &table, const QString &caption);

// One position: its whole item (description, working week, rows; see
// PositionCaption).
struct TSetupPosition {
    QString item;
    int origin = -1;
};

struct TSetupPositions {
    bool wasActive = false;
    int minUnit = muDay;
    std::vector<TSetupPosition> positions;
    // The position items the origins count in (those of the fill, or of the
    // last apply).
    QStringList originItems;

    // Sets a position's description lines. Its first line becomes the row's
    // caption, made unique among the other rows (CheckCaption), and is written
    // back as the first line, so two positions never share a name.
    void SetDescription(int row, QStringList lines);
    QStringList Captions() const;

    // Appends a new position: `name` made unique, a second description line, no
    // working week of its own and one row; its row.
    int AddPosition(const QString &name, const QString &information);
    // Removes a position, never the last one.
    bool DeletePosition(int row);
    // Swaps a position with its neighbour above (direction < 0) or below; false
    // at the ends.
    bool MovePosition(int row, int direction);
    // The number of chart rows (1 when the item gives none or no number).
    int Rows(int row) const;
    void SetRows(int row, int rows);
    tWeekInfo Week(int row) const;
    void SetWeek(int row, const tWeekInfo &week);
    // Every position takes this one's working week.
    void CopyWeekToAll(int row);

private:
    QString Field(int row, int field) const;
    void SetField(int row, int field, const QString &value);
};

// One group page: its name and, per position of TSetupGroups::names, whether
// the position is a member. Page 0 stands for the tab of all positions: every
// position checked, no name of its own (the window names that tab), never
// applied.
struct TSetupGroupPage {
    QString name;
    std::vector<bool> checked;
};

struct TSetupGroups {
    bool wasActive = false;
    QStringList names; // the positions' names, in position order
    std::vector<TSetupGroupPage> pages;

    // Appends a page: on page 0 every position is a member, on the others none.
    void AddPage(const QString &name);
    // Removes a page; page 0 stays.
    bool DeletePage(int page);
};

struct TSetupHolidays {
    bool wasActive = false;
    std::vector<THolidayData> holidays; // names are unique
};

struct TSetupState {
    TSetupAbsentDays absentDays;
    TSetupTable table;
    TSetupPositions positions;
    TSetupGroups groups;
    TSetupHolidays holidays;

    // A dialog was shown: its section is applied on the next OK.
    void Activate(TSetupSection section) { WasActive(section) = true; }
    bool &WasActive(TSetupSection section);
    bool WasActive(TSetupSection section) const;
};

// `name` when no caption of the list is `name`, else `name` and " 1", " 2", ...:
// the first one free.
QString CheckCaption(const QStringList &captions, const QString &name);

// A position's description is field 0 of its item, the text its cells show.
// It holds the description's lines: one line as it is (a name), several lines
// each in double quotes, separated by commas. Only commas separate lines, so a
// name with blanks stays one line.
QStringList DescriptionLines(const QString &description);
QString DescriptionText(const QStringList &lines);
// The name a position shows in its list: the first line of its description.
QString PositionCaption(const QString &item);

// Lines of a memo as pulldown items: each non-empty line quoted (always), so
// it stays one field through the item and through the item list's comma text.
QStringList MemoLinesToItems(const QStringList &lines);
// The value each item shows (its field 0): a memo's lines, a list's names.
QStringList ItemValues(const QStringList &items);

// Whether the table dialog's roles can be applied: the roles a bar needs
// (Position, Start, End, Length, Color) are bound, and no column carries two
// or more of the roles that give a column its meaning (Start, End, Deadline,
// Length, Position, Color).
struct TTableSetupCheck {
    std::vector<TConnection> unbound; // required roles without a column
    QStringList overbound; // captions of columns bound to two or more of those roles

    bool Valid() const { return unbound.empty() && overbound.isEmpty(); }
    // The label is shown red: its required role is unbound or its column overbound.
    bool IsRed(const TSetupRoleLabel &label) const;
};
TTableSetupCheck CheckTableSetup(const TSetupTable &table);

// How a role label's shape shows: bound to the column selected in the list,
// in need of a (single) column, or neither.
enum class TRoleShapeState { Normal, Selected, Invalid };
TRoleShapeState RoleShapeState(
    const TTableSetupCheck &check, const TSetupRoleLabel &label, const QString &selectedCaption);
// What OK says while the check fails.
QString InvalidTableSetupMessage();
