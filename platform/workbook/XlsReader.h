#pragma once

#include "platform/workbook/BiffWorkbook.h"
#include "platform/workbook/CellText.h"
#include "platform/workbook/WorkbookBackend.h"

namespace platform::workbook {

// An old binary workbook (.xls): its compound file is opened by libolecf, whose
// records our own reader (BiffWorkbook) turns into cell texts.
//
// The library does not withstand every crafted file, so it runs in a child
// process that sends the workbook's record stream back through a pipe; a child
// that crashes, hangs or says too much makes a damaged file, and the program
// goes on.
class XlsReader : public WorkbookBackend {
public:
    // The largest record stream taken from a compound file.
    static constexpr uint32_t MaxStreamBytes = 256u << 20;

    explicit XlsReader(CellForms forms);

    Status open(const QString &path) override;
    QStringList sheetNames() const override { return FWorkbook.sheetNames(); }
    Status readSheet(int index, Sheet &sheet) override;

private:
    BiffWorkbook FWorkbook;
};

} // namespace platform::workbook
