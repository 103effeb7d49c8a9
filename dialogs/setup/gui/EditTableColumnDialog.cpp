#include "dialogs/setup/gui/EditTableColumnDialog.h"

#include "dialogs/misc/DialogParts.h"
#include "dialogs/setup/gui/SetupControls.h"
#include "document/program/MessageDialog.h"
#include "document/program/Translation.h"
#include "document/text/CommaText.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

TEditTableColumnDialog::TEditTableColumnDialog(QWidget *parent)
    : QDialog(parent)
    , FEdit1(Named<QLineEdit>(this, "Edit1"))
    , FComboBox1(Named<QComboBox>(this, "ComboBox1"))
    , FLabel3(Named<QLabel>(this, "Label3", Translate(QStringLiteral("Format"))))
    , FMemo1(Named<QPlainTextEdit>(this, "Memo1"))
    , FEdit2(Named<QLineEdit>(this, "Edit2"))
    , FButton3(Named<QPushButton>(this, "Button3", Translate(QStringLiteral("Edit resources..."))))
    , FButtonOK(Named<QPushButton>(this, "ButtonOK", Translate(QStringLiteral("OK"))))
{
    setObjectName(QStringLiteral("EditTableColumnDialog"));
    setWindowTitle(Translate(QStringLiteral("Edit Column")));
    for (int type = 0; type < kColumnTypeCount; ++type)
        FComboBox1->addItem(Translate(ColumnTypeName(TColumnType(type))));
    FEdit2->hide();
    FMemo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto *cancel = Named<QPushButton>(this, "ButtonCancel", Translate(QStringLiteral("Cancel")));
    FButtonOK->setDefault(true);

    auto *form = new QFormLayout;
    form->addRow(Named<QLabel>(this, "Label1", Translate(QStringLiteral("Name"))), FEdit1);
    form->addRow(Named<QLabel>(this, "Label2", Translate(QStringLiteral("Type"))), FComboBox1);
    form->addRow(FLabel3, FMemo1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(FButton3, 0, Qt::AlignLeft);
    layout->addLayout(ButtonRow({ FButtonOK, cancel }));

    connect(FComboBox1, &QComboBox::currentIndexChanged, this, [this] { ComboBox1Change(); });
    connect(FButton3, &QPushButton::clicked, this, [this] {
        if (OnEditResources)
            OnEditResources();
    });
    connect(FButtonOK, &QPushButton::clicked, this, [this] { ButtonOKClick(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    resize(320, 300);
}

bool TEditTableColumnDialog::Execute(const TSetupColumn &column, bool positions, bool typeLocked)
{
    FEdit1->setText(column.caption);
    FEdit1->selectAll();
    FEdit1->setFocus();
    FEdit2->setText(column.items);
    SetMemoLines(*FMemo1, ItemValues(ParseCommaText(column.items)));
    FButton3->setVisible(positions);
    TranslateTypes();
    FComboBox1->setEnabled(!typeLocked);
    {
        const QSignalBlocker quiet(FComboBox1);
        FComboBox1->setCurrentIndex(column.type);
    }
    ComboBox1Change();
    return exec() == QDialog::Accepted;
}

void TEditTableColumnDialog::ButtonOKClick()
{
    // A column's name is its cells' tag in the document and its caption.
    if (FEdit1->text().trimmed().isEmpty()) {
        MessageDlg(Translate(QStringLiteral("Name: every column needs a name.")), mtError, { mbOK });
        FEdit1->setFocus();
        return;
    }
    accept();
}

void TEditTableColumnDialog::TranslateTypes()
{
    for (int type = 0; type < kColumnTypeCount; ++type)
        FComboBox1->setItemText(type, Translate(ColumnTypeName(TColumnType(type))));
}

QString TEditTableColumnDialog::Name() const
{
    return FEdit1->text();
}

TColumnType TEditTableColumnDialog::Type() const
{
    return TColumnType(std::max(0, FComboBox1->currentIndex()));
}

QStringList TEditTableColumnDialog::Lines() const
{
    return MemoLines(*FMemo1);
}

void TEditTableColumnDialog::ComboBox1Change()
{
    if (Type() != ctPulldown) {
        FMemo1->hide();
        FLabel3->hide();
        FEdit2->setText(ToCommaText(MemoLinesToItems(MemoLines(*FMemo1))));
        return;
    }
    // The Position column's items are edited as positions, not as lines.
    FMemo1->setVisible(FButton3->isHidden());
    FLabel3->setVisible(FButton3->isHidden());
    SetMemoLines(*FMemo1, ItemValues(ParseCommaText(FEdit2->text())));
}
