#include "mainwindow/OpenProgress.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QProgressBar>
#include <QStatusBar>
#include <QTimer>
#include <utility>

namespace {

int &paintInterval()
{
    static int interval = TOpenProgress::kPaintIntervalMs;
    return interval;
}

} // namespace

void TOpenProgress::SetPaintInterval(int ms)
{
    paintInterval() = ms;
}

TOpenProgress::TOpenProgress(QStatusBar &bar, std::vector<QWidget *> stillWhileLoading)
    : FBar(new QProgressBar(&bar))
{
    FBar->setObjectName(QStringLiteral("OpenProgress"));
    FBar->setRange(0, 100);
    FBar->setMaximumWidth(200);
    FBar->setTextVisible(false);
    bar.addPermanentWidget(FBar);
    FBar->hide();
    for (QWidget *widget : stillWhileLoading)
        FStill.emplace_back(widget);
}

void TOpenProgress::Begin()
{
    if (FActive)
        return;
    FActive = true;
    FBar->setValue(0);
    FBar->show();
    FLastPaint.invalidate();
}

void TOpenProgress::Paint()
{
    // Timers and paints, never the user's input: nothing may change the document
    // that is being opened.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    FLastPaint.start();
}

void TOpenProgress::Wait(
    const std::function<bool()> &finished, const std::function<int()> &percent, bool paintViews)
{
    Begin();
    // The tables keep still through a whole update of their document; a window
    // shown just before would otherwise show nothing where they are.
    std::vector<std::pair<QPointer<QWidget>, bool>> restore;
    if (paintViews && !FHeld) {
        for (const QPointer<QWidget> &widget : FStill) {
            if (widget && !widget->updatesEnabled()) {
                restore.emplace_back(widget, false);
                widget->setUpdatesEnabled(true);
            }
        }
    }
    QEventLoop loop;
    QTimer tick;
    tick.setInterval(kPaintIntervalMs / 2);
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        FBar->setValue(percent());
        if (finished())
            loop.quit();
    });
    tick.start();
    if (!finished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    FBar->setValue(percent());
    Paint();
    for (const auto &[widget, enabled] : restore) {
        if (widget)
            widget->setUpdatesEnabled(enabled);
    }
}

void TOpenProgress::Show(int percent)
{
    if (percent < 0) {
        if (FHeld) {
            for (const QPointer<QWidget> &widget : FStill) {
                if (widget)
                    widget->setUpdatesEnabled(true);
            }
            FHeld = false;
        }
        FBar->hide();
        FActive = false;
        return;
    }
    Begin();
    // At every step: a view that ends its own update bracket lets itself paint
    // again, before the open is done with it.
    for (const QPointer<QWidget> &widget : FStill) {
        if (widget && widget->updatesEnabled())
            widget->setUpdatesEnabled(false);
    }
    FHeld = true;
    FBar->setValue(percent);
    if (!FLastPaint.isValid() || FLastPaint.elapsed() >= paintInterval())
        Paint();
}
