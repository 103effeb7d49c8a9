// Another instance of the program for tests: the peer program (the real main
// window in its own process) steered one command at a time over stdin.
#pragma once

#include "tests/mainwindow/MainFormTestSupport.h"

#include <QProcess>
#include <QProcessEnvironment>

namespace mainformtest {

class Peer {
public:
    // `appData` holds its settings and log. Its running instances are looked for
    // in `runtimeFolder`; without one it has a session of its own (as on another
    // computer), so that it opens a document itself instead of bringing another
    // window showing it forward.
    explicit Peer(const QString &appData, const QString &runtimeFolder = QString(),
        const QString &identity = QStringLiteral("peer.two"))
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("ZELTRANO_IDENTITY", identity);
        env.insert("XDG_DATA_HOME", appData);
        const QString runtime = runtimeFolder.isEmpty() ? appData + "/runtime" : runtimeFolder;
        ScopedRuntimeFolder::MakePrivate(runtime);
        env.insert("XDG_RUNTIME_DIR", runtime);
        env.insert("ZELTRANO_UPDATE_URL", "");
        FProcess.setProcessEnvironment(env);
        FProcess.start(QStringLiteral(ZELTRANO_MAINFORM_PEER), {});
    }
    ~Peer()
    {
        if (FProcess.state() != QProcess::NotRunning) {
            Command("quit");
            FProcess.waitForFinished(10000);
        }
    }
    Peer(const Peer &) = delete;
    Peer &operator=(const Peer &) = delete;

    bool Started() { return FProcess.waitForStarted(10000); }
    // The lines the peer answers, up to its "ok", "end" or "error ...".
    QStringList Command(const QString &line)
    {
        FProcess.write((line + "\n").toUtf8());
        QStringList lines;
        while (FProcess.state() == QProcess::Running || FProcess.canReadLine()) {
            if (!FProcess.canReadLine() && !FProcess.waitForReadyRead(60000))
                break;
            while (FProcess.canReadLine()) {
                const QString answer = QString::fromUtf8(FProcess.readLine()).trimmed();
                lines << answer;
                if (answer == "ok" || answer == "end" || answer.startsWith("error"))
                    return lines;
            }
        }
        return lines;
    }
    QString Errors() { return QString::fromLocal8Bit(FProcess.readAllStandardError()); }
    // Ends the peer as a crash would: it tells nobody.
    void Kill()
    {
        FProcess.kill();
        FProcess.waitForFinished(10000);
    }

private:
    QProcess FProcess;
};

} // namespace mainformtest
