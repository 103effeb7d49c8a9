#pragma once

// The tree's stable merge sort over an array: of nodes when every comparison
// asks the owner, of places when the owner has read the keys beforehand.

#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

namespace GridTreeSort {

// Runs this short are sorted by insertion before merging starts.
constexpr std::size_t InsertionRun = 8;
// Blocks of this many items are sorted through before the merging across
// blocks starts: what they read stays in the core's cache, so only the merges
// across blocks wait for main memory.
constexpr std::size_t CacheBlock = InsertionRun << 10;
// How far ahead the merge asks for items it is about to compare.
constexpr std::size_t PrefetchDistance = 16;

// Merges the runs of the given width in [begin, end) from src into dst.
template <typename T, typename SecondFirst, typename Prefetch>
void mergeRuns(const T *src, T *dst, std::size_t begin, std::size_t end, std::size_t width,
    const SecondFirst &secondFirst, const Prefetch &prefetch)
{
    for (std::size_t left = begin; left < end; left += 2 * width) {
        const std::size_t mid = std::min(left + width, end);
        const std::size_t right = std::min(left + 2 * width, end);
        std::size_t i = left;
        std::size_t j = mid;
        std::size_t k = left;
        while (i < mid && j < right) {
            if (i + PrefetchDistance < mid)
                prefetch(src[i + PrefetchDistance]);
            if (j + PrefetchDistance < right)
                prefetch(src[j + PrefetchDistance]);
            if (secondFirst(src[i], src[j]))
                dst[k++] = src[j++];
            else
                dst[k++] = src[i++];
        }
        while (i < mid)
            dst[k++] = src[i++];
        while (j < right)
            dst[k++] = src[j++];
    }
}

// Sorts `items` stably: an item goes before an earlier one only when
// secondFirst(earlier, later) holds, so ties keep their order in both
// directions. False (items untouched) when no pair was out of order.
template <typename T, typename SecondFirst, typename Prefetch>
bool StableSort(std::vector<T> &items, const SecondFirst &secondFirst, const Prefetch &prefetch)
{
    const std::size_t count = items.size();
    // Auto sort runs at the end of every update, mostly over rows whose order
    // did not change (a filter pass only hides rows): a stable sort of rows
    // already in order keeps them as they are, so one pass that finds no pair
    // out of order is the whole sort.
    bool inOrder = true;
    for (std::size_t i = 1; i < count && inOrder; ++i)
        inOrder = !secondFirst(items[i - 1], items[i]);
    if (inOrder)
        return false;

    // Sorts [begin, end) in runs of InsertionRun by insertion.
    auto insertionRuns = [&](std::size_t begin, std::size_t end) {
        for (std::size_t start = begin; start < end; start += InsertionRun) {
            const std::size_t stop = std::min(start + InsertionRun, end);
            for (std::size_t i = start + 1; i < stop; ++i) {
                T item = items[i];
                std::size_t j = i;
                while (j > start && secondFirst(items[j - 1], item)) {
                    items[j] = items[j - 1];
                    --j;
                }
                items[j] = item;
            }
        }
    };
    std::vector<T> buffer(count);
    T *from = items.data();
    T *to = buffer.data();
    // Each block is sorted through first. Every block takes the same passes (a
    // short last block copies where it has nothing to merge), so all of them
    // end up in the same array.
    const std::size_t blockWidth = std::min(CacheBlock, count);
    for (std::size_t begin = 0; begin < count; begin += CacheBlock) {
        const std::size_t end = std::min(begin + CacheBlock, count);
        insertionRuns(begin, end);
        T *src = from;
        T *dst = to;
        for (std::size_t width = InsertionRun; width < blockWidth; width *= 2) {
            mergeRuns(src, dst, begin, end, width, secondFirst, prefetch);
            std::swap(src, dst);
        }
    }
    std::size_t width = InsertionRun;
    for (; width < blockWidth; width *= 2)
        std::swap(from, to);
    for (; width < count; width *= 2) {
        mergeRuns(from, to, 0, count, width, secondFirst, prefetch);
        std::swap(from, to);
    }
    if (from != items.data())
        items.swap(buffer);
    return true;
}

} // namespace GridTreeSort
