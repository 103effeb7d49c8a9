#include "dialogs/print/PageGeometry.h"

#include <algorithm>
#include <cmath>

int TPageGeometry::HeaderSizeOf(int line) const
{
    return line >= -MaxLine && line <= MaxLine ? FHeaderSizes[std::size_t(line + MaxLine)] : 0;
}

void TPageGeometry::GrowHeaderSize(int line, int height)
{
    if (line == 0 || line < -MaxLine || line > MaxLine)
        return;
    int &size = FHeaderSizes[std::size_t(line + MaxLine)];
    size = std::max(size, height);
}

int TPageGeometry::PunchMargin() const
{
    if (!FLochrand || FCaps.HorzSize <= 0)
        return 0;
    return int(std::nearbyint(double(FCaps.HorzRes) * 12 / FCaps.HorzSize));
}

int TPageGeometry::HeaderSize() const
{
    int sum = 0;
    for (int line = 1; line <= MaxLine; ++line)
        sum += HeaderSizeOf(line);
    return sum;
}

int TPageGeometry::FooterSize() const
{
    int sum = 0;
    for (int line = -1; line >= -MaxLine; --line)
        sum += HeaderSizeOf(line);
    return sum;
}

QSize TPageGeometry::PrintableSize(bool withHeaders, bool withMargin) const
{
    QSize size(FCaps.HorzRes, FCaps.VertRes);
    if (withHeaders)
        size.rheight() -= FooterSize() + HeaderSize();
    if (withMargin)
        size.rwidth() -= PunchMargin();
    return size;
}

QPoint TPageGeometry::PrintableOffset() const
{
    return { PunchMargin(), HeaderSize() };
}

int TPageGeometry::LineTop(int line) const
{
    int sum = 0;
    if (line < 0) {
        for (int above = line + 1; above <= -1; ++above)
            sum += HeaderSizeOf(above);
        return PrintableSize(true, true).height() + sum;
    }
    for (int below = 0; below <= line; ++below)
        sum += HeaderSizeOf(below);
    return -sum;
}

TRect PositionPaintBox(const TDeviceCaps &caps, QSize client)
{
    const int pw = caps.PhysicalWidth;
    const int ph = caps.PhysicalHeight;
    if (pw <= 0 || ph <= 0 || client.width() <= 0 || client.height() <= 0)
        return {};
    int width = client.width();
    int height = client.height();
    if (double(width) / height < double(pw) / ph)
        height = int(std::nearbyint(double(ph) / pw * width));
    else
        width = int(std::nearbyint(double(pw) / ph * height));
    return Bounds((client.width() - width) / 2, (client.height() - height) / 2, width, height);
}
