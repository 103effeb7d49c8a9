// Another user of the share replaces part of it by a link to a folder of theirs
// while an instance has the plan open: the instance never reads or writes through
// the link, tells its user, and loses no edit.
#include "document/program/Log.h"
#include "document/xml/XMLFile.h"
#include "tests/document/commands/CommandsTestSupport.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <set>
#include <string>

namespace {

// Every entry below `root` with a digest of what it holds ("dir" for folders, the
// target for links), so that any file made, changed or removed there shows.
std::set<std::string> snapshot(const QString &root)
{
    std::set<std::string> entries;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
        QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        QString what = QStringLiteral("dir");
        if (info.isSymLink()) {
            what = "-> " + info.symLinkTarget();
        } else if (!info.isDir()) {
            QFile file(info.filePath());
            what = file.open(QIODevice::ReadOnly)
                ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Md5).toHex()
                : QStringLiteral("unreadable");
        }
        entries.insert((QDir(root).relativeFilePath(info.filePath()) + ": " + what).toStdString());
    }
    return entries;
}

void copyTree(const QString &from, const QString &to)
{
    QDir().mkpath(to);
    QDirIterator it(
        from, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        const QString target = to + "/" + QDir(from).relativeFilePath(info.filePath());
        if (info.isDir())
            QDir().mkpath(target);
        else
            QFile::copy(info.filePath(), target);
    }
}

} // namespace

class HostileShareLinks : public CommandsTest {
protected:
    QTemporaryDir elsewhere; // the other user's folder

    // Puts a link to a copy of `entry` (or, for a file, to a file of the other
    // user's) in place of `entry`, the real one moved aside within the share.
    void swapForLink(const QString &entry)
    {
        const QFileInfo info(entry);
        const QString copy = elsewhere.path() + "/" + info.fileName();
        if (info.isDir())
            copyTree(entry, copy);
        else
            write(copy, "the other user's file");
        ASSERT_TRUE(QFile::rename(entry, entry + ".moved"));
        ASSERT_TRUE(QFile::link(copy, entry));
    }
    QString lastMessage() const { return messages().isEmpty() ? QString() : messages().last(); }
    QString recoveryFileOf(CommandsInstance &instance)
    {
        return instance.commands.Watcher().RecoveryFileName();
    }
};

TEST_F(HostileShareLinks, ALinkSwappedInAfterOpenIsNeverFollowedAndNoEditIsLost)
{
    // The levels of the share whose swap stops sharing, and the files inside
    // whose swap is merely passed over.
    struct Level {
        QString entry;
        bool stopsSharing;
    };
    const QList<Level> levels { { ".kez", true }, { ".kez/Plan.kez", true }, { ".kez/Plan.kez/N", true },
        { ".kez/Plan.kez/N/pc.anna.1.diff", false }, { ".kez/Plan.kez/N/Plan.kez.locked", false },
        { ".kez/Plan.kez/pc.anna.user", false } };
    for (const Level &level : levels) {
        SCOPED_TRACE(level.entry.toStdString());
        QDir(dir.path()).removeRecursively();
        QDir().mkpath(dir.path());
        QDir(elsewhere.path()).removeRecursively();
        QDir().mkpath(elsewhere.path());

        CommandsInstance anna("pc.anna");
        anna.addTask("a.1", "saved");
        ASSERT_TRUE(anna.saveAs(path("Plan.kez")));
        anna.addTask("a.2", "stored before");
        idleTick(anna);
        // The current working folder.
        const QString entry = QString(level.entry).replace("N", anna.commands.Watcher().WorkingDirName());
        ASSERT_TRUE(QFileInfo::exists(sharing(anna.commands.Watcher().WorkingDirName() + "/pc.anna.1.diff")));
        if (entry.endsWith(".locked"))
            write(path(entry), "");

        swapForLink(path(entry));
        const auto before = snapshot(elsewhere.path());
        anna.addTask("a.3", "after the swap");
        idleTick(anna);
        anna.addTask("a.4", "after the swap was found");
        idleTick(anna);

        EXPECT_EQ(snapshot(elsewhere.path()), before);
        TDirWatchThread &watcher = anna.commands.Watcher();
        EXPECT_EQ(watcher.ShareLost(), level.stopsSharing);
        EXPECT_EQ(watcher.Error(), level.stopsSharing);
        if (level.stopsSharing) {
            EXPECT_TRUE(watcher.ShareProblem().contains("replaced")) << watcher.ShareProblem().toStdString();
            // The save writes nothing there and offers another name (declined).
            dialogs.QueueAnswer(mrNo);
            EXPECT_FALSE(anna.commands.Save(path("Plan.kez")));
            EXPECT_TRUE(lastMessage().contains("The sharing folder of this plan is not usable"));
            EXPECT_EQ(snapshot(elsewhere.path()), before);
            // The window goes on unnamed; the recovery file keeps every change
            // that is in no saved document yet.
            const QString recovery = recoveryFileOf(anna);
            ASSERT_FALSE(recovery.isEmpty());
            EXPECT_TRUE(recovery.startsWith(dataHome.path()));
            anna.commands.ContinueUnnamed();
            EXPECT_EQ(recoveryFileOf(anna), recovery);
            anna.addTask("a.5", "made unnamed");
            anna.commands.Watcher().UpdatePending();
            const QByteArray kept = read(recovery);
            for (const char *id : { "a.3", "a.4", "a.5" })
                EXPECT_TRUE(kept.contains(QByteArray("id=\"") + id + "\"")) << id;
            // (Beside the plan a link in place of ".kez" refuses the new name too.)
            QDir().mkpath(path("Moved"));
            ASSERT_TRUE(anna.saveAs(path("Moved/Rescued.kez")));
            EXPECT_FALSE(QFileInfo::exists(recovery));
            CommandsInstance bert("pc.bert");
            ASSERT_TRUE(bert.commands.Open(path("Moved/Rescued.kez")));
            for (const char *id : { "a.1", "a.2", "a.3", "a.4", "a.5" })
                EXPECT_NE(bert.doc.FindNode(id), nullptr) << id;
        } else {
            EXPECT_TRUE(anna.commands.Save(path("Plan.kez")));
            CommandsInstance bert("pc.bert");
            ASSERT_TRUE(bert.commands.Open(path("Plan.kez")));
            for (const char *id : { "a.1", "a.2", "a.3", "a.4" })
                EXPECT_NE(bert.doc.FindNode(id), nullptr) << id;
        }
        EXPECT_EQ(snapshot(elsewhere.path()), before);
    }
}

// The instance that found the swap tells nobody else's share anything either:
// another instance that opens the plan afterwards is refused, and with its user's
// consent opens it unshared, writing nothing through the link.
TEST_F(HostileShareLinks, APlanWhoseSharingFolderIsALinkOpensUnsharedAndItsSaveWritesNothingThere)
{
    {
        CommandsInstance anna("pc.anna");
        anna.addTask("a.1", "saved");
        ASSERT_TRUE(anna.saveAs(path("Plan.kez")));
    }
    ASSERT_TRUE(QDir(path(".kez")).removeRecursively());
    ASSERT_TRUE(QFile::link(elsewhere.path(), path(".kez")));

    CommandsInstance bert("pc.bert");
    dialogs.QueueAnswer(mrNo);
    EXPECT_FALSE(bert.commands.Open(path("Plan.kez")));
    EXPECT_TRUE(lastMessage().startsWith("The sharing folder of this plan is not usable: "))
        << lastMessage().toStdString();
    EXPECT_TRUE(lastMessage().contains("Open the plan without sharing?"));

    dialogs.QueueAnswer(mrYes);
    ASSERT_TRUE(bert.commands.Open(path("Plan.kez")));
    EXPECT_EQ(bert.comment("a.1"), "saved");
    EXPECT_FALSE(bert.commands.Watcher().Error());
    bert.addTask("b.1", "unshared");
    idleTick(bert);

    // Saved under its own name: nothing goes through the link, the user is told.
    dialogs.QueueAnswer(mrNo);
    EXPECT_FALSE(bert.commands.Save(path("Plan.kez")));
    EXPECT_TRUE(lastMessage().contains("Nothing was written there"));
    // With Yes, under another name.
    dialogs.QueueAnswer(mrYes);
    bert.host.saveName = dir.path() + "/Moved/Copy.kez";
    QDir().mkpath(dir.path() + "/Moved");
    EXPECT_TRUE(bert.commands.Save(path("Plan.kez")));
    EXPECT_EQ(bert.commands.FileName(), QDir(dir.path()).canonicalPath() + "/Moved/Copy.kez");
    EXPECT_TRUE(snapshot(elsewhere.path()).empty());
    EXPECT_EQ(dialogs.UnexpectedCount(), 0);

    CommandsInstance carl("pc.carl");
    ASSERT_TRUE(carl.commands.Open(dir.path() + "/Moved/Copy.kez"));
    EXPECT_EQ(carl.comment("b.1"), "unshared");
}
