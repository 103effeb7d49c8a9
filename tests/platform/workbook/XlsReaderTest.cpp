// Old binary workbooks written by xlwt read into cell texts.
#include "platform/workbook/WorkbookReader.h"
#include "tests/platform/workbook/WorkbookTestSupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using platform::workbook::Sheet;
using platform::workbook::WorkbookReader;

namespace {

const QByteArray XlwtBook = R"PY(
import sys, datetime, xlwt
book = xlwt.Workbook(encoding="utf-8")
tasks = book.add_sheet("KEZ Table")
for c, caption in enumerate(["Name", "Start", "Länge", "Zeit", "Beides"]):
    tasks.write(0, c, caption)
date = xlwt.easyxf(num_format_str="DD.MM.YYYY")
clock = xlwt.easyxf(num_format_str="hh:mm")
both = xlwt.easyxf(num_format_str="DD.MM.YYYY hh:mm")
tasks.write(1, 0, "Müller €")
tasks.write(1, 1, datetime.date(2024, 3, 15), date)
tasks.write(1, 2, 480)
tasks.write(1, 3, datetime.time(12, 30), clock)
tasks.write(1, 4, datetime.datetime(2024, 3, 15, 12, 30), both)
tasks.write(3, 0, "after an empty row")
tasks.write(3, 2, 2.75)
tasks.write(3, 7, "extra column")
book.add_sheet("KEZ Table (Absent days)").write(0, 0, "Position")
book.save(sys.argv[1])
)PY";

} // namespace

TEST(XlsReader, XlwtTextsNumbersAndDates)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("old.xls");
    workbooktest::runPython(XlwtBook, { path });

    WorkbookReader reader(workbooktest::testForms(QLatin1Char(',')));
    ASSERT_TRUE(reader.open(path)) << reader.errorText().toStdString();
    EXPECT_EQ(reader.sheetNames(), QStringList({ "KEZ Table", "KEZ Table (Absent days)" }));
    Sheet sheet;
    ASSERT_TRUE(reader.readSheet(0, sheet)) << reader.errorText().toStdString();
    EXPECT_EQ(sheet.cell(1, 3), QString::fromUtf8("Länge"));
    EXPECT_EQ(sheet.cell(2, 1), QString::fromUtf8("Müller €"));
    EXPECT_EQ(sheet.cell(2, 2), "D 45366.000000");
    EXPECT_EQ(sheet.cell(2, 3), "480");
    EXPECT_EQ(sheet.cell(2, 4), "T 0.520833");
    EXPECT_EQ(sheet.cell(2, 5), "DT 45366.520833");
    EXPECT_EQ(sheet.cell(3, 1), "");
    EXPECT_EQ(sheet.cell(4, 1), "after an empty row");
    EXPECT_EQ(sheet.cell(4, 3), "2,75");
    EXPECT_EQ(sheet.cell(4, 8), "extra column");
    EXPECT_EQ(sheet.lastRow(), 4);
    ASSERT_TRUE(reader.readSheet(1, sheet));
    EXPECT_EQ(sheet.name(), "KEZ Table (Absent days)");
    EXPECT_EQ(sheet.cell(1, 1), "Position");
}
