// The watcher's main-thread part of applying what it fetched: records in index
// order, rows found in conflict rebuilt from all their records.
#include "document/Document.h"
#include "document/NodeEvents.h"
#include "document/program/Log.h"
#include "document/program/ThreadCheck.h"
#include "document/sharing/ApplyTransactions.h"
#include "document/sharing/DirWatch.h"
#include "document/sharing/TransactionRecords.h"

#include <QFileInfo>
#include <algorithm>
#include <cstdint>
#include <utility>

using namespace transactions;

void TDirWatchThread::LoadPending()
{
    AssertMainThread();
    AssertWorkerSide();
    std::vector<QString> paths;
    paths.reserve(FXMLFiles.size());
    for (const auto &[path, file] : FXMLFiles)
        paths.push_back(path);
    for (const QString &path : paths)
        LoadDiff(path);
}

void TDirWatchThread::LoadDiff(const QString &fileName)
{
    AssertMainThread();
    AssertWorkerSide();
    const auto it = FXMLFiles.find(fileName);
    if (it == FXMLFiles.end() || !it->second->Changed())
        return;
    TTransactionFile &file = *it->second;
    file.SetChanged(false);
    // Records apply in index order, each index once.
    const std::vector<TTransactionFile::TRecordRef> &records = file.OrderedRecords();
    auto from = std::upper_bound(records.begin(), records.end(), file.LastIndex(),
        [](int index, const TTransactionFile::TRecordRef &r) { return index < r.index; });

    static const THashedString idName(QStringLiteral("id"));
    const int firstOwn = file.FirstOwnIndex();
    for (; from != records.end(); ++from) {
        if (from->index <= file.LastIndex())
            continue; // a repeated index applies once
        file.SetLastIndex(from->index);
        // Records this instance wrote are its own changes, already in the document.
        if (firstOwn >= 0 && from->index >= firstOwn && !file.TakeReplayed(from->index))
            continue;
        const TXMLAttribute *attribute = from->record->namedAttribute(idName);
        if (!attribute || attribute->Value().isEmpty())
            continue;
        ApplyRecord(attribute->Value(), *from->record);
    }
}

void TDirWatchThread::AddConflict(const QString &id)
{
    if (FConflictSet.contains(id))
        return;
    FConflictSet.insert(id);
    FConflicts.append(id);
}

void TDirWatchThread::ApplyRecord(const QString &id, const TXMLNode &record)
{
    AssertMainThread();
    TNodeData *row = FDocument.FindNode(id);
    const std::int32_t changeIndex = RecordChangeIndex(record);
    const TRecordKind kind = KindOf(record);
    // A counter that might be refused is left to the replay of all the row's
    // records, which decides alike everywhere: applied here it could lift the row
    // beyond every later change. Measured from the base (the document stores no
    // counters, its rows start at 0), not from the row here, which the same
    // writer's earlier records may have raised.
    if (kind != TRecordKind::Other
        && (changeIndex > FLimits.counterJump || changeIndex > FLimits.counterCeiling)) {
        AddConflict(id);
        return;
    }
    if (row) {
        // The row was changed here (or by a third instance) as often as the writer
        // had changed it: the two changes were concurrent.
        if (std::int32_t(row->ChangeIndex) >= changeIndex)
            AddConflict(id);
    } else if (kind == TRecordKind::New) {
        // Records of this row arrived before its "new" (files read in another
        // order) or it was deleted: only a replay of all of them gives the row
        // every instance ends with.
        if (FGone.contains(id))
            AddConflict(id);
    } else if (kind != TRecordKind::Other) {
        FGone.insert(id);
    }
    ApplyDiff(FDocument, row, changeIndex, id, record);
    ++FAppliedChanges;
    if (row)
        RaiseToOwnCounter(*row);
    if (kind == TRecordKind::Delete)
        FGone.insert(id);
}

// Conflicts are solved in three phases: every known record of each row in
// conflict is gathered, each row is worked out by replaying them (ReplayRow),
// and the rows are replaced in the document.
void TDirWatchThread::SolveConflicts()
{
    AssertMainThread();
    AssertWorkerSide();
    if (FConflicts.isEmpty())
        return;
    // Without the base a row that came with the document would be rebuilt from its
    // changes alone, and vanish: the rows stay as applied until the base is read.
    if (!FBaseRows)
        return;
    TXMLTree copies;
    QHash<QString, std::vector<TConflictEntry>> records = GatherConflictRecords(copies);
    for (const QString &id : std::as_const(FConflicts)) {
        const TReplayedRow replayed = ReplayRow(FDocument, id, std::move(records[id]), FLimits);
        NoteRefusals(id, replayed);
        ReplaceConflictRow(id, replayed);
    }
    FConflicts.clear();
    FConflictSet.clear();
}

QHash<QString, std::vector<TConflictEntry>> TDirWatchThread::GatherConflictRecords(TXMLTree &copies) const
{
    AssertWorkerSide();
    QHash<QString, std::vector<TConflictEntry>> byID;
    static const THashedString idName(QStringLiteral("id"));
    // The base's rows count in their order, before any change record.
    const QString baseName = QFileInfo(GetWorkingFileName()).fileName();
    for (const TWorkingCopyRows::TRow &row : FBaseRows->RowsOf(FConflictSet, copies)) {
        byID[RecordID(*row.node)].push_back(
            { { RecordChangeIndex(*row.node), RecordUser(*row.node), baseName, row.position }, row.node,
                true });
    }
    for (const auto &[path, file] : FXMLFiles) {
        const TXMLNode *parent
            = file->xml().namedNode(QStringList { QStringLiteral("document"), QStringLiteral("diff") });
        if (!parent)
            continue;
        const QString name = QFileInfo(path).fileName();
        for (const auto &record : parent->Nodes()) {
            const TXMLAttribute *id = record->namedAttribute(idName);
            if (!id || !FConflictSet.contains(id->Value()))
                continue;
            byID[id->Value()].push_back(
                { { RecordChangeIndex(*record), RecordUser(*record), name, RecordIndex(*record) },
                    record.get() });
        }
    }

    // Own records not yet stored take part exactly as they will be written.
    const QString ownName
        = FDiffFile.isEmpty() ? FFileIdentity + QStringLiteral(".1.diff") : QFileInfo(FDiffFile).fileName();
    int nextIndex = 1;
    if (const TTransactionFile *own = FileOf(FDiffFile)) {
        if (const TXMLNode *diff
            = own->xml().namedNode(QStringList { QStringLiteral("document"), QStringLiteral("diff") }))
            nextIndex = int(std::min<qint64>(qint64(std::max(getIndex(*diff), 0)) + 1, INT32_MAX));
    }
    for (const TNodeEventList *list : { &FPendingThreadEvents, &FPendingEvents }) {
        for (const auto &event : *list) {
            const int index = nextIndex;
            nextIndex += nextIndex < INT32_MAX;
            if (!FConflictSet.contains(event->FID))
                continue;
            TXMLNode *record = copies.AddNode(THashedString(event->XMLNodeName()));
            event->AppendToXML(*record);
            byID[event->FID].push_back({ { event->FChangeIndex, event->FUser, ownName, index }, record });
        }
    }
    return byID;
}

// A row is replayed again with every new conflict of it: each refused record is
// logged the first time, and each writer's reason reaches the window once.
void TDirWatchThread::NoteRefusals(const QString &id, const TReplayedRow &replayed)
{
    AssertMainThread();
    for (const TRefusedRecord &refused : replayed.refused) {
        const QString record = refused.key.file + QLatin1Char('\t') + QString::number(refused.key.index);
        if (FRefusedRecords.contains(record))
            continue;
        FRefusedRecords.insert(record);
        Log(QStringLiteral("Row %1: the record %2 of %3 in %4 is refused: %5")
                .arg(id)
                .arg(refused.key.index)
                .arg(refused.key.user, refused.key.file, refused.reason));
        const QString reason = refused.nearTop ? QStringLiteral("change counters near the top of their range")
                                               : QStringLiteral("change counters far above the rows' own");
        const QString notice = refused.key.user + QLatin1Char('\t') + reason;
        if (FNoticesShown.contains(notice))
            continue;
        FNoticesShown.insert(notice);
        FRefusalNotices.push_back({ refused.key.user, reason });
    }
}

std::vector<TDirWatchThread::TRefusalNotice> TDirWatchThread::TakeRefusalNotices()
{
    AssertMainThread();
    return std::exchange(FRefusalNotices, {});
}

// The row was worked out in full before the old one is touched.
void TDirWatchThread::ReplaceConflictRow(const QString &id, const TReplayedRow &replayed)
{
    AssertMainThread();
    ++FAppliedChanges;
    // The row's next local change counts above every change it had here, also
    // one whose record the replay did not see.
    std::int32_t counter = std::max<std::int32_t>(replayed.counter, 0);
    if (TNodeData *old = FDocument.FindNode(id)) {
        counter = std::max(counter, std::int32_t(old->ChangeIndex));
        FDocument.DeleteNode(old, false);
    }
    if (!replayed.exists) {
        FGone.insert(id);
        return;
    }
    TNodeData *row = FDocument.AddNode(id, replayed.table, false);
    for (const auto &[column, text] : replayed.cells)
        FDocument.DoSetData(row, column, text, false);
    row->ChangeIndex = std::uint64_t(std::int64_t(counter));
    RaiseToOwnCounter(*row);
}
