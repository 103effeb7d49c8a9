#include "components/gui/TextWidthCache.h"

#include <QPaintDevice>

int TTextWidthCache::Width(const QFont &Font, const QPaintDevice *Device, const QString &Text)
{
    const int dpi = Device ? Device->logicalDpiY() : 0;
    if (!FMetrics || dpi != FDpi || !(Font == FFont)) {
        FWidths.clear();
        FFont = Font;
        FDpi = dpi;
        FMetrics.emplace(Font, Device);
    }
    if (const auto found = FWidths.constFind(Text); found != FWidths.cend())
        return *found;
    if (FWidths.size() >= MaxTexts)
        FWidths.clear();
    const int width = FMetrics->horizontalAdvance(Text);
    FWidths.insert(Text, width);
    return width;
}

void TTextWidthCache::Clear()
{
    FWidths.clear();
    FMetrics.reset();
}
