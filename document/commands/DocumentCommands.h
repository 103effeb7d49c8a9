#pragma once

#include "document/DocumentTypes.h"
#include "document/commands/DocumentCommandsHost.h"
#include "document/program/Settings.h"
#include "platform/Result.h"

#include <QString>
#include <chrono>
#include <functional>
#include <memory>

class Document;
class TDirWatchThread;
class TDocumentRead;
class TShareFileSystem;

// The canonical absolute form of a path: symbolic links resolved when the file
// exists, else the cleaned absolute path (relative paths against the working
// folder). The commands take a file name into this form once, where they receive
// it (Open, the save dialog); every later step and the host get it so.
QString CanonicalFileName(const QString &fileName);

// How loading a document ended: the user's decline is no failure to report.
enum class TLoadResult { Loaded, Failed, Cancelled };

// Why a document was not opened: a file that cannot be read as one (the reason
// says why), or none to open at all (missing, or the user chose not to; the user
// was told or asked, and there is nothing more to report).
enum class TOpenFailure { Unreadable, NotOpened };
using TOpenStatus = platform::BasicStatus<TOpenFailure>;

// The document commands new, open, save, save as and revert, and the loading road
// behind them, on a windowless document. Every document has a sharing watcher
// that owns the hidden sharing folder beside it; saving makes three copies of
// the document (the retired copy of the present working folder, the working copy
// of the next one, the document file) from bytes built and written once, and
// prunes the history of working folders.
//
// Questions and notices go through MessageDlg; window work through the host.
class TDocumentCommands {
public:
    // Reads an old-format document into the emptied model and saves it in the
    // present format under the same name. Without one set, the import of the
    // old ini-based documents runs.
    using TImportFrom = std::function<TLoadResult(const QString &fileName)>;

    // Starts with an unnamed watcher; the document must outlive the commands.
    explicit TDocumentCommands(Document &document, IDocumentCommandsHost *host = nullptr);
    ~TDocumentCommands();
    TDocumentCommands(const TDocumentCommands &) = delete;
    TDocumentCommands &operator=(const TDocumentCommands &) = delete;

    Document &Doc() const { return FDocument; }
    TDirWatchThread &Watcher() const { return *FDirWatchThread; }
    // The document's canonical path; empty when unnamed.
    QString FileName() const;
    void SetImporter(TImportFrom importFrom) { FImportFrom = std::move(importFrom); }
    // A file is being opened (the window's timers pause).
    bool IsLoading() const { return FLoading; }
    // The present view settings (kept across reads for the keys a file lacks).
    TDocumentSettings &ViewSettings() { return FViewSettings; }
    // The chosen language, empty when its file does not exist.
    const QString &Language() const { return FLanguage; }
    // After loading, overlapping bars are separated once.
    bool FInitialDeOverlap = false;
    // What every watcher made from now on sees of the sharing folder (tests give a
    // stale view) and how long a save lets the others' records settle there.
    void SetShareFileSystem(std::shared_ptr<TShareFileSystem> files);
    void SetSettleTime(std::chrono::milliseconds time);

    // --- commands ---
    // The New command: asks to save records that cannot be stored; false when the
    // user cancels or the save asked for did not happen.
    bool ActionNewExecute();
    // Empties the model and builds the basic document (no question).
    void Reset(TRowIDs ids = TRowIDs::StartAgain);
    bool ActionOpenExecute();
    // Opens a document file; fails when it was not opened: Unreadable with
    // "unknown filetype" for a file that could not be read, "not a regular file"
    // for a pipe, a folder or a device (which is not opened at all), the reason
    // for a file larger than a document may be (not read at all); NotOpened when
    // the file is missing or the user cancelled. A document another instance
    // shows is brought to the front there instead (ok).
    TOpenStatus Open(const QString &fileName);
    // Loads the document (a canonical name), or its newer working copy when the
    // user chooses so. When it fails, the sharing folder it made is removed again.
    TLoadResult Load(const QString &fileName);
    static bool FilesAreIdentical(const QString &a, const QString &b);
    // Reads the document again after another instance saved it: the working copy
    // of the newest working folder, with this instance's records not yet stored
    // on top (they are stored there and applied). The copy is read and loaded
    // into a document of its own first: when it cannot be read or does not load,
    // nothing changes (document, watcher and queued records stay as they were,
    // the reload is still asked for) and it fails with the reason.
    platform::Status Reload();
    // Storing this instance's records failed: the document goes on unnamed, and
    // the records not stored move to the new watcher, which counts as changed,
    // so that closing still asks to save them.
    void ContinueUnnamed();
    bool ActionSaveExecute();
    bool ActionSaveAsExecute();
    // Writes the view settings, the retired copy, the next working copy and the
    // document (a canonical name), then prunes the history. False (logged and
    // shown) on failure.
    bool Save(const QString &fileName);
    // Moves a file or folder to the recycle bin; fails (with the reason) when it
    // cannot, nothing is deleted then.
    platform::Status DeleteFile(const QString &fileName);
    // Prunes the working folders to the setup's history count (at least 10),
    // oldest first.
    void ClearHistory();
    // Replaces the document by the retired copy of working folder `workingDir`,
    // after saving the present state. False when the user declines, the save
    // fails (nothing changes then) or the copy cannot be read.
    bool RevertToFile(const QString &workingDir);
    // "Do you want to save changes ...?" (Yes, No, Cancel).
    int MessageFileNotSaved();
    // The window is about to close: stores this instance's records and asks to
    // save while some could not be stored or the last save failed. False when the
    // user cancels (the window stays open).
    bool CloseQuery() { return StorePendingOrAsk(); }
    // The last save failed (the user was told); closing asks again.
    bool SaveFailed() const { return FSaveFailed; }

    // --- per-document settings (the user's settings file in the sharing folder) ---
    bool SaveFileIni();
    void LoadFileIni();
    // Switches the language of the program; an unnamed document without pending
    // records is rebuilt so that its basic columns carry the new language.
    void SetLanguage(const QString &name);

private:
    friend class TDocumentSave; // the save's steps
    // With `copyDocument` false, a sharing folder that starts anew is left
    // without its working copy (the open writes it from the bytes it reads).
    void ReplaceWatcher(const QString &fileName, bool copyDocument = true);
    // Stores this instance's pending records; asks to save those that cannot be
    // stored. False when the command must stop.
    bool StorePendingOrAsk();
    // Writes the document file with `write` (the same bytes as the working copy
    // just saved); the file it replaces goes to the recycle bin. Touches no
    // window: a save runs it off the main thread.
    using TFileWriter = std::function<bool(const QString &fileName, QString &error)>;
    bool ReplaceDocumentFile(
        const QString &fileName, const QString &retiredDir, const TFileWriter &write, QString &error);
    // A step of the save on a worker while the window waits (and paints).
    void RunOffMainThread(const std::function<void(TSaveWork &)> &step);
    // Load's steps; Load takes back what they made when they fail.
    TLoadResult LoadSteps(const QString &fileName);
    bool LoadAsBase(const QString &name, bool *cancelled);
    bool LoadRead(TDocumentRead &read, bool base, bool *cancelled);
    TLoadResult ImportFrom(const QString &fileName);
    void InitialDeOverlap();
    // The document keeps the chart's column width and zoom of the view settings.
    void TakeChartView();

    Document &FDocument;
    IDocumentCommandsHost FDefaultHost;
    IDocumentCommandsHost *FHost;
    std::unique_ptr<TDirWatchThread> FDirWatchThread;
    quint64 FWatchers = 0; // watchers made so far: tells a replaced watcher from its successor
    TImportFrom FImportFrom;
    TDocumentSettings FViewSettings;
    QString FLanguage;
    std::shared_ptr<TShareFileSystem> FShareFiles;
    std::chrono::milliseconds FSettleTime;
    // The working folder the last save retired (its copies hold the document's
    // previous version).
    QString FRetiredDir;
    bool FLoading = false;
    QString FLoadFailure; // why the last Load failed by an exception, for the user
    bool FSaveFailed = false;
};
