#include "components/gui/TextWidthCache.h"

#include "platform/gui/TextDraw.h"

#include <QFont>
#include <QImage>
#include <gtest/gtest.h>

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
