#include "platform/workbook/XlsReader.h"

#include "platform/workbook/WorkbookLimits.h"
#include "platform/workbook/XlsChild.h"

#include <QDeadlineTimer>
#include <QFile>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <freexl.h>
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

constexpr size_t MaxRecordBytes = 256u << 20;
constexpr int ChildSeconds = 60;
constexpr int ChildFailed = 3;

QString freexlError(int code)
{
    switch (code) {
    case FREEXL_INSUFFICIENT_MEMORY:
        return QStringLiteral("not enough memory");
    case FREEXL_BIFF_WORKBOOK_NOT_FOUND:
        return QStringLiteral("the file holds no workbook");
    case FREEXL_INVALID_CHARACTER:
    case FREEXL_UNSUPPORTED_CHARSET:
        return QStringLiteral("a text in an unknown character set");
    case FREEXL_BIFF_OBFUSCATED:
        return QStringLiteral("the workbook is protected by a password");
    default:
        return QStringLiteral("the file is damaged (code %1)").arg(code);
    }
}

// Reads the child's records until it closes the pipe; false when it says more
// than any workbook would or takes too long.
bool readRecords(int fd, std::string &out, QString &error)
{
    QDeadlineTimer deadline(ChildSeconds * 1000);
    char chunk[1 << 16];
    while (true) {
        pollfd p { fd, POLLIN, 0 };
        const int ready = ::poll(&p, 1, static_cast<int>(std::max<qint64>(deadline.remainingTime(), 0)));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0) {
            error = QStringLiteral("reading the file takes too long");
            return false;
        }
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n == 0;
        if (out.size() + static_cast<size_t>(n) > MaxRecordBytes) {
            error = QStringLiteral("the workbook holds more than %1 MiB of cells").arg(MaxRecordBytes >> 20);
            return false;
        }
        out.append(chunk, static_cast<size_t>(n));
    }
}

// Takes values from the child's records, never past their end.
class RecordReader {
public:
    explicit RecordReader(const std::string &bytes)
        : bytes_(bytes)
    { }
    template <typename T> bool get(T &value)
    {
        if (bytes_.size() - pos_ < sizeof value)
            return false;
        std::memcpy(&value, bytes_.data() + pos_, sizeof value);
        pos_ += sizeof value;
        return true;
    }
    bool getText(std::string_view &text)
    {
        uint32_t length = 0;
        if (!get(length) || bytes_.size() - pos_ < length)
            return false;
        text = std::string_view(bytes_).substr(pos_, length);
        pos_ += length;
        return true;
    }

private:
    const std::string &bytes_;
    size_t pos_ = 0;
};

} // namespace

XlsReader::XlsReader(CellForms forms)
    : forms_(std::move(forms))
{ }

bool XlsReader::open(const QString &path, QString &error)
{
    const QByteArray file = QFile::encodeName(path);
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        error = QStringLiteral("no pipe to the reading process: %1")
                    .arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
#ifdef ZELTRANO_CHILD_SANITIZED
        // A fault the sanitizer finds in the library ends this child only.
        __sanitizer_set_death_callback(+[] { ::_exit(ChildFailed); });
#endif
        ::_exit(writeXlsRecords(file.constData(), fds[1]));
    }
    ::close(fds[1]);
    if (child < 0) {
        ::close(fds[0]);
        error = QStringLiteral("no reading process: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    std::string records;
    const bool complete = readRecords(fds[0], records, error);
    ::close(fds[0]);
    if (!complete)
        ::kill(child, SIGKILL);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) { }
    if (!complete)
        return false;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        error = QStringLiteral("the file is damaged (its reading failed)");
        return false;
    }
    return decode(records, error);
}

bool XlsReader::decode(const std::string &message, QString &error)
{
    RecordReader in(message);
    Sheet *sheet = nullptr;
    char kind = 0;
    while (in.get(kind)) {
        if (kind == xlsrecord::End) {
            for (Sheet &s : sheets_)
                s.finish();
            return true;
        }
        if (kind == xlsrecord::Error) {
            int32_t code = 0;
            in.get(code);
            error = freexlError(code);
            return false;
        }
        if (kind == xlsrecord::Names && names_.isEmpty()) {
            uint32_t count = 0;
            if (!in.get(count))
                break;
            for (uint32_t i = 0; i < count; ++i) {
                std::string_view name;
                if (!in.getText(name))
                    break;
                names_ << QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
                sheets_.emplace_back();
                sheets_.back().reset(names_.back());
            }
            continue;
        }
        if (kind == xlsrecord::Sheet) {
            uint32_t index = 0;
            if (!in.get(index) || index >= sheets_.size())
                break;
            sheet = &sheets_[index];
            continue;
        }
        uint32_t row = 0;
        uint16_t column = 0;
        char type = 0;
        if (kind != xlsrecord::Cell || !sheet || !in.get(row) || !in.get(column) || !in.get(type)
            || row >= MaxRows)
            break;
        QString text;
        if (type == xlsrecord::Int) {
            int32_t value = 0;
            if (!in.get(value))
                break;
            text = QString::number(value);
        } else if (type == xlsrecord::Double) {
            double value = 0;
            if (!in.get(value))
                break;
            text = numberText(value, forms_.decimalSeparator);
        } else {
            std::string_view raw;
            if (!in.getText(raw))
                break;
            double date = 0;
            DateParts parts {};
            if (type != xlsrecord::Text && forms_.dateText && parseIsoDate(raw, date, parts))
                text = forms_.dateText(date, parts);
            else
                text = QString::fromUtf8(raw.data(), static_cast<qsizetype>(raw.size()));
        }
        sheet->addCell(static_cast<int>(row) + 1, column + 1, std::move(text));
    }
    error = QStringLiteral("the file is damaged (its reading ended early)");
    return false;
}

bool XlsReader::readSheet(int index, Sheet &sheet, QString &error)
{
    if (index < 0 || index >= static_cast<int>(sheets_.size())) {
        error = QStringLiteral("the workbook has no sheet %1").arg(index + 1);
        return false;
    }
    sheet = sheets_[static_cast<size_t>(index)];
    return true;
}

} // namespace platform::workbook
