#pragma once

#include "document/DocumentHost.h"
#include "document/commands/DocumentCommandsHost.h"
#include "document/program/Settings.h"
#include "mainwindow/Editor.h"
#include "mainwindow/FileDialogs.h"
#include "mainwindow/FilterCommands.h"
#include "mainwindow/MainMenus.h"
#include "mainwindow/RowFonts.h"
#include "tables/RowFinder.h"
#include "timechart/TimeChartHost.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QPoint>
#include <QPointer>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>
#include <vector>

class Document;
class QAction;
class QLabel;
class TOpenProgress;
class QProgressBar;
class QLineEdit;
class QMenu;
class QSplitter;
class QTabWidget;
class QToolBar;
class QToolButton;
class TBaseGridTree;
class TCheckUpdate;
class TCustomStringGridTree;
class TDirWatchThread;
class TDocumentCommands;
class TExcelExchange;
class IExcelHost;
class TGTHeader;
class TGridNode;
class TGridTreeView;
class TImageList;
class TSetupWindows;
class TSplitter;
class TStringGridTree;
class TTableViews;
class TTaskTables;
class TTimeChart;
class TChartView;
struct TDialogWindows;
struct TGTHeaderHitInfo;
struct TRect;
struct TFileMenuItems;
struct TViewControls;
class TUpdateMenuThread;
namespace platform {
class TInstanceRegistry;
}

// What the main window is busy with: while a document loads, its timers do nothing.
enum TKEZState { gsLoading, gsPrinting, gsEditorSizeUpdate };

// The property of a window that names the language it was last translated into.
inline constexpr char kTranslatedTo[] = "zeltranoTranslatedTo";

// The main window: it owns the open document with its commands, shows the two
// tables (tasks and absent days) on the pages of PageControl1 and the time chart
// above them, and carries the menus, tool bars, status bar and timers. The
// document, the tables and the chart tell each other of changes as observers of
// the document; the window answers what needs one answer (questions, file
// dialogs, status texts) as the hosts of the document, its commands and the chart.
//
// The window's parts live in one source file each (MainForm*.cpp): the frame and
// its teardown, the actions, the menus (one table of every menu's entries), the
// file menu, the view commands, the tables, the table commands, the editor, the
// filters, the chart's requests, printing and the evaluations, the setup
// dialogs, the Excel commands, the window list, and the idle work with the
// status bar. The commands and menus are the private base TMainMenus; the other
// windows are owned by TDialogWindows.
//
// Its public surface is what the program's start-up needs. Everything else is
// the window's own; the document, its commands and the chart reach it through
// their host interfaces, and tests and benchmarks through TMainFormProbe.
class TMainForm : public QMainWindow,
                  public IDocumentHost,
                  public IDocumentCommandsHost,
                  public ITimeChartHost,
                  public IEditorPlacementHost,
                  public IFilterHost,
                  private TMainMenus {
    Q_OBJECT

public:
    // FormCreate: the window state, the actions and menus, the empty document.
    explicit TMainForm(QWidget *parent = nullptr);
    ~TMainForm() override;

    // The start-up, in the program's order: the windows made at start, the
    // user's settings, then the document of the command line.
    void MakeStartWindows();
    void LoadIni();
    // Opens a document file (the command line, a dropped file, the recent files).
    bool Open(const QString &fileName);
    // The open document's file; empty while it has none.
    QString FileName() const;

private:
    friend class TMainFormProbe;

    // The commands and menus, as the window made them.
    const TMainMenus &Menus() const { return *this; }
    Document &Doc() const { return *FDocument; }
    TDocumentCommands &Commands() const { return *FCommands; }
    TTimeChart &Chart() const { return *FTimeChart; }
    TTaskTables &Tables() const { return *FTables; }
    QTabWidget &PageControl1() const { return *FPageControl1; }
    TStringGridTree &StringGridTree1() const { return *FStringGridTree1; }
    TStringGridTree &StringGridTree2() const { return *FStringGridTree2; }
    TStringGridTree &Tree(TWhichTable table) const;
    TStringGridTree &ActiveTree() const { return Tree(GetActiveTable()); }
    TSplitter &Splitter1() const { return *FSplitter1; }
    QWidget &Panel1() const { return *FPanel1; }
    // Right of the tables: the editor panel goes into its second place.
    QSplitter &Splitter2() const { return *FSplitter2; }
    QLabel &StatusPanel(int index) const { return *FStatusPanels[std::size_t(index)]; }
    QLineEdit &Edit2() const { return *FEdit2; }
    QToolButton &ToolButton17() const { return *FToolButton17; }
    QToolBar &ToolBar1() const { return *FToolBar1; }
    TImageList &ImageList() const { return *FImageList; }
    bool HasState(TKEZState state) const;
    void SetState(TKEZState state, bool on);

    // The other windows of the program (dialogs, popups), made once and kept by the
    // main window alone.
    TDialogWindows &DialogWindows();

    // Where file dialogs come from (tests answer them by script).
    void SetFileDialogs(std::unique_ptr<IFileDialogs> dialogs);
    // Where the Excel commands' dialogs come from (tests answer them by script).
    void SetExcelHost(std::unique_ptr<IExcelHost> host);

    // MainFormExcel.cpp: the File menu's "Excel Export" and "Excel Import...".
    void Exportieren1Click();
    void ExcelImport1Click();

    // --- the frame (MainForm.cpp, MainFormIdle.cpp) ---
    void ActionNewExecute();
    void ActionOpenExecute();
    void ActionSaveExecute();
    void ActionSaveAsExecute();
    void ActionCloseExecute();
    // What a command wrote, and where, in the status bar for a while.
    void ShowWritten(const QString &text);
    // The program settings (the user's ini file).
    bool SaveIni();
    int MessageFileNotSaved();
    void UpdateStatusBar() override;
    void UpdateCaption();
    void Statuszeileanzeigen1Click();
    void UpdateBounds(bool Delayed);
    void UpdateEmptyRows(bool Delayed);
    void UpdateOverlapping(bool Delayed);
    void OverlappingTimerTimer();
    void ApplicationEvents1Idle();
    void IdleTimerTimer();
    QTimer &IdleTimer() { return FIdleTimer; }
    // Nothing is left to do for the window: no layout pass waits (nor its
    // debounce), the editor and the chart's scrolling have settled, and the last
    // idle tick found nothing to apply, reload or lay out. Callers that wait for
    // the effects of an action wait for a tick after it (IdleTicks).
    bool IsIdle() const;
    qint64 IdleTicks() const { return FIdleTicks; }
    QTimer &OverlappingTimer() { return FOverlappingTimer; }
    // The text of status panel 3 for the sharing state of the document.
    QString SharingStateText() const;
    // The update check found the newest version (the window announces it here).
    void CheckUpdate1Found();
    TCheckUpdate &CheckUpdate1() const { return *FCheckUpdate1; }

    // --- the tables (MainFormTables.cpp) ---
    // (The rows' order is the tables' logic's: it answers both trees' compare event.)
    void StringGridTreeGetText(
        TCustomStringGridTree &sender, TGridNode *node, int column, QString &cellText) const;
    void StringGridTreePaintText(
        TCustomStringGridTree &sender, QPainter &canvas, TGridNode *node, int column);
    void StringGridTreeBeforeCellPaint(TGridTreeView &sender, QPainter &canvas, TGridNode *node, int column,
        const TRect &cellRect, TRect &contentRect);
    void StringGridTreeAfterCellPaint(
        TGridTreeView &sender, QPainter &canvas, TGridNode *node, int column, const TRect &cellRect);
    void StringGridTreeHeaderClick(TGTHeader &sender, const TGTHeaderHitInfo &hitInfo);
    void StringGridTreeChange(TBaseGridTree &sender, TGridNode *node);
    void StringGridTreeClick();
    void StringGridTreeFreeNode(TBaseGridTree &sender, TGridNode *node);
    void ActionSortExecute();
    void SortSubMenuClick(int tag);
    void ActionAutoSizeExecute();
    void AutoFitColumns() override;
    void ActionSelectAllExecute();
    bool GetSelected(const TNodeData &row) const;
    void CB_InvalidateNode(TNodeData &row);
    void ResetFlashSelectedTimer();
    int ActiveColumn() const;
    // The row of a node of a table's tree.
    static TNodeData *RowOf(const TGridTreeView &view, TGridNode *node);
    void RebuildSortMenu();

    // --- the editor panel (MainFormEditor.cpp) ---
    TEditor &Editor() const { return *FEditor; }
    // Everything that depends on the active table (the editor's inputs, the
    // column menus, the filtering) is made anew.
    void PageControl1Change();
    void SeteditorVisible(bool visible);
    void UpdateEditor() override;
    void EditorAsFormClick();
    QPoint GetEditorPos() const;
    void SetEditorPos(QPoint pos);
    // IEditorPlacementHost
    bool IsColumnVisible(TWhichTable table, int column) const override;
    void OpenLink(const QUrl &url) override;
    void EditorUndo(bool redo) override;
    bool IsLoading() const override { return HasState(gsLoading); }

    // --- the column filters (MainFormFilters.cpp) ---
    TFilterCommands &Filters() const { return *FFilters; }
    // The filter popup for the active column of the active table.
    void ActionFilterExecute();
    void FilterSubMenuClick(int tag);
    void FilterData(TWhichTable table);
    void ActionClearFilterExecute();
    void ActionClearAllFiltersExecute();
    void ActionClearAllFiltersUpdate();
    // IFilterHost
    QString CurrentGroupCaption() const override;
    QPoint ColumnTopLeft(TWhichTable table, int column) const override;
    int HeaderHeight(TWhichTable table) const override;
    void InvalidateHeader(TWhichTable table) override;
    void SetColumnMark(TWhichTable table, int column, int imageIndex, const QString &hint) override;

    // --- the table commands (MainFormCommands.cpp) ---
    static bool ControlIsEdit(const QWidget *control);
    int NumPasteableNodes() const override;
    void ActionCopyExecute();
    void ActionCutExecute();
    void ActionPasteExecute(bool fromChartPopup = false);
    void ActionPasteNodeExecute();
    void ActionAddNodeExecute();
    void ActionDeleteNodeExecute();
    void ActionSplitExecute();
    void ActionGotoExecute();
    void ActionUndoExecute();
    void ActionRedoExecute();
    void Edit2Change();
    void ToolButton17Click();
    TNodeData *FindFirst(const QString &text);
    TNodeData *FindNext(const TNodeData *row);
    TNodeData *FindFirstInRow(int position) const;
    TNodeData *FindNextInRow(int position, const TNodeData *row) const;
    void focusselectednode(TWhichTable table);
    // Selects exactly these rows of their table; the first becomes the focused row.
    void SelectRows(TWhichTable table, const std::vector<TNodeData *> &rows);
    void InsertColumn(TWhichTable table, int index);
    void RemoveColumn(TWhichTable table, int index);
    // The point where the chart's popup menu opened (chart coordinates): split
    // and "paste Task here" act there.
    void SetChartPopupPoint(QPoint point) { FMouse = point; }
    void ActionUseNodeUpdate();
    void ActionSplitUpdate();
    void ActionPrintUpdate();
    // Every action's enabled state, as the idle tick refreshes it.
    void UpdateActions();

    // --- printing, the chart image, the evaluations, the archive (MainFormPrint.cpp) ---
    void ActionPrintTimechartExecute();
    void ActionPrinterSetupExecute();
    void ActionPrintListExecute();
    void Grafikspeichern1Click();
    void Auslastung1Click();
    // `position` counts the positions of the shown rows from 1; -1 for all of them.
    void UtilisationStatistics(int position, int column, const QString &caption);
    // An item of the utilisation menu: its position, its column and the column's caption.
    void Utilisation1Click(int position, int column, const QString &caption);
    void NumericStatisticsClick(int column);
    void Statistik1Click();
    void ActionHolidayStatisticExecute();
    void Auftrgearchivieren1Click();
    // "Archivierung rückgängig machen...": tasks come back from the archive.
    void Archivierungrckgngigmachen1Click();
    void Info1Click();

    // --- the setup dialogs (MainFormSetup.cpp) ---
    // Fills the five setup dialogs from the document ...
    void MainFormToSetupDialog();
    // ... and applies those shown since, saving a named document.
    void SetupDialogToMainForm();
    TSetupWindows &SetupWindows();
    void Tabellebearbeiten1Click();
    void Fehltagebearbeiten1Click();
    void ositionengruppieren1Click();
    void Arbeitspltzebearbeiten1Click();
    void EditHoliday1Click();

    // --- IDocumentHost ---
    TWhichTable GetActiveTable() const override;
    void SetActiveTable(TWhichTable table) override;
    void FocusNewNode(TNodeData &node) override;
    void LayoutPassRequested() override;
    void RunLoadedLayoutPasses() override;
    void UpdateUndoActions(bool canUndo, bool canRedo) override;
    // What depends on the active table's columns follows them: at the end of an
    // update bracket and after a change outside one.
    void UpdateTextChanged(const QString &text, bool busy) override;
    void ColumnsChanged(TWhichTable table) override;

    // --- IDocumentCommandsHost ---
    bool ChooseOpenFileName(QString &fileName) override;
    bool ChooseSaveFileName(QString &fileName) override;
    void SetCaption(const QString &fileName) override;
    void SetBusy(bool busy) override;
    void ProcessMessages() override;
    // The window paints on while a save waits: the status bar says why, the
    // pointer is busy, and the user's input, the idle work and closing wait
    // for the save's end.
    void WaitWhileSaving(std::chrono::milliseconds time) override;
    // The window paints on while a document opens: a progress bar moves in the
    // status bar, the chart says it is preparing, the tables keep still while the
    // rows are loaded, and the user's input, the idle work and closing wait for
    // the open's end.
    void WaitWhileLoading(
        const std::function<bool()> &finished, const std::function<int()> &percent) override;
    void ShowLoadProgress(int percent) override;
    // The same while a step of the save runs on its worker: the status bar says
    // "Saving..." and, once the save took half a second, shows its progress.
    void WaitForSaveWork(TSaveWork &work) override;
    void SaveStarted() override;
    void SaveEnded() override;
    void SolveOverlapping() override;
    void GetViewSettings(TDocumentSettings &settings) override;
    void ApplyViewSettings(const TDocumentSettings &settings) override;
    void DocumentReset() override;
    void ResetChartFontSize(int size) override;

    // --- ITimeChartHost ---
    void ShowUpdateState(const QString &text, bool busy) override;
    void PositionGroupChanged(int tab, const QString &caption) override;
    std::optional<TColor> PickColor(TColor current, const TRect &screenRect) override;
    const TProgramSettings &ProgramSettings() const override { return FProgramSettings; }
    const TDocumentSettings &DocumentSettings() const override { return FViewSettings; }
    // MainFormChart.cpp: what the chart's mouse asks of the window.
    bool NewEntryDialog(TNewEntry &entry) override;
    void TimeChartPopup(QPoint chartPoint, QPoint screenPos, const TChartPopupActions &actions) override;
    void FocusNode(TNodeData &node) override;
    void RefilterNodes(TWhichTable table, const std::vector<TNodeData *> &nodes) override;
    void FitColumnsToContents(TWhichTable table) override;
    void SolveOverlappingEnabled(bool enabled) override;
    QString CellText(const TNodeData &node, int column) const override;
    bool IsPrinting() const override { return HasState(gsPrinting); }
    void ShowZoom(int percent, const QString &caption) override;
    void ShowTransparency(int percent, const QString &caption) override;
    void ShowFont(const QString &name, int size) override;
    void ShowRowSet(TRowSet rowSet) override;

    // --- the window list of the running instances (MainFormWindowList.cpp) ---
    // The instances' window list changed: Fenster1 is made anew.
    void LookupOtherKEZWindows();
    // An entry of Fenster1: the instance of that socket comes forward.
    void SelectOtherKEZClick(const QString &server);
    bool ActivateOtherInstance(const QString &fileName) override;

    // --- the File menu (MainFormFileMenu.cpp) ---
    // The File menu opens: the users and the saved versions are looked for
    // (on a worker; the menu is filled when it is done).
    void DateiClick();
    void AddToLastFiles(const QString &fileName) override;
    void ActionLastFileExecute(int index);
    void NeuClick();
    void Dateikomprimiertspeichern1Click();
    // How another instance of the program is started (tests record it instead);
    // false when it could not be.
    void SetProgramStarter(std::function<bool(const QString &program)> starter);

    // --- view, option and dialog commands (MainFormView.cpp) ---
    TViewControls &ViewControls() const { return *FViewControls; }
    void MenuZoomClick(int tag);
    void ZoomComboBoxChange();
    void MenuTransparencyClickClick(int tag);
    void TransparenceComboBoxChange();
    void FixedColumnWidthClick(int tag);
    void ToolButton16Click();
    void ToolButton20Click();
    void UpDownRowHeightChangingEx(bool up);
    void ItemStructClick(int tag);
    // The bar-layout images of the active table, drawn anew.
    void RedrawItemStructImages();
    void LinienzwischenArbeitspltze1Click();
    void leereArbeitspltzeausblenden1Click();
    void Werkzeugleisteanzeigen1Click();
    void Gesamtbersicht1Click();
    void Tabelleanzeigen1Click();
    void SwapCheckedClick();
    void SetupClick();
    void SetLanguageClick(const QString &language);
    void LanguageChanged(const QString &language) override;
    void Updateavailable1Click();
    void Kontakt1Click();
    void WebSite1Click();
    // The view options of the program settings reach their items and the window
    // (LoadIni runs it).
    void ApplyViewOptions();

protected:
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Parts of FormCreate.
    void BuildWindow();
    void BuildTables();
    void BuildStatusBar();
    void BuildTimers();
    bool LayoutPassPending() const;
    // MainFormPrint.cpp: the actions of printing and the evaluations and their
    // enabled states.
    void BuildPrintActions();
    void PrintActionsUpdate();
    // The file a printout without a printer goes to, asked for each time; false
    // when the user cancels or keeps an existing file.
    bool ChoosePrintFile(QString &fileName);
    // The status bar says where the document was saved.
    void ShowSaved();
    // MainFormSetup.cpp: the setup commands and their menu.
    void BuildSetupActions();
    // MainFormEditor.cpp: the editor and the column filters join the window.
    void BuildEditor();
    void RebuildColumnMenus();
    // MainFormActions.cpp: every action, menu and tool bar.
    void BuildActions();
    // The submenus of the edit menu and the popup menus, filled later.
    void BuildEditMenus();
    // Every menu's entries, in one table (MainFormMenus.cpp).
    void BuildMenus();
    QMenu *NewMenu(const QString &title, const char *name, QWidget *parent = nullptr);
    void BuildToolBars();
    QAction *NewAction(const QString &caption, const char *name, std::function<void()> handler,
        const QKeySequence &key = {});
    void SetUpTree(TStringGridTree &tree, TWhichTable table);
    void ReleaseTree(TStringGridTree &tree, TWhichTable table);
    // The form previews every key (FormKeyDown).
    bool FormKeyDown(QKeyEvent &event);
    bool KeysAllowed() const;
    void TableKeyPageMove(bool down);
    // Scrolls the chart so that the row's bar comes to its middle.
    void CenterNode(TNodeData &row);
    // What FormClose does; false keeps the window open.
    bool FormClose();
    // A reload asked for by the sharing folder (another instance saved).
    void ReloadDocument();
    void ShowRefusals(TDirWatchThread &watcher);
    // The selected rows of a table, in tree order.
    std::vector<TNodeData *> SelectedRows(TWhichTable table) const;
    TNodeData *FirstSelected(TWhichTable table) const;
    // Pastes clipboard rows into the active table; with the chart's point the
    // first row goes there.
    void PasteRows(bool atChartPoint);

    std::unique_ptr<Document> FDocument;
    std::unique_ptr<TDocumentCommands> FCommands;
    std::unique_ptr<TTaskTables> FTables;
    std::unique_ptr<IFileDialogs> FFileDialogs;
    std::unique_ptr<TImageList> FImageList;
    std::unique_ptr<TCheckUpdate> FCheckUpdate1;
    TProgramSettings FProgramSettings;
    unsigned FKEZState = 0;

    // The user's view settings of the document as they were applied (the options
    // the window has no control for keep their values).
    TDocumentSettings FViewSettings;
    TTimeChart *FTimeChart = nullptr;
    TSplitter *FSplitter1 = nullptr;
    QWidget *FPanel1 = nullptr;
    QSplitter *FSplitter2 = nullptr;
    QTabWidget *FPageControl1 = nullptr;
    TStringGridTree *FStringGridTree1 = nullptr;
    TStringGridTree *FStringGridTree2 = nullptr;
    std::array<QLabel *, 4> FStatusPanels {};
    QToolBar *FToolBar1 = nullptr;
    QLineEdit *FEdit2 = nullptr;
    QToolButton *FToolButton17 = nullptr;
    // The views observe the document; declared after the widgets they use.
    std::unique_ptr<TTableViews> FTableViews;
    std::unique_ptr<TChartView> FChartView;
    std::unique_ptr<TDialogWindows> FDialogWindows;
    std::unique_ptr<TSetupWindows> FSetupWindows;
    std::unique_ptr<TEditor> FEditor;
    std::unique_ptr<TFilterCommands> FFilters;

    // The trees' own free-node handlers (the document's index), called after ours.
    std::array<std::function<void(TBaseGridTree &, TGridNode *)>, 2> FTreeFreeNode;

    QTimer FIdleTimer;
    QTimer FOverlappingTimer;
    QMetaObject::Connection FIdleConnection;
    // The debounced overlap request is being handed to the document.
    bool FOverlapDue = false;
    qint64 FIdleTicks = 0;
    bool FIdleTickWorked = true;
    // The active table's columns changed inside an update bracket (or the
    // document was emptied): its end makes the column-dependent parts anew.
    bool FColumnsChanged = false;
    // The tables' column widths are being measured: every row counts as
    // selected, so its cells are measured bold.
    bool FMeasuringWidths = false;
    TRowFonts FRowFonts;

    TRowFinder FFinder;

    // The Excel commands over the document, with their dialogs.
    std::unique_ptr<IExcelHost> FExcelHost;
    std::unique_ptr<TExcelExchange> FExcel;
    QPoint FMouse;
    // The text status panel 3 had before an update bracket showed its own.
    QString FSavedStatusText;
    bool FStatusSaved = false;
    // A status bar refresh is due at the next turn of the event loop.
    bool FStatusBarPending = false;
    QString FShownSharingState;
    // The user was told that reading another instance's save failed.
    bool FReloadFailureShown = false;
    bool FClosing = false;
    // A save is waiting (WaitWhileSaving); a close asked meanwhile follows it.
    int FSaveWaits = 0;
    bool FCloseAfterSave = false;
    // MainFormLongWork.cpp: work over this many rows runs off the main thread.
    // Below it the work takes a few tens of milliseconds, less than painting
    // the window meanwhile would add.
    void RunWhilePainting(std::size_t rows, const std::function<void()> &work);
    std::size_t FLongWorkRows = 200000;
    // The tables' sorts hand their comparing to RunWhilePainting.
    void ConnectLongWork();
    // Handles events (never the user's input) until the work has returned.
    void PaintUntilFinished(TSaveWork &work);
    std::unique_ptr<TOpenProgress> FOpenProgress;
    // MainFormSaving.cpp: the save's progress in the status bar.
    void ShowSaveProgress(int permille);
    void SaveWaitEnded();
    QProgressBar *FSaveProgress = nullptr;
    QElapsedTimer FSaveClock; // since the save started

    // MainFormWindowList.cpp, MainFormFileMenu.cpp, MainFormView.cpp.
    void BuildWindowList();
    void BuildFileMenu();
    void BuildViewCommands();
    void BuildViewMenus();
    void BuildViewToolBar();
    void BringToFront();
    void FillFileMenu(const TFileMenuItems &items, const QString &sharingFolder);
    void UpdateLastFilesMenu();
    std::unique_ptr<platform::TInstanceRegistry> FInstances;
    std::unique_ptr<TUpdateMenuThread> FUpdateMenuItemsThread;
    std::function<bool(const QString &)> FStartProgram;
    std::unique_ptr<TViewControls> FViewControls;
};
