#include "app/program/Program.h"

#include "dialogs/misc/SplashForm.h"
#include "document/calendar/DateTime.h"
#include "document/gui/MessageForm.h"
#include "document/program/Identity.h"
#include "document/program/Settings.h"
#include "document/program/Translation.h"
#include "mainwindow/MainApplication.h"
#include "mainwindow/MainForm.h"
#include "resources/ProgramMark.h"

#include <QApplication>
#include <QLocale>
#include <exception>

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
    ReadLanguage();
    ShowSplash();
    CreateWindows();
    LoadIni();
    StartSplashTimer();
    // The window shows at once: a large plan opens inside it, with its progress.
    FMainForm->show();
    OpenArguments(arguments);
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

void TProgram::ReadLanguage()
{
    // The splash speaks the user's language from its first showing: the language
    // is read from the settings before the main window reads the rest of them.
    TProgramSettings settings;
    LoadIniFile(settings);
    const QString path = LanguageFilePath(StartLanguage(settings.Language));
    if (!path.isEmpty())
        SetLanguagefile(path);
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
    // The main window owns the program's other windows; those made at start-up
    // come right after it.
    FMainForm->MakeStartWindows();
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
