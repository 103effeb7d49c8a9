#include "platform/RegularFile.h"

#include "platform/HeldFolder.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

QString errnoText(const QString &path, int code)
{
    return QStringLiteral("Cannot open %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(code)));
}

void setText(QString *out, const QString &text)
{
    if (out)
        *out = text;
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

bool openRegularFile(QFile &file, const QString &path, Links links, QString *error, bool *missing)
{
    if (missing)
        *missing = false;
    // Non-blocking: opening a pipe for reading would otherwise wait for a writer.
    int flags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
    // Below a held folder neither the way there nor the file itself is followed.
    const TEntryAt at = locateEntry(path);
    if (links == Links::Refuse || at.held)
        flags |= O_NOFOLLOW;
    const int fd = at.Ok() ? ::openat(at.Dir(), at.name.constData(), flags) : -1;
    if (fd < 0) {
        const int code = at.Ok() ? errno : (at.error ? at.error : ENOENT);
        if (code == ENOENT && missing)
            *missing = true;
        setText(error,
            code == ELOOP && (links == Links::Refuse || at.held)
                ? QStringLiteral("%1 is a symbolic link, not a file of its own").arg(path)
                : errnoText(path, code));
        return false;
    }
    struct stat info { };
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        setText(error, QStringLiteral("%1 is not a regular file").arg(path));
        return false;
    }
    // Reading a plain file never waits; the flag only mattered for opening.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        setText(error, QStringLiteral("Cannot read %1: %2").arg(path, file.errorString()));
        return false;
    }
    return true;
}

ReadResult readRegularFile(const QString &path, Links links, qint64 maxBytes)
{
    ReadResult result;
    QFile file;
    if (!openRegularFile(file, path, links, &result.error, &result.missing))
        return result;
    if (maxBytes >= 0 && file.size() > maxBytes) {
        result.tooLarge = true;
        result.error = QStringLiteral("%1 is larger than %2 bytes").arg(path).arg(maxBytes);
        return result;
    }
    result.bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.error = QStringLiteral("Cannot read %1: %2").arg(path, file.errorString());
        result.bytes.clear();
        return result;
    }
    // The file may have grown since its size was looked at.
    if (maxBytes >= 0 && result.bytes.size() > maxBytes) {
        result.tooLarge = true;
        result.error = QStringLiteral("%1 is larger than %2 bytes").arg(path).arg(maxBytes);
        result.bytes.clear();
        return result;
    }
    result.ok = true;
    return result;
}

} // namespace platform
