#pragma once

#include <QString>
#include <vector>

// A plain table of cell texts for printing: row 0 holds the column captions. Each
// column has a width (0: the column is not printed; any other value: it is, the
// printout measures its own widths) and an alignment.
class TStringGrid {
public:
    enum TAlign { AlignLeft = 0, AlignRight = 1, AlignCenter = 2 };

    int ColCount() const { return FColCount; }
    // Keeps the cells that stay inside.
    void SetColCount(int count);
    int RowCount() const { return int(FCells.size()); }
    void SetRowCount(int count);
    // Appends a row of `cells` (cut or filled up to the column count).
    void AddRow(std::vector<QString> cells);

    // Empty outside the grid.
    const QString &Cell(int column, int row) const;
    // Ignored outside the grid.
    void SetCell(int column, int row, const QString &text);
    int ColWidth(int column) const;
    void SetColWidth(int column, int width);
    int Alignment(int column) const;
    void SetAlignment(int column, int align);

private:
    struct TColumn {
        int Width = 64;
        int Align = AlignLeft;
    };
    int FColCount = 0;
    std::vector<TColumn> FColumns;
    std::vector<std::vector<QString>> FCells; // by row, then column
};
