#pragma once

// Shared by the benchmarks of the tree's painting and input: shown string
// trees whose position cache has settled, Qt's table view set up to show the
// same rows, and the offscreen application around them.

#include "bench/BenchSupport.h"
#include "components/PositionCache.h"
#include "components/ValidationWorker.h"
#include "components/gui/GTHeader.h"
#include "components/gui/GridTreeColumns.h"
#include "components/gui/ScrollBarOptions.h"
#include "components/gui/StringGridTree.h"

#include <QApplication>
#include <QHeaderView>
#include <QStandardItemModel>
#include <QTableView>
#include <QThread>
#include <functional>
#include <memory>
#include <vector>

namespace treebench {

inline constexpr int RowHeight = 18;

// Until a build of the cache asked for is done and the worker has left the tree.
inline void Settle(TGridTreeView &View)
{
    while (View.PositionCache()->Pending() || TWorkerThread::Instance()->CurrentTree() == View.PositionCache()
        || (View.Tree()->VisibleCount() > CacheThreshold && !View.PositionCache()->UseCache())) {
        QApplication::processEvents();
        QThread::yieldCurrentThread();
    }
    QApplication::processEvents();
}

// A shown string tree without frame and bars: Count rows, ColumnCount columns
// ColumnWidth wide, the texts from Text.
inline std::unique_ptr<TStringGridTree> ShownTree(
    int Count, int ColumnCount, int ColumnWidth, std::function<QString(int, int)> Text, QSize Client)
{
    auto view = std::make_unique<TStringGridTree>();
    view->SetBorderStyle(bsNone);
    view->ScrollBarOptions().SetScrollBars(ssNone);
    for (int c = 0; c < ColumnCount; ++c)
        view->Header().Columns().Add().SetWidth(ColumnWidth);
    view->OnGetText = [Text](TCustomStringGridTree &, TGridNode *Node, TColumnIndex Column, TGSTTextType,
                          QString &CellText) { CellText = Text(int(Node->Index()), Column); };
    view->resize(Client);
    view->Tree()->SetRootNodeCount(uint32_t(Count));
    view->show();
    Settle(*view);
    return view;
}

// The table view shown like the tree: no frame, headers or grid, rows of 18.
inline void SetUpTable(QTableView &Table, QStandardItemModel &Model, int ColumnWidth)
{
    Table.setModel(&Model);
    Table.setFrameStyle(QFrame::NoFrame);
    Table.setShowGrid(false);
    Table.horizontalHeader()->hide();
    Table.verticalHeader()->hide();
    Table.verticalHeader()->setMinimumSectionSize(1);
    Table.verticalHeader()->setDefaultSectionSize(RowHeight);
    Table.horizontalHeader()->setDefaultSectionSize(ColumnWidth);
}

// Runs the benchmarks in an offscreen application with the pinned font and the
// tree's worker; Release lets go of what they kept while the application runs.
inline int Run(
    int argc, char **argv, std::vector<bench::Figure> Figures, const std::function<void()> &Release = {})
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_SCALE_FACTOR", "1");
    QApplication app(argc, argv);
    QApplication::setFont(QFont(QStringLiteral("Liberation Sans"), 8));
    AddThreadReference();
    const int result = bench::runWithFigures(argc, argv, std::move(Figures));
    if (Release)
        Release();
    ReleaseThreadReference(nullptr);
    return result;
}

} // namespace treebench
