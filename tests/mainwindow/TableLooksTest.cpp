// The task tables as a new user meets them: date columns wide enough for a whole
// date, the table's popup on a right click and on the menu key, and the vertical
// scroll bar beside the rows whatever the window's size.
#include "components/gui/GTHeader.h"
#include "components/gui/GridTreeColumns.h"
#include "dialogs/setup/MinUnitChange.h"
#include "tests/mainwindow/MainFormTestSupport.h"
#include "tests/support/PixelTest.h"

#include <QAction>
#include <QMenu>
#include <QScrollBar>

using namespace mainformtest;

namespace {

class TableLooksTest : public MainFormTest {
protected:
    TStringGridTree &Tasks() const { return Probe(*form).Tree(tbTable); }
    // The width a cell needs for `text` in bold, as a selected row paints it.
    int BoldCell(const QString &text) const
    {
        QFont bold = Tasks().font();
        bold.setBold(true);
        return Tasks().Margin() + 2 * Tasks().TextMargin()
            + QFontMetrics(bold, Tasks().viewport()).horizontalAdvance(text);
    }
    int Width(int column) const { return Tasks().Header().Columns()[column].Width(); }
    // Closes the popup menu that is open, if any; whether one was.
    static bool ClosePopup(QMenu &menu)
    {
        const bool open = menu.isVisible();
        menu.close();
        QCoreApplication::processEvents();
        return open;
    }
};

} // namespace

// A new plan's Start and End hold a whole date from the first task on, without
// fitting them again; so does End once the plan counts minutes.
TEST_F(TableLooksTest, DateColumnsHoldAWholeDateInNewPlansAndAfterTheUnitChanges)
{
    ShowForm();
    Probe(*form).Menus().ActionNew->trigger();
    Probe(*form).Menus().ActionAddNode->trigger();
    TNodeData *task = row(tbTable, 0);
    ASSERT_NE(task, nullptr);
    doc().SetData(task, 1, "04.03.2024");
    doc().SetData(task, 3, "5");
    doc().GetEndOf(task);
    EXPECT_GE(Width(1), BoldCell(doc().GetData(task, 1)));
    EXPECT_GE(Width(2), BoldCell(doc().GetData(task, 2)));

    ChangeMinUnit(doc(), muMinute);
    QCoreApplication::processEvents();
    const QString end = doc().GetData(task, 2);
    ASSERT_GT(end.size(), 10) << end.toStdString(); // the date with its time
    EXPECT_GE(Width(2), BoldCell(end)) << end.toStdString();
    EXPECT_GE(Width(1), BoldCell(doc().GetData(task, 1)));
}

// A right click on a row, and the menu key, open the table's popup with its
// commands; the header keeps its own.
TEST_F(TableLooksTest, TheTablesPopupOpensOnARightClickAndOnTheMenuKey)
{
    ShowForm();
    TNodeData *task = doc().AddNode("a", tbTable, true);
    doc().SetData(task, 0, "Position 1");
    doc().SetData(task, 1, "04.03.2024");
    QCoreApplication::processEvents();
    QMenu &popup = *Probe(*form).Menus().GridTreePopupMenu;
    ASSERT_FALSE(popup.actions().isEmpty());
    const QPoint place = ToQRect(Tasks().GetDisplayRect(task->VNode, -1, false)).center();
    QTest::mouseClick(Tasks().viewport(), Qt::RightButton, {}, place);
    EXPECT_TRUE(ClosePopup(popup)) << "right click";

    // A press held a while before its release.
    QTest::mousePress(Tasks().viewport(), Qt::RightButton, {}, place);
    QTest::qWait(50);
    QTest::mouseRelease(Tasks().viewport(), Qt::RightButton, {}, place);
    EXPECT_TRUE(ClosePopup(popup)) << "held right button";

    Tasks().setFocus();
    QTest::keyClick(&Tasks(), Qt::Key_Menu);
    EXPECT_TRUE(ClosePopup(popup)) << "menu key";
}

// Whatever size the window takes, the vertical bar of both tables starts below
// the header, beside the first row, and reaches the last.
TEST_F(TableLooksTest, TheVerticalScrollBarStaysBesideTheRowsThroughResizes)
{
    GeneratorOptions options;
    options.tasks = 300;
    options.absentRows = 80;
    options.positions = 6;
    OpenPlan("plan.kez", options);
    const std::vector<QSize> sizes { { 900, 600 }, { 1400, 900 }, { 1000, 650 }, { 760, 520 },
        { 1280, 800 } };
    int step = 0;
    for (const QSize &size : sizes) {
        form->resize(size);
        QCoreApplication::processEvents();
        IdleTick();
        for (TWhichTable table : { tbTable, tbExclude }) {
            TStringGridTree &tree = Probe(*form).Tree(table);
            if (!tree.isVisible())
                continue;
            QWidget *bar = tree.verticalScrollBar()->parentWidget();
            ASSERT_TRUE(bar && bar->isVisible()) << "step " << step;
            EXPECT_EQ(bar->geometry().top(), tree.viewport()->geometry().top()) << "step " << step;
            EXPECT_EQ(bar->geometry().bottom(), tree.viewport()->geometry().bottom()) << "step " << step;
        }
        if (++step == 2)
            QTest::mouseClick(Probe(*form).PageControl1().tabBar(), Qt::LeftButton, {},
                Probe(*form).PageControl1().tabBar()->tabRect(1).center());
    }
    testsupport::SavePng(form->grab().toImage(), QStringLiteral("tables_after_resizes"));
}
