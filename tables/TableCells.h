#pragma once

#include "document/DocumentTypes.h"

#include <QString>
#include <QStringView>
#include <cstdint>
#include <optional>

class Document;

// What the two task tables show of a row, cell by cell: the text, the font and
// the cell background. Both tables (tasks and absent days) use the same rules.

// Cell colours, 0x00BBGGRR.
constexpr std::uint32_t kRoleFillColor = 0xF0E5CC;
constexpr std::uint32_t kErrorFontColor = 0x0000FF;

// The cell as the row stores it (empty outside its cells), without a copy:
// passes over every row would otherwise write each cell's reference count.
const QString &CellOf(const TNodeData &row, int column);

// The text of a cell (the tree's get-text event): the stored cell, except that
// a check-box column shows the translation of "yes" for a cell of exactly "Ja"
// and of "no" for any other. Column -1 is empty.
QString GetCellText(const Document &doc, const TNodeData &row, int column);

// The font of a row: red while its bar overlaps another, italic while it is
// incomplete, bold while it is selected.
struct TRowFont {
    std::optional<std::uint32_t> color; // none: the table's own text colour
    bool italic = false;
    bool bold = false;
    bool operator==(const TRowFont &) const = default;
};
TRowFont GetRowFont(const Document &doc, const TNodeData &row, bool selected);

// The background of a column's cells: the role fill for the columns whose first
// role is the position, start, end, length or colour; none for the others
// (the table's own background).
std::optional<std::uint32_t> GetCellFill(const Document &doc, TWhichTable table, int column);

// The wavy underline of an incomplete row: drawn under every cell, from the
// cell's left edge over its width, at one pixel above the cell's bottom edge
// (bottom exclusive). None for a complete row.
struct TWavyLine {
    int x = 0;
    int y = 0;
    int width = 0;
    bool operator==(const TWavyLine &) const = default;
};
std::optional<TWavyLine> GetWavyLine(const TNodeData &row, int cellLeft, int cellWidth, int cellBottom);

// The hint of an incomplete row: why it is not on the chart, as far as its date
// cells tell ("Start: \"early March\" is no date."), one line per such cell;
// empty for a complete row or one whose dates are all readable.
QString GetRowHint(const Document &doc, const TNodeData &row);

// Texts compared ignoring the case of the ASCII letters only, code unit by
// code unit: < 0, 0 or > 0.
int CompareText(QStringView a, QStringView b);
