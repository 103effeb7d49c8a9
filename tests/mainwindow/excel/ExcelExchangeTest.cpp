// The Excel export and import as a planner meets them: files chosen in
// (scripted) dialogs, our workbooks checked by openpyxl, workbooks of openpyxl
// and xlwt imported, round trips, undo, and workbooks that must change nothing.
#include "mainwindow/excel/ExcelExchange.h"

#include "document/program/Log.h"
#include "document/program/Utils.h"
#include "mainwindow/excel/ExcelHost.h"
#include "tests/platform/workbook/WorkbookTestSupport.h"
#include "tests/support/TestFiles.h"
#include "tests/tables/TablesTestSupport.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>

namespace {

class ScriptedHost : public IExcelHost {
public:
    bool ChooseExportFileName(QString &fileName) override { return choose(fileName, "export"); }
    bool ChooseImportFileName(QString &fileName) override { return choose(fileName, "import"); }
    void OpenWorkbook(const QString &fileName) override { events << "open " + fileName; }
    void SetBusy(bool busy) override { events << (busy ? "busy" : "idle"); }
    QString DocumentFileName() const override { return document; }

    QString document, answer;
    QStringList events;

private:
    bool choose(QString &fileName, const char *what)
    {
        events << QString("%1 %2").arg(what, fileName);
        fileName = answer;
        return !answer.isEmpty();
    }
};

// Every sheet of a workbook as openpyxl sees it: name, then "row/column type value" per cell.
const QByteArray DumpScript = R"(
import json, sys, openpyxl
book = openpyxl.load_workbook(sys.argv[1])
print(json.dumps([[s.title] + ["%d/%d %s %s" % (c.row, c.column, c.data_type, c.value)
    for row in s.iter_rows() for c in row if c.value is not None] for s in book.worksheets]))
)";

class ExcelExchangeTest : public TablesTest {
protected:
    QStringList messages() const
    {
        QStringList texts;
        for (const auto &q : dialogs.Questions())
            texts << q.Msg;
        return texts;
    }
    QString path(const QString &name) const { return folder.filePath(name); }
    // A table's rows without their IDs, sorted: undoing a deletion brings a
    // row back under a new ID at the end.
    QStringList cells(TWhichTable table = tbTable) const
    {
        QStringList out;
        for (const QString &row : rowTexts(*doc, table))
            out << row.section(": ", 1);
        out.sort();
        return out;
    }
    void undo()
    {
        UpdateBracket bracket(*doc, "undo");
        doc->UndoRedo().Undo();
    }

    QTemporaryDir folder;
    ScriptedHost host;
    TExcelExchange exchange { *doc, host };
};

} // namespace

TEST_F(ExcelExchangeTest, ExportAsAnIndependentReaderSeesIt)
{
    task("=1+2", "Position 2", "04.03.2024", "2");
    task(QString::fromUtf8("a=b Grüße 𝄞 €\nzweite Zeile\tTab"), "Position 3");
    doc->GetTable(tbTable).SetHidden(task("hidden"), true);
    TNodeData *absent = doc->AddNode("a1", tbExclude, true);
    doc->SetData(absent, 0, "*");
    doc->SetData(absent, 6, QString::fromUtf8("Urlaub Weiß"));

    host.document = path("plan.kez");
    host.answer = path("chosen"); // no extension: the workbook's is added
    exchange.Exportieren1Click();
    const QString file = path("chosen.xlsx");
    EXPECT_EQ(host.events, QStringList({ "export " + path("plan.xlsx"), "busy", "idle", "open " + file }));
    EXPECT_TRUE(messages().isEmpty());

    const QJsonArray sheets = workbooktest::runPythonJson(DumpScript, { file }).array();
    ASSERT_EQ(sheets.size(), 3);
    const auto cells = [&](int sheet) {
        QStringList out;
        for (const QJsonValue &v : sheets[sheet].toArray())
            out << v.toString();
        return out;
    };
    EXPECT_EQ(cells(0),
        QStringList({ "KEZ Table",
            // captions, then every row in tree order, the hidden one too; all texts
            "1/1 s Position", "1/2 s Start", "1/3 s End", "1/4 s Length", "1/5 s State", "1/6 s Comment",
            "2/1 s Position 2", "2/2 s 04.03.2024", "2/3 s 05.03.2024", "2/4 s 2", "2/5 s State 1",
            "2/6 s  =1+2", "3/1 s Position 3", "3/2 s 04.03.2024", "3/3 s 04.03.2024", "3/4 s 1",
            "3/5 s State 1", QString::fromUtf8("3/6 s a=b Grüße 𝄞 €\nzweite Zeile\tTab"), "4/1 s Position 1",
            "4/2 s 04.03.2024", "4/3 s 04.03.2024", "4/4 s 1", "4/5 s State 1", "4/6 s hidden" }));
    EXPECT_EQ(cells(1).mid(0, 2), QStringList({ "KEZ Table (Absent days)", "1/1 s Position" }));
    EXPECT_EQ(cells(1).last(), QString::fromUtf8("2/7 s Urlaub Weiß"));
    const QStringList info = cells(2);
    ASSERT_EQ(info.size(), 4);
    EXPECT_EQ(info[0], "Dateiinformation");
    EXPECT_EQ(info[1], "1/1 s Daten erstellt mit: Zeltrano " + GetFileVersion());
    EXPECT_TRUE(info[2].startsWith("2/1 s exportiert am: " + DateToStr(Now()) + " "))
        << info[2].toStdString();
    EXPECT_EQ(info[3], "3/1 s Dateiname: " + path("plan.kez"));
    // Dates show whole: their column is wider than the ten characters of one.
    const QByteArray width = workbooktest::runPython(
        "import sys, "
        "openpyxl\nprint(openpyxl.load_workbook(sys.argv[1]).active.column_dimensions['B'].width)",
        { file });
    EXPECT_GT(width.trimmed().toDouble(), 10) << width.toStdString();
}

TEST_F(ExcelExchangeTest, RoundTripAppendsOrReplacesAsOneUndoStep)
{
    task("=1+2", "Position 2", "04.03.2024", "2");
    task("second", "Position 3", "05.03.2024", "1");
    const platform::Status exported = exchange.ExportTo(path("plan.xlsx"));
    ASSERT_TRUE(exported) << exported.reason().toStdString();
    const QStringList before = cells();
    const QStringList rowsBefore = rowTexts(*doc, tbTable);

    dialogs.QueueAnswer(mrNo);
    host.answer = path("plan.xlsx");
    exchange.ExcelImport1Click();
    const QStringList appended = rowTexts(*doc, tbTable);
    ASSERT_EQ(appended.size(), 4);
    EXPECT_EQ(appended.mid(0, 2), rowsBefore) << "appended after the rows there were";
    EXPECT_TRUE(appended[2].endsWith(": Position 2|04.03.2024|05.03.2024|2|State 1| =1+2"))
        << "the blank before \"=\" stays: " << appended[2].toStdString();
    EXPECT_EQ(doc->UndoRedoGroupIndex(), -1);
    undo();
    EXPECT_EQ(cells(), before) << "one undo step removes the whole import";

    dialogs.QueueAnswer(mrYes);
    ASSERT_TRUE(exchange.ImportFrom(path("plan.xlsx")));
    EXPECT_EQ(doc->TotalCount(tbTable), 2) << "replaced";
    EXPECT_EQ(messages().last(),
        "Clear table before import?\rOtherwise all imported tasks will be added to "
        "the current list.");
    undo();
    EXPECT_EQ(cells(), before);
}

TEST_F(ExcelExchangeTest, OpenpyxlAndXlwtWorkbooksImportAsTheirCellsShow)
{
    // Headers in other letter case, an extra column, an empty row inside the
    // range, numbers, dates and times in several formats, booleans; a 1904
    // workbook; the same in an .xls. No absent-days sheet.
    const QByteArray script = R"(
import sys, datetime, openpyxl, xlwt
rows = [["position", "START", "end", "Length", "state", "COMMENT", "extra"],
        ["Position 1", datetime.date(2024, 3, 4), None, 2, "State 2", 2.5, "ignored"],
        [],
        ["Position 2", datetime.datetime(2024, 3, 5, 12, 30), None, 1.0, True, datetime.time(6, 15)]]
for name, epoch in (("book.xlsx", None), ("mac.xlsx", 1904)):
    book = openpyxl.Workbook()
    sheet = book.active
    sheet.title = "KEZ Table"
    if epoch:
        book.epoch = openpyxl.utils.datetime.CALENDAR_MAC_1904
    for row in rows:
        sheet.append(row)
    sheet["B2"].number_format = "dd.mm.yyyy"
    sheet["F4"].number_format = "hh:mm"
    book.save(sys.argv[1] + "/" + name)
old = xlwt.Workbook()
sheet = old.add_sheet("KEZ Table")
for r, row in enumerate(rows):
    for c, value in enumerate(row):
        if value is not None:
            form = "DD.MM.YYYY" if isinstance(value, datetime.date) else "hh:mm"
            sheet.write(r, c, value, xlwt.easyxf(num_format_str=form) if isinstance(value, (datetime.date, datetime.time)) else xlwt.Style.default_style)
old.save(sys.argv[1] + "/book.xls")
)";
    workbooktest::runPython(script, { folder.path() });
    for (const char *name : { "book.xlsx", "mac.xlsx", "book.xls" }) {
        dialogs.QueueAnswer(mrOk); // the missing sheet
        dialogs.QueueAnswer(mrYes);
        ASSERT_TRUE(exchange.ImportFrom(path(name))) << name;
        const QStringList rows = rowTexts(*doc, tbTable);
        ASSERT_EQ(rows.size(), 3) << name;
        EXPECT_TRUE(rows[0].endsWith(": Position 1|04.03.2024|05.03.2024|2|State 2|2,5"))
            << rows[0].toStdString();
        EXPECT_TRUE(rows[1].endsWith(": ||||State 1|")) << "an empty row: " << rows[1].toStdString();
        EXPECT_TRUE(rows[2].endsWith(": Position 2|05.03.2024|05.03.2024|1|TRUE|06:15:00"))
            << rows[2].toStdString();
        EXPECT_EQ(messages().at(messages().size() - 2), "Sheet KEZ Table (Absent days) not found.");
    }
}

TEST_F(ExcelExchangeTest, AValueBesideTheTableFarBelowAddsNoRows)
{
    const QByteArray script = R"(
import sys, openpyxl
book = openpyxl.Workbook()
sheet = book.active
sheet.title = "KEZ Table"
sheet.append(["Position", "Start", "End", "Length", "State", "Comment"])
sheet.append(["Position 1"])
sheet["G900000"] = "beyond the table's columns"
sheet["A5"] = "last"
book.save(sys.argv[1])
)";
    workbooktest::runPython(script, { path("stray.xlsx") });
    dialogs.QueueAnswer(mrOk); // the missing sheet
    dialogs.QueueAnswer(mrYes);
    ASSERT_TRUE(exchange.ImportFrom(path("stray.xlsx")));
    // Rows 3 and 4 lie inside the table's range: empty rows of the table.
    const QStringList rows = rowTexts(*doc, tbTable);
    ASSERT_EQ(rows.size(), 4);
    EXPECT_TRUE(rows[0].section(": ", 1).startsWith("Position 1|")) << rows[0].toStdString();
    EXPECT_TRUE(rows[1].section(": ", 1).startsWith("||"))
        << "no position, no start: " << rows[1].toStdString();
    EXPECT_TRUE(rows[3].section(": ", 1).startsWith("last|")) << rows[3].toStdString();
}

TEST_F(ExcelExchangeTest, SheetsThatDoNotFitAndFilesThatCannotBeReadChangeNothing)
{
    task("kept");
    TNodeData *absent = doc->AddNode("a1", tbExclude, true);
    doc->SetData(absent, 6, "kept too");
    ASSERT_TRUE(exchange.ExportTo(path("plan.xlsx")));
    // A wrong header in the absent-days sheet: its message, the tasks still import
    // and only the task table is emptied.
    workbooktest::runPython(R"(
import sys, openpyxl
book = openpyxl.load_workbook(sys.argv[1])
book.worksheets[1]["C1"] = "Ende"
book.save(sys.argv[2])
open(sys.argv[3], "w").write("Name;Start\n")
data = open(sys.argv[1], "rb").read()
open(sys.argv[4], "wb").write(data[: len(data) // 2])
)",
        { path("plan.xlsx"), path("header.xlsx"), path("text.xls"), path("cut.xlsx") });
    dialogs.QueueAnswer(mrOk);
    dialogs.QueueAnswer(mrYes);
    ASSERT_TRUE(exchange.ImportFrom(path("header.xlsx")));
    EXPECT_EQ(messages().first(),
        "Caution, table setup differs.\rTable: KEZ Table (Absent days)\rexpected column "
        "End\rwas column Ende\rHint: Export the current table, insert your data to that "
        "table and reimport it.");
    EXPECT_EQ(doc->TotalCount(tbTable), 1);
    EXPECT_EQ(rowTexts(*doc, tbExclude), QStringList({ "a1: ||||Ja||kept too" }));

    const QStringList tasks = rowTexts(*doc, tbTable);
    const qsizetype asked = dialogs.Questions().size();
    // The reader's own reason is shown, not only logged.
    for (const auto &[name, reason] : { std::pair { "text.xls", "is no Excel workbook" },
             std::pair { "cut.xlsx", "damaged" }, std::pair { "missing.xlsx", "cannot be opened" } }) {
        EXPECT_FALSE(exchange.ImportFrom(path(name))) << name;
        EXPECT_TRUE(messages().last().startsWith("Error during import:\r"))
            << messages().last().toStdString();
        EXPECT_TRUE(messages().last().contains(reason)) << messages().last().toStdString();
        EXPECT_EQ(doc->UndoRedoGroupIndex(), -1);
    }
    EXPECT_EQ(dialogs.Questions().size(), asked + 3) << "no clear question, only the error";
    EXPECT_EQ(rowTexts(*doc, tbTable), tasks);
    EXPECT_EQ(rowTexts(*doc, tbExclude), QStringList({ "a1: ||||Ja||kept too" }));
    EXPECT_TRUE(
        testsupport::readFile(LogFilePath()).contains("Excel import of " + path("cut.xlsx").toUtf8()));

    // The next edit is an undo step of its own.
    doc->SetData(doc->FindNode(tasks[0].section(':', 0, 0)), 5, "edited");
    undo();
    EXPECT_EQ(rowTexts(*doc, tbTable), tasks);
}

TEST_F(ExcelExchangeTest, AnExportThatCannotBeWrittenSaysSoAndCutsAreLogged)
{
    host.answer = path("no/such/folder/plan.xlsx");
    exchange.Exportieren1Click();
    ASSERT_EQ(messages().size(), 1);
    EXPECT_TRUE(
        messages()[0].startsWith("Error during export:\rThe workbook " + path("no/such/folder/plan.xlsx")))
        << messages()[0].toStdString();
    EXPECT_FALSE(host.events.join(' ').contains("open "));

    task(QString(40000, u'x'));
    host.answer = path("long.xlsx");
    exchange.Exportieren1Click();
    EXPECT_TRUE(host.events.contains("open " + path("long.xlsx")));
    EXPECT_TRUE(testsupport::readFile(LogFilePath()).contains("held 40000 characters and was cut"));
    dialogs.QueueAnswer(mrYes);
    ASSERT_TRUE(exchange.ImportFrom(path("long.xlsx")));
    EXPECT_EQ(doc->GetData(doc->GetTable(tbTable).First(), 5), QString(32767, u'x'));
}

// Start texts as other programs write them: a date with a time and an ISO date
// are dates; the others keep their text, and the import says how many.
TEST_F(ExcelExchangeTest, DateTextsThatAreNoDatesAreKeptAndCounted)
{
    task("with a time", "Position 1", "05.03.2024 13:45", "1");
    task("iso", "Position 1", "2024-03-05", "1");
    task("words", "Position 1", "Anfang März", "1");
    task("no such day", "Position 1", "31.02.2024", "1");
    const platform::Status exported = exchange.ExportTo(path("texts.xlsx"));
    ASSERT_TRUE(exported) << exported.reason().toStdString();

    dialogs.QueueAnswer(mrYes); // clear the table first
    dialogs.QueueAnswer(mrOk);
    ASSERT_TRUE(exchange.ImportFrom(path("texts.xlsx")));
    ASSERT_EQ(doc->TotalCount(tbTable), 4);
    EXPECT_EQ(messages().last(),
        "2 cells could not be read as dates. They keep their text; their rows are not shown on the chart "
        "until the dates are corrected.");
    QStringList kept, valid;
    doc->ForEach(tbTable, feAll, [&](TNodeData &row) {
        kept << doc->GetData(&row, 1);
        if (row.nodeValid)
            valid << doc->GetData(&row, 5);
    });
    EXPECT_EQ(kept, QStringList({ "05.03.2024 13:45", "2024-03-05", "Anfang März", "31.02.2024" }));
    EXPECT_EQ(valid, QStringList({ "with a time", "iso" }));
    EXPECT_EQ(dialogs.UnexpectedCount(), 0);
}
