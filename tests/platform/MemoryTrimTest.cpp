// Whole pages inside a block are given back, the partial ones at its ends kept.
#include "platform/MemoryTrim.h"

#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <unistd.h>

TEST(MemoryTrim, OnlyWholePagesReadAsZerosAndTheCountLeadsToTheNextCall)
{
    const std::size_t page = std::size_t(sysconf(_SC_PAGESIZE));
    auto *block = static_cast<unsigned char *>(std::aligned_alloc(page, 4 * page));
    ASSERT_NE(block, nullptr);
    std::memset(block, 0xAB, 4 * page);

    // Less than a page, or a page's worth not lying on one: nothing.
    EXPECT_EQ(platform::discardWholePages(block, page - 1), 0u);
    EXPECT_EQ(platform::discardWholePages(block + 1, page), 0u);
    EXPECT_EQ(block[0], 0xAB);
    EXPECT_EQ(block[page], 0xAB);

    // From inside the first page to inside the third: the second page goes.
    EXPECT_EQ(platform::discardWholePages(block + 1, 3 * page - 2), 2 * page - 1);
    EXPECT_EQ(block[page - 1], 0xAB);
    for (std::size_t i = page; i < 2 * page; ++i)
        ASSERT_EQ(block[i], 0) << i;
    EXPECT_EQ(block[2 * page], 0xAB);
    // Going on from there: the third page.
    EXPECT_EQ(platform::discardWholePages(block + 2 * page, page), page);
    EXPECT_EQ(block[3 * page - 1], 0);
    EXPECT_EQ(block[3 * page], 0xAB);
    std::free(block);
}
