#pragma once

#include "platform/gui/Rect.h"

#include <QString>

class QFontMetrics;
class QPainter;

// Text layout flags of the program's text output routine. The values are the ones
// stored in settings and passed between routines, so they keep their numbers.
enum TTextFormat : unsigned {
    DT_TOP = 0x0,
    DT_LEFT = 0x0,
    DT_CENTER = 0x1,
    DT_RIGHT = 0x2,
    DT_VCENTER = 0x4,
    DT_BOTTOM = 0x8,
    DT_WORDBREAK = 0x10,
    DT_SINGLELINE = 0x20,
    DT_EXPANDTABS = 0x40,
    DT_TABSTOP = 0x80,
    DT_NOCLIP = 0x100,
    DT_EXTERNALLEADING = 0x200,
    DT_CALCRECT = 0x400,
    DT_NOPREFIX = 0x800,
    DT_INTERNAL = 0x1000,
    DT_EDITCONTROL = 0x2000,
    DT_PATH_ELLIPSIS = 0x4000,
    DT_END_ELLIPSIS = 0x8000,
    DT_MODIFYSTRING = 0x10000,
    DT_RTLREADING = 0x20000,
    DT_WORD_ELLIPSIS = 0x40000,
    DT_HIDEPREFIX = 0x100000,
    DT_PREFIXONLY = 0x200000,
};

// No line of more characters than this shows whole on any screen. A longer one
// (a cell of megabytes) is cut there before it is measured or laid out, which
// otherwise costs what its length costs at every paint.
constexpr qsizetype MaxShownLineLength = 16384;
// `text` cut to MaxShownLineLength units, never inside a surrogate pair.
QString ShownLinePart(const QString &text);

// Lays out `text` in `rect` with the painter's font, pen and background mode, and
// draws it unless DT_CALCRECT is given. Lines break at CR, LF and CR LF (not with
// DT_SINGLELINE), and at word boundaries with DT_WORDBREAK (inside a word too long
// for the width only with DT_EDITCONTROL). "&x" underlines x unless DT_NOPREFIX
// ("&&" is one "&"; DT_HIDEPREFIX drops the underline). Tabs expand to stops every
// 8 average character widths with DT_EXPANDTABS (DT_TABSTOP: the high byte of the
// format gives the count). DT_VCENTER and DT_BOTTOM place a single line. Ellipses
// shorten lines that do not fit. Output is clipped to `rect` unless DT_NOCLIP.
// With DT_CALCRECT, `rect` receives the text's extent (right and bottom moved).
// Returns the height of the text, or, for DT_VCENTER and DT_BOTTOM, the offset from
// the top of `rect` to the bottom of the text.
int DrawTextEx(QPainter &painter, const QString &text, TRect &rect, unsigned format);
// The same without changing the caller's rectangle.
int DrawTextEx(QPainter &painter, const QString &text, const TRect &rect, unsigned format);

// `text` as DT_END_ELLIPSIS shows it in `width` pixels: unchanged when it fits, else
// cut at the end (never inside a surrogate pair) with "..." after it.
QString EndEllipsis(const QString &text, const QFontMetrics &metrics, int width);
