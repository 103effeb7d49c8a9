// A main window with a menu bar and menus as the program's main window has them,
// for the menu tests and the screenshot.
#pragma once

#include "dialogs/menus/FlatMenu.h"
#include "tests/dialogs/menus/MenuDriving.h"
#include "tests/support/PixelTest.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QTest>

namespace menutest {

// A 16 x 16 icon: a filled square in `color` with a one-pixel transparent margin.
inline QIcon SquareIcon(TColor color)
{
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter(&image).fillRect(1, 1, 14, 14, ToQColor(color));
    return QIcon(QPixmap::fromImage(image));
}

struct TTestWindow {
    QMainWindow Window;
    QMenu *File = nullptr;
    QMenu *Edit = nullptr;
    QMenu *Recent = nullptr;
    QAction *Open = nullptr;
    QAction *Save = nullptr;
    QAction *Checked = nullptr;
    QAction *Disabled = nullptr;
    QAction *Radio1 = nullptr;
    QAction *Radio2 = nullptr;
    QAction *Exit = nullptr;

    TTestWindow()
    {
        Window.setFont(QFont(QString::fromLatin1(testsupport::TestFontFamily), 8));
        File = Window.menuBar()->addMenu(QStringLiteral("&File"));
        Open = File->addAction(SquareIcon(clNavy), QStringLiteral("&Open..."));
        Open->setShortcut(QKeySequence(QStringLiteral("Ctrl+O")));
        Save = File->addAction(SquareIcon(clGreen), QStringLiteral("&Save"));
        Save->setShortcut(QKeySequence(QStringLiteral("Ctrl+S")));
        File->addSeparator();
        Checked = File->addAction(QStringLiteral("Show &grid"));
        Checked->setCheckable(true);
        Checked->setChecked(true);
        Disabled = File->addAction(SquareIcon(clMaroon), QStringLiteral("&Revert"));
        Disabled->setEnabled(false);
        auto *group = new QActionGroup(File);
        Radio1 = File->addAction(QStringLiteral("&Days"));
        Radio2 = File->addAction(QStringLiteral("&Hours"));
        for (QAction *radio : { Radio1, Radio2 }) {
            radio->setCheckable(true);
            group->addAction(radio);
        }
        Radio1->setChecked(true);
        Recent = File->addMenu(QStringLiteral("Recent &files"));
        Recent->addAction(QStringLiteral("1 plan.kez"));
        Recent->addAction(QStringLiteral("2 workshop.kez"));
        File->addSeparator();
        Exit = File->addAction(QStringLiteral("E&xit"));
        File->setDefaultAction(Exit);
        Edit = Window.menuBar()->addMenu(QStringLiteral("&Edit"));
        Edit->addAction(QStringLiteral("&Undo"));
        Window.menuBar()->addMenu(QStringLiteral("&View"))->addAction(QStringLiteral("&Zoom"));
        Window.menuBar()->addMenu(QStringLiteral("&Help"))->addAction(QStringLiteral("&About"));
        Window.setCentralWidget(new QWidget);
        Window.resize(360, 300);
        Window.move(0, 0);
    }

    // The flat look with the main window's settings, as the program starts it.
    TFlatMenu *MakeFlatMenu()
    {
        auto *flat = new TFlatMenu(&Window);
        flat->UseMainWindowSettings();
        flat->Loaded();
        flat->ForceComponent(Window.menuBar());
        return flat;
    }

    void Show()
    {
        Window.show();
        (void)QTest::qWaitForWindowExposed(&Window);
    }

    void OpenFromBar(QMenu *menu) { menutest::OpenFromBar(Window.menuBar(), menu); }
};

} // namespace menutest
