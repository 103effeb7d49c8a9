#include "dialogs/setup/gui/SetupPositionsDialog.h"

#include "components/gui/GTHeader.h"
#include "components/gui/GridTreeColumns.h"
#include "components/gui/StringGridTree.h"
#include "dialogs/misc/DialogParts.h"
#include "dialogs/setup/WorkingHours.h"
#include "dialogs/setup/gui/EditTimeDialog.h"
#include "dialogs/setup/gui/SetupControls.h"
#include "document/program/Translation.h"
#include "document/text/CommaText.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTime>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cmath>

namespace {

enum { kWeekdayColumn, kBeginColumn, kEndColumn, kHoursColumn };

QString weekdayName(int day)
{
    static const char *names[]
        = { "Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday" };
    return day >= 0 && day < 7 ? Translate(QString::fromLatin1(names[day])) : QString();
}

QString clockText(TDateTime time)
{
    const int minutes = ((int(std::nearbyint(time * 1440)) % 1440) + 1440) % 1440;
    return QTime::fromMSecsSinceStartOfDay(minutes * 60000).toString(QStringLiteral("hh:mm"));
}

} // namespace

TSetupPositionsDialog::TSetupPositionsDialog(TSetupState &state, TSetupOk ok, QWidget *parent)
    : TSetupDialog(state, std::move(ok), TSetupSection::Positions, parent)
    , FListView1(Named<QTreeWidget>(this, "ListView1"))
    , FMemo1(Named<QPlainTextEdit>(this, "Memo1"))
    , FEdit1(Named<QSpinBox>(this, "Edit1"))
    , FStringGridTree1(Named<TStringGridTree>(this, "StringGridTree1"))
    , FComboBox1(Named<QComboBox>(this, "ComboBox1"))
    , FSpeedButton1(Named<QPushButton>(this, "SpeedButton1", Translate(QStringLiteral("new"))))
    , FSpeedButton2(Named<QPushButton>(this, "SpeedButton2", Translate(QStringLiteral("delete"))))
    , FUpButton(Named<QToolButton>(this, "UpDown1Up"))
    , FDownButton(Named<QToolButton>(this, "UpDown1Down"))
    , FButton1(Named<QPushButton>(this, "Button1", Translate(QStringLiteral("Copy Setup to all Resources"))))
    , FButton3(Named<QPushButton>(this, "Button3", Translate(QStringLiteral("OK"))))
    , FButton4(Named<QPushButton>(this, "Button4", Translate(QStringLiteral("Edit Weekday"))))
    , FButton5(Named<QPushButton>(this, "Button5", Translate(QStringLiteral("Apply Time to all Days"))))
    , FEditTimeDialog(std::make_unique<TEditTimeDialog>(this))
{
    setObjectName(QStringLiteral("SetupPositionsDialog"));
    setWindowTitle(Translate(QStringLiteral("Edit resources...")));
    FListView1->setRootIsDecorated(false);
    FListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    FListView1->setColumnCount(1);
    FEdit1->setRange(1, 32767);
    FMemo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    FUpButton->setArrowType(Qt::UpArrow);
    FDownButton->setArrowType(Qt::DownArrow);
    FComboBox1->addItems({ Translate(QStringLiteral("Day")), Translate(QStringLiteral("Minute")) });

    // The week: seven check-box rows, Sunday first.
    SetUpCheckTree(
        *FStringGridTree1, { { QString(), 90 }, { QString(), 50 }, { QString(), 50 }, { QString(), 80 } });
    TBaseGridTree &week = *FStringGridTree1->Tree();
    for (std::size_t day = 0; day < FDayNodes.size(); ++day) {
        FDayNodes[day] = week.AddChild(nullptr);
        week.SetCheckType(FDayNodes[day], TCheckType::ctCheckBox);
    }
    FStringGridTree1->OnGetText = [this](TCustomStringGridTree &, TGridNode *node, TColumnIndex column,
                                      TGSTTextType type, QString &text) {
        const int day = int(node->Index());
        if (type != ttNormal || day < 0 || day >= 7)
            return;
        const TDayInfo &info = FWeek[std::size_t(day)];
        switch (column) {
        case kWeekdayColumn:
            text = weekdayName(day);
            break;
        case kBeginColumn:
            text = clockText(info.start);
            break;
        case kEndColumn:
            text = clockText(info.ende);
            break;
        default:
            text = WorkingHoursText(info.length);
        }
    };
    week.OnChecked = [this](TBaseGridTree &, TGridNode *) { StringGridTree1Click(); };
    week.OnChange = [this](TBaseGridTree &, TGridNode *) { StringGridTree1Change(); };
    FStringGridTree1->OnDblClick = [this](TGridTreeView &) { ListView3DblClick(); };
    // The whole week in view; the description needs a few lines only.
    FStringGridTree1->setMinimumHeight(
        int(7 * FStringGridTree1->DefaultNodeHeight()) + FStringGridTree1->Header().Height() + 8);
    FMemo1->setMaximumHeight(100);

    auto *cancel = Named<QPushButton>(this, "Button2", Translate(QStringLiteral("Cancel")));
    auto *listButtons = new QHBoxLayout;
    for (QWidget *button :
        std::initializer_list<QWidget *> { FSpeedButton1, FSpeedButton2, FUpButton, FDownButton })
        listButtons->addWidget(button);
    listButtons->addStretch();
    auto *left = new QVBoxLayout;
    left->addWidget(FListView1, 1);
    left->addLayout(listButtons);
    auto *form = new QFormLayout;
    form->addRow(
        Named<QLabel>(this, "Label1", Translate(QStringLiteral("Complete Description of Resource"))));
    form->addRow(FMemo1);
    form->addRow(
        Named<QLabel>(this, "Label2", Translate(QStringLiteral("Number of Rows for this Resource"))), FEdit1);
    auto *dayButtons = new QHBoxLayout;
    dayButtons->addWidget(FButton4);
    dayButtons->addWidget(FButton5);
    dayButtons->addStretch();
    auto *right = new QVBoxLayout;
    right->addLayout(form);
    right->addWidget(FStringGridTree1, 1);
    right->addLayout(dayButtons);
    right->addWidget(FButton1, 0, Qt::AlignLeft);
    auto *unit = new QHBoxLayout;
    unit->addWidget(Named<QLabel>(this, "Label3", Translate(QStringLiteral("Smallest Time Unit"))));
    unit->addWidget(FComboBox1);
    unit->addStretch();
    auto *sides = new QHBoxLayout;
    sides->addLayout(left, 2);
    sides->addLayout(right, 3);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(sides, 1);
    layout->addLayout(unit);
    layout->addLayout(ButtonRow({ FButton3, cancel }));

    connect(FListView1, &QTreeWidget::itemSelectionChanged, this, [this] { ListView1SelectItem(); });
    connect(FMemo1, &QPlainTextEdit::textChanged, this, [this] { Memo1Change(); });
    connect(FEdit1, &QSpinBox::valueChanged, this, [this](int rows) { UpDown2Change(rows); });
    connect(FSpeedButton1, &QPushButton::clicked, this, [this] { SpeedButton1Click(); });
    connect(FSpeedButton2, &QPushButton::clicked, this, [this] { SpeedButton2Click(); });
    connect(FUpButton, &QToolButton::clicked, this, [this] { MoveSelected(-1); });
    connect(FDownButton, &QToolButton::clicked, this, [this] { MoveSelected(1); });
    connect(FButton1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(FButton4, &QPushButton::clicked, this, [this] { ListView3DblClick(); });
    connect(FButton5, &QPushButton::clicked, this, [this] { Button5Click(); });
    connect(FComboBox1, &QComboBox::currentIndexChanged, this, [this] { ComboBox1Change(); });
    connect(FButton3, &QPushButton::clicked, this, [this] { OkClick(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    resize(720, 460);
}

TSetupPositionsDialog::~TSetupPositionsDialog() = default;

void TSetupPositionsDialog::ExecNested()
{
    SetNested(true);
    exec();
    SetNested(false);
}

TGridNode *TSetupPositionsDialog::DayNode(int day) const
{
    return day >= 0 && day < 7 ? FDayNodes[std::size_t(day)] : nullptr;
}

int TSetupPositionsDialog::SelectedRow() const
{
    const QList<QTreeWidgetItem *> selected = FListView1->selectedItems();
    return selected.isEmpty() ? -1 : FListView1->indexOfTopLevelItem(selected.first());
}

int TSetupPositionsDialog::SelectedDay() const
{
    TGridNode *node = FStringGridTree1->Tree()->GetFirstSelected();
    return node ? int(node->Index()) : -1;
}

void TSetupPositionsDialog::FormActivate()
{
    FPositions = State().positions;
    FListView1->setHeaderLabels({ Translate(QStringLiteral("Resource")) });
    SetColumnCaptions(*FStringGridTree1,
        { Translate(QStringLiteral("Weekday")), Translate(QStringLiteral("Begin")),
            Translate(QStringLiteral("End")), Translate(QStringLiteral("Working hours")) });
    {
        const QSignalBlocker quiet(FComboBox1);
        // The units in the language chosen now, which may not be the one the dialog was made in.
        FComboBox1->setItemText(0, Translate(QStringLiteral("Day")));
        FComboBox1->setItemText(1, Translate(QStringLiteral("Minute")));
        FComboBox1->setCurrentIndex(FPositions.minUnit == muMinute ? 1 : 0);
    }
    ComboBox1Change();
    FListView1->clear();
    FillList();
    SelectRow(0);
}

void TSetupPositionsDialog::StoreSection()
{
    State().positions = FPositions;
}

QString TSetupPositionsDialog::Refusal()
{
    const QStringList captions = FPositions.Captions();
    for (int row = 0; row < captions.size(); ++row) {
        // No task could ever be put on a resource without a name.
        if (captions[row].trimmed().isEmpty()) {
            SelectRow(row);
            return Translate(QStringLiteral("Complete Description of Resource: every resource needs a name "
                                            "(its first line)."));
        }
    }
    return {};
}

void TSetupPositionsDialog::FillList()
{
    const QSignalBlocker quiet(FListView1);
    const QStringList captions = FPositions.Captions();
    while (FListView1->topLevelItemCount() > captions.size())
        delete FListView1->takeTopLevelItem(FListView1->topLevelItemCount() - 1);
    while (FListView1->topLevelItemCount() < captions.size())
        FListView1->addTopLevelItem(new QTreeWidgetItem);
    for (int row = 0; row < captions.size(); ++row)
        FListView1->topLevelItem(row)->setText(0, captions[row]);
}

void TSetupPositionsDialog::SelectRow(int row)
{
    FListView1->clearSelection();
    if (QTreeWidgetItem *item = FListView1->topLevelItem(row)) {
        FListView1->setCurrentItem(item);
        item->setSelected(true);
        FListView1->scrollToItem(item);
    }
    ListView1SelectItem();
}

void TSetupPositionsDialog::ListView1SelectItem()
{
    const int row = SelectedRow();
    FLoading = true;
    FWeek = FPositions.Week(row);
    SetMemoLines(*FMemo1,
        row >= 0 ? DescriptionLines(TCommaText(FPositions.positions[std::size_t(row)].item).Item(0))
                 : QStringList());
    FEdit1->setValue(FPositions.Rows(row));
    TBaseGridTree &week = *FStringGridTree1->Tree();
    for (std::size_t day = 0; day < FDayNodes.size(); ++day)
        week.SetCheckState(FDayNodes[day], FWeek[day].active ? csCheckedNormal : csUncheckedNormal);
    FLoading = false;
    for (QWidget *control : std::initializer_list<QWidget *> { FMemo1, FEdit1, FStringGridTree1, FButton1 })
        control->setEnabled(row >= 0);
    FSpeedButton2->setEnabled(row >= 0 && FPositions.positions.size() > 1);
    FStringGridTree1->viewport()->update();
    StringGridTree1Change();
}

void TSetupPositionsDialog::Memo1Change()
{
    const int row = SelectedRow();
    if (FLoading || row < 0)
        return;
    FPositions.SetDescription(row, MemoLines(*FMemo1));
    FListView1->topLevelItem(row)->setText(0, FPositions.Captions()[row]);
}

void TSetupPositionsDialog::UpDown2Change(int rows)
{
    if (!FLoading)
        FPositions.SetRows(SelectedRow(), rows);
}

void TSetupPositionsDialog::SpeedButton1Click()
{
    const int row = FPositions.AddPosition(
        Translate(QStringLiteral("New Resource")), Translate(QStringLiteral("additional information")));
    FillList();
    SelectRow(row);
    FMemo1->setFocus();
    FMemo1->selectAll();
}

void TSetupPositionsDialog::SpeedButton2Click()
{
    const int row = SelectedRow();
    if (!FPositions.DeletePosition(row))
        return;
    FillList();
    SelectRow(std::min(row, int(FPositions.positions.size()) - 1));
}

void TSetupPositionsDialog::MoveSelected(int direction)
{
    const int row = SelectedRow();
    if (!FPositions.MovePosition(row, direction))
        return;
    FillList();
    SelectRow(row + (direction < 0 ? -1 : 1));
}

void TSetupPositionsDialog::SetWeek(const tWeekInfo &week)
{
    const int row = SelectedRow();
    FPositions.SetWeek(row, week);
    // Reselected: the week's rows show the stored week.
    const int day = SelectedDay();
    ListView1SelectItem();
    if (TGridNode *node = DayNode(day))
        FStringGridTree1->Tree()->SetSelected(node, true);
}

void TSetupPositionsDialog::StringGridTree1Click()
{
    if (FLoading || SelectedRow() < 0)
        return;
    tWeekInfo week = FWeek;
    for (std::size_t day = 0; day < FDayNodes.size(); ++day)
        week[day].active = FStringGridTree1->Tree()->CheckState(FDayNodes[day]) == csCheckedNormal;
    SetWeek(week);
}

void TSetupPositionsDialog::StringGridTree1Change()
{
    const int day = SelectedDay();
    FButton4->setEnabled(day >= 0 && SelectedRow() >= 0);
    FButton5->setEnabled(day >= 0 && SelectedRow() >= 0);
    FButton4->setText(day >= 0 ? Translate(QStringLiteral("Edit %s"), { weekdayName(day) })
                               : Translate(QStringLiteral("Edit Weekday")));
}

void TSetupPositionsDialog::ListView3DblClick()
{
    const int day = SelectedDay();
    if (day < 0 || SelectedRow() < 0 || FComboBox1->currentIndex() != 1)
        return;
    const std::optional<TDayInfo> edited = FEditTimeDialog->Execute(FWeek[std::size_t(day)]);
    if (!edited)
        return;
    tWeekInfo week = FWeek;
    week[std::size_t(day)] = *edited;
    SetWeek(week);
}

void TSetupPositionsDialog::Button5Click()
{
    const int day = SelectedDay();
    if (day >= 0)
        SetWeek(ApplyDayToAll(FWeek, day));
}

void TSetupPositionsDialog::Button1Click()
{
    FPositions.CopyWeekToAll(SelectedRow());
}

void TSetupPositionsDialog::ComboBox1Change()
{
    const bool minutes = FComboBox1->currentIndex() == 1;
    FPositions.minUnit = minutes ? muMinute : muDay;
    FButton4->setVisible(minutes);
    FButton5->setVisible(minutes);
    TGridTreeColumns &columns = FStringGridTree1->Header().Columns();
    for (int column : { kBeginColumn, kEndColumn, kHoursColumn }) {
        TGTColumnOptions options = columns[column].Options();
        columns[column].SetOptions(
            minutes ? options + TGTColumnOptions { coVisible } : options - TGTColumnOptions { coVisible });
    }
    FitColumnsToTexts(*FStringGridTree1, { minutes ? 90 : 253, 50, 50, 80 });
}
