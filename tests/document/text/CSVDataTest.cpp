#include "document/text/CSVData.h"

#include "tests/support/TestFiles.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Every row with its cells joined by "|".
QStringList rows(const TCSVData &csv)
{
    QStringList result;
    for (int r = 0; r < csv.GetRows(); ++r) {
        QStringList cells;
        for (int c = 0; c < csv.GetCols(); ++c)
            cells << csv.GetCell(c, r);
        result << cells.join(u'|');
    }
    return result;
}

} // namespace

TEST(CSVData, QuotesLineEndsAndPadding)
{
    // LF alone and CR LF both end rows; a lone CR outside quotes is dropped; a quoted line
    // break stays in its cell; no row after the last line end; short rows are padded.
    const struct {
        const char *text;
        int cols;
        QStringList rows;
    } cases[] = {
        { "Name;Note\n\"a\"\"b\";\"x;y\"\n\"\";\"\"\"\"\n", 2, { "Name|Note", "a\"b|x;y", "|\"" } },
        { "a;b\nc;d\r\ne\rf;\"multi\r\nline\"\r\n", 2, { "a|b", "c|d", "ef|multi\r\nline" } },
        { "last;row without end", 2, { "last|row without end" } },
        { "", 0, {} },
        { "h1\nx;y;z\n\nq\n", 3, { "h1||", "x|y|z", "||", "q||" } },
    };
    TCSVData csv;
    for (const auto &c : cases) {
        csv.LoadFromText(QString::fromUtf8(c.text));
        EXPECT_EQ(csv.GetCols(), c.cols) << c.text;
        EXPECT_EQ(rows(csv), c.rows) << c.text;
    }
    // Outside the table every cell is empty.
    EXPECT_EQ(csv.GetCell(3, 1), "");
    EXPECT_EQ(csv.GetCell(0, 9), "");
    EXPECT_EQ(csv.GetCell(-1, 0), "");
}

TEST(CSVData, BytesAreUtf8ElseWindows1252)
{
    TCSVData csv;
    csv.LoadFromBytes(QByteArray("K\xC3\xB6ln;\xE2\x82\xAC"));
    EXPECT_EQ(rows(csv), QStringList { QStringLiteral("K\u00F6ln|\u20AC") });
    csv.LoadFromBytes(QByteArray("K\xF6ln;\x80"));
    EXPECT_EQ(rows(csv), QStringList { QStringLiteral("K\u00F6ln|\u20AC") });
    csv.LoadFromBytes(QByteArray("\xEF\xBB\xBFName"));
    EXPECT_EQ(csv.GetCell(0, 0), "Name");
}

TEST(CSVData, Lookups)
{
    TCSVData csv;
    csv.LoadFromText(QStringLiteral("Kunde;Ort\nMeier;Bonn\nMEIER;Köln\nSchmidt;\nMeierhof;\n"));
    EXPECT_EQ(csv.FindCol("ort"), 1);
    EXPECT_EQ(csv.FindCol("Stadt"), -1);
    EXPECT_EQ(csv.FindRow(0, "meier"), 1);
    EXPECT_EQ(csv.FindRow(0, "Kunde"), -1); // the header is no data row
    EXPECT_EQ(csv.FindRow(5, "meier"), -1);

    bool ambiguous = false;
    EXPECT_EQ(csv.FindRowRelaxed(0, "eierh", ambiguous), 4);
    EXPECT_FALSE(ambiguous);
    EXPECT_EQ(csv.FindRowRelaxed(0, "meier", ambiguous), 4);
    EXPECT_TRUE(ambiguous);
    EXPECT_EQ(csv.FindRowRelaxed(0, "nobody", ambiguous), -1);
    EXPECT_FALSE(ambiguous);

    EXPECT_TRUE(csv.HasUniqueRows(0)); // Meier and MEIER differ
    EXPECT_TRUE(csv.HasUniqueRows(1)); // empty cells do not count
    csv.LoadFromText(QStringLiteral("K\nx\ny\nx\n"));
    EXPECT_FALSE(csv.HasUniqueRows(0));
}

TEST(CSVData, FileThatCannotBeRead)
{
    QTemporaryDir dir;
    TCSVData csv;
    const platform::OpenStatus missing = csv.LoadFromFile(dir.filePath("missing.autofill"));
    EXPECT_FALSE(missing);
    EXPECT_TRUE(missing.reason().contains("missing.autofill")) << missing.reason().toStdString();
    EXPECT_EQ(csv.GetRows(), 0);

    ASSERT_TRUE(testsupport::writeFile(dir.filePath("table.autofill"), "A;B\r\n1;2\r\n"));
    ASSERT_TRUE(csv.LoadFromFile(dir.filePath("table.autofill")));
    EXPECT_EQ(csv.GetRows(), 2);
    EXPECT_EQ(csv.GetCell(1, 1), "2");
}
