#include "platform/workbook/NumberFormats.h"

#include <cmath>
#include <vector>

namespace platform::workbook {

namespace {

std::optional<DateParts> builtInParts(int id)
{
    // The standard date and time formats, and those reserved for East Asian dates.
    if ((id >= 14 && id <= 17) || (id >= 27 && id <= 31) || id == 36 || (id >= 50 && id <= 54) || id == 57
        || id == 58)
        return DateParts::Date;
    if ((id >= 18 && id <= 21) || (id >= 32 && id <= 35) || id == 45 || id == 47 || id == 55 || id == 56)
        return DateParts::Time;
    if (id == 22)
        return DateParts::DateTime;
    return std::nullopt;
}

// The one built-in format counting elapsed time.
constexpr int ElapsedHoursId = 46;

bool startsWithNoCase(QStringView code, qsizetype i, QLatin1String word)
{
    return code.mid(i, word.size()).compare(word, Qt::CaseInsensitive) == 0;
}

// The sections of a format code, split at ";" outside quoted text and escapes.
QStringList sectionsOf(const QString &code)
{
    QStringList sections;
    QString current;
    bool quoted = false;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        if (c == u'"')
            quoted = !quoted;
        if (!quoted && c == u'\\' && i + 1 < code.size()) {
            current += c;
            current += code[++i];
            continue;
        }
        if (!quoted && c == u';') {
            sections << current;
            current.clear();
            continue;
        }
        current += c;
    }
    sections << current;
    return sections;
}

// A bracketed part "[h]", "[mm]", "[ss]": elapsed hours, minutes or seconds.
char elapsedUnit(QStringView inner)
{
    if (inner.isEmpty())
        return 0;
    const QChar first = inner[0].toLower();
    if (first != u'h' && first != u'm' && first != u's')
        return 0;
    for (const QChar c : inner) {
        if (c.toLower() != first)
            return 0;
    }
    return static_cast<char>(first.unicode());
}

// One piece of a format section, as far as dates, times and fixed texts go.
struct Piece {
    enum Kind : unsigned char { Text, Letters, Elapsed, Fraction, Bracket, Other };
    Kind kind;
    char letter = 0; // Letters and Elapsed: y, d, h, m or s (lower case)
    int width = 0; // Letters, Elapsed: how many; Fraction: digits
    QString text; // Text: the characters shown
};

std::vector<Piece> piecesOf(QStringView section)
{
    std::vector<Piece> pieces;
    for (qsizetype i = 0; i < section.size(); ++i) {
        const QChar c = section[i];
        const char16_t lower = c.toLower().unicode();
        if (c == u'"') {
            qsizetype close = section.indexOf(u'"', i + 1);
            if (close < 0)
                close = section.size();
            pieces.push_back({ Piece::Text, 0, 0, section.mid(i + 1, close - i - 1).toString() });
            i = close;
        } else if (c == u'\\' && i + 1 < section.size()) {
            pieces.push_back({ Piece::Text, 0, 0, QString(section[++i]) });
        } else if (c == u'_' && i + 1 < section.size()) {
            // Room as wide as the next character.
            pieces.push_back({ Piece::Text, 0, 0, QStringLiteral(" ") });
            ++i;
        } else if (c == u'*') {
            ++i; // a fill character repeated to the cell's width
        } else if (c == u'[') {
            qsizetype close = section.indexOf(u']', i + 1);
            if (close < 0)
                close = section.size();
            const QStringView inner = section.mid(i + 1, close - i - 1);
            if (const char unit = elapsedUnit(inner))
                pieces.push_back({ Piece::Elapsed, unit, static_cast<int>(inner.size()), {} });
            else
                pieces.push_back({ Piece::Bracket, 0, 0, inner.toString() });
            i = close;
        } else if (startsWithNoCase(section, i, QLatin1String("am/pm"))) {
            pieces.push_back({ Piece::Letters, 'a', 5, {} });
            i += 4;
        } else if (startsWithNoCase(section, i, QLatin1String("a/p"))) {
            pieces.push_back({ Piece::Letters, 'a', 3, {} });
            i += 2;
        } else if (lower == u'y' || lower == u'd' || lower == u'h' || lower == u'm' || lower == u's') {
            int width = 1;
            while (i + 1 < section.size() && section[i + 1].toLower() == QChar(lower)) {
                ++i;
                ++width;
            }
            pieces.push_back({ Piece::Letters, static_cast<char>(lower), width, {} });
        } else if (c == u'.' && i + 1 < section.size() && section[i + 1] == u'0' && !pieces.empty()
            && (pieces.back().letter == 's')) {
            int digits = 0;
            while (i + 1 < section.size() && section[i + 1] == u'0') {
                ++i;
                ++digits;
            }
            pieces.push_back({ Piece::Fraction, 0, digits, {} });
        } else if (c == u'0' || c == u'#' || c == u'?' || c == u'@' || c == u'%' || c.isLetter()) {
            pieces.push_back({ Piece::Other, 0, 0, QString(c) });
        } else {
            // Separators and signs shown as they stand.
            pieces.push_back({ Piece::Text, 0, 0, QString(c) });
        }
    }
    // "m" is minutes right after hours or right before seconds, else months.
    for (size_t k = 0; k < pieces.size(); ++k) {
        if (pieces[k].kind != Piece::Letters || pieces[k].letter != 'm')
            continue;
        const auto previousUnit = [&] {
            for (size_t j = k; j-- > 0;) {
                if (pieces[j].kind == Piece::Letters || pieces[j].kind == Piece::Elapsed)
                    return pieces[j].letter;
            }
            return char(0);
        };
        const auto nextUnit = [&] {
            for (size_t j = k + 1; j < pieces.size(); ++j) {
                if (pieces[j].kind == Piece::Letters || pieces[j].kind == Piece::Elapsed)
                    return pieces[j].letter;
            }
            return char(0);
        };
        if (previousUnit() == 'h' || nextUnit() == 's')
            pieces[k].letter = 'n'; // minutes
    }
    return pieces;
}

bool hasElapsed(const std::vector<Piece> &pieces)
{
    for (const Piece &p : pieces) {
        if (p.kind == Piece::Elapsed)
            return true;
    }
    return false;
}

// Sections that show nothing but fixed text (no digits, dates or the cell's
// text) and choose by sign, not by a condition.
bool onlyFixedText(const QStringList &sections)
{
    if (sections.size() > 4)
        return false;
    for (qsizetype k = 0; k < std::min<qsizetype>(sections.size(), 3); ++k) {
        for (const Piece &p : piecesOf(sections[k])) {
            const bool colour = p.kind == Piece::Bracket && !p.text.startsWith(u'<')
                && !p.text.startsWith(u'>') && !p.text.startsWith(u'=');
            if (p.kind != Piece::Text && !colour)
                return false;
        }
    }
    return true;
}

QString fixedTextOf(QStringView section)
{
    QString text;
    for (const Piece &p : piecesOf(section)) {
        if (p.kind == Piece::Text)
            text += p.text;
    }
    return text;
}

} // namespace

std::optional<DateParts> dateFormatParts(int id, const QString &code)
{
    if (code.isEmpty())
        return builtInParts(id);
    const std::vector<Piece> pieces = piecesOf(sectionsOf(code).constFirst());
    if (hasElapsed(pieces))
        return std::nullopt;
    bool date = false;
    bool clock = false;
    for (const Piece &p : pieces) {
        if (p.kind != Piece::Letters)
            continue;
        if (p.letter == 'y' || p.letter == 'd' || p.letter == 'm')
            date = true;
        else
            clock = true; // hours, minutes, seconds, AM/PM
    }
    if (date && clock)
        return DateParts::DateTime;
    if (date)
        return DateParts::Date;
    if (clock)
        return DateParts::Time;
    return std::nullopt;
}

NumberFormat::NumberFormat(int id, const QString &code)
{
    const QString own = code.isEmpty() && id == ElapsedHoursId ? QStringLiteral("[h]:mm:ss") : code;
    if (own.isEmpty()) {
        if (const auto parts = builtInParts(id)) {
            FKind = Kind::Date;
            FParts = *parts;
        }
        return;
    }
    const QStringList sections = sectionsOf(own);
    if (hasElapsed(piecesOf(sections.constFirst()))) {
        FKind = Kind::Elapsed;
        FSections = sections;
    } else if (const auto parts = dateFormatParts(id, own)) {
        FKind = Kind::Date;
        FParts = *parts;
    } else if (onlyFixedText(sections)) {
        FKind = Kind::Fixed;
        for (const QString &s : sections)
            FSections << fixedTextOf(s);
    }
}

QString NumberFormat::text(double value, bool date1904, const CellForms &forms, bool excelLeapDay) const
{
    switch (FKind) {
    case Kind::General:
        break;
    case Kind::Date:
        if (forms.dateText) {
            if (const auto date = serialToDate(value, date1904, excelLeapDay))
                return forms.dateText(*date, FParts);
        }
        break;
    case Kind::Elapsed: {
        QString text = elapsedText(value, forms.decimalSeparator);
        if (!text.isNull())
            return text;
        break;
    }
    case Kind::Fixed:
        return fixedText(value);
    }
    return numberText(value, forms.decimalSeparator);
}

QString NumberFormat::fixedText(double value) const
{
    const qsizetype count = FSections.size();
    if (value > 0 || (value == 0 && count < 3))
        return FSections[0];
    if (value < 0)
        return count >= 2 ? FSections[1] : QLatin1Char('-') + FSections[0];
    return FSections[2];
}

QString NumberFormat::elapsedText(double value, QChar decimalSeparator) const
{
    // A second section shows negative values without their sign.
    const bool negative = value < 0;
    const bool ownNegative = negative && FSections.size() >= 2 && !FSections[1].isEmpty();
    const std::vector<Piece> pieces = piecesOf(ownNegative ? FSections[1] : FSections[0]);
    if (!hasElapsed(pieces))
        return {};

    // Counted in the smallest unit shown, rounded as the spreadsheet rounds.
    int fractionDigits = 0;
    bool seconds = false;
    bool minutes = false;
    for (const Piece &p : pieces) {
        if (p.kind == Piece::Fraction)
            fractionDigits = std::min(p.width, 3);
        seconds = seconds || p.letter == 's';
        minutes = minutes || p.letter == 'n' || (p.kind == Piece::Elapsed && p.letter == 'm');
    }
    const long long perSecond = fractionDigits == 0 ? 1
        : fractionDigits == 1                       ? 10
        : fractionDigits == 2                       ? 100
                                                    : 1000;
    const bool countsSeconds = seconds || fractionDigits > 0;
    const long long unitSeconds = minutes ? 60 : 3600;
    const double units
        = std::nearbyint(std::fabs(value) * 86400 * (countsSeconds ? double(perSecond) : 1.0 / unitSeconds));
    if (!(units < 1e15))
        return {};
    const auto count = static_cast<long long>(units);
    const long long total = countsSeconds ? count / perSecond : count * unitSeconds;
    const long long fraction = countsSeconds ? count % perSecond : 0;

    QString text = negative && !ownNegative ? QStringLiteral("-") : QString();
    for (const Piece &p : pieces) {
        long long shown = 0;
        switch (p.kind) {
        case Piece::Text:
            text += p.text;
            continue;
        case Piece::Fraction:
            text += decimalSeparator + QString::number(fraction).rightJustified(p.width, QLatin1Char('0'));
            continue;
        case Piece::Elapsed:
            shown = p.letter == 'h' ? total / 3600 : p.letter == 'm' ? total / 60 : total;
            break;
        case Piece::Letters:
            if (p.letter == 'h')
                shown = total / 3600 % 24;
            else if (p.letter == 'n' || p.letter == 'm')
                shown = total / 60 % 60;
            else if (p.letter == 's')
                shown = total % 60;
            else
                continue; // date letters have no place in a count of time
            break;
        default:
            continue;
        }
        text += QString::number(shown).rightJustified(std::min(p.width, 2), QLatin1Char('0'));
    }
    return text;
}

} // namespace platform::workbook
