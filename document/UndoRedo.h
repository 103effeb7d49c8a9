#pragma once

#include "document/DocumentTypes.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

// What undo entries need of the document to replay themselves. Replays are
// ordinary model changes: they are shared and shown like any other edit.
class IUndoModel {
public:
    virtual ~IUndoModel() = default;
    virtual TNodeData *FindNode(const QString &id) = 0;
    virtual QString GetData(const TNodeData *node, int column) const = 0;
    virtual void SetData(TNodeData *node, int column, const QString &text) = 0;
    virtual QString GetColumnCaption(TWhichTable table, int column) const = 0;
    virtual void SetActiveTable(TWhichTable table) = 0;
    virtual void DeleteNode(TNodeData *node, bool DoDiff) = 0;
    virtual QString GetFreeID() = 0;
    virtual TNodeData *AddNode(const QString &id, TWhichTable table, bool DoDiff) = 0;
    virtual int GetTableColCount(TWhichTable table) const = 0;
    // The undo and redo actions' enabled states changed; their hints are read
    // on demand (UndoHint, RedoHint), so recording stays cheap.
    virtual void UpdateUndoActions(bool canUndo, bool canRedo) = 0;
};

class TUndoRedoEntry {
public:
    TUndoRedoEntry(QString id, int group)
        : FGroupIndex(group)
        , FID(std::move(id))
    { }
    virtual ~TUndoRedoEntry() = default;
    virtual void Undo(IUndoModel &model) = 0;
    virtual QString Hint(const IUndoModel &model) const = 0;
    // Entries that name a column become meaningless when the column layout changes.
    virtual bool RefersToColumns() const { return false; }

    int FGroupIndex;
    QString FID;
};

// A cell change; keeps the old text.
class TUndoRedoEntryString : public TUndoRedoEntry {
public:
    TUndoRedoEntryString(
        const IUndoModel &model, const TNodeData &node, TWhichTable table, int column, int group);
    void Undo(IUndoModel &model) override;
    QString Hint(const IUndoModel &model) const override;
    bool RefersToColumns() const override { return true; }

    QString FString;
    int FColumn;
    TWhichTable FTable;
};

// A row that was added; undoing deletes it.
class TUndoRedoEntryAddNode : public TUndoRedoEntry {
public:
    TUndoRedoEntryAddNode(TWhichTable table, QString id, int group)
        : TUndoRedoEntry(std::move(id), group)
        , FTable(table)
    { }
    void Undo(IUndoModel &model) override;
    QString Hint(const IUndoModel &model) const override;

    TWhichTable FTable;
};

// A row that was removed; undoing re-creates it under a new ID with all its cells.
class TUndoRedoEntryRemoveNode : public TUndoRedoEntryAddNode {
public:
    TUndoRedoEntryRemoveNode(const TNodeData &node, TWhichTable table, int group);
    void Undo(IUndoModel &model) override;
    QString Hint(const IUndoModel &model) const override;
    bool RefersToColumns() const override { return true; }

    QStringList FStrings;
};

// The undo manager: entries are grouped by user action; undo and redo replay
// a whole group, newest entry first.
class TUndoRedo {
public:
    explicit TUndoRedo(IUndoModel &model);

    void Push(std::unique_ptr<TUndoRedoEntry> entry);
    void Undo();
    void Redo();
    // Withdraws the newest change without a redo entry.
    void Pop();
    void Clear();
    // Drops every entry that names a column (after the column layout changed).
    void DropColumnEntries();

    void SetAcceptUndo(bool accept);
    bool GetAcceptUndo() const { return FDontAcceptUndoCounter == 0; }
    int GetGroupIndex() const;
    bool GetCanUndo() const { return !FUndoList.empty(); }
    bool GetCanRedo() const { return !FRedoList.empty(); }
    void SwapID(const QString &oldID, const QString &newID);
    void UpdateMainForm();
    // What the newest entry of each list would undo or redo ("set value (Start)").
    QString UndoHint() const;
    QString RedoHint() const;

    // For tests and the menus.
    const std::vector<std::unique_ptr<TUndoRedoEntry>> &undoList() const { return FUndoList; }
    const std::vector<std::unique_ptr<TUndoRedoEntry>> &redoList() const { return FRedoList; }

private:
    void UndoRedo(std::vector<std::unique_ptr<TUndoRedoEntry>> &list);
    void Track(TUndoRedoEntry *entry);
    void Untrack(const TUndoRedoEntry *entry);
    void Reindex();

    IUndoModel &FModel;
    std::vector<std::unique_ptr<TUndoRedoEntry>> FRedoList;
    std::vector<std::unique_ptr<TUndoRedoEntry>> FUndoList;
    bool FUndoing = false;
    bool FRedoing = false;
    int FCurrentGroupIndex = -1;
    int FDontAcceptUndoCounter = 0;
    // The entries of both lists by the ID they name, so that a row re-created
    // under a new ID takes its entries along at the cost of their number, not
    // of the lists' length (an undone deletion of many rows re-creates each).
    QHash<QString, std::vector<TUndoRedoEntry *>> FEntriesByID;
};

// Switches undo recording off for its lifetime (bulk loads).
class UndoRecordingPause {
public:
    explicit UndoRecordingPause(TUndoRedo &undo)
        : FUndo(undo)
    {
        FUndo.SetAcceptUndo(false);
    }
    ~UndoRecordingPause() { FUndo.SetAcceptUndo(true); }
    UndoRecordingPause(const UndoRecordingPause &) = delete;
    UndoRecordingPause &operator=(const UndoRecordingPause &) = delete;

private:
    TUndoRedo &FUndo;
};
