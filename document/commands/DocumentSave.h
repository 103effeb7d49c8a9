#pragma once

#include "platform/AtomicFile.h"
#include "platform/HeldFolder.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>
#include <chrono>
#include <memory>
#include <utility>

class TDocumentCommands;
class TDirWatchThread;

// One save of the shared document under a name, in the steps every instance
// follows (docs/sharing.md tells the whole protocol):
//   store and fetch  - the own records stored, the others' applied;
//   lock             - the working folder's copy written as ".locked";
//   wait             - the settling time for late records, other saves followed;
//   next folder      - the next numbered folder made here alone;
//   write copies     - the list of what was read and the new working copy;
//   commit or undo   - the next folder entered and the document file replaced,
//                      or what was made taken back.
// The waits hand the window's event loop the time (the host holds back input).
class TDocumentSave {
public:
    TDocumentSave(TDocumentCommands &commands, const QString &name, QString &error);
    ~TDocumentSave();
    TDocumentSave(const TDocumentSave &) = delete;
    TDocumentSave &operator=(const TDocumentSave &) = delete;

    bool Run();
    // The save failed because the document's sharing folder was refused or
    // replaced: nothing was written there, and only another name can be saved.
    bool ShareUnusable() const { return FShareUnusable; }

    // How long a save waits for a folder another save is making (5 s). Tests that
    // lower the settling time lower this with it, keeping their ratio.
    static void SetPatience(std::chrono::milliseconds time);

private:
    enum class TStep { Done, Again, Failed };

    bool EnterDocument();
    bool StoreAndFetch();
    bool Lock();
    TStep WaitForConcurrentSaves();
    TStep MakeNextFolder();
    bool WriteCopies();
    bool Commit();
    void Undo();

    TDirWatchThread &Watcher() const;
    // Another instance saved meanwhile: its document becomes the base.
    bool StartFromTheirDocument();
    // The document serialised, once per state of what it holds (on a worker).
    // With `streamTo`, a new state's bytes go to that file as they are made.
    const QByteArray &DocumentBytes(platform::AtomicFileWriter *streamTo = nullptr);
    bool BytesCurrent() const;
    // Writes the document's bytes as `file`: the first file of a state gets them
    // written, every later one is a copy the file system makes of that one.
    // With `copy`, a copy of the first file stays open in it.
    bool WriteDocument(const QString &file, int progress, platform::TFd *copy = nullptr);
    // The rows the watcher needs of the working copy this save writes, made from
    // the document beside its bytes (on a thread of their own), finished before
    // anything may change the document again.
    void StartSavedRows();
    void FinishSavedRows();
    void OfferSavedRows();
    void Wait(int milliseconds);

    TDocumentCommands &FCommands;
    const QString FName;
    QString &FError;
    QByteArray FBytes;
    std::pair<quint64, quint64> FBytesOf { 0, 0 };
    // The file written with FBytes, held open: the source of the copies (a file
    // renamed over its path meanwhile does not become one).
    platform::TFd FWritten;
    platform::TFd FWorkingCopy; // the next folder's, as written
    struct TSavedRows;
    std::unique_ptr<TSavedRows> FSavedRows;
    // The document file's new content, written beside the working copy.
    std::unique_ptr<platform::AtomicFileWriter> FDocumentFile;
    bool FReloaded = false;
    bool FLockedHere = false;
    bool FSettled = false;
    QElapsedTimer FWaited; // since the settling (after each reload, the new one)
    QString FNextName;
    QString FRetired;
    bool FShareUnusable = false;
    QString FRecoveryFile; // of the watcher the save started with
};
