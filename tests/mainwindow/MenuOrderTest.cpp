// Every menu of the main window as a user reads it after opening it by a click:
// the titles in order, each entry with its separators, greyed and checked
// entries marked. An entry that falls out of a menu, or lands in the wrong
// place, fails here.
#include "document/ChartRows.h"
#include "document/text/CommaText.h"
#include "tests/mainwindow/MainFormTestSupport.h"
#include "tests/mainwindow/MenuClicks.h"

#include <QMenuBar>

using namespace mainformtest;

namespace {

// A menu's entries: "-" for a separator, "&" of access keys removed, " >" after
// a submenu, " (grey)" after a disabled entry, " *" after a checked one.
QStringList Read(const QMenu &menu)
{
    QStringList entries;
    for (const QAction *item : menu.actions()) {
        if (!item->isVisible())
            continue;
        if (item->isSeparator()) {
            entries << "-";
            continue;
        }
        QString text = item->text();
        text.replace("&&", QString(QChar(1))).remove('&').replace(QChar(1), "&");
        entries << text + (item->menu() ? " >" : "") + (item->isEnabled() ? "" : " (grey)")
                + (item->isChecked() ? " *" : "");
    }
    return entries;
}

class MenuOrderTest : public MainFormTest { };

} // namespace

TEST_F(MenuOrderTest, EveryMenuHoldsItsEntriesInOrder)
{
    GeneratorOptions options;
    options.tasks = 20;
    options.absentRows = 3;
    options.positions = 3;
    OpenPlan("plan.kez", options);
    Probe(*form).Commands().SetSettleTime(std::chrono::milliseconds(0));

    QMenuBar &bar = *form->menuBar();
    QStringList titles;
    for (const QAction *item : bar.actions()) {
        if (item->isVisible())
            titles << item->text();
    }
    EXPECT_EQ(titles,
        QStringList({ "&File", "&Edit", "&View", "&Setup", "&Options", "E&valuation", "&Window", "&?" }));

    const auto opened = [&](QMenu *menu) {
        EXPECT_TRUE(OpenMenu(*form, *menu)) << menu->title().toStdString();
        const QStringList entries = Read(*menu);
        CloseMenus();
        return entries;
    };
    // The File menu fills its users from the sharing folder once it opened.
    ASSERT_TRUE(OpenMenu(*form, *Probe(*form).Menus().Datei));
    ASSERT_TRUE(QTest::qWaitFor([&] { return Probe(*form).Menus().Clients1->isEnabled(); }, 10000));
    CloseMenus();
    EXPECT_EQ(opened(Probe(*form).Menus().Datei),
        QStringList({ "New", "Open...", "Save (grey)", "Save As...", "Save File compressed", "-", "Clients >",
            "Revert > (grey)", "-", "Print Timechart...", "Print List...", "Printer setup...", "-",
            "Save Graphic...", "Excel Export", "Excel Import...", "-", "Recent Files >", "-", "Exit" }));

    const QString plan = Probe(*form).Commands().FileName();
    const QString site = form->findChild<QAction *>("WebSite1")->text();
    const std::vector<std::pair<QString, QStringList>> expected {
        { "&Edit",
            { "Undo (grey)", "Redo (grey)", "-", "Cut", "Copy", "Paste", "Select all", "-",
                // The plan's tasks overlap, marked as it opened.
                "Solve overlapping", "Solve overlapping in multi-row resources", "-", "Add Task",
                "Delete Selected Tasks (grey)", "-", "Goto Date...", "Sort >", "Optimal column width",
                "Filter >", "Statistics >", "Utilisation >" } },
        { "&View",
            { "Toolbar *", "General View *", "Table *", "Status Bar *", "Editor as Window", "-",
                "Timechart zoom (100 %) >", "Transparency for filtered Tasks (50 %) >", "Column width >", "-",
                "Lines between resources *", "Lines between multi-row resources *", "Hide empty resources",
                "Hide empty multi-row resources" } },
        { "&Setup",
            { "Edit Table \"Tasks\"...", "Edit Table \"Days absent\"...", "-", "Edit resources...",
                "Group resources...", "-", "Edit Holiday...", "-", "Language > (grey)" } },
        { "&Options",
            { "Scroll Timechart while moving Task (invert with shift) *", "natural scrolling",
                "Deny move items into the past", "Automatically arrange items",
                "Undo local changes only *" } },
        { "E&valuation",
            { "Utilization...", "Statistics...", "Absent Days...", "-", "Tabelle archivieren...",
                "Archivierung rückgängig machen... (grey)", "Archiv löschen (grey)" } },
        { "&Window", { "1 " + plan + " *" } },
        { "&?", { site, "-", "About..." } },
    };
    for (const auto &[title, entries] : expected) {
        QMenu *menu = nullptr;
        for (QAction *item : bar.actions()) {
            if (item->text() == title)
                menu = item->menu();
        }
        ASSERT_TRUE(menu) << title.toStdString();
        EXPECT_EQ(opened(menu), entries) << title.toStdString();
    }
}

// The popup menus of the tables, their header and the chart.
TEST_F(MenuOrderTest, ThePopupMenusHoldTheirEntriesInOrder)
{
    const auto entries = [](const QMenu *menu) {
        QStringList read;
        for (const QAction *item : menu->actions())
            read << (item->isSeparator() ? QString("-") : QString(item->text()).remove('&'));
        return read;
    };
    EXPECT_EQ(entries(Probe(*form).Menus().GridTreePopupMenu),
        QStringList({ "Cut", "Copy", "Paste", "-", "Add Task", "Delete Selected Tasks", "-", "Select all",
            "Optimal column width" }));
    EXPECT_EQ(entries(Probe(*form).Menus().GridTreeHeaderPopupMenu).size(), 4);
    EXPECT_EQ(entries(Probe(*form).Menus().GridTreeHeaderPopupMenu).last(), "Optimal column width");
    EXPECT_EQ(entries(Probe(*form).Menus().TimeChartPopupMenu).mid(2),
        QStringList({ "-", "Add Task", "Delete Selected Tasks" }));
}

// The Utilisation submenus enter their positions when they first open: then,
// and at every later opening, they hold each position of the plan once, after
// the entry for all of them.
TEST_F(MenuOrderTest, UtilisationSubmenusListThePositionsOnceOpened)
{
    GeneratorOptions options;
    options.tasks = 20;
    options.absentRows = 3;
    options.positions = 4;
    OpenPlan("plan.kez", options);
    QMenu &utilisation = *Probe(*form).Menus().Utilisation1;
    // The generated plan's first position takes two chart rows: it is listed once.
    const QStringList positions { "Machine 0", "Machine 1", "Machine 2", "Machine 3" };
    int submenus = 0;
    for (QAction *item : utilisation.actions()) {
        QMenu *sub = item->menu();
        if (!sub)
            continue;
        ++submenus;
        for (int round = 0; round < 2; ++round) {
            sub->popup(QPoint(0, 0));
            ASSERT_TRUE(QTest::qWaitFor([&] { return sub->isVisible(); }, 5000));
            CloseMenus();
            EXPECT_EQ(Entries(*sub), QStringList { sub->actions().front()->text() } + positions)
                << "round " << round;
        }
    }
    EXPECT_GT(submenus, 0);
}
