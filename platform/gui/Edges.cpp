#include "platform/gui/Edges.h"

#include "platform/gui/Color.h"

#include <QPainter>

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
