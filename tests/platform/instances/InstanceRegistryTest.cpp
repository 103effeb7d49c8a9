// One instance among sockets that misbehave: left by a killed process, never
// answering, answering nonsense; and the private folder they live in.
#include "platform/instances/InstanceRegistry.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

using platform::TInstanceRegistry;

namespace {

// A socket bound at `path`; listening or not (then it is what a killed
// process leaves behind: connecting is refused).
class RawSocket {
public:
    RawSocket(const QString &path, bool listen)
        : FFd(::socket(AF_UNIX, SOCK_STREAM, 0))
    {
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        const QByteArray native = QFile::encodeName(path);
        std::copy(native.begin(), native.end(), address.sun_path);
        EXPECT_EQ(::bind(FFd, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
        if (listen)
            EXPECT_EQ(::listen(FFd, 4), 0);
        else
            Close();
    }
    ~RawSocket() { Close(); }

    int Fd() const { return FFd; }
    void Close()
    {
        if (FFd >= 0)
            ::close(FFd);
        FFd = -1;
    }

private:
    int FFd;
};

QString socketName(const QString &id)
{
    return QString("zeltrano-%1-%2").arg(getuid()).arg(id);
}

QStringList captions(const TInstanceRegistry &registry)
{
    QStringList list;
    for (const auto &entry : registry.MenuEntries())
        list << entry.caption;
    return list;
}

int modeOf(const QString &path)
{
    struct stat info { };
    ::lstat(QFile::encodeName(path).constData(), &info);
    return int(info.st_mode & 07777);
}

} // namespace

TEST(InstanceRegistry, SocketsThatDoNotAnswerAreLeftOutAndDeadOnesRemoved)
{
    QTemporaryDir dir;
    const QString folder = dir.path() + "/instances";
    TInstanceRegistry registry(folder);
    ASSERT_TRUE(registry.IsListening());
    registry.SetCaption("own.kez");

    RawSocket dead(folder + "/" + socketName("999999991"), false);
    RawSocket silent(folder + "/" + socketName("999999992"), true); // accepts nothing, says nothing
    RawSocket babbling(folder + "/" + socketName("999999993"), true);
    std::thread babbler([fd = babbling.Fd()] {
        const int connection = ::accept(fd, nullptr, nullptr);
        if (connection < 0)
            return;
        char request[3];
        if (::read(connection, request, sizeof request) == 3)
            (void)::write(connection, "I\x00\x05junk", 8); // too short for an Info
        ::close(connection);
    });
    QFile other(folder + "/notes.txt"); // not named like a socket: never touched
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.close();

    QElapsedTimer timer;
    timer.start();
    registry.Refresh();
    babbler.join();
    EXPECT_LT(timer.elapsed(), 5000); // one bounded wait for all, however many hang
    EXPECT_EQ(captions(registry), QStringList { "1 own.kez" });
    EXPECT_FALSE(QFileInfo::exists(folder + "/" + socketName("999999991")));
    EXPECT_TRUE(QFileInfo::exists(folder + "/" + socketName("999999992"))); // alive, only busy
    EXPECT_TRUE(QFileInfo::exists(folder + "/notes.txt"));

    EXPECT_FALSE(registry.Select(folder + "/" + socketName("999999992")));
}

TEST(InstanceRegistry, TheSocketFolderIsPrivate)
{
    QTemporaryDir dir;
    const QString nested = dir.path() + "/run/user/instances";
    ASSERT_TRUE(platform::EnsurePrivateFolder(nested));
    EXPECT_EQ(modeOf(nested), 0700);

    const QString open = dir.path() + "/open";
    ASSERT_TRUE(QDir().mkdir(open));
    ::chmod(QFile::encodeName(open).constData(), 0777);
    EXPECT_TRUE(platform::EnsurePrivateFolder(open));
    EXPECT_EQ(modeOf(open), 0700);

    // A link could lead anywhere: nothing is kept behind it.
    const QString link = dir.path() + "/link";
    ASSERT_TRUE(QFile::link(nested, link));
    EXPECT_FALSE(platform::EnsurePrivateFolder(link));
    TInstanceRegistry alone(link);
    EXPECT_FALSE(alone.IsListening());
    alone.SetCaption("a.kez");
    alone.Refresh();
    EXPECT_EQ(captions(alone), QStringList { "1 a.kez" });
    EXPECT_TRUE(QDir(nested).isEmpty(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot));
}
