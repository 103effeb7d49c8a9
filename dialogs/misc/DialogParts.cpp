#include "dialogs/misc/DialogParts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

QLabel *NamedLabel(QWidget *parent, const char *name, const char *text)
{
    auto *label = new QLabel(QString::fromUtf8(text), parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

QPushButton *NamedButton(QWidget *parent, const char *name, const char *text)
{
    auto *button = new QPushButton(QString::fromUtf8(text), parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

QHBoxLayout *ButtonRow(std::initializer_list<QPushButton *> buttons)
{
    auto *row = new QHBoxLayout;
    row->addStretch();
    for (QPushButton *button : buttons)
        row->addWidget(button);
    return row;
}
