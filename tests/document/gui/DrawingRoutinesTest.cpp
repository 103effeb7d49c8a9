#include "document/gui/DrawingRoutines.h"

#include "document/gui/CommaTextSelection.h"

#include <QImage>
#include <QListWidget>
#include <QPainter>
#include <gtest/gtest.h>

TEST(DrawingRoutines, ArrowPointsOfAHorizontalArrow)
{
    const TArrowPoints p = ConstructArrowPoints(96, 96, QPoint(0, 0), QPoint(100, 0), 1.0);
    EXPECT_EQ(p[0], QPoint(0, 0));
    EXPECT_EQ(p[10], QPoint(0, 0));
    EXPECT_EQ(p[5], QPoint(100, 0));
    EXPECT_EQ(p[4], QPoint(70, 0)); // 30 back along the shaft
    EXPECT_EQ(p[3], QPoint(75, -4)); // 25 back at 10 degrees: 100 - 24.62, -4.34
    EXPECT_EQ(p[6], QPoint(85, -26)); // 30 back at 60 degrees: 100 - 15, -25.98
    EXPECT_EQ(p[7], QPoint(84, -19)); // 25 back at 50 degrees: 100 - 16.07, -19.15
    // p1 leaves the start at -30 degrees, a sixth of the way to p3 (|p3| = 75.1).
    EXPECT_EQ(p[1], QPoint(11, -6));

    // Twice the zoom, or a device of twice the resolution, doubles the head.
    EXPECT_EQ(ConstructArrowPoints(96, 96, QPoint(0, 0), QPoint(100, 0), 2.0)[4], QPoint(40, 0));
    EXPECT_EQ(ConstructArrowPoints(192, 96, QPoint(0, 0), QPoint(100, 0), 1.0)[4], QPoint(40, 0));
    // Equal ends point straight up: the head lies below the tip.
    EXPECT_EQ(ConstructArrowPoints(96, 96, QPoint(50, 50), QPoint(50, 50), 1.0)[4], QPoint(50, 80));
}

TEST(DrawingRoutines, ArrowPathAndRegionCoverTheHead)
{
    const TArrowPoints p = ConstructArrowPoints(96, 96, QPoint(10, 60), QPoint(110, 60), 1.0);
    const QPainterPath path = ArrowPath(p);
    EXPECT_TRUE(path.contains(QPointF(95, 52))); // inside the head triangle p4, p5, p6
    EXPECT_FALSE(path.contains(QPointF(60, 90)));
    QImage image(200, 100, QImage::Format_ARGB32);
    const QRegion region = ArrowRgn(image, QPoint(10, 60), QPoint(110, 60), 1.0);
    EXPECT_TRUE(region.contains(QPoint(95, 52)));
    EXPECT_FALSE(region.contains(QPoint(60, 90)));
}

TEST(DrawingRoutines, SnakeLineAlternatesInPairs)
{
    QImage image(16, 6, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        SnakeLine(painter, 2, 4, 7, 1);
        SnakeLine(painter, 0, 4, -1, 0); // negative width: nothing
    }
    const QRgb red = qRgb(255, 0, 0);
    for (int x = 0; x < image.width(); ++x) {
        for (int y = 0; y < image.height(); ++y) {
            bool expected = false;
            if (x >= 2 && x <= 9) {
                const int phase = (1 + x) % 4;
                expected = y == (phase < 2 ? 3 : 2);
            }
            ASSERT_EQ(image.pixel(x, y) == red, expected) << x << "," << y;
        }
    }
}

TEST(DrawingRoutines, EllipseRegionIncludesTheEdgePixel)
{
    const QRegion region = EllipseRegion(10, 20, 30, 40);
    EXPECT_TRUE(QRect(10, 20, 21, 21).contains(region.boundingRect()));
    EXPECT_EQ(region.boundingRect().right(), 30); // the exclusive right edge, widened by one
    EXPECT_TRUE(region.contains(QPoint(20, 30)));
    EXPECT_FALSE(region.contains(QPoint(11, 21))); // corner outside the ellipse
}

TEST(DrawingRoutines, BitmapIsCopiedStretchedWithoutSmoothing)
{
    QImage source(2, 1, QImage::Format_ARGB32);
    source.setPixel(0, 0, qRgb(255, 0, 0));
    source.setPixel(1, 0, qRgb(0, 0, 255));
    QImage target(8, 4, QImage::Format_RGB32);
    target.fill(Qt::white);
    {
        QPainter painter(&target);
        BltTBitmapAsDib(painter, 2, 1, source, 4, 2);
    }
    EXPECT_EQ(target.pixel(1, 1), qRgb(255, 255, 255));
    EXPECT_EQ(target.pixel(2, 1), qRgb(255, 0, 0));
    EXPECT_EQ(target.pixel(3, 2), qRgb(255, 0, 0));
    EXPECT_EQ(target.pixel(4, 1), qRgb(0, 0, 255));
    EXPECT_EQ(target.pixel(5, 2), qRgb(0, 0, 255));
    EXPECT_EQ(target.pixel(6, 1), qRgb(255, 255, 255));
    EXPECT_EQ(target.pixel(2, 3), qRgb(255, 255, 255));
}

TEST(CommaTextSelection, ListBoxSelection)
{
    QListWidget list;
    list.setSelectionMode(QAbstractItemView::MultiSelection);
    list.addItems({ "Anna", "Bernd", "Carla", "Dora" });
    ToSelection(TCommaText(QStringLiteral("dora,anna,Zoe")), list);
    TCommaText selected(QStringLiteral("old"));
    FromSelection(selected, list);
    EXPECT_EQ(selected.Strings(), QStringList({ "Anna", "Dora" }));
}
