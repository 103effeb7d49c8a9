#include "timechart/ChartShapes.h"

#include "document/gui/DrawingRoutines.h"
#include "platform/gui/Edges.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

namespace {

constexpr double kPi = std::numbers::pi;

int RoundToInt(double value)
{
    return static_cast<int>(std::nearbyint(value));
}

// The geometry of a clock face: centre, radii and the point at a fraction of the
// radius in a direction.
class TClockFace {
public:
    explicit TClockFace(const TRect &rect)
        : m_rect(rect)
        , m_centre(rect.Left + rect.Width() / 2, rect.Top + rect.Height() / 2)
        , m_radiusX(rect.Width() / 2.0)
        , m_radiusY(rect.Height() / 2.0)
    { }

    QPoint Centre() const { return m_centre; }
    double LargerRadius() const { return std::max(m_radiusX, m_radiusY); }
    QPoint At(double angle, double length) const
    {
        return m_centre
            + QPoint(RoundToInt(std::cos(angle) * length * m_radiusX),
                RoundToInt(std::sin(angle) * length * m_radiusY));
    }

    // On an even-sized face the rim's right and bottom points fall one pixel past
    // the ellipse; they are drawn on its last pixel instead.
    QPoint OnRim(double angle) const
    {
        const QPoint p = At(angle, 1);
        return { std::min(p.x(), m_rect.Right - 1), std::min(p.y(), m_rect.Bottom - 1) };
    }

private:
    TRect m_rect;
    QPoint m_centre;
    double m_radiusX;
    double m_radiusY;
};

// Twelve o'clock points up; angles grow clockwise on the screen.
constexpr double TwelveOClock = 3 * kPi / 2;
// Marks of a large face are short lines over the outer tenth of the radius.
constexpr double HourMarkInnerLength = 0.9;
constexpr double LargeFaceRadius = 40;

QPainterPath ArrowOn(const QPaintDevice *device, QPoint from, QPoint to, double size)
{
    return ArrowPath(device ? ConstructArrowPoints(*device, from, to, size)
                            : ConstructArrowPoints(96, 96, from, to, size));
}

} // namespace

TRect ArrowBounds(const QPaintDevice *device, QPoint from, QPoint to, double size)
{
    // The box of the path's points, its curves' control points included.
    const TArrowPoints points = device ? ConstructArrowPoints(*device, from, to, size)
                                       : ConstructArrowPoints(96, 96, from, to, size);
    int left = from.x(), top = from.y(), right = from.x(), bottom = from.y();
    for (const QPoint &point : points) {
        left = std::min(left, point.x());
        top = std::min(top, point.y());
        right = std::max(right, point.x());
        bottom = std::max(bottom, point.y());
    }
    return Rect(left - 1, top - 1, right + 1, bottom + 1);
}

void DrawArrow(QPainter &painter, QPoint from, QPoint to, TFillStyle fill, double size)
{
    const QPainterPath path = ArrowOn(painter.device(), from, to, size);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    switch (fill) {
    case fsStroke:
        painter.strokePath(path, painter.pen());
        break;
    case fsFill:
        painter.fillPath(path, painter.brush());
        break;
    case fsStrokeAndFill:
        painter.drawPath(path);
        break;
    }
    painter.restore();
}

void FocusRect(QPainter &painter, const TRect &rect)
{
    TRect r = rect;
    if (r.Left > r.Right)
        std::swap(r.Left, r.Right);
    if (r.Top > r.Bottom)
        std::swap(r.Top, r.Bottom);
    DrawFocusRect(painter, r);
}

void DrawClock(QPainter &painter, const TRect &rect, TDateTime time, TColor clockColor, TColor pointerColor,
    double hourLength, double minuteLength)
{
    if (rect.IsEmpty())
        return;
    const TClockFace face(rect);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);

    painter.setPen(QPen(ToQColor(clockColor), 0));
    painter.setBrush(ToQColor(clockColor));
    painter.drawEllipse(ToQRect(Rect(rect.Left, rect.Top, rect.Right - 1, rect.Bottom - 1)));

    painter.setPen(QPen(ToQColor(pointerColor), 0));
    const bool largeFace = face.LargerRadius() > LargeFaceRadius;
    for (int i = 0; i < 12; ++i) {
        const double angle = TwelveOClock + i * 2 * kPi / 12;
        const QPoint rim = face.OnRim(angle);
        if (largeFace)
            painter.drawLine(face.At(angle, HourMarkInnerLength), rim);
        else
            painter.drawPoint(rim);
    }

    int hour = 0, minute = 0, second = 0, msec = 0;
    DecodeTime(time, hour, minute, second, msec);
    const QPoint hourEnd = face.At((hour + minute / 60.0) * 2 * kPi / 12 + TwelveOClock, hourLength);
    const QPoint minuteEnd = face.At(minute * 2 * kPi / 60 + TwelveOClock, minuteLength);
    const QPoint centre = face.Centre();
    const QPoint shadow(1, 1);
    painter.setPen(QPen(ToQColor(ClockShadowColor), 1));
    painter.drawLine(centre + shadow, hourEnd + shadow);
    painter.drawLine(centre + shadow, minuteEnd + shadow);
    painter.setPen(QPen(ToQColor(pointerColor), 1));
    painter.drawLine(centre, hourEnd);
    painter.drawLine(centre, minuteEnd);
    painter.restore();
}
