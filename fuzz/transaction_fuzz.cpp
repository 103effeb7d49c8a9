// A transaction file's bytes applied to a small shared document: read, applied
// in index order, conflicts replayed. Nothing may crash, and applying the same
// file again must change nothing (each index applies once).
#include "document/Document.h"
#include "document/sharing/DirWatch.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>

namespace {

QTemporaryDir *folder = nullptr;

void write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}

QStringList rows(Document &doc)
{
    QStringList all;
    doc.ForEach(feAll, [&](TNodeData &row) { all << row.ID + '|' + row.StringList.join('|'); });
    all.sort();
    return all;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    folder = new QTemporaryDir;
    qputenv("XDG_DATA_HOME", (folder->path() + "/data").toLocal8Bit()); // the log goes there
    write(folder->path() + "/Plan.kez",
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><document><setup /><data>"
        "<new id=\"a\"><__table__>tbTable</__table__><Comment>base</Comment></new></data>"
        "<diff index=\"0\" /></document>");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString dir = folder->path() + "/.kez/Plan.kez/0/";
    QDir(dir).removeRecursively();
    QFile::remove(folder->path() + "/data/kez/kez.log");
    Document doc;
    doc.SetIdentity("fuzz.me");
    TNodeData *a = doc.AddNode("a", tbTable, false);
    doc.DoSetData(a, 5, "base", false);
    doc.AddNode("b", tbExclude, false);
    {
        TDirWatchThread watcher(folder->path() + "/Plan.kez", doc);
        doc.SetDiffSink(&watcher);
        doc.SetData(a, 1, "01.02.2024"); // a queued own record takes part in replays
        write(dir + "other.1.diff", QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
        watcher.ForceLoadTransactions();
        const QStringList once = rows(doc);
        watcher.ForceLoadTransactions();
        if (rows(doc) != once)
            std::abort();
        doc.SetDiffSink(nullptr);
    }
    return 0;
}
