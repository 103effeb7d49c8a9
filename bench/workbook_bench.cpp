// Workbook export and reading of 100,000 task rows x 10 text columns. The export
// is measured beside a bare libxlsxwriter program writing the same cells in the
// same (constant-memory) mode; reading beside openpyxl in read-only mode
// iterating every value of the same file, run as a subprocess that times itself.
#include "bench/BenchSupport.h"
#include "platform/workbook/WorkbookReader.h"
#include "platform/workbook/WorkbookWriter.h"

#include <QProcess>
#include <QTemporaryDir>
#include <malloc.h>
#include <xlsxwriter.h>

namespace {

constexpr int Columns = 10;

// The cells of a task table as the export hands them over: texts only.
struct Table {
    std::vector<QStringList> rows;
    std::vector<std::vector<QByteArray>> utf8;

    explicit Table(int count)
    {
        std::mt19937 rng(4711);
        const char *positions[] = { "Machine 1", "Machine 2", "Assembly", "Paint shop", "Müller", "Weiß" };
        const char *words[] = { "order", "customer", "frame", "revision", "urgent", "parts", "Ölwechsel" };
        rows.push_back(
            { "Name", "Position", "Start", "End", "Length", "State", "Text", "Done", "Colour", "ID" });
        for (int r = 1; r < count; ++r) {
            QString text;
            for (int w = static_cast<int>(rng() % 5) + 1; w > 0; --w)
                text += QString::fromUtf8(words[rng() % 7]) + u' ';
            rows.push_back({ QStringLiteral("Task %1").arg(r), QString::fromUtf8(positions[rng() % 6]),
                QStringLiteral("%1.%2.2024")
                    .arg(rng() % 28 + 1, 2, 10, QChar('0'))
                    .arg(rng() % 12 + 1, 2, 10, QChar('0')),
                QStringLiteral("%1.%2.2025")
                    .arg(rng() % 28 + 1, 2, 10, QChar('0'))
                    .arg(rng() % 12 + 1, 2, 10, QChar('0')),
                QString::number((rng() % 20 + 1) * 480), rng() % 2 ? "planned" : "started",
                text + QString::number(r), rng() % 2 ? "Ja" : "Nein", QString::number(rng() % 0xFFFFFF),
                QStringLiteral("PC-1.user.%1").arg(r) });
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
    static const Table t(100000);
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

bool exportRows(const QString &path, int rows)
{
    platform::workbook::WorkbookWriter writer(path);
    if (!writer.addSheet("KEZ Table"))
        return false;
    const Table &t = table();
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < Columns; ++c) {
            if (writer.writeText(r + 1, c + 1, t.rows[static_cast<size_t>(r)][c])
                == platform::workbook::CellWrite::Failed)
                return false;
        }
    }
    return writer.finish();
}

void Export_Ours(benchmark::State &state)
{
    table();
    for (auto _ : state) {
        if (!exportRows(ourFile(), static_cast<int>(table().rows.size())))
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
            for (int c = 0; c < Columns; ++c)
                worksheet_write_string(sheet, static_cast<lxw_row_t>(r), static_cast<lxw_col_t>(c),
                    t.utf8[r][static_cast<size_t>(c)].constData(), nullptr);
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
        exportRows(ourFile(), static_cast<int>(table().rows.size()));
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
        exportRows(ourFile(), static_cast<int>(table().rows.size()));
    for (auto _ : state) {
        QProcess python;
        python.start(QStringLiteral(ZELTRANO_SYSTEM_PYTHON), { "-c", OpenpyxlPeer, ourFile() });
        if (!python.waitForFinished(600000) || python.exitCode() != 0) {
            state.SkipWithError("openpyxl failed");
            break;
        }
        const QList<QByteArray> out = python.readAllStandardOutput().trimmed().split(' ');
        if (out.size() != 2 || out[1].toLongLong() != static_cast<long long>(table().rows.size()) * Columns) {
            state.SkipWithError("openpyxl read other cells");
            break;
        }
        state.SetIterationTime(out[0].toDouble());
    }
}

} // namespace

BENCHMARK(Export_Ours)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(Export_BareLibrary)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(Read_Ours)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(Read_Openpyxl)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

int main(int argc, char **argv)
{
    return bench::runWithFigures(argc, argv,
        {
            { "workbook_export_vs_bare_libxlsxwriter", "Export_Ours", "Export_BareLibrary", "<=", 1.3 },
            { "workbook_export_heap_100k_vs_10k_rows", "heap_100k", "heap_10k", "<=", 1.1 },
            { "workbook_export_heap_100k_rows_MiB", "heap_100k_MiB", "", "", 0 },
            { "workbook_read_speedup_over_openpyxl", "Read_Openpyxl", "Read_Ours", ">=", 10 },
        },
        [](bench::FigureReporter &reporter) {
            const double small = heapWhileWriting(10000);
            const double large = heapWhileWriting(100000);
            reporter.Record("heap_10k", small);
            reporter.Record("heap_100k", large);
            reporter.Record("heap_100k_MiB", large / (1 << 20));
        });
}
