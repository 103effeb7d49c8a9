#pragma once

#include "platform/Result.h"

#include <QString>

struct lxw_workbook;
struct lxw_worksheet;

namespace platform::workbook {

enum class CellWrite {
    Written,
    Cut, // written, but cut to the workbook's limit of MaxCellTextLength characters
    Failed // see errorText()
};

// Writes an .xlsx workbook of text cells, row after row, in constant memory.
// Nothing touches `path` until finish() succeeds: the workbook is written to a
// temporary file beside it, flushed to disk and renamed over it. A writer
// destroyed before finish() leaves no file behind.
//
// Rows and columns count from 1. Within a sheet, rows are written in rising
// order (the rows before are already on disk).
class WorkbookWriter {
public:
    explicit WorkbookWriter(const QString &path);
    ~WorkbookWriter();
    WorkbookWriter(const WorkbookWriter &) = delete;
    WorkbookWriter &operator=(const WorkbookWriter &) = delete;

    // Adds a sheet named cleanSheetName(name) and makes it the one written to.
    bool addSheet(const QString &name);
    CellWrite writeText(int row, int column, const QString &text);
    // The width of a column of the current sheet, in characters of the default font.
    bool setColumnWidth(int column, double characters);
    // Completes the file and puts it in place; fails with the first failure's
    // reason (also errorText()) when anything went wrong.
    Status finish();
    QString errorText() const { return error_; }

private:
    bool fail(const QString &what, int code);

    QString path_;
    QString temp_;
    lxw_workbook *workbook_ = nullptr;
    lxw_worksheet *sheet_ = nullptr;
    QString error_;
};

} // namespace platform::workbook
