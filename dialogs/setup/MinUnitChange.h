#pragma once

#include "document/DocumentTypes.h"

#include <QString>
#include <optional>

class Document;

// The working minutes of a task's Length cell read in a unit: whole days of
// 480 minutes, or hours with an optional comma and minutes ("2,30"). None when
// the text is no such number.
std::optional<qint64> LengthMinutes(const QString &text, TMinUnit unit);
// Whole days of 480 minutes for a length, rounded half to even; a length
// above 0 is at least one day.
qint64 MinutesToDays(qint64 minutes);

// Switches the document's time unit and rewrites the task rows in it: each
// length read in the old unit is written in the new one (days become hours of
// working time, hours whole days); dates with a time of day lose the time in
// days. Cells that are no number or no date stay. The rewrites are shared; they
// are not undoable, and earlier cell changes no longer are either (their texts
// are in the old unit).
void ChangeMinUnit(Document &doc, TMinUnit unit);
