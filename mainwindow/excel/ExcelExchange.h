#pragma once

#include "document/DocumentTypes.h"
#include "platform/Result.h"
#include "platform/workbook/Sheet.h"

#include <QString>
#include <QStringList>
#include <array>
#include <optional>

class Document;
class IExcelHost;

namespace platform::workbook {
class WorkbookWriter;
} // namespace platform::workbook

// The File menu's exchange of both tables with a workbook: "Excel Export" writes
// the task table, the absent-days table and a sheet of file information; "Excel
// Import..." adds (or, when the user wants, puts in place of the rows) the rows
// of such a workbook's two table sheets. A workbook that cannot be read, or
// whose sheets do not fit the tables, changes nothing; the import is one undo
// step.
class TExcelExchange {
public:
    TExcelExchange(Document &doc, IExcelHost &host);

    // "Excel Export": asks for the workbook's name, writes it and opens it.
    // The workbook written; empty when none was (cancelled, or the user was told why).
    QString Exportieren1Click();
    // "Excel Import...": asks for the workbook and imports it.
    void ExcelImport1Click();

    // The steps behind the menu items, for a chosen file.
    // Writes the workbook; fails with the reason.
    platform::Status ExportTo(const QString &fileName);
    // Imports the workbook with the clear question; false when it could not be read.
    bool ImportFrom(const QString &fileName);

    // The sheet names of the tables and of the file information, as written
    // and looked for.
    static QString SheetName(TWhichTable table);
    static QString InformationSheetName();

private:
    // A table's sheet of the workbook, if it has one.
    struct TSheetSource {
        TWhichTable table;
        std::optional<platform::workbook::Sheet> sheet;
    };

    // Reads the tables' sheets; fails with the reason when the workbook or a
    // sheet cannot be read.
    platform::Status ReadSheets(const QString &fileName, std::array<TSheetSource, 2> &sources) const;
    platform::Status puttable(TWhichTable table, platform::workbook::WorkbookWriter &writer);
    // Whether the sheet's row 1 names the table's columns; tells the user at the
    // first column that differs.
    bool HeaderFits(TWhichTable table, const platform::workbook::Sheet &sheet) const;
    // Adds the sheet's rows; the number of date cells whose text is no date.
    int importtable(TWhichTable table, const platform::workbook::Sheet &sheet);

    Document &FDoc;
    IExcelHost &FHost;
};
