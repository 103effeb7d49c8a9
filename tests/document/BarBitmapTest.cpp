#include "document/BarBitmap.h"

#include "document/Document.h"
#include "document/DocumentTable.h"

#include <algorithm>
#include <array>
#include <gtest/gtest.h>
#include <random>
#include <vector>

// Images of 10 x 10 pixels hold 400 bytes; a cap of 1000 keeps two of them.
TEST(BarBitmapCache, KeepsTheMostRecentlyDrawnImagesWithinItsCap)
{
    TBarBitmapCache cache(1000);
    TBarBitmap a, b, c, d;
    cache.Allocate(a, 10, 10);
    cache.Allocate(b, 10, 10);
    EXPECT_EQ(cache.Bytes(), 800u);
    cache.Allocate(c, 10, 10); // a, drawn longest ago, goes
    EXPECT_EQ(a.Pixels(), nullptr);
    EXPECT_FALSE(a.HasSize(10, 10));
    EXPECT_EQ(cache.Bytes(), 800u);
    cache.Touch(b); // b was drawn again: c is now the oldest
    cache.Allocate(d, 10, 10);
    EXPECT_EQ(c.Pixels(), nullptr);
    EXPECT_TRUE(b.HasSize(10, 10));
    EXPECT_TRUE(d.HasSize(10, 10));
    EXPECT_EQ(cache.Count(), 2u);

    // The same size keeps the memory; another size counts its own bytes.
    const std::uint32_t *kept = b.Pixels();
    EXPECT_EQ(cache.Allocate(b, 10, 10), kept);
    cache.Allocate(b, 5, 4);
    EXPECT_EQ(cache.Bytes(), 400u + 80u);

    // An image larger than the cap stays (it is being drawn); the others go.
    TBarBitmap big;
    cache.Allocate(big, 20, 20);
    EXPECT_EQ(cache.Count(), 1u);
    EXPECT_EQ(cache.Bytes(), 1600u);

    // A smaller cap frees the oldest images at once; a larger one keeps more.
    cache.SetCapBytes(2000);
    cache.Allocate(a, 10, 10);
    EXPECT_TRUE(big.HasSize(20, 20) && a.HasSize(10, 10));
    cache.SetCapBytes(1000);
    EXPECT_EQ(big.Pixels(), nullptr);
    EXPECT_TRUE(a.HasSize(10, 10));
    EXPECT_EQ(cache.Bytes(), 400u);
}

TEST(BarBitmapCache, AnImageLeavesTheCountWithItsRowAndCopiesCarryNone)
{
    TBarBitmapCache cache;
    Document doc;
    TNodeData *row = doc.AddNode(QStringLiteral("a"), tbTable, false);
    cache.Allocate(row->Bitmap, 30, 12);
    EXPECT_EQ(cache.Bytes(), 30u * 12 * 4);

    const TNodeData copy = *row;
    EXPECT_EQ(copy.Bitmap.Pixels(), nullptr);
    EXPECT_EQ(cache.Count(), 1u);

    doc.DeleteNode(row, false);
    EXPECT_EQ(cache.Bytes(), 0u);
    EXPECT_EQ(cache.Count(), 0u);
}

TEST(BarBitmapCache, ImagesOutliveTheirCache)
{
    TBarBitmap image;
    {
        TBarBitmapCache cache;
        cache.Allocate(image, 4, 4);
    }
    EXPECT_EQ(image.Pixels(), nullptr);
    image.Release();
    TBarBitmapCache other;
    EXPECT_EQ(other.Allocate(image, 0, 3), nullptr);
    EXPECT_EQ(other.Count(), 0u);
}

// Against a plain reference (the images in order of drawing, oldest first): after
// any sequence of draws, touches and releases the cache holds the same images with
// the same bytes, and every image's pixels are its own, whole and aligned.
TEST(BarBitmapCache, MatchesAPlainListInOrderOfDrawing)
{
    constexpr std::size_t cap = 6000;
    TBarBitmapCache cache(cap);
    std::array<TBarBitmap, 12> images;
    std::array<std::pair<int, int>, 12> sizes {};
    std::vector<int> order; // indexes, oldest first
    std::mt19937 random(3);
    const auto drop = [&](int i) { order.erase(std::remove(order.begin(), order.end(), i), order.end()); };
    for (int step = 0; step < 3000; ++step) {
        const int i = int(random() % images.size());
        switch (random() % 4) {
        case 0:
        case 1: {
            const int width = 1 + int(random() % 30), height = 1 + int(random() % 20);
            std::uint32_t *pixels = cache.Allocate(images[size_t(i)], width, height);
            ASSERT_EQ(reinterpret_cast<std::uintptr_t>(pixels) % 16, 0u);
            std::fill(pixels, pixels + width * height, std::uint32_t(i));
            sizes[size_t(i)] = { width, height };
            drop(i);
            order.push_back(i);
            std::size_t bytes = 0;
            for (int k : order)
                bytes += std::size_t(sizes[size_t(k)].first * sizes[size_t(k)].second * 4);
            while (bytes > cap && order.front() != i) {
                bytes -= std::size_t(
                    sizes[size_t(order.front())].first * sizes[size_t(order.front())].second * 4);
                order.erase(order.begin());
            }
            break;
        }
        case 2:
            cache.Touch(images[size_t(i)]);
            if (std::find(order.begin(), order.end(), i) != order.end()) {
                drop(i);
                order.push_back(i);
            }
            break;
        default:
            images[size_t(i)].Release();
            drop(i);
        }
        std::size_t bytes = 0;
        for (int k = 0; k < int(images.size()); ++k) {
            const bool held = std::find(order.begin(), order.end(), k) != order.end();
            ASSERT_EQ(images[size_t(k)].Pixels() != nullptr, held) << step << " " << k;
            if (!held)
                continue;
            const auto [width, height] = sizes[size_t(k)];
            ASSERT_TRUE(images[size_t(k)].HasSize(width, height));
            const std::uint32_t *pixels = images[size_t(k)].Pixels();
            ASSERT_TRUE(std::all_of(
                pixels, pixels + width * height, [k](std::uint32_t p) { return p == std::uint32_t(k); }));
            bytes += images[size_t(k)].Bytes();
        }
        ASSERT_EQ(cache.Bytes(), bytes);
        ASSERT_EQ(cache.Count(), order.size());
    }
}
