// Solving overlaps as a planner meets it: pushing a row's overlapping tasks one
// after another in time, spreading them over the rows of multi-row positions with
// the question whether to add a row, and adding a row to a position.
#include "timechart/OverlapSolver.h"

#include "document/ChartRows.h"
#include "document/DocumentTable.h"
#include "document/NodeEvents.h"
#include "document/program/MessageDialog.h"
#include "tests/support/QtPrinters.h"
#include "tests/timechart/ChartTestSupport.h"

#include <QTabBar>
#include <gtest/gtest.h>

using charttest::Day;
using charttest::PositionItem;

namespace {

// Records of local changes by row.
class CountingSink : public IDiffSink {
public:
    QStringList ids;
    void PushDiff(std::unique_ptr<TNodeEvent> event) override { ids << event->FID; }
};

// Press (two rows), Saw, Lathe; the chart in the summary tab.
class OverlapSolverTest : public ::testing::Test, protected charttest::ChartFixture {
protected:
    TScriptedMessageDialogs dialogs;
    ScopedMessageDialogs installed { &dialogs };

    OverlapSolverTest()
    {
        SetPositions({ PositionItem("Press", 2), PositionItem("Saw"), PositionItem("Lathe") });
        ShowChart(400, 300);
        chart->TabControl1Change();
    }

    TNodeData *Named(const QString &name, const QString &position, TDateTime start, int days)
    {
        TNodeData *node = AddTask(position, doc->FormatDateTime(start), QString::number(days));
        doc->SetData(node, 5, name);
        return node;
    }
    QString StartOf(TNodeData *node) { return doc->GetData_(node, cnStart); }
    QString PositionOf(TNodeData *node) { return doc->GetData_(node, cnPosition); }
    QStringList Overlapping()
    {
        chart->UpdateOverlappingProc();
        QStringList names;
        doc->ForEach(tbTable, feOverlapping, [&](TNodeData &node) { names << doc->GetData(&node, 5); });
        return names;
    }
    TOverlapSolver &Solver() { return chart->Solver(); }

    // Three overlapping tasks on the press (two rows), two on the saw (one row).
    struct Crowd {
        TNodeData *a, *b, *c, *s1, *s2;
    };
    Crowd Crowded()
    {
        Crowd crowd { Named("a", "Press", Day(2024, 3, 4), 3), Named("b", "Press", Day(2024, 3, 5), 2),
            Named("c", "Press", Day(2024, 3, 5), 1), Named("s1", "Saw", Day(2024, 3, 4), 3),
            Named("s2", "Saw", Day(2024, 3, 5), 1) };
        chart->RunPendingLayoutPasses();
        return crowd;
    }
};

} // namespace

// Two tasks in one row: the later one starts the day after the earlier one ends;
// a task overlapping a long one and one after it go behind each other. One undo
// step takes the command back.
TEST_F(OverlapSolverTest, OverlappingTasksArePushedBehindEachOtherInTime)
{
    TNodeData *a = Named("a", "Saw", Day(2024, 3, 4), 3); // Monday to Wednesday
    TNodeData *b = Named("b", "Saw", Day(2024, 3, 5), 2);
    TNodeData *lathe = Named("l", "Lathe", Day(2024, 3, 5), 1);
    TNodeData *longOne = Named("A", "Lathe", Day(2024, 4, 1), 8); // to Wednesday 10 April
    TNodeData *shortOne = Named("B", "Lathe", Day(2024, 4, 2), 2);
    TNodeData *afterIt = Named("C", "Lathe", Day(2024, 4, 5), 1);
    EXPECT_EQ(Overlapping(), QStringList({ "a", "b", "A", "B", "C" }));
    EXPECT_EQ(chartHost.solveEnabled, std::optional<bool>(true));
    EXPECT_TRUE(Solver().ActionSolveOverlappingUpdate());
    const int undo = int(doc->UndoRedo().undoList().size());

    Solver().ActionSolveOverlappingExecute();
    EXPECT_EQ(StartOf(a), "04.03.2024");
    EXPECT_EQ(StartOf(b), "07.03.2024");
    EXPECT_EQ(StartOf(lathe), "05.03.2024");
    EXPECT_EQ(StartOf(longOne), "01.04.2024");
    EXPECT_EQ(StartOf(shortOne), "11.04.2024");
    EXPECT_EQ(StartOf(afterIt), "13.04.2024"); // the day after B ends on Friday 12 April
    EXPECT_EQ(Overlapping(), QStringList());
    EXPECT_FALSE(doc->HasOverlappingNodes());
    EXPECT_EQ(chartHost.solveEnabled, std::optional<bool>(false));
    EXPECT_FALSE(Solver().ActionSolveOverlappingUpdate());

    doc->UndoRedo().Undo();
    EXPECT_EQ(int(doc->UndoRedo().undoList().size()), undo);
    EXPECT_EQ(StartOf(b), "05.03.2024");
    EXPECT_EQ(StartOf(shortOne), "02.04.2024");
    EXPECT_EQ(StartOf(afterIt), "05.04.2024");
}

// With "Automatically arrange items" future tasks are packed one after the other,
// also after an edit once the overlap pass has found the overlap.
TEST_F(OverlapSolverTest, ArrangingPacksFutureTasks)
{
    chartHost.settings.AutoArrange = true;
    const TDateTime monday = Today() + 14 + (9 - DayOfWeek(Today())) % 7;
    TNodeData *x = Named("x", "Saw", monday, 2);
    TNodeData *y = Named("y", "Saw", monday + 1, 1);
    TNodeData *z = Named("z", "Saw", monday + 14, 1); // a week and more after y
    chart->UpdateOverlappingProc();
    Solver().ActionSolveOverlappingExecute();
    EXPECT_EQ(doc->GetStartOf(y), monday + 2);
    EXPECT_EQ(doc->GetStartOf(z), monday + 3);
    EXPECT_EQ(doc->GetStartOf(x), monday);

    // The idle tick's pass finds a new overlap and arranges at once.
    doc->SetData_(z, cnStart, doc->FormatDateTime(monday));
    chart->RunPendingLayoutPasses();
    EXPECT_FALSE(doc->HasOverlappingNodes());
    EXPECT_EQ(Overlapping(), QStringList());
}

// A task the user left overlapping cannot be moved by the command, nor can the
// one before it; the command ends instead of trying again and again.
TEST_F(OverlapSolverTest, OverlapsNothingCanMoveEndTheCommand)
{
    TNodeData *longOne = Named("A", "Saw", Day(2024, 3, 4), 10);
    TNodeData *inside = Named("B", "Saw", Day(2024, 3, 5), 1);
    chart->IgnoreOverlappingNode(*longOne);
    EXPECT_EQ(Overlapping(), QStringList({ "B" }));
    Solver().ActionSolveOverlappingExecute();
    EXPECT_EQ(StartOf(inside), "05.03.2024");
    EXPECT_EQ(StartOf(longOne), "04.03.2024");
}

// Outside the summary the command only says where to call it.
TEST_F(OverlapSolverTest, SpreadingOverRowsRunsInTheSummaryOnly)
{
    chart->AddPositionGroup("Second", ToCommaText({ PositionItem("Saw"), PositionItem("Lathe") }));
    Named("a", "Saw", Day(2024, 3, 4), 3);
    Named("b", "Saw", Day(2024, 3, 5), 2);
    chart->TabControl1().setCurrentIndex(1);
    Solver().ActionSolveOverlappingSingleExecute();
    ASSERT_EQ(dialogs.Questions().size(), 1);
    EXPECT_EQ(dialogs.Questions()[0].Msg, "Please call this function from Summary view.");
    EXPECT_EQ(dialogs.Questions()[0].DlgType, mtInformation);
    EXPECT_EQ(Overlapping(), QStringList({ "a", "b" }));
}

// In a position of two rows the earliest overlapping task takes the free row
// without a question; the next one needs a row more, which the user grants. The
// rows below move down with their tasks, whose cells stay as they were.
TEST_F(OverlapSolverTest, OverlapsSpreadOverTheRowsOfAPosition)
{
    chartHost.settings.HideMultiRows = true; // switched off while the command runs
    chart->AddPositionGroup("Machines", ToCommaText({ PositionItem("Press", 2), PositionItem("Lathe") }));
    TNodeData *a = Named("a", "Press", Day(2024, 3, 4), 3);
    TNodeData *b = Named("b", "Press", Day(2024, 3, 5), 2);
    TNodeData *c = Named("c", "Press", Day(2024, 3, 5), 1);
    TNodeData *saw = Named("s", "Saw", Day(2024, 3, 5), 1);
    chart->RunPendingLayoutPasses();
    ASSERT_EQ(doc->GetRowCount(), 3); // the empty extra row of the press is hidden
    CountingSink sink;
    doc->SetDiffSink(&sink);
    dialogs.QueueAnswer(mrYes);
    Solver().ActionSolveOverlappingSingleExecute();
    doc->SetDiffSink(nullptr);

    ASSERT_EQ(dialogs.Questions().size(), 1);
    EXPECT_EQ(dialogs.Questions()[0].Msg, "Need to add a Row to \"Press\". Proceed?");
    EXPECT_EQ(dialogs.Questions()[0].Buttons, TMsgDlgButtons({ mbYes, mbCancel, mbIgnore, mbYesToAll }));
    EXPECT_EQ(PositionOf(a), "Press (1)");
    EXPECT_EQ(PositionOf(b), "Press (2)");
    EXPECT_EQ(PositionOf(c), "Press");
    EXPECT_EQ(PositionOf(saw), "Saw");
    EXPECT_EQ(doc->GetPositionOf(saw), 3);
    EXPECT_EQ(Overlapping(), QStringList());
    // The position has three rows now, in the group that shows it too.
    EXPECT_EQ(doc->GetColumnStrings(tbTable, 0)[0], PositionItem("Press", 3));
    EXPECT_EQ(ParseCommaText(doc->Setup().FPositionGroup[1]),
        QStringList({ PositionItem("Press", 3), PositionItem("Lathe") }));
    // Only the moved tasks were written.
    sink.ids.removeDuplicates();
    EXPECT_EQ(sink.ids, QStringList({ a->ID, b->ID }));
    // The hiding option is back: every row has a task now.
    EXPECT_EQ(doc->GetRowCount(), 5);

    doc->UndoRedo().Undo();
    EXPECT_EQ(PositionOf(a), "Press");
    EXPECT_EQ(PositionOf(b), "Press");
}

// Ignore leaves a task where it was and the command goes on with the others; the
// overlaps the user ignored show again after the command. Yes to all asks once.
TEST_F(OverlapSolverTest, IgnoreLeavesATaskAndYesToAllAsksOnce)
{
    const auto [a, b, c, s1, s2] = Crowded();

    // a takes the press's free row; then s1, b, c and s2 are asked about in turn.
    for (int i = 0; i < 4; ++i)
        dialogs.QueueAnswer(mrIgnore);
    Solver().ActionSolveOverlappingSingleExecute();
    EXPECT_EQ(dialogs.Questions().size(), 4);
    EXPECT_EQ(dialogs.Questions()[0].Msg, "Need to add a Row to \"Saw\". Proceed?");
    EXPECT_EQ(
        std::tuple(PositionOf(a), PositionOf(b), PositionOf(c)), std::tuple("Press (1)", "Press", "Press"));
    EXPECT_EQ(std::tuple(PositionOf(s1), PositionOf(s2)), std::tuple("Saw", "Saw"));
    EXPECT_TRUE(chart->IgnoreOverlappingNodes().isEmpty());
    EXPECT_EQ(Overlapping(), QStringList({ "b", "c", "s1", "s2" }));

    dialogs.QueueAnswer(mrYesToAll);
    Solver().ActionSolveOverlappingSingleExecute();
    EXPECT_EQ(dialogs.Questions().size(), 5);
    EXPECT_EQ(Overlapping(), QStringList());
    EXPECT_EQ(PositionOf(s1), "Saw (1)");
    EXPECT_EQ(PositionOf(b), "Press (2)");
    doc->UndoRedo().Undo();
    EXPECT_EQ(PositionOf(s1), "Saw");
    EXPECT_EQ(PositionOf(b), "Press");
}

// Cancel puts the task asked about back, keeps the moves made before it, and the
// command undoes in one step. A question closed with no answer of its own ends
// the command the same way.
TEST_F(OverlapSolverTest, CancelKeepsTheMovesMadeBefore)
{
    const auto [a, b, c, s1, s2] = Crowded();
    const int undo = int(doc->UndoRedo().undoList().size());
    dialogs.QueueAnswer(mrCancel);
    Solver().ActionSolveOverlappingSingleExecute();
    EXPECT_EQ(dialogs.Questions().size(), 1);
    EXPECT_EQ(PositionOf(a), "Press (1)");
    EXPECT_EQ(PositionOf(b), "Press");
    EXPECT_EQ(PositionOf(s1), "Saw");
    EXPECT_EQ(Overlapping(), QStringList({ "b", "c", "s1", "s2" }));
    doc->UndoRedo().Undo();
    EXPECT_EQ(PositionOf(a), "Press");
    EXPECT_EQ(int(doc->UndoRedo().undoList().size()), undo);

    dialogs.QueueAnswer(mrNo);
    Solver().ActionSolveOverlappingSingleExecute();
    EXPECT_EQ(dialogs.Questions().size(), 2);
    EXPECT_EQ(PositionOf(s1), "Saw");
}

// A row more for a position: the rows below move down with every record on them,
// absent days included; no cell changes; the groups that hold the position grow.
TEST_F(OverlapSolverTest, AddingARowMovesTheRowsBelowDown)
{
    SetPositions({ PositionItem("A"), PositionItem("B", 2), PositionItem("C") });
    chart->AddPositionGroup("Pair", ToCommaText({ PositionItem("B", 2), PositionItem("C") }));
    chart->TabControl1Change();
    TNodeData *a = Named("a", "A", Day(2024, 3, 4), 1);
    TNodeData *b1 = Named("b1", "B (1)", Day(2024, 3, 4), 1);
    TNodeData *c = Named("c", "C", Day(2024, 3, 4), 1);
    TNodeData *absent = AddAbsence("C", "04.03.2024", "1");
    ASSERT_EQ(std::tuple(doc->GetPositionOf(a), doc->GetPositionOf(b1), doc->GetPositionOf(c)),
        std::tuple(0, 2, 3));
    CountingSink sink;
    doc->SetDiffSink(&sink);
    Solver().AddMultiRow(1, true);
    doc->SetDiffSink(nullptr);
    EXPECT_TRUE(sink.ids.isEmpty());
    EXPECT_EQ(doc->GetRowCount(), 5);
    EXPECT_EQ(std::tuple(doc->GetPositionOf(a), doc->GetPositionOf(b1), doc->GetPositionOf(c)),
        std::tuple(0, 2, 4));
    EXPECT_EQ(absent->nodePosition, 4);
    EXPECT_EQ(PositionOf(c), "C");
    EXPECT_EQ(ParseCommaText(doc->Setup().FPositionGroup[1]),
        QStringList({ PositionItem("B", 3), PositionItem("C") }));
    EXPECT_EQ(Solver().MultiRowIndex(3), 1);
    EXPECT_EQ(Solver().FirstRowInMultiRow(3), 1);
    EXPECT_EQ(Solver().LastRowInMultiRow(1), 3);
    EXPECT_EQ(Solver().MultiRowIndex(4), 2);
    EXPECT_EQ(Solver().MultiRowIndex(5), -1);
}
