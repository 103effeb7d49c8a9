#include "components/gui/PairAdvances.h"

#include "components/gui/TextWidthCache.h"

#include <QFontMetrics>
#include <QGlyphRun>
#include <QImage>
#include <QTextLayout>
#include <gtest/gtest.h>
#include <random>
#include <string_view>

namespace {

// Texts of a table's kind: letters that kern against each other (AV, To, Ty,
// r., 11), ligature letters (fi, ffl), quotes, umlauts and signs, with now and
// then a character outside the summed alphabet (a soft hyphen, a tab, an accent
// that combines, Greek, a wide character).
QString RandomText(std::mt19937 &Random, bool Plain)
{
    static constexpr std::u16string_view Common
        = u"AVTWYLPFKRXyvwrTo .,;:-'\"()/1234567890aeflfit\u00e4\u00f6\u00fc\u00df\u00c4\u00e9\u00b0\u00a7%&";
    static constexpr std::u16string_view Other = u"\u00ad\t\u0301\u03a9\u4e2d\u0131\u2013";
    std::uniform_int_distribution<int> length(0, 24);
    std::uniform_int_distribution<int> common(0, int(Common.size()) - 1);
    std::uniform_int_distribution<int> other(0, int(Other.size()) - 1);
    std::uniform_int_distribution<int> ascii(0x20, 0xff);
    std::uniform_int_distribution<int> kind(0, 99);
    QString text;
    for (int n = length(Random); n > 0; --n) {
        const int k = kind(Random);
        if (!Plain && k < 3)
            text += QChar(Other[std::size_t(other(Random))]);
        else if (k < 30)
            text += QChar(char16_t(ascii(Random)));
        else
            text += QChar(Common[std::size_t(common(Random))]);
    }
    return text;
}

std::vector<QFont> TableFonts()
{
    std::vector<QFont> fonts;
    for (const char *family : { "Liberation Sans", "DejaVu Sans", "Liberation Serif" })
        for (const int pixels : { 11, 12, 15 })
            for (int style = 0; style < 4; ++style) {
                QFont font(QString::fromLatin1(family));
                font.setPixelSize(pixels);
                font.setBold((style & 1) != 0);
                font.setItalic((style & 2) != 0);
                fonts.push_back(font);
            }
    // A size in points lands between pixels.
    fonts.emplace_back(QStringLiteral("Liberation Sans"), 9);
    return fonts;
}

} // namespace

// Summed from pairs, a text is exactly as wide as shaping it whole makes it, in
// every font a table draws in; what the sums cannot tell they leave to shaping.
TEST(PairAdvances, SumsEqualTheShapedWidthsOfRandomTexts)
{
    QImage device(10, 10, QImage::Format_RGB32);
    std::mt19937 random(11);
    for (const QFont &font : TableFonts()) {
        const QFontMetrics metrics(font, &device);
        TPairAdvances pairs(font, &device, 0);
        int summed = 0;
        int left = 0;
        for (int i = 0; i < 1500; ++i) {
            const QString text = RandomText(random, i % 2 == 0);
            const std::optional<int> width = pairs.Width(text);
            if (!width) {
                ++left;
                continue;
            }
            ++summed;
            ASSERT_EQ(*width, metrics.horizontalAdvance(text))
                << font.toString().toStdString() << " \"" << text.toStdString() << '"';
        }
        // Most texts are summed, and those with a character outside are not.
        EXPECT_GT(summed, 600) << font.toString().toStdString();
        EXPECT_GT(left, 30) << font.toString().toStdString();
    }
}

TEST(PairAdvances, TextsOutsideTheAlphabetOrWithLigaturesAreLeftToShaping)
{
    QImage device(10, 10, QImage::Format_RGB32);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(12);
    TPairAdvances pairs(font, &device, 0);
    EXPECT_EQ(pairs.Width(QString()), 0);
    EXPECT_EQ(pairs.Width(u"W"), QFontMetrics(font, &device).horizontalAdvance("W"));
    EXPECT_FALSE(pairs.Width(u"Stra\u00adße"));
    EXPECT_FALSE(pairs.Width(u"a\tb"));
    EXPECT_FALSE(pairs.Width(u"e\u0301"));
    EXPECT_FALSE(pairs.Width(u"\u4e2d"));

    // Where shaping joins two letters into one glyph, the pair is never summed.
    int joins = 0;
    for (const QString &family : { QStringLiteral("DejaVu Sans"), QStringLiteral("DejaVu Serif") }) {
        QFont joining(family);
        joining.setPixelSize(12);
        const QFontMetrics metrics(joining, &device);
        TPairAdvances joined(joining, &device, 0);
        for (const QString &text : { QStringLiteral("fi"), QStringLiteral("fl"), QStringLiteral("ff") }) {
            QTextLayout layout(text, QFont(joining, &device));
            layout.beginLayout();
            layout.createLine();
            layout.endLayout();
            const QList<QGlyphRun> runs = layout.glyphRuns();
            ASSERT_EQ(runs.size(), 1);
            if (runs.front().glyphIndexes().size() < text.size()) {
                ++joins;
                EXPECT_FALSE(joined.Width(text)) << text.toStdString();
                EXPECT_FALSE(joined.Width(QStringLiteral("of") + text + QStringLiteral("ce")))
                    << text.toStdString();
            } else {
                EXPECT_EQ(joined.Width(text), metrics.horizontalAdvance(text)) << text.toStdString();
            }
        }
    }
    EXPECT_GT(joins, 0);
}

// Until a font has measured many texts, texts are left to shaping; past that
// their pairs are learnt and they are summed.
TEST(PairAdvances, PairsAreLearntOnlyAfterManyTexts)
{
    QImage device(10, 10, QImage::Format_RGB32);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(12);
    const QFontMetrics metrics(font, &device);
    TPairAdvances pairs(font, &device, 3);
    EXPECT_FALSE(pairs.Width(u"\u4e2d"));
    for (int i = 0; i < 2; ++i)
        EXPECT_FALSE(pairs.Width(u"Tower")) << i;
    EXPECT_EQ(pairs.Width(u"Tower"), metrics.horizontalAdvance("Tower"));
    EXPECT_EQ(pairs.Width(u"AVA"), metrics.horizontalAdvance("AVA"));
}

// The width cache answers the same with sums and without, for texts of all
// kinds, in fonts that change under it.
TEST(PairAdvances, TheWidthCacheGivesTheSameWidthsWithSumsAndWithout)
{
    QImage device(10, 10, QImage::Format_RGB32);
    const std::vector<QFont> fonts = TableFonts();
    TTextWidthCache summing;
    TTextWidthCache shaping;
    shaping.SetSumPairs(false);
    std::mt19937 random(5);
    std::uniform_int_distribution<std::size_t> pick(0, 3);
    for (int i = 0; i < 4000; ++i) {
        const QFont &font = fonts[pick(random)];
        const QString text = RandomText(random, false);
        ASSERT_EQ(summing.Width(font, &device, text), shaping.Width(font, &device, text))
            << font.toString().toStdString() << " \"" << text.toStdString() << '"';
    }
}
