#pragma once

#include <QImage>
#include <QString>

// The tree's built-in image strips, painted here rather than shipped as files:
// each is one row of 16 x 16 images on the mask colour (its top-left pixel).
// "GT_CHECK_LIGHT", "GT_CHECK_DARK", "GT_TICK_LIGHT", "GT_TICK_DARK", "GT_FLAT"
// and "GT_XP" hold 25 check images: 0 empty; 1-8 radio buttons, 9-16 check
// boxes, 17-20 mixed check boxes, 21-24 buttons, by four (normal, hot, pressed,
// disabled), the radio buttons and check boxes unchecked then checked.
// "GT_UTILITIES" holds the header's drop marks (0 before, 1 after) and sort
// glyphs (2 descending, 3 ascending; 4 and 5 the same in the themed look).
// "GT_XPBUTTONMINUS" and "GT_XPBUTTONPLUS" are the shaded expand buttons, one
// 9 x 9 image each.
// All but "GT_XP" are painted in white, silver 0xC0C0C0 and grey 0x808080 where
// the window, button-face and button-shadow colours belong.
inline constexpr int StripImageSize = 16;
inline constexpr int CheckImageCount = 25;
inline constexpr int UtilityImageCount = 6;
inline constexpr int ButtonImageSize = 9;

// The strip of that name, or a null image for an unknown name.
QImage LoadImageStrip(const QString &Name);
