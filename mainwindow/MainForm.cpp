// The main window's frame: what it is made of, the hosts' answers that need a
// window, and closing.
#include "mainwindow/MainForm.h"

#include "components/gui/GTHeader.h"
#include "components/gui/ImageList.h"
#include "components/gui/StringGridTree.h"
#include "controls/ColorPickerPopup.h"
#include "dialogs/menus/FlatMenu.h"
#include "document/Document.h"
#include "document/DocumentTable.h"
#include "document/commands/DocumentCommands.h"
#include "document/program/CheckUpdate.h"
#include "document/program/IniFile.h"
#include "document/program/Log.h"
#include "document/program/MessageDialog.h"
#include "document/program/Translation.h"
#include "document/sharing/DirWatch.h"
#include "document/sharing/UpdateMenuThread.h"
#include "mainwindow/DialogWindows.h"
#include "mainwindow/DocumentViews.h"
#include "mainwindow/MainImages.h"
#include "mainwindow/OpenProgress.h"
#include "mainwindow/SetupWindows.h"
#include "mainwindow/ViewControls.h"
#include "mainwindow/WebAddresses.h"
#include "mainwindow/excel/ExcelExchange.h"
#include "mainwindow/excel/ExcelHost.h"
#include "platform/instances/InstanceRegistry.h"
#include "resources/Cursors.h"
#include "tables/ColumnFilters.h"
#include "tables/TaskTables.h"
#include "timechart/Splitter.h"
#include "timechart/TimeChart.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QBoxLayout>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QThread>
#include <QTimer>
#include <QToolBar>

namespace {

// The status bar's panels: table total, group count, filtered count, sharing state.
constexpr std::array<int, 4> kStatusPanelWidths { 130, 120, 70, 50 };

} // namespace

TMainForm::TMainForm(QWidget *parent)
    : QMainWindow(parent)
    , FDocument(std::make_unique<Document>())
    , FFileDialogs(std::make_unique<TFileDialogs>())
    , FImageList(MakeMainImages())
{
    setObjectName(QStringLiteral("MainForm"));
    // The document answers the rows' order through the tables' logic; the
    // commands make the sharing watcher of the empty document.
    FTables = std::make_unique<TTaskTables>(*FDocument);
    FTables->SetActiveColumn(-1);
    ConnectLongWork();
    FCommands = std::make_unique<TDocumentCommands>(*FDocument, this);
    FDocument->SetFocusNewNode(false);

    BuildWindow();
    BuildActions();
    BuildEditMenus();
    BuildToolBars();
    BuildStatusBar();
    BuildTimers();
    BuildEditor();
    BuildWindowList();
    BuildFileMenu();
    BuildViewCommands();
    BuildMenus();

    // The chart's scale, and its font from the window's (the new document below
    // sets its size); the font boxes show it from the start.
    FTimeChart->SetZoom(100);
    FTimeChart->SetTransparency(50);
    FTimeChart->SetTimeChartFontName(font().family());
    if (font().pointSize() > 0)
        FTimeChart->SetTimeChartFontSize(font().pointSize());
    ShowFont(FTimeChart->TimeChartFontName(), FTimeChart->TimeChartFontSize());

    // The form sees every key before the focused control does.
    qApp->installEventFilter(this);
    // The document reaches the window once the window is whole.
    FDocument->SetHost(this);
    ActionNewExecute();
    UpdateActions();

    // The menus take the flat look.
    auto *flat = new TFlatMenu(this);
    flat->setObjectName(QStringLiteral("FlatMenu1"));
    flat->UseMainWindowSettings();
    flat->Loaded();
    flat->ForceComponent(menuBar());

    // The newest version is asked for on a thread of its own; nothing waits for it.
    FCheckUpdate1 = std::make_unique<TCheckUpdate>();
    FCheckUpdate1->SetURL(UpdateCheckURL());
    FCheckUpdate1->SetHTMLTag(QString::fromLatin1(kUpdateCheckTag));
    FCheckUpdate1->SetBufferSize(1024);
    connect(FCheckUpdate1.get(), &TCheckUpdate::Found, this, [this] { CheckUpdate1Found(); });
    if (!FCheckUpdate1->URL().isEmpty())
        FCheckUpdate1->Execute();
}

TMainForm::~TMainForm()
{
    qApp->removeEventFilter(this);
    // The chart's boxes go first: a box losing the focus reports a change.
    delete dfsToolBar2;
    FCheckUpdate1.reset();
    // The File menu's worker is joined; the other instances hear of the end.
    FUpdateMenuItemsThread.reset();
    FInstances.reset();
    FDocument->SetHost(nullptr);
    QObject::disconnect(FIdleConnection);
    FIdleTimer.stop();
    FOverlappingTimer.stop();
    FDialogWindows.reset();
    FSetupWindows.reset();
    // The views stop listening before the widgets and the document go, the
    // widgets go before the document they show, and the commands join the
    // sharing worker before the document goes.
    FFilters.reset();
    FEditor.reset();
    FChartView.reset();
    FTableViews.reset();
    ReleaseTree(*FStringGridTree1, tbTable);
    ReleaseTree(*FStringGridTree2, tbExclude);
    delete takeCentralWidget();
    delete FToolBar1;
    FCommands.reset();
    FTables.reset();
    FDocument.reset();
}

void TMainForm::BuildWindow()
{
    setWindowTitle(QStringLiteral("Zeltrano"));
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    FSplitter1 = new TSplitter(Qt::Vertical, central);
    FSplitter1->setObjectName(QStringLiteral("Splitter1"));
    FSplitter1->setChildrenCollapsible(false);
    layout->addWidget(FSplitter1);

    FTimeChart = new TTimeChart(*FDocument, *this, FSplitter1);
    FSplitter1->addWidget(FTimeChart);

    FPanel1 = new QWidget(FSplitter1);
    FPanel1->setObjectName(QStringLiteral("Panel1"));
    auto *panelLayout = new QHBoxLayout(FPanel1);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    FSplitter2 = new QSplitter(Qt::Horizontal, FPanel1);
    FSplitter2->setObjectName(QStringLiteral("Splitter2"));
    FSplitter2->setChildrenCollapsible(false);
    FPageControl1 = new QTabWidget(FSplitter2);
    FPageControl1->setObjectName(QStringLiteral("PageControl1"));
    FPageControl1->setDocumentMode(true);
    FSplitter2->addWidget(FPageControl1);
    FSplitter2->setStretchFactor(0, 1);
    panelLayout->addWidget(FSplitter2, 1);
    FSplitter1->addWidget(FPanel1);
    FSplitter1->setStretchFactor(0, 1);
    FSplitter1->setStretchFactor(1, 0);
    FSplitter1->SetOnCanResize([this](TSplitter &sender, int &newSize, bool &accept) {
        FTimeChart->Splitter1CanResize(sender, newSize, accept);
    });
    setCentralWidget(central);

    BuildTables();
    FChartView = std::make_unique<TChartView>(*FDocument, *FTimeChart);
    resize(FProgramSettings.Width, FProgramSettings.Height);
    FSplitter1->setSizes({ height() * 2 / 3, height() / 3 });
}

void TMainForm::BuildStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(true);
    for (std::size_t i = 0; i < FStatusPanels.size(); ++i) {
        auto *panel = new QLabel(bar);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        // A panel is never narrower than its width, and grows for a longer text
        // (a group's name, the sharing state) so that it can be read whole.
        panel->setMinimumWidth(kStatusPanelWidths[i]);
        bar->addWidget(panel, i + 1 < FStatusPanels.size() ? 0 : 1);
        FStatusPanels[i] = panel;
    }
    FOpenProgress = std::make_unique<TOpenProgress>(
        *bar, std::vector<QWidget *> { FStringGridTree1, FStringGridTree2 });
}

TStringGridTree &TMainForm::Tree(TWhichTable table) const
{
    return table == tbExclude ? *FStringGridTree2 : *FStringGridTree1;
}

bool TMainForm::HasState(TKEZState state) const
{
    if (state == gsLoading && FCommands && FCommands->IsLoading())
        return true;
    return (FKEZState >> state) & 1u;
}

void TMainForm::SetState(TKEZState state, bool on)
{
    if (on)
        FKEZState |= 1u << state;
    else
        FKEZState &= ~(1u << state);
}

void TMainForm::SetFileDialogs(std::unique_ptr<IFileDialogs> dialogs)
{
    FFileDialogs = dialogs ? std::move(dialogs) : std::make_unique<TFileDialogs>();
}

// ---------------------------------------------------------------- file commands

void TMainForm::ActionNewExecute()
{
    FCommands->ActionNewExecute();
}

void TMainForm::ActionOpenExecute()
{
    FCommands->ActionOpenExecute();
}

void TMainForm::ActionSaveExecute()
{
    if (FCommands->ActionSaveExecute())
        ShowSaved();
}

void TMainForm::ActionSaveAsExecute()
{
    if (FCommands->ActionSaveAsExecute())
        ShowSaved();
}

void TMainForm::ShowSaved()
{
    ShowWritten(Translate(QStringLiteral("The plan was saved to %s."), { FCommands->FileName() }));
}

void TMainForm::ShowWritten(const QString &text)
{
    // Long enough to be read after a glance back from the dialog that wrote it.
    statusBar()->showMessage(text, 20000);
}

void TMainForm::ActionCloseExecute()
{
    close();
}

bool TMainForm::Open(const QString &fileName)
{
    const TOpenStatus opened = FCommands->Open(fileName);
    if (!opened && opened.code() == TOpenFailure::Unreadable)
        throw std::runtime_error(opened.reason().toStdString());
    return opened.ok();
}

QString TMainForm::FileName() const
{
    return FCommands->FileName();
}

void TMainForm::MakeStartWindows()
{
    DialogWindows().MakeStartWindows();
}

void TMainForm::LoadIni()
{
    LoadIniFile(FProgramSettings);
    FDocument->SetLocalUndo(FProgramSettings.LocalUndo);
    if (localUndo)
        localUndo->setChecked(FProgramSettings.LocalUndo);
    if (Statuszeileanzeigen1) {
        Statuszeileanzeigen1->setChecked(FProgramSettings.StatusBar);
        statusBar()->setVisible(FProgramSettings.StatusBar);
    }
    FCommands->SetLanguage(StartLanguage(FProgramSettings.Language));
    FCommands->SetSettleTime(std::chrono::milliseconds(FProgramSettings.SettleTimeMs));
    setGeometry(FProgramSettings.Left, FProgramSettings.Top, FProgramSettings.Width, FProgramSettings.Height);
    if (FProgramSettings.EditorAsForm != FEditor->EditorAsForm())
        EditorAsFormClick();
    SetEditorPos(QPoint(FProgramSettings.EditorLeft, FProgramSettings.EditorTop));
    ApplyViewOptions();
}

bool TMainForm::SaveIni()
{
    const QRect frame = normalGeometry();
    FProgramSettings.Left = frame.x();
    FProgramSettings.Top = frame.y();
    FProgramSettings.Width = frame.width();
    FProgramSettings.Height = frame.height();
    FProgramSettings.StatusBar = statusBar()->isVisible();
    FProgramSettings.LocalUndo = FDocument->LocalUndo();
    FProgramSettings.EditorAsForm = FEditor->EditorAsForm();
    FProgramSettings.EditorLeft = GetEditorPos().x();
    FProgramSettings.EditorTop = GetEditorPos().y();
    FProgramSettings.Language
        = FCommands->Language().isEmpty() ? QStringLiteral("default") : FCommands->Language();
    const platform::WriteResult written = SaveIniFile(FProgramSettings);
    if (!written)
        Log(written.reason());
    return bool(written);
}

// ---------------------------------------------------------------- closing

int TMainForm::MessageFileNotSaved()
{
    return FCommands->MessageFileNotSaved();
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    if (FSaveWaits > 0 || HasState(gsLoading)) { // the save's or the open's end closes the window
        FCloseAfterSave = true;
        event->ignore();
        return;
    }
    if (FormClose())
        event->accept();
    else
        event->ignore();
}

bool TMainForm::FormClose()
{
    // Records are stored at once; only those that still cannot be stored (or a
    // save that failed) ask.
    if (!FCommands->CloseQuery())
        return false;
    FClosing = true;
    if (isMaximized() || isMinimized())
        showNormal();
    const bool viewSettings = FCommands->SaveFileIni();
    const bool programSettings = SaveIni();
    if (!viewSettings || !programSettings)
        MessageDlg(Translate(QStringLiteral("Could not write to kez.ini.\\nCurrent setup is not saved.")),
            mtWarning, { mbOK });
    return true;
}

// ---------------------------------------------------------------- IDocumentHost

TWhichTable TMainForm::GetActiveTable() const
{
    return FPageControl1 && FPageControl1->currentIndex() == 1 ? tbExclude : tbTable;
}

void TMainForm::SetActiveTable(TWhichTable table)
{
    if (GetActiveTable() != table)
        FPageControl1->setCurrentIndex(table == tbExclude ? 1 : 0);
}

void TMainForm::UpdateUndoActions(bool canUndo, bool canRedo)
{
    if (ActionUndo)
        ActionUndo->setEnabled(canUndo);
    if (ActionRedo)
        ActionRedo->setEnabled(canRedo);
}

// ---------------------------------------------------------------- IDocumentCommandsHost

bool TMainForm::ChooseOpenFileName(QString &fileName)
{
    fileName = StartingPlace(fileName);
    return FFileDialogs->ChooseOpenFileName(this, fileName);
}

bool TMainForm::ChooseSaveFileName(QString &fileName)
{
    fileName = StartingPlace(fileName);
    return FFileDialogs->ChooseSaveFileName(this, fileName);
}

void TMainForm::SetCaption(const QString &fileName)
{
    // The window list of the running instances shows this caption.
    setWindowTitle(QStringLiteral("KEZ - ") + fileName);
    if (FInstances)
        FInstances->SetCaption(fileName);
    // The status bar's sharing state names the working folder of this document
    // (none while the commands make their first watcher).
    if (FCommands)
        UpdateCaption();
}

void TMainForm::SetBusy(bool busy)
{
    // The one screen cursor the chart's gestures use too.
    TScreenCursor::Set(busy ? crHourGlass : crDefault);
}

void TMainForm::ProcessMessages()
{
    // Pending repaints and timers, never the user's input: a click must not start
    // another command in the middle of this one.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TMainForm::WaitWhileSaving(std::chrono::milliseconds time)
{
    ++FSaveWaits;
    ShowUpdateState(Translate(QStringLiteral("Saving: waiting for the other users' changes...")), true);
    {
        // Events are handled, so the window paints; input stays queued until the
        // save is done, as it does through the rest of the save.
        QEventLoop loop;
        QTimer::singleShot(time, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    ShowUpdateState(QString(), false);
    SaveWaitEnded();
}

void TMainForm::WaitWhileLoading(const std::function<bool()> &finished, const std::function<int()> &percent)
{
    if (!isVisible()) // a window not shown yet has nothing to paint
        return;
    // Until the rows come, the tables show the emptied document.
    FOpenProgress->Wait(
        finished, percent, FDocument->TotalCount(tbTable) == 0 && FDocument->TotalCount(tbExclude) == 0);
}

void TMainForm::ShowLoadProgress(int percent)
{
    if (percent >= 0 && !isVisible())
        return;
    FOpenProgress->Show(percent);
    if (percent < 0 && FSaveWaits == 0 && FCloseAfterSave) {
        FCloseAfterSave = false;
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    }
}

void TMainForm::SolveOverlapping()
{
    if (FDocument->HasOverlappingNodes())
        ActionSolveOverlapping->trigger();
}

void TMainForm::GetViewSettings(TDocumentSettings &settings)
{
    settings.DenyMoveBeforeNow = FViewSettings.DenyMoveBeforeNow;
    settings.TimeChartHeight = FTimeChart->height();
    settings.SmallTimeChartRowHeight = FTimeChart->SmallTimeChartRowHeight();
    settings.SmallTimeChartRowHeightShown = FTimeChart->SmallTimeChartRowHeight();
    settings.FontName = FTimeChart->TimeChartFontName();
    settings.FontSize = FTimeChart->TimeChartFontSize();
    settings.ColWidth = FTimeChart->TimeChartColWidth();
    settings.Zoom = FTimeChart->GetZoom();
    settings.Transparency = FTimeChart->GetTransparency();
    settings.LastTimeChartStart = FTimeChart->TimeChartStart();
    settings.LastTimeChartTop = FTimeChart->TimeChartTop();
    for (TWhichTable table : { tbTable, tbExclude }) {
        settings.EditorWidth[table] = FEditor->GetEditorSize(table).width();
        settings.EditorHeight[table] = FEditor->GetEditorSize(table).height();
    }
    settings.Filters = FFilters->ToSettings();
}

void TMainForm::ApplyViewSettings(const TDocumentSettings &settings)
{
    FViewSettings = settings;
    if (!settings.FontName.isEmpty())
        FTimeChart->SetTimeChartFontName(settings.FontName);
    FTimeChart->SetTimeChartFontSize(settings.FontSize);
    FTimeChart->SetTimeChartColWidth(settings.ColWidth);
    FTimeChart->SetZoom(settings.Zoom);
    FTimeChart->SetTransparency(settings.Transparency);
    FTimeChart->SetSmallTimeChartRowHeight(settings.SmallTimeChartRowHeightShown);
    if (settings.TimeChartHeight > 0) {
        const int total = FSplitter1->height();
        if (total > settings.TimeChartHeight)
            FSplitter1->setSizes({ settings.TimeChartHeight, total - settings.TimeChartHeight });
    }
    FTimeChart->SetTimeChartDestination(settings.LastTimeChartStart, settings.LastTimeChartTop, true);
    for (TWhichTable table : { tbTable, tbExclude })
        FEditor->SetEditorSize(table, QSize(settings.EditorWidth[table], settings.EditorHeight[table]));
    FFilters->FromSettings(settings.Filters);
}

void TMainForm::DocumentReset()
{
    // The rows go: so do the lists that name them, and the sort keys of the
    // columns that are made anew.
    FTables->Reset();
    FTables->SetActiveColumn(-1);
    ConnectLongWork();
    FColumnsChanged = true;
    FTimeChart->DocumentReset();
}

void TMainForm::ResetChartFontSize(int size)
{
    FTimeChart->SetTimeChartFontSize(size);
}

// ---------------------------------------------------------------- ITimeChartHost

void TMainForm::ShowUpdateState(const QString &text, bool busy)
{
    if (!FStatusPanels[3]) // the chart is made before the status bar
        return;
    QLabel &panel = StatusPanel(3);
    if (busy) {
        if (!FStatusSaved) {
            FSavedStatusText = panel.text();
            FStatusSaved = true;
            SetBusy(true);
        }
        panel.setText(text);
        return;
    }
    if (!FStatusSaved)
        return;
    panel.setText(FSavedStatusText);
    FStatusSaved = false;
    SetBusy(false);
}

void TMainForm::PositionGroupChanged(int, const QString &)
{
    // The column filters of both tables are those kept for this tab.
    if (FFilters)
        FFilters->GroupChanged();
}

std::optional<TColor> TMainForm::PickColor(TColor current, const TRect &screenRect)
{
    return DialogWindows().ColorPicker().Pick(current, screenRect);
}
