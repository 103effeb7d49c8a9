#pragma once

#include <QRect>
#include <QRegion>

// Where a panel is to be painted again, kept as a few rectangles. Past a
// handful, the area becomes their bounding box: marking many rows one by one
// then costs what marking one costs (a region of one rectangle per row makes
// every later union slower, quadratic over a pass), and painting it costs at
// most that one box.
class TDirtyArea {
public:
    static constexpr int kMaxRects = 16;

    // Adds `rect`. Returns what became dirty now: empty when `rect` was empty
    // or covered already, the grown box once the rectangles are merged.
    QRect Add(const QRect &rect);
    // `region` was painted.
    void Subtract(const QRegion &region) { FRegion -= region; }
    void Translate(int dx, int dy) { FRegion.translate(dx, dy); }
    void Clear() { FRegion = QRegion(); }

    bool IsEmpty() const { return FRegion.isEmpty(); }
    // Whether `rect` lies wholly inside the area.
    bool Covers(const QRect &rect) const;
    const QRegion &Region() const { return FRegion; }

private:
    QRegion FRegion;
};
