#include "document/RowIndex.h"

#include "document/DocumentTypes.h"
#include "document/text/TextHash.h"

std::size_t TRowIndex::Home(const QString &id) const
{
    return TextHash(id) & (FSlots.size() - 1);
}

TNodeData *TRowIndex::Find(const QString &id) const
{
    if (FCount == 0)
        return nullptr;
    const std::size_t mask = FSlots.size() - 1;
    const std::size_t hash = TextHash(id);
    const std::uint8_t tag = TagOf(hash);
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const std::uint8_t held = FTags[i];
        if (held == 0) {
            // Where an insert of the ID would write: fetched meanwhile, as a row
            // looked for and not found is often added next.
            __builtin_prefetch(&FSlots[i], 1);
            return nullptr;
        }
        if (held == tag && SameText(FSlots[i]->ID, id))
            return FSlots[i];
    }
}

void TRowIndex::Insert(TNodeData *row)
{
    if ((FCount + 1) * 2 > FSlots.size())
        Grow();
    const std::size_t mask = FSlots.size() - 1;
    const std::size_t hash = TextHash(row->ID);
    const std::uint8_t tag = TagOf(hash);
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const std::uint8_t held = FTags[i];
        if (held == 0) {
            FSlots[i] = row;
            FTags[i] = tag;
            ++FCount;
            return;
        }
        if (held == tag && SameText(FSlots[i]->ID, row->ID)) {
            FSlots[i] = row;
            return;
        }
    }
}

void TRowIndex::Remove(const TNodeData *row)
{
    if (FCount == 0)
        return;
    const std::size_t mask = FSlots.size() - 1;
    std::size_t hole = Home(row->ID);
    while (FSlots[hole] != row) {
        if (!FSlots[hole] || FSlots[hole]->ID == row->ID)
            return; // another row holds the ID, or none does
        hole = (hole + 1) & mask;
    }
    // Entries after the hole whose home lies at or before it move back into it, so
    // that every entry stays reachable from its home without a gap.
    for (std::size_t next = (hole + 1) & mask; FSlots[next]; next = (next + 1) & mask) {
        const std::size_t home = Home(FSlots[next]->ID);
        const bool reachable = hole <= next ? (home > hole && home <= next) : (home > hole || home <= next);
        if (!reachable) {
            FSlots[hole] = FSlots[next];
            FTags[hole] = FTags[next];
            hole = next;
        }
    }
    FSlots[hole] = nullptr;
    FTags[hole] = 0;
    --FCount;
}

void TRowIndex::Clear()
{
    FSlots = {};
    FTags = {};
    FCount = 0;
}

void TRowIndex::Grow()
{
    Rehash(FSlots.empty() ? 16 : FSlots.size() * 2);
}

void TRowIndex::Reserve(std::size_t count)
{
    std::size_t size = FSlots.empty() ? 16 : FSlots.size();
    while (count * 2 > size)
        size *= 2;
    if (size != FSlots.size())
        Rehash(size);
}

void TRowIndex::Rehash(std::size_t size)
{
    std::vector<TNodeData *> old(size, nullptr);
    old.swap(FSlots);
    FTags.assign(size, 0);
    FCount = 0;
    for (TNodeData *row : old) {
        if (row)
            Insert(row);
    }
}
