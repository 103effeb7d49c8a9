#pragma once

#include <QString>

class QLocale;
#include <stdexcept>

// Dates are day numbers: whole days since 30 December 1899 (day 0), the time of
// day as the fraction. Every conversion between such numbers and texts goes
// through this module, so the stored forms and the user's forms stay in one place.
using TDateTime = double;

// A text that does not convert, or a date that does not exist.
class EConvertError : public std::runtime_error {
public:
    explicit EConvertError(const QString &message);
    QString message() const { return QString::fromUtf8(what()); }
};

// The user's formats. Set once at start-up from the locale; the short date
// format always carries a four-digit year (a two-digit one would shift every
// stored date by a century when read back).
struct TFormatSettings {
    QString ShortDateFormat = QStringLiteral("dd.MM.yyyy"); // Qt pattern letters
    QChar DateSeparator = QLatin1Char('.');
    QString LongTimeFormat = QStringLiteral("hh:mm:ss");
    QString ShortTimeFormat = QStringLiteral("hh:mm");
    QChar TimeSeparator = QLatin1Char(':');
    QChar DecimalSeparator = QLatin1Char(',');
    QChar ThousandSeparator = QLatin1Char('.');
};

// The process-wide settings (German defaults until set from the locale).
TFormatSettings &FormatSettings();
// The settings a locale gives: its short date form with a four-digit year
// (numeric: a form with month or weekday names falls back to dd.MM.yyyy), its
// time forms and separators.
TFormatSettings FormatSettingsFromLocale(const QLocale &locale);
// Derives the settings from the system locale.
void InitFormatSettingsFromLocale();

// Calendar.
bool IsValidDate(int year, int month, int day);
int DaysInMonth(int year, int month);
bool TryEncodeDate(int year, int month, int day, TDateTime &out);
TDateTime EncodeDate(int year, int month, int day); // throws EConvertError
bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime &out);
TDateTime EncodeTime(int hour, int minute, int second, int msec); // throws EConvertError
void DecodeDate(TDateTime value, int &year, int &month, int &day);
void DecodeTime(TDateTime value, int &hour, int &minute, int &second, int &msec);
// 1 = Sunday ... 7 = Saturday.
int DayOfWeek(TDateTime value);
TDateTime Now();
TDateTime Today();
// The date part (truncated toward zero, also before day 0) and the time part.
TDateTime DatePart(TDateTime value);
TDateTime TimePart(TDateTime value);

// User forms (short date, long time, "date time" with the time left out at midnight).
QString DateToStr(TDateTime value);
QString TimeToStr(TDateTime value);
QString DateTimeToStr(TDateTime value);
// Formats with a Qt date-time pattern ("dd.MM.yyyy hh:mm:ss").
QString FormatDateTimePattern(const QString &pattern, TDateTime value);

// Parsing of user forms. Day, month and year order follows the short date format;
// a year of one or two digits is taken within 50 years of today; "d.m" is in the
// current year. Times are h[:m[:s]]. Leading and trailing blanks are ignored.
bool TryStrToDate(const QString &text, TDateTime &out);
bool TryStrToTime(const QString &text, TDateTime &out);
bool TryStrToDateTime(const QString &text, TDateTime &out); // date, time, or "date time"
TDateTime StrToDate(const QString &text); // throws EConvertError
TDateTime StrToTime(const QString &text); // throws EConvertError
TDateTime StrToDateTime(const QString &text); // throws EConvertError

// Floats in the user's form (decimal separator from the settings).
QString FloatToStr(double value);
bool TryStrToFloat(const QString &text, double &out);

// The fixed form of dates in stored files: "yyyy-mm-dd hh:nn:ss".
QString FormatDateTimeForStorage(TDateTime value);
// Reads the fixed positions (year 1-4, month 6-7, day 9-10, hour 12-13, minute
// 15-16, second 18-19); throws EConvertError for a text that is not such a date.
TDateTime StrToDateTimeFromStorage(const QString &text);
bool TryStrToDateTimeFromStorage(const QString &text, TDateTime &out);
