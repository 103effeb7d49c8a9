#pragma once

#include <QFont>
#include <QString>

class QPaintDevice;
class QPainter;

// Fonts are made by pixel size from the target device's resolution, so text has the
// same size in inches on the screen, in an image and on a printer page.

// points x ppi / 72, rounded half away from zero as the platform's MulDiv does; at
// least 1 for a positive size.
int PointsToPixels(int points, int ppi);
// The vertical resolution text is sized for on `device` (96 for images made with
// Qt's default resolution).
int DevicePpi(const QPaintDevice &device);
// Sets `font`'s size to `points` on a device of `ppi`.
void SetFontPoints(QFont &font, int points, int ppi);
QFont MakeFont(const QString &family, int points, int ppi);

// Draws `text` with its cell's top-left corner at (x, y), as text is placed
// throughout the program (Qt places it by the baseline).
void TextOutTopLeft(QPainter &painter, int x, int y, const QString &text);
