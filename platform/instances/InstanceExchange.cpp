#include "platform/instances/InstanceExchange.h"

#include <QDeadlineTimer>
#include <QLocalSocket>
#include <memory>

namespace platform::instances {

namespace {

int remaining(const QDeadlineTimer &deadline)
{
    return int(std::max<qint64>(0, deadline.remainingTime()));
}

TExchangeStatus readReply(QLocalSocket &socket, const QDeadlineTimer &deadline, TMessage &reply)
{
    QByteArray buffer;
    for (;;) {
        if (socket.bytesAvailable() == 0 && !socket.waitForReadyRead(remaining(deadline)))
            return TExchangeStatus::NoAnswer;
        // A frame is never longer than kMaxFrame, so a full buffer always holds one.
        buffer.append(socket.read(kMaxFrame - buffer.size()));
        qsizetype consumed = 0;
        switch (ReadMessage(buffer, reply, consumed)) {
        case TReadResult::Complete:
            return TExchangeStatus::Answered;
        case TReadResult::Invalid:
            return TExchangeStatus::NoAnswer;
        case TReadResult::Incomplete:
            break;
        }
    }
}

} // namespace

std::vector<TExchange> ExchangeAll(
    const QStringList &servers, const QByteArray &request, bool expectReply, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    std::vector<TExchange> results(std::size_t(servers.size()));
    std::vector<std::unique_ptr<QLocalSocket>> sockets;
    sockets.reserve(results.size());
    // Connect and send to all first, so the peers work on their answers side by side.
    for (qsizetype i = 0; i < servers.size(); ++i) {
        results[std::size_t(i)].server = servers[i];
        auto &socket = sockets.emplace_back(std::make_unique<QLocalSocket>());
        socket->connectToServer(servers[i]);
        if (socket->state() == QLocalSocket::ConnectingState)
            socket->waitForConnected(remaining(deadline));
        if (socket->state() != QLocalSocket::ConnectedState) {
            if (socket->error() == QLocalSocket::ConnectionRefusedError)
                results[std::size_t(i)].status = TExchangeStatus::Refused;
            continue;
        }
        socket->write(request);
        socket->flush();
        results[std::size_t(i)].status = TExchangeStatus::Sent;
    }
    for (std::size_t i = 0; i < results.size(); ++i) {
        TExchange &result = results[i];
        if (result.status != TExchangeStatus::Sent)
            continue;
        QLocalSocket &socket = *sockets[i];
        if (expectReply) {
            result.status = readReply(socket, deadline, result.reply);
        } else if (socket.bytesToWrite() > 0 && !socket.waitForBytesWritten(remaining(deadline))) {
            result.status = TExchangeStatus::NoAnswer;
        }
        socket.abort();
    }
    return results;
}

} // namespace platform::instances
