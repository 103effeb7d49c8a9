// Opening and hovering menus with real events, and pictures of a window with its
// open menus, for the menu tests of the flat look and of the main window.
#pragma once

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QTest>

namespace menutest {

// Opens `menu` from its entry on `bar` with a click.
inline void OpenFromBar(QMenuBar *bar, QMenu *menu)
{
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menu->menuAction()).center());
    (void)QTest::qWaitForWindowExposed(menu);
    QApplication::processEvents();
}

// Moves the mouse onto `action`'s item (from the menu's corner first, so that the
// move is seen) and returns the menu as painted.
inline QImage Hover(QMenu *menu, QAction *action)
{
    QTest::mouseMove(menu, QPoint(1, 1));
    QApplication::processEvents();
    QTest::mouseMove(menu, menu->actionGeometry(action).center());
    QApplication::processEvents();
    return menu->grab().toImage();
}

// `window` with every open menu painted over it where it lies on the screen, in
// its shape.
inline QImage WithOpenMenus(QWidget &window)
{
    QImage image = window.grab().toImage().convertToFormat(QImage::Format_ARGB32);
    QPainter painter(&image);
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        auto *menu = qobject_cast<QMenu *>(widget);
        if (!menu || !menu->isVisible())
            continue;
        const QPoint at = window.mapFromGlobal(menu->pos());
        painter.setClipRegion((menu->mask().isEmpty() ? QRegion(menu->rect()) : menu->mask()).translated(at));
        painter.drawImage(at, menu->grab().toImage());
    }
    return image;
}

} // namespace menutest
