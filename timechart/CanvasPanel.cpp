#include "timechart/CanvasPanel.h"

#include "timechart/ImageScroll.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace {

// The resolution chart geometry is kept in (96 pixels per inch).
constexpr int DotsPerMeterAt96 = 3780;

// Runs `handler` when assigned, else lets the widget's own handling run.
template <typename Handler, typename Event, typename Fallback>
void Dispatch(const Handler &handler, TCanvasPanel &panel, Event *event, Fallback fallback)
{
    if (handler)
        handler(panel, *event);
    else
        fallback();
}

} // namespace

TCanvasPanel::TCanvasPanel(QWidget *parent)
    : QWidget(parent)
{
    // Every pixel is painted by the panel itself: Qt need not clear or fill anything.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
}

void TCanvasPanel::SetColor(TColor color)
{
    if (color == m_color)
        return;
    m_color = color;
    Invalidate();
}

void TCanvasPanel::Invalidate(const QRect &rect)
{
    ++m_invalidateCount;
    const QRect grown = m_bufferDirty.Add(rect.intersected(this->rect()));
    if (grown.isEmpty())
        return;
    if (!m_overlayOnly.isEmpty())
        m_overlayOnly -= grown;
    update(grown);
}

void TCanvasPanel::Invalidate(const QRegion &region)
{
    for (const QRect &r : region)
        Invalidate(r);
}

void TCanvasPanel::Invalidate()
{
    Invalidate(rect());
}

void TCanvasPanel::UpdateOverlay(const QRegion &region)
{
    // Where the buffer waits for a paint already, it is painted.
    m_overlayOnly += region.subtracted(m_bufferDirty.Region());
    update(region);
}

void TCanvasPanel::PaintBackBuffer(QRegion region)
{
    if (m_backBuffer.size() != size()) {
        m_backBuffer = QImage(size(), QImage::Format_ARGB32);
        m_backBuffer.setDotsPerMeterX(DotsPerMeterAt96);
        m_backBuffer.setDotsPerMeterY(DotsPerMeterAt96);
        m_overlayOnly = QRegion();
        m_bufferDirty.Clear();
    }
    // Where only the overlay changed, the buffer holds what it should.
    const QRegion asked = region;
    region -= m_overlayOnly;
    m_overlayOnly -= asked;
    m_bufferDirty.Subtract(asked);
    if (region.isEmpty())
        return;
    QPainter canvas(&m_backBuffer);
    // Erased before the clip is set: each rectangle lies inside the region, and
    // a fill under a clip of several rectangles goes through span blending that
    // Qt splits over its thread pool, a wake-up of other threads on every scroll.
    for (const QRect &r : region)
        canvas.fillRect(r, ToQColor(m_color));
    canvas.setClipRegion(region);
    canvas.setFont(font());
    if (m_onPaint)
        m_onPaint(*this, canvas, region);
}

void TCanvasPanel::paintEvent(QPaintEvent *event)
{
    if (width() <= 0 || height() <= 0)
        return;
    const QRegion region = event->region().intersected(rect());
    PaintBackBuffer(region);
    QPainter screen(this);
    screen.setCompositionMode(QPainter::CompositionMode_Source);
    for (const QRect &r : region)
        screen.drawImage(r, m_backBuffer, r);
    if (m_onPaintOverlay) {
        screen.setCompositionMode(QPainter::CompositionMode_SourceOver);
        screen.setClipRegion(region);
        screen.setFont(font());
        m_onPaintOverlay(*this, screen, region);
    }
}

void TCanvasPanel::ScrollClient(int dx, int dy)
{
    if (dx == 0 && dy == 0)
        return;
    if (!m_backBuffer.isNull() && !ScrollImage(m_backBuffer, dx, dy)) {
        const QImage moved = m_backBuffer.copy();
        QPainter painter(&m_backBuffer);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(QPoint(dx, dy), moved);
    }
    m_overlayOnly.translate(dx, dy);
    m_bufferDirty.Translate(dx, dy);
    scroll(dx, dy);
    // What the move uncovered is painted in any case: the window system may leave
    // it to the widget.
    const QRect all = rect();
    Invalidate(QRegion(all).subtracted(all.translated(dx, dy)));
}

void TCanvasPanel::enterEvent(QEnterEvent *event)
{
    QWidget::enterEvent(event);
    if (m_onMouseEnter)
        m_onMouseEnter(*this);
}

void TCanvasPanel::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    if (m_onMouseLeave)
        m_onMouseLeave(*this);
}

void TCanvasPanel::mousePressEvent(QMouseEvent *event)
{
    Dispatch(m_onMouseDown, *this, event, [&] { QWidget::mousePressEvent(event); });
}

void TCanvasPanel::mouseMoveEvent(QMouseEvent *event)
{
    Dispatch(m_onMouseMove, *this, event, [&] { QWidget::mouseMoveEvent(event); });
}

void TCanvasPanel::mouseReleaseEvent(QMouseEvent *event)
{
    Dispatch(m_onMouseUp, *this, event, [&] { QWidget::mouseReleaseEvent(event); });
}

void TCanvasPanel::mouseDoubleClickEvent(QMouseEvent *event)
{
    Dispatch(m_onDblClick, *this, event, [&] { QWidget::mouseDoubleClickEvent(event); });
}

void TCanvasPanel::wheelEvent(QWheelEvent *event)
{
    Dispatch(m_onMouseWheel, *this, event, [&] { QWidget::wheelEvent(event); });
}

void TCanvasPanel::keyPressEvent(QKeyEvent *event)
{
    Dispatch(m_onKeyDown, *this, event, [&] { QWidget::keyPressEvent(event); });
}

void TCanvasPanel::keyReleaseEvent(QKeyEvent *event)
{
    Dispatch(m_onKeyUp, *this, event, [&] { QWidget::keyReleaseEvent(event); });
}
