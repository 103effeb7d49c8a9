// The editor panel on the large task table (100,000 rows x 10 columns): one
// keystroke written to 10,000 selected rows beside the same writes in one
// update bracket; the refresh after selecting every row beside a bare loop
// comparing every cell with the first row's; the rebuild of a table switch
// beside collecting the sorted distinct texts of the shown columns.
#include "bench/BenchSupport.h"
#include "bench/LargeTaskTable.h"
#include "controls/AutocompletingEdit.h"
#include "document/DocumentTable.h"
#include "document/UndoGroup.h"
#include "mainwindow/Editor.h"
#include "tables/FilterPass.h"
#include "tables/TableCells.h"

#include <QApplication>
#include <QSet>
#include <QTest>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <memory>
#include <vector>

namespace {

constexpr int kSelectedEvery = 10; // 10,000 of the 100,000 rows
constexpr int kTextColumn = 5; // "Order <n>"

class EditorBenchHost : public IDocumentHost, public IEditorPlacementHost {
public:
    TEditor *editor = nullptr;
    void UpdateEditor() override
    {
        if (editor)
            editor->UpdateEditor();
    }
    bool IsColumnVisible(TWhichTable, int) const override { return true; }
    void OpenLink(const QUrl &) override { }
    void EditorUndo(bool) override { }
};

// The large table with an editor beside it in a shown window.
struct EditorBench {
    EditorBench()
        : doc(bench::largeTaskTable())
    {
        doc.SetHost(&host);
        window.resize(400, 600);
        editor = std::make_unique<TEditor>(doc, host, window);
        host.editor = editor.get();
        editor->Rebuild(tbTable);
        editor->EditorPanel().setParent(&window);
        editor->EditorPanel().resize(400, 600);
        editor->SeteditorVisible(true);
        editor->ChangeEditorVisibleTimerTimer();
        window.show();
        QApplication::processEvents();
    }
    ~EditorBench()
    {
        host.editor = nullptr;
        editor.reset();
        doc.SetHost(nullptr);
    }
    // Selects every Every-th row (1: all).
    void Select(int Every)
    {
        DocumentTable &rows = doc.GetTable(tbTable);
        int i = 0;
        for (TNodeData *row = rows.First(); row; row = rows.Next(row), ++i)
            rows.SetSelected(row, i % Every == 0);
    }
    std::vector<TNodeData *> Selected()
    {
        std::vector<TNodeData *> rows;
        doc.ForEach(tbTable, feSelected, [&](TNodeData &row) { rows.push_back(&row); });
        return rows;
    }

    Document &doc;
    EditorBenchHost host;
    QWidget window;
    std::unique_ptr<TEditor> editor;
};

// Made on first use and gone before the application object.
std::unique_ptr<EditorBench> GBench;

EditorBench &Bench()
{
    if (!GBench)
        GBench = std::make_unique<EditorBench>();
    return *GBench;
}

const QString kTyped[2] = { QStringLiteral("x"), QStringLiteral("y") };

void BM_Keystroke(benchmark::State &state)
{
    EditorBench &b = Bench();
    b.Select(kSelectedEvery);
    QApplication::processEvents();
    TAutocompletingEdit &field = *b.editor->EditorScrollBox().RowOf(kTextColumn)->Text;
    field.setFocus();
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        b.doc.UndoRedo().Clear();
        field.selectAll();
        state.ResumeTiming();
        QTest::keyClicks(&field, kTyped[round++ % 2]);
        QApplication::processEvents(); // the editor's one refresh
    }
    state.counters["rows"] = double(b.Selected().size());
}

// The selected rows' cell written in turns, inside whatever Bracket opens.
template <typename Bracket> void WriteSelected(benchmark::State &state)
{
    EditorBench &b = Bench();
    b.Select(kSelectedEvery);
    const std::vector<TNodeData *> rows = b.Selected();
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        b.doc.UndoRedo().Clear();
        state.ResumeTiming();
        const QString &text = kTyped[round++ % 2];
        {
            const Bracket bracket(b.doc);
            for (TNodeData *row : rows)
                b.doc.SetData(row, kTextColumn, text);
        }
        QApplication::processEvents();
    }
}

struct TUpdateBracket : UpdateBracket {
    explicit TUpdateBracket(Document &doc)
        : UpdateBracket(doc, QString())
    { }
};

// The floor: the same cell of the same rows written in one update bracket.
void BM_KeystrokeFloor(benchmark::State &state)
{
    WriteSelected<TUpdateBracket>(state);
}

// For comparison only: the bare writes in one undo group, no bracket.
void BM_KeystrokeWrites(benchmark::State &state)
{
    WriteSelected<TUndoGroup>(state);
}

void BM_RefreshAll(benchmark::State &state)
{
    EditorBench &b = Bench();
    b.Select(1);
    for (auto _ : state)
        b.editor->EditorScrollBox().Refresh();
}

// The floor: every cell compared with the first row's.
void BM_RefreshFloor(benchmark::State &state)
{
    EditorBench &b = Bench();
    const DocumentTable &rows = b.doc.GetTable(tbTable);
    const int columns = b.doc.GetTableColCount(tbTable);
    for (auto _ : state) {
        const TNodeData *first = rows.First();
        int differing = 0;
        for (const TNodeData *row = rows.Next(first); row; row = rows.Next(row)) {
            for (int c = 0; c < columns; ++c)
                differing += CellOf(*row, c) != CellOf(*first, c);
        }
        benchmark::DoNotOptimize(differing);
    }
}

void BM_TableSwitch(benchmark::State &state)
{
    EditorBench &b = Bench();
    for (auto _ : state) {
        b.editor->LoadAutofill(QString());
        b.editor->Rebuild(tbTable);
        QApplication::processEvents();
    }
}

// For comparison only: the first keystroke into a text field after a switch,
// which sorts the field's completion list.
void BM_FirstKeystroke(benchmark::State &state)
{
    EditorBench &b = Bench();
    b.Select(kSelectedEvery);
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        b.editor->Rebuild(tbTable);
        QApplication::processEvents();
        b.doc.UndoRedo().Clear();
        TAutocompletingEdit &field = *b.editor->EditorScrollBox().RowOf(kTextColumn)->Text;
        field.setFocus();
        field.selectAll();
        state.ResumeTiming();
        QTest::keyClicks(&field, kTyped[round++ % 2]);
        QApplication::processEvents();
    }
}

// The floor: the sorted distinct texts of the shown text columns.
void BM_TableSwitchFloor(benchmark::State &state)
{
    EditorBench &b = Bench();
    const DocumentTable &rows = b.doc.GetTable(tbTable);
    for (auto _ : state) {
        for (int c = 0; c < b.doc.GetTableColCount(tbTable); ++c) {
            const TColumnType type = b.doc.GetColumnType(tbTable, c);
            if (type != ctText && type != ctLink)
                continue;
            QSet<QString> distinct;
            for (const TNodeData *row = rows.First(); row; row = rows.Next(row))
                distinct.insert(CellOf(*row, c));
            QStringList sorted(distinct.cbegin(), distinct.cend());
            std::sort(sorted.begin(), sorted.end());
            benchmark::DoNotOptimize(sorted);
        }
    }
}

} // namespace

BENCHMARK(BM_Keystroke)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KeystrokeFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KeystrokeWrites)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefreshAll)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefreshFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TableSwitch)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TableSwitchFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstKeystroke)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_SCALE_FACTOR", "1");
    QApplication app(argc, argv);
    QApplication::setFont(QFont(QStringLiteral("Liberation Sans"), 8));
    const int result = bench::runWithFigures(argc, argv,
        { { "editor.keystroke_10k/bracket_writes", "BM_Keystroke", "BM_KeystrokeFloor", "<=", 1.5 },
            { "editor.keystroke_10k/bare_writes", "BM_Keystroke", "BM_KeystrokeWrites", "", 0 },
            { "editor.refresh_all_100k/compare_loop", "BM_RefreshAll", "BM_RefreshFloor", "<=", 2 },
            { "editor.table_switch_100k/distinct_texts", "BM_TableSwitch", "BM_TableSwitchFloor", "<=", 2 },
            { "editor.first_keystroke/keystroke", "BM_FirstKeystroke", "BM_Keystroke", "", 0 } });
    GBench.reset();
    return result;
}
