#include "platform/AtomicFile.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <unistd.h>
#include <utility>

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

WriteResult writeFileAtomically(const QString &path, const QByteArray &bytes)
{
    AtomicFileWriter file(path);
    file.write(bytes.constData(), bytes.size());
    return file.commit();
}

AtomicFileWriter::AtomicFileWriter(const QString &path)
    : path_(path)
    , faults_(currentFaults())
{
    const QFileInfo info(path);
    const QString temp = info.absolutePath() + QLatin1String("/.") + info.fileName() + QLatin1Char('.')
        + QString::number(QRandomGenerator::global()->generate(), 16) + QLatin1String(".tmp~");
    fd_ = ::open(QFile::encodeName(temp).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ < 0)
        fail("cannot create", temp);
    else
        temp_ = temp;
}

AtomicFileWriter::~AtomicFileWriter()
{
    discard();
}

bool AtomicFileWriter::fail(const char *what, const QString &path)
{
    if (error_.isEmpty())
        error_ = errnoText(what, path);
    discard();
    return false;
}

void AtomicFileWriter::discard()
{
    if (fd_ >= 0)
        ::close(std::exchange(fd_, -1));
    if (!temp_.isEmpty())
        ::unlink(QFile::encodeName(std::exchange(temp_, QString())).constData());
}

bool AtomicFileWriter::write(const char *data, qint64 size)
{
    if (!ok())
        return false;
    if (faults_.shortWrite) {
        const qint64 limit = faults_.shortWrite(path_, size);
        if (limit >= 0) {
            writeAll(fd_, data, std::min(limit, size));
            errno = ENOSPC;
            return fail("cannot write", temp_);
        }
    }
    return writeAll(fd_, data, size) || fail("cannot write", temp_);
}

WriteResult AtomicFileWriter::commit()
{
    if (!ok())
        return { false, error_ };
    if (::fsync(fd_) != 0)
        return { fail("cannot flush", temp_), error_ };
    if (::close(std::exchange(fd_, -1)) != 0)
        return { fail("cannot close", temp_), error_ };
    errno = EIO;
    if ((faults_.failRename && faults_.failRename(path_))
        || ::rename(QFile::encodeName(temp_).constData(),
               QFile::encodeName(QFileInfo(path_).absoluteFilePath()).constData())
            != 0)
        return { fail("cannot rename onto", path_), error_ };
    temp_.clear();
    syncFolder(QFileInfo(path_).absolutePath());
    return { true, {} };
}

ScopedFileFaults::ScopedFileFaults(FileFaults faults)
{
    std::lock_guard lock(faultsMutex);
    previous_ = std::move(activeFaults);
    activeFaults = std::move(faults);
}

ScopedFileFaults::~ScopedFileFaults()
{
    std::lock_guard lock(faultsMutex);
    activeFaults = std::move(previous_);
}

} // namespace platform
