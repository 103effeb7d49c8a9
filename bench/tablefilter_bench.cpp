// A text filter on one column of a large task table, beside Qt's proxy model
// filtering the same texts with the same wildcard (bare, and each feeding a
// view of 50 rows repainted into the same image); and a wildcard whose plain
// matching would take time growing with text times pattern, beside a plain one.
#include "bench/BenchSupport.h"
#include "bench/LargeTaskTable.h"
#include "components/gui/GTHeader.h"
#include "components/gui/GTPaintInfo.h"
#include "components/gui/GridTreeColumns.h"
#include "components/gui/GridTreeOptions.h"
#include "components/gui/ScrollBarOptions.h"
#include "components/gui/StringGridTree.h"
#include "document/DocumentTable.h"
#include "document/program/Utils.h"
#include "tables/FilterPass.h"
#include "tables/TableCells.h"
#include "tables/UpperText.h"
#include "tables/WildcardPattern.h"

#include <QApplication>
#include <QHeaderView>
#include <QPainter>
#include <QRegularExpression>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>
#include <benchmark/benchmark.h>

namespace {

constexpr int kColumns = bench::kLargeTableColumns;
constexpr int kFilterColumn = 5; // "Order <n>"
// Two patterns in turn, so that every pass changes what is shown.
const QString kPatterns[2] = { QStringLiteral("*order 1*"), QStringLiteral("*order 2*") };

void BM_FilterPass(benchmark::State &state)
{
    Document &doc = bench::largeTaskTable();
    int round = 0;
    for (auto _ : state) {
        doc.GetHeader(tbTable, kFilterColumn)->Filter = { ftText, fsText, kPatterns[round++ % 2], QString() };
        benchmark::DoNotOptimize(FilterData(doc, tbTable));
    }
    state.counters["shown"] = doc.FilteredCount(tbTable);
}

// The task table's cells in a standard item model, behind a proxy that
// filters the filter column.
void FillModel(QStandardItemModel &model, QSortFilterProxyModel &proxy)
{
    Document &doc = bench::largeTaskTable();
    model.setColumnCount(kColumns);
    const DocumentTable &rows = doc.GetTable(tbTable);
    for (const TNodeData *row = rows.First(); row; row = rows.Next(row)) {
        QList<QStandardItem *> items;
        for (int c = 0; c < kColumns; ++c)
            items.append(new QStandardItem(doc.GetData(row, c)));
        model.appendRow(items);
    }
    proxy.setSourceModel(&model);
    proxy.setFilterKeyColumn(kFilterColumn);
}

// The peer: the same cells in a QStandardItemModel behind a QSortFilterProxyModel.
void BM_ProxyModelFilter(benchmark::State &state)
{
    QStandardItemModel model;
    QSortFilterProxyModel proxy;
    FillModel(model, proxy);
    int round = 0;
    int shown = 0;
    for (auto _ : state) {
        proxy.setFilterRegularExpression(
            QRegularExpression::fromWildcard(kPatterns[round++ % 2], Qt::CaseInsensitive));
        shown = proxy.rowCount(); // the proxy filters when its rows are asked for
        benchmark::DoNotOptimize(shown);
    }
    state.counters["shown"] = shown;
}

// The 50 rows of a view, 10 columns of 80 pixels, painted after each pass.
constexpr int kViewRows = 50;
constexpr int kViewColumnWidth = 80;
constexpr int kViewRowHeight = 18;
const QSize kViewSize(kColumns *kViewColumnWidth, kViewRows *kViewRowHeight);

QImage ViewImage()
{
    QImage image(kViewSize, QImage::Format_ARGB32_Premultiplied);
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(3780);
    image.fill(Qt::white);
    return image;
}

void BM_FilterPassView(benchmark::State &state)
{
    Document &doc = bench::largeTaskTable();
    // The task table's own tree, shown as the main window shows it.
    TStringGridTree view(doc.GetTable(tbTable).Tree());
    view.SetBorderStyle(bsNone);
    view.ScrollBarOptions().SetScrollBars(ssNone);
    // The window's tables keep their rows sorted.
    TCustomGridTreeOptions &options = view.TreeOptions();
    options.SetAutoOptions(options.AutoOptions() + TGTAutoOptions { toAutoSort });
    for (int c = 0; c < kColumns; ++c)
        view.Header().Columns().Add().SetWidth(kViewColumnWidth);
    view.OnGetText
        = [&doc](TCustomStringGridTree &, TGridNode *node, TColumnIndex column, TGSTTextType, QString &text) {
              const TNodeData *row = doc.GetTable(tbTable).Tree().GetNodeData<TNodeData>(node);
              text = row ? GetCellText(doc, *row, column) : QString();
          };
    view.resize(kViewSize);
    view.show();
    QApplication::processEvents();
    QImage image = ViewImage();
    int round = 0;
    for (auto _ : state) {
        doc.GetHeader(tbTable, kFilterColumn)->Filter = { ftText, fsText, kPatterns[round++ % 2], QString() };
        benchmark::DoNotOptimize(FilterData(doc, tbTable));
        QPainter painter(&image);
        view.PaintTree(
            painter, Rect(0, 0, kViewSize.width(), kViewSize.height()), QPoint(), WindowPaintOptions);
    }
    doc.GetHeader(tbTable, kFilterColumn)->Filter = {};
    FilterData(doc, tbTable);
}

void BM_ProxyModelFilterView(benchmark::State &state)
{
    QStandardItemModel model;
    QSortFilterProxyModel proxy;
    FillModel(model, proxy);
    QTableView table;
    table.setModel(&proxy);
    table.setFrameStyle(QFrame::NoFrame);
    table.horizontalHeader()->hide();
    table.verticalHeader()->hide();
    table.verticalHeader()->setMinimumSectionSize(1);
    table.verticalHeader()->setDefaultSectionSize(kViewRowHeight);
    table.horizontalHeader()->setDefaultSectionSize(kViewColumnWidth);
    table.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table.resize(kViewSize);
    table.show();
    QApplication::processEvents();
    QImage image = ViewImage();
    int round = 0;
    for (auto _ : state) {
        proxy.setFilterRegularExpression(
            QRegularExpression::fromWildcard(kPatterns[round++ % 2], Qt::CaseInsensitive));
        table.viewport()->render(&image);
    }
}

// Long cells of one letter against a long part after a star: a plain matcher
// tries the part at every place.
const std::vector<QString> &longCells()
{
    static const std::vector<QString> cells = [] {
        std::vector<QString> v;
        for (int i = 0; i < 20000; ++i)
            v.push_back(QString(200, u'a') + QString::number(i));
        return v;
    }();
    return cells;
}

void matchAll(benchmark::State &state, const QString &pattern)
{
    const TWildcardPattern prepared(pattern);
    TUpperText upper;
    for (auto _ : state) {
        int hits = 0;
        for (const QString &cell : longCells())
            hits += prepared.Matches(upper.Of(cell));
        benchmark::DoNotOptimize(hits);
    }
}

void BM_PatternPathological(benchmark::State &state)
{
    matchAll(state, QStringLiteral("*") + QString(40, u'a') + QStringLiteral("?b*"));
}

void BM_PatternPlain(benchmark::State &state)
{
    matchAll(state, QStringLiteral("*a1*"));
}

// For comparison only: the core's matcher on the pathological pattern.
void BM_CoreMatchPathological(benchmark::State &state)
{
    const QString pattern = QStringLiteral("*") + QString(40, u'a') + QStringLiteral("?b*");
    for (auto _ : state) {
        int hits = 0;
        for (const QString &cell : longCells())
            hits += WildcardMatch(cell, pattern, false);
        benchmark::DoNotOptimize(hits);
    }
}

} // namespace

BENCHMARK(BM_FilterPass)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProxyModelFilter)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilterPassView)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProxyModelFilterView)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PatternPathological)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PatternPlain)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CoreMatchPathological)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_SCALE_FACTOR", "1");
    QApplication app(argc, argv);
    QApplication::setFont(QFont(QStringLiteral("Liberation Sans"), 8));
    return bench::runWithFigures(argc, argv,
        { { "tablefilter.text_filter_pass/proxy_model", "BM_FilterPass", "BM_ProxyModelFilter",
              "<=", 1.0 / 3 },
            { "tablefilter.text_filter_view/proxy_model_view", "BM_FilterPassView", "BM_ProxyModelFilterView",
                "<=", 1.0 / 3 },
            { "tablefilter.pathological_pattern/plain_pattern", "BM_PatternPathological", "BM_PatternPlain",
                "<=", 3 },
            { "tablefilter.core_match_pathological/prepared", "BM_CoreMatchPathological",
                "BM_PatternPathological", "", 0 } });
}
