#include "platform/gui/Edges.h"

#include "platform/gui/Color.h"

#include <QPainter>
#include <vector>

namespace {

struct TRing {
    TColor TopLeft;
    TColor BottomRight;
};

void FillSpan(QPainter &painter, int left, int top, int right, int bottom, TColor color)
{
    if (right > left && bottom > top)
        painter.fillRect(ToQRect(Rect(left, top, right, bottom)), ToQColor(color));
}

// One ring of single pixels along the chosen sides of r; returns r moved in.
TRect DrawRing(QPainter &painter, TRect r, const TRing &ring, unsigned sides)
{
    const int bottom = std::max(r.Bottom, r.Top + 1);
    const int right = std::max(r.Right, r.Left + 1);
    if (sides & BF_TOP)
        FillSpan(painter, r.Left, r.Top, right, r.Top + 1, ring.TopLeft);
    if (sides & BF_LEFT)
        FillSpan(painter, r.Left, r.Top, r.Left + 1, bottom, ring.TopLeft);
    if (sides & BF_RIGHT)
        FillSpan(painter, right - 1, r.Top, right, bottom, ring.BottomRight);
    if (sides & BF_BOTTOM)
        FillSpan(painter, r.Left, bottom - 1, right, bottom, ring.BottomRight);
    return Rect(r.Left + ((sides & BF_LEFT) ? 1 : 0), r.Top + ((sides & BF_TOP) ? 1 : 0),
        r.Right - ((sides & BF_RIGHT) ? 1 : 0), r.Bottom - ((sides & BF_BOTTOM) ? 1 : 0));
}

} // namespace

TRect DrawEdge(QPainter &painter, const TRect &rect, unsigned edge, unsigned sides)
{
    TRect r = rect;
    if (edge & BDR_RAISEDOUTER)
        r = DrawRing(painter, r, { cl3DLight, cl3DDkShadow }, sides);
    else if (edge & BDR_SUNKENOUTER)
        r = DrawRing(painter, r, { clBtnShadow, clBtnHighlight }, sides);
    if (edge & BDR_RAISEDINNER)
        r = DrawRing(painter, r, { clBtnHighlight, clBtnShadow }, sides);
    else if (edge & BDR_SUNKENINNER)
        r = DrawRing(painter, r, { cl3DDkShadow, cl3DLight }, sides);
    return r;
}

void DrawFocusRect(QPainter &painter, const TRect &rect)
{
    if (rect.IsEmpty())
        return;
    // Each border pixel once (corners included), on the even checkerboard squares,
    // so the pattern lines up across neighbouring frames.
    std::vector<QPoint> points;
    const auto add = [&points](int x, int y) {
        if (((x + y) & 1) == 0)
            points.emplace_back(x, y);
    };
    const int right = rect.Right - 1;
    const int bottom = rect.Bottom - 1;
    for (int x = rect.Left; x <= right; ++x) {
        add(x, rect.Top);
        if (bottom != rect.Top)
            add(x, bottom);
    }
    for (int y = rect.Top + 1; y < bottom; ++y) {
        add(rect.Left, y);
        if (right != rect.Left)
            add(right, y);
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.setPen(QPen(Qt::white, 0));
    painter.drawPoints(points.data(), static_cast<int>(points.size()));
    painter.restore();
}
