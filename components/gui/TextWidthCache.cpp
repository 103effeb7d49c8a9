#include "components/gui/TextWidthCache.h"

#include "platform/gui/TextDraw.h"

#include <QPaintDevice>

const QFontMetrics &TTextWidthCache::Metrics(const QFont &Font, const QPaintDevice *Device)
{
    const int dpi = Device ? Device->logicalDpiY() : 0;
    // A copy of the font in use is told apart without comparing families.
    if (FMetrics && dpi == FDpi && Font.isCopyOf(FFont))
        return *FMetrics;
    if (FMetrics && dpi == FDpi && Font == FFont) {
        FFont = Font;
        return *FMetrics;
    }
    FWidths.clear();
    FWidths.reserve(MaxTexts);
    FLongText.clear();
    FFont = Font;
    FDpi = dpi;
    FMetrics.emplace(Font, Device);
    return *FMetrics;
}

int TTextWidthCache::Width(const QFont &Font, const QPaintDevice *Device, const QString &Text)
{
    if (Text.size() > MaxShownLineLength) {
        Metrics(Font, Device); // (another font forgets the long text too)
        if (Text.constData() != FLongText.constData() || Text.size() != FLongText.size()) {
            FLongWidth = Width(Font, Device, ShownLinePart(Text));
            FLongText = Text;
        }
        return FLongWidth;
    }
    Metrics(Font, Device);
    if (const auto found = FWidths.constFind(Text); found != FWidths.cend())
        return *found;
    if (FWidths.size() >= MaxTexts) {
        FWidths.clear();
        FWidths.reserve(MaxTexts);
    }
    const int width = FMetrics->horizontalAdvance(Text);
    FWidths.insert(Text, width);
    return width;
}

void TTextWidthCache::Clear()
{
    FWidths.clear();
    FLongText.clear();
    FMetrics.reset();
}
