#pragma once

#include "platform/gui/Rect.h"

class QPainter;

// Three-dimensional edges of buttons, frames and separators, drawn in the system
// colours of the pinned palette. An edge has up to two one-pixel rings: the outer
// ring on the rectangle's border and the inner ring one pixel inside it. A kind with
// only one ring draws that ring on the border.
enum TEdgeKind : unsigned {
    BDR_RAISEDOUTER = 0x1,
    BDR_SUNKENOUTER = 0x2,
    BDR_RAISEDINNER = 0x4,
    BDR_SUNKENINNER = 0x8,
    BDR_OUTER = BDR_RAISEDOUTER | BDR_SUNKENOUTER,
    BDR_INNER = BDR_RAISEDINNER | BDR_SUNKENINNER,
    EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER,
    EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER,
    EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER,
    EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER,
};

// The sides an edge is drawn on.
enum TEdgeSides : unsigned {
    BF_LEFT = 0x1,
    BF_TOP = 0x2,
    BF_RIGHT = 0x4,
    BF_BOTTOM = 0x8,
    BF_TOPLEFT = BF_TOP | BF_LEFT,
    BF_BOTTOMRIGHT = BF_BOTTOM | BF_RIGHT,
    BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM,
};

// Draws `edge` on the `sides` of `rect` and returns the rectangle inside it (moved in
// by one pixel per ring on each drawn side). Left and top take the ring's light
// colour, right and bottom its dark one; the dark sides are drawn last and own the
// top-right and bottom-left corners. A side is drawn even when the rectangle is
// empty across it, so (l, t, r, t) with BF_TOP gives a horizontal line.
TRect DrawEdge(QPainter &painter, const TRect &rect, unsigned edge, unsigned sides);

// The inverting dotted focus frame: every other pixel of the rectangle's border is
// inverted, so drawing the same rectangle again removes it. Reversed corners are
// drawn as they stand (callers order them); an empty rectangle draws nothing.
void DrawFocusRect(QPainter &painter, const TRect &rect);
