#include "dialogs/setup/gui/SetupDialogs.h"

#include "dialogs/setup/SetupTransfer.h"
#include "dialogs/setup/gui/DefineHolidayDialog.h"
#include "dialogs/setup/gui/OrganizePositionsDialog.h"
#include "dialogs/setup/gui/SetupAbsentDaysDialog.h"
#include "dialogs/setup/gui/SetupPositionsDialog.h"
#include "dialogs/setup/gui/SetupTableDialog.h"

TSetupDialogs::TSetupDialogs(TSetupTransfer &transfer)
    : FTransfer(transfer)
{
    const TSetupOk ok = [this](TSetupSection section, bool nested) {
        return FTransfer.SetupDialogOk(FState, section, nested);
    };
    FSetupTableDialog = std::make_unique<TSetupTableDialog>(FState, ok);
    FSetupPositionsDialog = std::make_unique<TSetupPositionsDialog>(FState, ok);
    FOrganizePositionsDialog = std::make_unique<TOrganizePositionsDialog>(FState, ok);
    FDefineHolidayDialog = std::make_unique<TDefineHolidayDialog>(FState, ok);
    FSetupAbsentDaysDialog = std::make_unique<TSetupAbsentDaysDialog>(FState, ok);
    FSetupTableDialog->OnEditResources = [this] { FSetupPositionsDialog->ExecNested(); };
}

TSetupDialogs::~TSetupDialogs() = default;

void TSetupDialogs::MainFormToSetupDialog()
{
    FTransfer.MainFormToSetupDialog(FState);
}
