#include "dialogs/setup/SetupState.h"

#include "document/ChartRows.h"
#include "document/program/Translation.h"
#include "document/text/CommaText.h"

#include <algorithm>

namespace {

constexpr TConnection kRequiredRoles[] = { cnPosition, cnStart, cnEnd, cnLength, cnColor };
constexpr TConnection kTypedRoles[] = { cnStart, cnEnd, cnTermin, cnLength, cnPosition, cnColor };

// In double quotes, inner ones doubled, whether it needs them or not.
QString alwaysQuoted(QString text)
{
    text.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + text + QLatin1Char('"');
}

bool isTyped(TConnection role)
{
    return std::find(std::begin(kTypedRoles), std::end(kTypedRoles), role) != std::end(kTypedRoles);
}

// Swaps an entry with its neighbour in `direction`; false when there is none.
template <typename T> bool swapWithNeighbour(std::vector<T> &list, int row, int direction)
{
    const int other = row + (direction < 0 ? -1 : 1);
    if (row < 0 || row >= int(list.size()) || other < 0 || other >= int(list.size()))
        return false;
    std::swap(list[std::size_t(row)], list[std::size_t(other)]);
    return true;
}

} // namespace

TSetupRoleLabels UnboundRoleLabels()
{
    TSetupRoleLabels labels;
    for (std::size_t i = 0; i < labels.size(); ++i)
        labels[i].role = kSetupRoles[i];
    return labels;
}

int TSetupTable::FindColumn(const QString &caption) const
{
    if (caption.isEmpty())
        return -1;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].caption == caption)
            return int(i);
    }
    return -1;
}

TSetupRoleLabel &TSetupTable::Label(TConnection role)
{
    return const_cast<TSetupRoleLabel &>(std::as_const(*this).Label(role));
}

const TSetupRoleLabel &TSetupTable::Label(TConnection role) const
{
    const auto at = std::find(kSetupRoles.begin(), kSetupRoles.end(), role);
    return labels[std::size_t(at == kSetupRoles.end() ? 0 : at - kSetupRoles.begin())];
}

QStringList TSetupTable::Captions() const
{
    QStringList captions;
    for (const TSetupColumn &column : columns)
        captions.append(column.caption);
    return captions;
}

int TSetupTable::AddColumn(const QString &caption, TColumnType type, const QString &items, int origin)
{
    columns.push_back({ CheckCaption(Captions(), caption), type, items, origin });
    return int(columns.size()) - 1;
}

void TSetupTable::DeleteColumn(int row)
{
    if (row < 0 || row >= int(columns.size()))
        return;
    for (TSetupRoleLabel &label : labels) {
        if (label.caption == columns[std::size_t(row)].caption)
            label.caption.clear();
    }
    columns.erase(columns.begin() + row);
}

bool TSetupTable::MoveColumn(int row, int direction)
{
    return swapWithNeighbour(columns, row, direction);
}

void TSetupTable::EditColumn(int row, const QString &name, TColumnType type, const QStringList &lines)
{
    if (row < 0 || row >= int(columns.size()))
        return;
    const bool positions = row == PositionColumn();
    TSetupColumn &column = columns[std::size_t(row)];
    const QString old = column.caption;
    if (name != old) {
        QStringList others = Captions();
        others.removeAt(row);
        column.caption = CheckCaption(others, name);
    }
    for (TSetupRoleLabel &label : labels) {
        if (label.caption == old) {
            label.caption = column.caption;
            label.type = type;
        }
    }
    column.type = type;
    if (!positions)
        column.items = ToCommaText(MemoLinesToItems(lines));
}

bool AllowDrag(TConnection role, TColumnType type)
{
    switch (role) {
    case cnLength:
        return type == ctNumber;
    case cnPosition:
    case cnColor:
        return type == ctPulldown;
    case cnStart:
    case cnEnd:
    case cnTermin:
        return type == ctDate;
    default:
        return IsTextSpot(role);
    }
}

bool IsTextSpot(TConnection role)
{
    return std::find(kSetupRoles.begin(), kSetupRoles.end(), role) != kSetupRoles.end() && !isTyped(role);
}

bool IsConnected(const TSetupTable &table, const QString &caption)
{
    if (caption.isEmpty())
        return false;
    return std::any_of(std::begin(kTypedRoles), std::end(kTypedRoles),
        [&](TConnection role) { return table.Label(role).caption == caption; });
}

QStringList TSetupPositions::Captions() const
{
    QStringList captions;
    for (const TSetupPosition &p : positions)
        captions.append(PositionCaption(p.item));
    return captions;
}

void TSetupPositions::SetDescription(int row, QStringList lines)
{
    if (row < 0 || row >= int(positions.size()))
        return;
    QStringList others = Captions();
    others.removeAt(row);
    const QString caption = CheckCaption(others, lines.value(0));
    if (lines.isEmpty())
        lines.append(caption);
    else
        lines[0] = caption;
    TCommaText item(positions[std::size_t(row)].item);
    item.SetItem(0, DescriptionText(lines));
    positions[std::size_t(row)].item = item.AsString();
}

QString TSetupPositions::Field(int row, int field) const
{
    if (row < 0 || row >= int(positions.size()))
        return {};
    return TCommaText(positions[std::size_t(row)].item).Item(field);
}

void TSetupPositions::SetField(int row, int field, const QString &value)
{
    if (row < 0 || row >= int(positions.size()))
        return;
    TCommaText item(positions[std::size_t(row)].item);
    item.SetItem(field, value);
    positions[std::size_t(row)].item = item.AsString();
}

int TSetupPositions::AddPosition(const QString &name, const QString &information)
{
    TCommaText item;
    item.Add(DescriptionText({ CheckCaption(Captions(), name), information }));
    positions.push_back({ item.AsString(), -1 });
    return int(positions.size()) - 1;
}

bool TSetupPositions::DeletePosition(int row)
{
    if (positions.size() < 2 || row < 0 || row >= int(positions.size()))
        return false;
    positions.erase(positions.begin() + row);
    return true;
}

bool TSetupPositions::MovePosition(int row, int direction)
{
    return swapWithNeighbour(positions, row, direction);
}

int TSetupPositions::Rows(int row) const
{
    if (row < 0 || row >= int(positions.size()))
        return 1;
    return TChartRows::RowCountOf(TCommaText(positions[std::size_t(row)].item));
}

void TSetupPositions::SetRows(int row, int rows)
{
    SetField(row, 2, QString::number(std::max(1, rows)));
}

tWeekInfo TSetupPositions::Week(int row) const
{
    return String2WeekInfo(Field(row, 1));
}

void TSetupPositions::SetWeek(int row, const tWeekInfo &week)
{
    SetField(row, 1, WeekInfo2String(week));
}

void TSetupPositions::CopyWeekToAll(int row)
{
    if (row < 0 || row >= int(positions.size()))
        return;
    const QString week = Field(row, 1);
    for (int j = 0; j < int(positions.size()); ++j)
        SetField(j, 1, week);
}

void TSetupGroups::AddPage(const QString &name)
{
    pages.push_back({ name, std::vector<bool>(std::size_t(names.size()), pages.empty()) });
}

bool TSetupGroups::DeletePage(int page)
{
    if (page < 1 || page >= int(pages.size()))
        return false;
    pages.erase(pages.begin() + page);
    return true;
}

bool &TSetupState::WasActive(TSetupSection section)
{
    switch (section) {
    case TSetupSection::AbsentDays:
        return absentDays.wasActive;
    case TSetupSection::Table:
        return table.wasActive;
    case TSetupSection::Positions:
        return positions.wasActive;
    case TSetupSection::Groups:
        return groups.wasActive;
    case TSetupSection::Holidays:
        break;
    }
    return holidays.wasActive;
}

bool TSetupState::WasActive(TSetupSection section) const
{
    return const_cast<TSetupState &>(*this).WasActive(section);
}

QString CheckCaption(const QStringList &captions, const QString &name)
{
    if (!captions.contains(name))
        return name;
    for (int n = 1;; ++n) {
        const QString candidate = name + QLatin1Char(' ') + QString::number(n);
        if (!captions.contains(candidate))
            return candidate;
    }
}

QStringList DescriptionLines(const QString &description)
{
    QStringList lines;
    QString line;
    bool quoted = false, wasQuoted = false;
    for (qsizetype i = 0; i < description.size(); ++i) {
        const QChar c = description[i];
        if (quoted) {
            if (c != QLatin1Char('"'))
                line += c;
            else if (i + 1 < description.size() && description[i + 1] == QLatin1Char('"'))
                line += description[++i];
            else
                quoted = false;
        } else if (c == QLatin1Char(',')) {
            lines.append(wasQuoted ? line : line.trimmed());
            line.clear();
            wasQuoted = false;
        } else if (c == QLatin1Char('"') && line.trimmed().isEmpty() && !wasQuoted) {
            line.clear();
            quoted = wasQuoted = true;
        } else if (!wasQuoted) {
            line += c;
        }
    }
    lines.append(wasQuoted ? line : line.trimmed());
    return lines;
}

QString DescriptionText(const QStringList &lines)
{
    if (lines.size() == 1) {
        const QString &line = lines[0];
        const bool plain = !line.contains(QLatin1Char(',')) && !line.startsWith(QLatin1Char('"'))
            && line == line.trimmed();
        return plain ? line : alwaysQuoted(line);
    }
    QStringList parts;
    for (const QString &line : lines)
        parts.append(alwaysQuoted(line));
    return parts.join(QLatin1Char(','));
}

QString PositionCaption(const QString &item)
{
    return DescriptionLines(TCommaText(item).Item(0)).value(0);
}

QStringList MemoLinesToItems(const QStringList &lines)
{
    QStringList items;
    for (const QString &line : lines) {
        if (!line.isEmpty())
            items.append(alwaysQuoted(line));
    }
    return items;
}

QStringList ItemValues(const QStringList &items)
{
    QStringList lines;
    for (const QString &item : items)
        lines.append(TCommaText(item).Item(0));
    return lines;
}

bool TTableSetupCheck::IsRed(const TSetupRoleLabel &label) const
{
    if (std::find(unbound.begin(), unbound.end(), label.role) != unbound.end())
        return true;
    return isTyped(label.role) && overbound.contains(label.caption);
}

TTableSetupCheck CheckTableSetup(const TSetupTable &table)
{
    TTableSetupCheck check;
    for (TConnection role : kRequiredRoles) {
        if (table.FindColumn(table.Label(role).caption) < 0)
            check.unbound.push_back(role);
    }
    std::vector<int> rolesOf(table.columns.size(), 0);
    for (TConnection role : kTypedRoles) {
        const int column = table.FindColumn(table.Label(role).caption);
        if (column >= 0 && ++rolesOf[std::size_t(column)] == 2)
            check.overbound.append(table.columns[std::size_t(column)].caption);
    }
    return check;
}

TRoleShapeState RoleShapeState(
    const TTableSetupCheck &check, const TSetupRoleLabel &label, const QString &selectedCaption)
{
    if (check.IsRed(label))
        return TRoleShapeState::Invalid;
    if (!selectedCaption.isEmpty() && label.caption == selectedCaption)
        return TRoleShapeState::Selected;
    return TRoleShapeState::Normal;
}

QString InvalidTableSetupMessage()
{
    return Translate(QStringLiteral("The current configuration is invalid.\\nPlease connect the remaining "
                                    "red fields with a column of the table."));
}
