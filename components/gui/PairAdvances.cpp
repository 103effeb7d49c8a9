#include "components/gui/PairAdvances.h"

#include <QGlyphRun>
#include <QPaintDevice>
#include <QRawFont>
#include <QTextLayout>
#include <cmath>

TPairAdvances::TPairAdvances(const QFont &Font, const QPaintDevice *Device, int TextsBeforeLearning)
    : FFont(Font)
    , FDpi(Device ? Device->logicalDpiY() : 0)
    , FDeviceFont(Device ? QFont(Font, Device) : Font)
    , FMetrics(Font, Device)
    , FTextsBeforeLearning(TextsBeforeLearning)
{ }

std::int32_t TPairAdvances::Advance64(const QString &Text) const
{
    // The shaping sums advances in 64ths; the metrics hand them over exactly.
    return std::int32_t(std::lround(FMetrics.horizontalAdvance(Text) * 64));
}

bool TPairAdvances::PlainGlyphs(const QString &Text) const
{
    QTextLayout layout(Text, FDeviceFont);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    const QList<QGlyphRun> runs = layout.glyphRuns();
    if (runs.size() != 1)
        return false;
    const QList<quint32> glyphs = runs.front().glyphIndexes();
    return glyphs.size() == Text.size() && glyphs == runs.front().rawFont().glyphIndexesForString(Text);
}

std::int32_t TPairAdvances::MeasureSingle(int Slot, char16_t Char)
{
    const QString text(QChar { Char });
    return FSingles[std::size_t(Slot)] = PlainGlyphs(text) ? Advance64(text) : Shaped;
}

std::int32_t TPairAdvances::MeasurePair(std::size_t Index, char16_t FirstChar, char16_t SecondChar)
{
    const QChar chars[] = { QChar { FirstChar }, QChar { SecondChar } };
    const QString text(chars, 2);
    return FPairs[Index] = PlainGlyphs(text) ? Advance64(text) : Shaped;
}

std::optional<int> TPairAdvances::Width(QStringView Text)
{
    if (FPairs.empty()) {
        if (FTextsBeforeLearning > 0) {
            --FTextsBeforeLearning;
            return std::nullopt;
        }
        FSingles.assign(std::size_t(Letters), Unknown);
        FPairs.assign(std::size_t(Letters) * Letters, Unknown);
    }
    const qsizetype length = Text.size();
    if (length == 0)
        return 0;
    const char16_t *chars = Text.utf16();
    int previous = Slot(chars[0]);
    if (previous < 0)
        return std::nullopt;
    if (length == 1) {
        std::int32_t single = FSingles[std::size_t(previous)];
        if (single == Unknown)
            single = MeasureSingle(previous, chars[0]);
        if (single == Shaped)
            return std::nullopt;
        return int((single + 32) >> 6);
    }
    // Each character inside the text is in two pairs: counted once.
    std::int64_t total = 0;
    for (qsizetype i = 1; i < length; ++i) {
        const int slot = Slot(chars[i]);
        if (slot < 0)
            return std::nullopt;
        const std::size_t index = std::size_t(previous) * Letters + std::size_t(slot);
        std::int32_t pair = FPairs[index];
        if (pair <= Shaped) [[unlikely]] {
            if (pair == Unknown)
                pair = MeasurePair(index, chars[i - 1], chars[i]);
            if (pair == Shaped)
                return std::nullopt;
        }
        total += pair;
        if (i > 1) {
            std::int32_t single = FSingles[std::size_t(previous)];
            if (single <= Shaped) [[unlikely]] {
                if (single == Unknown)
                    single = MeasureSingle(previous, chars[i - 1]);
                if (single == Shaped)
                    return std::nullopt;
            }
            total -= single;
        }
        previous = slot;
    }
    return int((total + 32) >> 6);
}
