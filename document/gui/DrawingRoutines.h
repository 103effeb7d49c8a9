#pragma once

#include <QPainterPath>
#include <QPoint>
#include <QRegion>
#include <array>

class QImage;
class QPaintDevice;
class QPainter;
class QWidget;

// The deadline arrow: a curved shaft from `from` to a head at `to`, as 11 points
// (start, two control points, the head outline, two control points, start).
// `scale` is the printing zoom; the arrow keeps its size in inches on every device.
using TArrowPoints = std::array<QPoint, 11>;

// The points for a device whose horizontal resolution is `devicePpi` when the
// screen's is `screenPpi`.
TArrowPoints ConstructArrowPoints(double devicePpi, double screenPpi, QPoint from, QPoint to, double scale);
// The points for `device`, measured against the primary screen.
TArrowPoints ConstructArrowPoints(const QPaintDevice &device, QPoint from, QPoint to, double scale);
// The closed outline: Bezier to the head, the head's polyline, Bezier back.
QPainterPath ArrowPath(const TArrowPoints &points);
QRegion ArrowRgn(const QPaintDevice &device, QPoint from, QPoint to, double scale);

// The red wavy underline of a misspelt or invalid text: pixels from x to
// x + width (inclusive) alternating in pairs between the rows y - 1 and y - 2;
// `offset` shifts the wave's phase. Nothing for a negative width.
void SnakeLine(QPainter &painter, int x, int y, int width, int offset);

// Schedules a repaint of the ellipse inscribed in the rectangle left, top,
// right, bottom (right and bottom exclusive), widened by one pixel to the right
// and bottom.
void InvalidateEllipse(QWidget &widget, int left, int top, int right, int bottom);
// The region InvalidateEllipse repaints.
QRegion EllipseRegion(int left, int top, int right, int bottom);

// Draws `bitmap` stretched to width x height at x, y as a plain copy of opaque
// pixels (no smoothing), as the chart is printed.
void BltTBitmapAsDib(QPainter &painter, int x, int y, const QImage &bitmap, int width, int height);
