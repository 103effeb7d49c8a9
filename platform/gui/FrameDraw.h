#pragma once

#include "platform/gui/Rect.h"

class QPainter;

// Bevelled edges of 3-D controls. Each border is one pixel wide; outer and inner
// borders can be combined (raised outer + raised inner = a raised button face).
enum TEdgeBorder : unsigned {
    BDR_RAISEDOUTER = 0x1,
    BDR_SUNKENOUTER = 0x2,
    BDR_RAISEDINNER = 0x4,
    BDR_SUNKENINNER = 0x8,
    EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER,
    EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER,
};
enum TEdgeFlags : unsigned {
    BF_LEFT = 0x1,
    BF_TOP = 0x2,
    BF_RIGHT = 0x4,
    BF_BOTTOM = 0x8,
    BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM,
    BF_ADJUST = 0x2000, // shrink `rect` to the area inside the drawn borders
};

// Draws the borders of `edge` on the sides in `flags` inside `rect`, in the
// system's 3-D colours: the lit sides (left, top) of a raised border are light and
// the others dark; sunken borders the other way round.
void DrawEdge(QPainter &painter, TRect &rect, unsigned edge, unsigned flags);

// The inverting dotted focus frame: every other pixel of the rectangle's border is
// inverted, so drawing the same rectangle again removes it. Reversed corners are
// drawn as they stand (callers order them); an empty rectangle draws nothing.
void DrawFocusRect(QPainter &painter, const TRect &rect);
