#include "timechart/OverlapSolver.h"

#include "document/ChartRows.h"
#include "document/Document.h"
#include "document/UndoGroup.h"
#include "document/program/MessageDialog.h"
#include "document/program/Translation.h"
#include "document/text/CommaText.h"
#include "timechart/OverlapSweep.h"
#include "timechart/TimeChart.h"
#include "timechart/TimeChartHost.h"

#include <QHash>
#include <QTabBar>
#include <algorithm>
#include <set>
#include <tuple>

namespace {

// Resets a flag when the scope ends.
class TRunningFlag {
public:
    explicit TRunningFlag(bool &flag)
        : FFlag(flag)
    {
        FFlag = true;
    }
    ~TRunningFlag() { FFlag = false; }
    TRunningFlag(const TRunningFlag &) = delete;
    TRunningFlag &operator=(const TRunningFlag &) = delete;

private:
    bool &FFlag;
};

} // namespace

TOverlapSolver::TOverlapSolver(TTimeChart &chart, Document &doc, ITimeChartHost &host)
    : FChart(chart)
    , FDoc(doc)
    , FHost(host)
{ }

bool TOverlapSolver::ActionSolveOverlappingUpdate() const
{
    return FDoc.HasOverlappingNodes();
}

// --- in time ---

bool TOverlapSolver::PushApart(const std::vector<TNodeData *> &row, TNodeData &first, double gap)
{
    // The row's tasks from first's start on, by start (equal starts in tree
    // order), first in front.
    std::vector<TNodeData *> candidates { &first };
    for (TNodeData *node : row)
        if (node != &first && node->nodeStart >= first.nodeStart)
            candidates.push_back(node);
    std::stable_sort(candidates.begin() + 1, candidates.end(),
        [](const TNodeData *a, const TNodeData *b) { return a->nodeStart < b->nodeStart; });
    const bool arrange = FHost.ProgramSettings().AutoArrange;
    const TDateTime now = Now();
    bool moved = false;
    for (std::size_t i = 1; i < candidates.size(); ++i) {
        TNodeData *node = candidates[i];
        const TDateTime next = FDoc.GetEndOf(candidates[i - 1]) + gap;
        const TDateTime start = FDoc.GetStartOf(node);
        // Future tasks are packed one after the other; others move only to end an overlap.
        if ((arrange && start > now) || next > start) {
            FDoc.SetStartOf(node, next);
            FDoc.GetEndOf(node);
            moved = moved || FDoc.GetStartOf(node) != start;
        }
    }
    return moved;
}

void TOverlapSolver::ActionSolveOverlappingExecute()
{
    if (FRunning)
        return;
    const TRunningFlag running(FRunning);
    FChart.UpdateOverlappingProc();
    if (!FDoc.HasOverlappingNodes())
        return;
    const TUndoGroup group(FDoc);
    const double gap = FDoc.GetMinUnit() == muDay ? 1 : 0;

    // The tasks of each chart row in tree order, as the overlap pass takes them.
    std::vector<std::vector<TNodeData *>> rows(std::size_t(FDoc.GetRowCount()));
    QHash<const TNodeData *, int> order;
    FDoc.ForEach(tbTable, feAll, [&](TNodeData &node) {
        order.insert(&node, int(order.size()));
        const int row = FDoc.GetPositionOf(&node);
        if (FDoc.GetNodeValid(&node) && node.nodePosition >= 0 && row >= 0 && row < int(rows.size()))
            rows[std::size_t(row)].push_back(&node);
    });
    // The overlapping tasks by start and tree order; moving tasks changes the
    // overlaps of their own row only, so only that row is looked at again.
    using TEntry = std::tuple<TDateTime, int, TNodeData *>;
    std::set<TEntry> overlapping;
    std::vector<std::vector<TEntry>> entries(rows.size());
    auto enter = [&](int row, TNodeData *node) {
        const TEntry entry { node->nodeStart, order.value(node), node };
        overlapping.insert(entry);
        entries[std::size_t(row)].push_back(entry);
    };
    FDoc.ForEach(tbTable, feOverlapping, [&](TNodeData &node) {
        const int row = FDoc.GetPositionOf(&node);
        if (row >= 0 && row < int(rows.size()))
            enter(row, &node);
    });
    auto recheck = [&](int row) {
        for (const TEntry &entry : entries[std::size_t(row)])
            overlapping.erase(entry);
        entries[std::size_t(row)].clear();
        std::vector<TOverlapItem> items;
        const std::vector<TNodeData *> &tasks = rows[std::size_t(row)];
        for (std::size_t i = 0; i < tasks.size(); ++i)
            items.push_back({ tasks[i]->nodeStart, FDoc.GetEndOf(tasks[i]), tasks[i], std::uint32_t(i),
                std::uint32_t(i), false });
        std::vector<std::uint32_t> found;
        OverlappingInRow(
            items, gap, [this](const TNodeData &node) { return FChart.IsOverlapIgnored(node); }, found);
        for (const std::uint32_t i : found)
            enter(row, tasks[i]);
    };

    while (!overlapping.empty()) {
        TNodeData *first = std::get<2>(*overlapping.begin());
        const int row = FDoc.GetPositionOf(first);
        const bool moved = PushApart(rows[std::size_t(row)], *first, gap);
        recheck(row);
        if (!moved) // nothing more this command can do
            break;
    }
    // Marks and bar colours as the pass finds them now.
    FChart.UpdateOverlappingProc();
}

// --- across the rows of multi-row positions ---

std::vector<int> TOverlapSolver::RowCounts() const
{
    std::vector<int> counts;
    for (const QString &item : FDoc.GetColumnStrings(tbTable, FDoc.GetConnection(tbTable, cnPosition)))
        counts.push_back(TChartRows::RowCountOf(TCommaText(item)));
    return counts;
}

int TOverlapSolver::MultiRowIndex(int row) const
{
    int sum = 0;
    const std::vector<int> counts = RowCounts();
    for (std::size_t i = 0; i < counts.size(); ++i) {
        sum += counts[i];
        if (sum > row)
            return int(i);
    }
    return -1;
}

int TOverlapSolver::FirstRowInMultiRow(int row) const
{
    const int position = MultiRowIndex(row);
    if (position < 0)
        return -1;
    const std::vector<int> counts = RowCounts();
    int sum = 0;
    for (int i = 0; i < position; ++i)
        sum += counts[std::size_t(i)];
    return sum;
}

int TOverlapSolver::LastRowInMultiRow(int row) const
{
    const int position = MultiRowIndex(row);
    return position < 0 ? -1 : FirstRowInMultiRow(row) + RowCounts()[std::size_t(position)] - 1;
}

bool TOverlapSolver::MoveToRow(TNodeData &node, int row)
{
    FDoc.SetPositionOf(&node, row);
    FDoc.GetEndOf(&node);
    FChart.UpdateOverlappingProc();
    return FDoc.GetNodeIsOverlapping(&node);
}

void TOverlapSolver::ActionSolveOverlappingSingleExecute()
{
    if (FRunning)
        return;
    if (FChart.TabControl1().currentIndex() != 0) {
        MessageDlg(Translate(QStringLiteral("Please call this function from Summary view.")), mtInformation,
            { mbOK });
        return;
    }
    const TRunningFlag running(FRunning);
    // Every row of every position is shown while the tasks are spread.
    FChart.SetHidingSuspended(true);
    FChart.UpdateEmptyRowsProc();
    {
        const TUndoGroup group(FDoc);
        FChart.UpdateOverlappingProc();
        int answer = mrNone;
        // Each round takes a task out of every overlap it had; the bound only
        // guards against rows that cannot take a task.
        int rounds = 4 * FDoc.GetTableRowCount(tbTable) + 16;
        while (FDoc.HasOverlappingNodes() && rounds-- > 0) {
            TNodeData *r = nullptr;
            FDoc.ForEach(tbTable, feOverlapping, [&r](TNodeData &node) {
                if (!r || node.nodeStart < r->nodeStart)
                    r = &node;
            });
            const int origin = FDoc.GetPositionOf(r);
            bool over = true;
            while (over && FirstRowInMultiRow(FDoc.GetPositionOf(r)) < FDoc.GetPositionOf(r))
                over = MoveToRow(*r, FDoc.GetPositionOf(r) - 1);
            while (over && LastRowInMultiRow(FDoc.GetPositionOf(r)) > FDoc.GetPositionOf(r))
                over = MoveToRow(*r, FDoc.GetPositionOf(r) + 1);
            if (!over)
                continue;
            const int position = MultiRowIndex(FDoc.GetPositionOf(r));
            if (answer != mrYesToAll) {
                const QString name = TCommaText(
                    FDoc.GetColumnStrings(tbTable, FDoc.GetConnection(tbTable, cnPosition)).value(position))
                                         .Item(0);
                answer
                    = MessageDlg(Translate(QStringLiteral("Need to add a Row to \"%s\". Proceed?"), { name }),
                        mtConfirmation, { mbYes, mbCancel, mbIgnore, mbYesToAll });
            }
            if (answer == mrYes || answer == mrYesToAll) {
                const QString before = r->StringList.value(FDoc.GetConnection(tbTable, cnPosition));
                AddMultiRow(position, true);
                if (!MoveToRow(*r, FDoc.GetPositionOf(r) + 1))
                    continue;
                // A row that takes the name of the one above it cannot take the task.
                if (r->StringList.value(FDoc.GetConnection(tbTable, cnPosition)) == before)
                    break;
            } else if (answer == mrIgnore) {
                FChart.IgnoreOverlappingNode(*r);
                MoveToRow(*r, origin);
            } else { // Cancel, or the question closed without an answer
                MoveToRow(*r, origin);
                break;
            }
        }
        FChart.ClearIgnoreOverlappingNodes();
        FChart.UpdateOverlappingProc();
    }
    FChart.SetHidingSuspended(false);
    FChart.UpdateEmptyRowsProc();
}

void TOverlapSolver::AddMultiRow(int position, bool refresh)
{
    const int column = FDoc.GetConnection(tbTable, cnPosition);
    QStringList items = FDoc.GetColumnStrings(tbTable, column);
    if (position < 0 || position >= items.size())
        return;
    const QString old = items[position];
    TCommaText item(old);
    item.SetItem(2, QString::number(TChartRows::RowCountOf(item) + 1));
    items[position] = item.AsString();

    // The groups hold whole items: the ones that show the position show its new row too.
    TDocumentSetup setup = FDoc.Setup();
    bool groupsChanged = false;
    for (qsizetype g = 1; g < setup.FPositionGroup.size(); ++g) {
        QStringList members = ParseCommaText(setup.FPositionGroup[g]);
        bool changed = false;
        for (QString &member : members) {
            if (member.compare(old, Qt::CaseInsensitive) == 0) {
                member = items[position];
                changed = true;
            }
        }
        if (changed) {
            setup.FPositionGroup[g] = ToCommaText(members);
            groupsChanged = true;
        }
    }
    FDoc.SetColumnStrings(tbTable, column, items);
    if (groupsChanged)
        FDoc.SetSetup(std::move(setup));
    // The cells name positions; the rows below take their new indexes from them,
    // and no cell text changes.
    FDoc.CheckAllValid();
    if (refresh)
        FChart.TabControl1Change();
}
