#include "controls/FontTypes.h"

#include "platform/gui/Color.h"

#include <QCollator>
#include <QFontDatabase>
#include <QLocale>
#include <QPainter>
#include <QPolygon>
#include <algorithm>

QString FontTypeText(TFontType Type)
{
    switch (Type) {
    case ftTrueTypeAnsi:
        return QStringLiteral("TA");
    case ftTrueTypeSymbol:
        return QStringLiteral("TS");
    case ftRaster:
        return QStringLiteral("R");
    }
    return {};
}

QList<TFontFace> ScreenFontFaces()
{
    QList<TFontFace> faces;
    for (const QString &family : QFontDatabase::families()) {
        TFontFace face { family, ftRaster };
        if (QFontDatabase::isSmoothlyScalable(family))
            face.Type = QFontDatabase::writingSystems(family).contains(QFontDatabase::Symbol)
                ? ftTrueTypeSymbol
                : ftTrueTypeAnsi;
        faces.append(face);
    }
    return faces;
}

QList<TFontFace> FontListItems(const QList<TFontFace> &Faces, TFontTypes Wanted)
{
    QList<TFontFace> items;
    for (const TFontFace &face : Faces) {
        if (!face.Name.startsWith(QLatin1Char('@')) && Wanted.testFlag(face.Type))
            items.append(face);
    }
    QCollator collator { QLocale() };
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(items.begin(), items.end(),
        [&collator](const TFontFace &a, const TFontFace &b) { return collator.compare(a.Name, b.Name) < 0; });
    return items;
}

namespace {

// Outline letters for scalable fonts, a stepped letter for bitmap fonts: drawn as
// shapes, so the pictures look the same whatever fonts are installed.
void PaintScalable(QPainter &Painter, TColor Ink)
{
    Painter.setRenderHint(QPainter::Antialiasing, true);
    Painter.setPen(QPen(ToQColor(Ink), 1.6));
    // A large A and, overlapping it, a small one: the same outline at two sizes.
    Painter.drawPolyline(QPolygonF({ { 1.5, 14.5 }, { 6.5, 1.5 }, { 11.5, 14.5 } }));
    Painter.drawLine(QPointF(3.5, 9.5), QPointF(9.5, 9.5));
    Painter.setPen(QPen(ToQColor(Ink), 1.2));
    Painter.drawPolyline(QPolygonF({ { 10.0, 14.5 }, { 12.5, 8.0 }, { 15.0, 14.5 } }));
}

void PaintSymbol(QPainter &Painter, TColor Ink)
{
    Painter.setRenderHint(QPainter::Antialiasing, true);
    Painter.setPen(QPen(ToQColor(Ink), 1.6));
    // A sum sign.
    Painter.drawPolyline(QPolygonF({ { 13.5, 3.5 }, { 13.5, 1.5 }, { 2.5, 1.5 }, { 8.5, 8.0 }, { 2.5, 14.5 },
        { 13.5, 14.5 }, { 13.5, 12.5 } }));
}

void PaintRaster(QPainter &Painter, TColor Ink)
{
    // An A set from 2 x 2 pixel blocks.
    static const char *const rows[]
        = { "..##..", ".#..#.", "#....#", "######", "#....#", "#....#", "#....#" };
    for (int row = 0; row < 7; ++row) {
        for (int column = 0; column < 6; ++column) {
            if (rows[row][column] == '#')
                Painter.fillRect(2 + 2 * column, 1 + 2 * row, 2, 2, ToQColor(Ink));
        }
    }
}

} // namespace

QPixmap FontTypeImage(TFontType Type)
{
    QPixmap image(16, 16);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    switch (Type) {
    case ftTrueTypeAnsi:
        PaintScalable(painter, RGB(0x1F, 0x4E, 0x9A));
        break;
    case ftTrueTypeSymbol:
        PaintSymbol(painter, RGB(0x8A, 0x2B, 0x8E));
        break;
    case ftRaster:
        PaintRaster(painter, RGB(0x55, 0x55, 0x55));
        break;
    }
    return image;
}
