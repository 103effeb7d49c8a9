#include "document/BarBitmap.h"

#include "document/Document.h"
#include "document/DocumentTable.h"

#include <algorithm>
#include <array>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <set>
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

// Against a plain reference: whatever a paint draws survives it; beyond the cap
// the images it did not draw go, oldest first and no more than needed.
TEST(BarBitmapCache, APaintKeepsWhatItDrawsAndTheCapAppliesToTheRest)
{
    std::mt19937 random(11);
    std::array<TBarBitmap, 24> images;
    TBarBitmapCache cache(3000);
    std::vector<int> order; // the reference: held images, least recently drawn first
    auto held = [&](int i) { return images[std::size_t(i)].Pixels() != nullptr; };
    for (int paint = 0; paint < 400; ++paint) {
        if (paint % 50 == 49) // the window changed size
            cache.SetCapBytes(std::size_t(1000 + random() % 6000));
        std::erase_if(order, [&](int i) { return !held(i); });
        std::set<int> drawn;
        std::map<int, std::size_t> bytes;
        {
            TBarBitmapCache::TPaintScope scope(cache);
            for (int n = int(random() % 12); n > 0; --n) {
                const int i = int(random() % images.size());
                const int side = 5 + int(random() % 3) * 5;
                if (random() % 2 && held(i))
                    cache.Touch(images[std::size_t(i)]);
                else
                    cache.Allocate(images[std::size_t(i)], side, side);
                drawn.insert(i);
                std::erase(order, i);
                order.push_back(i);
            }
            for (int i : order) { // nothing goes while the paint runs
                ASSERT_TRUE(held(i));
                bytes[i] = images[std::size_t(i)].Bytes();
            }
        }
        std::size_t heldBytes = 0, lastFreedBytes = 0;
        bool freeing = true;
        for (int i : order) {
            if (held(i)) {
                heldBytes += bytes[i];
                freeing = false;
            } else {
                ASSERT_TRUE(freeing && !drawn.count(i)) << paint; // only the oldest undrawn go
                lastFreedBytes = bytes[i];
            }
        }
        ASSERT_EQ(cache.Bytes(), heldBytes);
        // One image fewer freed would have left it beyond the cap.
        if (lastFreedBytes > 0) {
            ASSERT_GT(heldBytes + lastFreedBytes, cache.CapBytes()) << paint;
        }
        const bool onlyDrawnLeft
            = std::ranges::all_of(order, [&](int i) { return !held(i) || drawn.count(i); });
        ASSERT_TRUE(heldBytes <= cache.CapBytes() || onlyDrawnLeft) << paint;
    }

    // A smaller cap outside a paint frees the oldest at once.
    cache.SetCapBytes(0);
    EXPECT_EQ(cache.Bytes(), 0u);
}
