#pragma once

#include "document/program/Settings.h"

#include <array>

class QAction;
class QMenu;
class QToolBar;

// The main window's commands and menus: made by the window's parts (the
// actions, the file menu, the view commands, the window list), placed by its
// menu table (MainFormMenus.cpp). Others read them through TMainForm::Menus().
struct TMainMenus {
    QAction *ActionNew = nullptr;
    QAction *ActionOpen = nullptr;
    QAction *ActionSave = nullptr;
    QAction *ActionSaveAs = nullptr;
    QAction *ActionClose = nullptr;
    QAction *ActionPrintTimechart = nullptr;
    QAction *ActionPrintList = nullptr;
    QAction *ActionUndo = nullptr;
    QAction *ActionRedo = nullptr;
    QAction *ActionCut = nullptr;
    QAction *ActionCopy = nullptr;
    QAction *ActionPaste = nullptr;
    QAction *ActionPasteNode = nullptr;
    QAction *ActionSelectAll = nullptr;
    QAction *ActionAddNode = nullptr;
    QAction *ActionDeleteNode = nullptr;
    QAction *ActionSplit = nullptr;
    QAction *ActionGoto = nullptr;
    QAction *ActionSort = nullptr;
    QAction *ActionAutoSize = nullptr;
    QAction *ActionFilter = nullptr;
    QAction *ActionClearFilter = nullptr;
    QAction *ActionClearAllFilters = nullptr;
    QAction *EditorAsForm = nullptr;
    QAction *ActionSolveOverlapping = nullptr;
    QAction *ActionSolveOverlappingSingle = nullptr;
    QAction *Neu = nullptr;
    QAction *ExcelImport1 = nullptr;
    QAction *Exportieren1 = nullptr;
    QAction *Statuszeileanzeigen1 = nullptr;
    QAction *localUndo = nullptr;
    QAction *ActionPrinterSetup = nullptr;
    QAction *Grafikspeichern1 = nullptr;
    QAction *Auslastung1 = nullptr;
    QAction *Statistik1 = nullptr;
    QAction *ActionHolidayStatistic = nullptr;
    QAction *Auftrgearchivieren1 = nullptr;
    QAction *Archivierungrckgngigmachen1 = nullptr;
    QAction *Info1 = nullptr;
    QAction *Tabellebearbeiten1 = nullptr;
    QAction *Fehltagebearbeiten1 = nullptr;
    QAction *ositionengruppieren1 = nullptr;
    QAction *Arbeitspltzebearbeiten1 = nullptr;
    QAction *EditHoliday1 = nullptr;
    QMenu *Datei = nullptr;
    QMenu *SortMenu = nullptr;
    QMenu *FilterMenu = nullptr;
    QMenu *NumericStatisticsMenu = nullptr;
    QMenu *Utilisation1 = nullptr;
    QMenu *GridTreePopupMenu = nullptr;
    QMenu *GridTreeHeaderPopupMenu = nullptr;
    QMenu *TimeChartPopupMenu = nullptr;
    QMenu *Fenster1 = nullptr;
    QMenu *Clients1 = nullptr;
    QMenu *AlteFassung = nullptr;
    QMenu *zuletztgeffneteDateien1 = nullptr;
    QAction *Dateikomprimiertspeichern1 = nullptr;
    QToolBar *dfsToolBar2 = nullptr; // the chart's boxes and buttons, beside ToolBar1
    QMenu *KalendarZoom1 = nullptr;
    QMenu *transparenzfrgefiltertAuftrge1 = nullptr;
    QMenu *ColumnWidthPopupMenu = nullptr;
    QMenu *ItemStructMenu = nullptr;
    QMenu *Format1 = nullptr;
    QMenu *Sprache1 = nullptr;
    QAction *LinienzwischenArbeitspltze1 = nullptr;
    QAction *LinienzwischenMehrzeiligenArbeitspltzen1 = nullptr;
    QAction *leereArbeitspltzeausblenden1 = nullptr;
    QAction *leeremultiArbeitspltzeausblenden1 = nullptr;
    QAction *Werkzeugleisteanzeigen1 = nullptr;
    QAction *Gesamtbersicht1 = nullptr;
    QAction *Tabelleanzeigen1 = nullptr;
    QAction *autoscroll = nullptr;
    QAction *naturalscrolling = nullptr;
    QAction *DenyMoveBeforeNow = nullptr;
    QAction *AutoArrange = nullptr;
    QAction *Archivlschen1 = nullptr;
    QAction *Updateavailable1 = nullptr;
    QAction *Kontakt1 = nullptr;
    QAction *WebSite1 = nullptr;
    std::array<QAction *, TProgramSettings::kMaxLastFiles> ActionLastFile {};
};
