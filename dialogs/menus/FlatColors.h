#pragma once

#include "platform/gui/Color.h"

#include <initializer_list>

class QImage;

// Colour arithmetic of the flat look. System colours are resolved to their values
// first; results are plain 0x00BBGGRR values.

// Lightens towards white: each channel c becomes c + (255 - c) * percent / 100,
// rounded; percent is capped at 100.
TColor NewColor(TColor color, int percent);
// Darkens: red and blue lose `amount`, green loses `amount` - 2; each channel
// clamped to 0..255.
TColor GetShadeColor(TColor color, int amount);
// The grey of level min((r + g + b) div 3 + amount, 240).
TColor GrayColor(TColor color, int amount);
// Every pixel of `bitmap` replaced by its GrayColor or its NewColor (disabled and
// dimmed icons); transparency is kept.
void GrayBitmap(QImage &bitmap, int amount);
void DimBitmap(QImage &bitmap, int percent);
// Per channel the sum over the colours of (channel div number of colours), cut to
// its low 8 bits; black for no colours.
TColor MergColor(std::initializer_list<TColor> colors);
// The menu bar's text colour on a bar of `color`: NewColor(color, 90) for a bar
// whose mean of red and blue is below 151 and whose green is at most 200, else
// `fontColor`.
TColor TopMenuFontColor(TColor color, TColor fontColor);
