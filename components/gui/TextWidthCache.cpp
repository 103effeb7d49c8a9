#include "components/gui/TextWidthCache.h"

#include "components/gui/PairAdvances.h"
#include "platform/gui/TextDraw.h"

#include <QPaintDevice>
#include <algorithm>
#include <cstdint>
#include <cstring>

size_t qHash(const TTextWidthCache::TKey &Key, size_t Seed) noexcept
{
    // Eight bytes at a time, each folded in by a multiply and a shift; the seed
    // starts the state, so colliding texts differ from run to run.
    constexpr std::uint64_t Mul = 0xbf58476d1ce4e5b9ULL;
    const char *data = reinterpret_cast<const char *>(Key.Text.constData());
    std::size_t bytes = std::size_t(Key.Text.size()) * sizeof(QChar);
    std::uint64_t h = std::uint64_t(Seed) ^ (bytes * 0x9e3779b97f4a7c15ULL);
    for (; bytes >= 8; bytes -= 8, data += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, data, 8);
        h = (h ^ word) * Mul;
        h ^= h >> 29;
    }
    if (bytes > 0) {
        std::uint64_t word = 0;
        std::memcpy(&word, data, bytes);
        h = (h ^ word) * Mul;
    }
    h ^= h >> 32;
    h *= 0x94d049bb133111ebULL;
    h ^= h >> 29;
    return size_t(h);
}

TTextWidthCache::TTextWidthCache() = default;
TTextWidthCache::~TTextWidthCache() = default;

TPairAdvances &TTextWidthCache::PairsFor(const QFont &Font, int Dpi, const QPaintDevice *Device)
{
    for (std::size_t i = 0; i < FPairFonts.size(); ++i) {
        if (FPairFonts[i]->Dpi() == Dpi && FPairFonts[i]->Font() == Font) {
            // The most recent first: the next switch finds it sooner.
            std::rotate(FPairFonts.begin(), FPairFonts.begin() + std::ptrdiff_t(i),
                FPairFonts.begin() + std::ptrdiff_t(i) + 1);
            return *FPairFonts.front();
        }
    }
    if (FPairFonts.size() >= MaxPairFonts)
        FPairFonts.pop_back();
    FPairFonts.insert(FPairFonts.begin(), std::make_unique<TPairAdvances>(Font, Device));
    return *FPairFonts.front();
}

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
    FPairs = nullptr;
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
    if (FSumPairs) {
        // Sums over a table of pairs beat even the lookup of a remembered width.
        if (!FPairs)
            FPairs = &PairsFor(FFont, FDpi, Device);
        if (const std::optional<int> width = FPairs->Width(Text))
            return *width;
    }
    if (FWidths.size() >= MaxTexts) {
        if (const auto found = FWidths.constFind(TKey { Text }); found != FWidths.cend())
            return *found;
        FWidths.clear();
        FWidths.reserve(MaxTexts);
    }
    // One hash a text: the slot is made for a new text and filled here.
    const qsizetype before = FWidths.size();
    int &width = FWidths[TKey { Text }];
    if (FWidths.size() != before)
        width = FMetrics->horizontalAdvance(Text);
    return width;
}

void TTextWidthCache::Clear()
{
    FWidths.clear();
    FLongText.clear();
    FMetrics.reset();
    FPairs = nullptr;
    FPairFonts.clear();
}
