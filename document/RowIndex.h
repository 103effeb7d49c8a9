#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
#include <vector>

struct TNodeData;

// The rows of a table by their ID. The slots hold only the rows: a row's ID lives
// in the row itself, so the index costs one pointer per slot (at most twice as many
// slots as rows) rather than a key and a node per row. Open addressing with
// linear probing; a removal moves the following entries back, so no slot is ever
// marked as deleted.
class TRowIndex {
public:
    // The row indexed under `id`; null when there is none.
    TNodeData *Find(const QString &id) const;
    // Indexes `row` under its ID, in place of a row indexed under the same ID.
    void Insert(TNodeData *row);
    // Drops `row`, only when it is the row indexed under its ID.
    void Remove(const TNodeData *row);
    void Clear();
    // Room for `count` rows in all, so that inserting up to them grows nothing.
    void Reserve(std::size_t count);
    std::size_t Count() const { return FCount; }

private:
    // Never 0, which marks a free slot.
    static std::uint8_t TagOf(std::size_t hash)
    {
        const auto tag = std::uint8_t(hash >> 56);
        return tag != 0 ? tag : std::uint8_t(1);
    }
    std::size_t Home(const QString &id) const;
    void Grow();
    void Rehash(std::size_t size);

    std::vector<TNodeData *> FSlots; // a power of two long, or empty
    // Of the rows in FSlots, slot by slot; 0 where a slot is free. A probe reads
    // these alone until a tag agrees: an ID not indexed (every row of a load) is
    // answered from this array, an eighth of the slots' size, which stays in the
    // caches far longer as a table grows.
    std::vector<std::uint8_t> FTags;
    std::size_t FCount = 0;
};
