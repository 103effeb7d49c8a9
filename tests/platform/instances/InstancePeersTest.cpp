// Several running instances, each its own process, find each other: every
// window menu lists all of them in the order they started, its own checked; an
// instance that ends or is killed drops out; a document shown by one is found
// by the others.
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <unistd.h>

namespace {

// One instance_peer process and the lines it printed that nobody read yet.
class Peer {
public:
    Peer(const QString &folder, const QString &document)
    {
        FProcess.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        FProcess.start(ZELTRANO_INSTANCE_PEER, { folder, document });
        EXPECT_TRUE(FProcess.waitForStarted(10000));
        EXPECT_TRUE(Take("ready"));
    }

    ~Peer()
    {
        if (FProcess.state() == QProcess::NotRunning)
            return;
        FProcess.closeWriteChannel();
        if (!FProcess.waitForFinished(10000)) {
            FProcess.kill();
            FProcess.waitForFinished(10000);
        }
    }

    void Send(const QString &line)
    {
        FProcess.write((line + '\n').toUtf8());
        FProcess.waitForBytesWritten(10000);
    }

    // Waits for the line `word`, or `word` and a blank and the `rest`, and removes it.
    bool Take(const QString &word, QString *rest = nullptr)
    {
        for (;;) {
            for (qsizetype i = 0; i < FLines.size(); ++i) {
                if (FLines[i] == word || FLines[i].startsWith(word + ' ')) {
                    if (rest)
                        *rest = FLines[i].mid(word.size() + 1);
                    FLines.remove(i);
                    return true;
                }
            }
            if (!ReadMore())
                return false;
        }
    }

    QString Ask(const QString &command, const QString &answer)
    {
        Send(command);
        QString value;
        EXPECT_TRUE(Take(answer, &value)) << command.toStdString();
        return value;
    }

    // The window menu: "n name", "*" after the checked entry. Everything printed
    // before is dropped: an event seen after this comes from what follows.
    QStringList Menu()
    {
        Send("list");
        if (!ReadUntil("end"))
            return { "no answer" };
        QStringList entries;
        const qsizetype end = FLines.indexOf("end");
        for (qsizetype i = 0; i < end; ++i)
            if (FLines[i].startsWith("entry "))
                entries << FLines[i].mid(8) + (FLines[i][6] == '1' ? " *" : "");
        FLines.remove(0, end + 1);
        return entries;
    }

    void Quit()
    {
        Send("quit");
        EXPECT_TRUE(FProcess.waitForFinished(10000));
    }

    void Kill()
    {
        FProcess.kill();
        FProcess.waitForFinished(10000);
    }

    qint64 Pid() const { return FProcess.processId(); }

private:
    bool ReadUntil(const QString &line)
    {
        while (!FLines.contains(line))
            if (!ReadMore())
                return false;
        return true;
    }

    bool ReadMore()
    {
        while (!FProcess.canReadLine())
            if (!FProcess.waitForReadyRead(10000))
                return false;
        while (FProcess.canReadLine())
            FLines << QString::fromUtf8(FProcess.readLine()).chopped(1);
        return true;
    }

    QProcess FProcess;
    QStringList FLines;
};

struct Folder {
    QTemporaryDir dir;
    QString path = dir.path() + "/instances";

    QString SocketOf(Peer &peer) const
    {
        return path + QString("/zeltrano-%1-%2").arg(getuid()).arg(peer.Pid());
    }
};

} // namespace

TEST(InstancePeers, TwoInstancesListEachOtherTheirOwnChecked)
{
    Folder folder;
    Peer a(folder.path, "a.kez");
    Peer b(folder.path, "b.kez");
    EXPECT_EQ(a.Menu(), QStringList({ "1 a.kez *", "2 b.kez" }));
    EXPECT_EQ(b.Menu(), QStringList({ "1 a.kez", "2 b.kez *" }));

    // A new caption reaches the other by the announcement alone.
    b.Send("caption /plans/c.kez");
    EXPECT_TRUE(a.Take("changed"));
    EXPECT_EQ(a.Menu(), QStringList({ "1 a.kez *", "2 /plans/c.kez" }));
}

TEST(InstancePeers, ThreeInstancesLoseOneThatEndsAndOneThatIsKilled)
{
    Folder folder;
    Peer a(folder.path, "a.kez");
    Peer b(folder.path, "b.kez");
    Peer c(folder.path, "c.kez");
    EXPECT_EQ(a.Menu(), QStringList({ "1 a.kez *", "2 b.kez", "3 c.kez" }));
    EXPECT_EQ(b.Menu(), QStringList({ "1 a.kez", "2 b.kez *", "3 c.kez" }));
    EXPECT_EQ(c.Menu(), QStringList({ "1 a.kez", "2 b.kez", "3 c.kez *" }));

    // The earliest ends: its end is announced and the others renumber.
    a.Quit();
    EXPECT_TRUE(b.Take("changed"));
    EXPECT_TRUE(c.Take("changed"));
    EXPECT_EQ(b.Menu(), QStringList({ "1 b.kez *", "2 c.kez" }));

    // A killed instance announces nothing; the next question finds its socket
    // dead and removes it.
    const QString socketOfC = folder.SocketOf(c);
    ASSERT_TRUE(QFileInfo::exists(socketOfC));
    c.Kill();
    EXPECT_EQ(b.Menu(), QStringList({ "1 b.kez *" }));
    EXPECT_FALSE(QFileInfo::exists(socketOfC));
    EXPECT_EQ(QDir(folder.path).entryList(QDir::System | QDir::Files).size(), 1);
}

TEST(InstancePeers, CaptionOfJustThePrefixIsNotListed)
{
    Folder folder;
    Peer a(folder.path, "a.kez");
    Peer bare(folder.path, "");
    EXPECT_EQ(a.Menu(), QStringList({ "1 a.kez *" }));
    EXPECT_EQ(bare.Menu(), QStringList({ "1 a.kez" })); // not even in its own menu
}

TEST(InstancePeers, TheInstanceShowingADocumentIsFoundAndComesForward)
{
    Folder folder;
    Peer a(folder.path, "/data/plans/a.kez");
    Peer b(folder.path, "/data/plans/b.kez");
    Peer c(folder.path, "/data/plans/c.kez");

    EXPECT_EQ(a.Ask("find /data/plans/b.kez", "found"), folder.SocketOf(b));
    EXPECT_EQ(a.Ask("find /data/plans/B.kez", "found"), "-"); // paths differ by case
    EXPECT_EQ(a.Ask("find /data/plans/a.kez", "found"), "-"); // only other instances
    EXPECT_EQ(a.Ask("find /data/plans", "found"), "-");

    EXPECT_EQ(a.Ask("activate /data/plans/c.kez", "activated"), "1");
    EXPECT_TRUE(c.Take("forward"));
    EXPECT_EQ(c.Ask("activate /data/plans/d.kez", "activated"), "0");

    // Choosing an entry of the window menu, the own one included.
    EXPECT_EQ(c.Ask("select 2", "selected"), "1");
    EXPECT_TRUE(b.Take("forward"));
    EXPECT_EQ(c.Ask("select 3", "selected"), "1");
    EXPECT_TRUE(c.Take("forward"));
}
