// Archiving 100,000 finished tasks beside the sum of two floors measured in the
// same run: the ini store writing and saving the same sections, and the document
// deleting the same rows in one bracket.
#include "bench/BenchSupport.h"
#include "bench/generator/DocumentGenerator.h"
#include "dialogs/misc/Archive.h"
#include "document/UndoRedo.h"
#include "document/program/IniFile.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <memory>
#include <vector>

namespace {

constexpr int Tasks = 100000;

std::unique_ptr<Document> MakePlan()
{
    auto doc = std::make_unique<Document>();
    GeneratorOptions options;
    options.tasks = Tasks;
    options.absentRows = 0;
    options.positions = 50;
    GenerateDocument(*doc, options);
    doc->ForEach(feAll, [&doc](TNodeData &row) { doc->GetEndOf(&row); });
    return doc;
}

// After every generated task's end.
const TDateTime CutOff = EncodeDate(2030, 1, 1);

QTemporaryDir &Folder()
{
    static QTemporaryDir folder;
    return folder;
}

void Archive(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<Document> doc = MakePlan();
        const QString file = Folder().filePath(QStringLiteral("plan.archiv"));
        QFile::remove(file);
        state.ResumeTiming();
        const TArchiveResult result = ArchiveTasks(*doc, CutOff, file, false);
        if (!result.Ok || result.Archived != Tasks)
            state.SkipWithError("archiving failed");
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
}

// The same sections written and saved by the ini store, and the same rows deleted
// by the document in one bracket.
void IniWriteAndDelete(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<Document> doc = MakePlan();
        const QString file = Folder().filePath(QStringLiteral("floor.archiv"));
        QFile::remove(file);
        std::vector<TNodeData *> rows;
        doc->ForEach(tbTable, feAll, [&](TNodeData &row) { rows.push_back(&row); });
        const int columns = doc->GetTableColCount(tbTable);
        QStringList captions;
        for (int c = 0; c < columns; ++c)
            captions << doc->GetColumnCaption(tbTable, c);
        state.ResumeTiming();
        {
            TMemIniFile ini(file);
            for (std::size_t i = 0; i < rows.size(); ++i) {
                const QString section = QStringLiteral("ArchivItem%1").arg(i);
                for (int c = 0; c < columns; ++c)
                    ini.WriteString(section, captions[c], doc->GetData(rows[i], c));
                ini.WriteString(section, QStringLiteral("__table"), QStringLiteral("tbTable"));
            }
            ini.WriteInteger(QStringLiteral("Archiv"), QStringLiteral("count"), int(rows.size()));
            if (!ini.UpdateFile(false))
                state.SkipWithError("writing failed");
        }
        {
            const UndoRecordingPause noUndo(doc->UndoRedo());
            const UpdateBracket bracket(*doc, QString());
            for (TNodeData *row : rows)
                doc->DeleteNode(row, true);
        }
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
}

BENCHMARK(Archive)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->UseRealTime();
BENCHMARK(IniWriteAndDelete)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    return bench::runWithFigures(
        argc, argv, { { "archive.100k/ini_write_plus_delete", "Archive", "IniWriteAndDelete", "<=", 1.5 } });
}
