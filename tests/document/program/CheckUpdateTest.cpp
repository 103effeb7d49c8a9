#include "document/program/CheckUpdate.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <arpa/inet.h>
#include <atomic>
#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

// A one-shot HTTP server on 127.0.0.1: answers every request with the same bytes and
// closes, or keeps the connection open afterwards (holdOpen) so that the client waits.
// An empty answer with holdOpen is a server that accepts and never answers.
class TestHttpServer {
public:
    explicit TestHttpServer(QByteArray answer, bool holdOpen = false)
        : FAnswer(std::move(answer))
        , FHoldOpen(holdOpen)
    {
        FListenFd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (FListenFd < 0 || ::bind(FListenFd, reinterpret_cast<sockaddr *>(&address), length) != 0
            || ::listen(FListenFd, 8) != 0
            || ::getsockname(FListenFd, reinterpret_cast<sockaddr *>(&address), &length) != 0)
            throw std::runtime_error("test server could not listen");
        FPort = ntohs(address.sin_port);
        FThread = std::thread([this] { run(); });
    }

    ~TestHttpServer()
    {
        FStop = true;
        FThread.join();
        for (int fd : FHeld)
            ::close(fd);
        ::close(FListenFd);
    }

    QString url(const QString &path = QStringLiteral("/")) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(FPort).arg(path);
    }

    // Waits until a request's header arrived; its text, or empty after the time limit.
    QByteArray waitForRequest(int ms = 5000)
    {
        std::unique_lock lock(FMutex);
        FArrived.wait_for(lock, std::chrono::milliseconds(ms), [this] { return !FRequest.isEmpty(); });
        return FRequest;
    }

private:
    void run()
    {
        while (!FStop) {
            pollfd listening { FListenFd, POLLIN, 0 };
            if (::poll(&listening, 1, 20) <= 0)
                continue;
            const int fd = ::accept(FListenFd, nullptr, nullptr);
            if (fd < 0)
                continue;
            serve(fd);
        }
    }

    void serve(int fd)
    {
        QByteArray request;
        for (int waited = 0; !FStop && waited < 5000 && !request.contains("\r\n\r\n"); waited += 20) {
            pollfd client { fd, POLLIN, 0 };
            if (::poll(&client, 1, 20) <= 0)
                continue;
            char chunk[1024];
            const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
            if (n <= 0)
                break;
            request.append(chunk, n);
        }
        {
            std::lock_guard lock(FMutex);
            if (FRequest.isEmpty())
                FRequest = request;
        }
        FArrived.notify_all();
        for (qsizetype sent = 0; sent < FAnswer.size();) {
            const ssize_t n = ::send(fd, FAnswer.constData() + sent, FAnswer.size() - sent, MSG_NOSIGNAL);
            if (n <= 0)
                break;
            sent += n;
        }
        if (FHoldOpen) {
            FHeld.push_back(fd);
        } else {
            ::shutdown(fd, SHUT_RDWR);
            ::close(fd);
        }
    }

    QByteArray FAnswer;
    bool FHoldOpen;
    int FListenFd = -1;
    int FPort = 0;
    std::atomic<bool> FStop { false };
    std::vector<int> FHeld;
    std::mutex FMutex;
    std::condition_variable FArrived;
    QByteArray FRequest;
    std::thread FThread;
};

QByteArray answer(const QByteArray &status, const QByteArray &body, const QByteArray &extraHeaders = {})
{
    return "HTTP/1.1 " + status + "\r\nContent-Type: text/html\r\nContent-Length: "
        + QByteArray::number(body.size()) + "\r\nConnection: close\r\n" + extraHeaders + "\r\n" + body;
}

enum class Outcome { None, Found, NotFound };

// Runs one check to its report; None when no report came within waitMs.
Outcome runCheck(TCheckUpdate &check, int *reports = nullptr, int waitMs = 20000)
{
    QEventLoop loop;
    Outcome outcome = Outcome::None;
    int count = 0;
    auto report = [&](Outcome kind) {
        return [&, kind](TCheckUpdate *sender) {
            EXPECT_EQ(sender, &check);
            outcome = kind;
            ++count;
            loop.quit();
        };
    };
    QObject::connect(&check, &TCheckUpdate::Found, &loop, report(Outcome::Found));
    QObject::connect(&check, &TCheckUpdate::NotFound, &loop, report(Outcome::NotFound));
    QTimer::singleShot(waitMs, &loop, &QEventLoop::quit);
    check.Execute();
    loop.exec();
    QCoreApplication::processEvents(); // a second, stray report would arrive here
    if (reports)
        *reports = count;
    return outcome;
}

class CheckUpdateTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { qputenv("no_proxy", "127.0.0.1"); }

    // Short limits keep the failing cases fast.
    static void limit(TCheckUpdate &check, int transferMs = 3000)
    {
        check.SetConnectTimeout(2000);
        check.SetTransferTimeout(transferMs);
    }
};

TEST_F(CheckUpdateTest, FindsTheVersionAndAsksForAFreshCopy)
{
    TestHttpServer server(answer("200 OK", "<html><!--rev 3.1.7 --><!--build\tcaf\xe9 \x80\r\n--></html>"));
    TCheckUpdate check;
    check.SetURL(server.url("/index.html"));
    limit(check);
    int reports = 0;
    EXPECT_EQ(runCheck(check, &reports), Outcome::Found);
    EXPECT_EQ(reports, 1);
    EXPECT_EQ(check.Payload(), "3.1.7");
    EXPECT_EQ(check.LastError(), "");

    const QByteArray request = server.waitForRequest();
    EXPECT_TRUE(request.startsWith("GET /index.html HTTP/1.1\r\n")) << request.constData();
    EXPECT_TRUE(request.contains("\r\nUser-Agent: Mozilla/2.0 (Updater/morvaneSoftware)\r\n"));
    EXPECT_TRUE(request.contains("\r\nCache-Control: no-cache\r\n"));
    EXPECT_TRUE(request.contains("\r\nPragma: no-cache\r\n"));

    // Another tag; the page is read as Windows-1252.
    check.SetHTMLTag("build");
    EXPECT_EQ(runCheck(check), Outcome::Found);
    EXPECT_EQ(check.Payload(), QStringLiteral(u"café €"));
}

TEST_F(CheckUpdateTest, ReadsOnlyTheFirstBufferSizeBytes)
{
    // The comment's end is the last of the 1024 bytes read, or one byte beyond them.
    const QByteArray comment = "<!--rev 3.1.7 -->";
    TestHttpServer inside(answer("200 OK", QByteArray(1024 - comment.size(), 'x') + comment + "tail"));
    TestHttpServer beyond(answer("200 OK", QByteArray(1025 - comment.size(), 'x') + comment));
    TCheckUpdate check;
    limit(check);
    check.SetURL(inside.url());
    EXPECT_EQ(runCheck(check), Outcome::Found);
    EXPECT_EQ(check.Payload(), "3.1.7");
    check.SetURL(beyond.url());
    EXPECT_EQ(runCheck(check), Outcome::NotFound);
    EXPECT_EQ(check.Payload(), "");
    EXPECT_EQ(check.LastError(), "");
}

TEST_F(CheckUpdateTest, StopsOnceEnoughBytesArrived)
{
    // The server promises a long page, sends its beginning and then stalls: the check
    // must not wait for the rest, which would only end at the far time limit.
    const QByteArray start = "<html><!--rev 4.0 -->" + QByteArray(2000, ' ');
    TestHttpServer server("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n" + start, true);
    TCheckUpdate check;
    check.SetURL(server.url());
    limit(check, 120000);
    EXPECT_EQ(runCheck(check, nullptr, 10000), Outcome::Found);
    EXPECT_EQ(check.Payload(), "4.0");
}

TEST_F(CheckUpdateTest, OnlyASuccessfulAnswerCounts)
{
    TCheckUpdate check;
    limit(check);
    {
        TestHttpServer server(answer("404 Not Found", "<html><!--rev 9.9 --></html>"));
        check.SetURL(server.url());
        EXPECT_EQ(runCheck(check), Outcome::NotFound);
        EXPECT_EQ(check.Payload(), "");
        EXPECT_TRUE(check.LastError().contains("404")) << check.LastError().toStdString();
    }
    {
        // A redirect is followed; its own body is not the page.
        TestHttpServer target(answer("200 OK", "<!--rev 3.2 -->"));
        TestHttpServer server(
            answer("302 Found", "<!--rev 0.1 -->", "Location: " + target.url("/new").toUtf8() + "\r\n"));
        check.SetURL(server.url());
        EXPECT_EQ(runCheck(check), Outcome::Found);
        EXPECT_EQ(check.Payload(), "3.2");
    }
    {
        QString closedUrl;
        {
            TestHttpServer gone("");
            closedUrl = gone.url();
        }
        check.SetURL(closedUrl);
        EXPECT_EQ(runCheck(check), Outcome::NotFound);
        EXPECT_NE(check.LastError(), "");
    }
    check.SetURL("file:///etc/hostname");
    EXPECT_EQ(runCheck(check), Outcome::NotFound);
}

TEST_F(CheckUpdateTest, AServerThatNeverAnswersRunsIntoTheTimeLimit)
{
    TestHttpServer server("", true);
    TCheckUpdate check;
    check.SetURL(server.url());
    limit(check, 300);
    EXPECT_EQ(runCheck(check), Outcome::NotFound);
    EXPECT_FALSE(server.waitForRequest().isEmpty());
    EXPECT_NE(check.LastError(), "");
}

TEST_F(CheckUpdateTest, DestroyingTheOwnerCancelsTheDownloadWithoutReport)
{
    TestHttpServer server("", true);
    QObject receiver;
    int reports = 0;
    auto *check = new TCheckUpdate;
    QObject::connect(check, &TCheckUpdate::Found, &receiver, [&] { ++reports; });
    QObject::connect(check, &TCheckUpdate::NotFound, &receiver, [&] { ++reports; });
    check->SetURL(server.url());
    check->SetTransferTimeout(60000);
    check->Execute();
    ASSERT_FALSE(server.waitForRequest().isEmpty()); // the download is under way
    delete check; // must neither hang for the limit nor crash

    QEventLoop loop;
    QTimer::singleShot(100, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_EQ(reports, 0);
}

TEST_F(CheckUpdateTest, ExecutingAgainReplacesTheRunningDownload)
{
    TestHttpServer silent("", true);
    TestHttpServer page(answer("200 OK", "<!--rev 5.5-->"));
    TCheckUpdate check;
    check.SetTransferTimeout(60000);
    check.SetURL(silent.url());
    check.Execute();
    ASSERT_FALSE(silent.waitForRequest().isEmpty());
    check.SetURL(page.url());
    int reports = 0;
    EXPECT_EQ(runCheck(check, &reports), Outcome::Found);
    EXPECT_EQ(reports, 1);
    EXPECT_EQ(check.Payload(), "5.5");
}

TEST(CheckUpdatePayload, TakesTheFirstMarkedCommentUpToItsEnd)
{
    EXPECT_EQ(TCheckUpdate::ExtractPayload("<!--rev 1 --><!--rev 2 -->", "rev"), "1");
    EXPECT_EQ(TCheckUpdate::ExtractPayload("<!--rev\n\t 3.1.7 \r\n-->", "rev"), "3.1.7");
    EXPECT_EQ(TCheckUpdate::ExtractPayload("<!--rev 3.1.7", "rev"), "");
    EXPECT_EQ(TCheckUpdate::ExtractPayload("--> <!--rev-->", "rev"), "");
    EXPECT_EQ(TCheckUpdate::ExtractPayload("<!--REV 1-->", "rev"), "");
    EXPECT_EQ(TCheckUpdate::ExtractPayload(QStringLiteral(u"<!--rev \u00a01\u00a0-->"), "rev"),
        QStringLiteral(u"\u00a01\u00a0"));
}

} // namespace
