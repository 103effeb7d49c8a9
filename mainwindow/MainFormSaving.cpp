// The window while a save runs: painted, saying how far the save is, and
// holding back everything that could change the document until it ends.
#include "document/commands/SaveWork.h"
#include "document/program/Translation.h"
#include "mainwindow/MainForm.h"

#include <QProgressBar>
#include <QStatusBar>
#include <QTimer>
#include <algorithm>

namespace {

// A save shorter than this shows no progress bar: it would only flicker.
constexpr qint64 kProgressAfterMs = 500;
// How often the progress bar follows the work.
constexpr int kProgressIntervalMs = 50;

} // namespace

void TMainForm::SaveStarted()
{
    // The idle work (which applies the others' records), drops and closing
    // wait for the save's end, as they do in its settling wait.
    ++FSaveWaits;
    FSaveClock.start();
    if (FSaveProgress)
        FSaveProgress->setValue(0);
}

void TMainForm::SaveEnded()
{
    if (FSaveProgress)
        FSaveProgress->hide();
    ShowUpdateState(QString(), false);
    SaveWaitEnded();
    // The idle work held back during the save (the others' records, the sharing
    // state and command states showing the new version) runs as soon as the
    // save's events are handled, not a whole idle interval later.
    if (FSaveWaits == 0 && !FClosing) {
        FIdleTimer.stop();
        QMetaObject::invokeMethod(
            this, [this] { IdleTimerTimer(); }, Qt::QueuedConnection);
    }
}

void TMainForm::SaveWaitEnded()
{
    if (--FSaveWaits == 0 && FCloseAfterSave) {
        FCloseAfterSave = false;
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    }
}

void TMainForm::WaitForSaveWork(TSaveWork &work)
{
    ShowUpdateState(Translate(QStringLiteral("Saving...")), true);
    ShowSaveProgress(work.Progress());
    if (work.Finished())
        return;
    // Nothing else here changes the document meanwhile.
    QTimer progress;
    connect(&progress, &QTimer::timeout, this, [this, &work] { ShowSaveProgress(work.Progress()); });
    progress.start(kProgressIntervalMs);
    PaintUntilFinished(work);
    ShowSaveProgress(work.Progress());
}

void TMainForm::ShowSaveProgress(int permille)
{
    if (!FSaveClock.isValid() || FSaveClock.elapsed() < kProgressAfterMs)
        return;
    if (!FSaveProgress) {
        FSaveProgress = new QProgressBar(statusBar());
        FSaveProgress->setObjectName(QStringLiteral("SaveProgress"));
        FSaveProgress->setRange(0, 1000);
        FSaveProgress->setTextVisible(false);
        FSaveProgress->setMaximumWidth(160);
        statusBar()->addPermanentWidget(FSaveProgress);
    }
    // A step that tells nothing of its own (or the bytes built once more after a
    // reload) does not take the bar back.
    FSaveProgress->setValue(std::max(FSaveProgress->value(), permille));
    FSaveProgress->show();
}
