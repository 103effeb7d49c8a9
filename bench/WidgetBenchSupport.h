#pragma once

// The application the widget benchmarks run in: headless, unscaled, with the
// font the tests pin, so that the figures do not depend on the machine's
// screen; and a tree view waited for until its position cache is built.

#include "components/PositionCache.h"
#include "components/ValidationWorker.h"
#include "components/gui/GridTreeView.h"

#include <QApplication>
#include <QFont>
#include <QThread>

namespace bench {

class OffscreenApplication {
public:
    OffscreenApplication(int &argc, char **argv)
        : FApp((Prepare(), argc), argv)
    {
        QApplication::setFont(QFont(QStringLiteral("Liberation Sans"), 8));
    }

private:
    static void Prepare()
    {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qputenv("QT_SCALE_FACTOR", "1");
    }
    QApplication FApp;
};

// Returns once the view's cache worker has built the positions of a large tree.
inline void SettleTree(TGridTreeView &View)
{
    while (View.PositionCache()->Pending() || TWorkerThread::Instance()->CurrentTree() == View.PositionCache()
        || (View.Tree()->VisibleCount() > CacheThreshold && !View.PositionCache()->UseCache())) {
        QApplication::processEvents();
        QThread::yieldCurrentThread();
    }
    QApplication::processEvents();
}

} // namespace bench
