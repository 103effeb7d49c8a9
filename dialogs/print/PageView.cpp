#include "dialogs/print/PageView.h"

#include "dialogs/print/PageDisplay.h"
#include "dialogs/print/PageGeometry.h"
#include "dialogs/print/PrintJob.h"
#include "document/program/Translation.h"
#include "platform/gui/Color.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cstdlib>

namespace {

constexpr int ScrollBarWidth = 17;

} // namespace

QString PreviewCaption(int page, int count)
{
    return Translate(
        QStringLiteral("Druckvorschau - Seite %s von %s"), { QString::number(page), QString::number(count) });
}

TPagePaintBox::TPagePaintBox(const TPrintJob &job, QWidget *parent)
    : QWidget(parent)
    , FJob(job)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TPagePaintBox::SetPage(int page)
{
    FPage = page;
    update();
}

void TPagePaintBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    DisplayPage(painter, size(), FJob, FPage);
}

void TPagePaintBox::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

TPageView::TPageView(const TPrintJob &job, bool framed, QWidget *parent)
    : QWidget(parent)
    , FJob(job)
    , FFramed(framed)
    , FPaintBox(new TPagePaintBox(job, this))
    , FScrollBar(new QScrollBar(Qt::Vertical, this))
{
    FPaintBox->setObjectName(QStringLiteral("PaintBox1"));
    FScrollBar->setObjectName(QStringLiteral("ScrollBar"));
    FScrollBar->setRange(1, 1);
    FScrollBar->setPageStep(1);
    FScrollBar->setSingleStep(1);
    connect(FScrollBar, &QScrollBar::valueChanged, this, [this](int page) {
        FPaintBox->SetPage(page);
        emit pageChanged(page);
    });
}

int TPageView::Position() const
{
    return FScrollBar->value();
}

void TPageView::SetPosition(int page)
{
    FScrollBar->setValue(page);
}

int TPageView::PageCount() const
{
    return FScrollBar->maximum();
}

void TPageView::ShowJob()
{
    FScrollBar->setMaximum(std::max(1, FJob.GetPageCount()));
    FScrollBar->setValue(1);
    FPaintBox->SetPage(1);
    PlaceChildren();
    emit pageChanged(1);
}

void TPageView::CatchWheelOf(QWidget *window)
{
    window->installEventFilter(this);
    for (QWidget *child : window->findChildren<QWidget *>())
        child->installEventFilter(this);
}

bool TPageView::eventFilter(QObject *, QEvent *event)
{
    if (event->type() != QEvent::Wheel)
        return false;
    auto *wheel = static_cast<QWheelEvent *>(event);
    const int delta = wheel->angleDelta().y();
    if (delta != 0)
        FScrollBar->setValue(FScrollBar->value() - delta / std::abs(delta));
    wheel->accept();
    return true;
}

void TPageView::PlaceChildren()
{
    const int border = FFramed ? 1 : 0;
    const QRect client = rect().adjusted(border, border, -border, -border);
    FScrollBar->setGeometry(
        client.right() + 1 - ScrollBarWidth, client.top(), ScrollBarWidth, client.height());
    const QSize room(client.width() - ScrollBarWidth, client.height());
    const TRect box = PositionPaintBox(FJob.Geometry().Caps(), room);
    FPaintBox->setGeometry(ToQRect(OffsetRect(box, client.left(), client.top())));
}

void TPageView::resizeEvent(QResizeEvent *)
{
    PlaceChildren();
}

void TPageView::paintEvent(QPaintEvent *)
{
    if (!FFramed)
        return;
    QPainter painter(this);
    painter.setPen(ToQColor(clWindowFrame));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
