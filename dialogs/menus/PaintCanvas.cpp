#include "dialogs/menus/PaintCanvas.h"

#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <cstdlib>
#include <vector>

TPaintCanvas::TPaintCanvas(QPainter &painter)
    : FPainter(painter)
{
    FPainter.setRenderHint(QPainter::Antialiasing, false);
}

void TPaintCanvas::SetBrush(TColor color)
{
    FBrush = ColorToRGB(color);
    FHollow = false;
}

void TPaintCanvas::FillRect(const TRect &rect) const
{
    if (!rect.IsEmpty())
        FPainter.fillRect(ToQRect(rect), ToQColor(FBrush));
}

void TPaintCanvas::FillRect(const TRect &rect, TColor color)
{
    SetBrush(color);
    FillRect(rect);
}

void TPaintCanvas::FrameRect(const TRect &rect, TColor color) const
{
    if (rect.IsEmpty())
        return;
    const QColor c = ToQColor(color);
    const QRect r = ToQRect(rect);
    FPainter.fillRect(QRect(r.left(), r.top(), r.width(), 1), c);
    FPainter.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), c);
    FPainter.fillRect(QRect(r.left(), r.top(), 1, r.height()), c);
    FPainter.fillRect(QRect(r.right(), r.top(), 1, r.height()), c);
}

void TPaintCanvas::Rectangle(const TRect &rect) const
{
    if (!FHollow)
        FillRect(InflateRect(rect, -1, -1));
    FrameRect(rect, FPen);
}

void TPaintCanvas::Ellipse(const TRect &rect) const
{
    if (rect.Width() < 2 || rect.Height() < 2)
        return;
    FPainter.save();
    FPainter.setPen(ToQColor(FPen));
    FPainter.setBrush(FHollow ? QBrush(Qt::NoBrush) : QBrush(ToQColor(FBrush)));
    FPainter.drawEllipse(QRect(rect.Left, rect.Top, rect.Width() - 1, rect.Height() - 1));
    FPainter.restore();
}

void TPaintCanvas::RoundRect(const TRect &rect, int cornerWidth, int cornerHeight) const
{
    if (rect.Width() < 2 || rect.Height() < 2)
        return;
    FPainter.save();
    FPainter.setPen(ToQColor(FPen));
    FPainter.setBrush(FHollow ? QBrush(Qt::NoBrush) : QBrush(ToQColor(FBrush)));
    FPainter.drawRoundedRect(QRect(rect.Left, rect.Top, rect.Width() - 1, rect.Height() - 1),
        cornerWidth / 2.0, cornerHeight / 2.0);
    FPainter.restore();
}

void TPaintCanvas::LineTo(int x, int y)
{
    const QColor c = ToQColor(FPen);
    const int x0 = FCurrent.x(), y0 = FCurrent.y();
    FCurrent = QPoint(x, y);
    if (y0 == y) {
        if (x != x0)
            FPainter.fillRect(x < x0 ? QRect(x + 1, y, x0 - x, 1) : QRect(x0, y, x - x0, 1), c);
        return;
    }
    if (x0 == x) {
        FPainter.fillRect(y < y0 ? QRect(x, y + 1, 1, y0 - y) : QRect(x, y0, 1, y - y0), c);
        return;
    }
    // Bresenham along the major axis, stopping before the end point.
    const int dx = std::abs(x - x0), dy = std::abs(y - y0);
    const int sx = x > x0 ? 1 : -1, sy = y > y0 ? 1 : -1;
    std::vector<QPoint> points;
    points.reserve(std::size_t(std::max(dx, dy)));
    int px = x0, py = y0;
    const bool steep = dy > dx;
    int &along = steep ? py : px;
    int &across = steep ? px : py;
    const int major = std::max(dx, dy), minor = std::min(dx, dy);
    const int alongStep = steep ? sy : sx, acrossStep = steep ? sx : sy;
    int error = major / 2;
    for (int i = 0; i < major; ++i) {
        points.emplace_back(px, py);
        along += alongStep;
        error -= minor;
        if (error < 0) {
            across += acrossStep;
            error += major;
        }
    }
    FPainter.save();
    FPainter.setPen(QPen(c, 1));
    FPainter.drawPoints(points.data(), int(points.size()));
    FPainter.restore();
}

void TPaintCanvas::Polyline(std::initializer_list<QPoint> points)
{
    bool first = true;
    for (const QPoint &p : points) {
        if (first)
            MoveTo(p.x(), p.y());
        else
            LineTo(p.x(), p.y());
        first = false;
    }
}

void TPaintCanvas::SetPixel(int x, int y, TColor color) const
{
    FPainter.fillRect(x, y, 1, 1, ToQColor(color));
}

TColor TPaintCanvas::Pixel(int x, int y) const
{
    QPaintDevice *device = FPainter.device();
    if (device && device->devType() == QInternal::Image) {
        const auto *image = static_cast<const QImage *>(device);
        const QPoint p = FPainter.deviceTransform().map(QPoint(x, y));
        if (image->rect().contains(p))
            return FromQRgb(image->pixel(p));
    }
    return FromQColor(FPainter.background().color());
}
