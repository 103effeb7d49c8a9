#pragma once

#include "platform/Result.h"
#include "platform/workbook/Sheet.h"

#include <QStringList>

namespace platform::workbook {

// One workbook file format behind the reader.
class WorkbookBackend {
public:
    virtual ~WorkbookBackend() = default;
    virtual Status open(const QString &path) = 0;
    virtual QStringList sheetNames() const = 0;
    virtual Status readSheet(int index, Sheet &sheet) = 0;
};

} // namespace platform::workbook
