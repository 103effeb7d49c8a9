#pragma once

#include "dialogs/setup/SetupState.h"
#include "dialogs/setup/SetupTransferHost.h"

#include <vector>

class Document;
class TDocumentCommands;

// Moves the document's setup into the setup dialogs' state and back.
//
// MainFormToSetupDialog fills every section at once and clears their flags.
// SetupDialogToMainForm applies the flagged sections in a fixed order (absence
// reasons, columns and roles, positions and time unit, position groups, public
// holidays) inside one update bracket, saving a named document before (when it
// has unsaved changes) and after, and sends the chart back to where it stood.
// Afterwards the state's origins count in the document as it is now, so
// applying the same state again changes nothing.
class TSetupTransfer {
public:
    // Without commands nothing is saved; without a host nothing is asked of a window.
    explicit TSetupTransfer(
        Document &doc, ISetupTransferHost *host = nullptr, TDocumentCommands *commands = nullptr);

    void MainFormToSetupDialog(TSetupState &state) const;
    // False, and nothing applied, while the table section is flagged and its
    // roles fail CheckTableSetup.
    bool SetupDialogToMainForm(TSetupState &state);

    // The OK button of a setup dialog; true when the dialog may close. The
    // positions dialog opened from the table dialog's column dialog only
    // accepts (`nested`): the table dialog's OK applies both, its Cancel
    // neither. While the table section's roles fail the check, OK says so and
    // the dialog stays open.
    bool SetupDialogOk(TSetupState &state, TSetupSection dialog, bool nested = false);

private:
    void ApplyAbsentDays(const TSetupAbsentDays &absentDays);
    void ApplyTable(const TSetupTable &table);
    void ApplyPositions(const TSetupPositions &positions);
    void ApplyGroups(const TSetupGroups &groups, const std::vector<int> &positionOrigins);
    void ApplyHolidays(const TSetupHolidays &holidays);
    // The applied sections' origins renumbered to the document as it is now.
    static void Renumber(TSetupState &state, bool table, bool positions);

    Document &FDoc;
    ISetupTransferHost FDefaultHost;
    ISetupTransferHost *FHost;
    TDocumentCommands *FCommands;
};
