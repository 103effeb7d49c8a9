#pragma once

#include "platform/workbook/Sheet.h"

#include <QStringList>

namespace platform::workbook {

// One workbook file format behind the reader.
class WorkbookBackend {
public:
    virtual ~WorkbookBackend() = default;
    virtual bool open(const QString &path, QString &error) = 0;
    virtual QStringList sheetNames() const = 0;
    virtual bool readSheet(int index, Sheet &sheet, QString &error) = 0;
};

} // namespace platform::workbook
