#include "dialogs/print/StringGrid.h"

#include <algorithm>

void TStringGrid::SetColCount(int count)
{
    FColCount = std::max(0, count);
    FColumns.resize(std::size_t(FColCount));
    for (std::vector<QString> &row : FCells)
        row.resize(std::size_t(FColCount));
}

void TStringGrid::SetRowCount(int count)
{
    FCells.resize(std::size_t(std::max(0, count)), std::vector<QString>(std::size_t(FColCount)));
}

void TStringGrid::AddRow(std::vector<QString> cells)
{
    cells.resize(std::size_t(FColCount));
    FCells.push_back(std::move(cells));
}

const QString &TStringGrid::Cell(int column, int row) const
{
    static const QString none;
    if (column < 0 || column >= FColCount || row < 0 || row >= RowCount())
        return none;
    return FCells[std::size_t(row)][std::size_t(column)];
}

void TStringGrid::SetCell(int column, int row, const QString &text)
{
    if (column >= 0 && column < FColCount && row >= 0 && row < RowCount())
        FCells[std::size_t(row)][std::size_t(column)] = text;
}

int TStringGrid::ColWidth(int column) const
{
    return column >= 0 && column < FColCount ? FColumns[std::size_t(column)].Width : 0;
}

void TStringGrid::SetColWidth(int column, int width)
{
    if (column >= 0 && column < FColCount)
        FColumns[std::size_t(column)].Width = width;
}

int TStringGrid::Alignment(int column) const
{
    return column >= 0 && column < FColCount ? FColumns[std::size_t(column)].Align : AlignLeft;
}

void TStringGrid::SetAlignment(int column, int align)
{
    if (column >= 0 && column < FColCount)
        FColumns[std::size_t(column)].Align = align;
}
