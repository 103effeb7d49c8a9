#pragma once

#include <QStringList>
#include <memory>

class IMessageDialogs;
class TMainForm;
class TSplashForm;

// The program's start and end. Start makes everything in its fixed order; the
// destructor takes it down in the reverse order. The program, the screenshot
// tool and the tests start the same way.
class TProgram {
public:
    // The process-wide parts the windows rely on, made before them: the
    // language file, the user identity and the message dialogs (`dialogs`,
    // else the program's own).
    explicit TProgram(IMessageDialogs *dialogs = nullptr);
    ~TProgram();
    TProgram(const TProgram &) = delete;
    TProgram &operator=(const TProgram &) = delete;

    // The start-up in its order: locale and formats, the title, the splash
    // window, the windows, the program settings, the splash window's timer and
    // the main window, then the document given as the one argument, opened in
    // it (any other count of arguments is ignored; a failure to open it is
    // logged).
    void Start(const QStringList &arguments);
    // Runs the event loop until the main window closes.
    int Run();

    TMainForm &MainForm() const { return *FMainForm; }
    TSplashForm *SplashForm() const { return FSplashForm.get(); }

    // The steps of Start.
    static void InitializeLocale();
    static void ReadLanguage();
    void ShowSplash();
    void CreateWindows();
    void LoadIni();
    void StartSplashTimer();
    void OpenArguments(const QStringList &arguments);

private:
    std::unique_ptr<IMessageDialogs> FOwnDialogs;
    IMessageDialogs *FPreviousDialogs = nullptr;
    std::unique_ptr<TSplashForm> FSplashForm;
    std::unique_ptr<TMainForm> FMainForm;
};
