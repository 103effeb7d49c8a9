#include "mainwindow/DialogWindows.h"

#include "controls/ColorPickerPopup.h"
#include "controls/DateTimePopup.h"
#include "dialogs/export/SaveGraphicsDialog.h"
#include "dialogs/misc/ArchivDialog.h"
#include "dialogs/misc/GotoDialog.h"
#include "dialogs/misc/NewEntryDialog.h"
#include "dialogs/misc/ReorderEntriesDialog.h"
#include "dialogs/misc/SplashForm.h"
#include "dialogs/misc/UnarchiveDialog.h"
#include "dialogs/print/PrintListDialog.h"
#include "dialogs/print/PrintTimeChartDialog.h"
#include "dialogs/stats/ChartDialog.h"
#include "dialogs/stats/HolidayDialog.h"
#include "dialogs/stats/StatisticsDialog.h"

TDialogWindows::TDialogWindows() = default;
TDialogWindows::~TDialogWindows() = default;

void TDialogWindows::MakeStartWindows()
{
    ChartDialog();
    Made(DateTimePopup, [] { return std::make_unique<TDateTimePopup>(); });
    GotoDialog();
    ColorPicker();
    Made(NewEntry, [] { return std::make_unique<TNewEntryDialog>(); });
    Made(ReorderEntries, [] { return std::make_unique<TReorderEntriesDialog>(); });
}

TChartDialog &TDialogWindows::ChartDialog()
{
    return Made(Chart, [] { return std::make_unique<TChartDialog>(); });
}

TGotoDialog &TDialogWindows::GotoDialog()
{
    return Made(Goto, [] { return std::make_unique<TGotoDialog>(); });
}

TColorPickerPopup &TDialogWindows::ColorPicker()
{
    return Made(ColorPickerPopup, [] { return std::make_unique<TColorPickerPopup>(); });
}
