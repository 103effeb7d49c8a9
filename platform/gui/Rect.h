#pragma once

#include <QPoint>
#include <QRect>

// A rectangle whose right and bottom edges are exclusive: it covers the pixels
// Left..Right-1 and Top..Bottom-1. All geometry is computed in this form and turned
// into Qt's inclusive QRect only where Qt is called, through ToQRect.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    constexpr int Width() const { return Right - Left; }
    constexpr int Height() const { return Bottom - Top; }
    constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    constexpr QPoint TopLeft() const { return { Left, Top }; }
    constexpr QPoint BottomRight() const { return { Right, Bottom }; }
    constexpr bool Contains(QPoint p) const
    {
        return p.x() >= Left && p.x() < Right && p.y() >= Top && p.y() < Bottom;
    }
    constexpr bool operator==(const TRect &) const = default;
};

constexpr TRect Rect(int left, int top, int right, int bottom)
{
    return { left, top, right, bottom };
}
constexpr TRect Bounds(int left, int top, int width, int height)
{
    return { left, top, left + width, top + height };
}

constexpr TRect OffsetRect(TRect r, int dx, int dy)
{
    return { r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy };
}
constexpr TRect InflateRect(TRect r, int dx, int dy)
{
    return { r.Left - dx, r.Top - dy, r.Right + dx, r.Bottom + dy };
}
// The common part of two rectangles; an empty rectangle (all zero) when they do not meet.
TRect IntersectRect(const TRect &a, const TRect &b);
// The smallest rectangle holding both; an empty one does not count.
TRect UnionRect(const TRect &a, const TRect &b);

// The one conversion to Qt's rectangles (inclusive edges) and back.
constexpr QRect ToQRect(const TRect &r)
{
    return QRect(QPoint(r.Left, r.Top), QPoint(r.Right - 1, r.Bottom - 1));
}
constexpr TRect FromQRect(const QRect &r)
{
    return { r.left(), r.top(), r.left() + r.width(), r.top() + r.height() };
}
