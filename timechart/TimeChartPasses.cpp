// The deferred layout passes (range, shown rows, overlaps), the update bracket's
// end and the position-group tabs.
#include "document/ChartRows.h"
#include "document/Document.h"
#include "document/DocumentTable.h"
#include "timechart/CanvasPanel.h"
#include "timechart/ChartPainter.h"
#include "timechart/DataBounds.h"
#include "timechart/OverlapTracker.h"
#include "timechart/TimeChart.h"
#include "timechart/TimeChartHost.h"

#include <QTabBar>
#include <algorithm>
#include <cmath>

namespace {

// Days of margin around the data.
constexpr int BoundsMargin = 14;

} // namespace

void TTimeChart::CB_SetRecalcBitmap(TNodeData &node)
{
    node.RecalcBitmap = true;
    if (!node.nodeValid)
        return;
    const DocumentTable &table = FDoc.GetTable(node.NodeTable);
    FDoc.InvalidateNode(&node, table.SelectedCount() > 0 && table.IsSelected(&node));
}

void TTimeChart::UpdateBoundsProc()
{
    if (FDoc.IsUpdating())
        return;
    TDateTime min = Now();
    TDateTime max = min;
    FDataBounds->Get(min, max);
    // At least a window full of days.
    const int visibleDays = TimeChart().width() / GetTimeChartColWidth();
    if (max - min < visibleDays)
        max = min + visibleDays;
    FDataMinDate = min - BoundsMargin;
    FDataMaxDate = max + BoundsMargin;
    if (!FDoc.isDateOK(FUserDate))
        FUserDate = FDataMinDate;
    if (IsPreparing()) {
        FRangeKnown = true;
        InvalidateTimeChart(true);
    }
    // The holidays the range shows. (The task ends walk over the holidays of every
    // year, not only the range's: a new range moves no end, and deriving them all
    // again would cost a walk per task.)
    if (SetTimeChartBounds(std::min(FDataMinDate, FUserDate), std::max(FDataMaxDate, FUserDate)))
        FDoc.updateAutoEntries(FMinDate, FMaxDate);
}

const TTimeChart::TGroupRowInfo &TTimeChart::GroupRowInfo() const
{
    const TChartRows &rows = FDoc.ChartRows();
    const QStringList &group = rows.NoAutoGlobalPositionFilter();
    const QStringList &all = rows.AllPositions();
    TGroupRowInfo &info = FGroupRowInfo;
    // Comparing is O(1) while the lists share their data with the ones read.
    if (info.Valid && info.Rows.constData() == group.constData() && info.Rows.size() == group.size()
        && info.Positions.constData() == all.constData() && info.Positions.size() == all.size())
        return info;
    info.Valid = true;
    info.Rows = group;
    info.Positions = all;
    // A row's cells name a position; the row is parsed to the first position of
    // that name. Group rows are matched to positions by their text ignoring case,
    // as the chart rows are.
    QHash<QString, int> firstByName;
    QHash<QString, int> positionByText;
    const QStringList names = RowNames(all);
    for (int i = 0; i < all.size(); ++i) {
        firstByName.insert(names[i], firstByName.value(names[i], i));
        positionByText.insert(all[i].toLower(), i);
    }
    const std::vector<TInterval> &multiRow = rows.PositionsInHolidayGroup();
    info.FirstOfName.assign(std::size_t(group.size()), -1);
    info.Extra.assign(std::size_t(group.size()), false);
    const QStringList groupNames = RowNames(group);
    for (int i = 0; i < group.size(); ++i) {
        info.FirstOfName[std::size_t(i)] = firstByName.value(groupNames[i], -1);
        const int position = positionByText.value(group[i].toLower(), -1);
        info.Extra[std::size_t(i)] = position >= 0 && position < int(multiRow.size())
            && multiRow[std::size_t(position)].low != position;
    }
    return info;
}

bool TTimeChart::isMultiRow(int row) const
{
    const TChartRows &rows = FDoc.ChartRows();
    const int position = rows.FirstPositionOfRow(row);
    const std::vector<TInterval> &multiRow = rows.PositionsInHolidayGroup();
    return position >= 0 && position < int(multiRow.size())
        && multiRow[std::size_t(position)].low != position;
}

void TTimeChart::UpdateEmptyRowsProc()
{
    if (FDoc.IsUpdating())
        return;
    const TChartRows &chartRows = FDoc.ChartRows();
    const QStringList &group = chartRows.NoAutoGlobalPositionFilter();
    QStringList rows = group;
    const TProgramSettings &settings = FHost.ProgramSettings();
    const bool hideRows = settings.HideRows && !FHidingSuspended;
    const bool hideMultiRows = settings.HideMultiRows && !FHidingSuspended;
    if (hideRows || hideMultiRows) {
        const TGroupRowInfo &info = GroupRowInfo();
        // One walk over both tables instead of a search per row: which positions
        // the rows' Position cells name.
        std::vector<char> used(std::size_t(chartRows.AllPositions().size()), 0);
        FDoc.ForEach(feAll, [&used](TNodeData &node) {
            if (node.nodePosition >= 0 && std::size_t(node.nodePosition) < used.size())
                used[std::size_t(node.nodePosition)] = 1;
        });
        rows.clear();
        for (int i = 0; i < group.size(); ++i) {
            const int position = info.FirstOfName[std::size_t(i)];
            const bool empty = position < 0 || !used[std::size_t(position)];
            if (!empty || !(hideRows || info.Extra[std::size_t(i)]))
                rows.append(group[i]);
        }
        // Nothing hidden rather than nothing shown.
        if (rows.isEmpty())
            rows = group;
    }
    if (rows == chartRows.GlobalPositionFilter())
        return;
    FDoc.SetGlobalPositionFilter(rows);
    // Taking the rows asked for this pass again; it has just run on them.
    FDoc.TakePendingPass(TLayoutPass::EmptyRows);
    // The overview's height follows the row count.
    FitOverview();
    UpdateScrollBars(ssVertical);
    FDoc.UpdateBounds(true);
    FDoc.ForEach(feAll, [this](TNodeData &node) { FDoc.CB_CheckValid(node); });
    TimeChart().Invalidate();
    InvalidateSmallTimeChart();
}

bool TTimeChart::PruneIgnoreOverlappingNodes()
{
    bool dropped = false;
    for (auto it = FIgnoreOverlappingNodes.begin(); it != FIgnoreOverlappingNodes.end();) {
        if (FDoc.FindNode(*it, tbTable)) {
            ++it;
        } else {
            it = FIgnoreOverlappingNodes.erase(it);
            dropped = true;
        }
    }
    if (dropped)
        ++FIgnoreRevision;
    return dropped;
}

void TTimeChart::IgnoreOverlappingNode(const TNodeData &node)
{
    FIgnoreOverlappingNodes.insert(node.ID);
    ++FIgnoreRevision;
}

void TTimeChart::ClearIgnoreOverlappingNodes()
{
    FIgnoreOverlappingNodes.clear();
    ++FIgnoreRevision;
}

QStringList TTimeChart::IgnoreOverlappingNodes()
{
    PruneIgnoreOverlappingNodes();
    QStringList ids(FIgnoreOverlappingNodes.begin(), FIgnoreOverlappingNodes.end());
    ids.sort();
    return ids;
}

void TTimeChart::PrepareBarIndex()
{
    if (!FDoc.IsUpdating())
        Painter().Index().Prepare(FDoc);
}

bool TTimeChart::UpdateOverlappingProc()
{
    if (FDoc.IsUpdating())
        return false;
    PruneIgnoreOverlappingNodes();
    const double gap = FDoc.GetMinUnit() == muDay ? 1 : 0;
    FOverlaps->Update(
        gap, FIgnoreRevision, [this](const TNodeData &node) { return IsOverlapIgnored(node); },
        [this](TNodeData &node) {
            CB_SetRecalcBitmap(node);
            // A row without a bar still shows its mark in the table's colours.
            if (!node.nodeValid)
                FDoc.Notify([&node](IDocumentObserver &o) { o.RowChanged(node); });
        });
    if (FDoc.HasOverlappingNodes() != FSolveEnabled) {
        FSolveEnabled = FDoc.HasOverlappingNodes();
        FHost.SolveOverlappingEnabled(FSolveEnabled);
    }
    return true;
}

void TTimeChart::RunLayoutPass(TLayoutPass pass)
{
    switch (pass) {
    case TLayoutPass::EmptyRows:
        UpdateEmptyRowsProc();
        break;
    case TLayoutPass::Bounds:
        UpdateBoundsProc();
        break;
    case TLayoutPass::Overlapping:
        UpdateOverlappingProc();
        break;
    }
}

void TTimeChart::RunPendingLayoutPasses()
{
    // Requests made meanwhile wait for the bracket's end.
    if (FDoc.IsUpdating())
        return;
    if (FDoc.TakePendingPass(TLayoutPass::EmptyRows))
        UpdateEmptyRowsProc();
    if (FDoc.TakePendingPass(TLayoutPass::Bounds))
        UpdateBoundsProc();
    // Only here, never when a command runs the pass itself: arranging runs passes
    // of its own.
    if (FDoc.TakePendingPass(TLayoutPass::Overlapping) && UpdateOverlappingProc()
        && FHost.ProgramSettings().AutoArrange && FOnAutoArrange)
        FOnAutoArrange();
}

void TTimeChart::SyncTabs(int current)
{
    const TDocumentSetup &setup = FDoc.Setup();
    const int count = std::max<int>(1, int(setup.FPositionGroup.size()));
    FSyncingTabs = true;
    while (FTabControl1->count() > count)
        FTabControl1->removeTab(FTabControl1->count() - 1);
    // Tab 0 (made with the chart) keeps its caption: the language sets it, and filters
    // are kept per caption, so rewriting it here would make its filters alternate.
    for (int i = 1; i < count; ++i) {
        const QString text = setup.FPositionGroupNames.value(i);
        if (i >= FTabControl1->count())
            FTabControl1->addTab(text);
        else if (FTabControl1->tabText(i) != text)
            FTabControl1->setTabText(i, text);
    }
    FTabControl1->setCurrentIndex(current >= 0 && current < count ? current : 0);
    // A tab bar that is not shown yet does not tell its layout that it grew.
    FTabControl1->updateGeometry();
    FSyncingTabs = false;
}

void TTimeChart::TabControl1Change()
{
    SyncTabs(FTabControl1->currentIndex());
    const int tab = FTabControl1->currentIndex();
    // The group's rows, shown unhidden until the empty-rows pass runs.
    FDoc.SetShownGroup(tab);
    SetSmallTimeChartRowHeight(FSmallTimeChartRowHeight);
    UpdateScrollBars(ssBoth);
    FHost.PositionGroupChanged(tab, FTabControl1->tabText(tab));
    FDoc.UpdateBounds(true);
    FDoc.UpdateOverlapping(true);
    const std::vector<int> &rowSets = FDoc.Setup().FRowSets;
    if (tab < int(rowSets.size()))
        SetRowSet(TRowSet(std::clamp(rowSets[std::size_t(tab)], int(rsTopMiddleBottom), int(rsTop))));
}

void TTimeChart::AddPositionGroup(const QString &name, const QString &filter)
{
    FDoc.AddPositionGroup(name, filter);
    SyncTabs(FTabControl1->currentIndex());
}

void TTimeChart::ResetPositionGroups()
{
    FDoc.ResetPositionGroups();
    SyncTabs(0);
}

void TTimeChart::DocumentUpdateTextChanged(const QString &text, bool busy)
{
    FHost.ShowUpdateState(text, busy);
    if (busy)
        return;
    // The outermost end: the document may be another one now.
    SyncTabs(FDoc.ShownGroup());
    TabControl1Change();
    LegendsChanged();
    UpdateScrollBars(ssBoth);
    SetTimeChartStart(FTimeChartStart);
}
