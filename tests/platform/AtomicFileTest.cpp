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
        EXPECT_FALSE(result.error.isEmpty());
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
