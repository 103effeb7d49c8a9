#pragma once

#include "platform/instances/InstanceMessages.h"

#include <QThread>
#include <condition_variable>
#include <functional>
#include <mutex>

namespace platform::instances {

// The local server of one instance, on a thread of its own: it answers the
// other instances even while the main thread is itself waiting for answers (all
// instances ask each other at once after an announcement). The handlers run on
// the server's thread; they only post work to the main thread.
class TInstanceServer {
public:
    struct THandlers {
        std::function<void()> announced; // another instance announced a change
        std::function<void()> selected; // asked to bring the window forward
    };

    // Listens on the socket `path` (a file left there by a dead process of the
    // same name is replaced). Returns once listening has started or failed.
    TInstanceServer(const QString &path, THandlers handlers);
    // Stops answering and removes the socket file.
    ~TInstanceServer();
    TInstanceServer(const TInstanceServer &) = delete;
    TInstanceServer &operator=(const TInstanceServer &) = delete;

    bool Listening() const;
    // What Query is answered with from now on (any thread).
    void SetInfo(const TInstanceInfoData &info);

private:
    class TThread : public QThread {
    public:
        explicit TThread(TInstanceServer &owner)
            : FOwner(owner)
        { }

    protected:
        void run() override;

    private:
        TInstanceServer &FOwner;
    };

    QByteArray InfoFrame() const;

    const QString FPath;
    const THandlers FHandlers;
    mutable std::mutex FMutex; // guards the three below
    std::condition_variable FStarted;
    bool FReady = false;
    bool FListening = false;
    QByteArray FInfoFrame;
    TThread FThread;
};

} // namespace platform::instances
