#pragma once

#include "platform/Result.h"
#include "platform/workbook/CellText.h"
#include "platform/workbook/Sheet.h"

#include <QStringList>
#include <memory>

namespace platform::workbook {

class WorkbookBackend;

// Reads a workbook into cell texts: an .xlsx workbook or an old binary .xls one,
// told apart by their contents, not their names. Numbers read as a spreadsheet
// shows them in the general format, dates and times through the caller's forms,
// booleans as "TRUE" and "FALSE", errors as their codes ("#DIV/0!"), formulas as
// their last computed values.
//
// Bad input of any kind (another format, a damaged or truncated file, an archive
// that would expand beyond ZipPackage::MaxExpandedBytes), and anything the
// reading throws (running out of memory), ends in a failure saying why (also
// errorText()); nothing read so far is kept.
class WorkbookReader {
public:
    explicit WorkbookReader(CellForms forms = {});
    ~WorkbookReader();
    WorkbookReader(const WorkbookReader &) = delete;
    WorkbookReader &operator=(const WorkbookReader &) = delete;

    Status open(const QString &path);
    // The sheets in the workbook's order.
    QStringList sheetNames() const;
    Status readSheet(int index, Sheet &sheet);
    QString errorText() const { return error_; }

private:
    // The reason it cannot be opened; empty when it is.
    QString openBackend(const QString &path);

    CellForms forms_;
    std::unique_ptr<WorkbookBackend> backend_;
    QString error_;
};

} // namespace platform::workbook
