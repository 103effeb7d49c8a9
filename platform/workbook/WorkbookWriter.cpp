#include "platform/workbook/WorkbookWriter.h"

#include "platform/AtomicFile.h"
#include "platform/workbook/CellText.h"
#include "platform/workbook/WorkbookLimits.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <xlsxwriter.h>

namespace platform::workbook {

namespace {

// The text as written (escaped) and whether it had to be cut to fit the limit,
// which counts the characters as written.
QString fittedText(const QString &text, bool &cut)
{
    qsizetype length = std::min<qsizetype>(text.size(), MaxCellTextLength);
    QString escaped = encodeEscapes(cutText(text, length));
    while (escaped.size() > MaxCellTextLength) {
        length -= escaped.size() - MaxCellTextLength;
        escaped = encodeEscapes(cutText(text, length));
    }
    cut = length < text.size();
    return escaped;
}

// Why a file cannot be created at `path`, in words: the writing library only says
// "usually a permissions error" and tells the real reason to stderr.
QString whyNotCreated(const QString &path)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (!QFileInfo(folder).isDir())
        return QStringLiteral("the folder %1 does not exist").arg(QDir::toNativeSeparators(folder));
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    ::close(fd);
    ::unlink(name.constData());
    return {};
}

} // namespace

WorkbookWriter::WorkbookWriter(const QString &path)
    : path_(path)
    , temp_(temporaryPathFor(path))
{
    lxw_workbook_options options {};
    options.constant_memory = LXW_TRUE;
    workbook_ = workbook_new_opt(QFile::encodeName(temp_).constData(), &options);
    if (!workbook_)
        error_ = QStringLiteral("The workbook cannot be created (out of memory or temporary files).");
}

WorkbookWriter::~WorkbookWriter()
{
    if (workbook_)
        lxw_workbook_free(workbook_);
    QFile::remove(temp_);
}

bool WorkbookWriter::fail(const QString &what, int code)
{
    error_
        = QStringLiteral("%1: %2").arg(what, QString::fromUtf8(lxw_strerror(static_cast<lxw_error>(code))));
    return false;
}

bool WorkbookWriter::addSheet(const QString &name)
{
    if (!workbook_)
        return false;
    const QByteArray clean = cleanSheetName(name).toUtf8();
    const char *sheetName = clean.isEmpty() ? nullptr : clean.constData();
    if (sheetName) {
        const lxw_error rc = workbook_validate_sheet_name(workbook_, sheetName);
        if (rc != LXW_NO_ERROR)
            return fail(QStringLiteral("The sheet \"%1\" cannot be added").arg(name), rc);
    }
    sheet_ = workbook_add_worksheet(workbook_, sheetName);
    if (!sheet_)
        return fail(
            QStringLiteral("The sheet \"%1\" cannot be added").arg(name), LXW_ERROR_MEMORY_MALLOC_FAILED);
    return true;
}

CellWrite WorkbookWriter::writeText(int row, int column, const QString &text)
{
    if (!workbook_ || !sheet_) {
        error_ = QStringLiteral("No sheet to write to.");
        return CellWrite::Failed;
    }
    if (row < 1 || row > MaxRows || column < 1 || column > MaxColumns) {
        fail(QStringLiteral("Cell (%1, %2)").arg(row).arg(column), LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE);
        return CellWrite::Failed;
    }
    bool cut = false;
    const QByteArray utf8 = fittedText(text, cut).toUtf8();
    const lxw_error rc = worksheet_write_string(sheet_, static_cast<lxw_row_t>(row - 1),
        static_cast<lxw_col_t>(column - 1), utf8.constData(), nullptr);
    if (rc != LXW_NO_ERROR) {
        fail(QStringLiteral("Cell (%1, %2)").arg(row).arg(column), rc);
        return CellWrite::Failed;
    }
    return cut ? CellWrite::Cut : CellWrite::Written;
}

bool WorkbookWriter::setColumnWidth(int column, double characters)
{
    if (!workbook_ || !sheet_ || column < 1 || column > MaxColumns)
        return false;
    const auto c = static_cast<lxw_col_t>(column - 1);
    const lxw_error rc = worksheet_set_column(sheet_, c, c, characters, nullptr);
    return rc == LXW_NO_ERROR || fail(QStringLiteral("Column %1").arg(column), rc);
}

Status WorkbookWriter::finish()
{
    if (!workbook_)
        return Status::failure(error_);
    const lxw_error rc = workbook_close(workbook_);
    workbook_ = nullptr;
    sheet_ = nullptr;
    if (rc == LXW_ERROR_CREATING_XLSX_FILE) {
        if (const QString reason = whyNotCreated(temp_); !reason.isEmpty()) {
            error_ = QStringLiteral("The workbook %1 cannot be written: %2").arg(path_, reason);
            return Status::failure(error_);
        }
    }
    if (rc != LXW_NO_ERROR) {
        fail(QStringLiteral("The workbook %1 cannot be written").arg(path_), rc);
        return Status::failure(error_);
    }
    const WriteResult result = commitTemporaryFile(temp_, path_);
    if (!result) {
        error_ = QStringLiteral("The workbook %1 cannot be written: %2").arg(path_, result.reason());
        return Status::failure(error_);
    }
    return {};
}

} // namespace platform::workbook
