#pragma once

#include "dialogs/setup/SetupTransfer.h"
#include "dialogs/setup/gui/SetupDialogs.h"

class IDocumentCommandsHost;
class TTaskTables;
class TTimeChart;

// The setup dialogs of the main window and the transfer between them and the
// window's document. Applying a setup asks the window where its chart stands
// (and sends it back there afterwards), and lets the tables' sort keys and
// column widths follow columns that were laid out anew.
class TSetupWindows final : public ISetupTransferHost {
public:
    TSetupWindows(Document &doc, TDocumentCommands &commands, TTimeChart &chart, TTaskTables &tables,
        IDocumentCommandsHost &columnsHost);

    TSetupTransfer &Transfer() { return FTransfer; }
    TSetupDialogs &Dialogs() { return FDialogs; }

    TChartViewPoint ChartView() const override;
    void SetChartDestination(const TChartViewPoint &view) override;
    void ColumnsRelaid(TWhichTable table, const std::vector<int> &origin) override;

private:
    TTimeChart &FChart;
    TTaskTables &FTables;
    // Fits the tables' columns to the columns laid out anew.
    IDocumentCommandsHost &FColumnsHost;
    TSetupTransfer FTransfer;
    TSetupDialogs FDialogs;
};
