// Which overview bars a selection change repaints, against a plain model of
// the drawing: boxes on a small grid, drawn layer by layer in row order, the
// last box drawn on a cell showing there. Every cell whose top box changes
// must lie in a repainted row's box.
#include "timechart/OverviewLayers.h"

#include <gtest/gtest.h>
#include <random>
#include <vector>

using namespace overviewlayers;

namespace {

struct TBox {
    int y, left, right; // cells left .. right - 1 of grid row y
    bool hidden, before, after; // hidden; selected before and after
};

int LayerOf(const TBox &box, bool selected)
{
    return selected ? lySelected : box.hidden ? lyHidden : lyShown;
}

constexpr int Width = 24, Height = 4;

// The box shown on each cell: the last one drawn there, -1 for none.
std::vector<int> TopBoxes(const std::vector<TBox> &boxes, bool after)
{
    std::vector<int> top(Width * Height, -1);
    for (int layer = 0; layer < LayerCount; ++layer)
        for (std::size_t i = 0; i < boxes.size(); ++i)
            if (LayerOf(boxes[i], after ? boxes[i].after : boxes[i].before) == layer)
                for (int x = boxes[i].left; x < boxes[i].right; ++x)
                    top[std::size_t(boxes[i].y * Width + x)] = int(i);
    return top;
}

// The moves as the window knows them: the rows that changed and those selected
// before and after by name, the rows unselected throughout only by number.
TMoves MovesOf(const std::vector<TBox> &boxes)
{
    TMoves moves;
    std::size_t stayed = 0;
    for (const TBox &box : boxes) {
        if (!box.before && !box.after) {
            ++stayed;
            continue;
        }
        const int move = MoveOf(LayerOf(box, box.before), LayerOf(box, box.after));
        ++moves.Rows[std::size_t(move)];
        moves.Known[std::size_t(move)] = true;
    }
    moves.Rows[MoveOf(lyShown, lyShown)] = moves.Rows[MoveOf(lyHidden, lyHidden)] = stayed;
    return moves;
}

} // namespace

TEST(OverviewLayers, RepaintedRowsCoverEveryCellWhoseTopBarChanges)
{
    std::mt19937 random(17);
    auto pick = [&](int n) { return int(random() % unsigned(n)); };
    int fewer = 0;
    for (int round = 0; round < 4000; ++round) {
        std::vector<TBox> boxes(std::size_t(2 + pick(30)));
        // Selections as a planner makes them: all rows, none, a few, at random.
        const int kind = pick(4);
        const bool hiddenRows = pick(3) == 0;
        for (TBox &box : boxes) {
            box.y = pick(Height);
            box.left = pick(Width - 1);
            box.right = box.left + 1 + pick(std::min(8, Width - box.left));
            box.hidden = hiddenRows && pick(4) == 0;
            box.before = kind == 1 ? !box.hidden : pick(6) == 0;
            box.after = kind == 0 ? !box.hidden : kind == 1 ? pick(8) == 0 : pick(5) == 0;
        }
        const std::optional<unsigned> mask = RowsToRepaint(MovesOf(boxes));
        if (!mask)
            continue;
        std::vector<bool> repainted(Width * Height, false);
        int rows = 0, changed = 0;
        for (const TBox &box : boxes) {
            const int move = MoveOf(LayerOf(box, box.before), LayerOf(box, box.after));
            changed += box.before != box.after;
            if (!(*mask & (1u << move)))
                continue;
            ++rows;
            for (int x = box.left; x < box.right; ++x)
                repainted[std::size_t(box.y * Width + x)] = true;
        }
        const std::vector<int> before = TopBoxes(boxes, false), after = TopBoxes(boxes, true);
        for (std::size_t cell = 0; cell < before.size(); ++cell)
            ASSERT_TRUE(before[cell] == after[cell] || repainted[cell])
                << "round " << round << ", cell " << cell;
        // Fewer rows than changed: the case the layers are there for.
        fewer += rows < changed;
    }
    EXPECT_GT(fewer, 300);
}

TEST(OverviewLayers, SelectingAllOrOneRowRepaintsTheRowsSelectedBeforeAndAfter)
{
    // Select all after one row: only that row's bar moves against the others.
    TMoves all;
    all.Rows[MoveOf(lyShown, lySelected)] = 999999;
    all.Known[MoveOf(lyShown, lySelected)] = true;
    all.Rows[MoveOf(lySelected, lySelected)] = 1;
    all.Known[MoveOf(lySelected, lySelected)] = true;
    EXPECT_EQ(RowsToRepaint(all), 1u << MoveOf(lySelected, lySelected));
    // One row clicked after all: the same.
    TMoves one;
    one.Rows[MoveOf(lySelected, lyShown)] = 999999;
    one.Known[MoveOf(lySelected, lyShown)] = true;
    one.Rows[MoveOf(lySelected, lySelected)] = 1;
    one.Known[MoveOf(lySelected, lySelected)] = true;
    EXPECT_EQ(RowsToRepaint(one), 1u << MoveOf(lySelected, lySelected));
    // Select all beside hidden rows nobody names: every newly selected row.
    all.Rows[MoveOf(lyHidden, lyHidden)] = 5;
    EXPECT_EQ(RowsToRepaint(all), 1u << MoveOf(lyShown, lySelected));
    // A plain click: the two rows that changed.
    TMoves click;
    click.Rows[MoveOf(lyShown, lyShown)] = click.Rows[MoveOf(lyHidden, lyHidden)] = 5000;
    click.Rows[MoveOf(lySelected, lyShown)] = click.Rows[MoveOf(lyShown, lySelected)] = 1;
    click.Known[MoveOf(lySelected, lyShown)] = click.Known[MoveOf(lyShown, lySelected)] = true;
    EXPECT_EQ(
        RowsToRepaint(click), (1u << MoveOf(lySelected, lyShown)) | (1u << MoveOf(lyShown, lySelected)));
}
