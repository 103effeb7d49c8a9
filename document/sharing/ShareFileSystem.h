#pragma once

#include "document/sharing/SharingFiles.h"

#include <QString>
#include <chrono>
#include <memory>
#include <vector>

// What the sharing layer learns about the sharing folder without reading a file:
// listings, whether a file exists, its time; and the clock it waits by.
//
// On a network share each client keeps listings and attributes for a while (one
// second is common, some keep them far longer), so every answer may be old and
// each instance may see another state. Correctness never rests on these answers
// being fresh: files are read by opening them, and whatever must be seen by
// everyone is given time to settle. Tests put a stale view here.
class TShareFileSystem {
public:
    virtual ~TShareFileSystem() = default;

    virtual std::vector<TFoundFile> ListFiles(const QString &dir, const QString &mask);
    virtual std::vector<TFoundFile> ListDirectories(const QString &dir);
    // A plain file or a folder of its own is there (a symbolic link, a pipe is not
    // taken for one).
    virtual bool Exists(const QString &path);
    // Last-write time in milliseconds since 1970; -1 when the file is missing.
    virtual qint64 FileTime(const QString &path);
    // This instance wrote, made or removed `path`: a client sees its own changes
    // at once.
    virtual void Changed(const QString &path) { }

    // A steady clock in milliseconds, and a wait by it.
    virtual qint64 NowMs();
    virtual void Sleep(std::chrono::milliseconds time);

    // The file system as it is (shared by everything that does not set another).
    static std::shared_ptr<TShareFileSystem> Real();
};
