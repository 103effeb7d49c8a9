// Workbook export, reading and import of 100,000 task rows x 10 columns. The
// export is measured beside a bare libxlsxwriter program writing the same cells
// in the same (constant-memory) mode; reading beside openpyxl in read-only mode
// iterating every value of the same file, run as a subprocess that times itself;
// the whole import beside reading plus adding the same rows with the same texts.
#include "bench/BenchSupport.h"
#include "bench/LargeTaskTable.h"
#include "document/DocumentTable.h"
#include "document/program/MessageDialog.h"
#include "mainwindow/excel/ExcelExchange.h"
#include "mainwindow/excel/ExcelHost.h"
#include "platform/workbook/WorkbookReader.h"
#include "platform/workbook/WorkbookWriter.h"

#include <QProcess>
#include <QTemporaryDir>
#include <malloc.h>
#include <xlsxwriter.h>

namespace {

constexpr int Columns = bench::kLargeTableColumns;

// The cells of the benchmarks' task table as the export hands them over:
// captions, then every row's texts.
struct Table {
    std::vector<QStringList> rows;
    std::vector<std::vector<QByteArray>> utf8;

    explicit Table(const Document &doc)
    {
        QStringList captions;
        for (int c = 0; c < Columns; ++c)
            captions << doc.GetColumnCaption(tbTable, c);
        rows.push_back(captions);
        const DocumentTable &t = doc.GetTable(tbTable);
        for (const TNodeData *row = t.First(); row; row = t.Next(row)) {
            QStringList cells;
            for (int c = 0; c < Columns; ++c)
                cells << doc.GetData(row, c);
            rows.push_back(cells);
        }
        for (const QStringList &row : rows) {
            utf8.emplace_back();
            for (const QString &cell : row)
                utf8.back().push_back(cell.toUtf8());
        }
    }
};

const Table &table()
{
    static const Table t(bench::largeTaskTable());
    return t;
}

QTemporaryDir &folder()
{
    static QTemporaryDir dir;
    return dir;
}

QString ourFile()
{
    return folder().filePath("ours.xlsx");
}

// The export command on the benchmarks' task table.
bool exportTable(const QString &path)
{
    IExcelHost host;
    TExcelExchange exchange(bench::largeTaskTable(), host);
    return exchange.ExportTo(path).ok();
}

void Export_Ours(benchmark::State &state)
{
    table();
    for (auto _ : state) {
        if (!exportTable(ourFile()))
            state.SkipWithError("export failed");
    }
}

void Export_BareLibrary(benchmark::State &state)
{
    const Table &t = table();
    const QByteArray path = folder().filePath("bare.xlsx").toUtf8();
    for (auto _ : state) {
        lxw_workbook_options options {};
        options.constant_memory = LXW_TRUE;
        lxw_workbook *workbook = workbook_new_opt(path.constData(), &options);
        lxw_worksheet *sheet = workbook_add_worksheet(workbook, "KEZ Table");
        for (size_t r = 0; r < t.utf8.size(); ++r) {
            for (int c = 0; c < Columns; ++c) {
                if (t.utf8[r][static_cast<size_t>(c)].isEmpty())
                    continue;
                worksheet_write_string(sheet, static_cast<lxw_row_t>(r), static_cast<lxw_col_t>(c),
                    t.utf8[r][static_cast<size_t>(c)].constData(), nullptr);
            }
        }
        if (workbook_close(workbook) != LXW_NO_ERROR)
            state.SkipWithError("bare export failed");
    }
}

// Heap in use while `rows` rows are written (before the file is completed),
// beyond what was in use before.
double heapWhileWriting(int rows)
{
    const Table &t = table();
    const auto inUse = [] {
        const struct mallinfo2 info = mallinfo2();
        return static_cast<double>(info.uordblks + info.hblkhd);
    };
    const double before = inUse();
    platform::workbook::WorkbookWriter writer(folder().filePath("memory.xlsx"));
    writer.addSheet("KEZ Table");
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < Columns; ++c)
            writer.writeText(r + 1, c + 1, t.rows[static_cast<size_t>(r) % t.rows.size()][c]);
    }
    const double during = inUse() - before;
    writer.finish();
    return during;
}

void Read_Ours(benchmark::State &state)
{
    if (!QFile::exists(ourFile()))
        exportTable(ourFile());
    for (auto _ : state) {
        platform::workbook::WorkbookReader reader;
        platform::workbook::Sheet sheet;
        if (!reader.open(ourFile()) || !reader.readSheet(0, sheet)) {
            state.SkipWithError("reading failed");
            break;
        }
        qsizetype characters = 0;
        for (int r = 1; r <= sheet.lastRow(); ++r) {
            for (int c = 1; c <= Columns; ++c)
                characters += sheet.cell(r, c).size();
        }
        benchmark::DoNotOptimize(characters);
    }
}

const char *OpenpyxlPeer = R"(
import sys, time, openpyxl
start = time.perf_counter()
book = openpyxl.load_workbook(sys.argv[1], read_only=True)
count = 0
for row in book.worksheets[0].iter_rows(values_only=True):
    for value in row:
        if value is not None:
            count += 1
book.close()
print(time.perf_counter() - start, count)
)";

void Read_Openpyxl(benchmark::State &state)
{
    if (!QFile::exists(ourFile()))
        exportTable(ourFile());
    for (auto _ : state) {
        QProcess python;
        python.start(QStringLiteral(ZELTRANO_SYSTEM_PYTHON), { "-c", OpenpyxlPeer, ourFile() });
        if (!python.waitForFinished(600000) || python.exitCode() != 0) {
            state.SkipWithError("openpyxl failed");
            break;
        }
        const QList<QByteArray> out = python.readAllStandardOutput().trimmed().split(' ');
        long long cells = 0;
        for (const QStringList &row : table().rows)
            cells += std::count_if(row.begin(), row.end(), [](const QString &c) { return !c.isEmpty(); });
        if (out.size() != 2 || out[1].toLongLong() != cells) {
            state.SkipWithError("openpyxl read other cells");
            break;
        }
        state.SetIterationTime(out[0].toDouble());
    }
}

// An empty document of the benchmarks' task table's setup, to import into.
std::unique_ptr<Document> emptyTaskTable()
{
    auto doc = std::make_unique<Document>();
    GeneratorOptions o;
    o.tasks = 0;
    o.absentRows = 0;
    o.positions = 20;
    o.columns = Columns;
    GenerateDocument(*doc, o);
    return doc;
}

// The whole import command (rows appended: the clear question is answered No).
void Import_Ours(benchmark::State &state)
{
    if (!QFile::exists(ourFile()))
        exportTable(ourFile());
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<Document> doc = emptyTaskTable();
        IExcelHost host;
        TExcelExchange exchange(*doc, host);
        TScriptedMessageDialogs dialogs;
        dialogs.QueueAnswer(mrNo);
        ScopedMessageDialogs scoped(&dialogs);
        state.ResumeTiming();
        if (!exchange.ImportFrom(ourFile()) || doc->TotalCount(tbTable) != bench::kLargeTableRows) {
            state.SkipWithError("import failed");
            break;
        }
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
}

// Its floor: reading the workbook into cell texts, then adding the same rows
// with the same texts through AddNode and SetData in one bracket.
void Import_ReadPlusFloor(benchmark::State &state)
{
    if (!QFile::exists(ourFile()))
        exportTable(ourFile());
    const Table &t = table();
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<Document> doc = emptyTaskTable();
        state.ResumeTiming();
        platform::workbook::WorkbookReader reader;
        platform::workbook::Sheet sheet;
        if (!reader.open(ourFile()) || !reader.readSheet(0, sheet)) {
            state.SkipWithError("reading failed");
            break;
        }
        benchmark::DoNotOptimize(sheet.lastRow());
        {
            UpdateBracket bracket(*doc, QStringLiteral("floor"));
            for (size_t r = 1; r < t.rows.size(); ++r) {
                TNodeData *node = doc->AddNode(doc->GetFreeID(), tbTable, true);
                for (int c = 0; c < Columns; ++c) {
                    if (!t.rows[r][c].isEmpty())
                        doc->SetData(node, c, t.rows[r][c]);
                }
            }
        }
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(Export_Ours)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(Export_BareLibrary)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(Read_Ours)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(Read_Openpyxl)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);
BENCHMARK(Import_Ours)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(Import_ReadPlusFloor)->Unit(benchmark::kMillisecond)->MinTime(2);

int main(int argc, char **argv)
{
    return bench::runWithFigures(argc, argv,
        {
            { "workbook_export_vs_bare_libxlsxwriter", "Export_Ours", "Export_BareLibrary", "<=", 1.3 },
            { "workbook_export_heap_100k_vs_10k_rows", "heap_100k", "heap_10k", "<=", 1.1 },
            { "workbook_export_heap_100k_rows_MiB", "heap_100k_MiB", "", "", 0 },
            { "workbook_read_speedup_over_openpyxl", "Read_Openpyxl", "Read_Ours", ">=", 10 },
            { "workbook_import_vs_read_plus_adding_rows", "Import_Ours", "Import_ReadPlusFloor", "<=", 1.3 },
        },
        [](bench::FigureReporter &reporter) {
            const double small = heapWhileWriting(10000);
            const double large = heapWhileWriting(100000);
            reporter.Record("heap_10k", small);
            reporter.Record("heap_100k", large);
            reporter.Record("heap_100k_MiB", large / (1 << 20));
        });
}
