// The window menu: every running instance of the program with its document, the
// own one checked; choosing one brings it forward. The instances find each other
// through their local sockets (platform/instances).
#include "dialogs/menus/FlatMenuManager.h"
#include "document/program/Translation.h"
#include "mainwindow/MainForm.h"
#include "mainwindow/MenuFills.h"
#include "platform/instances/InstanceRegistry.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>

void TMainForm::BuildWindowList()
{
    Fenster1 = NewMenu(Translate(QStringLiteral("&Window")), "Fenster1", menuBar());
    FInstances = std::make_unique<platform::TInstanceRegistry>();
    FInstances->SetListChangedHandler([this] { LookupOtherKEZWindows(); });
    FInstances->SetBringForwardHandler([this] { BringToFront(); });
    // An instance that was killed told nobody: whoever opens the menu asks again.
    connect(Fenster1, &QMenu::aboutToShow, this, [this] { FInstances->Refresh(); });
}

void TMainForm::LookupOtherKEZWindows()
{
    FillWindowMenu(
        *Fenster1, FInstances->MenuEntries(), [this](const QString &server) { SelectOtherKEZClick(server); });
    TFlatMenuManager::ActivateMenuItem(Fenster1->menuAction(), true);
}

void TMainForm::SelectOtherKEZClick(const QString &server)
{
    // The check marks keep showing the own window, whatever was clicked.
    for (QAction *item : Fenster1->actions())
        item->setChecked(item->data().toString() == FInstances->ServerName());
    FInstances->Select(server);
}

bool TMainForm::ActivateOtherInstance(const QString &fileName)
{
    return FInstances && FInstances->ActivateOtherInstance(fileName);
}

void TMainForm::BringToFront()
{
    if (isMinimized())
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
    // Where the window system keeps the focus elsewhere, the user is told by a
    // blinking task-bar entry instead.
    if (!isActiveWindow())
        QApplication::alert(this);
}
