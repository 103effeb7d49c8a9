// The row commands as a planner uses them: copy, cut and paste through the
// clipboard, add, delete with its question, split from the chart's popup, find
// with wrap, go to a date, undo and redo, and the commands' enabling.
#include "components/gui/GTHeader.h"
#include "components/gui/GridTreeColumns.h"
#include "dialogs/misc/GotoDialog.h"
#include "document/sharing/DirWatch.h"
#include "mainwindow/DialogWindows.h"
#include "tables/ClipboardRows.h"
#include "tests/mainwindow/MainFormTestSupport.h"
#include "timechart/CanvasPanel.h"
#include "timechart/TimeChart.h"

#include <QAction>
#include <QClipboard>
#include <QLineEdit>
#include <QTimer>

using namespace mainformtest;

namespace {

class TableCommandsWindowTest : public MainFormTest {
protected:
    // Positions "Position 1" to "Position 3", Monday to Friday.
    TNodeData *Task(
        const QString &comment, const QString &position, const QString &start, const QString &days)
    {
        TNodeData *row = doc().AddNode(QString(), tbTable, true);
        doc().SetData(row, 0, position);
        doc().SetData(row, 1, start);
        doc().SetData(row, 3, days);
        doc().SetData(row, 5, comment);
        doc().GetEndOf(row);
        return row;
    }
    QStringList Comments() const
    {
        QStringList comments;
        for (TGridNode *n = store(tbTable).GetFirst(); n; n = store(tbTable).GetNext(n))
            comments << store(tbTable).GetNodeData<TNodeData>(n)->StringList.value(5);
        return comments;
    }
    QStringList SelectedComments() const
    {
        QStringList comments;
        for (TGridNode *n : store(tbTable).GetSortedSelection(false))
            comments << store(tbTable).GetNodeData<TNodeData>(n)->StringList.value(5);
        return comments;
    }
    void Key(QWidget &target, Qt::Key key, Qt::KeyboardModifiers mods = Qt::ControlModifier)
    {
        QTest::keyClick(&target, key, mods);
    }
    QClipboard &Clipboard() const { return *QGuiApplication::clipboard(); }
};

} // namespace

TEST_F(TableCommandsWindowTest, CopyPasteAddDeleteAndOneUndo)
{
    ShowForm();
    Task("a", "Position 1", "04.03.2024", "2");
    Task("b", "Position 3", "05.03.2024", "1");
    Task("c", "*", "06.03.2024", "1");
    TStringGridTree &tree = Probe(*form).Tree(tbTable);
    tree.setFocus();

    // Copy of two rows: one line each, CR LF between; positions as their chart rows.
    store(tbTable).SetSelected(row(tbTable, 1)->VNode, true);
    store(tbTable).SetSelected(row(tbTable, 2)->VNode, true);
    Key(tree, Qt::Key_C);
    EXPECT_EQ(Clipboard().text(),
        "2\t05.03.2024\t05.03.2024\t1\tState 1\tb\r\n-9\t06.03.2024\t06.03.2024\t1\tState 1\tc");

    // Ctrl+T: a new row, selected alone.
    Key(tree, Qt::Key_T);
    EXPECT_EQ(doc().TotalCount(tbTable), 4);
    EXPECT_EQ(store(tbTable).SelectedCount(), 1);
    EXPECT_TRUE(store(tbTable).Selected(row(tbTable, 3)->VNode));
    EXPECT_EQ(row(tbTable, 3)->StringList[0], "Position 1");

    // Paste: the two rows come back as new rows, selected; "all positions" stays "*".
    Key(tree, Qt::Key_V);
    EXPECT_EQ(Comments(), QStringList({ "a", "b", "c", "", "b", "c" }));
    EXPECT_EQ(SelectedComments(), QStringList({ "b", "c" }));
    EXPECT_EQ(row(tbTable, 4)->StringList[0], "Position 3");
    EXPECT_EQ(row(tbTable, 5)->StringList[0], "*");
    // One field too many in the widest line: nothing is pasted.
    Clipboard().setText("1\t01.03.2024\t\t1\tState 1\tx\r\n1\t01.03.2024\t\t1\tState 1\tx\textra");
    Key(tree, Qt::Key_V);
    EXPECT_EQ(doc().TotalCount(tbTable), 6);

    // Delete three rows: Cancel keeps them, OK deletes them, one undo brings
    // all three back.
    store(tbTable).ClearSelection();
    for (int i : { 0, 2, 4 })
        store(tbTable).SetSelected(row(tbTable, i)->VNode, true);
    dialogs.QueueAnswer(mrCancel);
    Key(tree, Qt::Key_Delete, {});
    EXPECT_EQ(dialogs.Questions().back().Msg, "Delete all 3 selected tasks?");
    EXPECT_EQ(doc().TotalCount(tbTable), 6);
    dialogs.QueueAnswer(mrOk);
    Key(tree, Qt::Key_Delete, {});
    EXPECT_EQ(Comments(), QStringList({ "b", "", "c" }));
    Key(tree, Qt::Key_Z);
    EXPECT_EQ(doc().TotalCount(tbTable), 6);
    QStringList comments = Comments();
    comments.sort();
    EXPECT_EQ(comments, QStringList({ "", "a", "b", "b", "c", "c" }));
    // Redo deletes them again.
    Key(tree, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(doc().TotalCount(tbTable), 3);

    // One selected row asks in the singular; the delete key in the find field is the field's.
    store(tbTable).SetSelected(row(tbTable, 0)->VNode, true);
    dialogs.QueueAnswer(mrCancel);
    Key(tree, Qt::Key_Delete, {});
    EXPECT_EQ(dialogs.Questions().back().Msg, "Delete selected task?");
    const int asked = int(dialogs.Questions().size());
    Probe(*form).Edit2().setFocus();
    Probe(*form).Menus().ActionDeleteNode->trigger();
    EXPECT_EQ(int(dialogs.Questions().size()), asked);
    EXPECT_EQ(dialogs.UnexpectedCount(), 0);
}

TEST_F(TableCommandsWindowTest, TheFindFieldKeepsItsOwnClipboardAndPasteHereGoesToTheChart)
{
    ShowForm();
    Task("a", "Position 1", "04.03.2024", "2");
    IdleTick();
    Probe(*form).Chart().SetTimeChartStart(EncodeDate(2024, 3, 1));
    Probe(*form).Chart().SetTimeChartTop(0);
    Clipboard().setText("2\t05.03.2024\t\t1\tState 1\tpasted");

    // Ctrl+V in the find field pastes the text there only.
    QLineEdit &find = Probe(*form).Edit2();
    find.setFocus();
    Key(find, Qt::Key_V);
    EXPECT_EQ(find.text(), "2\t05.03.2024\t\t1\tState 1\tpasted");
    EXPECT_EQ(doc().TotalCount(tbTable), 1);

    // "paste Task here" from the chart's popup: the row goes to the day and the
    // chart row under the pointer, even while the find field has the focus.
    const int colWidth = Probe(*form).Chart().GetTimeChartColWidth();
    const int rowHeight = Probe(*form).Chart().TimeChartRowHeight(0);
    Probe(*form).SetChartPopupPoint(QPoint(10 * colWidth + colWidth / 2, 2 * rowHeight + 3));
    Probe(*form).Menus().ActionPasteNode->trigger();
    ASSERT_EQ(doc().TotalCount(tbTable), 2);
    TNodeData *pasted = row(tbTable, 1);
    EXPECT_EQ(pasted->StringList[5], "pasted");
    EXPECT_EQ(pasted->StringList[1], "11.03.2024");
    EXPECT_EQ(pasted->StringList[0], "Position 3");
    EXPECT_EQ(find.text(), "2\t05.03.2024\t\t1\tState 1\tpasted");
}

TEST_F(TableCommandsWindowTest, SplitFromTheChartGivesTwoPiecesOfTheSameLength)
{
    ShowForm();
    // Five working days from Monday 4 March: ends Friday 8 March.
    TNodeData *task = Task("five days", "Position 1", "04.03.2024", "5");
    IdleTick();
    Probe(*form).Chart().SetTimeChartStart(EncodeDate(2024, 3, 1));
    ASSERT_EQ(Probe(*form).Chart().TimeChartStart(), EncodeDate(2024, 3, 1));
    store(tbTable).SetSelected(task->VNode, true);
    Probe(*form).UpdateActions();
    EXPECT_TRUE(Probe(*form).Menus().ActionSplit->isEnabled());
    // The pointer over its third day, Wednesday 6 March.
    const int colWidth = Probe(*form).Chart().GetTimeChartColWidth();
    Probe(*form).SetChartPopupPoint(QPoint(5 * colWidth + 1, 2));

    dialogs.QueueAnswer(mrCancel);
    Probe(*form).Menus().ActionSplit->trigger();
    ASSERT_EQ(dialogs.Questions().size(), 1);
    EXPECT_EQ(dialogs.Questions().back().Msg, "Split task at this position (06.03.2024)?");
    EXPECT_EQ(doc().TotalCount(tbTable), 1);
    dialogs.QueueAnswer(mrOk);
    Probe(*form).Menus().ActionSplit->trigger();
    ASSERT_EQ(doc().TotalCount(tbTable), 2);
    TNodeData *first = row(tbTable, 0), *second = row(tbTable, 1);
    EXPECT_EQ(first->StringList[1], "04.03.2024");
    EXPECT_EQ(second->StringList[1], "06.03.2024");
    EXPECT_EQ(doc().GetLengthOf(first) + doc().GetLengthOf(second), 5 * 480);
    EXPECT_EQ(doc().GetLengthOf(first), 2 * 480);
    EXPECT_EQ(doc().GetEndOf(second), EncodeDate(2024, 3, 8));
    EXPECT_EQ(SelectedComments(), QStringList({ "five days" }));
    // One undo: the task as it was.
    Probe(*form).Menus().ActionUndo->trigger();
    ASSERT_EQ(doc().TotalCount(tbTable), 1);
    EXPECT_EQ(row(tbTable, 0)->StringList[3], "5");

    // Outside the task (its last day is no split point) nothing is asked.
    store(tbTable).SetSelected(row(tbTable, 0)->VNode, true);
    Probe(*form).SetChartPopupPoint(QPoint(9 * colWidth + 1, 2));
    const qsizetype asked = dialogs.Questions().size();
    Probe(*form).Menus().ActionSplit->trigger();
    EXPECT_EQ(dialogs.Questions().size(), asked);
}

TEST_F(TableCommandsWindowTest, FindSelectsTheFirstMatchAndEnterWrapsOnce)
{
    ShowForm();
    for (const char *comment : { "Order 1", "Repair", "order 2", "Order 3 repair" })
        Task(comment, "Position 1", "04.03.2024", "1");
    QLineEdit &find = Probe(*form).Edit2();
    find.setFocus();
    QTest::keyClicks(&find, "REPAIR");
    EXPECT_EQ(SelectedComments(), QStringList({ "Repair" }));
    QTest::keyClick(&find, Qt::Key_Return);
    EXPECT_EQ(SelectedComments(), QStringList({ "Order 3 repair" }));
    QTest::keyClick(&find, Qt::Key_Return); // wraps to the first match
    EXPECT_EQ(SelectedComments(), QStringList({ "Repair" }));
    // Another text: the selection follows each keystroke; nothing found, nothing selected.
    find.clear();
    QTest::keyClicks(&find, "order");
    EXPECT_EQ(SelectedComments(), QStringList({ "Order 1" }));
    QTest::keyClicks(&find, "x");
    EXPECT_TRUE(SelectedComments().isEmpty());
}

TEST_F(TableCommandsWindowTest, GotoScrollsTheChartToTheChosenDay)
{
    GeneratorOptions options;
    options.tasks = 50;
    ASSERT_TRUE(form->Open(WritePlan("plan.kez", options)));
    ShowForm();
    IdleTick();
    TGotoDialog &dialog = Probe(*form).DialogWindows().GotoDialog();
    const TDateTime target = EncodeDate(2024, 6, 3);
    QTimer::singleShot(0, &dialog, [&] {
        EXPECT_EQ(dialog.Date(), DatePart(Probe(*form).Chart().TimeChartStart()));
        dialog.SetDate(target);
        dialog.accept();
    });
    Probe(*form).Menus().ActionGoto->trigger();
    EXPECT_EQ(Probe(*form).Chart().GetTimeChartStartDestination(), target);
    EXPECT_EQ(Probe(*form).Chart().UserDate(), target);
}

TEST_F(TableCommandsWindowTest, CommandsAreEnabledByTheirRules)
{
    ShowForm();
    Probe(*form).UpdateActions();
    EXPECT_FALSE(Probe(*form).Menus().ActionDeleteNode->isEnabled());
    EXPECT_FALSE(Probe(*form).Menus().ActionSplit->isEnabled());
    EXPECT_FALSE(Probe(*form).Menus().ActionPrintList->isEnabled());
    EXPECT_FALSE(Probe(*form).Menus().ActionUndo->isEnabled());
    TNodeData *a = Task("a", "Position 1", "04.03.2024", "2");
    TNodeData *b = Task("b", "Position 1", "05.03.2024", "2"); // overlaps a
    Probe(*form).UpdateActions();
    EXPECT_TRUE(Probe(*form).Menus().ActionPrintList->isEnabled());
    EXPECT_TRUE(Probe(*form).Menus().ActionUndo->isEnabled());
    store(tbTable).SetSelected(a->VNode, true);
    Probe(*form).UpdateActions();
    EXPECT_TRUE(Probe(*form).Menus().ActionDeleteNode->isEnabled());
    EXPECT_TRUE(Probe(*form).Menus().ActionSplit->isEnabled());
    // Overlaps pending: no splitting.
    doc().UpdateOverlapping(false);
    Probe(*form).UpdateActions();
    EXPECT_TRUE(doc().GetNodeIsOverlapping(b));
    EXPECT_FALSE(Probe(*form).Menus().ActionSplit->isEnabled());
    store(tbTable).SetSelected(b->VNode, true);
    Probe(*form).UpdateActions();
    EXPECT_FALSE(Probe(*form).Menus().ActionSplit->isEnabled());
    // Save follows the document's changed state.
    EXPECT_EQ(Probe(*form).Menus().ActionSave->isEnabled(), Probe(*form).Commands().Watcher().Changed());
}

TEST_F(TableCommandsWindowTest, ColumnsInsertedAndRemovedKeepRolesAndSortKeys)
{
    ShowForm();
    Task("a", "Position 1", "04.03.2024", "2");
    // A sort key on the comment column, another on the start.
    QTest::mouseClick(
        &Probe(*form).Tree(tbTable).HeaderWidget(), Qt::LeftButton, {}, QPoint(40, 8)); // Position
    dialogs.QueueAnswer(mrYes);
    QAction *byComment = MenuItemWithData(*Probe(*form).Menus().SortMenu, 5);
    ASSERT_NE(byComment, nullptr);
    byComment->trigger();
    ASSERT_EQ(Probe(*form).Tables().SortKeys().SortList(tbTable).size(), 2u);

    Probe(*form).InsertColumn(tbTable, 1);
    EXPECT_EQ(doc().GetTableColCount(tbTable), 7);
    EXPECT_EQ(doc().GetConnection(tbTable, cnPosition), 0);
    EXPECT_EQ(doc().GetConnection(tbTable, cnStart), 2);
    EXPECT_EQ(doc().GetConnection(tbTable, cnTextCenterMiddle), 6);
    EXPECT_EQ(row(tbTable, 0)->StringList[1], "");
    EXPECT_EQ(row(tbTable, 0)->StringList[6], "a");
    EXPECT_EQ(Probe(*form).Tree(tbTable).Header().Columns().Count(), 7);
    const auto &keys = Probe(*form).Tables().SortKeys().SortList(tbTable);
    EXPECT_EQ(keys[0].column, 0);
    EXPECT_EQ(keys[1].column, 6);

    Probe(*form).RemoveColumn(tbTable, 0); // the position column and its key go
    EXPECT_EQ(doc().GetConnection(tbTable, cnPosition), -1);
    EXPECT_EQ(doc().GetConnection(tbTable, cnStart), 1);
    ASSERT_EQ(Probe(*form).Tables().SortKeys().SortList(tbTable).size(), 1u);
    EXPECT_EQ(Probe(*form).Tables().SortKeys().SortList(tbTable)[0].column, 5);
    EXPECT_EQ(Probe(*form).Tree(tbTable).Header().Columns().Count(), 6);
}
