#include "dialogs/misc/NewEntryDialog.h"

#include "dialogs/misc/DialogParts.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TNewEntryDialog::TNewEntryDialog(QWidget *parent)
    : QDialog(parent)
    , m_labelBegin(NamedLabel(this, "LabelBegin"))
    , m_labelEnd(NamedLabel(this, "LabelEnd"))
    , m_labelPos(NamedLabel(this, "LabelPos"))
    , m_button1(NamedButton(this, "Button1", "Tasks"))
    , m_button2(NamedButton(this, "Button2", "Absent Days"))
{
    setObjectName(QStringLiteral("NewEntryDialog"));
    setWindowTitle(QStringLiteral("new Task"));

    auto *entry = new QGridLayout;
    entry->setColumnMinimumWidth(0, 60);
    entry->addWidget(NamedLabel(this, "Label2", "Begin:"), 0, 0);
    entry->addWidget(m_labelBegin, 0, 1);
    entry->addWidget(NamedLabel(this, "Label3", "End:"), 1, 0);
    entry->addWidget(m_labelEnd, 1, 1);
    entry->addWidget(NamedLabel(this, "Label4", "Position:"), 2, 0);
    entry->addWidget(m_labelPos, 2, 1);
    entry->setColumnStretch(1, 1);

    QPushButton *cancel = NamedButton(this, "Button3", "Cancel");
    m_button1->setDefault(true);
    connect(m_button1, &QPushButton::clicked, this, &TNewEntryDialog::Button1Click);
    connect(m_button2, &QPushButton::clicked, this, &TNewEntryDialog::Button2Click);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(NamedLabel(this, "Label1", "Where should the Task be placed?"));
    layout->addLayout(entry);
    layout->addLayout(ButtonRow({ m_button1, m_button2, cancel }));
    setFixedSize(sizeHint().expandedTo(QSize(320, 0)));
}

void TNewEntryDialog::Button1Click()
{
    m_table = tbTable;
    accept();
}

void TNewEntryDialog::Button2Click()
{
    m_table = tbExclude;
    accept();
}
