#include "document/DocumentTable.h"

#include <cstddef>

// Temporary row storage: an intrusive list in tree order.
struct DocumentTable::Rows {
    struct Row {
        TNodeData data; // first member: a row record converts back to its Row
        Row *prev = nullptr;
        Row *next = nullptr;
        bool hidden = false;
        bool selected = false;
    };
    Row *first = nullptr;
    Row *last = nullptr;
    int count = 0;
    int hidden = 0;
    int selected = 0;

    static Row *of(const TNodeData *d) { return reinterpret_cast<Row *>(const_cast<TNodeData *>(d)); }
};

DocumentTable::DocumentTable(TWhichTable which)
    : which_(which)
    , rows_(std::make_unique<Rows>())
{
}

DocumentTable::~DocumentTable()
{
    ClearRows();
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
    auto *row = new Rows::Row;
    static_assert(offsetof(Rows::Row, data) == 0);
    row->prev = rows_->last;
    if (rows_->last)
        rows_->last->next = row;
    else
        rows_->first = row;
    rows_->last = row;
    ++rows_->count;
    row->data.ID = id;
    row->data.NodeTable = which_;
    byID_.insert(id, &row->data);
    return &row->data;
}

void DocumentTable::DeleteRow(TNodeData *data)
{
    if (!data)
        return;
    Rows::Row *row = Rows::of(data);
    if (row->prev)
        row->prev->next = row->next;
    else
        rows_->first = row->next;
    if (row->next)
        row->next->prev = row->prev;
    else
        rows_->last = row->prev;
    --rows_->count;
    rows_->hidden -= row->hidden;
    rows_->selected -= row->selected;
    auto it = byID_.find(data->ID);
    if (it != byID_.end() && it.value() == data)
        byID_.erase(it);
    delete row;
}

void DocumentTable::ClearRows()
{
    for (Rows::Row *row = rows_->first; row;) {
        Rows::Row *next = row->next;
        delete row;
        row = next;
    }
    rows_->first = rows_->last = nullptr;
    rows_->count = rows_->hidden = rows_->selected = 0;
    byID_.clear();
}

int DocumentTable::RowCount() const
{
    return rows_->count;
}

int DocumentTable::VisibleRowCount() const
{
    return rows_->count - rows_->hidden;
}

TNodeData *DocumentTable::First() const
{
    return rows_->first ? &rows_->first->data : nullptr;
}

TNodeData *DocumentTable::Next(const TNodeData *row) const
{
    Rows::Row *next = row ? Rows::of(row)->next : nullptr;
    return next ? &next->data : nullptr;
}

bool DocumentTable::IsHidden(const TNodeData *row) const
{
    return row && Rows::of(row)->hidden;
}

void DocumentTable::SetHidden(TNodeData *row, bool hidden)
{
    if (!row || Rows::of(row)->hidden == hidden)
        return;
    Rows::of(row)->hidden = hidden;
    rows_->hidden += hidden ? 1 : -1;
}

bool DocumentTable::IsSelected(const TNodeData *row) const
{
    return row && Rows::of(row)->selected;
}

void DocumentTable::SetSelected(TNodeData *row, bool selected)
{
    if (!row || Rows::of(row)->selected == selected)
        return;
    Rows::of(row)->selected = selected;
    rows_->selected += selected ? 1 : -1;
}

int DocumentTable::SelectedCount() const
{
    return rows_->selected;
}
