#include "document/SharedTexts.h"

QString TSharedTexts::Exact(const QString &text)
{
    return text.capacity() > text.size() ? QString(text.constData(), text.size()) : text;
}

std::size_t TSharedTexts::SlotOf(const QString &text, std::size_t hash) const
{
    const std::size_t mask = kSlots - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot &slot = FSlots[i];
        if (slot.text.isEmpty() || (slot.hash == hash && slot.text == text))
            return i;
    }
}

QString TSharedTexts::Share(const QString &text)
{
    if (text.isEmpty())
        return text;
    if (text.size() > kLongest)
        return Exact(text);
    if (FSlots.empty())
        FSlots.resize(kSlots);
    const std::size_t hash = TextHash(text);
    std::size_t i = SlotOf(text, hash);
    if (!FSlots[i].text.isEmpty())
        return FSlots[i].text;
    if (FCount >= kMostTexts) {
        if (++FTurnedAway < kMostTexts)
            return Exact(text);
        Sweep();
        if (FCount >= kMostTexts)
            return Exact(text);
        i = SlotOf(text, hash);
    }
    const QString stored = Exact(text);
    FSlots[i] = Slot { hash, stored };
    ++FCount;
    return stored;
}

void TSharedTexts::Clear()
{
    FSlots = {};
    FCount = 0;
    FTurnedAway = 0;
}

void TSharedTexts::Sweep()
{
    FTurnedAway = 0;
    std::vector<Slot> kept;
    for (Slot &slot : FSlots)
        if (!slot.text.isEmpty() && !slot.text.isDetached())
            kept.push_back(std::move(slot));
    FSlots.assign(kSlots, Slot());
    FCount = 0;
    for (Slot &slot : kept) {
        FSlots[SlotOf(slot.text, slot.hash)] = std::move(slot);
        ++FCount;
    }
}
