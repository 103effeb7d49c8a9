#include "dialogs/misc/GotoDialog.h"

#include "controls/DateTimePopup.h"
#include "dialogs/misc/DialogParts.h"
#include "dialogs/print/FontFit.h"

#include <QDateEdit>
#include <QPushButton>
#include <QVBoxLayout>

TGotoDialog::TGotoDialog(QWidget *parent)
    : QDialog(parent)
    , FPicker(new QDateEdit(this))
{
    setObjectName(QStringLiteral("GotoDialog"));
    setWindowTitle(QStringLiteral("goto Date"));
    FPicker->setObjectName(QStringLiteral("DateTimePicker1"));
    FPicker->setCalendarPopup(true);
    FPicker->setDateRange(QDate(100, 1, 1), QDate(9999, 12, 31));
    FPicker->setDisplayFormat(FormatSettings().ShortDateFormat);

    QPushButton *ok = NamedButton(this, "Button1", "OK");
    QPushButton *cancel = NamedButton(this, "Button2", "Cancel");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(FPicker);
    layout->addLayout(ButtonRow({ ok, cancel }));
    // Its texts are translated after it is made; the size follows them at each showing.
    GrowWithFont(*this, QSize(240, 0), true);
}

TDateTime TGotoDialog::Date() const
{
    return FromQDate(FPicker->date());
}

void TGotoDialog::SetDate(TDateTime date)
{
    FPicker->setDate(ToQDate(date));
}
