#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <vector>

class Document;

// How the Position cells and the stored position groups follow an edit of the
// positions. A Position cell names one chart row of a position ("Press",
// "Press (1)", ...: its owner and sub-row). After the edit it names the same
// sub-row of the position the owner became (the last row when there are fewer
// now), nothing when the owner was deleted. Cells naming no position, empty
// cells and "*" (all positions) stay as they are.
class TPositionRemap {
public:
    // `origins[j]` is the index in `oldItems` of the position that new item j
    // edits, -1 for a new position.
    TPositionRemap(const QStringList &oldItems, const QStringList &newItems, const std::vector<int> &origins);

    // The new position index of old position `oldIndex` (the first new item
    // that edits it), -1 when it was deleted.
    int NewIndexOf(int oldIndex) const;
    // The new text of a Position cell, or null when the cell stays.
    const QString *NewText(const QString &cell) const
    {
        const auto it = FRenamed.constFind(cell);
        return it == FRenamed.constEnd() ? nullptr : &*it;
    }
    // The cell texts that change, with their new texts.
    const QHash<QString, QString> &Renamed() const { return FRenamed; }
    // Stored groups (each a comma text of position items or names): each member
    // becomes the item its position became; members of deleted positions, and
    // members naming no position, are dropped.
    QStringList RemapGroups(const QStringList &groups) const;

    // Writes the new texts into the Position cells of both tables that change,
    // through the recording setter, as one undo group (each change is shared
    // and undoable with the cell's real old text).
    void Apply(Document &doc) const;

private:
    QStringList FOldItems;
    QStringList FNewItems;
    std::vector<int> FNewIndexOf; // per old position
    QHash<QString, QString> FRenamed;
};
