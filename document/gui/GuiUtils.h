#pragma once

#include <QPoint>
#include <Qt>

class QFontMetrics;
class QPainter;

// The modifier keys held now, restricted to Shift, Ctrl and Alt.
Qt::KeyboardModifiers ShiftState();

// The average character size of a font: the width of the 52 letters "A".."Z"
// and "a".."z" divided by 52 (whole pixels, truncated), and their height.
QPoint GetAveCharSize(const QFontMetrics &metrics);
// The same for the painter's current font on its device.
QPoint GetAveCharSize(const QPainter &painter);
