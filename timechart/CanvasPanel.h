#pragma once

#include "platform/gui/Color.h"
#include "platform/gui/DirtyArea.h"
#include "platform/gui/Rect.h"

#include <QImage>
#include <QRegion>
#include <QWidget>
#include <functional>

class QPainter;
class QRegion;

// A panel that its owner paints. Each paint goes into the panel's own 32-bit ARGB
// back buffer (clipped to the region to repaint, erased to the panel's colour
// first) and is then copied to the screen in one piece, so painters can read the
// pixels they blend with from the buffer. The panel is opaque: nothing of the
// parent shows through.
class TCanvasPanel : public QWidget {
    Q_OBJECT
public:
    // The painter draws into the back buffer with the panel's font, clipped to `region`.
    using TPaintEvent = std::function<void(TCanvasPanel &sender, QPainter &canvas, const QRegion &region)>;
    using TNotifyEvent = std::function<void(TCanvasPanel &sender)>;
    using TMouseEvent = std::function<void(TCanvasPanel &sender, QMouseEvent &event)>;
    using TWheelEvent = std::function<void(TCanvasPanel &sender, QWheelEvent &event)>;
    using TKeyEvent = std::function<void(TCanvasPanel &sender, QKeyEvent &event)>;

    explicit TCanvasPanel(QWidget *parent = nullptr);

    // Always (0, 0, width, height).
    TRect GetClientRect() const { return Rect(0, 0, width(), height()); }
    // The pixels of the last paints; outside the regions painted since the last
    // resize its content is undefined.
    const QImage &BackBuffer() const { return m_backBuffer; }

    // The colour the back buffer is erased to before each paint.
    TColor Color() const { return m_color; }
    void SetColor(TColor color);

    void SetOnPaint(TPaintEvent handler) { m_onPaint = std::move(handler); }
    // Drawn over the back buffer on each paint, straight onto the screen: what
    // stays in place while the buffer's content scrolls under it (labels).
    void SetOnPaintOverlay(TPaintEvent handler) { m_onPaintOverlay = std::move(handler); }
    // `rect` (`region`, all of the panel) is painted again, the back buffer
    // included. What waits for its paint is kept as a few rectangles however
    // often this is called (see TDirtyArea).
    void Invalidate(const QRect &rect);
    void Invalidate(const QRegion &region);
    void Invalidate();
    // How often Invalidate was called (diagnostics: a walk over many rows hands
    // the panel a few rectangles, not one per row).
    qint64 InvalidateCount() const { return m_invalidateCount; }
    // Only the overlay in `region` is painted again: the buffer there is as it
    // should be (an Invalidate of the same place before the paint undoes this).
    void UpdateOverlay(const QRegion &region);
    void SetOnMouseEnter(TNotifyEvent handler) { m_onMouseEnter = std::move(handler); }
    void SetOnMouseLeave(TNotifyEvent handler) { m_onMouseLeave = std::move(handler); }
    void SetOnMouseDown(TMouseEvent handler) { m_onMouseDown = std::move(handler); }
    void SetOnMouseMove(TMouseEvent handler) { m_onMouseMove = std::move(handler); }
    void SetOnMouseUp(TMouseEvent handler) { m_onMouseUp = std::move(handler); }
    void SetOnDblClick(TMouseEvent handler) { m_onDblClick = std::move(handler); }
    void SetOnMouseWheel(TWheelEvent handler) { m_onMouseWheel = std::move(handler); }
    void SetOnKeyDown(TKeyEvent handler) { m_onKeyDown = std::move(handler); }
    void SetOnKeyUp(TKeyEvent handler) { m_onKeyUp = std::move(handler); }

    // Moves the panel's pixels (on the screen and in the back buffer) by dx, dy and
    // schedules the uncovered strips, and every region still waiting to be
    // repainted moved along, for repainting.
    void ScrollClient(int dx, int dy);

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;

private:
    void PaintBackBuffer(QRegion region);

    QImage m_backBuffer;
    TColor m_color = clBtnFace;
    TPaintEvent m_onPaint;
    TPaintEvent m_onPaintOverlay;
    QRegion m_overlayOnly;
    // Invalidated and not painted yet.
    TDirtyArea m_bufferDirty;
    qint64 m_invalidateCount = 0;
    TNotifyEvent m_onMouseEnter;
    TNotifyEvent m_onMouseLeave;
    TMouseEvent m_onMouseDown;
    TMouseEvent m_onMouseMove;
    TMouseEvent m_onMouseUp;
    TMouseEvent m_onDblClick;
    TWheelEvent m_onMouseWheel;
    TKeyEvent m_onKeyDown;
    TKeyEvent m_onKeyUp;
};
