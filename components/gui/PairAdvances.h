#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QStringView>
#include <cstdint>
#include <optional>
#include <vector>

class QPaintDevice;

// Widths of texts of common Latin characters in one font on one device, summed
// from what the font's shaping gives each pair of neighbouring characters
// instead of shaping the whole text. Kerning moves glyphs pair by pair, so a
// text is as wide as its pairs less the characters two pairs share; each pair is
// shaped once, when a text first holds it. Pairs the shaping turns into other
// glyphs (ligatures) or draws from another font, and characters outside the
// alphabet, leave the text to full shaping.
//
// Shaping a pair costs more than shaping a short text, so pairs are learnt (and
// their table made) only once a font has measured many texts, as a fit over a
// large table does, not for the few texts a screen of rows shows.
class TPairAdvances {
public:
    TPairAdvances(
        const QFont &Font, const QPaintDevice *Device, int TextsBeforeLearning = DefaultTextsBeforeLearning);

    // What QFontMetrics::horizontalAdvance gives Text, or nothing when only
    // shaping the whole text can tell.
    std::optional<int> Width(QStringView Text);

    // Texts left to shaping before pairs are learnt.
    static constexpr int DefaultTextsBeforeLearning = 4096;

    const QFont &Font() const { return FFont; }
    int Dpi() const { return FDpi; }

private:
    // Printable ASCII and Latin-1's letters and signs (the soft hyphen, which
    // shaping hides, stays out).
    static constexpr int Letters = 190;
    static constexpr std::int32_t Unknown = INT32_MIN;
    static constexpr std::int32_t Shaped = INT32_MIN + 1;

    static int Slot(char16_t Char)
    {
        if (Char - 0x20u <= 0x7eu - 0x20u)
            return Char - 0x20;
        if (Char - 0xa1u <= 0xffu - 0xa1u && Char != 0xad)
            return Char - 0xa1 + 95;
        return -1;
    }
    // Shape a character or a pair the first time a text holds it.
    std::int32_t MeasureSingle(int Slot, char16_t Char);
    std::int32_t MeasurePair(std::size_t Index, char16_t FirstChar, char16_t SecondChar);
    // The advance of Text in 64ths of a pixel, as the shaping sums it.
    std::int32_t Advance64(const QString &Text) const;
    // Whether shaping draws Text glyph for character from the font itself.
    bool PlainGlyphs(const QString &Text) const;

    QFont FFont;
    int FDpi = 0;
    // The font at the device's resolution, for laying out a pair.
    QFont FDeviceFont;
    QFontMetricsF FMetrics;
    std::vector<std::int32_t> FSingles;
    std::vector<std::int32_t> FPairs;
    int FTextsBeforeLearning = 0;
};
