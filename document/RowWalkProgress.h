#pragma once

#include <functional>

// The walks over every row that follow loading a whole document (checking each
// row and deriving its end) tell now and then that they go on, so that a window
// can paint meanwhile. While a scope lives, the walks on its thread call its step
// every few thousand rows; without one they tell nobody.
class TRowWalkProgress {
public:
    explicit TRowWalkProgress(std::function<void()> step);
    ~TRowWalkProgress();
    TRowWalkProgress(const TRowWalkProgress &) = delete;
    TRowWalkProgress &operator=(const TRowWalkProgress &) = delete;

    // One row walked.
    static void Row();
    // Between two steps of a long piece of work: the window may paint now.
    static void Pause();
    // Whether a scope lives on this thread (its steps paint the window).
    static bool Active();

private:
    std::function<void()> FStep;
    TRowWalkProgress *FPrevious;
    unsigned FRows = 0;
};
