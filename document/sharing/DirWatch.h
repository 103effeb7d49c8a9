#pragma once

#include "document/NodeEvents.h"
#include "document/calendar/DateTime.h"
#include "document/program/Settings.h"
#include "document/program/ThreadCheck.h"
#include "document/sharing/ShareFileSystem.h"
#include "document/sharing/SharingLimits.h"
#include "document/sharing/TransactionFile.h"
#include "document/sharing/WorkingCopyRows.h"
#include "platform/HeldFolder.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

class Document;
class TXMLNode;
class TXMLTree;
struct TConflictEntry;
struct TReplayedRow;

// The sharing worker: runs one pass of the watcher's background work on a thread
// of its own. Joined by its destructor; no exception leaves the thread.
class TWatcherThread {
public:
    // `failed` hears, on the worker, the reason of anything `work` threw (which
    // ends there: it never escapes the thread).
    explicit TWatcherThread(std::function<void()> work, std::function<void(const QString &)> failed = {});
    ~TWatcherThread();
    TWatcherThread(const TWatcherThread &) = delete;
    TWatcherThread &operator=(const TWatcherThread &) = delete;

    bool Finished() const { return FFinished.load(std::memory_order_acquire); }
    void WaitFor();

private:
    std::atomic<bool> FFinished { false };
    std::thread FThread;
};

// Sharing of one open document with the other running instances (docs/sharing.md
// tells the whole protocol), through the hidden folder ".kez" beside the document:
//
//   <dir>/.kez/<Plan.kez>/<n>/<Plan.kez>           working copy of working folder n
//   <dir>/.kez/<Plan.kez>/<n>/<Plan.kez>.locked    folder n was retired by a save
//   <dir>/.kez/<Plan.kez>/<n>/<identity>.1.diff    one instance's transaction records
//   <dir>/.kez/<Plan.kez>/<identity>.user          presence of an instance
//   <dir>/.kez/<Plan.kez>/<identity>.ini           per-user view settings
//
// (An identity too long for a file name is named by FileIdentityName.) Only real
// folders and files of the sharing folder are taken: a symbolic link, a pipe in
// their place is passed over and logged, so no one who can write the share makes
// the others read or write elsewhere. Other instances' files are read within
// TSharingLimits.
//
// Local changes arrive through PushDiff and are queued; the idle tick calls
// UpdatePending, which applies what the last worker run fetched, solves conflicts
// and starts the next run (at most one a second). The worker stores the queue
// into the own transaction file (rewritten whole through a temporary file) and
// re-reads every transaction file whose size changed.
//
// The main thread touches the worker's queue and the file map only while no
// worker runs; the worker never reads the document: all it writes was copied
// into the records when they were queued.
//
// The owner replaces the whole watcher for a new, opened, reloaded or renamed
// document; it must set the document's diff sink to the watcher after creating
// it and reset it before destroying it, and the document must outlive it.
class TDirWatchThread final : public IDiffSink {
public:
    static constexpr std::chrono::milliseconds kDefaultSettleTime { TProgramSettings::kDefaultSettleTimeMs };

    // An empty name is an unnamed document: records stay queued and the disk is
    // never touched. `files` answers what the folder holds (the real file system
    // when none is given). With `copyDocument` false, a sharing folder that starts
    // anew gets its working copy from the opener (DocumentCopyTarget) rather than
    // from this constructor, or else from the first worker run.
    TDirWatchThread(const QString &fileName, Document &document,
        std::shared_ptr<TShareFileSystem> files = nullptr, bool copyDocument = true);
    ~TDirWatchThread() override;
    TDirWatchThread(const TDirWatchThread &) = delete;
    TDirWatchThread &operator=(const TDirWatchThread &) = delete;

    // --- folders and names (folders end in "/") ---
    const QString &Filename() const { return FFileName; }
    const QString &Identity() const { return FIdentity; }
    // What the identity's files are named by (the identity, when it fits).
    const QString &FileIdentity() const { return FFileIdentity; }
    QString GetTmpRootDirectory() const;
    QString GetTmpDirectory() const;
    // The sharing folder and the document's folder in it are folders of their own
    // (or not there yet), not links that lead elsewhere. When they are not, nothing
    // is read or written in them and Error() says why.
    bool SharingFolderIsOwn() const;
    bool ShareRefused() const { return FShareRefused; }
    // The sharing folder is held open from the start, and every file of it is
    // reached through it without following a link. Someone who puts anything else
    // in its place (or in the place of the current working folder) makes this
    // watcher stop sharing: Error() says so, and the own records not yet known
    // to be safe go to the recovery file. Checked on every idle tick and before
    // a save; true while the share is still the one held.
    bool CheckShareInPlace();
    bool ShareLost() const { return FShareLost.load(); }
    // Why sharing was refused or stopped (untranslated; empty when it was not).
    QString ShareProblem() const;
    // The file beside the user's settings that keeps the own records of a
    // document whose share was lost, until a save stores them (empty: none).
    const QString &RecoveryFileName() const { return FRecoveryFile; }
    // For the unnamed watcher that goes on with those records: it keeps the file
    // up to date with every change made since.
    void KeepRecoveryFile(const QString &name);
    // The working folder `dir` ("" = the current one).
    QString GetWorkingDir(const QString &dir = QString()) const;
    QString GetWorkingFileName(const QString &dir = QString()) const;
    QString GetLockedFileName(const QString &dir = QString()) const;
    QString GetUserFileName() const;
    QString GetUserSettingsFileName() const;
    // The document's path, or "New Table.kez" (translated) when it has none.
    QString GetPossibleFileName() const;
    // The current working folder was retired by a save.
    bool isLocked() const;
    // Retired, or a newer working folder has its working copy: two instances
    // saved at once, and no later save reads this folder any more.
    bool isRetired() const;
    // The lowest-numbered working folder above the current one that has its
    // working copy (-1: none).
    int NextFolderWithCopy() const;
    // The copy a watcher made now would start from: the working copy of the
    // newest working folder that has one, else the document file.
    QString NewestWorkingFileName() const;
    const QString &WorkingDirName() const { return FWorkingDir; }
    // The own transaction file once chosen (empty before the first store).
    QString DiffFileName() const { return FDiffFile; }
    // Beside the working copy of folder `dir`: what the save that made the folder
    // read from the folder it retired. A line "folder", TAB, that folder's name,
    // then one line per transaction file there: its name, a TAB and the highest
    // index read.
    QString GetIncludedFileName(const QString &dir = QString()) const;
    // Such a list read: the folder retired and, per transaction file, the index.
    struct TIncludedList {
        QString from;
        QHash<QString, int> read;
        QStringList by; // the folders whose lists were taken (several saves at once)
    };
    const std::shared_ptr<TShareFileSystem> &Files() const { return FFiles; }

    struct THistoryInfo {
        int lowest = 2147483647;
        int highest = 0;
        int count = 0;
        TDateTime newest = 0; // creation time of the folder created last
    };
    // The numbered working folders of the sharing folder.
    THistoryInfo GetHistoryInfo() const;
    // Moves to the highest-numbered working folder that has a working copy (the
    // highest of all when none has); with copyDocument the document file becomes
    // its working copy unless it has one.
    void FindWorkingDirectory(bool copyDocument);
    void SetWorkingDir(const QString &name);

    // --- the queue of local changes ---
    void PushDiff(std::unique_ptr<TNodeEvent> event) override;
    int NumPendingEvents() const;
    // Records stored but not yet known to be safe: a save may retire their folder
    // without having seen them (a listing or a lock can show late, however long).
    // They are confirmed only by the list of the save that retired the folder;
    // those it does not name are stored again in the next folder.
    int NumUnconfirmedEvents() const { return FStoredEventCount.load(); }
    int NumPendingConflicts() const { return int(FConflicts.size()); }
    // Records of others refused for their change counters since the last call,
    // each writer and reason once, for the status bar (each record is logged once).
    struct TRefusalNotice {
        QString writer;
        QString reason;
    };
    std::vector<TRefusalNotice> TakeRefusalNotices();
    // How often this watcher changed the document: records applied and rows
    // rebuilt by conflict solving.
    quint64 NumAppliedChanges() const { return FAppliedChanges; }
    // Stops the worker and hands out every record not yet stored or not yet
    // confirmed, oldest first (for a watcher that replaces this one).
    TNodeEventList TakePendingEvents();
    // Takes the unstored records of the watcher this one replaces. They are
    // stored before any newer record and, once stored, also applied to the
    // document, which was reloaded without them.
    void AdoptPendingEvents(TNodeEventList events);

    // --- the sharing cycle ---
    // The main-thread step of the idle tick.
    void UpdatePending();
    // Stops the worker (between its steps) and waits for it.
    void StopBackgroundThread();
    // Stores every queued record now, on the calling thread. False when records
    // remain queued (locked folder, write failure).
    bool ForceStorePending();
    // Runs a whole worker pass on the calling thread and applies what it read.
    void ForceLoadTransactions();
    // Before a save retires the locked folder: waits the settling time while other
    // instances may have stored records the listing does not show yet, then reads
    // every transaction file of the folder again by opening it.
    // `wait` waits (the file system's clock unless given).
    void SettleBeforeRetiring(const std::function<void(std::chrono::milliseconds)> &wait = {});
    // Writes the list of what this instance read from the current folder into the
    // next folder `nextDir`, which a save is making; fails, with the reason, when
    // it cannot.
    platform::Status WriteIncludedList(const QString &nextDir);
    // A retired folder to look through for records of this identity that no save
    // read: `ours` ("file TAB index") are this watcher's own, sorted out from memory.
    struct TRecoveryScan {
        QString folder;
        QSet<QString> ours;
        // Folders whose lists count besides those the listing shows.
        QStringList alsoFrom;
        // The line that goes on passed the folder over: no list counts.
        bool readByNobody = false;
        // Once decided: the folders whose lists named the folder then. A save beside
        // them that read less may still go on instead (a fork the listing did not
        // show yet), so the decision is kept, with the own records they read, until
        // later saves built on one of them.
        QStringList readBy;
        TNodeEventList confirmed;
    };
    // The folders left and not yet looked through, for a watcher that replaces this
    // one (with the records of TakePendingEvents).
    std::vector<TRecoveryScan> TakeRecoveryScans();
    void AdoptRecoveryScans(std::vector<TRecoveryScan> scans);
    // Looks through the working folders saves retired for records an earlier run
    // of this identity stored there after the save's last read and did not store
    // again before it ended (or was killed): the next worker pass stores them
    // here. For a document just opened.
    void RecoverEarlierRuns();
    // Applies the transaction files of another (old) folder, reading them first.
    void ForceLoadTransactionsFrom(const QString &folder);

    // One worker pass: presence, working copy, store, re-read changed files.
    void ThreadProc();
    // Writes the worker queue into the own transaction file.
    void StorePending();
    void StorePendingRecords();
    // Applies the new records of every fetched file (main thread, no worker).
    void LoadPending();
    void LoadDiff(const QString &fileName);
    // Rebuilds every row found in conflict by replaying all its known records in
    // the fixed order (main thread, no worker). Waits while the working copy, the
    // rows' base, is not read: a row of the document would be rebuilt without it.
    void SolveConflicts();

    // --- state ---
    // Storing failed: sharing stops until the owner makes a new watcher. The
    // records stay queued; ErrorText says why (for the user).
    bool Error() const { return FError.load(); }
    QString ErrorText() const;
    // A save that stored everything and wrote the document resumes sharing.
    void ClearError();
    // The files of the sharing folder the worker refused for their size since the
    // last call, for the user to hear of once (each is refused once per size).
    QStringList TakeRefused();
    bool NeedReload() const { return FNeedReload; }
    void SetNeedReload(bool value);
    int NumPendingFiles() const { return FNumPendingFiles.load(); }
    // The document has changes not yet saved.
    bool Changed() const { return FChanged.load(); }
    void SetChanged(bool value) { FChanged = value; }
    // The least time between two worker runs (one second; tests shorten it).
    void SetScanInterval(std::chrono::milliseconds interval) { FScanInterval = interval; }
    // How long a client of the share may show an old listing, with room to spare:
    // a save waits this long before it retires a folder others stored in. (A stored
    // record is confirmed only by the list of the save that retired its folder.)
    std::chrono::milliseconds SettleTime() const { return FSettleTime; }
    void SetSettleTime(std::chrono::milliseconds time) { FSettleTime = time; }
    // What other instances' files may bring (tests lower them).
    void SetLimits(const TSharingLimits &limits) { FLimits = limits; }
    // A fetched file (tests and diagnostics; only while no worker runs).
    const TTransactionFile *FileOf(const QString &path) const;
    // The rows of the working copy, the base of conflict solving; null until it
    // was read whole (only while no worker runs).
    const TWorkingCopyRows *BaseRows() const { return FBaseRows.get(); }
    // Rows made from a parsed file whose bytes had `digest` (TXMLFile::Digest):
    // taken as the base of the current folder instead of parsing its working copy
    // again, if that copy holds exactly those bytes; otherwise the copy is parsed.
    // With `compared`, the offerer has just found the copy to hold those bytes
    // (or wrote it from them), and the copy is not read again for the digest.
    void OfferBaseRows(
        std::unique_ptr<const TWorkingCopyRows> rows, const QByteArray &digest, bool compared = false);
    // Where the document file's bytes go as the working copy when the sharing
    // folder starts anew and has none yet (any thread may write it there, the
    // held folder keeps the way); empty when it has one or follows another folder.
    QString DocumentCopyTarget() const;
    // The opener wrote that copy.
    void DocumentCopyWritten();

private:
    using Clock = std::chrono::steady_clock;

    TTransactionFile *OpenOwnFile(qint64 count);
    // The list a save wrote beside the working copy of the folder it made. None when
    // it cannot be read (then nothing counts as read).
    static std::optional<TIncludedList> ReadIncludedList(const QString &path);
    // The list of the save that retired `folder`; none when there is none (yet).
    // Several saves that retired it at once count as one that read only what all
    // of them read. `also` names folders whose lists count too, listed here or not.
    std::optional<TIncludedList> FindIncludedList(const QString &folder, const QStringList &also = {}) const;
    // The lowest-numbered working folder above `number` that has its working copy
    // (-1: none).
    int FolderWithCopyAbove(int number) const;
    // Worker: stores again (first in the queue) what the scans find that no run of
    // this identity stored in a later folder yet.
    void RecoverOrphans();
    // Worker: queues again, after the records stored again, what others stored in
    // the folders since of the rows whose "new" is among them.
    void AddRecordsOfLateRows();
    // The records of this identity's files in the working folders above `folder`,
    // by RecordKey.
    QSet<QString> OwnRecordsAbove(int folder) const;
    // Main thread: recovered records count like the own records taken over.
    void NoteRecoveredCounters();
    // Sorts records stored in a folder that is not the current one: those the save
    // that retired it read are kept aside as decided (see CheckDecisions), the others
    // queued to be stored again (first). `also` as for FindIncludedList.
    void ResolveStoredEvents(TNodeEventList events, const QStringList &also = {});
    // After a move to another folder: a decision whose folder the current folder
    // descends from through a save that read less is taken again with that save's
    // list; one that later saves built on is dropped.
    void CheckDecisions();
    // Makes sure no other running instance writes the own file `path`: a claim file
    // beside it, made only when there is none, holds this watcher's token. False
    // when another instance holds it (or it cannot be made).
    bool Claim(const QString &path);
    void ReleaseClaims();
    // Reads the transaction files the listing does not show yet, by their names.
    void ReadUnlistedFiles();
    // The offered rows become the base if they are of this folder's copy.
    void TakeOfferedRows(const QString &workingCopy);
    // Another instance has a presence file or a transaction file in this folder.
    bool OthersMayHaveStored();
    // The number of the newest working folder that has its working copy (-1: none).
    int NewestFolderWithCopy() const;
    // Copies the document file into the working folder unless it has a copy or
    // follows another folder (safe on the worker: it touches no member but the names).
    void WriteWorkingCopy() const;
    // Another working folder has a working copy or was retired.
    bool SucceedsAnotherFolder() const;
    // Queued records go to the worker's queue (main thread, no worker running).
    void HandOverPending();
    bool ReadInto(const QString &path, bool workingCopy, std::unique_ptr<TTransactionFile> &fresh,
        TTransactionFile *existing);
    void ApplyRecord(const QString &id, const TXMLNode &record);
    // Remembers the counter of an own record the document may not hold, and
    // raises its row when it is there.
    void NoteOwnCounter(const TNodeEvent &event);
    // A row that appears (again) counts above every own record of it not yet
    // applied here.
    void RaiseToOwnCounter(TNodeData &row) const;
    void AddConflict(const QString &id);
    // The phases of SolveConflicts around ReplayRow: every known record of the
    // rows in conflict (the working copy's rows and the own queued records made
    // into records in `copies`), and the
    // row worked out replacing the old one.
    QHash<QString, std::vector<TConflictEntry>> GatherConflictRecords(TXMLTree &copies) const;
    void ReplaceConflictRow(const QString &id, const TReplayedRow &replayed);
    void NoteRefusals(const QString &id, const TReplayedRow &replayed);
    void SetError(const QString &text);
    void NoteRefused(const QString &name);
    // The share was replaced: sharing stops, the records are kept (see CheckShareInPlace).
    void LoseShare(const QString &why);
    // Writes every record not known to be safe into the recovery file.
    void WriteRecoveryFile();
    void PrepareEvent(TNodeEvent &event) const;
    // The worker's state (its queue, the file map, the recovery scans) is touched by
    // the worker while it runs and by the main thread only while none runs: checked
    // in builds with assertions, like the main-thread-only parts.
    void AssertWorkerSide(ZELTRANO_CALL_SITE_DEFAULTS) const;

    Document &FDocument;
    const std::shared_ptr<TShareFileSystem> FFiles;
    const QString FFileName;
    const QString FIdentity;
    const QString FFileIdentity;
    const QByteArray FToken; // tells this watcher's claims from another instance's
    QSet<QString> FClaims; // own file names claimed in the working folder
    QString FWorkingDir;
    QString FDiffFile;
    qint64 FFileTime = -1;
    bool FNeedReload = false;
    Clock::time_point FLastScan {};
    std::chrono::milliseconds FScanInterval { 1000 };
    std::chrono::milliseconds FSettleTime { kDefaultSettleTime };
    bool FRereadAll = false;

    TNodeEventList FPendingEvents;
    QHash<QString, TSetNodeDataEvent *> FFirstChangeOf; // first queued "change" per row ID
    TNodeEventList FPendingThreadEvents;
    std::atomic<int> FThreadEventCount { 0 };
    TNodeEventList FStoredEvents; // stored, not yet confirmed; oldest first
    std::atomic<int> FStoredEventCount { 0 };
    std::map<QString, std::unique_ptr<TTransactionFile>> FXMLFiles; // transaction files
    std::unique_ptr<const TWorkingCopyRows> FBaseRows; // of the current working copy
    struct TOfferedRows {
        std::unique_ptr<const TWorkingCopyRows> rows;
        QByteArray digest;
        QString folder;
        bool compared = false;
    } FOfferedRows;
    QHash<QString, qint64> FReadFailures; // path -> size whose failure was logged
    TSharingLimits FLimits;
    // path -> size of a file refused for its size: read again only once it changed
    QHash<QString, qint64> FRefused;

    QStringList FConflicts;
    QSet<QString> FConflictSet;
    // Row IDs that have records here but no row: a later "new" for one of them
    // must be replayed with those records, or instances that read the files in
    // another order would disagree.
    QSet<QString> FGone;
    // The highest counter per row of the own records this watcher took over
    // (stored or not): the reloaded document may lack their rows, which may come
    // back only later through the others' records. A change made then must still
    // count above them, or the replay would put it before them.
    QHash<QString, std::int32_t> FOwnCounters;
    // Records refused by the replay ("file TAB index"), each logged once; what the
    // window has not shown yet, and what it has (writer TAB reason).
    QSet<QString> FRefusedRecords;
    std::vector<TRefusalNotice> FRefusalNotices;
    QSet<QString> FNoticesShown;
    std::vector<TRecoveryScan> FRecoveryScans; // worker side, like the worker queue
    std::vector<TRecoveryScan> FDecidedScans; // likewise
    std::atomic<bool> FRecovered { false };
    quint64 FAppliedChanges = 0;

    std::unique_ptr<TWatcherThread> FThread;
    std::atomic<std::thread::id> FWorkerId {}; // of the worker run started last
    std::atomic<bool> FHaltThread { false };
    std::atomic<bool> FError { false };
    bool FShareRefused = false; // set once, before the worker starts
    // The sharing folder, held open while the watcher lives (null: unnamed or refused).
    std::shared_ptr<platform::THeldFolder> FShare;
    std::atomic<bool> FShareLost { false };
    QString FRecoveryFile; // main thread, like the two below
    static constexpr quint64 kNeverWritten = ~quint64(0);
    quint64 FPushCount = 0; // local changes pushed
    quint64 FRecoveryAt = kNeverWritten; // FPushCount when the recovery file was written
    std::atomic<bool> FChanged { false };
    std::atomic<int> FNumPendingFiles { 0 };
    bool FCompressForStore = true; // copied from the document before each run
    mutable std::mutex FErrorMutex;
    QString FErrorText;
    QStringList FRefusedNames; // guarded by FErrorMutex
};
