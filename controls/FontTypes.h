#pragma once

#include <QFlags>
#include <QList>
#include <QPixmap>
#include <QString>

// How a font is built: scalable outlines (with Latin or with symbol characters) or
// fixed-size bitmaps.
enum TFontType { ftTrueTypeAnsi = 0x1, ftTrueTypeSymbol = 0x2, ftRaster = 0x4 };
Q_DECLARE_FLAGS(TFontTypes, TFontType)
Q_DECLARE_OPERATORS_FOR_FLAGS(TFontTypes)

// The type's short text kept with each font of a list: "TA", "TS" or "R".
QString FontTypeText(TFontType Type);

struct TFontFace {
    QString Name;
    TFontType Type = ftTrueTypeAnsi;
};

// Every font family of the screen with its type.
QList<TFontFace> ScreenFontFaces();
// The faces a font list offers: those of the Wanted types, without the vertical
// variants (names beginning with "@"), sorted by name in the user's locale.
QList<TFontFace> FontListItems(const QList<TFontFace> &Faces, TFontTypes Wanted);

// A 16 x 16 picture of the type with a transparent background.
QPixmap FontTypeImage(TFontType Type);
