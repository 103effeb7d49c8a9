#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct TNodeData;

// Row -> place in a list, in one flat table (open addressing, linear probing):
// a selection of every row of a large plan is looked up and inserted row by
// row, where a table of separately kept entries costs an allocation and a
// scattered read each.
class TRowPlaces {
public:
    std::size_t Size() const { return FSize; }
    bool IsEmpty() const { return FSize == 0; }
    // The row's place; false when the row is not held.
    bool Find(const TNodeData *row, std::size_t &place) const;
    bool Contains(const TNodeData *row) const;
    // Holds `row` at `place` (a row already held moves there).
    void Insert(const TNodeData *row, std::size_t place);
    // Holds `row` at `place` unless it is held already; true when it was not.
    bool Add(const TNodeData *row, std::size_t place);
    void Remove(const TNodeData *row);
    void Clear();
    // Room for `count` rows without growing.
    void Reserve(std::size_t count);

private:
    struct TSlot {
        const TNodeData *Row = nullptr;
        std::size_t Place = 0;
    };
    std::size_t Home(const TNodeData *row) const;
    // The slot of `row`, taken for it when it was not held; nil for nil.
    TSlot *SlotFor(const TNodeData *row);
    // The slot holding `row`, or the empty slot where it would go.
    std::size_t Probe(const TNodeData *row) const;
    void Grow(std::size_t slots);

    std::vector<TSlot> FSlots; // a power of two, at most half full
    std::size_t FSize = 0;
};
