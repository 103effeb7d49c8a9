#include "components/gui/GridTreeColumns.h"

#include "components/GridTreeErrors.h"
#include "tests/support/FakeColumnsHost.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

using testsupport::TFakeHost;

class Columns : public ::testing::Test {
protected:
    // `count` columns of the default width 50.
    void AddColumns(int count)
    {
        for (int i = 0; i < count; ++i)
            columns.Add();
        host.Log.clear();
    }
    // "index:left" for each column in position order.
    QString Layout() const
    {
        QStringList parts;
        for (TColumnPosition p = 0; p < TColumnPosition(columns.Count()); ++p) {
            const TGridTreeColumn &c = columns[columns.ColumnFromPosition(p)];
            EXPECT_EQ(c.Position(), p);
            parts << QStringLiteral("%1:%2").arg(c.Index()).arg(c.Left());
        }
        return parts.join(u' ');
    }
    TGridTreeColumn &Hide(TColumnIndex i)
    {
        TGTColumnOptions o = columns[i].Options();
        o.exclude(coVisible);
        columns[i].SetOptions(o);
        return columns[i];
    }
    void Fix(TColumnIndex i)
    {
        TGTColumnOptions o = columns[i].Options();
        o.include(coFixed);
        columns[i].SetOptions(o);
    }

    TFakeHost host;
    TGridTreeColumns columns { host };
};

} // namespace

TEST_F(Columns, NewColumnsGoLastAndTakeTheTreesLook)
{
    columns.Add();
    EXPECT_EQ(host.Main, 0); // the first column becomes the main column
    EXPECT_TRUE(host.Log.contains("scrollbar") && host.Log.contains("tree"));
    columns.Add();
    columns.Add();
    EXPECT_EQ(Layout(), "0:0 1:50 2:100");
    EXPECT_EQ(columns.TotalWidth(), 150);
    EXPECT_EQ(columns[2].Color(), RGB(1, 2, 3));
}

TEST_F(Columns, MovingAColumnReordersTheLeftEdges)
{
    AddColumns(3);
    columns[2].SetPosition(0);
    EXPECT_EQ(Layout(), "2:0 0:50 1:100");
    EXPECT_EQ(host.Log.front(), "cancel edit");
    // Past the end means the last position.
    columns[2].SetPosition(99);
    EXPECT_EQ(Layout(), "0:0 1:50 2:100");
    columns.ReorderColumns(true);
    EXPECT_EQ(Layout(), "2:0 1:50 0:100");
}

TEST_F(Columns, FixedColumnsStayTogetherAtTheLeft)
{
    AddColumns(4);
    Fix(0);
    Fix(1);
    // A scrolling column moved in front of the fixed ones becomes fixed; a fixed one
    // moved behind them stops being fixed.
    columns[3].SetPosition(0);
    EXPECT_TRUE(columns[3].Options().contains(coFixed));
    columns[0].SetPosition(3);
    EXPECT_FALSE(columns[0].Options().contains(coFixed));
    EXPECT_EQ(columns.GetVisibleFixedWidth(), 100);
    EXPECT_TRUE(host.Log.contains("rescale"));
}

TEST_F(Columns, HiddenColumnsKeepTheirPlaceButTakeNoRoom)
{
    AddColumns(3);
    Hide(1);
    EXPECT_TRUE(host.Log.contains("scrollbar") && host.Log.contains("tree"));
    EXPECT_EQ(Layout(), "0:0 1:50 2:50");
    EXPECT_EQ(columns.ColumnFromPosition(QPoint(49, 5)), 0);
    EXPECT_EQ(columns.ColumnFromPosition(QPoint(50, 5)), 2);
    EXPECT_EQ(columns.ColumnFromPosition(QPoint(99, 5)), 2);
    EXPECT_EQ(columns.ColumnFromPosition(QPoint(100, 5)), InvalidColumn);
    EXPECT_EQ(columns.ColumnFromPosition(QPoint(-1, 5)), InvalidColumn);
    EXPECT_EQ(columns.ColumnFromPosition(QPoint(10, 201)), InvalidColumn);
    EXPECT_EQ(columns.ColumnFromPosition(TColumnPosition(3)), NoColumn);
    EXPECT_EQ(columns.TotalWidth(), 100);
    // Walks skip it only when asked for visible columns.
    EXPECT_EQ(columns.GetNextColumn(0), 1);
    EXPECT_EQ(columns.GetNextVisibleColumn(0), 2);
    EXPECT_EQ(columns.GetPreviousVisibleColumn(2), 0);
    EXPECT_EQ(columns.GetNextVisibleColumn(2), InvalidColumn);
    EXPECT_EQ(columns.GetPreviousColumn(0), InvalidColumn);
    EXPECT_EQ(columns.GetNextColumn(-1), InvalidColumn);
    EXPECT_EQ(columns.GetVisibleColumns(), (std::vector<TGridTreeColumn *> { &columns[0], &columns[2] }));
    TGTColumnOptions noFocus = columns[0].Options();
    noFocus.exclude(coAllowFocus);
    columns[0].SetOptions(noFocus);
    EXPECT_EQ(columns.GetFirstVisibleColumn(), 0);
    EXPECT_EQ(columns.GetFirstVisibleColumn(true), 2);
    EXPECT_EQ(columns.GetLastVisibleColumn(), 2);
}

TEST_F(Columns, ScrollingMovesAllButTheFixedColumns)
{
    AddColumns(3);
    Fix(0);
    host.Offset = 30;
    int left = 0, right = 0;
    columns.GetColumnBounds(0, left, right);
    EXPECT_EQ(std::pair(left, right), std::pair(0, 50));
    columns.GetColumnBounds(1, left, right);
    EXPECT_EQ(std::pair(left, right), std::pair(20, 70));
    // Right of the fixed area points are scrolled too: x 60 is 90 in the column area.
    EXPECT_EQ(columns.ColumnFromPosition(QPoint(60, 5)), 1);
    EXPECT_EQ(columns.ColumnFromPosition(QPoint(75, 5)), 2);
    EXPECT_EQ(columns.ColumnFromPosition(QPoint(75, 5), false), 1);
    EXPECT_EQ(columns.ColumnFromPosition(QPoint(40, 5)), 0);
    // Right to left the column area starts at the RTL offset.
    host.Offset = 0;
    host.RTL = true;
    host.RTLOffset = 250;
    EXPECT_EQ(columns.ColumnFromPosition(QPoint(250, 5)), 0);
    columns.GetColumnBounds(2, left, right);
    EXPECT_EQ(std::pair(left, right), std::pair(350, 400));
}

TEST_F(Columns, WidthsStayWithinTheirLimitsAndAreReported)
{
    AddColumns(2);
    columns[0].SetWidth(5);
    EXPECT_EQ(columns[0].Width(), 10);
    EXPECT_EQ(columns[0].LastWidth(), 50);
    EXPECT_EQ(host.Log, QStringList { "resize 0" });
    EXPECT_EQ(columns[1].Left(), 10);
    columns[0].SetWidth(10); // no change, no report
    EXPECT_EQ(host.Log.size(), 1);
    columns[0].SetMaxWidth(5); // raised to the minimum
    EXPECT_EQ(columns[0].MaxWidth(), 10);
    columns[0].SetMaxWidth(40);
    columns[0].SetMinWidth(30); // the width follows a new minimum
    EXPECT_EQ(columns[0].Width(), 30);
    columns[0].SetMinWidth(60); // limited to the maximum
    EXPECT_EQ(columns[0].MinWidth(), 40);
    EXPECT_EQ(columns[0].Width(), 40);
    // While loading or inside an update of the collection nothing is reported.
    host.Log.clear();
    columns.BeginUpdate();
    columns[1].SetWidth(70);
    EXPECT_TRUE(host.Log.isEmpty());
    columns.EndUpdate();
    EXPECT_FALSE(host.Log.contains("resize 1"));
    EXPECT_EQ(columns.TotalWidth(), 110);
    // While the header scales, the limits do not apply.
    host.States.include(hsScaling);
    columns[1].SetWidth(3);
    EXPECT_EQ(columns[1].Width(), 3);
}

TEST_F(Columns, FixedColumnsKeepWithinTheFixedAreaLimits)
{
    AddColumns(3);
    Fix(0);
    Fix(1);
    host.Client = 200;
    host.Constraints.MaxWidthPercent = 50;
    host.Constraints.MinWidthPercent = 40;
    // At most 100 together: column 1 may have 50 beside column 0's 50.
    columns[0].SetWidth(80);
    EXPECT_EQ(columns[0].Width(), 50);
    // At least 80 together: column 0 needs 30.
    columns[0].SetWidth(20);
    EXPECT_EQ(columns[0].Width(), 30);
    // A scrolling column knows only its own limits.
    columns[2].SetWidth(180);
    EXPECT_EQ(columns[2].Width(), 180);
}

TEST_F(Columns, TheAutoSizeColumnTakesTheRestOfTheClientWidth)
{
    AddColumns(3);
    host.Options.include(hoAutoResize);
    columns[0].SetWidth(80);
    // With AutoSizeIndex -1 the last column fills 400 - 80 - 50.
    EXPECT_EQ(columns[2].Width(), 270);
    EXPECT_EQ(host.Log, (QStringList { "resize 2", "resize 0" }));
    // Setting the auto-size column's width does not stick.
    columns[2].SetWidth(20);
    EXPECT_EQ(columns[2].Width(), 270);
    // Another auto-size column: 400 - 80 - 100 = 220, limited to its maximum.
    host.AutoSize = 1;
    columns[1].SetMaxWidth(200);
    columns[2].SetWidth(100);
    EXPECT_EQ(columns[1].Width(), 200);
    // Raised to its minimum when the others take more than the client width.
    host.Client = 50;
    columns.AdjustAutoSize();
    EXPECT_EQ(columns[1].Width(), 10);
    EXPECT_EQ(columns.GetScrollWidth(), 63); // (80 + 10 + 100) / 3, rounded
}

TEST_F(Columns, RemovingColumnsKeepsTheIndicesThatNameThem)
{
    AddColumns(5);
    columns[4].SetPosition(0); // order 4 0 1 2 3
    columns.AdjustHoverColumn(QPoint(120, 5)); // position 2: column 1
    columns.AdjustDownColumn(QPoint(170, 5)); // column 2
    host.Sort = 3;
    host.Main = 2;
    host.AutoSize = 1;
    ASSERT_EQ(columns.HoverIndex(), 1);
    ASSERT_EQ(columns.DownIndex(), 2);

    columns.Delete(1);
    EXPECT_EQ(columns.HoverIndex(), NoColumn);
    EXPECT_EQ(columns.DownIndex(), 1);
    EXPECT_EQ(host.Sort, 2);
    EXPECT_EQ(host.AutoSize, NoColumn);
    EXPECT_EQ(host.Main, 1); // still the same column
    EXPECT_EQ(Layout(), "3:0 0:50 1:100 2:150");

    columns.Delete(1); // the main and the pressed column
    EXPECT_EQ(host.Main, 0);
    EXPECT_EQ(columns.DownIndex(), NoColumn);
    EXPECT_EQ(host.Sort, 1);
    EXPECT_EQ(Layout(), "2:0 0:50 1:100");

    columns.Delete(1); // the sort column
    EXPECT_EQ(host.Sort, NoColumn);
    columns.Delete(0);
    columns.Delete(0);
    EXPECT_EQ(host.Main, NoColumn);
    EXPECT_EQ(columns.TotalWidth(), 0);
    EXPECT_THROW(columns.Delete(0), EGridTreeAssertion);
}

TEST_F(Columns, ClearingResetsTheHeadersIndicesUnlessLoading)
{
    AddColumns(3);
    columns.AdjustHoverColumn(QPoint(10, 5));
    host.Sort = 2;
    host.AutoSize = 1;
    host.Loading = true;
    columns.Clear();
    EXPECT_EQ(columns.HoverIndex(), NoColumn);
    EXPECT_EQ(host.Sort, 2);
    host.Loading = false;
    AddColumns(1);
    columns.Clear();
    EXPECT_EQ(host.Sort, NoColumn);
    EXPECT_EQ(host.AutoSize, NoColumn);
    EXPECT_EQ(host.Main, NoColumn);
    EXPECT_EQ(columns.Count(), 0);
}

TEST_F(Columns, LoadedPositionsAreSortedOutAfterwards)
{
    host.Loading = true;
    AddColumns(3);
    columns[0].SetPosition(2);
    columns[1].SetPosition(0);
    columns[2].SetPosition(2); // a repeated position
    host.Loading = false;
    columns.FixPositions();
    EXPECT_EQ(Layout(), "1:0 0:50 2:100");
}

TEST_F(Columns, HoverDownAndSplitterFollowTheOptions)
{
    AddColumns(3);
    EXPECT_TRUE(columns.AdjustHoverColumn(QPoint(60, 5)));
    EXPECT_EQ(host.Log, QStringList { "header 1" });
    EXPECT_FALSE(columns.AdjustHoverColumn(QPoint(70, 5)));
    EXPECT_TRUE(columns.AdjustHoverColumn(QPoint(300, 5)));
    EXPECT_EQ(columns.HoverIndex(), NoColumn);
    TGTColumnOptions o = columns[0].Options();
    o.exclude(coAllowClick);
    columns[0].SetOptions(o);
    columns.AdjustDownColumn(QPoint(10, 5));
    EXPECT_EQ(columns.DownIndex(), NoColumn);
    columns.AdjustDownColumn(QPoint(110, 5));
    EXPECT_EQ(columns.DownIndex(), 2);

    EXPECT_TRUE(columns.CanSplitterResize(QPoint(), 0));
    host.VetoSplitter = 0;
    EXPECT_FALSE(columns.CanSplitterResize(QPoint(), 0));
    Hide(1);
    EXPECT_FALSE(columns.CanSplitterResize(QPoint(), 1));
}

TEST_F(Columns, AnimatedResizeScrollsTheRestInThirtyTwoSteps)
{
    AddColumns(2);
    columns.AnimatedResize(0, 114);
    ASSERT_EQ(host.Log.size(), 33);
    EXPECT_EQ(host.Log[0], "step 50 2");
    EXPECT_EQ(host.Log[31], "step 112 2");
    EXPECT_EQ(host.Log[32], "resize 0");
    EXPECT_EQ(columns[0].Width(), 114);
    host.Log.clear();
    columns[0].RestoreLastWidth();
    EXPECT_EQ(host.Log[0], "step 114 -2");
    EXPECT_EQ(host.Log[31], "step 52 -2");
    EXPECT_EQ(columns[0].Width(), 50);
    // Less than 32 pixels, switched off, or no window: no steps.
    host.Log.clear();
    columns.AnimatedResize(0, 81);
    host.Options.include(hoDisableAnimatedResize);
    columns.AnimatedResize(0, 200);
    host.Options.exclude(hoDisableAnimatedResize);
    host.Window = false;
    columns.AnimatedResize(0, 5);
    EXPECT_EQ(host.Log, (QStringList { "resize 0", "resize 0", "resize 0" }));
    EXPECT_EQ(columns[0].Width(), 10);
}

TEST_F(Columns, OwnColoursAndAlignmentsEndFollowingTheTree)
{
    AddColumns(2);
    TGridTreeColumn &c = columns[1];
    c.SetAlignment(taRightJustify);
    EXPECT_EQ(host.Log, (QStringList { "header 1", "tree" }));
    c.SetColor(clRed);
    host.Color = clBlue;
    c.ParentColorChanged();
    EXPECT_EQ(c.Color(), clRed);
    TGTColumnOptions o = c.Options();
    o.include(coParentColor);
    c.SetOptions(o);
    EXPECT_EQ(c.Color(), clBlue);
    // The caption has its own alignment only when it differs from the column's.
    EXPECT_EQ(c.CaptionAlignment(), taRightJustify);
    c.SetCaptionAlignment(taCenter);
    EXPECT_EQ(c.CaptionAlignment(), taCenter);
    c.SetCaptionAlignment(taRightJustify);
    EXPECT_FALSE(c.Options().contains(coUseCaptionAlignment));
}

TEST_F(Columns, AssignCopiesTheWholeLayout)
{
    AddColumns(3);
    columns[0].SetText("Position");
    columns[1].SetWidth(120);
    columns[2].SetPosition(0);
    Hide(1);
    TFakeHost otherHost;
    TGridTreeColumns copy(otherHost);
    copy.Add();
    EXPECT_FALSE(copy.Equals(columns));
    copy.Assign(columns);
    EXPECT_TRUE(copy.Equals(columns));
    EXPECT_EQ(copy[0].Text(), "Position");
    EXPECT_EQ(copy[1].Position(), 2u);
    EXPECT_EQ(copy[0].Left(), 50);
    copy[1].SetWidth(60);
    EXPECT_FALSE(copy.Equals(columns));
}
