#include "document/xml/TextBlocks.h"

#include <gtest/gtest.h>
#include <random>

using xml::TTextBlocks;

namespace {

class TextBlocksTest : public ::testing::TestWithParam<TTextBlocks::TMode> { };

QString RandomText(std::mt19937 &rng)
{
    // Mostly short texts, some empty, some long enough for a block of their own.
    const std::size_t kind = rng() % 20;
    const qsizetype length = kind == 0 ? 0
        : kind == 1                    ? qsizetype(3000 + rng() % 9000)
                                       : qsizetype(rng() % 40);
    QString text(length, Qt::Uninitialized);
    for (QChar &c : text)
        c = QChar(char16_t(u'a' + rng() % 26));
    return text;
}

} // namespace

// Texts written into the blocks come out as they went in, stay whole after the
// blocks are given up, and a change of one taken text touches no other.
TEST_P(TextBlocksTest, TakenTextsOutliveTheBlocksAndDetachOnChange)
{
    if (GetParam() == TTextBlocks::TMode::Shared && !TTextBlocks::CanShare())
        GTEST_SKIP() << "this Qt cannot share text blocks";
    std::mt19937 rng(11);
    std::vector<QString> written;
    std::vector<QString> taken;
    {
        TTextBlocks blocks(GetParam());
        EXPECT_EQ(blocks.mode(), GetParam());
        for (int i = 0; i < 20000; ++i) {
            const QString text = RandomText(rng);
            // Room for more than the text: the final length may be shorter.
            char16_t *out = blocks.reserve(text.size() + 5);
            std::copy(text.utf16(), text.utf16() + text.size(), out);
            const xml::TTextRef ref = blocks.commit(text.size());
            written.push_back(text);
            taken.push_back(blocks.take(ref));
            if (i % 7 == 0) // the same text taken twice
                taken.push_back(blocks.take(ref));
            if (i % 7 == 0)
                written.push_back(text);
        }
    }
    ASSERT_EQ(taken.size(), written.size());
    for (std::size_t i = 0; i < taken.size(); ++i) {
        ASSERT_EQ(taken[i], written[i]) << i;
        ASSERT_EQ(taken[i].utf16()[taken[i].size()], 0) << i; // zero-terminated as any QString
    }
    // Changing a taken text copies it: its neighbours in the block stay.
    taken[0].append(u'!');
    taken[1][0] = u'#';
    EXPECT_EQ(taken[2], written[2]);
    EXPECT_EQ(taken[0], written[0] + "!");
    taken.clear(); // the last references give the blocks back (the leak check sees it)
}

INSTANTIATE_TEST_SUITE_P(BothModes, TextBlocksTest,
    ::testing::Values(TTextBlocks::TMode::Shared, TTextBlocks::TMode::Copied),
    [](const auto &test) { return test.param == TTextBlocks::TMode::Shared ? "Shared" : "Copied"; });
