#include "components/gui/TreeText.h"

#include "platform/gui/Fonts.h"
#include "platform/gui/TextDraw.h"
#include "tests/support/PixelTest.h"

#include <QFontMetrics>
#include <QPainter>
#include <gtest/gtest.h>
#include <random>

namespace {

// Every character (a surrogate pair counting once) is 10 pixels wide.
int TenPerCharacter(const QString &s)
{
    return 10 * int(s.toUcs4().size());
}

const QString Smiley = QString::fromUcs4(U"\U0001F600");

bool HasLoneSurrogate(const QString &s)
{
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i].isHighSurrogate() && (i + 1 == s.size() || !s[i + 1].isLowSurrogate()))
            return true;
        if (s[i].isLowSurrogate() && (i == 0 || !s[i - 1].isHighSurrogate()))
            return true;
    }
    return false;
}

QString Wrap(const QString &s, int width, bool rtl = false)
{
    return WrapString(TenPerCharacter, s, Rect(5, 0, 5 + width, 10), rtl);
}

} // namespace

TEST(ShortenString, KeepsTheLongestPrefixThatFitsBesideTheEllipsis)
{
    // "..." measures 30: 40 leaves room for one character.
    EXPECT_EQ(ShortenString(TenPerCharacter, "Hello", 40), "H...");
    EXPECT_EQ(ShortenString(TenPerCharacter, "Hello", 69), "Hel...");
    // A given ellipsis width is used as it is.
    EXPECT_EQ(ShortenString(TenPerCharacter, "Hello", 40, 5), "Hel...");
    // The result never holds the whole text: it is only asked for texts that do not fit.
    EXPECT_EQ(ShortenString(TenPerCharacter, "Hello", 500), "Hell...");
    // A one-character text that does not fit gives the ellipsis alone.
    EXPECT_EQ(ShortenString(TenPerCharacter, "W", 35), "...");
    EXPECT_EQ(ShortenString(TenPerCharacter, "Hello", 30), "");
    EXPECT_EQ(ShortenString(TenPerCharacter, "Hello", 0), "");
    EXPECT_EQ(ShortenString(TenPerCharacter, "", 100), "");
    // A surrogate pair is kept whole or left out whole.
    const QString text = u'a' + Smiley + u'b';
    EXPECT_EQ(ShortenString(TenPerCharacter, text, 55), u'a' + Smiley + "...");
    EXPECT_EQ(ShortenString(TenPerCharacter, text, 45), "a...");
}

TEST(ShortenString, RandomTextsFitAndAreCutAtTheLastCharacterThatFits)
{
    std::mt19937 rng(77);
    const QString pieces[] = { "a", "W", " ", Smiley, QStringLiteral("\u00e4") };
    // Characters of different widths: a pair counts 13, others 10.
    const auto measure = [](const QString &s) { return 10 * int(s.size()) - 7 * int(s.count(Smiley)); };
    for (int round = 0; round < 500; ++round) {
        QString text;
        for (int n = int(rng() % 12) + 1; n > 0; --n)
            text += pieces[rng() % 5];
        const int width = int(rng() % 150);
        const QString result = ShortenString(measure, text, width, 0);
        ASSERT_FALSE(HasLoneSurrogate(result)) << qPrintable(text);
        if (width <= 30) {
            EXPECT_TRUE(result.isEmpty());
            continue;
        }
        // The prefix by a plain scan: the longest one, short of the whole text, that fits.
        qsizetype best = 0;
        for (qsizetype k = 1; k < text.size(); ++k)
            if (!text[k].isLowSurrogate() && measure(text.left(k)) + 30 <= width)
                best = k;
        EXPECT_EQ(result, text.left(best) + "...") << qPrintable(text) << " " << width;
    }
}

// A text far longer than the cell has pixels is searched only as far as a
// prefix can fit: the result is the plain scan's, the characters measured are
// bounded by the width, not by the text.
TEST(ShortenString, LongTextsCostWhatTheCellsWidthCosts)
{
    std::mt19937 rng(78);
    const QString pieces[] = { "i", "W", " ", Smiley, "mm" };
    qint64 measured = 0;
    const auto measure = [&measured](const QString &s) {
        measured += s.size();
        return 3 * int(s.count(u'i')) + 12 * int(s.count(u'W')) + 5 * int(s.count(u' '))
            + 14 * int(s.count(Smiley)) + 9 * int(s.count(u'm')) + 4 * int(s.count(u'.'));
    };
    for (int round = 0; round < 200; ++round) {
        QString text;
        for (int n = int(rng() % 400) + 1; n > 0; --n)
            text += pieces[rng() % 5];
        const int width = int(rng() % 300);
        const QString result = ShortenString(measure, text, width, 0);
        const int ellipsis = measure("...");
        if (width <= ellipsis) {
            EXPECT_TRUE(result.isEmpty());
            continue;
        }
        qsizetype best = 0;
        for (qsizetype k = 1; k < text.size() && measure(text.left(k)) + ellipsis <= width; ++k)
            if (!text[k].isLowSurrogate())
                best = k;
        ASSERT_EQ(result, text.left(best) + "...") << qPrintable(text) << " " << width;
    }

    const QString huge(10'000'000, u'W');
    measured = 0;
    EXPECT_EQ(ShortenString(measure, huge, 200, 0), QString(15, u'W') + "...");
    EXPECT_LT(measured, 2000);
}

TEST(WrapString, FillsLinesWordByWordAndSplitsWordsTooLongForALine)
{
    EXPECT_EQ(Wrap("the quick brown fox", 100), "the quick\nbrown fox");
    EXPECT_EQ(Wrap("  the quick  ", 100), "the quick");
    EXPECT_EQ(Wrap("   ", 100), "");
    // Two spaces in a row keep their width.
    EXPECT_EQ(Wrap("a  b", 100), "a  b");
    // The longest part that fits, tried from the word's length - 1 down to 2.
    EXPECT_EQ(Wrap("abcdefghij", 35), "abc\ndef\nghi\nj");
    EXPECT_EQ(Wrap("ab abcdefghij", 35), "ab\nabc\ndef\nghi\nj");
    // At least one character per line, however narrow, and no line feed at the end.
    EXPECT_EQ(Wrap("abc", 5), "a\nb\nc");
    EXPECT_EQ(Wrap("x", 0), "x");
    // Pairs stay whole.
    EXPECT_EQ(Wrap(Smiley + Smiley + Smiley, 15), Smiley + "\n" + Smiley + "\n" + Smiley);
}

TEST(WrapString, RightToLeftFillsEachLineFromItsEnd)
{
    EXPECT_EQ(Wrap("a bb cc", 50), "a bb\ncc");
    EXPECT_EQ(Wrap("a bb cc", 50, true), "a\nbb cc");
    // A long word keeps its end on the line.
    EXPECT_EQ(Wrap("abcdefg", 30, true), "a\nbcd\nefg");
}

TEST(WrapString, EveryLineFitsWhenMeasuredWithTheFont)
{
    QImage canvas = testsupport::MakeCanvas(10, 10);
    QPainter painter(&canvas);
    painter.setFont(MakeFont(testsupport::TestFontFamily, 8, 96));
    const QString text = QStringLiteral("Auftragsbearbeitung und Terminplanung der Fertigungsstraße Nord");
    for (const int width : { 40, 75, 120 }) {
        const QString wrapped = WrapString(painter, text, Rect(0, 0, width, 20), false, DT_SINGLELINE);
        QString joined;
        for (const QString &line : wrapped.split(u'\n')) {
            EXPECT_LE(QFontMetrics(painter.font(), &canvas).horizontalAdvance(line), width)
                << qPrintable(line);
            joined += line;
        }
        // No character is lost or doubled.
        EXPECT_EQ(joined.remove(u' '), QString(text).remove(u' '));
    }
}

TEST(GetStringDrawRect, MeasuresFromTheTopLeftCorner)
{
    QImage canvas = testsupport::MakeCanvas(10, 10);
    QPainter painter(&canvas);
    painter.setFont(MakeFont(testsupport::TestFontFamily, 8, 96));
    const QFontMetrics metrics(painter.font(), &canvas);
    TRect bounds = Rect(10, 20, 500, 500);
    GetStringDrawRect(painter, "Planned", bounds, DT_SINGLELINE);
    EXPECT_EQ(bounds, Rect(10, 20, 10 + metrics.horizontalAdvance("Planned"), 20 + metrics.height()));
}

TEST(DrawTextW, MeasuresLinesAtEveryKindOfBreak)
{
    QImage canvas = testsupport::MakeCanvas(10, 10);
    QPainter painter(&canvas);
    painter.setFont(MakeFont(testsupport::TestFontFamily, 8, 96));
    const QFontMetrics metrics(painter.font(), &canvas);
    const int h = metrics.height();
    const QString text = QStringLiteral("ab\r\ncd\nefgh\u2028i\rj");
    TRect r = Rect(3, 7, 4, 8);
    DrawTextW(painter, text, r, DT_CALCRECT, true);
    EXPECT_EQ(r, Rect(3, 7, 3 + metrics.horizontalAdvance("efgh"), 7 + 5 * h));
    // One line; without AdjustRight the width stays.
    r = Rect(3, 7, 4, 8);
    DrawTextW(painter, text, r, DT_CALCRECT | DT_SINGLELINE, false);
    EXPECT_EQ(r, Rect(3, 7, 4, 7 + h));
    // Vertically centred: the first line starts at (Top + Bottom - h) div 2.
    r = Rect(0, 10, 50, 100);
    DrawTextW(painter, "x\ny", r, DT_CALCRECT | DT_VCENTER, false);
    EXPECT_EQ(r.Bottom, (110 - h) / 2 + 2 * h);
}

TEST(DrawTextW, AlignsEachLineAndStopsAtTheBottom)
{
    QImage canvas = testsupport::MakeCanvas(200, 80);
    QPainter painter(&canvas);
    painter.setFont(MakeFont(testsupport::TestFontFamily, 10, 96));
    painter.setPen(Qt::black);
    const int h = QFontMetrics(painter.font(), &canvas).height();
    // Room for one line and a pixel: the second line is still written, the third not.
    TRect r = Bounds(0, 0, 200, h + 1);
    DrawTextW(painter, "III\nIII\nIII", r, DT_RIGHT | DT_NOCLIP, false);
    painter.end();
    testsupport::SavePng(canvas, "drawtextw_right");
    const auto inkIn = [&](int left, int top, int right, int bottom) {
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                if (testsupport::PixelAt(canvas, x, y) != clWhite)
                    return true;
        return false;
    };
    EXPECT_TRUE(inkIn(150, 0, 200, h));
    EXPECT_FALSE(inkIn(0, 0, 150, 2 * h));
    EXPECT_TRUE(inkIn(150, h, 200, 2 * h));
    EXPECT_FALSE(inkIn(0, 2 * h, 200, 80));
}
