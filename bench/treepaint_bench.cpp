// The string tree's painting beside Qt's table view and beside bare text
// drawing: a viewport of 50 rows x 20 columns of distinct texts into the same
// image; the same viewport at the top, middle and bottom of a million rows
// beside a tree of a thousand; fitting 20 columns of 100,000 rows beside
// measuring the texts with QFontMetrics; a wheel notch on a million rows beside
// QTableView.
#include "bench/TreeBenchSupport.h"
#include "components/PositionCache.h"
#include "components/ValidationWorker.h"
#include "components/gui/GTHeader.h"
#include "components/gui/GridTreeColumns.h"
#include "components/gui/GridTreeOptions.h"
#include "components/gui/ScrollBarOptions.h"
#include "components/gui/StringGridTree.h"

#include <QApplication>
#include <QFontMetrics>
#include <QHeaderView>
#include <QPainter>
#include <QStandardItemModel>
#include <QTableView>
#include <QThread>
#include <QWheelEvent>
#include <benchmark/benchmark.h>
#include <memory>
#include <vector>

namespace {

constexpr int Rows = 50;
constexpr int Columns = 20;
constexpr int ColumnWidth = 60;
using treebench::RowHeight;
constexpr int ImageWidth = Columns * ColumnWidth;
constexpr int ImageHeight = Rows * RowHeight;

// Short enough to fit a column: nothing is cut. Rows a thousand apart show
// the same texts, so that every part of a long list draws alike.
QString CellText(int Row, int Column)
{
    return QStringLiteral("t%1.%2").arg(Row % 1000, 3, 10, QChar('0')).arg(Column);
}

// The texts of the viewport, made once, as a document holds them.
const QString &ViewportText(int Row, int Column)
{
    static const std::vector<QString> texts = [] {
        std::vector<QString> all;
        for (int r = 0; r < Rows; ++r)
            for (int c = 0; c < Columns; ++c)
                all.push_back(CellText(r, c));
        return all;
    }();
    return texts[std::size_t(Row * Columns + Column)];
}

QImage Target()
{
    QImage image(ImageWidth, ImageHeight, QImage::Format_ARGB32_Premultiplied);
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(3780);
    image.fill(Qt::white);
    return image;
}

// A shown string tree of Count rows and ColumnCount columns whose texts come
// from Text.
std::unique_ptr<TStringGridTree> ShownTree(int Count, int ColumnCount, std::function<QString(int, int)> Text,
    QSize Client = QSize(ImageWidth, ImageHeight))
{
    return treebench::ShownTree(Count, ColumnCount, ColumnWidth, std::move(Text), Client);
}

void PaintAt(benchmark::State &State, TStringGridTree &View, int Top)
{
    QImage image = Target();
    for (auto _ : State) {
        QPainter painter(&image);
        View.PaintTree(painter, Rect(0, Top, ImageWidth, Top + ImageHeight), QPoint(), WindowPaintOptions);
    }
}

void SetUpTable(QTableView &Table, QStandardItemModel &Model)
{
    treebench::SetUpTable(Table, Model, ColumnWidth);
}

// ---- a viewport of distinct texts -------------------------------------------------------

void Tree_ViewportPaint(benchmark::State &State)
{
    auto view = ShownTree(Rows, Columns, ViewportText);
    PaintAt(State, *view, 0);
}

// The same with the texts left undrawn (OnDrawText draws nothing).
void Tree_ViewportPaint_NoText(benchmark::State &State)
{
    auto view = ShownTree(Rows, Columns, ViewportText);
    view->OnDrawText = [](TCustomStringGridTree &, QPainter &, TGridNode *, TColumnIndex, const QString &,
                           const TRect &, bool &Default) { Default = false; };
    PaintAt(State, *view, 0);
}

void QTableView_ViewportPaint(benchmark::State &State)
{
    QStandardItemModel model(Rows, Columns);
    for (int r = 0; r < Rows; ++r)
        for (int c = 0; c < Columns; ++c)
            model.setItem(r, c, new QStandardItem(ViewportText(r, c)));
    QTableView table;
    SetUpTable(table, model);
    table.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table.resize(ImageWidth, ImageHeight);
    table.show();
    QApplication::processEvents();
    QImage image = Target();
    for (auto _ : State)
        table.viewport()->render(&image);
}

void Floor_DrawText(benchmark::State &State)
{
    QImage image = Target();
    const QFont font = QApplication::font();
    const int ascent = QFontMetrics(font, &image).ascent();
    for (auto _ : State) {
        QPainter painter(&image);
        painter.setFont(font);
        for (int r = 0; r < Rows; ++r)
            for (int c = 0; c < Columns; ++c)
                painter.drawText(c * ColumnWidth + 8, r * RowHeight + 2 + ascent, ViewportText(r, c));
    }
}

// Erasing 50 rows in a row buffer and copying each to the image.
void Floor_FillBlit(benchmark::State &State)
{
    QImage image = Target();
    for (auto _ : State) {
        QPainter painter(&image);
        QImage row(ImageWidth, RowHeight, QImage::Format_ARGB32);
        QPainter rowPainter(&row);
        for (int r = 0; r < Rows; ++r) {
            rowPainter.fillRect(0, 0, ImageWidth, RowHeight, Qt::white);
            const QImage opaque(
                row.constBits(), row.width(), row.height(), row.bytesPerLine(), QImage::Format_RGB32);
            painter.drawImage(0, r * RowHeight, opaque);
        }
    }
}

// ---- the cost follows what is visible ---------------------------------------------------

// Shared by the three paints of the long list; main lets it go while the
// application still runs (a widget must not outlive it).
std::unique_ptr<TStringGridTree> MillionView;

TStringGridTree &Million()
{
    if (!MillionView)
        MillionView = ShownTree(1000000, Columns, CellText);
    return *MillionView;
}

void Tree_Paint_1k(benchmark::State &State)
{
    auto view = ShownTree(1000, Columns, CellText);
    PaintAt(State, *view, 0);
}

void Tree_Paint_1M_Top(benchmark::State &State)
{
    PaintAt(State, Million(), 0);
}

void Tree_Paint_1M_Middle(benchmark::State &State)
{
    PaintAt(State, Million(), 500000 * RowHeight);
}

void Tree_Paint_1M_Bottom(benchmark::State &State)
{
    PaintAt(State, Million(), 1000000 * RowHeight - ImageHeight);
}

// ---- fitting columns to their widest text --------------------------------------------------

constexpr int FitRows = 100000;

// The texts of each column: distinct, or at most 1,000 different ones.
const std::vector<std::vector<QString>> &FitTexts(bool Repeated)
{
    static std::vector<std::vector<QString>> texts[2];
    std::vector<std::vector<QString>> &result = texts[Repeated];
    if (result.empty()) {
        result.resize(Columns);
        for (int c = 0; c < Columns; ++c) {
            std::vector<QString> distinct;
            if (Repeated)
                for (int r = 0; r < 1000; ++r)
                    distinct.push_back(QStringLiteral("Order %1 item %2").arg(r * 7 + c).arg(c));
            for (int r = 0; r < FitRows; ++r)
                result[std::size_t(c)].push_back(Repeated ? distinct[std::size_t(r % 1000)]
                                                          : QStringLiteral("Order %1 item %2").arg(r).arg(c));
        }
    }
    return result;
}

void AutoFit(benchmark::State &State, bool Repeated)
{
    const auto &texts = FitTexts(Repeated);
    auto view = ShownTree(
        FitRows, Columns,
        [&texts](int Row, int Column) { return texts[std::size_t(Column)][std::size_t(Row)]; },
        QSize(600, 400));
    QFont font = view->font();
    for (auto _ : State) {
        // Every run measures afresh: a font change drops the widths kept.
        State.PauseTiming();
        font.setPointSize(font.pointSize() == 8 ? 9 : 8);
        view->setFont(font);
        State.ResumeTiming();
        view->Header().AutoFitColumns(false);
    }
}

void Tree_AutoFit_Distinct(benchmark::State &State)
{
    AutoFit(State, false);
}

void Tree_AutoFit_Repeated(benchmark::State &State)
{
    AutoFit(State, true);
}

void Measure(benchmark::State &State, bool Repeated)
{
    const auto &texts = FitTexts(Repeated);
    QImage device(1, 1, QImage::Format_ARGB32);
    device.setDotsPerMeterX(3780);
    device.setDotsPerMeterY(3780);
    const QFontMetrics metrics(QApplication::font(), &device);
    for (auto _ : State) {
        for (const auto &column : texts) {
            int widest = 0;
            for (const QString &text : column)
                widest = std::max(widest, metrics.horizontalAdvance(text));
            benchmark::DoNotOptimize(widest);
        }
    }
}

void Floor_Measure_Distinct(benchmark::State &State)
{
    Measure(State, false);
}

void Floor_Measure_Repeated(benchmark::State &State)
{
    Measure(State, true);
}

// ---- a wheel notch on a million rows ------------------------------------------------------

constexpr int WheelColumns = 3;

void Notches(benchmark::State &State, QWidget &Viewport)
{
    int notch = 0;
    for (auto _ : State) {
        // Down and back up, away from the ends.
        const int delta = (notch++ / 4) % 2 == 0 ? -120 : 120;
        const QPointF at(100, 100);
        QWheelEvent wheel(at, Viewport.mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
            Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&Viewport, &wheel);
        // The repaint the scroll asked for, at once (a window's updates may
        // otherwise wait for the next frame).
        Viewport.repaint();
    }
}

void Tree_WheelNotch_1M(benchmark::State &State)
{
    auto view = ShownTree(1000000, WheelColumns, CellText, QSize(400, 500));
    view->SetOffsetY(-500000 * RowHeight);
    QApplication::processEvents();
    Notches(State, *view->viewport());
}

void QTableView_WheelNotch_1M(benchmark::State &State)
{
    QStandardItemModel model(1000000, WheelColumns);
    for (int r = 0; r < 1000000; ++r)
        for (int c = 0; c < WheelColumns; ++c)
            model.setItem(r, c, new QStandardItem(CellText(r, c)));
    QTableView table;
    SetUpTable(table, model);
    table.resize(400, 500);
    table.show();
    table.scrollTo(model.index(500000, 0), QAbstractItemView::PositionAtTop);
    QApplication::processEvents();
    Notches(State, *table.viewport());
}

BENCHMARK(Tree_ViewportPaint)->Unit(benchmark::kMicrosecond);
BENCHMARK(Tree_ViewportPaint_NoText)->Unit(benchmark::kMicrosecond);
BENCHMARK(QTableView_ViewportPaint)->Unit(benchmark::kMicrosecond);
BENCHMARK(Floor_DrawText)->Unit(benchmark::kMicrosecond);
BENCHMARK(Floor_FillBlit)->Unit(benchmark::kMicrosecond);
BENCHMARK(Tree_Paint_1k)->Unit(benchmark::kMicrosecond);
BENCHMARK(Tree_Paint_1M_Top)->Unit(benchmark::kMicrosecond);
BENCHMARK(Tree_Paint_1M_Middle)->Unit(benchmark::kMicrosecond);
BENCHMARK(Tree_Paint_1M_Bottom)->Unit(benchmark::kMicrosecond);
// Two rounds: each measures every distinct text anew for seconds on end.
BENCHMARK(Tree_AutoFit_Distinct)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(Floor_Measure_Distinct)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(Tree_AutoFit_Repeated)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(Floor_Measure_Repeated)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(Tree_WheelNotch_1M)->Unit(benchmark::kMicrosecond);
BENCHMARK(QTableView_WheelNotch_1M)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    std::vector<bench::Figure> figures {
        { "treepaint.viewport/qtableview", "Tree_ViewportPaint", "QTableView_ViewportPaint", "<=", 0.5 },
        { "treepaint.viewport/drawtext", "Tree_ViewportPaint", "Floor_DrawText", "<=", 1.5 },
        // Where the time beyond the texts goes: the rows without their texts,
        // and the erasing and copying of the rows alone.
        { "treepaint.viewport_without_text/drawtext", "Tree_ViewportPaint_NoText", "Floor_DrawText", "", 0 },
        { "treepaint.erase_and_blit/drawtext", "Floor_FillBlit", "Floor_DrawText", "", 0 },
        { "treepaint.1m_top/1k", "Tree_Paint_1M_Top", "Tree_Paint_1k", "<=", 1.2 },
        { "treepaint.1m_middle/1k", "Tree_Paint_1M_Middle", "Tree_Paint_1k", "<=", 1.2 },
        { "treepaint.1m_bottom/1k", "Tree_Paint_1M_Bottom", "Tree_Paint_1k", "<=", 1.2 },
        { "treepaint.autofit/measure", "Tree_AutoFit_Distinct", "Floor_Measure_Distinct", "<=", 1.3 },
        { "treepaint.autofit_cached/measure", "Tree_AutoFit_Repeated", "Floor_Measure_Repeated", "<=", 0.2 },
        { "treepaint.wheel/qtableview", "Tree_WheelNotch_1M", "QTableView_WheelNotch_1M", "<=", 1 },
    };
    return treebench::Run(argc, argv, std::move(figures), [] { MillionView.reset(); });
}
