// A folder held open keeps every file call below it inside it, whatever links
// are swapped in on the way afterwards.
#include "platform/HeldFolder.h"

#include "platform/AtomicFile.h"
#include "platform/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
}

} // namespace

TEST(HeldFolder, CallsBelowItStayInsideWhateverLinksAreSwappedIn)
{
    QTemporaryDir base, other;
    QDir().mkpath(other.path() + "/b/5");
    auto opened = platform::THeldFolder::Open(base.path(), { "a", "b" }, true);
    ASSERT_TRUE(opened) << opened.reason().toStdString();
    auto held = std::move(opened).value();
    const QString root = held->Path();
    EXPECT_EQ(root, base.path() + "/a/b");
    EXPECT_TRUE(held->StillInPlace());
    ASSERT_TRUE(platform::makeFolder(root + "/5"));
    ASSERT_TRUE(platform::writeFileAtomically(root + "/5/x", "mine"));

    // The folder "a" moved aside and a link to the other user's folder put in its place.
    ASSERT_TRUE(QFile::rename(base.path() + "/a", base.path() + "/a.moved"));
    ASSERT_TRUE(QFile::link(other.path(), base.path() + "/a"));
    const platform::Status inPlace = held->StillInPlace();
    EXPECT_FALSE(inPlace);
    EXPECT_TRUE(inPlace.reason().contains("replaced")) << inPlace.reason().toStdString();
    // Still the held folder, not the link's target.
    EXPECT_EQ(platform::readRegularFile(root + "/5/x", platform::Links::Refuse).value(), "mine");
    EXPECT_TRUE(platform::writeFileAtomically(root + "/5/y", "mine too"));
    EXPECT_TRUE(platform::makeFolder(root + "/6"));
    EXPECT_TRUE(QFile::exists(base.path() + "/a.moved/b/5/y"));
    EXPECT_TRUE(entries(other.path() + "/b/5").isEmpty());
    EXPECT_EQ(entries(other.path() + "/b"), QStringList { "5" });

    // A numbered folder inside swapped for a link: refused, never followed.
    ASSERT_TRUE(QFile::rename(base.path() + "/a.moved/b/5", base.path() + "/a.moved/b/5.moved"));
    ASSERT_TRUE(QFile::link(other.path() + "/b/5", base.path() + "/a.moved/b/5"));
    EXPECT_FALSE(platform::writeFileAtomically(root + "/5/z", "lost?"));
    EXPECT_FALSE(platform::readRegularFile(root + "/5/x", platform::Links::Follow));
    EXPECT_FALSE(platform::makeFolder(root + "/5/sub"));
    EXPECT_FALSE(platform::isRealFolder(root + "/5"));
    EXPECT_FALSE(platform::openFolder(root + "/5").Valid());
    EXPECT_FALSE(platform::createExclusive(root + "/5/claim").Valid());
    EXPECT_TRUE(platform::removeFile(root + "/5")); // the link itself
    EXPECT_TRUE(entries(other.path() + "/b/5").isEmpty());

    // A file link inside is not followed even where links to files are taken.
    ASSERT_TRUE(platform::writeFileAtomically(other.path() + "/secret", "theirs"));
    ASSERT_TRUE(QFile::link(other.path() + "/secret", base.path() + "/a.moved/b/6/f"));
    EXPECT_FALSE(platform::readRegularFile(root + "/6/f", platform::Links::Follow));
    EXPECT_FALSE(platform::isRegularFile(root + "/6/f", platform::Links::Follow));

    // Once the folder is no longer held, paths are taken as they are again.
    const QString path = root;
    held.reset();
    EXPECT_FALSE(platform::isBelowHeldFolder(path + "/5"));
}

TEST(HeldFolder, ALinkOnTheWayIsRefusedWhenTheFolderIsOpened)
{
    QTemporaryDir base, other;
    ASSERT_TRUE(QFile::link(other.path(), base.path() + "/a"));
    const auto opened = platform::THeldFolder::Open(base.path(), { "a", "b" }, true);
    EXPECT_FALSE(opened);
    EXPECT_FALSE(opened.value());
    EXPECT_TRUE(opened.reason().contains("is not a folder of its own")) << opened.reason().toStdString();
    EXPECT_TRUE(entries(other.path()).isEmpty());
}

TEST(HeldFolder, ASecondNameKeepsTheBytesAFileHadWhenItIsReplacedAndALinkGetsNone)
{
    QTemporaryDir base;
    const QString file = base.path() + "/Plan.kez";
    ASSERT_TRUE(platform::writeFileAtomically(file, "old"));
    ASSERT_TRUE(platform::linkFile(file, base.path() + "/kept"));
    ASSERT_TRUE(platform::writeFileAtomically(file, "new"));
    QFile kept(base.path() + "/kept");
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "old");

    // A link in the file's place is not given a second name (the name would
    // lead wherever the link does), nor is a name that is taken.
    ASSERT_TRUE(QFile::link(file, base.path() + "/link"));
    EXPECT_FALSE(platform::linkFile(base.path() + "/link", base.path() + "/viaLink"));
    EXPECT_FALSE(QFileInfo::exists(base.path() + "/viaLink"));
    EXPECT_FALSE(platform::linkFile(file, base.path() + "/kept"));
    ASSERT_TRUE(kept.seek(0));
    EXPECT_EQ(kept.readAll(), "old");
}
