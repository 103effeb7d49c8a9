#pragma once

#include "platform/gui/Rect.h"

#include <QString>
#include <functional>

class QPainter;
class TGlyphRunCache;

// Text fitting of the tree and its header: shortening with an ellipsis, wrapping
// onto lines, measuring, and the tree's own multi-line text output. Texts are cut
// between UTF-16 units, never inside a surrogate pair.

// The width of a text as it would be drawn.
using TTextWidth = std::function<int(const QString &)>;

// S cut so that it fits Width with "..." behind it; EllipsisWidth 0 measures
// "..." first. Empty when S is empty or nothing fits beside the ellipsis.
QString ShortenString(const TTextWidth &Measure, const QString &S, int Width, int EllipsisWidth = 0);
QString ShortenString(QPainter &DC, const QString &S, int Width, int EllipsisWidth = 0);

// S broken at spaces into lines (joined by "\n") no wider than Bounds; a word
// wider than a line is split. Under RTL each line is filled from its end.
QString WrapString(const TTextWidth &Measure, const QString &S, const TRect &Bounds, bool RTL);
// Measures each line with GetStringDrawRect and DrawFormat.
QString WrapString(QPainter &DC, const QString &S, const TRect &Bounds, bool RTL, unsigned DrawFormat);

// Measures S laid out with DrawFormat from the top-left corner of Bounds: Bounds'
// right and bottom edges receive the text's extent.
void GetStringDrawRect(QPainter &DC, const QString &S, TRect &Bounds, unsigned DrawFormat);

// One line of text as DrawTextEx draws it with DT_SINGLELINE (and DT_NOPREFIX,
// no ellipsis, no tabs): placed by DT_CENTER, DT_RIGHT and DT_VCENTER in R,
// clipped to R when it does not fit, read right to left with DT_RTLREADING. Width is the line's
// width and Ascent, Height the font's, known to the caller, so that nothing is
// measured again. Returns false (drawing nothing) for any other format. With Runs
// a left to right line is drawn from the glyphs laid out for it before.
bool DrawSingleLine(QPainter &DC, const QString &Text, const TRect &R, unsigned Format, int Width, int Ascent,
    int Height, TGlyphRunCache *Runs = nullptr);

// The tree's own text output: one line per CR, LF, CR LF or U+2028 (DT_SINGLELINE:
// one line), aligned left, centred on (Left + Right) div 2 or right (DT_CENTER,
// DT_RIGHT), starting at (Top + Bottom - line height) div 2 with DT_VCENTER; lines
// stop at R's bottom; clipped to R unless DT_NOCLIP. With DT_CALCRECT nothing is
// drawn: R.Bottom becomes the bottom of the last line and, with AdjustRight,
// R.Right the right edge of the widest line.
void DrawTextW(QPainter &DC, const QString &Text, TRect &R, unsigned Format, bool AdjustRight);
