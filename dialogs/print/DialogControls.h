#pragma once

#include "document/calendar/DateTime.h"

#include <QString>

class QDateEdit;
class QPushButton;
class QRadioButton;
class QWidget;

// Controls of the print, evaluation and archive dialogs, named so that translating a
// window finds them.

QRadioButton *NamedRadio(QWidget *parent, const char *name, const QString &text);
// A button that Enter does not press unless it is the dialog's default.
QPushButton *NamedPushButton(QWidget *parent, const char *name, const QString &text);
// A date picker in the user's short date format, from year 100 to 9999, with a
// calendar to pick from.
QDateEdit *DatePicker(QWidget *parent, const char *name);
// Shows a range in two pickers without reporting it as the user's change.
void ShowDates(QDateEdit &start, QDateEdit &end, TDateTime from, TDateTime till);
