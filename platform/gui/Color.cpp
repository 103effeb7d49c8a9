#include "platform/gui/Color.h"

#include <array>

namespace {

// A light, neutral desktop palette.
constexpr std::array<TColor, SystemColorCount> PinnedPalette = {
    RGB(200, 200, 200), // scroll bar
    RGB(0, 0, 0), // desktop
    RGB(153, 180, 209), // active caption
    RGB(191, 205, 219), // inactive caption
    RGB(240, 240, 240), // menu
    RGB(255, 255, 255), // window
    RGB(100, 100, 100), // window frame
    RGB(0, 0, 0), // menu text
    RGB(0, 0, 0), // window text
    RGB(0, 0, 0), // caption text
    RGB(180, 180, 180), // active border
    RGB(244, 247, 252), // inactive border
    RGB(171, 171, 171), // application work space
    RGB(0, 120, 215), // highlight
    RGB(255, 255, 255), // highlight text
    RGB(240, 240, 240), // button face
    RGB(160, 160, 160), // button shadow
    RGB(109, 109, 109), // grey text
    RGB(0, 0, 0), // button text
    RGB(0, 0, 0), // inactive caption text
    RGB(255, 255, 255), // button highlight
    RGB(105, 105, 105), // 3D dark shadow
    RGB(227, 227, 227), // 3D light
    RGB(0, 0, 0), // info text
    RGB(255, 255, 225), // info background
    RGB(0, 0, 0), // (unused index 25)
    RGB(0, 102, 204), // hot light
    RGB(185, 209, 234), // gradient active caption
    RGB(215, 228, 242), // gradient inactive caption
    RGB(51, 153, 255), // menu highlight
    RGB(240, 240, 240), // menu bar
};

} // namespace

TColor GetSysColor(int index)
{
    if (index < 0 || index >= SystemColorCount)
        return 0;
    return PinnedPalette[std::size_t(index)];
}

bool IsSystemColor(TColor color)
{
    return (color & 0xFF000000u) == SystemColorBase;
}

TColor ColorToRGB(TColor color)
{
    return IsSystemColor(color) ? GetSysColor(int(color & 0xFF)) : color;
}

QRgb ToQRgb(TColor color)
{
    const TColor c = ColorToRGB(color);
    return qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
}

QColor ToQColor(TColor color)
{
    return QColor::fromRgb(ToQRgb(color));
}

TColor FromQRgb(QRgb rgb)
{
    return RGB(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

TColor FromQColor(const QColor &color)
{
    return FromQRgb(color.rgb());
}
