#include "dialogs/misc/NewEntryDialog.h"

#include "dialogs/misc/DialogParts.h"

#include <QEvent>
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
    for (QPushButton *button : { FButton1, FButton2 })
        button->installEventFilter(this);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(NamedLabel(this, "Label1", "Where should the Task be placed?"));
    layout->addLayout(entry);
    layout->addLayout(ButtonRow({ FButton1, FButton2, cancel }));
    setFixedSize(sizeHint().expandedTo(QSize(320, 0)));
}

void TNewEntryDialog::SetEnds(const QString &taskEnd, const QString &absentEnd, TWhichTable table)
{
    FEnds[tbTable] = taskEnd;
    FEnds[tbExclude] = absentEnd;
    (table == tbTable ? FButton1 : FButton2)->setDefault(true);
    ShowEnd(table);
}

void TNewEntryDialog::ShowEnd(TWhichTable table)
{
    FLabelEnd->setText(FEnds[table]);
}

bool TNewEntryDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::Enter) {
        if (watched == FButton1)
            ShowEnd(tbTable);
        else if (watched == FButton2)
            ShowEnd(tbExclude);
    }
    return QDialog::eventFilter(watched, event);
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
