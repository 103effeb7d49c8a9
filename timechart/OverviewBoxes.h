#pragma once

#include "platform/gui/Color.h"
#include "platform/gui/Rect.h"

#include <QImage>
#include <QRegion>
#include <QTransform>
#include <array>
#include <cstdint>
#include <unordered_map>
#include <vector>

class QPainter;

// A bar's box as the chart draws it without texts: filled with `brush`, outlined
// with `pen` (the overview's bars, the probes below).
void DrawPlainBox(QPainter &canvas, const TRect &r, TColor brush, TColor pen);

// Writes the overview's boxes straight into its image, pixel for pixel as the
// painter draws them. The overview squeezes many rows into few pixels, where a
// painter's box costs a stroke of its outline through the scaled coordinates;
// here a box costs a few stores. What the painter makes of a box in a row is
// learnt once for that row: a probe box of each width class drawn by the painter
// itself into a scratch image, read back. A box of that row is then its probe's
// pixels, shifted to its left edge and stretched along its middle columns. Rows
// whose probes are not such a pattern, boxes over several rows, and painter
// states other than the overview's are left to the painter.
class TOverviewBoxes {
public:
    // Starts a paint into `image` through `painter` (scaled vertically at most),
    // clipped to `clip` in the image's pixels. False when the painter's state is not
    // one whose boxes can be written directly; then Draw draws nothing.
    bool Begin(QPainter &painter, QImage &image, const QRegion &clip);
    void End();
    // Writes box `r` (in the painter's coordinates) unless the painter has to draw
    // it, or `painter` is not the one the paint began with; true when written.
    bool Draw(const QPainter &painter, const TRect &r, TColor brush, TColor pen);

private:
    // What the probe left on one pixel row: per column, nothing, the pen or the fill.
    enum TInk : std::uint8_t { inNone, inPen, inBrush };
    struct TLine {
        int y;
        std::array<TInk, 1> one; // a box one pixel wide
        std::array<TInk, 2> two; // two pixels wide
        std::array<TInk, 3> wide; // wider: left edge, every middle column, right edge
    };
    struct TRowShape {
        std::array<bool, 3> usable {}; // per width class: the probe was such a pattern
        std::vector<TLine> lines;
    };

    const TRowShape &Shape(int top, int bottom);
    std::uint32_t Pixel(TColor color);
    TRowShape Probe(int top, int bottom);
    void Fill(int y, int left, int right, std::uint32_t pixel);

    const QPainter *FPainter = nullptr;
    QImage *FImage = nullptr;
    uchar *FBits = nullptr;
    qsizetype FBytesPerLine = 0;
    std::vector<QRect> FClip;
    bool FActive = false;
    // The shapes hold for one image height and one transform.
    QTransform FTransform;
    int FHeight = -1;
    std::unordered_map<std::uint64_t, TRowShape> FShapes;
    // The shapes by their top, for a look-up without hashing (the map's entries
    // stay where they are); and the last colours turned into pixels: the boxes of
    // a plan share a few.
    struct TByTop {
        int bottom = 0;
        const TRowShape *shape = nullptr;
    };
    std::vector<TByTop> FByTop;
    std::array<std::pair<TColor, std::uint32_t>, 2> FPixels { { { clNone, 0 }, { clNone, 0 } } };
    QImage FProbe;
};

// Boxes are written directly for as long as this lives.
class TOverviewBoxesPaint {
public:
    TOverviewBoxesPaint(TOverviewBoxes &boxes, QPainter &painter, QImage &image, const QRegion &clip)
        : FBoxes(boxes)
    {
        boxes.Begin(painter, image, clip);
    }
    ~TOverviewBoxesPaint() { FBoxes.End(); }
    TOverviewBoxesPaint(const TOverviewBoxesPaint &) = delete;
    TOverviewBoxesPaint &operator=(const TOverviewBoxesPaint &) = delete;

private:
    TOverviewBoxes &FBoxes;
};
