#pragma once

#include "platform/Result.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>
#include <utility>

struct stat;

namespace platform {

// A file descriptor, closed with its owner.
class TFd {
public:
    TFd() = default;
    explicit TFd(int fd)
        : FFd(fd)
    { }
    ~TFd() { Reset(); }
    TFd(TFd &&other) noexcept
        : FFd(std::exchange(other.FFd, -1))
    { }
    TFd &operator=(TFd &&other) noexcept;
    TFd(const TFd &) = delete;
    TFd &operator=(const TFd &) = delete;

    int Get() const { return FFd; }
    bool Valid() const { return FFd >= 0; }
    void Reset();
    // Hands the descriptor to another owner (such as a listing that closes it).
    int Release() { return std::exchange(FFd, -1); }

private:
    int FFd = -1;
};

// A folder that others can write, held open from the moment it is accepted. While
// one is held, every path below its path text is taken relative to the open
// folder, one component at a time, and no symbolic link on the way is followed:
// the platform's file functions (RegularFile, AtomicFile and those below) do so
// for any path they are given. Someone who replaces the folder, or a folder
// inside it, by a link to a folder of theirs makes those calls fail, never
// leads them there.
class THeldFolder {
public:
    // Opens `base` (the user's own folder, by its path) and then each name of
    // `below` inside the one before without following a link, making the
    // missing ones with `create`. Fails, with the reason, when one is something
    // else than a folder of its own.
    static Result<std::shared_ptr<THeldFolder>> Open(
        const QString &base, const QStringList &below, bool create);
    ~THeldFolder();
    THeldFolder(const THeldFolder &) = delete;
    THeldFolder &operator=(const THeldFolder &) = delete;

    // The path the folder was opened by (no trailing "/").
    const QString &Path() const { return FPath; }
    int Fd() const { return FFd.Get(); }
    // The path still leads, without a link, to the very folder held open. Fails,
    // saying what stands there now, once anything else was put in its place.
    Status StillInPlace() const;

private:
    THeldFolder(QString base, QStringList below, QString path, TFd fd);

    const QString FBase;
    const QStringList FBelow;
    const QString FPath;
    TFd FFd;
};

// Where a path leads: the open folder that holds its last component and that
// component's name ("." for the folder itself). Below a held folder each
// component is opened inside the one before without following a link; elsewhere
// the parent folder is opened by its path, as the path's owner set it up.
struct TEntryAt {
    TFd folder;
    QByteArray name;
    int error = 0; // errno when the way there is closed (ELOOP, ENOTDIR: a link)
    bool held = false; // below a held folder: the name itself is never followed either
    bool Ok() const { return error == 0 && folder.Valid(); }
    int Dir() const { return folder.Get(); }
};
TEntryAt locateEntry(const QString &path);
// The path lies below (or is) a folder held open.
bool isBelowHeldFolder(const QString &path);

// File operations on the entry itself, through locateEntry: links are never
// followed below a held folder, and the last component is never followed at all.
// errno tells why one failed.
bool statEntry(const QString &path, struct stat &info);
bool makeFolder(const QString &path);
bool removeFile(const QString &path);
bool removeFolder(const QString &path);
// The folder and everything in it; a link inside is removed, not followed.
bool removeTree(const QString &path);
// A new file (fails when anything has the name), open for writing.
TFd createExclusive(const QString &path);
// Opens a folder for listing (a link in its place is refused).
TFd openFolder(const QString &path);
// A second name `to` for the plain file at `from` (a link in its place is
// refused); fails where the file system makes none (a share without them).
bool linkFile(const QString &from, const QString &to);
// Sets a plain file's time to now (a link in its place is not touched).
bool touchFile(const QString &path);

} // namespace platform
