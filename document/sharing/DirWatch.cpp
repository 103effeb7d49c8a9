#include "document/sharing/DirWatch.h"

#include "document/Document.h"
#include "document/StoredDateCells.h"
#include "document/program/Identity.h"
#include "document/program/Log.h"
#include "document/program/ThreadCheck.h"
#include "document/program/Translation.h"
#include "document/sharing/SharingFiles.h"
#include "document/sharing/TransactionRecords.h"
#include "platform/AtomicFile.h"
#include "platform/HeldFolder.h"
#include "platform/MemoryTrim.h"
#include "platform/RegularFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <cstdint>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

using namespace transactions;

namespace {

const QStringList &diffPath()
{
    static const QStringList path { QStringLiteral("document"), QStringLiteral("diff") };
    return path;
}

// A working copy is taken only when it parsed to its closing root tag (checked by
// the reader) and has a document element.
platform::Status acceptDocument(const TXMLTree &tree)
{
    if (tree.namedNode(THashedString(QStringLiteral("document"))))
        return {};
    return platform::Status::failure(QStringLiteral("no document element"));
}

} // namespace

// The list a save wrote beside the working copy of the folder it made. None when
// it cannot be read (then nothing counts as read).
std::optional<TDirWatchThread::TIncludedList> TDirWatchThread::ReadIncludedList(const QString &path)
{
    // One line per transaction file of a folder.
    const platform::ReadResult read = platform::readRegularFile(path, platform::Links::Refuse, 64 << 20);
    const QByteArray &text = read.value();
    if (!read || !text.endsWith('\n'))
        return std::nullopt;
    TIncludedList list;
    for (const QByteArray &line : text.split('\n')) {
        const qsizetype tab = line.lastIndexOf('\t');
        if (tab <= 0)
            continue;
        const QString name = QFile::decodeName(line.left(tab));
        const QByteArray value = line.mid(tab + 1);
        if (list.from.isNull()) {
            // The first line names the retired folder.
            if (name != QLatin1String("folder"))
                return std::nullopt;
            list.from = QString::fromLatin1(value);
            continue;
        }
        bool ok = false;
        const int index = value.toInt(&ok);
        if (ok)
            list.read.insert(name, index);
    }
    if (list.from.isNull())
        return std::nullopt;
    return list;
}

// ---------------------------------------------------------------------------

TWatcherThread::TWatcherThread(std::function<void()> work, std::function<void(const QString &)> failed)
    : FThread([this, work = std::move(work), failed = std::move(failed)] {
        QString reason;
        try {
            work();
        } catch (const std::exception &e) {
            reason = platform::reasonOf(e);
        } catch (...) {
            reason = QStringLiteral("unknown error in the sharing worker");
        }
        if (!reason.isEmpty()) {
            Log(QStringLiteral("Exception: ") + reason);
            if (failed)
                failed(reason);
        }
        FFinished.store(true, std::memory_order_release);
    })
{ }

TWatcherThread::~TWatcherThread()
{
    WaitFor();
}

void TWatcherThread::WaitFor()
{
    if (FThread.joinable())
        FThread.join();
}

// ---------------------------------------------------------------------------

TDirWatchThread::TDirWatchThread(
    const QString &fileName, Document &document, std::shared_ptr<TShareFileSystem> files, bool copyDocument)
    : FDocument(document)
    , FFiles(files ? std::move(files) : TShareFileSystem::Real())
    , FFileName(fileName.isEmpty() ? QString() : QFileInfo(fileName).absoluteFilePath())
    , FIdentity(SanitizeIdentity(document.Identity()))
    , FFileIdentity(FileIdentityName(FIdentity))
    , FToken(QByteArray::number(QRandomGenerator::system()->generate64(), 16) + ' '
          + QByteArray::number(QCoreApplication::applicationPid()))
{
    if (!FFileName.isEmpty()) {
        // Anyone who can write the share could lead every instance into a folder
        // only its victims can reach: such a share is not used at all. The one
        // accepted is held open, so a link put in its place later leads nowhere.
        QString text = GetTmpDirectory() + QStringLiteral(" is not a folder of its own (a link?)");
        if (SharingFolderIsOwn()) {
            auto held = platform::THeldFolder::Open(QFileInfo(FFileName).absolutePath(),
                { QStringLiteral(".kez"), QFileInfo(FFileName).fileName() }, true);
            FShare = held.value();
            if (!held)
                text = held.reason();
        }
        if (!FShare) {
            FShareRefused = true;
            Log(text + QStringLiteral("; the document is not shared"));
            SetError(text);
        }
    }
    if (!FFileName.isEmpty() && !FShareRefused)
        FindWorkingDirectory(copyDocument);
    SetNeedReload(false);
}

TDirWatchThread::~TDirWatchThread()
{
    AssertMainThread();
    StopBackgroundThread();
    ReleaseClaims();
    if (FShare && !FShareLost)
        platform::removeFile(GetUserFileName());
}

bool TDirWatchThread::CheckShareInPlace()
{
    AssertMainThread();
    if (!FShare || FShareLost)
        return !FShareLost;
    const platform::Status held = FShare->StillInPlace();
    bool inPlace = held.ok();
    QString why = held.reason();
    struct stat info { };
    if (inPlace && !FWorkingDir.isEmpty() && platform::statEntry(GetWorkingDir(), info)
        && !S_ISDIR(info.st_mode)) {
        inPlace = false;
        why = GetWorkingDir()
            + (S_ISLNK(info.st_mode) ? QStringLiteral(" was replaced by a symbolic link")
                                     : QStringLiteral(" was replaced by something else than a folder"));
    }
    if (!inPlace)
        LoseShare(why);
    return inPlace;
}

void TDirWatchThread::LoseShare(const QString &why)
{
    AssertMainThread();
    StopBackgroundThread();
    FShareLost = true;
    Log(why + QStringLiteral(": the document is no longer shared, nothing more is read or written there"));
    SetError(why);
    WriteRecoveryFile();
}

void TDirWatchThread::KeepRecoveryFile(const QString &name)
{
    AssertMainThread();
    FRecoveryFile = name;
    if (!name.isEmpty())
        WriteRecoveryFile();
}

void TDirWatchThread::WriteRecoveryFile()
{
    AssertWorkerSide();
    if (FRecoveryFile.isEmpty()) {
        // Beside the user's settings, out of reach of whoever replaced the share;
        // named by the document and this watcher, so no other run writes it.
        const QString folder = GetSpecialFolderPath() + QStringLiteral("/Kez/recovery/");
        FRecoveryFile = folder + QFileInfo(FFileName).fileName() + QLatin1Char('.') + FFileIdentity
            + QLatin1Char('.') + QString::fromLatin1(FToken.left(FToken.indexOf(' ')))
            + QStringLiteral(".diff");
    }
    QDir().mkpath(QFileInfo(FRecoveryFile).absolutePath());
    TTransactionFile file(FRecoveryFile, false);
    file.SetCompressed(false);
    TXMLNode &diff = *file.xml().namedNode(diffPath());
    int count = 0;
    for (const TNodeEventList *list : { &FStoredEvents, &FPendingThreadEvents, &FPendingEvents }) {
        for (const auto &event : *list) {
            const int index = updateIndex(diff);
            TXMLNode *record = diff.AddNode(THashedString(event->XMLNodeName()));
            record->AddAttribute(THashedString(QStringLiteral("id")), event->FID);
            record->AddAttribute(THashedString(QStringLiteral("index")), QString::number(index));
            event->AppendToXML(*record);
            ++count;
        }
    }
    if (const platform::Status written = file.Flush(); !written) {
        Log(QStringLiteral("The recovery file cannot be written: ") + written.reason());
        return;
    }
    if (FRecoveryAt == kNeverWritten)
        Log(QStringLiteral("%1 changes not known to be stored are kept in %2").arg(count).arg(FRecoveryFile));
    FRecoveryAt = FPushCount;
}

QString TDirWatchThread::ShareProblem() const
{
    if (!FShareRefused && !FShareLost)
        return QString();
    std::lock_guard lock(FErrorMutex);
    return FErrorText;
}

bool TDirWatchThread::SharingFolderIsOwn() const
{
    // lstat, not the path text: a dangling link counts as something else too.
    for (const QString &path : { GetTmpRootDirectory(), GetTmpDirectory() }) {
        struct stat info { };
        if (::lstat(platform::entryName(path).constData(), &info) == 0 && !S_ISDIR(info.st_mode))
            return false;
    }
    return true;
}

QString TDirWatchThread::GetTmpRootDirectory() const
{
    return QFileInfo(FFileName).absolutePath() + QStringLiteral("/.kez/");
}

QString TDirWatchThread::GetTmpDirectory() const
{
    return GetTmpRootDirectory() + QFileInfo(FFileName).fileName() + QLatin1Char('/');
}

QString TDirWatchThread::GetWorkingDir(const QString &dir) const
{
    return GetTmpDirectory() + (dir.isEmpty() ? FWorkingDir : dir) + QLatin1Char('/');
}

QString TDirWatchThread::GetWorkingFileName(const QString &dir) const
{
    return GetWorkingDir(dir) + QFileInfo(FFileName).fileName();
}

QString TDirWatchThread::GetLockedFileName(const QString &dir) const
{
    return GetWorkingFileName(dir) + QStringLiteral(".locked");
}

QString TDirWatchThread::GetIncludedFileName(const QString &dir) const
{
    return GetWorkingFileName(dir) + QStringLiteral(".included");
}

void TDirWatchThread::NoteRefused(const QString &name)
{
    const std::lock_guard lock(FErrorMutex);
    FRefusedNames.append(name);
}

QStringList TDirWatchThread::TakeRefused()
{
    const std::lock_guard lock(FErrorMutex);
    return std::exchange(FRefusedNames, {});
}

QString TDirWatchThread::GetUserFileName() const
{
    return GetTmpDirectory() + FFileIdentity + QStringLiteral(".user");
}

QString TDirWatchThread::GetUserSettingsFileName() const
{
    return GetTmpDirectory() + FFileIdentity + QStringLiteral(".ini");
}

QString TDirWatchThread::GetPossibleFileName() const
{
    return FFileName.isEmpty() ? Translate(QStringLiteral("New Table")) + QStringLiteral(".kez") : FFileName;
}

bool TDirWatchThread::isLocked() const
{
    // A refused share is never looked into (its path leads elsewhere).
    return FShare && FFiles->Exists(GetLockedFileName());
}

TDirWatchThread::THistoryInfo TDirWatchThread::GetHistoryInfo() const
{
    THistoryInfo info;
    if (!FShare)
        return info;
    for (const TFoundFile &folder : FFiles->ListDirectories(GetTmpDirectory())) {
        const int number = WorkingFolderNumber(folder.name);
        if (number < 0)
            continue;
        info.lowest = std::min(info.lowest, number);
        info.highest = std::max(info.highest, number);
        ++info.count;
        info.newest = std::max(info.newest, folder.created);
    }
    return info;
}

void TDirWatchThread::FindWorkingDirectory(bool copyDocument)
{
    AssertMainThread();
    // The newest folder that has its working copy. A folder without one is still
    // being made by a saving instance (or that instance died): a copy written here
    // from the document file, which that instance has not replaced yet, would
    // give the folder an outdated base.
    const int newest = NewestFolderWithCopy();
    int number = newest >= 0 ? newest : GetHistoryInfo().highest;
    // The listing shows real folders only; a sharing folder that starts anew does
    // not start in an entry that is something else (a link to a folder elsewhere).
    auto somethingElse = [this](int n) {
        const QString path = GetTmpDirectory() + QString::number(n);
        return GetFileTime(path) != -1 && !platform::isRealFolder(path);
    };
    while (newest < 0 && somethingElse(number) && WorkingFolderNumber(QString::number(number + 1)) >= 0)
        ++number;
    SetWorkingDir(QString::number(number));
    if (copyDocument)
        WriteWorkingCopy();
}

int TDirWatchThread::NewestFolderWithCopy() const
{
    int newest = -1;
    if (!FShare)
        return newest;
    for (const TFoundFile &folder : FFiles->ListDirectories(GetTmpDirectory())) {
        const int number = WorkingFolderNumber(folder.name);
        if (number > newest && FFiles->Exists(GetWorkingFileName(folder.name)))
            newest = number;
    }
    return newest;
}

QString TDirWatchThread::NewestWorkingFileName() const
{
    const int newest = NewestFolderWithCopy();
    return newest >= 0 ? GetWorkingFileName(QString::number(newest)) : FFileName;
}

int TDirWatchThread::NextFolderWithCopy() const
{
    return FolderWithCopyAbove(FWorkingDir.toInt());
}

bool TDirWatchThread::isRetired() const
{
    if (!FShare)
        return false;
    return isLocked() || NextFolderWithCopy() >= 0;
}

bool TDirWatchThread::SucceedsAnotherFolder() const
{
    for (const TFoundFile &folder : FFiles->ListDirectories(GetTmpDirectory())) {
        const int number = WorkingFolderNumber(folder.name);
        if (number >= 0 && folder.name != FWorkingDir
            && (FFiles->Exists(GetWorkingFileName(folder.name))
                || FFiles->Exists(GetLockedFileName(folder.name))))
            return true;
    }
    return false;
}

void TDirWatchThread::WriteWorkingCopy() const
{
    const QString copy = GetWorkingFileName();
    if (FFiles->Exists(copy))
        return;
    // The document file is the base only of a sharing folder that starts anew. A
    // folder that follows another gets its copy from the save that made it: the
    // document file lacks the records stored in the folder before.
    if (SucceedsAnotherFolder())
        return;
    // Never waits on a pipe put in the document's place, and never copies more
    // than a document can hold.
    const platform::ReadResult source = platform::readRegularFile(
        FFileName, platform::Links::Follow, TXMLFile::FileLimitFor(TXMLFile::DocumentTextLimit));
    if (!source) {
        if (source.code() != platform::ReadFailure::Missing)
            Log(source.reason());
        return;
    }
    const QByteArray &bytes = source.value();
    // Another instance may write the same copy at the same moment; each write is
    // whole, so either one stands.
    if (const platform::WriteResult written = platform::writeFileAtomically(copy, bytes); !written)
        Log(written.reason());
    else
        FFiles->Changed(copy);
}

QString TDirWatchThread::DocumentCopyTarget() const
{
    AssertMainThread();
    if (!FShare || FShareLost || FWorkingDir.isEmpty())
        return QString();
    const QString copy = GetWorkingFileName();
    return FFiles->Exists(copy) || SucceedsAnotherFolder() ? QString() : copy;
}

void TDirWatchThread::DocumentCopyWritten()
{
    AssertMainThread();
    FFiles->Changed(GetWorkingFileName());
}

void TDirWatchThread::SetWorkingDir(const QString &name)
{
    AssertMainThread();
    if (name == FWorkingDir)
        return;
    StopBackgroundThread();
    ReleaseClaims();
    FDiffFile.clear();
    FXMLFiles.clear();
    FBaseRows.reset();
    FOfferedRows = {};
    FReadFailures.clear();
    FGone.clear();
    // A folder left behind was retired: what an earlier run of this identity
    // stored there after the save's last read is looked for; the own records of
    // this run are sorted out below, from memory.
    if (!FWorkingDir.isEmpty() && !FFileName.isEmpty()) {
        TRecoveryScan scan;
        scan.folder = FWorkingDir;
        for (const auto &event : FStoredEvents) {
            if (event->FStoredIn.folder == FWorkingDir)
                scan.ours.insert(
                    event->FStoredIn.file + QLatin1Char('\t') + QString::number(event->FStoredIn.index));
        }
        FRecoveryScans.push_back(std::move(scan));
    }
    FWorkingDir = name;
    if (FShare && !FShareLost) {
        // Inside the held sharing folder: made there, whatever the path shows now.
        platform::makeFolder(GetWorkingDir());
        FFiles->Changed(GetWorkingDir());
    }
    if (!FStoredEvents.empty()) {
        TNodeEventList stored;
        MoveEvents(stored, FStoredEvents);
        ResolveStoredEvents(std::move(stored));
    }
    CheckDecisions();
}

// --- queue -----------------------------------------------------------------

void TDirWatchThread::PrepareEvent(TNodeEvent &event) const
{
    event.FUser = FIdentity;
    auto *change = dynamic_cast<TSetNodeDataEvent *>(&event);
    if (!change)
        return;
    for (std::size_t i = 0; i < change->FColumn.size(); ++i) {
        const int column = change->FColumn[i];
        const qsizetype at = qsizetype(i);
        change->FCaption[at] = FDocument.GetColumnCaptionHack(event.FTable, column);
        change->FStored[at] = FDocument.GetColumnType(event.FTable, column) == ctDate
            ? StoredDateText(FDocument, change->FData[at])
            : change->FData[at];
    }
}

void TDirWatchThread::PushDiff(std::unique_ptr<TNodeEvent> event)
{
    AssertMainThread();
    if (!event)
        return;
    FChanged = true;
    ++FPushCount;
    PrepareEvent(*event);
    if (dynamic_cast<TDeleteNodeEvent *>(event.get()))
        FGone.insert(event->FID);
    // No record may pass the ceiling (the others would refuse it): a change past
    // it counts as the ceiling. It still orders after every change a peer can
    // bring; one at the ceiling too is ordered by writer, and the row replayed in
    // that order here as everywhere.
    if (event->FChangeIndex >= FLimits.counterCeiling) {
        event->FChangeIndex = FLimits.counterCeiling;
        AddConflict(event->FID);
    }
    // Only a queued "change" of the same row can absorb the record, and the first
    // one in the queue is the one that would.
    if (auto *first = FFirstChangeOf.value(event->FID, nullptr); first && first->CanAppend(*event))
        return;
    if (auto *change = dynamic_cast<TSetNodeDataEvent *>(event.get());
        change && !FFirstChangeOf.contains(change->FID))
        FFirstChangeOf.insert(change->FID, change);
    FPendingEvents.push_back(std::move(event));
}

int TDirWatchThread::NumPendingEvents() const
{
    return int(FPendingEvents.size()) + FThreadEventCount.load();
}

TNodeEventList TDirWatchThread::TakePendingEvents()
{
    AssertMainThread();
    StopBackgroundThread();
    TNodeEventList events;
    MoveEvents(events, FStoredEvents);
    MoveEvents(events, FPendingThreadEvents);
    MoveEvents(events, FPendingEvents);
    FFirstChangeOf.clear();
    FThreadEventCount = 0;
    FStoredEventCount = 0;
    return events;
}

void TDirWatchThread::AdoptPendingEvents(TNodeEventList events)
{
    AssertMainThread();
    StopBackgroundThread();
    TNodeEventList unstored, storedElsewhere;
    for (auto &event : events) {
        // The reloaded rows count their changes from the file again. A change made
        // now must still count above every change this instance made before, or
        // conflict solving would order it before them and an older value would win.
        NoteOwnCounter(*event);
        // (A record never stored names no folder, whatever this watcher's is.)
        if (!event->FStoredIn.folder.isEmpty() && event->FStoredIn.folder == FWorkingDir) {
            // Still in doubt in this same folder; its file is read with the others.
            FStoredEvents.push_back(std::move(event));
            continue;
        }
        if (!event->FStoredIn.folder.isEmpty()) {
            storedElsewhere.push_back(std::move(event));
            continue;
        }
        event->FReplayLocally = true;
        if (dynamic_cast<TDeleteNodeEvent *>(event.get()))
            FGone.insert(event->FID);
        unstored.push_back(std::move(event));
    }
    FStoredEventCount = int(FStoredEvents.size());
    MoveEvents(unstored, FPendingThreadEvents);
    FPendingThreadEvents = std::move(unstored);
    FThreadEventCount = int(FPendingThreadEvents.size());
    ResolveStoredEvents(std::move(storedElsewhere));
}

std::optional<TDirWatchThread::TIncludedList> TDirWatchThread::FindIncludedList(
    const QString &folder, const QStringList &also) const
{
    // Two saves that retired the folder at once each made a later folder naming
    // it, and only one of them goes on: a record is safe only when every one read
    // it.
    const int number = WorkingFolderNumber(folder);
    if (number < 0 || !FShare)
        return std::nullopt;
    QStringList candidates = also;
    for (const TFoundFile &found : FFiles->ListDirectories(GetTmpDirectory())) {
        if (WorkingFolderNumber(found.name) > number && !candidates.contains(found.name))
            candidates.append(found.name);
    }
    std::optional<TIncludedList> all;
    for (const QString &candidate : std::as_const(candidates)) {
        std::optional<TIncludedList> list = ReadIncludedList(GetIncludedFileName(candidate));
        if (!list || list->from != folder)
            continue;
        if (!all) {
            all = std::move(list);
            all->by = QStringList { candidate };
            continue;
        }
        all->by.append(candidate);
        for (auto it = all->read.begin(); it != all->read.end();) {
            const int other = list->read.value(it.key(), -1);
            if (other < 0) {
                it = all->read.erase(it);
            } else {
                it.value() = std::min(it.value(), other);
                ++it;
            }
        }
    }
    return all;
}

int TDirWatchThread::FolderWithCopyAbove(int number) const
{
    int next = -1;
    if (!FShare)
        return next;
    for (const TFoundFile &folder : FFiles->ListDirectories(GetTmpDirectory())) {
        const int found = WorkingFolderNumber(folder.name);
        if (found > number && (next < 0 || found < next) && FFiles->Exists(GetWorkingFileName(folder.name)))
            next = found;
    }
    return next;
}

void TDirWatchThread::ResolveStoredEvents(TNodeEventList events, const QStringList &also)
{
    AssertWorkerSide();
    if (events.empty())
        return;
    QHash<QString, std::optional<TIncludedList>> lists;
    auto listFor = [&](const QString &folder) -> const std::optional<TIncludedList> & {
        if (auto it = lists.find(folder); it != lists.end())
            return *it;
        return *lists.insert(folder, FindIncludedList(folder, also));
    };
    TNodeEventList again;
    std::map<QString, TNodeEventList> read;
    for (auto &event : events) {
        const TNodeEvent::TStoredIn &in = event->FStoredIn;
        if (in.folder == FWorkingDir) {
            FStoredEvents.push_back(std::move(event));
            continue;
        }
        // Later changes here count above it either way.
        NoteOwnCounter(*event);
        const std::optional<TIncludedList> &list = listFor(in.folder);
        if (list && list->read.value(in.file, -1) >= in.index) {
            read[in.folder].push_back(std::move(event)); // in the document the save made
            continue;
        }
        event->FStoredAgainFrom = in.folder;
        event->FStoredIn = {};
        event->FReplayLocally = true;
        again.push_back(std::move(event));
    }
    for (auto &[folder, confirmed] : read) {
        TRecoveryScan decided;
        decided.folder = folder;
        decided.readBy = listFor(folder)->by;
        decided.confirmed = std::move(confirmed);
        FDecidedScans.push_back(std::move(decided));
    }
    if (!again.empty())
        Log(QStringLiteral("%1 records stored while their folder was retired are stored again")
                .arg(again.size()));
    FStoredEventCount = int(FStoredEvents.size());
    MoveEvents(again, FPendingThreadEvents);
    FPendingThreadEvents = std::move(again);
    FThreadEventCount = int(FPendingThreadEvents.size());
}

void TDirWatchThread::NoteOwnCounter(const TNodeEvent &event)
{
    AssertMainThread();
    std::int32_t &counter = FOwnCounters[event.FID];
    counter = std::max(counter, event.FChangeIndex);
    if (TNodeData *row = FDocument.FindNode(event.FID))
        RaiseChangeIndex(*row, counter);
}

void TDirWatchThread::RaiseToOwnCounter(TNodeData &row) const
{
    if (const auto it = FOwnCounters.constFind(row.ID); it != FOwnCounters.cend())
        RaiseChangeIndex(row, *it);
}

// --- cycle -----------------------------------------------------------------

void TDirWatchThread::UpdatePending()
{
    AssertMainThread();
    if (!FRecoveryFile.isEmpty() && FPushCount != FRecoveryAt)
        WriteRecoveryFile();
    if (FFileName.isEmpty() || FShareRefused || !CheckShareInPlace() || FError)
        return;
    const bool retired = isRetired();
    if (retired) {
        const QString retiredDir = FWorkingDir;
        FindWorkingDirectory(false);
        if (isLocked())
            return;
        // Another instance saved: the new folder starts from its document, which
        // holds records this one may not have read. Saving before reloading would
        // drop them.
        if (FWorkingDir != retiredDir)
            FNeedReload = true;
    }
    // A document file that cannot be queried (gone for a moment on a share) is
    // no reason to reload.
    const qint64 time = FFiles->FileTime(FFileName);
    if (time != -1 && time != FFileTime)
        FNeedReload = true;
    if (FNeedReload)
        return;
    if (FThread) {
        if (!FThread->Finished())
            return;
        FThread.reset();
        FLastScan = Clock::now();
    }
    // Records held back stay queued (a later change of their row merges in);
    // the worker stores them once they are released.
    if (!FDocument.SharedRecordsHeld())
        HandOverPending();
    if (FRecovered.exchange(false))
        NoteRecoveredCounters();
    LoadPending();
    SolveConflicts();
    const Clock::time_point now = Clock::now();
    if (now - FLastScan < FScanInterval)
        return;
    FLastScan = now;
    FHaltThread = false;
    FCompressForStore = FDocument.Setup().FCompressedSave;
    FThread = std::make_unique<TWatcherThread>(
        [this] {
            FWorkerId = std::this_thread::get_id();
            ThreadProc();
        },
        [this](const QString &reason) { SetError(reason); });
}

void TDirWatchThread::StopBackgroundThread()
{
    AssertMainThread();
    FHaltThread = true;
    if (FThread) {
        FThread->WaitFor();
        FThread.reset();
    }
    FLastScan = Clock::now();
}

void TDirWatchThread::HandOverPending()
{
    AssertWorkerSide();
    MoveEvents(FPendingThreadEvents, FPendingEvents);
    FFirstChangeOf.clear();
    FThreadEventCount = int(FPendingThreadEvents.size());
}

bool TDirWatchThread::ForceStorePending()
{
    AssertMainThread();
    StopBackgroundThread();
    if (!CheckShareInPlace())
        return false;
    HandOverPending();
    FCompressForStore = FDocument.Setup().FCompressedSave;
    StorePending();
    return FPendingThreadEvents.empty();
}

void TDirWatchThread::ForceLoadTransactions()
{
    AssertMainThread();
    if (FFileName.isEmpty() || !CheckShareInPlace())
        return;
    StopBackgroundThread();
    FHaltThread = false;
    FCompressForStore = FDocument.Setup().FCompressedSave;
    ThreadProc();
    if (FRecovered.exchange(false))
        NoteRecoveredCounters();
    LoadPending();
    SolveConflicts();
}

void TDirWatchThread::ForceLoadTransactionsFrom(const QString &folder)
{
    AssertMainThread();
    StopBackgroundThread();
    const QString dir = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    QStringList paths;
    for (const TFoundFile &found : ListFiles(dir, QStringLiteral("*.diff"))) {
        const QString path = dir + found.name;
        auto entry = FXMLFiles.find(path);
        std::unique_ptr<TTransactionFile> fresh;
        if (entry == FXMLFiles.end() && ReadInto(path, false, fresh, nullptr)) {
            fresh->SetChanged(true);
            FXMLFiles.emplace(path, std::move(fresh));
        }
        paths.append(path);
    }
    for (const QString &path : paths)
        LoadDiff(path);
    SolveConflicts();
}

void TDirWatchThread::SetNeedReload(bool value)
{
    AssertMainThread();
    FNeedReload = value;
    if (!value && !FFileName.isEmpty())
        FFileTime = FFiles->FileTime(FFileName);
}

QString TDirWatchThread::ErrorText() const
{
    AssertMainThread();
    QString detail;
    {
        std::lock_guard lock(FErrorMutex);
        detail = FErrorText;
    }
    // Translated here, on the main thread: the worker never reads the translation.
    return detail.isEmpty() ? QString()
                            : Translate(QStringLiteral("Changes cannot be shared: %s"), { detail });
}

void TDirWatchThread::ClearError()
{
    {
        std::lock_guard lock(FErrorMutex);
        FErrorText.clear();
    }
    FError = false;
}

void TDirWatchThread::SetError(const QString &text)
{
    {
        std::lock_guard lock(FErrorMutex);
        FErrorText = text;
    }
    FError = true;
}

void TDirWatchThread::AssertWorkerSide(const char *function, const char *file, int line) const
{
#ifndef QT_NO_DEBUG
    // The main thread owns FThread; the worker only compares its own id.
    const bool worker = std::this_thread::get_id() == FWorkerId.load();
    AssertThread(worker || (IsMainThread() && (!FThread || FThread->Finished())),
        "the worker's state touched while the worker runs", TCallSite { function, file, line });
#else
    Q_UNUSED(function);
    Q_UNUSED(file);
    Q_UNUSED(line);
#endif
}

const TTransactionFile *TDirWatchThread::FileOf(const QString &path) const
{
    AssertWorkerSide();
    const auto it = FXMLFiles.find(path);
    return it == FXMLFiles.end() ? nullptr : it->second.get();
}

// --- worker ----------------------------------------------------------------

// Reads a file into `existing` (keeping its sharing state) or into a fresh entry.
// A file that cannot be read, or is not whole yet, leaves everything as it was;
// its failure is logged once per size, and it is tried again on the next run. A
// transaction file beyond the limits is refused, logged once and read again only
// once its size changed. Symbolic links are never followed.
bool TDirWatchThread::ReadInto(const QString &path, bool workingCopy,
    std::unique_ptr<TTransactionFile> &fresh, TTransactionFile *existing)
{
    AssertWorkerSide();
    const qint64 size = GetFileSize(path);
    if (FRefused.contains(path)) {
        if (FRefused.value(path) == size)
            return false;
        FRefused.remove(path);
    }
    bool beyondLimits = false;
    const TXMLFile::Acceptor accept = workingCopy
        ? TXMLFile::Acceptor(acceptDocument)
        : TXMLFile::Acceptor([this, &beyondLimits](const TXMLTree &tree) {
              if (platform::Status complete = IsCompleteTransactionTree(tree); !complete)
                  return complete;
              platform::Status within = WithinSharingLimits(tree, FLimits);
              beyondLimits = !within;
              return within;
          });
    if (!existing)
        fresh = std::make_unique<TTransactionFile>(path, true);
    TTransactionFile &file = existing ? *existing : *fresh;
    // The working copy is a document and bounded like one.
    file.SetReadPolicy(false, workingCopy ? TXMLFile::DocumentTextLimit : FLimits.fileBytes);
    file.SetMaxElements(workingCopy ? -1 : FLimits.elements);
    const platform::Status loaded = file.Load(accept);
    const QString &error = loaded.reason();
    if (loaded) {
        FReadFailures.remove(path);
        // Ordered here, off the main thread, which then applies only the new records.
        if (!workingCopy)
            file.OrderedRecords();
        return true;
    }
    const bool refused = file.TooLarge() || (!workingCopy && beyondLimits);
    if (!existing)
        fresh.reset();
    if (refused) {
        FRefused.insert(path, size);
        const QString what
            = workingCopy ? QStringLiteral("Working copy") : QStringLiteral("Transaction file");
        Log(what + QStringLiteral(" refused, it is beyond what a document can hold: ") + error);
        NoteRefused(QFileInfo(path).fileName());
        return false;
    }
    if (FReadFailures.value(path, -2) != size) {
        FReadFailures.insert(path, size);
        Log(QStringLiteral("Transaction file not read yet: ") + error);
    }
    return false;
}

void TDirWatchThread::OfferBaseRows(
    std::unique_ptr<const TWorkingCopyRows> rows, const QByteArray &digest, bool compared)
{
    AssertMainThread();
    StopBackgroundThread();
    if (FBaseRows || !rows || digest.isEmpty())
        return;
    FOfferedRows = { std::move(rows), digest, FWorkingDir, compared };
}

// Reading the copy's bytes and comparing their digest costs a small part of
// parsing them (a large plan's copy takes seconds to parse). The copy is read as
// the parser would read it: no link followed, no more than a document holds.
void TDirWatchThread::TakeOfferedRows(const QString &workingCopy)
{
    AssertWorkerSide();
    TOfferedRows offered = std::exchange(FOfferedRows, {});
    if (!offered.rows || offered.folder != FWorkingDir)
        return;
    if (!offered.compared) {
        const platform::ReadResult copy = platform::readRegularFile(
            workingCopy, platform::Links::Refuse, TXMLFile::FileLimitFor(TXMLFile::DocumentTextLimit));
        if (!copy || TXMLFile::DigestOf(copy.value()) != offered.digest)
            return;
    }
    FBaseRows = std::move(offered.rows);
    // The tree the rows were made from is freed by now; its many small blocks
    // would otherwise stay resident, as after parsing the copy here.
    platform::returnFreedMemory();
}

void TDirWatchThread::ThreadProc()
{
    AssertWorkerSide();
    FNumPendingFiles = 0;
    if (FHaltThread || FFileName.isEmpty() || FShareRefused || FShareLost)
        return;
    Touch(GetUserFileName());
    FFiles->Changed(GetUserFileName());
    if (FHaltThread)
        return;
    // The working copy is the base of conflict solving; a missing or half-written
    // one is not taken (a saving instance may be writing it right now).
    const QString workingCopy = GetWorkingFileName();
    // A copy that could not be written when the folder was entered (a full disk)
    // is written as soon as it can be: conflicts wait for it.
    if (!FBaseRows)
        WriteWorkingCopy();
    if (!FBaseRows && FFiles->Exists(workingCopy))
        TakeOfferedRows(workingCopy);
    if (!FBaseRows && FFiles->Exists(workingCopy)) {
        // Conflict solving reads only a few of its rows: the parsed tree is not kept.
        std::unique_ptr<TTransactionFile> fresh;
        if (ReadInto(workingCopy, true, fresh, nullptr)) {
            FBaseRows = std::make_unique<const TWorkingCopyRows>(fresh->xml());
            fresh.reset();
            // The freed tree's many small blocks would otherwise stay resident (a
            // large document's are several times its file).
            platform::returnFreedMemory();
        }
    }
    if (FHaltThread)
        return;
    RecoverOrphans();
    StorePending();
    const QString dir = GetWorkingDir();
    for (const TFoundFile &found : FFiles->ListFiles(dir, QStringLiteral("*.diff"))) {
        FChanged = true;
        if (FHaltThread)
            return;
        const QString path = dir + found.name;
        auto entry = FXMLFiles.find(path);
        if (entry == FXMLFiles.end()) {
            std::unique_ptr<TTransactionFile> fresh;
            if (!ReadInto(path, false, fresh, nullptr))
                continue;
            fresh->SetChanged(true);
            FXMLFiles.emplace(path, std::move(fresh));
            ++FNumPendingFiles;
        } else if (entry->second->LastSize() != found.size || FRereadAll) {
            std::unique_ptr<TTransactionFile> unused;
            if (!ReadInto(path, false, unused, entry->second.get()))
                continue;
            entry->second->SetChanged(true);
            ++FNumPendingFiles;
        }
    }
    if (FRereadAll)
        ReadUnlistedFiles();
}

// A transaction file made since the listing was fetched is not in it yet (some
// shares keep a listing many seconds), but its name follows from its writer's
// presence file, and it can be opened by that name.
void TDirWatchThread::ReadUnlistedFiles()
{
    AssertWorkerSide();
    const QString dir = GetWorkingDir();
    const QString suffix = QStringLiteral(".user");
    for (const TFoundFile &user : FFiles->ListFiles(GetTmpDirectory(), QLatin1Char('*') + suffix)) {
        const QString identity = user.name.chopped(suffix.size());
        for (int number = 1; number < 1000 && !FHaltThread; ++number) {
            const QString path
                = dir + identity + QLatin1Char('.') + QString::number(number) + QStringLiteral(".diff");
            if (FXMLFiles.count(path))
                continue;
            if (!FFiles->Exists(path))
                break;
            std::unique_ptr<TTransactionFile> fresh;
            if (!ReadInto(path, false, fresh, nullptr))
                continue;
            fresh->SetChanged(true);
            FXMLFiles.emplace(path, std::move(fresh));
            ++FNumPendingFiles;
        }
    }
}

// The own transaction file of this working folder: "<identity>.1.diff", or the
// next number when a file of that name cannot be read, holds no records element
// (a damaged own file must neither stop sharing nor be overwritten: its records
// may still be recovered from it) or cannot number `count` more records.
TTransactionFile *TDirWatchThread::OpenOwnFile(qint64 count)
{
    AssertWorkerSide();
    auto usable = [count](TTransactionFile &file) {
        const TXMLNode *diff = file.xml().namedNode(diffPath());
        return diff && CanTakeRecords(*diff, count);
    };
    // Another running instance of the same identity (the same short host name and
    // login on two machines, or one user twice) writes under the next name.
    if (!FDiffFile.isEmpty()) {
        if (auto it = FXMLFiles.find(FDiffFile); it != FXMLFiles.end() && usable(*it->second))
            return it->second.get();
    }
    const QString dir = GetWorkingDir();
    for (int number = 1; number < 1000; ++number) {
        const QString path
            = dir + FFileIdentity + QLatin1Char('.') + QString::number(number) + QStringLiteral(".diff");
        if (!Claim(path)) {
            Log(QStringLiteral("%1 is written by another instance of this identity").arg(path));
            continue;
        }
        if (auto it = FXMLFiles.find(path); it != FXMLFiles.end()) {
            // Another instance of this identity may have written the file since it
            // was read here, and left the name since: the whole file is rewritten
            // with each store, so it must be the file as it stands now, or what
            // that instance stored last would vanish.
            std::unique_ptr<TTransactionFile> unused;
            if (ReadInto(path, false, unused, it->second.get()) && usable(*it->second)) {
                it->second->SetChanged(true);
                FDiffFile = path;
                return it->second.get();
            }
        } else {
            std::unique_ptr<TTransactionFile> fresh;
            if (ReadInto(path, false, fresh, nullptr)) {
                // Records stored by an earlier run are applied like any other file's.
                fresh->SetChanged(
                    fresh->xml().namedNode(diffPath()) && fresh->xml().namedNode(diffPath())->Count() > 0);
                TTransactionFile *file = FXMLFiles.emplace(path, std::move(fresh)).first->second.get();
                if (usable(*file)) {
                    FDiffFile = path;
                    return file;
                }
            }
        }
        Log(QStringLiteral("Own transaction file %1 cannot be used, trying the next name").arg(path));
    }
    return nullptr;
}

bool TDirWatchThread::Claim(const QString &path)
{
    AssertWorkerSide();
    if (FClaims.contains(path))
        return true;
    const QString claim = path + QStringLiteral(".claim");
    // Creating a file that must not exist yet is decided by the server, also on
    // network shares whose clients show old listings.
    platform::TFd fd = platform::createExclusive(claim);
    if (fd.Valid()) {
        const bool written
            = ::write(fd.Get(), FToken.constData(), std::size_t(FToken.size())) == FToken.size()
            && ::fsync(fd.Get()) == 0;
        fd.Reset();
        if (!written) {
            platform::removeFile(claim);
            return false;
        }
        FClaims.insert(path);
        FFiles->Changed(claim);
        return true;
    }
    if (errno != EEXIST)
        return false;
    // Ours from before (this watcher came back to the folder)?
    if (platform::readRegularFile(claim, platform::Links::Refuse, FToken.size()).value() == FToken) {
        FClaims.insert(path);
        return true;
    }
    return false;
}

void TDirWatchThread::ReleaseClaims()
{
    for (const QString &path : std::as_const(FClaims)) {
        const QString claim = path + QStringLiteral(".claim");
        if (platform::readRegularFile(claim, platform::Links::Refuse, FToken.size()).value() == FToken)
            platform::removeFile(claim);
    }
    FClaims.clear();
}

void TDirWatchThread::StorePending()
{
    AssertWorkerSide();
    // Whatever the writing throws (out of memory, a file layer gone wrong) ends
    // here as the watcher's error, which the user is shown; the records stay
    // pending and the own file's tree is as it was, so the next attempt writes
    // each record once.
    try {
        StorePendingRecords();
    } catch (const std::exception &e) {
        const QString reason = platform::reasonOf(e);
        Log(QStringLiteral("StorePending: ") + reason);
        SetError(reason);
    }
}

void TDirWatchThread::StorePendingRecords()
{
    if (FPendingThreadEvents.empty() || FFileName.isEmpty() || FShareRefused || FShareLost)
        return;
    if (isRetired()) {
        Log(QStringLiteral("locked, StorePending postponed"));
        return;
    }
    AddRecordsOfLateRows();
    TTransactionFile *own = OpenOwnFile(qint64(FPendingThreadEvents.size()));
    if (!own) {
        SetError(QStringLiteral("no transaction file can be written in ") + GetWorkingDir());
        return;
    }
    own->SetReadOnly(false);
    TXMLNode &diff = *own->xml().namedNode(diffPath());

    // What is appended is taken back unless the whole file reached the disk, so a
    // later attempt writes each record once.
    const int oldCount = diff.Count();
    const TXMLAttribute *indexAttribute = diff.namedAttribute(THashedString(QStringLiteral("index")));
    const QString oldIndex = indexAttribute ? indexAttribute->Value() : QStringLiteral("-1");
    auto rollback = qScopeGuard([&] {
        diff.TruncateNodes(oldCount);
        if (TXMLAttribute *attribute = diff.namedAttribute(THashedString(QStringLiteral("index"))))
            attribute->SetValue(oldIndex);
    });

    int firstOwn = -1;
    bool replayed = false;
    std::vector<int> indexes;
    indexes.reserve(FPendingThreadEvents.size());
    for (const auto &event : FPendingThreadEvents) {
        const int index = updateIndex(diff);
        indexes.push_back(index);
        TXMLNode *record = diff.AddNode(THashedString(event->XMLNodeName()));
        record->AddAttribute(THashedString(QStringLiteral("id")), event->FID);
        record->AddAttribute(THashedString(QStringLiteral("index")), QString::number(index));
        event->AppendToXML(*record);
        if (event->FReplayLocally)
            replayed = true;
        else if (firstOwn < 0)
            firstOwn = index;
    }
    if (isRetired()) {
        Log(QStringLiteral("late lock, StorePending posponed"));
        return;
    }
    own->SetCompressed(FCompressForStore);
    if (const platform::Status written = own->Flush(); !written) {
        Log(written.reason());
        SetError(written.reason());
        return;
    }
    rollback.dismiss();
    if (own->FirstOwnIndex() < 0 && firstOwn >= 0)
        own->SetFirstOwnIndex(firstOwn);
    for (std::size_t i = 0; i < FPendingThreadEvents.size(); ++i) {
        if (FPendingThreadEvents[i]->FReplayLocally && own->FirstOwnIndex() >= 0
            && indexes[i] > own->FirstOwnIndex())
            own->MarkReplayed(indexes[i]);
    }
    if (replayed)
        own->SetChanged(true);
    FFiles->Changed(own->Filename());
    // A save may retire the folder without having read the file (its listing
    // can be old): the records stay in doubt until the save that retires the
    // folder names them as read.
    const QString ownName = QFileInfo(own->Filename()).fileName();
    const qint64 now = FFiles->NowMs();
    for (std::size_t i = 0; i < FPendingThreadEvents.size(); ++i)
        FPendingThreadEvents[i]->FStoredIn = { FWorkingDir, ownName, indexes[i], now };
    MoveEvents(FStoredEvents, FPendingThreadEvents);
    FStoredEventCount = int(FStoredEvents.size());
    FThreadEventCount = 0;
}

bool TDirWatchThread::OthersMayHaveStored()
{
    const QString ownPresence = QFileInfo(GetUserFileName()).fileName();
    for (const TFoundFile &found : FFiles->ListFiles(GetTmpDirectory(), QStringLiteral("*.user"))) {
        if (found.name != ownPresence)
            return true;
    }
    const QString own = QFileInfo(FDiffFile).fileName();
    for (const TFoundFile &found : FFiles->ListFiles(GetWorkingDir(), QStringLiteral("*.diff"))) {
        if (found.name != own)
            return true;
    }
    return false;
}

void TDirWatchThread::SettleBeforeRetiring(const std::function<void(std::chrono::milliseconds)> &wait)
{
    AssertMainThread();
    if (FFileName.isEmpty())
        return;
    StopBackgroundThread();
    if (OthersMayHaveStored()) {
        if (wait)
            wait(FSettleTime);
        else
            FFiles->Sleep(FSettleTime);
    }
    FRereadAll = true;
    ForceLoadTransactions();
    FRereadAll = false;
}

platform::Status TDirWatchThread::WriteIncludedList(const QString &nextDir)
{
    AssertMainThread();
    StopBackgroundThread();
    QByteArray text = "folder\t" + FWorkingDir.toLatin1() + '\n';
    const QString dir = GetWorkingDir();
    for (const auto &[path, file] : FXMLFiles) {
        if (!path.startsWith(dir) || !path.endsWith(QStringLiteral(".diff")))
            continue;
        int read = file->LastIndex();
        if (path == FDiffFile) {
            if (const TXMLNode *diff = file->xml().namedNode(diffPath()))
                read = std::max(read, getIndex(*diff));
        }
        text += QFile::encodeName(path.mid(dir.size())) + '\t' + QByteArray::number(read) + '\n';
    }
    const QString name = GetIncludedFileName(nextDir);
    const platform::WriteResult written = platform::writeFileAtomically(name, text);
    if (!written)
        return written;
    FFiles->Changed(name);
    return {};
}
