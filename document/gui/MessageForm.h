#pragma once

#include "document/program/MessageDialog.h"

#include <QDialog>
#include <QList>

class QPushButton;

// The program's own message dialog: icon, word-wrapped message, one button per
// chosen kind. Enter presses the default button, Escape the cancel button (none:
// Escape does nothing), closing the window gives mrCancel, Ctrl+C copies the
// dialog's text. There is no help system, so a Help button is never shown.
class TMessageForm : public QDialog {
    Q_OBJECT
public:
    TMessageForm(const QString &Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, QWidget *Parent = nullptr);

    // The text Ctrl+C puts on the clipboard.
    QString GetFormText() const;
    QPushButton *Button(TMsgDlgBtn Kind) const;
    QPushButton *DefaultButton() const { return FDefault; }
    QPushButton *CancelButton() const { return FCancel; }

    void reject() override;

protected:
    void keyPressEvent(QKeyEvent *Event) override;

private:
    QString FMessage;
    QList<QPushButton *> FButtons; // shown buttons, left to right
    QPushButton *FDefault = nullptr;
    QPushButton *FCancel = nullptr;
};

// Builds the dialog (not shown); the caller owns it.
TMessageForm *CreateMessageDialog(const QString &Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons);

// The real dialogs: shows a TMessageForm modally. Installed by the program at start.
class TMessageFormDialogs : public IMessageDialogs {
public:
    int MessageDlgPosHelp(const QString &Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx, int X,
        int Y, const QString &HelpFile) override;
};
