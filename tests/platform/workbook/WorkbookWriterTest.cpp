// Our workbooks as openpyxl, a reader independent of ours, sees them.
#include "platform/workbook/WorkbookWriter.h"

#include "platform/AtomicFile.h"
#include "tests/platform/workbook/WorkbookTestSupport.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>

using platform::workbook::CellWrite;
using platform::workbook::WorkbookWriter;
using testsupport::folderEntries;

namespace {

// Every sheet with every cell that holds a value: row, column, value, type.
// Texts go through the format's escape rule, which openpyxl applies to shared
// texts only.
const QByteArray CheckScript = R"(
import json, sys, openpyxl
from openpyxl.utils.escape import unescape
book = openpyxl.load_workbook(sys.argv[1])
sheets = []
for sheet in book.worksheets:
    cells = []
    for row in sheet.iter_rows():
        for c in row:
            if c.value is not None:
                value = unescape(c.value) if isinstance(c.value, str) else c.value
                cells.append([c.row, c.column, value, c.data_type])
    sheets.append({"name": sheet.title, "cells": cells})
print(json.dumps(sheets))
)";

using Cells = std::map<std::pair<int, int>, QString>;

struct SheetSeen {
    QString name;
    Cells cells;
    QStringList types;
};

std::vector<SheetSeen> readBack(const QString &path)
{
    std::vector<SheetSeen> sheets;
    for (const QJsonValue &s : workbooktest::runPythonJson(CheckScript, { path }).array()) {
        SheetSeen seen { s[QLatin1String("name")].toString(), {}, {} };
        for (const QJsonValue &c : s[QLatin1String("cells")].toArray()) {
            const QJsonArray cell = c.toArray();
            seen.cells[{ cell[0].toInt(), cell[1].toInt() }] = cell[2].toString();
            seen.types << cell[3].toString();
        }
        sheets.push_back(seen);
    }
    return sheets;
}

void writeSheet(WorkbookWriter &writer, const QString &name, const std::vector<QStringList> &rows)
{
    ASSERT_TRUE(writer.addSheet(name)) << writer.errorText().toStdString();
    for (size_t r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < rows[r].size(); ++c)
            ASSERT_EQ(writer.writeText(static_cast<int>(r) + 1, c + 1, rows[r][c]), CellWrite::Written);
    }
}

Cells nonEmptyCells(const std::vector<QStringList> &rows)
{
    Cells cells;
    for (size_t r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < rows[r].size(); ++c) {
            if (!rows[r][c].isEmpty())
                cells[{ static_cast<int>(r) + 1, c + 1 }] = rows[r][c];
        }
    }
    return cells;
}

} // namespace

TEST(WorkbookWriter, SheetsAndTextCellsReadBackByAnIndependentReader)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("plan.xlsx");
    const std::vector<QStringList> tasks {
        { "Name", "Start", "Notiz" },
        { "Müller", "01.02.2024", "Grüße aus Köln, Größe ß" },
        { "€ 5 – „Zitat“", "𝄞 Noten", "中文 Ελληνικά Русский" },
        { "two\nlines", "tab\there", "windows\r\nline" },
        { " leading", "trailing ", "_x0041_ stays" },
        { "=1+2", "", "1,5" },
        { "nul\u0000inside", "0042", "TRUE" },
    };
    const std::vector<QStringList> absent { { "Position", "Von" }, { "Weiß", "03.04.2024" } };
    const std::vector<QStringList> info { { "Daten erstellt mit: Zeltrano" },
        { "exportiert am: 01.02.2024 10:00" } };
    WorkbookWriter writer(path);
    writeSheet(writer, "KEZ Table", tasks);
    writeSheet(writer, "KEZ Table (Absent days)", absent);
    writeSheet(writer, "Dateiinformation", info);
    ASSERT_TRUE(writer.finish()) << writer.errorText().toStdString();

    const auto sheets = readBack(path);
    ASSERT_EQ(sheets.size(), 3u);
    EXPECT_EQ(sheets[0].name, "KEZ Table");
    EXPECT_EQ(sheets[1].name, "KEZ Table (Absent days)");
    EXPECT_EQ(sheets[2].name, "Dateiinformation");
    EXPECT_EQ(sheets[0].cells, nonEmptyCells(tasks));
    EXPECT_EQ(sheets[1].cells, nonEmptyCells(absent));
    EXPECT_EQ(sheets[2].cells, nonEmptyCells(info));
    for (const SheetSeen &s : sheets)
        EXPECT_EQ(s.types.count("s"), s.types.size())
            << "every value is a text: " << s.types.join(' ').toStdString();
}

TEST(WorkbookWriter, NamesAndTextsBeyondTheLimitsAreCutAndReported)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("limits.xlsx");
    WorkbookWriter writer(path);
    // 35 characters, six of them forbidden in sheet names, and an apostrophe at the start.
    ASSERT_TRUE(writer.addSheet("'Plan [2024]: a*b?c/d\\e and so on.."));
    const QString clef = QString::fromUtf8("𝄞");
    const QString longText = QString(40000, u'x');
    const QString pairAtEdge = QString(32766, u'a') + clef + "b";
    EXPECT_EQ(writer.writeText(1, 1, longText), CellWrite::Cut);
    EXPECT_EQ(writer.writeText(1, 2, pairAtEdge), CellWrite::Cut);
    EXPECT_EQ(writer.writeText(1, 3, QString(32767, u'y')), CellWrite::Written);
    // The escape of a literal "_x0041_" counts toward the limit as written.
    EXPECT_EQ(writer.writeText(1, 4, QString(32760, u'z') + "_x0041_"), CellWrite::Cut);
    // 30 characters and a character outside the basic plane: the pair is not split.
    ASSERT_TRUE(writer.addSheet(QString(30, u'n') + clef + "more"));
    EXPECT_FALSE(writer.addSheet(QString(30, u'n') + clef)) << "a second sheet of the same name";
    EXPECT_FALSE(writer.errorText().isEmpty());
    EXPECT_EQ(writer.writeText(0, 1, "x"), CellWrite::Failed);
    EXPECT_EQ(writer.writeText(1, 16385, "x"), CellWrite::Failed);
    ASSERT_TRUE(writer.finish()) << writer.errorText().toStdString();

    const auto sheets = readBack(path);
    ASSERT_EQ(sheets.size(), 2u);
    EXPECT_EQ(sheets[0].name, "Plan _2024__ a_b_c_d_e and so o");
    EXPECT_EQ(sheets[1].name, QString(30, u'n'));
    EXPECT_EQ(sheets[0].cells.at({ 1, 1 }), QString(32767, u'x'));
    EXPECT_EQ(sheets[0].cells.at({ 1, 2 }), QString(32766, u'a'));
    EXPECT_EQ(sheets[0].cells.at({ 1, 3 }), QString(32767, u'y'));
    // Escaped, the text is 6 longer than the limit; cut by 6, its "_" no longer
    // starts an escape and stays as it is.
    EXPECT_EQ(sheets[0].cells.at({ 1, 4 }), QString(32760, u'z') + "_");
}

TEST(WorkbookWriter, RowsGoForwardWithinASheet)
{
    QTemporaryDir dir;
    WorkbookWriter writer(dir.filePath("order.xlsx"));
    ASSERT_TRUE(writer.addSheet("One"));
    ASSERT_EQ(writer.writeText(5, 1, "five"), CellWrite::Written);
    EXPECT_EQ(writer.writeText(3, 1, "three"), CellWrite::Failed) << "row 3 is already on disk";
    EXPECT_FALSE(writer.errorText().isEmpty());
}

TEST(WorkbookWriter, NothingReachesTheTargetUntilFinished)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("plan.xlsx");
    ASSERT_TRUE(testsupport::writeFile(path, "old workbook"));
    {
        WorkbookWriter abandoned(path);
        ASSERT_TRUE(abandoned.addSheet("One"));
        abandoned.writeText(1, 1, "new");
    }
    EXPECT_EQ(testsupport::readFile(path), "old workbook");
    EXPECT_EQ(folderEntries(dir.path()), QStringList { "plan.xlsx" });
    {
        platform::ScopedFileFaults faults({ {}, [](const QString &) { return true; } });
        WorkbookWriter writer(path);
        ASSERT_TRUE(writer.addSheet("One"));
        writer.writeText(1, 1, "new");
        EXPECT_FALSE(writer.finish());
        EXPECT_TRUE(writer.errorText().contains("rename")) << writer.errorText().toStdString();
    }
    EXPECT_EQ(testsupport::readFile(path), "old workbook");
    EXPECT_EQ(folderEntries(dir.path()), QStringList { "plan.xlsx" });

    WorkbookWriter nowhere(dir.filePath("no/such/folder/plan.xlsx"));
    ASSERT_TRUE(nowhere.addSheet("One"));
    EXPECT_FALSE(nowhere.finish());
    EXPECT_TRUE(
        nowhere.errorText().contains("the folder " + dir.filePath("no/such/folder") + " does not exist"))
        << nowhere.errorText().toStdString();

    WorkbookWriter writer(path);
    ASSERT_TRUE(writer.addSheet("One"));
    writer.writeText(1, 1, "new");
    ASSERT_TRUE(writer.finish());
    EXPECT_EQ(readBack(path).at(0).cells.at({ 1, 1 }), "new");
    EXPECT_EQ(folderEntries(dir.path()), QStringList { "plan.xlsx" });
}
