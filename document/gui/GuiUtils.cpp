#include "document/gui/GuiUtils.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>

Qt::KeyboardModifiers ShiftState()
{
    return QGuiApplication::queryKeyboardModifiers()
        & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
}

QPoint GetAveCharSize(const QFontMetrics &metrics)
{
    QString letters;
    for (char16_t c = u'A'; c <= u'Z'; ++c)
        letters += QChar(c);
    for (char16_t c = u'a'; c <= u'z'; ++c)
        letters += QChar(c);
    return QPoint(metrics.horizontalAdvance(letters) / 52, metrics.height());
}

QPoint GetAveCharSize(const QPainter &painter)
{
    return GetAveCharSize(painter.fontMetrics());
}
