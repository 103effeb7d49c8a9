#pragma once

#include "document/sharing/ShareFileSystem.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <atomic>
#include <fnmatch.h>
#include <memory>
#include <mutex>

// A test's clock: time passes only when the test (or a wait of the code under
// test) says so, however loaded the machine is. Shared by the views of one test.
class TTestClock {
public:
    qint64 NowMs() const { return FNow.load(); }
    void Advance(std::chrono::milliseconds time) { FNow += std::max<qint64>(0, time.count()); }

private:
    std::atomic<qint64> FNow { 0 };
};

// One client of a network share as the sharing layer meets it: a listing, a
// file's existence and its time are kept for `window` and only then fetched
// again, so new files, sizes and times show up late, and each instance (each
// with its own view) may see another state. What the instance changed itself it
// sees at once; reading a file by opening it is always fresh. With a test clock
// the views age, and the code's waits pass, by that clock alone.
class TStaleShareFiles : public TShareFileSystem {
public:
    explicit TStaleShareFiles(std::chrono::milliseconds window, std::shared_ptr<TTestClock> clock = nullptr)
        : FWindow(window.count())
        , FClock(std::move(clock))
    { }

    qint64 NowMs() override { return FClock ? FClock->NowMs() : TShareFileSystem::NowMs(); }
    void Sleep(std::chrono::milliseconds time) override
    {
        if (FClock)
            FClock->Advance(time);
        else
            TShareFileSystem::Sleep(time);
    }

    std::vector<TFoundFile> ListFiles(const QString &dir, const QString &mask) override
    {
        return cached(FListings, folder(dir) + QLatin1Char('\n') + mask,
            [&] { return TShareFileSystem::ListFiles(dir, mask); });
    }
    std::vector<TFoundFile> ListDirectories(const QString &dir) override
    {
        return cached(FListings, folder(dir) + QStringLiteral("\n/"),
            [&] { return TShareFileSystem::ListDirectories(dir); });
    }
    bool Exists(const QString &path) override
    {
        return cached(FExists, folder(path), [&] { return TShareFileSystem::Exists(path); });
    }
    qint64 FileTime(const QString &path) override
    {
        return cached(FTimes, folder(path), [&] { return TShareFileSystem::FileTime(path); });
    }
    // The instance's own change shows in its cached listings at once, entry by
    // entry; what others changed there stays as old as the listing (the worst a
    // client may do).
    void Changed(const QString &path) override
    {
        const QString changed = folder(path);
        const QFileInfo info(changed);
        const QString parent = info.absolutePath();
        const QString name = info.fileName();
        std::lock_guard lock(FMutex);
        FExists.remove(changed);
        FTimes.remove(changed);
        for (auto it = FListings.begin(); it != FListings.end(); ++it) {
            const QString listed = it.key().section(QLatin1Char('\n'), 0, 0);
            const QString mask = it.key().section(QLatin1Char('\n'), 1);
            if (listed != parent)
                continue;
            std::vector<TFoundFile> &entries = it->value;
            std::erase_if(entries, [&](const TFoundFile &found) { return found.name == name; });
            const bool listedHere = mask == QLatin1String("/") ? info.isDir()
                                                               : info.isFile()
                    && ::fnmatch(QFile::encodeName(mask).constData(), QFile::encodeName(name).constData(),
                           FNM_PERIOD)
                        == 0;
            if (listedHere)
                entries.push_back({ name, info.isDir() ? 0 : info.size(), 0 });
        }
    }

private:
    template <typename T> struct Entry {
        qint64 at = 0;
        T value {};
    };

    static QString folder(const QString &path) { return QDir::cleanPath(path); }

    template <typename T, typename F> T cached(QHash<QString, Entry<T>> &cache, const QString &key, F fetch)
    {
        const qint64 now = NowMs();
        {
            std::lock_guard lock(FMutex);
            if (auto it = cache.find(key); it != cache.end() && now - it->at < FWindow)
                return it->value;
        }
        T value = fetch();
        std::lock_guard lock(FMutex);
        cache.insert(key, { now, value });
        return value;
    }

    const qint64 FWindow;
    const std::shared_ptr<TTestClock> FClock;
    std::mutex FMutex;
    QHash<QString, Entry<std::vector<TFoundFile>>> FListings;
    QHash<QString, Entry<bool>> FExists;
    QHash<QString, Entry<qint64>> FTimes;
};
