#pragma once

#include "document/sharing/FileMenuScan.h"

#include <QObject>
#include <functional>
#include <memory>

class TWatcherThread;

// Runs the File menu's scan of the sharing folder on a worker thread, one at a
// time, and hands the items to the thread this object lives on. The caller never
// waits: a start while a scan runs does nothing. Destroying the object waits for
// a running scan and drops an undelivered result.
class TUpdateMenuThread : public QObject {
public:
    TUpdateMenuThread();
    ~TUpdateMenuThread() override;
    TUpdateMenuThread(const TUpdateMenuThread &) = delete;
    TUpdateMenuThread &operator=(const TUpdateMenuThread &) = delete;

    // Starts a scan unless one runs (false then); `done` gets the items later,
    // from this object's event loop.
    bool Start(const TFileMenuScanSource &source, std::function<void(const TFileMenuItems &)> done);
    // A scan runs or its items are not yet handed over.
    bool Running() const;

private:
    std::unique_ptr<TWatcherThread> FThread;
    bool FRunning = false;
};
