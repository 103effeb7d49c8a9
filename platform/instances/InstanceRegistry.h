#pragma once

#include "platform/instances/PrivateFolder.h"

#include <QObject>
#include <QString>
#include <QStringView>
#include <functional>
#include <memory>
#include <vector>

namespace platform {

namespace instances {
class TInstanceServer;
struct TExchange;
struct TInstanceInfoData;
}

// One running instance of the program as the window list shows it.
struct TInstanceInfo {
    QString server; // its socket: the key to select it by
    qint64 started = 0; // orders the list: the earliest instance is number 1
    QString caption; // its window caption ("KEZ - " and the document name)
    QString fileName; // the document name it was given (canonical for a named document)
    bool own = false;
    bool operator==(const TInstanceInfo &) const = default;
};

// One entry of the window menu: "n name", the own window checked.
struct TWindowMenuEntry {
    QString caption;
    QString server;
    bool checked = false;
    bool operator==(const TWindowMenuEntry &) const = default;
};

// The window menu made from a window list, in its order.
std::vector<TWindowMenuEntry> WindowMenuEntries(const std::vector<TInstanceInfo> &list);

// Every running instance of this user has a local server in a private folder,
// named by user and process. Instances tell each other of a changed caption and
// of their end by an announcement; every instance that hears one asks all
// servers for their caption and document name again (sockets that nobody
// listens on any more are removed on the way). Only texts cross the process
// border, each bounded and checked.
//
// Lives on the main thread; the handlers are called there.
class TInstanceRegistry : public QObject {
public:
    static constexpr QStringView kCaptionPrefix = u"KEZ - ";
    // How long one round of questions may take altogether (a hung instance is
    // left out of the list, not waited for).
    static constexpr int kTimeoutMs = 1000;

    // `name` is the socket's name in `folder`; the default is made from the user
    // and the process id (tests run several registries in one process).
    explicit TInstanceRegistry(
        const QString &folder = DefaultInstanceFolder(), const QString &name = QString());
    // Stops the server, then announces the end so the others drop this instance.
    ~TInstanceRegistry() override;
    TInstanceRegistry(const TInstanceRegistry &) = delete;
    TInstanceRegistry &operator=(const TInstanceRegistry &) = delete;

    // False when the folder is not private or the socket cannot be made: the
    // instance then lists only itself and is found by no other.
    bool IsListening() const;
    const QString &ServerName() const { return FServer; }

    // Stores the name, makes the caption "KEZ - " + name, announces the change
    // and refreshes the own list once control returns to the event loop.
    void SetCaption(const QString &fileName);
    QString Caption() const;
    const QString &CaptionFileName() const { return FCaptionFileName; }

    // Asks every instance for its caption now and rebuilds the window list;
    // the list-changed handler runs when it differs from before.
    void Refresh();
    // The instances whose caption is longer than the prefix and starts with it,
    // ordered by start (the own one included).
    const std::vector<TInstanceInfo> &WindowList() const { return FWindowList; }
    std::vector<TWindowMenuEntry> MenuEntries() const { return WindowMenuEntries(FWindowList); }

    // Asks the instance of `server` to bring its window forward (the own one
    // directly). False when it did not answer.
    bool Select(const QString &server);
    // The socket of another instance whose document name equals `fileName`
    // exactly (pass canonical paths: the comparison is case-sensitive), or "".
    QString FindInstanceShowing(const QString &fileName);
    // FindInstanceShowing, then Select: true when that instance came forward.
    bool ActivateOtherInstance(const QString &fileName);

    // Brings the own window forward (showNormal, raise, activateWindow; an
    // alert where the window system refuses the focus).
    void SetBringForwardHandler(std::function<void()> handler) { FBringForward = std::move(handler); }
    // The window list changed (rebuild the window menu from MenuEntries()).
    void SetListChangedHandler(std::function<void()> handler) { FListChanged = std::move(handler); }

private:
    QStringList OtherServers() const;
    std::vector<TInstanceInfo> AskAll();
    // Removes the socket of an instance that is gone; true when it was.
    static bool DropIfRefused(const instances::TExchange &exchange);
    void Announce();
    void ScheduleRefresh();
    void BringForward();
    instances::TInstanceInfoData OwnInfo() const;

    const QString FFolder;
    const QString FServer;
    const qint64 FStarted;
    bool FPrivateFolder = false;
    QString FCaptionFileName;
    std::vector<TInstanceInfo> FWindowList;
    bool FRefreshScheduled = false;
    std::function<void()> FBringForward;
    std::function<void()> FListChanged;
    std::unique_ptr<instances::TInstanceServer> FServerThread;
};

} // namespace platform
