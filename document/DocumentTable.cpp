#include "document/DocumentTable.h"

DocumentTable::DocumentTable(TWhichTable which)
    : FWhich(which)
    , FTree(std::make_unique<TBaseGridTree>())
{
    FTree->SetNodeDataType<TNodeData>();
    // The task tables select several rows at once.
    FTree->SetSelectionOptions({ toMultiSelect });
    // Whatever removes a node (delete, clear, the tree's end) drops the row's index entries.
    FTree->OnFreeNode = [this](TBaseGridTree &tree, TGridNode *node) {
        if (FClearing) // ClearRows drops the whole index at once
            return;
        FByID.Remove(tree.GetNodeData<TNodeData>(node));
    };
    FTree->OnSelectionMark = [this](TBaseGridTree &tree, TGridNode *node, bool selected) {
        if (node)
            FSelectedColors.Add(tree.GetNodeData<TNodeData>(node)->nodeColor, selected ? 1 : -1);
        else
            FSelectedColors.Clear();
    };
}

DocumentTable::~DocumentTable()
{
    ClearRows();
    FTree.reset();
}

void DocumentTable::AppendColumn()
{
    FColumns.emplace_back();
}

void DocumentTable::RemoveColumn(int index)
{
    if (index >= 0 && index < ColumnCount())
        FColumns.erase(FColumns.begin() + index);
}

void DocumentTable::RelayColumns(const std::vector<int> &origin)
{
    std::vector<Column> columns(origin.size());
    for (std::size_t i = 0; i < origin.size(); ++i) {
        if (origin[i] >= 0 && origin[i] < ColumnCount())
            columns[i] = std::move(FColumns[std::size_t(origin[i])]);
    }
    FColumns = std::move(columns);
}

QString DocumentTable::Caption(int column) const
{
    return column >= 0 && column < ColumnCount() ? FColumns[column].caption : QString();
}

void DocumentTable::SetCaption(int column, const QString &caption)
{
    if (column >= 0 && column < ColumnCount())
        FColumns[column].caption = caption;
}

bool DocumentTable::RightAligned(int column) const
{
    return column >= 0 && column < ColumnCount() && FColumns[column].rightAligned;
}

void DocumentTable::SetRightAligned(int column, bool right)
{
    if (column >= 0 && column < ColumnCount())
        FColumns[column].rightAligned = right;
}

THeaderData *DocumentTable::Header(int column)
{
    if (column < 0 || column >= ColumnCount())
        return nullptr;
    auto &header = FColumns[column].header;
    if (!header)
        header = std::make_unique<THeaderData>();
    return header.get();
}

const THeaderData *DocumentTable::Header(int column) const
{
    return const_cast<DocumentTable *>(this)->Header(column);
}

void DocumentTable::FreeHeaders()
{
    for (auto &column : FColumns)
        column.header.reset();
}

TNodeData *DocumentTable::AddRow(const QString &id)
{
    TGridNode *node = FTree->AddChild(nullptr);
    TNodeData *row = FTree->GetNodeData<TNodeData>(node);
    row->ID = id;
    row->NodeTable = FWhich;
    row->VNode = node;
    row->VNodeTable = FTree.get();
    FByID.Insert(row);
    return row;
}

void DocumentTable::ReserveRows(int count)
{
    if (count > 0)
        FByID.Reserve(FByID.Count() + std::size_t(count));
}

void DocumentTable::DeleteRow(TNodeData *row)
{
    if (row && row->VNode)
        FTree->DeleteNode(row->VNode);
}

void DocumentTable::ClearRows()
{
    FByID.Clear();
    FClearing = true;
    FTree->Clear();
    FClearing = false;
}

int DocumentTable::RowCount() const
{
    return int(FTree->RootNodeCount());
}

int DocumentTable::VisibleRowCount() const
{
    return int(FTree->VisibleCount());
}

TNodeData *DocumentTable::First() const
{
    TGridNode *node = FTree->GetFirstNoInit();
    return node ? FTree->GetNodeData<TNodeData>(node) : nullptr;
}

TNodeData *DocumentTable::Next(const TNodeData *row) const
{
    // Rows are top-level nodes: the next row is the next sibling.
    TGridNode *next = row && row->VNode ? row->VNode->NextSibling() : nullptr;
    return next ? FTree->GetNodeData<TNodeData>(next) : nullptr;
}

const std::vector<TNodeData *> &DocumentTable::Rows() const
{
    if (FRowListStamp != FTree->StructureStamp()) {
        // From the store's list of nodes, read in order a few ahead, where a
        // walk along the links waits for each row in turn.
        const std::vector<TGridNode *> &nodes = FTree->ListOrder();
        FRowList.resize(nodes.size());
        constexpr std::size_t ahead = 16;
        for (std::size_t i = 0; i < nodes.size(); ++i) {
            if (i + ahead < nodes.size())
                __builtin_prefetch(reinterpret_cast<const char *>(nodes[i + ahead]) + sizeof(TGridNode) - 1);
            FRowList[i] = FTree->GetNodeData<TNodeData>(nodes[i]);
        }
        FRowListStamp = FTree->StructureStamp();
    }
    return FRowList;
}

std::vector<TNodeData *> DocumentTable::SelectedRows() const
{
    // Every row selected (a select-all): the row list, kept while the rows stay
    // as they are, without a look at each row.
    const TGridNode &root = *FTree->RootNode();
    if (root.ChildCount() > 0 && FTree->SelectedCount() == int(root.ChildCount())
        && root.TotalCount() == root.ChildCount() + 1)
        return Rows();
    const TNodeArray nodes = FTree->GetSortedSelection(false);
    std::vector<TNodeData *> rows;
    rows.reserve(nodes.size());
    // In table order the nodes lie anywhere in memory (after a sort): the
    // record each answer reads is fetched a few nodes ahead.
    constexpr std::size_t ahead = 16;
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        if (i + ahead < nodes.size())
            __builtin_prefetch(reinterpret_cast<const char *>(nodes[i + ahead]) + sizeof(TGridNode) - 1);
        rows.push_back(FTree->GetNodeData<TNodeData>(nodes[i]));
    }
    return rows;
}

bool DocumentTable::IsHidden(const TNodeData *row) const
{
    return row && row->VNode && !row->VNode->Has(vsVisible);
}

void DocumentTable::SetHidden(TNodeData *row, bool hidden)
{
    if (row && row->VNode)
        FTree->SetVisible(row->VNode, !hidden);
}

bool DocumentTable::IsSelected(const TNodeData *row) const
{
    return row && FTree->Selected(row->VNode);
}

void DocumentTable::SetSelected(TNodeData *row, bool selected)
{
    if (row && row->VNode)
        FTree->SetSelected(row->VNode, selected);
}

int DocumentTable::SelectedCount() const
{
    return FTree->SelectedCount();
}

void DocumentTable::ColorChanged(const TNodeData *row, int oldColor)
{
    if (!row || row->VNodeTable != FTree.get() || row->nodeColor == oldColor || !IsSelected(row))
        return;
    FSelectedColors.Add(oldColor, -1);
    FSelectedColors.Add(row->nodeColor, 1);
}
