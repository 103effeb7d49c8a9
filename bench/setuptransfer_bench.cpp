// Applying a setup to a large plan, each step beside its floor:
// - the column re-lay (columns moved, one removed, one inserted) of 100k rows x
//   30 columns beside a bare loop that permutes the same rows' cell lists by
//   moving their strings, and the peak memory it adds beside the table's texts;
// - the position remap (renames, a deletion, new row counts) of 120k rows over
//   1,000 positions beside a hash look-up per Position cell plus SetData on
//   exactly the cells that change, in one bracket.
// Both run inside an open update bracket: what closing it costs (every row
// revalidated) is the same whatever the setup did, and is measured elsewhere.
#include "bench/BenchSupport.h"
#include "bench/generator/DocumentGenerator.h"
#include "dialogs/setup/PositionRemap.h"
#include "dialogs/setup/SetupTransfer.h"
#include "document/DocumentTable.h"
#include "document/text/CommaText.h"

#include <QFile>
#include <QHash>
#include <QStringList>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

constexpr int kRelayRows = 100000;
constexpr int kRelayColumns = 30;
constexpr int kRemapRows = 120000;
constexpr int kRemapIterations = 20;

std::unique_ptr<Document> generated(int tasks, int absentRows, int positions, int columns)
{
    auto doc = std::make_unique<Document>();
    GeneratorOptions o;
    o.tasks = tasks;
    o.absentRows = absentRows;
    o.positions = positions;
    o.columns = columns;
    GenerateDocument(*doc, o);
    return doc;
}

std::unique_ptr<Document> relayDocument()
{
    return generated(kRelayRows, 0, 20, kRelayColumns);
}

// The layout of one step: the empty column goes, the others are reversed, and
// a new one comes first (so the next step's empty column is column 0).
std::vector<int> relayOrigin(int count, int empty)
{
    std::vector<int> origin { -1 };
    for (int c = count - 1; c >= 0; --c) {
        if (c != empty)
            origin.push_back(c);
    }
    return origin;
}

// One re-lay step through the transfer: the table dialog's rows in the new order.
void relayStep(TSetupTransfer &transfer, TSetupState &state, int empty)
{
    const std::vector<TSetupColumn> columns = state.table.columns;
    state.table.columns.clear();
    for (int from : relayOrigin(int(columns.size()), empty))
        state.table.columns.push_back(
            from < 0 ? TSetupColumn { "New", ctText, QString(), -1 } : columns[from]);
    transfer.SetupDialogToMainForm(state);
}

// The plan of the re-lay with its table dialog filled and shown, inside an open
// update bracket.
struct RelaySetup {
    std::unique_ptr<Document> doc = relayDocument();
    UpdateBracket bracket { *doc, QStringLiteral("bench") };
    TSetupTransfer transfer { *doc };
    TSetupState state;

    RelaySetup()
    {
        transfer.MainFormToSetupDialog(state);
        state.Activate(TSetupSection::Table);
    }
};

void BM_RelayColumns(benchmark::State &state)
{
    RelaySetup setup;
    int empty = kRelayColumns - 1; // a text column at first, then the one inserted
    for (auto _ : state) {
        relayStep(setup.transfer, setup.state, empty);
        empty = 0;
    }
    if (setup.doc->GetTableColCount(tbTable) != kRelayColumns)
        state.SkipWithError("the layout lost a column");
}

void BM_FloorPermuteCells(benchmark::State &state)
{
    auto doc = relayDocument();
    std::vector<QStringList> rows;
    const DocumentTable &table = doc->GetTable(tbTable);
    for (const TNodeData *row = table.First(); row; row = table.Next(row))
        rows.push_back(row->StringList);
    int empty = kRelayColumns - 1;
    for (auto _ : state) {
        const std::vector<int> origin = relayOrigin(kRelayColumns, empty);
        for (QStringList &row : rows) {
            QStringList cells;
            cells.reserve(qsizetype(origin.size()));
            for (int from : origin)
                cells.append(from >= 0 ? std::move(row[from]) : QString());
            row = std::move(cells);
        }
        empty = 0;
    }
}

long statusKilobytes(const char *key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(qsizetype(qstrlen(key))).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// The peak memory one re-lay adds, as a share of the bytes of the table's texts
// (99 when it cannot be measured).
double relayPeakShare()
{
    RelaySetup setup;
    double texts = 0;
    const DocumentTable &table = setup.doc->GetTable(tbTable);
    for (const TNodeData *row = table.First(); row; row = table.Next(row)) {
        for (const QString &cell : row->StringList)
            texts += double(cell.size()) * 2;
    }
    // Resets the peak resident size to the present one.
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (!clear.open(QIODevice::WriteOnly) || clear.write("5") != 1)
        return 99;
    clear.close();
    const long before = statusKilobytes("VmRSS:");
    relayStep(setup.transfer, setup.state, kRelayColumns - 1);
    const long peak = statusKilobytes("VmHWM:");
    if (before < 0 || peak < 0)
        return 99;
    return double(peak - before) * 1024 / texts;
}

// The positions of remap step k: every tenth renamed (a mark added or taken
// away), every fiftieth given one row more or less, one deleted and one added.
struct RemapPlan {
    QStringList items;
    std::vector<int> origins;
};

RemapPlan remapPlan(const QStringList &old, int k)
{
    RemapPlan plan;
    const int deleted = (k * 37) % int(old.size());
    for (int p = 0; p < old.size(); ++p) {
        if (p == deleted)
            continue;
        TCommaText item(old[p]);
        if (p % 10 == k % 10) {
            const QString name = item.Item(0);
            item.SetItem(0, name.endsWith(u'\'') ? name.chopped(1) : name + u'\'');
        }
        if (p % 50 == k % 50)
            item.SetItem(2, item.Item(2) == QLatin1String("2") ? QStringLiteral("1") : QStringLiteral("2"));
        plan.items.append(item.AsString());
        plan.origins.push_back(p);
    }
    TCommaText added(old[deleted]);
    added.SetItem(0, QStringLiteral("New %1").arg(k));
    plan.items.append(added.AsString());
    plan.origins.push_back(-1);
    return plan;
}

std::unique_ptr<Document> remapDocument()
{
    return generated(kRemapRows, 1000, 1000, 6);
}

QStringList positionItems(const Document &doc)
{
    return doc.GetColumnStrings(tbTable, doc.GetConnection(tbTable, cnPosition));
}

void BM_RemapPositions(benchmark::State &state)
{
    auto doc = remapDocument();
    UpdateBracket bracket(*doc, QStringLiteral("bench"));
    TSetupTransfer transfer(*doc);
    int k = 0;
    for (auto _ : state) {
        state.PauseTiming();
        doc->UndoRedo().Clear();
        TSetupState setup;
        transfer.MainFormToSetupDialog(setup);
        const RemapPlan plan = remapPlan(positionItems(*doc), k++);
        setup.positions.positions.clear();
        for (int j = 0; j < plan.items.size(); ++j)
            setup.positions.positions.push_back({ plan.items[j], plan.origins[std::size_t(j)] });
        setup.Activate(TSetupSection::Positions);
        state.ResumeTiming();
        transfer.SetupDialogToMainForm(setup);
    }
}

void BM_FloorLookupAndSetData(benchmark::State &state)
{
    auto doc = remapDocument();
    UpdateBracket bracket(*doc, QStringLiteral("bench"));
    int k = 0;
    for (auto _ : state) {
        state.PauseTiming();
        doc->UndoRedo().Clear();
        const QStringList old = positionItems(*doc);
        const RemapPlan plan = remapPlan(old, k++);
        const QHash<QString, QString> renamed = TPositionRemap(old, plan.items, plan.origins).Renamed();
        doc->SetColumnStrings(tbTable, doc->GetConnection(tbTable, cnPosition), plan.items);
        state.ResumeTiming();
        doc->SetUndoRedoGroupIndex(doc->UndoRedo().GetGroupIndex());
        for (TWhichTable table : { tbTable, tbExclude }) {
            const int column = doc->GetConnection(table, cnPosition);
            const DocumentTable &rows = doc->GetTable(table);
            for (TNodeData *row = rows.First(); row; row = rows.Next(row)) {
                const auto it = renamed.constFind(row->StringList[column]);
                if (it != renamed.constEnd())
                    doc->SetData(row, column, *it);
            }
        }
        doc->SetUndoRedoGroupIndex(-1);
    }
}

} // namespace

BENCHMARK(BM_RelayColumns)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_FloorPermuteCells)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_RemapPositions)->Unit(benchmark::kMillisecond)->Iterations(kRemapIterations);
BENCHMARK(BM_FloorLookupAndSetData)->Unit(benchmark::kMillisecond)->Iterations(kRemapIterations);

int main(int argc, char **argv)
{
    return bench::runWithFigures(argc, argv,
        { { "setuptransfer.relay_columns/permute_floor", "BM_RelayColumns", "BM_FloorPermuteCells", "<=", 3 },
            { "setuptransfer.relay_peak_memory/texts", "relay_peak_share", "", "<=", 0.10 },
            { "setuptransfer.remap_positions/lookup_setdata_floor", "BM_RemapPositions",
                "BM_FloorLookupAndSetData", "<=", 1.5 } },
        [](bench::FigureReporter &reporter) { reporter.Record("relay_peak_share", relayPeakShare()); });
}
