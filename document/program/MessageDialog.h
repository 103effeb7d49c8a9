#pragma once

#include <QList>
#include <QString>
#include <initializer_list>

// The program's questions and notices. Every one goes through the current
// IMessageDialogs instance: the program installs the real dialog at start-up,
// tests install TScriptedMessageDialogs and queue the answers.

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

// In the order the buttons appear, left to right.
enum TMsgDlgBtn {
    mbYes,
    mbNo,
    mbOK,
    mbCancel,
    mbAbort,
    mbRetry,
    mbIgnore,
    mbAll,
    mbNoToAll,
    mbYesToAll,
    mbHelp,
    mbClose
};

class TMsgDlgButtons {
public:
    constexpr TMsgDlgButtons() = default;
    constexpr TMsgDlgButtons(std::initializer_list<TMsgDlgBtn> buttons)
    {
        for (TMsgDlgBtn b : buttons)
            FBits |= 1u << b;
    }
    constexpr bool contains(TMsgDlgBtn b) const { return (FBits >> b) & 1u; }
    constexpr bool operator==(const TMsgDlgButtons &) const = default;
    constexpr unsigned bits() const { return FBits; }

private:
    unsigned FBits = 0;
};

// Dialog results (the pressed button).
enum : int {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrAll = 8,
    mrNoToAll = 9,
    mrYesToAll = 10,
    mrClose = 11,
};

// The result of a button kind (mrNone for Help, which has none).
int ModalResultOf(TMsgDlgBtn Button);
// The button Escape presses: Cancel when chosen, else No, else OK when chosen;
// false when there is none, Escape then does nothing.
bool EscapeButtonOf(TMsgDlgButtons Buttons, TMsgDlgBtn &Button);
// The button Enter presses by default: OK when chosen, else Yes, else Retry.
TMsgDlgBtn DefaultButtonOf(TMsgDlgButtons Buttons);

class IMessageDialogs {
public:
    virtual ~IMessageDialogs() = default;
    // Shows Msg unchanged (callers translate it first) and returns the result of
    // the pressed button. X and Y place the dialog when not negative.
    virtual int MessageDlgPosHelp(const QString &Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons,
        int HelpCtx, int X, int Y, const QString &HelpFile)
        = 0;
};

// The process-wide instance. With none installed, every question is answered as if
// Escape were pressed (the cancel button's result, else mrCancel), so code running
// without a window never blocks and never takes the affirmative path unasked.
IMessageDialogs *MessageDialogs();
// Installs an instance (nullptr for none) and returns the previous one.
IMessageDialogs *SetMessageDialogs(IMessageDialogs *Dialogs);

int MessageDlg(const QString &Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx = 0);
int MessageDlgPosHelp(const QString &Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx, int X,
    int Y, const QString &HelpFile);

// Installs an instance for the guard's lifetime.
class ScopedMessageDialogs {
public:
    explicit ScopedMessageDialogs(IMessageDialogs *Dialogs)
        : FPrevious(SetMessageDialogs(Dialogs))
    { }
    ~ScopedMessageDialogs() { SetMessageDialogs(FPrevious); }
    ScopedMessageDialogs(const ScopedMessageDialogs &) = delete;
    ScopedMessageDialogs &operator=(const ScopedMessageDialogs &) = delete;

private:
    IMessageDialogs *FPrevious;
};

// For tests: records every question and answers from a queue. A question with
// an empty queue is answered as Escape would answer it and counted as unexpected.
class TScriptedMessageDialogs : public IMessageDialogs {
public:
    struct Question {
        QString Msg;
        TMsgDlgType DlgType = mtCustom;
        TMsgDlgButtons Buttons;
        int HelpCtx = 0;
    };

    void QueueAnswer(int Result) { FAnswers.append(Result); }
    const QList<Question> &Questions() const { return FQuestions; }
    int UnexpectedCount() const { return FUnexpected; }
    qsizetype PendingAnswers() const { return FAnswers.size(); }

    int MessageDlgPosHelp(const QString &Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx, int X,
        int Y, const QString &HelpFile) override;

private:
    QList<Question> FQuestions;
    QList<int> FAnswers;
    int FUnexpected = 0;
};
