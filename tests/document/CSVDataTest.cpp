#include "document/CSVData.h"

#include "support/TestFiles.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QStringList row(const TCSVData &csv, int r)
{
    QStringList cells;
    for (int c = 0; c < csv.GetCols(); ++c)
        cells << csv.GetCell(c, r);
    return cells;
}

} // namespace

TEST(CSVData, QuotesAndDelimiters)
{
    TCSVData csv;
    csv.LoadFromText(QStringLiteral("Name;Note\n\"a\"\"b\";\"x;y\"\n\"\";\"\"\"\"\n"));
    ASSERT_EQ(csv.GetRows(), 3);
    EXPECT_EQ(row(csv, 1), QStringList({ "a\"b", "x;y" }));
    EXPECT_EQ(row(csv, 2), QStringList({ "", "\"" }));
}

TEST(CSVData, LineEnds)
{
    TCSVData csv;
    // LF alone and CR LF both end rows; a lone CR outside quotes is dropped;
    // a quoted line break stays in its cell; no row after the last line end.
    csv.LoadFromText(QStringLiteral("a;b\nc;d\r\ne\rf;\"multi\r\nline\"\r\n"));
    ASSERT_EQ(csv.GetRows(), 3);
    EXPECT_EQ(row(csv, 0), QStringList({ "a", "b" }));
    EXPECT_EQ(row(csv, 1), QStringList({ "c", "d" }));
    EXPECT_EQ(row(csv, 2), QStringList({ "ef", "multi\r\nline" }));

    csv.LoadFromText(QStringLiteral("last;row without end"));
    ASSERT_EQ(csv.GetRows(), 1);
    EXPECT_EQ(csv.GetCell(1, 0), "row without end");

    csv.LoadFromText(QString());
    EXPECT_EQ(csv.GetRows(), 0);
    EXPECT_EQ(csv.GetCols(), 0);
}

TEST(CSVData, RowsArePaddedToTheWidest)
{
    TCSVData csv;
    csv.LoadFromText(QStringLiteral("h1\nx;y;z\n\nq\n"));
    ASSERT_EQ(csv.GetRows(), 4);
    EXPECT_EQ(csv.GetCols(), 3);
    EXPECT_EQ(row(csv, 0), QStringList({ "h1", "", "" }));
    EXPECT_EQ(row(csv, 2), QStringList({ "", "", "" }));
    EXPECT_EQ(csv.GetCell(3, 1), "");
    EXPECT_EQ(csv.GetCell(0, 9), "");
    EXPECT_EQ(csv.GetCell(-1, 0), "");
}

TEST(CSVData, BytesAreUtf8ElseWindows1252)
{
    TCSVData csv;
    csv.LoadFromBytes(QByteArray("K\xC3\xB6ln;\xE2\x82\xAC"));
    EXPECT_EQ(row(csv, 0), QStringList({ QStringLiteral("K\u00F6ln"), QStringLiteral("\u20AC") }));
    csv.LoadFromBytes(QByteArray("K\xF6ln;\x80"));
    EXPECT_EQ(row(csv, 0), QStringList({ QStringLiteral("K\u00F6ln"), QStringLiteral("\u20AC") }));
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
    EXPECT_FALSE(csv.LoadFromFile(dir.filePath("missing.autofill")));
    EXPECT_FALSE(csv.ErrorText().isEmpty());
    EXPECT_EQ(csv.GetRows(), 0);

    ASSERT_TRUE(testsupport::writeFile(dir.filePath("table.autofill"), "A;B\r\n1;2\r\n"));
    ASSERT_TRUE(csv.LoadFromFile(dir.filePath("table.autofill")));
    EXPECT_EQ(csv.GetRows(), 2);
    EXPECT_EQ(csv.GetCell(1, 1), "2");
}
