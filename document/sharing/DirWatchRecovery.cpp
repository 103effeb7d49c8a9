// Records of this identity that a save left behind: stored into a working folder
// after the save's last read of it (the writer's client showed the lock late), by
// a run that ended or was killed before it could store them again in the next
// folder. The run that comes after finds them and stores them again.
#include "document/Document.h"
#include "document/program/Log.h"
#include "document/program/ThreadCheck.h"
#include "document/sharing/DirWatch.h"
#include "document/sharing/TransactionRecords.h"
#include "document/xml/XMLTree.h"

#include <algorithm>
#include <map>

using namespace transactions;

namespace {

// The own transaction files of `identity` among a folder's files:
// "<identity>.<number>.diff".
bool isOwnFile(const QString &name, const QString &identity)
{
    static const QString suffix = QStringLiteral(".diff");
    if (!name.startsWith(identity + QLatin1Char('.')) || !name.endsWith(suffix))
        return false;
    const QStringView number = QStringView(name).mid(identity.size() + 1).chopped(suffix.size());
    bool ok = false;
    return !number.isEmpty() && number.toInt(&ok) > 0 && ok;
}

// Calls `use` with each own file of `identity` in `dir` that reads whole within
// `maxBytes`.
template <typename F>
void forEachOwnFile(
    TShareFileSystem &files, const QString &dir, const QString &identity, qint64 maxBytes, F use)
{
    for (const TFoundFile &file : files.ListFiles(dir, QStringLiteral("*.diff"))) {
        if (!isOwnFile(file.name, identity))
            continue;
        TTransactionFile diff(dir + file.name, true);
        diff.SetReadPolicy(false, maxBytes);
        if (diff.Load(IsCompleteTransactionTree))
            use(file.name, diff);
    }
}

} // namespace

void TDirWatchThread::RecoverEarlierRuns()
{
    AssertMainThread();
    if (FFileName.isEmpty())
        return;
    StopBackgroundThread();
    const int current = FWorkingDir.toInt();
    for (const TFoundFile &folder : FFiles->ListDirectories(GetTmpDirectory())) {
        const int number = WorkingFolderNumber(folder.name);
        if (number >= 0 && number < current)
            FRecoveryScans.emplace_back().folder = folder.name;
    }
}

QSet<QString> TDirWatchThread::OwnRecordsAbove(int folder) const
{
    QSet<QString> keys;
    for (const TFoundFile &found : FFiles->ListDirectories(GetTmpDirectory())) {
        if (WorkingFolderNumber(found.name) <= folder)
            continue;
        forEachOwnFile(*FFiles, GetWorkingDir(found.name), FFileIdentity, FLimits.fileBytes,
            [&](const QString &, TTransactionFile &diff) {
                for (const TTransactionFile::TRecordRef &ref : diff.OrderedRecords())
                    keys.insert(RecordKey(*ref.record));
            });
    }
    return keys;
}

void TDirWatchThread::RecoverOrphans()
{
    AssertWorkerSide();
    if (FRecoveryScans.empty())
        return;
    std::vector<TRecoveryScan> scans;
    scans.swap(FRecoveryScans);
    std::map<int, QSet<QString>> storedAbove; // by folder, made when first needed
    TNodeEventList found;
    for (TRecoveryScan &scan : scans) {
        if (FHaltThread) {
            FRecoveryScans.push_back(std::move(scan));
            continue;
        }
        // Only the list of the save that retired the folder tells what is safe. A
        // folder that no list names but a later folder follows was passed over: a
        // save from the same folder at the same time went on, or a save broke off
        // after its lock (the next one started from another instance's document).
        // Nobody reads its records. A folder nothing follows yet is looked at again.
        const int number = WorkingFolderNumber(scan.folder);
        std::optional<TIncludedList> list
            = scan.readByNobody ? std::nullopt : FindIncludedList(scan.folder, scan.alsoFrom);
        if (!list && (scan.readByNobody || FolderWithCopyAbove(number) >= 0))
            list = TIncludedList { scan.folder, {}, {} };
        if (!list) {
            FRecoveryScans.push_back(std::move(scan));
            continue;
        }
        forEachOwnFile(*FFiles, GetWorkingDir(scan.folder), FFileIdentity, FLimits.fileBytes,
            [&](const QString &name, TTransactionFile &diff) {
                const int read = list->read.value(name, -1);
                for (const TTransactionFile::TRecordRef &ref : diff.OrderedRecords()) {
                    if (ref.index <= read
                        || scan.ours.contains(name + QLatin1Char('\t') + QString::number(ref.index)))
                        continue;
                    // An earlier run may have stored it again already (and a save may
                    // have taken it in since): it is found in a later own file then.
                    auto above = storedAbove.find(number);
                    if (above == storedAbove.end())
                        above = storedAbove.emplace(number, OwnRecordsAbove(number)).first;
                    if (above->second.contains(RecordKey(*ref.record)))
                        continue;
                    auto event = std::make_unique<TStoredRecordEvent>(*ref.record);
                    event->FReplayLocally = true;
                    event->FStoredAgainFrom = scan.folder;
                    found.push_back(std::move(event));
                }
            });
        if (!list->by.isEmpty()) {
            scan.readBy = list->by;
            FDecidedScans.push_back(std::move(scan));
        }
    }
    if (found.empty())
        return;
    Log(QStringLiteral("%1 records an earlier run stored and no save read are stored again")
            .arg(found.size()));
    MoveEvents(found, FPendingThreadEvents);
    FPendingThreadEvents = std::move(found);
    FThreadEventCount = int(FPendingThreadEvents.size());
    FRecovered = true;
}

void TDirWatchThread::NoteRecoveredCounters()
{
    AssertMainThread();
    for (const TNodeEventList *list : { &FPendingThreadEvents, &FStoredEvents }) {
        for (const auto &event : *list) {
            if (event->FReplayLocally)
                NoteOwnCounter(*event);
        }
    }
}

// A fork: two saves retired the folder at once, and this instance's listing showed
// only one of them when it decided what that one read. Once the current folder
// shows which save the document goes on from, the decision holds, or is taken
// again with the list of the save that went on.
void TDirWatchThread::CheckDecisions()
{
    AssertMainThread();
    if (FFileName.isEmpty() || FDecidedScans.empty())
        return;
    std::vector<TRecoveryScan> decisions;
    decisions.swap(FDecidedScans);
    for (TRecoveryScan &decision : decisions) {
        // The save on the current folder's line that retired the decision's folder,
        // and how many saves followed it on that line.
        // A line that goes from a folder above it to one below passed it over: the
        // saves that read it were on a line that was left, and nobody read it.
        const int number = WorkingFolderNumber(decision.folder);
        QString on = FWorkingDir, retiring;
        int after = 0;
        bool unknown = false;
        for (; WorkingFolderNumber(on) > number; ++after) {
            const std::optional<TIncludedList> list = ReadIncludedList(GetIncludedFileName(on));
            if (!list) {
                unknown = true;
                break;
            }
            if (list->from == decision.folder) {
                retiring = on;
                break;
            }
            on = list->from;
        }
        if (unknown) {
            FDecidedScans.push_back(std::move(decision));
        } else if (retiring.isEmpty()) {
            Log(QStringLiteral("folder %1 was passed over: its records are looked at again")
                    .arg(decision.folder));
            for (auto &event : decision.confirmed) {
                event->FStoredAgainFrom = decision.folder;
                event->FStoredIn = {};
                event->FReplayLocally = true;
            }
            if (!decision.confirmed.empty()) {
                MoveEvents(decision.confirmed, FPendingThreadEvents);
                FPendingThreadEvents = std::move(decision.confirmed);
                FThreadEventCount = int(FPendingThreadEvents.size());
            } else {
                TRecoveryScan &again = FRecoveryScans.emplace_back();
                again.folder = decision.folder;
                again.ours = std::move(decision.ours);
                again.readByNobody = true;
            }
        } else if (decision.readBy.contains(retiring)) {
            // Dropped once two saves built on it: a save beside it that read less
            // and went on would have been followed by then.
            if (after < 2)
                FDecidedScans.push_back(std::move(decision));
        } else {
            Log(QStringLiteral("folder %1 was retired by the save of folder %2, not by %3: its records are "
                               "looked at again")
                    .arg(decision.folder, retiring, decision.readBy.join(QLatin1Char(','))));
            const QStringList also = decision.readBy + QStringList { retiring };
            if (!decision.confirmed.empty()) {
                ResolveStoredEvents(std::move(decision.confirmed), also);
            } else {
                TRecoveryScan &again = FRecoveryScans.emplace_back();
                again.folder = decision.folder;
                again.ours = std::move(decision.ours);
                again.alsoFrom = also;
            }
        }
    }
    // A line that never comes back to a folder (history pruned) holds nothing.
    constexpr std::size_t kKeptDecisions = 64;
    if (FDecidedScans.size() > kKeptDecisions)
        FDecidedScans.erase(FDecidedScans.begin(), FDecidedScans.end() - kKeptDecisions);
}

std::vector<TDirWatchThread::TRecoveryScan> TDirWatchThread::TakeRecoveryScans()
{
    AssertMainThread();
    StopBackgroundThread();
    std::vector<TRecoveryScan> scans;
    scans.swap(FRecoveryScans);
    for (TRecoveryScan &decided : FDecidedScans)
        scans.push_back(std::move(decided));
    FDecidedScans.clear();
    return scans;
}

void TDirWatchThread::AdoptRecoveryScans(std::vector<TRecoveryScan> scans)
{
    AssertMainThread();
    StopBackgroundThread();
    for (TRecoveryScan &scan : scans)
        (scan.readBy.isEmpty() ? FRecoveryScans : FDecidedScans).push_back(std::move(scan));
    CheckDecisions();
}

// A row whose "new" is stored again folders after it was first stored (its folder
// was passed over, or a save missed it) was absent from every document in between:
// what others changed or deleted of it there was read by saves that had no such row
// and did nothing. Stored again after the "new", as they stood, they hold wherever
// it arrives: in index order, or replayed with it when read before it.
void TDirWatchThread::AddRecordsOfLateRows()
{
    AssertWorkerSide();
    QHash<QString, int> since; // row ID -> the folder its "new" was stored in first
    for (const auto &event : FPendingThreadEvents) {
        if (event->FStoredAgainFrom.isEmpty())
            continue;
        const int folder = WorkingFolderNumber(event->FStoredAgainFrom);
        event->FStoredAgainFrom.clear();
        if (folder < 0 || event->XMLNodeName() != QLatin1String("new"))
            continue;
        if (auto it = since.find(event->FID); it == since.end() || folder < *it)
            since.insert(event->FID, folder);
    }
    if (since.isEmpty())
        return;
    const int current = FWorkingDir.toInt();
    const int lowest = *std::min_element(since.cbegin(), since.cend());
    std::vector<int> folders;
    for (const TFoundFile &found : FFiles->ListDirectories(GetTmpDirectory())) {
        const int number = WorkingFolderNumber(found.name);
        if (number >= lowest && number < current)
            folders.push_back(number);
    }
    std::sort(folders.begin(), folders.end());

    // What is queued already is not stored twice (its own records, or a record
    // found in two folders).
    QSet<QString> queued;
    std::size_t insertAt = 0;
    for (std::size_t i = 0; i < FPendingThreadEvents.size(); ++i) {
        const TNodeEvent &event = *FPendingThreadEvents[i];
        if (!since.contains(event.FID))
            continue;
        TXMLTree tree;
        TXMLNode *record = tree.AddNode(THashedString(event.XMLNodeName()));
        record->AddAttribute(THashedString(QStringLiteral("id")), event.FID);
        event.AppendToXML(*record);
        queued.insert(RecordKey(*record));
        if (event.FReplayLocally)
            insertAt = i + 1;
    }
    TNodeEventList found;
    for (const int number : folders) {
        const QString folder = QString::number(number);
        const QString dir = GetWorkingDir(folder);
        // The files the save that retired the folder read hold what it applied to
        // nothing; a listing of the share may not show them yet.
        QStringList names;
        if (const std::optional<TIncludedList> list = FindIncludedList(folder)) {
            for (const QString &name : list->read.keys()) {
                if (name.endsWith(QStringLiteral(".diff")) && !name.contains(QLatin1Char('/')))
                    names.append(name);
            }
        }
        for (const TFoundFile &file : FFiles->ListFiles(dir, QStringLiteral("*.diff"))) {
            if (!names.contains(file.name))
                names.append(file.name);
        }
        for (const QString &name : std::as_const(names)) {
            TTransactionFile diff(dir + name, true);
            if (!diff.Load(IsCompleteTransactionTree))
                continue;
            for (const TTransactionFile::TRecordRef &ref : diff.OrderedRecords()) {
                const auto row = since.constFind(RecordID(*ref.record));
                if (row == since.cend() || number < *row)
                    continue;
                if (const QString key = RecordKey(*ref.record); !queued.contains(key)) {
                    queued.insert(key);
                    auto event = std::make_unique<TStoredRecordEvent>(*ref.record);
                    event->FReplayLocally = true;
                    found.push_back(std::move(event));
                }
            }
        }
    }
    if (found.empty())
        return;
    Log(QStringLiteral("%1 records of rows stored again late are stored again with them").arg(found.size()));
    FPendingThreadEvents.insert(FPendingThreadEvents.begin() + std::ptrdiff_t(insertAt),
        std::make_move_iterator(found.begin()), std::make_move_iterator(found.end()));
    FThreadEventCount = int(FPendingThreadEvents.size());
    FRecovered = true;
}
