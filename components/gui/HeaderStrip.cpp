#include "components/gui/HeaderStrip.h"

#include "components/gui/GTHeader.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

THeaderStrip::THeaderStrip(TGTHeader &Header, QWidget &Parent)
    : QWidget(&Parent)
    , FHeader(Header)
{
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void THeaderStrip::paintEvent(QPaintEvent *Event)
{
    QPainter painter(this);
    const QRect r = Event->rect();
    // Its tree is held still: the columns may be half changed. The strip is
    // opaque, so the exposed part gets a plain background.
    if (!updatesEnabled()) {
        painter.fillRect(r, palette().button());
        return;
    }
    FHeader.PaintHeader(painter, FromQRect(r), r.topLeft());
}

void THeaderStrip::Forward(QMouseEvent *Event)
{
    if (!FHeader.HandleMessage(Event, Event->position().toPoint()))
        Event->ignore();
}

void THeaderStrip::mousePressEvent(QMouseEvent *Event)
{
    Forward(Event);
}

void THeaderStrip::mouseDoubleClickEvent(QMouseEvent *Event)
{
    Forward(Event);
}

void THeaderStrip::mouseMoveEvent(QMouseEvent *Event)
{
    Forward(Event);
}

void THeaderStrip::mouseReleaseEvent(QMouseEvent *Event)
{
    Forward(Event);
}

void THeaderStrip::leaveEvent(QEvent *Event)
{
    FHeader.MouseLeft();
    QWidget::leaveEvent(Event);
}
