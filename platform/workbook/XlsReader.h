#pragma once

#include "platform/workbook/CellText.h"
#include "platform/workbook/WorkbookBackend.h"

namespace platform::workbook {

// An old binary workbook (.xls), read through libfreexl: texts, numbers, and
// dates and times (the library tells them by their formats).
class XlsReader : public WorkbookBackend {
public:
    explicit XlsReader(CellForms forms);
    ~XlsReader() override;
    XlsReader(const XlsReader &) = delete;
    XlsReader &operator=(const XlsReader &) = delete;

    bool open(const QString &path, QString &error) override;
    QStringList sheetNames() const override { return names_; }
    bool readSheet(int index, Sheet &sheet, QString &error) override;

private:
    CellForms forms_;
    const void *handle_ = nullptr;
    QStringList names_;
};

} // namespace platform::workbook
