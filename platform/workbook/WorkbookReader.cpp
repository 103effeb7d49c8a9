#include "platform/workbook/WorkbookReader.h"

#include "platform/workbook/XlsReader.h"
#include "platform/workbook/XlsxReader.h"

#include <QFile>
#include <QFileInfo>

namespace platform::workbook {

namespace {

// An .xls workbook is held in a compound file; its size bounds what the library reads.
constexpr qint64 MaxXlsBytes = 256ll << 20;

} // namespace

WorkbookReader::WorkbookReader(CellForms forms)
    : forms_(std::move(forms))
{ }

WorkbookReader::~WorkbookReader() = default;

Status WorkbookReader::open(const QString &path)
{
    backend_.reset();
    error_ = openBackend(path);
    return error_.isEmpty() ? Status() : Status::failure(error_);
}

QString WorkbookReader::openBackend(const QString &path)
{
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly))
        return QStringLiteral("The file %1 cannot be opened: %2").arg(path, file.errorString());
    const QByteArray magic = file.read(8);
    const qint64 size = file.size();
    file.close();
    std::unique_ptr<WorkbookBackend> backend;
    if (magic.startsWith("PK\x03\x04")) {
        backend = std::make_unique<XlsxReader>(forms_);
    } else if (magic == QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8)) {
        if (size > MaxXlsBytes)
            return QStringLiteral("The workbook %1 is larger than %2 MiB.").arg(path).arg(MaxXlsBytes >> 20);
        backend = std::make_unique<XlsReader>(forms_);
    } else {
        return QStringLiteral("The file %1 is no Excel workbook (.xlsx or .xls).").arg(path);
    }
    Status opened;
    // The readers work on what the file claims; whatever they throw ends here as
    // the reason, with the half-opened backend gone.
    try {
        opened = backend->open(path);
    } catch (const std::exception &e) {
        opened = Status::failure(reasonOf(e));
    }
    if (!opened)
        return QStringLiteral("The workbook %1 cannot be read: %2.").arg(path, opened.reason());
    backend_ = std::move(backend);
    return QString();
}

QStringList WorkbookReader::sheetNames() const
{
    return backend_ ? backend_->sheetNames() : QStringList();
}

Status WorkbookReader::readSheet(int index, Sheet &sheet)
{
    Status read;
    if (!backend_) {
        error_ = QStringLiteral("No workbook is open.");
        sheet.reset(QString());
        return Status::failure(error_);
    }
    try {
        read = backend_->readSheet(index, sheet);
    } catch (const std::exception &e) {
        read = Status::failure(reasonOf(e));
    }
    if (read)
        return {};
    error_ = QStringLiteral("The workbook cannot be read: %1.").arg(read.reason());
    sheet.reset(QString());
    return Status::failure(error_);
}

} // namespace platform::workbook
