// Reading an old ini-based document of 100,000 task rows, beside reading the same
// rows from a document of the present format, and beside an old document of
// 10,000 rows: the import is linear when the last ratio stays near 10.
#include "bench/BenchSupport.h"
#include "document/Document.h"
#include "document/commands/OldDocumentImport.h"
#include "document/program/IniFile.h"

#include <QTemporaryDir>

namespace {

// An old document as its writer laid it out: positions with their working week,
// one section per row with the cells under the column numbers.
QByteArray oldDocument(int tasks)
{
    QString text = QStringLiteral("[KEZ]\r\nVersion=2\r\nSubVersion=5\r\n[Setup]\r\nMinUnit=0\r\n"
                                  "[tbTable]\r\nColCount=6\r\nRowCount=%1\r\n"
                                  "[tbTableConnections]\r\nPosition=0\r\nStart=1\r\nEnd=2\r\nLength=3\r\n"
                                  "Termin=4\r\nTextCenterMiddle=5\r\n[tbTableHeader]\r\n")
                       .arg(tasks);
    const char *captions[] = { "Position", "Start", "End", "Length", "Deadline", "Comment" };
    const int types[] = { ctPulldown, ctDate, ctDate, ctNumber, ctDate, ctText };
    for (int c = 0; c < 6; ++c)
        text += QStringLiteral("Caption%1=%2\r\nType%1=%3\r\nStrings%1=%4\r\n")
                    .arg(c)
                    .arg(QLatin1String(captions[c]))
                    .arg(types[c])
                    .arg(c == 0 ? QStringLiteral("Press,Saw,Lathe,Paint") : QString());
    text += QStringLiteral("[tbExclude]\r\nRowCount=0\r\n");
    const char *positions[] = { "Press", "Saw", "Lathe", "Paint" };
    for (int r = 0; r < tasks; ++r) {
        const int month = r % 12 + 1, day = r % 28 + 1;
        const QString date = QStringLiteral("2024-%1-%2 00:00:00")
                                 .arg(month, 2, 10, QLatin1Char('0'))
                                 .arg(day, 2, 10, QLatin1Char('0'));
        text += QStringLiteral("[tbTableItem%1]\r\n0=%2\r\n1=%3\r\n2=%3\r\n3=%4\r\n4=%5\r\n5=order %1\r\n")
                    .arg(r)
                    .arg(QLatin1String(positions[r % 4]))
                    .arg(date)
                    .arg(r % 5 + 1)
                    .arg(r % 3 ? QString() : date);
    }
    return text.toLatin1();
}

struct Inputs {
    QTemporaryDir dir;
    TMemIniFile small, large;
    QString converted;

    Inputs()
    {
        FormatSettings() = TFormatSettings {};
        small.LoadBytes(oldDocument(10000));
        large.LoadBytes(oldDocument(100000));
        converted = dir.filePath("converted.kez");
        Document doc;
        const platform::Status read = ReadOldDocument(doc, large);
        if (!read || doc.TotalCount(tbTable) != 100000 || !doc.SaveTo(converted)) {
            std::printf("preparing the documents FAILED: %s\n", qPrintable(read.reason()));
            std::exit(1);
        }
    }
};

Inputs &inputs()
{
    static Inputs i;
    return i;
}

void import(benchmark::State &state, const TMemIniFile &ini)
{
    for (auto _ : state) {
        auto doc = std::make_unique<Document>();
        if (!ReadOldDocument(*doc, ini))
            state.SkipWithError("import failed");
        benchmark::DoNotOptimize(doc->TotalCount(tbTable));
        // Freeing the model is no part of reading.
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
}

void Import_100000(benchmark::State &state)
{
    import(state, inputs().large);
}

void Import_10000(benchmark::State &state)
{
    import(state, inputs().small);
}

void LoadFrom_100000(benchmark::State &state)
{
    for (auto _ : state) {
        auto doc = std::make_unique<Document>();
        if (!doc->LoadFrom(inputs().converted))
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(doc->TotalCount(tbTable));
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
}

BENCHMARK(Import_100000)->Unit(benchmark::kMillisecond);
BENCHMARK(LoadFrom_100000)->Unit(benchmark::kMillisecond);
BENCHMARK(Import_10000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    inputs();
    // Linear: ten times the rows take about ten times as long.
    return bench::runWithFigures(argc, argv,
        { { "oldimport.import_100000/loadfrom_100000", "Import_100000", "LoadFrom_100000", "", 0 },
            { "oldimport.import_100000/import_10000", "Import_100000", "Import_10000", "<=", 12.5 } });
}
