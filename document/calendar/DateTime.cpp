#include "document/calendar/DateTime.h"

#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>
#include <cmath>
#include <cstdint>

namespace {

constexpr std::int64_t kMSecsPerDay = 86400000;
// Day numbers of 0001-01-01 and 9999-12-31.
constexpr std::int64_t kMinDay = -693593;
constexpr std::int64_t kMaxDay = 2958465;

// Days from 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void civilFromDays(std::int64_t z, int &year, int &month, int &day)
{
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(y + (month <= 2));
}

// 1899-12-30 is 25569 days before 1970-01-01.
constexpr std::int64_t kUnixDay = 25569;

// Splits a day number into whole days (toward zero) and the milliseconds of its
// absolute fraction, rounded to the millisecond; a fraction that rounds up to
// midnight carries into the day.
void splitValue(TDateTime value, std::int64_t &days, std::int64_t &msecs)
{
    if (!std::isfinite(value) || value > double(kMaxDay + 1) || value < double(kMinDay - 1)) {
        days = 0;
        msecs = 0;
        return;
    }
    const auto total = static_cast<std::int64_t>(std::nearbyint(value * double(kMSecsPerDay)));
    days = total / kMSecsPerDay;
    msecs = (total < 0 ? -total : total) % kMSecsPerDay;
}

// The order of day, month and year in the short date format.
enum class DateOrder { DMY, MDY, YMD };

DateOrder dateOrder(const QString &format)
{
    for (const QChar c : format) {
        const QChar l = c.toLower();
        if (l == u'd')
            return DateOrder::DMY;
        if (l == u'm')
            return DateOrder::MDY;
        if (l == u'y')
            return DateOrder::YMD;
    }
    return DateOrder::DMY;
}

class Scanner {
public:
    explicit Scanner(QStringView text)
        : FText(text)
    { }
    void skipBlanks()
    {
        while (FPos < FText.size() && FText[FPos] == u' ')
            ++FPos;
    }
    bool number(int &value, int &digits)
    {
        skipBlanks();
        value = 0;
        digits = 0;
        while (FPos < FText.size() && FText[FPos].isDigit() && FText[FPos].unicode() < 128) {
            if (digits >= 9)
                return false;
            value = value * 10 + (FText[FPos].unicode() - '0');
            ++digits;
            ++FPos;
        }
        return digits > 0;
    }
    bool character(QChar c)
    {
        skipBlanks();
        if (FPos < FText.size() && FText[FPos] == c) {
            ++FPos;
            return true;
        }
        return false;
    }
    bool word(QStringView w)
    {
        skipBlanks();
        if (FText.mid(FPos).startsWith(w, Qt::CaseInsensitive)) {
            FPos += w.size();
            return true;
        }
        return false;
    }
    bool atEnd()
    {
        skipBlanks();
        return FPos >= FText.size();
    }
    qsizetype pos() const { return FPos; }
    void setPos(qsizetype p) { FPos = p; }

private:
    QStringView FText;
    qsizetype FPos = 0;
};

bool scanDate(Scanner &s, TDateTime &out)
{
    const TFormatSettings &fs = FormatSettings();
    int n1, n2, n3 = 0, l1, l2, l3 = 0;
    if (!s.number(n1, l1) || !s.character(fs.DateSeparator) || !s.number(n2, l2))
        return false;
    const qsizetype afterTwo = s.pos();
    const bool three = s.character(fs.DateSeparator) && s.number(n3, l3);
    if (!three)
        s.setPos(afterTwo);

    // Today is needed only for a missing or two-digit year.
    auto currentYear = [] { return QDate::currentDate().year(); };
    int y = 0, m = 0, d = 0, yearDigits = 4;
    if (!three) {
        // Two numbers are day and month of the current year, in the format's order
        // (month first when the format starts with the year or the month).
        y = currentYear();
        if (dateOrder(fs.ShortDateFormat) == DateOrder::DMY) {
            d = n1;
            m = n2;
        } else {
            m = n1;
            d = n2;
        }
    } else {
        switch (dateOrder(fs.ShortDateFormat)) {
        case DateOrder::DMY:
            d = n1, m = n2, y = n3, yearDigits = l3;
            break;
        case DateOrder::MDY:
            m = n1, d = n2, y = n3, yearDigits = l3;
            break;
        case DateOrder::YMD:
            y = n1, m = n2, d = n3, yearDigits = l1;
            break;
        }
        if (yearDigits <= 2) {
            // Two-digit years fall within 50 years of today.
            const int windowStart = currentYear() - 50;
            y += windowStart / 100 * 100;
            if (y < windowStart)
                y += 100;
        }
    }
    return TryEncodeDate(y, m, d, out);
}

bool scanTime(Scanner &s, TDateTime &out)
{
    const TFormatSettings &fs = FormatSettings();
    int h, m = 0, sec = 0, ms = 0, digits;
    if (!s.number(h, digits))
        return false;
    if (s.character(fs.TimeSeparator)) {
        if (!s.number(m, digits))
            return false;
        if (s.character(fs.TimeSeparator)) {
            if (!s.number(sec, digits))
                return false;
            if (s.character(fs.DecimalSeparator) || s.character(u'.')) {
                if (!s.number(ms, digits) || digits > 3)
                    return false;
                for (; digits < 3; ++digits)
                    ms *= 10;
            }
        }
    }
    if (s.word(u"AM")) {
        if (h == 0 || h > 12)
            return false;
        if (h == 12)
            h = 0;
    } else if (s.word(u"PM")) {
        if (h == 0 || h > 12)
            return false;
        if (h != 12)
            h += 12;
    }
    return TryEncodeTime(h, m, sec, ms, out);
}

QString pad(int value, int width)
{
    return QString::number(value).rightJustified(width, QLatin1Char('0'));
}

} // namespace

EConvertError::EConvertError(const QString &message)
    : std::runtime_error(message.toStdString())
{ }

TFormatSettings &FormatSettings()
{
    static TFormatSettings settings;
    return settings;
}

TFormatSettings FormatSettingsFromLocale(const QLocale &locale)
{
    TFormatSettings fs;
    QString date = locale.dateFormat(QLocale::ShortFormat);
    // Force a four-digit year: "yy" (alone) becomes "yyyy".
    static const QRegularExpression twoDigitYear(QStringLiteral("(?<!y)yy(?!y)"));
    date.replace(twoDigitYear, QStringLiteral("yyyy"));
    // Cells hold dates as numbers: a form with month or weekday names (the C
    // locale's "d MMM yyyy") could not be read back.
    if (!date.contains(QLatin1String("yyyy")) || date.contains(QLatin1String("MMM"))
        || date.contains(QLatin1String("ddd")))
        date = QStringLiteral("dd.MM.yyyy");
    fs.ShortDateFormat = date;
    for (const QChar c : date) {
        if (!c.isLetter()) {
            fs.DateSeparator = c;
            break;
        }
    }
    QString time = locale.timeFormat(QLocale::ShortFormat);
    time.remove(QLatin1Char('t'))
        .replace(QLatin1String("AP"), QString())
        .replace(QLatin1String("ap"), QString());
    time = time.trimmed();
    if (time.isEmpty())
        time = QStringLiteral("hh:mm");
    fs.ShortTimeFormat = time;
    fs.LongTimeFormat = time.contains(QLatin1Char('s')) ? time : time + QStringLiteral(":ss");
    for (const QChar c : time) {
        if (!c.isLetter()) {
            fs.TimeSeparator = c;
            break;
        }
    }
    fs.DecimalSeparator = locale.decimalPoint().isEmpty() ? QLatin1Char('.') : locale.decimalPoint().at(0);
    fs.ThousandSeparator
        = locale.groupSeparator().isEmpty() ? QLatin1Char(',') : locale.groupSeparator().at(0);
    return fs;
}

void InitFormatSettingsFromLocale()
{
    FormatSettings() = FormatSettingsFromLocale(QLocale::system());
}

bool IsValidDate(int year, int month, int day)
{
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1
        && day <= DaysInMonth(year, month);
}

int DaysInMonth(int year, int month)
{
    static constexpr int days[] = { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
    if (month < 1 || month > 12)
        return 0;
    const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
    return days[month - 1] + (month == 2 && leap ? 1 : 0);
}

bool TryEncodeDate(int year, int month, int day, TDateTime &out)
{
    if (!IsValidDate(year, month, day))
        return false;
    out = double(daysFromCivil(year, unsigned(month), unsigned(day)) + kUnixDay);
    return true;
}

TDateTime EncodeDate(int year, int month, int day)
{
    TDateTime d;
    if (!TryEncodeDate(year, month, day, d))
        throw EConvertError(QStringLiteral("Invalid argument to date encode"));
    return d;
}

bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime &out)
{
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || msec < 0
        || msec > 999)
        return false;
    out = double(((hour * 60 + minute) * 60 + second) * 1000 + msec) / double(kMSecsPerDay);
    return true;
}

TDateTime EncodeTime(int hour, int minute, int second, int msec)
{
    TDateTime t;
    if (!TryEncodeTime(hour, minute, second, msec, t))
        throw EConvertError(QStringLiteral("Invalid argument to time encode"));
    return t;
}

void DecodeDate(TDateTime value, int &year, int &month, int &day)
{
    std::int64_t days, msecs;
    splitValue(value, days, msecs);
    civilFromDays(days - kUnixDay, year, month, day);
}

void DecodeTime(TDateTime value, int &hour, int &minute, int &second, int &msec)
{
    std::int64_t days, msecs;
    splitValue(value, days, msecs);
    hour = int(msecs / 3600000);
    minute = int(msecs / 60000 % 60);
    second = int(msecs / 1000 % 60);
    msec = int(msecs % 1000);
}

int DayOfWeek(TDateTime value)
{
    std::int64_t days, msecs;
    splitValue(value, days, msecs);
    // Day 0 was a Saturday.
    return int(((days - 1) % 7 + 7) % 7) + 1;
}

TDateTime Now()
{
    const QDateTime now = QDateTime::currentDateTime();
    const QDate d = now.date();
    const QTime t = now.time();
    return EncodeDate(d.year(), d.month(), d.day()) + EncodeTime(t.hour(), t.minute(), t.second(), t.msec());
}

TDateTime Today()
{
    const QDate d = QDate::currentDate();
    return EncodeDate(d.year(), d.month(), d.day());
}

TDateTime DatePart(TDateTime value)
{
    return std::trunc(value);
}

TDateTime TimePart(TDateTime value)
{
    return std::fabs(value - std::trunc(value));
}

namespace {

// The numeric patterns every cell and file date uses ("dd.MM.yyyy", "hh:mm:ss"),
// formatted without building a QDateTime: loading and saving format one date per
// cell. False for anything else (names, AM/PM, quotes), which Qt formats.
bool formatNumericPattern(const QString &pattern, int y, int mo, int d, int h, int mi, int s, QString &out)
{
    out.clear();
    out.reserve(pattern.size() + 2);
    auto number = [&out](int value, int width) {
        char digits[12];
        int n = 0;
        do {
            digits[n++] = char('0' + value % 10);
            value /= 10;
        } while (value > 0 && n < 11);
        for (int i = n; i < width; ++i)
            out.append(QLatin1Char('0'));
        while (n > 0)
            out.append(QLatin1Char(digits[--n]));
    };
    for (qsizetype i = 0; i < pattern.size();) {
        const QChar c = pattern[i];
        qsizetype run = 1;
        while (i + run < pattern.size() && pattern[i + run] == c)
            ++run;
        switch (c.unicode()) {
        case 'd':
            if (run > 2)
                return false;
            number(d, int(run));
            break;
        case 'M':
            if (run > 2)
                return false;
            number(mo, int(run));
            break;
        case 'y':
            if (run == 2)
                number(y % 100, 2);
            else if (run == 4)
                number(y, 4);
            else
                return false;
            break;
        case 'h':
        case 'H':
            if (run > 2)
                return false;
            number(h, int(run));
            break;
        case 'm':
            if (run > 2)
                return false;
            number(mi, int(run));
            break;
        case 's':
            if (run > 2)
                return false;
            number(s, int(run));
            break;
        default:
            if (c.isLetter() || c == u'\'')
                return false;
            for (qsizetype k = 0; k < run; ++k)
                out.append(c);
        }
        i += run;
    }
    return true;
}

} // namespace

QString FormatDateTimePattern(const QString &pattern, TDateTime value)
{
    int y, mo, d, h, mi, s, ms;
    DecodeDate(value, y, mo, d);
    DecodeTime(value, h, mi, s, ms);
    QString text;
    if (formatNumericPattern(pattern, y, mo, d, h, mi, s, text))
        return text;
    // UTC: no time-zone conversion (and no look-up of the zone files) for a pure format.
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms), Qt::UTC).toString(pattern);
}

QString DateToStr(TDateTime value)
{
    return FormatDateTimePattern(FormatSettings().ShortDateFormat, value);
}

QString TimeToStr(TDateTime value)
{
    return FormatDateTimePattern(FormatSettings().LongTimeFormat, value);
}

QString DateTimeToStr(TDateTime value)
{
    std::int64_t days, msecs;
    splitValue(value, days, msecs);
    if (msecs == 0)
        return DateToStr(value);
    return DateToStr(value) + QLatin1Char(' ') + TimeToStr(value);
}

bool TryStrToDate(const QString &text, TDateTime &out)
{
    Scanner s(text);
    TDateTime d;
    if (!scanDate(s, d) || !s.atEnd())
        return false;
    out = d;
    return true;
}

bool TryStrToTime(const QString &text, TDateTime &out)
{
    Scanner s(text);
    TDateTime t;
    if (!scanTime(s, t) || !s.atEnd())
        return false;
    out = t;
    return true;
}

bool TryStrToDateTime(const QString &text, TDateTime &out)
{
    Scanner s(text);
    TDateTime d = 0, t = 0;
    if (scanDate(s, d)) {
        if (s.atEnd()) {
            out = d;
            return true;
        }
        if (!scanTime(s, t) || !s.atEnd())
            return false;
        out = d < 0 ? d - t : d + t;
        return true;
    }
    return TryStrToTime(text, out);
}

TDateTime StrToDate(const QString &text)
{
    TDateTime d;
    if (!TryStrToDate(text, d))
        throw EConvertError(QStringLiteral("'%1' is not a valid date").arg(text));
    return d;
}

TDateTime StrToTime(const QString &text)
{
    TDateTime d;
    if (!TryStrToTime(text, d))
        throw EConvertError(QStringLiteral("'%1' is not a valid time").arg(text));
    return d;
}

TDateTime StrToDateTime(const QString &text)
{
    TDateTime d;
    if (!TryStrToDateTime(text, d))
        throw EConvertError(QStringLiteral("'%1' is not a valid date and time").arg(text));
    return d;
}

QString FloatToStr(double value)
{
    QString text = QString::number(value, 'g', 15);
    text.replace(QLatin1Char('e'), QLatin1Char('E'));
    const int dot = text.indexOf(QLatin1Char('.'));
    if (dot >= 0)
        text[dot] = FormatSettings().DecimalSeparator;
    return text;
}

bool TryStrToFloat(const QString &text, double &out)
{
    QString t = text.trimmed();
    const QChar sep = FormatSettings().DecimalSeparator;
    if (sep != u'.' && t.contains(QLatin1Char('.')))
        return false;
    t.replace(sep, QLatin1Char('.'));
    if (t.isEmpty())
        return false;
    bool ok = false;
    const double v = QLocale::c().toDouble(t, &ok);
    if (!ok || !std::isfinite(v))
        return false;
    out = v;
    return true;
}

QString FormatDateTimeForStorage(TDateTime value)
{
    int y, mo, d, h, mi, s, ms;
    DecodeDate(value, y, mo, d);
    DecodeTime(value, h, mi, s, ms);
    return pad(y, 4) + u'-' + pad(mo, 2) + u'-' + pad(d, 2) + u' ' + pad(h, 2) + u':' + pad(mi, 2) + u':'
        + pad(s, 2);
}

bool TryStrToDateTimeFromStorage(const QString &text, TDateTime &out)
{
    if (text.size() < 19)
        return false;
    auto field = [&](int from, int len, int &v) {
        bool ok = false;
        v = text.mid(from, len).toInt(&ok);
        return ok;
    };
    int y, mo, d, h, mi, s;
    if (!field(0, 4, y) || !field(5, 2, mo) || !field(8, 2, d) || !field(11, 2, h) || !field(14, 2, mi)
        || !field(17, 2, s))
        return false;
    TDateTime date, time;
    if (!TryEncodeDate(y, mo, d, date) || !TryEncodeTime(h, mi, s, 0, time))
        return false;
    out = date < 0 ? date - time : date + time;
    return true;
}

TDateTime StrToDateTimeFromStorage(const QString &text)
{
    TDateTime d;
    if (!TryStrToDateTimeFromStorage(text, d))
        throw EConvertError(QStringLiteral("'%1' is not a valid stored date").arg(text));
    return d;
}
