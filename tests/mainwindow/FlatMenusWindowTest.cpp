// The main window's menus in the flat look, as a planner opens them: from the
// menu bar, hovered, and the column menus that are rebuilt when a plan is opened.
// Colours from the pinned palette (see tests/dialogs/menus/PinnedMenuColors.h).
#include "dialogs/menus/FlatMenu.h"
#include "dialogs/setup/gui/RoleLabels.h"
#include "dialogs/setup/gui/SetupTableDialog.h"
#include "tests/dialogs/menus/MenuDriving.h"
#include "tests/dialogs/menus/PinnedMenuColors.h"
#include "tests/mainwindow/MainFormTestSupport.h"
#include "tests/support/ModalWindows.h"
#include "tests/support/PixelTest.h"

#include <QCalendarWidget>
#include <QContextMenuEvent>
#include <QDateEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QToolButton>

using namespace mainformtest;
using testsupport::PixelAt;
using testsupport::WhenModal;

namespace {

class FlatMenusWindowTest : public MainFormTest {
protected:
    QMenu *BarMenu(int index) const { return form->menuBar()->actions().at(index)->menu(); }

    void OpenFromBar(QMenu *menu) { menutest::OpenFromBar(form->menuBar(), menu); }

    // Opens `sub` from its item in the open menu `menu` with the arrow key.
    void OpenSubMenu(QMenu *menu, QMenu *sub)
    {
        menu->setActiveAction(sub->menuAction());
        QTest::keyClick(menu, Qt::Key_Right);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(sub));
        QCoreApplication::processEvents();
    }
};

// The items of a menu (and of its submenus) that are not drawn in the flat look.
QStringList OwnLookItems(const QMenu &menu)
{
    QStringList found;
    for (QAction *item : menu.actions()) {
        if (!TFlatMenu::DrawItemHandler(item) || !TFlatMenu::MeasureItemHandler(item))
            found << menu.objectName() + QLatin1Char('/') + item->text();
        if (item->menu())
            found << OwnLookItems(*item->menu());
    }
    return found;
}

GeneratorOptions Plan()
{
    GeneratorOptions options;
    options.tasks = 40;
    options.absentRows = 5;
    options.positions = 5;
    return options;
}

} // namespace

TEST_F(FlatMenusWindowTest, FileMenuOpensFlatWithItsBarEntrySelected)
{
    ShowForm();
    QMenu *file = BarMenu(0);
    ASSERT_EQ(file, Probe(*form).Menus().Datei);
    OpenFromBar(file);
    QAction *open = Probe(*form).Menus().ActionOpen;
    const QRect item = file->actionGeometry(open);
    const QImage image = menutest::Hover(file, open);
    // The hovered item: a select-coloured rectangle framed in highlight, leaving
    // the item's top row; the icon column beside the other items.
    EXPECT_EQ(PixelAt(image, item.left() + 60, item.center().y()), menutest::Select);
    EXPECT_EQ(PixelAt(image, item.left() + 60, item.top() + 1), menutest::Highlight);
    EXPECT_EQ(PixelAt(image, item.left() + 60, item.top()), menutest::Background);
    const QRect close = file->actionGeometry(Probe(*form).Menus().ActionClose);
    EXPECT_EQ(PixelAt(image, close.left() + 2, close.center().y()), menutest::IconBack);
    EXPECT_EQ(PixelAt(image, close.left() + 60, close.center().y()), menutest::Background);

    const QRect entry = form->menuBar()->actionGeometry(file->menuAction());
    const QImage bar = form->menuBar()->grab().toImage();
    EXPECT_EQ(PixelAt(bar, entry.left() + 2, entry.top() + 2), menutest::Select);
    EXPECT_EQ(PixelAt(bar, entry.right(), entry.bottom() - 1), RGB(230, 232, 230)); // shadow band 1
    testsupport::SavePng(menutest::WithOpenMenus(*form), QStringLiteral("main_window_file_menu"));
    file->hide();
}

TEST_F(FlatMenusWindowTest, ColumnMenusRebuiltForAPlanAreFlat)
{
    ASSERT_TRUE(form->Open(WritePlan("plan.kez", Plan())));
    ShowForm();
    IdleTick();
    QMenu *edit = BarMenu(1);
    ASSERT_TRUE(edit->actions().contains(Probe(*form).Menus().SortMenu->menuAction()));
    OpenFromBar(edit);
    OpenSubMenu(edit, Probe(*form).Menus().SortMenu);
    ASSERT_FALSE(Probe(*form).Menus().SortMenu->isEmpty());
    QAction *column = Probe(*form).Menus().SortMenu->actions().value(1);
    const QRect item = Probe(*form).Menus().SortMenu->actionGeometry(column);
    const QImage image = menutest::Hover(Probe(*form).Menus().SortMenu, column);
    EXPECT_EQ(PixelAt(image, item.left() + 60, item.center().y()), menutest::Select);
    EXPECT_EQ(PixelAt(image, item.left(), item.center().y()), menutest::Highlight); // frame
    // Every sort item is measured by the flat look: as high as the checked one.
    for (QAction *other : Probe(*form).Menus().SortMenu->actions())
        EXPECT_EQ(Probe(*form).Menus().SortMenu->actionGeometry(other).height(), item.height())
            << other->text().toStdString();
    testsupport::SavePng(menutest::WithOpenMenus(*form), QStringLiteral("main_window_sort_menu"));
    Probe(*form).Menus().SortMenu->hide();
    edit->hide();

    // The filter menu's items, with their images, after the next rebuild too.
    Probe(*form).PageControl1Change();
    for (QAction *filter : Probe(*form).Menus().FilterMenu->actions()) {
        if (!filter->isSeparator()) {
            EXPECT_NE(TFlatMenu::DrawItemHandler(filter), nullptr) << filter->text().toStdString();
        }
    }
}

// Every menu of the main window and of the table dialog, with the items put in at
// run time (the label popup is filled as it opens), opens in the flat look.
TEST_F(FlatMenusWindowTest, EveryMenuAndPopupIsFlat)
{
    ASSERT_TRUE(form->Open(WritePlan("plan.kez", Plan())));
    ShowForm();
    IdleTick();
    for (QMenu *menu : form->findChildren<QMenu *>()) {
        if (menu->parentWidget() && qobject_cast<QMenu *>(menu->parentWidget()))
            continue; // reached through its parent
        EXPECT_EQ(OwnLookItems(*menu), QStringList()) << menu->parentWidget()->objectName().toStdString();
    }

    QStringList labelPopup, listPopup;
    bool flatStyle = false;
    WhenModal<TSetupTableDialog>([&](TSetupTableDialog *dialog) {
        TRoleLabel *label = dialog->Label(cnTextLeftTop);
        ASSERT_TRUE(label);
        const QPoint at = label->rect().center();
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, label->mapToGlobal(at));
        QCoreApplication::sendEvent(label, &event);
        QMenu *popup = dialog->LabelPopupMenu();
        EXPECT_TRUE(popup->isVisible());
        EXPECT_GT(popup->actions().size(), 2);
        labelPopup = OwnLookItems(*popup);
        flatStyle
            = popup->style() == dialog->ListViewPopupMenu()->style() && popup->style() != dialog->style();
        popup->hide();
        listPopup = OwnLookItems(*dialog->ListViewPopupMenu());
        dialog->reject();
    });
    Action("Tabellebearbeiten1")->trigger();
    EXPECT_EQ(labelPopup, QStringList());
    EXPECT_EQ(listPopup, QStringList());
    EXPECT_TRUE(flatStyle);
}

// A date popup's month menu is made when the popup first opens, long after its
// dialog was shown: it takes the flat look all the same.
TEST_F(FlatMenusWindowTest, TheMonthMenuOfADialogsDatePopupIsFlat)
{
    ASSERT_TRUE(form->Open(WritePlan("plan.kez", Plan())));
    ShowForm();
    IdleTick();
    QStringList ownLook { "not reached" };
    bool flatStyle = false;
    WhenModal<QDialog>([&](QDialog *dialog) {
        QDateEdit *picker = dialog->findChild<QDateEdit *>();
        ASSERT_TRUE(picker);
        ASSERT_TRUE(picker->calendarPopup());
        // Alt+Down opens the popup as the arrow button does.
        picker->setFocus();
        QTest::keyClick(picker, Qt::Key_Down, Qt::AltModifier);
        QCalendarWidget *calendar = picker->calendarWidget();
        auto *month = calendar->findChild<QToolButton *>(QStringLiteral("qt_calendar_monthbutton"));
        ASSERT_TRUE(month && month->menu());
        month->menu()->ensurePolished();
        ownLook = OwnLookItems(*month->menu());
        flatStyle = month->menu()->style() == Probe(*form).Menus().SortMenu->style();
        if (QWidget *popup = calendar->window(); popup != dialog)
            popup->hide();
        dialog->reject();
    });
    Action("ActionGoto")->trigger();
    EXPECT_EQ(ownLook, QStringList());
    EXPECT_TRUE(flatStyle);
}
