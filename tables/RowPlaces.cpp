#include "tables/RowPlaces.h"

#include <algorithm>
#include <bit>
#include <utility>

std::size_t TRowPlaces::Home(const TNodeData *row) const
{
    // Rows are records a few hundred bytes apart: the multiply spreads the
    // address's middle bits over the top ones, which pick the slot.
    const std::uint64_t mixed = std::uint64_t(reinterpret_cast<std::uintptr_t>(row)) * 0x9E3779B97F4A7C15ull;
    return std::size_t(mixed >> (64 - std::countr_zero(FSlots.size())));
}

std::size_t TRowPlaces::Probe(const TNodeData *row) const
{
    const std::size_t mask = FSlots.size() - 1;
    std::size_t slot = Home(row);
    while (FSlots[slot].Row && FSlots[slot].Row != row)
        slot = (slot + 1) & mask;
    return slot;
}

bool TRowPlaces::Find(const TNodeData *row, std::size_t &place) const
{
    if (FSize == 0 || !row)
        return false;
    const TSlot &slot = FSlots[Probe(row)];
    if (!slot.Row)
        return false;
    place = slot.Place;
    return true;
}

bool TRowPlaces::Contains(const TNodeData *row) const
{
    std::size_t place;
    return Find(row, place);
}

void TRowPlaces::Insert(const TNodeData *row, std::size_t place)
{
    if (TSlot *slot = SlotFor(row))
        slot->Place = place;
}

bool TRowPlaces::Add(const TNodeData *row, std::size_t place)
{
    const std::size_t size = FSize;
    TSlot *slot = SlotFor(row);
    if (!slot || FSize == size)
        return false;
    slot->Place = place;
    return true;
}

TRowPlaces::TSlot *TRowPlaces::SlotFor(const TNodeData *row)
{
    if (!row)
        return nullptr;
    if (2 * (FSize + 1) > FSlots.size())
        Grow(std::max<std::size_t>(16, 2 * FSlots.size()));
    TSlot &slot = FSlots[Probe(row)];
    if (!slot.Row) {
        slot.Row = row;
        ++FSize;
    }
    return &slot;
}

void TRowPlaces::Remove(const TNodeData *row)
{
    if (FSize == 0 || !row)
        return;
    const std::size_t mask = FSlots.size() - 1;
    std::size_t hole = Probe(row);
    if (!FSlots[hole].Row)
        return;
    FSlots[hole] = {};
    --FSize;
    // Entries after the hole that could sit in it move back, so that no probe
    // stops at the hole before reaching them.
    for (std::size_t next = (hole + 1) & mask; FSlots[next].Row; next = (next + 1) & mask) {
        const std::size_t home = Home(FSlots[next].Row);
        // Cyclically, home lies in (hole, next]: the entry stays.
        const bool stays = hole <= next ? (home > hole && home <= next) : (home > hole || home <= next);
        if (stays)
            continue;
        FSlots[hole] = std::exchange(FSlots[next], TSlot {});
        hole = next;
    }
}

void TRowPlaces::Clear()
{
    std::vector<TSlot>().swap(FSlots);
    FSize = 0;
}

void TRowPlaces::Reserve(std::size_t count)
{
    std::size_t slots = 16;
    while (slots < 2 * count)
        slots *= 2;
    if (slots > FSlots.size())
        Grow(slots);
}

void TRowPlaces::Grow(std::size_t slots)
{
    std::vector<TSlot> old = std::exchange(FSlots, std::vector<TSlot>(slots));
    for (const TSlot &slot : old)
        if (slot.Row)
            FSlots[Probe(slot.Row)] = slot;
}
