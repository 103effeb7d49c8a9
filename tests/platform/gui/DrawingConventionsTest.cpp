#include "platform/gui/Color.h"
#include "platform/gui/Fonts.h"
#include "platform/gui/Rect.h"
#include "platform/gui/TextDraw.h"
#include "tests/support/PixelTest.h"

#include <QFontMetrics>
#include <QPainter>
#include <gtest/gtest.h>

using testsupport::MakeCanvas;
using testsupport::PixelAt;

TEST(Colors, ValuesKeepTheirByteOrderThroughQt)
{
    // 0x00BBGGRR: red is the low byte.
    EXPECT_EQ(ToQColor(0x0000FF), QColor(255, 0, 0));
    EXPECT_EQ(ToQColor(0x123456), QColor(0x56, 0x34, 0x12));
    EXPECT_EQ(FromQColor(QColor(0x56, 0x34, 0x12)), 0x123456u);
    // A system colour resolves through the pinned table, the same on every desktop.
    EXPECT_EQ(ColorToRGB(clBtnFace), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(ToQColor(clHighlight), QColor(0, 120, 215));
    EXPECT_EQ(ColorToRGB(clNone), clNone);
    EXPECT_EQ(GetSysColor(-1), 0u);
    EXPECT_EQ(GetSysColor(SystemColorCount), 0u);
}

TEST(Rects, RightAndBottomAreExclusiveOnlyOnOurSide)
{
    const TRect r = Bounds(10, 20, 5, 3);
    EXPECT_EQ(r.Right, 15);
    EXPECT_TRUE(r.Contains({ 14, 22 }));
    EXPECT_FALSE(r.Contains({ 15, 22 }));
    EXPECT_FALSE(r.Contains({ 14, 23 }));
    const QRect q = ToQRect(r);
    EXPECT_EQ(q.right(), 14);
    EXPECT_EQ(q.bottom(), 22);
    EXPECT_EQ(q.width(), 5);
    EXPECT_EQ(FromQRect(q), r);
    EXPECT_TRUE(ToQRect(Rect(3, 3, 3, 9)).isEmpty());
    EXPECT_EQ(IntersectRect(Rect(0, 0, 10, 10), Rect(10, 0, 20, 10)), TRect {});
    EXPECT_EQ(IntersectRect(Rect(0, 0, 10, 10), Rect(5, 5, 20, 20)), Rect(5, 5, 10, 10));
    EXPECT_EQ(UnionRect(TRect {}, Rect(1, 2, 3, 4)), Rect(1, 2, 3, 4));
}

TEST(Fonts, PixelsFollowTheDeviceResolution)
{
    EXPECT_EQ(PointsToPixels(8, 96), 11); // 10.67
    EXPECT_EQ(PointsToPixels(9, 96), 12);
    EXPECT_EQ(PointsToPixels(8, 600), 67); // 66.67
    EXPECT_EQ(PointsToPixels(3, 12), 1); // 0.5 rounds away from zero
    EXPECT_EQ(PointsToPixels(1, 10), 1); // never 0 for a real size
    QImage image = MakeCanvas(10, 10);
    EXPECT_EQ(DevicePpi(image), 96);
}

class TextDrawTest : public ::testing::Test {
protected:
    QImage image = MakeCanvas(200, 100);
    QPainter painter { &image };
    QFont font { QString::fromLatin1(testsupport::TestFontFamily) };
    void SetUp() override
    {
        font.setPixelSize(20);
        painter.setFont(font);
        painter.setPen(Qt::black);
    }
    QFontMetrics Metrics() const { return QFontMetrics(font, &image); }
    int LineHeight() const { return Metrics().height(); }
    int Advance(const QString &s) const { return Metrics().horizontalAdvance(s); }
};

TEST_F(TextDrawTest, CalcRectMeasuresLinesAndDrawsNothing)
{
    TRect r = Rect(5, 5, 105, 5);
    const int h = DrawTextEx(painter, QStringLiteral("ab\r\ncd\nlonger"), r, DT_CALCRECT);
    EXPECT_EQ(h, 3 * LineHeight());
    EXPECT_EQ(r.Bottom, 5 + 3 * LineHeight());
    EXPECT_EQ(r.Right, 5 + Advance(QStringLiteral("longer")));
    painter.end();
    EXPECT_EQ(image.convertToFormat(QImage::Format_RGB32),
        MakeCanvas(200, 100).convertToFormat(QImage::Format_RGB32));
}

TEST_F(TextDrawTest, PrefixIsRemovedAndUnderlinesItsCharacter)
{
    TRect r = Rect(0, 0, 200, 0);
    DrawTextEx(painter, QStringLiteral("&Save && close"), r, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(r.Width(), Advance(QStringLiteral("Save & close")));
    TRect plain = Rect(0, 0, 200, 0);
    DrawTextEx(painter, QStringLiteral("&Save"), plain, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_EQ(plain.Width(), Advance(QStringLiteral("&Save")));

    DrawTextEx(painter, QStringLiteral("&W"), Rect(10, 10, 190, 90), DT_SINGLELINE);
    painter.end();
    const QFontMetrics fm = Metrics();
    const int uy = 10 + fm.ascent() + fm.underlinePos();
    EXPECT_EQ(PixelAt(image, 10 + fm.horizontalAdvance(QLatin1Char('W')) / 2, uy), clBlack);
}

TEST_F(TextDrawTest, WordBreakWrapsAtSpacesAndKeepsLongWordsWhole)
{
    const int w = Advance(QStringLiteral("alpha beta")) + 1;
    TRect r = Rect(0, 0, w, 0);
    DrawTextEx(painter, QStringLiteral("alpha beta gamma"), r, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_EQ(r.Height(), 2 * LineHeight());
    TRect narrow = Rect(0, 0, 10, 0);
    DrawTextEx(painter, QStringLiteral("unbreakable"), narrow, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_EQ(narrow.Height(), LineHeight());
    EXPECT_EQ(narrow.Width(), Advance(QStringLiteral("unbreakable")));
    TRect edit = Rect(0, 0, Advance(QStringLiteral("unbre")), 0);
    DrawTextEx(painter, QStringLiteral("unbreakable"), edit, DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL);
    EXPECT_GE(edit.Height(), 3 * LineHeight());
    EXPECT_LE(edit.Width(), Advance(QStringLiteral("unbre")));
}

TEST_F(TextDrawTest, EllipsisFitsTheWidthAndTabsExpand)
{
    const int w = Advance(QStringLiteral("abcdefgh"));
    TRect r = Rect(0, 0, w, 0);
    DrawTextEx(painter, QStringLiteral("abcdefghijklmnop"), r, DT_CALCRECT | DT_SINGLELINE | DT_END_ELLIPSIS);
    EXPECT_LE(r.Width(), w);
    TRect tabbed = Rect(0, 0, 400, 0);
    DrawTextEx(painter, QStringLiteral("a\tb"), tabbed, DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS);
    const int stop = 8 * Metrics().averageCharWidth();
    EXPECT_GE(tabbed.Width(), stop + Advance(QStringLiteral("b")));
}

TEST_F(TextDrawTest, SingleLinePlacementAndClipping)
{
    // Centred vertically and right aligned: ink only in the lower right part.
    const TRect box = Rect(0, 0, 200, 100);
    const int offset = DrawTextEx(painter, QStringLiteral("|"), box, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
    EXPECT_EQ(offset, (100 - LineHeight()) / 2 + LineHeight());
    // Clipped to its rectangle: nothing left of x = 150.
    DrawTextEx(painter, QStringLiteral("WWWWWWWW"), Rect(150, 0, 160, 30), DT_SINGLELINE);
    painter.end();
    for (int y = 0; y < 30; ++y)
        EXPECT_EQ(PixelAt(image, 149, y), clWhite) << y;
    bool inkRight = false;
    for (int y = 30; y < 70; ++y)
        inkRight = inkRight || PixelAt(image, 199 - Advance(QStringLiteral("|")) / 2, y) != clWhite;
    EXPECT_TRUE(inkRight);
}
