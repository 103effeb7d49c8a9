#include "document/commands/DocumentSave.h"

#include "document/Document.h"
#include "document/commands/DocumentCommands.h"
#include "document/commands/SaveWork.h"
#include "document/commands/SavedRows.h"
#include "document/program/Log.h"
#include "document/sharing/DirWatch.h"
#include "document/sharing/SharingFiles.h"
#include "document/sharing/WorkingCopyRows.h"
#include "document/xml/XMLFile.h"
#include "platform/AtomicFile.h"
#include "platform/HeldFolder.h"
#include "platform/PathNames.h"
#include "platform/RegularFile.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <sys/stat.h>

namespace {

constexpr int RetryMs = 50;

// How far a save is, in thousandths, after each of its long steps.
constexpr int kBuilt = 500;
constexpr int kLocked = 650;
constexpr int kCopied = 800;
constexpr int kDone = 1000;

// How long a save waits for another instance's save that is still making its
// folder; past it, a folder whose maker died is passed over.
std::chrono::milliseconds patience { 5000 };

// Writes the document's bytes with `writer` and keeps the file open in `written`,
// or, once a file holds them, has the file system copy that one: a fraction of
// writing them again (nothing where it can share the first file's extents).
// A copy is held open in `copy` when given.
platform::WriteResult WriteBytesOrCopy(
    platform::AtomicFileWriter &writer, const QByteArray &bytes, platform::TFd &written, platform::TFd *copy)
{
    if (written.Valid()) {
        writer.copyFrom(written.Get());
        return writer.commit(copy);
    }
    writer.write(bytes.constData(), bytes.size());
    return writer.commit(&written);
}

// The entry at `path` is the file open in `fd`: files here are only ever
// replaced by a rename, never written in place, so it holds what was written.
bool IsFileAt(const platform::TFd &fd, const QString &path)
{
    struct stat held = {};
    struct stat named = {};
    return fd.Valid() && ::fstat(fd.Get(), &held) == 0 && platform::statEntry(path, named)
        && held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

} // namespace

struct TDocumentSave::TSavedRows {
    std::unique_ptr<const TWorkingCopyRows> rows;
    QByteArray digest;
    std::unique_ptr<TSaveWork> work; // last: it ends before what it fills goes
};

TDocumentSave::~TDocumentSave() = default;

void TDocumentSave::SetPatience(std::chrono::milliseconds time)
{
    patience = time;
}

TDocumentSave::TDocumentSave(TDocumentCommands &commands, const QString &name, QString &error)
    : FCommands(commands)
    , FName(platform::canonicalPath(name))
    , FError(error)
{ }

TDirWatchThread &TDocumentSave::Watcher() const
{
    return FCommands.Watcher();
}

bool TDocumentSave::Run()
{
    if (FName.isEmpty()) {
        FError = QStringLiteral("no file name");
        return false;
    }
    if (!EnterDocument())
        return false;
    // A share that was refused, or replaced since it was opened, gets nothing:
    // not a lock, not a folder, not a copy.
    if (Watcher().ShareRefused() || !Watcher().CheckShareInPlace()) {
        FShareUnusable = true;
        FError = QStringLiteral("the sharing folder is not usable: ") + Watcher().ShareProblem();
        return false;
    }
    if (!StoreAndFetch())
        return false;
    for (;;) {
        if (!Lock())
            return false;
        TStep step = WaitForConcurrentSaves();
        if (step == TStep::Done)
            step = MakeNextFolder();
        if (step == TStep::Failed)
            return false;
        if (step == TStep::Done)
            break;
    }
    if (!WriteCopies())
        return false;
    if (!Watcher().CheckShareInPlace()) {
        FShareUnusable = true;
        FError
            = QStringLiteral("the sharing folder was replaced during the save: ") + Watcher().ShareProblem();
        return false;
    }
    if (!Commit())
        return false;
    // The records kept for a share that was lost are in the document now.
    if (!FRecoveryFile.isEmpty())
        QFile::remove(FRecoveryFile);
    return true;
}

bool TDocumentSave::EnterDocument()
{
    FRecoveryFile = Watcher().RecoveryFileName();
    // The same document under another spelling (a relative path, a linked folder)
    // keeps its watcher and the records it holds.
    if (!platform::samePath(FName, FCommands.FileName())) {
        // This instance's records belong to the document they were made in; the
        // other instances there still need them. Those that cannot be stored there
        // (a save that died holding its lock) go on with this document, which holds
        // them too: the save stores them or fails.
        TNodeEventList carried;
        if (!FCommands.FileName().isEmpty() && !Watcher().ForceStorePending()) {
            for (auto &event : Watcher().TakePendingEvents()) {
                if (event->FStoredIn.folder.isEmpty())
                    carried.push_back(std::move(event));
            }
            Log(QStringLiteral("save(): %1 records of %2 could not be stored there and go on with %3")
                    .arg(carried.size())
                    .arg(FCommands.FileName(), FName));
        }
        FCommands.ReplaceWatcher(FName);
        Watcher().AdoptPendingEvents(std::move(carried));
    }
    if (!FCommands.SaveFileIni())
        Log(QStringLiteral("save(): the view settings of %1 were not written").arg(FName));
    return true;
}

bool TDocumentSave::StoreAndFetch()
{
    // What the other instances stored so far goes into this save: the worker
    // stops, the own records (also those queued since the last idle tick) are
    // stored, everything fetched is applied.
    Watcher().ForceStorePending();
    Watcher().ForceLoadTransactions();
    // Every record of this instance is in its file before the folder is retired.
    // One left behind would reach the next folder only after the save, on top of a
    // base that already holds it, and could undo what others changed after it.
    if (Watcher().NumPendingEvents() > 0 && !Watcher().isRetired()) {
        FError = QStringLiteral("%1 changes cannot be stored: %2")
                     .arg(Watcher().NumPendingEvents())
                     .arg(Watcher().ErrorText());
        return false;
    }
    // Another instance saved meanwhile. Its document is the base of this save:
    // this one may lack records that instance read last (they stay behind in the
    // retired folder), and writing it over would drop them.
    if (Watcher().isRetired() || Watcher().NeedReload())
        return StartFromTheirDocument();
    return true;
}

bool TDocumentSave::StartFromTheirDocument()
{
    FReloaded = true;
    if (FCommands.Reload())
        return true;
    FError = QStringLiteral("the document another instance saved cannot be read");
    return false;
}

bool TDocumentSave::BytesCurrent() const
{
    const std::pair<quint64, quint64> state { FCommands.FWatchers, Watcher().NumAppliedChanges() };
    return !FBytes.isEmpty() && state == FBytesOf;
}

const QByteArray &TDocumentSave::DocumentBytes(platform::AtomicFileWriter *streamTo)
{
    // The document is serialised once and the same bytes become the retired copy,
    // the next working copy and the document file; once more only when the
    // settling brought in records of others (or their document was read).
    const std::pair<quint64, quint64> state { FCommands.FWatchers, Watcher().NumAppliedChanges() };
    if (!BytesCurrent()) {
        FWritten.Reset();
        Document &doc = FCommands.FDocument;
        // Ends waiting to be worked out are worked out here: the worker then only
        // reads the document while the window paints it.
        doc.RecalcFlaggedEnds();
        QByteArray bytes;
        QByteArray digest;
        const qint64 rows = std::max<qint64>(1, qint64(doc.TotalCount(tbTable)) + doc.TotalCount(tbExclude));
        // The rows the watcher will need of the working copy are made from the
        // same state of the document: beside the bytes, unless a next folder is
        // made already, whose working copy the others wait for.
        const bool folderMade = !FNextName.isEmpty();
        if (!folderMade)
            StartSavedRows();
        FCommands.RunOffMainThread([&doc, &bytes, &digest, rows, streamTo](TSaveWork &work) {
            // The bytes made so far go to the file while the rest is made, and the
            // disk starts on them: its flush at the end finds little left.
            qsizetype streamed = 0;
            const auto stream = [streamTo, &streamed](QByteArrayView made) {
                if (made.size() > streamed && streamTo->write(made.data() + streamed, made.size() - streamed))
                    streamTo->startWriteback();
                streamed = made.size();
            };
            bytes = doc.FileBytes(
                [&work, rows](
                    qint64 written) { work.SetProgress(int(std::min(written, rows) * kBuilt / rows)); },
                streamTo ? std::function<void(QByteArrayView)>(stream)
                         : std::function<void(QByteArrayView)>());
            if (streamTo)
                stream(QByteArrayView(bytes));
            digest = TXMLFile::DigestOf(bytes);
            work.SetProgress(kBuilt);
        });
        FBytes = std::move(bytes);
        FBytesOf = state;
        if (folderMade)
            StartSavedRows();
        FSavedRows->digest = std::move(digest);
    }
    return FBytes;
}

bool TDocumentSave::WriteDocument(const QString &file, int progress, platform::TFd *copy)
{
    platform::AtomicFileWriter writer(file);
    // Bytes still to be made are written as they are made, unless fault hooks
    // must be told the whole size first (tests).
    const bool streamed = !BytesCurrent() && writer.unhooked();
    const QByteArray &bytes = DocumentBytes(streamed ? &writer : nullptr);
    if (!streamed)
        writer.askFaults(bytes.size());
    platform::WriteResult written;
    FCommands.RunOffMainThread([&](TSaveWork &work) {
        written = streamed ? writer.commit(&FWritten) : WriteBytesOrCopy(writer, bytes, FWritten, copy);
        work.SetProgress(progress);
    });
    if (!written)
        FError = written.reason();
    return bool(written);
}

void TDocumentSave::StartSavedRows()
{
    FSavedRows = std::make_unique<TSavedRows>();
    TSavedRows &saved = *FSavedRows;
    const Document &doc = FCommands.FDocument;
    FSavedRows->work
        = std::make_unique<TSaveWork>([&saved, &doc](TSaveWork &) { saved.rows = SavedRowsOf(doc); });
}

void TDocumentSave::FinishSavedRows()
{
    if (!FSavedRows || !FSavedRows->work)
        return;
    FCommands.FHost->WaitForSaveWork(*FSavedRows->work);
    try {
        FSavedRows->work->Finish();
        FSavedRows->work.reset();
    } catch (const std::exception &e) {
        // The watcher reads the copy itself then.
        Log(QStringLiteral("save(): the rows of the working copy were not made: ")
            + QString::fromLocal8Bit(e.what()));
        FSavedRows.reset();
    }
}

void TDocumentSave::OfferSavedRows()
{
    FinishSavedRows();
    if (!FSavedRows || !FSavedRows->rows)
        return;
    // The working copy still being the file this save wrote, it holds these
    // bytes: the watcher need not read it back to compare (a large plan's copy
    // takes a while, on the main thread when a save or an open asks first).
    // Otherwise it takes them once it found the copy holds these bytes.
    const bool ours = IsFileAt(FWorkingCopy, Watcher().GetWorkingFileName());
    Watcher().OfferBaseRows(std::move(FSavedRows->rows), FSavedRows->digest, ours);
    FSavedRows.reset();
}

void TDocumentSave::Wait(int milliseconds)
{
    FCommands.FHost->WaitWhileSaving(std::chrono::milliseconds(milliseconds));
}

bool TDocumentSave::Lock()
{
    TDirWatchThread &watcher = Watcher();
    if (watcher.isLocked())
        return true;
    const bool written = WriteDocument(watcher.GetLockedFileName(), kLocked);
    // The rows are made from the document as it stands; the settling that
    // follows may change it.
    FinishSavedRows();
    if (!written)
        return false;
    watcher.Files()->Changed(watcher.GetLockedFileName());
    FLockedHere = true;
    FSettled = false;
    return true;
}

TDocumentSave::TStep TDocumentSave::WaitForConcurrentSaves()
{
    TDirWatchThread &watcher = Watcher();
    // Records the others stored before they saw the lock: the listing of a share
    // may show them late, so the save gives them time and then reads every file
    // of the folder again.
    if (!FSettled) {
        watcher.SettleBeforeRetiring([this](std::chrono::milliseconds time) { Wait(int(time.count())); });
        FSettled = true;
        // The patience counts from here: saves started together settle together,
        // and one that counted the settling too would find it used up the moment
        // the other's folder appears, and make a folder beside it.
        FWaited.start();
    }
    // Another instance saving from the same folder at the same time: its new
    // folder is retired in turn, so that no two new folders grow side by side
    // (records stored in the one left behind would be read by nobody). Its
    // document becomes the base here too, as after any other save: it may hold
    // records of the old folder that landed after this instance's last look.
    if (watcher.NeedReload() || watcher.NextFolderWithCopy() >= 0) {
        if (!StartFromTheirDocument())
            return TStep::Failed;
        FLockedHere = false;
        FSettled = false;
        return TStep::Again;
    }
    // A folder whose copy is still being written is waited for a while; one whose
    // maker died is passed over.
    const bool patient = FWaited.elapsed() < patience.count();
    if (watcher.GetHistoryInfo().highest > watcher.WorkingDirName().toInt() && patient) {
        Wait(RetryMs);
        return TStep::Again;
    }
    return TStep::Done;
}

TDocumentSave::TStep TDocumentSave::MakeNextFolder()
{
    TDirWatchThread &watcher = Watcher();
    const bool patient = FWaited.elapsed() < patience.count();
    // The next folder is made here alone: a save elsewhere that took the number
    // (its listing may not show here yet) is followed once its copy is there.
    // One that appeared since the last look is waited for like any other: taking
    // the number above it would grow a second folder from the same one.
    const int highest = watcher.GetHistoryInfo().highest;
    if (highest > watcher.WorkingDirName().toInt() && patient) {
        Wait(RetryMs);
        return TStep::Again;
    }
    int next = highest + 1;
    bool made = false;
    for (; WorkingFolderNumber(QString::number(next)) >= 0; ++next) {
        const QString dir = watcher.GetWorkingDir(QString::number(next));
        made = platform::makeFolder(dir);
        // An entry that is no folder of its own (a link) is passed over at once.
        if (made || (patient && platform::isRealFolder(dir)))
            break;
        if (GetFileTime(dir) == -1) {
            FError = QStringLiteral("cannot create ") + dir;
            return TStep::Failed;
        }
    }
    if (WorkingFolderNumber(QString::number(next)) < 0) {
        FError = QStringLiteral("no working folder number is left in ") + watcher.GetTmpDirectory();
        return TStep::Failed;
    }
    if (!made) {
        Wait(RetryMs);
        return TStep::Again;
    }
    FNextName = QString::number(next);
    return TStep::Done;
}

bool TDocumentSave::WriteCopies()
{
    // The next folder is entered only once its working copy, which holds every
    // record of the retired folder, is written; the list of what this save read
    // goes beside it first. If either cannot be written (a full disk) the save is
    // undone and every instance goes on in the folder that still holds all
    // stored records.
    TDirWatchThread &watcher = Watcher();
    FRetired = watcher.WorkingDirName();
    watcher.Files()->Changed(watcher.GetWorkingDir(FNextName));
    DocumentBytes();
    FDocumentFile = std::make_unique<platform::AtomicFileWriter>(FName);
    FDocumentFile->askFaults(FBytes.size());
    const platform::Status listed = watcher.WriteIncludedList(FNextName);
    if (!listed)
        FError = listed.reason();
    // The document file's copy is made (and flushed) beside the working copy when
    // a file holds the bytes already, else after it; it is renamed over the
    // document only once the next folder was entered. Nothing changes the
    // document meanwhile: the bytes, and the file holding them, stay.
    const auto copyDocument = [this](TSaveWork &) {
        FDocumentFile->copyFrom(FWritten.Get());
        FDocumentFile->flush();
    };
    std::unique_ptr<TSaveWork> beside;
    if (listed && FWritten.Valid())
        beside = std::make_unique<TSaveWork>(copyDocument);
    const bool written
        = listed && WriteDocument(watcher.GetWorkingFileName(FNextName), kCopied, &FWorkingCopy);
    if (beside) {
        FCommands.FHost->WaitForSaveWork(*beside);
        beside->Finish();
    } else if (written) {
        FCommands.RunOffMainThread(copyDocument);
    }
    if (!written) {
        Undo();
        return false;
    }
    return true;
}

void TDocumentSave::Undo()
{
    TDirWatchThread &watcher = Watcher();
    const QString nextDir = watcher.GetWorkingDir(FNextName);
    platform::removeFile(watcher.GetIncludedFileName(FNextName));
    platform::removeFolder(nextDir);
    if (FLockedHere && !platform::removeFile(watcher.GetLockedFileName(FRetired)))
        Log(QStringLiteral("save(): the lock of folder %1 cannot be taken back").arg(FRetired));
    for (const QString &path :
        { nextDir, watcher.GetIncludedFileName(FNextName), watcher.GetLockedFileName(FRetired) })
        watcher.Files()->Changed(path);
}

bool TDocumentSave::Commit()
{
    TDirWatchThread &watcher = Watcher();
    FCommands.FRetiredDir = FRetired;
    FinishSavedRows();
    watcher.SetWorkingDir(FNextName);
    OfferSavedRows();
    bool replaced = false;
    // The copy made beside the working copy is renamed over the document once
    // the old file went to the bin (on the worker).
    FCommands.RunOffMainThread([this, &replaced](TSaveWork &work) {
        replaced = FCommands.ReplaceDocumentFile(
            FName, FRetired,
            [this](const QString &, QString &error) {
                const platform::WriteResult written = FDocumentFile->commit();
                error = written.reason();
                return bool(written);
            },
            FError);
        work.SetProgress(kDone);
    });
    if (!replaced)
        return false;
    watcher.Files()->Changed(FName);
    // The reload above left the records not yet stored out of the document just
    // written: they go to the new folder now, so a save that succeeds leaves no
    // change in memory only.
    if (FReloaded && !watcher.ForceStorePending()) {
        FError = QStringLiteral("the document is saved, but %1 changes are not stored yet")
                     .arg(watcher.NumPendingEvents());
        return false;
    }
    watcher.SetNeedReload(false);
    watcher.SetChanged(false);
    watcher.ClearError();
    FCommands.FHost->AddToLastFiles(FName);
    FCommands.ClearHistory();
    return true;
}
