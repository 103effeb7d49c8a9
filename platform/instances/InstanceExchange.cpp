#include "platform/instances/InstanceExchange.h"

#include <QDeadlineTimer>
#include <QFile>
#include <cerrno>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace platform::instances {

namespace {

// One connection in flight. Plain sockets and one poll() for all of them: the
// main thread waits here, so it should do as little as it can.
class TConnection {
public:
    TConnection() = default;
    TConnection(const TConnection &) = delete;
    TConnection &operator=(const TConnection &) = delete;
    ~TConnection() { Close(); }

    // Connects and sends; the status says how far it got.
    TExchangeStatus Open(const QString &server, const QByteArray &request)
    {
        const QByteArray path = QFile::encodeName(server);
        sockaddr_un address {};
        if (path.size() >= qsizetype(sizeof address.sun_path))
            return TExchangeStatus::NoAnswer;
        address.sun_family = AF_UNIX;
        std::copy(path.begin(), path.end(), address.sun_path);
        FFd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (FFd < 0)
            return TExchangeStatus::NoAnswer;
        // A local connect completes at once; a full backlog (EAGAIN) is a busy
        // instance, only a refusal means nobody listens.
        if (::connect(FFd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0)
            return errno == ECONNREFUSED ? TExchangeStatus::Refused : TExchangeStatus::NoAnswer;
        // A request is a few bytes: a fresh socket's buffer takes them whole.
        if (::send(FFd, request.constData(), std::size_t(request.size()), MSG_NOSIGNAL) != request.size())
            return TExchangeStatus::NoAnswer;
        return TExchangeStatus::Sent;
    }

    int Fd() const { return FFd; }

    // Reads what arrived; false once the reply is complete or can never be.
    bool Read(TExchange &result)
    {
        char chunk[4096];
        const qsizetype room = std::min<qsizetype>(sizeof chunk, kMaxFrame - FBuffer.size());
        const ssize_t got = ::recv(FFd, chunk, std::size_t(room), 0);
        if (got < 0 && (errno == EAGAIN || errno == EINTR))
            return true;
        if (got > 0)
            FBuffer.append(chunk, got);
        qsizetype consumed = 0;
        switch (ReadMessage(FBuffer, result.reply, consumed)) {
        case TReadResult::Complete:
            result.status = TExchangeStatus::Answered;
            return false;
        case TReadResult::Invalid:
            result.status = TExchangeStatus::NoAnswer;
            return false;
        case TReadResult::Incomplete:
            break;
        }
        // A frame is never longer than kMaxFrame, so a full buffer always holds one.
        if (got <= 0)
            result.status = TExchangeStatus::NoAnswer; // closed (or failed) before a whole reply
        return got > 0;
    }

    void Close()
    {
        if (FFd >= 0)
            ::close(FFd);
        FFd = -1;
    }

private:
    int FFd = -1;
    QByteArray FBuffer;
};

} // namespace

std::vector<TExchange> ExchangeAll(
    const QStringList &servers, const QByteArray &request, bool expectReply, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    std::vector<TExchange> results(std::size_t(servers.size()));
    std::vector<TConnection> connections(results.size());
    // Connect and send to all first, so the instances work on their answers side by side.
    std::vector<std::size_t> waiting;
    for (std::size_t i = 0; i < results.size(); ++i) {
        results[i].server = servers[qsizetype(i)];
        results[i].status = connections[i].Open(results[i].server, request);
        if (results[i].status == TExchangeStatus::Sent && expectReply)
            waiting.push_back(i);
        else
            connections[i].Close();
    }
    for (std::size_t i : waiting)
        results[i].status = TExchangeStatus::NoAnswer; // unless it answers in time
    std::vector<pollfd> polled;
    while (!waiting.empty() && !deadline.hasExpired()) {
        polled.clear();
        for (std::size_t i : waiting)
            polled.push_back({ connections[i].Fd(), POLLIN, 0 });
        const int ready
            = ::poll(polled.data(), polled.size(), int(std::max<qint64>(1, deadline.remainingTime())));
        if (ready < 0 && errno != EINTR)
            break;
        std::vector<std::size_t> still;
        for (std::size_t k = 0; k < waiting.size(); ++k) {
            const std::size_t i = waiting[k];
            if (polled[k].revents == 0 || connections[i].Read(results[i]))
                still.push_back(i);
            else
                connections[i].Close();
        }
        waiting.swap(still);
    }
    return results;
}

} // namespace platform::instances
