// Work that only reads the document, run on other threads while the window
// keeps painting: the comparing part of a large table's sort.
#include "document/commands/SaveWork.h"
#include "mainwindow/MainForm.h"
#include "resources/Cursors.h"
#include "tables/TaskTables.h"

#include <QEventLoop>

void TMainForm::RunWhilePainting(std::size_t rows, const std::function<void()> &work)
{
    if (rows < FLongWorkRows) {
        work();
        return;
    }
    // As while a save writes: the idle work (which applies the others'
    // records), drops and closing wait for the end; the user's input stays
    // queued, so nothing changes what the work reads.
    ++FSaveWaits;
    struct TEnd {
        TMainForm &form;
        int cursor = TScreenCursor::Current();
        ~TEnd()
        {
            TScreenCursor::Set(cursor);
            form.SaveWaitEnded();
        }
    } end { *this };
    TScreenCursor::Set(crHourGlass);
    TSaveWork step([&work](TSaveWork &) { work(); });
    PaintUntilFinished(step);
    step.Finish();
}

void TMainForm::ConnectLongWork()
{
    FTables->SetLongWorkRunner(
        [this](std::size_t rows, const std::function<void()> &work) { RunWhilePainting(rows, work); },
        [this](std::size_t rows) { return rows >= FLongWorkRows; });
}

void TMainForm::PaintUntilFinished(TSaveWork &work)
{
    // Events are handled, so the window paints; the user's input stays queued
    // until the work is done.
    QEventLoop loop;
    work.OnFinished([&loop] { QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection); });
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}
