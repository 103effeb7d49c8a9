#include "platform/AtomicFile.h"

#include "tests/support/TestFiles.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

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

TEST(AtomicFile, CopiesAreMadeFromTheFileWrittenNotFromWhatItsPathLeadsToLater)
{
    QTemporaryDir dir;
    const QString first = dir.filePath("first.kez");
    // Larger than one piece of the plain copy, so that every way covers it whole.
    QByteArray bytes(3 << 20, '\0');
    for (qsizetype i = 0; i < bytes.size(); ++i)
        bytes[i] = char('a' + i % 26);
    platform::TFd kept;
    ASSERT_TRUE(platform::writeFileAtomically(first, bytes, kept));
    ASSERT_TRUE(kept.Valid());
    // Someone renames another file over the one just written.
    ASSERT_TRUE(testsupport::writeFile(dir.filePath("theirs"), "theirs"));
    ASSERT_EQ(
        ::rename(QFile::encodeName(dir.filePath("theirs")).constData(), QFile::encodeName(first).constData()),
        0);

    const QString copy = dir.filePath("copy.kez");
    ASSERT_TRUE(testsupport::writeFile(copy, "old"));
    ASSERT_TRUE(platform::copyFileAtomically(kept.Get(), copy));
    EXPECT_EQ(readFile(copy), bytes);

    // A full disk on the way leaves the old file; a link in the target's place
    // is replaced, never followed.
    {
        platform::ScopedFileFaults faults({ [](const QString &, qint64 size) { return size / 2; }, {} });
        const QString other = dir.filePath("other.kez");
        ASSERT_TRUE(testsupport::writeFile(other, "before"));
        EXPECT_FALSE(platform::copyFileAtomically(kept.Get(), other));
        EXPECT_EQ(readFile(other), "before");
    }
    const QString outside = dir.filePath("outside");
    ASSERT_TRUE(testsupport::writeFile(outside, "outside"));
    ASSERT_TRUE(QFile::link(outside, dir.filePath("linked.kez")));
    ASSERT_TRUE(platform::copyFileAtomically(kept.Get(), dir.filePath("linked.kez")));
    EXPECT_EQ(readFile(outside), "outside");
    EXPECT_FALSE(QFileInfo(dir.filePath("linked.kez")).isSymLink());
    EXPECT_EQ(folderEntries(dir.path()),
        (QStringList { "copy.kez", "first.kez", "linked.kez", "other.kez", "outside" }));
}

TEST(AtomicFile, FaultsAskedAheadHoldForAWriteOnAnotherThread)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("doc.kez");
    ASSERT_TRUE(platform::writeFileAtomically(path, "old content"));
    const std::thread::id here = std::this_thread::get_id();
    std::vector<std::thread::id> askedOn;
    platform::ScopedFileFaults faults({ [&](const QString &, qint64) {
                                           askedOn.push_back(std::this_thread::get_id());
                                           return qint64(2);
                                       },
        {} });
    platform::AtomicFileWriter writer(path);
    writer.askFaults(11);
    platform::WriteResult result;
    std::thread([&] {
        writer.write("new content", 11);
        result = writer.commit();
    }).join();
    EXPECT_FALSE(result);
    EXPECT_EQ(askedOn, std::vector<std::thread::id> { here });
    EXPECT_EQ(readFile(path), "old content");
}
