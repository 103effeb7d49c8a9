// Reading a file tells its caller what kind of failure it met: a missing file is
// one a reader may start afresh without, one too large is refused unread, and
// anything else (a pipe, a link where none may be) is unreadable, each with a
// reason that names the path.
#include "platform/RegularFile.h"

#include "platform/AtomicFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

using platform::ReadFailure;

TEST(RegularFile, EveryFailureCarriesItsKindAndAReasonNamingThePath)
{
    QTemporaryDir dir;
    const QString plain = dir.filePath("plain.kez");
    ASSERT_TRUE(platform::writeFileAtomically(plain, "12345"));
    const QString pipe = dir.filePath("pipe.kez");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString link = dir.filePath("link.kez");
    ASSERT_TRUE(QFile::link(plain, link));

    const platform::ReadResult read = platform::readRegularFile(plain, platform::Links::Refuse, 5);
    ASSERT_TRUE(read) << read.reason().toStdString();
    EXPECT_EQ(read.value(), "12345");
    EXPECT_TRUE(read.reason().isEmpty());
    EXPECT_EQ(platform::readRegularFile(link, platform::Links::Follow).value(), "12345");

    const struct {
        QString path;
        platform::Links links;
        qint64 limit;
        ReadFailure kind;
        const char *says;
    } cases[] = {
        { dir.filePath("missing.kez"), platform::Links::Follow, -1, ReadFailure::Missing, "No such file" },
        { plain, platform::Links::Follow, 4, ReadFailure::TooLarge, "is larger than 4 bytes" },
        { pipe, platform::Links::Follow, -1, ReadFailure::Unreadable, "is not a regular file" },
        { link, platform::Links::Refuse, -1, ReadFailure::Unreadable, "is a symbolic link" },
    };
    for (const auto &c : cases) {
        const platform::ReadResult failed = platform::readRegularFile(c.path, c.links, c.limit);
        const std::string reason = failed.reason().toStdString();
        EXPECT_FALSE(failed) << c.says;
        EXPECT_EQ(failed.code(), c.kind) << reason;
        EXPECT_TRUE(failed.value().isEmpty()) << reason;
        EXPECT_TRUE(failed.reason().contains(c.path)) << reason;
        EXPECT_TRUE(failed.reason().contains(QLatin1String(c.says))) << reason;
    }
}

// A file read piece by piece comes whole, byte for byte, at any size around
// the pieces, and is still refused past the limit.
TEST(RegularFile, ALargeFileComesWholeAndTheLimitHolds)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("large.kez");
    constexpr qint64 kMiB = qint64(1) << 20;
    for (const qint64 size : { qint64(0), 4 * kMiB - 1, 4 * kMiB, 9 * kMiB + 3 }) {
        QByteArray content(size, Qt::Uninitialized);
        for (qint64 i = 0; i < size; ++i)
            content[i] = char('a' + (i * 7 + i / 4099) % 26);
        ASSERT_TRUE(platform::writeFileAtomically(path, content));
        const platform::ReadResult read = platform::readRegularFile(path, platform::Links::Refuse, size);
        ASSERT_TRUE(read) << size;
        EXPECT_TRUE(read.value() == content) << size;
        if (size > 0) {
            EXPECT_EQ(platform::readRegularFile(path, platform::Links::Refuse, size - 1).code(),
                ReadFailure::TooLarge)
                << size;
        }
    }
}

TEST(RegularFile, AFailureIsNeverWithoutAReason)
{
    const platform::Status failed = platform::Status::failure(QString());
    EXPECT_FALSE(failed);
    EXPECT_EQ(failed.reason(), "unknown failure");
    const auto none = platform::Result<int>::failure(QString());
    EXPECT_FALSE(none);
    EXPECT_EQ(none.reason(), "unknown failure");
    EXPECT_EQ(none.value(), 0);
}

} // namespace

// The buffer holds the file without spare room: past the size looked at, only
// what a further read found is added to it.
TEST(RegularFile, TheBytesTakeNoMoreThanTheFileAndLateBytesStillCome)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("sized.kez");
    const QByteArray content(3 * (qint64(1) << 20) + 5, 'x');
    ASSERT_TRUE(platform::writeFileAtomically(path, content));
    const platform::ReadResult read = platform::readRegularFile(path, platform::Links::Refuse, -1);
    ASSERT_TRUE(read);
    EXPECT_TRUE(read.value() == content);
    EXPECT_LE(read.value().capacity(), content.size() + 1);

    // A file that says it is empty and still holds bytes (the kernel's own).
    QFile proc(QStringLiteral("/proc/self/cmdline"));
    ASSERT_TRUE(proc.open(QIODevice::ReadOnly));
    const QByteArray expected = proc.readAll();
    ASSERT_FALSE(expected.isEmpty());
    const platform::ReadResult late
        = platform::readRegularFile(QStringLiteral("/proc/self/cmdline"), platform::Links::Follow, -1);
    ASSERT_TRUE(late) << qPrintable(late.reason());
    EXPECT_EQ(late.value(), expected);
}
