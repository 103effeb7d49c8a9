#pragma once

#include "dialogs/setup/SetupTransfer.h"
#include "dialogs/setup/gui/SetupDialogs.h"

class TMainForm;

// The setup dialogs of the main window and the transfer between them and the
// window's document. Applying a setup asks the window where its chart stands
// (and sends it back there afterwards), and lets the tables' sort keys and
// column widths follow columns that were laid out anew.
class TSetupWindows final : public ISetupTransferHost {
public:
    explicit TSetupWindows(TMainForm &form);

    TSetupTransfer &Transfer() { return FTransfer; }
    TSetupDialogs &Dialogs() { return FDialogs; }

    TChartViewPoint ChartView() const override;
    void SetChartDestination(const TChartViewPoint &view) override;
    void ColumnsRelaid(TWhichTable table, const std::vector<int> &origin) override;

private:
    TMainForm &FForm;
    TSetupTransfer FTransfer;
    TSetupDialogs FDialogs;
};
