#include "mainwindow/excel/ExcelExchange.h"

#include "document/Document.h"
#include "document/calendar/DateTime.h"
#include "document/program/Log.h"
#include "document/program/MessageDialog.h"
#include "document/program/Translation.h"
#include "document/program/Utils.h"
#include "mainwindow/excel/ExcelHost.h"
#include "platform/workbook/WorkbookLimits.h"
#include "platform/workbook/WorkbookReader.h"
#include "platform/workbook/WorkbookWriter.h"
#include "tables/TableCommands.h"

#include <QCollator>
#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <array>
#include <vector>

using platform::workbook::CellWrite;
using platform::workbook::Sheet;
using platform::workbook::WorkbookReader;
using platform::workbook::WorkbookWriter;

namespace {

constexpr std::array<TWhichTable, 2> Tables { tbTable, tbExclude };

// The hourglass for its lifetime.
class BusyScope {
public:
    explicit BusyScope(IExcelHost &host)
        : FHost(host)
    {
        FHost.SetBusy(true);
    }
    ~BusyScope() { FHost.SetBusy(false); }
    BusyScope(const BusyScope &) = delete;
    BusyScope &operator=(const BusyScope &) = delete;

private:
    IExcelHost &FHost;
};

// A spreadsheet takes a text beginning with "=" for a formula; one blank in
// front keeps it a text.
QString AsText(const QString &text)
{
    return text.startsWith(u'=') ? QLatin1Char(' ') + text : text;
}

void Warn(const QString &text)
{
    MessageDlg(text, mtWarning, { mbOK });
}

// Dates and times of the workbook as the document writes them in its cells.
platform::workbook::CellForms DocumentForms(const Document &doc)
{
    platform::workbook::CellForms forms;
    forms.decimalSeparator = FormatSettings().DecimalSeparator;
    forms.dateText = [&doc](double value, platform::workbook::DateParts parts) {
        switch (parts) {
        case platform::workbook::DateParts::Date:
            return DateToStr(value);
        case platform::workbook::DateParts::Time:
            return TimeToStr(value);
        case platform::workbook::DateParts::DateTime:
            break;
        }
        return doc.FormatDateTime(value);
    };
    return forms;
}

} // namespace

TExcelExchange::TExcelExchange(Document &doc, IExcelHost &host)
    : FDoc(doc)
    , FHost(host)
{ }

QString TExcelExchange::SheetName(TWhichTable table)
{
    return Translate(
        table == tbTable ? QStringLiteral("KEZ Table") : QStringLiteral("KEZ Table (Absent days)"));
}

QString TExcelExchange::InformationSheetName()
{
    return Translate(QStringLiteral("Dateiinformation"));
}

// --- export ---

QString TExcelExchange::Exportieren1Click()
{
    // Proposed: the document's name with the workbook's extension.
    const QString document = FHost.DocumentFileName();
    QString fileName;
    if (!document.isEmpty()) {
        const QFileInfo info(document);
        fileName = info.dir().filePath(info.completeBaseName() + QStringLiteral(".xlsx"));
    }
    if (!FHost.ChooseExportFileName(fileName) || fileName.isEmpty())
        return {};
    if (QFileInfo(fileName).suffix().isEmpty())
        fileName += QStringLiteral(".xlsx");
    platform::Status written;
    {
        BusyScope busy(FHost);
        written = ExportTo(fileName);
    }
    if (!written) {
        Log(QStringLiteral("Excel export to %1 failed: %2").arg(fileName, written.reason()));
        Warn(Translate(QStringLiteral("Error during export:\\n%s"), { written.reason() }));
        return {};
    }
    FHost.OpenWorkbook(fileName);
    return fileName;
}

platform::Status TExcelExchange::ExportTo(const QString &fileName)
{
    WorkbookWriter writer(fileName);
    for (const TWhichTable table : Tables) {
        if (!writer.addSheet(SheetName(table)))
            return platform::Status::failure(writer.errorText());
        if (platform::Status put = puttable(table, writer); !put)
            return put;
    }
    const TDateTime now = Now();
    const QStringList information {
        Translate(QStringLiteral("Daten erstellt mit: ")) + QStringLiteral("Zeltrano ") + GetFileVersion(),
        Translate(
            QStringLiteral("exportiert am: %s"), { DateToStr(now) + QLatin1Char(' ') + TimeToStr(now) }),
        Translate(QStringLiteral("Dateiname: %s"), { FHost.DocumentFileName() }),
    };
    if (!writer.addSheet(InformationSheetName()))
        return platform::Status::failure(writer.errorText());
    for (qsizetype row = 0; row < information.size(); ++row) {
        if (writer.writeText(int(row) + 1, 1, information[row]) == CellWrite::Failed)
            return platform::Status::failure(writer.errorText());
    }
    return writer.finish();
}

platform::Status TExcelExchange::puttable(TWhichTable table, WorkbookWriter &writer)
{
    const int columns = FDoc.GetTableColCount(table);
    const auto put = [&](int row, int column, const QString &text) {
        if (text.isEmpty())
            return true;
        switch (writer.writeText(row, column, AsText(text))) {
        case CellWrite::Written:
            return true;
        case CellWrite::Cut:
            Log(QStringLiteral("Excel export: the cell in row %1, column %2 of the sheet \"%3\" held %4 "
                               "characters and was cut to the workbook's limit of %5")
                    .arg(row)
                    .arg(column)
                    .arg(SheetName(table))
                    .arg(text.size())
                    .arg(platform::workbook::MaxCellTextLength));
            return true;
        case CellWrite::Failed:
            break;
        }
        return false;
    };
    // Columns as wide as their longest line (within reason), so that dates and
    // names show whole when the workbook opens.
    std::vector<qsizetype> widths(std::size_t(std::max(columns, 0)), 0);
    const auto measure = [&](int c, const QString &text) {
        const qsizetype line = text.indexOf(u'\n');
        widths[std::size_t(c)] = std::max(widths[std::size_t(c)], line < 0 ? text.size() : line);
    };
    for (int c = 0; c < columns; ++c)
        measure(c, FDoc.GetColumnCaption(table, c));
    FDoc.ForEach(table, feAll, [&](TNodeData &node) {
        for (int c = 0; c < columns; ++c)
            measure(c, FDoc.GetData(&node, c));
    });
    for (int c = 0; c < columns; ++c) {
        if (!writer.setColumnWidth(c + 1, double(std::clamp<qsizetype>(widths[std::size_t(c)], 8, 60)) + 1)
            || !put(1, c + 1, FDoc.GetColumnCaption(table, c)))
            return platform::Status::failure(writer.errorText());
    }
    int row = 2;
    bool ok = true;
    FDoc.ForEach(table, feAll, [&](TNodeData &node) {
        for (int c = 0; ok && c < columns; ++c)
            ok = put(row, c + 1, FDoc.GetData(&node, c));
        ++row;
    });
    return ok ? platform::Status() : platform::Status::failure(writer.errorText());
}

// --- import ---

void TExcelExchange::ExcelImport1Click()
{
    QString fileName;
    if (!FHost.ChooseImportFileName(fileName) || fileName.isEmpty())
        return;
    ImportFrom(fileName);
}

bool TExcelExchange::ImportFrom(const QString &fileName)
{
    // The whole workbook is read and checked before anything of the document
    // changes: a workbook that cannot be read, or a sheet that does not fit its
    // table, must never cost rows the user has.
    std::array<TSheetSource, 2> sources { TSheetSource { tbTable, {} }, TSheetSource { tbExclude, {} } };
    platform::Status readable;
    {
        BusyScope busy(FHost);
        readable = ReadSheets(fileName, sources);
    }
    if (!readable) {
        const QString &problem = readable.reason();
        Log(QStringLiteral("Excel import of %1 failed: %2").arg(fileName, problem));
        Warn(Translate(QStringLiteral("Error during import:\\n%s"), { problem }));
        return false;
    }
    std::vector<const TSheetSource *> fitting;
    for (const TSheetSource &source : sources) {
        if (!source.sheet)
            Warn(Translate(QStringLiteral("Sheet %s not found."), { SheetName(source.table) }));
        else if (HeaderFits(source.table, *source.sheet))
            fitting.push_back(&source);
    }
    if (fitting.empty())
        return true;

    TUndoGroupScope group(FDoc);
    const bool clear
        = MessageDlg(Translate(QStringLiteral("Clear table before import?\\nOtherwise all "
                                              "imported tasks will be added to the current list.")),
              mtConfirmation, { mbYes, mbNo })
        == mrYes;
    int unreadDates = 0;
    {
        BusyScope busy(FHost);
        UpdateBracket bracket(FDoc, Translate(QStringLiteral("Excel Import")));
        for (const TSheetSource *source : fitting) {
            // Only a table whose sheet is imported is emptied.
            if (clear)
                FDoc.ForEach(source->table, feAll, [this](TNodeData &node) { FDoc.DeleteNode(&node, true); });
            unreadDates += importtable(source->table, *source->sheet);
        }
    }
    if (unreadDates > 0) {
        Log(QStringLiteral("Excel import of %1: %2 cells could not be read as dates")
                .arg(fileName)
                .arg(unreadDates));
        MessageDlg(
            Translate(QStringLiteral("%s cells could not be read as dates. They keep their text; their rows "
                                     "are not shown on the chart until the dates are corrected."),
                { QString::number(unreadDates) }),
            mtInformation, { mbOK });
    }
    return true;
}

platform::Status TExcelExchange::ReadSheets(
    const QString &fileName, std::array<TSheetSource, 2> &sources) const
{
    WorkbookReader reader(DocumentForms(FDoc));
    if (platform::Status opened = reader.open(fileName); !opened)
        return opened;
    const QStringList names = reader.sheetNames();
    for (TSheetSource &source : sources) {
        const QString wanted = platform::workbook::cleanSheetName(SheetName(source.table));
        for (qsizetype k = 0; k < names.size(); ++k) {
            if (names[k].compare(wanted, Qt::CaseInsensitive) != 0)
                continue;
            source.sheet.emplace();
            if (platform::Status read = reader.readSheet(int(k), *source.sheet); !read)
                return read;
            break;
        }
    }
    return {};
}

bool TExcelExchange::HeaderFits(TWhichTable table, const Sheet &sheet) const
{
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    for (int c = 0; c < FDoc.GetTableColCount(table); ++c) {
        const QString expected = FDoc.GetColumnCaption(table, c);
        const QString found = sheet.cell(1, c + 1);
        if (collator.compare(expected, found) == 0)
            continue;
        Warn(Translate(
            QStringLiteral("Caution, table setup differs.\\nTable: %s\\nexpected column %s\\nwas column "
                           "%s\\nHint: Export the current table, insert your data to that table and "
                           "reimport it."),
            { sheet.name(), expected, found }));
        return false;
    }
    return true;
}

int TExcelExchange::importtable(TWhichTable table, const Sheet &sheet)
{
    const int columns = FDoc.GetTableColCount(table);
    int unreadDates = 0;
    // The sheet's rows end with the last one holding a value in the table's
    // columns; empty rows before it are empty rows of the table.
    const int lastRow = sheet.lastRowWithValue(columns);
    for (int row = 2; row <= lastRow; ++row) {
        TNodeData *node = FDoc.AddNode(FDoc.GetFreeID(), table, true);
        for (int c = 0; c < columns; ++c) {
            const QString text = sheet.cell(row, c + 1);
            if (text.isEmpty())
                continue;
            FDoc.SetData(node, c, text);
            TDateTime date = 0;
            if (FDoc.GetColumnType(table, c) == ctDate && !FDoc.TryStrToDateTime(text, date))
                ++unreadDates;
        }
    }
    return unreadDates;
}
