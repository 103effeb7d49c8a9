#include "document/sharing/SharingFiles.h"

#include "document/program/Log.h"
#include "platform/AtomicFile.h"
#include "platform/HeldFolder.h"
#include "platform/RegularFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTimeZone>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <mutex>
#include <sys/stat.h>

namespace {

TDateTime toDateTime(const QDateTime &time)
{
    if (!time.isValid())
        return 0;
    const QDateTime local = time.toLocalTime();
    const QDateTime epoch(QDate(1899, 12, 30), QTime(0, 0), local.timeZone());
    return double(epoch.msecsTo(local)) / 86400000.0;
}

// Creation (or, where unknown, last-write) time of the entry `name` of the open
// folder `dir`.
TDateTime createdTime(int dir, const char *name)
{
    struct statx info { };
    if (::statx(dir, name, AT_SYMLINK_NOFOLLOW, STATX_BTIME | STATX_MTIME, &info) != 0)
        return 0;
    const statx_timestamp &time = (info.stx_mask & STATX_BTIME) ? info.stx_btime : info.stx_mtime;
    return toDateTime(QDateTime::fromMSecsSinceEpoch(qint64(time.tv_sec) * 1000 + time.tv_nsec / 1000000));
}

// What lstat tells of the entry itself; false when it is missing. Below the held
// sharing folder no link on the way is followed either.
bool entryInfo(const QString &name, struct stat &info)
{
    return platform::statEntry(name, info);
}

// Each entry that is passed over is logged once: listings run every second.
void logIgnored(const QString &path, const QString &why)
{
    static std::mutex mutex;
    static QSet<QString> logged;
    {
        std::lock_guard lock(mutex);
        if (logged.contains(path))
            return;
        logged.insert(path);
    }
    Log(QStringLiteral("%1 is ignored: %2").arg(path, why));
}

QString kindOf(mode_t mode)
{
    if (S_ISLNK(mode))
        return QStringLiteral("a symbolic link, not an entry of the sharing folder itself");
    if (S_ISDIR(mode))
        return QStringLiteral("a folder");
    return QStringLiteral("not a regular file");
}

// The entries of `dir` of the type `type` (S_IFREG, S_IFDIR) as lstat tells it, with
// names that match the wildcard `mask` (none: all but "." and ".."). Symbolic links
// are passed over and logged, and so are other entries that match a mask.
std::vector<TFoundFile> list(const QString &dir, const QString &mask, mode_t type)
{
    std::vector<TFoundFile> found;
    // Opened as the entry itself (below the held sharing folder without following
    // any link); closedir closes the descriptor.
    platform::TFd opened = platform::openFolder(dir);
    DIR *folder = opened.Valid() ? ::fdopendir(opened.Get()) : nullptr;
    if (!folder)
        return found;
    opened.Release();
    const QByteArray pattern = QFile::encodeName(mask);
    const int fd = ::dirfd(folder);
    while (const dirent *entry = ::readdir(folder)) {
        if (mask.isEmpty() ? (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0)
                           : ::fnmatch(pattern.constData(), entry->d_name, FNM_PERIOD) != 0)
            continue;
        struct stat info { };
        if (::fstatat(fd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        const QString name = QFile::decodeName(entry->d_name);
        if ((info.st_mode & S_IFMT) != type) {
            if (S_ISLNK(info.st_mode) || !mask.isEmpty())
                logIgnored(QDir(dir).filePath(name), kindOf(info.st_mode));
            continue;
        }
        found.push_back({ name, qint64(info.st_size), 0 });
        if (mask.isEmpty())
            found.back().created = createdTime(fd, entry->d_name);
    }
    ::closedir(folder);
    std::sort(
        found.begin(), found.end(), [](const TFoundFile &a, const TFoundFile &b) { return a.name < b.name; });
    return found;
}

} // namespace

qint64 GetFileTime(const QString &name)
{
    struct stat info { };
    if (!entryInfo(name, info))
        return -1;
    return qint64(info.st_mtim.tv_sec) * 1000 + info.st_mtim.tv_nsec / 1000000;
}

qint64 GetFileSize(const QString &name)
{
    struct stat info { };
    return entryInfo(name, info) ? qint64(info.st_size) : -1;
}

std::vector<TFoundFile> ListFiles(const QString &dir, const QString &mask)
{
    // Runs every second on every transaction folder: plain directory reading and
    // one lstat per matching name, no more.
    return list(dir, mask, S_IFREG);
}

std::vector<TFoundFile> ListDirectories(const QString &dir)
{
    // A link to a folder elsewhere would carry the sharing out of the sharing
    // folder; other entries are no folders at all and need no word.
    return list(dir, QString(), S_IFDIR);
}

int WorkingFolderNumber(const QString &name)
{
    if (name.isEmpty() || name.size() > 10 || (name.size() > 1 && name.front() == QLatin1Char('0')))
        return -1;
    qint64 number = 0;
    for (const QChar c : name) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return -1;
        number = number * 10 + (c.unicode() - u'0');
    }
    return number < qint64(INT_MAX) ? int(number) : -1;
}

void Touch(const QString &name)
{
    struct stat info { };
    // A link in its place is replaced by a file of its own, never followed.
    if (platform::statEntry(name, info) && S_ISREG(info.st_mode)) {
        if (platform::touchFile(name))
            return;
        Log(QStringLiteral("Touch %1: %2").arg(name, QString::fromLocal8Bit(std::strerror(errno))));
        return;
    }
    if (const platform::WriteResult written = platform::writeFileAtomically(name, QByteArray()); !written)
        Log(QStringLiteral("Touch: ") + written.reason());
}
