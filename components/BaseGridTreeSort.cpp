// Stable sorting of siblings and of the whole tree.
#include "components/BaseGridTree.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

// Runs this short are sorted by insertion before merging starts.
constexpr std::size_t InsertionRun = 8;
// How far ahead the merge asks for nodes it is about to compare.
constexpr std::size_t PrefetchDistance = 8;

} // namespace

void TBaseGridTree::Sort(TGridNode *Node, int Column, TSortDirection Direction, bool DoInit)
{
    FHooks->InterruptValidation();
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
        FHooks->ValidateCache();
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
    const std::size_t dataOffset = sizeof(TGridNode) + FTotalInternalDataSize;
    auto prefetch = [dataOffset](TGridNode *node) {
        __builtin_prefetch(node);
        __builtin_prefetch(reinterpret_cast<const char *>(node) + dataOffset);
    };

    for (std::size_t start = 0; start < count; start += InsertionRun) {
        const std::size_t end = std::min(start + InsertionRun, count);
        for (std::size_t i = start + 1; i < end; ++i) {
            TGridNode *node = nodes[i];
            std::size_t j = i;
            while (j > start && secondFirst(nodes[j - 1], node)) {
                nodes[j] = nodes[j - 1];
                --j;
            }
            nodes[j] = node;
        }
    }

    std::vector<TGridNode *> buffer(count);
    TGridNode **from = nodes.data();
    TGridNode **to = buffer.data();
    for (std::size_t width = InsertionRun; width < count; width *= 2) {
        for (std::size_t left = 0; left < count; left += 2 * width) {
            const std::size_t mid = std::min(left + width, count);
            const std::size_t right = std::min(left + 2 * width, count);
            std::size_t i = left;
            std::size_t j = mid;
            std::size_t k = left;
            while (i < mid && j < right) {
                if (i + PrefetchDistance < mid)
                    prefetch(from[i + PrefetchDistance]);
                if (j + PrefetchDistance < right)
                    prefetch(from[j + PrefetchDistance]);
                if (secondFirst(from[i], from[j]))
                    to[k++] = from[j++];
                else
                    to[k++] = from[i++];
            }
            while (i < mid)
                to[k++] = from[i++];
            while (j < right)
                to[k++] = from[j++];
        }
        std::swap(from, to);
    }

    // Relink the chain in the new order; every number is exact again.
    TGridNode *prev = nullptr;
    for (std::size_t i = 0; i < count; ++i) {
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
    ++FUpdateCount;
    if (Column > -2)
        SortLevel(FRoot, Column, Direction, DoInit);
    FHooks->InvalidateCache();
    if (--FUpdateCount == 0) {
        FHooks->ValidateCache();
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
