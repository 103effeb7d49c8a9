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

// Renames a flushed temporary file over `path` and makes the rename durable; errno
// tells why when it fails.
bool renameIntoPlace(const QString &temp, const QString &path, const FileFaults &faults)
{
    errno = EIO;
    if (faults.failRename && faults.failRename(path))
        return false;
    if (::rename(QFile::encodeName(temp).constData(),
            QFile::encodeName(QFileInfo(path).absoluteFilePath()).constData())
        != 0)
        return false;
    syncFolder(QFileInfo(path).absolutePath());
    return true;
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
    const QString temp = temporaryPathFor(path);
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
    if (!renameIntoPlace(temp_, path_, faults_))
        return { fail("cannot rename onto", path_), error_ };
    temp_.clear();
    return { true, {} };
}

QString temporaryPathFor(const QString &path)
{
    const QFileInfo info(path);
    return info.absolutePath() + QLatin1String("/.") + info.fileName() + QLatin1Char('.')
        + QString::number(QRandomGenerator::global()->generate(), 16) + QLatin1String(".tmp~");
}

WriteResult commitTemporaryFile(const QString &temp, const QString &path)
{
    const QByteArray tempName = QFile::encodeName(temp);
    QString error;
    const int fd = ::open(tempName.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        error = errnoText("cannot open", temp);
    else if (::fsync(fd) != 0)
        error = errnoText("cannot flush", temp);
    if (fd >= 0)
        ::close(fd);
    if (error.isEmpty() && !renameIntoPlace(temp, path, currentFaults()))
        error = errnoText("cannot rename onto", path);
    if (!error.isEmpty()) {
        ::unlink(tempName.constData());
        return { false, error };
    }
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
