#include "dialogs/misc/GotoDialog.h"

#include "dialogs/misc/DialogParts.h"
#include "mainwindow/controls/DateTimePopup.h"

#include <QDateEdit>
#include <QPushButton>
#include <QVBoxLayout>

TGotoDialog::TGotoDialog(QWidget *parent)
    : QDialog(parent)
    , m_picker(new QDateEdit(this))
{
    setObjectName(QStringLiteral("GotoDialog"));
    setWindowTitle(QStringLiteral("goto Date"));
    m_picker->setObjectName(QStringLiteral("DateTimePicker1"));
    m_picker->setCalendarPopup(true);
    m_picker->setDateRange(QDate(100, 1, 1), QDate(9999, 12, 31));
    m_picker->setDisplayFormat(FormatSettings().ShortDateFormat);

    QPushButton *ok = NamedButton(this, "Button1", "OK");
    QPushButton *cancel = NamedButton(this, "Button2", "Cancel");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_picker);
    layout->addLayout(ButtonRow({ ok, cancel }));
    setFixedSize(sizeHint().expandedTo(QSize(240, 0)));
}

TDateTime TGotoDialog::Date() const
{
    return FromQDate(m_picker->date());
}

void TGotoDialog::SetDate(TDateTime date)
{
    m_picker->setDate(ToQDate(date));
}
