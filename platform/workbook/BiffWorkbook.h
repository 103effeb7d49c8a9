#pragma once

#include "platform/workbook/CellText.h"
#include "platform/workbook/NumberFormats.h"
#include "platform/workbook/Sheet.h"

#include <QStringList>
#include <string_view>
#include <vector>

namespace platform::workbook {

namespace biff {
struct Record;
class RecordReader;
} // namespace biff

// The sheets of an old binary workbook read from its record stream: texts
// (shared, inline, formula results), numbers, dates and elapsed times by the
// cells' formats, booleans as "TRUE" and "FALSE", errors as their codes. Reads
// the formats of Excel 97 and later and of Excel 5 and 95 (texts in the
// workbook's code page).
class BiffWorkbook {
public:
    explicit BiffWorkbook(CellForms forms);

    // False with `error` saying what is wrong; the sheets are then empty.
    bool read(std::string_view stream, QString &error);
    QStringList sheetNames() const;
    const std::vector<Sheet> &sheets() const { return FSheets; }

private:
    struct SheetEntry {
        QString name;
        uint32_t offset;
        bool worksheet;
    };

    bool readGlobals(std::string_view stream, QString &error);
    // `walked` is set to the bytes of the stream the sheet's records took.
    bool readSheet(
        std::string_view stream, const SheetEntry &entry, Sheet &sheet, size_t &walked, QString &error);
    bool readText(biff::RecordReader &in, QString &out, int lengthBytes);
    bool readSharedTexts(const biff::Record &record, QString &error);
    QString numberCell(uint16_t xf, double value) const;

    CellForms FForms;
    bool FOldFormat = false; // Excel 5 and 95: 8-bit texts in FCodePage
    int FCodePage = 1252;
    bool FDate1904 = false;
    std::vector<QString> FSharedTexts;
    std::vector<int> FCellFormatIds; // per cell format (XF): its number format
    std::vector<std::pair<int, QString>> FFormatCodes; // the workbook's own number formats
    std::vector<NumberFormat> FFormats; // per cell format
    std::vector<SheetEntry> FEntries;
    std::vector<Sheet> FSheets;
};

} // namespace platform::workbook
