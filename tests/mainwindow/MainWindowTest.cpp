// A planner opens a plan: both tables and the chart show it; the tables' cells,
// fills and fonts are what the document holds.
#include "components/gui/GTHeader.h"
#include "components/gui/GridTreeColumns.h"
#include "tests/mainwindow/MainFormTestSupport.h"
#include "tests/support/PixelTest.h"
#include "timechart/TimeChart.h"

#include <QLabel>

using namespace mainformtest;
using testsupport::PixelAt;

namespace {

class MainWindowTest : public MainFormTest { };

GeneratorOptions SmallPlan()
{
    GeneratorOptions options;
    options.tasks = 120;
    options.absentRows = 15;
    options.positions = 8;
    return options;
}

} // namespace

TEST_F(MainWindowTest, OpensAPlanIntoBothTablesAndTheChart)
{
    const QString path = WritePlan("plan.kez", SmallPlan());
    ShowForm();
    ASSERT_TRUE(form->Open(path));
    QCoreApplication::processEvents();

    EXPECT_EQ(form->windowTitle(), "KEZ - " + CanonicalFileName(path));
    for (TWhichTable table : { tbTable, tbExclude }) {
        TStringGridTree &tree = Probe(*form).Tree(table);
        EXPECT_EQ(tree.Tree(), &store(table));
        EXPECT_EQ(int(store(table).RootNodeCount()), table == tbTable ? 120 : 15);
        // One header column per document column, captioned like it.
        const TGridTreeColumns &columns = tree.Header().Columns();
        ASSERT_EQ(columns.Count(), doc().GetTableColCount(table));
        for (int c = 0; c < columns.Count(); ++c)
            EXPECT_EQ(columns[c].Text(), doc().GetColumnCaption(table, c));
        // Every cell as the row holds it.
        TNodeData *first = row(table, 0);
        for (int c = 0; c < columns.Count(); ++c) {
            if (doc().GetColumnType(table, c) != ctCheckBox) {
                EXPECT_EQ(tree.Text(first->VNode, c), first->StringList.value(c)) << c;
            }
        }
    }
    // The check-box column of the absent days shows its translated word.
    const int workdays = doc().GetConnection(tbExclude, cnLengthWithWeekend);
    TNodeData *absent = row(tbExclude, 0);
    EXPECT_EQ(Probe(*form).Tree(tbExclude).Text(absent->VNode, workdays),
        absent->StringList[workdays] == "Ja" ? "yes" : "no");

    EXPECT_EQ(Probe(*form).StatusPanel(0).text(), "Table total: 120");
    EXPECT_EQ(Probe(*form).StatusPanel(2).text(), "filtered: 120");
    EXPECT_EQ(Probe(*form).Chart().Doc().GetRowCount(), doc().GetRowCount());
    EXPECT_GT(doc().GetRowCount(), 0);
}

TEST_F(MainWindowTest, RoleColumnsAreFilledAndIncompleteRowsUnderlined)
{
    ShowForm();
    // Two tasks of the new document: a complete one, and one without a start.
    TNodeData *complete = doc().AddNode(QString(), tbTable, true);
    doc().SetData(complete, 0, "Position 1");
    doc().SetData(complete, 1, "04.03.2024");
    doc().SetData(complete, 3, "2");
    doc().SetData(complete, 5, "complete");
    TNodeData *incomplete = doc().AddNode(QString(), tbTable, true);
    doc().SetData(incomplete, 5, "incomplete");
    Probe(*form).AutoFitColumns();
    store(tbTable).ClearSelection();
    QCoreApplication::processEvents();
    ASSERT_TRUE(complete->nodeValid);
    ASSERT_FALSE(incomplete->nodeValid);

    TStringGridTree &tree = Probe(*form).Tree(tbTable);
    const QImage image = tree.viewport()->grab().toImage();
    testsupport::SavePng(image, "main_table_cells");
    const int rowHeight = int(store(tbTable).DefaultNodeHeight());
    auto cell = [&](int column) {
        int left = 0, right = 0;
        tree.Header().Columns().GetColumnBounds(column, left, right);
        return std::pair { left, right };
    };
    // The start column's last pixels (right of its text) in the role colour;
    // the comment column (a text spot, no chart role of its own) keeps the window colour.
    const int completeTop = complete->VNode->Index() * rowHeight;
    EXPECT_EQ(PixelAt(image, cell(1).second - 2, completeTop + rowHeight / 2), 0xF0E5CCu);
    EXPECT_EQ(PixelAt(image, cell(5).second - 2, completeTop + rowHeight / 2), clWhite);
    // The incomplete row: a red wavy line one pixel above its bottom, under
    // every cell; none under the complete row.
    const int incompleteBottom = (int(incomplete->VNode->Index()) + 1) * rowHeight;
    int redUnder = 0, redUnderComplete = 0;
    for (int x = cell(5).first; x < cell(5).second; ++x) {
        redUnder += PixelAt(image, x, incompleteBottom - 2) == clRed
            || PixelAt(image, x, incompleteBottom - 3) == clRed;
        redUnderComplete += PixelAt(image, x, completeTop + rowHeight - 2) == clRed;
    }
    EXPECT_GT(redUnder, (cell(5).second - cell(5).first) / 3);
    EXPECT_EQ(redUnderComplete, 0);
}
