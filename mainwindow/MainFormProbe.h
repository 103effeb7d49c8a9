// The door of tests and benchmarks into the main window: its parts and widgets
// (to drive with real events), the seams where scripted dialogs and starters go
// in, and the steps the event loop takes on its own (the idle tick, the timers),
// so a test can take them at a point it chooses. The program itself never uses
// it: its other parts see only the window's public surface.
#pragma once

#include "mainwindow/MainForm.h"
#include "mainwindow/excel/ExcelHost.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <memory>
#include <vector>

class TMainFormProbe {
public:
    explicit TMainFormProbe(TMainForm &form)
        : FForm(form)
    { }

    // --- the window's parts ---
    const TMainMenus &Menus() const { return FForm.Menus(); }
    Document &Doc() const { return FForm.Doc(); }
    TDocumentCommands &Commands() const { return FForm.Commands(); }
    TTimeChart &Chart() const { return FForm.Chart(); }
    TTaskTables &Tables() const { return FForm.Tables(); }
    TEditor &Editor() const { return FForm.Editor(); }
    TFilterCommands &Filters() const { return FForm.Filters(); }
    TDialogWindows &DialogWindows() const { return FForm.DialogWindows(); }
    TViewControls &ViewControls() const { return FForm.ViewControls(); }
    TCheckUpdate &CheckUpdate1() const { return FForm.CheckUpdate1(); }
    TImageList &ImageList() const { return FForm.ImageList(); }

    // --- its widgets, for real mouse and key events ---
    QTabWidget &PageControl1() const { return FForm.PageControl1(); }
    TStringGridTree &StringGridTree1() const { return FForm.StringGridTree1(); }
    TStringGridTree &StringGridTree2() const { return FForm.StringGridTree2(); }
    TStringGridTree &Tree(TWhichTable table) const { return FForm.Tree(table); }
    TStringGridTree &ActiveTree() const { return FForm.ActiveTree(); }
    TSplitter &Splitter1() const { return FForm.Splitter1(); }
    QSplitter &Splitter2() const { return FForm.Splitter2(); }
    QWidget &Panel1() const { return FForm.Panel1(); }
    QLineEdit &Edit2() const { return FForm.Edit2(); }
    QToolButton &ToolButton17() const { return FForm.ToolButton17(); }
    QToolBar &ToolBar1() const { return FForm.ToolBar1(); }
    const QLabel &StatusPanel(int index) const { return FForm.StatusPanel(index); }

    // --- what tests put in place of the user's dialogs and other programs ---
    void SetFileDialogs(std::unique_ptr<IFileDialogs> dialogs) const
    {
        FForm.SetFileDialogs(std::move(dialogs));
    }
    // Sorts of at least this many rows compare on other threads.
    void SetLongWorkRows(std::size_t rows) const { FForm.FLongWorkRows = rows; }
    void SetExcelHost(std::unique_ptr<IExcelHost> host) const { FForm.SetExcelHost(std::move(host)); }
    void SetProgramStarter(std::function<bool(const QString &program)> starter) const
    {
        FForm.SetProgramStarter(std::move(starter));
    }

    // --- the window's state ---
    bool IsIdle() const { return FForm.IsIdle(); }
    qint64 IdleTicks() const { return FForm.IdleTicks(); }
    bool HasState(TKEZState state) const { return FForm.HasState(state); }
    void SetState(TKEZState state, bool on) const { FForm.SetState(state, on); }
    TWhichTable GetActiveTable() const { return FForm.GetActiveTable(); }
    int ActiveColumn() const { return FForm.ActiveColumn(); }
    const TProgramSettings &ProgramSettings() const { return FForm.ProgramSettings(); }
    const TDocumentSettings &DocumentSettings() const { return FForm.DocumentSettings(); }
    void GetViewSettings(TDocumentSettings &settings) const { FForm.GetViewSettings(settings); }

    // --- steps the event loop and the window's timers take on their own ---
    void ApplicationEvents1Idle() const { FForm.ApplicationEvents1Idle(); }
    void IdleTimerTimer() const { FForm.IdleTimerTimer(); }
    QTimer &IdleTimer() const { return FForm.IdleTimer(); }
    QTimer &OverlappingTimer() const { return FForm.OverlappingTimer(); }
    void OverlappingTimerTimer() const { FForm.OverlappingTimerTimer(); }
    void UpdateOverlapping(bool delayed) const { FForm.UpdateOverlapping(delayed); }
    void UpdateActions() const { FForm.UpdateActions(); }
    // What a switch of the tables' page makes anew, also when the page stays.
    void PageControl1Change() const { FForm.PageControl1Change(); }

    // --- what the document, its commands and the chart ask of the window ---
    void AutoFitColumns() const { FForm.AutoFitColumns(); }
    void SelectRows(TWhichTable table, const std::vector<TNodeData *> &rows) const
    {
        FForm.SelectRows(table, rows);
    }
    void InsertColumn(TWhichTable table, int index) const { FForm.InsertColumn(table, index); }
    void RemoveColumn(TWhichTable table, int index) const { FForm.RemoveColumn(table, index); }
    void ApplyViewSettings(const TDocumentSettings &settings) const { FForm.ApplyViewSettings(settings); }
    void SetCaption(const QString &fileName) const { FForm.SetCaption(fileName); }
    // Where the chart's popup menu opened (chart coordinates).
    void SetChartPopupPoint(QPoint point) const { FForm.SetChartPopupPoint(point); }

private:
    TMainForm &FForm;
};

// The probe of a window: `Probe(form).Tree(tbTable)`.
inline TMainFormProbe Probe(TMainForm &form)
{
    return TMainFormProbe(form);
}

// The entry of a menu that carries `data` (a sort menu's column, a language
// menu's language); nullptr when it has none.
inline QAction *MenuItemWithData(const QMenu &menu, const QVariant &data)
{
    for (QAction *item : menu.actions())
        if (item->data() == data)
            return item;
    return nullptr;
}
