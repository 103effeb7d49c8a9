#include "app/program/Program.h"

#include "dialogs/misc/GotoDialog.h"
#include "dialogs/misc/NewEntryDialog.h"
#include "dialogs/misc/ReorderEntriesDialog.h"
#include "dialogs/misc/SplashForm.h"
#include "dialogs/stats/ChartDialog.h"
#include "document/calendar/DateTime.h"
#include "document/gui/MessageForm.h"
#include "document/program/Identity.h"
#include "document/program/Translation.h"
#include "mainwindow/MainApplication.h"
#include "mainwindow/MainForm.h"
#include "mainwindow/controls/ColorPickerPopup.h"
#include "mainwindow/controls/DateTimePopup.h"
#include "resources/ProgramMark.h"

#include <QApplication>
#include <QLocale>
#include <exception>

namespace {

template <typename T> std::unique_ptr<QWidget> Make()
{
    return std::make_unique<T>();
}

} // namespace

const std::vector<TProgram::TWindowMaker> &TProgram::WindowMakers()
{
    // After the main window: the editor window, the filter popup and the three
    // setup dialogs, the chart printing dialog come here with their parts.
    static const std::vector<TWindowMaker> makers {
        Make<TChartDialog>,
        // The time editing dialog.
        Make<TDateTimePopup>,
        // The list printing, column, statistics and archive dialogs.
        Make<TGotoDialog>, Make<TColorPickerPopup>, Make<TNewEntryDialog>, Make<TReorderEntriesDialog>,
        // The holiday, absence reason and save-graphic dialogs.
    };
    return makers;
}

TProgram::TProgram(IMessageDialogs *dialogs)
{
    SetLanguagefile(QString());
    UserIdentity();
    if (!dialogs) {
        FOwnDialogs = std::make_unique<TMessageFormDialogs>();
        dialogs = FOwnDialogs.get();
    }
    FPreviousDialogs = SetMessageDialogs(dialogs);
}

TProgram::~TProgram()
{
    FMainForm.reset();
    FSplashForm.reset();
    SetMessageDialogs(FPreviousDialogs);
    CloseFile();
}

void TProgram::Start(const QStringList &arguments)
{
    InitializeLocale();
    QApplication::setApplicationName(QStringLiteral("Zeltrano"));
    // Every window of the program shows its mark (the task bar and the window
    // switcher take it from there).
    QApplication::setWindowIcon(ProgramIcon());
    ShowSplash();
    CreateWindows();
    LoadIni();
    StartSplashTimer();
    OpenArguments(arguments);
    FMainForm->show();
}

int TProgram::Run()
{
    return QApplication::exec();
}

void TProgram::InitializeLocale()
{
    QLocale::setDefault(QLocale::system());
    InitFormatSettingsFromLocale();
}

void TProgram::ShowSplash()
{
    FSplashForm = std::make_unique<TSplashForm>();
    FSplashForm->FormCreate();
}

void TProgram::CreateWindows()
{
    FMainForm = std::make_unique<TMainForm>();
    if (FSplashForm)
        FSplashForm->SetMainForm(FMainForm.get());
    for (const TWindowMaker &make : WindowMakers())
        FMainForm->AddWindow(make());
}

void TProgram::LoadIni()
{
    FMainForm->LoadIni();
}

void TProgram::StartSplashTimer()
{
    if (FSplashForm)
        FSplashForm->StartTimer();
}

void TProgram::OpenArguments(const QStringList &arguments)
{
    if (arguments.size() != 1)
        return;
    try {
        FMainForm->Open(arguments.front());
    } catch (const std::exception &e) {
        TMainApplication::ApplicationEvents1Exception(QString::fromLocal8Bit(e.what()));
    }
}
