// The chart in the real main window: a band drawn on it asks the new-entry
// dialog, a right click opens the chart's popup, the overlap commands sit in the
// Edit menu, and selecting a row brings its bar to the chart's middle.
#include "dialogs/misc/NewEntryDialog.h"
#include "tests/mainwindow/MainFormTestSupport.h"
#include "timechart/CanvasPanel.h"
#include "timechart/TimeChart.h"
#include "timechart/TimeChartMouse.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>

using namespace mainformtest;

namespace {

class ChartWindowTest : public MainFormTest {
protected:
    void SetUp() override { ShowForm(); }

    TNodeData *Task(const QString &position, const QString &start, const QString &days)
    {
        TNodeData *node = doc().AddNode(QString(), tbTable, true);
        doc().SetData_(node, cnPosition, position);
        doc().SetData_(node, cnStart, start);
        doc().SetData_(node, cnLength, days);
        doc().GetEndOf(node);
        return node;
    }
    // The chart laid out, showing the days from Monday 4 March 2024.
    void ShowDays()
    {
        IdleTick();
        chart().SetTimeChartDestination(EncodeDate(2024, 3, 4), 0, true);
        ASSERT_EQ(chart().TimeChartStart(), EncodeDate(2024, 3, 4));
    }
    TTimeChart &chart() { return Probe(*form).Chart(); }
    // The middle of day `day` (0: 4 March) in chart row `row`.
    QPoint At(int day, int row)
    {
        const int w = chart().GetTimeChartColWidth(), h = chart().TimeChartRowHeight(0);
        return QPoint(day * w + w / 2, row * h + h / 5 + 1);
    }
    void Mouse(QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons)
    {
        TCanvasPanel &panel = chart().TimeChart();
        QMouseEvent event(type, pos, panel.mapToGlobal(pos), button, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(&panel, &event);
    }
};

} // namespace

// The band from Wednesday to Thursday in the second row; the dialog's "Tasks".
TEST_F(ChartWindowTest, ABandBecomesATaskThroughTheNewEntryDialog)
{
    Task("Position 1", "04.03.2024", "1");
    ShowDays();
    const int before = doc().GetTableRowCount(tbTable);
    QString shownPosition;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<TNewEntryDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        shownPosition = dialog->LabelPos()->text();
        dialog->Button1()->click();
    });
    Mouse(QEvent::MouseButtonPress, At(10, 1), Qt::LeftButton, Qt::LeftButton);
    Mouse(QEvent::MouseMove, At(11, 1), Qt::NoButton, Qt::LeftButton);
    Mouse(QEvent::MouseMove, At(12, 1) - QPoint(chart().GetTimeChartColWidth() / 2, 0), Qt::NoButton,
        Qt::LeftButton);
    Mouse(QEvent::MouseButtonRelease, At(12, 1) - QPoint(chart().GetTimeChartColWidth() / 2, 0),
        Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(shownPosition, "Position 2");
    ASSERT_EQ(doc().GetTableRowCount(tbTable), before + 1);
    TNodeData *task = row(tbTable, before);
    EXPECT_EQ(doc().GetData_(task, cnStart), "14.03.2024");
    EXPECT_EQ(doc().GetData_(task, cnPosition), "Position 2");
    EXPECT_EQ(doc().GetLengthOf(task), 2 * 480);
}

// A right click on a bar opens the chart's popup with "Split Task here" enabled;
// the overlap commands of the Edit menu are enabled while tasks overlap and undo
// in one step.
TEST_F(ChartWindowTest, ThePopupAndTheOverlapCommands)
{
    TNodeData *first = Task("Position 1", "04.03.2024", "3");
    TNodeData *second = Task("Position 1", "05.03.2024", "2");
    ShowDays();
    Mouse(QEvent::MouseMove, At(1, 0), Qt::NoButton, Qt::NoButton);
    QCoreApplication::processEvents();
    Mouse(QEvent::MouseButtonPress, At(1, 0), Qt::RightButton, Qt::RightButton);
    Mouse(QEvent::MouseButtonRelease, At(1, 0), Qt::RightButton, Qt::NoButton);
    EXPECT_TRUE(Probe(*form).Menus().TimeChartPopupMenu->isVisible());
    EXPECT_TRUE(Probe(*form).Menus().ActionSplit->isEnabled());
    Probe(*form).Menus().TimeChartPopupMenu->close();
    EXPECT_EQ(chart().Mouse().State(), msPoppedUp);

    // The overlap marking waits 400 ms after the last change.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !Probe(*form).OverlappingTimer().isActive(); }, 5000));
    IdleTick();
    ASSERT_TRUE(doc().HasOverlappingNodes());
    EXPECT_TRUE(Probe(*form).Menus().ActionSolveOverlapping->isEnabled());
    EXPECT_TRUE(Probe(*form).Menus().ActionSolveOverlappingSingle->isEnabled());
    Probe(*form).Menus().ActionSolveOverlapping->trigger();
    EXPECT_EQ(doc().GetData_(second, cnStart), "07.03.2024");
    EXPECT_FALSE(Probe(*form).Menus().ActionSolveOverlapping->isEnabled());
    doc().UndoRedo().Undo();
    EXPECT_EQ(doc().GetData_(second, cnStart), "05.03.2024");
    EXPECT_EQ(doc().GetData_(first, cnStart), "04.03.2024");
}

// A row selected in the table has its bar brought to the chart's middle.
TEST_F(ChartWindowTest, SelectingARowCentresItsBar)
{
    Task("Position 1", "04.03.2024", "1");
    Task("Position 2", "02.12.2024", "1");
    TNodeData *later = Task("Position 3", "03.06.2024", "1");
    ShowDays();
    Probe(*form).SelectRows(tbTable, { later });
    for (int tick = 0; tick < 100 && chart().SliderTimer().isActive(); ++tick)
        chart().SliderTimerTimer();
    const TRect bar = chart().ItemRect(later, false);
    EXPECT_LE(std::abs((bar.Left + bar.Right) / 2 - chart().TimeChart().width() / 2),
        chart().GetTimeChartColWidth());
}
