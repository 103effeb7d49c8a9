#include "timechart/ImageScroll.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

// Each pixel names its own place, so a moved pixel tells where it came from.
QImage Numbered(int width, int height, QImage::Format format = QImage::Format_ARGB32)
{
    QImage image(width, height, format);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, 0xFF000000u | std::uint32_t(y << 8 | x));
    return image;
}

// The image a move by (dx, dy) gives, worked out pixel by pixel: a pixel with
// a source inside the image takes it, the others keep their own.
QImage Expected(const QImage &before, int dx, int dy)
{
    QImage after = before.copy();
    for (int y = 0; y < before.height(); ++y)
        for (int x = 0; x < before.width(); ++x)
            if (before.rect().contains(x - dx, y - dy))
                after.setPixel(x, y, before.pixel(x - dx, y - dy));
    return after;
}

TEST(ImageScroll, MovesPixelsEveryWayAsACopyWould)
{
    // Down and up, left and right, both at once, by one pixel and by nearly all.
    const int moves[][2] = { { 0, 3 }, { 0, -3 }, { 5, 0 }, { -5, 0 }, { 4, 2 }, { -4, -2 }, { 3, -6 },
        { -3, 6 }, { 0, 1 }, { 1, 0 }, { 0, 11 }, { -15, 0 } };
    for (const auto &move : moves) {
        SCOPED_TRACE(testing::Message() << move[0] << ", " << move[1]);
        QImage image = Numbered(16, 12);
        const QImage expected = Expected(image, move[0], move[1]);
        ASSERT_TRUE(ScrollImage(image, move[0], move[1]));
        EXPECT_EQ(image, expected);
    }
}

TEST(ImageScroll, LeavesImagesAloneWhenNothingStays)
{
    for (const auto &move : { QPoint(16, 0), QPoint(0, -12), QPoint(0, 0), QPoint(-40, 3) }) {
        QImage image = Numbered(16, 12);
        const QImage before = image.copy();
        EXPECT_TRUE(ScrollImage(image, move.x(), move.y()));
        EXPECT_EQ(image, before);
    }
    // Pixels of less than a byte: the caller moves them its own way.
    QImage mono(16, 12, QImage::Format_Mono);
    EXPECT_FALSE(ScrollImage(mono, 1, 0));
}

TEST(ImageScroll, KeepsAnotherHoldersPixels)
{
    QImage image = Numbered(16, 12);
    const QImage shared = image; // implicitly shared until written
    const QImage before = image.copy();
    ScrollImage(image, 2, 2);
    EXPECT_EQ(shared, before);
    EXPECT_EQ(image, Expected(before, 2, 2));
}

} // namespace
