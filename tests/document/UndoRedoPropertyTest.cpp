// Random edits, deletions, undos and redos, run on the undo manager and on a
// plain manager that renames a re-created row's entries by walking both lists:
// rows and lists must agree after every step.
#include "document/UndoRedo.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>
#include <typeinfo>

namespace {

using TEntryList = std::vector<std::unique_ptr<TUndoRedoEntry>>;

// The undo manager as it was before entries were indexed by ID.
class PlainUndoRedo {
public:
    explicit PlainUndoRedo(IUndoModel &model)
        : FModel(model)
    { }
    void Push(std::unique_ptr<TUndoRedoEntry> entry)
    {
        if (FRefused != 0)
            return;
        if (FUndoing)
            entry->FGroupIndex = FGroup;
        else
            FRedoList.clear();
        (FUndoing && !FRedoing ? FRedoList : FUndoList).push_back(std::move(entry));
    }
    void Undo() { Replay(FUndoList); }
    void Redo()
    {
        FRedoing = true;
        Replay(FRedoList);
        FRedoing = false;
    }
    void Pop()
    {
        if (FUndoList.empty())
            return;
        auto entry = std::move(FUndoList.back());
        FUndoList.pop_back();
        ++FRefused;
        entry->Undo(FModel);
        --FRefused;
    }
    void Clear()
    {
        FUndoList.clear();
        FRedoList.clear();
    }
    void DropColumnEntries()
    {
        auto refers = [](const std::unique_ptr<TUndoRedoEntry> &e) { return e->RefersToColumns(); };
        std::erase_if(FUndoList, refers);
        std::erase_if(FRedoList, refers);
    }
    void SetAcceptUndo(bool accept) { FRefused += accept ? -1 : 1; }
    int GetGroupIndex() const
    {
        int largest = 0;
        for (const auto &entry : FUndoList)
            largest = std::max(largest, entry->FGroupIndex);
        return largest + 1;
    }
    void SwapID(const QString &oldID, const QString &newID)
    {
        for (auto *list : { &FUndoList, &FRedoList })
            for (auto &entry : *list)
                if (entry->FID == oldID)
                    entry->FID = newID;
    }
    const TEntryList &undoList() const { return FUndoList; }
    const TEntryList &redoList() const { return FRedoList; }

private:
    void Replay(TEntryList &list)
    {
        if (list.empty())
            return;
        FUndoing = true;
        FGroup = list.back()->FGroupIndex;
        for (int i = int(list.size()) - 1; i >= 0; --i) {
            if (i >= int(list.size()) || list[i]->FGroupIndex != FGroup)
                continue;
            auto entry = std::move(list[i]);
            list.erase(list.begin() + i);
            const QString oldID = entry->FID;
            entry->Undo(FModel);
            SwapID(oldID, entry->FID);
            if (FGroup == -1)
                break;
        }
        FGroup = -1;
        FUndoing = false;
    }

    IUndoModel &FModel;
    TEntryList FRedoList, FUndoList;
    bool FUndoing = false, FRedoing = false;
    int FGroup = -1, FRefused = 0;
};

constexpr int kColumns = 3;

// A table of rows that records its changes like the document does.
template <typename Manager> class PlainModel final : public IUndoModel {
public:
    Manager undo { *this };
    int group = -1;
    std::vector<std::unique_ptr<TNodeData>> rows;

    TNodeData *FindNode(const QString &id) override
    {
        auto it = std::find_if(rows.begin(), rows.end(), [&](const auto &row) { return row->ID == id; });
        return it == rows.end() ? nullptr : it->get();
    }
    QString GetData(const TNodeData *node, int column) const override
    {
        return node->StringList.value(column);
    }
    void SetData(TNodeData *node, int column, const QString &text) override
    {
        if (node->StringList[column] == text)
            return;
        undo.Push(std::make_unique<TUndoRedoEntryString>(*this, *node, tbTable, column, group));
        node->StringList[column] = text;
    }
    QString GetColumnCaption(TWhichTable, int column) const override { return QString::number(column); }
    void SetActiveTable(TWhichTable) override { }
    void DeleteNode(TNodeData *node, bool) override
    {
        undo.Push(std::make_unique<TUndoRedoEntryRemoveNode>(*node, tbTable, group));
        std::erase_if(rows, [&](const auto &row) { return row.get() == node; });
    }
    QString GetFreeID() override
    {
        QString id;
        do
            id = QStringLiteral("me.%1").arg(++FLastID);
        while (FindNode(id));
        return id;
    }
    TNodeData *AddNode(const QString &id, TWhichTable table, bool) override
    {
        if (TNodeData *existing = FindNode(id))
            return existing;
        undo.Push(std::make_unique<TUndoRedoEntryAddNode>(table, id, group));
        auto row = std::make_unique<TNodeData>();
        row->ID = id;
        row->StringList = QStringList(kColumns, QString());
        rows.push_back(std::move(row));
        return rows.back().get();
    }
    int GetTableColCount(TWhichTable) const override { return kColumns; }
    void UpdateUndoActions(bool, bool) override { }

private:
    int FLastID = 0;
};

// What a step leaves behind, comparable between the two managers.
QStringList Describe(const TEntryList &list)
{
    QStringList out;
    for (const auto &entry : list) {
        const TUndoRedoEntry &e = *entry;
        QString line
            = QStringLiteral("%1 %2 %3").arg(QString::fromLatin1(typeid(e).name()), e.FID).arg(e.FGroupIndex);
        if (auto *cell = dynamic_cast<const TUndoRedoEntryString *>(entry.get()))
            line += QStringLiteral(" %1=%2").arg(cell->FColumn).arg(cell->FString);
        if (auto *removed = dynamic_cast<const TUndoRedoEntryRemoveNode *>(entry.get()))
            line += QLatin1Char(' ') + removed->FStrings.join(QLatin1Char('|'));
        out << line;
    }
    return out;
}

template <typename Manager> QStringList Describe(const PlainModel<Manager> &model)
{
    QStringList out;
    for (const auto &row : model.rows)
        out << row->ID + QLatin1Char(':') + row->StringList.join(QLatin1Char('|'));
    out << QStringLiteral("undo") << Describe(model.undo.undoList());
    out << QStringLiteral("redo") << Describe(model.undo.redoList());
    return out;
}

// One random step, applied to a model; `dice` is drawn once per step so both
// models take the same step.
template <typename Manager> void Step(PlainModel<Manager> &model, const std::vector<unsigned> &dice)
{
    auto pick = [&](unsigned die) -> TNodeData * {
        return model.rows.empty() ? nullptr : model.rows[die % model.rows.size()].get();
    };
    auto change = [&](unsigned kind, unsigned a, unsigned b) {
        switch (kind % 4) {
        case 0:
            model.AddNode(model.GetFreeID(), tbTable, true);
            break;
        case 1:
            if (TNodeData *row = pick(a))
                model.DeleteNode(row, true);
            break;
        default:
            if (TNodeData *row = pick(a))
                model.SetData(row, int(b % kColumns), QString::number(b % 5));
            break;
        }
    };
    switch (dice[0] % 12) {
    case 0:
    case 1:
    case 2: { // a user action of a few changes, often to one row
        model.group = model.undo.GetGroupIndex();
        for (unsigned i = 0; i < 1 + dice[1] % 4; ++i)
            change(dice[2 + i], dice[1] + (i & dice[6] & 1), dice[7 + i]);
        model.group = -1;
        break;
    }
    case 3: // a change outside any action
        change(dice[2], dice[3], dice[4]);
        break;
    case 4:
    case 5:
    case 6:
        model.undo.Undo();
        break;
    case 7:
    case 8:
        model.undo.Redo();
        break;
    case 9:
        if (dice[1] % 4 == 0)
            model.undo.Pop();
        else if (dice[1] % 4 == 1)
            model.undo.DropColumnEntries();
        else if (dice[1] % 16 == 2)
            model.undo.Clear();
        break;
    case 10: { // recording refused around a change
        model.undo.SetAcceptUndo(false);
        change(dice[2], dice[3], dice[4]);
        model.undo.SetAcceptUndo(true);
        break;
    }
    case 11: // the renaming on its own, also onto an ID that has entries already
        if (TNodeData *row = pick(dice[1]))
            model.undo.SwapID(row->ID, dice[2] % 2 ? model.GetFreeID() : pick(dice[3])->ID);
        break;
    }
}

} // namespace

TEST(UndoRedoProperty, IndexedRenamingMatchesWalkingTheLists)
{
    for (unsigned seed = 1; seed <= 150; ++seed) {
        std::mt19937 random(seed);
        PlainModel<TUndoRedo> indexed;
        PlainModel<PlainUndoRedo> plain;
        for (int step = 0; step < 250; ++step) {
            std::vector<unsigned> dice(12);
            for (unsigned &die : dice)
                die = unsigned(random());
            Step(indexed, dice);
            Step(plain, dice);
            ASSERT_EQ(Describe(indexed), Describe(plain)) << "seed " << seed << " step " << step;
        }
    }
}
