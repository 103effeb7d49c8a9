#pragma once

#include <QString>
#include <vector>

namespace platform::workbook {

// The cell texts of one sheet as read. Rows and columns count from 1, as a
// workbook shows them. Only cells present in the file are held, so a sheet costs
// memory by its cells, not by its extent.
class Sheet {
public:
    const QString &name() const { return name_; }
    // The highest row holding a cell with a value; 0 when there is none. Cells
    // that are only formatted do not count: a sheet ends where its data ends.
    int lastRow() const { return lastRow_; }
    // The text of a cell; empty where the sheet has none.
    QString cell(int row, int column) const;
    int cellCount() const { return static_cast<int>(cells_.size()); }
    // The highest row holding a value in a column up to `lastColumn`; 0 when there
    // is none. A value in a column a reader does not take (far below and beside
    // the data) does not stretch what it reads.
    int lastRowWithValue(int lastColumn) const;

    // Filled by the readers: cells may come in any order; a later cell at the
    // same place replaces an earlier one.
    void reset(const QString &name);
    void addCell(int row, int column, QString text);
    void finish();

private:
    struct Cell {
        int row;
        int column;
        QString text;
    };

    QString name_;
    int lastRow_ = 0;
    std::vector<Cell> cells_;
    bool ordered_ = true;
};

} // namespace platform::workbook
