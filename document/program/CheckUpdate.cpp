#include "document/program/CheckUpdate.h"

#include "platform/HttpDownload.h"
#include "platform/Windows1252.h"

#include <QMetaObject>
#include <thread>

namespace {

// Trims blanks and control characters (every character up to the blank) at both
// ends; other characters stay.
QString trimControlsAndBlanks(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].unicode() <= u' ')
        ++begin;
    while (end > begin && text[end - 1].unicode() <= u' ')
        --end;
    return text.mid(begin, end - begin).toString();
}

} // namespace

// One download of the owner's page on a thread of its own. The owner holds it and
// destroys it (cancel, then join) before the owner itself goes, so the thread may
// post its result to the owner without further checks.
class TDownload {
public:
    struct Job {
        platform::PageRequest request;
        QString htmlTag;
        quint64 generation = 0;
    };

    TDownload(TCheckUpdate *owner, Job job)
        : fOwner(owner)
        , fJob(std::move(job))
        , fThread([this] { Execute(); })
    { }

    ~TDownload()
    {
        fCancel.cancel();
        fThread.join();
    }

    TDownload(const TDownload &) = delete;
    TDownload &operator=(const TDownload &) = delete;

private:
    void Execute() noexcept
    {
        QString payload;
        QString error;
        try {
            const platform::PageResult page = platform::fetchPageStart(fJob.request, &fCancel);
            if (page.ok)
                payload = TCheckUpdate::ExtractPayload(platform::decodeWindows1252(page.body), fJob.htmlTag);
            else
                error = page.error;
        } catch (const std::exception &e) {
            payload.clear();
            error = QString::fromLocal8Bit(e.what());
        }
        if (fCancel.isCancelled())
            return;
        // Queued to the owner's thread; the owner outlives this thread (see above), and a
        // call still queued when the owner goes is dropped with it.
        TCheckUpdate *owner = fOwner;
        const quint64 generation = fJob.generation;
        QMetaObject::invokeMethod(
            owner, [owner, generation, payload, error] { owner->Update(generation, payload, error); },
            Qt::QueuedConnection);
    }

    TCheckUpdate *fOwner;
    Job fJob;
    platform::FetchCancel fCancel;
    std::thread fThread; // last: starts only when everything it uses exists
};

TCheckUpdate::TCheckUpdate(QObject *parent)
    : QObject(parent)
    , fURL(QStringLiteral("http://www.example.com/"))
    , fHTMLTag(QStringLiteral("rev"))
{ }

TCheckUpdate::~TCheckUpdate()
{
    FDownload.reset();
}

void TCheckUpdate::Execute()
{
    FDownload.reset();
    const quint64 generation = ++fGeneration;
    fPayload.clear();
    FLastError.clear();

    TDownload::Job job;
    job.request.url = fURL;
    job.request.userAgent = QByteArrayLiteral("Mozilla/2.0 (Updater/morvaneSoftware)");
    job.request.maxBytes = fBufferSize;
    job.request.connectTimeoutMs = FConnectTimeout;
    job.request.transferTimeoutMs = FTransferTimeout;
    job.htmlTag = fHTMLTag;
    job.generation = generation;
    try {
        FDownload = std::make_unique<TDownload>(this, std::move(job));
    } catch (const std::system_error &e) {
        // No thread to be had: report the failure the usual way, never from inside Execute.
        const QString error = QString::fromLocal8Bit(e.what());
        QMetaObject::invokeMethod(
            this, [this, generation, error] { Update(generation, QString(), error); }, Qt::QueuedConnection);
    }
}

void TCheckUpdate::Update(quint64 generation, const QString &payload, const QString &error)
{
    if (generation != fGeneration)
        return;
    FDownload.reset(); // its thread has handed over and is ending
    fPayload = payload;
    FLastError = error;
    if (!fPayload.isEmpty())
        emit Found(this);
    else
        emit NotFound(this);
}

QString TCheckUpdate::ExtractPayload(const QString &text, const QString &htmlTag)
{
    const QString marker = QStringLiteral("<!--") + htmlTag;
    const qsizetype at = text.indexOf(marker);
    if (at < 0)
        return QString();
    const qsizetype start = at + marker.size();
    const qsizetype end = text.indexOf(QStringLiteral("-->"), start);
    if (end < 0)
        return QString();
    return trimControlsAndBlanks(QStringView(text).mid(start, end - start));
}
