// The main window's commands of printing, the chart image, the evaluations, the
// archive and the about box.
#include "dialogs/export/SaveGraphicsDialog.h"
#include "dialogs/misc/ArchivDialog.h"
#include "dialogs/misc/SplashForm.h"
#include "dialogs/misc/UnarchiveDialog.h"
#include "dialogs/print/PrintListDialog.h"
#include "dialogs/print/PrintTimeChartDialog.h"
#include "dialogs/stats/ChartDialog.h"
#include "dialogs/stats/HolidayDialog.h"
#include "dialogs/stats/StatisticsDialog.h"
#include "dialogs/stats/UtilisationCommands.h"
#include "document/Document.h"
#include "document/commands/DocumentCommands.h"
#include "document/program/MessageDialog.h"
#include "document/program/Translation.h"
#include "document/program/Utils.h"
#include "document/sharing/DirWatch.h"
#include "mainwindow/DialogWindows.h"
#include "mainwindow/MainForm.h"
#include "timechart/TimeChart.h"

#include <QAction>
#include <QApplication>
#include <QDateEdit>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>

namespace {

// Shows a print dialog with the document's print settings and takes them back,
// whatever the user chose.
template <typename T> void ShowPrintDialog(T &dialog, TDocumentCommands &commands, TPrinterSetup &printer)
{
    TDocumentSettings &settings = commands.ViewSettings();
    printer.Device().SetDocumentFileName(commands.FileName());
    dialog.SetFileName(commands.FileName());
    dialog.LoadSettings(settings);
    dialog.exec();
    dialog.StoreSettings(settings);
}

} // namespace

TDialogWindows &TMainForm::DialogWindows()
{
    if (!FDialogWindows) {
        FDialogWindows = std::make_unique<TDialogWindows>();
        TQtPrinterDevice &device = FDialogWindows->Printer.Device();
        device.SetOnChooseFile([this](QString &fileName) { return ChoosePrintFile(fileName); });
        device.SetOnPrinted([this](const QString &text) { ShowWritten(text); });
    }
    return *FDialogWindows;
}

bool TMainForm::ChoosePrintFile(QString &fileName)
{
    if (fileName.isEmpty())
        fileName = ChangeFileExt(FCommands->Watcher().GetPossibleFileName(), QStringLiteral(".pdf"));
    fileName = StartingPlace(fileName);
    QWidget *parent = QApplication::activeModalWidget() ? QApplication::activeModalWidget() : this;
    if (!FFileDialogs->ChooseSavePdfName(parent, fileName) || fileName.isEmpty())
        return false;
    // An earlier printout of that name is the user's: it goes only when they say so.
    return !QFileInfo::exists(fileName)
        || MessageDlg(
               Translate(QStringLiteral("File %s already exists.\\nOverwrite this file?"), { fileName }),
               mtConfirmation, { mbOK, mbCancel })
        == mrOk;
}

void TMainForm::BuildPrintActions()
{
    connect(ActionPrintTimechart, &QAction::triggered, this, [this] { ActionPrintTimechartExecute(); });
    connect(ActionPrintList, &QAction::triggered, this, [this] { ActionPrintListExecute(); });
    ActionPrintTimechart->setVisible(true);
    ActionPrintList->setVisible(true);
    ActionPrinterSetup = NewAction(
        QStringLiteral("Printer setup..."), "ActionPrinterSetup", [this] { ActionPrinterSetupExecute(); });
    Grafikspeichern1 = NewAction(
        QStringLiteral("Save Graphic..."), "Grafikspeichern1", [this] { Grafikspeichern1Click(); });
    Auslastung1 = NewAction(QStringLiteral("Utilization..."), "Auslastung1", [this] { Auslastung1Click(); });
    Statistik1 = NewAction(QStringLiteral("Statistics..."), "Statistik1", [this] { Statistik1Click(); });
    ActionHolidayStatistic = NewAction(QStringLiteral("Absent Days..."), "ActionHolidayStatistic",
        [this] { ActionHolidayStatisticExecute(); });
    Auftrgearchivieren1 = NewAction(QStringLiteral("Tabelle archivieren..."), "Auftrgearchivieren1",
        [this] { Auftrgearchivieren1Click(); });
    Archivierungrckgngigmachen1 = NewAction(QStringLiteral("Archivierung rückgängig machen..."),
        "Archivierungrckgngigmachen1", [this] { Archivierungrckgngigmachen1Click(); });
    Info1 = NewAction(QStringLiteral("About..."), "Info1", [this] { Info1Click(); });
}

void TMainForm::PrintActionsUpdate()
{
    ActionHolidayStatistic->setEnabled(FDocument->GetTableRowCount(tbExclude) > 0);
    Auftrgearchivieren1->setEnabled(FDocument->GetTableRowCount(tbTable) > 0);
}

void TMainForm::ActionPrintTimechartExecute()
{
    TDialogWindows &windows = DialogWindows();
    TPrintTimeChartDialog &dialog = TDialogWindows::Made(windows.PrintTimeChartDialog, [&] {
        auto made = std::make_unique<TPrintTimeChartDialog>(*FTimeChart, windows.Printer.Device());
        made->SetOnPrinterSetup([this](QWidget *) { ActionPrinterSetupExecute(); });
        made->SetOnPrinting([this](bool on) { SetState(gsPrinting, on); });
        return made;
    });
    ShowPrintDialog(dialog, *FCommands, windows.Printer);
    FTimeChart->InvalidateTimeChart(true);
}

void TMainForm::ActionPrinterSetupExecute()
{
    TDialogWindows &windows = DialogWindows();
    windows.Printer.Device().SetDocumentFileName(FCommands->FileName());
    windows.Printer.Execute(QApplication::activeModalWidget() ? QApplication::activeModalWidget() : this);
}

void TMainForm::ActionPrintListExecute()
{
    TDialogWindows &windows = DialogWindows();
    TPrintListDialog &dialog = TDialogWindows::Made(windows.PrintListDialog, [&] {
        auto made = std::make_unique<TPrintListDialog>(*FDocument, windows.Printer.Device());
        made->SetOnPrinterSetup([this](QWidget *) { ActionPrinterSetupExecute(); });
        return made;
    });
    ShowPrintDialog(dialog, *FCommands, windows.Printer);
}

void TMainForm::Grafikspeichern1Click()
{
    TForm1 &form = TDialogWindows::Made(
        DialogWindows().Form1, [this] { return std::make_unique<TForm1>(*FTimeChart); });
    const QString written
        = ::Grafikspeichern1Click(form, FCommands->FileName(), [this](const QString &suggested) {
              // A document without a name yet offers the name it would be saved under.
              QString fileName = QFileInfo(suggested).completeBaseName().isEmpty()
                  ? ChangeFileExt(FCommands->Watcher().GetPossibleFileName(), QStringLiteral(".jpg"))
                  : suggested;
              fileName = StartingPlace(fileName);
              return FFileDialogs->ChooseSavePictureName(this, fileName) ? fileName : QString();
          });
    if (!written.isEmpty())
        ShowWritten(Translate(QStringLiteral("The image was written to %s."), { written }));
}

void TMainForm::Auslastung1Click()
{
    ::Auslastung1Click(*FDocument, *FTimeChart, DialogWindows().ChartDialog());
}

void TMainForm::UtilisationStatistics(int position, int column, const QString &caption)
{
    ::UtilisationStatistics(
        *FDocument, *FTimeChart, DialogWindows().ChartDialog(), position, column, caption);
}

void TMainForm::Utilisation1Click(int position, int column, const QString &caption)
{
    UtilisationStatistics(position, column, caption);
}

void TMainForm::NumericStatisticsClick(int column)
{
    ::NumericStatisticsClick(*FDocument, *FTimeChart, DialogWindows().ChartDialog(), column);
}

void TMainForm::Statistik1Click()
{
    TDialogWindows::Made(DialogWindows().StatisticsDialog, [this] {
        return std::make_unique<TStatisticsDialog>(*FDocument);
    }).exec();
}

void TMainForm::ActionHolidayStatisticExecute()
{
    THolidayDialog &dialog = TDialogWindows::Made(DialogWindows().HolidayDialog,
        [this] { return std::make_unique<THolidayDialog>(*FDocument, *FTimeChart); });
    dialog.RadioButton1()->setChecked(true);
    dialog.exec();
}

void TMainForm::Auftrgearchivieren1Click()
{
    TArchivDialog &dialog = TDialogWindows::Made(
        DialogWindows().ArchivDialog, [this] { return std::make_unique<TArchivDialog>(*FDocument); });
    dialog.SetRange(FTimeChart->MinDate(), FTimeChart->MaxDate());
    dialog.DateTimePicker1()->setDate(QDate::currentDate());
    dialog.SetDocumentFile(FCommands->FileName(), FDocument->Setup().FCompressedSave);
    // An unnamed document is named by its save: the archive lies beside it then.
    dialog.SetOnSave([this, &dialog] {
        const bool saved = FCommands->ActionSaveExecute();
        dialog.SetDocumentFile(FCommands->FileName(), FDocument->Setup().FCompressedSave);
        return saved;
    });
    dialog.exec();
}

void TMainForm::Archivierungrckgngigmachen1Click()
{
    TUnarchiveDialog &dialog = TDialogWindows::Made(
        DialogWindows().UnarchiveDialog, [this] { return std::make_unique<TUnarchiveDialog>(*FDocument); });
    dialog.SetOnStore([this] { return FCommands->Watcher().ForceStorePending(); });
    if (dialog.SetDocumentFile(FCommands->FileName(), FDocument->Setup().FCompressedSave))
        dialog.exec();
}

void TMainForm::Info1Click()
{
    TSplashForm &about
        = TDialogWindows::Made(DialogWindows().About, [] { return std::make_unique<TSplashForm>(); });
    about.SetMainForm(this);
    about.show();
}
