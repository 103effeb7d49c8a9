#pragma once

#include "document/DocumentTypes.h"

#include <QImage>
#include <QSize>
#include <QWidget>
#include <array>

class QAction;
class QMenu;
class TBarPainter;

// The bar layouts (three, two or one text lines on a bar) offered as pictures:
// a sample bar of a table drawn at the height each layout gives its texts.

// The pictures' size (ItemStructImageList): wide enough for a bar with the
// captions of its texts, high enough for three lines of the menu font.
inline constexpr QSize kItemStructImageSize(80, 34);

// The three pictures, in the order of TRowSet: a frame around a sample bar of
// `table` drawn with the main window's font, the sample's green background left
// transparent.
std::array<QImage, 3> MakeItemStructImages(
    TBarPainter &painter, TWhichTable table, QSize size, const QString &fontName, int fontSize);

// A menu item that is its picture: as wide as the picture and 12 pixels less
// high, the picture centred on it. A click (or Enter, Space) triggers the
// action and closes the menus.
class TItemStructItem : public QWidget {
public:
    TItemStructItem(QAction &action, QWidget *parent = nullptr);
    void SetImage(const QImage &image);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void Choose();

    QAction &FAction;
    QImage FImage;
};

// Adds the item of layout `rowSet` to `menu`; its action carries the layout as data.
QAction *AddItemStructItem(QMenu &menu, TRowSet rowSet, const QString &name);
