#pragma once

// What another user of a shared folder may put where the program expects a file
// of its own: a named pipe, a link to a device or to a private file, a file far
// larger than any the program writes. Each maker fails the test when the entry
// cannot be made.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace hostile {

inline void makeFifo(const QString &path)
{
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0) << path.toStdString();
}

inline void makeLink(const QString &target, const QString &path)
{
    ASSERT_EQ(::symlink(QFile::encodeName(target).constData(), QFile::encodeName(path).constData()), 0)
        << path.toStdString();
}

// A sparse file: as large as asked, in no time and without the disk space.
inline void makeSparse(const QString &path, qint64 size)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.resize(size));
}

inline bool isLink(const QString &path)
{
    struct stat info { };
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISLNK(info.st_mode);
}

// Lets a reader that waits on the pipe go (it reads an empty file), so that a
// fault shows as a failed test and not as a hang. A reader that opens without
// waiting is there for microseconds and is all but never seen.
class PipeWatchdog {
public:
    explicit PipeWatchdog(const QString &path)
        : FThread([this, name = QFile::encodeName(path)] {
            while (!FDone) {
                const int fd = ::open(name.constData(), O_WRONLY | O_NONBLOCK);
                if (fd >= 0) {
                    ::close(fd);
                    FReaderSeen = true;
                }
                // Only paces the watchdog; no test waits on it.
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
        })
    { }
    ~PipeWatchdog()
    {
        FDone = true;
        FThread.join();
    }
    PipeWatchdog(const PipeWatchdog &) = delete;
    PipeWatchdog &operator=(const PipeWatchdog &) = delete;
    bool ReaderSeen() const { return FReaderSeen; }

private:
    std::atomic<bool> FDone { false }, FReaderSeen { false };
    std::thread FThread;
};

// A compressed stream ("zip", 0, the stated text length, blocks) whose header
// states `stated` bytes of text, followed by `blocks` blocks of runs that each
// unpack to 32768 bytes of "x" from 37, and the empty block that ends a stream:
// a small file that unpacks to a huge one (whole when `stated` is blocks * 32768).
inline QByteArray compressedBomb(quint32 stated, int blocks)
{
    QByteArray bytes("zip\0", 4);
    for (int i = 0; i < 4; ++i)
        bytes.append(char((stated >> (8 * i)) & 0xFF));
    // 0x40 (compressed), a control word marking eight copies, then eight runs
    // (offset 0; the length less 16 in twelve bits): seven of 4111 bytes, one of 3991.
    QByteArray block("\x40\xFF\x00", 3);
    for (int i = 0; i < 7; ++i)
        block.append(QByteArray("\x00\x0F\xFFx", 4));
    block.append(QByteArray("\x00\x0F\x87x", 4));
    for (int i = 0; i < blocks; ++i) {
        bytes.append(char(block.size()));
        bytes.append('\0');
        bytes.append(block);
    }
    bytes.append(QByteArray(2, '\0'));
    return bytes;
}

} // namespace hostile
