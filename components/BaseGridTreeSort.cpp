// Stable sorting of siblings and of the whole tree.
#include "components/BaseGridTree.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

// Runs this short are sorted by insertion before merging starts.
constexpr std::size_t InsertionRun = 8;
// Blocks of this many nodes are sorted through before the merging across
// blocks starts: their nodes (a cache line each) and pointers stay in the
// core's cache, so only the merges across blocks wait for main memory.
constexpr std::size_t CacheBlock = InsertionRun << 10;
// How far ahead the merge and the relinking ask for nodes they are about to touch.
constexpr std::size_t PrefetchDistance = 16;

// Merges the runs of the given width in [begin, end) from src into dst.
template <typename SecondFirst, typename Prefetch>
void mergeRuns(TGridNode *const *src, TGridNode **dst, std::size_t begin, std::size_t end, std::size_t width,
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

} // namespace

void TBaseGridTree::Sort(TGridNode *Node, int Column, TSortDirection Direction, bool DoInit)
{
    TValidationStop stop(*this);
    if (!FHooks->EndEdit())
        return;
    if (Node == nullptr)
        Node = FRoot;
    if (Node->FStates.contains(vsHasChildren)) {
        if (DoInit) {
            if (Node->FChildCount == 0)
                InitChildren(Node);
            ValidateChildren(Node, false);
        }
        if (Node->FChildCount > 1) {
            SortChildren(Node, Column, Direction);
            FHooks->InvalidateCache();
        }
    }
    if (!Updating()) {
        RequestValidation();
        FHooks->InvalidateTree();
    }
}

void TBaseGridTree::SortChildren(TGridNode *Node, int Column, TSortDirection Direction)
{
    const std::size_t count = Node->FChildCount;
    std::vector<TGridNode *> nodes;
    nodes.reserve(count);
    for (TGridNode *child = Node->FFirstChild; child; child = child->FNextSibling)
        nodes.push_back(child);

    // Merging takes the second run's node first only when it really compares
    // before the first run's node, so ties keep their order both ways.
    const bool ascending = Direction == sdAscending;
    auto secondFirst = [&](TGridNode *first, TGridNode *second) {
        const int result = DoCompare(first, second, Column);
        return ascending ? result > 0 : result < 0;
    };
    // Auto sort runs at the end of every update, mostly over rows whose order
    // did not change (a filter pass only hides rows): a stable sort of rows
    // already in order keeps them as they are, so one pass that finds no pair
    // out of order is the whole sort.
    bool inOrder = true;
    for (std::size_t i = 1; i < count && inOrder; ++i)
        inOrder = !secondFirst(nodes[i - 1], nodes[i]);
    if (inOrder)
        return;
    // What a comparison reads: the record's last bytes (the handed-out flag)
    // and the data area; with no internal areas between them it is one line.
    const std::size_t dataOffset = sizeof(TGridNode) + FTotalInternalDataSize;
    auto prefetch = [dataOffset](TGridNode *node) {
        __builtin_prefetch(reinterpret_cast<const char *>(node) + sizeof(TGridNode) - 1);
        __builtin_prefetch(reinterpret_cast<const char *>(node) + dataOffset);
    };

    // Sorts [begin, end) in runs of InsertionRun by insertion.
    auto insertionRuns = [&](std::size_t begin, std::size_t end) {
        for (std::size_t start = begin; start < end; start += InsertionRun) {
            const std::size_t stop = std::min(start + InsertionRun, end);
            for (std::size_t i = start + 1; i < stop; ++i) {
                TGridNode *node = nodes[i];
                std::size_t j = i;
                while (j > start && secondFirst(nodes[j - 1], node)) {
                    nodes[j] = nodes[j - 1];
                    --j;
                }
                nodes[j] = node;
            }
        }
    };
    std::vector<TGridNode *> buffer(count);
    TGridNode **from = nodes.data();
    TGridNode **to = buffer.data();
    // Each block is sorted through first. Every block takes the same passes (a
    // short last block copies where it has nothing to merge), so all of them
    // end up in the same array.
    const std::size_t blockWidth = std::min(CacheBlock, count);
    for (std::size_t begin = 0; begin < count; begin += CacheBlock) {
        const std::size_t end = std::min(begin + CacheBlock, count);
        insertionRuns(begin, end);
        TGridNode **src = from;
        TGridNode **dst = to;
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

    // Relink the chain in the new order; every number is exact again.
    TGridNode *prev = nullptr;
    for (std::size_t i = 0; i < count; ++i) {
        if (i + PrefetchDistance < count)
            __builtin_prefetch(from[i + PrefetchDistance], 1);
        TGridNode *node = from[i];
        node->FIndex = static_cast<uint32_t>(i);
        node->FPrevSibling = prev;
        if (prev)
            prev->FNextSibling = node;
        prev = node;
    }
    prev->FNextSibling = nullptr;
    Node->FFirstChild = from[0];
    Node->FLastChild = prev;
    Node->FStaleChild = nullptr;
}

void TBaseGridTree::SortLevel(TGridNode *Node, int Column, TSortDirection Direction, bool DoInit)
{
    Sort(Node, Column, Direction, DoInit);
    for (TGridNode *child = Node->FFirstChild; child; child = child->FNextSibling) {
        if (DoInit && !child->FStates.contains(vsInitialized))
            InitNode(child);
        // A leaf has nothing to sort below it.
        if (child->FStates.contains(vsInitialized) && child->FStates.contains(vsHasChildren))
            SortLevel(child, Column, Direction, DoInit);
    }
}

void TBaseGridTree::SortTree(int Column, TSortDirection Direction, bool DoInit)
{
    TValidationStop stop(*this);
    ++FUpdateCount;
    if (Column > -2)
        SortLevel(FRoot, Column, Direction, DoInit);
    FHooks->InvalidateCache();
    if (--FUpdateCount == 0) {
        RequestValidation();
        FHooks->InvalidateTree();
    }
}

void TBaseGridTree::SetSortColumn(int Value)
{
    const int columns = FHooks->ColumnCount();
    Value = std::max(Value, -1);
    if (columns > 0)
        Value = std::min(Value, columns - 1);
    if (Value == FSortColumn)
        return;
    FSortColumn = Value;
    if (FAutoOptions.contains(toAutoSort) && !Updating())
        SortTree(FSortColumn, FSortDirection, true);
}

void TBaseGridTree::SetSortDirection(TSortDirection Value)
{
    if (Value == FSortDirection)
        return;
    FSortDirection = Value;
    if (FAutoOptions.contains(toAutoSort) && !Updating())
        SortTree(FSortColumn, FSortDirection, true);
}
