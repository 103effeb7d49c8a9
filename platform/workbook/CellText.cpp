#include "platform/workbook/CellText.h"

#include <cmath>
#include <cstdio>

namespace platform::workbook {

namespace {

int hexValue(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

// The code of an escape "_xHHHH_" starting at `i`, else -1.
int escapeAt(const QString &text, qsizetype i)
{
    if (i + 7 > text.size() || text[i] != u'_' || text[i + 1] != u'x' || text[i + 6] != u'_')
        return -1;
    int code = 0;
    for (qsizetype k = i + 2; k < i + 6; ++k) {
        const int digit = hexValue(text[k].unicode());
        if (digit < 0)
            return -1;
        code = code * 16 + digit;
    }
    return code;
}

// Days from 1 January 1970 of a proleptic Gregorian date.
long long daysFromCivil(long long y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

constexpr long long DaysFrom1899To1970 = 25569;

// Reads exactly `count` digits at `pos`.
bool digits(std::string_view text, size_t &pos, int count, int &out)
{
    if (pos + static_cast<size_t>(count) > text.size())
        return false;
    out = 0;
    for (int k = 0; k < count; ++k, ++pos) {
        const char c = text[pos];
        if (c < '0' || c > '9')
            return false;
        out = out * 10 + (c - '0');
    }
    return true;
}

bool expect(std::string_view text, size_t &pos, char c)
{
    if (pos >= text.size() || text[pos] != c)
        return false;
    ++pos;
    return true;
}

} // namespace

QString numberText(double value, QChar decimalSeparator)
{
    if (value == 0)
        return QStringLiteral("0");
    if (std::fabs(value) < 1e15 && value == std::trunc(value))
        return QString::number(static_cast<qint64>(value));
    char buffer[32];
    const int n = std::snprintf(buffer, sizeof buffer, "%.15g", value);
    QString text = QString::fromLatin1(buffer, n);
    for (QChar &c : text) {
        if (c == u'e')
            c = u'E';
        else if (c == u'.')
            c = decimalSeparator;
    }
    return text;
}

void decodeEscapes(QString &text)
{
    qsizetype i = text.indexOf(QLatin1String("_x"));
    if (i < 0)
        return;
    QString out = text.left(i);
    while (i < text.size()) {
        const int code = escapeAt(text, i);
        if (code >= 0) {
            out += QChar(static_cast<char16_t>(code));
            i += 7;
        } else {
            out += text[i++];
        }
    }
    text = out;
}

QString encodeEscapes(const QString &text)
{
    // A NUL would end the text for the writing library.
    qsizetype i = 0;
    while (i < text.size() && text[i] != u'\0' && !(text[i] == u'_' && escapeAt(text, i) >= 0))
        ++i;
    if (i == text.size())
        return text;
    QString out = text.left(i);
    for (; i < text.size(); ++i) {
        if (text[i] == u'\0') {
            out += QLatin1String("_x0000_");
            continue;
        }
        if (text[i] == u'_' && escapeAt(text, i) >= 0)
            out += QLatin1String("_x005F");
        out += text[i];
    }
    return out;
}

std::optional<double> serialToDate(double serial, bool date1904, bool excelLeapDay)
{
    // Days from 1 January 1 to 31 December 9999, as 30 December 1899 counts them.
    constexpr double FirstDay = -693593, LastDay = 2958466;
    // Excel's 1900 system counts a 29 February 1900 that never was: before it, its
    // serials are one behind the days; it shows no date before its day 0. LibreOffice
    // counts no such day and writes days before 1900 as negative serials.
    if (excelLeapDay && !(serial >= 0))
        return std::nullopt;
    double day = date1904 ? serial + 1462 : serial;
    if (!date1904 && excelLeapDay && serial >= 1 && serial < 60)
        day += 1;
    if (!(day >= FirstDay) || day >= LastDay)
        return std::nullopt;
    return day;
}

bool parseIsoDate(std::string_view text, double &value, DateParts &parts)
{
    size_t pos = 0;
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    bool hasDate = false, hasTime = false;
    double days = 0;
    if (text.size() >= 10 && text[4] == '-') {
        if (!digits(text, pos, 4, year) || !expect(text, pos, '-') || !digits(text, pos, 2, month)
            || !expect(text, pos, '-') || !digits(text, pos, 2, day))
            return false;
        if (month < 1 || month > 12 || day < 1)
            return false;
        const long long first = daysFromCivil(year, static_cast<unsigned>(month), 1);
        const long long next = month == 12 ? daysFromCivil(year + 1, 1, 1)
                                           : daysFromCivil(year, static_cast<unsigned>(month + 1), 1);
        if (day > next - first)
            return false;
        days = static_cast<double>(first + day - 1 + DaysFrom1899To1970);
        hasDate = true;
        if (pos < text.size() && (text[pos] == 'T' || text[pos] == ' '))
            ++pos;
        else if (pos != text.size())
            return false;
    }
    if (pos < text.size()) {
        if (!digits(text, pos, 2, hour) || !expect(text, pos, ':') || !digits(text, pos, 2, minute))
            return false;
        if (pos < text.size() && (!expect(text, pos, ':') || !digits(text, pos, 2, second)))
            return false;
        double fraction = 0;
        if (pos < text.size() && text[pos] == '.') {
            double scale = 0.1;
            for (++pos; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos, scale /= 10)
                fraction += (text[pos] - '0') * scale;
        }
        if (pos + 1 == text.size() && text[pos] == 'Z')
            ++pos;
        if (pos != text.size() || hour > 23 || minute > 59 || second > 59)
            return false;
        days += ((hour * 60 + minute) * 60 + second + fraction) / 86400.0;
        hasTime = true;
    }
    if (!hasDate && !hasTime)
        return false;
    value = days;
    parts = hasDate && hasTime ? DateParts::DateTime : hasDate ? DateParts::Date : DateParts::Time;
    return true;
}

} // namespace platform::workbook
