// Workbooks written by others (openpyxl, and packages put together by hand from
// the format's parts) read into cell texts, checked against values worked out by
// hand.
#include "platform/workbook/WorkbookReader.h"
#include "tests/platform/workbook/WorkbookTestSupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using platform::workbook::CellForms;
using platform::workbook::DateParts;
using platform::workbook::Sheet;
using platform::workbook::WorkbookReader;

namespace {

using workbooktest::testForms;

Sheet readSheet(WorkbookReader &reader, int index)
{
    Sheet sheet;
    EXPECT_TRUE(reader.readSheet(index, sheet)) << reader.errorText().toStdString();
    return sheet;
}

const QByteArray OpenpyxlBooks = R"(
import sys, datetime, openpyxl
from openpyxl.utils.datetime import CALENDAR_MAC_1904
book = openpyxl.Workbook()
numbers = book.active
numbers.title = "Numbers"
for ref, value in [("A1", 42), ("B1", 2.5), ("C1", -0.125), ("D1", 1e20), ("E1", 0.1 + 0.2),
                   ("F1", 123456789012345), ("G1", 3.0), ("H1", 1e-7), ("I1", -17),
                   ("A2", True), ("B2", False), ("A3", "shared"), ("B3", "shared"),
                   ("C3", "Grüße 𝄞"), ("A6", "after two empty rows"), ("Z6", "extra column")]:
    numbers[ref] = value
dates = book.create_sheet("Dates")
moment = datetime.datetime(2024, 3, 15, 12, 30)
for ref, value, form in [("A1", moment, "dd.mm.yyyy"), ("B1", moment, "hh:mm"),
                         ("C1", moment, "dd.mm.yyyy hh:mm"), ("D1", moment, "mm-dd-yy"),
                         ("E1", moment, "h:mm AM/PM"), ("F1", datetime.time(6, 15), "[h]:mm:ss"),
                         ("G1", moment, '"Tag "d'), ("H1", moment, "mmm yy"),
                         ("I1", 45366.5, '0.00"h"'), ("J1", moment, "[$-407]dddd, d. mmmm yyyy"),
                         ("K1", 0.75, "mm:ss"), ("L1", datetime.date(1900, 1, 1), "dd.mm.yyyy"),
                         ("M1", 45366.25, "[Red]#,##0.00")]:
    dates[ref] = value
    dates[ref].number_format = form
book.save(sys.argv[1])
mac = openpyxl.Workbook()
mac.epoch = CALENDAR_MAC_1904
mac.active["A1"] = datetime.datetime(2024, 3, 15)
mac.active["A1"].number_format = "dd.mm.yyyy"
mac.active["B1"] = 10
mac.save(sys.argv[2])
)";

// A package assembled part by part: rich and inline texts, escapes, cached
// formula values, cells and rows without references, prefixed names, absolute
// and relative relationship targets, a chart sheet.
const QByteArray HandMadeBook = R"PY(
import sys, zipfile
parts = {
"[Content_Types].xml": '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"/>',
"_rels/.rels": '<?xml version="1.0"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
  '<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties" Target="docProps/core.xml"/>'
  '<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="/data/book.xml"/>'
  '</Relationships>',
"data/_rels/book.xml.rels": '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
  '<Relationship Id="s1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="sheets/first.xml"/>'
  '<Relationship Id="s2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/chartsheet" Target="charts/c.xml"/>'
  '<Relationship Id="s3" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="/data/sheets/../other.xml"/>'
  '<Relationship Id="t" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="texts.xml"/>'
  '<Relationship Id="x" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/hyperlink" Target="http://example.invalid/" TargetMode="External"/>'
  '</Relationships>',
"data/book.xml": '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\r\n'
  '<x:workbook xmlns:x="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:rel="http://schemas.openxmlformats.org/officeDocument/2006/relationships">'
  '<!-- sheets follow --><x:sheets><x:sheet name="KEZ &amp; more" sheetId="4" rel:id="s1"/>'
  '<x:sheet name="Chart" sheetId="2" rel:id="s2"/><x:sheet name="&#220;brige" sheetId="3" rel:id="s3"/></x:sheets></x:workbook>',
"data/texts.xml": '<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" count="4" uniqueCount="4">'
  '<si><t>plain</t></si>'
  '<si><r><rPr><b/></rPr><t>rich </t></r><r><t xml:space="preserve">runs </t></r><rPh sb="0" eb="1"><t>PHONETIC</t></rPh></si>'
  '<si><t>tab&#9;and_x000D_&#10;escapes _x005F_x0041_ _x00E4_</t></si>'
  '<si>\n  <r>\n    <t>pretty</t>\n  </r>\n  <r><t><![CDATA[ <cdata> & more]]></t></r>\n</si>'
  '</sst>',
"data/sheets/first.xml": '<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>'
  '<row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1" t="s"><v>1</v></c><c r="C1" t="s"><v>2</v></c><c r="D1" t="s"><v>3</v></c></row>'
  '<row r="2"><c r="A2" t="inlineStr"><is><t>inline_x0021_</t></is></c>'
  '<c r="B2" t="inlineStr"><is><r><t>in</t></r><r><rPr/><t>line runs</t></r></is></c>'
  '<c r="C2"><f>1+2</f><v>3</v></c><c r="D2" t="str"><f>"a"&amp;"b"</f><v>ab</v></c>'
  '<c r="E2" t="b"><f>TRUE()</f><v>1</v></c><c r="F2" t="e"><f>1/0</f><v>#DIV/0!</v></c>'
  '<c r="G2" t="e"><v>#N/A</v></c><c r="H2"><f>A9</f></c></row>'
  '<row><c t="inlineStr"><is><t>row 3, column 1</t></is></c><c><v>7.50</v></c><c r="E3"><v>1.5E3</v></c><c><v>-0</v></c></row>'
  '<row r="5" customHeight="1"><c r="B5" t="d"><v>2024-03-15T12:30:00</v></c><c r="C5" t="d"><v>2024-03-15</v></c></row>'
  '<row r="8" ht="30"/>'
  '<row r="9"><c r="C9" s="0"/></row>'
  '</sheetData><mergeCells count="1"><mergeCell ref="A1:B1"/></mergeCells></worksheet>',
"data/other.xml": '<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>'
  '<row r="2"><c r="B2" t="inlineStr"><is><t>two lines\r\nhere</t></is></c></row></sheetData></worksheet>',
"data/charts/c.xml": '<chartsheet/>',
}
with zipfile.ZipFile(sys.argv[1], "w", zipfile.ZIP_DEFLATED) as z:
    for name, text in parts.items():
        z.writestr(name, text.encode("utf-8"))
)PY";

} // namespace

TEST(XlsxReader, OpenpyxlNumbersTextsAndDates)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("book.xlsx");
    const QString mac = dir.filePath("mac.xlsx");
    workbooktest::runPython(OpenpyxlBooks, { path, mac });

    WorkbookReader reader(testForms(QLatin1Char(',')));
    ASSERT_TRUE(reader.open(path)) << reader.errorText().toStdString();
    EXPECT_EQ(reader.sheetNames(), QStringList({ "Numbers", "Dates" }));

    const Sheet numbers = readSheet(reader, 0);
    EXPECT_EQ(numbers.name(), "Numbers");
    const QStringList row1 { "42", "2,5", "-0,125", "1E+20", "0,3", "123456789012345", "3", "1E-07", "-17" };
    for (int c = 0; c < row1.size(); ++c)
        EXPECT_EQ(numbers.cell(1, c + 1), row1[c]) << "column " << c + 1;
    EXPECT_EQ(numbers.cell(2, 1), "TRUE");
    EXPECT_EQ(numbers.cell(2, 2), "FALSE");
    EXPECT_EQ(numbers.cell(3, 1), "shared");
    EXPECT_EQ(numbers.cell(3, 2), "shared");
    EXPECT_EQ(numbers.cell(3, 3), QString::fromUtf8("Grüße 𝄞"));
    EXPECT_EQ(numbers.lastRow(), 6);
    EXPECT_EQ(numbers.cell(4, 1), "");
    EXPECT_EQ(numbers.cell(5, 1), "");
    EXPECT_EQ(numbers.cell(6, 1), "after two empty rows");
    EXPECT_EQ(numbers.cell(6, 26), "extra column");
    EXPECT_EQ(numbers.cell(7, 1), "");

    const Sheet dates = readSheet(reader, 1);
    const QStringList expected {
        "D 45366.520833",
        "T 45366.520833",
        "DT 45366.520833",
        "D 45366.520833",
        "T 45366.520833",
        "6:15:00", // elapsed time
        "D 45366.520833",
        "D 45366.520833",
        "45366,5", // the "h" is quoted text, no hour
        "D 45366.520833",
        "T 0.750000",
        "D 2.000000", // 1 January 1900, before the day that never was
        "45366,25",
    };
    for (int c = 0; c < expected.size(); ++c)
        EXPECT_EQ(dates.cell(1, c + 1), expected[c]) << "column " << c + 1;

    WorkbookReader macReader(testForms());
    ASSERT_TRUE(macReader.open(mac)) << macReader.errorText().toStdString();
    const Sheet macSheet = readSheet(macReader, 0);
    EXPECT_EQ(macSheet.cell(1, 1), "D 45366.000000");
    EXPECT_EQ(macSheet.cell(1, 2), "10");
}

TEST(XlsxReader, WithoutDateFormsDatesReadAsTheirNumbers)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("book.xlsx");
    workbooktest::runPython(OpenpyxlBooks, { path, dir.filePath("mac.xlsx") });
    WorkbookReader reader;
    ASSERT_TRUE(reader.open(path)) << reader.errorText().toStdString();
    EXPECT_EQ(readSheet(reader, 1).cell(1, 3), "45366.5208333333");
}

TEST(XlsxReader, HandAssembledPackage)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("hand.xlsx");
    workbooktest::runPython(HandMadeBook, { path });
    WorkbookReader reader(testForms());
    ASSERT_TRUE(reader.open(path)) << reader.errorText().toStdString();
    EXPECT_EQ(reader.sheetNames(), QStringList({ "KEZ & more", "Chart", QString::fromUtf8("Übrige") }));

    const Sheet first = readSheet(reader, 0);
    EXPECT_EQ(first.cell(1, 1), "plain");
    EXPECT_EQ(first.cell(1, 2), "rich runs ");
    EXPECT_EQ(first.cell(1, 3), QString::fromUtf8("tab\tand\r\nescapes _x0041_ ä"));
    EXPECT_EQ(first.cell(1, 4), "pretty <cdata> & more");
    EXPECT_EQ(first.cell(2, 1), "inline!");
    EXPECT_EQ(first.cell(2, 2), "inline runs");
    EXPECT_EQ(first.cell(2, 3), "3");
    EXPECT_EQ(first.cell(2, 4), "ab");
    EXPECT_EQ(first.cell(2, 5), "TRUE");
    EXPECT_EQ(first.cell(2, 6), "#DIV/0!");
    EXPECT_EQ(first.cell(2, 7), "#N/A");
    EXPECT_EQ(first.cell(2, 8), "") << "a formula without a computed value";
    EXPECT_EQ(first.cell(3, 1), "row 3, column 1");
    EXPECT_EQ(first.cell(3, 2), "7.5");
    EXPECT_EQ(first.cell(3, 5), "1500");
    EXPECT_EQ(first.cell(3, 6), "0");
    EXPECT_EQ(first.cell(5, 2), "DT 45366.520833");
    EXPECT_EQ(first.cell(5, 3), "D 45366.000000");
    EXPECT_EQ(first.lastRow(), 5) << "neither the empty row 8 nor the empty cell of row 9 counts";

    const Sheet chart = readSheet(reader, 1);
    EXPECT_EQ(chart.lastRow(), 0);
    const Sheet other = readSheet(reader, 2);
    EXPECT_EQ(other.name(), QString::fromUtf8("Übrige"));
    EXPECT_EQ(other.cell(2, 2), "two lines\nhere");
    EXPECT_EQ(other.lastRow(), 2);
    Sheet none;
    EXPECT_FALSE(reader.readSheet(3, none));
}

namespace {

// One sheet of dates (a built-in date format) written by the program named in
// docProps/app.xml; argv[2] empty writes no such part.
const QByteArray DatedBook = R"PY(
import sys, zipfile
rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
parts = {
"_rels/.rels": '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
  '<Relationship Id="rId1" Type="' + rel + 'officeDocument" Target="xl/workbook.xml"/>'
  + ('<Relationship Id="rId2" Type="' + rel + 'extended-properties" Target="docProps/app.xml"/>' if sys.argv[2] else '')
  + '</Relationships>',
"docProps/app.xml": '<Properties xmlns="http://schemas.openxmlformats.org/officeDocument/2006/extended-properties">'
  '<Template></Template><Application>' + sys.argv[2] + '</Application></Properties>',
"xl/_rels/workbook.xml.rels": '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
  '<Relationship Id="s" Type="' + rel + 'worksheet" Target="sheet.xml"/>'
  '<Relationship Id="y" Type="' + rel + 'styles" Target="styles.xml"/></Relationships>',
"xl/workbook.xml": '<workbook xmlns:r="' + rel[:-1] + '"><sheets><sheet name="Dates" sheetId="1" r:id="s"/></sheets></workbook>',
"xl/styles.xml": '<styleSheet><cellXfs count="1"><xf numFmtId="14"/></cellXfs></styleSheet>',
"xl/sheet.xml": '<worksheet><sheetData><row r="1">' + ''.join(
  '<c r="%s1" s="0"><v>%s</v></c>' % (c, v) for c, v in zip("ABCD", ("2", "59", "-1", "45366"))) + '</row></sheetData></worksheet>',
}
with zipfile.ZipFile(sys.argv[1], "w") as z:
    for name, text in parts.items():
        z.writestr(name, text)
)PY";

} // namespace

TEST(XlsxReader, DatesBeforeMarch1900AsTheWritingProgramCountsThem)
{
    // LibreOffice counts no 29 February 1900 and writes days before 1900 as negative
    // serials; Excel (and whoever names no program) counts the day that never was and
    // shows no date before its day 0.
    const std::vector<std::pair<QString, QStringList>> writers {
        { "LibreOffice/7.4.7.2$Linux_X86_64 LibreOffice_project/40$Build-2",
            { "D 2.000000", "D 59.000000", "D -1.000000", "D 45366.000000" } },
        { "Microsoft Excel", { "D 3.000000", "D 60.000000", "-1", "D 45366.000000" } },
        { "", { "D 3.000000", "D 60.000000", "-1", "D 45366.000000" } },
    };
    QTemporaryDir dir;
    for (const auto &[application, expected] : writers) {
        const QString path = dir.filePath("dates.xlsx");
        workbooktest::runPython(DatedBook, { path, application });
        WorkbookReader reader(testForms());
        ASSERT_TRUE(reader.open(path)) << reader.errorText().toStdString();
        const Sheet dates = readSheet(reader, 0);
        for (int column = 1; column <= 4; ++column)
            EXPECT_EQ(dates.cell(1, column), expected[column - 1]) << application.toStdString();
    }
}
