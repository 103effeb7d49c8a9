#include "timechart/PositionLabels.h"

#include "document/text/CommaText.h"

#include <algorithm>

TFontMeasure::TFontMeasure(const QFont &font)
    : FFont(font)
    , FMetrics(font)
    , FPairs(font, nullptr)
{ }

int TFontMeasure::TextWidth(const QString &text) const
{
    if (const std::optional<int> summed = FPairs.Width(text))
        return *summed;
    return FMetrics.horizontalAdvance(text);
}

int TFontMeasure::FontHeight() const
{
    // A font made by pixel size is exactly that high; one made by points is
    // converted at the metrics' resolution.
    if (FFont.pixelSize() > 0)
        return FFont.pixelSize();
    return FMetrics.ascent() + FMetrics.descent() - FMetrics.leading();
}

TRect PositionRect(const TLabelMetrics &metrics, int top, int row, int width, int rowHeight)
{
    const int fh = std::abs(metrics.FontHeight);
    TRect r;
    r.Left = 0;
    r.Right = std::min(metrics.PenWidth * 8 + metrics.MaxTextWidth, width / 6);
    r.Top = (rowHeight - fh - 4) / 2 + row * rowHeight - top;
    r.Bottom = r.Top + fh + 4;
    return r;
}

QStringList RowNames(const QStringList &rows)
{
    QStringList names;
    names.reserve(rows.size());
    for (const QString &row : rows)
        names.append(TCommaText(row).Item(0));
    return names;
}

TLabelMetrics TLabelWidthCache::Metrics(
    const QFont &font, const QStringList &rows, const ITextMeasure *measure)
{
    const QString key = font.key();
    // Comparing is O(1) while the list shares its data with the one measured.
    const bool sameRows = FRows.constData() == rows.constData() && FRows.size() == rows.size();
    if (FValid && key == FFontKey && (sameRows || FRows == rows)) {
        FRows = rows;
        return FMetrics;
    }
    FFontKey = key;
    FRows = rows;
    FValid = true;
    ++FMeasureCount;
    const TFontMeasure fontMeasure(font);
    const ITextMeasure &m = measure ? *measure : fontMeasure;
    FMetrics = TLabelMetrics {};
    FMetrics.FontHeight = m.FontHeight();
    for (const QString &name : RowNames(rows))
        FMetrics.MaxTextWidth = std::max(FMetrics.MaxTextWidth, m.TextWidth(name));
    return FMetrics;
}
