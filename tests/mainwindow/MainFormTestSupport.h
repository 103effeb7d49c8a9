// The real main window in a test: scripted questions and file dialogs, the
// program's settings and log in a folder of the test's own, German formats,
// and documents written by the generator.
#pragma once

#include "bench/generator/DocumentGenerator.h"
#include "components/gui/StringGridTree.h"
#include "document/Document.h"
#include "document/DocumentTable.h"
#include "document/calendar/DateTime.h"
#include "document/commands/DocumentCommands.h"
#include "document/commands/SaveWork.h"
#include "document/program/MessageDialog.h"
#include "mainwindow/FileDialogs.h"
#include "mainwindow/MainFormProbe.h"
#include "tables/TaskTables.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/QtWarnings.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <chrono>
#include <gtest/gtest.h>
#include <memory>

namespace mainformtest {

// While it lives, every step that runs off the main thread (a save's, a large
// sort's) takes at least this long, so a test can watch the window meanwhile.
struct SlowWorkSteps {
    explicit SlowWorkSteps(std::chrono::milliseconds least) { TSaveWork::SetLeastTime(least); }
    ~SlowWorkSteps() { TSaveWork::SetLeastTime(std::chrono::milliseconds(0)); }
    SlowWorkSteps(const SlowWorkSteps &) = delete;
    SlowWorkSteps &operator=(const SlowWorkSteps &) = delete;
};

// Counts the paint events of the widgets it is installed on.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

// File dialogs answered from queues; an empty queue cancels.
class ScriptedFileDialogs final : public IFileDialogs {
public:
    QStringList openAnswers, saveAnswers;
    QStringList offered; // the names the dialogs were opened with
    bool ChooseOpenFileName(QWidget *, QString &fileName) override { return Answer(openAnswers, fileName); }
    bool ChooseSaveFileName(QWidget *, QString &fileName) override { return Answer(saveAnswers, fileName); }

private:
    bool Answer(QStringList &answers, QString &fileName)
    {
        offered << fileName;
        if (answers.isEmpty())
            return false;
        fileName = answers.takeFirst();
        return true;
    }
};

// Points the program's settings, log and temporary files at a folder of its own
// for its lifetime.
class ScopedAppDataFolder {
public:
    explicit ScopedAppDataFolder(const QString &folder)
        : FPrevious(qgetenv("XDG_DATA_HOME"))
    {
        qputenv("XDG_DATA_HOME", folder.toLocal8Bit());
    }
    ~ScopedAppDataFolder() { qputenv("XDG_DATA_HOME", FPrevious); }
    ScopedAppDataFolder(const ScopedAppDataFolder &) = delete;
    ScopedAppDataFolder &operator=(const ScopedAppDataFolder &) = delete;

private:
    QByteArray FPrevious;
};

// A runtime folder of its own (mode 0700, as the instances' sockets need) for
// its lifetime: the running instances this test makes meet no other test's.
class ScopedRuntimeFolder {
public:
    explicit ScopedRuntimeFolder(const QString &folder)
        : FPrevious(qgetenv("XDG_RUNTIME_DIR"))
    {
        MakePrivate(folder);
        qputenv("XDG_RUNTIME_DIR", folder.toLocal8Bit());
    }
    ~ScopedRuntimeFolder() { qputenv("XDG_RUNTIME_DIR", FPrevious); }
    ScopedRuntimeFolder(const ScopedRuntimeFolder &) = delete;
    ScopedRuntimeFolder &operator=(const ScopedRuntimeFolder &) = delete;

    static void MakePrivate(const QString &folder)
    {
        QDir().mkpath(folder);
        QFile::setPermissions(
            folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }

private:
    QByteArray FPrevious;
};

// No update check reaches the network while it lives.
class ScopedUpdateCheckOff {
public:
    ScopedUpdateCheckOff()
        : FPrevious(qgetenv("ZELTRANO_UPDATE_URL"))
        , FWasSet(qEnvironmentVariableIsSet("ZELTRANO_UPDATE_URL"))
    {
        qputenv("ZELTRANO_UPDATE_URL", QByteArray());
    }
    ~ScopedUpdateCheckOff()
    {
        if (FWasSet)
            qputenv("ZELTRANO_UPDATE_URL", FPrevious);
        else
            qunsetenv("ZELTRANO_UPDATE_URL");
    }
    ScopedUpdateCheckOff(const ScopedUpdateCheckOff &) = delete;
    ScopedUpdateCheckOff &operator=(const ScopedUpdateCheckOff &) = delete;

private:
    QByteArray FPrevious;
    bool FWasSet;
};

class MainFormTest : public ::testing::Test {
protected:
    MainFormTest()
    {
        FormatSettings() = TFormatSettings {};
        form = std::make_unique<TMainForm>();
        auto scripted = std::make_unique<ScriptedFileDialogs>();
        fileDialogs = scripted.get();
        Probe(*form).SetFileDialogs(std::move(scripted));
        form->resize(1100, 750);
    }
    ~MainFormTest() override { form.reset(); }

    // Shows the window, makes it the active one and lets it lay itself out.
    void ShowForm()
    {
        form->show();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        QCoreApplication::processEvents();
    }

    // A generated plan written into the test's folder.
    QString WritePlan(const QString &name, GeneratorOptions options, bool compressed = true)
    {
        const QString path = QDir(folder.path()).filePath(name);
        QString error;
        EXPECT_TRUE(WriteGeneratedDocument(path, options, compressed, &error)) << error.toStdString();
        return path;
    }

    // A generated plan written plain into the test's folder and opened in the
    // shown window; its path.
    QString OpenPlan(const QString &name, const GeneratorOptions &options)
    {
        const QString path = WritePlan(name, options, false);
        ShowForm();
        EXPECT_TRUE(form->Open(path));
        IdleTick();
        return path;
    }

    QAction *Action(const char *name) const { return form->findChild<QAction *>(QString::fromLatin1(name)); }

    // One turn of the idle work as the event loop gives it.
    void IdleTick()
    {
        Probe(*form).ApplicationEvents1Idle();
        Probe(*form).IdleTimerTimer();
        QCoreApplication::processEvents();
    }

    Document &doc() const { return Probe(*form).Doc(); }
    TBaseGridTree &store(TWhichTable table) const { return doc().GetTable(table).Tree(); }
    // The row at place `index` of a table in tree order.
    TNodeData *row(TWhichTable table, int index) const
    {
        const DocumentTable &rows = doc().GetTable(table);
        TNodeData *r = rows.First();
        for (int i = 0; r && i < index; ++i)
            r = rows.Next(r);
        return r;
    }

    // First made, last gone: it sees the whole life of the window.
    testsupport::FailOnQtWarnings qtWarnings;
    QTemporaryDir folder;
    ScopedAppDataFolder appData { folder.path() + "/appdata" };
    ScopedRuntimeFolder runtime { folder.path() + "/runtime" };
    ScopedUpdateCheckOff noUpdateCheck;
    TScriptedMessageDialogs dialogs;
    ScopedMessageDialogs scoped { &dialogs };
    std::unique_ptr<TMainForm> form;
    ScriptedFileDialogs *fileDialogs = nullptr;
};

} // namespace mainformtest
