#include "platform/HeldFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace platform {

namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

std::mutex heldMutex;
std::vector<const THeldFolder *> heldFolders;

QString cleaned(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

// The held folder `path` lies in, as a descriptor of its own (the holder may
// close its own meanwhile), and the components below it.
bool findHeld(const QString &path, TFd &fd, QStringList &rest)
{
    std::lock_guard lock(heldMutex);
    for (const THeldFolder *held : heldFolders) {
        const QString &root = held->Path();
        if (path != root && !(path.startsWith(root) && path.at(root.size()) == QLatin1Char('/')))
            continue;
        fd = TFd(::fcntl(held->Fd(), F_DUPFD_CLOEXEC, 0));
        rest = path.mid(root.size()).split(QLatin1Char('/'), Qt::SkipEmptyParts);
        return true;
    }
    return false;
}

QString whyNotOpened(const QString &path, int code)
{
    if (code == ELOOP || code == ENOTDIR)
        return QStringLiteral("%1 is not a folder of its own (a link?)").arg(path);
    return QStringLiteral("%1 cannot be opened: %2").arg(path, QString::fromLocal8Bit(std::strerror(code)));
}

bool removeInside(int dir)
{
    // The listing gets a descriptor of its own, which closedir closes.
    const int listing = ::fcntl(dir, F_DUPFD_CLOEXEC, 0);
    DIR *folder = listing >= 0 ? ::fdopendir(listing) : nullptr;
    if (!folder) {
        if (listing >= 0)
            ::close(listing);
        return false;
    }
    bool all = true;
    std::vector<QByteArray> names;
    while (const dirent *entry = ::readdir(folder)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            names.emplace_back(entry->d_name);
    }
    for (const QByteArray &name : names) {
        struct stat info { };
        if (::fstatat(dir, name.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (S_ISDIR(info.st_mode)) {
            const TFd inner(::openat(dir, name.constData(), kFolderFlags));
            all = inner.Valid() && removeInside(inner.Get()) && all;
            all = ::unlinkat(dir, name.constData(), AT_REMOVEDIR) == 0 && all;
        } else {
            all = ::unlinkat(dir, name.constData(), 0) == 0 && all;
        }
    }
    ::closedir(folder);
    return all;
}

} // namespace

TFd &TFd::operator=(TFd &&other) noexcept
{
    if (this != &other) {
        Reset();
        FFd = std::exchange(other.FFd, -1);
    }
    return *this;
}

void TFd::Reset()
{
    if (FFd >= 0)
        ::close(std::exchange(FFd, -1));
}

Result<std::shared_ptr<THeldFolder>> THeldFolder::Open(
    const QString &base, const QStringList &below, bool create)
{
    QString path = cleaned(base);
    TFd fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd.Valid())
        return Status::failure(whyNotOpened(path, errno));
    for (const QString &name : below) {
        path += QLatin1Char('/') + name;
        const QByteArray encoded = QFile::encodeName(name);
        TFd next(::openat(fd.Get(), encoded.constData(), kFolderFlags));
        if (!next.Valid() && errno == ENOENT && create
            && (::mkdirat(fd.Get(), encoded.constData(), 0777) == 0 || errno == EEXIST))
            next = TFd(::openat(fd.Get(), encoded.constData(), kFolderFlags));
        if (!next.Valid())
            return Status::failure(whyNotOpened(path, errno));
        fd = std::move(next);
    }
    return std::shared_ptr<THeldFolder>(new THeldFolder(base, below, path, std::move(fd)));
}

THeldFolder::THeldFolder(QString base, QStringList below, QString path, TFd fd)
    : FBase(std::move(base))
    , FBelow(std::move(below))
    , FPath(std::move(path))
    , FFd(std::move(fd))
{
    std::lock_guard lock(heldMutex);
    heldFolders.push_back(this);
}

THeldFolder::~THeldFolder()
{
    std::lock_guard lock(heldMutex);
    std::erase(heldFolders, this);
}

Status THeldFolder::StillInPlace() const
{
    auto fail = [](const QString &text) { return Status::failure(text); };
    auto gone = [&fail](const QString &path, int code) {
        if (code == ENOENT)
            return fail(QStringLiteral("%1 was removed").arg(path));
        if (code == ELOOP || code == ENOTDIR)
            return fail(QStringLiteral("%1 was replaced by a symbolic link or something else than a folder")
                            .arg(path));
        return fail(whyNotOpened(path, code));
    };
    QString path = cleaned(FBase);
    TFd fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd.Valid())
        return fail(whyNotOpened(path, errno));
    struct stat now { };
    for (qsizetype i = 0; i < FBelow.size(); ++i) {
        path += QLatin1Char('/') + FBelow.at(i);
        const QByteArray name = QFile::encodeName(FBelow.at(i));
        if (i + 1 < FBelow.size()) {
            TFd next(::openat(fd.Get(), name.constData(), kFolderFlags));
            if (!next.Valid())
                return gone(path, errno);
            fd = std::move(next);
        } else if (::fstatat(fd.Get(), name.constData(), &now, AT_SYMLINK_NOFOLLOW) != 0) {
            return gone(path, errno);
        }
    }
    struct stat held { };
    if (FBelow.isEmpty() || ::fstat(FFd.Get(), &held) != 0)
        return {};
    if (S_ISLNK(now.st_mode))
        return fail(QStringLiteral("%1 was replaced by a symbolic link").arg(FPath));
    if (now.st_dev != held.st_dev || now.st_ino != held.st_ino)
        return fail(QStringLiteral("%1 was replaced by another entry").arg(FPath));
    return {};
}

TEntryAt locateEntry(const QString &path)
{
    TEntryAt at;
    const QString clean = cleaned(path);
    QStringList rest;
    if (!findHeld(clean, at.folder, rest)) {
        const QFileInfo info(clean);
        at.folder = TFd(
            ::open(QFile::encodeName(info.absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        at.name = info.fileName().isEmpty() ? QByteArray(".") : QFile::encodeName(info.fileName());
        if (!at.folder.Valid())
            at.error = errno;
        return at;
    }
    at.held = true;
    if (!at.folder.Valid()) {
        at.error = errno;
        return at;
    }
    at.name = rest.isEmpty() ? QByteArray(".") : QFile::encodeName(rest.takeLast());
    for (const QString &name : std::as_const(rest)) {
        TFd next(::openat(at.folder.Get(), QFile::encodeName(name).constData(), kFolderFlags));
        if (!next.Valid()) {
            at.error = errno;
            at.folder.Reset();
            return at;
        }
        at.folder = std::move(next);
    }
    return at;
}

bool isBelowHeldFolder(const QString &path)
{
    TFd fd;
    QStringList rest;
    return findHeld(cleaned(path), fd, rest);
}

namespace {

// Runs `call` on the located entry; false with errno set when the way is closed.
template <typename F> bool atEntry(const QString &path, F call)
{
    const TEntryAt at = locateEntry(path);
    if (!at.Ok()) {
        errno = at.error ? at.error : ENOENT;
        return false;
    }
    return call(at.Dir(), at.name.constData());
}

} // namespace

bool statEntry(const QString &path, struct stat &info)
{
    return atEntry(path,
        [&](int dir, const char *name) { return ::fstatat(dir, name, &info, AT_SYMLINK_NOFOLLOW) == 0; });
}

bool makeFolder(const QString &path)
{
    return atEntry(path, [](int dir, const char *name) { return ::mkdirat(dir, name, 0777) == 0; });
}

bool removeFile(const QString &path)
{
    return atEntry(path, [](int dir, const char *name) { return ::unlinkat(dir, name, 0) == 0; });
}

bool removeFolder(const QString &path)
{
    return atEntry(path, [](int dir, const char *name) { return ::unlinkat(dir, name, AT_REMOVEDIR) == 0; });
}

bool removeTree(const QString &path)
{
    return atEntry(path, [](int dir, const char *name) {
        const TFd inner(::openat(dir, name, kFolderFlags));
        if (!inner.Valid())
            return false;
        const bool emptied = removeInside(inner.Get());
        return ::unlinkat(dir, name, AT_REMOVEDIR) == 0 && emptied;
    });
}

TFd createExclusive(const QString &path)
{
    TFd fd;
    atEntry(path, [&](int dir, const char *name) {
        fd = TFd(::openat(dir, name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
        return fd.Valid();
    });
    return fd;
}

TFd openFolder(const QString &path)
{
    TFd fd;
    atEntry(path, [&](int dir, const char *name) {
        fd = TFd(::openat(dir, name, kFolderFlags));
        return fd.Valid();
    });
    return fd;
}

bool linkFile(const QString &from, const QString &to)
{
    const TEntryAt source = locateEntry(from);
    const TEntryAt target = locateEntry(to);
    if (!source.Ok() || !target.Ok()) {
        errno = !source.Ok() && source.error ? source.error : target.error ? target.error : ENOENT;
        return false;
    }
    struct stat before {
    }, after {};
    if (::fstatat(source.Dir(), source.name.constData(), &before, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    if (!S_ISREG(before.st_mode)) {
        errno = EINVAL;
        return false;
    }
    if (::linkat(source.Dir(), source.name.constData(), target.Dir(), target.name.constData(), 0) != 0)
        return false;
    // A link put in the file's place meanwhile would have been linked itself.
    if (::fstatat(target.Dir(), target.name.constData(), &after, AT_SYMLINK_NOFOLLOW) == 0
        && after.st_dev == before.st_dev && after.st_ino == before.st_ino)
        return true;
    ::unlinkat(target.Dir(), target.name.constData(), 0);
    errno = EINVAL;
    return false;
}

bool touchFile(const QString &path)
{
    return atEntry(path,
        [](int dir, const char *name) { return ::utimensat(dir, name, nullptr, AT_SYMLINK_NOFOLLOW) == 0; });
}

} // namespace platform
