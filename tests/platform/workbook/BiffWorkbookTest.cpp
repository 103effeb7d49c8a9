// Record streams of old binary workbooks put together by hand from the
// format's records: every kind of cell, texts split over continuation records,
// and the faults a damaged file shows.
#include "platform/workbook/BiffWorkbook.h"

#include "tests/platform/workbook/WorkbookTestSupport.h"

#include <cstring>
#include <gtest/gtest.h>
#include <random>

using platform::workbook::BiffWorkbook;
using platform::workbook::Sheet;

namespace {

std::string le16(unsigned v)
{
    return { char(v & 0xFF), char((v >> 8) & 0xFF) };
}

std::string le32(uint32_t v)
{
    return le16(v & 0xFFFF) + le16(v >> 16);
}

std::string f64(double v)
{
    uint64_t bits = 0;
    std::memcpy(&bits, &v, sizeof v);
    return le32(uint32_t(bits)) + le32(uint32_t(bits >> 32));
}

std::string record(unsigned type, const std::string &data)
{
    return le16(type) + le16(unsigned(data.size())) + data;
}

// A text as the newer format stores it, all in one record: 16-bit count,
// flags, the characters compressed when they all fit in 8 bits.
std::string unicodeText(const QString &text, bool shortCount = false)
{
    bool wide = false;
    for (const QChar c : text)
        wide = wide || c.unicode() > 0xFF;
    std::string out = shortCount ? std::string(1, char(text.size())) : le16(unsigned(text.size()));
    out += char(wide ? 1 : 0);
    for (const QChar c : text)
        out += wide ? le16(c.unicode()) : std::string(1, char(c.unicode()));
    return out;
}

std::string place(unsigned row, unsigned column, unsigned xf)
{
    return le16(row) + le16(column) + le16(xf);
}

const std::string Globals8 = record(0x0809, le16(0x0600) + le16(0x0005) + std::string(12, '\0'));
const std::string Sheet8 = record(0x0809, le16(0x0600) + le16(0x0010) + std::string(12, '\0'));
const std::string Eof = record(0x000A, {});

// A workbook of the given global records and sheets (name, records between the
// sheet's BOF and EOF); sheets named "#chart" are chart sheets.
std::string workbook(const std::string &globals, const std::vector<std::pair<QString, std::string>> &sheets,
    unsigned version = 0x0600)
{
    const std::string bof = record(0x0809, le16(version) + le16(0x0005) + std::string(12, '\0'));
    std::string sheetList;
    std::string sheetData;
    size_t listSize = 0;
    for (const auto &[name, data] : sheets)
        listSize += 4 + 6
            + (version == 0x0600 ? unicodeText(name, true) : std::string(1 + name.size(), ' ')).size();
    const size_t start = bof.size() + globals.size() + listSize + Eof.size();
    for (const auto &[name, data] : sheets) {
        const bool chart = name == "#chart";
        const std::string nameBytes = version == 0x0600
            ? unicodeText(name, true)
            : std::string(1, char(name.size())) + name.toLatin1().toStdString();
        sheetList += record(
            0x0085, le32(uint32_t(start + sheetData.size())) + char(0) + char(chart ? 2 : 0) + nameBytes);
        const std::string sheetBof
            = record(0x0809, le16(version) + le16(chart ? 0x0020 : 0x0010) + std::string(12, '\0'));
        sheetData += sheetBof + data + Eof;
    }
    return bof + globals + sheetList + Eof + sheetData;
}

struct Read {
    bool ok;
    QString error;
    std::vector<Sheet> sheets;
};

Read readStream(const std::string &stream)
{
    BiffWorkbook book(workbooktest::testForms(QLatin1Char(',')));
    Read r;
    r.ok = book.read(stream, r.error);
    r.sheets = book.sheets();
    return r;
}

} // namespace

TEST(BiffWorkbook, EveryKindOfCell)
{
    // Cell formats: 0 general, 1 a built-in date, 2 an own elapsed-time format,
    // 3 fixed texts for booleans.
    std::string globals = record(0x0042, le16(1200)) + record(0x0022, le16(0));
    globals += record(0x041E, le16(164) + unicodeText("[h]:mm"));
    globals += record(0x041E, le16(165) + unicodeText("\"TRUE\";\"TRUE\";\"FALSE\""));
    for (const unsigned format : { 0u, 14u, 164u, 165u })
        globals += record(0x00E0, le16(0) + le16(format) + std::string(16, '\0'));
    globals += record(
        0x00FC, le32(2) + le32(2) + unicodeText("shared") + unicodeText(QString::fromUtf8("Grüße €")));

    std::string cells = record(0x00FD, place(0, 0, 0) + le32(1));
    cells += record(0x0203, place(0, 1, 1) + f64(45366)); // a date
    cells += record(0x027E, place(1, 0, 0) + le32((480u << 2) | 2)); // an integer
    cells += record(0x027E, place(1, 1, 0) + le32((250u << 2) | 3)); // 250 / 100
    // 1.5 as a double's high 30 bits: 0x3FF80000.
    cells += record(
        0x00BD, le16(1) + le16(2) + le16(2) + le32(0x3FF80000u) + le16(0) + le32((7u << 2) | 2) + le16(3));
    cells += record(0x0205, place(3, 0, 0) + char(1) + char(0));
    cells += record(0x0205, place(3, 1, 0) + char(0x07) + char(1));
    cells += record(0x0204, place(3, 2, 0) + unicodeText("inline"));
    // Formulas: a number, a text in the record after a shared formula, a
    // boolean, an error, an empty text, a number shown as a boolean.
    const std::string tail = le16(0) + le32(0) + le16(0);
    cells += record(0x0006, place(4, 0, 0) + f64(3) + tail);
    cells += record(0x0006, place(4, 1, 0) + std::string("\0\0\0\0\0\0\xFF\xFF", 8) + tail);
    cells += record(0x04BC, std::string(10, '\0'));
    cells += record(0x0207, unicodeText("ab"));
    cells += record(0x0006, place(4, 2, 0) + std::string("\x01\0\x01\0\0\0\xFF\xFF", 8) + tail);
    cells += record(0x0006, place(4, 3, 0) + std::string("\x02\0\x2A\0\0\0\xFF\xFF", 8) + tail);
    cells += record(0x0006, place(4, 4, 0) + std::string("\x03\0\0\0\0\0\xFF\xFF", 8) + tail);
    cells += record(0x0006, place(4, 5, 3) + f64(0) + tail);
    // An embedded chart's records belong to the chart, not to the sheet.
    cells += Sheet8 + record(0x0204, place(0, 9, 0) + unicodeText("in a chart")) + Eof;
    cells += record(0x0201, place(9, 0, 0)); // a formatted empty cell

    const Read r = readStream(workbook(globals, { { "Tasks", cells }, { "#chart", {} } }));
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    ASSERT_EQ(r.sheets.size(), 2u);
    const Sheet &s = r.sheets[0];
    EXPECT_EQ(s.name(), "Tasks");
    const std::vector<std::vector<const char *>> expected {
        { "Grüße €", "D 45366.000000" },
        { "480", "2,5", "36:00", "7" },
        {},
        { "TRUE", "#DIV/0!", "inline" },
        { "3", "ab", "TRUE", "#N/A", "", "FALSE" },
    };
    for (size_t row = 0; row < expected.size(); ++row) {
        for (size_t column = 0; column < expected[row].size(); ++column)
            EXPECT_EQ(s.cell(int(row) + 1, int(column) + 1), QString::fromUtf8(expected[row][column]))
                << row + 1 << "/" << column + 1;
    }
    EXPECT_EQ(s.cell(1, 10), "");
    EXPECT_EQ(s.lastRow(), 5);
    EXPECT_EQ(r.sheets[1].name(), "#chart");
    EXPECT_EQ(r.sheets[1].lastRow(), 0);
}

TEST(BiffWorkbook, TextsSplitOverContinuationsAgainstTheirWholeText)
{
    // The writer below lays shared texts out as the format does: records of at
    // most `limit` bytes; a text's header never split; where its characters go
    // on in the next record, that record starts with a flags byte that may
    // switch between 8- and 16-bit characters; rich-text runs split anywhere.
    std::mt19937 rng(29);
    for (int round = 0; round < 200; ++round) {
        std::vector<QString> texts;
        for (int k = int(rng() % 12) + 1; k > 0; --k) {
            QString t;
            for (int n = int(rng() % 300); n > 0; --n) {
                const unsigned pick = rng() % 10;
                t += QChar(char16_t(pick < 7 ? 'a' + rng() % 26 : pick < 9 ? 0xC0 + rng() % 64 : 0x20AC));
            }
            texts.push_back(t);
        }
        const size_t limit = 16 + rng() % 200;
        std::vector<std::string> pieces { le32(uint32_t(texts.size())) + le32(uint32_t(texts.size())) };
        const auto room = [&] { return limit - pieces.back().size(); };
        for (const QString &t : texts) {
            const bool rich = rng() % 3 == 0;
            bool wide = false;
            for (const QChar c : t)
                wide = wide || c.unicode() > 0xFF;
            const std::string header = le16(unsigned(t.size())) + char((wide ? 1 : 0) | (rich ? 8 : 0))
                + (rich ? le16(2) : std::string());
            if (room() < header.size() + 2)
                pieces.emplace_back();
            pieces.back() += header;
            for (qsizetype i = 0; i < t.size(); ++i) {
                if (room() < (wide ? 2u : 1u)) {
                    // The rest of the text decides: 8 bits where it fits, else 16.
                    wide = rng() % 4 == 0;
                    for (qsizetype j = i; j < t.size(); ++j)
                        wide = wide || t[j].unicode() > 0xFF;
                    pieces.push_back(std::string(1, char(wide ? 1 : 0)));
                }
                pieces.back() += wide ? le16(t[i].unicode()) : std::string(1, char(t[i].unicode()));
            }
            for (int b = 0; rich && b < 8; ++b) {
                if (room() == 0)
                    pieces.emplace_back();
                pieces.back() += char(b);
            }
        }
        std::string globals = record(0x00FC, pieces[0]);
        for (size_t k = 1; k < pieces.size(); ++k)
            globals += record(0x003C, pieces[k]);
        std::string cells;
        for (size_t k = 0; k < texts.size(); ++k)
            cells += record(0x00FD, place(unsigned(k), 0, 0) + le32(uint32_t(k)));
        const Read r = readStream(workbook(globals, { { "S", cells } }));
        ASSERT_TRUE(r.ok) << r.error.toStdString();
        for (size_t k = 0; k < texts.size(); ++k)
            ASSERT_EQ(r.sheets[0].cell(int(k) + 1, 1), texts[k]) << "round " << round << ", text " << k;
    }
}

TEST(BiffWorkbook, OlderFormatTextsInTheirCodePage)
{
    const std::string label = le16(0) + le16(0) + le16(0) + le16(8)
        + std::string("Gr\xFC\xDF"
                      "e \x80!");
    const std::string stream
        = workbook(record(0x0042, le16(1252)), { { "Alt", record(0x0204, label) } }, 0x0500);
    const Read r = readStream(stream);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(r.sheets[0].name(), "Alt");
    EXPECT_EQ(r.sheets[0].cell(1, 1), QString::fromUtf8("Grüße €!"));

    const Read cyrillic = readStream(workbook(record(0x0042, le16(1251)), { { "Alt", {} } }, 0x0500));
    EXPECT_FALSE(cyrillic.ok);
    EXPECT_TRUE(cyrillic.error.contains("code page 1251")) << cyrillic.error.toStdString();
}

TEST(BiffWorkbook, DamageNamedInWords)
{
    const std::string sst = record(0x00FC, le32(1) + le32(1) + unicodeText("one"));
    const std::string sound = workbook(sst, { { "S", record(0x00FD, place(0, 0, 0) + le32(0)) } });
    ASSERT_TRUE(readStream(sound).ok);
    std::string shared = workbook(sst, { { "A", record(0x00FD, place(0, 0, 0) + le32(0)) }, { "B", {} } });
    // Both sheets said to start at the first one's records.
    const size_t second
        = shared.find(std::string("\x85\x00", 2), shared.find(std::string("\x85\x00", 2)) + 1);
    std::memcpy(shared.data() + second + 4, shared.data() + shared.find(std::string("\x85\x00", 2)) + 4, 4);
    std::string outside = sound;
    const size_t list = outside.find(std::string("\x85\x00", 2));
    std::memcpy(outside.data() + list + 4, le32(0x7FFFFFFF).data(), 4);

    const std::vector<std::pair<std::string, const char *>> cases {
        { "", "holds no workbook" },
        { Sheet8 + Eof, "holds no workbook" },
        { workbook({}, {}, 0x0400), "older than Excel 5" },
        { workbook(record(0x002F, std::string(6, '\0')), {}), "protected by a password" },
        { workbook(sst, { { "S", record(0x00FD, place(0, 0, 0) + le32(1)) } }),
            "shared text that does not exist" },
        { workbook(record(0x00FC, le32(1) + le32(1) + le16(50) + char(0) + "short"), {}),
            "shared text 1 is cut short" },
        { sound.substr(0, sound.size() - 3), "cut short" },
        { sound.substr(0, sound.size() - 4), "ends without the sheet's end" },
        { workbook({}, { { "S", record(0x0203, place(0, 16384, 0) + f64(1)) } }),
            "outside the workbook's columns" },
        { workbook({}, { { "S", record(0x0203, place(0, 1, 0)) } }), "a cell's record is cut short" },
        { shared, "those of other sheets too" },
        { outside, "outside the file" },
    };
    for (const auto &[stream, reason] : cases) {
        const Read r = readStream(stream);
        EXPECT_FALSE(r.ok) << reason;
        EXPECT_TRUE(r.error.contains(QLatin1String(reason))) << reason << ": " << r.error.toStdString();
        EXPECT_TRUE(r.sheets.empty());
    }
}
