// The small rules of the format, each against values worked out by hand or a
// plain reference.
#include "platform/workbook/CellText.h"

#include "platform/workbook/NumberFormats.h"
#include "platform/workbook/Sheet.h"
#include "platform/workbook/WorkbookLimits.h"
#include "platform/workbook/XmlPullReader.h"
#include "platform/workbook/ZipPackage.h"
#include "tests/platform/workbook/WorkbookTestSupport.h"

#include <gtest/gtest.h>
#include <map>
#include <random>

using namespace platform::workbook;

TEST(CellText, NumbersAsTheGeneralFormatShowsThem)
{
    const std::vector<std::pair<double, const char *>> cases {
        { 0, "0" },
        { -0.0, "0" },
        { 42, "42" },
        { -17, "-17" },
        { 2.5, "2,5" },
        { 0.1 + 0.2, "0,3" },
        { 1.0 / 3, "0,333333333333333" },
        { 123.456, "123,456" },
        { 999999999999999, "999999999999999" },
        { 1e15, "1E+15" },
        { 1.5e20, "1,5E+20" },
        { 0.0001, "0,0001" },
        { 0.00001, "1E-05" },
        { -2.25e-10, "-2,25E-10" },
    };
    for (const auto &[value, text] : cases)
        EXPECT_EQ(numberText(value, QLatin1Char(',')), QLatin1String(text)) << value;
    EXPECT_EQ(numberText(2.5, QLatin1Char('.')), "2.5");
}

TEST(CellText, EscapesDecodeAndRoundTrip)
{
    QString text = QStringLiteral("_x0041__x00e4_ _x005F_x0041_ _x00G1_ _x41_ end_x000D_");
    decodeEscapes(text);
    EXPECT_EQ(text, QString::fromUtf8("Aä _x0041_ _x00G1_ _x41_ end\r"));
    EXPECT_EQ(encodeEscapes("plain"), "plain");
    EXPECT_EQ(encodeEscapes(QString("a") + QChar(0) + "_x0041_"), "a_x0000__x005F_x0041_");

    // Whatever a cell holds comes back from its written form.
    std::mt19937 rng(7);
    const QString alphabet = QStringLiteral("_x0AF5g_");
    for (int round = 0; round < 2000; ++round) {
        QString written;
        for (int k = static_cast<int>(rng() % 24); k > 0; --k)
            written += alphabet[static_cast<int>(rng() % alphabet.size())];
        QString back = encodeEscapes(written);
        decodeEscapes(back);
        ASSERT_EQ(back, written);
    }
}

TEST(CellText, SerialNumbersAndIsoTextsAsDays)
{
    // Days since 30.12.1899: 1.1.1900 is day 2, 1.3.1900 day 61, 15.3.2024 day 45366.
    EXPECT_EQ(serialToDate(1, false), 2.0);
    EXPECT_EQ(serialToDate(59.5, false), 60.5);
    EXPECT_EQ(serialToDate(61, false), 61.0);
    // LibreOffice counts no 29.2.1900 and writes days before 1900 as negative serials:
    // its 2 is 1.1.1900, -1 29.12.1899, -693593 1.1.0001.
    EXPECT_EQ(serialToDate(2, false, false), 2.0);
    EXPECT_EQ(serialToDate(59.5, false, false), 59.5);
    EXPECT_EQ(serialToDate(61, false, false), 61.0);
    EXPECT_EQ(serialToDate(-1, false, false), -1.0);
    EXPECT_EQ(serialToDate(-693593, false, false), -693593.0);
    EXPECT_EQ(serialToDate(-693594, false, false), std::nullopt);
    EXPECT_EQ(serialToDate(-1462, true, false), 0.0) << "the 1904 system before its day 0";
    EXPECT_EQ(serialToDate(-1, false), std::nullopt) << "Excel shows no date before its day 0";
    EXPECT_EQ(serialToDate(0.25, false), 0.25);
    EXPECT_EQ(serialToDate(0, true), 1462.0);
    EXPECT_EQ(serialToDate(43904, true), 45366.0);
    EXPECT_EQ(serialToDate(2958465.5, false), 2958465.5) << "31.12.9999 noon";
    EXPECT_EQ(serialToDate(2958466, false), std::nullopt);

    double value = 0;
    DateParts parts {};
    ASSERT_TRUE(parseIsoDate("2024-03-15", value, parts));
    EXPECT_EQ(value, 45366);
    EXPECT_EQ(parts, DateParts::Date);
    ASSERT_TRUE(parseIsoDate("2024-03-15T18:00:00Z", value, parts));
    EXPECT_EQ(value, 45366.75);
    EXPECT_EQ(parts, DateParts::DateTime);
    ASSERT_TRUE(parseIsoDate("06:00", value, parts));
    EXPECT_EQ(value, 0.25);
    EXPECT_EQ(parts, DateParts::Time);
    ASSERT_TRUE(parseIsoDate("1899-12-30 00:00:00", value, parts));
    EXPECT_EQ(value, 0);
    ASSERT_TRUE(parseIsoDate("2000-02-29", value, parts));
    EXPECT_EQ(value, 36585);
    for (const char *bad : { "2023-02-29", "2024-13-01", "2024-03-15X", "24:00", "12:60", "", "2024-3-15" })
        EXPECT_FALSE(parseIsoDate(bad, value, parts)) << bad;
}

TEST(NumberFormats, DateAndTimeLettersOfBuiltInAndOwnFormats)
{
    const auto D = DateParts::Date, T = DateParts::Time, DT = DateParts::DateTime;
    const std::vector<std::pair<int, std::optional<DateParts>>> builtIn { { 0, std::nullopt },
        { 2, std::nullopt }, { 14, D }, { 17, D }, { 18, T }, { 21, T }, { 22, DT }, { 45, T },
        { 46, std::nullopt }, { 47, T }, { 49, std::nullopt } };
    for (const auto &[id, parts] : builtIn)
        EXPECT_EQ(dateFormatParts(id, {}), parts) << id;
    const std::vector<std::pair<const char *, std::optional<DateParts>>> own {
        { "dd.mm.yyyy", D },
        { "hh:mm", T },
        { "mm:ss", T },
        { "[mm]:ss", std::nullopt },
        { "dd.mm.yyyy hh:mm", DT },
        { "mmm yy", D },
        { "mmmm", D },
        { "h:mm AM/PM", T },
        { "[$-407]dddd, d. mmmm yyyy", D },
        { "\"Tag \"d", D },
        { "General", std::nullopt },
        { "0.00E+00", std::nullopt },
        { "0.00\"h\"", std::nullopt },
        { "0\\h", std::nullopt },
        { "#,##0_h;[Red]-#,##0", std::nullopt },
        { "[Red][<=100]0.00", std::nullopt },
        { "@", std::nullopt },
        { "0.00;dd.mm.yyyy", std::nullopt },
    };
    for (const auto &[code, parts] : own)
        EXPECT_EQ(dateFormatParts(170, QString::fromUtf8(code)), parts) << code;
}

TEST(NumberFormats, NumbersAsTheirFormatsShowThem)
{
    const CellForms forms = workbooktest::testForms(QLatin1Char(','));
    const auto shown = [&](double value, const char *code, int id = 170, bool date1904 = false) {
        return NumberFormat(id, QString::fromUtf8(code)).text(value, date1904, forms);
    };
    const double hour = 1.0 / 24;
    const std::vector<std::tuple<double, const char *, const char *>> cases {
        // Elapsed time: the largest unit counts on past a day, the others wrap.
        { 1.5, "[hh]:mm", "36:00" },
        { 100.5 * hour, "[h]:mm:ss", "100:30:00" },
        { -hour, "[h]:mm", "-1:00" },
        { 0.25 * hour, "[hh]:mm", "00:15" },
        { hour, "[mm]:ss", "60:00" },
        { 90.0 / 86400, "[ss]", "90" },
        { 1.23456 / 86400, "[ss].00", "01,23" },
        { (59 * 60 + 59.6) / 86400, "[h]:mm:ss", "1:00:00" },
        { 29.9 / 1440, "[h]:mm", "0:30" }, // rounded to the minute shown
        { -2 * hour, "[h]:mm;[Red]([h]:mm)", "(2:00)" }, // a negative section shows no sign
        { 1.5, "[h]\" h\" mm \"min\"", "36 h 00 min" },
        // Fixed texts by sign: what spreadsheets store booleans computed as numbers with.
        { 1, "\"TRUE\";\"TRUE\";\"FALSE\"", "TRUE" },
        { 0, "\"TRUE\";\"TRUE\";\"FALSE\"", "FALSE" },
        { -3, "\"TRUE\";\"TRUE\";\"FALSE\"", "TRUE" },
        { 5, "[Blue]\"up\";[Red]\"down\"", "up" },
        { -5, "\"x\"", "-x" },
        { 7, "[>5]\"big\";\"small\"", "7" }, // conditions choose sections: left to the general form
        // Dates through the caller's forms; numbers outside the dates as numbers.
        { 45366.5, "dd.mm.yyyy", "D 45366.500000" },
        { -1, "dd.mm.yyyy", "-1" },
        { 2.5, "0.00", "2,5" },
        { 2.5, "@", "2,5" },
    };
    for (const auto &[value, code, text] : cases)
        EXPECT_EQ(shown(value, code), QString::fromUtf8(text)) << code << " " << value;
    EXPECT_EQ(shown(1.5, "", 46), "36:00:00") << "the built-in elapsed format";
    EXPECT_EQ(shown(1.5, "", 22), "DT 2.500000") << "noon of 1 January 1900";
    EXPECT_EQ(shown(0, "dd.mm.yyyy", 170, true), "D 1462.000000");
    EXPECT_EQ(shown(1e300, "[h]:mm"), "1E+300") << "too many hours to count";
}

TEST(WorkbookLimits, SheetNamesAndCuts)
{
    EXPECT_EQ(cleanSheetName("KEZ Table (Absent days)"), "KEZ Table (Absent days)");
    EXPECT_EQ(cleanSheetName("a[b]c:d*e?f/g\\h"), "a_b_c_d_e_f_g_h");
    EXPECT_EQ(cleanSheetName("'quoted'"), "quoted");
    EXPECT_EQ(cleanSheetName("it's"), "it's");
    EXPECT_EQ(cleanSheetName(QString(40, u'w')), QString(31, u'w'));
    EXPECT_EQ(cleanSheetName(QString(30, u'w') + "'x"), QString(30, u'w'));
    EXPECT_EQ(cleanSheetName(QStringLiteral("tab\there")), "tab_here");
    EXPECT_EQ(cutText(QString::fromUtf8("ab𝄞"), 3), "ab");
    EXPECT_EQ(cutText(QString::fromUtf8("ab𝄞"), 4), QString::fromUtf8("ab𝄞"));
}

TEST(ZipPackage, RelationshipTargets)
{
    EXPECT_EQ(ZipPackage::resolve("xl/workbook.xml", "worksheets/sheet1.xml"), "xl/worksheets/sheet1.xml");
    EXPECT_EQ(ZipPackage::resolve("xl/workbook.xml", "/xl/styles.xml"), "xl/styles.xml");
    EXPECT_EQ(ZipPackage::resolve("xl/workbook.xml", "../docProps/app.xml"), "docProps/app.xml");
    EXPECT_EQ(ZipPackage::resolve("xl/workbook.xml", "./a//b.xml"), "xl/a/b.xml");
    EXPECT_EQ(ZipPackage::resolve("xl/workbook.xml", "../../../up.xml"), "up.xml");
    EXPECT_EQ(ZipPackage::resolve("", "xl/workbook.xml"), "xl/workbook.xml");
    EXPECT_EQ(ZipPackage::relationshipsOf("xl/workbook.xml"), "xl/_rels/workbook.xml.rels");
    EXPECT_EQ(ZipPackage::relationshipsOf("book.xml"), "_rels/book.xml.rels");
}

TEST(XmlPullReader, TokensAndFaults)
{
    using Token = XmlPullReader::Token;
    XmlPullReader xml("\xEF\xBB\xBF<?xml version=\"1.0\"?><a:root xmlns:a=\"u\" k='1 &lt; "
                      "2'>x&#x1D11E;\r\n<e/><!-- c --></a:root>");
    ASSERT_EQ(xml.next(), Token::StartElement);
    EXPECT_EQ(xml.name(), "root");
    EXPECT_EQ(xml.attributeText("k"), "1 < 2");
    EXPECT_EQ(xml.attribute("missing"), std::nullopt);
    ASSERT_EQ(xml.next(), Token::Characters);
    QString text;
    ASSERT_TRUE(xml.appendCharacters(text));
    EXPECT_EQ(text, QString::fromUtf8("x𝄞\n"));
    ASSERT_EQ(xml.next(), Token::StartElement);
    EXPECT_EQ(xml.name(), "e");
    EXPECT_EQ(xml.next(), Token::EndElement);
    EXPECT_EQ(xml.next(), Token::EndElement);
    EXPECT_EQ(xml.next(), Token::End);

    const auto failsWith = [](const std::string &bytes, const char *reason) {
        XmlPullReader reader(bytes);
        XmlPullReader::Token t;
        QString sink;
        while ((t = reader.next()) != Token::End && t != Token::Invalid) {
            if (t == Token::Characters)
                reader.appendCharacters(sink);
        }
        EXPECT_TRUE(reader.errorText().contains(QLatin1String(reason)))
            << bytes.substr(0, 60) << ": " << reader.errorText().toStdString();
    };
    std::string deep;
    for (int i = 0; i <= XmlPullReader::MaxDepth; ++i)
        deep += "<a>";
    failsWith(deep, "nested too deeply");
    failsWith("<a><b></a></b>", "does not match");
    failsWith("<a>", "ends inside an element");
    failsWith("", "no root element");
    failsWith("x<a/>", "text outside the root element");
    failsWith("<a>&#0;</a>", "faulty character reference");
    failsWith("<a>&#xD800;</a>", "faulty character reference");
    failsWith("<a b=c/>", "without quotes");
    failsWith("<a b='<'/>", "\"<\" in an attribute value");
    failsWith("<!DOCTYPE a><a/>", "document type declarations");
    failsWith("<a><![CDATA[x</a>", "unterminated character data");
}

TEST(Sheet, CellsInAnyOrderAgainstAPlainMap)
{
    std::mt19937 rng(11);
    for (int round = 0; round < 50; ++round) {
        Sheet sheet;
        sheet.reset("S");
        std::map<std::pair<int, int>, QString> reference;
        int lastRow = 0;
        for (int k = static_cast<int>(rng() % 200); k > 0; --k) {
            const int row = static_cast<int>(rng() % 30) + 1;
            const int column = static_cast<int>(rng() % 8) + 1;
            const QString text = rng() % 5 ? QString::number(rng() % 1000) : QString();
            if (!text.isEmpty()) {
                reference[{ row, column }] = text;
                lastRow = std::max(lastRow, row);
            }
            sheet.addCell(row, column, text);
        }
        sheet.finish();
        ASSERT_EQ(sheet.lastRow(), lastRow);
        for (int row = 0; row <= 31; ++row) {
            for (int column = 0; column <= 9; ++column) {
                const auto it = reference.find({ row, column });
                ASSERT_EQ(sheet.cell(row, column), it == reference.end() ? QString() : it->second);
            }
        }
    }
}
