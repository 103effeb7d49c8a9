#include "platform/instances/InstanceRegistry.h"

#include "platform/instances/InstanceExchange.h"
#include "platform/instances/InstanceServer.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <ctime>
#include <unistd.h>

namespace platform {

using namespace instances;

namespace {

// Socket names: this prefix, then the process id.
QString serverPrefix()
{
    return QStringLiteral("zeltrano-%1-").arg(::getuid());
}

// A clock all processes share and that never jumps: the time since boot.
qint64 startStamp()
{
    timespec now {};
    ::clock_gettime(CLOCK_BOOTTIME, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

bool counts(const QString &caption)
{
    return caption.size() > TInstanceRegistry::kCaptionPrefix.size()
        && caption.startsWith(TInstanceRegistry::kCaptionPrefix);
}

} // namespace

std::vector<TWindowMenuEntry> WindowMenuEntries(const std::vector<TInstanceInfo> &list)
{
    std::vector<TWindowMenuEntry> entries;
    entries.reserve(list.size());
    int number = 0;
    for (const TInstanceInfo &instance : list)
        entries.push_back({ QString::number(++number) + QLatin1Char(' ')
                + instance.caption.mid(TInstanceRegistry::kCaptionPrefix.size()),
            instance.server, instance.own });
    return entries;
}

TInstanceRegistry::TInstanceRegistry(const QString &folder, const QString &name)
    : FFolder(QDir::cleanPath(QDir(folder).absolutePath()))
    , FServer(
          FFolder + QLatin1Char('/') + (name.isEmpty() ? serverPrefix() + QString::number(::getpid()) : name))
    , FStarted(startStamp())
{
    FPrivateFolder = EnsurePrivateFolder(FFolder);
    if (!FPrivateFolder)
        return;
    TInstanceServer::THandlers handlers;
    // Both arrive on the server's thread: hand them to this object's thread.
    handlers.announced = [this] {
        QMetaObject::invokeMethod(
            this, [this] { ScheduleRefresh(); }, Qt::QueuedConnection);
    };
    handlers.selected = [this] {
        QMetaObject::invokeMethod(
            this, [this] { BringForward(); }, Qt::QueuedConnection);
    };
    FServerThread = std::make_unique<TInstanceServer>(FServer, std::move(handlers));
    FServerThread->SetInfo(OwnInfo());
}

TInstanceRegistry::~TInstanceRegistry()
{
    FServerThread.reset();
    Announce();
}

bool TInstanceRegistry::IsListening() const
{
    return FServerThread && FServerThread->Listening();
}

void TInstanceRegistry::SetCaption(const QString &fileName)
{
    FCaptionFileName = fileName;
    if (FServerThread)
        FServerThread->SetInfo(OwnInfo());
    Announce();
    ScheduleRefresh();
}

QString TInstanceRegistry::Caption() const
{
    return kCaptionPrefix.toString() + FCaptionFileName;
}

TInstanceInfoData TInstanceRegistry::OwnInfo() const
{
    return Bounded({ FStarted, Caption(), FCaptionFileName });
}

QStringList TInstanceRegistry::OtherServers() const
{
    if (!FPrivateFolder)
        return {}; // a folder others may write to is not trusted
    const QString own = QDir(FServer).dirName();
    QStringList servers;
    const QStringList names
        = QDir(FFolder).entryList({ serverPrefix() + QLatin1Char('*') }, QDir::System | QDir::Files);
    for (const QString &name : names)
        if (name != own)
            servers << FFolder + QLatin1Char('/') + name;
    return servers;
}

std::vector<TInstanceInfo> TInstanceRegistry::AskAll()
{
    const TInstanceInfoData own = OwnInfo();
    std::vector<TInstanceInfo> all { { FServer, own.started, own.caption, own.fileName, true } };
    for (const TExchange &exchange :
        ExchangeAll(OtherServers(), WriteMessage(TMessageType::Query), true, kTimeoutMs)) {
        DropIfRefused(exchange);
        if (exchange.status != TExchangeStatus::Answered || exchange.reply.type != TMessageType::Info)
            continue;
        const TInstanceInfoData &info = exchange.reply.info;
        all.push_back({ exchange.server, info.started, info.caption, info.fileName, false });
    }
    return all;
}

bool TInstanceRegistry::DropIfRefused(const TExchange &exchange)
{
    if (exchange.status != TExchangeStatus::Refused)
        return false;
    QFile::remove(exchange.server); // nobody listens there: its instance is gone
    return true;
}

void TInstanceRegistry::Refresh()
{
    std::vector<TInstanceInfo> list = AskAll();
    std::erase_if(list, [](const TInstanceInfo &instance) { return !counts(instance.caption); });
    std::sort(list.begin(), list.end(), [](const TInstanceInfo &a, const TInstanceInfo &b) {
        return a.started != b.started ? a.started < b.started : a.server < b.server;
    });
    if (list == FWindowList)
        return;
    FWindowList = std::move(list);
    if (FListChanged)
        FListChanged();
}

void TInstanceRegistry::Announce()
{
    ExchangeAll(OtherServers(), WriteMessage(TMessageType::Announce), false, kTimeoutMs);
}

void TInstanceRegistry::ScheduleRefresh()
{
    // Announcements come in bursts (several instances start or end at once):
    // one refresh answers all that arrived before it runs.
    if (FRefreshScheduled)
        return;
    FRefreshScheduled = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            FRefreshScheduled = false;
            Refresh();
        },
        Qt::QueuedConnection);
}

void TInstanceRegistry::BringForward()
{
    if (FBringForward)
        FBringForward();
}

bool TInstanceRegistry::Select(const QString &server)
{
    if (server == FServer) {
        BringForward();
        return true;
    }
    const std::vector<TExchange> exchange
        = ExchangeAll({ server }, WriteMessage(TMessageType::Select), true, kTimeoutMs);
    if (DropIfRefused(exchange.front()))
        ScheduleRefresh();
    return exchange.front().status == TExchangeStatus::Answered
        && exchange.front().reply.type == TMessageType::Ack;
}

QString TInstanceRegistry::FindInstanceShowing(const QString &fileName)
{
    if (fileName.isEmpty())
        return QString();
    for (const TInstanceInfo &instance : AskAll())
        if (!instance.own && instance.fileName == fileName)
            return instance.server;
    return QString();
}

bool TInstanceRegistry::ActivateOtherInstance(const QString &fileName)
{
    const QString server = FindInstanceShowing(fileName);
    return !server.isEmpty() && Select(server);
}

} // namespace platform
