#include "document/DocumentTable.h"

DocumentTable::DocumentTable(TWhichTable which)
    : which_(which)
    , tree_(std::make_unique<TBaseGridTree>())
{
    tree_->SetNodeDataType<TNodeData>();
    // Whatever removes a node (delete, clear, the tree's end) drops the row's index entries.
    tree_->OnFreeNode = [this](TBaseGridTree &tree, TGridNode *node) {
        if (clearing_) // ClearRows drops the whole index at once
            return;
        TNodeData *row = tree.GetNodeData<TNodeData>(node);
        auto it = byID_.find(row->ID);
        if (it != byID_.end() && it.value() == row)
            byID_.erase(it);
        selected_.remove(row);
    };
}

DocumentTable::~DocumentTable()
{
    ClearRows();
    tree_.reset();
}

void DocumentTable::AppendColumn()
{
    columns_.emplace_back();
}

void DocumentTable::RemoveColumn(int index)
{
    if (index >= 0 && index < ColumnCount())
        columns_.erase(columns_.begin() + index);
}

QString DocumentTable::Caption(int column) const
{
    return column >= 0 && column < ColumnCount() ? columns_[column].caption : QString();
}

void DocumentTable::SetCaption(int column, const QString &caption)
{
    if (column >= 0 && column < ColumnCount())
        columns_[column].caption = caption;
}

bool DocumentTable::RightAligned(int column) const
{
    return column >= 0 && column < ColumnCount() && columns_[column].rightAligned;
}

void DocumentTable::SetRightAligned(int column, bool right)
{
    if (column >= 0 && column < ColumnCount())
        columns_[column].rightAligned = right;
}

THeaderData *DocumentTable::Header(int column)
{
    if (column < 0 || column >= ColumnCount())
        return nullptr;
    auto &header = columns_[column].header;
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
    for (auto &column : columns_)
        column.header.reset();
}

TNodeData *DocumentTable::AddRow(const QString &id)
{
    TGridNode *node = tree_->AddChild(nullptr);
    TNodeData *row = tree_->GetNodeData<TNodeData>(node);
    row->ID = id;
    row->NodeTable = which_;
    row->VNode = node;
    row->VNodeTable = tree_.get();
    byID_.insert(id, row);
    return row;
}

void DocumentTable::DeleteRow(TNodeData *row)
{
    if (row && row->VNode)
        tree_->DeleteNode(row->VNode);
}

void DocumentTable::ClearRows()
{
    byID_.clear();
    selected_.clear();
    clearing_ = true;
    tree_->Clear();
    clearing_ = false;
}

int DocumentTable::RowCount() const
{
    return int(tree_->RootNodeCount());
}

int DocumentTable::VisibleRowCount() const
{
    return int(tree_->VisibleCount());
}

TNodeData *DocumentTable::First() const
{
    TGridNode *node = tree_->GetFirstNoInit();
    return node ? tree_->GetNodeData<TNodeData>(node) : nullptr;
}

TNodeData *DocumentTable::Next(const TNodeData *row) const
{
    // Rows are top-level nodes: the next row is the next sibling.
    TGridNode *next = row && row->VNode ? row->VNode->NextSibling() : nullptr;
    return next ? tree_->GetNodeData<TNodeData>(next) : nullptr;
}

bool DocumentTable::IsHidden(const TNodeData *row) const
{
    return row && row->VNode && !row->VNode->Has(vsVisible);
}

void DocumentTable::SetHidden(TNodeData *row, bool hidden)
{
    if (row && row->VNode)
        tree_->SetVisible(row->VNode, !hidden);
}

bool DocumentTable::IsSelected(const TNodeData *row) const
{
    return selected_.contains(row);
}

void DocumentTable::SetSelected(TNodeData *row, bool selected)
{
    if (!row)
        return;
    if (selected)
        selected_.insert(row);
    else
        selected_.remove(row);
}

int DocumentTable::SelectedCount() const
{
    return int(selected_.size());
}
