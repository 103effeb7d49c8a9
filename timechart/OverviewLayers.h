#pragma once

#include <array>
#include <cstddef>
#include <optional>

// The overview draws a table's bars in three layers, each in tree order: shown
// unselected rows, hidden unselected rows, selected rows. Its selected look
// equals the plain one (outside a flash), so a selection change alters the
// overview's pixels only where two bars overlap whose drawing order changed:
// rows that move between layers change their order against rows of another
// move, never against rows that make the same move. Repainting the bars of one
// row of each such pair is enough; the rows are grouped by their move.
namespace overviewlayers {

enum TLayer { lyShown = 0, lyHidden = 1, lySelected = 2 };
constexpr int LayerCount = 3;
// A move from layer `from` to layer `to` (the same for rows that stayed).
constexpr int MoveOf(int from, int to)
{
    return from * LayerCount + to;
}
constexpr int MoveCount = LayerCount * LayerCount;

struct TMoves {
    std::array<std::size_t, MoveCount> Rows {}; // rows per move
    // Whether the caller can name the rows of a move (the rows that stayed
    // unselected, for one, it cannot without a walk over the table).
    std::array<bool, MoveCount> Known {};
};

// Whether some row of move `a` and some row of move `b` may be drawn in the
// other order after the change than before.
bool MayReorder(int a, int b);

// The moves whose rows to repaint, fewest rows first, as a mask of bits
// 1 << move; none when the moves whose rows are not known would be needed.
std::optional<unsigned> RowsToRepaint(const TMoves &moves);

} // namespace overviewlayers
