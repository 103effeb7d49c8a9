// Applying fetched transaction records and solving conflicts.
#include "document/sharing/ApplyTransactions.h"

#include "document/Document.h"
#include "document/program/Log.h"
#include "document/sharing/DirWatch.h"
#include "document/sharing/TransactionRecords.h"

#include <QFileInfo>
#include <algorithm>

using namespace transactions;

namespace {

bool isReservedName(const QString &name)
{
    return name == QLatin1String("__change__") || name == QLatin1String("__user__")
        || name == QLatin1String("__table__");
}

} // namespace

std::vector<std::pair<int, QString>> RecordCells(
    const Document &doc, TWhichTable table, const TXMLNode &record, const QString &id)
{
    std::vector<std::pair<int, QString>> cells;
    for (const auto &child : record.Nodes()) {
        const QString &name = child->Name().Value();
        if (isReservedName(name))
            continue;
        const int column = doc.IndexOfColumnHack(table, name);
        if (column < 0 || column >= doc.GetTableColCount(table))
            continue;
        if (doc.GetColumnType(table, column) != ctDate || child->Value().isEmpty()) {
            cells.emplace_back(column, child->Value());
            continue;
        }
        TDateTime date = 0;
        if (!TryStrToDateTimeFromStorage(child->Value(), date)) {
            Log(QStringLiteral("Row %1: the date \"%2\" of column %3 cannot be read; the cell is skipped")
                    .arg(id, child->Value(), name));
            continue;
        }
        // An empty date cell is stored as day 0; it reads back empty.
        cells.emplace_back(column, date == 0 ? QString() : doc.FormatDateTime(date));
    }
    return cells;
}

void ApplyDiff(
    Document &doc, TNodeData *&row, std::int32_t changeIndex, const QString &id, const TXMLNode &record)
{
    switch (KindOf(record)) {
    case TRecordKind::New: {
        TWhichTable table = tbTable;
        if (!RecordTable(record, table)) {
            Log(QStringLiteral("Row %1: a new row without a valid table is skipped").arg(id));
            return;
        }
        row = doc.AddNode(id, table, false);
        break;
    }
    case TRecordKind::Change:
        break;
    case TRecordKind::Delete:
        if (row)
            doc.DeleteNode(row, false);
        row = nullptr;
        return;
    case TRecordKind::Other:
        return;
    }
    if (!row)
        return;
    for (const auto &[column, text] : RecordCells(doc, row->NodeTable, record, id))
        doc.DoSetData(row, column, text, false);
    RaiseChangeIndex(*row, changeIndex);
}

// --- the watcher's part ----------------------------------------------------

void TDirWatchThread::LoadPending()
{
    std::vector<QString> paths;
    paths.reserve(FXMLFiles.size());
    for (const auto &[path, file] : FXMLFiles)
        paths.push_back(path);
    for (const QString &path : paths)
        LoadDiff(path);
}

void TDirWatchThread::LoadDiff(const QString &fileName)
{
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
        if (firstOwn >= 0 && from->index >= firstOwn)
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
    TNodeData *row = FDocument.FindNode(id);
    const std::int32_t changeIndex = RecordChangeIndex(record);
    const TRecordKind kind = KindOf(record);
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
    if (kind == TRecordKind::Delete)
        FGone.insert(id);
}

void TDirWatchThread::SolveConflicts()
{
    if (FConflicts.isEmpty())
        return;
    // Without the base a row that came with the document would be rebuilt from its
    // changes alone, and vanish: the rows stay as applied until the base is read.
    const QString workingCopy = GetWorkingFileName();
    if (!FXMLFiles.count(workingCopy))
        return;

    struct Entry {
        TRecordOrderKey key;
        const TXMLNode *record;
    };
    QHash<QString, std::vector<Entry>> byID;
    static const THashedString idName(QStringLiteral("id"));
    for (const auto &[path, file] : FXMLFiles) {
        const bool base = path == workingCopy;
        const TXMLNode *parent = file->xml().namedNode(QStringList {
            QStringLiteral("document"), base ? QStringLiteral("data") : QStringLiteral("diff") });
        if (!parent)
            continue;
        const QString name = QFileInfo(path).fileName();
        int position = 0;
        for (const auto &record : parent->Nodes()) {
            const TXMLAttribute *id = record->namedAttribute(idName);
            ++position;
            if (!id || !FConflictSet.contains(id->Value()))
                continue;
            const int index = base ? position : RecordIndex(*record);
            byID[id->Value()].push_back(
                { { RecordChangeIndex(*record), RecordUser(*record), name, index }, record.get() });
        }
    }

    // Own records not yet stored take part exactly as they will be written.
    TXMLTree queued;
    const QString ownName
        = FDiffFile.isEmpty() ? FIdentity + QStringLiteral(".1.diff") : QFileInfo(FDiffFile).fileName();
    int nextIndex = 1;
    if (const TTransactionFile *own = FileOf(FDiffFile)) {
        if (const TXMLNode *diff
            = own->xml().namedNode(QStringList { QStringLiteral("document"), QStringLiteral("diff") }))
            nextIndex = std::max(getIndex(*diff), 0) + 1;
    }
    for (const TNodeEventList *list : { &FPendingThreadEvents, &FPendingEvents }) {
        for (const auto &event : *list) {
            const int index = nextIndex++;
            if (!FConflictSet.contains(event->FID))
                continue;
            TXMLNode *record = queued.AddNode(THashedString(event->XMLNodeName()));
            event->AppendToXML(*record);
            byID[event->FID].push_back({ { event->FChangeIndex, event->FUser, ownName, index }, record });
        }
    }

    for (const QString &id : std::as_const(FConflicts)) {
        std::vector<Entry> &entries = byID[id];
        std::stable_sort(
            entries.begin(), entries.end(), [](const Entry &a, const Entry &b) { return a.key < b.key; });
        // The row is worked out in full before the old one is touched.
        bool exists = false;
        TWhichTable table = tbTable;
        std::vector<std::pair<int, QString>> cells;
        std::int32_t counter = 0;
        for (const Entry &entry : entries) {
            switch (KindOf(*entry.record)) {
            case TRecordKind::New: {
                TWhichTable named = tbTable;
                if (!RecordTable(*entry.record, named))
                    continue;
                if (!exists) {
                    exists = true;
                    table = named;
                    cells.clear();
                    counter = 0;
                }
                break;
            }
            case TRecordKind::Change:
                if (!exists)
                    continue;
                break;
            case TRecordKind::Delete:
                exists = false;
                continue;
            case TRecordKind::Other:
                continue;
            }
            for (auto &cell : RecordCells(FDocument, table, *entry.record, id)) {
                auto same = std::find_if(
                    cells.begin(), cells.end(), [&](const auto &c) { return c.first == cell.first; });
                if (same != cells.end())
                    same->second = std::move(cell.second);
                else
                    cells.push_back(std::move(cell));
            }
            counter = std::max(counter, entry.key.change);
        }

        if (TNodeData *old = FDocument.FindNode(id))
            FDocument.DeleteNode(old, false);
        if (!exists) {
            FGone.insert(id);
            continue;
        }
        TNodeData *row = FDocument.AddNode(id, table, false);
        for (const auto &[column, text] : cells)
            FDocument.DoSetData(row, column, text, false);
        row->ChangeIndex = std::uint64_t(std::int64_t(std::max<std::int32_t>(counter, 0)));
    }
    FConflicts.clear();
    FConflictSet.clear();
}
