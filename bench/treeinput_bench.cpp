// The string tree's answer to keys and the mouse beside Qt's table view: an
// incremental search for the one text of 100,000 that starts with its
// letter (QTableView's keyboardSearch over QStandardItemModel), End on a
// million rows with the repaint it brings (QTableView's End), and a mouse
// move during a band selection on a million rows beside one on 10,000.
#include "bench/TreeBenchSupport.h"
#include "components/gui/GridTreeOptions.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <benchmark/benchmark.h>
#include <memory>
#include <vector>

namespace {

using treebench::RowHeight;
constexpr int Columns = 3;
constexpr int ColumnWidth = 100;
constexpr QSize Client(400, 500);

QString CellText(int Row, int Column)
{
    return QStringLiteral("t%1.%2").arg(Row % 1000, 3, 10, QChar('0')).arg(Column);
}

std::unique_ptr<TStringGridTree> ShownTree(int Count, std::function<QString(int, int)> Text)
{
    return treebench::ShownTree(Count, Columns, ColumnWidth, std::move(Text), Client);
}

// The table view shown like the tree.
void SetUpTable(QTableView &Table, QStandardItemModel &Model)
{
    treebench::SetUpTable(Table, Model, ColumnWidth);
    Table.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Table.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Table.resize(Client);
    Table.show();
    QApplication::processEvents();
}

void SendKey(QWidget &Target, int Key, const QString &Text = QString())
{
    QKeyEvent press(QEvent::KeyPress, Key, Qt::NoModifier, Text);
    QApplication::sendEvent(&Target, &press);
    QKeyEvent release(QEvent::KeyRelease, Key, Qt::NoModifier, Text);
    QApplication::sendEvent(&Target, &release);
}

// ---- incremental search --------------------------------------------------------------------

constexpr int SearchRows = 100000;

// Only the last text starts with "z". Made once, as a document holds its cells.
const QString &SearchText(int Row, int)
{
    static const std::vector<QString> texts = [] {
        std::vector<QString> all;
        for (int r = 0; r < SearchRows - 1; ++r)
            all.push_back(QStringLiteral("a%1").arg(r, 6, 10, QChar('0')));
        all.push_back(QStringLiteral("zebra"));
        return all;
    }();
    return texts[std::size_t(Row)];
}

void Tree_Search_100k(benchmark::State &State)
{
    auto view = ShownTree(SearchRows, SearchText);
    view->SetIncrementalSearchTimeout(60000);
    TBaseGridTree &tree = *view->Tree();
    TGridNode *first = tree.GetFirst();
    TGridNode *last = tree.GetLast();
    for (auto _ : State) {
        // A new search from the first row.
        view->SetIncrementalSearch(isNone);
        view->SetIncrementalSearch(isAll);
        tree.SetFocusedNode(first);
        SendKey(*view, Qt::Key_Z, QStringLiteral("z"));
        if (tree.FocusedNode() != last)
            State.SkipWithError("search missed");
    }
}

void QTableView_Search_100k(benchmark::State &State)
{
    QStandardItemModel model(SearchRows, Columns);
    for (int r = 0; r < SearchRows; ++r)
        for (int c = 0; c < Columns; ++c)
            model.setItem(r, c, new QStandardItem(SearchText(r, c)));
    QTableView table;
    SetUpTable(table, model);
    const QModelIndex first = model.index(0, 0);
    for (auto _ : State) {
        table.setCurrentIndex(first);
        table.keyboardSearch(QString());
        table.keyboardSearch(QStringLiteral("z"));
        if (table.currentIndex().row() != SearchRows - 1)
            State.SkipWithError("search missed");
    }
}

// ---- End on a million rows ----------------------------------------------------------------

constexpr int LongRows = 1000000;

// The key, then the repaint it asked for, done at once.
void EndAndHome(benchmark::State &State, QAbstractScrollArea &Target)
{
    int n = 0;
    for (auto _ : State) {
        SendKey(Target, n++ % 2 == 0 ? Qt::Key_End : Qt::Key_Home);
        Target.viewport()->repaint();
    }
}

void Tree_End_1M(benchmark::State &State)
{
    auto view = ShownTree(LongRows, CellText);
    view->setFocus();
    EndAndHome(State, *view);
}

void QTableView_End_1M(benchmark::State &State)
{
    QStandardItemModel model(LongRows, Columns);
    for (int r = 0; r < LongRows; ++r)
        for (int c = 0; c < Columns; ++c)
            model.setItem(r, c, new QStandardItem(CellText(r, c)));
    QTableView table;
    SetUpTable(table, model);
    table.setFocus();
    table.setCurrentIndex(model.index(0, 0));
    EndAndHome(State, table);
}

// ---- a band selection --------------------------------------------------------------------

void BandMove(benchmark::State &State, int Count)
{
    auto view = ShownTree(Count, CellText);
    view->TreeOptions().SetSelectionOptions({ toMultiSelect });
    view->SetOffsetY(-(Count / 2) * RowHeight);
    QApplication::processEvents();
    QWidget &client = *view->viewport();
    // Pressed beside the texts, then up and down over ten rows.
    const QPointF start(250, 100);
    QMouseEvent press(QEvent::MouseButtonPress, start, client.mapToGlobal(start), Qt::LeftButton,
        Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&client, &press);
    int n = 0;
    for (auto _ : State) {
        const QPointF at(20, n++ % 2 == 0 ? 280 : 270);
        QMouseEvent move(
            QEvent::MouseMove, at, client.mapToGlobal(at), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&client, &move);
    }
    QMouseEvent release(QEvent::MouseButtonRelease, start, client.mapToGlobal(start), Qt::LeftButton,
        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&client, &release);
}

void Tree_BandMove_10k(benchmark::State &State)
{
    BandMove(State, 10000);
}

void Tree_BandMove_1M(benchmark::State &State)
{
    BandMove(State, LongRows);
}

BENCHMARK(Tree_Search_100k)->Unit(benchmark::kMicrosecond);
BENCHMARK(QTableView_Search_100k)->Unit(benchmark::kMicrosecond);
BENCHMARK(Tree_End_1M)->Unit(benchmark::kMicrosecond);
BENCHMARK(QTableView_End_1M)->Unit(benchmark::kMicrosecond);
BENCHMARK(Tree_BandMove_10k)->Unit(benchmark::kMicrosecond);
BENCHMARK(Tree_BandMove_1M)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    std::vector<bench::Figure> figures {
        { "treeinput.search_100k/qtableview", "Tree_Search_100k", "QTableView_Search_100k", "<=", 0.5 },
        { "treeinput.end_1m/qtableview", "Tree_End_1M", "QTableView_End_1M", "<=", 1 },
        { "treeinput.band_move_1m/10k", "Tree_BandMove_1M", "Tree_BandMove_10k", "<=", 1.2 },
    };
    return treebench::Run(argc, argv, std::move(figures));
}
