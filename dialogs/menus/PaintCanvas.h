#pragma once

#include "platform/gui/Color.h"
#include "platform/gui/Rect.h"

#include <QPoint>
#include <initializer_list>

class QPainter;

// The drawing state the flat painters work with: a pen and a brush that persist
// between calls (a later fill uses the brush an earlier one left), lines that leave
// out their last point, and outlines that lie inside their rectangle. All drawing
// is aliased and one pixel wide.
class TPaintCanvas {
public:
    explicit TPaintCanvas(QPainter &painter);

    QPainter &Painter() const { return FPainter; }

    void SetPen(TColor color) { FPen = ColorToRGB(color); }
    TColor Pen() const { return FPen; }
    void SetBrush(TColor color);
    // Shapes drawn after this have no interior.
    void SetHollowBrush() { FHollow = true; }
    TColor Brush() const { return FBrush; }

    // Fills `rect` with the brush colour (also when the brush is hollow).
    void FillRect(const TRect &rect) const;
    void FillRect(const TRect &rect, TColor color);
    // Outline in the pen colour on the rectangle's edge pixels, interior in the brush.
    void Rectangle(const TRect &rect) const;
    // A hollow outline in `color`; pen and brush stay.
    void FrameRect(const TRect &rect, TColor color) const;
    void Ellipse(const TRect &rect) const;
    // Corners rounded by ellipses `cornerWidth` x `cornerHeight`.
    void RoundRect(const TRect &rect, int cornerWidth, int cornerHeight) const;

    void MoveTo(int x, int y) { FCurrent = QPoint(x, y); }
    // A line from the current point to (x, y), which becomes current and is not painted.
    void LineTo(int x, int y);
    // Lines through the points; the last point is not painted.
    void Polyline(std::initializer_list<QPoint> points);

    void SetPixel(int x, int y, TColor color) const;
    // The colour at (x, y) when painting into an image; else the painter's
    // background colour.
    TColor Pixel(int x, int y) const;

private:
    QPainter &FPainter;
    TColor FPen = clBlack;
    TColor FBrush = clWhite;
    bool FHollow = false;
    QPoint FCurrent;
};
