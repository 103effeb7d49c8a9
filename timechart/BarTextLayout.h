#pragma once

#include "platform/gui/Rect.h"
#include "platform/gui/TextDraw.h"

#include <QString>
#include <functional>
#include <vector>

// Where the left, centre and right texts of one line of a bar go. Pure layout: the
// painter measures with its font, tests with a fake measure.

// One text to draw single-line in `Rect` (clipped to it) with `Align` (DT_LEFT,
// DT_CENTER or DT_RIGHT).
struct TBarTextDraw {
    TRect Rect;
    unsigned Align = DT_LEFT;
    QString Text;
    bool operator==(const TBarTextDraw &) const = default;
};

using TTextWidth = std::function<int(const QString &text)>;

// The texts of one line in `r`. Everything that fits keeps its place (left text at
// the left, right text at the right, the centre text centred between them); a line
// too long for the bar keeps the shorter of a left and a right text whole while it
// fits into half of the bar, and a centre text wider than the bar keeps its start.
// With `drawFullText` the line may run past the bar's end. Empty texts are left out.
std::vector<TBarTextDraw> LayoutBarTextLine(TRect r, const QString &left, const QString &centre,
    const QString &right, bool drawFullText, const TTextWidth &textWidth);
