#include "platform/RecycleBin.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <atomic>

namespace platform {

namespace {
std::atomic<bool> noRecycleBin { false };
} // namespace

Status moveToRecycleBin(const QString &path)
{
    if (!QFileInfo::exists(path))
        return Status::failure(QStringLiteral("%1 does not exist").arg(path));
    if (noRecycleBin.load())
        return Status::failure(QStringLiteral("no recycle bin for %1").arg(path));
    // Without the user's data folder Qt cannot set up the home trash and moves
    // the file to a "files" folder under the current directory instead.
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    QFile file(path);
    if (file.moveToTrash())
        return {};
    return Status::failure(
        QStringLiteral("%1 cannot be moved to the recycle bin: %2").arg(path, file.errorString()));
}

ScopedNoRecycleBin::ScopedNoRecycleBin()
    : FPrevious(noRecycleBin.exchange(true))
{ }

ScopedNoRecycleBin::~ScopedNoRecycleBin()
{
    noRecycleBin.store(FPrevious);
}

} // namespace platform
