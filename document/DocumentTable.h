#pragma once

#include "components/BaseGridTree.h"
#include "document/DocumentTypes.h"
#include "document/RowIndex.h"
#include "document/SelectedColorCounts.h"

#include <QString>
#include <memory>
#include <vector>

// One table of the document: its columns (caption, alignment, definition) and
// its rows in tree order. The rows live in the nodes of a tree-grid node store,
// each node carrying one row record; the table keeps an index from row ID to row.
class DocumentTable {
public:
    explicit DocumentTable(TWhichTable which);
    ~DocumentTable();
    DocumentTable(const DocumentTable &) = delete;
    DocumentTable &operator=(const DocumentTable &) = delete;

    TWhichTable Which() const { return FWhich; }
    // The tree whose nodes hold the rows (the table widget shows it).
    TBaseGridTree &Tree() { return *FTree; }

    // Columns.
    int ColumnCount() const { return int(FColumns.size()); }
    void AppendColumn();
    void RemoveColumn(int index);
    // Lays the columns out anew: new column i is old column origin[i] with its
    // caption, alignment and definition; -1 (or an index no longer there) makes a
    // new column. Old columns that no entry names are dropped. The rows' cells are
    // the caller's.
    void RelayColumns(const std::vector<int> &origin);
    QString Caption(int column) const;
    void SetCaption(int column, const QString &caption);
    bool RightAligned(int column) const;
    void SetRightAligned(int column, bool right);
    // The column's definition, created on first access; null outside the columns.
    THeaderData *Header(int column);
    const THeaderData *Header(int column) const;
    // Frees every column's definition (they are made anew on access).
    void FreeHeaders();

    // Rows, in tree order.
    TNodeData *AddRow(const QString &id);
    // Room for `count` more rows in the index of IDs.
    void ReserveRows(int count);
    void DeleteRow(TNodeData *row);
    void ClearRows();
    int RowCount() const;
    int VisibleRowCount() const;
    TNodeData *First() const;
    TNodeData *Next(const TNodeData *row) const;
    // The rows in tree order as one list, made anew when the tree's structure
    // moved on. A walk over it lets the processor fetch many rows at once; one
    // along the rows' links waits for each row before it can ask for the next.
    const std::vector<TNodeData *> &Rows() const;
    std::uint64_t StructureStamp() const { return FTree->StructureStamp(); }
    TNodeData *Find(const QString &id) const { return FByID.Find(id); }
    bool IsHidden(const TNodeData *row) const;
    void SetHidden(TNodeData *row, bool hidden);
    // The selection is the tree's (the table widget changes it there).
    bool IsSelected(const TNodeData *row) const;
    void SetSelected(TNodeData *row, bool selected);
    int SelectedCount() const;
    // The selected rows in tree order.
    std::vector<TNodeData *> SelectedRows() const;
    // How many selected rows use each colour index, kept as the selection changes.
    const TSelectedColorCounts &SelectedColors() const { return FSelectedColors; }
    // A row's colour index changed from `oldColor` (the counts follow when it is selected).
    void ColorChanged(const TNodeData *row, int oldColor);

private:
    struct Column {
        QString caption;
        bool rightAligned = false;
        std::unique_ptr<THeaderData> header;
    };
    TWhichTable FWhich;
    std::vector<Column> FColumns;
    TRowIndex FByID;
    TSelectedColorCounts FSelectedColors;
    mutable std::vector<TNodeData *> FRowList;
    mutable std::uint64_t FRowListStamp = ~std::uint64_t(0);
    bool FClearing = false;
    // Declared last: its destructor frees the rows, which unregisters them above.
    std::unique_ptr<TBaseGridTree> FTree;
};
