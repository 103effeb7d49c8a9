#pragma once

#include "dialogs/print/PrinterSetup.h"

#include <memory>

class TArchivDialog;
class TSplashForm;
class TForm1;
class THolidayDialog;
class TPrintListDialog;
class TPrintTimeChartDialog;
class TStatisticsDialog;
class TUnarchiveDialog;

// The printer of the main window and its dialogs for printing, the chart image, the
// evaluations and the archive, and the about box. The dialogs work on the window's
// document and chart, so the window makes them itself, once, when first used.
struct TDialogWindows {
    TDialogWindows();
    ~TDialogWindows();
    TDialogWindows(const TDialogWindows &) = delete;
    TDialogWindows &operator=(const TDialogWindows &) = delete;

    TPrinterSetup Printer;
    std::unique_ptr<TPrintTimeChartDialog> PrintTimeChartDialog;
    std::unique_ptr<TPrintListDialog> PrintListDialog;
    std::unique_ptr<TForm1> Form1;
    std::unique_ptr<TStatisticsDialog> StatisticsDialog;
    std::unique_ptr<THolidayDialog> HolidayDialog;
    std::unique_ptr<TArchivDialog> ArchivDialog;
    std::unique_ptr<TUnarchiveDialog> UnarchiveDialog;
    std::unique_ptr<TSplashForm> About;
};
