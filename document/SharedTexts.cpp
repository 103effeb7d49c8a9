#include "document/SharedTexts.h"

QString TSharedTexts::Exact(const QString &text)
{
    return text.capacity() > text.size() ? QString(text.constData(), text.size()) : text;
}

QString TSharedTexts::Share(const QString &text)
{
    if (text.isEmpty())
        return text;
    if (text.size() > kLongest)
        return Exact(text);
    const auto found = FTexts.constFind(text);
    if (found != FTexts.constEnd())
        return *found;
    if (FTexts.size() >= kMostTexts) {
        if (++FTurnedAway < kMostTexts)
            return Exact(text);
        Sweep();
        if (FTexts.size() >= kMostTexts)
            return Exact(text);
    }
    const QString stored = Exact(text);
    FTexts.insert(stored);
    return stored;
}

void TSharedTexts::Clear()
{
    FTexts = {};
    FTurnedAway = 0;
}

void TSharedTexts::Sweep()
{
    FTurnedAway = 0;
    FTexts.removeIf([](const QString &text) { return text.isDetached(); });
}
