#include "document/sharing/ShareFileSystem.h"

#include "platform/RegularFile.h"

#include <QThread>

std::vector<TFoundFile> TShareFileSystem::ListFiles(const QString &dir, const QString &mask)
{
    return ::ListFiles(dir, mask);
}

std::vector<TFoundFile> TShareFileSystem::ListDirectories(const QString &dir)
{
    return ::ListDirectories(dir);
}

bool TShareFileSystem::Exists(const QString &path)
{
    return platform::isRegularFile(path, platform::Links::Refuse) || platform::isRealFolder(path);
}

qint64 TShareFileSystem::FileTime(const QString &path)
{
    return GetFileTime(path);
}

qint64 TShareFileSystem::NowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void TShareFileSystem::Sleep(std::chrono::milliseconds time)
{
    QThread::msleep(static_cast<unsigned long>(std::max<qint64>(0, time.count())));
}

std::shared_ptr<TShareFileSystem> TShareFileSystem::Real()
{
    static const auto real = std::make_shared<TShareFileSystem>();
    return real;
}
