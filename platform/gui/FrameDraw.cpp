#include "platform/gui/FrameDraw.h"

#include "platform/gui/Color.h"

#include <QPainter>
#include <vector>

namespace {

// One border ring: light on the left and top, dark on the right and bottom; the
// dark lines are drawn last and own the top-right and bottom-left corners.
void DrawRing(QPainter &painter, TRect &rect, TColor light, TColor dark, unsigned flags)
{
    if (rect.IsEmpty())
        return;
    const int right = rect.Right - 1;
    const int bottom = rect.Bottom - 1;
    painter.setPen(QPen(ToQColor(light), 0));
    if (flags & BF_TOP)
        painter.drawLine(rect.Left, rect.Top, right, rect.Top);
    if (flags & BF_LEFT)
        painter.drawLine(rect.Left, rect.Top, rect.Left, bottom);
    painter.setPen(QPen(ToQColor(dark), 0));
    if (flags & BF_BOTTOM)
        painter.drawLine(rect.Left, bottom, right, bottom);
    if (flags & BF_RIGHT)
        painter.drawLine(right, rect.Top, right, bottom);
    rect = Rect(rect.Left + ((flags & BF_LEFT) ? 1 : 0), rect.Top + ((flags & BF_TOP) ? 1 : 0),
        rect.Right - ((flags & BF_RIGHT) ? 1 : 0), rect.Bottom - ((flags & BF_BOTTOM) ? 1 : 0));
}

} // namespace

void DrawEdge(QPainter &painter, TRect &rect, unsigned edge, unsigned flags)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    TRect inner = rect;
    if (edge & BDR_RAISEDOUTER)
        DrawRing(painter, inner, cl3DLight, cl3DDkShadow, flags);
    else if (edge & BDR_SUNKENOUTER)
        DrawRing(painter, inner, clBtnShadow, clBtnHighlight, flags);
    if (edge & BDR_RAISEDINNER)
        DrawRing(painter, inner, clBtnHighlight, clBtnShadow, flags);
    else if (edge & BDR_SUNKENINNER)
        DrawRing(painter, inner, cl3DDkShadow, cl3DLight, flags);
    painter.restore();
    if (flags & BF_ADJUST)
        rect = inner;
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
