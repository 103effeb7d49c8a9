#include "document/PositionGroupMembers.h"

#include "document/text/CommaText.h"

TPositionGroupMembers::TPositionGroupMembers(const QStringList &positionItems)
{
    FByItem.reserve(positionItems.size());
    FByName.reserve(positionItems.size());
    for (int i = 0; i < positionItems.size(); ++i) {
        FByItem.insert(positionItems[i].toCaseFolded(), FByItem.value(positionItems[i].toCaseFolded(), i));
        const QString name = TCommaText(positionItems[i]).Item(0).toCaseFolded();
        FByName.insert(name, FByName.value(name, i));
    }
}

int TPositionGroupMembers::IndexOf(const QString &member) const
{
    const QString key = member.toCaseFolded();
    if (const auto item = FByItem.constFind(key); item != FByItem.constEnd())
        return *item;
    if (const auto name = FByName.constFind(key); name != FByName.constEnd())
        return *name;
    // A whole item whose week or rows have changed since still names its position.
    return FByName.value(TCommaText(member).Item(0).toCaseFolded(), -1);
}
