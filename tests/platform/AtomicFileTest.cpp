#include "platform/AtomicFile.h"

#include "tests/support/TestFiles.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using testsupport::folderEntries;
using testsupport::readFile;

TEST(AtomicFile, WritesAndReplacesLeavingNoTemporaryFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("doc.kez");
    ASSERT_TRUE(platform::writeFileAtomically(path, "first"));
    ASSERT_TRUE(platform::writeFileAtomically(path, "second, longer"));
    EXPECT_EQ(readFile(path), "second, longer");
    EXPECT_EQ(folderEntries(dir.path()), QStringList { "doc.kez" });
}

TEST(AtomicFile, FailuresKeepThePreviousFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("doc.kez");
    ASSERT_TRUE(platform::writeFileAtomically(path, "old content"));
    {
        platform::ScopedFileFaults faults({ [](const QString &, qint64) { return qint64(3); }, {} });
        const auto result = platform::writeFileAtomically(path, "new content");
        EXPECT_FALSE(result);
        EXPECT_FALSE(result.reason().isEmpty());
    }
    EXPECT_EQ(readFile(path), "old content");
    {
        platform::ScopedFileFaults faults({ {}, [](const QString &) { return true; } });
        EXPECT_FALSE(platform::writeFileAtomically(path, "new content"));
    }
    EXPECT_EQ(readFile(path), "old content");
    EXPECT_EQ(folderEntries(dir.path()), QStringList { "doc.kez" });
    EXPECT_FALSE(platform::writeFileAtomically(dir.filePath("no/such/folder/x"), "x"));
}

TEST(AtomicFile, APieceByPieceFileAppearsOnlyWhenCommitted)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("big.jpg");
    {
        platform::AtomicFileWriter file(path);
        ASSERT_TRUE(file.write("first ", 6));
        ASSERT_TRUE(file.write("second", 6));
        EXPECT_FALSE(QFile::exists(path));
        ASSERT_TRUE(file.commit());
    }
    EXPECT_EQ(readFile(path), "first second");
    {
        platform::AtomicFileWriter file(path);
        ASSERT_TRUE(file.write("abandoned", 9));
    }
    {
        // The third piece finds the disk full: the rest is refused.
        int pieces = 0;
        platform::ScopedFileFaults faults(
            { [&](const QString &, qint64) { return ++pieces == 3 ? qint64(1) : qint64(-1); }, {} });
        platform::AtomicFileWriter file(path);
        EXPECT_TRUE(file.write("a", 1));
        EXPECT_TRUE(file.write("b", 1));
        EXPECT_FALSE(file.write("c", 1));
        EXPECT_FALSE(file.write("d", 1));
        EXPECT_FALSE(file.commit());
        EXPECT_FALSE(file.error().isEmpty());
    }
    EXPECT_EQ(readFile(path), "first second");
    EXPECT_EQ(folderEntries(dir.path()), QStringList { "big.jpg" });
}
