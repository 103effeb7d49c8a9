#include "document/sharing/FileMenuScan.h"

#include "document/sharing/DirWatch.h"
#include "document/sharing/SharingFiles.h"
#include "platform/RegularFile.h"

#include <QDateTime>
#include <QDir>
#include <algorithm>

namespace {

constexpr qint64 kPresenceMs = 60 * 1000;
const QString kUserSuffix = QStringLiteral(".user");

// False for a time outside the calendar (a file stamped in the year 30000).
bool localDateTime(qint64 msecsSinceEpoch, TDateTime &out)
{
    const QDateTime time = QDateTime::fromMSecsSinceEpoch(msecsSinceEpoch).toLocalTime();
    const QDate d = time.date();
    const QTime t = time.time();
    TDateTime date = 0, dayTime = 0;
    if (!TryEncodeDate(d.year(), d.month(), d.day(), date)
        || !TryEncodeTime(t.hour(), t.minute(), t.second(), t.msec(), dayTime))
        return false;
    out = date + dayTime;
    return true;
}

} // namespace

TFileMenuScanSource FileMenuScanSource(const TDirWatchThread &watcher)
{
    if (watcher.Filename().isEmpty())
        return {};
    // The lock file's name as the watcher makes it, taken from any working folder.
    const QString folder = QStringLiteral("0");
    return { watcher.GetTmpDirectory(),
        QDir(watcher.GetWorkingDir(folder)).relativeFilePath(watcher.GetLockedFileName(folder)),
        watcher.FileIdentity() };
}

TFileMenuItems ScanSharingFolder(const TFileMenuScanSource &source, qint64 nowMs)
{
    TFileMenuItems items;
    if (source.sharingFolder.isEmpty())
        return items;

    for (const TFoundFile &file : ListFiles(source.sharingFolder, QLatin1Char('*') + kUserSuffix)) {
        const qint64 written = GetFileTime(source.sharingFolder + file.name);
        if (written < 0 || nowMs - written >= kPresenceMs)
            continue;
        const QString user = file.name.chopped(kUserSuffix.size());
        items.clients.push_back({ user, user == source.identity });
    }

    std::vector<TRevertFile> reverts;
    for (const TFoundFile &folder : ListDirectories(source.sharingFolder)) {
        // Only a lock file of the folder's own can be reverted to, never a link.
        const QString lock = source.sharingFolder + folder.name + QLatin1Char('/') + source.lockFileName;
        const qint64 locked = platform::isRegularFile(lock, platform::Links::Refuse) ? GetFileTime(lock) : -1;
        TDateTime date = 0;
        if (locked >= 0 && localDateTime(locked, date))
            reverts.push_back({ folder.name, date, folder.name.endsWith(QLatin1Char('~')) });
    }
    std::stable_sort(reverts.begin(), reverts.end(),
        [](const TRevertFile &a, const TRevertFile &b) { return a.date > b.date; });
    items.reverts.reserve(reverts.size());
    for (TRevertFile &file : reverts) {
        QString caption = RevertCaption(file);
        QString hint = file.filename;
        items.reverts.push_back({ std::move(file), std::move(caption), std::move(hint) });
    }
    return items;
}

QString RevertCaption(const TRevertFile &file)
{
    return QLatin1Char('-') + file.filename + QStringLiteral("-    ") + DateTimeToStr(file.date)
        + (file.autosave ? QStringLiteral(" *") : QString());
}
