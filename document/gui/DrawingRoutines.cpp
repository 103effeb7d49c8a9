#include "document/gui/DrawingRoutines.h"

#include <QGuiApplication>
#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QScreen>
#include <QWidget>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr double kPi = std::numbers::pi;

QPoint roundedPoint(double x, double y)
{
    return QPoint(static_cast<int>(std::nearbyint(x)), static_cast<int>(std::nearbyint(y)));
}

// The point at distance r back from `tip` along angle alpha.
QPoint behind(QPoint tip, double alpha, double r)
{
    return roundedPoint(tip.x() - r * std::cos(alpha), tip.y() - r * std::sin(alpha));
}

QPoint along(QPoint origin, double alpha, double r)
{
    return roundedPoint(origin.x() + r * std::cos(alpha), origin.y() + r * std::sin(alpha));
}

double distance(QPoint a, QPoint b)
{
    return std::hypot(double(b.x() - a.x()), double(b.y() - a.y()));
}

double screenPpi()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchX() : 96.0;
}

} // namespace

TArrowPoints ConstructArrowPoints(double devicePpi, double screenPpi, QPoint from, QPoint to, double scale)
{
    const double k = screenPpi > 0 ? devicePpi * scale / screenPpi : scale;
    const double longSide = 30 * k;
    const double shortSide = 25 * k;
    const double theta
        = from == to ? -kPi / 2 : std::atan2(double(to.y() - from.y()), double(to.x() - from.x()));

    TArrowPoints p;
    p[0] = from;
    p[3] = behind(to, theta + kPi / 18, shortSide);
    p[4] = behind(to, theta, longSide);
    p[5] = to;
    p[6] = behind(to, theta + kPi / 3, longSide);
    p[7] = behind(to, theta + kPi / 3 - kPi / 18, shortSide);
    p[10] = from;

    const double d3 = distance(from, p[3]);
    const double d7 = distance(from, p[7]);
    p[1] = along(from, theta - kPi / 6, d3 / 6);
    p[2] = along(p[3], kPi + theta + kPi / 6, d3 / 2);
    p[8] = along(p[7], kPi + theta + kPi / 6, d7 / 2);
    p[9] = along(from, theta - kPi / 6, d7 / 6);
    return p;
}

TArrowPoints ConstructArrowPoints(const QPaintDevice &device, QPoint from, QPoint to, double scale)
{
    return ConstructArrowPoints(device.logicalDpiX(), screenPpi(), from, to, scale);
}

QPainterPath ArrowPath(const TArrowPoints &p)
{
    QPainterPath path(p[0]);
    path.cubicTo(p[1], p[2], p[3]);
    path.lineTo(p[4]);
    path.lineTo(p[5]);
    path.lineTo(p[6]);
    path.lineTo(p[7]);
    path.cubicTo(p[8], p[9], p[10]);
    path.closeSubpath();
    return path;
}

QRegion ArrowRgn(const QPaintDevice &device, QPoint from, QPoint to, double scale)
{
    const QPainterPath path = ArrowPath(ConstructArrowPoints(device, from, to, scale));
    return QRegion(path.toFillPolygon().toPolygon(), Qt::WindingFill);
}

void SnakeLine(QPainter &painter, int x, int y, int width, int offset)
{
    if (width < 0)
        return;
    std::vector<QPoint> points;
    points.reserve(static_cast<size_t>(width) + 1);
    for (int px = x; px <= x + width; ++px) {
        // A phase that stays in 0..3 for negative positions too, so the wave has no gaps.
        const int phase = ((offset + px) % 4 + 4) % 4;
        points.emplace_back(px, phase < 2 ? y - 1 : y - 2);
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(QColor(255, 0, 0), 0));
    painter.drawPoints(points.data(), static_cast<int>(points.size()));
    painter.restore();
}

QRegion EllipseRegion(int left, int top, int right, int bottom)
{
    return QRegion(QRect(left, top, right + 1 - left, bottom + 1 - top), QRegion::Ellipse);
}

void InvalidateEllipse(QWidget &widget, int left, int top, int right, int bottom)
{
    widget.update(EllipseRegion(left, top, right, bottom));
}

void BltTBitmapAsDib(QPainter &painter, int x, int y, const QImage &bitmap, int width, int height)
{
    if (bitmap.isNull() || width <= 0 || height <= 0)
        return;
    const QImage opaque = bitmap.convertToFormat(QImage::Format_RGB32);
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(QRect(x, y, width, height), opaque);
    painter.restore();
}
