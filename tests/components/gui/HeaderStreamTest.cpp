// The header's record: bytes worked out from the field tables, an old record
// without marker, a header and its columns there and back, and damaged records.
#include "components/gui/HeaderStream.h"

#include "components/gui/GTHeader.h"
#include "components/gui/GridTreeColumns.h"
#include "components/gui/GridTreeView.h"

#include <QApplication>
#include <QBuffer>
#include <gtest/gtest.h>
#include <memory>

namespace {

QByteArray Record(const std::function<void(QIODevice &)> &write)
{
    QBuffer b;
    b.open(QIODevice::WriteOnly);
    write(b);
    return b.data();
}

THeaderRecord Read(const QByteArray &bytes)
{
    QBuffer b;
    b.setData(bytes);
    b.open(QIODevice::ReadOnly);
    return ReadHeaderRecord(b);
}

// The message of the error that loading bytes raises.
QString ErrorOf(const QByteArray &bytes)
{
    try {
        Read(bytes);
    } catch (const EGridTreeError &e) {
        EXPECT_EQ(e.HelpContext(), 0);
        return e.Message();
    }
    return {};
}

class HeaderStream : public ::testing::Test {
protected:
    void SetUp() override
    {
        view.resize(500, 200);
        view.show();
        QApplication::processEvents();
    }
    TGTHeader &Header() { return view.Header(); }
    TGridTreeColumns &Columns() { return view.Header().Columns(); }
    QByteArray Saved()
    {
        return Record([&](QIODevice &d) { Header().SaveToStream(d); });
    }
    void Load(TGTHeader &header, const QByteArray &bytes)
    {
        QBuffer b;
        b.setData(bytes);
        b.open(QIODevice::ReadOnly);
        header.LoadFromStream(b);
    }

    TGridTreeView view;
};

} // namespace

TEST(HeaderRecord, BytesFollowTheFieldTables)
{
    THeaderRecord r;
    TColumnRecord c;
    c.Text = "Ab";
    c.Width = 80;
    c.Options.include(coUseCaptionAlignment);
    c.Tag = 7;
    c.Alignment = taRightJustify;
    c.Color = 0x00FF0000;
    c.CaptionAlignment = taCenter;
    r.Columns.Columns = { c };
    r.Columns.Positions = { 0 };
    r.AutoSizeIndex = 0;
    r.Background = 0x00C0C0C0;
    r.Height = 20;
    r.Options = { hoShowHint, hoVisible };
    r.Style = 2;
    r.Font = { 0, -11, "Sans", 0, 1 };
    r.MainColumn = 0;
    r.SortDirection = sdDescending;
    r.MaxHeight = 100;
    r.MinHeight = 12;
    r.DefaultHeight = 20;
    r.FixedAreaConstraints = { 1, 2, 3, 4 };
    const QByteArray expected
        = QByteArray::fromHex("ffffffff 06000000" // marker, version
                              "01000000" // one column:
                              "02000000 41006200 00000000" // text "Ab", no hint
                              "50000000 0a000000 10270000" // width, min, max
                              "00000000 ffffffff 00000000" // style, image, layout
                              "04000000 04000000 00000000" // margin, spacing, bidi
                              "ff480000 07000000 01000000" // options, tag, alignment
                              "0000ff00 02000000" // colour, caption alignment
                              "00000000 32000000" // positions, default width
                              "00000000 c0c0c000 14000000" // auto size, back, height
                              "80040000 02000000" // options, style
                              "00000000 f5ffffff 04000000 53616e73" // font "Sans"
                              "00000000 01000000" // pitch, bold
                              "00000000 ffffffff 01000000" // main, sort column, dir
                              "00000000 64000000 0c000000 14000000" // parent font, heights
                              "01000000 02000000 03000000 04000000");
    const QByteArray bytes = Record([&](QIODevice &d) { WriteHeaderRecord(d, r); });
    EXPECT_EQ(bytes.toHex(' '), expected.toHex(' '));
    EXPECT_TRUE(Read(bytes) == r);

    // Without coUseCaptionAlignment the caption alignment is neither written nor read.
    c.Options.exclude(coUseCaptionAlignment);
    r.Columns.Columns = { c };
    const QByteArray plain = Record([&](QIODevice &d) { WriteHeaderRecord(d, r); });
    EXPECT_EQ(plain.size(), bytes.size() - 4);
    EXPECT_EQ(Read(plain).Columns.Columns.front().CaptionAlignment, taLeftJustify);
}

TEST_F(HeaderStream, OldRecordWithoutMarkerLoadsUpToTheFontStyle)
{
    const QByteArray old = QByteArray::fromHex("02000000" // two columns, no marker, no version
                                               "01000000 5800 00000000" // "X", no hint
                                               "28000000 05000000 c8000000" // width 40, min 5, max 200
                                               "01000000 03000000 03000000 06000000 02000000 00000000"
                                               "ff800000" // old options: bits 0-7 and 15
                                               "00000000 00000000" // no texts
                                               "3c000000 0a000000 10270000"
                                               "00000000 ffffffff 00000000 04000000 04000000 00000000"
                                               "7f000000"
                                               "01000000 00000000" // positions: 1, 0
                                               "01000000 ff000000 15000000" // auto size, back, height
                                               "00040000 01000000" // visible, flat buttons
                                               "00000000 f3ffffff 00000000 02000000 02000000");
    const THeaderRecord r = Read(old);
    EXPECT_EQ(r.Version, -1);
    EXPECT_FALSE(r.HasSortFields());
    // Bits 0-3 stay, 4-6 move up one place, 7-14 go, 15 moves past the last option.
    EXPECT_EQ(r.Columns.Columns[0].Options.bits(), 0x00EF);
    EXPECT_EQ(r.Columns.Columns[1].Options.bits(), 0x00EF);

    Columns().Add();
    Load(Header(), old);
    ASSERT_EQ(Columns().Count(), 2);
    const TGridTreeColumn &x = Columns()[0];
    EXPECT_EQ(x.Text(), "X");
    EXPECT_EQ(x.Width(), 40);
    EXPECT_EQ(x.MinWidth(), 5);
    EXPECT_EQ(x.MaxWidth(), 200);
    EXPECT_EQ(x.Style(), vsOwnerDraw);
    EXPECT_EQ(x.ImageIndex(), 3);
    EXPECT_EQ(x.Layout(), blGlyphBottom);
    EXPECT_EQ(x.Margin(), 6);
    EXPECT_EQ(x.Spacing(), 2);
    EXPECT_EQ(x.Position(), 1u);
    EXPECT_EQ(Columns()[1].Left(), 0);
    EXPECT_EQ(x.Left(), 60);
    EXPECT_EQ(Header().AutoSizeIndex(), 1);
    EXPECT_EQ(Header().Background(), 0xFFu);
    EXPECT_EQ(Header().Height(), 21);
    EXPECT_EQ(Header().Options(), TGTHeaderOptions { hoVisible });
    EXPECT_EQ(Header().Style(), hsFlatButtons);
    EXPECT_EQ(Header().Font().pixelSize(), 13);
    EXPECT_TRUE(Header().Font().fixedPitch());
    EXPECT_TRUE(Header().Font().italic());
    EXPECT_FALSE(Header().ParentFont());
}

TEST_F(HeaderStream, HeaderAndColumnsComeBackAsTheyWere)
{
    for (int i = 0; i < 4; ++i) {
        TGridTreeColumn &c = Columns().Add();
        c.SetText(QStringLiteral("Column %1").arg(i));
        c.SetHint(QStringLiteral("Hint \u00e4%1").arg(i));
        c.SetWidth(40 + 10 * i);
        c.SetTag(i);
    }
    Columns()[1].SetCaptionAlignment(taCenter);
    Columns()[2].SetAlignment(taRightJustify);
    Columns()[2].SetColor(RGB(1, 2, 3));
    Columns()[3].SetPosition(0);
    Columns()[0].SetOptions(Columns()[0].Options() - TGTColumnOptions { coVisible });
    Header().SetMinHeight(5);
    Header().SetHeight(8);
    Header().SetOptions(Header().Options() + TGTHeaderOptions { hoVisible, hoShowHint });
    Header().SetMainColumn(2);
    Header().SetSortColumn(1);
    Header().SetSortDirection(sdDescending);
    Header().SetStyle(hsPlates);
    Header().SetFixedAreaConstraints({ 50, 0, 0, 0 });
    QFont font("Liberation Sans");
    font.setPixelSize(14);
    font.setBold(true);
    Header().SetFont(font);
    const QByteArray bytes = Saved();

    TGridTreeView other;
    other.resize(500, 200);
    other.show();
    QApplication::processEvents();
    int resized = 0;
    other.OnColumnResize = [&](TGTHeader &, TColumnIndex c) { resized += c == NoColumn; };
    Load(other.Header(), bytes);
    EXPECT_TRUE(other.Header().Columns().Equals(Columns()));
    EXPECT_EQ(other.Header().Columns()[3].Left(), 0);
    EXPECT_EQ(other.Header().Height(), 8);
    EXPECT_EQ(other.Header().MainColumn(), 2);
    EXPECT_EQ(other.Header().SortColumn(), 1);
    EXPECT_EQ(other.Header().Font().pixelSize(), 14);
    EXPECT_EQ(resized, 1);
    EXPECT_FALSE(other.Header().States().contains(hsLoading));
    EXPECT_EQ(Record([&](QIODevice &d) { other.Header().SaveToStream(d); }), bytes);
}

TEST_F(HeaderStream, DamagedRecordsRaiseClearErrorsAndChangeNothing)
{
    for (int i = 0; i < 3; ++i)
        Columns().Add().SetText(QStringLiteral("C%1").arg(i));
    const QByteArray bytes = Saved();
    const QByteArray tooShort = "Unable to load the header, not enough data available.";
    const QByteArray invalid = "Unable to load the header, the data is invalid.";
    QByteArray version = bytes, style = bytes, twice = bytes, count = bytes, length = bytes;
    version.replace(4, 4, QByteArray::fromHex("07000000"));
    style.replace(8 + 4 + 4 + 2 * 2 + 4 + 12, 4, QByteArray::fromHex("05000000"));
    // Three columns of 64 bytes each ("Cn", no hint, 13 fields) before the positions.
    const int positions = 12 + 3 * 64;
    twice.replace(positions, 8, QByteArray::fromHex("0000000000000000"));
    count.replace(8, 4, QByteArray::fromHex("ffffff7f"));
    length.replace(12, 4, QByteArray::fromHex("ffffff0f"));
    EXPECT_EQ(ErrorOf(version), "Unable to load the header, the version is unknown.");
    EXPECT_EQ(ErrorOf(style), invalid);
    EXPECT_EQ(ErrorOf(twice), invalid);
    EXPECT_EQ(ErrorOf(count), tooShort);
    EXPECT_EQ(ErrorOf(length), tooShort);

    // Every cut, and every field overwritten: an error or a record, never more.
    const QByteArray block = Record([&](QIODevice &d) { Columns().SaveToStream(d); });
    for (int cut = 0; cut < bytes.size(); ++cut) {
        QBuffer b;
        b.setData(bytes.left(cut));
        b.open(QIODevice::ReadOnly);
        EXPECT_THROW(Header().LoadFromStream(b), EGridTreeError) << cut;
        EXPECT_EQ(b.pos(), 0);
        b.close();
        b.setData(block.left(cut));
        b.open(QIODevice::ReadOnly);
        if (cut < block.size()) {
            EXPECT_THROW(Columns().LoadFromStream(b, HeaderRecordVersion), EGridTreeError) << cut;
        }
    }
    EXPECT_EQ(Saved(), bytes);
    for (int at = 0; at + 4 <= bytes.size(); at += 4)
        for (const char *value : { "ffffffff", "ffffff7f", "00000080", "10000000" }) {
            QByteArray damaged = bytes;
            damaged.replace(at, 4, QByteArray::fromHex(value));
            try {
                Load(Header(), damaged);
            } catch (const EGridTreeError &) {
                EXPECT_EQ(Saved(), bytes);
            }
            Load(Header(), bytes);
        }
}
