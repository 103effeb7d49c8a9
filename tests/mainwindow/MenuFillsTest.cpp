// The File menu's submenus filled again and again, as each opening of the menu
// does: whatever they held before, they show exactly the last scan's items, one
// user checked at most, and a saved version reverts to its own folder through
// the answer given last.
#include "mainwindow/MenuFills.h"

#include "tests/mainwindow/MenuClicks.h"

#include <QActionGroup>
#include <QMenu>
#include <gtest/gtest.h>
#include <random>

using namespace mainformtest;

namespace {

TEST(MenuFills, RefilledMenusShowExactlyTheLastItems)
{
    QMenu clients, reverts;
    std::mt19937 random(28);
    QStringList chosen;
    for (int round = 0; round < 40; ++round) {
        const int users = int(random() % 6);
        const int versions = int(random() % 6);
        const int own = users > 0 ? int(random() % (users + 1)) - 1 : -1; // -1: not among them

        std::vector<TClientEntry> clientItems;
        QStringList expectedClients;
        for (int i = 0; i < users; ++i) {
            const QString name = QString("pc%1.user&%2").arg(round).arg(i);
            clientItems.push_back({ name, i == own });
            expectedClients << name + (i == own ? " *" : "");
        }
        std::vector<TRevertEntry> revertItems;
        QStringList expectedReverts;
        for (int i = 0; i < versions; ++i) {
            const QString folder = QString("%1.%2").arg(round).arg(i);
            revertItems.push_back({ { folder, 0, false }, "-Plan-  " + folder, folder });
            expectedReverts << "-Plan-  " + folder;
        }
        FillClientsMenu(clients, clientItems);
        FillRevertMenu(reverts, revertItems,
            [&chosen, round](const QString &folder) { chosen << QString::number(round) + ":" + folder; });

        ASSERT_EQ(Entries(clients), expectedClients) << "round " << round;
        ASSERT_EQ(Entries(reverts), expectedReverts) << "round " << round;
        EXPECT_EQ(clients.isEnabled(), users > 0);
        EXPECT_EQ(reverts.isEnabled(), versions > 0);
        // One radio group, holding just the entries shown.
        const auto groups = clients.findChildren<QActionGroup *>(Qt::FindDirectChildrenOnly);
        ASSERT_EQ(groups.size(), 1);
        EXPECT_EQ(groups.front()->actions().size(), users);

        chosen.clear();
        QStringList expectedChosen;
        for (int i = 0; i < versions; ++i) {
            reverts.actions()[i]->trigger();
            EXPECT_EQ(reverts.actions()[i]->toolTip(), revertItems[std::size_t(i)].hint);
            expectedChosen << QString::number(round) + ":" + revertItems[std::size_t(i)].file.filename;
        }
        EXPECT_EQ(chosen, expectedChosen) << "round " << round;
    }
}

} // namespace
