// One running instance of the program without a window, for the tests with
// several processes:
//
//   instance_peer FOLDER DOCUMENT
//
// registers in FOLDER under the caption of DOCUMENT and prints "ready". Commands,
// one a line on standard input:
//   caption NAME     shows NAME (empty: the bare prefix)
//   list             asks every instance now; prints "entry <checked> <caption>"
//                    per window-menu entry, then "end"
//   select N         selects window-menu entry N; prints "selected <0|1>"
//   activate PATH    brings the instance showing PATH forward; "activated <0|1>"
//   find PATH        prints "found <socket>" or "found -"
//   quit             ends the way the program ends
// Events: "forward" when asked to come forward, "changed" when an announcement
// changed the list. End of input ends the program too.
#include "platform/instances/InstanceRegistry.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <cstdio>
#include <unistd.h>

namespace {

void say(const QString &line)
{
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

class Peer {
public:
    Peer(const QString &folder, const QString &document)
        : FRegistry(folder)
    {
        FRegistry.SetBringForwardHandler([] { say(QStringLiteral("forward")); });
        FRegistry.SetListChangedHandler([] { say(QStringLiteral("changed")); });
        FRegistry.SetCaption(document);
    }

    void Run(const QString &line)
    {
        const QString command = line.section(QLatin1Char(' '), 0, 0);
        const QString argument = line.section(QLatin1Char(' '), 1);
        if (command == QLatin1String("caption")) {
            FRegistry.SetCaption(argument);
        } else if (command == QLatin1String("list")) {
            FRegistry.Refresh();
            for (const platform::TWindowMenuEntry &entry : FRegistry.MenuEntries())
                say(QStringLiteral("entry %1 %2").arg(int(entry.checked)).arg(entry.caption));
            say(QStringLiteral("end"));
        } else if (command == QLatin1String("select")) {
            FRegistry.Refresh();
            const auto entries = FRegistry.MenuEntries();
            const qsizetype n = argument.toInt() - 1;
            const bool ok
                = n >= 0 && n < qsizetype(entries.size()) && FRegistry.Select(entries[std::size_t(n)].server);
            say(QStringLiteral("selected %1").arg(int(ok)));
        } else if (command == QLatin1String("activate")) {
            say(QStringLiteral("activated %1").arg(int(FRegistry.ActivateOtherInstance(argument))));
        } else if (command == QLatin1String("find")) {
            const QString server = FRegistry.FindInstanceShowing(argument);
            say(QStringLiteral("found ") + (server.isEmpty() ? QStringLiteral("-") : server));
        } else if (command == QLatin1String("quit")) {
            QCoreApplication::quit();
        }
    }

    bool Listening() const { return FRegistry.IsListening(); }

private:
    platform::TInstanceRegistry FRegistry;
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3)
        return 2;
    Peer peer(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]));
    if (!peer.Listening())
        return 3;

    QByteArray pending;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char chunk[4096];
        const ssize_t got = ::read(STDIN_FILENO, chunk, sizeof chunk);
        if (got <= 0) {
            input.setEnabled(false);
            QCoreApplication::quit();
            return;
        }
        pending.append(chunk, got);
        for (qsizetype end; (end = pending.indexOf('\n')) >= 0;) {
            const QString line = QString::fromUtf8(pending.left(end));
            pending.remove(0, end + 1);
            peer.Run(line);
        }
    });
    say(QStringLiteral("ready"));
    return app.exec();
}
