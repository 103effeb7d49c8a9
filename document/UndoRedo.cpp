#include "document/UndoRedo.h"

#include "document/program/Translation.h"

#include <algorithm>

TUndoRedoEntryString::TUndoRedoEntryString(
    const IUndoModel &model, const TNodeData &node, TWhichTable table, int column, int group)
    : TUndoRedoEntry(node.ID, group)
    , FString(model.GetData(&node, column))
    , FColumn(column)
    , FTable(table)
{ }

void TUndoRedoEntryString::Undo(IUndoModel &model)
{
    if (TNodeData *node = model.FindNode(FID))
        model.SetData(node, FColumn, FString);
}

QString TUndoRedoEntryString::Hint(const IUndoModel &model) const
{
    return Translate(QStringLiteral("set value (%s)"), { model.GetColumnCaption(FTable, FColumn) });
}

void TUndoRedoEntryAddNode::Undo(IUndoModel &model)
{
    model.SetActiveTable(FTable);
    if (TNodeData *node = model.FindNode(FID))
        model.DeleteNode(node, true);
}

QString TUndoRedoEntryAddNode::Hint(const IUndoModel &) const
{
    return Translate(QStringLiteral("new task"));
}

TUndoRedoEntryRemoveNode::TUndoRedoEntryRemoveNode(const TNodeData &node, TWhichTable table, int group)
    : TUndoRedoEntryAddNode(table, node.ID, group)
    , FStrings(node.StringList)
{ }

void TUndoRedoEntryRemoveNode::Undo(IUndoModel &model)
{
    model.SetActiveTable(FTable);
    FID = model.GetFreeID();
    TNodeData *node = model.AddNode(FID, FTable, true);
    if (!node)
        return;
    const int columns = std::min<int>(FStrings.size(), model.GetTableColCount(FTable));
    for (int i = 0; i < columns; ++i)
        model.SetData(node, i, FStrings[i]);
}

QString TUndoRedoEntryRemoveNode::Hint(const IUndoModel &) const
{
    return Translate(QStringLiteral("remove task"));
}

TUndoRedo::TUndoRedo(IUndoModel &model)
    : FModel(model)
{ }

void TUndoRedo::Push(std::unique_ptr<TUndoRedoEntry> entry)
{
    if (!GetAcceptUndo() || !entry)
        return;
    if (FUndoing) {
        entry->FGroupIndex = FCurrentGroupIndex;
    } else {
        for (const auto &dropped : FRedoList)
            Untrack(dropped.get());
        FRedoList.clear();
    }
    Track(entry.get());
    if (FUndoing && !FRedoing)
        FRedoList.push_back(std::move(entry));
    else
        FUndoList.push_back(std::move(entry));
    UpdateMainForm();
}

void TUndoRedo::UndoRedo(std::vector<std::unique_ptr<TUndoRedoEntry>> &list)
{
    if (list.empty())
        return;
    FUndoing = true;
    FCurrentGroupIndex = list.back()->FGroupIndex;
    // Entries filed while replaying go to the other list, so indices into this
    // one stay valid while walking it backwards.
    for (int i = int(list.size()) - 1; i >= 0; --i) {
        if (i >= int(list.size()) || list[i]->FGroupIndex != FCurrentGroupIndex)
            continue;
        std::unique_ptr<TUndoRedoEntry> entry = std::move(list[i]);
        list.erase(list.begin() + i);
        Untrack(entry.get());
        const QString oldID = entry->FID;
        entry->Undo(FModel);
        SwapID(oldID, entry->FID);
        if (FCurrentGroupIndex == -1)
            break;
    }
    FCurrentGroupIndex = -1;
    FUndoing = false;
}

void TUndoRedo::Undo()
{
    UndoRedo(FUndoList);
    UpdateMainForm();
}

void TUndoRedo::Redo()
{
    FRedoing = true;
    UndoRedo(FRedoList);
    FRedoing = false;
    UpdateMainForm();
}

void TUndoRedo::Pop()
{
    if (FUndoList.empty())
        return;
    std::unique_ptr<TUndoRedoEntry> entry = std::move(FUndoList.back());
    FUndoList.pop_back();
    Untrack(entry.get());
    SetAcceptUndo(false);
    entry->Undo(FModel);
    SetAcceptUndo(true);
    UpdateMainForm();
}

void TUndoRedo::Clear()
{
    FUndoList.clear();
    FRedoList.clear();
    FEntriesByID.clear();
    UpdateMainForm();
}

void TUndoRedo::DropColumnEntries()
{
    auto refers = [](const std::unique_ptr<TUndoRedoEntry> &e) { return e->RefersToColumns(); };
    std::erase_if(FUndoList, refers);
    std::erase_if(FRedoList, refers);
    Reindex();
    UpdateMainForm();
}

void TUndoRedo::SetAcceptUndo(bool accept)
{
    FDontAcceptUndoCounter += accept ? -1 : 1;
}

int TUndoRedo::GetGroupIndex() const
{
    int largest = 0;
    for (const auto &entry : FUndoList)
        largest = std::max(largest, entry->FGroupIndex);
    return largest + 1;
}

void TUndoRedo::SwapID(const QString &oldID, const QString &newID)
{
    if (oldID == newID)
        return;
    auto it = FEntriesByID.find(oldID);
    if (it == FEntriesByID.end())
        return;
    std::vector<TUndoRedoEntry *> moved = std::move(it.value());
    FEntriesByID.erase(it);
    for (TUndoRedoEntry *entry : moved)
        entry->FID = newID;
    // The moved entries are mostly older than those already under the new
    // ID: in front, the newest stay where Untrack looks first.
    std::vector<TUndoRedoEntry *> &target = FEntriesByID[newID];
    target.insert(target.begin(), moved.begin(), moved.end());
}

void TUndoRedo::Track(TUndoRedoEntry *entry)
{
    FEntriesByID[entry->FID].push_back(entry);
}

void TUndoRedo::Untrack(const TUndoRedoEntry *entry)
{
    auto it = FEntriesByID.find(entry->FID);
    if (it == FEntriesByID.end())
        return;
    std::vector<TUndoRedoEntry *> &entries = it.value();
    // Entries leave mostly newest first: look from the back.
    for (std::size_t i = entries.size(); i-- > 0;) {
        if (entries[i] == entry) {
            entries.erase(entries.begin() + std::ptrdiff_t(i));
            break;
        }
    }
    if (entries.empty())
        FEntriesByID.erase(it);
}

void TUndoRedo::Reindex()
{
    FEntriesByID.clear();
    for (auto *list : { &FUndoList, &FRedoList })
        for (const auto &entry : *list)
            Track(entry.get());
}

void TUndoRedo::UpdateMainForm()
{
    FModel.UpdateUndoActions(GetCanUndo(), GetCanRedo());
}

QString TUndoRedo::UndoHint() const
{
    return FUndoList.empty() ? QString() : FUndoList.back()->Hint(FModel);
}

QString TUndoRedo::RedoHint() const
{
    return FRedoList.empty() ? QString() : FRedoList.back()->Hint(FModel);
}
