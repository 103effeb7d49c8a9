#include "dialogs/setup/gui/DefineHolidayDialog.h"

#include "components/gui/StringGridTree.h"
#include "dialogs/misc/DialogParts.h"
#include "dialogs/print/DialogControls.h"
#include "dialogs/setup/HolidayTexts.h"
#include "dialogs/setup/gui/SetupControls.h"
#include "document/calendar/DateTime.h"
#include "document/program/Translation.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

TDefineHolidayDialog::TDefineHolidayDialog(TSetupState &state, TSetupOk ok, QWidget *parent)
    : TSetupDialog(state, std::move(ok), TSetupSection::Holidays, parent)
    , FStringGridTree1(Named<TStringGridTree>(this, "StringGridTree1"))
    , FEdit3(Named<QLineEdit>(this, "Edit3"))
    , FRadioButton4(NamedRadio(this, "RadioButton4", Translate(QStringLiteral("Date"))))
    , FRadioButton3(NamedRadio(this, "RadioButton3", Translate(QStringLiteral("special Day"))))
    , FEdit2(Named<QSpinBox>(this, "Edit2"))
    , FComboBox2(Named<QComboBox>(this, "ComboBox2"))
    , FLabel3(Named<QLabel>(this, "Label3", Translate(QStringLiteral("Easter Sunday plus"))))
    , FEdit1(Named<QSpinBox>(this, "Edit1"))
    , FLabel2(Named<QLabel>(this, "Label2", Translate(QStringLiteral("days"))))
{
    setObjectName(QStringLiteral("DefineHolidayDialog"));
    setWindowTitle(Translate(QStringLiteral("Setup Holiday")));
    SetUpCheckTree(*FStringGridTree1, { { QStringLiteral("Name"), 170 }, { QStringLiteral("Datum"), 130 } });
    TBaseGridTree &tree = *FStringGridTree1->Tree();
    tree.SetNodeDataType<THolidayNodeData>();
    FStringGridTree1->OnGetText = [this](TCustomStringGridTree &, TGridNode *node, TColumnIndex column,
                                      TGSTTextType type, QString &text) {
        const THolidayNodeData *holiday = HolidayNodeData(node);
        if (type != ttNormal || !holiday)
            return;
        text = column == 0
            ? holiday->name
            : HolidayDateText({ holiday->name, holiday->day, holiday->month, false, holiday->easter });
    };
    tree.OnChange = [this](TBaseGridTree &, TGridNode *) { StringGridTree1Change(); };
    FEdit2->setRange(1, 31);
    FEdit1->setRange(-365, 365);
    FRadioButton3->setChecked(true);

    auto button = [this](const char *name, const char *text) {
        return NamedPushButton(this, name, Translate(QString::fromLatin1(text)));
    };
    QPushButton *newHoliday = button("Button4", "new Holiday");
    QPushButton *deleteHoliday = button("Button5", "delete Holiday");
    QPushButton *german = button("Button6", "add german public Holiday");
    QPushButton *enableAll = button("Button3", "enable all");
    QPushButton *disableAll = button("Button9", "disable all");
    // Kept for the layout users know; they do nothing.
    QPushButton *saveDefault = button("Button7", "save as default");
    QPushButton *loadDefault = button("Button8", "load default");
    QPushButton *okButton = button("Button1", "OK");
    QPushButton *cancel = button("Button2", "Cancel");
    okButton->setDefault(true);

    auto *editors = new QGridLayout;
    editors->addWidget(Named<QLabel>(this, "Label1", Translate(QStringLiteral("Name"))), 0, 0);
    editors->addWidget(FEdit3, 0, 1, 1, 3);
    editors->addWidget(FRadioButton4, 1, 0);
    editors->addWidget(FEdit2, 1, 1);
    editors->addWidget(FComboBox2, 1, 2, 1, 2);
    editors->addWidget(FRadioButton3, 2, 0);
    editors->addWidget(FLabel3, 2, 1);
    editors->addWidget(FEdit1, 2, 2);
    editors->addWidget(FLabel2, 2, 3);
    auto *listButtons = new QVBoxLayout;
    for (QPushButton *b :
        { newHoliday, deleteHoliday, german, enableAll, disableAll, saveDefault, loadDefault })
        listButtons->addWidget(b);
    listButtons->addStretch();
    auto *top = new QHBoxLayout;
    top->addWidget(FStringGridTree1, 1);
    top->addLayout(listButtons);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(editors);
    layout->addLayout(ButtonRow({ okButton, cancel }));

    connect(FEdit3, &QLineEdit::textEdited, this, [this] { Edit3Change(); });
    connect(FEdit1, &QSpinBox::valueChanged, this, [this] { Edit1Change(); });
    connect(FEdit2, &QSpinBox::valueChanged, this, [this] { Edit2Change(); });
    connect(FComboBox2, &QComboBox::currentIndexChanged, this, [this] { ComboBox2Change(); });
    for (QRadioButton *radio : { FRadioButton3, FRadioButton4 })
        connect(radio, &QRadioButton::clicked, this, [this] { RadioButton3Click(); });
    connect(newHoliday, &QPushButton::clicked, this, [this] { Button4Click(); });
    connect(deleteHoliday, &QPushButton::clicked, this, [this] { Button5Click(); });
    connect(german, &QPushButton::clicked, this, [this] { Button6Click(); });
    connect(enableAll, &QPushButton::clicked, this, [this] { CheckAll(true); });
    connect(disableAll, &QPushButton::clicked, this, [this] { CheckAll(false); });
    connect(okButton, &QPushButton::clicked, this, [this] { OkClick(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    UpdateTranslation();
    resize(560, 440);
}

QPushButton *TDefineHolidayDialog::Button(const char *name) const
{
    return findChild<QPushButton *>(QLatin1String(name));
}

TGridNode *TDefineHolidayDialog::AddHoliday(const THolidayData &holiday)
{
    if (FindHoliday(holiday.name))
        return nullptr;
    TBaseGridTree &tree = *FStringGridTree1->Tree();
    TGridNode *node = tree.AddChild(nullptr);
    *HolidayNodeData(node)
        = { holiday.name, holiday.day, holiday.easter ? 0 : holiday.month, holiday.easter };
    tree.SetCheckType(node, TCheckType::ctCheckBox);
    tree.SetCheckState(node, holiday.enabled ? csCheckedNormal : csUncheckedNormal);
    return node;
}

TGridNode *TDefineHolidayDialog::FindHoliday(const QString &name)
{
    TBaseGridTree &tree = *FStringGridTree1->Tree();
    for (TGridNode *node = tree.GetFirst(); node; node = tree.GetNextSibling(node)) {
        if (HolidayNodeData(node)->name == name)
            return node;
    }
    return nullptr;
}

int TDefineHolidayDialog::Count() const
{
    return int(FStringGridTree1->Tree()->RootNodeCount());
}

TGridNode *TDefineHolidayDialog::Node(int index) const
{
    TBaseGridTree &tree = *FStringGridTree1->Tree();
    TGridNode *node = index >= 0 ? tree.GetFirst() : nullptr;
    for (int i = 0; node && i < index; ++i)
        node = tree.GetNextSibling(node);
    return node;
}

THolidayData TDefineHolidayDialog::GetItem(int index) const
{
    TGridNode *node = Node(index);
    const THolidayNodeData *holiday = HolidayNodeData(node);
    if (!holiday)
        return {};
    return { holiday->name, holiday->day, holiday->month, GetChecked(index), holiday->easter };
}

bool TDefineHolidayDialog::GetChecked(int index) const
{
    TGridNode *node = Node(index);
    return node && FStringGridTree1->Tree()->CheckState(node) == csCheckedNormal;
}

TGridNode *TDefineHolidayDialog::GetSelected() const
{
    return FStringGridTree1->Tree()->GetFirstSelected();
}

void TDefineHolidayDialog::SetSelected(TGridNode *node)
{
    TBaseGridTree &tree = *FStringGridTree1->Tree();
    tree.ClearSelection();
    if (node) {
        tree.SetFocusedNode(node);
        tree.SetSelected(node, true);
        FStringGridTree1->ScrollIntoView(node, false);
    }
    StringGridTree1Change();
}

THolidayNodeData *TDefineHolidayDialog::HolidayNodeData(TGridNode *node) const
{
    return node ? FStringGridTree1->Tree()->GetNodeData<THolidayNodeData>(node) : nullptr;
}

void TDefineHolidayDialog::FormActivate()
{
    UpdateTranslation();
    SetColumnCaptions(
        *FStringGridTree1, { Translate(QStringLiteral("Name")), Translate(QStringLiteral("Date")) });
    FStringGridTree1->Tree()->Clear();
    for (const THolidayData &holiday : State().holidays.holidays)
        AddHoliday(holiday);
    FitColumns();
    SetSelected(Node(0));
}

void TDefineHolidayDialog::StoreSection()
{
    std::vector<THolidayData> &holidays = State().holidays.holidays;
    holidays.clear();
    for (int i = 0; i < Count(); ++i)
        holidays.push_back(GetItem(i));
}

QString TDefineHolidayDialog::Refusal()
{
    for (int i = 0; i < Count(); ++i) {
        const THolidayData holiday = GetItem(i);
        // A holiday recurs every year: 29 February counts, in the years that have it.
        QString refusal;
        if (holiday.name.trimmed().isEmpty())
            refusal = Translate(QStringLiteral("Name: every holiday needs a name."));
        else if (!holiday.easter && holiday.day > DaysInMonth(2000, holiday.month))
            refusal = Translate(QStringLiteral("Date: %s has no day %s (holiday \"%s\")."),
                { MonthNames().value(holiday.month - 1), QString::number(holiday.day), holiday.name });
        if (!refusal.isEmpty()) {
            SetSelected(Node(i));
            return refusal;
        }
    }
    return {};
}

void TDefineHolidayDialog::UpdateTranslation()
{
    const QSignalBlocker quiet(FComboBox2);
    const int index = FComboBox2->currentIndex();
    FComboBox2->clear();
    FComboBox2->addItems(MonthNames());
    FComboBox2->setCurrentIndex(index);
}

THolidayNodeData *TDefineHolidayDialog::Edited() const
{
    return FLoading ? nullptr : HolidayNodeData(GetSelected());
}

void TDefineHolidayDialog::Repaint(TGridNode *node)
{
    FStringGridTree1->InvalidateNode(node);
    FStringGridTree1->viewport()->update();
}

void TDefineHolidayDialog::StringGridTree1Change()
{
    const THolidayNodeData *holiday = HolidayNodeData(GetSelected());
    FLoading = true;
    for (QWidget *editor : std::initializer_list<QWidget *> { FEdit3, FRadioButton3, FRadioButton4 })
        editor->setEnabled(holiday);
    if (!holiday) {
        FEdit3->clear();
        FEdit1->setValue(0);
        FEdit2->setValue(1);
        FComboBox2->setCurrentIndex(0);
        for (QWidget *editor :
            std::initializer_list<QWidget *> { FEdit1, FEdit2, FComboBox2, FLabel2, FLabel3 })
            editor->setEnabled(false);
    } else {
        (holiday->easter ? FRadioButton3 : FRadioButton4)->setChecked(true);
        FEdit3->setText(holiday->name);
        FEdit1->setValue(holiday->day);
        FEdit2->setValue(holiday->day);
        FComboBox2->setCurrentIndex(holiday->month - 1);
        RadioButton3Click();
    }
    FLoading = false;
}

void TDefineHolidayDialog::Edit3Change()
{
    if (THolidayNodeData *holiday = Edited()) {
        holiday->name = FEdit3->text();
        FitColumns();
        Repaint(GetSelected());
    }
}

void TDefineHolidayDialog::Edit1Change()
{
    DayChange(FRadioButton3, FEdit1, FEdit2);
}

void TDefineHolidayDialog::Edit2Change()
{
    DayChange(FRadioButton4, FEdit2, FEdit1);
}

// The offset and the day of the month are one stored number: the edit that
// belongs to the checked kind sets it, the other one follows quietly.
void TDefineHolidayDialog::DayChange(const QRadioButton *kind, const QSpinBox *edit, QSpinBox *other)
{
    THolidayNodeData *holiday = Edited();
    if (!holiday || !kind->isChecked())
        return;
    holiday->day = edit->value();
    Repaint(GetSelected());
    const QSignalBlocker quiet(other);
    other->setValue(holiday->day);
}

void TDefineHolidayDialog::ComboBox2Change()
{
    THolidayNodeData *holiday = Edited();
    if (!holiday || !FRadioButton4->isChecked())
        return;
    holiday->month = FComboBox2->currentIndex() + 1;
    Repaint(GetSelected());
}

void TDefineHolidayDialog::RadioButton3Click()
{
    const bool easter = FRadioButton3->isChecked();
    for (QWidget *editor : std::initializer_list<QWidget *> { FLabel3, FEdit1, FLabel2 })
        editor->setEnabled(easter);
    for (QWidget *editor : std::initializer_list<QWidget *> { FEdit2, FComboBox2 })
        editor->setEnabled(!easter);
    // A day from Easter has no month: a date made of it starts in January, and the
    // box shows it.
    if (!easter && FComboBox2->currentIndex() < 0) {
        const QSignalBlocker quiet(FComboBox2);
        FComboBox2->setCurrentIndex(0);
    }
    THolidayNodeData *holiday = Edited();
    if (!holiday || holiday->easter == easter)
        return;
    // A date holds a day of a month and a month; a day from Easter no month.
    holiday->easter = easter;
    if (easter) {
        holiday->month = 0;
    } else {
        holiday->day = FEdit2->value();
        holiday->month = std::max(0, FComboBox2->currentIndex()) + 1;
    }
    Repaint(GetSelected());
}

void TDefineHolidayDialog::Button4Click()
{
    TGridNode *node = AddHoliday({ Translate(QStringLiteral("new Holiday")), 1, 1, false, false });
    FitColumns();
    if (node)
        SetSelected(node);
}

void TDefineHolidayDialog::Button5Click()
{
    if (TGridNode *node = GetSelected()) {
        FStringGridTree1->Tree()->DeleteNode(node);
        StringGridTree1Change();
    }
}

void TDefineHolidayDialog::Button6Click()
{
    for (const THolidayData &holiday : GermanPublicHolidays())
        AddHoliday(holiday);
    FitColumns();
}

void TDefineHolidayDialog::FitColumns()
{
    FitColumnsToTexts(*FStringGridTree1, { 170, 130 });
}

void TDefineHolidayDialog::CheckAll(bool checked)
{
    TBaseGridTree &tree = *FStringGridTree1->Tree();
    for (TGridNode *node = tree.GetFirst(); node; node = tree.GetNextSibling(node))
        tree.SetCheckState(node, checked ? csCheckedNormal : csUncheckedNormal);
}
