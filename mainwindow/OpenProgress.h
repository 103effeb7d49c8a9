#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <vector>

class QProgressBar;
class QStatusBar;

// What the window shows while a document opens: a progress bar in the status
// bar that moves, with the window painted at least every few tens of
// milliseconds meanwhile and the user's input held back until the open ends.
// While the rows are being loaded the given views keep still, showing what they
// showed before, rather than painting a half-loaded document.
class TOpenProgress {
public:
    // How often the window paints during an open.
    static constexpr int kPaintIntervalMs = 40;
    // Tests paint at every step of an open (0) to count them.
    static void SetPaintInterval(int ms);

    TOpenProgress(QStatusBar &bar, std::vector<QWidget *> stillWhileLoading);
    TOpenProgress(const TOpenProgress &) = delete;
    TOpenProgress &operator=(const TOpenProgress &) = delete;

    // Paints and shows `percent` until `finished`, another thread doing the work.
    // With `paintViews` the views kept still paint too (they show an emptied
    // document, which their owner may have told them not to paint meanwhile).
    void Wait(const std::function<bool()> &finished, const std::function<int()> &percent, bool paintViews);
    // The open's own thread came to `percent` (-1: the open ended); paints when
    // the last paint is long enough ago.
    void Show(int percent);
    bool Active() const { return FActive; }

private:
    void Begin();
    void Paint();

    QProgressBar *FBar;
    std::vector<QPointer<QWidget>> FStill;
    bool FActive = false;
    bool FHeld = false;
    QElapsedTimer FLastPaint;
};
