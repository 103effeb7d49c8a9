#pragma once

// The tree's stable merge sort over an array: of nodes when every comparison
// asks the owner, of places when the owner has read the keys beforehand.

#include <algorithm>
#include <cstddef>
#include <exception>
#include <thread>
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

// Below this many items a sort on one core is as quick as starting threads.
constexpr std::size_t PartedSortLeast = std::size_t(1) << 16;

// The same sort with the work spread over up to `parts` threads: each takes a
// contiguous piece, then neighbouring pieces are merged pairwise (taking from
// the earlier piece on ties, so the result is the one StableSort gives).
// `secondFirst` is called from several threads at once and must only read.
template <typename T, typename SecondFirst>
bool StableSortInParts(std::vector<T> &items, const SecondFirst &secondFirst, std::size_t parts)
{
    const std::size_t count = items.size();
    parts = std::min(parts, count / PartedSortLeast);
    if (parts <= 1)
        return StableSort(items, secondFirst, [](const T &) {});
    bool inOrder = true;
    for (std::size_t i = 1; i < count && inOrder; ++i)
        inOrder = !secondFirst(items[i - 1], items[i]);
    if (inOrder)
        return false;

    std::vector<std::size_t> bounds;
    for (std::size_t p = 0; p <= parts; ++p)
        bounds.push_back(count * p / parts);
    // A failed allocation on a thread is thrown here, after every thread ended.
    std::vector<std::exception_ptr> failures(parts);
    {
        std::vector<std::jthread> threads;
        for (std::size_t p = 0; p < parts; ++p) {
            threads.emplace_back([&, p] {
                try {
                    const auto begin = items.begin() + std::ptrdiff_t(bounds[p]);
                    std::vector<T> piece(begin, items.begin() + std::ptrdiff_t(bounds[p + 1]));
                    StableSort(piece, secondFirst, [](const T &) {});
                    std::copy(piece.begin(), piece.end(), begin);
                } catch (...) {
                    failures[p] = std::current_exception();
                }
            });
        }
    }
    for (const std::exception_ptr &failure : failures) {
        if (failure)
            std::rethrow_exception(failure);
    }
    std::vector<T> buffer(count);
    T *from = items.data();
    T *to = buffer.data();
    // std::merge takes from the second range only when it sorts strictly first.
    auto lessThan = [&](const T &later, const T &earlier) { return secondFirst(earlier, later); };
    while (bounds.size() > 2) {
        std::vector<std::size_t> merged;
        std::vector<std::jthread> threads;
        for (std::size_t b = 0; b + 1 < bounds.size(); b += 2) {
            merged.push_back(bounds[b]);
            const std::size_t begin = bounds[b];
            const std::size_t mid = bounds[b + 1];
            const std::size_t end = b + 2 < bounds.size() ? bounds[b + 2] : mid;
            threads.emplace_back([=, &lessThan] {
                std::merge(from + begin, from + mid, from + mid, from + end, to + begin, lessThan);
            });
        }
        merged.push_back(count);
        threads.clear(); // joins
        std::swap(from, to);
        bounds = std::move(merged);
    }
    if (from != items.data())
        items.swap(buffer);
    return true;
}

} // namespace GridTreeSort
