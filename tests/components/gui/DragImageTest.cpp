// The drag image on an image surface: its alpha channel at points worked out
// from the fall-off, the strips a move uncovers and covers, and a surface that
// gets back exactly what lay under the image.
#include "components/gui/GTDragImage.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace {

// Every pixel of its own colour, so that a misplaced one shows.
QImage Pattern(int Width, int Height)
{
    QImage image(Width, Height, QImage::Format_ARGB32);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            image.setPixel(x, y, qRgb(x * 2 % 256, y * 4 % 256, (x * 7 + y * 3) % 256));
    return image;
}

// Pixels of Shown that differ from Original outside Except.
int ChangedOutside(const QImage &Shown, const QImage &Original, const QRect &Except)
{
    int changed = 0;
    for (int y = 0; y < Original.height(); ++y)
        for (int x = 0; x < Original.width(); ++x)
            if (!Except.contains(x, y) && Shown.pixel(x, y) != Original.pixel(x, y))
                ++changed;
    return changed;
}

} // namespace

TEST(DragImage, AlphaFallsOffFromTheCentreAndTheColorKeyIsClear)
{
    QImage square(10, 10, QImage::Format_ARGB32);
    square.fill(qRgb(10, 20, 30));
    TGTDragImage::MakeAlphaChannel(square, clNone);
    // alpha = round(255 e^(-8 d)), d the distance from (5, 5) over 10.
    EXPECT_EQ(qAlpha(square.pixel(5, 5)), 255);
    EXPECT_EQ(qAlpha(square.pixel(6, 5)), 115);
    EXPECT_EQ(qAlpha(square.pixel(0, 5)), 5);
    EXPECT_EQ(qAlpha(square.pixel(5, 0)), 5);
    EXPECT_EQ(qAlpha(square.pixel(9, 9)), 3);
    EXPECT_EQ(square.pixel(5, 5) & 0xFFFFFF, qRgb(10, 20, 30) & 0xFFFFFF);

    // The longer side sets the scale: (10, 0) of 20 x 10 lies 5/20 from the centre.
    QImage wide(20, 10, QImage::Format_ARGB32);
    wide.fill(qRgb(200, 200, 200));
    wide.setPixel(10, 0, qRgb(0, 0, 255));
    TGTDragImage::MakeAlphaChannel(wide, RGB(200, 200, 200));
    EXPECT_EQ(qAlpha(wide.pixel(10, 0)), 35);
    EXPECT_EQ(qAlpha(wide.pixel(10, 5)), 0);
    EXPECT_EQ(qAlpha(wide.pixel(19, 9)), 0);
}

TEST(DragImage, MovesSplitIntoStripsByTheirDirection)
{
    // Right: the left strip is uncovered, the right one newly covered.
    TDragRectangles r = FillDragRectangles(10, 8, 3, 0);
    EXPECT_EQ(r.Clip, QRect(0, 0, 10, 8));
    EXPECT_EQ(r.Scroll, QRect(3, 0, 7, 8));
    EXPECT_EQ(r.Sample1, QRect(7, 0, 3, 8));
    EXPECT_EQ(r.Draw1, QRect(0, 0, 3, 8));
    EXPECT_TRUE(r.Sample2.isEmpty() && r.Draw2.isEmpty());
    r = FillDragRectangles(10, 8, -3, 0);
    EXPECT_EQ(r.Scroll, QRect(0, 0, 7, 8));
    EXPECT_EQ(r.Sample1, QRect(0, 0, 3, 8));
    EXPECT_EQ(r.Draw1, QRect(7, 0, 3, 8));
    r = FillDragRectangles(10, 8, 0, 2);
    EXPECT_EQ(r.Scroll, QRect(0, 2, 10, 6));
    EXPECT_EQ(r.Sample2, QRect(0, 6, 10, 2));
    EXPECT_EQ(r.Draw2, QRect(0, 0, 10, 2));
    EXPECT_TRUE(r.Sample1.isEmpty() && r.Draw1.isEmpty());
    r = FillDragRectangles(10, 8, 0, -2);
    EXPECT_EQ(r.Scroll, QRect(0, 0, 10, 6));
    EXPECT_EQ(r.Sample2, QRect(0, 0, 10, 2));
    EXPECT_EQ(r.Draw2, QRect(0, 6, 10, 2));
    // Diagonally both kinds; a jump of a whole side has no strips.
    r = FillDragRectangles(10, 8, -4, 3);
    EXPECT_EQ(r.Scroll, QRect(0, 3, 6, 5));
    EXPECT_EQ(r.Sample1, QRect(0, 0, 4, 8));
    EXPECT_EQ(r.Sample2, QRect(0, 5, 10, 3));
    r = FillDragRectangles(10, 8, 10, 0);
    EXPECT_TRUE(r.Scroll.isEmpty() && r.Sample1.isEmpty() && r.Draw1.isEmpty());
}

TEST(DragImage, SurfaceGetsBackExactlyWhatTheImageCovered)
{
    const QImage original = Pattern(100, 60);
    QImage surface = original;
    TGTDragImage image(std::make_unique<TGTImageSurface>(surface));
    QImage picture(20, 16, QImage::Format_ARGB32);
    picture.fill(qRgb(255, 255, 255));
    image.PrepareDrag(picture, QPoint(10, 10), QPoint(20, 18));
    image.ShowDragImage();
    ASSERT_TRUE(image.Visible());
    EXPECT_EQ(ChangedOutside(surface, original, QRect(10, 10, 20, 16)), 0);
    // The centre is covered by the blend, lighter than what lay there.
    EXPECT_GT(qRed(surface.pixel(20, 18)), qRed(original.pixel(20, 18)));

    // Small moves in every direction, a jump, a forced repaint: outside the
    // image the surface is always what it was.
    QPoint mouse(20, 18);
    QPoint at(10, 10);
    for (const QPoint move : { QPoint(3, 0), QPoint(-5, 0), QPoint(0, 4), QPoint(0, -6), QPoint(7, 5),
             QPoint(-2, -3), QPoint(40, 20), QPoint(0, 0) }) {
        mouse += move;
        at += move;
        EXPECT_TRUE(image.DragTo(mouse, move.isNull()));
        EXPECT_EQ(image.GetDragImageRect(), Bounds(at.x(), at.y(), 20, 16));
        EXPECT_EQ(ChangedOutside(surface, original, QRect(at, QSize(20, 16))), 0)
            << move.x() << "," << move.y();
        EXPECT_NE(surface.pixel(at.x() + 10, at.y() + 8), original.pixel(at.x() + 10, at.y() + 8));
    }
    EXPECT_FALSE(image.DragTo(mouse));
    image.HideDragImage();
    EXPECT_EQ(surface, original);

    // Moves restricted to one axis keep the other.
    image.ShowDragImage();
    image.SetMoveRestriction(dmrHorizontalOnly);
    image.DragTo(mouse + QPoint(4, 9));
    EXPECT_EQ(image.GetDragImageRect().Top, at.y());
    EXPECT_EQ(image.GetDragImageRect().Left, at.x() + 4);
    image.EndDrag();
    EXPECT_EQ(surface, original);
}

TEST(DragImage, RecapturedBackgroundReplacesWhatLayUnderTheImage)
{
    const QImage original = Pattern(60, 40);
    QImage surface = original;
    TGTDragImage image(std::make_unique<TGTImageSurface>(surface));
    QImage picture(10, 10, QImage::Format_ARGB32);
    picture.fill(qRgb(0, 0, 0));
    image.PrepareDrag(picture, QPoint(20, 10), QPoint(25, 15));
    image.ShowDragImage();
    // The area below the image was painted anew meanwhile: green from x 24 on.
    image.RecaptureBackground(
        [](QPainter &Painter, const QRect &Part) {
            Painter.fillRect(QRect(QPoint(0, 0), Part.size()), QColor(0, 255, 0));
        },
        QRect(24, 0, 36, 40), true);
    image.HideDragImage();
    EXPECT_EQ(surface.pixel(25, 15), qRgb(0, 255, 0));
    EXPECT_EQ(surface.pixel(29, 19), qRgb(0, 255, 0));
    EXPECT_EQ(surface.pixel(23, 15), original.pixel(23, 15));
    EXPECT_EQ(surface.pixel(30, 15), original.pixel(30, 15));
}
