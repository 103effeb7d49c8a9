// Sharing width changes over columns, springs and restoring, the indices the
// header keeps when columns go, and a planner's session with a 20-column table.
#include "components/gui/GTHeader.h"
#include "components/gui/GridTreeColumns.h"
#include "components/gui/GridTreeOptions.h"
#include "components/gui/GridTreeView.h"
#include "tests/support/PixelTest.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>
#include <random>

namespace {

TGridTreeColumn &AddColumn(TGTHeader &header, int width, int minWidth, int maxWidth, TGTColumnOptions options)
{
    TGridTreeColumn &c = header.Columns().Add();
    c.SetMaxWidth(maxWidth);
    c.SetMinWidth(minWidth);
    c.SetWidth(width);
    c.SetOptions(options);
    return c;
}

} // namespace

TEST(HeaderSizing, ResizeColumnsSharesAChangeEvenlyWithinTheLimits)
{
    std::mt19937 rng(7);
    const auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const TGTColumnOptions wanted { coVisible, coResizable };
    for (int run = 0; run < 300; ++run) {
        TGridTreeView view;
        TGTHeader &header = view.Header();
        const int count = pick(1, 8);
        for (int i = 0; i < count; ++i) {
            const int width = pick(20, 200);
            TGTColumnOptions options = DefaultColumnOptions;
            if (pick(0, 4) == 0)
                options.exclude(coResizable);
            AddColumn(header, width, pick(10, width), pick(width, 300), options);
        }
        const int first = pick(0, count - 1);
        const int last = pick(first, count - 1);
        const int change = pick(-400, 400);
        std::vector<int> before;
        for (int i = 0; i < count; ++i)
            before.push_back(header.Columns()[i].Width());

        const int applied = header.ResizeColumns(change, first, last, wanted);

        // What could give: the columns in range with the options, up to their limits.
        int room = 0;
        for (int p = first; p <= last; ++p) {
            const TGridTreeColumn &c = header.Columns()[p];
            if ((c.Options() * wanted) == wanted)
                room += change > 0 ? c.MaxWidth() - before[std::size_t(p)]
                                   : before[std::size_t(p)] - c.MinWidth();
        }
        EXPECT_EQ(applied, change > 0 ? std::min(change, room) : -std::min(-change, room)) << "run " << run;
        int sum = 0, lowest = INT32_MAX, highest = INT32_MIN;
        for (int i = 0; i < count; ++i) {
            const TGridTreeColumn &c = header.Columns()[i];
            const int delta = c.Width() - before[std::size_t(i)];
            sum += delta;
            const bool candidate = i >= first && i <= last && (c.Options() * wanted) == wanted;
            if (!candidate) {
                EXPECT_EQ(delta, 0);
                continue;
            }
            EXPECT_GE(c.Width(), c.MinWidth());
            EXPECT_LE(c.Width(), c.MaxWidth());
            // Columns not stopped by a limit moved alike, give or take the odd pixel.
            if (c.Width() != c.MinWidth() && c.Width() != c.MaxWidth()) {
                lowest = std::min(lowest, delta);
                highest = std::max(highest, delta);
            }
        }
        EXPECT_EQ(sum, applied);
        if (lowest <= highest) {
            EXPECT_LE(highest - lowest, 1) << "run " << run;
        }
    }
}

TEST(HeaderSizing, SpringColumnsShareTheHeadersGrowthAndRestoringUndoesAChange)
{
    TGridTreeView view;
    view.resize(400, 200);
    TGTHeader &header = view.Header();
    header.SetOptions(
        header.Options() + TGTHeaderOptions { hoVisible, hoAutoSpring, hoDisableAnimatedResize });
    for (int i = 0; i < 4; ++i) {
        TGTColumnOptions options = DefaultColumnOptions;
        options.set(coAutoSpring, i % 2 == 1);
        AddColumn(header, 80, 10, 1000, options);
    }
    view.show();
    QApplication::processEvents();
    view.resize(410, 200);
    QApplication::processEvents();
    EXPECT_EQ(header.Columns()[1].Width(), 85);
    EXPECT_EQ(header.Columns()[3].Width(), 85);
    EXPECT_EQ(header.Columns()[0].Width(), 80);
    view.resize(400, 200);
    QApplication::processEvents();
    EXPECT_EQ(header.Columns()[1].Width(), 80);
    EXPECT_EQ(header.Columns()[3].Width(), 80);

    header.Columns()[0].SetWidth(120);
    header.Columns()[2].SetWidth(30);
    header.RestoreColumns();
    EXPECT_EQ(header.Columns()[0].Width(), 80);
    EXPECT_EQ(header.Columns()[2].Width(), 80);
}

TEST(HeaderSizing, RemovedColumnsTakeTheHeadersIndicesAlong)
{
    TGridTreeView view;
    TGTHeader &header = view.Header();
    for (int i = 0; i < 6; ++i)
        header.Columns().Add();
    header.SetSortColumn(3);
    header.SetMainColumn(4);
    header.SetAutoSizeIndex(5);
    header.Columns().Delete(1);
    // The store's sort column follows the columns.
    EXPECT_EQ(view.Tree()->SortColumn(), 2);
    EXPECT_EQ(header.MainColumn(), 3);
    EXPECT_EQ(header.AutoSizeIndex(), 4);
    header.Columns().Delete(2);
    EXPECT_EQ(header.SortColumn(), NoColumn);
    header.Columns().Delete(2);
    EXPECT_EQ(header.MainColumn(), 0);
    // Out of range sort columns are clamped.
    header.SetSortColumn(99);
    EXPECT_EQ(header.SortColumn(), 2);
    header.SetSortColumn(-5);
    EXPECT_EQ(header.SortColumn(), NoColumn);
}

// A planner's table: sorted by header clicks, a column widened, one moved and one
// fitted to its content, each step by the mouse.
TEST(HeaderSizing, APlannerSortsResizesMovesAndFitsColumns)
{
    class TTable : public TGridTreeView {
    protected:
        int DoGetNodeWidth(TGridNode *, TColumnIndex Column, QPainter *) override
        {
            return Column == 6 ? 120 : 30;
        }
    } view;
    view.resize(900, 260);
    TGTHeader &header = view.Header();
    header.SetOptions(
        header.Options() + TGTHeaderOptions { hoVisible, hoHotTrack, hoDblClickResize, hoShowSortGlyphs });
    const char *captions[] = { "Task", "Position", "Start", "End", "Length", "State", "Text", "Done", "Group",
        "Prio", "Cost", "Owner", "Due", "Ref", "Tag", "Note", "Site", "Lot", "Shift", "Plan" };
    for (const char *caption : captions) {
        TGridTreeColumn &c = header.Columns().Add();
        c.SetText(QString::fromLatin1(caption));
        c.SetWidth(70);
    }
    view.Tree()->SetRootNodeCount(40);
    // Clicking the sort column turns the direction, another column sorts by it.
    view.OnHeaderClick = [&](TGTHeader &h, const TGTHeaderHitInfo &hit) {
        if (hit.Column == h.SortColumn())
            h.SetSortDirection(h.SortDirection() == sdAscending ? sdDescending : sdAscending);
        else
            h.SetSortColumn(hit.Column);
    };
    view.show();
    QApplication::processEvents();
    QWidget &strip = view.HeaderWidget();

    QTest::mouseClick(&strip, Qt::LeftButton, {}, QPoint(2 * 70 + 20, 8));
    QTest::mouseClick(&strip, Qt::LeftButton, {}, QPoint(2 * 70 + 20, 8));
    EXPECT_EQ(header.SortColumn(), 2);
    EXPECT_EQ(header.SortDirection(), sdDescending);

    // "Position" wider by 40 pixels at its splitter.
    QTest::mousePress(&strip, Qt::LeftButton, {}, QPoint(139, 8));
    for (int x = 149; x <= 179; x += 10)
        QTest::mouseMove(&strip, QPoint(x, 8));
    QTest::mouseRelease(&strip, Qt::LeftButton, {}, QPoint(179, 8));
    EXPECT_EQ(header.Columns()[1].Width(), 110);

    // "Done" (now at 530..600) in front of "Start" (180..250).
    QTest::mousePress(&strip, Qt::LeftButton, {}, QPoint(560, 8));
    for (int x = 530; x >= 190; x -= 40)
        QTest::mouseMove(&strip, QPoint(x, 8));
    QTest::mouseRelease(&strip, Qt::LeftButton, {}, QPoint(190, 8));
    EXPECT_EQ(header.Columns().ColumnFromPosition(TColumnPosition(2)), 7);

    // "Text" fitted to its widest row: margin 4 + 120.
    int left = 0, right = 0;
    header.Columns().GetColumnBounds(6, left, right);
    QTest::mouseDClick(&strip, Qt::LeftButton, {}, QPoint(right - 1, 8));
    EXPECT_EQ(header.Columns()[6].Width(), 124);

    QTest::mouseMove(&strip, QPoint(40, 8));
    QApplication::processEvents();
    testsupport::SavePng(view.grab().toImage(), QStringLiteral("header_planner_session"));
}

TEST(HeaderSizing, FixedAreaConstraintsBoundTheHeightAndTheFixedColumns)
{
    TGridTreeView view;
    view.resize(400, 300);
    TGTHeader &header = view.Header();
    header.SetOptions(header.Options() + TGTHeaderOptions { hoVisible, hoDisableAnimatedResize });
    for (int i = 0; i < 3; ++i) {
        TGTColumnOptions options = DefaultColumnOptions;
        options.set(coFixed, i < 2);
        AddColumn(header, 100, 10, 1000, options);
    }
    view.show();
    QApplication::processEvents();
    // A maximum set below the minimum lowers the minimum.
    TGTFixedAreaConstraints limits;
    limits.MinHeightPercent = 20;
    limits.MaxHeightPercent = 10;
    limits.MaxWidthPercent = 30;
    header.SetFixedAreaConstraints(limits);
    EXPECT_EQ(header.FixedAreaConstraints().MinHeightPercent, 10);
    // The fixed columns shrink evenly into 30 % of the client width.
    const int room = view.ClientWidth() * 30 / 100;
    EXPECT_EQ(header.Columns()[0].Width() + header.Columns()[1].Width(), room);
    EXPECT_LE(std::abs(header.Columns()[0].Width() - header.Columns()[1].Width()), 1);
    EXPECT_EQ(header.Columns()[2].Width(), 100);
    // The height: 10 % of the client height with the header.
    const int whole = view.ClientHeight() + header.Height();
    header.SetHeight(100);
    EXPECT_EQ(header.Height(), whole * 10 / 100);
}

TEST(HeaderSizing, TheSimpleOwnerDrawDrawsTheBackgroundAndEveryCell)
{
    TGridTreeView view;
    view.resize(300, 100);
    TGTHeader &header = view.Header();
    header.SetOptions(header.Options() + TGTHeaderOptions { hoVisible, hoOwnerDraw });
    for (int i = 0; i < 3; ++i)
        header.Columns().Add();
    std::vector<TColumnIndex> drawn;
    view.OnHeaderDraw
        = [&](TGTHeader &, QPainter &, TGridTreeColumn *column, const TRect &r, bool, bool, TGTDropMarkMode) {
              drawn.push_back(column ? column->Index() : InvalidColumn);
              if (column) {
                  EXPECT_EQ(r.Left, 50 * column->Index());
              }
          };
    view.show();
    QApplication::processEvents();
    view.HeaderWidget().repaint();
    ASSERT_GE(drawn.size(), 4u);
    EXPECT_EQ(std::vector<TColumnIndex>(drawn.end() - 4, drawn.end()),
        (std::vector<TColumnIndex> { InvalidColumn, 0, 1, 2 }));
}
