#include "timechart/ChartCanvas.h"

#include "platform/gui/Fonts.h"

#include <QFont>
#include <QImage>
#include <QPaintEngine>

TChartCanvas::TChartCanvas(QPainter &painter, TCanvasKind kind)
    : FPainter(painter)
    , FKind(kind)
{
    QPaintDevice *device = painter.device();
    if (!device)
        return;
    if (device->devType() == QInternal::Image)
        FPixels = static_cast<QImage *>(device);
    FPpi = DevicePpi(*device);
    // The device's pixels in the painter's coordinates: a band of a larger picture is
    // painted translated, an image smaller than its chart scaled.
    TRect visible = FromQRect(painter.combinedTransform()
                                  .inverted()
                                  .mapRect(QRectF(0, 0, device->width(), device->height()))
                                  .toAlignedRect());
    if (device->devType() == QInternal::Picture) // a recording has no size of its own
        visible = Rect(-(1 << 24), -(1 << 24), 1 << 24, 1 << 24);
    if (painter.hasClipping())
        visible = IntersectRect(visible, FromQRect(painter.clipBoundingRect().toAlignedRect()));
    FVisible = visible;
}

bool TChartCanvas::RectVisible(const TRect &r) const
{
    return !r.IsEmpty() && !IntersectRect(r, FVisible).IsEmpty();
}

void DisableFontSmoothing(QFont &font)
{
    font.setStyleStrategy(QFont::StyleStrategy(font.styleStrategy() | QFont::NoSubpixelAntialias));
}

const QFont &TChartFont::Font(const QString &family, int points, int ppi, bool screen)
{
    if (family != FFamily || points != FPoints || ppi != FPpi || screen != FScreen) {
        FFont = MakeFont(family, points, ppi);
        if (!screen)
            DisableFontSmoothing(FFont);
        FFamily = family;
        FPoints = points;
        FPpi = ppi;
        FScreen = screen;
    }
    return FFont;
}

TMaskMode::TMaskMode(QPainter &painter)
    : FPainter(painter)
    , FMode(painter.compositionMode())
    , FOpacity(painter.opacity())
{
    const QPaintDevice *device = painter.device();
    const QPaintEngine *engine = painter.paintEngine();
    const bool recording = device && device->devType() == QInternal::Picture;
    if (!recording && engine && engine->hasFeature(QPaintEngine::RasterOpModes))
        painter.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
    else if (engine && engine->hasFeature(QPaintEngine::BlendModes))
        painter.setCompositionMode(QPainter::CompositionMode_Multiply);
    else
        painter.setOpacity(0.5);
}

TMaskMode::~TMaskMode()
{
    FPainter.setCompositionMode(FMode);
    FPainter.setOpacity(FOpacity);
}
