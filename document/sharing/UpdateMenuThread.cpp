#include "document/sharing/UpdateMenuThread.h"

#include "document/program/Log.h"
#include "document/sharing/DirWatch.h"

#include <QDateTime>

TUpdateMenuThread::TUpdateMenuThread() = default;

TUpdateMenuThread::~TUpdateMenuThread()
{
    FThread.reset(); // joins before QObject drops the posted result
}

bool TUpdateMenuThread::Running() const
{
    return FRunning || (FThread && !FThread->Finished());
}

bool TUpdateMenuThread::Start(
    const TFileMenuScanSource &source, std::function<void(const TFileMenuItems &)> done)
{
    if (Running())
        return false;
    FThread.reset();
    FRunning = true;
    FThread = std::make_unique<TWatcherThread>([this, source, done = std::move(done)] {
        auto items = std::make_shared<TFileMenuItems>();
        try {
            *items = ScanSharingFolder(source, QDateTime::currentMSecsSinceEpoch());
        } catch (const std::exception &e) {
            // The menu then offers nothing, and the next opening scans again.
            Log(QStringLiteral("File menu scan: ") + QString::fromLocal8Bit(e.what()));
        }
        QMetaObject::invokeMethod(
            this,
            [this, items, done] {
                FRunning = false;
                done(*items);
            },
            Qt::QueuedConnection);
    });
    return true;
}
