#pragma once

#include <QByteArray>
#include <QString>
#include <atomic>
#include <mutex>

namespace platform {

// Fetches the beginning of one web page over HTTP(S) with libcurl. The call blocks;
// callers run it on a thread of their own and may cancel it from any other thread.

struct PageRequest {
    QString url;
    QByteArray userAgent;
    // The transfer stops as soon as this many body bytes arrived (or at the body's end).
    qint64 maxBytes = 1024;
    int connectTimeoutMs = 10000;
    // Limit of the whole transfer, connection included.
    int transferTimeoutMs = 30000;
};

struct PageResult {
    bool ok = false; // a 2xx answer whose body was read to its end or to maxBytes
    long httpStatus = 0; // 0 when no answer came
    QByteArray body; // at most maxBytes bytes
    QString error; // why it failed; empty when ok
};

// Shared between the thread that fetches and the one that may cancel it. Cancelling
// wakes the transfer at once, whatever it is waiting for.
class FetchCancel {
public:
    FetchCancel() = default;
    FetchCancel(const FetchCancel &) = delete;
    FetchCancel &operator=(const FetchCancel &) = delete;

    void cancel();
    bool isCancelled() const { return FCancelled.load(std::memory_order_acquire); }

private:
    friend class FetchCancelBinding;
    std::atomic<bool> FCancelled { false };
    std::mutex FMutex;
    void *FMulti = nullptr; // the running transfer's handle, while there is one
};

// Asks for a fresh copy (no-cache request headers), follows up to five redirects,
// speaks only http and https and honours the usual proxy environment variables.
// Only a 2xx answer counts; every failure comes back as ok == false with a text.
PageResult fetchPageStart(const PageRequest &request, FetchCancel *cancel = nullptr);

} // namespace platform
