#include "dialogs/setup/HolidayTexts.h"

#include "document/program/Translation.h"

#include <cstdlib>

QStringList MonthNames()
{
    QStringList names;
    for (const char *name : { "January", "February", "March", "April", "May", "June", "July", "August",
             "September", "October", "November", "December" })
        names.append(Translate(QString::fromLatin1(name)));
    return names;
}

QString HolidayDateText(const THolidayData &holiday)
{
    if (holiday.easter) {
        const QString sign = holiday.day > 0 ? QStringLiteral(" + ") : QStringLiteral(" - ");
        return Translate(QStringLiteral("Easter")) + sign + QString::number(std::abs(holiday.day));
    }
    return QString::number(holiday.day) + QStringLiteral(". ") + MonthNames().value(holiday.month - 1);
}

const std::vector<THolidayData> &GermanPublicHolidays()
{
    auto fixed = [](const char *name, int day, int month) {
        return THolidayData { QString::fromUtf8(name), day, month, false, false };
    };
    auto easter = [](const char *name, int offset) {
        return THolidayData { QString::fromUtf8(name), offset, 0, false, true };
    };
    static const std::vector<THolidayData> holidays { fixed("Neujahr", 1, 1), fixed("Heilige 3 Könige", 6, 1),
        easter("Karfreitag", -2), easter("Ostern", 0), easter("Ostermontag", 1), easter("Himmelfahrt", 39),
        easter("Pfingsten", 49), easter("Pfingstmontag", 50), easter("Fronleichname", 60),
        fixed("Tag der Arbeit", 1, 5), fixed("Maria Himmelfahrt", 15, 8),
        fixed("Tag der deutschen Einheit", 3, 10), fixed("Nationalfeiertag", 26, 10),
        fixed("Reformationstag", 31, 10), fixed("Allerheiligen", 1, 11), fixed("Maria Empfängnis", 8, 12),
        fixed("Heiligabend", 24, 12), fixed("1. Weihnachtsfeiertag", 25, 12),
        fixed("2. Weihnachtsfeiertag", 26, 12), fixed("Silvester", 31, 12) };
    return holidays;
}
