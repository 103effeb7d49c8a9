// The main window on a large plan (100,000 task rows of 10 columns), offscreen:
// paste, delete and undo through its commands beside the bare document calls
// they make; a find keystroke beside a bare scan of the cells; an idle tick
// with nothing new on 1,000 and on 100,000 rows (the start with a plan is
// measured until idle by the whole-program benchmark). And the task
// table's own figures: a sort by a date column from the header and a select
// all, each with a 50-row viewport painted after it, beside QTableView over
// QStandardItemModel; selecting one row, changing a column's width and fitting
// the columns, each on 1,000 and on 100,000 rows.
#include "app/program/Program.h"
#include "bench/BenchSupport.h"
#include "bench/LargeTaskTable.h"
#include "bench/generator/DocumentGenerator.h"
#include "components/gui/GTHeader.h"
#include "components/gui/GridTreeColumns.h"
#include "components/gui/StringGridTree.h"
#include "document/DocumentTable.h"
#include "document/commands/DocumentCommands.h"
#include "document/program/MessageDialog.h"
#include "mainwindow/MainFormProbe.h"
#include "tables/ClipboardRows.h"
#include "tables/TableCommands.h"
#include "tables/TaskTables.h"

#include <QApplication>
#include <QClipboard>
#include <QDate>
#include <QDir>
#include <QHeaderView>
#include <QImage>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPainter>
#include <QStandardItemModel>
#include <QTableView>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <map>
#include <memory>

namespace {

constexpr int kRows = 100000;
constexpr int kColumns = 10;
constexpr int kPasted = 10000;
constexpr int kDateColumn = 1;
constexpr int kViewportRows = 50;

GeneratorOptions PlanOptions(int tasks)
{
    GeneratorOptions options;
    options.tasks = tasks;
    options.absentRows = 0;
    options.positions = 20;
    options.columns = kColumns;
    return options;
}

// Answers every question with OK or Yes.
class Agreeing final : public IMessageDialogs {
public:
    int MessageDlgPosHelp(
        const QString &, TMsgDlgType, TMsgDlgButtons Buttons, int, int, int, const QString &) override
    {
        return Buttons.contains(mbOK) ? mrOk : mrYes;
    }
};

Agreeing &agreeing()
{
    static Agreeing dialogs;
    static ScopedMessageDialogs scoped(&dialogs);
    return dialogs;
}

// A main window holding a generated plan, its task table 50 rows high.
struct Window {
    std::unique_ptr<TMainForm> form;
    explicit Window(int tasks)
    {
        agreeing();
        form = std::make_unique<TMainForm>();
        {
            UpdateBracket bracket(Probe(*form).Doc(), QString());
            GenerateDocument(Probe(*form).Doc(), PlanOptions(tasks));
        }
        form->resize(1200, 900);
        form->show();
        TStringGridTree &tree = Probe(*form).Tree(tbTable);
        QCoreApplication::processEvents();
        tree.setFixedHeight(tree.Header().Height() + kViewportRows * int(tree.DefaultNodeHeight()) + 4);
        Probe(*form).AutoFitColumns();
        Probe(*form).IdleTimerTimer();
        QCoreApplication::processEvents();
        tree.setFocus();
    }
    Document &doc() const { return Probe(*form).Doc(); }
    TBaseGridTree &store() const { return doc().GetTable(tbTable).Tree(); }
    // What the table shows, painted into one image.
    void Paint() const
    {
        TStringGridTree &tree = Probe(*form).Tree(tbTable);
        static QImage image;
        if (image.size() != tree.viewport()->size())
            image = QImage(tree.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
        tree.viewport()->render(&image);
        benchmark::DoNotOptimize(image.bits());
    }
};

std::map<int, std::unique_ptr<Window>> &windows()
{
    static std::map<int, std::unique_ptr<Window>> made;
    return made;
}

Window &window(int tasks)
{
    auto &w = windows()[tasks];
    if (!w)
        w = std::make_unique<Window>(tasks);
    return *w;
}

// The clipboard text of 10,000 rows of the plan.
QString PasteText(Document &doc)
{
    QList<QStringList> rows;
    const DocumentTable &table = doc.GetTable(tbTable);
    const TNodeData *row = table.First();
    for (int i = 0; i < kPasted && row; ++i, row = table.Next(row)) {
        QStringList cells = row->StringList;
        cells[0] = QString::number(doc.GetPositionOf(row));
        rows << cells;
    }
    return ClipboardText(rows);
}

// Removes the rows after the first `keep`, unrecorded.
void TrimTo(Document &doc, int keep)
{
    UndoRecordingPause noUndo(doc.UndoRedo());
    UpdateBracket bracket(doc, QString());
    std::vector<TNodeData *> extra;
    int index = 0;
    doc.ForEach(tbTable, feAll, [&](TNodeData &row) {
        if (index++ >= keep)
            extra.push_back(&row);
    });
    for (TNodeData *row : extra)
        doc.DeleteNode(row, false);
    doc.UndoRedo().Clear();
}

// ---------------------------------------------------------------- paste

void BM_WindowPaste(benchmark::State &state)
{
    Window &w = window(kRows);
    const QString text = PasteText(w.doc());
    QAction &paste = *Probe(*w.form).Menus().ActionPaste;
    for (auto _ : state) {
        state.PauseTiming();
        QGuiApplication::clipboard()->setText(text);
        state.ResumeTiming();
        paste.trigger();
        state.PauseTiming();
        if (w.doc().GetTableRowCount(tbTable) <= kRows) {
            state.SkipWithError("nothing was pasted");
            break;
        }
        TrimTo(w.doc(), kRows);
        state.ResumeTiming();
    }
}

void BM_FloorPaste(benchmark::State &state)
{
    Window &w = window(kRows);
    Document &doc = w.doc();
    const QString text = PasteText(doc);
    const TClipboardRows read = ReadClipboardRows(text, kColumns);
    for (auto _ : state) {
        {
            TUndoGroupScope group(doc);
            UpdateBracket bracket(doc, QString());
            for (const QStringList &cells : read.rows) {
                TNodeData *row = doc.AddNode(doc.GetFreeID(), tbTable, true);
                for (int c = 0; c < cells.size(); ++c)
                    if (c != 2) // the end follows from start and length
                        doc.SetData(row, c, cells[c]);
            }
        }
        state.PauseTiming();
        TrimTo(doc, kRows);
        state.ResumeTiming();
    }
}

// ---------------------------------------------------------------- delete and undo

void SelectLast(Window &w, int count)
{
    TBaseGridTree &store = w.store();
    store.ClearSelection();
    TNodeArray nodes;
    for (TGridNode *n = store.GetLast(); n && int(nodes.size()) < count; n = store.GetPrevious(n))
        nodes.push_back(n);
    store.AddToSelection(nodes, int(nodes.size()));
}

void BM_WindowDeleteAndUndo(benchmark::State &state)
{
    Window &w = window(kRows);
    const TMainMenus &menus = Probe(*w.form).Menus();
    for (auto _ : state) {
        state.PauseTiming();
        SelectLast(w, kPasted);
        // The idle tick enables Delete for the selection before a user can choose it.
        Probe(*w.form).UpdateActions();
        if (!menus.ActionDeleteNode->isEnabled()) {
            state.SkipWithError("Delete is not enabled for the selected rows");
            break;
        }
        state.ResumeTiming();
        menus.ActionDeleteNode->trigger();
        menus.ActionUndo->trigger();
    }
}

void BM_FloorDeleteAndUndo(benchmark::State &state)
{
    Window &w = window(kRows);
    Document &doc = w.doc();
    for (auto _ : state) {
        state.PauseTiming();
        SelectLast(w, kPasted);
        state.ResumeTiming();
        {
            TUndoGroupScope group(doc);
            UpdateBracket bracket(doc, QString());
            doc.ForEach(tbTable, feSelected, [&](TNodeData &row) { doc.DeleteNode(&row, true); });
        }
        UpdateBracket bracket(doc, QString());
        doc.UndoRedo().Undo();
    }
}

// ---------------------------------------------------------------- find

// A text in the last row only: every keystroke scans the whole table.
void BM_WindowFindKeystroke(benchmark::State &state)
{
    Window &w = window(kRows);
    QLineEdit &find = Probe(*w.form).Edit2();
    find.setText(QStringLiteral("ORDER 99999"));
    // The signal each keystroke in the field gives.
    for (auto _ : state)
        emit find.textEdited(find.text());
}

void BM_FloorFindScan(benchmark::State &state)
{
    Window &w = window(kRows);
    const QString text = QStringLiteral("ORDER 99999");
    const DocumentTable &table = w.doc().GetTable(tbTable);
    for (auto _ : state) {
        const TNodeData *found = nullptr;
        for (const TNodeData *row = table.First(); row && !found; row = table.Next(row))
            for (const QString &cell : row->StringList)
                if (cell.contains(text, Qt::CaseInsensitive)) {
                    found = row;
                    break;
                }
        benchmark::DoNotOptimize(found);
    }
}

// ---------------------------------------------------------------- idle tick

void BM_IdleTick(benchmark::State &state)
{
    Window &w = window(int(state.range(0)));
    for (auto _ : state)
        Probe(*w.form).IdleTimerTimer();
}

// ---------------------------------------------------------------- the task table

void BM_HeaderSortByDate(benchmark::State &state)
{
    Window &w = window(kRows);
    for (auto _ : state) {
        MenuItemWithData(*Probe(*w.form).Menus().SortMenu, kDateColumn)->trigger();
        w.Paint();
    }
}

// The same rows and dates (as QDate) in Qt's model and table view, 50 rows shown.
// After a sort Qt's model finds each item's row by a linear search from where the
// item used to be, so destroying the sorted model takes many minutes at this
// size: the model is deliberately left to the process's end (the view goes).
struct QtTable {
    QStandardItemModel &model = *new QStandardItemModel(0, kColumns);
    QTableView view;
    explicit QtTable(Document &doc)
    {
        bench::fillStandardModel(model, doc, kColumns, kDateColumn);
        view.setModel(&model);
        view.verticalHeader()->setDefaultSectionSize(18);
        view.resize(1000, view.horizontalHeader()->height() + kViewportRows * 18 + 4);
        view.show();
        QCoreApplication::processEvents();
    }
    void Paint()
    {
        static QImage image;
        if (image.size() != view.viewport()->size())
            image = QImage(view.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
        view.viewport()->render(&image);
        benchmark::DoNotOptimize(image.bits());
    }
};

std::unique_ptr<QtTable> &qtTableMade()
{
    static std::unique_ptr<QtTable> table;
    return table;
}

QtTable &qtTable()
{
    std::unique_ptr<QtTable> &table = qtTableMade();
    if (!table)
        table = std::make_unique<QtTable>(window(kRows).doc());
    return *table;
}

void BM_QtTableSortByDate(benchmark::State &state)
{
    QtTable &table = qtTable();
    Qt::SortOrder order = Qt::AscendingOrder;
    for (auto _ : state) {
        table.view.sortByColumn(kDateColumn, order);
        table.Paint();
        order = order == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    }
}

void BM_SelectAll(benchmark::State &state)
{
    Window &w = window(kRows);
    for (auto _ : state) {
        Probe(*w.form).Menus().ActionSelectAll->trigger();
        w.Paint();
        state.PauseTiming();
        if (w.store().SelectedCount() != int(w.store().VisibleCount()))
            state.SkipWithError("not every row was selected");
        w.store().ClearSelection();
        state.ResumeTiming();
    }
}

void BM_QtTableSelectAll(benchmark::State &state)
{
    QtTable &table = qtTable();
    for (auto _ : state) {
        table.view.selectAll();
        table.Paint();
        state.PauseTiming();
        const QItemSelectionModel &selection = *table.view.selectionModel();
        if (!selection.isRowSelected(0) || !selection.isRowSelected(table.model.rowCount() - 1))
            state.SkipWithError("the view did not select every row");
        table.view.clearSelection();
        state.ResumeTiming();
    }
}

// A click on one row, then on another: the selection's bookkeeping and repaint.
void BM_SelectOneRow(benchmark::State &state)
{
    Window &w = window(int(state.range(0)));
    TBaseGridTree &store = w.store();
    store.ClearSelection();
    TGridNode *a = store.GetFirst();
    TGridNode *b = store.GetNext(a);
    bool first = true;
    for (auto _ : state) {
        store.ClearSelection();
        store.SetSelected(first ? a : b, true);
        w.Paint();
        first = !first;
    }
}

// One column a pixel wider and back, with the table painted after each: the
// user's drag of a column's edge, which should cost the same on 1,000 rows as
// on 100,000.
void BM_ColumnWidth(benchmark::State &state)
{
    Window &w = window(int(state.range(0)));
    TGridTreeColumn &column = Probe(*w.form).Tree(tbTable).Header().Columns().Items(kDateColumn);
    const int width = column.Width();
    int step = 0;
    for (auto _ : state) {
        column.SetWidth(width + (++step % 2));
        w.Paint();
    }
    column.SetWidth(width);
}

// "Fit columns" of the task table (every column to its widest cell), with the
// table painted after it.
void BM_AutoFit(benchmark::State &state)
{
    Window &w = window(int(state.range(0)));
    for (auto _ : state) {
        Probe(*w.form).AutoFitColumns();
        w.Paint();
    }
}

} // namespace

// The idle ticks first, before the other benchmarks' windows exist: each would otherwise pay for the others
// (their repaints, their states brought up to date).
BENCHMARK(BM_IdleTick)->Name("BM_IdleTick/1k")->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_IdleTick)->Name("BM_IdleTick/100k")->Arg(kRows)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WindowPaste)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_FloorPaste)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_WindowDeleteAndUndo)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_FloorDeleteAndUndo)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_WindowFindKeystroke)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FloorFindScan)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HeaderSortByDate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QtTableSortByDate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SelectAll)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QtTableSelectAll)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SelectOneRow)->Name("BM_SelectOneRow/1k")->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SelectOneRow)->Name("BM_SelectOneRow/100k")->Arg(kRows)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ColumnWidth)->Name("BM_ColumnWidth/1k")->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ColumnWidth)->Name("BM_ColumnWidth/100k")->Arg(kRows)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AutoFit)->Name("BM_AutoFit/1k")->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AutoFit)->Name("BM_AutoFit/100k")->Arg(kRows)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_SCALE_FACTOR", "1");
    qputenv("ZELTRANO_UPDATE_URL", QByteArray());
    QTemporaryDir appData;
    qputenv("XDG_DATA_HOME", appData.path().toLocal8Bit());
    QApplication app(argc, argv);
    QApplication::setFont(QFont(QStringLiteral("Liberation Sans"), 8));
    const int result = bench::runWithFigures(argc, argv,
        { { "mainform.paste_10k/floor", "BM_WindowPaste", "BM_FloorPaste", "<=", 1.5 },
            { "mainform.delete_undo_10k/floor", "BM_WindowDeleteAndUndo", "BM_FloorDeleteAndUndo",
                "<=", 1.5 },
            { "mainform.find_keystroke/bare_scan", "BM_WindowFindKeystroke", "BM_FloorFindScan", "<=", 2 },
            { "mainform.idle_tick_100k/1k", "BM_IdleTick/100k", "BM_IdleTick/1k", "<=", 1.2 },
            { "tables.qtableview_sort_by_date/header_sort", "BM_QtTableSortByDate", "BM_HeaderSortByDate",
                ">=", 3 },
            { "tables.qtableview_select_all/select_all", "BM_QtTableSelectAll", "BM_SelectAll", ">=", 3 },
            { "tables.select_row_100k/1k", "BM_SelectOneRow/100k", "BM_SelectOneRow/1k", "<=", 1.2 },
            { "tables.column_width_100k/1k", "BM_ColumnWidth/100k", "BM_ColumnWidth/1k", "<=", 1.2 },
            { "tables.auto_fit_100k/1k", "BM_AutoFit/100k", "BM_AutoFit/1k", "<=", 1.5 } });
    // The windows go while the application still exists.
    qtTableMade().reset();
    windows().clear();
    return result;
}
