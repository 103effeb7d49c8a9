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
