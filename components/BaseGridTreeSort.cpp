// Stable sorting of siblings and of the whole tree.
#include "components/BaseGridTree.h"
#include "components/StableSort.h"

#include <utility>
#include <vector>

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
    std::vector<TGridNode *> nodes = Node == FRoot ? ListOrder() : ChildArray(Node);
    // Merging takes the second run's node first only when it really compares
    // before the first run's node, so ties keep their order both ways.
    const bool ascending = Direction == sdAscending;
    auto secondFirst = [&](TGridNode *first, TGridNode *second) {
        const int result = DoCompare(first, second, Column);
        return ascending ? result > 0 : result < 0;
    };
    // What a comparison reads: the record's last bytes (the handed-out flag)
    // and the data area; with no internal areas between them it is one line.
    const std::size_t dataOffset = sizeof(TGridNode) + FTotalInternalDataSize;
    auto prefetch = [dataOffset](TGridNode *node) {
        __builtin_prefetch(reinterpret_cast<const char *>(node) + sizeof(TGridNode) - 1);
        __builtin_prefetch(reinterpret_cast<const char *>(node) + dataOffset);
    };
    if (GridTreeSort::StableSort(nodes, secondFirst, prefetch))
        RelinkChildren(Node, nodes);
}

std::vector<TGridNode *> TBaseGridTree::ChildArray(TGridNode *Node) const
{
    // The chain is walked from both ends at once: after a sort its nodes lie
    // anywhere in memory, and two walks wait for two nodes at a time.
    std::vector<TGridNode *> nodes(Node->FChildCount);
    TGridNode *front = Node->FFirstChild;
    TGridNode *back = Node->FLastChild;
    std::size_t i = 0;
    std::size_t j = nodes.size();
    while (i + 1 < j) {
        nodes[i++] = front;
        front = front->FNextSibling;
        nodes[--j] = back;
        back = back->FPrevSibling;
    }
    if (i < j)
        nodes[i] = front;
    return nodes;
}

void TBaseGridTree::RelinkChildren(TGridNode *Node, const std::vector<TGridNode *> &order)
{
    // Every number is exact again.
    constexpr std::size_t ahead = GridTreeSort::PrefetchDistance;
    const std::size_t count = order.size();
    TGridNode *prev = nullptr;
    for (std::size_t i = 0; i < count; ++i) {
        if (i + ahead < count)
            __builtin_prefetch(order[i + ahead], 1);
        TGridNode *node = order[i];
        node->FIndex = static_cast<uint32_t>(i);
        node->FPrevSibling = prev;
        if (prev)
            prev->FNextSibling = node;
        prev = node;
    }
    prev->FNextSibling = nullptr;
    Node->FFirstChild = order.front();
    Node->FLastChild = prev;
    Node->FStaleChild = nullptr;
    ++FStructureStamp;
    if (Node == FRoot) {
        FListOrder = order;
        FListOrderStamp = FStructureStamp;
    }
}

const std::vector<TGridNode *> &TBaseGridTree::ListOrder() const
{
    if (FListOrderStamp != FStructureStamp) {
        FListOrder = ChildArray(FRoot);
        FListOrderStamp = FStructureStamp;
    }
    return FListOrder;
}

void TBaseGridTree::SortLevel(TGridNode *Node, int Column, TSortDirection Direction, bool DoInit)
{
    Sort(Node, Column, Direction, DoInit);
    SortLevelsBelow(Node, Column, Direction, DoInit);
}

void TBaseGridTree::SortLevelsBelow(TGridNode *Node, int Column, TSortDirection Direction, bool DoInit)
{
    // Nothing to initialise and no grandchildren: every child is a leaf, and
    // the walk over them (a large flat table's every row) is saved.
    if (!DoInit && Node->FTotalCount == Node->FChildCount + 1)
        return;
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
    // Read ahead of the sort: a change made while it runs (an edit it ends)
    // leaves the stamp behind, and the next bracket end sorts again.
    const std::uint64_t data = OnOrderStamp ? OrderStamp() : 0;
    const bool sorted = Column > -2 && FHooks->EndEdit();
    if (sorted)
        SortLevel(FRoot, Column, Direction, DoInit);
    NoteSorted(sorted, data, Column, Direction);
    EndSortTree();
}

bool TBaseGridTree::SortStillHolds()
{
    return OnOrderStamp && FSorted.valid && FSorted.structure == FStructureStamp
        && FSorted.column == FSortColumn && FSorted.direction == FSortDirection
        && FSorted.data == OrderStamp();
}

void TBaseGridTree::NoteSorted(bool sorted, std::uint64_t data, int Column, TSortDirection Direction)
{
    FSorted.valid = sorted && OnOrderStamp;
    FSorted.structure = FStructureStamp;
    FSorted.data = data;
    FSorted.column = Column;
    FSorted.direction = Direction;
}

void TBaseGridTree::SortTreeBy(int Column, TSortDirection Direction, const TNodeOrder &order)
{
    TValidationStop stop(*this);
    ++FUpdateCount;
    const std::uint64_t data = OnOrderStamp ? OrderStamp() : 0;
    const bool ordered = Column > -2 && FHooks->EndEdit();
    if (ordered) {
        if (FRoot->FStates.contains(vsHasChildren) && FRoot->FChildCount > 1) {
            const std::vector<TGridNode *> nodes = ListOrder();
            const std::vector<uint32_t> places = order(nodes);
            if (places.size() == nodes.size()) {
                std::vector<TGridNode *> sorted(places.size());
                for (std::size_t i = 0; i < places.size(); ++i)
                    sorted[i] = nodes[places[i]];
                RelinkChildren(FRoot, sorted);
            }
            FHooks->InvalidateCache();
        }
        SortLevelsBelow(FRoot, Column, Direction, false);
    }
    NoteSorted(ordered, data, Column, Direction);
    EndSortTree();
}

void TBaseGridTree::AutoSortTree()
{
    if (!(OnSortWholeTree && OnSortWholeTree(*this, FSortColumn, FSortDirection)))
        SortTree(FSortColumn, FSortDirection, true);
}

void TBaseGridTree::EndSortTree()
{
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
        AutoSortTree();
}

void TBaseGridTree::SetSortDirection(TSortDirection Value)
{
    if (Value == FSortDirection)
        return;
    FSortDirection = Value;
    if (FAutoOptions.contains(toAutoSort) && !Updating())
        AutoSortTree();
}
