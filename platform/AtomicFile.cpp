#include "platform/AtomicFile.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <unistd.h>

namespace platform {

namespace {

std::mutex faultsMutex;
FileFaults activeFaults;

FileFaults currentFaults()
{
    std::lock_guard lock(faultsMutex);
    return activeFaults;
}

QString errnoText(const char *what, const QString &path)
{
    return QStringLiteral("%1 %2: %3")
        .arg(QLatin1String(what), path, QString::fromLocal8Bit(std::strerror(errno)));
}

bool writeAll(int fd, const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(size));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

void syncFolder(const QString &folder)
{
    const int dfd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
}

} // namespace

QString temporaryPathFor(const QString &path)
{
    const QFileInfo info(path);
    return info.absolutePath() + QLatin1String("/.") + info.fileName() + QLatin1Char('.')
        + QString::number(QRandomGenerator::global()->generate(), 16) + QLatin1String(".tmp~");
}

WriteResult writeFileAtomically(const QString &path, const QByteArray &bytes)
{
    const QString temp = temporaryPathFor(path);
    const FileFaults faults = currentFaults();

    const QByteArray tempName = QFile::encodeName(temp);
    const int fd = ::open(tempName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return { false, errnoText("cannot create", temp) };

    qint64 toWrite = bytes.size();
    bool injectedShort = false;
    if (faults.shortWrite) {
        const qint64 limit = faults.shortWrite(path, bytes.size());
        if (limit >= 0) {
            toWrite = std::min(limit, toWrite);
            injectedShort = true;
        }
    }

    bool ok = writeAll(fd, bytes.constData(), toWrite);
    if (injectedShort) {
        errno = ENOSPC;
        ok = false;
    }
    QString error;
    if (!ok)
        error = errnoText("cannot write", temp);
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = errnoText("cannot close", temp);
    }
    if (!ok) {
        ::unlink(tempName.constData());
        return { false, error };
    }
    return commitTemporaryFile(temp, path);
}

WriteResult commitTemporaryFile(const QString &temp, const QString &path)
{
    const QFileInfo info(path);
    const FileFaults faults = currentFaults();
    const QByteArray tempName = QFile::encodeName(temp);
    QString error;
    const int fd = ::open(tempName.constData(), O_RDONLY | O_CLOEXEC);
    bool ok = fd >= 0;
    if (!ok)
        error = errnoText("cannot open", temp);
    if (ok && ::fsync(fd) != 0) {
        ok = false;
        error = errnoText("cannot flush", temp);
    }
    if (fd >= 0)
        ::close(fd);
    if (ok && faults.failRename && faults.failRename(path)) {
        errno = EIO;
        ok = false;
        error = errnoText("cannot rename onto", path);
    }
    if (ok && ::rename(tempName.constData(), QFile::encodeName(info.absoluteFilePath()).constData()) != 0) {
        ok = false;
        error = errnoText("cannot rename onto", path);
    }
    if (!ok) {
        ::unlink(tempName.constData());
        return { false, error };
    }
    syncFolder(info.absolutePath());
    return { true, {} };
}

ScopedFileFaults::ScopedFileFaults(FileFaults faults)
{
    std::lock_guard lock(faultsMutex);
    FPrevious = std::move(activeFaults);
    activeFaults = std::move(faults);
}

ScopedFileFaults::~ScopedFileFaults()
{
    std::lock_guard lock(faultsMutex);
    activeFaults = std::move(FPrevious);
}

} // namespace platform
