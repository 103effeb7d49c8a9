#pragma once

#include "dialogs/print/PrinterSetup.h"

#include <memory>

class TArchivDialog;
class TChartDialog;
class TColorPickerPopup;
class TDateTimePopup;
class TGotoDialog;
class TNewEntryDialog;
class TReorderEntriesDialog;
class TSplashForm;
class TForm1;
class THolidayDialog;
class TPrintListDialog;
class TPrintTimeChartDialog;
class TStatisticsDialog;
class TUnarchiveDialog;

// The main window's other windows, owned here alone: the printer and the dialogs
// for printing, the chart image, the evaluations and the archive, the about box,
// and the small dialogs and popups. Those that work on the window's document and
// chart are made by the window, once, when first used; the others at start-up
// (MakeStartWindows) or when first used (their accessors).
struct TDialogWindows {
    TDialogWindows();
    ~TDialogWindows();
    TDialogWindows(const TDialogWindows &) = delete;
    TDialogWindows &operator=(const TDialogWindows &) = delete;

    // The dialog in `slot`, made by `make` when it is used the first time.
    template <typename T, typename Make> static T &Made(std::unique_ptr<T> &slot, Make make)
    {
        if (!slot)
            slot = make();
        return *slot;
    }
    // The windows the program makes at start-up, in its order.
    void MakeStartWindows();
    TChartDialog &ChartDialog();
    TGotoDialog &GotoDialog();
    TColorPickerPopup &ColorPicker();

    TPrinterSetup Printer;
    std::unique_ptr<TPrintTimeChartDialog> PrintTimeChartDialog;
    std::unique_ptr<TPrintListDialog> PrintListDialog;
    std::unique_ptr<TForm1> Form1;
    std::unique_ptr<TStatisticsDialog> StatisticsDialog;
    std::unique_ptr<THolidayDialog> HolidayDialog;
    std::unique_ptr<TArchivDialog> ArchivDialog;
    std::unique_ptr<TUnarchiveDialog> UnarchiveDialog;
    std::unique_ptr<TSplashForm> About;
    std::unique_ptr<TChartDialog> Chart;
    std::unique_ptr<TDateTimePopup> DateTimePopup; // made at start-up; the editor has its own
    std::unique_ptr<TGotoDialog> Goto;
    std::unique_ptr<TColorPickerPopup> ColorPickerPopup;
    std::unique_ptr<TNewEntryDialog> NewEntry; // made at start-up; the chart asks with its own
    std::unique_ptr<TReorderEntriesDialog> ReorderEntries; // made at start-up, opened by nothing
};
