#include "components/gui/FramedRect.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>
#include <random>

namespace {

// A row buffer as the tree paints into: 32 bits with alpha, an opaque pattern
// so that a pixel left alone differs from one painted.
QImage Buffer(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 7 % 256, y * 13 % 256, (x + y) % 256));
    return image;
}

// The selection as it was drawn before: an aliased drawRect with a cosmetic pen.
void DrawRectWithPen(QPainter &canvas, const QRect &r, const QColor &brush, const QColor &pen)
{
    canvas.save();
    canvas.setRenderHint(QPainter::Antialiasing, false);
    canvas.setPen(QPen(pen, 0));
    canvas.setBrush(brush);
    canvas.drawRect(QRect(r.left(), r.top(), r.width() - 1, r.height() - 1));
    canvas.restore();
}

QColor RandomOpaque(std::mt19937 &rng)
{
    return QColor(int(rng() % 256), int(rng() % 256), int(rng() % 256));
}

} // namespace

// Against drawRect on random rectangles inside the buffer (narrow and wider
// than the span width Qt splits over threads), colours and clips.
TEST(FramedRect, PaintsWhatAnAliasedDrawRectPaints)
{
    std::mt19937 rng(4711);
    for (int round = 0; round < 400; ++round) {
        const int left = int(rng() % 300), top = int(rng() % 20);
        const QRect r(left, top, int(rng() % (320 - left - 1)) + 2, int(rng() % (24 - top - 1)) + 2);
        const QColor brush = RandomOpaque(rng);
        const QColor pen = round % 4 == 0 ? brush : RandomOpaque(rng);
        const bool clipped = round % 3 == 0;
        const QRect clip(int(rng() % 200), 0, int(rng() % 200) + 1, 18);
        QImage expected = Buffer(320, 24), actual = expected;
        {
            QPainter canvas(&expected);
            if (clipped)
                canvas.setClipRect(clip);
            DrawRectWithPen(canvas, r, brush, pen);
        }
        {
            QPainter canvas(&actual);
            if (clipped)
                canvas.setClipRect(clip);
            FillFramedRect(canvas, r, brush, pen);
        }
        ASSERT_EQ(actual, expected) << "round " << round << ": " << r.x() << "," << r.y() << " " << r.width()
                                    << "x" << r.height();
    }
}

// One pixel high or wide: the frame covers it whole, the fill shows nowhere,
// and nothing outside the rectangle changes.
TEST(FramedRect, ThinRectanglesAreAllFrame)
{
    const QColor brush(10, 20, 30), pen(200, 100, 0);
    for (const QRect r : { QRect(5, 3, 40, 1), QRect(5, 3, 1, 10), QRect(5, 3, 1, 1), QRect(5, 3, 30, 2) }) {
        QImage image = Buffer(60, 20);
        const QImage before = image;
        {
            QPainter canvas(&image);
            FillFramedRect(canvas, r, brush, pen);
        }
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                ASSERT_EQ(image.pixel(x, y), r.contains(x, y) ? pen.rgb() : before.pixel(x, y))
                    << x << "," << y << " in " << r.width() << "x" << r.height();
    }
}

// A cell scrolled partly out of the buffer shows what the buffer holds of it
// fully painted (drawRect drops a corner of the frame there).
TEST(FramedRect, PartlyOutsideShowsTheVisiblePartOfTheWhole)
{
    std::mt19937 rng(815);
    const QColor brush(0, 120, 215), pen(200, 0, 0);
    for (int round = 0; round < 100; ++round) {
        const QRect r(int(rng() % 60) - 40, int(rng() % 20) - 10, int(rng() % 80) + 1, int(rng() % 25) + 1);
        // The same rectangle 50 pixels right and down in a larger buffer.
        QImage whole(150, 80, QImage::Format_ARGB32), part(100, 20, QImage::Format_ARGB32);
        whole.fill(Qt::white);
        part.fill(Qt::white);
        {
            QPainter canvas(&whole);
            FillFramedRect(canvas, r.translated(50, 50), brush, pen);
        }
        {
            QPainter canvas(&part);
            FillFramedRect(canvas, r, brush, pen);
        }
        ASSERT_EQ(part, whole.copy(50, 50, 100, 20)) << "round " << round;
    }
}
