#include "document/RowWalkProgress.h"

#include <utility>

namespace {
thread_local TRowWalkProgress *tCurrent = nullptr;
// Rows between two steps (a power of two).
constexpr unsigned kRowsPerStep = 2048;
} // namespace

TRowWalkProgress::TRowWalkProgress(std::function<void()> step)
    : FStep(std::move(step))
    , FPrevious(std::exchange(tCurrent, this))
{ }

TRowWalkProgress::~TRowWalkProgress()
{
    tCurrent = FPrevious;
}

void TRowWalkProgress::Pause()
{
    if (TRowWalkProgress *walk = tCurrent; walk && walk->FStep)
        walk->FStep();
}

bool TRowWalkProgress::Active()
{
    return tCurrent != nullptr;
}

void TRowWalkProgress::Row()
{
    TRowWalkProgress *walk = tCurrent;
    if (walk && (++walk->FRows & (kRowsPerStep - 1)) == 0 && walk->FStep)
        walk->FStep();
}
