#pragma once

#include "platform/HeldFolder.h"
#include "platform/Result.h"

#include <QByteArray>
#include <QString>
#include <functional>

namespace platform {

// Writes a whole file without ever rewriting it in place: the bytes go to a
// temporary file in the same folder, are flushed to disk, and the temporary
// file is renamed over the target. A crash at any moment leaves either the old
// or the new file, never a half-written one.
//
// The folder is opened once, when the writer starts (below a held folder without
// following a link on the way); the temporary file and the rename stay in it.
//
// The temporary name starts with "." and ends in ".tmp~" so that it matches no
// pattern a running instance scans for (such as "*.diff" or "*.kez").
using WriteResult = Status;

WriteResult writeFileAtomically(const QString &path, const QByteArray &bytes);
// The same, and `kept` holds the written file open for reading afterwards: a
// copy made from it holds these bytes even if someone renames another file
// over the path meanwhile.
WriteResult writeFileAtomically(const QString &path, const QByteArray &bytes, TFd &kept);
// Writes the whole content of the open file `source` the same way, made by the
// file system where it can (a shared extent, else a copy in the kernel, else
// read and written here). `kept`, when given, holds the new file open.
WriteResult copyFileAtomically(int source, const QString &path, TFd *kept = nullptr);

// For writers that produce the file themselves: a fresh temporary name beside
// `path` (same scheme as above), and the step that flushes such a finished
// temporary file to disk and renames it over `path`. On failure the temporary
// file is removed and the target left as it was.
QString temporaryPathFor(const QString &path);
WriteResult commitTemporaryFile(const QString &temp, const QString &path);

// The seam where tests inject file-layer faults. Each hook, when set, is asked
// before the real operation and may make it fail.
struct FileFaults {
    // Called with the target path and the number of bytes about to be written;
    // returning a value >= 0 makes the write stop after that many bytes (at most
    // all of them) and fail (as on a full disk); -1 lets it through.
    std::function<qint64(const QString &path, qint64 size)> shortWrite;
    // Returning true makes the rename onto the target fail.
    std::function<bool(const QString &path)> failRename;
};

// Installs fault hooks for the lifetime of the guard (tests only).
class ScopedFileFaults {
public:
    explicit ScopedFileFaults(FileFaults faults);
    ~ScopedFileFaults();
    ScopedFileFaults(const ScopedFileFaults &) = delete;
    ScopedFileFaults &operator=(const ScopedFileFaults &) = delete;

private:
    FileFaults previous_;
};

// The same for a file written piece by piece (too large to hold whole): the pieces
// go to the temporary file as they come; commit() flushes it and renames it over
// the target. Until then, and whenever anything fails, the target is untouched;
// the temporary file is removed unless committed.
class AtomicFileWriter {
public:
    explicit AtomicFileWriter(const QString &path);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter &) = delete;
    AtomicFileWriter &operator=(const AtomicFileWriter &) = delete;

    // False once anything failed; the first failure's text is kept.
    bool ok() const { return error_.isEmpty(); }
    const QString &error() const { return error_; }
    bool write(const char *data, qint64 size);
    // Appends the whole content of the open file `source` (the fault hooks see
    // its size as one write).
    bool copyFrom(int source);
    // Asks the fault hooks now, on this thread, about the one write of `size`
    // bytes (or copy) and the commit that follow, which may then run on another
    // thread and fail as the hooks said.
    void askFaults(qint64 size);
    // Has the disk start writing what was written so far, without waiting: a file
    // written while its bytes are still being made finds little left to flush at
    // the commit. False once anything failed.
    bool startWriteback();
    // No fault hooks were installed when the writer started: the sizes of its
    // writes need not be known up front.
    bool unhooked() const { return !faults_.shortWrite && !faults_.failRename; }
    // Flushes what was written to disk ahead of the commit (which then finds
    // little left to flush); false once anything failed.
    bool flush();
    // With `kept`, the committed file stays open (for reading) in it.
    WriteResult commit(TFd *kept = nullptr);

private:
    bool fail(const char *what, const QString &path);
    void discard();

    QString path_;
    QString temp_;
    TFd dir_; // the folder of the target, opened once
    QByteArray name_; // the target's name in it
    QByteArray tempName_;
    FileFaults faults_;
    int fd_ = -1;
    QString error_;
};

} // namespace platform
