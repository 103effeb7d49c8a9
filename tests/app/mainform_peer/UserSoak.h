#pragma once

#include "document/NodeEvents.h"
#include "document/program/MessageDialog.h"

#include <QFile>
#include <QObject>
#include <QPoint>
#include <QString>
#include <functional>
#include <random>
#include <vector>

class QMenu;
class TDocumentCommands;
class QWidget;
class TMainForm;

namespace usersoak {

// Writes every local change the document hands to sharing into the instance's
// edit log before passing it on, so a kill never hides a change that reached a
// file: "new ID TABLE", "change ID COLUMN VALUE" (value percent-encoded),
// "delete ID". A line "stored" says every change before it is on disk.
class TEditLog final : public IDiffSink {
public:
    explicit TEditLog(const QString &path);
    void SetTarget(IDiffSink *target) { FTarget = target; }
    // A cell's text as every instance reads it back (a date column holds dates
    // only: its texts travel and are stored as dates).
    void SetStoredForm(std::function<QString(TWhichTable, int, const QString &)> storedForm)
    {
        FStoredForm = std::move(storedForm);
    }
    void PushDiff(std::unique_ptr<TNodeEvent> event) override;
    void Note(const QString &line);
    // A change was logged since the last "stored".
    bool Unconfirmed() const { return FUnconfirmed; }
    void Stored();

private:
    QFile FFile;
    IDiffSink *FTarget = nullptr;
    std::function<QString(TWhichTable, int, const QString &)> FStoredForm;
    bool FUnconfirmed = false;
};

// The program's questions answered as a user who mostly goes on: Yes or OK most
// of the time, now and then No or Cancel.
class TUserAnswers final : public IMessageDialogs {
public:
    explicit TUserAnswers(std::mt19937 &rng)
        : FRng(rng)
    { }
    int MessageDlgPosHelp(
        const QString &Msg, TMsgDlgType, TMsgDlgButtons Buttons, int, int, int, const QString &) override;
    // At the end: every question gets the answer that keeps the data (Yes, OK).
    void SetKeepEverything(bool on) { FKeep = on; }

private:
    std::mt19937 &FRng;
    bool FKeep = false;
};

// A user at the real main window: random clicks, drags, keys and typing sent
// as events to the window's widgets, dialogs and menus answered as they come
// up, until the file "finish" appears in the control folder. Each move adds a
// byte to IDENTITY.moves, so the harness counts the work done rather than the
// time it took. Then everything is stored, the instance waits for the others,
// looks at the folder once more and writes its tables to IDENTITY.dump; its
// steps there and whatever holds it up go to stderr.
class TUserSoak {
public:
    TUserSoak(TMainForm &form, const QString &document, const QString &control, unsigned seed);
    ~TUserSoak();
    int Run();

private:
    // The user's moves.
    void ClickChart();
    void DragChart();
    void RightDragChart();
    void WheelChart();
    void ClickOverview();
    void ClickTable();
    void KeysInTable();
    void ClickHeader();
    void TypeInEditor();
    void PasteRows();
    void CopyAndPaste();
    void DeleteRows();
    void UndoRedo();
    void SwitchPage();
    void SwitchGroupTab();
    void Zoom();
    void Find();
    void Save();

    // What answers dialogs and menus while the user waits for them.
    void Answering();
    void AnswerOpenWindows();
    void AnswerMenu(QMenu &menu);
    void AnswerDialog(QWidget &dialog);
    // At the end: popups and dialogs are closed, never answered with a choice.
    void Dismiss(QWidget &window);

    QPoint RandomPointIn(const QWidget &widget);
    // A point on a bar of a task the chart shows, or a random one.
    QPoint PointOnChart(bool onBar, bool atEdge);
    QWidget &ChartPanel() const;
    void Key(QWidget &widget, int key, Qt::KeyboardModifiers modifiers = {});
    QWidget &Focused() const;
    // Runs the event loop (the idle work, sharing) for about `ms` milliseconds.
    void Turn(int ms);
    // Keeps the edit log between the document and whatever sharing watcher the
    // document commands put in place (a reload or a save makes a new one).
    void Tap();
    void NoteStoredWhenSafe();
    int Finish(int peers);
    bool StoreEverything(TDocumentCommands &commands);
    void Say(const QString &what) const;
    int Fail(const QString &what);

    TMainForm &FForm;
    const QString FDocument;
    const QString FControl;
    std::mt19937 FRng;
    const QString FMe;
    TEditLog FLog;
    QFile FMoves;
    TUserAnswers FAnswers;
    IMessageDialogs *FPreviousAnswers = nullptr;
    // Owns the timers that look for popups and dialogs to answer.
    QObject FAnswerContext;
    // The popups and dialogs being answered now: a choice in one may open
    // another (a tool button's menu) in a loop of its own, answered in turn.
    std::vector<QWidget *> FAnswered;
    bool FClosing = false;
    int FCount = 0;
};

} // namespace usersoak
