// The colour legends in the chart: a click recolours the selected tasks in one
// undo step, a right click edits the colour through the picker, the pointer
// shows the item's name.
#include "document/DocumentTable.h"
#include "tests/timechart/ChartPixelTest.h"
#include "tests/timechart/ChartTestSupport.h"
#include "timechart/ColorLegend.h"

#include <QTest>
#include <random>
#include <set>

namespace {

class TimeChartLegendsTest : public testsupport::ChartPixelTest, protected charttest::ChartFixture {
protected:
    // The legends in a tool bar 300 pixels wide: three states in 60 pixels
    // (swatches of 15, gaps of 5), three absence reasons from x 70.
    TimeChartLegendsTest()
    {
        TDocumentSetup setup = doc->Setup();
        setup.FColors = { clRed, clLime, clBlue };
        doc->SetSetup(setup);
        toolBar.resize(300, 22);
        chart->LegendBar().setParent(&toolBar);
        chart->LegendBar().setGeometry(0, 0, 300, 22);
        chart->LegendBar().show();
        toolBar.show();
        QCoreApplication::processEvents();
        first = AddTask("Position 1", "04.03.2024", "1");
        second = AddTask("Position 2", "04.03.2024", "1");
        AddTask("Position 3", "04.03.2024", "1");
        doc->GetTable(tbTable).SetSelected(first, true);
        doc->GetTable(tbTable).SetSelected(second, true);
    }
    ~TimeChartLegendsTest() override { chart->LegendBar().setParent(nullptr); }

    QStringList States() const
    {
        QStringList states;
        doc->ForEach(tbTable, feAll, [&](TNodeData &node) { states << doc->GetData_(&node, cnColor); });
        return states;
    }

    QWidget toolBar;
    TNodeData *first = nullptr;
    TNodeData *second = nullptr;
};

} // namespace

TEST_F(TimeChartLegendsTest, AClickRecoloursTheSelectionInOneUndoStep)
{
    TCanvasPanel &legend = chart->ItemColorPanel();
    EXPECT_EQ(legend.geometry(), QRect(0, 0, 60, 22));
    EXPECT_EQ(chart->HolidayColorPanel().geometry(), QRect(70, 0, 60, 22));
    const auto undoEntries = doc->UndoRedo().undoList().size();

    QTest::mouseClick(&legend, Qt::LeftButton, Qt::NoModifier, QPoint(17, 10)); // the gap
    QTest::mouseClick(&chart->HolidayColorPanel(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 10));
    EXPECT_EQ(States(), QStringList({ "State 1", "State 1", "State 1" }));
    EXPECT_EQ(doc->UndoRedo().undoList().size(), undoEntries);

    QTest::mouseClick(&legend, Qt::LeftButton, Qt::NoModifier, QPoint(54, 10));
    EXPECT_EQ(States(), QStringList({ "State 3", "State 3", "State 1" }));
    EXPECT_EQ(doc->UndoRedoGroupIndex(), -1);
    doc->UndoRedo().Undo();
    EXPECT_EQ(States(), QStringList({ "State 1", "State 1", "State 1" }));
}

TEST_F(TimeChartLegendsTest, ARightClickEditsTheColourThroughThePicker)
{
    TCanvasPanel &legend = chart->ItemColorPanel();
    chartHost.pickAnswer = clYellow;
    first->RecalcBitmap = false;
    QTest::mouseClick(&legend, Qt::RightButton, Qt::NoModifier, QPoint(22, 10));
    EXPECT_EQ(chartHost.pickCurrent, clLime);
    const QPoint origin = legend.mapToGlobal(QPoint(0, 0));
    EXPECT_EQ(chartHost.pickRect, Bounds(origin.x(), origin.y(), 60, 22));
    EXPECT_EQ(doc->Setup().FColors, std::vector<std::uint32_t>({ clRed, clYellow, clBlue }));
    EXPECT_TRUE(first->RecalcBitmap);
    EXPECT_PIXEL(Keep(testsupport::RenderWidget(legend), "recoloured"), 27, 10, clYellow);

    chartHost.pickAnswer.reset(); // cancelled
    QTest::mouseClick(&legend, Qt::RightButton, Qt::NoModifier, QPoint(2, 10));
    EXPECT_EQ(doc->Setup().FColors[0], clRed);
}

TEST_F(TimeChartLegendsTest, HintsNameTheItemUnderThePointer)
{
    QTest::mouseMove(&chart->ItemColorPanel(), QPoint(25, 10));
    EXPECT_EQ(chart->ItemColorPanel().toolTip(), "Table Tasks: State 2");
    QTest::mouseMove(&chart->ItemColorPanel(), QPoint(38, 10)); // the gap keeps the hint
    EXPECT_EQ(chart->ItemColorPanel().toolTip(), "Table Tasks: State 2");
    QTest::mouseMove(&chart->HolidayColorPanel(), QPoint(25, 10));
    EXPECT_EQ(chart->HolidayColorPanel().toolTip(), "Table Absent Days: Sick");
}

// During the selection flash the selected tasks' colour (red, index 0) fades
// towards its contrast colour; a narrow tool bar cuts the second legend short.
TEST_F(TimeChartLegendsTest, FlashAndNarrowToolBar)
{
    EXPECT_TRUE(chart->IsColorSelected(tbTable, 0));
    EXPECT_FALSE(chart->IsColorSelected(tbTable, 1));
    chart->SetLegendFlash(50);
    const QImage image = Keep(testsupport::RenderWidget(chart->ItemColorPanel()), "flash");
    EXPECT_PIXEL(image, 7, 10, 0x000080); // red halfway to black
    EXPECT_PIXEL(image, 27, 10, clLime);
    chart->SetLegendFlash(std::nullopt);
    EXPECT_PIXEL(testsupport::RenderWidget(chart->ItemColorPanel()), 7, 10, clRed);

    chart->LegendBar().resize(100, 22);
    QCoreApplication::processEvents();
    EXPECT_EQ(chart->HolidayColorPanel().geometry(), QRect(70, 0, 30, 22));
}

// The legend's selected colours follow every change of the selection and of the
// selected rows' colours: after each random step they are those a walk over all
// rows finds, whether a few rows are selected or most of them.
TEST_F(TimeChartLegendsTest, SelectedColoursFollowEveryChangeLikeAFullWalk)
{
    DocumentTable &table = doc->GetTable(tbTable);
    TBaseGridTree &tree = table.Tree();
    const int colorColumn = doc->GetConnection(tbTable, cnColor);
    ASSERT_GE(colorColumn, 0);
    // Enough rows that a click's selection is read through the selection, and
    // Ctrl+A's through the rows.
    for (int i = 0; i < 45; ++i)
        AddTask(QStringLiteral("Position %1").arg(i % 3 + 1), "05.03.2024", "2");
    std::mt19937 rng(52);
    auto anyRow = [&]() -> TNodeData * {
        const std::vector<TNodeData *> &rows = table.Rows();
        return rows.empty() ? nullptr : rows[rng() % rows.size()];
    };
    for (int step = 0; step < 600; ++step) {
        TNodeData *row = anyRow();
        const unsigned action = rng() % 11;
        SCOPED_TRACE(::testing::Message() << "step " << step << ", action " << action);
        switch (action) {
        case 0:
        case 1:
            table.SetSelected(row, action == 0);
            break;
        case 2:
            tree.SelectAll(rng() % 2 == 0);
            break;
        case 3:
            tree.ClearSelection();
            break;
        case 4:
            if (row)
                doc->SetNodeFiltered(row, !table.IsHidden(row));
            break;
        case 5:
        case 6:
            if (row) // a recolouring edit, as the legend's click makes it
                doc->SetDataIndex(row, colorColumn, int(rng() % 4));
            break;
        case 7:
            if (!doc->UndoRedo().undoList().empty())
                doc->UndoRedo().Undo();
            break;
        case 8:
            if (!doc->UndoRedo().redoList().empty())
                doc->UndoRedo().Redo();
            break;
        case 9:
            if (row && table.RowCount() > 4)
                doc->DeleteNode(row, true);
            break;
        case 10:
            AddTask("Position 2", "06.03.2024", "1");
            break;
        }
        std::set<int> walked;
        for (const TNodeData *node : table.Rows())
            if (table.IsSelected(node))
                walked.insert(node->nodeColor);
        for (int color = -1; color <= 4; ++color)
            ASSERT_EQ(chart->IsColorSelected(tbTable, color), walked.contains(color)) << "colour " << color;
    }
}
