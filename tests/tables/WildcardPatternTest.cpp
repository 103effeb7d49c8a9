#include "tables/WildcardPattern.h"

#include "document/program/Utils.h"
#include "tables/UpperText.h"
#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>
#include <random>

namespace {

// Texts over a few letters of both cases, the sharp s (two letters in upper
// case), a letter outside Latin-1 and a surrogate pair.
QString randomText(std::mt19937 &rng, int maxLength, bool wildcards)
{
    static const QStringList pieces
        = { "a", "A", "b", "B", "\u00DF", "S", "\u00E9", "\u0142", "\U0001D400", "\t" };
    static const QStringList jokers = { "*", "?" };
    QString text;
    const int length = int(rng() % (maxLength + 1));
    for (int i = 0; i < length; ++i)
        text += wildcards && rng() % 3 == 0 ? jokers[rng() % 2] : pieces[rng() % pieces.size()];
    return text;
}

TEST(WildcardPattern, AnswersAsTheCoreMatchOnRandomTextsAndPatterns)
{
    std::mt19937 rng(7);
    TUpperText upper;
    for (int round = 0; round < 20000; ++round) {
        const QString text = randomText(rng, 10, false);
        const QString pattern = randomText(rng, 6, true);
        ASSERT_EQ(upper.Of(text).toString(), text.toUpper()) << text.toStdString();
        ASSERT_EQ(TWildcardPattern(pattern).Matches(upper.Of(text)), WildcardMatch(text, pattern, false))
            << "text " << text.toStdString() << " pattern " << pattern.toStdString();
    }
}

TEST(WildcardPattern, LongPartsWithJokersSpanSeveralWords)
{
    // A part of 150 characters with "?" is scanned over three 64-bit words.
    const QString part = QString(70, 'x') + "?" + QString(79, 'y');
    const QString text = "ab" + QString(70, 'X') + "q" + QString(79, 'Y') + "cd";
    TUpperText upper;
    EXPECT_TRUE(TWildcardPattern("*" + part + "*").Matches(upper.Of(text)));
    EXPECT_FALSE(TWildcardPattern("*" + part + "*").Matches(upper.Of(QString(text).replace(150, 1, "Z"))));
    EXPECT_TRUE(TWildcardPattern("ab*" + part + "*cd").Matches(upper.Of(text)));
    EXPECT_FALSE(TWildcardPattern("ab*" + part + "*cd*Y").Matches(upper.Of(text)));
}

} // namespace
