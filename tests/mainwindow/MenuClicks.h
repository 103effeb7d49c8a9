// Menus of the main window opened and chosen from by real mouse clicks, as a
// user goes through them.
#pragma once

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStringList>
#include <QTest>

namespace mainformtest {

// Opens `menu` of the window's menu bar by a click on its title; false when it
// did not open.
inline bool OpenMenu(QMainWindow &window, QMenu &menu)
{
    QMenuBar &bar = *window.menuBar();
    QTest::mouseClick(&bar, Qt::LeftButton, {}, bar.actionGeometry(menu.menuAction()).center());
    return QTest::qWaitFor([&] { return menu.isVisible(); }, 5000);
}

// Opens the submenu `sub` of the open menu `parent` by a click on its entry.
inline bool OpenSubmenu(QMenu &parent, QMenu &sub)
{
    const QPoint at = parent.actionGeometry(sub.menuAction()).center();
    QTest::mouseMove(&parent, at);
    QTest::mouseClick(&parent, Qt::LeftButton, {}, at);
    return QTest::qWaitFor([&] { return sub.isVisible(); }, 5000);
}

// Chooses `item` of the open menu `menu` by a click.
inline void Choose(QMenu &menu, QAction *item)
{
    const QPoint at = menu.actionGeometry(item).center();
    QTest::mouseMove(&menu, at);
    QTest::mouseClick(&menu, Qt::LeftButton, {}, at);
}

// Closes every open menu as Escape does.
inline void CloseMenus()
{
    while (QWidget *popup = QApplication::activePopupWidget())
        popup->close();
}

// The entries of a menu as a user reads them: captions with their access keys'
// "&" removed (a shown "&" is written "&&"), " *" after a checked one,
// separators left out.
inline QStringList Entries(const QMenu &menu)
{
    QStringList entries;
    for (const QAction *item : menu.actions()) {
        if (item->isSeparator() || !item->isVisible())
            continue;
        QString text = item->text();
        text.replace("&&", QString(QChar(1))).remove('&').replace(QChar(1), "&");
        entries << text + (item->isChecked() ? " *" : "");
    }
    return entries;
}

} // namespace mainformtest
