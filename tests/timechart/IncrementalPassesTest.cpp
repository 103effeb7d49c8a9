// The range and overlap passes and the bar index follow the rows changed since
// they last ran; after any mix of edits what they hold must be what a walk over
// every row finds.
#include "document/ChartRows.h"
#include "document/RowWalkProgress.h"
#include "tests/timechart/ChartTestSupport.h"
#include "timechart/BarIndex.h"
#include "timechart/ChartPainter.h"
#include "timechart/OverlapSweep.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>
#include <set>

using charttest::Day;
using charttest::PositionItem;

namespace {

class IncrementalPassesTest : public ::testing::Test, protected charttest::ChartFixture {
protected:
    IncrementalPassesTest()
    {
        SetPositions(
            { PositionItem("Press", 3), PositionItem("Saw"), PositionItem("Lathe"), PositionItem("Drill") });
        ShowChart(400, 300);
    }

    std::vector<TNodeData *> Rows(TWhichTable table) const
    {
        std::vector<TNodeData *> rows;
        doc->ForEach(table, feAll, [&](TNodeData &node) { rows.push_back(&node); });
        return rows;
    }

    // The tasks a sweep over every row marks, with the old pass's numbering.
    std::set<const TNodeData *> ExpectedOverlaps() const
    {
        TOverlapRows rows;
        rows.Reset(doc->GetRowCount());
        std::vector<TNodeData *> tasks = Rows(tbTable);
        for (std::size_t i = 0; i < tasks.size(); ++i) {
            TNodeData &node = *tasks[i];
            if (node.nodeValid && node.nodePosition >= 0)
                rows.Add(doc->GetPositionOf(&node), &node, std::uint32_t(i), node.nodeStart, node.nodeEnd);
        }
        const double gap = doc->GetMinUnit() == muDay ? 1 : 0;
        std::set<const TNodeData *> expected;
        for (const std::uint32_t index : OverlappingTasks(
                 rows, gap, [this](const TNodeData &node) { return chart->IsOverlapIgnored(node); }))
            expected.insert(tasks[index]);
        return expected;
    }

    void ExpectAsAFullPass(int round)
    {
        std::set<const TNodeData *> marked;
        for (TNodeData *node : Rows(tbTable))
            if (node->nodeOverlapping)
                marked.insert(node);
        ASSERT_EQ(marked, ExpectedOverlaps()) << "overlaps, round " << round;
        ASSERT_EQ(doc->OverlappingCount(), int(marked.size())) << round;

        // The range: the data's dates, at least a window of days, 14 days around.
        bool any = false;
        TDateTime low = 0, high = 0;
        doc->ForEach(feAll, [&](TNodeData &node) {
            if (!node.nodeValid)
                return;
            if (!any)
                low = node.nodeStart, high = node.nodeEnd, any = true;
            low = std::min(low, node.nodeStart);
            high = std::max(high, node.nodeEnd);
            if (const TDateTime deadline = doc->GetTerminOf(&node); deadline != 0)
                low = std::min(low, deadline), high = std::max(high, deadline);
        });
        if (any) {
            high = std::max(high, low + chart->TimeChart().width() / chart->GetTimeChartColWidth());
            ASSERT_EQ(chart->DataMinDate(), low - 14) << "range, round " << round;
            ASSERT_EQ(chart->DataMaxDate(), high + 14) << "range, round " << round;
        }

        // The bar index answers every window as one built anew does.
        TBarIndex fresh;
        TBarIndex &kept = chart->Painter().Index();
        for (const TWhichTable table : { tbTable, tbExclude })
            for (double first = Day(2024, 2, 20); first < Day(2024, 5, 1); first += 9)
                ASSERT_EQ(kept.Rows(*doc, table, first, first + 6), fresh.Rows(*doc, table, first, first + 6))
                    << "bar index, table " << table << ", round " << round;
        // The positions it holds are the rows' own: asked for one position's rows
        // it answers as one built anew does.
        auto byAddress = [](std::vector<TNodeData *> rows) {
            std::sort(rows.begin(), rows.end());
            return rows;
        };
        for (const TWhichTable table : { tbTable, tbExclude })
            for (std::int32_t position = -1; position < 8; ++position) {
                const auto at = [position](std::int32_t held, double, double) { return held == position; };
                ASSERT_EQ(byAddress(kept.Candidates(*doc, table, Day(2024, 2, 20), Day(2024, 5, 1), at)),
                    byAddress(fresh.Candidates(*doc, table, Day(2024, 2, 20), Day(2024, 5, 1), at)))
                    << "bar index by position " << position << ", table " << table << ", round " << round;
            }
        // Asked for some positions' rows only, it answers what a question over all
        // of them keeps of those positions (and of rows of no single position).
        for (const std::vector<std::int32_t> &some :
            std::vector<std::vector<std::int32_t>> { {}, { 0 }, { 1, 3 }, { 0, 2, 4, 5 }, { 6, 9 } })
            for (const TWhichTable table : { tbTable, tbExclude }) {
                const auto before = [](std::int32_t, double, double ends) { return ends < Day(2024, 3, 20); };
                const auto among = [&](std::int32_t held, double starts, double ends) {
                    return (held < 0 || std::find(some.begin(), some.end(), held) != some.end())
                        && before(held, starts, ends);
                };
                ASSERT_EQ(
                    byAddress(kept.Candidates(*doc, table, Day(2024, 2, 20), Day(2024, 5, 1), some, before)),
                    byAddress(fresh.Candidates(*doc, table, Day(2024, 2, 20), Day(2024, 5, 1), among)))
                    << "bar index of " << some.size() << " positions, table " << table << ", round " << round;
            }
    }
};

} // namespace

TEST_F(IncrementalPassesTest, RandomEditsLeaveWhatAFullPassFinds)
{
    std::mt19937 random(11);
    auto pick = [&](int n) { return int(random() % std::uint32_t(n)); };
    const QStringList positions { "Press", "Press (1)", "Press (2)", "Saw", "Lathe", "Drill", "*",
        "nowhere" };
    auto date = [&] { return DateToStr(Day(2024, 3, 1) + pick(40)); };
    for (int i = 0; i < 24; ++i)
        AddTask(positions[pick(6)], date(), QString::number(1 + pick(4)));
    AddAbsence("Saw", "11.03.2024", "2");
    chart->RunPendingLayoutPasses();
    // Marks set from elsewhere, a sort and the tasks left overlapping are
    // changes of the whole; dates, lengths, positions, deadlines, rows added and
    // deleted, absences and undo are followed row by row.
    for (int round = 0; round < 400; ++round) {
        for (int edit = 1 + pick(3); edit > 0; --edit) {
            std::vector<TNodeData *> tasks = Rows(tbTable);
            TNodeData *task = tasks.empty() ? nullptr : tasks[std::size_t(pick(int(tasks.size())))];
            switch (task ? pick(16) : 5) {
            case 0:
            case 1:
            case 2:
                doc->SetData_(task, cnStart, pick(12) ? date() : QString());
                break;
            case 3:
            case 4:
                doc->SetData_(task, cnLength, QString::number(1 + pick(6)));
                break;
            case 5:
                AddTask(positions[pick(6)], date(), QString::number(1 + pick(4)));
                break;
            case 6:
            case 7:
                doc->SetData_(task, cnPosition, positions[pick(int(positions.size()))]);
                break;
            case 8:
                doc->SetData(
                    task, DeadlineColumn, pick(2) ? DateToStr(Day(2024, 1, 1) + pick(200)) : QString());
                break;
            case 9:
                doc->DeleteNode(task, true);
                break;
            case 10:
            case 11:
                if (doc->UndoRedo().GetCanUndo())
                    doc->UndoRedo().Undo();
                break;
            case 12: {
                std::vector<TNodeData *> absent = Rows(tbExclude);
                if (!absent.empty() && pick(2))
                    doc->SetData_(absent[0], cnStart, date());
                else
                    AddAbsence(positions[pick(6)], date(), QString::number(1 + pick(3)));
                break;
            }
            case 13:
                if (pick(4) == 0)
                    chart->IgnoreOverlappingNode(*task);
                else if (pick(8) == 0)
                    chart->ClearIgnoreOverlappingNodes();
                break;
            case 14:
                if (pick(6) == 0)
                    doc->GetTable(tbTable).Tree().SortTreeBy(0, sdAscending, [](const auto &nodes) {
                        std::vector<std::uint32_t> places(nodes.size());
                        for (std::size_t i = 0; i < places.size(); ++i)
                            places[i] = std::uint32_t(places.size() - 1 - i);
                        return places;
                    });
                break;
            default:
                if (pick(10) == 0)
                    doc->SetOverlappingNodes({ task });
                break;
            }
        }
        chart->RunPendingLayoutPasses();
        // Deleting a row asks for no range pass of its own, leaving a task
        // overlapping for no overlap pass.
        chart->UpdateBoundsProc();
        chart->UpdateOverlappingProc();
        ExpectAsAFullPass(round);
        if (HasFatalFailure())
            return;
    }
}

// Built ahead of the first paint, in slices the window may paint between, the
// index answers as one built by a paint; one the rows changed under while it
// was being built is dropped rather than kept stale.
TEST_F(IncrementalPassesTest, AnIndexBuiltAheadAnswersAsOneBuiltByAPaint)
{
    for (int i = 0; i < 60; ++i)
        AddTask(i % 2 ? "Saw" : "Lathe", DateToStr(Day(2024, 3, 1) + i % 30), QString::number(1 + i % 4));
    AddAbsence("Saw", "11.03.2024", "2");
    for (const bool changedMeanwhile : { false, true }) {
        SCOPED_TRACE(changedMeanwhile);
        TBarIndex prepared;
        int steps = 0;
        {
            const TRowWalkProgress walk([&] {
                if (steps++ == 0 && changedMeanwhile)
                    doc->SetData_(Rows(tbTable).front(), cnStart, DateToStr(Day(2024, 4, 20)));
            });
            prepared.Prepare(*doc);
        }
        EXPECT_GT(steps, 0);
        TBarIndex fresh;
        for (const TWhichTable table : { tbTable, tbExclude })
            for (double first = Day(2024, 2, 20); first < Day(2024, 5, 1); first += 9)
                ASSERT_EQ(
                    prepared.Rows(*doc, table, first, first + 6), fresh.Rows(*doc, table, first, first + 6))
                    << "table " << table << ", from " << first;
    }
}

// The log hands each reader the rows changed since it last read, each once with
// the state it had then; a row that turned out unchanged leaves no entry, and a
// reader left too far behind is sent to a full pass.
TEST(RowChangeLog, ReadersSeeEachChangedRowOnceWithItsEarlierState)
{
    TRowChangeLog log;
    TNodeData a, b;
    a.nodeStart = 10;
    a.nodeValid = true;
    log.Before(a); // no reader yet: nothing kept
    TRowChangeReader first(log), second(log);
    std::vector<TRowChange> changes;
    EXPECT_FALSE(first.Take(changes)); // a new reader starts with a full pass
    first.Skip();
    second.Skip();

    log.Before(a);
    a.nodeStart = 20;
    log.Before(a);
    a.nodeStart = 30;
    log.Retract(log.Before(b)); // unchanged after all
    log.Added(b);
    ASSERT_TRUE(first.Take(changes));
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_EQ(changes[0].Node, &a);
    EXPECT_EQ(changes[0].Before.Start, 10);
    EXPECT_TRUE(changes[0].Before.Valid);
    EXPECT_EQ(changes[1].Node, &b);
    EXPECT_FALSE(changes[1].Before.Existed);

    // Deleted and made again at the same address: the row changed, still there.
    log.Removing(b);
    ASSERT_TRUE(first.Take(changes));
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_TRUE(changes[0].Gone);
    log.Added(b);
    ASSERT_TRUE(second.Take(changes));
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_FALSE(changes[1].Gone);

    log.SetLimit(3);
    for (int i = 0; i < 4; ++i)
        log.Before(a);
    EXPECT_FALSE(first.Take(changes));
    EXPECT_TRUE(changes.empty());
    first.Skip();
    log.Before(a);
    EXPECT_TRUE(first.Take(changes));
    log.Reset();
    EXPECT_FALSE(second.Take(changes));
}
