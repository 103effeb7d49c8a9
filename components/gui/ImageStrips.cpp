#include "components/gui/ImageStrips.h"

#include "platform/gui/Color.h"

#include <QPainter>
#include <QPolygon>
#include <array>

namespace {

constexpr TColor MaskColor = clFuchsia;
constexpr int Size = StripImageSize;

enum TLookState { lsNormal, lsHot, lsPressed, lsDisabled };
enum TFrame { frSingle, frSunken, frFlat, frXP };

// How one check set looks; colours are 0x00BBGGRR.
struct TCheckLook {
    TFrame Frame;
    bool Tick; // a tick rather than a check mark
    TColor Edge; // the frame
    TColor HotEdge;
    TColor Fill;
    TColor PressedFill;
    TColor Mark;
    TColor DisabledMark;
};

constexpr TColor White = clWhite, Silver = clSilver, Grey = clGray, Black = clBlack;

constexpr TCheckLook LightLook { frSingle, false, Grey, Black, White, Silver, Black, Grey };
constexpr TCheckLook DarkLook { frSunken, false, Grey, Black, White, Silver, Black, Grey };
constexpr TCheckLook FlatLook { frFlat, false, Grey, Black, White, Silver, Black, Grey };
constexpr TCheckLook XPLook { frXP, false, RGB(28, 81, 128), RGB(248, 179, 48), RGB(244, 244, 240),
    RGB(176, 176, 167), RGB(33, 161, 33), RGB(202, 200, 187) };

TCheckLook WithTick(TCheckLook look)
{
    look.Tick = true;
    return look;
}

class TCellPainter {
public:
    TCellPainter(QPainter &p, int index, const TCheckLook &look, TLookState state)
        : P(p)
        , X(index * Size)
        , Look(look)
        , State(state)
    { }

    void Pixel(int x, int y, TColor c) { P.fillRect(X + x, y, 1, 1, ToQColor(c)); }
    void Box(int l, int t, int r, int b, TColor c) { P.fillRect(X + l, t, r - l, b - t, ToQColor(c)); }
    void HLine(int l, int r, int y, TColor c) { Box(l, y, r, y + 1, c); }
    void VLine(int x, int t, int b, TColor c) { Box(x, t, x + 1, b, c); }
    // Two-coloured frame of the rectangle l..r-1, t..b-1.
    void Frame(int l, int t, int r, int b, TColor topLeft, TColor bottomRight)
    {
        HLine(l, r, t, topLeft);
        VLine(l, t, b, topLeft);
        HLine(l, r, b - 1, bottomRight);
        VLine(r - 1, t + 1, b, bottomRight);
    }

    TColor Fill() const { return State == lsPressed || State == lsDisabled ? Look.PressedFill : Look.Fill; }
    TColor Edge() const
    {
        if (State == lsDisabled && Look.Frame == frXP)
            return Look.DisabledMark;
        return State == lsHot && Look.Frame != frXP ? Look.HotEdge : Look.Edge;
    }
    TColor Mark() const { return State == lsDisabled ? Look.DisabledMark : Look.Mark; }

    void CheckBox()
    {
        Box(3, 3, 14, 14, Fill());
        if (Look.Frame == frSunken) {
            Frame(2, 2, 15, 15, Grey, White);
            Frame(3, 3, 14, 14, State == lsHot ? Black : RGB(64, 64, 64), Silver);
        } else {
            Frame(2, 2, 15, 15, Edge(), Edge());
        }
        if (Look.Frame == frXP && State == lsHot)
            Frame(3, 3, 14, 14, Look.HotEdge, Look.HotEdge);
    }

    void CheckMark()
    {
        if (Look.Tick) {
            for (int d = 0; d < 2; ++d)
                Polyline({ { 4, 8 + d }, { 7, 11 + d }, { 13, 5 + d } });
        } else {
            for (int d = 0; d < 3; ++d)
                Polyline({ { 5, 7 + d }, { 7, 9 + d }, { 11, 5 + d } });
        }
    }

    void MixedMark() { Box(5, 5, 12, 12, State == lsDisabled ? Look.DisabledMark : Grey); }

    void RadioButton(bool checked)
    {
        P.setPen(Qt::NoPen);
        P.setBrush(ToQColor(Fill()));
        P.drawEllipse(X + 3, 3, 10, 10);
        P.setBrush(Qt::NoBrush);
        if (Look.Frame == frSunken) {
            Arc(Grey, 45 * 16, 180 * 16);
            Arc(White, 225 * 16, 180 * 16);
        } else {
            Arc(Edge(), 0, 360 * 16);
        }
        if (Look.Frame == frXP && State == lsHot) {
            P.setPen(ToQColor(Look.HotEdge));
            P.drawEllipse(X + 3, 3, 10, 10);
        }
        if (checked) {
            P.setPen(Qt::NoPen);
            P.setBrush(ToQColor(Mark()));
            P.drawEllipse(X + 6, 6, 4, 4);
        }
    }

    void PushButton()
    {
        const bool pressed = State == lsPressed;
        Box(2, 2, 14, 14, Look.Frame == frXP ? (pressed ? Look.PressedFill : Look.Fill) : Silver);
        switch (Look.Frame) {
        case frSunken:
        case frSingle:
            if (pressed) {
                Frame(1, 1, 15, 15, Black, White);
                Frame(2, 2, 14, 14, Grey, Silver);
            } else {
                Frame(1, 1, 15, 15, White, Black);
                Frame(2, 2, 14, 14, State == lsHot ? White : Silver, Grey);
            }
            break;
        case frFlat:
            Frame(1, 1, 15, 15, Edge(), Edge());
            if (pressed)
                Box(2, 2, 14, 14, Grey);
            break;
        case frXP:
            Frame(1, 1, 15, 15, Edge(), Edge());
            if (State == lsHot)
                Frame(2, 2, 14, 14, Look.HotEdge, Look.HotEdge);
            // Rounded corners.
            for (const auto &[x, y] :
                std::array<std::pair<int, int>, 4> { { { 1, 1 }, { 14, 1 }, { 1, 14 }, { 14, 14 } } })
                Pixel(x, y, MaskColor);
            break;
        }
        if (State == lsDisabled)
            Box(6, 7, 10, 9, Look.Frame == frXP ? Look.DisabledMark : Grey);
    }

private:
    void Polyline(std::initializer_list<QPoint> points)
    {
        QPolygon polygon;
        for (const QPoint &p : points)
            polygon << QPoint(X + p.x(), p.y());
        P.setPen(ToQColor(Mark()));
        P.drawPolyline(polygon);
    }
    void Arc(TColor color, int start, int span)
    {
        P.setPen(ToQColor(color));
        P.drawArc(X + 2, 2, 12, 12, start, span);
    }

    QPainter &P;
    int X;
    const TCheckLook &Look;
    TLookState State;
};

QImage NewStrip(int count)
{
    QImage strip(count * Size, Size, QImage::Format_ARGB32);
    strip.fill(ToQColor(MaskColor));
    return strip;
}

QImage CheckStrip(const TCheckLook &look)
{
    QImage strip = NewStrip(CheckImageCount);
    QPainter p(&strip);
    for (int index = 1; index < CheckImageCount; ++index) {
        const auto state = TLookState((index - 1) % 4);
        TCellPainter cell(p, index, look, state);
        if (index <= 8) {
            cell.RadioButton(index > 4);
        } else if (index <= 20) {
            cell.CheckBox();
            if (index > 16)
                cell.MixedMark();
            else if (index > 12)
                cell.CheckMark();
        } else {
            cell.PushButton();
        }
    }
    return strip;
}

QImage UtilityStrip()
{
    QImage strip = NewStrip(UtilityImageCount);
    QPainter p(&strip);
    TCellPainter cell0(p, 0, LightLook, lsNormal);
    TCellPainter cell1(p, 1, LightLook, lsNormal);
    // Drop marks: a bar with arrow heads pointing at it from the cell's side.
    for (TCellPainter *cell : { &cell0, &cell1 }) {
        const bool before = cell == &cell0;
        const int bar = before ? 1 : 13;
        cell->Box(bar, 1, bar + 2, 15, Black);
        for (int i = 0; i < 4; ++i) {
            const int x = before ? bar + 2 + i : bar - 1 - i;
            cell->VLine(x, 4 + i, 5 + i, Black);
            cell->VLine(x, 11 - i, 12 - i, Black);
        }
    }
    // Sort glyphs: filled triangles, and chevrons for the themed look.
    for (int index = 2; index < UtilityImageCount; ++index) {
        TCellPainter cell(p, index, LightLook, lsNormal);
        const bool ascending = index % 2 == 1;
        const bool themed = index >= 4;
        for (int row = 0; row < 4; ++row) {
            const int y = ascending ? 6 + row : 9 - row;
            if (themed) {
                cell.Pixel(7 - row, y, Grey);
                cell.Pixel(8 + row, y, Grey);
            } else {
                cell.HLine(7 - row, 9 + row, y, Grey);
            }
        }
    }
    return strip;
}

// The shaded expand button: a blue-grey frame with cut corners around a
// white to grey gradient, and the minus (or plus) stroke.
QImage ShadedButton(bool Expanded)
{
    QImage image(ButtonImageSize, ButtonImageSize, QImage::Format_ARGB32);
    image.fill(ToQColor(MaskColor));
    const int last = ButtonImageSize - 1;
    const QRgb frame = ToQRgb(RGB(120, 152, 181));
    for (int y = 0; y <= last; ++y) {
        for (int x = 0; x <= last; ++x) {
            const bool corner = (x == 0 || x == last) && (y == 0 || y == last);
            if (corner)
                continue;
            const bool edge = x == 0 || x == last || y == 0 || y == last;
            const int shade = 255 - 45 * y / last;
            image.setPixel(x, y, edge ? frame : qRgb(shade, shade, shade - 8));
        }
    }
    const int middle = ButtonImageSize / 2;
    for (int i = 2; i <= last - 2; ++i) {
        image.setPixel(i, middle, qRgb(0, 0, 0));
        if (!Expanded)
            image.setPixel(middle, i, qRgb(0, 0, 0));
    }
    return image;
}

} // namespace

QImage LoadImageStrip(const QString &Name)
{
    if (Name == u"GT_XPBUTTONMINUS" || Name == u"GT_XPBUTTONPLUS")
        return ShadedButton(Name == u"GT_XPBUTTONMINUS");
    if (Name == u"GT_CHECK_LIGHT")
        return CheckStrip(LightLook);
    if (Name == u"GT_CHECK_DARK")
        return CheckStrip(DarkLook);
    if (Name == u"GT_TICK_LIGHT")
        return CheckStrip(WithTick(LightLook));
    if (Name == u"GT_TICK_DARK")
        return CheckStrip(WithTick(DarkLook));
    if (Name == u"GT_FLAT")
        return CheckStrip(FlatLook);
    if (Name == u"GT_XP")
        return CheckStrip(XPLook);
    if (Name == u"GT_UTILITIES")
        return UtilityStrip();
    return {};
}
