#pragma once

#include "dialogs/setup/SetupState.h"

#include <memory>

class TDefineHolidayDialog;
class TOrganizePositionsDialog;
class TSetupAbsentDaysDialog;
class TSetupPositionsDialog;
class TSetupTableDialog;
class TSetupTransfer;

// The five setup dialogs of a document, made once, over one setup state: each
// setup command fills the state from the document (MainFormToSetupDialog) and
// shows its dialog; OK in a dialog applies what was shown through the transfer.
// The table dialog's column dialog opens the positions dialog from within.
// The dialogs are windows of their own, modal while shown.
class TSetupDialogs {
public:
    explicit TSetupDialogs(TSetupTransfer &transfer);
    ~TSetupDialogs();
    TSetupDialogs(const TSetupDialogs &) = delete;
    TSetupDialogs &operator=(const TSetupDialogs &) = delete;

    void MainFormToSetupDialog();
    TSetupState &State() { return FState; }

    TSetupTableDialog &SetupTableDialog() const { return *FSetupTableDialog; }
    TSetupPositionsDialog &SetupPositionsDialog() const { return *FSetupPositionsDialog; }
    TOrganizePositionsDialog &OrganizePositionsDialog() const { return *FOrganizePositionsDialog; }
    TDefineHolidayDialog &DefineHolidayDialog() const { return *FDefineHolidayDialog; }
    TSetupAbsentDaysDialog &SetupAbsentDaysDialog() const { return *FSetupAbsentDaysDialog; }

private:
    TSetupTransfer &FTransfer;
    TSetupState FState;
    std::unique_ptr<TSetupTableDialog> FSetupTableDialog;
    std::unique_ptr<TSetupPositionsDialog> FSetupPositionsDialog;
    std::unique_ptr<TOrganizePositionsDialog> FOrganizePositionsDialog;
    std::unique_ptr<TDefineHolidayDialog> FDefineHolidayDialog;
    std::unique_ptr<TSetupAbsentDaysDialog> FSetupAbsentDaysDialog;
};
