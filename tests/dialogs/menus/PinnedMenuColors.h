// The flat look's derived colours from the pinned palette (button face 240,
// button shadow 160, highlight (0, 120, 215)), worked out in FlatColorsTest.
#pragma once

#include "platform/gui/Color.h"

namespace menutest {

inline constexpr TColor Background = RGB(253, 253, 253); // NewColor(button face, 86)
inline constexpr TColor IconBack = RGB(242, 242, 242); // NewColor(button face, 16)
inline constexpr TColor Select = RGB(173, 212, 242); // NewColor(highlight, 68)
inline constexpr TColor Highlight = RGB(0, 120, 215);
inline constexpr TColor CheckedArea = RGB(204, 228, 247); // NewColor(highlight, 80)
inline constexpr TColor Disabled = RGB(170, 170, 170); // NewColor(button shadow, 10)
inline constexpr TColor Separator = RGB(184, 184, 184); // NewColor(button shadow, 25)
inline constexpr TColor BarColor = RGB(240, 240, 240); // button face
inline constexpr TColor MenuBorder = RGB(150, 152, 150); // GetShadeColor(button face, 90)
inline constexpr TColor MenuShadow = RGB(164, 166, 164); // GetShadeColor(button face, 76)

} // namespace menutest
