#include "document/sharing/SharingFiles.h"

#include "document/program/Log.h"
#include "platform/AtomicFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimeZone>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
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

std::vector<TFoundFile> list(const QString &dir, const QStringList &masks, QDir::Filters filters)
{
    std::vector<TFoundFile> found;
    const QFileInfoList entries
        = QDir(dir).entryInfoList(masks, filters | QDir::Hidden | QDir::System, QDir::Name);
    found.reserve(std::size_t(entries.size()));
    for (const QFileInfo &info : entries) {
        const QDateTime born = info.birthTime();
        found.push_back(
            { info.fileName(), info.size(), toDateTime(born.isValid() ? born : info.lastModified()) });
    }
    return found;
}

} // namespace

qint64 GetFileTime(const QString &name)
{
    const QFileInfo info(name);
    return info.exists() ? info.lastModified().toMSecsSinceEpoch() : -1;
}

qint64 GetFileSize(const QString &name)
{
    const QFileInfo info(name);
    return info.exists() ? info.size() : -1;
}

std::vector<TFoundFile> ListFiles(const QString &dir, const QString &mask)
{
    // Runs every second on every transaction folder: plain directory reading and
    // one stat per matching name, no more.
    std::vector<TFoundFile> found;
    const QByteArray path = QFile::encodeName(dir);
    DIR *folder = ::opendir(path.constData());
    if (!folder)
        return found;
    const QByteArray pattern = QFile::encodeName(mask);
    const int fd = ::dirfd(folder);
    while (const dirent *entry = ::readdir(folder)) {
        if (::fnmatch(pattern.constData(), entry->d_name, FNM_PERIOD) != 0)
            continue;
        struct stat info { };
        if (::fstatat(fd, entry->d_name, &info, 0) != 0 || !S_ISREG(info.st_mode))
            continue;
        found.push_back({ QFile::decodeName(entry->d_name), qint64(info.st_size), 0 });
    }
    ::closedir(folder);
    std::sort(
        found.begin(), found.end(), [](const TFoundFile &a, const TFoundFile &b) { return a.name < b.name; });
    return found;
}

std::vector<TFoundFile> ListDirectories(const QString &dir)
{
    return list(dir, QStringList {}, QDir::Dirs | QDir::NoDotAndDotDot);
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
    const QByteArray path = QFile::encodeName(name);
    if (::utimensat(AT_FDCWD, path.constData(), nullptr, 0) == 0)
        return;
    if (errno != ENOENT) {
        Log(QStringLiteral("Touch %1: %2").arg(name, QString::fromLocal8Bit(std::strerror(errno))));
        return;
    }
    if (const platform::WriteResult written = platform::writeFileAtomically(name, QByteArray()); !written)
        Log(QStringLiteral("Touch: ") + written.error);
}
