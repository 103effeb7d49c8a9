#pragma once

#include "platform/workbook/CellText.h"
#include "platform/workbook/WorkbookBackend.h"

#include <vector>

namespace platform::workbook {

// An old binary workbook (.xls), read through libfreexl: texts, numbers, and
// dates and times (the library tells them by their formats).
//
// The library does not withstand crafted files (it can write past its own
// buffers), so it runs in a child process that sends the cells back through a
// pipe; a child that crashes, hangs or says too much makes a damaged file, and
// the program goes on.
class XlsReader : public WorkbookBackend {
public:
    explicit XlsReader(CellForms forms);

    bool open(const QString &path, QString &error) override;
    QStringList sheetNames() const override { return names_; }
    bool readSheet(int index, Sheet &sheet, QString &error) override;

private:
    bool decode(const std::string &message, QString &error);

    CellForms forms_;
    QStringList names_;
    std::vector<Sheet> sheets_;
};

} // namespace platform::workbook
