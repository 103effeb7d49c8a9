#include "document/SharedTexts.h"

QString TSharedTexts::Exact(const QString &text)
{
    return text.capacity() > text.size() ? QString(text.constData(), text.size()) : text;
}

std::size_t TSharedTexts::SlotOf(const QString &text, std::size_t hash) const
{
    const std::size_t mask = FSlots.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const QString &slot = FSlots[i];
        if (slot.isEmpty() || SameText(slot, text))
            return i;
    }
}

void TSharedTexts::Rehash(std::size_t count)
{
    std::vector<QString> held = std::move(FSlots);
    FSlots.assign(count, QString());
    for (QString &text : held)
        if (!text.isEmpty())
            FSlots[SlotOf(text, TextHash(text))] = std::move(text);
}

QString TSharedTexts::Share(const QString &text)
{
    if (text.isEmpty())
        return text;
    if (text.size() > kLongest)
        return Exact(text);
    if (FSlots.empty())
        FSlots.resize(kFirstSlots);
    const std::size_t hash = TextHash(text);
    std::size_t i = SlotOf(text, hash);
    if (!FSlots[i].isEmpty())
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
    ++FCount;
    return FSlots[i];
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
