#pragma once

#include "document/DateTextCache.h"
#include "document/DocumentHost.h"
#include "document/DocumentSetup.h"
#include "document/DocumentTypes.h"
#include "document/RowChangeLog.h"
#include "document/SharedTexts.h"
#include "document/UndoRedo.h"
#include "document/calendar/WeekInfo.h"
#include "document/text/TextHash.h"
#include "platform/Result.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <set>
#include <unordered_map>
#include <vector>

class DocumentTable;
class IDiffSink;
class TChartRows;
class TWorkingTimeCache;
class tDateList;
struct WorkingTimeWalk;
class TXMLTree;

// The open document: both tables with their columns, the roles of the columns,
// the rows and the operations on them. Every change of a cell goes through
// DoSetData. The document has no window; what it needs of one goes through
// IDocumentHost.
class Document final : public IUndoModel {
public:
    using TForEachCallback = std::function<void(TNodeData &node)>;

    explicit Document(IDocumentHost *host = nullptr);
    ~Document() override;
    Document(const Document &) = delete;
    Document &operator=(const Document &) = delete;

    void SetHost(IDocumentHost *host);
    IDocumentHost &Host() const { return *FHost; }
    // The views told of changes beside the host, in the order they registered.
    // A view registers once and unregisters before it goes.
    void AddObserver(IDocumentObserver *observer);
    void RemoveObserver(IDocumentObserver *observer);
    // Tells the host and every view.
    template <typename F> void Notify(F &&tell);
    // The selection of a table changed (the table's window tells the document,
    // which tells the other views).
    void SelectionChanged(TWhichTable table);
    // Where local changes go for sharing (none: they are not shared).
    void SetDiffSink(IDiffSink *sink) { FDiffSink = sink; }
    IDiffSink *DiffSink() const { return FDiffSink; }
    // While held (a field of the editor is being typed in) the sharing layer
    // keeps the records of local changes queued, where the later changes of a
    // row merge into its record, and stores them once released: others get the
    // typed value, not every keystroke. Holds nest.
    void HoldSharedRecords(bool hold) { FSharedRecordsHold += hold ? 1 : -1; }
    bool SharedRecordsHeld() const { return FSharedRecordsHold > 0; }
    TUndoRedo &UndoRedo() { return FUndoRedo; }
    // The user identity that prefixes this document's new row IDs (the
    // process's identity unless set).
    const QString &Identity() const { return FIdentity; }
    void SetIdentity(const QString &identity) { FIdentity = identity; }

    // --- tables and columns ---
    DocumentTable &GetTable(TWhichTable table) { return *FTables[table]; }
    const DocumentTable &GetTable(TWhichTable table) const { return *FTables[table]; }
    TWhichTable GetActiveTable() const;
    void SetActiveTable(TWhichTable table) override;
    int GetTableColCount(TWhichTable table) const override;
    int GetTableRowCount(TWhichTable table) const;
    THeaderData *GetHeader(TWhichTable table, int column);
    const THeaderData *GetHeader(TWhichTable table, int column) const;
    TColumnType GetColumnType(TWhichTable table, int column) const;
    QString GetColumnCaption(TWhichTable table, int column) const override;
    QString GetColumnCaptionHack(TWhichTable table, int column) const;
    int IndexOfColumnHack(TWhichTable table, const QString &name) const;
    int GetHeaderIndex(TWhichTable table, const QString &caption) const;
    const QStringList &GetColumnStrings(TWhichTable table, int column) const;
    void SetColumnStrings(TWhichTable table, int column, const QStringList &items);
    int GetConnection(TWhichTable table, TConnection role) const;
    TConnection GetColumnConnection(TWhichTable table, int column) const;
    void SetColumnCaption(TWhichTable table, int column, const QString &text);
    void SetColumnType(TWhichTable table, int column, TColumnType type);
    void SetConnection(TWhichTable table, TConnection role, int column);
    void ResetConnections(TWhichTable table);
    void ResizeTable(TWhichTable table, int count);
    // Lays the table's columns out anew: new column i is old column origin[i]
    // (-1: a new empty column); old columns no entry names are removed. Each
    // column's definition (caption, alignment, type, items, filter, sort and
    // autofill flags), its cells in every row and its roles move with it; the
    // cells are moved, not copied. Nothing is recorded for undo or sharing.
    // Entries naming no old column, or one named before, become -1. False when
    // the layout stays as it was.
    bool RelayColumns(TWhichTable table, std::vector<int> &origin);
    void SetTableColCount(TWhichTable table, int count);
    void ClearTable(TWhichTable table);
    static void FillUpColors(std::vector<std::uint32_t> &colors, int count);
    void CreateBasicTable(TWhichTable table);
    // Clears both tables and builds the basic (new-document) layout. Rows are
    // removed without transaction records.
    void ResetDocument(TRowIDs ids = TRowIDs::Keep);
    const QStringList &ExcludeHeaderStrings() const { return FExcludeHeaderStrings; }
    void SetExcludeHeaderStrings(const QStringList &captions) { FExcludeHeaderStrings = captions; }

    // --- cells ---
    QString GetData(const TNodeData *node, int column) const override;
    QString GetData_(const TNodeData *node, TConnection role) const;
    int GetDataIndex(const TNodeData *node, int column) const;
    int GetDataIndex_(const TNodeData *node, TConnection role) const;
    void SetData(TNodeData *node, int column, const QString &text) override;
    void SetData_(TNodeData *node, TConnection role, const QString &text);
    void DoSetData(TNodeData *node, int column, const QString &text, bool DoDiff);
    void DoSetData_(TNodeData *node, TConnection role, const QString &text, bool DoDiff);
    void DoSetDataIndex(TNodeData *node, int column, int index, bool DoDiff);
    void SetDataIndex(TNodeData *node, int column, int index);
    void SetDataIndex_(TNodeData *node, TConnection role, int index);
    // The text DoSetDataIndex writes for `index`: field 0 of the column's item
    // (of the expanded positions for the position column); empty outside them.
    QString ItemTextOf(TWhichTable table, int column, int index) const;
    bool GetNodeValid(const TNodeData *node) const { return node && node->nodeValid; }
    bool GetNodeFiltered(const TNodeData *node) const;
    void SetNodeFiltered(TNodeData *node, bool filtered);

    // --- rows ---
    TNodeData *AddNode(const QString &id, TWhichTable table, bool DoDiff) override;

    // --- rows read in bulk ---
    // For the readers of whole documents, inside an update bracket and without
    // sharing: the rows and cells end up as AddNode and DoSetData with DoDiff
    // false leave them there, but the views hear of each row once rather than
    // of each cell. Room for `count` more rows in the table's index first.
    void ReserveRows(TWhichTable table, int count);
    // AddNode without the defaults of a new task row's cells (the reader gives
    // them as the row's first cells) and without the status bar (the bracket's
    // end shows it). `added` tells whether the row is new (else it had the ID).
    TNodeData *AddLoadedNode(const QString &id, TWhichTable table, bool *added);
    // A cell of a loaded row; the text is read while the row is stored.
    struct TLoadedCell {
        int column;
        const QString *text;
    };
    // Stores the cells in their order, as DoSetData would one by one.
    void DoSetLoadedCells(TNodeData *node, const std::vector<TLoadedCell> &cells);
    // Deletes a row; with DoDiff the deletion is shared and undoable.
    void DeleteNode(TNodeData *node, bool DoDiff) override;
    TNodeData *FindNode(const QString &id) override;
    TNodeData *FindNode(const QString &id, TWhichTable table) const;
    QString GetFreeID() override;
    // Each walk is a row batch of its own (see BeginRowBatch).
    void ForEach(TForEachNode mode, const TForEachCallback &callback);
    void ForEach(TWhichTable table, TForEachNode mode, const TForEachCallback &callback);
    // A walk over many rows: the views may gather what its rows ask them to
    // repaint and repaint it once at the outermost end (RowBatch holds one open).
    void BeginRowBatch();
    void EndRowBatch();
    int TotalCount(TWhichTable table) const;
    int FilteredCount(TWhichTable table) const;
    int SelectedCount(TWhichTable table) const;
    int GroupCount(TWhichTable table) const;
    void CheckAllValid();
    void CB_CheckValid(TNodeData &node);
    bool isDateOK(TDateTime date) const;
    void InvalidateNode(TNodeData *node, bool selected);
    std::int32_t LastFreeID() const { return FLastFreeID; }
    // Changes whenever a row is added or removed, or a row's parsed dates, position
    // or validity change or its end is to be derived again: views that index rows
    // by date rebuild their index when it moved on.
    std::uint64_t RowsRevision() const { return FRowsRevision; }
    // Changes whenever a cell's text or a row's validity changes, the columns
    // change (their types, number or places) or the minute unit (how date cells
    // read) changes: all a table's sort by a column reads.
    std::uint64_t CellsRevision() const { return FCellsRevision; }
    // The same changes row by row, for views that follow only the rows changed.
    TRowChangeLog &RowChanges() { return FRowChanges; }
    // Changes when the order of a table's rows changed other than by adding or
    // deleting rows (sorted, moved): the rows kept keep their order otherwise.
    std::uint64_t RowOrderRevision(TWhichTable table) const;

    // --- cell texts of dates ---
    // A date cell's text as a date, with its time in minute documents; 0 when it is none.
    TDateTime StrToDateTime(const QString &text) const;
    // The same, telling whether the text is a date.
    bool TryStrToDateTime(const QString &text, TDateTime &value) const;
    QString FormatDateTime(TDateTime date) const;

    // --- derived values ---
    bool GetRecalcEndOf(const TNodeData *node) const { return node && node->RecalcEndOf; }
    void SetRecalcEndOf(TNodeData *node, bool flag);
    bool GetRecalcStartOf(const TNodeData *node) const { return node && node->RecalcStartOf; }
    void SetRecalcStartOf(TNodeData *node, bool flag);

    // --- update bracket and deferred passes ---
    void BeginUpdate(const QString &text);
    void EndUpdate();
    bool IsUpdating() const { return FUpdating > 0; }
    // Requests of the layout passes: nothing while updating; deferred, the
    // request is kept for the next idle tick; otherwise the host runs the pass now.
    void UpdateBounds(bool deferred);
    void UpdateOverlapping(bool deferred);
    void UpdateEmptyRows(bool deferred);
    bool BoundsPassPending() const { return fDelayedUpdateBounds; }
    bool OverlappingPassPending() const { return fDelayedUpdateOverlapping; }
    bool EmptyRowsPassPending() const { return fDelayedUpdateEmptyRows; }
    // Whether the pass was requested; the request is withdrawn.
    bool TakePendingPass(TLayoutPass pass);
    bool GetNodeIsOverlapping(const TNodeData *node) const { return node && node->nodeOverlapping; }
    bool HasOverlappingNodes() const { return FOverlappingCount > 0; }
    // Moves on whenever a row's overlap mark is set or cleared (not by deleting it).
    std::uint64_t OverlapMarksRevision() const { return FOverlapMarksRevision; }
    int OverlappingCount() const { return FOverlappingCount; }
    // The task rows found overlapping (FOverlappingNodes): every other row is not.
    void SetOverlappingNodes(const std::vector<TNodeData *> &nodes);
    // Marks one row overlapping or not.
    void SetNodeIsOverlapping(TNodeData *node, bool overlapping);

    // --- undo ---
    void SetAcceptUndo(bool accept) { FUndoRedo.SetAcceptUndo(accept); }
    // The undo group of the user action under way (-1: none): taken from the
    // undo manager before the changes and set back to -1 after them.
    int UndoRedoGroupIndex() const { return FUndoRedoGroupIndex; }
    void SetUndoRedoGroupIndex(int group) { FUndoRedoGroupIndex = group; }
    // The menu option "local undo": changes from other users are not undoable.
    bool LocalUndo() const { return FLocalUndo; }
    void SetLocalUndo(bool local) { FLocalUndo = local; }
    // Call after the column layout changed: undo entries naming columns are dropped.
    void ColumnLayoutChanged();

    // --- setup ---
    const TDocumentSetup &Setup() const { return FSetup; }
    // Takes the whole setup. The time unit is checked as SetMinUnit does; the
    // colour lists are filled up to their items; the chart rows follow the
    // position groups, the ends of all rows a changed holiday list.
    void SetSetup(TDocumentSetup setup);
    TMinUnit GetMinUnit() const { return FSetup.FMinUnit; }
    void SetMinUnit(int unit);
    void SetCompressedSave(bool compressed) { FSetup.FCompressedSave = compressed; }
    // The chart row height stored with the document: the height a bar of all
    // three text lines would have at the shown row set.
    int StoredRowHeight() const;

    // --- positions (rows of the chart) ---
    const TChartRows &ChartRows() const { return *FChartRows; }
    QStringList Positiongroups(bool ExpandRows, bool AllPositions) const;
    int GetRowCount() const;
    void UpdateInternalVariables();
    // Rebuilds the chart rows of the shown group (after the positions or the
    // shown group changed).
    void RefreshPositionRows();
    // Shows `rows` (expanded position items) as the chart rows, as the pass that
    // hides empty rows does.
    void SetGlobalPositionFilter(const QStringList &rows);
    // The tab whose position group is shown (0: all positions).
    int ShownGroup() const { return FShownGroup; }
    void SetShownGroup(int group);
    // The row set of the shown tab.
    TRowSet RowSet() const { return FRowSet; }
    void SetRowSet(TRowSet rowSet) { FRowSet = rowSet; }
    void CreateDefaultWeekInfo();
    bool findNodeWithPosition(TWhichTable table, const QString &name) const;
    int GetPositionOf(const TNodeData *node) const;
    // The working week of the position shown at chart row `row`, or the default week.
    const tWeekInfo &GetWeekInfo(int row) const;
    // The working week of an entry of the expanded list of all positions, or the default week.
    const tWeekInfo &GetWeekInfoOfPosition(int position) const;
    // The chart rows a row covers: a task its own, an absent row all rows of its
    // position, a row of all positions every shown position's row. The row
    // overload takes a chart row for tasks and a position index for absent days.
    TInterval GetMultipleRowSpan(TWhichTable table, int row) const;
    TInterval GetMultipleRowSpan(const TNodeData *node) const;
    std::int32_t calcNodeLength(TWhichTable table, const QString &text) const;

    // --- role accessors ---
    TDateTime GetStartOf(const TNodeData *node) const { return node ? node->nodeStart : 0; }
    void SetStartOf(TNodeData *node, TDateTime date) { DoSetStartOf(node, date, true); }
    void DoSetStartOf(TNodeData *node, TDateTime date, bool DoDiff);
    // The derived end: recomputed over the working time of the row's position
    // when its inputs changed, and written to the End cell. A row whose end cannot
    // be reached (no working time, or beyond the last date) ends at its start and
    // is invalid.
    TDateTime GetEndOf(TNodeData *node);
    // The end the row's start and length give now; nothing is written. `reached`
    // tells whether the walk found an end.
    TDateTime CalcEndOf(const TNodeData &node, bool *reached = nullptr);
    void SetEndOf(TNodeData *node, TDateTime date);
    std::int32_t GetLengthOf(const TNodeData *node) const;
    void SetLengthOf(TNodeData *node, std::int32_t minutes) { DoSetLengthOf(node, minutes, true); }
    void DoSetLengthOf(TNodeData *node, std::int32_t minutes, bool DoDiff);
    void SetPositionOf(TNodeData *node, int index) { DoSetPositionOf(node, index, true); }
    void DoSetPositionOf(TNodeData *node, int index, bool DoDiff);
    TDateTime GetTerminOf(const TNodeData *node) const;
    void SetTerminOf(TNodeData *node, TDateTime date);

    // --- working time ---
    // The working minutes between two dates for a new or resized bar at chart row
    // `row` (-9: all positions) of `table`; absent rows count working days when new
    // rows do (FDefaultCalcWorkdays). The result matches what the end walk counts,
    // so a bar keeps its end; 0 when end is not after start or the count does not
    // fit 32 bits.
    std::int32_t calcLengthOf(TWhichTable table, int row, TDateTime start, TDateTime end);
    // The same for an existing row, with its own position and working-days flag.
    std::int32_t calcLengthOf(const TNodeData &node, TDateTime start, TDateTime end);
    // The end a new row of `table` at chart row `row` gets when it is made from the
    // dates start to end: its length by calcLengthOf, walked again to its end.
    TDateTime calcEndOf(TWhichTable table, int row, TDateTime start, TDateTime end);
    // Rebuilds the chart's holiday entries (AutoExcludeList) with the enabled
    // public holidays of every year from that of minDate to that of maxDate.
    void updateAutoEntries(TDateTime minDate, TDateTime maxDate);
    // The same over the years the entries covered last (none before the first
    // ranged call): after the public holidays changed.
    void updateAutoEntries();
    // The public holidays (FHolidayList). A change moves the derived ends.
    void ClearHoliday();
    void AddHoliday(const QString &name, int day, int month, bool enabled, bool easter);
    const tDateList &AutoExcludeList() const;
    // The absent-days table changed: the per-position absent days are collected
    // again on their next use.
    void AbsentDaysChanged();

    // A row added next is focused, selected and shown (once).
    void SetFocusNewNode(bool focus) { FFocusNewNode = focus; }
    void ResetPositionGroups();
    void AddPositionGroup(const QString &name, const QString &filter);

    // --- the document file ---
    // Writes the whole document, compressed when the setup says so, always
    // from the empty document template. Fails (with the reason) when the file
    // could not be written; the old file is then unchanged. Ends flagged for
    // recalculation are derived first, so the file holds the End cells a reader
    // would compute.
    platform::Status SaveTo(const QString &fileName);
    // The bytes SaveTo writes; `progress`, when given, is told how many rows
    // were written every few thousand rows. `grown`, when given, is shown the
    // file's bytes made so far at the same moments (a view valid for the call;
    // it only grows), so they can go to disk while the rest is made; never when
    // the file is compressed, whose bytes come only at the end.
    QByteArray FileBytes(const std::function<void(qint64 rows)> &progress = {},
        const std::function<void(QByteArrayView bytes)> &grown = {});
    // Derives the end of every valid row flagged for recalculation (as painting
    // it would), absent rows first: the task ends walk around them. A caller
    // that serialises on another thread does this first, so that the worker
    // only reads.
    void RecalcFlaggedEnds();
    // Fills a tree holding the empty document template with the document (ends
    // derived first, as for SaveTo).
    void SaveToTree(TXMLTree &tree);
    // Reads a document into the present, emptied model. False when the file cannot
    // be read, is no document, or the user declines a file of a newer version; the
    // reason is logged. After a failure past the version question the model is reset.
    // `cancelled` tells whether the user declined (no error to report then).
    bool LoadFrom(const QString &fileName, bool *cancelled = nullptr);
    // `progress` hears every few thousand rows how many of all were read; the
    // rows before that count (the data element's first children) are not read
    // again by the load, so the caller may free them then.
    using TLoadProgress = std::function<void(qint64 done, qint64 total)>;
    bool LoadFromTree(const TXMLTree &tree, bool wasCompressed, bool *cancelled = nullptr,
        const TLoadProgress &progress = {});
    // Whether a tree holds a document (its root with the setup) that LoadFromTree
    // can start on.
    static bool HoldsDocument(const TXMLTree &tree);

private:
    // IUndoModel
    void UpdateUndoActions(bool canUndo, bool canRedo) override;
    void ColumnsChanged(TWhichTable table);

    void NoteDates(TNodeData &node, TDateTime oldStart, TDateTime oldEnd, TDateTime oldTermin);
    void ForgetDates(const TNodeData &node);
    bool RoleIs(TWhichTable table, int column, TConnection role) const;
    // FormatDateTime of a derived end, each date formatted once.
    const QString &EndText(TDateTime date)
    {
        return FEndTexts.Text(date, FSetup.FMinUnit == muMinute, FSharedTexts);
    }
    // The text of the row's cell of `role` (empty when it has none), not copied.
    const QString &CellOf(const TNodeData &node, TConnection role) const;
    void RaiseLastFreeID(const QString &id);
    // AddNode up to its new row's defaults.
    TNodeData *NewNode(const QString &requestedID, TWhichTable table, bool DoDiff);
    // The roles of each column of a table, one bit per role.
    const std::vector<std::uint32_t> &ColumnRoles(TWhichTable table);
    void RequestPass(TLayoutPass pass, bool deferred);
    bool &PassFlag(TLayoutPass pass);
    // Logs the row's state before a change (nothing while updating: the
    // bracket's end starts every reader over); a mark for Retract.
    std::size_t NoteRowChanging(const TNodeData &node) { return IsUpdating() ? 0 : FRowChanges.Before(node); }
    // Adding or deleting a row keeps the others' order: the change of the
    // table's structure it makes is taken as known.
    void SyncRowOrder(TWhichTable table, bool ownChange) const;
    void FlagTasksMeeting(const TNodeData &absent, TDateTime start, TDateTime end);
    // Field 0 of the items, indexed by text (first item wins), rebuilt only when
    // the items change.
    struct ItemIndex {
        QStringList source;
        std::unordered_map<QString, int, TTextHasher, TTextEqual> firstByName;
        bool built = false;
        int lookup(const QStringList &items, const QString &name);
    };
    mutable ItemIndex FAllPositionsIndex;
    mutable std::array<QHash<int, ItemIndex>, kTableCount> FColumnItemIndex;

    WorkingTimeWalk WalkFor(int position, bool withAbsences, bool wholeDays);
    // The one collector of absent days: the valid absent rows with their
    // derived ends, handed to the working-time cache.
    void CollectAbsentDays();
    std::int32_t measureLength(
        TWhichTable table, int position, bool workingDays, TDateTime start, TDateTime end);
    // The end of `length` working minutes from start (the derived end's walk);
    // `reached` tells whether the walk found one.
    TDateTime endOver(TWhichTable table, int position, bool workingDays, TDateTime start, std::int32_t length,
        bool *reached = nullptr);
    // Flags every row's end for recalculation.
    void RecalcAllEnds();
    // The walks take the holiday list; the ends follow (at the bracket's end
    // while one is open).
    void HolidaysChanged();

    IDocumentHost FDefaultHost;
    IDocumentHost *FHost = &FDefaultHost;
    // An observer removed while they are told leaves a null entry until then.
    std::vector<IDocumentObserver *> FObservers;
    int FNotifying = 0;
    int FRowBatch = 0;
    IDiffSink *FDiffSink = nullptr;
    int FSharedRecordsHold = 0;
    QString FIdentity;
    TUndoRedo FUndoRedo { *this };
    // Declared before the tables: their rows hold the pool's texts.
    TSharedTexts FSharedTexts;
    std::array<std::unique_ptr<DocumentTable>, kTableCount> FTables;
    std::array<std::array<int, kConnectionCount>, kTableCount> FConnection;
    std::array<std::vector<std::uint32_t>, kTableCount> FColumnRoles; // scratch of ColumnRoles
    std::int32_t FLastFreeID = 0;
    std::uint64_t FRowsRevision = 0;
    std::uint64_t FCellsRevision = 0;
    TRowChangeLog FRowChanges;
    mutable std::array<std::uint64_t, kTableCount> FKnownStructure {};
    mutable std::array<std::uint64_t, kTableCount> FRowOrderRevision {};
    QStringList FExcludeHeaderStrings;
    TDocumentSetup FSetup;
    std::unique_ptr<TChartRows> FChartRows;
    std::unique_ptr<TWorkingTimeCache> FWorkingTime;
    // The years the chart's holiday entries were last built for.
    TDateTime FAutoEntriesFrom = std::numeric_limits<double>::quiet_NaN();
    TDateTime FAutoEntriesTo = std::numeric_limits<double>::quiet_NaN();
    bool FCollectingAbsences = false;
    int FShownGroup = 0;
    TRowSet FRowSet = rsTopMiddleBottom;
    bool FFocusNewNode = false;
    bool FLocalUndo = true;
    int FUndoRedoGroupIndex = -1;
    int FUpdating = 0;
    QStringList FUpdateStrings;
    bool fDelayedUpdateBounds = false;
    bool fDelayedUpdateOverlapping = false;
    bool fDelayedUpdateEmptyRows = false;
    // FOverlappingNodes is the set of rows whose nodeOverlapping flag is set.
    int FOverlappingCount = 0;
    std::uint64_t FOverlapMarksRevision = 0;
    // Every parseable non-zero date of a row (start, end, deadline) counted by
    // day; the plausible range of isDateOK is derived from the days counted. A
    // count changes with every parse of a row, the set of days seldom.
    std::unordered_map<qint64, int> FDateCounts;
    std::set<qint64> FCountedDays;
    TDateTextCache FEndTexts;
    qint64 FToday = qint64(Today()); // refreshed by every full validation
};

template <typename F> void Document::Notify(F &&tell)
{
    tell(static_cast<IDocumentObserver &>(*FHost));
    ++FNotifying;
    // By index: an observer may register another while it is told.
    for (std::size_t i = 0; i < FObservers.size(); ++i) {
        if (FObservers[i])
            tell(*FObservers[i]);
    }
    if (--FNotifying == 0)
        std::erase(FObservers, nullptr);
}

// Registers a view with a document for its own lifetime.
class ScopedDocumentObserver {
public:
    ScopedDocumentObserver(Document &doc, IDocumentObserver &observer)
        : FDoc(doc)
        , FObserver(observer)
    {
        FDoc.AddObserver(&FObserver);
    }
    ~ScopedDocumentObserver() { FDoc.RemoveObserver(&FObserver); }
    ScopedDocumentObserver(const ScopedDocumentObserver &) = delete;
    ScopedDocumentObserver &operator=(const ScopedDocumentObserver &) = delete;

private:
    Document &FDoc;
    IDocumentObserver &FObserver;
};

// Holds a row batch of the document open for its lifetime.
class RowBatch {
public:
    explicit RowBatch(Document &doc)
        : FDoc(doc)
    {
        FDoc.BeginRowBatch();
    }
    ~RowBatch() { FDoc.EndRowBatch(); }
    RowBatch(const RowBatch &) = delete;
    RowBatch &operator=(const RowBatch &) = delete;

private:
    Document &FDoc;
};

// Holds the records of local changes back from storing for its lifetime.
class SharedRecordsHold {
public:
    explicit SharedRecordsHold(Document &doc)
        : FDoc(doc)
    {
        FDoc.HoldSharedRecords(true);
    }
    ~SharedRecordsHold() { FDoc.HoldSharedRecords(false); }
    SharedRecordsHold(const SharedRecordsHold &) = delete;
    SharedRecordsHold &operator=(const SharedRecordsHold &) = delete;

private:
    Document &FDoc;
};

// Opens the update bracket for its lifetime.
class UpdateBracket {
public:
    UpdateBracket(Document &doc, const QString &text)
        : FDoc(doc)
    {
        FDoc.BeginUpdate(text);
    }
    ~UpdateBracket() { FDoc.EndUpdate(); }
    UpdateBracket(const UpdateBracket &) = delete;
    UpdateBracket &operator=(const UpdateBracket &) = delete;

private:
    Document &FDoc;
};
