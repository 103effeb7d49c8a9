#include "timechart/ColorRoutines.h"

#include <algorithm>
#include <cmath>

namespace {

int ToByte(double fraction)
{
    return std::clamp(static_cast<int>(std::nearbyint(fraction * 255)), 0, 255);
}

} // namespace

THSV RGBToHSV(const TRGBFloat &rgb)
{
    const double max = std::max({ rgb.r, rgb.g, rgb.b });
    const double min = std::min({ rgb.r, rgb.g, rgb.b });
    const double delta = max - min;
    THSV hsv;
    hsv.v = max;
    hsv.s = max > 0 ? delta / max : 0;
    if (hsv.s > 0) {
        if (rgb.r == max)
            hsv.h = 60 * ((rgb.g - rgb.b) / delta);
        else if (rgb.g == max)
            hsv.h = 60 * ((rgb.b - rgb.r) / delta + 2);
        else
            hsv.h = 60 * ((rgb.r - rgb.g) / delta + 4);
        if (hsv.h < 0)
            hsv.h += 360;
    }
    return hsv;
}

TRGBFloat HSVToRGB(const THSV &hsv)
{
    const double v = hsv.v;
    if (hsv.s == 0)
        return { v, v, v };
    // 360 degrees is 0; a hue outside the circle is taken round it.
    double h = std::fmod(hsv.h, 360.0);
    if (h < 0)
        h += 360;
    const double sector = std::trunc(h / 60);
    const double f = h / 60 - sector;
    const double p = v * (1 - hsv.s);
    const double q = v * (1 - hsv.s * f);
    const double t = v * (1 - hsv.s * (1 - f));
    switch (static_cast<int>(sector)) {
    case 0:
        return { v, t, p };
    case 1:
        return { q, v, p };
    case 2:
        return { p, v, t };
    case 3:
        return { p, q, v };
    case 4:
        return { t, p, v };
    default:
        return { v, p, q };
    }
}

THSV ColorToHSV(TColor color)
{
    const TColor c = ColorToRGB(color);
    return RGBToHSV({ GetRValue(c) / 255.0, GetGValue(c) / 255.0, GetBValue(c) / 255.0 });
}

TColor HSVToColor(const THSV &hsv)
{
    const TRGBFloat rgb = HSVToRGB(hsv);
    return RGB(ToByte(rgb.r), ToByte(rgb.g), ToByte(rgb.b));
}

TColor FlashColor(TColor color, int percent)
{
    if (percent == 0)
        return ColorToRGB(color);
    THSV hsv = ColorToHSV(color);
    if (percent >= 1)
        hsv.v += (1 - hsv.v) * percent / 100;
    else
        hsv.v *= 1 + percent / 100.0;
    return HSVToColor(hsv);
}

TColor FadeColorRGB(TColor c1, TColor c2, int percent)
{
    const TColor a = ColorToRGB(c1);
    const TColor b = ColorToRGB(c2);
    const auto channel = [percent](int from, int to) {
        const double moved = std::nearbyint((from - to) * static_cast<double>(percent) / 100);
        return std::clamp(to + static_cast<int>(moved), 0, 255);
    };
    return RGB(channel(GetRValue(a), GetRValue(b)), channel(GetGValue(a), GetGValue(b)),
        channel(GetBValue(a), GetBValue(b)));
}

TColor VisibleContrast(TColor color)
{
    return ColorToHSV(color).v <= 0.8 ? clWhite : clBlack;
}
