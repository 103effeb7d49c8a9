#include "platform/instances/InstanceServer.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>
#include <memory>

namespace platform::instances {

namespace {

// Every question is answered at once: a connection still open after this long
// is closed, so that no peer can hold the server's sockets.
constexpr int kIdleMs = 5000;

} // namespace

TInstanceServer::TInstanceServer(const QString &path, THandlers handlers)
    : FPath(path)
    , FHandlers(std::move(handlers))
    , FInfoFrame(WriteInfo({}))
    , FThread(*this)
{
    FThread.setObjectName(QStringLiteral("instance server"));
    FThread.start();
    std::unique_lock lock(FMutex);
    FStarted.wait(lock, [this] { return FReady; });
}

TInstanceServer::~TInstanceServer()
{
    FThread.quit();
    FThread.wait();
}

bool TInstanceServer::Listening() const
{
    const std::lock_guard lock(FMutex);
    return FListening;
}

void TInstanceServer::SetInfo(const TInstanceInfoData &info)
{
    const QByteArray frame = WriteInfo(info);
    const std::lock_guard lock(FMutex);
    FInfoFrame = frame;
}

QByteArray TInstanceServer::InfoFrame() const
{
    const std::lock_guard lock(FMutex);
    return FInfoFrame;
}

void TInstanceServer::TThread::run()
{
    QLocalServer server;
    server.setSocketOptions(QLocalServer::UserAccessOption);
    // Our name holds our process id: a socket file of that name is a dead process's.
    QLocalServer::removeServer(FOwner.FPath);
    const bool listening = server.listen(FOwner.FPath);
    {
        const std::lock_guard lock(FOwner.FMutex);
        FOwner.FListening = listening;
        FOwner.FReady = true;
    }
    FOwner.FStarted.notify_all();
    if (!listening)
        return;

    const auto serve = [this](QLocalSocket *socket) {
        auto buffer = std::make_shared<QByteArray>();
        QTimer::singleShot(kIdleMs, socket, [socket] { socket->abort(); });
        QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        QObject::connect(socket, &QLocalSocket::readyRead, socket, [this, socket, buffer] {
            for (;;) {
                buffer->append(socket->read(kMaxFrame - buffer->size()));
                TMessage message;
                qsizetype consumed = 0;
                const TReadResult result = ReadMessage(*buffer, message, consumed);
                if (result == TReadResult::Incomplete)
                    return;
                if (result == TReadResult::Invalid) {
                    socket->abort();
                    return;
                }
                buffer->remove(0, consumed);
                switch (message.type) {
                case TMessageType::Query:
                    socket->write(FOwner.InfoFrame());
                    break;
                case TMessageType::Announce:
                    if (FOwner.FHandlers.announced)
                        FOwner.FHandlers.announced();
                    break;
                case TMessageType::Select:
                    if (FOwner.FHandlers.selected)
                        FOwner.FHandlers.selected();
                    socket->write(WriteMessage(TMessageType::Ack));
                    break;
                case TMessageType::Info:
                case TMessageType::Ack:
                    socket->abort();
                    return;
                }
            }
        });
    };
    QObject::connect(&server, &QLocalServer::newConnection, [&server, &serve] {
        while (QLocalSocket *socket = server.nextPendingConnection())
            serve(socket);
    });
    exec();
}

} // namespace platform::instances
