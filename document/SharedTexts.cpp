#include "document/SharedTexts.h"

QString TSharedTexts::Exact(const QString &text)
{
    return text.capacity() > text.size() ? QString(text.constData(), text.size()) : text;
}

std::uint32_t TSharedTexts::MarkOf(std::size_t hash)
{
    // The top bit set keeps it from 0 and leaves the bits of a slot's index as
    // they are (a rehash finds a text's home from its mark).
    static_assert(kMostSlots <= (std::size_t(1) << 31));
    return std::uint32_t(hash) | 0x80000000u;
}

std::size_t TSharedTexts::SlotOf(const QString &text, std::size_t hash) const
{
    const std::size_t mask = FSlots.size() - 1;
    const std::uint32_t mark = MarkOf(hash);
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const std::uint32_t held = FHashes[i];
        if (held == 0 || (held == mark && SameText(FSlots[i], text)))
            return i;
    }
}

void TSharedTexts::Rehash(std::size_t count)
{
    std::vector<QString> held = std::move(FSlots);
    const std::vector<std::uint32_t> hashes = std::move(FHashes);
    FSlots.assign(count, QString());
    FHashes.assign(count, 0);
    // Held texts are distinct: each goes to the first free slot from its home.
    const std::size_t mask = count - 1;
    for (std::size_t k = 0; k < held.size(); ++k) {
        if (held[k].isEmpty())
            continue;
        std::size_t i = hashes[k] & mask;
        while (FHashes[i] != 0)
            i = (i + 1) & mask;
        FSlots[i] = std::move(held[k]);
        FHashes[i] = hashes[k];
    }
}

QString TSharedTexts::Share(const QString &text)
{
    if (text.isEmpty())
        return text;
    if (text.size() > kLongest)
        return Exact(text);
    if (FSlots.empty())
        Rehash(kFirstSlots);
    const std::size_t hash = TextHash(text);
    std::size_t i = SlotOf(text, hash);
    if (FHashes[i] != 0)
        return FSlots[i];
    if (FCount >= kMostTexts) {
        if (++FTurnedAway < kMostTexts)
            return Exact(text);
        Sweep();
        if (FCount >= kMostTexts)
            return Exact(text);
        i = SlotOf(text, hash);
    }
    if (std::size_t(FCount + 1) * 2 > FSlots.size() && FSlots.size() < kMostSlots) {
        Rehash(FSlots.size() * 2);
        i = SlotOf(text, hash);
    }
    FSlots[i] = Exact(text);
    FHashes[i] = MarkOf(hash);
    ++FCount;
    return FSlots[i];
}

void TSharedTexts::Clear()
{
    FSlots = {};
    FHashes = {};
    FCount = 0;
    FTurnedAway = 0;
}

void TSharedTexts::Sweep()
{
    FTurnedAway = 0;
    // Texts only the pool still holds go; the rest are laid out anew.
    FCount = 0;
    for (QString &text : FSlots) {
        if (text.isDetached())
            text = QString();
        else if (!text.isEmpty())
            ++FCount;
    }
    Rehash(FSlots.size());
}
