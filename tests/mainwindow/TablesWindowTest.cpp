// The task tables as a planner uses them: header clicks on both tables (filter
// zone, sort, menu), the multi-key sort and its question, the rows' fonts, the
// selection's repaints, the chart following it, and the window's keys.
#include "components/gui/GTHeader.h"
#include "components/gui/GridTreeColumns.h"
#include "document/commands/SaveWork.h"
#include "resources/Cursors.h"
#include "tests/mainwindow/MainFormTestSupport.h"
#include "timechart/BarPainter.h"
#include "timechart/CanvasPanel.h"
#include "timechart/TimeChart.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QTabWidget>
#include <QTimer>

using namespace mainformtest;

namespace {

// Counts the rows the document asks its views to repaint.
class RepaintCounter : public IDocumentObserver {
public:
    QStringList rows;
    void InvalidateNodeArea(const TNodeData &node, bool) override { rows << node.ID; }
};

class TablesWindowTest : public MainFormTest {
protected:
    // Tasks of the new document: position, start, length (working days), comment = ID.
    TNodeData *Task(const QString &id, const QString &position, const QString &start, const QString &days)
    {
        TNodeData *row = doc().AddNode(id, tbTable, true);
        doc().SetData(row, 0, position);
        doc().SetData(row, 1, start);
        doc().SetData(row, 3, days);
        doc().SetData(row, 5, id);
        return row;
    }
    QStringList Order(TWhichTable table = tbTable) const
    {
        QStringList ids;
        for (TGridNode *n = store(table).GetFirst(); n; n = store(table).GetNext(n))
            ids << store(table).GetNodeData<TNodeData>(n)->ID;
        return ids;
    }
    QPoint InHeader(TWhichTable table, int column, int dx) const
    {
        int left = 0, right = 0;
        Probe(*form).Tree(table).Header().Columns().GetColumnBounds(column, left, right);
        return { left + dx, Probe(*form).Tree(table).Header().Height() / 2 };
    }
    void ClickHeader(TWhichTable table, int column, int dx, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseClick(&Probe(*form).Tree(table).HeaderWidget(), button, {}, InHeader(table, column, dx));
    }
    void FillFourTasks()
    {
        Task("a", "Position 1", "04.03.2024", "3");
        Task("b", "Position 2", "01.03.2024", "12");
        Task("c", "Position 3", "06.03.2024", "3");
        TNodeData *open = doc().AddNode("open", tbTable, true); // no start: incomplete
        doc().SetData(open, 3, "7");
        Probe(*form).AutoFitColumns();
    }
};

} // namespace

TEST_F(TablesWindowTest, HeaderZonesSortAndTheQuestionOfKeepingKeys)
{
    ShowForm();
    FillFourTasks();
    int filterOpened = 0;
    QObject::connect(Probe(*form).Menus().ActionFilter, &QAction::triggered, [&] { ++filterOpened; });
    const QStringList before = Order();

    // The filter icon's 17 pixels, then the first pixel of the sort zone.
    ClickHeader(tbTable, 3, 17);
    EXPECT_EQ(filterOpened, 1);
    EXPECT_EQ(Probe(*form).ActiveColumn(), 3);
    EXPECT_EQ(Order(), before);
    ClickHeader(tbTable, 3, 18);
    EXPECT_EQ(filterOpened, 1);
    // Lengths 3, 12, 3, 7 as numbers, the incomplete row first.
    EXPECT_EQ(Order(), QStringList({ "open", "a", "c", "b" }));
    ClickHeader(tbTable, 3, 30); // the same key turns round, without a question
    EXPECT_EQ(Order(), QStringList({ "open", "b", "a", "c" }));
    EXPECT_TRUE(dialogs.Questions().isEmpty());

    // Another column asks whether to keep the key; No leaves it alone.
    dialogs.QueueAnswer(mrNo);
    ClickHeader(tbTable, 1, 30);
    ASSERT_EQ(dialogs.Questions().size(), 1);
    EXPECT_EQ(dialogs.Questions()[0].Msg, "Keep existing sort?\r\rLength  Main Index");
    EXPECT_EQ(Order(), QStringList({ "open", "b", "a", "c" }));
    EXPECT_EQ(Probe(*form).Tables().SortKeys().SortList(tbTable).size(), 1u);
    // Yes keeps Start as the main key; the length breaks its ties.
    Task("d", "Position 1", "04.03.2024", "1");
    dialogs.QueueAnswer(mrYes);
    ClickHeader(tbTable, 3, 30);
    EXPECT_EQ(dialogs.Questions().back().Msg, "Keep existing sort?\r\rStart  Main Index");
    EXPECT_EQ(Probe(*form).Tables().SortKeys().SortList(tbTable).size(), 2u);
    const QStringList sorted = Order();
    EXPECT_EQ(sorted.first(), "open");
    EXPECT_LT(sorted.indexOf("b"), sorted.indexOf("a"));
    EXPECT_LT(sorted.indexOf("d"), sorted.indexOf("c"));
    EXPECT_EQ(std::abs(sorted.indexOf("a") - sorted.indexOf("d")), 1);
    // The sort menu marks the column just sorted.
    EXPECT_FALSE(Probe(*form).Menus().SortMenu->actions().value(3)->icon().isNull());
    EXPECT_TRUE(Probe(*form).Menus().SortMenu->actions().value(1)->icon().isNull());

    // The absent days keep keys of their own: their first sort asks nothing.
    Probe(*form).PageControl1().setCurrentIndex(1);
    QCoreApplication::processEvents();
    ClickHeader(tbExclude, 1, 30);
    EXPECT_EQ(dialogs.Questions().size(), 2);
    EXPECT_EQ(Probe(*form).Tables().SortKeys().SortList(tbExclude).size(), 1u);
    EXPECT_EQ(Probe(*form).Tables().SortKeys().SortList(tbTable).size(), 2u);

    // The right button opens the header's menu at the click.
    const QPoint at = InHeader(tbExclude, 2, 25);
    ClickHeader(tbExclude, 2, 25, Qt::RightButton);
    QMenu *menu = Probe(*form).Menus().GridTreeHeaderPopupMenu;
    EXPECT_TRUE(menu->isVisible());
    EXPECT_EQ(menu->pos(), Probe(*form).Tree(tbExclude).HeaderWidget().mapToGlobal(at));
    EXPECT_EQ(Probe(*form).ActiveColumn(), 2);
    menu->hide();
}

// A sort of a large table compares on other threads: the window paints
// meanwhile, the idle work (the others' changes) and a close wait for its end.
TEST_F(TablesWindowTest, ALongSortKeepsTheWindowPaintedAndHoldsBackWhatCouldChangeTheRows)
{
    ShowForm();
    FillFourTasks();
    Probe(*form).SetLongWorkRows(1);
    const SlowWorkSteps slow(std::chrono::milliseconds(500));
    PaintCounter counter;
    QWidget &chart = Probe(*form).Chart().TimeChart();
    chart.installEventFilter(&counter);
    int paintsBefore = -1, paintsDuring = -1, cursorDuring = -1;
    qint64 ticksDuring = -1;
    bool closed = true;
    QTimer::singleShot(150, form.get(), [&] {
        paintsBefore = counter.paints;
        cursorDuring = TScreenCursor::Current();
        chart.update();
        closed = form->close();
    });
    QTimer::singleShot(350, form.get(), [&] {
        paintsDuring = counter.paints;
        ticksDuring = Probe(*form).IdleTicks();
    });
    const qint64 ticksBefore = Probe(*form).IdleTicks();
    dialogs.QueueAnswer(mrNo); // the close that follows does not save the new rows
    ClickHeader(tbTable, 3, 30);
    EXPECT_EQ(Order(), QStringList({ "open", "a", "c", "b" }));
    EXPECT_GT(paintsDuring, paintsBefore);
    EXPECT_EQ(ticksDuring, ticksBefore);
    EXPECT_EQ(cursorDuring, crHourGlass);
    EXPECT_EQ(TScreenCursor::Current(), crDefault);
    EXPECT_FALSE(closed);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !form->isVisible(); }, 5000)); // the close followed the sort
    chart.removeEventFilter(&counter);
}

TEST_F(TablesWindowTest, RowFontsFollowOverlapValidityAndSelection)
{
    ShowForm();
    TNodeData *row = Task("a", "Position 1", "04.03.2024", "3");
    TStringGridTree &tree = Probe(*form).Tree(tbTable);
    QImage image(10, 10, QImage::Format_ARGB32);
    auto style = [&] {
        QPainter painter(&image);
        painter.setPen(Qt::black);
        tree.OnPaintText(tree, painter, row->VNode, 0, ttNormal);
        return std::tuple { FromQColor(painter.pen().color()), painter.font().italic(),
            painter.font().bold() };
    };
    EXPECT_EQ(style(), std::tuple(clBlack, false, false));
    doc().SetNodeIsOverlapping(row, true);
    EXPECT_EQ(style(), std::tuple(clRed, false, false));
    doc().SetData(row, 1, ""); // incomplete now
    EXPECT_EQ(style(), std::tuple(clRed, true, false));
    store(tbTable).SetSelected(row->VNode, true);
    EXPECT_EQ(style(), std::tuple(clRed, true, true));
    doc().SetNodeIsOverlapping(row, false);
    EXPECT_EQ(style(), std::tuple(clBlack, true, true));
}

TEST_F(TablesWindowTest, ASelectionChangeRepaintsOnlyTheRowsItChangedAndTheChartFollows)
{
    GeneratorOptions options;
    options.tasks = 60;
    options.absentRows = 4;
    options.positions = 24;
    ASSERT_TRUE(form->Open(WritePlan("plan.kez", options)));
    ShowForm();
    IdleTick();
    RepaintCounter counter;
    ScopedDocumentObserver observing(doc(), counter);
    // A task in the middle of the plan in time and rows, so that the chart can
    // centre it.
    const TDateTime middleDay = (Probe(*form).Chart().DataMinDate() + Probe(*form).Chart().DataMaxDate()) / 2;
    TNodeData *first = nullptr;
    doc().ForEach(tbTable, feAll, [&](TNodeData &task) {
        const bool middleRow = task.nodePosition >= 8 && task.nodePosition < 16;
        if (task.nodeValid && middleRow
            && (!first || std::abs(task.nodeStart - middleDay) < std::abs(first->nodeStart - middleDay)))
            first = &task;
    });
    ASSERT_NE(first, nullptr);
    TStringGridTree &tree = Probe(*form).Tree(tbTable);
    tree.setFocus();
    // Real clicks on rows; each repaints exactly the rows whose selection changed.
    auto selection = [&] {
        QStringList ids;
        for (TGridNode *n : store(tbTable).GetSortedSelection(false))
            ids << store(tbTable).GetNodeData<TNodeData>(n)->ID;
        return ids;
    };
    auto click = [&](TNodeData *target, Qt::KeyboardModifiers mods) {
        tree.ScrollIntoView(target->VNode, false);
        QCoreApplication::processEvents();
        const TRect r = tree.GetDisplayRect(target->VNode, 1, false);
        const QStringList before = selection();
        counter.rows.clear();
        QTest::mouseClick(tree.viewport(), Qt::LeftButton, mods, QPoint(r.Left + 5, (r.Top + r.Bottom) / 2));
        const QStringList after = selection();
        QStringList changed;
        for (const QString &id : before + after)
            if (before.contains(id) != after.contains(id) && !changed.contains(id))
                changed << id;
        changed.sort();
        counter.rows.removeDuplicates();
        counter.rows.sort();
        EXPECT_EQ(counter.rows, changed);
        return after;
    };

    EXPECT_EQ(click(first, {}), QStringList({ first->ID }));
    EXPECT_TRUE(Probe(*form).Chart().FlashSelectedTimer().isActive());
    // The chart scrolls until the clicked row's bar is in its middle.
    for (int tick = 0; tick < 100 && Probe(*form).Chart().SliderTimer().isActive(); ++tick)
        Probe(*form).Chart().SliderTimerTimer();
    const TRect bar = Probe(*form).Chart().ItemRect(first, false);
    const TCanvasPanel &panel = Probe(*form).Chart().TimeChart();
    EXPECT_NEAR((bar.Left + bar.Right) / 2, panel.width() / 2, Probe(*form).Chart().WindowPixelsPerDay());
    EXPECT_NEAR((bar.Top + bar.Bottom) / 2, panel.height() / 2, Probe(*form).Chart().TimeChartRowHeight(0));

    // Ctrl adds a row, Shift a range from it, a plain click takes one row again.
    TNodeData *second = row(tbTable, 2), *fifth = row(tbTable, 5);
    EXPECT_EQ(click(second, Qt::ControlModifier).size(), 2);
    EXPECT_EQ(click(fifth, Qt::ShiftModifier).size(), 4);
    EXPECT_EQ(click(row(tbTable, 1), {}).size(), 1);

    // Nothing selected: the flash stops.
    store(tbTable).ClearSelection();
    EXPECT_FALSE(Probe(*form).Chart().FlashSelectedTimer().isActive());
    EXPECT_EQ(Probe(*form).Chart().BarPainter().FlashStep(), 0);

    // Ctrl+A selects every shown row of the table.
    QTest::keyClick(&tree, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(store(tbTable).SelectedCount(), int(store(tbTable).VisibleCount()));
}

TEST_F(TablesWindowTest, TheWindowsKeysMoveTheChartAndTheSelection)
{
    GeneratorOptions options;
    options.tasks = 30;
    options.positions = 10;
    ASSERT_TRUE(form->Open(WritePlan("plan.kez", options)));
    ShowForm();
    IdleTick();
    TTimeChart &chart = Probe(*form).Chart();
    chart.SetTimeChartStart(EncodeDate(2024, 3, 10));
    chart.SetTimeChartTop(0);
    // No control has the focus: the keys reach the window.
    if (QWidget *focus = QApplication::focusWidget())
        focus->clearFocus();
    auto press
        = [&](Qt::Key key, Qt::KeyboardModifiers mods = {}) { QTest::keyClick(form.get(), key, mods); };
    const TDateTime start = chart.TimeChartStart();
    press(Qt::Key_Right);
    EXPECT_EQ(chart.TimeChartStart(), start + 1);
    press(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(chart.TimeChartStart(), start + 8);
    press(Qt::Key_Left, Qt::ControlModifier); // the days of March
    EXPECT_EQ(chart.TimeChartStart(), start + 8 - 31);
    press(Qt::Key_Down);
    EXPECT_EQ(chart.TimeChartTop(), chart.TimeChartRowHeight(0));
    press(Qt::Key_Up);
    EXPECT_EQ(chart.TimeChartTop(), 0);

    // In the table, Page Down steps a single selection to the next row, Page Up
    // back; at the first row nothing moves.
    TStringGridTree &tree = Probe(*form).Tree(tbTable);
    tree.setFocus();
    auto page = [&](Qt::Key key) { QTest::keyClick(&tree, key); };
    store(tbTable).SetSelected(row(tbTable, 1)->VNode, true);
    page(Qt::Key_PageDown);
    EXPECT_TRUE(store(tbTable).Selected(row(tbTable, 2)->VNode));
    EXPECT_EQ(store(tbTable).SelectedCount(), 1);
    page(Qt::Key_PageUp);
    page(Qt::Key_PageUp);
    page(Qt::Key_PageUp);
    EXPECT_TRUE(store(tbTable).Selected(row(tbTable, 0)->VNode));
    EXPECT_EQ(store(tbTable).SelectedCount(), 1);
    // With two rows selected the window takes no step (the table pages on its own).
    store(tbTable).SetSelected(row(tbTable, 5)->VNode, true);
    page(Qt::Key_PageDown);
    EXPECT_FALSE(store(tbTable).SelectedCount() == 1 && store(tbTable).Selected(row(tbTable, 1)->VNode));

    // In the find field the keys are the field's.
    Probe(*form).Edit2().setFocus();
    QTest::keyClick(&Probe(*form).Edit2(), Qt::Key_Right);
    EXPECT_EQ(chart.TimeChartStart(), start + 8 - 31);
}

TEST_F(TablesWindowTest, FittedColumnsHoldTheBoldTextsOfSelectedRows)
{
    ShowForm();
    TNodeData *row = Task("a", "Position 1", "18.03.2024", "30");
    doc().SetData(row, 5, "Assembly of the second press line, with its guards");
    Probe(*form).AutoFitColumns();
    TStringGridTree &tree = Probe(*form).Tree(tbTable);
    QTest::mouseClick(
        tree.viewport(), Qt::LeftButton, {}, ToQRect(tree.GetDisplayRect(row->VNode, -1, false)).center());
    ASSERT_TRUE(store(tbTable).Selected(row->VNode));
    // Start, End and Comment as the selected row paints them: bold, after the
    // cell's margin and with the text's margins on both sides.
    QFont bold = tree.font();
    bold.setBold(true);
    const QFontMetrics metrics(bold, tree.viewport());
    for (int column : { 1, 2, 5 }) {
        const QString text = doc().GetData(row, column);
        EXPECT_GE(tree.Header().Columns()[column].Width(),
            tree.Margin() + 2 * tree.TextMargin() + metrics.horizontalAdvance(text))
            << text.toStdString();
    }
}
