#include "timechart/OverviewLayers.h"

#include <limits>

namespace overviewlayers {

bool MayReorder(int a, int b)
{
    if (a == b)
        return false;
    const int aFrom = a / LayerCount, aTo = a % LayerCount;
    const int bFrom = b / LayerCount, bTo = b % LayerCount;
    // Apart before and after, on the same sides: their order holds. In one
    // layer on either side, tree order decides there and the layers on the other.
    return aFrom == bFrom || aTo == bTo || (aFrom < bFrom) != (aTo < bTo);
}

std::optional<unsigned> RowsToRepaint(const TMoves &moves)
{
    // The fewest rows that meet every pair of moves that may reorder: nine moves,
    // so every choice is tried.
    std::optional<unsigned> best;
    std::size_t bestRows = std::numeric_limits<std::size_t>::max();
    for (unsigned mask = 0; mask < (1u << MoveCount); ++mask) {
        std::size_t rows = 0;
        bool usable = true;
        for (int move = 0; move < MoveCount && usable; ++move) {
            if (!(mask & (1u << move)))
                continue;
            usable = moves.Known[move] || moves.Rows[move] == 0;
            rows += moves.Rows[move];
        }
        for (int a = 0; a < MoveCount && usable; ++a)
            for (int b = a + 1; b < MoveCount && usable; ++b)
                if (moves.Rows[a] > 0 && moves.Rows[b] > 0 && MayReorder(a, b)
                    && !(mask & ((1u << a) | (1u << b))))
                    usable = false;
        if (usable && rows < bestRows) {
            best = mask;
            bestRows = rows;
        }
    }
    return best;
}

} // namespace overviewlayers
