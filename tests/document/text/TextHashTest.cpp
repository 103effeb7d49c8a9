#include "document/text/TextHash.h"

#include <QSet>
#include <gtest/gtest.h>

// Equal texts hash equally whatever their storage (a piece of a larger text,
// spare room, a literal); texts of every length up to past two blocks, differing
// in one unit anywhere, spread over the buckets of a small table.
TEST(TextHash, EqualTextsMatchAndNearTextsSpread)
{
    const QString whole = QStringLiteral("Position 12,1,2 and more text behind it");
    QString spare = QStringLiteral("Position 12");
    spare.reserve(100);
    EXPECT_EQ(TextHash(QStringView(whole).left(11)), TextHash(spare));
    EXPECT_EQ(TextHash(QString()), TextHash(QStringLiteral("")));
    EXPECT_NE(TextHash(QStringLiteral("a")), TextHash(QStringLiteral("a\u0000")));

    QSet<std::size_t> buckets;
    int texts = 0;
    for (int length = 1; length <= 40; ++length) {
        const QString base(length, QLatin1Char('x'));
        for (int at = 0; at < length; ++at) {
            for (char16_t c : { u'y', u'\u00e4', u'\u20ac' }) {
                QString text = base;
                text[at] = QChar(c);
                buckets.insert(TextHash(text) & 1023);
                ++texts;
            }
        }
    }
    // 2,460 texts thrown at random into 1,024 buckets leave about 93 empty; a
    // hash that ignores a unit or a length leaves hundreds.
    EXPECT_GT(buckets.size(), 890) << texts;
}

// The word-wise compare agrees with the library's for every length up to past its
// word-wise range, a difference in any single unit, in either byte of it, and
// texts that share storage or live at different offsets of larger ones.
TEST(TextHash, SameTextAgreesWithEquality)
{
    const QString pad = QStringLiteral("__");
    for (int length = 0; length <= 40; ++length) {
        const QString base = QString(length, QLatin1Char('k'));
        const QString offset = (pad + base).mid(pad.size());
        ASSERT_TRUE(SameText(base, offset)) << length;
        ASSERT_TRUE(SameText(base, base)) << length;
        ASSERT_FALSE(SameText(base, base + QLatin1Char('k'))) << length;
        for (int at = 0; at < length; ++at) {
            for (char16_t c : { u'l', u'\u016b', u'\u0100' }) {
                QString other = base;
                other[at] = QChar(c);
                ASSERT_FALSE(SameText(base, other)) << length << " at " << at;
                ASSERT_FALSE(SameText(other, base)) << length << " at " << at;
            }
        }
    }
}
