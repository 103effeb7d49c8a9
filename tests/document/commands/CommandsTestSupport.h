#pragma once

#include "document/Document.h"
#include "document/calendar/DateTime.h"
#include "document/commands/DocumentCommands.h"
#include "document/program/MessageDialog.h"
#include "document/program/Settings.h"
#include "document/sharing/DirWatch.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

// A window that records what the commands ask of it.
class RecordingCommandsHost : public IDocumentCommandsHost {
public:
    QString saveName; // empty: the save dialog is cancelled
    QStringList captions, lastFiles;
    int solved = 0;
    TDocumentSettings applied;

    bool ChooseSaveFileName(QString &fileName) override
    {
        fileName = saveName;
        return !saveName.isEmpty();
    }
    void SetCaption(const QString &fileName) override { captions << fileName; }
    void AddToLastFiles(const QString &fileName) override { lastFiles << fileName; }
    void SolveOverlapping() override { ++solved; }
    void ApplyViewSettings(const TDocumentSettings &settings) override { applied = settings; }
    // How a save's waits pass (real time when not set).
    std::function<void(std::chrono::milliseconds)> waits;
    void WaitWhileSaving(std::chrono::milliseconds time) override
    {
        if (waits)
            waits(time);
        else
            IDocumentCommandsHost::WaitWhileSaving(time);
    }
};

// One running instance: its window stand-in, document and commands.
struct CommandsInstance {
    RecordingCommandsHost host;
    Document doc;
    TDocumentCommands commands { doc, &host };

    explicit CommandsInstance(const QString &identity)
    {
        doc.SetIdentity(identity);
        // The test folders are local: the others' records settle at once.
        commands.SetSettleTime(std::chrono::milliseconds(50));
        commands.Reset(); // a watcher of this identity
    }
    TNodeData *addTask(const QString &id, const QString &comment)
    {
        TNodeData *row = doc.AddNode(id, tbTable, true);
        doc.SetData(row, 5, comment);
        return row;
    }
    QString comment(const QString &id) { return doc.GetData(doc.FindNode(id), 5); }
    bool saveAs(const QString &fileName)
    {
        host.saveName = fileName;
        return commands.ActionSaveAsExecute();
    }
};

// The idle tick of a window: store, fetch and apply, follow another's save.
inline void idleTick(CommandsInstance &instance)
{
    for (int i = 0; i < 2; ++i) {
        TDirWatchThread &watcher = instance.commands.Watcher();
        watcher.UpdatePending();
        watcher.StopBackgroundThread();
        watcher.ForceLoadTransactions();
        if (watcher.NeedReload()) {
            ASSERT_TRUE(instance.commands.Reload());
        }
    }
}

// Temporary folders for the documents and for the application data (program
// settings, log and recycle bin), and scripted answers to every question.
class CommandsTest : public ::testing::Test {
protected:
    QTemporaryDir dataHome, dir;
    QByteArray oldDataHome;
    TScriptedMessageDialogs dialogs;
    std::unique_ptr<ScopedMessageDialogs> scopedDialogs;

    void SetUp() override
    {
        oldDataHome = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", dataHome.path().toLocal8Bit());
        FormatSettings() = TFormatSettings {};
        scopedDialogs = std::make_unique<ScopedMessageDialogs>(&dialogs);
    }
    void TearDown() override
    {
        scopedDialogs.reset();
        if (oldDataHome.isNull())
            qunsetenv("XDG_DATA_HOME");
        else
            qputenv("XDG_DATA_HOME", oldDataHome);
    }

    QString path(const QString &name) const { return QDir(dir.path()).canonicalPath() + "/" + name; }
    QString sharing(const QString &rest) const { return path(".kez/Plan.kez/") + rest; }
    QString trash(const QString &name) const { return dataHome.path() + "/Trash/files/" + name; }
    // The numbered working folders, in number order.
    QStringList folders() const
    {
        QList<int> numbers;
        for (const QString &name : QDir(sharing("")).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            numbers << name.toInt();
        std::sort(numbers.begin(), numbers.end());
        QStringList names;
        for (int n : numbers)
            names << QString::number(n);
        return names;
    }
    QStringList messages() const
    {
        QStringList texts;
        for (const auto &q : dialogs.Questions())
            texts << q.Msg;
        return texts;
    }
    static QByteArray read(const QString &file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static void write(const QString &file, const QByteArray &bytes)
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    static QStringList numbers(int from, int to)
    {
        QStringList names;
        for (int n = from; n <= to; ++n)
            names << QString::number(n);
        return names;
    }
};
