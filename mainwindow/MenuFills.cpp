#include "mainwindow/MenuFills.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

namespace {

// The old items go, with the group that held them.
void Empty(QMenu &menu)
{
    for (QActionGroup *group : menu.findChildren<QActionGroup *>(Qt::FindDirectChildrenOnly))
        delete group;
    menu.clear();
}

} // namespace

QString MenuItemText(const QString &text)
{
    QString escaped = text;
    return escaped.replace(QLatin1Char('&'), QLatin1String("&&"));
}

void FillClientsMenu(QMenu &menu, const std::vector<TClientEntry> &clients)
{
    Empty(menu);
    auto *group = new QActionGroup(&menu);
    for (const TClientEntry &client : clients) {
        auto *item = new QAction(MenuItemText(client.caption), group);
        item->setCheckable(true);
        item->setChecked(client.checked);
        menu.addAction(item);
    }
    menu.setEnabled(!clients.empty());
}

void FillRevertMenu(
    QMenu &menu, const std::vector<TRevertEntry> &reverts, const std::function<void(const QString &)> &revert)
{
    Empty(menu);
    for (const TRevertEntry &entry : reverts) {
        auto *item = new QAction(MenuItemText(entry.caption), &menu);
        item->setToolTip(entry.hint);
        const QString folder = entry.file.filename;
        QObject::connect(item, &QAction::triggered, &menu, [revert, folder] { revert(folder); });
        menu.addAction(item);
    }
    menu.setEnabled(!reverts.empty());
}

void FillWindowMenu(QMenu &menu, const std::vector<platform::TWindowMenuEntry> &entries,
    const std::function<void(const QString &)> &select)
{
    menu.clear();
    for (const platform::TWindowMenuEntry &entry : entries) {
        QAction *item = menu.addAction(MenuItemText(entry.caption));
        item->setCheckable(true);
        item->setChecked(entry.checked);
        item->setData(entry.server);
        const QString server = entry.server;
        QObject::connect(item, &QAction::triggered, &menu, [select, server] { select(server); });
    }
}
