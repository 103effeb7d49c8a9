// The File menu's own entries: another instance of the program, saving
// compressed, the users working on the document, the saved versions to revert
// to, and the recently opened files.
#include "dialogs/menus/FlatMenuManager.h"
#include "document/Document.h"
#include "document/commands/DocumentCommands.h"
#include "document/program/Log.h"
#include "document/program/MessageDialog.h"
#include "document/program/Translation.h"
#include "document/sharing/DirWatch.h"
#include "document/sharing/UpdateMenuThread.h"
#include "mainwindow/MainForm.h"
#include "mainwindow/MenuFills.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QProcess>

void TMainForm::BuildFileMenu()
{
    FUpdateMenuItemsThread = std::make_unique<TUpdateMenuThread>();
    FStartProgram = [](const QString &program) { return QProcess::startDetached(program, {}); };

    // "New" of the File menu starts another instance; the tool bar's makes a new
    // document in this window.
    connect(Neu, &QAction::triggered, this, [this] { NeuClick(); });

    Dateikomprimiertspeichern1 = NewAction(QStringLiteral("Save File compressed"),
        "Dateikomprimiertspeichern1", [this] { Dateikomprimiertspeichern1Click(); });
    Dateikomprimiertspeichern1->setCheckable(true);
    Dateikomprimiertspeichern1->setChecked(true);

    Clients1 = new QMenu(Translate(QStringLiteral("Clients")), this);
    Clients1->setObjectName(QStringLiteral("Clients1"));
    Clients1->setEnabled(false);
    AlteFassung = new QMenu(Translate(QStringLiteral("&Revert")), this);
    AlteFassung->setObjectName(QStringLiteral("AlteFassung"));
    AlteFassung->menuAction()->setToolTip(Translate(QStringLiteral("Revert to last saved file")));
    AlteFassung->setToolTipsVisible(true);
    AlteFassung->setEnabled(false);
    zuletztgeffneteDateien1 = new QMenu(Translate(QStringLiteral("Recent Files")), this);
    zuletztgeffneteDateien1->setObjectName(QStringLiteral("zuletztgeffneteDateien1"));
    for (std::size_t i = 0; i < ActionLastFile.size(); ++i) {
        zuletztgeffneteDateien1->addAction(ActionLastFile[i]);
        connect(ActionLastFile[i], &QAction::triggered, this, [this, i] { ActionLastFileExecute(int(i)); });
    }
    UpdateLastFilesMenu();
}

void TMainForm::DateiClick()
{
    Dateikomprimiertspeichern1->setChecked(FDocument->Setup().FCompressedSave);
    // One scan at a time; the menu shows what it had until the scan is done.
    const TFileMenuScanSource source = FileMenuScanSource(FCommands->Watcher());
    FUpdateMenuItemsThread->Start(
        source, [this, sharingFolder = source.sharingFolder](const TFileMenuItems &items) {
            FillFileMenu(items, sharingFolder);
        });
}

void TMainForm::FillFileMenu(const TFileMenuItems &items, const QString &sharingFolder)
{
    FillClientsMenu(*Clients1, items.clients);
    FillRevertMenu(*AlteFassung, items.reverts, [this, sharingFolder](const QString &folder) {
        // Another document may be open by now: its folders are not these.
        if (!sharingFolder.isEmpty() && FCommands->Watcher().GetTmpDirectory() == sharingFolder)
            FCommands->RevertToFile(folder);
    });
    for (QMenu *menu : { Clients1, AlteFassung })
        TFlatMenuManager::ActivateMenuItem(menu->menuAction(), true);
}

void TMainForm::Dateikomprimiertspeichern1Click()
{
    FDocument->SetCompressedSave(Dateikomprimiertspeichern1->isChecked());
}

// ---------------------------------------------------------------- recent files

void TMainForm::AddToLastFiles(const QString &fileName)
{
    FProgramSettings.AddToLastFiles(fileName);
    UpdateLastFilesMenu();
}

void TMainForm::UpdateLastFilesMenu()
{
    const QStringList &files = FProgramSettings.LastFiles;
    for (int i = 0; i < int(ActionLastFile.size()); ++i) {
        QAction *item = ActionLastFile[std::size_t(i)];
        const bool used = i < files.size();
        item->setText(used ? QStringLiteral("%1. %2").arg(i + 1).arg(MenuItemText(files[i])) : QString());
        item->setData(used ? files[i] : QString());
        item->setVisible(used);
    }
    zuletztgeffneteDateien1->setEnabled(!files.isEmpty());
}

void TMainForm::ActionLastFileExecute(int index)
{
    const QString fileName = ActionLastFile[std::size_t(index)]->data().toString();
    if (!fileName.isEmpty())
        FCommands->Open(fileName);
}

// ---------------------------------------------------------------- another instance

void TMainForm::SetProgramStarter(std::function<bool(const QString &)> starter)
{
    if (starter)
        FStartProgram = std::move(starter);
}

void TMainForm::NeuClick()
{
    // The new instance reads the settings this one has now (its recent files).
    SaveIni();
    const QString program = QCoreApplication::applicationFilePath();
    if (!FStartProgram(program)) {
        Log(QStringLiteral("Could not start ") + program);
        MessageDlg(Translate(QStringLiteral("%s could not be started."), { program }), mtError, { mbOK });
    }
}
