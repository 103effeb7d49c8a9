#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

class TPairAdvances;

class QPaintDevice;

// Widths of texts as a font draws them on a device, remembered by text, so that
// measuring a text again costs a lookup instead of a layout. One font and
// resolution at a time: another one starts afresh. The number of texts kept is
// bounded; past it the cache starts afresh too.
//
// A text longer than any line a screen shows (MaxShownLineLength) is as wide as
// its start of that length.
class TTextWidthCache {
public:
    // A text as the cache's key: hashed by a short multiply-and-shift pass
    // instead of the library's vector hash, whose set-up costs more than the
    // whole hash of a cell's few characters.
    struct TKey {
        QString Text;
        bool operator==(const TKey &Other) const { return Text == Other.Text; }
    };

    TTextWidthCache();
    ~TTextWidthCache();
    TTextWidthCache(const TTextWidthCache &) = delete;
    TTextWidthCache &operator=(const TTextWidthCache &) = delete;

    int Width(const QFont &Font, const QPaintDevice *Device, const QString &Text);
    // The metrics of the font on the device.
    const QFontMetrics &Metrics(const QFont &Font, const QPaintDevice *Device);
    void Clear();
    // Whether texts of common Latin characters are summed from their pairs
    // rather than shaped whole (on by default; the sums are the same widths).
    void SetSumPairs(bool Sum) { FSumPairs = Sum; }

private:
    static constexpr qsizetype MaxTexts = 1 << 16;
    // Fonts whose pair advances are kept: a table's rows switch among a few.
    static constexpr std::size_t MaxPairFonts = 8;
    TPairAdvances &PairsFor(const QFont &Font, int Dpi, const QPaintDevice *Device);

    QFont FFont;
    int FDpi = 0;
    std::optional<QFontMetrics> FMetrics;
    bool FSumPairs = true;
    // Those of the current font, and of the fonts used before it.
    TPairAdvances *FPairs = nullptr;
    std::vector<std::unique_ptr<TPairAdvances>> FPairFonts;
    QHash<TKey, int> FWidths;
    // The last text longer than any line shows, told apart by its data (held, so
    // it cannot be another text's): measuring its start again costs a copy and
    // a hash of that start at every paint.
    QString FLongText;
    int FLongWidth = 0;
};

size_t qHash(const TTextWidthCache::TKey &Key, size_t Seed) noexcept;
