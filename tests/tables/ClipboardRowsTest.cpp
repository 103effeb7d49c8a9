#include "tables/ClipboardRows.h"

#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>
#include <random>

namespace {

using Rows = QList<QStringList>;

TEST(ClipboardRows, CellsNeedingItAreQuotedAllOthersStayAsTheyAre)
{
    EXPECT_EQ(ClipboardText({ { "a", "b", "c" }, { "d", "", "f" } }), "a\tb\tc\r\nd\t\tf");
    EXPECT_EQ(ClipboardLine({ "tab\there", "line\r\nbreak", "\"quoted\" start", "in \"the\" middle" }),
        "\"tab\there\"\t\"line\r\nbreak\"\t\"\"\"quoted\"\" start\"\tin \"the\" middle");
    EXPECT_EQ(ClipboardLine({ "" }), "\"\""); // else an empty line
    EXPECT_EQ(ClipboardLine({ "", "" }), "\t");
}

TEST(ClipboardRows, LinesEndAtCrLfLfOrCrAndATrailingLineEndAddsNoRow)
{
    const Rows two { { "a", "b" }, { "c", "d" } };
    EXPECT_EQ(ReadClipboardRows(u"a\tb\r\nc\td", 2).rows, two);
    EXPECT_EQ(ReadClipboardRows(u"a\tb\nc\td\n", 2).rows, two);
    EXPECT_EQ(ReadClipboardRows(u"a\tb\rc\td\r\n", 2).rows, two);
    EXPECT_EQ(ReadClipboardRows(u"a\r\n\r\nb\r\n", 1).rows, Rows({ { "a" }, { "" }, { "b" } }));
    EXPECT_EQ(ReadClipboardRows(u"\"\"", 1).rows, Rows({ { "" } }));
}

TEST(ClipboardRows, QuotedFieldsKeepTabsLineBreaksAndQuotes)
{
    const TClipboardRows read = ReadClipboardRows(u"\"x\ty\"\t\"1\r\n2\"\r\n\"\"\"q\"\"\"\t\"\"", 2);
    ASSERT_TRUE(read.Accepted());
    EXPECT_EQ(read.rows, Rows({ { "x\ty", "1\r\n2" }, { "\"q\"", "" } }));
    // Quotes that do not close right before a field's end are plain text.
    EXPECT_EQ(ReadClipboardRows(u"\"open\tb", 2).rows, Rows({ { "\"open", "b" } }));
    EXPECT_EQ(ReadClipboardRows(u"\"a\"b\tc", 2).rows, Rows({ { "\"a\"b", "c" } }));
    EXPECT_EQ(ReadClipboardRows(u"say \"hi\"\tc", 2).rows, Rows({ { "say \"hi\"", "c" } }));
}

TEST(ClipboardRows, TextWithAnotherFieldCountOnAnyLineIsRefusedWhole)
{
    TClipboardRows read = ReadClipboardRows(u"a\tb\tc\r\nd\te\tf\tg\r\nh\ti\tj", 3);
    EXPECT_EQ(read.refusal, TClipboardRows::crFieldCount);
    EXPECT_EQ(read.badLine, 1);
    EXPECT_TRUE(read.rows.isEmpty());
    EXPECT_EQ(ReadClipboardRows(u"a\tb\r\nc", 2).refusal, TClipboardRows::crFieldCount);
    EXPECT_EQ(ReadClipboardRows(u"", 2).refusal, TClipboardRows::crEmpty);
    EXPECT_EQ(ReadClipboardRows(QString(kMaxClipboardText + 1, u'x'), 1).refusal, TClipboardRows::crTooLong);
}

TEST(ClipboardRows, RandomRowsReadBackAsWritten)
{
    std::mt19937 rng(11);
    const QStringList pieces = { "a", " ", "\t", "\r", "\n", "\"", "\r\n", "\u00E4" };
    for (int round = 0; round < 3000; ++round) {
        const int fields = int(rng() % 4) + 1;
        Rows rows;
        for (int r = int(rng() % 4) + 1; r > 0; --r) {
            QStringList cells;
            for (int f = 0; f < fields; ++f) {
                QString cell;
                for (int k = int(rng() % 5); k > 0; --k)
                    cell += pieces[rng() % pieces.size()];
                cells << cell;
            }
            rows << cells;
        }
        const QString text = ClipboardText(rows);
        ASSERT_EQ(ReadClipboardRows(text, fields).rows, rows) << text.toStdString();
    }
}

} // namespace
