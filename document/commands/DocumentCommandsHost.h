#pragma once

#include "document/calendar/DateTime.h"
#include "document/commands/SaveWork.h"

#include <QString>
#include <chrono>
#include <functional>
#include <thread>

struct TDocumentSettings;

// What the document commands ask of the main window: file dialogs, the caption,
// the recent files, the wait cursor, the view settings and the other running
// instances. Every call has a harmless default, so the commands run with no
// window at all.
class IDocumentCommandsHost {
public:
    virtual ~IDocumentCommandsHost() = default;

    // The open and save dialogs; false when the user cancels. `fileName` holds the
    // proposed name on entry and the chosen one on return.
    virtual bool ChooseOpenFileName(QString &fileName) { return false; }
    virtual bool ChooseSaveFileName(QString &fileName) { return false; }
    // The window caption shows this document name.
    virtual void SetCaption(const QString &fileName) { }
    // A document was opened or saved under this name.
    virtual void AddToLastFiles(const QString &fileName) { }
    // Hourglass cursor on or off; pending window messages processed once.
    virtual void SetBusy(bool busy) { }
    virtual void ProcessMessages() { }
    // A save waits `time` for the others: their records settling on the share,
    // their save finishing. A window stays painted and says why it waits, and
    // lets nothing change the document meanwhile; without one, a plain sleep.
    virtual void WaitWhileSaving(std::chrono::milliseconds time) { std::this_thread::sleep_for(time); }
    // Opening reads the file on another thread until `finished`: a window stays
    // painted, shows how far the open came (`percent`, 0 to 100) and lets nothing
    // change the document meanwhile; without one, nothing (the open waits for the
    // thread itself).
    virtual void WaitWhileLoading(const std::function<bool()> &finished, const std::function<int()> &percent)
    { }
    // The open went on to load the rows read: `percent` of the whole open is done
    // (-1: it ended, either way). A window shows it and paints now and then,
    // holding back input, and keeps the views of the half-loaded rows still.
    virtual void ShowLoadProgress(int percent) { }
    // A save's step runs on a worker (serialising, writing, copying): a window
    // stays painted, says "Saving..." (with the work's progress once the save
    // takes long) and lets nothing change the document until it finished;
    // without one, a plain wait.
    virtual void WaitForSaveWork(TSaveWork &work) { work.Wait(); }
    // A save starts and ends: meanwhile the window holds back what could
    // change the document (its idle work, drops, closing).
    virtual void SaveStarted() { }
    virtual void SaveEnded() { }
    // The document was emptied (new, open, reload, revert): whatever the window
    // kept of its rows and of the tables' order goes.
    virtual void DocumentReset() { }
    // The emptied document's chart font size: the chart shows it (a document
    // opened next brings its own with its view settings).
    virtual void ResetChartFontSize(int size) { }
    // Fit the table columns to their contents.
    virtual void AutoFitColumns() { }
    // Separate the overlapping bars once after loading (the overlap pass has run).
    virtual void SolveOverlapping() { }
    // The rows of an opened document are all there: the layout passes that wait
    // for them may run now, while the open still holds the user's input back and
    // the window paints between their slices.
    virtual void RunLoadedLayoutPasses() { }
    // Another running instance shows this document (canonical path): bring it to
    // the front and answer true.
    virtual bool ActivateOtherInstance(const QString &fileName) { return false; }
    // The view settings: fill in what the window shows now (before writing), and
    // follow what was read (after reading).
    virtual void GetViewSettings(TDocumentSettings &settings) { }
    virtual void ApplyViewSettings(const TDocumentSettings &settings) { }
    // The first date the chart shows when the document has no stored one.
    virtual TDateTime DefaultChartStart() const { return Now(); }
    // The language changed: check its menu item, translate the windows again and
    // refresh the texts that depend on it.
    virtual void LanguageChanged(const QString &language) { }
};
