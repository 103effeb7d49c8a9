// The main window's setup commands: each fills the setup dialogs from the
// document and shows its dialog; the dialog's OK applies the setup.
#include "dialogs/setup/gui/DefineHolidayDialog.h"
#include "dialogs/setup/gui/OrganizePositionsDialog.h"
#include "dialogs/setup/gui/SetupAbsentDaysDialog.h"
#include "dialogs/setup/gui/SetupPositionsDialog.h"
#include "dialogs/setup/gui/SetupTableDialog.h"
#include "document/program/Translation.h"
#include "mainwindow/MainForm.h"
#include "mainwindow/SetupWindows.h"
#include "tables/TaskTables.h"
#include "timechart/TimeChart.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

TSetupWindows::TSetupWindows(Document &doc, TDocumentCommands &commands, TTimeChart &chart,
    TTaskTables &tables, IDocumentCommandsHost &columnsHost)
    : FChart(chart)
    , FTables(tables)
    , FColumnsHost(columnsHost)
    , FTransfer(doc, this, &commands)
    , FDialogs(FTransfer)
{ }

TChartViewPoint TSetupWindows::ChartView() const
{
    return { FChart.TimeChartStart(), FChart.TimeChartTop() };
}

void TSetupWindows::SetChartDestination(const TChartViewPoint &view)
{
    FChart.SetTimeChartDestination(view.start, view.top, false);
}

void TSetupWindows::ColumnsRelaid(TWhichTable table, const std::vector<int> &origin)
{
    FTables.ColumnsRelaid(table, origin);
    FColumnsHost.AutoFitColumns();
}

TSetupWindows &TMainForm::SetupWindows()
{
    if (!FSetupWindows)
        FSetupWindows = std::make_unique<TSetupWindows>(*FDocument, *FCommands, *FTimeChart, *FTables, *this);
    return *FSetupWindows;
}

void TMainForm::BuildSetupActions()
{
    Tabellebearbeiten1 = NewAction(QStringLiteral("Edit Table \"Tasks\"..."), "Tabellebearbeiten1",
        [this] { Tabellebearbeiten1Click(); });
    Fehltagebearbeiten1 = NewAction(QStringLiteral("Edit Table \"Days absent\"..."), "Fehltagebearbeiten1",
        [this] { Fehltagebearbeiten1Click(); });
    ositionengruppieren1 = NewAction(QStringLiteral("Group resources..."), "ositionengruppieren1",
        [this] { ositionengruppieren1Click(); });
    Arbeitspltzebearbeiten1 = NewAction(QStringLiteral("Edit resources..."), "Arbeitspltzebearbeiten1",
        [this] { Arbeitspltzebearbeiten1Click(); });
    EditHoliday1
        = NewAction(QStringLiteral("Edit Holiday..."), "EditHoliday1", [this] { EditHoliday1Click(); });
}

void TMainForm::MainFormToSetupDialog()
{
    SetupWindows().Dialogs().MainFormToSetupDialog();
}

void TMainForm::SetupDialogToMainForm()
{
    TSetupWindows &windows = SetupWindows();
    windows.Transfer().SetupDialogToMainForm(windows.Dialogs().State());
}

namespace {

// Every setup command fills the dialogs from the document, then shows its own.
template <class Dialog> void ShowSetupDialog(TSetupWindows &windows, Dialog &(TSetupDialogs::*dialog)() const)
{
    windows.Dialogs().MainFormToSetupDialog();
    (windows.Dialogs().*dialog)().exec();
}

} // namespace

void TMainForm::Tabellebearbeiten1Click()
{
    ShowSetupDialog(SetupWindows(), &TSetupDialogs::SetupTableDialog);
}

void TMainForm::Fehltagebearbeiten1Click()
{
    ShowSetupDialog(SetupWindows(), &TSetupDialogs::SetupAbsentDaysDialog);
}

void TMainForm::ositionengruppieren1Click()
{
    ShowSetupDialog(SetupWindows(), &TSetupDialogs::OrganizePositionsDialog);
}

void TMainForm::Arbeitspltzebearbeiten1Click()
{
    ShowSetupDialog(SetupWindows(), &TSetupDialogs::SetupPositionsDialog);
}

void TMainForm::EditHoliday1Click()
{
    ShowSetupDialog(SetupWindows(), &TSetupDialogs::DefineHolidayDialog);
}
