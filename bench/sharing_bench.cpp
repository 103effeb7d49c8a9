// Sharing on a large plan: a 100k-row document and 20 other instances with
// 20,000 records each in the working folder. Measured: applying 1,000 and 2,000
// fetched records (linear: about 2x), solving conflicts of 100 rows, and an idle
// cycle with nothing new (the main thread's step reads no file and is a tiny
// fraction of applying 1,000; the worker's pass only lists the folder), each beside
// its peer or floor.
#include "bench/BenchSupport.h"
#include "bench/generator/DocumentGenerator.h"
#include "document/sharing/DirWatch.h"
#include "document/xml/XMLFile.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>

namespace {

constexpr int kTasks = 100000;
constexpr int kIdentities = 20;
constexpr int kRecordsEach = 20000;

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(bytes);
}

QByteArray diffFile(const QByteArray &records, int lastIndex)
{
    return "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><document><setup /><data /><diff index=\""
        + QByteArray::number(lastIndex) + "\">" + records + "</diff></document>";
}

QByteArray change(const QString &id, int index, int counter, const char *user, const QString &comment)
{
    return QStringLiteral("<change id=\"%1\" index=\"%2\"><__change__>%3</__change__><__user__>%4</__user__>"
                          "<Comment>%5</Comment></change>")
        .arg(id)
        .arg(index)
        .arg(counter)
        .arg(QLatin1String(user), comment)
        .toLatin1();
}

// The shared plan, its watcher and an extra instance's growing file.
struct Plan {
    QTemporaryDir dir;
    Document doc;
    std::unique_ptr<TDirWatchThread> watcher;
    QString workingDir;
    int extraFiles = 0;
    int newRows = 0;
    int conflictRound = 0;

    Plan()
    {
        qputenv("XDG_DATA_HOME", (dir.path() + "/data").toLocal8Bit());
        GeneratorOptions options;
        options.tasks = kTasks;
        options.absentRows = 0;
        options.positions = 200;
        GenerateDocument(doc, options);
        doc.SetIdentity("bench.me");
        doc.SetCompressedSave(false);
        writeFile(dir.path() + "/Plan.kez", documentBytes());
        watcher = std::make_unique<TDirWatchThread>(dir.path() + "/Plan.kez", doc);
        doc.SetDiffSink(watcher.get());
        workingDir = watcher->GetWorkingDir();
        // Each instance changed its own share of the rows four times in a row.
        const int rowsEach = kTasks / kIdentities;
        for (int k = 0; k < kIdentities; ++k) {
            const QByteArray user = "bench.user" + QByteArray::number(k);
            QByteArray records;
            int index = 0;
            for (int r = 0; r < kRecordsEach; ++r) {
                const int row = k * rowsEach + r % rowsEach;
                records += change(QStringLiteral("gen.task.%1").arg(row), ++index, 1 + r / rowsEach,
                    user.constData(), QStringLiteral("edit %1").arg(r));
            }
            writeFile(workingDir + user + ".1.diff", diffFile(records, index));
        }
        watcher->ForceLoadTransactions();
    }

    // The document as saved: every row a "new" element, the base of conflict solving.
    QByteArray documentBytes()
    {
        TXMLTree tree;
        tree.setText(TXMLFile::DefaultText());
        TXMLNode *data = tree.namedNode(QStringList { "document", "data" });
        doc.ForEach(tbTable, feAll, [&](TNodeData &row) {
            TXMLNode *element = data->AddNode(THashedString(QStringLiteral("new")));
            element->AddAttribute(THashedString(QStringLiteral("id")), row.ID);
            element->AddNode(THashedString(QStringLiteral("__table__")), QStringLiteral("tbTable"));
            for (int c = 0; c < row.StringList.size(); ++c) {
                const QString text = doc.GetColumnType(tbTable, c) == ctDate
                    ? FormatDateTimeForStorage(doc.StrToDateTime(row.StringList[c]))
                    : row.StringList[c];
                element->AddNode(THashedString(doc.GetColumnCaptionHack(tbTable, c)), text);
            }
        });
        return tree.SaveToBytes(false);
    }

    // Another instance stores `count` records: half new rows, half changes of them.
    // Each batch is a file of its own, so every batch is read and applied alike.
    void appendRecords(int count)
    {
        QByteArray extraRecords;
        int extraIndex = 0;
        for (int i = 0; i < count / 2; ++i) {
            const QString id = QStringLiteral("bench.extra.%1").arg(newRows++);
            extraRecords += QStringLiteral("<new id=\"%1\" index=\"%2\"><__change__>0</__change__><__user__>"
                                           "bench.extra</__user__><__table__>tbTable</__table__></new>")
                                .arg(id)
                                .arg(++extraIndex)
                                .toLatin1();
            extraRecords += change(id, ++extraIndex, 1, "bench.extra", QStringLiteral("new row"));
        }
        writeFile(workingDir + QStringLiteral("bench.extra%1.1.diff").arg(extraFiles++),
            diffFile(extraRecords, extraIndex));
        watcher->ThreadProc(); // fetches the grown file
    }
};

Plan &plan()
{
    static Plan shared;
    return shared;
}

void applyRecords(benchmark::State &state, int count)
{
    Plan &p = plan();
    for (auto _ : state) {
        state.PauseTiming();
        p.appendRecords(count);
        state.ResumeTiming();
        p.watcher->LoadPending();
        p.watcher->SolveConflicts();
    }
}

void BM_Apply1000(benchmark::State &state)
{
    applyRecords(state, 1000);
}

void BM_Apply2000(benchmark::State &state)
{
    applyRecords(state, 2000);
}

// The floor of applying 1,000 records: as many hash look-ups and cell writes.
void BM_FloorApply1000(benchmark::State &state)
{
    QHash<QString, QStringList> rows;
    for (int i = 0; i < kTasks; ++i)
        rows.insert(QStringLiteral("gen.task.%1").arg(i), QStringList(6));
    int round = 0;
    for (auto _ : state) {
        for (int i = 0; i < 1000; ++i) {
            auto it = rows.find(QStringLiteral("gen.task.%1").arg((round * 1000 + i) % kTasks));
            (*it)[5] = QStringLiteral("edit");
        }
        ++round;
    }
}

// 100 rows changed here and by another instance with the same counter.
void BM_SolveConflicts100(benchmark::State &state)
{
    Plan &p = plan();
    for (auto _ : state) {
        state.PauseTiming();
        const int round = p.conflictRound++;
        QByteArray records;
        for (int i = 0; i < 100; ++i) {
            const QString id = QStringLiteral("gen.task.%1").arg(round * 100 + i);
            records += change(id, i + 1, int(p.doc.FindNode(id)->ChangeIndex), "bench.rival", "rival");
        }
        writeFile(p.workingDir + QStringLiteral("bench.rival%1.1.diff").arg(round), diffFile(records, 100));
        p.watcher->ThreadProc();
        p.watcher->LoadPending();
        if (p.watcher->NumPendingConflicts() != 100)
            state.SkipWithError("expected 100 conflicts");
        state.ResumeTiming();
        p.watcher->SolveConflicts();
    }
}

// The main thread's part of a cycle with nothing new: nothing is read or applied.
void BM_IdleCycle(benchmark::State &state)
{
    Plan &p = plan();
    p.watcher->ThreadProc();
    p.watcher->LoadPending();
    p.watcher->SolveConflicts();
    for (auto _ : state) {
        p.watcher->LoadPending();
        p.watcher->SolveConflicts();
    }
}

// The worker's pass with nothing new (off the main thread): presence file,
// listing with sizes; no file is read.
void BM_IdleWorkerPass(benchmark::State &state)
{
    Plan &p = plan();
    int filesRead = 0;
    for (auto _ : state) {
        p.watcher->ThreadProc();
        filesRead += p.watcher->NumPendingFiles();
    }
    state.counters["files_read"] = filesRead;
}

} // namespace

BENCHMARK(BM_Apply1000)->Unit(benchmark::kMicrosecond)->Iterations(20);
BENCHMARK(BM_Apply2000)->Unit(benchmark::kMicrosecond)->Iterations(20);
BENCHMARK(BM_FloorApply1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SolveConflicts100)->Unit(benchmark::kMicrosecond)->Iterations(10);
BENCHMARK(BM_IdleCycle)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_IdleWorkerPass)->Unit(benchmark::kMicrosecond);

int main(int argc, char **argv)
{
    // Linear: twice the records take about twice the time.
    return bench::runWithFigures(argc, argv,
        { { "sharing.apply2000/apply1000", "BM_Apply2000", "BM_Apply1000", "<=", 2.5 },
            { "sharing.apply1000/floor", "BM_Apply1000", "BM_FloorApply1000", "", 0 },
            { "sharing.idle_cycle/apply1000", "BM_IdleCycle", "BM_Apply1000", "<=", 0.01 },
            { "sharing.idle_worker_pass/apply1000", "BM_IdleWorkerPass", "BM_Apply1000", "", 0 },
            { "sharing.idle_files_read", "BM_IdleWorkerPass/files_read", "", "<=", 0 } });
}
