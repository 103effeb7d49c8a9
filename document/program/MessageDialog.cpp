#include "document/program/MessageDialog.h"

#include <QtGlobal>
#include <atomic>

namespace {

std::atomic<IMessageDialogs *> gDialogs { nullptr };

int escapeResult(TMsgDlgButtons buttons)
{
    TMsgDlgBtn button;
    return EscapeButtonOf(buttons, button) ? ModalResultOf(button) : mrCancel;
}

} // namespace

int ModalResultOf(TMsgDlgBtn Button)
{
    switch (Button) {
    case mbYes:
        return mrYes;
    case mbNo:
        return mrNo;
    case mbOK:
        return mrOk;
    case mbCancel:
        return mrCancel;
    case mbAbort:
        return mrAbort;
    case mbRetry:
        return mrRetry;
    case mbIgnore:
        return mrIgnore;
    case mbAll:
        return mrAll;
    case mbNoToAll:
        return mrNoToAll;
    case mbYesToAll:
        return mrYesToAll;
    case mbHelp:
        return mrNone;
    case mbClose:
        return mrClose;
    }
    return mrNone;
}

bool EscapeButtonOf(TMsgDlgButtons Buttons, TMsgDlgBtn &Button)
{
    for (TMsgDlgBtn b : { mbCancel, mbNo, mbOK }) {
        if (Buttons.contains(b)) {
            Button = b;
            return true;
        }
    }
    return false;
}

TMsgDlgBtn DefaultButtonOf(TMsgDlgButtons Buttons)
{
    if (Buttons.contains(mbOK))
        return mbOK;
    if (Buttons.contains(mbYes))
        return mbYes;
    return mbRetry;
}

IMessageDialogs *MessageDialogs()
{
    return gDialogs.load();
}

IMessageDialogs *SetMessageDialogs(IMessageDialogs *Dialogs)
{
    return gDialogs.exchange(Dialogs);
}

int MessageDlg(const QString &Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx)
{
    return MessageDlgPosHelp(Msg, DlgType, Buttons, HelpCtx, -1, -1, QString());
}

int MessageDlgPosHelp(const QString &Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx, int X,
    int Y, const QString &HelpFile)
{
    if (IMessageDialogs *dialogs = MessageDialogs())
        return dialogs->MessageDlgPosHelp(Msg, DlgType, Buttons, HelpCtx, X, Y, HelpFile);
    qWarning("Unanswered question: %s", qUtf8Printable(Msg));
    return escapeResult(Buttons);
}

int TScriptedMessageDialogs::MessageDlgPosHelp(
    const QString &Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx, int, int, const QString &)
{
    FQuestions.append({ Msg, DlgType, Buttons, HelpCtx });
    if (FAnswers.isEmpty()) {
        ++FUnexpected;
        return escapeResult(Buttons);
    }
    return FAnswers.takeFirst();
}
