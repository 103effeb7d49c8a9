#include "timechart/Splitter.h"

#include <QMouseEvent>

TSplitter::TSplitter(Qt::Orientation orientation, QWidget *parent)
    : QSplitter(orientation, parent)
{
    setOpaqueResize(true);
    setChildrenCollapsible(false);
}

QSplitterHandle *TSplitter::createHandle()
{
    return new TSplitterHandle(orientation(), this);
}

void TSplitter::DragHandleTo(int index, int position)
{
    QWidget *before = widget(index - 1);
    if (!before)
        return;
    const int start = orientation() == Qt::Vertical ? before->geometry().top() : before->geometry().left();
    SetSizeBefore(index, position - start);
}

void TSplitter::SetSizeBefore(int index, int size)
{
    QWidget *before = widget(index - 1);
    if (!before)
        return;
    bool accept = true;
    if (FOnCanResize)
        FOnCanResize(*this, size, accept);
    if (!accept)
        return;
    const int start = orientation() == Qt::Vertical ? before->geometry().top() : before->geometry().left();
    moveSplitter(start + size, index);
}

TSplitterHandle::TSplitterHandle(Qt::Orientation orientation, TSplitter *parent)
    : QSplitterHandle(orientation, parent)
{ }

int TSplitterHandle::Pick(QPoint p) const
{
    return orientation() == Qt::Vertical ? p.y() : p.x();
}

void TSplitterHandle::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    FPressed = true;
    FMouseOffset = Pick(event->position().toPoint());
}

void TSplitterHandle::mouseMoveEvent(QMouseEvent *event)
{
    if (!FPressed)
        return;
    auto *owner = static_cast<TSplitter *>(splitter());
    const int position = Pick(owner->mapFromGlobal(event->globalPosition().toPoint())) - FMouseOffset;
    owner->DragHandleTo(owner->indexOf(this), position);
}

void TSplitterHandle::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        FPressed = false;
}
