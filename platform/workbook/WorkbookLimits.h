#pragma once

#include <QString>

namespace platform::workbook {

// What a workbook can hold.
constexpr int MaxRows = 1048576;
constexpr int MaxColumns = 16384;
constexpr int MaxSheetNameLength = 31;
constexpr int MaxCellTextLength = 32767;

// `name` made fit for a sheet: the characters a sheet name must not hold
// ([ ] : * ? / \ and control characters) become "_", apostrophes at either end
// are dropped, and it is cut to 31 characters (never inside a surrogate pair).
// The writer names its sheets through it; a reader looking a sheet up by the
// name it was written with looks for the same text.
QString cleanSheetName(const QString &name);

// The longest start of `text` of at most `length` UTF-16 units that does not
// end inside a surrogate pair.
QString cutText(const QString &text, qsizetype length);

} // namespace platform::workbook
