// The window menu with 10 running instances: this one and 9 others, each its own
// process. A rebuild asks every instance for its caption over its socket and
// fills the menu with the entries, as the main window does. Its floor: 10 plain local-socket round trips, one
// after the other, to a server that only echoes.
#include "bench/BenchSupport.h"
#include "mainwindow/MenuFills.h"
#include "platform/instances/InstanceRegistry.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QLocalSocket>
#include <QMenu>
#include <QProcess>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int kInstances = 10;

// The instances and the echo server live for the whole run.
struct Setup {
    QTemporaryDir dir;
    QString folder = dir.path() + "/instances";
    std::vector<std::unique_ptr<QProcess>> peers;
    std::unique_ptr<platform::TInstanceRegistry> own;
    QString echoPath = dir.path() + "/echo";
    int echoFd = -1;
    std::thread echo;

    Setup()
    {
        for (int i = 1; i < kInstances; ++i) {
            auto peer = std::make_unique<QProcess>();
            peer->setProcessChannelMode(QProcess::ForwardedErrorChannel);
            peer->start(QCoreApplication::applicationFilePath(),
                { "--peer", folder, QString("/home/planner/plans/plan %1.kez").arg(i) });
            peer->waitForReadyRead(10000);
            peers.push_back(std::move(peer));
        }
        own = std::make_unique<platform::TInstanceRegistry>(folder);
        own->SetCaption("/home/planner/plans/plan 0.kez");
        StartEcho();
    }

    ~Setup()
    {
        ::shutdown(echoFd, SHUT_RDWR);
        ::close(echoFd);
        echo.join();
        own.reset();
        for (auto &peer : peers) {
            peer->closeWriteChannel();
            peer->waitForFinished(10000);
        }
    }

    // Accepts, reads one 3-byte request, answers 3 bytes, closes: the least a
    // server can do for a round trip.
    void StartEcho()
    {
        echoFd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        const QByteArray native = QFile::encodeName(echoPath);
        std::copy(native.begin(), native.end(), address.sun_path);
        ::bind(echoFd, reinterpret_cast<sockaddr *>(&address), sizeof address);
        ::listen(echoFd, 16);
        echo = std::thread([fd = echoFd] {
            for (;;) {
                const int connection = ::accept(fd, nullptr, nullptr);
                if (connection < 0)
                    return;
                char request[3];
                if (::read(connection, request, sizeof request) == 3)
                    (void)::write(connection, "K\0\0", 3);
                ::close(connection);
            }
        });
    }
};

Setup *setup = nullptr;

void BM_WindowMenuRebuild(benchmark::State &state)
{
    QMenu menu;
    QString selected;
    const auto select = [&selected](const QString &server) { selected = server; };
    for (auto _ : state) {
        setup->own->Refresh();
        FillWindowMenu(menu, setup->own->MenuEntries(), select);
    }
    state.counters["entries"] = double(menu.actions().size());
    benchmark::DoNotOptimize(selected);
}

void BM_FloorRoundTrips(benchmark::State &state)
{
    for (auto _ : state) {
        for (int i = 0; i < kInstances; ++i) {
            QLocalSocket socket;
            socket.connectToServer(setup->echoPath);
            socket.write("Q\0\0", 3);
            socket.flush();
            while (socket.bytesAvailable() < 3 && socket.waitForReadyRead(1000)) { }
            benchmark::DoNotOptimize(socket.readAll());
        }
    }
}

// One of the other instances: registers under its caption and ends with its input.
int runPeer(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    platform::TInstanceRegistry registry(QString::fromLocal8Bit(argv[2]));
    registry.SetCaption(QString::fromLocal8Bit(argv[3]));
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char chunk[64];
        if (::read(STDIN_FILENO, chunk, sizeof chunk) <= 0)
            QCoreApplication::quit();
    });
    std::printf("ready\n");
    std::fflush(stdout);
    return app.exec();
}

} // namespace

BENCHMARK(BM_WindowMenuRebuild)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FloorRoundTrips)->Unit(benchmark::kMicrosecond);

int main(int argc, char **argv)
{
    if (argc == 4 && std::string(argv[1]) == "--peer")
        return runPeer(argc, argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Setup instances;
    setup = &instances;
    return bench::runWithFigures(argc, argv,
        { { "instances.window_menu_rebuild/floor", "BM_WindowMenuRebuild", "BM_FloorRoundTrips", "<=", 2.0 },
            { "instances.window_menu_entries", "BM_WindowMenuRebuild/entries", "", ">=", kInstances } });
}
