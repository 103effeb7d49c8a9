#include "components/gui/GlyphRunCache.h"

#include <QPaintDevice>
#include <QPainter>
#include <QTextLayout>
#include <utility>

namespace {

// The glyphs of Text laid out on one line, moved so that its baseline lies at
// y = 0 and its start at x = 0, as drawText places them from its origin.
QList<QGlyphRun> LayOut(
    const QString &Text, const QFont &Font, QPaintDevice *Device, Qt::LayoutDirection Direction)
{
    QTextLayout layout(Text, Font, Device);
    QTextOption option;
    option.setTextDirection(Direction);
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.setCacheEnabled(false);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (!line.isValid()) {
        layout.endLayout();
        return {};
    }
    line.setPosition(QPointF(0, 0));
    layout.endLayout();
    const qreal ascent = line.ascent();
    QList<QGlyphRun> runs = layout.glyphRuns();
    for (QGlyphRun &run : runs) {
        QList<QPointF> positions = run.positions();
        for (QPointF &p : positions)
            p.ry() -= ascent;
        run.setPositions(positions);
        run.setBoundingRect(run.boundingRect().translated(0, -ascent));
    }
    return runs;
}

} // namespace

TGlyphRunCache::TFontRuns &TGlyphRunCache::RunsFor(const QFont &Font, int Dpi, Qt::LayoutDirection Direction)
{
    for (std::size_t i = 0; i < FFonts.size(); ++i) {
        TFontRuns &entry = FFonts[i];
        if (entry.Dpi != Dpi || entry.Direction != Direction
            || !(Font.isCopyOf(entry.Font) || Font == entry.Font))
            continue;
        if (i != 0)
            std::swap(FFonts[0], FFonts[i]);
        return FFonts[0];
    }
    if (FFonts.size() >= MaxFonts)
        FFonts.pop_back();
    FFonts.insert(FFonts.begin(), TFontRuns { Font, Dpi, Direction, {} });
    return FFonts[0];
}

bool TGlyphRunCache::Draw(QPainter &Painter, int X, int Baseline, const QString &Text)
{
    const QFont &font = Painter.font();
    const Qt::LayoutDirection direction = Painter.layoutDirection();
    if (direction == Qt::RightToLeft || font.underline() || font.strikeOut() || font.overline()
        || Text.size() > MaxCachedLength || Text.isEmpty())
        return false;
    QPaintDevice *device = Painter.device();
    TFontRuns &entry = RunsFor(font, device ? device->logicalDpiY() : 0, direction);
    auto found = entry.Runs.constFind(TTextWidthCache::TKey { Text });
    if (found == entry.Runs.cend()) {
        if (entry.Runs.size() >= MaxTexts)
            entry.Runs.clear();
        found = entry.Runs.insert(TTextWidthCache::TKey { Text }, LayOut(Text, font, device, direction));
    }
    const QPointF origin(X, Baseline);
    for (const QGlyphRun &run : *found)
        Painter.drawGlyphRun(origin, run);
    return true;
}

void TGlyphRunCache::Clear()
{
    FFonts.clear();
}
