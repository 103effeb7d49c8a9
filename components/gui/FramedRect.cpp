#include "components/gui/FramedRect.h"

#include <QColor>
#include <QPainter>
#include <QRect>

void FillFramedRect(QPainter &Canvas, const QRect &R, const QColor &Brush, const QColor &Pen)
{
    if (R.isEmpty())
        return;
    Canvas.fillRect(R, Brush);
    if (Pen == Brush)
        return;
    // The frame's four sides, each pixel once: the top and bottom rows whole,
    // the left and right columns between them.
    Canvas.fillRect(QRect(R.left(), R.top(), R.width(), 1), Pen);
    if (R.height() > 1)
        Canvas.fillRect(QRect(R.left(), R.bottom(), R.width(), 1), Pen);
    if (R.height() > 2) {
        Canvas.fillRect(QRect(R.left(), R.top() + 1, 1, R.height() - 2), Pen);
        if (R.width() > 1)
            Canvas.fillRect(QRect(R.right(), R.top() + 1, 1, R.height() - 2), Pen);
    }
}
