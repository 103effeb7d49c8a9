#include "components/gui/TextWidthCache.h"

#include "platform/gui/TextDraw.h"

#include <QFont>
#include <QImage>
#include <gtest/gtest.h>
#include <random>
#include <string_view>

// A text longer than any line a screen shows is measured by its shown start, and
// a second text of the same length is not taken for the first.
TEST(TextWidthCache, LongTextsAreMeasuredByTheirShownStartEach)
{
    QImage device(10, 10, QImage::Format_RGB32);
    QFont font;
    font.setPixelSize(12);
    TTextWidthCache cache;
    const QString narrow = QString(MaxShownLineLength * 4, u'i');
    const QString wide = QString(MaxShownLineLength * 4, u'W');
    const QFontMetrics metrics(font, &device);
    const int narrowWidth = cache.Width(font, &device, narrow);
    EXPECT_EQ(narrowWidth, metrics.horizontalAdvance(ShownLinePart(narrow)));
    EXPECT_EQ(cache.Width(font, &device, wide), metrics.horizontalAdvance(ShownLinePart(wide)));
    EXPECT_GT(cache.Width(font, &device, wide), narrowWidth);
    EXPECT_EQ(cache.Width(font, &device, narrow), narrowWidth);
    // Short texts as the font measures them.
    EXPECT_EQ(cache.Width(font, &device, "Press"), metrics.horizontalAdvance("Press"));
}

TEST(TextWidthCache, TheShownPartNeverSplitsASurrogatePair)
{
    const QString smiley = QString::fromUcs4(U"\U0001F600");
    QString text = QString(MaxShownLineLength - 1, u'a') + smiley + "tail";
    EXPECT_EQ(ShownLinePart(text), QString(MaxShownLineLength - 1, u'a') + smiley);
    text = QString(MaxShownLineLength, u'a') + smiley;
    EXPECT_EQ(ShownLinePart(text), QString(MaxShownLineLength, u'a'));
    EXPECT_EQ(ShownLinePart("short"), "short");
}

namespace {

// Short random texts over Latin letters and digits, wide CJK characters,
// combining marks, Hebrew and Arabic (right to left) and a character outside the
// basic plane, drawn from a small alphabet so that many texts come back.
QString RandomText(std::mt19937 &Random)
{
    static const std::u16string_view Alphabet = u"aW1 .\u4e2d\u6587\u0301\u0308\u05d0\u05e9\u0627\u0644";
    std::uniform_int_distribution<int> length(0, 6);
    std::uniform_int_distribution<int> pick(0, int(Alphabet.size()));
    QString text;
    for (int n = length(Random); n > 0; --n) {
        const int i = pick(Random);
        if (i == int(Alphabet.size()))
            text += QString::fromUcs4(U"\U0001F600");
        else
            text += QChar(Alphabet[std::size_t(i)]);
    }
    return text;
}

} // namespace

// Whatever a text holds and however often it comes back, the cache answers what
// the font measures.
TEST(TextWidthCache, WidthsOfRandomTextsAreTheFontsOwn)
{
    QImage device(10, 10, QImage::Format_RGB32);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(12);
    const QFontMetrics metrics(font, &device);
    TTextWidthCache cache;
    std::mt19937 random(7);
    for (int i = 0; i < 3000; ++i) {
        const QString text = RandomText(random);
        // A copy in storage of its own finds what the original stored.
        const QString copy(text.constData(), text.size());
        ASSERT_EQ(cache.Width(font, &device, text), metrics.horizontalAdvance(text)) << text.toStdString();
        ASSERT_EQ(cache.Width(font, &device, copy), metrics.horizontalAdvance(text)) << text.toStdString();
    }
}

// Past the number of texts it keeps the cache starts afresh and still answers
// each text, those measured before the restart included.
TEST(TextWidthCache, StartingAfreshKeepsAnswersRight)
{
    QImage device(10, 10, QImage::Format_RGB32);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(12);
    const QFontMetrics metrics(font, &device);
    TTextWidthCache cache;
    const auto text = [](int i) { return QString::number(i) + QString(i % 9, u'W'); };
    for (int i = 0; i < (1 << 16) + 500; ++i) {
        const int width = cache.Width(font, &device, text(i));
        if (i % 997 == 0) {
            ASSERT_EQ(width, metrics.horizontalAdvance(text(i))) << i;
        }
    }
    for (int i = 0; i < 2000; i += 37)
        EXPECT_EQ(cache.Width(font, &device, text(i)), metrics.horizontalAdvance(text(i))) << i;
}
