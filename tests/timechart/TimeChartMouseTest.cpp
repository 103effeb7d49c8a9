// Editing the chart with the mouse as a planner does: drawing a band for a new
// task, moving and resizing bars, selecting with a rubber band, scrolling with the
// right button, the popup, moving bars into another position group, and the hints
// and cursors under the pointer. Real mouse and key events on the chart panel.
#include "timechart/TimeChartMouse.h"

#include "document/ChartRows.h"
#include "document/DocumentTable.h"
#include "document/calendar/DateList.h"
#include "resources/Cursors.h"
#include "tests/support/QtPrinters.h"
#include "tests/timechart/ChartTestSupport.h"
#include "timechart/ChartPainter.h"

#include <QTabBar>
#include <QTest>
#include <gtest/gtest.h>

using charttest::Day;
using charttest::PositionItem;

namespace {

// Positions A, B and C; the chart 400 x 300 from Monday 1 January 2024: a day is 8
// pixels (day d from x = 8d), a row 42 (bars from 4 to 38 in their row). The labels
// sit at the left edge below y = 13 of each row and end left of x = 20.
class TimeChartMouseTest : public ::testing::Test, protected charttest::ChartFixture {
protected:
    const TDateTime Jan1 = Day(2024, 1, 1);

    TimeChartMouseTest()
    {
        chartHost.settings.AutoScroll = false;
        SetPositions({ PositionItem("A"), PositionItem("B"), PositionItem("C") });
        ShowChart(400, 300);
    }
    ~TimeChartMouseTest() override { TScreenCursor::Set(crDefault); }

    // Lays the chart out for the rows added and shows the days from 1 January.
    void Settle()
    {
        chart->RunPendingLayoutPasses();
        chart->SetTimeChartDestination(Jan1, 0, true);
        ASSERT_EQ(chart->TimeChartStart(), Jan1);
    }

    TNodeData *Task(const QString &position, const QString &start, const QString &days)
    {
        return AddTask(position, start, days);
    }

    TCanvasPanel &Panel() { return chart->TimeChart(); }
    TTimeChartMouse &Mouse() { return chart->Mouse(); }
    DocumentTable &Tasks() { return doc->GetTable(tbTable); }

    void Send(QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons,
        Qt::KeyboardModifiers keys = Qt::NoModifier, std::optional<QPoint> global = std::nullopt)
    {
        QMouseEvent event(type, pos, global.value_or(Panel().mapToGlobal(pos)), button, buttons, keys);
        QCoreApplication::sendEvent(&Panel(), &event);
    }
    // The pointer rests at `pos` with no button down: the hover pass runs.
    void Hover(QPoint pos)
    {
        Send(QEvent::MouseMove, pos, Qt::NoButton, Qt::NoButton);
        QCoreApplication::processEvents();
    }
    void Press(
        QPoint pos, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers keys = Qt::NoModifier)
    {
        Send(QEvent::MouseButtonPress, pos, button, button, keys);
    }
    void MoveTo(
        QPoint pos, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers keys = Qt::NoModifier)
    {
        Send(QEvent::MouseMove, pos, Qt::NoButton, button, keys);
    }
    void Release(
        QPoint pos, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers keys = Qt::NoModifier)
    {
        Send(QEvent::MouseButtonRelease, pos, button, Qt::NoButton, keys);
    }
    void Drag(QPoint from, QPoint to, Qt::MouseButton button = Qt::LeftButton,
        Qt::KeyboardModifiers keys = Qt::NoModifier)
    {
        Press(from, button, keys);
        MoveTo((from + to) / 2, button, keys);
        MoveTo(to, button, keys);
        Release(to, button, keys);
    }
    void Escape() { QTest::keyClick(&Panel(), Qt::Key_Escape); }

    QString StartOf(TNodeData *node) { return doc->GetData_(node, cnStart); }
    QString PositionOf(TNodeData *node) { return doc->GetData_(node, cnPosition); }
    int UndoCount() const { return int(doc->UndoRedo().undoList().size()); }
    void Select(std::initializer_list<TNodeData *> nodes)
    {
        for (TNodeData *node : nodes)
            doc->GetTable(node->NodeTable).SetSelected(node, true);
    }
};

} // namespace

// A band drawn over empty days asks the new-entry dialog and becomes a task from
// its first day to the day before its end; Cancel and a band without width leave
// the plan alone.
TEST_F(TimeChartMouseTest, ABandDrawnOnEmptyDaysCreatesATask)
{
    TNodeData *later = Task("C", "02.01.2024", "1");
    Settle();
    // From the 3rd (x 16 .. 24) to the start of the 5th (x 32) in row B.
    Press({ 19, 62 });
    MoveTo({ 28, 62 });
    MoveTo({ 35, 62 });
    EXPECT_EQ(Mouse().State(), msNewItem);
    const TChartPaintMouse &band = chart->PaintMouse();
    EXPECT_TRUE(band.RubberBand);
    // One row: from its top + 2 down to 5 pixels above the next row.
    EXPECT_EQ(band.Mouse, QPoint(16, 44));
    EXPECT_EQ(band.LastMouse, QPoint(32, 81));
    chartHost.entryAnswer = tbTable;
    Release({ 35, 62 });
    EXPECT_FALSE(band.RubberBand);
    ASSERT_TRUE(chartHost.shownEntry);
    EXPECT_EQ(chartHost.shownEntry->LabelBegin, "03.01.2024");
    // The task ends on the band's last day, and the dialog says so.
    EXPECT_EQ(chartHost.shownEntry->LabelEnd[tbTable], "04.01.2024");
    EXPECT_EQ(chartHost.shownEntry->LabelEnd[tbExclude], "04.01.2024");
    EXPECT_EQ(chartHost.shownEntry->LabelPos, "B");
    EXPECT_EQ(chartHost.shownEntry->table, tbTable);
    ASSERT_EQ(Tasks().RowCount(), 2);
    TNodeData *task = Tasks().Next(later);
    EXPECT_EQ(PositionOf(task), "B");
    EXPECT_EQ(StartOf(task), "03.01.2024");
    EXPECT_EQ(doc->GetLengthOf(task), 2 * 480); // Wednesday and Thursday
    EXPECT_EQ(doc->GetEndOf(task), Day(2024, 1, 4));
    EXPECT_EQ(Mouse().State(), msNone);
    doc->UndoRedo().Undo(); // one step takes the whole task back
    EXPECT_EQ(Tasks().RowCount(), 1);

    // The dialog's choice decides the table.
    chartHost.entryAnswer = tbExclude;
    Drag({ 19, 104 }, { 43, 104 });
    EXPECT_EQ(doc->GetTable(tbExclude).RowCount(), 1);
    EXPECT_EQ(doc->GetActiveTable(), tbExclude);
    EXPECT_EQ(doc->GetData_(doc->GetTable(tbExclude).First(), cnPosition), "C");

    // Cancelled, or no width: nothing.
    doc->SetActiveTable(tbTable);
    chartHost.entryAnswer.reset();
    const int undo = UndoCount();
    Drag({ 19, 20 }, { 43, 20 });
    chartHost.shownEntry.reset();
    Drag({ 19, 20 }, { 21, 20 });
    EXPECT_FALSE(chartHost.shownEntry);
    EXPECT_EQ(Tasks().RowCount(), 1);
    EXPECT_EQ(UndoCount(), undo);
    // Below the last row no band starts.
    Press({ 19, 200 });
    EXPECT_EQ(Mouse().State(), msNone);
    Release({ 19, 200 });
}

// A band from Friday to the start of Monday: the task ends on the Friday, the
// last working day, and the dialog shows that end; an absent day made the same
// way ends where the dialog said as well.
TEST_F(TimeChartMouseTest, TheDialogShowsTheEndTheNewRowGets)
{
    TNodeData *earlier = Task("C", "02.01.2024", "1");
    Settle();
    chartHost.entryAnswer = tbTable;
    Drag({ 35, 62 }, { 58, 62 }); // the 5th (x 32 .. 40) to the start of the 8th
    ASSERT_TRUE(chartHost.shownEntry);
    EXPECT_EQ(chartHost.shownEntry->LabelBegin, "05.01.2024");
    EXPECT_EQ(chartHost.shownEntry->LabelEnd[tbTable], "05.01.2024");
    ASSERT_EQ(Tasks().RowCount(), 2);
    TNodeData *task = Tasks().Next(earlier);
    EXPECT_EQ(doc->FormatDateTime(doc->GetEndOf(task)), chartHost.shownEntry->LabelEnd[tbTable]);

    chartHost.entryAnswer = tbExclude;
    Drag({ 35, 104 }, { 58, 104 });
    ASSERT_EQ(doc->GetTable(tbExclude).RowCount(), 1);
    TNodeData *absent = doc->GetTable(tbExclude).First();
    EXPECT_EQ(doc->FormatDateTime(doc->GetEndOf(absent)), chartHost.shownEntry->LabelEnd[tbExclude]);
}

// Dragging one of three selected bars moves all three by whole days and rows; a
// move that would push one out of the rows moves none of them vertically. One
// undo step restores the whole drag.
TEST_F(TimeChartMouseTest, DraggingMovesTheWholeSelectionByDaysAndRows)
{
    TNodeData *first = Task("A", "08.01.2024", "2"); // x 56 .. 72
    TNodeData *second = Task("B", "10.01.2024", "1");
    TNodeData *third = Task("A", "15.01.2024", "1");
    TNodeData *other = Task("C", "22.01.2024", "1");
    Settle();
    Select({ first, second, third });
    Hover({ 60, 20 });
    EXPECT_EQ(Mouse().ChartCursor(), crHandOpen); // three selected: no edge to resize
    const int undo = UndoCount();
    Press({ 60, 20 });
    EXPECT_EQ(Mouse().State(), msMoveItem);
    EXPECT_EQ(TScreenCursor::Current(), crHandClosed);
    EXPECT_TRUE(Tasks().IsSelected(first) && Tasks().IsSelected(second) && Tasks().IsSelected(third));
    // 13 pixels right are 1.6 days: one day; one row down.
    MoveTo({ 73, 62 });
    EXPECT_EQ(std::tuple(PositionOf(first), StartOf(first)), std::tuple("B", "09.01.2024"));
    EXPECT_EQ(std::tuple(PositionOf(second), StartOf(second)), std::tuple("C", "11.01.2024"));
    EXPECT_EQ(std::tuple(PositionOf(third), StartOf(third)), std::tuple("B", "16.01.2024"));
    EXPECT_TRUE(chart->PaintMouse().MovingItems);
    // The second bar is in the last row: rows stay, days still move.
    MoveTo({ 81, 104 });
    EXPECT_EQ(std::tuple(PositionOf(first), StartOf(first)), std::tuple("B", "10.01.2024"));
    EXPECT_EQ(std::tuple(PositionOf(second), StartOf(second)), std::tuple("C", "12.01.2024"));
    Release({ 81, 104 });
    EXPECT_EQ(Mouse().State(), msNone);
    EXPECT_EQ(TScreenCursor::Current(), crDefault);
    EXPECT_FALSE(chart->PaintMouse().MovingItems);
    EXPECT_EQ(chartHost.refiltered, 3);
    EXPECT_EQ(StartOf(other), "22.01.2024");

    doc->UndoRedo().Undo();
    EXPECT_EQ(std::tuple(PositionOf(first), StartOf(first)), std::tuple("A", "08.01.2024"));
    EXPECT_EQ(std::tuple(PositionOf(second), StartOf(second)), std::tuple("B", "10.01.2024"));
    EXPECT_EQ(std::tuple(PositionOf(third), StartOf(third)), std::tuple("A", "15.01.2024"));
    EXPECT_EQ(UndoCount(), undo);
}

// A press on a bar that is not selected selects it alone; Ctrl adds and removes
// bars; a press beside every bar clears the selection, with Ctrl it does nothing.
TEST_F(TimeChartMouseTest, PressingBarsSelectsThem)
{
    TNodeData *first = Task("A", "08.01.2024", "2");
    TNodeData *second = Task("B", "08.01.2024", "2");
    Settle();
    Select({ second });
    Drag({ 60, 20 }, { 60, 20 });
    EXPECT_TRUE(Tasks().IsSelected(first));
    EXPECT_FALSE(Tasks().IsSelected(second));
    EXPECT_EQ(chartHost.focused, QStringList({ first->ID }));
    EXPECT_TRUE(chart->FlashSelectedTimer().isActive());
    Drag({ 60, 62 }, { 60, 62 }, Qt::LeftButton, Qt::ControlModifier);
    EXPECT_TRUE(Tasks().IsSelected(first) && Tasks().IsSelected(second));
    Drag({ 60, 20 }, { 60, 20 }, Qt::LeftButton, Qt::ControlModifier);
    EXPECT_FALSE(Tasks().IsSelected(first));
    Drag({ 200, 20 }, { 200, 20 }, Qt::LeftButton, Qt::ControlModifier);
    EXPECT_TRUE(Tasks().IsSelected(second));
    chartHost.entryAnswer.reset();
    Drag({ 200, 20 }, { 200, 20 });
    EXPECT_EQ(Tasks().SelectedCount(), 0);
}

// A move in day mode never leaves a time in the start; with moving into the past
// denied, a drag to the left stops at today while rows still change.
TEST_F(TimeChartMouseTest, MovingIntoThePastCanBeDenied)
{
    chartHost.documentSettings.DenyMoveBeforeNow = true;
    // A Monday at least a week ahead.
    const TDateTime monday = Today() + 7 + (9 - DayOfWeek(Today())) % 7;
    TNodeData *task = Task("A", doc->FormatDateTime(monday), "1");
    chart->RunPendingLayoutPasses();
    chart->SetTimeChartDestination(monday - 14, 0, true);
    const int x = int(std::lround((monday - chart->TimeChartStart()) * 8)) + 3;
    Press({ x, 20 });
    MoveTo({ x - 8 * 20, 62 });
    EXPECT_EQ(PositionOf(task), "B");
    EXPECT_EQ(doc->GetStartOf(task), monday);
    MoveTo({ x - 8 * 3, 62 });
    EXPECT_EQ(doc->GetStartOf(task), monday - 3);
    Release({ x - 8 * 3, 62 });
}

// Escape ends a move and undoes it, but only the move: an earlier change stays.
TEST_F(TimeChartMouseTest, EscapeUndoesOnlyTheMoveUnderWay)
{
    TNodeData *task = Task("A", "08.01.2024", "2");
    TNodeData *other = Task("B", "08.01.2024", "2");
    Settle();
    doc->SetData(other, 5, "edited");
    Press({ 60, 20 });
    Escape(); // nothing moved yet: the edit is not the move's
    EXPECT_EQ(Mouse().State(), msNone);
    EXPECT_EQ(doc->GetData(other, 5), "edited");
    Release({ 60, 20 });

    Press({ 60, 20 });
    MoveTo({ 76, 62 });
    MoveTo({ 84, 104 });
    EXPECT_EQ(std::tuple(PositionOf(task), StartOf(task)), std::tuple("C", "11.01.2024"));
    Escape();
    EXPECT_EQ(std::tuple(PositionOf(task), StartOf(task)), std::tuple("A", "08.01.2024"));
    EXPECT_EQ(doc->GetData(other, 5), "edited");
    MoveTo({ 120, 20 }); // the button is still down: nothing moves any more
    Release({ 120, 20 });
    EXPECT_EQ(StartOf(task), "08.01.2024");
}

// With one bar selected its edges resize it; a press on an edge without a drag
// changes nothing.
TEST_F(TimeChartMouseTest, TheEdgesOfASelectedBarResizeIt)
{
    TNodeData *task = Task("A", "10.01.2024", "2"); // Wednesday and Thursday, x 72 .. 88
    Settle();
    Select({ task });
    Hover({ 87, 20 });
    EXPECT_EQ(Mouse().ChartCursor(), crSizeWE);
    Hover({ 80, 20 });
    EXPECT_EQ(Mouse().ChartCursor(), crHandOpen);
    Hover({ 87, 20 });
    const int undo = UndoCount();
    Drag({ 87, 20 }, { 87, 20 });
    EXPECT_EQ(doc->GetLengthOf(task), 2 * 480);
    EXPECT_EQ(UndoCount(), undo);

    // The right edge to the start of Sunday the 14th: Wednesday to Friday.
    Press({ 87, 20 });
    EXPECT_EQ(Mouse().State(), msResizeItem);
    MoveTo({ 100, 20 });
    MoveTo({ 106, 20 });
    EXPECT_EQ(chart->PaintMouse().Mouse, QPoint(72, 2));
    EXPECT_EQ(chart->PaintMouse().LastMouse, QPoint(104, 39));
    Release({ 106, 20 });
    EXPECT_FALSE(chartHost.shownEntry); // no dialog for a resize
    EXPECT_EQ(StartOf(task), "10.01.2024");
    EXPECT_EQ(doc->GetLengthOf(task), 3 * 480);

    // The left edge to Monday the 8th.
    Hover({ 73, 20 });
    EXPECT_EQ(Mouse().ChartCursor(), crSizeWE);
    Drag({ 73, 20 }, { 59, 20 });
    EXPECT_EQ(StartOf(task), "08.01.2024");
    EXPECT_EQ(doc->GetLengthOf(task), 5 * 480);
    EXPECT_EQ(doc->GetEndOf(task), Day(2024, 1, 12));
    doc->UndoRedo().Undo();
    EXPECT_EQ(StartOf(task), "10.01.2024");
    EXPECT_EQ(doc->GetLengthOf(task), 3 * 480);
}

// Shift and a left drag select what the band touches, and deselect what it leaves.
TEST_F(TimeChartMouseTest, ARubberBandSelectsTheBarsItTouches)
{
    TNodeData *a = Task("A", "08.01.2024", "1");
    TNodeData *b = Task("B", "10.01.2024", "1"); // x 72 .. 80, y 46 .. 80
    TNodeData *c = Task("C", "10.01.2024", "1");
    Settle();
    Select({ a });
    Press({ 40, 50 }, Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(Mouse().State(), msSelectItem);
    EXPECT_EQ(Tasks().SelectedCount(), 0);
    MoveTo({ 100, 130 }, Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_TRUE(chart->PaintMouse().RubberBand);
    EXPECT_FALSE(Tasks().IsSelected(a));
    EXPECT_TRUE(Tasks().IsSelected(b) && Tasks().IsSelected(c));
    MoveTo({ 100, 60 }, Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_TRUE(Tasks().IsSelected(b));
    EXPECT_FALSE(Tasks().IsSelected(c));
    MoveTo({ 60, 60 }, Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(Tasks().SelectedCount(), 0);
    Release({ 60, 60 }, Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_FALSE(chart->PaintMouse().RubberBand);
    EXPECT_EQ(Mouse().State(), msNone);
}

// A right click opens the popup; a right drag of more than two pixels scrolls
// instead, a day or a pixel per pixel, or with natural scrolling the content
// follows the hand.
TEST_F(TimeChartMouseTest, TheRightButtonOpensThePopupOrScrolls)
{
    TNodeData *a = Task("A", "08.01.2024", "2");
    TNodeData *b = Task("B", "10.01.2024", "1");
    Task("C", "01.04.2024", "1");
    Settle();
    Select({ a });
    // Beside every bar: the selection stays and there is nothing to split.
    Drag({ 200, 20 }, { 202, 22 }, Qt::RightButton);
    ASSERT_TRUE(chartHost.popup);
    EXPECT_FALSE(chartHost.popup->Split);
    EXPECT_TRUE(chartHost.popup->CutCopy);
    EXPECT_FALSE(chartHost.popup->Paste);
    EXPECT_TRUE(Tasks().IsSelected(a));
    EXPECT_EQ(Mouse().State(), msPoppedUp);
    EXPECT_EQ(chart->TimeChartStart(), Jan1);

    // On a bar not selected: it becomes the selection.
    chartHost.popup.reset();
    chartHost.pasteable = 1;
    Hover({ 76, 62 });
    Drag({ 76, 62 }, { 76, 62 }, Qt::RightButton);
    ASSERT_TRUE(chartHost.popup);
    EXPECT_TRUE(chartHost.popup->Split);
    EXPECT_TRUE(chartHost.popup->Paste);
    EXPECT_TRUE(Tasks().IsSelected(b));
    EXPECT_FALSE(Tasks().IsSelected(a));

    // Three pixels: a scroll, three days and then seven more; no popup.
    chartHost.popup.reset();
    Press({ 200, 150 }, Qt::RightButton);
    MoveTo({ 203, 150 }, Qt::RightButton);
    EXPECT_EQ(Mouse().State(), msScroll);
    EXPECT_EQ(TScreenCursor::Current(), crSizeAll);
    EXPECT_EQ(chart->GetTimeChartStartDestination(), Jan1 + 3);
    MoveTo({ 210, 150 }, Qt::RightButton);
    EXPECT_EQ(chart->GetTimeChartStartDestination(), Jan1 + 10);
    Release({ 210, 150 }, Qt::RightButton);
    EXPECT_FALSE(chartHost.popup);
    EXPECT_EQ(Mouse().State(), msNone);
    EXPECT_EQ(TScreenCursor::Current(), crDefault);

    chartHost.settings.NaturalScroll = true;
    chart->SetTimeChartDestination(Jan1, 0, true);
    Press({ 200, 150 }, Qt::RightButton);
    MoveTo({ 184, 150 }, Qt::RightButton);
    EXPECT_EQ(chart->GetTimeChartStartDestination(), Jan1 + 2); // dragged left: later days come in
    Release({ 184, 150 }, Qt::RightButton);
}

// A row another user deletes while it is dragged ends the gesture.
TEST_F(TimeChartMouseTest, ARowDeletedByAnotherUserEndsItsDrag)
{
    TNodeData *task = Task("A", "10.01.2024", "2");
    TNodeData *other = Task("B", "10.01.2024", "2");
    Settle();
    Press({ 76, 20 });
    MoveTo({ 84, 20 });
    ASSERT_EQ(Mouse().State(), msMoveItem);
    doc->DeleteNode(task, false); // as the sharing layer applies a peer's deletion
    MoveTo({ 100, 62 });
    EXPECT_EQ(Mouse().State(), msNone);
    EXPECT_EQ(StartOf(other), "10.01.2024");
    Release({ 100, 62 });

    // The same for a resize.
    Select({ other });
    Hover({ 87, 62 });
    Press({ 87, 62 });
    MoveTo({ 120, 62 });
    ASSERT_EQ(Mouse().State(), msResizeItem);
    doc->DeleteNode(other, false);
    Release({ 120, 62 });
    EXPECT_EQ(Tasks().RowCount(), 0);
    EXPECT_EQ(Mouse().State(), msNone);
}

// Held over another group's tab, the dragged selection counts down nine cursors,
// then moves into the first row of that group; bars over all positions keep their
// row. The move and the switch undo as one step.
TEST_F(TimeChartMouseTest, HoldingBarsOverAGroupTabMovesThemIntoTheGroup)
{
    TNodeData *task = Task("A", "10.01.2024", "2");
    TNodeData *everywhere = Task("*", "15.01.2024", "1");
    Settle();
    chart->AddPositionGroup("Second", ToCommaText({ PositionItem("B"), PositionItem("C") }));
    QTabBar &tabs = chart->TabControl1();
    ASSERT_EQ(tabs.count(), 2);
    const QPoint overTab = tabs.mapToGlobal(tabs.tabRect(1).center());
    Select({ task, everywhere });
    const int undo = UndoCount();
    Press({ 76, 20 });
    MoveTo({ 84, 20 });
    Send(QEvent::MouseMove, Panel().mapFromGlobal(overTab), Qt::NoButton, Qt::LeftButton, Qt::NoModifier,
        overTab);
    QTimer &timer = Mouse().TimeChartChangeGroupTimer();
    ASSERT_TRUE(timer.isActive());
    EXPECT_EQ(timer.interval(), 60);
    for (int tick = 1; tick <= 9; ++tick) {
        Mouse().TimeChartChangeGroupTimerTimer();
        EXPECT_EQ(TScreenCursor::Current(), crHandTimer1 + tick - 1) << tick;
    }
    EXPECT_FALSE(timer.isActive());
    EXPECT_EQ(tabs.currentIndex(), 1);
    EXPECT_EQ(PositionOf(task), "B");
    EXPECT_EQ(PositionOf(everywhere), "*");
    EXPECT_TRUE(Tasks().IsSelected(task) && Tasks().IsSelected(everywhere));
    Release(Panel().mapFromGlobal(overTab));
    doc->UndoRedo().Undo();
    EXPECT_EQ(std::tuple(PositionOf(task), StartOf(task)), std::tuple("A", "10.01.2024"));
    EXPECT_EQ(UndoCount(), undo);

    // Escape stops the countdown.
    tabs.setCurrentIndex(0);
    Press({ 76, 20 });
    Send(QEvent::MouseMove, Panel().mapFromGlobal(overTab), Qt::NoButton, Qt::LeftButton, Qt::NoModifier,
        overTab);
    ASSERT_TRUE(timer.isActive());
    Escape();
    EXPECT_FALSE(timer.isActive());
    Release(Panel().mapFromGlobal(overTab));

    // A countdown that ends after the button went up is a step of its own.
    Press({ 76, 20 });
    Send(QEvent::MouseMove, Panel().mapFromGlobal(overTab), Qt::NoButton, Qt::LeftButton, Qt::NoModifier,
        overTab);
    Release(Panel().mapFromGlobal(overTab));
    for (int tick = 1; tick <= 9; ++tick)
        Mouse().TimeChartChangeGroupTimerTimer();
    EXPECT_EQ(tabs.currentIndex(), 1);
    EXPECT_EQ(PositionOf(task), "B");
    doc->UndoRedo().Undo();
    EXPECT_EQ(PositionOf(task), "A");
}

// What lies under the resting pointer gives the hint and the cursor: a bar of
// the active table the open hand, one of the other table the switching hand, a
// label its position, a holiday its name, a filtered bar a refusal.
TEST_F(TimeChartMouseTest, HintsAndCursorsFollowWhatLiesUnderThePointer)
{
    TNodeData *task = Task("A", "10.01.2024", "2");
    doc->SetData(task, 5, "Order 7");
    TNodeData *absent = AddAbsence("B", "15.01.2024", "2");
    doc->SetData_(absent, cnTextCenterMiddle, "Fair");
    TDocumentSetup setup = doc->Setup();
    setup.FHolidayList = { { QStringLiteral("Epiphany"), 6, 1, true, false } };
    doc->SetSetup(setup);
    Settle();
    doc->updateAutoEntries(chart->MinDate(), chart->MaxDate());

    Hover({ 76, 8 });
    EXPECT_EQ(Mouse().GrabbedNode(), task);
    EXPECT_EQ(Mouse().Hint().toStdString(),
        "10.01.2024 - 11.01.2024\r\rPosition: A\rState: State 1\rComment: Order 7\rDeadline: ");
    EXPECT_EQ(Panel().toolTip().toStdString(),
        "10.01.2024 - 11.01.2024\n\nPosition: A\nState: State 1\nComment: Order 7\nDeadline: ");
    EXPECT_EQ(Mouse().ChartCursor(), crHandOpen);

    Hover({ 116, 60 }); // the absent days cover their position's rows
    EXPECT_EQ(Mouse().GrabbedNode(), absent);
    EXPECT_EQ(Mouse().Hint(), "15.01.2024 - 16.01.2024\r(Fair)");
    EXPECT_EQ(Mouse().ChartCursor(), crHandSwitch);

    const TRect label = chart->PositionRect(2);
    Hover({ label.Left + 2, label.Top + 2 });
    EXPECT_EQ(Mouse().GrabbedNode(), nullptr);
    EXPECT_EQ(Mouse().GrabbedPosition(), 2);
    EXPECT_EQ(Mouse().Hint(), TCommaText(doc->ChartRows().GlobalPositionFilter()[2]).Strings().join('\r'));
    EXPECT_EQ(Mouse().ChartCursor(), crDefault);

    Hover({ 44, 120 }); // Saturday 6 January
    EXPECT_EQ(Mouse().Hint(), "Epiphany");
    EXPECT_EQ(Mouse().GrabbedPosition(), -1);

    Tasks().SetHidden(task, true);
    Hover({ 76, 9 });
    EXPECT_EQ(Mouse().GrabbedNode(), nullptr);
    EXPECT_EQ(Mouse().Hint(), "filtered tasks cannot be modified");
    // A press there draws a band instead of grabbing the filtered bar.
    Press({ 76, 9 });
    EXPECT_EQ(Mouse().State(), msNewItem);
    Escape();
    Release({ 76, 9 });
}
