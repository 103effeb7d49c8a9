// The main window's idle work and timers: the sharing cycle, reloading a
// document another instance saved, the deferred layout passes, the command
// states, and the status bar with the sharing state.
#include "components/gui/StringGridTree.h"
#include "document/Document.h"
#include "document/DocumentTable.h"
#include "document/RowWalkProgress.h"
#include "document/commands/DocumentCommands.h"
#include "document/program/Log.h"
#include "document/program/MessageDialog.h"
#include "document/program/Translation.h"
#include "document/sharing/DirWatch.h"
#include "mainwindow/MainForm.h"
#include "timechart/TimeChart.h"

#include <QAbstractEventDispatcher>
#include <QLabel>
#include <QTabBar>
#include <QTabWidget>

void TMainForm::BuildTimers()
{
    FIdleTimer.setInterval(100);
    FIdleTimer.setSingleShot(true);
    connect(&FIdleTimer, &QTimer::timeout, this, [this] { IdleTimerTimer(); });
    FOverlappingTimer.setInterval(400);
    connect(&FOverlappingTimer, &QTimer::timeout, this, [this] { OverlappingTimerTimer(); });
    // The application is idle whenever its event loop is about to wait.
    if (QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance())
        FIdleConnection = connect(
            dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, [this] { ApplicationEvents1Idle(); });
}

// ---------------------------------------------------------------- deferred passes

void TMainForm::UpdateBounds(bool Delayed)
{
    FDocument->UpdateBounds(Delayed);
}

void TMainForm::UpdateEmptyRows(bool Delayed)
{
    FDocument->UpdateEmptyRows(Delayed);
}

void TMainForm::UpdateOverlapping(bool Delayed)
{
    if (FDocument->IsUpdating())
        return;
    if (!Delayed) {
        FDocument->UpdateOverlapping(false);
        return;
    }
    // Overlap marking follows 400 ms after the last request.
    FOverlappingTimer.stop();
    FOverlappingTimer.start();
}

void TMainForm::OverlappingTimerTimer()
{
    if (HasState(gsLoading))
        return;
    FOverlappingTimer.stop();
    // The request reaches the document now; the next idle tick runs the pass.
    FOverlapDue = true;
    FDocument->UpdateOverlapping(true);
    FOverlapDue = false;
}

void TMainForm::RunLoadedLayoutPasses()
{
    // Arranging moves tasks: with it checked the pass waits for the idle tick, as
    // after any other change.
    if (FProgramSettings.AutoArrange || FDocument->IsUpdating())
        return;
    // Marked now rather than after the debounce: the chart still says it is
    // preparing (its range comes with the bounds pass), so no half-marked rows
    // show between the slices.
    FOverlappingTimer.stop();
    FDocument->TakePendingPass(TLayoutPass::Overlapping);
    FTimeChart->UpdateOverlappingProc();
    // The chart's first paint of bars would build its index of a large plan's
    // rows in one go: built here, the window paints between its slices.
    TRowWalkProgress::Pause();
    FTimeChart->PrepareBarIndex();
}

void TMainForm::LayoutPassRequested()
{
    // A request for overlap marking waits for the debounce.
    if (!FOverlapDue && FDocument->OverlappingPassPending()) {
        FDocument->TakePendingPass(TLayoutPass::Overlapping);
        UpdateOverlapping(true);
    }
}

// ---------------------------------------------------------------- idle work

void TMainForm::ApplicationEvents1Idle()
{
    // A save's waits turn the event loop too; the watcher it works with stays
    // until the save ends.
    if (FClosing || FSaveWaits > 0)
        return;
    TDirWatchThread &watcher = FCommands->Watcher();
    if (watcher.Error()) {
        // Sharing stops; the document goes on unnamed and keeps its unstored records.
        // A write that failed because the share was replaced says so.
        watcher.CheckShareInPlace();
        const QString reason = watcher.ErrorText();
        const bool lost = watcher.ShareLost();
        const QString problem = watcher.ShareProblem();
        FCommands->ContinueUnnamed();
        Log(QStringLiteral("File storage error: ") + reason);
        if (lost) {
            // Someone replaced the sharing folder: the user must know that others
            // no longer see these changes, and where they are kept meanwhile.
            ShowWritten(Translate(QStringLiteral("Sharing stopped: %s"), { problem }));
            MessageDlg(Translate(QStringLiteral("File storage error")) + QLatin1Char('\r')
                    + Translate(QStringLiteral("Sharing of this plan stopped: %s\nYour changes are kept, "
                                               "also in %s. Save the plan under another name."),
                        { problem, FCommands->Watcher().RecoveryFileName() }),
                mtError, { mbOK });
        } else {
            MessageDlg(Translate(QStringLiteral("File storage error")), mtError, { mbOK });
        }
    }
    if (!FIdleTimer.isActive())
        FIdleTimer.start();
}

void TMainForm::IdleTimerTimer()
{
    FIdleTimer.stop();
    if (HasState(gsLoading) || FClosing || FSaveWaits > 0)
        return;
    TDirWatchThread &watcher = FCommands->Watcher();
    const quint64 applied = watcher.NumAppliedChanges();
    const bool passes = LayoutPassPending();
    watcher.UpdatePending();
    ShowRefusals(watcher);
    const bool reload = watcher.NeedReload();
    if (reload)
        ReloadDocument();
    FTimeChart->RunPendingLayoutPasses();
    UpdateActions();
    UpdateCaption();
    FIdleTickWorked = passes || reload || watcher.NumAppliedChanges() != applied;
    ++FIdleTicks;
}

// Records of others the replay refused (each writer and reason once), and files of
// the share refused for their size or content (each once).
void TMainForm::ShowRefusals(TDirWatchThread &watcher)
{
    QStringList texts;
    for (const TDirWatchThread::TRefusalNotice &notice : watcher.TakeRefusalNotices()) {
        texts << Translate(
            QStringLiteral("changes of %s ignored: %s"), { notice.writer, Translate(notice.reason) });
    }
    if (const QStringList refused = watcher.TakeRefused(); !refused.isEmpty())
        texts << Translate(QStringLiteral("Ignored in the sharing folder, beyond what a plan can hold: %s"),
            { refused.join(QStringLiteral(", ")) });
    if (!texts.isEmpty())
        ShowWritten(texts.join(QStringLiteral("; ")));
}

bool TMainForm::LayoutPassPending() const
{
    return FDocument->BoundsPassPending() || FDocument->OverlappingPassPending()
        || FDocument->EmptyRowsPassPending();
}

bool TMainForm::IsIdle() const
{
    return !FIdleTickWorked && !LayoutPassPending() && !FOverlappingTimer.isActive()
        && !FDocument->IsUpdating() && !FEditor->RefreshPending()
        && !FEditor->ChangeEditorVisibleTimer().isActive() && !FTimeChart->SliderTimer().isActive()
        && !FTimeChart->SmallTimeChartPiecesLeft();
}

void TMainForm::ReloadDocument()
{
    QTabBar &tabs = FTimeChart->TabControl1();
    const int tab = tabs.currentIndex();
    platform::Status reloaded;
    {
        UpdateBracket bracket(*FDocument, Translate(QStringLiteral("Reloading...")));
        reloaded = FCommands->Reload();
    }
    if (!reloaded) {
        // The document stays as it was and the next tick tries again; the user
        // hears of it once.
        if (!FReloadFailureShown) {
            FReloadFailureShown = true;
            Log(QStringLiteral("The document saved by another instance cannot be read: ")
                + reloaded.reason());
            MessageDlg(Translate(QStringLiteral("The document saved by another user cannot be read yet.")),
                mtWarning, { mbOK });
        }
        return;
    }
    FReloadFailureShown = false;
    if (tab >= 0 && tab < tabs.count())
        tabs.setCurrentIndex(tab);
}

// ---------------------------------------------------------------- status bar

void TMainForm::UpdateStatusBar()
{
    // Many changes in one turn of the event loop show once.
    if (FStatusBarPending || FDocument->IsUpdating())
        return;
    FStatusBarPending = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            FStatusBarPending = false;
            if (FDocument->IsUpdating())
                return;
            const TWhichTable table = GetActiveTable();
            const QTabBar &tabs = FTimeChart->TabControl1();
            StatusPanel(0).setText(Translate(
                QStringLiteral("Table total: %s"), { QString::number(FDocument->TotalCount(table)) }));
            StatusPanel(1).setText(Translate(QStringLiteral("in %s: %s"),
                { tabs.tabText(tabs.currentIndex()), QString::number(FDocument->GroupCount(table)) }));
            StatusPanel(2).setText(Translate(
                QStringLiteral("filtered: %s"), { QString::number(FDocument->FilteredCount(table)) }));
        },
        Qt::QueuedConnection);
}

QString TMainForm::SharingStateText() const
{
    const TDirWatchThread &watcher = FCommands->Watcher();
    QString text;
    if (watcher.isLocked())
        text += QStringLiteral(" *LOCKED*");
    if (watcher.NumPendingConflicts() > 0)
        text += QStringLiteral(" (%1 CONFLICTS)").arg(watcher.NumPendingConflicts());
    const int pending = watcher.NumPendingEvents() + watcher.NumPendingFiles();
    if (pending > 0)
        text += QStringLiteral(" (%1 PENDING)").arg(pending);
    if (!watcher.Filename().isEmpty())
        text += QStringLiteral("  [version %1]").arg(watcher.WorkingDirName());
    return text;
}

void TMainForm::UpdateCaption()
{
    const QString text = SharingStateText();
    if (text == FShownSharingState)
        return;
    FShownSharingState = text;
    // While a long step shows its progress there, the state waits for its end.
    if (FStatusSaved)
        FSavedStatusText = text;
    else
        StatusPanel(3).setText(text);
}
