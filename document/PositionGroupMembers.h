#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// Which position a member of a stored position group names. Groups are written
// with whole position items (name, week, rows); a member may also hold the
// position's name alone, as the document format describes groups and as older
// documents hold them. Both are matched ignoring case; the first position of a
// text wins.
class TPositionGroupMembers {
public:
    explicit TPositionGroupMembers(const QStringList &positionItems);

    // The index of the position item the member names: its whole item, else
    // its name (the whole member, then its first field); -1 when it names none.
    int IndexOf(const QString &member) const;

private:
    QHash<QString, int> FByItem;
    QHash<QString, int> FByName;
};
