// Shared by the dialog tests: whether a window shows its texts whole at a larger
// font, as a screen of 144 dpi or a larger desktop font gives it.
#pragma once

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QFont>
#include <QLabel>
#include <QStringList>
#include <QWidget>

namespace testsupport {

// A font half as large again as the window's: what a screen of 144 dpi gives.
inline void EnlargeWindowFont(QWidget &window)
{
    QFont font = window.font();
    if (font.pixelSize() > 0)
        font.setPixelSize(font.pixelSize() * 3 / 2);
    else
        font.setPointSizeF(font.pointSizeF() * 1.5);
    window.setFont(font);
}

// The texts of the shown labels, buttons and date or number fields of `window`
// that show cut: the control is narrower or lower than its text needs (its size
// hint), or reaches past the window's edge. Each with its size and the size it needs.
inline QStringList CutTexts(QWidget &window)
{
    QStringList cut;
    for (QWidget *control : window.findChildren<QWidget *>()) {
        if (!control->isVisibleTo(&window))
            continue;
        QString text;
        if (auto *label = qobject_cast<QLabel *>(control))
            text = label->wordWrap() ? QString() : label->text();
        else if (auto *button = qobject_cast<QAbstractButton *>(control))
            text = button->text();
        else if (auto *field = qobject_cast<QAbstractSpinBox *>(control))
            text = field->text();
        if (text.isEmpty())
            continue;
        const QSize need = control->sizeHint();
        const QRect place(control->mapTo(&window, QPoint(0, 0)), control->size());
        if (control->width() < need.width() || control->height() < need.height()
            || !window.rect().contains(place))
            cut << QStringLiteral("%1: %2x%3 at %4,%5 needs %6x%7 in %8x%9")
                       .arg(text)
                       .arg(control->width())
                       .arg(control->height())
                       .arg(place.x())
                       .arg(place.y())
                       .arg(need.width())
                       .arg(need.height())
                       .arg(window.width())
                       .arg(window.height());
    }
    return cut;
}

} // namespace testsupport
