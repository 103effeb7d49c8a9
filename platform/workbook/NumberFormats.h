#pragma once

#include "platform/workbook/CellText.h"

#include <QString>
#include <optional>

namespace platform::workbook {

// Whether a number format shows its number as a date or time, and which parts.
// `code` is the format's code when the workbook defines one for `id`, else
// empty (one of the built-in formats).
std::optional<DateParts> dateFormatParts(int id, const QString &code);

} // namespace platform::workbook
