// One instance on a shared document: makes random edits (new rows, changes,
// deletes, many on the same few rows), runs its sharing cycles, and when every
// instance is done writes its tables to a file.
//
//   sharing_peer DOCUMENT CONTROL_DIR PEERS SEED EDITS
//
// The identity comes from ZELTRANO_IDENTITY. Files in CONTROL_DIR: IDENTITY.edits
// (the edits made, one a line), IDENTITY.done, IDENTITY.dump. Exit code 0 on
// success; the run gives up by itself after a minute.
#include "document/DirWatch.h"
#include "document/Document.h"
#include "document/Identity.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <QThread>
#include <algorithm>
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

void dump(Document &doc, const QString &path)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    QTextStream out(&file);
    for (const QString &id : allIDs(doc)) {
        TNodeData *row = doc.FindNode(id);
        QStringList line { id, TableName(row->NodeTable), QString::number(row->ChangeIndex) };
        for (int c = 0; c < row->StringList.size(); ++c)
            line.append(c == kEndColumn ? QString() : row->StringList[c]);
        out << line.join(QLatin1Char('\t')) << '\n';
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 6)
        return 2;
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
    dump(doc, control + me + QStringLiteral(".dump"));
    doc.SetDiffSink(nullptr);
    return 0;
}
