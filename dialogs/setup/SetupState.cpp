#include "dialogs/setup/SetupState.h"

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

QString InvalidTableSetupMessage()
{
    return Translate(QStringLiteral("The current configuration is invalid.\\nPlease connect the remaining "
                                    "red fields with a column of the table."));
}
