// Workbooks as a spreadsheet program writes them (made by data/make-workbooks.py
// with LibreOffice Calc), in both formats, read cell by cell and compared with
// what the spreadsheet shows.
#include "platform/workbook/WorkbookReader.h"
#include "tests/platform/workbook/WorkbookTestSupport.h"

#include <QDate>
#include <gtest/gtest.h>

using platform::workbook::CellForms;
using platform::workbook::DateParts;
using platform::workbook::Sheet;
using platform::workbook::WorkbookReader;

namespace {

// Dates as "yyyy-MM-dd", times as "hh:mm:ss", through Qt's calendar.
CellForms isoForms()
{
    CellForms forms;
    forms.decimalSeparator = QLatin1Char(',');
    forms.dateText = [](double value, DateParts parts) {
        const double day = std::floor(value);
        const QDate date = QDate(1899, 12, 30).addDays(static_cast<qint64>(day));
        const QTime time = QTime(0, 0).addSecs(static_cast<int>(std::nearbyint((value - day) * 86400)));
        if (parts == DateParts::Date)
            return date.toString(QStringLiteral("yyyy-MM-dd"));
        if (parts == DateParts::Time)
            return time.toString(QStringLiteral("hh:mm:ss"));
        return date.toString(QStringLiteral("yyyy-MM-dd ")) + time.toString(QStringLiteral("hh:mm:ss"));
    };
    return forms;
}

class SpreadsheetWorkbook : public testing::TestWithParam<const char *> {
protected:
    void SetUp() override
    {
        const QString path = QStringLiteral(ZELTRANO_WORKBOOK_DATA "/spreadsheet.") + GetParam();
        ASSERT_TRUE(FReader.open(path)) << FReader.errorText().toStdString();
    }
    Sheet sheet(int index)
    {
        Sheet s;
        EXPECT_TRUE(FReader.readSheet(index, s)) << FReader.errorText().toStdString();
        return s;
    }

    WorkbookReader FReader { isoForms() };
};

} // namespace

TEST_P(SpreadsheetWorkbook, CellsAsTheSpreadsheetShowsThem)
{
    EXPECT_EQ(FReader.sheetNames(), QStringList({ "KEZ Table", "Long", "Empty", "Hidden" }));

    const Sheet tasks = sheet(0);
    EXPECT_EQ(tasks.cell(1, 1), "Name");
    EXPECT_EQ(tasks.cell(1, 6), "Check");
    const std::vector<std::pair<const char *, const char *>> values {
        { "number formula", "3" },
        { "text formula", "Müller" },
        { "true formula", "TRUE" },
        { "false formula", "FALSE" },
        { "error formula", "#DIV/0!" },
        { "missing formula", "#N/A" },
        { "empty formula", "" },
        { "date formula", "2100-03-01" },
        { "last day", "9999-12-31" },
        { "before March 2100", "2100-02-28" },
        { "March 1900", "1900-03-01" },
        { "date and time", "2024-03-15 12:30:00" },
        { "time", "06:15:00" },
        { "duration", "36:00" },
        { "long duration", "100:30:00" },
        { "negative duration", "-1:00" },
        { "true", "TRUE" },
        { "false", "FALSE" },
        { "number", "2,5" },
        { "merged", "merged text" },
    };
    for (size_t k = 0; k < values.size(); ++k) {
        const int row = static_cast<int>(k) + 2;
        EXPECT_EQ(tasks.cell(row, 1), QString::fromUtf8(values[k].first));
        EXPECT_EQ(tasks.cell(row, 3), QString::fromUtf8(values[k].second)) << values[k].first;
        // The cell merged into the one before it shows nothing.
        EXPECT_EQ(tasks.cell(row, 4), row == 21 ? QString() : QString::number(480 * (row - 1)));
        EXPECT_EQ(tasks.cell(row, 5), row % 2 ? "Ja" : "Nein");
    }
    EXPECT_EQ(tasks.lastRow(), 21) << "the formatted empty rows below the data do not count";

    const Sheet long_ = sheet(1);
    EXPECT_EQ(long_.cell(1, 1), QString("abcdefghij").repeated(2000));
    EXPECT_EQ(long_.cell(2, 1), QString::fromUtf8("Grüße € ").repeated(2200));
    EXPECT_EQ(long_.cell(3, 1), "after the long cells");
    EXPECT_EQ(sheet(2).lastRow(), 0);
    EXPECT_EQ(sheet(3).cell(1, 1), "hidden sheet");
}

INSTANTIATE_TEST_SUITE_P(BothFormats, SpreadsheetWorkbook, testing::Values("xlsx", "xls"));
