#include "platform/AtomicFile.h"

#include "platform/HeldFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/fs.h>
#include <mutex>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

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

// Renames a flushed temporary file over the entry `name` of the folder `dir` and
// makes the rename durable; errno tells why when it fails. The path is for the
// fault hooks.
bool renameIntoPlace(
    int dir, const QByteArray &temp, const QByteArray &name, const QString &path, const FileFaults &faults)
{
    errno = EIO;
    if (faults.failRename && faults.failRename(path))
        return false;
    if (::renameat(dir, temp.constData(), dir, name.constData()) != 0)
        return false;
    ::fsync(dir);
    return true;
}

// Copies `size` bytes of `source` from its start to the end of `target`: in the
// kernel where both files' file systems allow it, else through a buffer.
bool copyContent(int source, int target, qint64 size)
{
    loff_t from = 0;
    while (from < size) {
        const ssize_t n = ::copy_file_range(source, &from, target, nullptr, size_t(size - from), 0);
        if (n > 0)
            continue;
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EXDEV && errno != ENOSYS && errno != EOPNOTSUPP && errno != EINVAL)
            return false;
        break; // not offered here (or the source ended early): the plain way
    }
    std::vector<char> buffer;
    while (from < size) {
        buffer.resize(std::size_t(std::min<qint64>(size - from, 1 << 20)));
        const ssize_t n = ::pread(source, buffer.data(), buffer.size(), from);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO; // the source was cut short meanwhile
            return false;
        }
        if (!writeAll(target, buffer.data(), n))
            return false;
        from += n;
    }
    return true;
}

} // namespace

WriteResult writeFileAtomically(const QString &path, const QByteArray &bytes)
{
    AtomicFileWriter file(path);
    file.write(bytes.constData(), bytes.size());
    return file.commit();
}

WriteResult writeFileAtomically(const QString &path, const QByteArray &bytes, TFd &kept)
{
    AtomicFileWriter file(path);
    file.write(bytes.constData(), bytes.size());
    return file.commit(&kept);
}

WriteResult copyFileAtomically(int source, const QString &path, TFd *kept)
{
    AtomicFileWriter file(path);
    file.copyFrom(source);
    return file.commit(kept);
}

AtomicFileWriter::AtomicFileWriter(const QString &path)
    : path_(path)
    , faults_(currentFaults())
{
    // The temporary file is made, and renamed, inside the folder the target's
    // path leads to when it is opened here: no link swapped in later is followed.
    const QString temp = temporaryPathFor(path);
    TEntryAt at = locateEntry(path);
    if (!at.Ok()) {
        errno = at.error ? at.error : ENOENT;
        fail("cannot create", temp);
        return;
    }
    dir_ = std::move(at.folder);
    name_ = at.name;
    const QByteArray tempName = QFile::encodeName(QFileInfo(temp).fileName());
    fd_ = ::openat(
        dir_.Get(), tempName.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd_ < 0) {
        fail("cannot create", temp);
    } else {
        temp_ = temp;
        tempName_ = tempName;
    }
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
    if (!temp_.isEmpty()) {
        temp_.clear();
        ::unlinkat(dir_.Get(), tempName_.constData(), 0);
    }
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

void AtomicFileWriter::askFaults(qint64 size)
{
    // The answers are kept; the hooks themselves are not called again.
    FileFaults answers;
    if (faults_.shortWrite) {
        if (const qint64 limit = faults_.shortWrite(path_, size); limit >= 0)
            answers.shortWrite = [limit](const QString &, qint64) { return limit; };
    }
    if (faults_.failRename && faults_.failRename(path_))
        answers.failRename = [](const QString &) { return true; };
    faults_ = std::move(answers);
}

bool AtomicFileWriter::copyFrom(int source)
{
    if (!ok())
        return false;
    struct stat info { };
    if (::fstat(source, &info) != 0)
        return fail("cannot read the source of", temp_);
    const qint64 size = info.st_size;
    if (faults_.shortWrite) {
        const qint64 limit = faults_.shortWrite(path_, size);
        if (limit >= 0) {
            copyContent(source, fd_, std::min(limit, size));
            errno = ENOSPC;
            return fail("cannot write", temp_);
        }
    }
    // A file system that shares extents makes the whole copy at once; the new
    // file is still empty, as the clone requires.
    if (::ioctl(fd_, FICLONE, source) == 0)
        return true;
    return copyContent(source, fd_, size) || fail("cannot write", temp_);
}

bool AtomicFileWriter::startWriteback()
{
    if (!ok())
        return false;
    // Only a hint: where the file system cannot, the commit's flush does it all.
    ::sync_file_range(fd_, 0, 0, SYNC_FILE_RANGE_WRITE);
    return true;
}

bool AtomicFileWriter::flush()
{
    return ok() && (::fsync(fd_) == 0 || fail("cannot flush", temp_));
}

WriteResult AtomicFileWriter::commit(TFd *kept)
{
    // Each step runs only when the one before succeeded; the first failure's
    // text is the reason.
    if (ok() && ::fsync(fd_) != 0)
        fail("cannot flush", temp_);
    TFd open;
    if (ok()) {
        open = TFd(std::exchange(fd_, -1));
        if (!kept && ::close(open.Release()) != 0)
            fail("cannot close", temp_);
    }
    if (ok() && !renameIntoPlace(dir_.Get(), tempName_, name_, path_, faults_))
        fail("cannot rename onto", path_);
    if (!ok())
        return WriteResult::failure(error_);
    temp_.clear();
    if (kept)
        *kept = std::move(open);
    return {};
}

QString temporaryPathFor(const QString &path)
{
    const QFileInfo info(path);
    return info.absolutePath() + QLatin1String("/.") + info.fileName() + QLatin1Char('.')
        + QString::number(QRandomGenerator::global()->generate(), 16) + QLatin1String(".tmp~");
}

WriteResult commitTemporaryFile(const QString &temp, const QString &path)
{
    const TEntryAt at = locateEntry(path);
    const QByteArray tempName = QFile::encodeName(QFileInfo(temp).fileName());
    QString error;
    const TFd fd(at.Ok() ? ::openat(at.Dir(), tempName.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC) : -1);
    if (!fd.Valid()) {
        if (!at.Ok())
            errno = at.error ? at.error : ENOENT;
        error = errnoText("cannot open", temp);
    } else if (::fsync(fd.Get()) != 0) {
        error = errnoText("cannot flush", temp);
    }
    if (error.isEmpty() && !renameIntoPlace(at.Dir(), tempName, at.name, path, currentFaults()))
        error = errnoText("cannot rename onto", path);
    if (!error.isEmpty()) {
        if (at.Ok())
            ::unlinkat(at.Dir(), tempName.constData(), 0);
        return WriteResult::failure(error);
    }
    return {};
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
