#pragma once

#include <QCursor>
#include <QImage>
#include <QRegion>
#include <QString>
#include <QWidget>

// Middle-button panning: the small window that marks where it started and the
// mouse cursors that show where it goes, all drawn here. The images are 32 x 32
// on the mask colour 0xFF00FF: "GT_MOVENS" (up and down), "GT_MOVEEW" (left and
// right) and "GT_MOVEALL" (all four). The cursors of those names rest at the
// start; "GT_MOVEN", "GT_MOVES", "GT_MOVEE", "GT_MOVEW", "GT_MOVENE",
// "GT_MOVENW", "GT_MOVESE" and "GT_MOVESW" point where the view moves.

inline constexpr QRgb PanningMaskColor = 0xFFFF00FF;

// The image of that name, a null image for another name.
QImage PanningImage(const QString &Name);
// The cursor of that name, its hot spot in the middle; the arrow cursor for
// another name.
QCursor PanningCursor(const QString &Name);
// Every run of pixels of a row that are not the mask colour. Throws
// EGridTreeAssertion ("Invalid wheel panning image.") when there is none.
QRegion PanningRegion(const QImage &Image);

// A frameless tool window shaped like its image, shown without taking the
// focus, above its owner and going with it.
class TPanningWindow : public QWidget {
public:
    // Centre: screen coordinates.
    TPanningWindow(QWidget &Owner, const QImage &Image, QPoint Centre);

protected:
    void paintEvent(QPaintEvent *Event) override;

private:
    QImage FImage;
};
