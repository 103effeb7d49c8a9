#include "platform/RegularFile.h"

#include "platform/HeldFolder.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

QString errnoText(const QString &path, int code)
{
    return QStringLiteral("Cannot open %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(code)));
}

} // namespace

QByteArray entryName(const QString &path)
{
    // A trailing "/" would make lstat look through a link to the folder it names.
    QString name = path;
    while (name.size() > 1 && name.endsWith(QLatin1Char('/')))
        name.chop(1);
    return QFile::encodeName(name);
}

bool isRealFolder(const QString &path)
{
    struct stat info { };
    return statEntry(path, info) && S_ISDIR(info.st_mode);
}

bool isRegularFile(const QString &path, Links links)
{
    struct stat info { };
    const TEntryAt at = locateEntry(path);
    const bool follow = links == Links::Follow && !at.held;
    return at.Ok() && ::fstatat(at.Dir(), at.name.constData(), &info, follow ? 0 : AT_SYMLINK_NOFOLLOW) == 0
        && S_ISREG(info.st_mode);
}

bool isRegularFileOrMissing(const QString &path)
{
    struct stat info { };
    if (::lstat(entryName(path).constData(), &info) != 0)
        return errno == ENOENT;
    return S_ISREG(info.st_mode);
}

OpenStatus openRegularFile(QFile &file, const QString &path, Links links)
{
    // Non-blocking: opening a pipe for reading would otherwise wait for a writer.
    int flags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
    // Below a held folder neither the way there nor the file itself is followed.
    const TEntryAt at = locateEntry(path);
    if (links == Links::Refuse || at.held)
        flags |= O_NOFOLLOW;
    // A pipe or a device is refused before it is opened: even a non-blocking
    // open makes this process a pipe's reader for a moment, and a writer
    // waiting there would go on. The check after the open still counts.
    struct stat before { };
    if (at.Ok()
        && ::fstatat(at.Dir(), at.name.constData(), &before, (flags & O_NOFOLLOW) ? AT_SYMLINK_NOFOLLOW : 0)
            == 0
        && !S_ISREG(before.st_mode) && !S_ISLNK(before.st_mode))
        return OpenStatus::failure(QStringLiteral("%1 is not a regular file").arg(path));
    const int fd = at.Ok() ? ::openat(at.Dir(), at.name.constData(), flags) : -1;
    if (fd < 0) {
        const int code = at.Ok() ? errno : (at.error ? at.error : ENOENT);
        return OpenStatus::failure(code == ELOOP && (links == Links::Refuse || at.held)
                ? QStringLiteral("%1 is a symbolic link, not a file of its own").arg(path)
                : errnoText(path, code),
            code == ENOENT ? ReadFailure::Missing : ReadFailure::Unreadable);
    }
    struct stat info { };
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return OpenStatus::failure(QStringLiteral("%1 is not a regular file").arg(path));
    }
    // Reading a plain file never waits; the flag only mattered for opening.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return OpenStatus::failure(QStringLiteral("Cannot read %1: %2").arg(path, file.errorString()));
    }
    return {};
}

ReadResult readRegularFile(const QString &path, Links links, qint64 maxBytes)
{
    QFile file;
    if (const OpenStatus opened = openRegularFile(file, path, links); !opened)
        return opened;
    const auto tooLarge = [&] {
        return ReadResult::failure(
            QStringLiteral("%1 is larger than %2 bytes").arg(path).arg(maxBytes), ReadFailure::TooLarge);
    };
    if (maxBytes >= 0 && file.size() > maxBytes)
        return tooLarge();
    // Read in pieces: one read of a large file into memory not yet touched holds
    // the process's memory map while it runs, and every other thread that maps
    // memory meanwhile (the window's painting) waits for it.
    constexpr qint64 kPiece = qint64(4) << 20;
    QByteArray bytes;
    const qint64 expected = file.size();
    if (expected > 0)
        bytes.reserve(expected + 1);
    // Past the size looked at, the look for growth reads into a small buffer of its
    // own: growing the whole one for it would copy every byte read so far.
    constexpr qint64 kLook = qint64(64) << 10;
    std::unique_ptr<char[]> look;
    for (;;) {
        const qint64 at = bytes.size();
        const bool within = at < expected;
        const qint64 piece = within ? std::min(kPiece, expected - at) : kLook;
        if (!within && !look)
            look = std::make_unique<char[]>(std::size_t(kLook));
        if (within)
            bytes.resize(at + piece);
        const qint64 got = file.read(within ? bytes.data() + at : look.get(), piece);
        if (got < 0)
            return ReadResult::failure(QStringLiteral("Cannot read %1: %2").arg(path, file.errorString()));
        if (within)
            bytes.resize(at + got);
        else if (got > 0)
            bytes.append(look.get(), got);
        if (got == 0 || (maxBytes >= 0 && bytes.size() > maxBytes))
            break;
    }
    // The file may have grown since its size was looked at.
    if (maxBytes >= 0 && bytes.size() > maxBytes)
        return tooLarge();
    return bytes;
}

} // namespace platform
