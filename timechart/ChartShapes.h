#pragma once

#include "document/calendar/DateTime.h"
#include "platform/gui/Color.h"
#include "platform/gui/Rect.h"

#include <QPoint>

class QPaintDevice;
class QPainter;

// Shapes the chart painters share: the deadline arrow, the rubber band and the
// clock face shown in bars moved in hours mode.

enum TFillStyle : int { fsStroke, fsFill, fsStrokeAndFill };

// The curved deadline arrow from `from` with its head at `to`, outlined with the
// painter's pen and/or filled with its brush. `size` scales it (the zoom); its size
// in inches is the same on every device.
void DrawArrow(QPainter &painter, QPoint from, QPoint to, TFillStyle fill, double size);
// The box such an arrow covers on `device` (null: at the screen's resolution), its
// outline included.
TRect ArrowBounds(const QPaintDevice *device, QPoint from, QPoint to, double size);

// The inverting rubber band: corners in either order give the same frame, and
// drawing it twice removes it.
void FocusRect(QPainter &painter, const TRect &rect);

// An analog clock face filling `rect` (an ellipse, 12 hour marks on the rim) with
// hour and minute pointers for the time of day of `time`, each with a light grey
// shadow. Pointer lengths are fractions of the radius.
void DrawClock(QPainter &painter, const TRect &rect, TDateTime time, TColor clockColor, TColor pointerColor,
    double hourLength, double minuteLength);

// The grey of the pointers' shadow.
constexpr TColor ClockShadowColor = 0xC8C8C8;
