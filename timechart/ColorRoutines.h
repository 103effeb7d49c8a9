#pragma once

#include "platform/gui/Color.h"

// Colour maths shared by the chart painters, in doubles on 0x00BBGGRR values.

// Hue in degrees (0 to below 360), saturation and value 0..1. `a` is carried
// along for callers and not used by the conversions.
struct THSV {
    double h = 0;
    double s = 0;
    double v = 0;
    double a = 0;
};

// Red, green and blue as fractions 0..1.
struct TRGBFloat {
    double r = 0;
    double g = 0;
    double b = 0;
};

// The hexcone model: hue 0 for greys, 0 saturation for black.
THSV RGBToHSV(const TRGBFloat &rgb);
TRGBFloat HSVToRGB(const THSV &hsv);
// System colours are resolved first; each byte counts n / 255.
THSV ColorToHSV(TColor color);
// Each fraction times 255, rounded and held to 0..255.
TColor HSVToColor(const THSV &hsv);

// Brightens (percent > 0: the value moves that far towards 1) or darkens
// (percent < 0: the value shrinks by that share); 0 keeps the colour.
TColor FlashColor(TColor color, int percent);
// Per channel c2 + (c1 - c2) * percent / 100, rounded: 100 gives c1, 0 gives c2.
TColor FadeColorRGB(TColor c1, TColor c2, int percent);
// White on colours of value up to 0.8, black on brighter ones.
TColor VisibleContrast(TColor color);
