#pragma once

#include "platform/instances/InstanceMessages.h"

#include <QStringList>
#include <vector>

namespace platform::instances {

enum class TExchangeStatus {
    Answered, // the reply is in `reply`
    Sent, // the request went out (no reply asked for)
    Refused, // nobody listens on the socket: its instance is gone
    NoAnswer, // busy, hung, or answered nonsense
};

struct TExchange {
    QString server;
    TExchangeStatus status = TExchangeStatus::NoAnswer;
    TMessage reply;
};

// Sends `request` to every server (socket paths) at once and, with
// `expectReply`, waits for one reply from each; the whole exchange ends within
// `timeoutMs`. The results are in the order of `servers`.
std::vector<TExchange> ExchangeAll(
    const QStringList &servers, const QByteArray &request, bool expectReply, int timeoutMs);

} // namespace platform::instances
