#pragma once

#include "components/gui/PairAdvances.h"
#include "platform/gui/Rect.h"

#include <QFont>
#include <QFontMetrics>
#include <QString>
#include <QStringList>

// The position labels at the chart's left edge: one box per row, as wide as the
// widest name (up to a sixth of the chart) and a little higher than the font.

// How text is measured: the label geometry needs widths and the font height only.
class ITextMeasure {
public:
    virtual ~ITextMeasure() = default;
    virtual int TextWidth(const QString &text) const = 0;
    // The font's character height in pixels (its size without leading).
    virtual int FontHeight() const = 0;
};

// Measures with a Qt font. A long list of plain Latin names (thousands of
// positions) is summed from the font's character pairs after its first texts.
class TFontMeasure final : public ITextMeasure {
public:
    explicit TFontMeasure(const QFont &font);
    int TextWidth(const QString &text) const override;
    int FontHeight() const override;

private:
    QFont FFont;
    QFontMetrics FMetrics;
    mutable TPairAdvances FPairs;
};

// What the label boxes are made of.
struct TLabelMetrics {
    int MaxTextWidth = 0; // of all names of the row list
    int FontHeight = 0;
    int PenWidth = 1;
};

// The label box of chart row `row` in a chart of `width` scrolled by `top`.
TRect PositionRect(const TLabelMetrics &metrics, int top, int row, int width, int rowHeight);

// The names (field 0) of a row list.
QStringList RowNames(const QStringList &rows);

// The widest name of a row list, measured once per font and row list: scrolling
// and repainting reuse it.
class TLabelWidthCache {
public:
    // The metrics for `rows` shown in `font`, measured by `measure` (which must use
    // that font) or else by the font itself.
    TLabelMetrics Metrics(const QFont &font, const QStringList &rows, const ITextMeasure *measure = nullptr);
    // How often names were measured (each time the font or row list changed).
    int MeasureCount() const { return FMeasureCount; }

private:
    QString FFontKey;
    QStringList FRows;
    bool FValid = false;
    TLabelMetrics FMetrics;
    int FMeasureCount = 0;
};
