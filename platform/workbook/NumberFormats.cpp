#include "platform/workbook/NumberFormats.h"

#include <vector>

namespace platform::workbook {

namespace {

std::optional<DateParts> builtInParts(int id)
{
    // The standard date and time formats, and those reserved for East Asian dates.
    if ((id >= 14 && id <= 17) || (id >= 27 && id <= 31) || id == 36 || (id >= 50 && id <= 54) || id == 57
        || id == 58)
        return DateParts::Date;
    if ((id >= 18 && id <= 21) || (id >= 32 && id <= 35) || (id >= 45 && id <= 47) || id == 55 || id == 56)
        return DateParts::Time;
    if (id == 22)
        return DateParts::DateTime;
    return std::nullopt;
}

bool startsWithNoCase(const QString &code, qsizetype i, QLatin1String word)
{
    return code.mid(i, word.size()).compare(word, Qt::CaseInsensitive) == 0;
}

} // namespace

std::optional<DateParts> dateFormatParts(int id, const QString &code)
{
    if (code.isEmpty())
        return builtInParts(id);
    // The date and time letters of the first section, outside quoted text,
    // escaped characters and bracketed colours or conditions.
    std::vector<char> letters;
    bool clock = false;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const char16_t c = code[i].toLower().unicode();
        if (c == u';')
            break;
        if (c == u'"') {
            const qsizetype close = code.indexOf(u'"', i + 1);
            if (close < 0)
                break;
            i = close;
        } else if (c == u'\\' || c == u'_' || c == u'*') {
            ++i;
        } else if (c == u'[') {
            const qsizetype close = code.indexOf(u']', i + 1);
            if (close < 0)
                break;
            // Elapsed hours, minutes or seconds: "[h]", "[mm]", "[ss]".
            const QString inner = code.mid(i + 1, close - i - 1).toLower();
            if (!inner.isEmpty() && inner.count(inner[0]) == inner.size()
                && (inner[0] == u'h' || inner[0] == u'm' || inner[0] == u's'))
                clock = true;
            i = close;
        } else if (startsWithNoCase(code, i, QLatin1String("am/pm"))) {
            clock = true;
            i += 4;
        } else if (startsWithNoCase(code, i, QLatin1String("a/p"))) {
            clock = true;
            i += 2;
        } else if (c == u'y' || c == u'd' || c == u'h' || c == u's' || c == u'm') {
            if (letters.empty() || letters.back() != static_cast<char>(c))
                letters.push_back(static_cast<char>(c));
        }
    }
    bool date = false;
    for (size_t k = 0; k < letters.size(); ++k) {
        switch (letters[k]) {
        case 'y':
        case 'd':
            date = true;
            break;
        case 'h':
        case 's':
            clock = true;
            break;
        default: {
            // "m" is minutes right after hours or right before seconds, else months.
            const bool minutes
                = (k > 0 && letters[k - 1] == 'h') || (k + 1 < letters.size() && letters[k + 1] == 's');
            (minutes ? clock : date) = true;
        }
        }
    }
    if (date && clock)
        return DateParts::DateTime;
    if (date)
        return DateParts::Date;
    if (clock)
        return DateParts::Time;
    return std::nullopt;
}

} // namespace platform::workbook
