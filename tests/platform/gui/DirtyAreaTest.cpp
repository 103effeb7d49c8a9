// The area waiting for a repaint: a few rectangles kept as they are, more merged
// into their bounding box, and nothing reported for what is covered already.
#include "platform/gui/DirtyArea.h"

#include <gtest/gtest.h>
#include <random>

TEST(DirtyArea, KeepsAFewRectanglesThenTheirBox)
{
    TDirtyArea area;
    EXPECT_TRUE(area.Add(QRect()).isEmpty());
    EXPECT_TRUE(area.IsEmpty());
    // Apart from each other: each one stays, and is what became dirty.
    for (int i = 0; i < TDirtyArea::kMaxRects; ++i) {
        const QRect bar(i * 20, i * 10, 10, 5);
        EXPECT_EQ(area.Add(bar), bar);
    }
    EXPECT_EQ(area.Region().rectCount(), TDirtyArea::kMaxRects);
    // Covered (inside one rectangle, or by two together): nothing new.
    EXPECT_TRUE(area.Add(QRect(2, 1, 5, 3)).isEmpty());
    EXPECT_TRUE(area.Covers(QRect(0, 0, 10, 5)));
    EXPECT_FALSE(area.Covers(QRect(0, 0, 11, 5)));
    // One more: the area becomes the box of all, which is what became dirty.
    const QRect extra(500, 500, 4, 4);
    const QRect box = area.Region().boundingRect().united(extra);
    EXPECT_EQ(area.Add(extra), box);
    EXPECT_EQ(area.Region(), QRegion(box));
    area.Subtract(QRegion(box));
    EXPECT_TRUE(area.IsEmpty());
}

// However many rectangles come, the area never holds more than the few, and
// always covers every one of them.
TEST(DirtyArea, CoversEveryRectangleAddedWithFewRectangles)
{
    std::mt19937 random(7);
    TDirtyArea area;
    std::vector<QRect> added;
    for (int i = 0; i < 5000; ++i) {
        const QRect r(
            int(random() % 1000), int(random() % 800), 1 + int(random() % 60), 1 + int(random() % 20));
        area.Add(r);
        added.push_back(r);
        ASSERT_LE(area.Region().rectCount(), TDirtyArea::kMaxRects);
    }
    for (const QRect &r : added)
        EXPECT_TRUE(area.Covers(r));
}
