#pragma once

#include <QSize>

class QWidget;

// A size designed for the program's font at 96 dpi, grown by as much as the
// window's font is larger (a 144 dpi screen, a larger font chosen); never smaller.
QSize FontScaled(const QWidget &window, QSize designed);

// Sizes `dialog` each time it is shown: its designed size grown with its font,
// and never below what its layout asks for the texts it holds then (a language
// chosen after it was made included). A `fixed` dialog takes exactly that size
// (a designed height of 0: the layout's); another keeps a larger size its user
// gave it.
void GrowWithFont(QWidget &dialog, QSize designed, bool fixed = false);
