// The texts a recorded picture draws, in drawing order: a paint device whose
// engine keeps each text item and draws nothing.
#pragma once

#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QStringList>
#include <climits>

namespace testsupport {

class TextRecordingEngine final : public QPaintEngine {
public:
    TextRecordingEngine()
        : QPaintEngine(QPaintEngine::AllFeatures)
    { }
    QStringList texts;
    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState &) override { }
    void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override { }
    void drawPath(const QPainterPath &) override { }
    void drawPolygon(const QPointF *, int, PolygonDrawMode) override { }
    void drawPolygon(const QPoint *, int, PolygonDrawMode) override { }
    void drawImage(const QRectF &, const QImage &, const QRectF &, Qt::ImageConversionFlags) override { }
    void drawTextItem(const QPointF &, const QTextItem &item) override { texts << item.text(); }
    Type type() const override { return QPaintEngine::User; }
};

class TextRecordingDevice final : public QPaintDevice {
public:
    TextRecordingEngine engine;
    QPaintEngine *paintEngine() const override { return const_cast<TextRecordingEngine *>(&engine); }

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmWidth:
        case PdmHeight:
        case PdmWidthMM:
        case PdmHeightMM:
            return 10000;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 600;
        case PdmDepth:
            return 32;
        case PdmNumColors:
            return INT_MAX;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(devicePixelRatioFScale());
        default:
            return 0;
        }
    }
};

// The texts `play` draws on a painter.
template <typename Play> QStringList PaintedTexts(Play play)
{
    TextRecordingDevice device;
    {
        QPainter painter(&device);
        play(painter);
    }
    return device.engine.texts;
}

} // namespace testsupport
