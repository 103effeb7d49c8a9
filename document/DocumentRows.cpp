// Cells, rows, iteration, validity and the update bracket.
#include "document/ChartInvalidation.h"
#include "document/ChartRows.h"
#include "document/Document.h"
#include "document/DocumentTable.h"
#include "document/NodeEvents.h"
#include "document/RowWalkProgress.h"
#include "document/text/CommaText.h"

#include <QRegularExpression>
#include <climits>
#include <cstring>

namespace {

// The counter travels as a 32-bit number: at its top it stays there (every
// instance then orders such changes alike, by writer) instead of wrapping.
std::int32_t bumpChangeIndex(TNodeData &node)
{
    if (node.ChangeIndex < std::uint64_t(INT32_MAX))
        ++node.ChangeIndex;
    return std::int32_t(node.ChangeIndex);
}

// A date in the international form other programs write, "2024-03-05", with
// or without a time ("2024-03-05 13:45", "2024-03-05T13:45:30").
bool TryStrToISODateTime(const QString &text, TDateTime &value)
{
    static const QRegularExpression form(
        QStringLiteral("^\\s*(\\d{4})-(\\d{1,2})-(\\d{1,2})(?:[ T](\\d{1,2}):(\\d{2})(?::(\\d{2}))?)?\\s*$"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return false;
    const auto field = [&match](int n) { return match.captured(n).toInt(); };
    TDateTime date = 0, time = 0;
    if (!TryEncodeDate(field(1), field(2), field(3), date)
        || !TryEncodeTime(field(4), field(5), field(6), 0, time))
        return false;
    value = date < 0 ? date - time : date + time;
    return true;
}

} // namespace

int Document::ItemIndex::lookup(const QStringList &items, const QString &name)
{
    // Comparing is O(1) while the two lists share their data; an equal list with
    // other data is adopted so the next comparison is cheap again.
    const bool sameData = built && source.constData() == items.constData() && source.size() == items.size();
    const auto found = [this](const QString &text) {
        const auto it = firstByName.find(text);
        return it == firstByName.end() ? -1 : it->second;
    };
    if (sameData)
        return found(name);
    if (built && source == items) {
        source = items;
    } else {
        source = items;
        firstByName.clear();
        for (int i = 0; i < items.size(); ++i) {
            const QString field0 = TCommaText(items[i]).Item(0);
            firstByName.emplace(field0, i); // the first item of a name wins
        }
        built = true;
    }
    return found(name);
}

QString Document::GetData(const TNodeData *node, int column) const
{
    if (!node || column < 0 || column >= node->StringList.size())
        return QString();
    return node->StringList[column];
}

QString Document::GetData_(const TNodeData *node, TConnection role) const
{
    return node ? GetData(node, GetConnection(node->NodeTable, role)) : QString();
}

int Document::GetDataIndex(const TNodeData *node, int column) const
{
    if (!node || column < 0)
        return -1;
    const QString text = GetData(node, column);
    if (RoleIs(node->NodeTable, column, cnPosition)) {
        if (text == QLatin1String("*"))
            return kAllPositions;
        return FAllPositionsIndex.lookup(FChartRows->AllPositions(), text);
    }
    return FColumnItemIndex[node->NodeTable][column].lookup(GetColumnStrings(node->NodeTable, column), text);
}

int Document::GetDataIndex_(const TNodeData *node, TConnection role) const
{
    return node ? GetDataIndex(node, GetConnection(node->NodeTable, role)) : -1;
}

void Document::SetData(TNodeData *node, int column, const QString &text)
{
    DoSetData(node, column, text, true);
}

void Document::SetData_(TNodeData *node, TConnection role, const QString &text)
{
    if (node)
        DoSetData(node, GetConnection(node->NodeTable, role), text, true);
}

void Document::DoSetData_(TNodeData *node, TConnection role, const QString &text, bool DoDiff)
{
    if (node)
        DoSetData(node, GetConnection(node->NodeTable, role), text, DoDiff);
}

void Document::DoSetData(TNodeData *node, int column, const QString &text, bool DoDiff)
{
    // A column outside the table (an unbound role) is no cell: nothing happens.
    if (!node || column < 0 || column >= node->StringList.size() || SameText(node->StringList[column], text))
        return;
    const TWhichTable table = node->NodeTable;

    // A column may carry several roles; it reacts to each of them.
    std::uint32_t roles = 0;
    for (int role = cnNone + 1; role < kConnectionCount; ++role) {
        if (FConnection[table][role] == column)
            roles |= 1u << role;
    }
    auto has = [roles](std::initializer_list<TConnection> wanted) {
        for (TConnection r : wanted) {
            if (roles & (1u << r))
                return true;
        }
        return false;
    };
    // The end is derived: every instance computes it, so it is neither shared nor undone.
    const bool derivedOnly = roles == 1u << cnEnd;

    if (DoDiff && !derivedOnly) {
        const std::int32_t changeIndex = bumpChangeIndex(*node);
        if (FDiffSink)
            FDiffSink->PushDiff(
                std::make_unique<TSetNodeDataEvent>(node->ID, changeIndex, table, column, text));
    }
    if (!derivedOnly && (DoDiff || !FLocalUndo))
        FUndoRedo.Push(
            std::make_unique<TUndoRedoEntryString>(*this, *node, table, column, FUndoRedoGroupIndex));

    const bool moves = has({ cnPosition, cnStart, cnEnd, cnLength, cnLengthWithWeekend });
    // An absent row whose inputs change moves the ends of the tasks it meets
    // (its derived end follows from those inputs and adds nothing).
    const bool movesAbsence
        = table == tbExclude && !IsUpdating() && has({ cnPosition, cnStart, cnLength, cnLengthWithWeekend });
    const bool selected = GetTable(table).IsSelected(node);
    if (moves)
        InvalidateNode(node, selected);
    if (movesAbsence) // the tasks of the old interval
        FlagTasksMeeting(*node, node->nodeStart, node->nodeEnd);

    node->StringList[column] = FSharedTexts.Share(text);
    ++FCellsRevision;
    if (table == tbExclude) // absent days feed the working-time walk
        AbsentDaysChanged();

    if (has({ cnPosition, cnStart, cnLength, cnLengthWithWeekend }))
        SetRecalcEndOf(node, true);
    if (has({ cnEnd }))
        SetRecalcStartOf(node, true);
    if (has({ cnPosition, cnStart, cnEnd, cnLength, cnTermin, cnColor, cnLengthWithWeekend }))
        CB_CheckValid(*node);
    if (movesAbsence) // the tasks of the new interval
        FlagTasksMeeting(*node, node->nodeStart, node->nodeEnd);
    if (has({ cnStart, cnEnd, cnTermin }))
        UpdateBounds(true);
    if (has({ cnPosition, cnStart, cnEnd }))
        UpdateOverlapping(true);
    if (has({ cnPosition }))
        UpdateEmptyRows(true);
    if (has({ cnColor }))
        Notify([](IDocumentObserver &o) { o.StartFlashSelected(); });
    if (roles != 0) {
        node->RecalcBitmap = true;
        InvalidateNode(node, selected);
    }
    Notify([node](IDocumentObserver &o) {
        o.RowChanged(*node);
        o.UpdateEditor();
    });
}

QString Document::ItemTextOf(TWhichTable table, int column, int index) const
{
    if (column < 0)
        return QString();
    const QStringList &items
        = RoleIs(table, column, cnPosition) ? FChartRows->AllPositions() : GetColumnStrings(table, column);
    return index >= 0 && index < items.size() ? TCommaText(items[index]).Item(0) : QString();
}

void Document::DoSetDataIndex(TNodeData *node, int column, int index, bool DoDiff)
{
    if (!node || column < 0)
        return;
    DoSetData(node, column, ItemTextOf(node->NodeTable, column, index), DoDiff);
}

void Document::SetDataIndex(TNodeData *node, int column, int index)
{
    DoSetDataIndex(node, column, index, true);
}

void Document::SetDataIndex_(TNodeData *node, TConnection role, int index)
{
    if (node)
        DoSetDataIndex(node, GetConnection(node->NodeTable, role), index, true);
}

bool Document::GetNodeFiltered(const TNodeData *node) const
{
    return node && GetTable(node->NodeTable).IsHidden(node);
}

void Document::SetNodeFiltered(TNodeData *node, bool filtered)
{
    if (node)
        GetTable(node->NodeTable).SetHidden(node, filtered);
}

void Document::RaiseLastFreeID(const QString &id)
{
    // The identity and a dot, compared in place: a load passes here for every row.
    const qsizetype prefix = FIdentity.size() + 1;
    if (id.size() < prefix || id[prefix - 1] != QLatin1Char('.') || !id.startsWith(FIdentity))
        return;
    bool ok = false;
    const qlonglong number = QStringView(id).mid(prefix).toLongLong(&ok);
    // Numbers beyond the counter's range cannot have come from this counter.
    if (ok && number >= 0 && number <= INT_MAX && number > FLastFreeID)
        FLastFreeID = std::int32_t(number);
}

TNodeData *Document::NewNode(const QString &requestedID, TWhichTable table, bool DoDiff)
{
    // A row without an ID could never be found again or shared: it gets a fresh one.
    const QString id = requestedID.isEmpty() ? GetFreeID() : TSharedTexts::Exact(requestedID);
    RaiseLastFreeID(id);
    if (DoDiff && FDiffSink)
        FDiffSink->PushDiff(std::make_unique<TNewNodeEvent>(id, table));
    if (DoDiff || !FLocalUndo)
        FUndoRedo.Push(std::make_unique<TUndoRedoEntryAddNode>(table, id, FUndoRedoGroupIndex));

    DocumentTable &t = GetTable(table);
    SyncRowOrder(table, false);
    TNodeData *node = t.AddRow(id);
    SyncRowOrder(table, true);
    if (!IsUpdating())
        FRowChanges.Added(*node);
    if (table == tbExclude) // absent days feed the working-time walk
        AbsentDaysChanged();
    node->ChangeIndex = 0;
    // Exactly as many cells as columns: a list grown one by one keeps spare room
    // in every row.
    node->StringList = QStringList(t.ColumnCount());
    if (table == tbExclude) {
        // Written straight into the cells: the defaults are no change of their own.
        const int reason = GetConnection(table, cnColor);
        const int workdays = GetConnection(table, cnLengthWithWeekend);
        if (reason >= 0 && reason < node->StringList.size())
            node->StringList[reason] = FSetup.FDefaultHolidayReason;
        if (workdays >= 0 && workdays < node->StringList.size())
            node->StringList[workdays]
                = FSetup.FDefaultCalcWorkdays ? QStringLiteral("Ja") : QStringLiteral("Nein");
    }
    return node;
}

TNodeData *Document::AddNode(const QString &requestedID, TWhichTable table, bool DoDiff)
{
    if (TNodeData *existing = FindNode(requestedID); existing && !requestedID.isEmpty())
        return existing;
    TNodeData *node = NewNode(requestedID, table, DoDiff);
    if (table == tbTable) // a task starts with the first colour
        DoSetDataIndex(node, GetConnection(table, cnColor), 0, DoDiff);
    if (FFocusNewNode)
        FHost->FocusNewNode(*node);
    FFocusNewNode = false;
    FHost->UpdateStatusBar();
    return node;
}

void Document::ReserveRows(TWhichTable table, int count)
{
    GetTable(table).ReserveRows(count);
}

TNodeData *Document::AddLoadedNode(const QString &requestedID, TWhichTable table, bool *added)
{
    *added = false;
    if (TNodeData *existing = FindNode(requestedID); existing && !requestedID.isEmpty())
        return existing;
    *added = true;
    TNodeData *node = NewNode(requestedID, table, false);
    if (FFocusNewNode)
        FHost->FocusNewNode(*node);
    FFocusNewNode = false;
    return node;
}

const std::vector<std::uint32_t> &Document::ColumnRoles(TWhichTable table)
{
    std::vector<std::uint32_t> &roles = FColumnRoles[table];
    roles.assign(std::size_t(GetTableColCount(table)), 0);
    for (int role = cnNone + 1; role < kConnectionCount; ++role) {
        const int column = FConnection[table][role];
        if (column >= 0 && column < int(roles.size()))
            roles[std::size_t(column)] |= 1u << role;
    }
    return roles;
}

void Document::DoSetLoadedCells(TNodeData *node, const std::vector<TLoadedCell> &cells)
{
    Q_ASSERT(IsUpdating());
    if (!node)
        return;
    const TWhichTable table = node->NodeTable;
    const std::vector<std::uint32_t> &columnRoles = ColumnRoles(table);
    std::uint32_t roles = 0;
    bool changed = false;
    for (const TLoadedCell &cell : cells) {
        const int column = cell.column;
        if (column < 0 || column >= node->StringList.size() || SameText(node->StringList[column], *cell.text))
            continue;
        const std::uint32_t cellRoles
            = std::size_t(column) < columnRoles.size() ? columnRoles[std::size_t(column)] : 0;
        // Changes from others are undoable unless undo is local (DoSetData's rule).
        if (cellRoles != 1u << cnEnd && !FLocalUndo)
            FUndoRedo.Push(
                std::make_unique<TUndoRedoEntryString>(*this, *node, table, column, FUndoRedoGroupIndex));
        node->StringList[column] = FSharedTexts.Share(*cell.text);
        roles |= cellRoles;
        changed = true;
    }
    if (!changed)
        return;
    ++FCellsRevision;
    const auto has = [roles](std::initializer_list<TConnection> wanted) {
        for (TConnection r : wanted) {
            if (roles & (1u << r))
                return true;
        }
        return false;
    };
    // What DoSetData does inside a bracket: the rest waits for its end.
    if (table == tbExclude)
        AbsentDaysChanged();
    if (has({ cnPosition, cnStart, cnLength, cnLengthWithWeekend }))
        SetRecalcEndOf(node, true);
    if (has({ cnEnd }))
        SetRecalcStartOf(node, true);
    if (has({ cnColor }))
        Notify([](IDocumentObserver &o) { o.StartFlashSelected(); });
    if (roles != 0)
        node->RecalcBitmap = true;
    Notify([node](IDocumentObserver &o) {
        o.RowChanged(*node);
        o.UpdateEditor();
    });
}

void Document::DeleteNode(TNodeData *node, bool DoDiff)
{
    if (!node)
        return;
    const TWhichTable table = node->NodeTable;
    if (DoDiff) {
        const std::int32_t changeIndex = bumpChangeIndex(*node);
        if (FDiffSink)
            FDiffSink->PushDiff(std::make_unique<TDeleteNodeEvent>(node->ID, changeIndex, table));
    }
    if (DoDiff || !FLocalUndo)
        FUndoRedo.Push(std::make_unique<TUndoRedoEntryRemoveNode>(*node, table, FUndoRedoGroupIndex));
    InvalidateNode(node, GetTable(table).IsSelected(node));
    if (table == tbExclude && !IsUpdating())
        FlagTasksMeeting(*node, node->nodeStart, node->nodeEnd);
    if (node->nodeOverlapping) {
        node->nodeOverlapping = false;
        --FOverlappingCount;
        UpdateOverlapping(true);
    }
    ForgetDates(*node);
    if (!IsUpdating())
        FRowChanges.Removing(*node);
    SyncRowOrder(table, false);
    GetTable(table).DeleteRow(node);
    SyncRowOrder(table, true);
    ++FRowsRevision;
    if (table == tbExclude) // absent days feed the working-time walk
        AbsentDaysChanged();
    FHost->UpdateStatusBar();
}

TNodeData *Document::FindNode(const QString &id)
{
    if (TNodeData *node = FindNode(id, tbTable))
        return node;
    return FindNode(id, tbExclude);
}

TNodeData *Document::FindNode(const QString &id, TWhichTable table) const
{
    return GetTable(table).Find(id);
}

QString Document::GetFreeID()
{
    const QString prefix = FIdentity + QLatin1Char('.');
    for (;;) {
        FLastFreeID = FLastFreeID == INT_MAX ? 0 : FLastFreeID + 1;
        const QString id = prefix + QString::number(FLastFreeID);
        if (!FindNode(id))
            return id;
    }
}

void Document::ForEach(TForEachNode mode, const TForEachCallback &callback)
{
    ForEach(tbTable, mode, callback);
    ForEach(tbExclude, mode, callback);
}

void Document::BeginRowBatch()
{
    if (FRowBatch++ == 0)
        Notify([](IDocumentObserver &o) { o.RowBatchStarted(); });
}

void Document::EndRowBatch()
{
    if (--FRowBatch == 0)
        Notify([](IDocumentObserver &o) { o.RowBatchEnded(); });
}

void Document::ForEach(TWhichTable table, TForEachNode mode, const TForEachCallback &callback)
{
    const RowBatch batch(*this);
    DocumentTable &t = GetTable(table);
    // Along the table's list of rows while no callback adds, moves or deletes a
    // row; after that along the rows' links.
    const std::vector<TNodeData *> &rows = t.Rows();
    const std::uint64_t stamp = t.StructureStamp();
    bool listed = true;
    std::size_t index = 0;
    TNodeData *node = rows.empty() ? nullptr : rows.front();
    while (node) {
        // The next row is taken first: the callback may delete the one it gets.
        TNodeData *next = nullptr;
        if (listed) {
            ++index;
            next = index < rows.size() ? rows[index] : nullptr;
            if (index + 8 < rows.size())
                __builtin_prefetch(rows[index + 8]);
        } else {
            next = t.Next(node);
        }
        bool pass = false;
        switch (mode) {
        case feAll:
            pass = true;
            break;
        case feGroupAll:
            pass = GetPositionOf(node) >= 0;
            break;
        case feGroupFiltered:
            pass = !t.IsHidden(node) && GetPositionOf(node) >= 0;
            break;
        case feOverlapping:
            pass = GetNodeIsOverlapping(node);
            break;
        case feSelected:
            pass = t.IsSelected(node);
            break;
        case feFiltered:
            pass = t.IsHidden(node);
            break;
        }
        if (pass) {
            callback(*node);
            listed = listed && t.StructureStamp() == stamp;
        }
        node = next;
    }
}

int Document::TotalCount(TWhichTable table) const
{
    return GetTable(table).RowCount();
}

int Document::FilteredCount(TWhichTable table) const
{
    return GetTable(table).VisibleRowCount();
}

int Document::SelectedCount(TWhichTable table) const
{
    return GetTable(table).SelectedCount();
}

int Document::GroupCount(TWhichTable table) const
{
    // Over the list of rows, not along their links: the rows lie anywhere in
    // memory, and the list lets the processor fetch a few ahead while it counts.
    int count = 0;
    const std::vector<TNodeData *> &rows = GetTable(table).Rows();
    constexpr std::size_t ahead = 16;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (i + ahead < rows.size())
            __builtin_prefetch(&rows[i + ahead]->nodePosition);
        const int row = GetPositionOf(rows[i]);
        if (row >= 0 || row == kAllPositions)
            ++count;
    }
    return count;
}

void Document::CheckAllValid()
{
    FToday = qint64(Today());
    // Absent rows first, so the task ends walk around absent days that are
    // already parsed.
    AbsentDaysChanged();
    const auto check = [this](TNodeData &node) {
        CB_CheckValid(node);
        TRowWalkProgress::Row();
    };
    ForEach(tbExclude, feAll, check);
    ForEach(tbTable, feAll, check);
    ::InvalidateTimeChart(*this);
}

void Document::CB_CheckValid(TNodeData &node)
{
    if (IsUpdating())
        return;
    const std::size_t mark = NoteRowChanging(node);
    const TDateTime oldStart = node.nodeStart, oldEnd = node.nodeEnd, oldTermin = node.nodeTermin;
    const bool oldValid = node.nodeValid, oldRecalcEnd = node.RecalcEndOf;
    const int oldPosition = node.nodePosition, oldColor = node.nodeColor;
    node.nodeStart = StrToDateTime(CellOf(node, cnStart));
    node.nodeEnd = StrToDateTime(CellOf(node, cnEnd));
    node.nodePosition = GetDataIndex_(&node, cnPosition);
    node.nodeLength = calcNodeLength(node.NodeTable, CellOf(node, cnLength));
    node.nodeColor = GetDataIndex_(&node, cnColor);
    GetTable(node.NodeTable).ColorChanged(&node, oldColor);
    const bool hasTermin = GetConnection(node.NodeTable, cnTermin) >= 0;
    node.nodeTermin = hasTermin ? StrToDateTime(CellOf(node, cnTermin)) : 0;
    NoteDates(node, oldStart, oldEnd, oldTermin);

    auto filled = [&](TConnection role) { return !CellOf(node, role).isEmpty(); };
    // A new or pasted row has no End yet: derive it now so the row can become valid.
    // (Writing a changed End parses the row again; an unchanged one does not, so the
    // validity is settled below either way.)
    if (node.RecalcEndOf && node.nodeLength > 0 && node.nodeStart != 0 && filled(cnPosition)
        && GetConnection(node.NodeTable, cnEnd) >= 0) {
        // Writes the End cell; a changed cell validates the row again, an
        // unchanged one (a loaded row) is validated below.
        GetEndOf(&node);
    }
    node.nodeValid = node.nodeLength > 0 && filled(cnStart) && filled(cnEnd) && filled(cnLength)
        && filled(cnPosition) && isDateOK(node.nodeStart) && isDateOK(node.nodeEnd)
        && !node.nodeEndUnreachable;
    if (node.nodeTermin != 0 && !isDateOK(node.nodeTermin))
        node.nodeTermin = 0;
    // Validity orders the tables' rows (incomplete ones first).
    if (node.nodeValid != oldValid)
        ++FCellsRevision;
    if (node.nodeValid != oldValid || node.nodeStart != oldStart || node.nodeEnd != oldEnd
        || node.nodeTermin != oldTermin || node.nodePosition != oldPosition)
        ++FRowsRevision;
    else if (node.RecalcEndOf == oldRecalcEnd)
        FRowChanges.Retract(mark);
    // absent days feed the working-time walk
    if (node.NodeTable == tbExclude
        && (node.nodeValid != oldValid || node.nodeStart != oldStart || node.nodeEnd != oldEnd
            || node.nodePosition != oldPosition))
        AbsentDaysChanged();
}

const QString &Document::CellOf(const TNodeData &node, TConnection role) const
{
    static const QString none;
    const int column = GetConnection(node.NodeTable, role);
    return column >= 0 && column < node.StringList.size() ? node.StringList[column] : none;
}

void Document::NoteDates(TNodeData &node, TDateTime oldStart, TDateTime oldEnd, TDateTime oldTermin)
{
    auto remove = [this](TDateTime d) {
        if (d == 0)
            return;
        const qint64 day = qint64(DatePart(d));
        auto it = FDateCounts.find(day);
        if (it != FDateCounts.end() && --it->second == 0) {
            FDateCounts.erase(it);
            FCountedDays.erase(day);
        }
    };
    auto add = [this](TDateTime d) {
        if (d == 0)
            return;
        const qint64 day = qint64(DatePart(d));
        if (++FDateCounts[day] == 1)
            FCountedDays.insert(day);
    };
    remove(oldStart);
    remove(oldEnd);
    remove(oldTermin);
    add(node.nodeStart);
    add(node.nodeEnd);
    add(node.nodeTermin);
}

void Document::ForgetDates(const TNodeData &node)
{
    TNodeData copy;
    copy.nodeStart = copy.nodeEnd = copy.nodeTermin = 0;
    NoteDates(copy, node.nodeStart, node.nodeEnd, node.nodeTermin);
}

// The plausible range spans today and every parseable date of every row, so no
// row's own dates ever fall outside it and a change of the range can change no
// row's validity: nothing needs revalidating when it moves. What it still
// rejects is the day-0 value of a cell that does not parse.
bool Document::isDateOK(TDateTime date) const
{
    if (date == 0)
        return false;
    const qint64 today = FToday;
    const double low = FCountedDays.empty() ? today : std::min(today, *FCountedDays.begin());
    const double high = FCountedDays.empty() ? today : std::max(today, *FCountedDays.rbegin());
    return low - 7300 < date && date < high + 7300;
}

void Document::InvalidateNode(TNodeData *node, bool selected)
{
    if (!node || IsUpdating() || !node->nodeValid)
        return;
    Notify([node, selected](IDocumentObserver &o) { o.InvalidateNodeArea(*node, selected); });
}

void Document::FlagTasksMeeting(const TNodeData &absent, TDateTime start, TDateTime end)
{
    if (start == 0 || end == 0)
        return;
    int low = 0, high = -1;
    const bool everyone = absent.nodePosition == kAllPositions;
    if (!everyone) {
        const std::vector<TInterval> &groups = FChartRows->PositionsInHolidayGroup();
        if (absent.nodePosition < 0 || absent.nodePosition >= int(groups.size()))
            return;
        low = groups[absent.nodePosition].low;
        high = groups[absent.nodePosition].high;
    }
    const DocumentTable &tasks = GetTable(tbTable);
    const RowBatch batch(*this);
    for (TNodeData *task = tasks.First(); task; task = tasks.Next(task)) {
        const bool samePosition = everyone || task->nodePosition == kAllPositions
            || (task->nodePosition >= low && task->nodePosition <= high);
        if (!samePosition || task->nodeStart == 0)
            continue;
        const TDateTime taskEnd = task->nodeEnd != 0 ? task->nodeEnd : task->nodeStart;
        if (task->nodeStart <= end + 1 && start <= taskEnd) {
            const bool selected = tasks.IsSelected(task);
            Notify([task, selected](IDocumentObserver &o) { o.InvalidateNodeArea(*task, selected); });
            if (!task->RecalcEndOf)
                NoteRowChanging(*task);
            task->RecalcEndOf = true;
            task->RecalcBitmap = true;
            ++FRowsRevision;
        }
    }
}

TDateTime Document::StrToDateTime(const QString &text) const
{
    TDateTime value = 0;
    return TryStrToDateTime(text, value) ? value : 0;
}

bool Document::TryStrToDateTime(const QString &text, TDateTime &value) const
{
    TDateTime parsed = 0;
    if (FSetup.FMinUnit == muMinute) {
        if (!::TryStrToDateTime(text, parsed) && !TryStrToISODateTime(text, parsed))
            return false;
        value = parsed;
        return true;
    }
    if (TryStrToDate(text, value))
        return true;
    // A day holds no time: one that comes with the date (a spreadsheet's cell, a
    // pasted text) is dropped. A time alone names no day.
    TDateTime time = 0;
    if (!((::TryStrToDateTime(text, parsed) && !TryStrToTime(text, time))
            || TryStrToISODateTime(text, parsed)))
        return false;
    value = DatePart(parsed);
    return true;
}

QString Document::FormatDateTime(TDateTime date) const
{
    return TDateTextCache::Format(date, FSetup.FMinUnit == muMinute);
}

void Document::SetRecalcEndOf(TNodeData *node, bool flag)
{
    if (!node)
        return;
    if (flag)
        InvalidateNode(node, GetTable(node->NodeTable).IsSelected(node));
    if (flag != node->RecalcEndOf) {
        NoteRowChanging(*node);
        ++FRowsRevision;
    }
    node->RecalcEndOf = flag;
    if (flag && node->NodeTable == tbExclude) // absent days feed the working-time walk
        AbsentDaysChanged();
}

void Document::SetRecalcStartOf(TNodeData *node, bool flag)
{
    if (!node)
        return;
    node->RecalcStartOf = flag;
    if (flag)
        InvalidateNode(node, GetTable(node->NodeTable).IsSelected(node));
}

void Document::BeginUpdate(const QString &text)
{
    ++FUpdating;
    // A step without a text of its own inside a longer one (the open's read,
    // its reset) goes on saying what the longer one does.
    const QString shown = text.isEmpty() && !FUpdateStrings.isEmpty() ? FUpdateStrings.first() : text;
    FUpdateStrings.prepend(shown);
    Notify([&shown](IDocumentObserver &o) { o.UpdateTextChanged(shown, true); });
}

void Document::EndUpdate()
{
    if (FUpdating == 0)
        return;
    --FUpdating;
    if (!FUpdateStrings.isEmpty())
        FUpdateStrings.removeFirst();
    if (FUpdating > 0) {
        const QString text = FUpdateStrings.value(0);
        Notify([&text](IDocumentObserver &o) { o.UpdateTextChanged(text, true); });
        return;
    }
    RecalcAllEnds();
    TRowWalkProgress::Pause();
    RefreshPositionRows();
    TRowWalkProgress::Pause();
    UpdateBounds(true);
    UpdateOverlapping(true);
    CheckAllValid();
    TRowWalkProgress::Pause();
    FHost->UpdateStatusBar();
    // Each view's own walk over the rows may be long: the window paints between
    // them (the views keep still until the open that waits for them ends).
    Notify([](IDocumentObserver &o) {
        o.UpdateTextChanged(QString(), false);
        TRowWalkProgress::Pause();
    });
}

bool &Document::PassFlag(TLayoutPass pass)
{
    switch (pass) {
    case TLayoutPass::EmptyRows:
        return fDelayedUpdateEmptyRows;
    case TLayoutPass::Bounds:
        return fDelayedUpdateBounds;
    case TLayoutPass::Overlapping:
        break;
    }
    return fDelayedUpdateOverlapping;
}

void Document::RequestPass(TLayoutPass pass, bool deferred)
{
    if (IsUpdating())
        return;
    if (deferred) {
        PassFlag(pass) = true;
        FHost->LayoutPassRequested();
        return;
    }
    // Running it now answers an earlier request too.
    PassFlag(pass) = false;
    Notify([pass](IDocumentObserver &o) { o.RunLayoutPass(pass); });
}

bool Document::TakePendingPass(TLayoutPass pass)
{
    bool &flag = PassFlag(pass);
    const bool pending = flag;
    flag = false;
    return pending;
}

void Document::UpdateBounds(bool deferred)
{
    RequestPass(TLayoutPass::Bounds, deferred);
}

void Document::UpdateOverlapping(bool deferred)
{
    RequestPass(TLayoutPass::Overlapping, deferred);
}

void Document::UpdateEmptyRows(bool deferred)
{
    RequestPass(TLayoutPass::EmptyRows, deferred);
}

void Document::SetOverlappingNodes(const std::vector<TNodeData *> &nodes)
{
    if (FOverlappingCount > 0)
        ForEach(feOverlapping, [](TNodeData &node) { node.nodeOverlapping = false; });
    FOverlappingCount = 0;
    ++FOverlapMarksRevision;
    for (TNodeData *node : nodes)
        SetNodeIsOverlapping(node, true);
}

void Document::SetNodeIsOverlapping(TNodeData *node, bool overlapping)
{
    if (!node || node->nodeOverlapping == overlapping)
        return;
    node->nodeOverlapping = overlapping;
    FOverlappingCount += overlapping ? 1 : -1;
    ++FOverlapMarksRevision;
}

void Document::SyncRowOrder(TWhichTable table, bool ownChange) const
{
    const std::uint64_t stamp = GetTable(table).StructureStamp();
    if (stamp == FKnownStructure[table])
        return;
    if (!ownChange)
        ++FRowOrderRevision[table];
    FKnownStructure[table] = stamp;
}

std::uint64_t Document::RowOrderRevision(TWhichTable table) const
{
    SyncRowOrder(table, false);
    return FRowOrderRevision[table];
}
