#pragma once

class QColor;
class QPainter;
class QRect;

// R filled with Brush and framed by a one-pixel line in Pen on its outermost
// pixels: what an aliased drawRect of R shrunk by one with a cosmetic pen gives
// for opaque colours. Every part is a solid fillRect: the painter writes those
// rows on the calling thread, where drawRect's brush, on a 32-bit image with
// alpha, goes through span blending that Qt splits over its thread pool once a
// span is wider than about 96 pixels - a wake-up of other threads on every
// selected row painted.
void FillFramedRect(QPainter &Canvas, const QRect &R, const QColor &Brush, const QColor &Pen);
