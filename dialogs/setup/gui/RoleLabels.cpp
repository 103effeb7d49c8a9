#include "dialogs/setup/gui/RoleLabels.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QPainter>

TRoleShape::TRoleShape(QWidget *parent)
    : QWidget(parent)
{ }

void TRoleShape::SetBrushColor(TColor color)
{
    if (color == FBrushColor)
        return;
    FBrushColor = color;
    update();
}

void TRoleShape::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), ToQColor(FBrushColor));
    painter.setPen(ToQColor(clBlack));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

TRoleLabel::TRoleLabel(TConnection role, QWidget *parent)
    : QLabel(parent)
    , FRole(role)
{
    setAlignment(Qt::AlignCenter);
    setAcceptDrops(true);
    setMouseTracking(true);
    setAttribute(Qt::WA_TranslucentBackground);
}

void TRoleLabel::mousePressEvent(QMouseEvent *event)
{
    FPressed = event->button() == Qt::LeftButton;
    FPressPos = event->position().toPoint();
    QLabel::mousePressEvent(event);
}

void TRoleLabel::mouseMoveEvent(QMouseEvent *event)
{
    if (OnMouseMove)
        OnMouseMove(*this);
    if (FPressed && (event->buttons() & Qt::LeftButton)
        && (event->position().toPoint() - FPressPos).manhattanLength() >= QApplication::startDragDistance()) {
        FPressed = false;
        if (OnStartDrag)
            OnStartDrag(*this);
        return;
    }
    QLabel::mouseMoveEvent(event);
}

void TRoleLabel::contextMenuEvent(QContextMenuEvent *event)
{
    if (OnMouseMove)
        OnMouseMove(*this);
    if (OnContextPopup)
        OnContextPopup(*this, event->globalPos());
    event->accept();
}

bool TRoleLabel::Accepts(const QMimeData *mime)
{
    if (!mime || !mime->hasFormat(QString::fromLatin1(kSetupColumnMimeType)))
        return false;
    if (OnMouseMove)
        OnMouseMove(*this);
    return OnDragOver && OnDragOver(*this);
}

void TRoleLabel::dragEnterEvent(QDragEnterEvent *event)
{
    if (Accepts(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TRoleLabel::dragMoveEvent(QDragMoveEvent *event)
{
    if (Accepts(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TRoleLabel::dropEvent(QDropEvent *event)
{
    if (!Accepts(event->mimeData())) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    if (OnDragDrop)
        OnDragDrop(*this);
}
