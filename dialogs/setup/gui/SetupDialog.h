#pragma once

#include "dialogs/setup/SetupState.h"

#include <QDialog>
#include <functional>

// What OK of a setup dialog does with the setup state: applies it (true when
// the dialog may close). `nested`: the positions dialog was opened from the
// table dialog, whose own OK applies both.
using TSetupOk = std::function<bool(TSetupSection section, bool nested)>;

// A setup dialog: it shows its section of the setup state that the last menu
// command filled, edits a copy of it, and on OK hands the copy back, marked as
// shown, to be applied. Cancel leaves the state as it was.
class TSetupDialog : public QDialog {
    Q_OBJECT

public:
    TSetupDialog(TSetupState &state, TSetupOk ok, TSetupSection section, QWidget *parent = nullptr);

    TSetupState &State() const { return FState; }
    // The dialog was shown since the state was filled, and its contents taken
    // by an OK.
    bool WasActive() const { return FState.WasActive(FSection); }

protected:
    // The dialog's section is shown anew each time the dialog is shown (not
    // when a dialog it opened closes).
    void showEvent(QShowEvent *event) override;
    virtual void FormActivate() = 0;
    // The dialog's copy of its section goes into the state.
    virtual void StoreSection() = 0;
    // Why the dialog's contents cannot work (a message naming the field), or
    // empty. OK shows the message and changes nothing.
    virtual QString Refusal() { return {}; }
    // The OK button: the section is stored and applied; the dialog closes when
    // that succeeded.
    void OkClick();
    void SetNested(bool nested) { FNested = nested; }
    // A size designed for the program's font at 96 dpi, grown by as much as the
    // dialog's font is larger (a 144 dpi screen, a larger font chosen).
    QSize FontScaled(QSize designed) const;

private:
    TSetupState &FState;
    TSetupOk FOk;
    TSetupSection FSection;
    bool FNested = false;
    QSize FDesignedSize; // the size the constructor gave, taken at the first showing
};
