#include "dialogs/print/DialogControls.h"

#include "controls/DateTimePopup.h"

#include <QBoxLayout>
#include <QDateEdit>
#include <QDialog>
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

QHBoxLayout *DialogButtonRow(QPushButton *left, std::initializer_list<QPushButton *> right)
{
    auto *row = new QHBoxLayout;
    if (left)
        row->addWidget(left);
    row->addStretch();
    for (QPushButton *button : right)
        row->addWidget(button);
    return row;
}

void OnChoice(
    QObject *context, std::initializer_list<QRadioButton *> buttons, const std::function<void()> &handler)
{
    for (QRadioButton *button : buttons)
        QObject::connect(button, &QRadioButton::toggled, context, [handler](bool on) {
            if (on)
                handler();
        });
}

void LayoutReport(QDialog &dialog, QLayout *controls, QWidget *report)
{
    QPushButton *close = NamedPushButton(&dialog, "ButtonClose", QStringLiteral("Close"));
    QObject::connect(close, &QPushButton::clicked, &dialog, &QDialog::accept);
    auto *top = new QHBoxLayout;
    top->addLayout(controls);
    top->addWidget(report, 1);
    auto *layout = new QVBoxLayout(&dialog);
    layout->addLayout(top, 1);
    layout->addLayout(DialogButtonRow(nullptr, { close }));
    dialog.resize(560, 360);
}
