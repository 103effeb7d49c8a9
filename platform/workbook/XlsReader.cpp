#include "platform/workbook/XlsReader.h"

#include "platform/workbook/XlsChild.h"

#include <QDeadlineTimer>
#include <QFile>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#define ZELTRANO_CHILD_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZELTRANO_CHILD_SANITIZED 1
#endif
#endif
#ifdef ZELTRANO_CHILD_SANITIZED
#include <sanitizer/common_interface_defs.h>
#endif

namespace platform::workbook {

namespace {

constexpr size_t MaxMessageBytes = XlsReader::MaxStreamBytes + 64;
constexpr int ChildSeconds = 60;
constexpr int ChildFailed = 3;

// Reads the child's message until it closes the pipe; false when it says more
// than any workbook would or takes too long.
bool readMessage(int fd, std::string &out, QString &error)
{
    QDeadlineTimer deadline(ChildSeconds * 1000);
    std::vector<char> chunk(1 << 16);
    while (true) {
        pollfd p { fd, POLLIN, 0 };
        const int ready = ::poll(&p, 1, static_cast<int>(std::max<qint64>(deadline.remainingTime(), 0)));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0) {
            error = QStringLiteral("reading the file takes too long");
            return false;
        }
        const ssize_t n = ::read(fd, chunk.data(), chunk.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n == 0;
        if (out.size() + static_cast<size_t>(n) > MaxMessageBytes) {
            error = QStringLiteral("its workbook data is larger than %1 MiB")
                        .arg(XlsReader::MaxStreamBytes >> 20);
            return false;
        }
        out.append(chunk.data(), static_cast<size_t>(n));
    }
}

// The record stream in the child's message, or the reason it gave.
bool decodeMessage(const std::string &message, std::string_view &stream, QString &error)
{
    uint32_t length = 0;
    if (message.size() >= 5)
        std::memcpy(&length, message.data() + 1, sizeof length);
    if (message.size() < 5 || message.size() - 5 < length) {
        error = QStringLiteral("the file is damaged (its reading ended early)");
        return false;
    }
    const std::string_view payload = std::string_view(message).substr(5, length);
    if (message[0] == xlsrecord::Error) {
        error = QString::fromUtf8(payload.data(), static_cast<qsizetype>(payload.size()));
        return false;
    }
    if (message[0] != xlsrecord::Stream || message.size() != 5 + size_t(length) + 1
        || message.back() != xlsrecord::End) {
        error = QStringLiteral("the file is damaged (its reading ended early)");
        return false;
    }
    stream = payload;
    return true;
}

} // namespace

XlsReader::XlsReader(CellForms forms)
    : FWorkbook(std::move(forms))
{ }

Status XlsReader::open(const QString &path)
{
    QString error;
    const QByteArray file = QFile::encodeName(path);
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return Status::failure(QStringLiteral("no pipe to the reading process: %1")
                                   .arg(QString::fromLocal8Bit(std::strerror(errno))));
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
#ifdef ZELTRANO_CHILD_SANITIZED
        // A fault the sanitizer finds in the library ends this child only.
        __sanitizer_set_death_callback(+[] { ::_exit(ChildFailed); });
#endif
        ::_exit(writeXlsStream(file.constData(), fds[1], MaxStreamBytes));
    }
    ::close(fds[1]);
    if (child < 0) {
        ::close(fds[0]);
        return Status::failure(
            QStringLiteral("no reading process: %1").arg(QString::fromLocal8Bit(std::strerror(errno))));
    }
    std::string message;
    const bool complete = readMessage(fds[0], message, error);
    ::close(fds[0]);
    if (!complete)
        ::kill(child, SIGKILL);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) { }
    if (!complete)
        return Status::failure(error);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return Status::failure(QStringLiteral("the file is damaged (its container could not be read)"));
    std::string_view stream;
    if (!decodeMessage(message, stream, error) || !FWorkbook.read(stream, error))
        return Status::failure(error);
    return {};
}

Status XlsReader::readSheet(int index, Sheet &sheet)
{
    const std::vector<Sheet> &sheets = FWorkbook.sheets();
    if (index < 0 || index >= static_cast<int>(sheets.size()))
        return Status::failure(QStringLiteral("the workbook has no sheet %1").arg(index + 1));
    sheet = sheets[static_cast<size_t>(index)];
    return {};
}

} // namespace platform::workbook
