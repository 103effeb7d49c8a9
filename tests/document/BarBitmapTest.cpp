#include "document/BarBitmap.h"

#include "document/Document.h"
#include "document/DocumentTable.h"

#include <gtest/gtest.h>

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
