#include "timechart/ImageScroll.h"

#include <QImage>
#include <cstdlib>
#include <cstring>

bool ScrollImage(QImage &image, int dx, int dy)
{
    if (image.isNull() || image.depth() % 8 != 0)
        return false;
    const int width = image.width();
    const int height = image.height();
    if (std::abs(dx) >= width || std::abs(dy) >= height || (dx == 0 && dy == 0))
        return true;
    const qsizetype pixelBytes = image.depth() / 8;
    const qsizetype lineBytes = image.bytesPerLine();
    const qsizetype runBytes = qsizetype(width - std::abs(dx)) * pixelBytes;
    const qsizetype fromX = (dx < 0 ? -dx : 0) * pixelBytes;
    const qsizetype toX = (dx > 0 ? dx : 0) * pixelBytes;
    uchar *bits = image.bits();
    const auto moveLine = [&](int from, int to) {
        std::memmove(bits + to * lineBytes + toX, bits + from * lineBytes + fromX, std::size_t(runBytes));
    };
    // Downwards from the bottom up, else from the top down: no line is
    // overwritten before it has moved.
    const int lines = height - std::abs(dy);
    if (dy > 0) {
        for (int y = lines - 1; y >= 0; --y)
            moveLine(y, y + dy);
    } else {
        for (int y = 0; y < lines; ++y)
            moveLine(y - dy, y);
    }
    return true;
}
