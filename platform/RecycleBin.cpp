#include "platform/RecycleBin.h"

#include <QFile>
#include <QFileInfo>
#include <atomic>

namespace platform {

namespace {
std::atomic<bool> noRecycleBin { false };
} // namespace

bool moveToRecycleBin(const QString &path, QString *error)
{
    if (!QFileInfo::exists(path)) {
        if (error)
            *error = QStringLiteral("%1 does not exist").arg(path);
        return false;
    }
    if (noRecycleBin.load()) {
        if (error)
            *error = QStringLiteral("no recycle bin for %1").arg(path);
        return false;
    }
    QFile file(path);
    if (file.moveToTrash())
        return true;
    if (error)
        *error = QStringLiteral("%1 cannot be moved to the recycle bin: %2").arg(path, file.errorString());
    return false;
}

ScopedNoRecycleBin::ScopedNoRecycleBin()
    : previous_(noRecycleBin.exchange(true))
{ }

ScopedNoRecycleBin::~ScopedNoRecycleBin()
{
    noRecycleBin.store(previous_);
}

} // namespace platform
