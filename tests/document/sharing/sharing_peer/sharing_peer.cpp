// One instance on a shared document, without a window. Three modes:
//
//   sharing_peer DOCUMENT CONTROL_DIR PEERS SEED EDITS
//     Makes random edits (new rows, changes, deletes, many on the same few rows),
//     runs its sharing cycles, and when every instance is done writes its tables
//     to a file. Files in CONTROL_DIR: IDENTITY.edits (the edits made, one a
//     line), IDENTITY.done, IDENTITY.dump. Gives up by itself after a minute.
//
//   sharing_peer soak DOCUMENT CONTROL_DIR SEED
//     Opens the document through the document commands and, until CONTROL_DIR/finish
//     appears, makes random edits and at random moments stores, saves or reloads.
//     It may be killed at any moment and started again. IDENTITY.edits gets every
//     edit before it is made and a line "stored" once all edits before it are on
//     disk; "start" opens each run. After "finish" (which holds the number of
//     instances) it stores everything, writes IDENTITY.done, waits for the others,
//     stores again what the last save did not read, writes IDENTITY.settled, waits
//     for the others again and writes IDENTITY.dump. When IDENTITY.run names
//     another seed, a later run of the identity replaced this one: it stops at once.
//
//   sharing_peer save DOCUMENT CONTROL_DIR
//     Opens the document, adds a row (its ID the identity), stores it,
//     writes IDENTITY.ready and waits for CONTROL_DIR/go, which holds a moment (ms
//     since the epoch): at that moment it saves, as a user pressing Save together
//     with others. ZELTRANO_SOAK_SETTLE_MS and ZELTRANO_SAVE_PATIENCE_MS lower the
//     settling time and the save's patience. Exit code 7 when the save failed.
//
// The identity comes from ZELTRANO_IDENTITY. Exit code 0 on success.
#include "document/Document.h"
#include "document/commands/DocumentCommands.h"
#include "document/commands/DocumentSave.h"
#include "document/program/Identity.h"
#include "document/program/MessageDialog.h"
#include "document/sharing/DirWatch.h"
#include "tests/document/sharing/StaleShareFiles.h"
#include "tests/document/sharing/sharing_peer/TableDump.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>

namespace {

constexpr int kEndColumn = 2; // derived: computed by every instance, never shared

QStringList allIDs(Document &doc)
{
    QStringList ids;
    doc.ForEach(feAll, [&](TNodeData &row) { ids.append(row.ID); });
    ids.sort();
    return ids;
}

QString randomValue(Document &doc, TWhichTable table, int column, std::mt19937 &rng, const QString &tag)
{
    const QString caption = doc.GetColumnCaptionHack(table, column);
    switch (doc.GetColumnType(table, column)) {
    case ctDate:
        return rng() % 10 == 0 ? QString() : doc.FormatDateTime(45300 + int(rng() % 90));
    case ctNumber:
        return QString::number(1 + rng() % 10);
    case ctCheckBox:
        return rng() % 2 ? QStringLiteral("Ja") : QStringLiteral("Nein");
    case ctPulldown: {
        const QStringList &items = doc.GetColumnStrings(table, column);
        return caption + QLatin1Char(' ') + QString::number(1 + rng() % std::max<qsizetype>(1, items.size()));
    }
    default:
        return tag;
    }
}

void dump(Document &doc, const QString &path, bool withCounters)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(TableDump(doc, withCounters).toUtf8());
}

} // namespace

int converge(const QStringList &args)
{
    const QString document = args[1];
    const QString control = args[2] + QLatin1Char('/');
    const int peers = args[3].toInt();
    std::mt19937 rng(args[4].toUInt());
    const int edits = args[5].toInt();
    const QString me = UserIdentity();

    QElapsedTimer clock;
    clock.start();
    auto timedOut = [&] { return clock.elapsed() > 60000; };

    Document doc;
    TDirWatchThread watcher(document, doc);
    doc.SetDiffSink(&watcher);
    watcher.SetScanInterval(std::chrono::milliseconds(150));
    watcher.ForceLoadTransactions();

    QFile editsFile(control + me + QStringLiteral(".edits"));
    editsFile.open(QIODevice::WriteOnly | QIODevice::Truncate);
    QTextStream log(&editsFile);

    auto idle = [&](int ms) {
        watcher.UpdatePending();
        // An instance's idle time: the others work meanwhile, in real time.
        QThread::msleep(ms);
    };
    auto addRow = [&] {
        const TWhichTable table = rng() % 4 == 0 ? tbExclude : tbTable;
        TNodeData *row = doc.AddNode(QString(), table, true);
        log << "new\t" << row->ID << '\t' << TableName(table) << '\n';
    };

    for (int i = 0; i < 2; ++i)
        addRow();
    for (int i = 0; i < 40; ++i)
        idle(15);

    for (int i = 0; i < edits && !timedOut(); ++i) {
        const QStringList ids = allIDs(doc);
        const unsigned action = rng() % 100;
        if (action < 12 || ids.size() < 4) {
            addRow();
        } else if (action < 18) {
            const QString id = ids[qsizetype(rng() % ids.size())];
            doc.DeleteNode(doc.FindNode(id), true);
            log << "delete\t" << id << '\n';
        } else {
            // Half of the changes go to the same few rows on every instance.
            const qsizetype pick = rng() % 2 ? qsizetype(rng() % 3) : qsizetype(rng() % ids.size());
            TNodeData *row = doc.FindNode(ids[pick]);
            const TWhichTable table = row->NodeTable;
            int column = kEndColumn;
            while (column == kEndColumn)
                column = int(rng() % unsigned(doc.GetTableColCount(table)));
            const QString value
                = randomValue(doc, table, column, rng, me + QLatin1Char('-') + QString::number(i));
            if (doc.GetData(row, column) != value) {
                doc.SetData(row, column, value);
                log << "change\t" << row->ID << '\t' << doc.GetColumnCaptionHack(table, column) << '\t'
                    << value << '\n';
            }
        }
        idle(int(rng() % 25));
    }
    log.flush();
    editsFile.close();

    // Everything stored, then wait for the others.
    while (watcher.NumPendingEvents() > 0 && !timedOut())
        idle(10);
    if (!watcher.ForceStorePending() || watcher.Error())
        return 3;
    QFile(control + me + QStringLiteral(".done")).open(QIODevice::WriteOnly);
    for (;;) {
        if (timedOut())
            return 4;
        const int done = int(QDir(control).entryList({ QStringLiteral("*.done") }, QDir::Files).size());
        if (done >= peers)
            break;
        idle(20);
    }
    // Every other instance has stored all it will: one more pass reads it all.
    watcher.ForceLoadTransactions();
    if (watcher.NumPendingEvents() != 0 || watcher.NumPendingConflicts() != 0)
        return 5;
    dump(doc, control + me + QStringLiteral(".dump"), true);
    doc.SetDiffSink(nullptr);
    return 0;
}

namespace {

// Answers as a user who wants to keep working: Yes where offered (open the newer
// working copy, save unstored changes), else OK.
class KeepWorkingDialogs : public IMessageDialogs {
public:
    int MessageDlgPosHelp(
        const QString &, TMsgDlgType, TMsgDlgButtons buttons, int, int, int, const QString &) override
    {
        return buttons.contains(mbYes) ? mrYes : buttons.contains(mbOK) ? mrOk : mrCancel;
    }
};

class SoakPeer {
public:
    SoakPeer(const QString &document, const QString &control, unsigned seed)
        : FDocumentName(document)
        , FControl(control)
        , FRng(seed)
        , FMe(UserIdentity())
        , FRun(QByteArray::number(seed))
        , FEdits(control + FMe + QStringLiteral(".edits"))
    {
        FEdits.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered);
    }

    int Run()
    {
        // Each instance behind a client that keeps listings and attributes this long.
        if (FCacheMs > 0) {
            FCommands.SetShareFileSystem(
                std::make_shared<TStaleShareFiles>(std::chrono::milliseconds(FCacheMs)));
            FCommands.SetSettleTime(std::chrono::milliseconds(2 * FCacheMs + 500));
        }
        if (qEnvironmentVariableIsSet("ZELTRANO_SOAK_SETTLE_MS"))
            FCommands.SetSettleTime(
                std::chrono::milliseconds(qEnvironmentVariableIntValue("ZELTRANO_SOAK_SETTLE_MS")));
        if (!FCommands.Open(FDocumentName))
            return fail("the document did not open");
        Watcher().SetScanInterval(std::chrono::milliseconds(100));
        note(QStringLiteral("start"));
        const QString finish = FControl + QStringLiteral("finish");
        QElapsedTimer alive;
        alive.start();
        while (!QFileInfo::exists(finish)) {
            // An orphan (its harness gone) stops by itself.
            if (!QFileInfo::exists(FControl) || alive.elapsed() > 4 * 3600 * 1000)
                return 9;
            const unsigned action = FRng() % 1000;
            if (action < 600) {
                edit();
            } else if (action < 604) {
                if (FCommands.Save(FCommands.FileName()))
                    note(QStringLiteral("stored"));
            } else if (action < 625) {
                if (!reload())
                    return fail("reload failed");
            } else if (action < 700) {
                if (Watcher().ForceStorePending() && !Watcher().Error())
                    note(QStringLiteral("stored"));
            }
            if (!tick())
                return fail("sharing failed");
            // A user's pause between steps, as long as chance makes it.
            QThread::msleep(FRng() % 15);
        }
        const int peers = QString::fromLatin1(readAll(finish)).trimmed().toInt();
        if (peers <= 0)
            return fail("the finish file holds no count of instances");
        return Finish(peers);
    }

private:
    TDirWatchThread &Watcher() { return FCommands.Watcher(); }

    int fail(const char *what)
    {
        std::fprintf(stderr, "%s: %s (%s)\n", qPrintable(FMe), what, qPrintable(Watcher().ErrorText()));
        return 6;
    }

    static QByteArray readAll(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Written before the edit is made, so a kill never hides an edit that reached a file.
    void note(const QString &line)
    {
        stopIfReplaced();
        FEdits.write((line + QLatin1Char('\n')).toUtf8());
    }

    // The harness names the run that counts for this identity (CONTROL/IDENTITY.run,
    // the seed). A run it meant to kill that still goes on stops at once, as a
    // killed one would: its lines in the edit log would pass for the new run's.
    void stopIfReplaced() const
    {
        const QByteArray run = readAll(FControl + FMe + QStringLiteral(".run")).trimmed();
        if (!run.isEmpty() && run != FRun) {
            std::fprintf(stderr, "%s: a later run replaced this one, which stops\n", qPrintable(FMe));
            std::_Exit(9);
        }
    }

    void edit()
    {
        const QStringList ids = allIDs(FDoc);
        const unsigned action = FRng() % 100;
        if (action < 12 || ids.size() < 4) {
            const TWhichTable table = FRng() % 4 == 0 ? tbExclude : tbTable;
            const QString id = FDoc.GetFreeID();
            note(QStringLiteral("new\t%1\t%2").arg(id, TableName(table)));
            FDoc.AddNode(id, table, true);
        } else if (action < 18) {
            const QString id = ids[qsizetype(FRng() % ids.size())];
            note(QStringLiteral("delete\t") + id);
            FDoc.DeleteNode(FDoc.FindNode(id), true);
        } else {
            // Half of the changes go to the same few rows on every instance.
            const qsizetype pick = FRng() % 2 ? qsizetype(FRng() % 3) : qsizetype(FRng() % ids.size());
            TNodeData *row = FDoc.FindNode(ids[pick]);
            const TWhichTable table = row->NodeTable;
            int column = kEndColumn;
            while (column == kEndColumn)
                column = int(FRng() % unsigned(FDoc.GetTableColCount(table)));
            const QString value
                = randomValue(FDoc, table, column, FRng, FMe + QLatin1Char('-') + QString::number(++FCount));
            if (FDoc.GetData(row, column) == value)
                return;
            note(QStringLiteral("change\t%1\t%2\t%3").arg(row->ID).arg(column).arg(value));
            FDoc.SetData(row, column, value);
        }
    }

    // What the window does when another instance saved.
    bool reload()
    {
        const bool loaded = FCommands.Reload().ok();
        Watcher().SetScanInterval(std::chrono::milliseconds(100));
        return loaded;
    }

    // The idle tick. On a disk that fills up now and then, a failed store is what
    // the user is shown; saving again (once there is room) lets sharing go on.
    bool tick()
    {
        stopIfReplaced();
        Watcher().UpdatePending();
        if (Watcher().Error()) {
            if (!FFullDisk)
                return false;
            if (FCommands.Save(FCommands.FileName()))
                note(QStringLiteral("stored"));
            return true;
        }
        return !Watcher().NeedReload() || reload() || FFullDisk;
    }

    int Finish(int peers)
    {
        QElapsedTimer clock;
        clock.start();
        auto timedOut = [&] { return clock.elapsed() > 90000; };
        // Everything stored; a folder left locked by an instance killed while
        // saving is released by saving, as its user would when asked on closing.
        QElapsedTimer locked;
        for (;;) {
            if (timedOut())
                return fail("records could not be stored");
            if (!tick())
                return fail("sharing failed");
            if (Watcher().isLocked()) {
                if (!locked.isValid())
                    locked.start();
                if (locked.elapsed() > 2000) {
                    FCommands.Save(FCommands.FileName());
                    locked.invalidate();
                }
            } else {
                locked.invalidate();
                if (Watcher().ForceStorePending() && !Watcher().Error())
                    break;
            }
            // Paces the retries while another process's save holds the folder.
            QThread::msleep(20);
        }
        note(QStringLiteral("stored"));
        if (const char *failed = barrier(QStringLiteral(".done"), peers, timedOut))
            return fail(failed);
        // Nobody saves any more. Once every view shows the last save, records
        // stored into a folder after that save had read it are stored again in the
        // last one; then everybody reads everything once more.
        if (!lookAgain())
            return fail("reload failed");
        if (!Watcher().ForceStorePending() || Watcher().Error())
            return fail("records could not be stored");
        if (const char *failed = barrier(QStringLiteral(".settled"), peers, timedOut))
            return fail(failed);
        if (!lookAgain())
            return fail("reload failed");
        if (Watcher().NumPendingEvents() != 0 || Watcher().NumPendingConflicts() != 0)
            return fail("records or conflicts left");
        dump(FDoc, FControl + FMe + QStringLiteral(".dump"), false);
        return 0;
    }

    // Writes CONTROL/IDENTITY<suffix> and waits, ticking, until every instance
    // wrote its own. The reason when that fails.
    template <typename F> const char *barrier(const QString &suffix, int peers, F timedOut)
    {
        QFile(FControl + FMe + suffix).open(QIODevice::WriteOnly);
        for (;;) {
            if (timedOut())
                return "the others did not finish";
            if (!tick())
                return "sharing failed";
            const int done = int(QDir(FControl).entryList({ QLatin1Char('*') + suffix }, QDir::Files).size());
            if (done >= peers)
                return nullptr;
            // Paces the look at the other processes, which finish in real time.
            QThread::msleep(20);
        }
    }

    // Once every view shows the last files: a look at the document and the folder.
    bool lookAgain()
    {
        // Time passing is the point: the views of this process's share client age in real
        // time, and the look must come after every cached listing has expired.
        QThread::msleep(static_cast<unsigned long>(std::max(FCacheMs, FListingMs) + 300));
        Watcher().StopBackgroundThread();
        Watcher().UpdatePending();
        if (Watcher().NeedReload() && !reload())
            return false;
        Watcher().ForceLoadTransactions();
        return true;
    }

    const QString FDocumentName;
    const QString FControl;
    std::mt19937 FRng;
    const QString FMe;
    const QByteArray FRun;
    const int FCacheMs = qEnvironmentVariableIntValue("ZELTRANO_SOAK_CACHE_MS");
    const bool FFullDisk = qEnvironmentVariableIsSet("ZELTRANO_SOAK_FULL_DISK");
    // How long the folder's own client may show an old listing (a real share).
    const int FListingMs = qEnvironmentVariableIntValue("ZELTRANO_SOAK_LISTING_MS");
    QFile FEdits;
    int FCount = 0;
    KeepWorkingDialogs FDialogs;
    ScopedMessageDialogs FScopedDialogs { &FDialogs };
    Document FDoc;
    TDocumentCommands FCommands { FDoc };
};

} // namespace

int soak(const QStringList &args)
{
    SoakPeer peer(QFileInfo(args[2]).absoluteFilePath(), args[3] + QLatin1Char('/'), args[4].toUInt());
    return peer.Run();
}

int saveTogether(const QStringList &args)
{
    const QString control = args[3] + QLatin1Char('/');
    const QString me = UserIdentity();
    KeepWorkingDialogs dialogs;
    ScopedMessageDialogs scoped(&dialogs);
    Document doc;
    TDocumentCommands commands(doc);
    if (qEnvironmentVariableIsSet("ZELTRANO_SOAK_SETTLE_MS"))
        commands.SetSettleTime(
            std::chrono::milliseconds(qEnvironmentVariableIntValue("ZELTRANO_SOAK_SETTLE_MS")));
    if (qEnvironmentVariableIsSet("ZELTRANO_SAVE_PATIENCE_MS"))
        TDocumentSave::SetPatience(
            std::chrono::milliseconds(qEnvironmentVariableIntValue("ZELTRANO_SAVE_PATIENCE_MS")));
    if (!commands.Open(QFileInfo(args[2]).absoluteFilePath()))
        return 3;
    doc.AddNode(me, tbTable, true);
    if (!commands.Watcher().ForceStorePending())
        return 4;
    QFile(control + me + QStringLiteral(".ready")).open(QIODevice::WriteOnly);
    QElapsedTimer waited;
    waited.start();
    QFile go(control + QStringLiteral("go"));
    while (!go.open(QIODevice::ReadOnly)) {
        if (waited.elapsed() > 60000)
            return 5;
        commands.Watcher().UpdatePending();
        QThread::msleep(5);
    }
    const qint64 at = go.readAll().trimmed().toLongLong();
    commands.Watcher().StopBackgroundThread();
    // The last milliseconds are spun away: the saves start within one of each other.
    while (QDateTime::currentMSecsSinceEpoch() < at - 20)
        QThread::msleep(1);
    while (QDateTime::currentMSecsSinceEpoch() < at) { }
    return commands.Save(commands.FileName()) ? 0 : 7;
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 5 && args[1] == QLatin1String("soak"))
        return soak(args);
    if (args.size() == 4 && args[1] == QLatin1String("save"))
        return saveTogether(args);
    if (args.size() == 6)
        return converge(args);
    return 2;
}
