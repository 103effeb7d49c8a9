#pragma once

#include "document/sharing/FileMenuScan.h"
#include "platform/instances/InstanceRegistry.h"

#include <QString>
#include <functional>
#include <vector>

class QMenu;

// Menus whose entries are made while the program runs: the File menu's two
// submenus from a scan of the sharing folder (on the main thread, from the plain
// values the worker found), and the window menu from the running instances.

// "Clients": one radio item per user, in the order found, the own one checked;
// enabled exactly when it has items.
void FillClientsMenu(QMenu &menu, const std::vector<TClientEntry> &clients);
// "Revert": one item per saved version, newest first, the folder's name as its
// hint (its tool tip); choosing one calls `revert` with the folder's name. Enabled exactly when
// it has items.
void FillRevertMenu(QMenu &menu, const std::vector<TRevertEntry> &reverts,
    const std::function<void(const QString &)> &revert);

// The window menu: "n name" per instance, the own one checked; choosing one
// calls `select` with its socket.
void FillWindowMenu(QMenu &menu, const std::vector<platform::TWindowMenuEntry> &entries,
    const std::function<void(const QString &)> &select);

// A text shown in a menu as it is ("&" would mark an access key).
QString MenuItemText(const QString &text);
