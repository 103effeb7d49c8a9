// Waiting for the whole program's window to become idle, as the whole-program
// figures measure it: no layout pass pending or debounced, no repaint pending,
// and an idle tick after the wait began that found nothing to do.
#pragma once

#include "mainwindow/MainFormProbe.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <cstdio>
#include <cstdlib>

namespace bench {

// `ticks`: the idle ticks counted before the action waited for began. A tick the
// action ran itself, after its work (a save's end runs one), counts.
inline void UntilIdleSince(TMainForm &window, qint64 ticks)
{
    QElapsedTimer guard;
    guard.start();
    while (Probe(window).IdleTicks() <= ticks || !Probe(window).IsIdle()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        if (guard.elapsed() > 10 * 60 * 1000) {
            std::fprintf(stderr, "the window did not become idle in ten minutes\n");
            std::abort();
        }
    }
    // What the last tick posted (repaints) runs too.
    QCoreApplication::processEvents();
}

inline void UntilIdle(TMainForm &window)
{
    UntilIdleSince(window, Probe(window).IdleTicks());
}

} // namespace bench
