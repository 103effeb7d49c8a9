// The deferred layout passes as a planner meets them: edits request them, the
// idle tick runs them, a bracket holds them back until its end; the range, the
// shown rows and the overlap marks they leave; the position-group tabs.
#include "document/ChartRows.h"
#include "document/calendar/DateList.h"
#include "platform/gui/DirtyArea.h"
#include "tests/timechart/ChartTestSupport.h"
#include "timechart/OverlapSweep.h"
#include "timechart/ScrollBarBox.h"

#include <QTabBar>
#include <QTest>
#include <array>
#include <gtest/gtest.h>
#include <random>
#include <set>

using charttest::Day;
using charttest::PositionItem;

namespace {

class LayoutPassesTest : public ::testing::Test, protected charttest::ChartFixture {
protected:
    // Press (three rows), Saw, Lathe, Drill; the chart 400 x 300: 50 days visible.
    LayoutPassesTest()
    {
        SetPositions(
            { PositionItem("Press", 3), PositionItem("Saw"), PositionItem("Lathe"), PositionItem("Drill") });
        ShowChart(400, 300);
    }

    QStringList ShownNames() const { return RowNames(doc->ChartRows().GlobalPositionFilter()); }

    // The tasks marked overlapping, by their Comment cells.
    QStringList Overlapping() const
    {
        QStringList names;
        doc->ForEach(tbTable, feOverlapping, [&](TNodeData &node) { names << doc->GetData(&node, 5); });
        return names;
    }

    TNodeData *Named(
        const QString &name, const QString &position, const QString &start, const QString &length)
    {
        TNodeData *node = AddTask(position, start, length);
        doc->SetData(node, 5, name);
        return node;
    }

    void DeleteAllRows()
    {
        doc->ForEach(feAll, [this](TNodeData &node) { doc->DeleteNode(&node, false); });
    }

    void SetGroups(const QStringList &names, const QStringList &filters, std::vector<int> rowSets)
    {
        TDocumentSetup setup = doc->Setup();
        setup.FPositionGroupNames = QStringList { QString() } + names;
        setup.FPositionGroup = QStringList { QString() } + filters;
        setup.FRowSets = std::move(rowSets);
        doc->SetSetup(setup);
    }
};

} // namespace

// Edits outside a bracket request the passes for the idle tick; inside one they
// wait for its end, which shows the tab's rows and re-clamps the view.
TEST_F(LayoutPassesTest, EditsRequestPassesTheIdleTickRuns)
{
    Named("a", "Saw", "04.03.2024", "3");
    EXPECT_TRUE(doc->BoundsPassPending());
    EXPECT_TRUE(doc->OverlappingPassPending());
    EXPECT_GT(documentHost.passRequests, 0);
    EXPECT_EQ(chart->MinDate(), 0.0);
    chart->RunPendingLayoutPasses();
    EXPECT_FALSE(doc->BoundsPassPending() || doc->OverlappingPassPending() || doc->EmptyRowsPassPending());
    EXPECT_EQ(chart->MinDate(), Day(2024, 2, 19));

    chartHost.events.clear();
    documentHost.passRequests = 0;
    {
        UpdateBracket bracket(*doc, "pasting");
        Named("b", "Saw", "04.03.2024", "1");
        Named("c", "Lathe", "06.05.2024", "1");
        doc->UpdateBounds(false); // nothing while updating
        chart->RunPendingLayoutPasses();
        EXPECT_EQ(chart->MaxDate(), Day(2024, 5, 7)); // 4 March + 50 + 14

        EXPECT_EQ(documentHost.passRequests, 0);
    }
    EXPECT_EQ(chartHost.events,
        QStringList({ "status 'pasting' busy", "status '' idle", "group 0 Gesamtansicht" }));
    EXPECT_TRUE(doc->BoundsPassPending());
    EXPECT_TRUE(doc->OverlappingPassPending());
    chart->RunPendingLayoutPasses();
    EXPECT_EQ(chart->MaxDate(), Day(2024, 5, 20));
    EXPECT_EQ(Overlapping(), QStringList({ "a", "b" }));

    // Asked for at once, a pass runs through the host and answers the request.
    Named("d", "Drill", "01.07.2024", "1");
    EXPECT_TRUE(doc->BoundsPassPending());
    doc->UpdateBounds(false);
    EXPECT_FALSE(doc->BoundsPassPending());
    EXPECT_EQ(chart->MaxDate(), Day(2024, 7, 15));
}

TEST_F(LayoutPassesTest, TheRangeCoversDataDeadlinesAndTheUsersDate)
{
    // No valid rows: from today - 14 over a window of 50 days and 14 more.
    EXPECT_EQ(chart->UserDate(), 0.0); // unset until the first pass
    chart->UpdateBoundsProc();
    EXPECT_EQ(chart->MinDate(), Today() - 14);
    EXPECT_EQ(chart->MaxDate(), Today() + 64);

    // The data alone decides the first range: the unset user date adds nothing.
    charttest::ChartFixture other;
    other.ShowChart(400, 300);
    TTimeChart &chart2 = *other.chart;
    other.AddTask("Position 1", "04.03.2024", "1");
    chart2.UpdateBoundsProc();
    EXPECT_EQ(chart2.MinDate(), Day(2024, 2, 19));
    EXPECT_EQ(chart2.MaxDate(), Day(2024, 3, 4) + 50 + 14);
    EXPECT_EQ(chart2.UserDate(), Day(2024, 2, 19));

    // A deadline three months after the end widens the range to it.
    TNodeData *task = other.AddTask("Position 2", "04.03.2024", "5", "01.07.2024");
    chart2.UpdateBoundsProc();
    EXPECT_EQ(chart2.MinDate(), Day(2024, 2, 19));
    EXPECT_EQ(chart2.MaxDate(), Day(2024, 7, 15));
    // A changed range rebuilds the holidays it shows. The ends stay: they walk over
    // the holidays of every year, not only the range's.
    TDocumentSetup setup = other.doc->Setup();
    setup.FHolidayList = { { "Labour Day", 1, 5, true, false }, { "Christmas", 25, 12, true, false } };
    other.doc->SetSetup(setup);
    task->RecalcEndOf = false;
    other.doc->SetData(task, DeadlineColumn, "01.08.2024");
    chart2.RunPendingLayoutPasses();
    EXPECT_EQ(chart2.MaxDate(), Day(2024, 8, 15));
    EXPECT_FALSE(task->RecalcEndOf);
    ASSERT_EQ(other.doc->AutoExcludeList().Count(), 2); // 2024 only: Labour Day and Christmas
    EXPECT_EQ(other.doc->AutoExcludeList()[0].start, Day(2024, 5, 1));

    // A date the user goes to beyond the data widens the range; scrolling to the
    // end moves it on by a window.
    const TDateTime september = Day(2024, 9, 1);
    chart2.SetUserdate(september + 0.5);
    chart2.RunPendingLayoutPasses();
    EXPECT_EQ(chart2.MaxDate(), september);
    chart2.SetTimeChartDestination(september, 0, true);
    EXPECT_EQ(chart2.TimeChartStart(), september - 50);
    EXPECT_EQ(chart2.UserDate(), september);
    chart2.SetTimeChartStart(september);
    EXPECT_EQ(chart2.UserDate(), september + 50);
    chart2.RunPendingLayoutPasses();
    EXPECT_EQ(chart2.MaxDate(), september + 50);
}

TEST_F(LayoutPassesTest, EmptyRowsAreHiddenOnRequest)
{
    const QStringList all = { "Press", "Press (1)", "Press (2)", "Saw", "Lathe", "Drill" };
    AddTask("Press", "04.03.2024", "1");
    TNodeData *saw = AddTask("Saw", "04.03.2024", "1");
    chart->UpdateEmptyRowsProc();
    EXPECT_EQ(ShownNames(), all);

    chartHost.settings.HideMultiRows = true;
    chart->UpdateEmptyRowsProc();
    EXPECT_EQ(ShownNames(), QStringList({ "Press", "Saw", "Lathe", "Drill" }));
    EXPECT_EQ(chart->TimeChartBox().VertScrollInfo().Max(), 4 * 42);
    AddTask("Press (2)", "04.03.2024", "1");
    AddAbsence("Drill", "04.03.2024", "1");
    chart->RunPendingLayoutPasses(); // the new row's position asked for the pass
    EXPECT_EQ(ShownNames(), QStringList({ "Press", "Press (2)", "Saw", "Lathe", "Drill" }));
    EXPECT_EQ(doc->GetPositionOf(saw), 2);

    chartHost.settings.HideRows = true;
    chart->UpdateEmptyRowsProc();
    EXPECT_EQ(ShownNames(), QStringList({ "Press", "Press (2)", "Saw", "Drill" }));
    EXPECT_EQ(RowNames(doc->ChartRows().NoAutoGlobalPositionFilter()), all);
    EXPECT_TRUE(doc->BoundsPassPending());

    // Hiding every row shows them all.
    DeleteAllRows();
    chart->UpdateEmptyRowsProc();
    EXPECT_EQ(ShownNames(), all);
}

// Day mode counts the end day whole (a one-day gap); hours mode compares times.
TEST_F(LayoutPassesTest, OverlapsInDayAndHoursMode)
{
    Named("first", "Saw", "01.03.2024", "3"); // Friday to Tuesday 5th
    Named("second", "Saw", "05.03.2024", "1");
    Named("elsewhere", "Lathe", "05.03.2024", "1");
    Named("everyone", "*", "05.03.2024", "1");
    EXPECT_TRUE(chart->UpdateOverlappingProc());
    EXPECT_EQ(Overlapping(), QStringList({ "first", "second" }));
    EXPECT_TRUE(doc->HasOverlappingNodes());

    // A (1st-10th), B (2nd-3rd), C (5th-6th): C is compared with A, which ends latest.
    DeleteAllRows();
    doc->SetMinUnit(muMinute);
    Named("A", "Lathe", "01.04.2024 07:00:00", "80"); // ten working days of 8 hours
    TNodeData *b = Named("B", "Lathe", "02.04.2024 07:00:00", "16");
    TNodeData *c = Named("C", "Lathe", "05.04.2024 07:00:00", "16");
    // The afternoon starts when the morning ends: no overlap in hours mode.
    TNodeData *morning = Named("morning", "Saw", "05.03.2024 07:00:00", "2");
    Named("afternoon", "Saw", doc->GetData_(morning, cnEnd), "4");
    chart->UpdateOverlappingProc();
    EXPECT_EQ(Overlapping(), QStringList({ "A", "B", "C" }));

    // What the user leaves overlapping is not marked; a deleted row leaves the list.
    chart->IgnoreOverlappingNode(*b);
    chart->IgnoreOverlappingNode(*c);
    chart->UpdateOverlappingProc();
    EXPECT_EQ(Overlapping(), QStringList({ "A" }));
    EXPECT_EQ(chart->IgnoreOverlappingNodes().size(), 2);
    doc->DeleteNode(b, true);
    EXPECT_EQ(chart->IgnoreOverlappingNodes(), QStringList({ c->ID }));
    EXPECT_EQ(doc->OverlappingCount(), 1);
}

TEST_F(LayoutPassesTest, BarsAreMarkedForRedrawWhenTheirMarkChanges)
{
    TNodeData *a = Named("a", "Saw", "04.03.2024", "2");
    TNodeData *b = Named("b", "Lathe", "04.03.2024", "2");
    TNodeData *c = Named("c", "Lathe", "11.03.2024", "2");
    auto clear = [&] { a->RecalcBitmap = b->RecalcBitmap = c->RecalcBitmap = false; };
    clear();
    chart->UpdateOverlappingProc();
    EXPECT_FALSE(a->RecalcBitmap || b->RecalcBitmap || c->RecalcBitmap);
    // The first overlap turns every bar grey: all are drawn again.
    doc->SetData(c, 1, "05.03.2024");
    clear();
    chart->UpdateOverlappingProc();
    EXPECT_TRUE(a->RecalcBitmap && b->RecalcBitmap && c->RecalcBitmap);
    // Another overlap joins: the newly marked bars; those marked before stay red.
    TNodeData *d = Named("d", "Saw", "05.03.2024", "1");
    TNodeData *e = Named("e", "Drill", "04.03.2024", "1");
    clear();
    d->RecalcBitmap = e->RecalcBitmap = false;
    chart->UpdateOverlappingProc();
    EXPECT_TRUE(a->RecalcBitmap && d->RecalcBitmap);
    EXPECT_FALSE(b->RecalcBitmap || c->RecalcBitmap || e->RecalcBitmap);
    EXPECT_EQ(Overlapping(), QStringList({ "a", "b", "c", "d" }));
}

// A document just read has no range yet: the chart says it is preparing (no
// day 0 with bars at random places) until the first range pass.
TEST_F(LayoutPassesTest, ANewDocumentShowsThePreparingChartUntilItsRangeIsKnown)
{
    Named("a", "Saw", "04.03.2024", "3");
    chart->RunPendingLayoutPasses();
    const QImage ready = chart->TimeChart().grab().toImage();
    chart->DocumentReset();
    EXPECT_TRUE(chart->IsPreparing());
    const QImage preparing = chart->TimeChart().grab().toImage();
    EXPECT_NE(preparing, ready);
    // Nothing but the background and the text in the middle.
    const QRgb background = preparing.pixel(2, 2);
    for (int y = 0; y < preparing.height(); y += 3)
        for (int x : { 2, preparing.width() - 3 })
            ASSERT_EQ(preparing.pixel(x, y), background) << x << "," << y;
    doc->UpdateBounds(true);
    chart->RunPendingLayoutPasses();
    EXPECT_FALSE(chart->IsPreparing());
    EXPECT_EQ(chart->TimeChart().grab().toImage(), ready);
}

// A pass over many changed rows hands each panel a few rectangles, however
// many rows it repaints: the bars' own areas, merged past a handful.
TEST_F(LayoutPassesTest, PassesOverManyRowsHandThePanelsFewRectangles)
{
    constexpr int rows = 10000;
    {
        UndoRecordingPause noUndo(doc->UndoRedo());
        UpdateBracket bracket(*doc, QString());
        const QStringList positions { "Press", "Saw", "Lathe", "Drill" };
        for (int i = 0; i < rows; ++i) {
            TNodeData *node = doc->AddNode(QString(), tbTable, false);
            doc->DoSetData(node, 0, positions[i % 4], false);
            doc->DoSetData(node, 1, DateToStr(Day(2024, 3, 1) + i % 60), false);
            doc->DoSetData(node, 3, QString::number(1 + i % 3), false);
        }
    }
    QCoreApplication::processEvents();
    const std::array<TCanvasPanel *, 2> panels { &chart->TimeChart(), &chart->SmallTimeChart() };
    auto handed = [&] {
        return std::array<qint64, 2> { panels[0]->InvalidateCount(), panels[1]->InvalidateCount() };
    };
    auto expectFew = [&](const std::array<qint64, 2> &before, const char *pass) {
        const std::array<qint64, 2> after = handed();
        for (int p = 0; p < 2; ++p)
            EXPECT_LE(after[p] - before[p], 2 * TDirtyArea::kMaxRects) << pass << " on panel " << p;
    };

    // Every task overlaps another: the first overlap pass draws every bar anew.
    std::array<qint64, 2> before = handed();
    ASSERT_TRUE(chart->UpdateOverlappingProc());
    ASSERT_TRUE(doc->HasOverlappingNodes());
    expectFew(before, "overlaps");

    // An absence for everyone over all the tasks' days: every task's end moves.
    TNodeData *absence = AddAbsence("Saw", "01.03.2024", "60");
    before = handed();
    doc->SetData_(absence, cnPosition, "*");
    expectFew(before, "absence");

    // The selection flash over every row.
    doc->GetTable(tbTable).Tree().SelectAll(false);
    before = handed();
    chart->FlashSelectedTimerTimer();
    expectFew(before, "flash");
}

// Arranging follows the idle tick's overlap pass when the option is on, never a
// pass a command runs itself.
TEST_F(LayoutPassesTest, AutoArrangeFollowsOnlyTheIdleTicksPass)
{
    int arranged = 0;
    chart->SetOnAutoArrange([&] { ++arranged; });
    Named("a", "Saw", "04.03.2024", "2");
    Named("b", "Saw", "05.03.2024", "2");
    chart->RunPendingLayoutPasses();
    EXPECT_EQ(arranged, 0);
    chartHost.settings.AutoArrange = true;
    doc->UpdateOverlapping(false);
    EXPECT_EQ(arranged, 0);
    doc->UpdateOverlapping(true);
    chart->RunPendingLayoutPasses();
    EXPECT_EQ(arranged, 1);
    chart->RunPendingLayoutPasses(); // nothing pending
    EXPECT_EQ(arranged, 1);
    {
        UpdateBracket bracket(*doc, "loading");
        chart->RunPendingLayoutPasses();
    }
    EXPECT_EQ(arranged, 1);
    chart->RunPendingLayoutPasses();
    EXPECT_EQ(arranged, 2);
}

// Each tab shows its group's rows with its own row set.
TEST_F(LayoutPassesTest, TabsSwitchRowsAndRowSets)
{
    TCommaText saws;
    saws.Add(PositionItem("Saw"));
    saws.Add(PositionItem("Lathe"));
    SetGroups({ "Saws" }, { saws.AsString() }, { rsTopMiddleBottom, rsTop });
    chart->TabControl1Change();
    QTabBar &tabs = chart->TabControl1();
    ASSERT_EQ(tabs.count(), 2);
    EXPECT_EQ(tabs.tabText(1), "Saws");

    chartHost.events.clear();
    QTest::mouseClick(&tabs, Qt::LeftButton, Qt::NoModifier, tabs.tabRect(1).center());
    EXPECT_EQ(doc->ShownGroup(), 1);
    EXPECT_EQ(ShownNames(), QStringList({ "Saw", "Lathe" }));
    EXPECT_EQ(chart->GetRowSet(), rsTop);
    EXPECT_EQ(chart->TimeChartRowHeight(0), 15);
    EXPECT_EQ(chart->TimeChartBox().VertScrollInfo().Max(), 30);
    EXPECT_TRUE(chartHost.events.contains("group 1 Saws"));
    EXPECT_TRUE(chartHost.events.contains("rowset 2"));
    EXPECT_TRUE(doc->BoundsPassPending());

    // The row set chosen on a tab is kept for it; a bracket's end keeps the tab.
    chart->SetRowSet(rsTopMiddle);
    EXPECT_EQ(doc->Setup().FRowSets, std::vector<int>({ rsTopMiddleBottom, rsTopMiddle }));
    {
        UpdateBracket bracket(*doc, "editing");
    }
    EXPECT_EQ(tabs.currentIndex(), 1);
    EXPECT_EQ(ShownNames(), QStringList({ "Saw", "Lathe" }));

    QTest::mouseClick(&tabs, Qt::LeftButton, Qt::NoModifier, tabs.tabRect(0).center());
    EXPECT_EQ(doc->GetRowCount(), 6);
    EXPECT_EQ(chart->TimeChartRowHeight(0), 42);
    QTest::mouseClick(&tabs, Qt::LeftButton, Qt::NoModifier, tabs.tabRect(1).center());
    EXPECT_EQ(chart->TimeChartRowHeight(0), 27);

    chart->AddPositionGroup("Presses", PositionItem("Press", 3));
    EXPECT_EQ(tabs.count(), 3);
    chart->ResetPositionGroups();
    EXPECT_EQ(tabs.count(), 1);
    EXPECT_EQ(doc->GetRowCount(), 6);
}

// Filters are kept per tab caption: tab 0's caption is the form's until the language
// changes it, and syncing the groups never writes it back.
TEST_F(LayoutPassesTest, SyncingTheGroupsKeepsTheSummaryTabsCaption)
{
    QTabBar &tabs = chart->TabControl1();
    chart->TabControl1Change();
    EXPECT_EQ(tabs.tabText(0), "Gesamtansicht");

    tabs.setTabText(0, "General View"); // as the language change does
    SetGroups({ "Saws" }, { PositionItem("Saw") }, { rsTopMiddleBottom, rsTop });
    chart->TabControl1Change();
    {
        UpdateBracket bracket(*doc, "editing");
    }
    chart->AddPositionGroup("Presses", PositionItem("Press", 3));
    QTest::mouseClick(&tabs, Qt::LeftButton, Qt::NoModifier, tabs.tabRect(2).center());
    EXPECT_EQ(tabs.tabText(0), "General View");
    EXPECT_EQ(tabs.tabText(2), "Presses");
    chart->ResetPositionGroups();
    ASSERT_EQ(tabs.count(), 1);
    EXPECT_EQ(tabs.tabText(0), "General View");
    EXPECT_TRUE(chartHost.events.contains("group 0 General View"));
}

// Against a plain reference: a task is marked exactly when it overlaps the
// latest-ending earlier task of its row, or is that task for a later one.
TEST(OverlapSweep, MarksWhatTheLatestEndingEarlierTaskOverlaps)
{
    std::mt19937 random(7);
    std::vector<TNodeData> nodes(60);
    // The sorted order: by start, equal starts as listed.
    auto before = [](const auto &items, std::size_t i, std::size_t j) {
        return items[i].start < items[j].start || (items[i].start == items[j].start && i < j);
    };
    struct Task {
        double start, end;
        int row;
        TNodeData *node;
    };
    TOverlapRows rows;
    for (int round = 0; round < 200; ++round) {
        std::vector<Task> items;
        rows.Reset(4);
        for (TNodeData &node : nodes) {
            const double start = random() % 40;
            items.push_back({ start, start + 1 + random() % 6, int(random() % 4), &node });
            rows.Add(items.back().row, &node, std::uint32_t(items.size() - 1), start, items.back().end);
        }
        const double gap = round % 2;
        std::vector<TNodeData *> found;
        for (const std::uint32_t index : OverlappingTasks(rows, gap, nullptr))
            found.push_back(items[index].node);
        ASSERT_EQ(std::set<TNodeData *>(found.begin(), found.end()).size(), found.size());
        std::set<const TNodeData *> expected;
        for (std::size_t j = 0; j < items.size(); ++j) {
            // Of the earlier tasks of j's row the one ending latest (the first of
            // equal ones).
            std::size_t latest = items.size();
            for (std::size_t i = 0; i < items.size(); ++i) {
                if (items[i].row != items[j].row || !before(items, i, j))
                    continue;
                if (latest == items.size() || items[i].end > items[latest].end
                    || (items[i].end == items[latest].end && before(items, i, latest)))
                    latest = i;
            }
            if (latest < items.size() && items[latest].end + gap > items[j].start) {
                expected.insert(items[j].node);
                expected.insert(items[latest].node);
            }
        }
        ASSERT_EQ(std::set<const TNodeData *>(found.begin(), found.end()), expected) << round;
    }
}
