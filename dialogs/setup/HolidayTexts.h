#pragma once

#include "document/calendar/PublicHoliday.h"

#include <QString>
#include <QStringList>
#include <vector>

// The twelve month names, translated, January first.
QStringList MonthNames();
// How the holiday list shows a holiday's date: "24. December" for a fixed
// date, "Easter + 1" or "Easter - 2" from Easter Sunday (an offset of 0 reads
// "Easter - 0").
QString HolidayDateText(const THolidayData &holiday);
// The German public holidays, in calendar order, none enabled.
const std::vector<THolidayData> &GermanPublicHolidays();
