#pragma once

#include "document/text/TextHash.h"

#include <QString>
#include <cstdint>
#include <vector>

// Equal cell texts share one string. A plan's cells repeat a few values over and
// over (positions, dates, lengths, states), and a separate copy of each in every
// row costs several times the text's size. The pool hands out a stored equal
// text when it holds one and keeps new short texts; it holds a bounded number
// and forgets those no cell uses any more when it is full. Main thread only.
class TSharedTexts {
public:
    // `text`, or an equal text that shares its storage with other cells; never a
    // text with spare room (see Exact).
    QString Share(const QString &text);
    void Clear();
    qsizetype Count() const { return FCount; }

    // Texts longer than this are seldom repeated: they are kept as they come.
    static constexpr qsizetype kLongest = 48;
    static constexpr qsizetype kMostTexts = 32768;

    // `text` in storage of exactly its size. A text read from a file may be a
    // piece of a large block of the parser's, which it would keep whole while it
    // lives; one built up piece by piece may carry spare room.
    static QString Exact(const QString &text);

private:
    // Drops the texts only the pool still holds.
    void Sweep();
    // The slot holding `text`, or the free slot where it belongs.
    std::size_t SlotOf(const QString &text, std::size_t hash) const;
    // Lays the held texts out anew in `count` slots.
    void Rehash(std::size_t count);

    // Every cell of a load passes here: an open table, at most half full, finds
    // a text with one look at its slot and one at its characters. It grows
    // with the texts held, so a small plan keeps a small table.
    static constexpr std::size_t kFirstSlots = 1024;
    static constexpr std::size_t kMostSlots = 2 * std::size_t(kMostTexts);
    std::vector<QString> FSlots; // empty where a slot is free
    // The low half of each held text's hash with its top bit set, slot by slot
    // (0 marks a free slot): a probe reads these alone until one agrees, then that
    // slot's text; a rehash reads no text.
    std::vector<std::uint32_t> FHashes;
    static std::uint32_t MarkOf(std::size_t hash);
    qsizetype FCount = 0;
    // New texts turned away since the pool was last full (a sweep is due after many).
    qsizetype FTurnedAway = 0;
};
