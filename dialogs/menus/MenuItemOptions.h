#pragma once

#include "dialogs/menus/FlatMenu.h"

class QAction;
class QIcon;
class QMenu;
class QStyleOptionMenuItem;
class QVariant;

// Qt hands a style the item of a menu or menu bar without its action; these find
// the action and gather what the item shows.

// The action an option describes: the one at the option's rectangle while the
// item `painting`, else the first with the option's caption (the menu is laying
// its items out then and must not be asked for their places); null for a widget
// that is neither menu nor menu bar.
QAction *MenuItemAction(const QStyleOptionMenuItem &option, const QWidget *widget, bool painting);
TMenuItemInfo MenuItemInfoOf(
    const QStyleOptionMenuItem &option, const QAction *action, const QWidget *widget);
// The item's image: the icon (the image list's entry) when there is one, else the
// action's own "Bitmap" property (a QImage or QPixmap; without alpha channel its
// bottom-left pixel's colour is transparent).
QImage ItemImage(const QIcon &icon, const QVariant &ownBitmap);
// Whether a menu is part of a menu bar's menus (opened from the bar directly or
// through other menus); otherwise it is a popup menu of its own.
bool OpensFromMenuBar(const QMenu &menu);
// The shortcut column a menu adds to the width of all its items.
int ShortcutColumnWidth(const QMenu &menu);
