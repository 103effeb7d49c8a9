// Loading and saving a large document file, plain and compressed. A load (parse,
// model, validation, derived ends) is measured beside pugixml's bare parse of the
// same bytes read from the same file; a save beside writing the same bytes. The
// Save command (retired copy, next working copy, document, the replaced document
// to the recycle bin, with no other instance to wait for) beside writing those
// bytes: three atomic writes and one copy of the file.
#include "bench/BenchSupport.h"
#include "bench/generator/DocumentGenerator.h"
#include "document/commands/DocumentCommands.h"
#include "document/sharing/DirWatch.h"
#include "document/xml/LZR.h"
#include "platform/AtomicFile.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <pugixml.hpp>

namespace {

GeneratorOptions bigPlan()
{
    GeneratorOptions o;
    o.tasks = 100000;
    o.absentRows = 10000;
    o.positions = 1000;
    return o;
}

struct Files {
    QTemporaryDir dir;
    QString plain;
    QString compressed;
    QString peerPlain;
    QString peerCompressed;
    QByteArray plainBytes;
    QByteArray compressedBytes;

    Files()
    {
        plain = dir.filePath("plan.kez");
        compressed = dir.filePath("plan-compressed.kez");
        QString error;
        if (!WriteGeneratedDocument(plain, bigPlan(), false, &error)
            || !WriteGeneratedDocument(compressed, bigPlan(), true, &error)) {
            std::printf("writing the documents FAILED: %s\n", qPrintable(error));
            std::exit(1);
        }
        plainBytes = read(plain);
        compressedBytes = read(compressed);
        // pugixml's copies: the same bytes, with what XML names cannot hold spelled
        // differently: blanks (written "&nbsp;") as "_nbsp_", a leading digit after "_".
        const QByteArray peerBytes = forPugixml(plainBytes);
        peerPlain = dir.filePath("peer.xml");
        peerCompressed = dir.filePath("peer-compressed.xml");
        platform::writeFileAtomically(peerPlain, peerBytes);
        platform::writeFileAtomically(peerCompressed, pack(peerBytes));
    }

    static QByteArray forPugixml(const QByteArray &bytes)
    {
        QByteArray out;
        out.reserve(bytes.size() + bytes.size() / 64);
        bool inTag = false;
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            const char c = bytes[i];
            if (c == '<') {
                inTag = true;
                out += c;
                const qsizetype name = i + 1 < bytes.size() && bytes[i + 1] == '/' ? i + 2 : i + 1;
                if (name > i + 1)
                    out += bytes[++i];
                if (name < bytes.size() && bytes[name] >= '0' && bytes[name] <= '9')
                    out += '_';
                continue;
            }
            if (c == '>')
                inTag = false;
            if (inTag && c == '&' && bytes.mid(i, 6) == "&nbsp;") {
                out += "_nbsp_";
                i += 5;
                continue;
            }
            out += c;
        }
        return out;
    }

    static QByteArray pack(QByteArray text)
    {
        QBuffer source(&text);
        source.open(QIODevice::ReadOnly);
        QByteArray packed;
        QBuffer dest(&packed);
        dest.open(QIODevice::WriteOnly);
        TLZR().Compress(source, dest);
        return packed;
    }

    static QByteArray read(const QString &name)
    {
        QFile file(name);
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }
};

Files &files()
{
    static Files f;
    return f;
}

// The writer's declaration line is self-closing, which pugixml reads as a broken
// processing instruction: it parses from the document element on.
bool pugixmlParse(const QByteArray &bytes)
{
    const qsizetype start = bytes.indexOf("<document");
    pugi::xml_document doc;
    return bool(doc.load_buffer(bytes.constData() + start, size_t(bytes.size() - start)));
}

void Load_Plain(benchmark::State &state)
{
    for (auto _ : state) {
        auto doc = std::make_unique<Document>();
        if (!doc->LoadFrom(files().plain))
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(doc->TotalCount(tbTable));
        // Freeing the model is no part of loading.
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
}

void ReadParse_Pugixml(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(pugixmlParse(Files::read(files().peerPlain)));
}

void Load_Compressed(benchmark::State &state)
{
    for (auto _ : state) {
        auto doc = std::make_unique<Document>();
        if (!doc->LoadFrom(files().compressed))
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(doc->TotalCount(tbTable));
        // Freeing the model is no part of loading.
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
}

void ReadUnpackParse_Pugixml(benchmark::State &state)
{
    for (auto _ : state) {
        QByteArray packed = Files::read(files().peerCompressed);
        QBuffer source(&packed);
        source.open(QIODevice::ReadOnly);
        QByteArray text;
        QBuffer dest(&text);
        dest.open(QIODevice::WriteOnly);
        TLZR lzr;
        lzr.DeCompress(source, dest, true);
        benchmark::DoNotOptimize(pugixmlParse(text));
    }
}

Document &loadedDocument()
{
    static Document doc;
    static const bool loaded = doc.LoadFrom(files().plain);
    (void)loaded;
    return doc;
}

void save(benchmark::State &state, bool compressed)
{
    Document &doc = loadedDocument();
    doc.SetCompressedSave(compressed);
    const QString name = files().dir.filePath("saved.kez");
    for (auto _ : state) {
        if (!doc.SaveTo(name))
            state.SkipWithError("save failed");
    }
}

void writeBytes(benchmark::State &state, const QByteArray &bytes)
{
    const QString name = files().dir.filePath("written.kez");
    for (auto _ : state)
        benchmark::DoNotOptimize(platform::writeFileAtomically(name, bytes).ok());
}

void Save_Plain(benchmark::State &state)
{
    save(state, false);
}
void WriteBytes_Plain(benchmark::State &state)
{
    writeBytes(state, files().plainBytes);
}
void Save_Compressed(benchmark::State &state)
{
    save(state, true);
}
void WriteBytes_Compressed(benchmark::State &state)
{
    writeBytes(state, files().compressedBytes);
}

void CommandsSave_Plain(benchmark::State &state)
{
    Document &doc = loadedDocument();
    doc.SetCompressedSave(false);
    TDocumentSetup setup = doc.Setup();
    setup.FMaxHistoryFiles = 10;
    doc.SetSetup(setup);
    TDocumentCommands commands(doc);
    commands.SetSettleTime(std::chrono::milliseconds(0));
    QDir().mkpath(files().dir.filePath("commands"));
    const QString name = QDir(files().dir.filePath("commands")).canonicalPath() + "/plan.kez";
    if (!commands.Save(name))
        state.SkipWithError("save failed");
    for (auto _ : state) {
        // Between two saves the idle ticks read the new working copy on the worker.
        state.PauseTiming();
        commands.Watcher().ForceLoadTransactions();
        const int before = commands.Watcher().WorkingDirName().toInt();
        state.ResumeTiming();
        if (!commands.Save(name))
            state.SkipWithError("save failed");
        // A save that happened made the next numbered folder.
        if (commands.Watcher().WorkingDirName().toInt() <= before)
            state.SkipWithError("the save made no new numbered folder");
    }
}

void WriteSaveBytes_Plain(benchmark::State &state)
{
    const QByteArray &bytes = files().plainBytes;
    QDir().mkpath(files().dir.filePath("floor"));
    const QString folder = files().dir.filePath("floor") + "/";
    for (auto _ : state) {
        benchmark::DoNotOptimize(platform::writeFileAtomically(folder + "locked.kez", bytes).ok());
        benchmark::DoNotOptimize(platform::writeFileAtomically(folder + "copy.kez", bytes).ok());
        QFile::remove(folder + "binned.kez");
        benchmark::DoNotOptimize(QFile::copy(folder + "document.kez", folder + "binned.kez"));
        benchmark::DoNotOptimize(platform::writeFileAtomically(folder + "document.kez", bytes).ok());
    }
}

BENCHMARK(Load_Plain)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadParse_Pugixml)->Unit(benchmark::kMillisecond);
BENCHMARK(Load_Compressed)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadUnpackParse_Pugixml)->Unit(benchmark::kMillisecond);
BENCHMARK(Save_Plain)->Unit(benchmark::kMillisecond);
BENCHMARK(WriteBytes_Plain)->Unit(benchmark::kMillisecond);
BENCHMARK(Save_Compressed)->Unit(benchmark::kMillisecond);
BENCHMARK(WriteBytes_Compressed)->Unit(benchmark::kMillisecond);
// Every save leaves its copies on the disk (ten history folders, the older ones
// in the bin), so the disk's backlog grows with each iteration: 79 iterations
// averaged 355 ms a save where 10 took 250. The same number of saves each run
// keeps the figure comparable.
BENCHMARK(CommandsSave_Plain)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(WriteSaveBytes_Plain)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    // The recycle bin of the Save command on the same disk as the documents.
    qputenv("XDG_DATA_HOME", files().dir.filePath("data").toLocal8Bit());
    std::printf("plain %lld bytes, compressed %lld bytes\n",
        static_cast<long long>(files().plainBytes.size()),
        static_cast<long long>(files().compressedBytes.size()));
    // The figures compare only when both read the whole document.
    Document check;
    if (!check.LoadFrom(files().plain) || check.TotalCount(tbTable) != bigPlan().tasks
        || check.TotalCount(tbExclude) != bigPlan().absentRows
        || !pugixmlParse(Files::read(files().peerPlain))) {
        std::printf("reading the documents FAILED: %d tasks, %d absent rows, pugixml %d\n",
            check.TotalCount(tbTable), check.TotalCount(tbExclude),
            int(pugixmlParse(Files::read(files().peerPlain))));
        return 1;
    }
    return bench::runWithFigures(argc, argv,
        { { "docfile.load_plain/pugixml", "Load_Plain", "ReadParse_Pugixml", "<=", 4 },
            { "docfile.load_compressed/pugixml", "Load_Compressed", "ReadUnpackParse_Pugixml", "<=", 4 },
            { "docfile.save_plain/write_bytes", "Save_Plain", "WriteBytes_Plain", "<=", 2 },
            { "docfile.save_compressed/write_bytes", "Save_Compressed", "WriteBytes_Compressed", "<=", 2 },
            { "docfile.save_command_plain/write_bytes", "CommandsSave_Plain", "WriteSaveBytes_Plain",
                "<=", 2 } });
}
