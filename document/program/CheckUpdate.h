#pragma once

#include <QObject>
#include <QString>
#include <memory>

class TDownload;

// Asks a web page of the publisher for the newest version number. The page carries
// it in an HTML comment ("<!--rev 3.1.7 -->"); only the page's beginning is read, on
// a thread of its own, and the result is reported on the owner's thread, so a slow
// or missing network never delays the program.
class TCheckUpdate : public QObject {
    Q_OBJECT

public:
    explicit TCheckUpdate(QObject *parent = nullptr);
    // Cancels a running download and waits for its thread: it never reports to a
    // destroyed owner.
    ~TCheckUpdate() override;

    QString URL() const { return fURL; }
    void SetURL(const QString &value) { fURL = value; }
    // The comment's tag: the payload follows "<!--" and the tag.
    QString HTMLTag() const { return fHTMLTag; }
    void SetHTMLTag(const QString &value) { fHTMLTag = value; }
    // The most bytes read from the page.
    int BufferSize() const { return fBufferSize; }
    void SetBufferSize(int value) { fBufferSize = qMax(0, value); }
    // Time limits in milliseconds for connecting and for the whole download.
    int ConnectTimeout() const { return FConnectTimeout; }
    void SetConnectTimeout(int ms) { FConnectTimeout = qMax(1, ms); }
    int TransferTimeout() const { return FTransferTimeout; }
    void SetTransferTimeout(int ms) { FTransferTimeout = qMax(1, ms); }

    // The text found by the last finished check; empty when none.
    QString Payload() const { return fPayload; }
    // Why the last finished download failed (no network, timeout, HTTP status);
    // empty when the page was read. For the log only: nothing is shown to the user.
    QString LastError() const { return FLastError; }

    // Starts the download and returns at once; Found or NotFound follows on this
    // object's thread. A download still running is cancelled and never reports.
    void Execute();

    // The payload of a page's text: what follows the first "<!--" + tag up to the next
    // "-->", trimmed; empty when the marker or its end is missing.
    static QString ExtractPayload(const QString &text, const QString &htmlTag);

signals:
    void Found(TCheckUpdate *Sender);
    void NotFound(TCheckUpdate *Sender);

private:
    friend class TDownload;
    // The hand-over from the download's thread, run on this object's thread.
    void Update(quint64 generation, const QString &payload, const QString &error);

    QString fURL;
    QString fHTMLTag;
    int fBufferSize = 1024;
    int FConnectTimeout = 10000;
    int FTransferTimeout = 30000;
    QString fPayload;
    QString FLastError;
    quint64 fGeneration = 0; // tells the running download's report from stale ones
    std::unique_ptr<TDownload> FDownload;
};
