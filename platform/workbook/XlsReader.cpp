#include "platform/workbook/XlsReader.h"

#include "platform/workbook/WorkbookLimits.h"

#include <QFile>
#include <freexl.h>

namespace platform::workbook {

namespace {

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
    case FREEXL_CRAFTED_FILE:
        return QStringLiteral("the file is damaged beyond repair");
    default:
        return QStringLiteral("the file is damaged (code %1)").arg(code);
    }
}

} // namespace

XlsReader::XlsReader(CellForms forms)
    : forms_(std::move(forms))
{ }

XlsReader::~XlsReader()
{
    if (handle_)
        freexl_close(handle_);
}

bool XlsReader::open(const QString &path, QString &error)
{
    const int rc = freexl_open(QFile::encodeName(path).constData(), &handle_);
    if (rc != FREEXL_OK) {
        if (handle_)
            freexl_close(handle_);
        handle_ = nullptr;
        error = freexlError(rc);
        return false;
    }
    unsigned int password = 0;
    if (freexl_get_info(handle_, FREEXL_BIFF_PASSWORD, &password) == FREEXL_OK
        && password == FREEXL_BIFF_OBFUSCATED) {
        error = QStringLiteral("the workbook is protected by a password");
        return false;
    }
    unsigned int count = 0;
    if (freexl_get_info(handle_, FREEXL_BIFF_SHEET_COUNT, &count) != FREEXL_OK) {
        error = QStringLiteral("the file holds no sheets");
        return false;
    }
    for (unsigned int i = 0; i < count; ++i) {
        const char *name = nullptr;
        if (freexl_get_worksheet_name(handle_, static_cast<unsigned short>(i), &name) != FREEXL_OK || !name) {
            error = QStringLiteral("the name of sheet %1 cannot be read").arg(i + 1);
            return false;
        }
        names_ << QString::fromUtf8(name);
    }
    return true;
}

bool XlsReader::readSheet(int index, Sheet &sheet, QString &error)
{
    if (index < 0 || index >= names_.size()) {
        error = QStringLiteral("the workbook has no sheet %1").arg(index + 1);
        return false;
    }
    sheet.reset(names_[index]);
    unsigned int rows = 0;
    unsigned short columns = 0;
    int rc = freexl_select_active_worksheet(handle_, static_cast<unsigned short>(index));
    if (rc == FREEXL_OK)
        rc = freexl_worksheet_dimensions(handle_, &rows, &columns);
    if (rc != FREEXL_OK) {
        error = QStringLiteral("sheet %1: %2").arg(names_[index], freexlError(rc));
        return false;
    }
    rows = std::min<unsigned int>(rows, MaxRows);
    for (unsigned int r = 0; r < rows; ++r) {
        for (unsigned short c = 0; c < columns; ++c) {
            FreeXL_CellValue value;
            rc = freexl_get_cell_value(handle_, r, c, &value);
            if (rc != FREEXL_OK) {
                error = QStringLiteral("sheet %1: %2").arg(names_[index], freexlError(rc));
                return false;
            }
            QString text;
            switch (value.type) {
            case FREEXL_CELL_INT:
                text = QString::number(value.value.int_value);
                break;
            case FREEXL_CELL_DOUBLE:
                text = numberText(value.value.double_value, forms_.decimalSeparator);
                break;
            case FREEXL_CELL_TEXT:
            case FREEXL_CELL_SST_TEXT:
                text = QString::fromUtf8(value.value.text_value);
                break;
            case FREEXL_CELL_DATE:
            case FREEXL_CELL_DATETIME:
            case FREEXL_CELL_TIME: {
                double date = 0;
                DateParts parts {};
                const std::string_view iso(value.value.text_value);
                text = forms_.dateText && parseIsoDate(iso, date, parts)
                    ? forms_.dateText(date, parts)
                    : QString::fromUtf8(value.value.text_value);
                break;
            }
            default:
                continue;
            }
            sheet.addCell(static_cast<int>(r) + 1, c + 1, std::move(text));
        }
    }
    sheet.finish();
    return true;
}

} // namespace platform::workbook
