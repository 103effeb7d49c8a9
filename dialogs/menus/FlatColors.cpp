#include "dialogs/menus/FlatColors.h"

#include <QImage>
#include <algorithm>
#include <cmath>

namespace {

int Clamp255(int value)
{
    return std::clamp(value, 0, 255);
}

int Lighten(int channel, int percent)
{
    return Clamp255(int(std::nearbyint(channel + (255 - channel) * percent / 100.0)));
}

// Applies `change` to the colour of every pixel, keeping its alpha.
template <typename Change> void ForEachPixel(QImage &bitmap, Change change)
{
    if (bitmap.isNull())
        return;
    if (bitmap.format() != QImage::Format_ARGB32)
        bitmap = bitmap.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < bitmap.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(bitmap.scanLine(y));
        for (int x = 0; x < bitmap.width(); ++x) {
            const TColor c = change(FromQRgb(line[x]));
            line[x] = qRgba(GetRValue(c), GetGValue(c), GetBValue(c), qAlpha(line[x]));
        }
    }
}

} // namespace

TColor NewColor(TColor color, int percent)
{
    const TColor c = ColorToRGB(color);
    const int p = std::min(percent, 100);
    return RGB(Lighten(GetRValue(c), p), Lighten(GetGValue(c), p), Lighten(GetBValue(c), p));
}

TColor GetShadeColor(TColor color, int amount)
{
    const TColor c = ColorToRGB(color);
    return RGB(Clamp255(GetRValue(c) - amount), Clamp255(GetGValue(c) - amount + 2),
        Clamp255(GetBValue(c) - amount));
}

TColor GrayColor(TColor color, int amount)
{
    const TColor c = ColorToRGB(color);
    const int level = Clamp255(std::min((GetRValue(c) + GetGValue(c) + GetBValue(c)) / 3 + amount, 240));
    return RGB(level, level, level);
}

void GrayBitmap(QImage &bitmap, int amount)
{
    ForEachPixel(bitmap, [amount](TColor c) { return GrayColor(c, amount); });
}

void DimBitmap(QImage &bitmap, int percent)
{
    ForEachPixel(bitmap, [percent](TColor c) { return NewColor(c, percent); });
}

TColor MergColor(std::initializer_list<TColor> colors)
{
    const int n = int(colors.size());
    if (n == 0)
        return clBlack;
    int r = 0, g = 0, b = 0;
    for (const TColor color : colors) {
        const TColor c = ColorToRGB(color);
        r += GetRValue(c) / n;
        g += GetGValue(c) / n;
        b += GetBValue(c) / n;
    }
    return RGB(r & 0xFF, g & 0xFF, b & 0xFF);
}

TColor TopMenuFontColor(TColor color, TColor fontColor)
{
    const TColor c = ColorToRGB(color);
    if ((GetRValue(c) + GetBValue(c)) / 2 < 151 && GetGValue(c) <= 200)
        return NewColor(c, 90);
    return fontColor;
}
