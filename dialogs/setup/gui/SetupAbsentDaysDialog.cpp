#include "dialogs/setup/gui/SetupAbsentDaysDialog.h"

#include "dialogs/misc/DialogParts.h"
#include "dialogs/setup/gui/SetupControls.h"
#include "document/program/Translation.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

TSetupAbsentDaysDialog::TSetupAbsentDaysDialog(TSetupState &state, TSetupOk ok, QWidget *parent)
    : TSetupDialog(state, std::move(ok), TSetupSection::AbsentDays, parent)
    , FMemo1(Named<QPlainTextEdit>(this, "Memo1"))
    , FComboBox1(Named<QComboBox>(this, "ComboBox1"))
    , FCheckBox1(Named<QCheckBox>(this, "CheckBox1", Translate(QStringLiteral("Count Working Days"))))
    , FButton1(Named<QPushButton>(this, "Button1", Translate(QStringLiteral("OK"))))
{
    setObjectName(QStringLiteral("SetupAbsentDaysDialog"));
    FMemo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto *cancel = Named<QPushButton>(this, "Button2", Translate(QStringLiteral("Cancel")));
    FButton1->setDefault(true);
    auto *form = new QFormLayout;
    form->addRow(Named<QLabel>(this, "Label1", Translate(QStringLiteral("Absent reasons"))));
    form->addRow(FMemo1);
    form->addRow(Named<QLabel>(this, "Label2", Translate(QStringLiteral("Default reason"))), FComboBox1);
    form->addRow(FCheckBox1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form, 1);
    layout->addLayout(ButtonRow({ FButton1, cancel }));
    connect(FMemo1, &QPlainTextEdit::textChanged, this, [this] { Memo1Change(); });
    connect(FButton1, &QPushButton::clicked, this, [this] { OkClick(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    resize(320, 360);
}

void TSetupAbsentDaysDialog::FormActivate()
{
    // The title follows a language chosen since the dialog was made.
    setWindowTitle(Translate(QStringLiteral("Edit Table \"Absent days\"")));
    const TSetupAbsentDays &absent = State().absentDays;
    {
        const QSignalBlocker quiet(FMemo1);
        SetMemoLines(*FMemo1, absent.lines);
    }
    FComboBox1->clear();
    FComboBox1->addItems(absent.lines);
    FComboBox1->setCurrentIndex(int(absent.lines.indexOf(absent.defaultReason)));
    FCheckBox1->setChecked(absent.calcWorkdays);
}

void TSetupAbsentDaysDialog::StoreSection()
{
    TSetupAbsentDays &absent = State().absentDays;
    absent.lines = MemoLines(*FMemo1);
    absent.defaultReason = FComboBox1->currentText();
    absent.calcWorkdays = FCheckBox1->isChecked();
}

QString TSetupAbsentDaysDialog::Refusal()
{
    // A reason is told by its name: a second one of the same name could never be chosen.
    QStringList seen;
    for (const QString &line : MemoLines(*FMemo1)) {
        const QString reason = line.trimmed();
        if (reason.isEmpty()) // empty lines are no reasons
            continue;
        if (seen.contains(reason, Qt::CaseInsensitive))
            return Translate(QStringLiteral("Absent reasons: \"%s\" is listed twice."), { reason });
        seen << reason;
    }
    return {};
}

void TSetupAbsentDaysDialog::Memo1Change()
{
    const int index = FComboBox1->currentIndex();
    const QSignalBlocker quiet(FComboBox1);
    FComboBox1->clear();
    FComboBox1->addItems(MemoLines(*FMemo1));
    FComboBox1->setCurrentIndex(std::min(index, FComboBox1->count() - 1));
}
