#pragma once

#include "platform/workbook/CellText.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace platform::workbook {

// Whether a number format shows its number as a date or time of day, and which
// parts. `code` is the format's code when the workbook defines one for `id`, else
// empty (one of the built-in formats). Elapsed time ("[h]:mm") is no date.
std::optional<DateParts> dateFormatParts(int id, const QString &code);

// What a cell's number format makes of its number, as far as a reader of cell
// texts needs it: the general form; a date or time through the caller's forms;
// elapsed time counted as the spreadsheet shows it ("[h]:mm" shows 1.5 days as
// "36:00"); or fixed texts chosen by the sign (`"TRUE";"TRUE";"FALSE"`, which
// spreadsheet programs give boolean results stored as numbers).
class NumberFormat {
public:
    NumberFormat() = default;
    NumberFormat(int id, const QString &code);

    QString text(double value, bool date1904, const CellForms &forms, bool excelLeapDay = true) const;

private:
    enum class Kind : unsigned char { General, Date, Elapsed, Fixed };

    QString elapsedText(double value, QChar decimalSeparator) const;
    QString fixedText(double value) const;

    Kind FKind = Kind::General;
    DateParts FParts = DateParts::Date;
    // Elapsed: the sections' codes; fixed: the sections' texts.
    QStringList FSections;
};

} // namespace platform::workbook
