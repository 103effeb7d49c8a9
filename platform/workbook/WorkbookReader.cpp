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

bool WorkbookReader::open(const QString &path)
{
    backend_.reset();
    error_.clear();
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly)) {
        error_ = QStringLiteral("The file %1 cannot be opened: %2").arg(path, file.errorString());
        return false;
    }
    const QByteArray magic = file.read(8);
    const qint64 size = file.size();
    file.close();
    std::unique_ptr<WorkbookBackend> backend;
    if (magic.startsWith("PK\x03\x04")) {
        backend = std::make_unique<XlsxReader>(forms_);
    } else if (magic == QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8)) {
        if (size > MaxXlsBytes) {
            error_
                = QStringLiteral("The workbook %1 is larger than %2 MiB.").arg(path).arg(MaxXlsBytes >> 20);
            return false;
        }
        backend = std::make_unique<XlsReader>(forms_);
    } else {
        error_ = QStringLiteral("The file %1 is no Excel workbook (.xlsx or .xls).").arg(path);
        return false;
    }
    QString reason;
    if (!backend->open(path, reason)) {
        error_ = QStringLiteral("The workbook %1 cannot be read: %2.").arg(path, reason);
        return false;
    }
    backend_ = std::move(backend);
    return true;
}

QStringList WorkbookReader::sheetNames() const
{
    return backend_ ? backend_->sheetNames() : QStringList();
}

bool WorkbookReader::readSheet(int index, Sheet &sheet)
{
    QString reason;
    if (!backend_) {
        error_ = QStringLiteral("No workbook is open.");
    } else if (backend_->readSheet(index, sheet, reason)) {
        return true;
    } else {
        error_ = QStringLiteral("The workbook cannot be read: %1.").arg(reason);
    }
    sheet.reset(QString());
    return false;
}

} // namespace platform::workbook
