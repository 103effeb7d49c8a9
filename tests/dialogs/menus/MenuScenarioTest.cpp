// The main window's menus as a user meets them: opened from the bar, hovered, with
// items added while the program runs. Pixels are read from the menus' own paint.
#include "tests/dialogs/menus/MenuTestWindow.h"
#include "tests/dialogs/menus/PinnedMenuColors.h"

#include <QFontMetrics>
#include <cmath>
#include <gtest/gtest.h>

using testsupport::PixelAt;

using namespace menutest;

TEST(MenuScenario, OpenedMenuShowsFlatItemsAndFollowsTheMouse)
{
    menutest::TTestWindow w;
    w.MakeFlatMenu();
    w.Show();
    w.OpenFromBar(w.File);
    ASSERT_TRUE(w.File->isVisible());
    ASSERT_EQ(w.File->style(), w.Window.menuBar()->style());

    const QRect open = w.File->actionGeometry(w.Open), save = w.File->actionGeometry(w.Save);
    EXPECT_EQ(open.left(), MenuFrameWidth);
    EXPECT_EQ(open.top(), MenuFrameWidth);
    QImage image = Hover(w.File, w.Save);
    EXPECT_EQ(PixelAt(image, save.left() + 100, save.center().y()), Select);
    EXPECT_EQ(PixelAt(image, save.left() + 100, save.top() + 1), Highlight);
    EXPECT_EQ(PixelAt(image, save.left() + 100, save.top()), Background);
    EXPECT_EQ(PixelAt(image, open.left() + 100, open.center().y()), Background);
    EXPECT_EQ(PixelAt(image, open.left() + 22, open.center().y()), IconBack);

    image = Hover(w.File, w.Open);
    EXPECT_EQ(PixelAt(image, open.left() + 100, open.center().y()), Select);
    EXPECT_EQ(PixelAt(image, save.left() + 100, save.center().y()), Background);

    // The bar entry of the opened menu has its shadow bands.
    const QRect entry = w.Window.menuBar()->actionGeometry(w.File->menuAction());
    const QImage bar = w.Window.menuBar()->grab().toImage();
    EXPECT_EQ(PixelAt(bar, entry.left() + 1, entry.top() + 1), Select);
    EXPECT_EQ(PixelAt(bar, entry.right() - 7, entry.bottom() - 1), Highlight);
    EXPECT_EQ(PixelAt(bar, entry.right(), entry.bottom() - 1), RGB(230, 232, 230));
    w.File->hide();
}

TEST(MenuScenario, ItemsAreMeasuredByTheComponent)
{
    menutest::TTestWindow w;
    TFlatMenu *flat = w.MakeFlatMenu();
    w.Show();
    w.OpenFromBar(w.File);
    const QFontMetrics metrics(flat->Font());
    const int textHeight = metrics.height();
    // Text height and three quarters of it, at least the image's height and 6.
    EXPECT_EQ(
        w.File->actionGeometry(w.Checked).height(), textHeight + int(std::nearbyint(0.75 * textHeight)));
    EXPECT_EQ(w.File->actionGeometry(w.Open).height(),
        std::max(16 + 6, textHeight + int(std::nearbyint(0.75 * textHeight))));
    EXPECT_EQ(w.File->actionGeometry(w.File->actions().at(2)).height(), 4); // the separator
    // Every item as wide as the widest: caption, shortcut and "WWW" with 5 pixels,
    // less one "&", plus the icon column and the platform's check-mark room.
    const int open = metrics.horizontalAdvance(QStringLiteral("&Open...Ctrl+OWWW")) + 5
        - metrics.horizontalAdvance(QLatin1Char('&')) + 24 + MenuCheckMarkWidth;
    const int recent = metrics.horizontalAdvance(QStringLiteral("Recent &files")) + 5
        - metrics.horizontalAdvance(QLatin1Char('&')) + 6 + 24 + MenuCheckMarkWidth;
    EXPECT_EQ(w.File->actionGeometry(w.Save).width(), std::max(open, recent));
    EXPECT_EQ(w.File->width(), std::max(open, recent) + 2 * MenuFrameWidth);
    w.File->hide();
}

TEST(MenuScenario, BarEntryUnderTheMouseIsHotOnlyOnNtSystems)
{
    for (const bool nt : { true, false }) {
        menutest::TTestWindow w;
        TFlatMenu *flat = w.MakeFlatMenu();
        flat->SetIsWNT(nt);
        w.Show();
        QMenuBar *bar = w.Window.menuBar();
        const QRect entry = bar->actionGeometry(w.Edit->menuAction());
        QTest::mouseMove(bar, QPoint(bar->width() - 2, 2));
        QTest::mouseMove(bar, entry.center());
        QApplication::processEvents();
        const QImage image = bar->grab().toImage();
        // Hot: a rectangle that stops 7 pixels before the entry's right edge.
        EXPECT_EQ(PixelAt(image, entry.left(), entry.top() + 1), nt ? Highlight : BarColor) << nt;
        EXPECT_EQ(PixelAt(image, entry.left() + 1, entry.top() + 1), nt ? Select : BarColor) << nt;
        EXPECT_EQ(PixelAt(image, entry.right() - 7, entry.top() + 1), nt ? Highlight : BarColor) << nt;
        EXPECT_EQ(PixelAt(image, entry.right() - 6, entry.top() + 1), BarColor) << nt;
    }
}

TEST(MenuScenario, ItemTaggedToKeepItsLookIsLeftToTheBaseStyle)
{
    menutest::TTestWindow w;
    SetTag(w.Save, TagKeepOwnLook);
    TFlatMenu *flat = w.MakeFlatMenu();
    EXPECT_EQ(TFlatMenu::DrawItemHandler(w.Save), nullptr);
    EXPECT_EQ(TFlatMenu::DrawItemHandler(w.Open), flat);
    w.Show();
    w.OpenFromBar(w.File);
    const QRect save = w.File->actionGeometry(w.Save);
    const QImage image = Hover(w.File, w.Save);
    EXPECT_NE(PixelAt(image, save.left() + 100, save.center().y()), Select);
    EXPECT_NE(PixelAt(image, save.left() + 100, save.top() + 1), Highlight);
    w.File->hide();
}

TEST(MenuScenario, ItemsWithPaintingOfTheirOwnKeepItUnlessOverridden)
{
    menutest::TTestWindow w;
    QObject ownPainter;
    w.Save->setProperty("OnDrawItem", QVariant::fromValue<QObject *>(&ownPainter));
    auto *flat = new TFlatMenu(&w.Window);
    flat->UseMainWindowSettings();
    flat->SetOverrideOwnerDraw(false);
    flat->ForceComponent(w.Window.menuBar());
    EXPECT_EQ(w.Save->property("OnDrawItem").value<QObject *>(), &ownPainter);
    EXPECT_EQ(TFlatMenu::MeasureItemHandler(w.Save), flat);
    flat->SetOverrideOwnerDraw(true);
    flat->ForceComponent(w.Window.menuBar());
    EXPECT_EQ(TFlatMenu::DrawItemHandler(w.Save), flat);
    // Unhooking clears only the component's own handlers.
    w.Open->setProperty("OnDrawItem", QVariant::fromValue<QObject *>(&ownPainter));
    flat->InitItem(w.Window.menuBar(), false, true);
    EXPECT_EQ(TFlatMenu::DrawItemHandler(w.Save), nullptr);
    EXPECT_EQ(w.Open->property("OnDrawItem").value<QObject *>(), &ownPainter);
}

// An item put into a hooked menu at run time takes the flat look at once (a menu
// filled as it opens); activating it as well changes nothing.
TEST(MenuScenario, ItemAddedAtRunTimeIsFlat)
{
    menutest::TTestWindow w;
    TFlatMenu *flat = w.MakeFlatMenu();
    w.Show();
    QAction *added = w.Recent->addAction(QStringLiteral("3 added.kez"));
    w.Recent->popup(QPoint(100, 100));
    (void)QTest::qWaitForWindowExposed(w.Recent);
    QRect item = w.Recent->actionGeometry(added);
    QImage image = Hover(w.Recent, added);
    EXPECT_EQ(PixelAt(image, item.left() + 60, item.center().y()), Select);
    EXPECT_EQ(item.height(), w.Recent->actionGeometry(w.Recent->actions().at(0)).height());

    flat->ActivateMenuItem(added, false);
    QApplication::processEvents();
    item = w.Recent->actionGeometry(added);
    image = Hover(w.Recent, added);
    EXPECT_EQ(PixelAt(image, item.left() + 60, item.center().y()), Select);
    EXPECT_EQ(item.height(), w.Recent->actionGeometry(w.Recent->actions().at(0)).height());
    w.Recent->hide();
}

TEST(MenuScenario, ChangedColourPropertyRepaintsWithTheNewColour)
{
    menutest::TTestWindow w;
    TFlatMenu *flat = w.MakeFlatMenu();
    w.Show();
    w.OpenFromBar(w.File);
    const QRect save = w.File->actionGeometry(w.Save);
    EXPECT_EQ(PixelAt(Hover(w.File, w.Save), save.left() + 100, save.center().y()), Select);
    flat->SetUseSystemColors(false);
    flat->SetSelectColor(clYellow);
    flat->SetSelectBorderColor(clRed);
    const QImage image = w.File->grab().toImage();
    EXPECT_EQ(PixelAt(image, save.left() + 100, save.center().y()), clYellow);
    EXPECT_EQ(PixelAt(image, save.left() + 100, save.top() + 1), clRed);
    w.File->hide();
}

TEST(MenuScenario, FlatBorderCutsTheMenuWindowsCorners)
{
    menutest::TTestWindow w;
    TFlatMenu *flat = w.MakeFlatMenu();
    flat->SetFlatMenu(true);
    w.Show();
    w.OpenFromBar(w.File);
    const QRegion mask = w.File->mask();
    const int right = w.File->width() - 1, bottom = w.File->height() - 1;
    EXPECT_FALSE(mask.contains(QPoint(right, 0)));
    EXPECT_FALSE(mask.contains(QPoint(0, bottom)));
    EXPECT_TRUE(mask.contains(QPoint(right, 2)));
    EXPECT_TRUE(mask.contains(QPoint(right, bottom)));
    const QImage image = w.File->grab().toImage();
    EXPECT_EQ(PixelAt(image, 0, 10), MenuBorder);
    EXPECT_EQ(PixelAt(image, 1, 10), IconBack);
    EXPECT_EQ(PixelAt(image, right, 10), MenuShadow);
    w.File->hide();

    // Turning the component off gives the menus their own look back.
    flat->SetActive(false);
    EXPECT_NE(w.File->style(), flat->Style());
    EXPECT_TRUE(w.File->mask().isEmpty());
    EXPECT_EQ(TFlatMenu::DrawItemHandler(w.Open), nullptr);
}

TEST(MenuScenario, WindowsShownLaterAreHookedUnlessTagged)
{
    menutest::TTestWindow first;
    first.MakeFlatMenu();
    first.Show();
    menutest::TTestWindow later;
    menutest::TTestWindow tagged;
    SetTag(&tagged.Window, TagKeepOwnLook);
    later.Show();
    tagged.Show();
    EXPECT_NE(TFlatMenu::DrawItemHandler(later.Open), nullptr);
    EXPECT_EQ(later.File->style(), first.File->style());
    EXPECT_EQ(TFlatMenu::DrawItemHandler(tagged.Open), nullptr);
}

TEST(MenuScreenshot, MainWindowWithOpenMenu)
{
    menutest::TTestWindow w;
    w.MakeFlatMenu();
    w.Show();
    w.OpenFromBar(w.File);
    Hover(w.File, w.Save);
    const QString path = testsupport::SavePng(WithOpenMenus(w.Window), QStringLiteral("menus_main_window"));
    EXPECT_FALSE(path.isEmpty());
    w.File->hide();
}
