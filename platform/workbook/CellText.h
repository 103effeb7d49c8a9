#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <string_view>

namespace platform::workbook {

// What a date or time cell shows.
enum class DateParts : unsigned char { Date = 1, Time = 2, DateTime = 3 };

// How the reader turns numbers and dates into cell texts; the caller supplies its
// own forms so that this layer knows nothing of the document's.
struct CellForms {
    QChar decimalSeparator = QLatin1Char('.');
    // The text of a date or time: `value` counts days since 30 December 1899, the
    // time of day as the fraction. Without it such cells read as their numbers.
    std::function<QString(double value, DateParts parts)> dateText;
};

// A number as a spreadsheet shows it in the general format: at most 15
// significant digits, no trailing zeros, no ".0", an exponent ("1E+20") only for
// very large or small numbers.
QString numberText(double value, QChar decimalSeparator);

// The workbook format writes characters that XML cannot hold as "_xHHHH_"; a
// literal "_" that would start such a sequence is written "_x005F_", and a NUL
// (which the writing library cannot take) "_x0000_".
void decodeEscapes(QString &text);
QString encodeEscapes(const QString &text);

// A date serial number of the workbook (1900 or 1904 date system) as days since
// 30 December 1899; none when it lies outside the years 1 to 9999. `excelLeapDay`:
// the workbook's writer counts Excel's 29 February 1900 and no day before its day 0
// (LibreOffice does neither).
std::optional<double> serialToDate(double serial, bool date1904, bool excelLeapDay = true);

// "yyyy-mm-dd", "hh:mm:ss" or both joined by a blank or "T" (seconds and a
// fraction optional), as days since 30 December 1899 with the parts it names.
bool parseIsoDate(std::string_view text, double &value, DateParts &parts);

} // namespace platform::workbook
