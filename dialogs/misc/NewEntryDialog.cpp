#include "dialogs/misc/NewEntryDialog.h"

#include "dialogs/misc/DialogParts.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TNewEntryDialog::TNewEntryDialog(QWidget *parent)
    : QDialog(parent)
    , FLabelBegin(NamedLabel(this, "LabelBegin"))
    , FLabelEnd(NamedLabel(this, "LabelEnd"))
    , FLabelPos(NamedLabel(this, "LabelPos"))
    , FButton1(NamedButton(this, "Button1", "Tasks"))
    , FButton2(NamedButton(this, "Button2", "Absent Days"))
{
    setObjectName(QStringLiteral("NewEntryDialog"));
    setWindowTitle(QStringLiteral("new Task"));

    auto *entry = new QGridLayout;
    entry->setColumnMinimumWidth(0, 60);
    entry->addWidget(NamedLabel(this, "Label2", "Begin:"), 0, 0);
    entry->addWidget(FLabelBegin, 0, 1);
    entry->addWidget(NamedLabel(this, "Label3", "End:"), 1, 0);
    entry->addWidget(FLabelEnd, 1, 1);
    entry->addWidget(NamedLabel(this, "Label4", "Position:"), 2, 0);
    entry->addWidget(FLabelPos, 2, 1);
    entry->setColumnStretch(1, 1);

    QPushButton *cancel = NamedButton(this, "Button3", "Cancel");
    FButton1->setDefault(true);
    connect(FButton1, &QPushButton::clicked, this, &TNewEntryDialog::Button1Click);
    connect(FButton2, &QPushButton::clicked, this, &TNewEntryDialog::Button2Click);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(NamedLabel(this, "Label1", "Where should the Task be placed?"));
    layout->addLayout(entry);
    layout->addLayout(ButtonRow({ FButton1, FButton2, cancel }));
    setFixedSize(sizeHint().expandedTo(QSize(320, 0)));
}

void TNewEntryDialog::Button1Click()
{
    FTable = tbTable;
    accept();
}

void TNewEntryDialog::Button2Click()
{
    FTable = tbExclude;
    accept();
}
