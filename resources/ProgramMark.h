#pragma once

#include <QIcon>
#include <QImage>

class QPainter;
class QRectF;

// The program's mark, a small plan: a date header over three rows with a bar each.
// The installation's icons and logo are painted from it, and so is the icon every
// window of the running program shows.
void PaintProgramMark(QPainter &p, const QRectF &box);

// The mark on a transparent square of `side` pixels.
QImage ProgramMarkImage(int side);

// The mark in the sizes window managers and task bars ask for.
QIcon ProgramIcon();
