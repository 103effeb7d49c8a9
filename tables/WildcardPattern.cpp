#include "tables/WildcardPattern.h"

#include <QStringList>
#include <QVarLengthArray>
#include <algorithm>

TWildcardPattern::TWildcardPattern(const QString &pattern)
{
    const QString upper = pattern.toUpper();
    const QStringList parts = upper.split(QLatin1Char('*'));
    FHasStar = parts.size() > 1;
    FHead = MakePart(parts.first());
    if (!FHasStar)
        return;
    FTail = MakePart(parts.last());
    for (qsizetype i = 1; i + 1 < parts.size(); ++i) {
        if (!parts[i].isEmpty()) // "**" is one star
            FMiddle.push_back(MakePart(parts[i]));
    }
}

TWildcardPattern::TPart TWildcardPattern::MakePart(const QString &text)
{
    TPart part;
    part.text = text;
    part.hasAny = text.contains(QLatin1Char('?'));
    if (!part.hasAny)
        return part;
    const int words = int((text.size() + 63) / 64);
    part.words = words;
    part.any.assign(std::size_t(words), 0);
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'?')
            part.any[std::size_t(i / 64)] |= std::uint64_t(1) << (i % 64);
    }
    part.latin.resize(256 * std::size_t(words));
    for (int c = 0; c < 256; ++c)
        std::copy(part.any.begin(), part.any.end(), part.latin.begin() + c * words);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'?')
            continue;
        std::uint64_t *mask;
        if (c < 256) {
            mask = part.latin.data() + c * words;
        } else {
            auto it = std::find(part.otherChars.begin(), part.otherChars.end(), c);
            if (it == part.otherChars.end()) {
                part.otherChars.push_back(c);
                part.otherMasks.insert(part.otherMasks.end(), part.any.begin(), part.any.end());
                it = part.otherChars.end() - 1;
            }
            mask = part.otherMasks.data() + (it - part.otherChars.begin()) * words;
        }
        mask[i / 64] |= std::uint64_t(1) << (i % 64);
    }
    return part;
}

const std::uint64_t *TWildcardPattern::MaskOf(const TPart &part, char16_t c)
{
    if (c < 256)
        return part.latin.data() + c * part.words;
    const auto it = std::find(part.otherChars.begin(), part.otherChars.end(), c);
    if (it == part.otherChars.end())
        return part.any.data();
    return part.otherMasks.data() + (it - part.otherChars.begin()) * part.words;
}

bool TWildcardPattern::MatchesAt(const TPart &part, QStringView text, qsizetype at)
{
    const qsizetype n = part.text.size();
    if (at < 0 || at + n > text.size())
        return false;
    if (n == 0)
        return true;
    if (!part.hasAny)
        return text.sliced(at, n) == QStringView(part.text);
    for (qsizetype i = 0; i < n; ++i) {
        const QChar p = part.text[i];
        if (p != u'?' && p != text[at + i])
            return false;
    }
    return true;
}

qsizetype TWildcardPattern::Find(const TPart &part, QStringView text, qsizetype from, qsizetype to)
{
    const qsizetype n = part.text.size();
    if (to - from < n)
        return -1;
    if (!part.hasAny) {
        const qsizetype found = text.sliced(from, to - from).indexOf(QStringView(part.text));
        return found < 0 ? -1 : from + found;
    }
    // Shift-and: bit i of the state is set when the part's first i + 1
    // characters end at the current text position.
    const int words = part.words;
    const int lastWord = int((n - 1) / 64);
    const std::uint64_t lastBit = std::uint64_t(1) << ((n - 1) % 64);
    QVarLengthArray<std::uint64_t, 4> state(words, 0);
    for (qsizetype i = from; i < to; ++i) {
        const std::uint64_t *mask = MaskOf(part, text[i].unicode());
        std::uint64_t carry = 1;
        for (int w = 0; w < words; ++w) {
            const std::uint64_t next = state[w] >> 63;
            state[w] = ((state[w] << 1) | carry) & mask[w];
            carry = next;
        }
        if (state[lastWord] & lastBit)
            return i - n + 1;
    }
    return -1;
}

bool TWildcardPattern::Matches(QStringView upperText) const
{
    const qsizetype size = upperText.size();
    if (!FHasStar)
        return size == FHead.text.size() && MatchesAt(FHead, upperText, 0);
    const qsizetype head = FHead.text.size();
    const qsizetype tail = FTail.text.size();
    if (size < head + tail || !MatchesAt(FHead, upperText, 0) || !MatchesAt(FTail, upperText, size - tail))
        return false;
    // Each middle part at its leftmost place after the previous one leaves the
    // most room for the rest; between head and tail.
    qsizetype from = head;
    const qsizetype to = size - tail;
    for (const TPart &part : FMiddle) {
        const qsizetype at = Find(part, upperText, from, to);
        if (at < 0)
            return false;
        from = at + part.text.size();
    }
    return true;
}
