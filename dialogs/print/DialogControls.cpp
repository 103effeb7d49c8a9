#include "dialogs/print/DialogControls.h"

#include "mainwindow/controls/DateTimePopup.h"

#include <QDateEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

QRadioButton *NamedRadio(QWidget *parent, const char *name, const QString &text)
{
    auto *button = new QRadioButton(text, parent);
    button->setObjectName(QLatin1String(name));
    return button;
}

QPushButton *NamedPushButton(QWidget *parent, const char *name, const QString &text)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    return button;
}

QDateEdit *DatePicker(QWidget *parent, const char *name)
{
    auto *picker = new QDateEdit(parent);
    picker->setObjectName(QLatin1String(name));
    picker->setCalendarPopup(true);
    picker->setDateRange(QDate(100, 1, 1), QDate(9999, 12, 31));
    picker->setDisplayFormat(FormatSettings().ShortDateFormat);
    return picker;
}

void ShowDates(QDateEdit &start, QDateEdit &end, TDateTime from, TDateTime till)
{
    const QSignalBlocker blockStart(&start);
    const QSignalBlocker blockEnd(&end);
    start.setDate(ToQDate(from));
    end.setDate(ToQDate(till));
}
