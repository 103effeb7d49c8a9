#pragma once

#include "components/gui/TextWidthCache.h"

#include <QFont>
#include <QGlyphRun>
#include <QHash>
#include <QList>
#include <QString>
#include <vector>

class QPainter;

// Laid-out lines of text, kept by text for the few fonts a table paints with
// (normal, bold, italic rows), so that repainting an unchanged cell draws its
// glyphs without shaping the text again. The number of texts kept per font is
// bounded; past it that font starts afresh, and a font beyond the few kept
// pushes out the one used longest ago.
class TGlyphRunCache {
public:
    // Draws Text as QPainter::drawText(X, Baseline, Text) would.
    // False, having drawn nothing, for what the cache does not lay out (a right
    // to left painter, a decorated font, text longer than a cell usually holds).
    bool Draw(QPainter &Painter, int X, int Baseline, const QString &Text);
    void Clear();

private:
    struct TFontRuns {
        QFont Font;
        int Dpi = 0;
        Qt::LayoutDirection Direction = Qt::LeftToRight;
        QHash<TTextWidthCache::TKey, QList<QGlyphRun>> Runs;
    };
    static constexpr qsizetype MaxTexts = 1 << 12;
    // Longer texts are rare in cells and would make the kept glyphs large.
    static constexpr qsizetype MaxCachedLength = 256;
    static constexpr std::size_t MaxFonts = 4;

    TFontRuns &RunsFor(const QFont &Font, int Dpi, Qt::LayoutDirection Direction);

    // Most recently used first. At most MaxFonts x MaxTexts texts (a few MB),
    // several screens of cells each.
    std::vector<TFontRuns> FFonts;
};
