#include "mainwindow/MenuFills.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

namespace {

// Makes `menu` hold `count` entries: those it has are kept, the ones past `count`
// go, and `make` adds the missing ones. A menu opened again mostly shows what it
// showed, and adding entries to a menu is what costs: a kept entry whose text
// stays costs next to nothing.
QList<QAction *> KeepEntries(QMenu &menu, std::size_t count, const std::function<QAction *()> &make)
{
    QList<QAction *> entries = menu.actions();
    while (std::size_t(entries.size()) > count)
        delete entries.takeLast();
    QList<QAction *> added;
    added.reserve(qsizetype(count) - entries.size());
    while (std::size_t(entries.size() + added.size()) < count)
        added.append(make());
    menu.addActions(added);
    return entries + added;
}

} // namespace

QString MenuItemText(const QString &text)
{
    QString escaped = text;
    return escaped.replace(QLatin1Char('&'), QLatin1String("&&"));
}

void FillClientsMenu(QMenu &menu, const std::vector<TClientEntry> &clients)
{
    auto *group = menu.findChild<QActionGroup *>(QString(), Qt::FindDirectChildrenOnly);
    if (!group)
        group = new QActionGroup(&menu);
    const QList<QAction *> items = KeepEntries(menu, clients.size(), [group] {
        auto *item = new QAction(group);
        item->setCheckable(true);
        return item;
    });
    for (std::size_t i = 0; i < clients.size(); ++i) {
        items[qsizetype(i)]->setText(MenuItemText(clients[i].caption));
        items[qsizetype(i)]->setChecked(clients[i].checked);
    }
    menu.setEnabled(!clients.empty());
}

void FillRevertMenu(
    QMenu &menu, const std::vector<TRevertEntry> &reverts, const std::function<void(const QString &)> &revert)
{
    const QList<QAction *> items = KeepEntries(menu, reverts.size(), [&menu] { return new QAction(&menu); });
    for (std::size_t i = 0; i < reverts.size(); ++i) {
        QAction *item = items[qsizetype(i)];
        const TRevertEntry &entry = reverts[i];
        item->setText(MenuItemText(entry.caption));
        item->setToolTip(entry.hint);
        // A kept entry reverts to its new folder, through the caller's present answer.
        QObject::disconnect(item, &QAction::triggered, &menu, nullptr);
        QObject::connect(
            item, &QAction::triggered, &menu, [revert, folder = entry.file.filename] { revert(folder); });
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
