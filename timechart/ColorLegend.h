#pragma once

#include "document/DocumentTypes.h"
#include "platform/gui/Color.h"
#include "platform/gui/Rect.h"

#include <QPoint>
#include <QString>
#include <functional>
#include <vector>

class QPainter;

// The colour legends of the two tables: one swatch per item of the table's colour
// column, in a row of cells; the last quarter of each cell is a gap.

constexpr int LegendCellWidth = 20;
// The colour of an item that has no entry in the colour list.
constexpr TColor LegendMissingColor = 0x808080;

// How many swatches a legend shows: the items of the table's colour column; the
// task table without items shows its whole colour list, the absent-day table
// always its whole colour list.
int LegendColorCount(TWhichTable table, int columnItemCount, int colorCount);
// 20 pixels per swatch, but no wider than the room from the legend's left edge to
// the end of its tool bar.
int LegendWidth(int count, int left, int toolBarWidth);

// Where the swatches of a legend of `width` x `height` lie. A cell is at least one
// pixel wide, and so is a swatch.
class TLegendLayout {
public:
    TLegendLayout(int count, int width, int height);

    int Count() const { return m_count; }
    int Cell() const { return m_cell; }
    int SwatchWidth() const { return m_swatchWidth; }
    TRect SwatchRect(int index) const;
    // The swatch under `point`; -1 in a gap, past the last swatch or outside.
    int SwatchAt(QPoint point) const;

private:
    int m_count;
    int m_width;
    int m_height;
    int m_cell;
    int m_swatchWidth;
};

// Colour `index` of the list; LegendMissingColor past its end.
TColor LegendColor(const std::vector<TColor> &colors, int index);

// The selected rows of a legend's table, as far as the legend needs them.
class ISelectedColors {
public:
    virtual ~ISelectedColors() = default;
    // Calls `visit` with the colour index of each selected row until it returns
    // true; returns whether it did.
    virtual bool AnySelectedColorIndex(const std::function<bool(int colorIndex)> &visit) const = 0;
};

// Whether a selected row of the table uses colour `colorIndex`.
bool IsColorSelected(const ISelectedColors &rows, int colorIndex);

// The selection flash on the legend's table: how far the current step has faded in,
// and the rows whose colours flash.
struct TLegendHighlight {
    int Percent = 0;
    const ISelectedColors &Rows;
};

// Fills each swatch with its colour inside a raised edge. During the selection
// flash (`highlight` given) the colours of selected rows fade towards their
// contrast colour. No swatches, nothing drawn.
void PaintColorLegend(QPainter &painter, const TLegendLayout &layout, const std::vector<TColor> &colors,
    const TLegendHighlight *highlight);

// The hint over a swatch whose colour item reads `itemText`.
QString LegendHint(TWhichTable table, const QString &itemText);
