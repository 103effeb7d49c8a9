#include "platform/HttpDownload.h"

#include <QUrl>
#include <curl/curl.h>
#include <memory>

namespace platform {

namespace {

void initCurlOnce()
{
    // Global set-up is not safe to race with transfers on other threads.
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct EasyDeleter {
    void operator()(CURL *handle) const { curl_easy_cleanup(handle); }
};
struct MultiDeleter {
    void operator()(CURLM *handle) const { curl_multi_cleanup(handle); }
};
struct ListDeleter {
    void operator()(curl_slist *list) const { curl_slist_free_all(list); }
};

struct BodySink {
    CURL *easy = nullptr;
    QByteArray *body = nullptr;
    qint64 maxBytes = 0;
    bool full = false;
};

size_t writeBody(char *data, size_t size, size_t count, void *user)
{
    auto *sink = static_cast<BodySink *>(user);
    const size_t n = size * count;
    long status = 0;
    curl_easy_getinfo(sink->easy, CURLINFO_RESPONSE_CODE, &status);
    // The bodies of redirects and error pages are not the page asked for.
    if (status / 100 != 2)
        return n;
    const qint64 room = sink->maxBytes - sink->body->size();
    if (room > 0)
        sink->body->append(data, static_cast<qsizetype>(qMin<qint64>(room, static_cast<qint64>(n))));
    if (sink->body->size() >= sink->maxBytes)
        sink->full = true;
    return n;
}

// The role of the platform's error-message lookup: curl's own detailed text when it
// gave one, else the generic text of the code.
QString transferErrorText(CURLcode code, const char *detail)
{
    if (detail && *detail)
        return QString::fromUtf8(detail);
    return QString::fromUtf8(curl_easy_strerror(code));
}

} // namespace

// Makes the running transfer's handle known to the canceller for as long as it lives.
class FetchCancelBinding {
public:
    FetchCancelBinding(FetchCancel *cancel, CURLM *multi)
        : FCancel(cancel)
    {
        if (FCancel) {
            std::lock_guard lock(FCancel->FMutex);
            FCancel->FMulti = multi;
        }
    }
    ~FetchCancelBinding()
    {
        if (FCancel) {
            std::lock_guard lock(FCancel->FMutex);
            FCancel->FMulti = nullptr;
        }
    }
    FetchCancelBinding(const FetchCancelBinding &) = delete;
    FetchCancelBinding &operator=(const FetchCancelBinding &) = delete;

private:
    FetchCancel *FCancel;
};

void FetchCancel::cancel()
{
    FCancelled.store(true, std::memory_order_release);
    std::lock_guard lock(FMutex);
    if (FMulti)
        curl_multi_wakeup(static_cast<CURLM *>(FMulti));
}

PageResult fetchPageStart(const PageRequest &request, FetchCancel *cancel)
{
    PageResult result;
    if (request.maxBytes <= 0) {
        result.ok = true; // nothing asked for, nothing to fetch
        return result;
    }
    initCurlOnce();

    std::unique_ptr<curl_slist, ListDeleter> headers(curl_slist_append(nullptr, "Cache-Control: no-cache"));
    if (headers && !curl_slist_append(headers.get(), "Pragma: no-cache"))
        headers.reset();
    std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
    std::unique_ptr<CURLM, MultiDeleter> multi(curl_multi_init());
    if (!headers || !easy || !multi) {
        result.error = QStringLiteral("The download could not be set up");
        return result;
    }

    char detail[CURL_ERROR_SIZE] = {};
    BodySink sink { easy.get(), &result.body, request.maxBytes };
    const QByteArray url = QUrl(request.url).toEncoded();
    CURL *h = easy.get();
    curl_easy_setopt(h, CURLOPT_URL, url.constData());
    curl_easy_setopt(h, CURLOPT_USERAGENT, request.userAgent.constData());
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(h, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(qMax(1, request.connectTimeoutMs)));
    curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, static_cast<long>(qMax(1, request.transferTimeoutMs)));
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L); // signals are no way to time out a worker thread
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &writeBody);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &sink);
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, detail);

    if (curl_multi_add_handle(multi.get(), h) != CURLM_OK) {
        result.error = QStringLiteral("The download could not be set up");
        return result;
    }

    bool done = false;
    CURLcode code = CURLE_OK;
    QString loopError;
    {
        const FetchCancelBinding binding(cancel, multi.get());
        for (;;) {
            if (cancel && cancel->isCancelled())
                break;
            int running = 0;
            CURLMcode mcode = curl_multi_perform(multi.get(), &running);
            if (mcode == CURLM_OK && !sink.full && running > 0)
                mcode = curl_multi_poll(multi.get(), nullptr, 0, 1000, nullptr);
            if (mcode != CURLM_OK) {
                loopError = QString::fromUtf8(curl_multi_strerror(mcode));
                break;
            }
            if (sink.full || running == 0)
                break;
        }
        int left = 0;
        while (CURLMsg *message = curl_multi_info_read(multi.get(), &left)) {
            if (message->msg == CURLMSG_DONE && message->easy_handle == h) {
                done = true;
                code = message->data.result;
            }
        }
    }
    curl_multi_remove_handle(multi.get(), h);
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &result.httpStatus);

    if (cancel && cancel->isCancelled() && !sink.full && !done)
        result.error = QStringLiteral("The download was cancelled");
    else if (!loopError.isEmpty())
        result.error = loopError;
    else if (!sink.full && !done)
        result.error = QStringLiteral("The download ended unexpectedly");
    else if (!sink.full && code != CURLE_OK)
        result.error = transferErrorText(code, detail);
    else if (result.httpStatus / 100 != 2)
        result.error = QStringLiteral("The server answered with HTTP status %1").arg(result.httpStatus);
    else
        result.ok = true;
    if (!result.ok)
        result.body.clear();
    return result;
}

} // namespace platform
