#pragma once

#include "platform/gui/Rect.h"

#include <QFont>
#include <QPainter>
#include <QString>

class QImage;

// Which surface a chart painter draws on. Bars are cached and blended only on the
// window's charts; the overview's caption has a height of its own; everything else
// (printing, export, the editor's sample) is drawn directly.
enum class TCanvasKind { TimeChart, SmallTimeChart, TimeChartCaption, SmallTimeChartCaption, Other };

// A painter with what the chart painters need to know about its target: its kind,
// its pixels when it is an image (blends read them), the part of it that a paint
// can reach, and its resolution.
class TChartCanvas {
public:
    TChartCanvas(QPainter &painter, TCanvasKind kind);

    QPainter &Painter() const { return FPainter; }
    TCanvasKind Kind() const { return FKind; }
    // The window's chart or overview, whose bars are cached.
    bool IsWindow() const { return FKind == TCanvasKind::TimeChart || FKind == TCanvasKind::SmallTimeChart; }
    // The target's pixels when it is an image; null otherwise.
    QImage *Pixels() const { return FPixels; }
    // The target's rectangle within the painter's clip.
    const TRect &VisibleBounds() const { return FVisible; }
    bool RectVisible(const TRect &r) const;
    // Pixels per inch of the target.
    int Ppi() const { return FPpi; }

private:
    QPainter &FPainter;
    TCanvasKind FKind;
    QImage *FPixels = nullptr;
    TRect FVisible;
    int FPpi = 96;
};

// Turns sub-pixel smoothing off, so printed and exported text has no colour fringes.
void DisableFontSmoothing(QFont &font);

// The chart font for a device, made again only when what it is made of changes
// (making a font looks up its family).
class TChartFont {
public:
    // `family` at `points` for a device of `ppi`; without sub-pixel smoothing
    // unless for the screen.
    const QFont &Font(const QString &family, int points, int ppi, bool screen);

private:
    QFont FFont;
    QString FFamily;
    int FPoints = -1;
    int FPpi = 0;
    bool FScreen = true;
};

// The chart's "mask" pen mode: what is drawn is ANDed with what lies beneath, so a
// marker tints it. Engines without raster operations (recorded pages, PDF) multiply
// where they blend, else draw at half opacity. Restores copying on destruction.
class TMaskMode {
public:
    explicit TMaskMode(QPainter &painter);
    ~TMaskMode();
    TMaskMode(const TMaskMode &) = delete;
    TMaskMode &operator=(const TMaskMode &) = delete;

private:
    QPainter &FPainter;
    QPainter::CompositionMode FMode;
    qreal FOpacity;
};
