#include "timechart/ColorLegend.h"

#include "document/program/Translation.h"
#include "platform/gui/Edges.h"
#include "timechart/ColorRoutines.h"

#include <QPainter>
#include <algorithm>

namespace {

// Swatches narrower or lower than this are plain colour: an edge would cover them.
constexpr int SmallestEdgedSwatch = 3;

} // namespace

int LegendColorCount(TWhichTable table, int columnItemCount, int colorCount)
{
    if (table == tbExclude || columnItemCount <= 0)
        return std::max(0, colorCount);
    return columnItemCount;
}

int LegendWidth(int count, int left, int toolBarWidth)
{
    return std::max(0, std::min(count * LegendCellWidth, toolBarWidth - left));
}

TLegendLayout::TLegendLayout(int count, int width, int height)
    : m_count(std::max(0, count))
    , m_width(std::max(0, width))
    , m_height(std::max(0, height))
    , m_cell(m_count > 0 ? std::max(1, m_width / m_count) : 0)
    , m_swatchWidth(std::max(1, m_cell * 3 / 4))
{ }

TRect TLegendLayout::SwatchRect(int index) const
{
    const int left = index * m_cell;
    return Rect(left, 0, left + m_swatchWidth, m_height);
}

int TLegendLayout::SwatchAt(QPoint point) const
{
    if (m_count == 0 || point.x() < 0 || point.x() >= m_width || point.y() < 0 || point.y() >= m_height)
        return -1;
    const int index = point.x() / m_cell;
    if (index >= m_count || point.x() - index * m_cell >= m_swatchWidth)
        return -1;
    return index;
}

TColor LegendColor(const std::vector<TColor> &colors, int index)
{
    return index >= 0 && std::size_t(index) < colors.size() ? colors[std::size_t(index)] : LegendMissingColor;
}

bool IsColorSelected(const ISelectedColors &rows, int colorIndex)
{
    return rows.AnySelectedColorIndex([colorIndex](int used) { return used == colorIndex; });
}

void PaintColorLegend(QPainter &painter, const TLegendLayout &layout, const std::vector<TColor> &colors,
    const TLegendHighlight *highlight)
{
    for (int i = 0; i < layout.Count(); ++i) {
        TRect swatch = layout.SwatchRect(i);
        if (swatch.IsEmpty())
            break;
        TColor color = LegendColor(colors, i);
        if (highlight && IsColorSelected(highlight->Rows, i))
            color = FadeColorRGB(color, VisibleContrast(color), highlight->Percent);
        painter.fillRect(ToQRect(swatch), ToQColor(color));
        if (swatch.Width() >= SmallestEdgedSwatch && swatch.Height() >= SmallestEdgedSwatch)
            DrawEdge(painter, swatch, BDR_RAISEDINNER, BF_RECT);
    }
}

QString LegendHint(TWhichTable table, const QString &itemText)
{
    return Translate(
        table == tbTable ? QStringLiteral("Table Tasks: %s") : QStringLiteral("Table Absent Days: %s"),
        { itemText });
}
