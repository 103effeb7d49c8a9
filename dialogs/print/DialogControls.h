#pragma once

#include "document/calendar/DateTime.h"

#include <QString>
#include <functional>
#include <initializer_list>

class QDateEdit;
class QDialog;
class QHBoxLayout;
class QLayout;
class QObject;
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

// `left` (when given) at the left edge, the other buttons at the right, in order.
QHBoxLayout *DialogButtonRow(QPushButton *left, std::initializer_list<QPushButton *> right);
// Runs `handler` whenever one of `buttons` becomes the checked one.
void OnChoice(
    QObject *context, std::initializer_list<QRadioButton *> buttons, const std::function<void()> &handler);
// A report window: its controls left of the report, a Close button below both.
void LayoutReport(QDialog &dialog, QLayout *controls, QWidget *report);
