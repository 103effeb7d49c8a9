#include "dialogs/print/DateRangeControls.h"

#include "controls/DateTimePopup.h"
#include "dialogs/print/DialogControls.h"
#include "document/calendar/DateTime.h"
#include "timechart/TimeChart.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <algorithm>
#include <cmath>

namespace {

constexpr int MaxDays = 10000;

QLabel *Label(QWidget *parent, const QString &text, QWidget *buddy)
{
    auto *label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

} // namespace

TDateRangeControls::TDateRangeControls(const QString &summaryText, const QString &viewText, QWidget *parent)
    : QWidget(parent)
    , FRadioButton1(new QRadioButton(summaryText, this))
    , FRadioButton2(new QRadioButton(viewText, this))
    , FRadioButton3(new QRadioButton(QStringLiteral("Free input"), this))
    , FStartPicker(DatePicker(this, "startpicker"))
    , FEndPicker(DatePicker(this, "endepicker"))
    , FEditTage(new QSpinBox(this))
{
    FRadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    FRadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    FRadioButton3->setObjectName(QStringLiteral("RadioButton3"));
    FRadioButton1->setChecked(true);
    FEditTage->setObjectName(QStringLiteral("EditTage"));
    FEditTage->setRange(1, MaxDays);
    FStartLabel = Label(this, QStringLiteral("Start Date"), FStartPicker);
    FEndLabel = Label(this, QStringLiteral("End Date"), FEndPicker);
    FTageLabel = Label(this, QStringLiteral("days"), FEditTage);

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(FRadioButton1, 0, 0, 1, 2);
    grid->addWidget(FRadioButton2, 1, 0, 1, 2);
    grid->addWidget(FRadioButton3, 2, 0, 1, 2);
    grid->addWidget(FStartLabel, 3, 0);
    grid->addWidget(FStartPicker, 3, 1);
    grid->addWidget(FEndLabel, 4, 0);
    grid->addWidget(FEndPicker, 4, 1);
    grid->addWidget(FEditTage, 5, 0);
    grid->addWidget(FTageLabel, 5, 1);

    connect(FRadioButton1, &QRadioButton::clicked, this, &TDateRangeControls::RadioButton1Click);
    connect(FRadioButton2, &QRadioButton::clicked, this, &TDateRangeControls::RadioButton2Click);
    connect(FRadioButton3, &QRadioButton::clicked, this, &TDateRangeControls::RadioButton3Click);
    connect(FStartPicker, &QDateEdit::dateChanged, this, &TDateRangeControls::startpickerChange);
    connect(FEndPicker, &QDateEdit::dateChanged, this, &TDateRangeControls::endepickerChange);
    connect(FEditTage, &QSpinBox::valueChanged, this, &TDateRangeControls::EditTageChange);
    SetEditDate(false);
}

void TDateRangeControls::SetChartRanges(const TTimeChart &chart)
{
    SetRanges(
        [&chart] {
            return std::pair { chart.MinDate(), chart.MaxDate() };
        },
        [&chart] {
            return std::pair { chart.TimeChartStart(), chart.GetTimeChartEnd() };
        });
}

void TDateRangeControls::SetRanges(std::function<std::pair<TDateTime, TDateTime>()> summary,
    std::function<std::pair<TDateTime, TDateTime>()> view)
{
    FSummary = std::move(summary);
    FView = std::move(view);
}

TDateTime TDateRangeControls::StartDate() const
{
    return FromQDate(FStartPicker->date());
}

TDateTime TDateRangeControls::EndDate() const
{
    return FromQDate(FEndPicker->date());
}

int TDateRangeControls::Tage() const
{
    return FEditTage->value();
}

void TDateRangeControls::FormActivate()
{
    if (FRadioButton1->isChecked())
        RadioButton1Click();
    else if (FRadioButton2->isChecked())
        RadioButton2Click();
    else
        RadioButton3Click();
}

void TDateRangeControls::RadioButton1Click()
{
    SetEditDate(false);
    if (FSummary) {
        const auto [start, end] = FSummary();
        ShowDates(*FStartPicker, *FEndPicker, start, end);
    }
    endepickerChange();
}

void TDateRangeControls::RadioButton2Click()
{
    SetEditDate(false);
    if (FView) {
        const auto [start, end] = FView();
        ShowDates(*FStartPicker, *FEndPicker, start, end);
    }
    endepickerChange();
}

void TDateRangeControls::RadioButton3Click()
{
    SetEditDate(true);
}

void TDateRangeControls::SetEditDate(bool editable)
{
    for (QWidget *control : std::initializer_list<QWidget *> {
             FStartLabel, FStartPicker, FEndLabel, FEndPicker, FTageLabel, FEditTage })
        control->setEnabled(editable);
}

// The whole days from start to end, within what the count can show.
void TDateRangeControls::ShowTage()
{
    const QSignalBlocker block(FEditTage);
    const double days = std::trunc(EndDate() - StartDate());
    FEditTage->setValue(int(std::clamp(days, 1.0, double(MaxDays))));
    emit rangeChanged();
}

void TDateRangeControls::startpickerChange()
{
    if (EndDate() < StartDate()) {
        const QSignalBlocker block(FEndPicker);
        FEndPicker->setDate(ToQDate(StartDate() + 1));
    }
    ShowTage();
}

void TDateRangeControls::endepickerChange()
{
    if (EndDate() < StartDate()) {
        const QSignalBlocker block(FStartPicker);
        FStartPicker->setDate(ToQDate(EndDate() - 1));
    }
    ShowTage();
}

void TDateRangeControls::EditTageChange()
{
    if (!FEditTage->isEnabled())
        return;
    const QSignalBlocker block(FEndPicker);
    FEndPicker->setDate(ToQDate(StartDate() + Tage()));
    emit rangeChanged();
}
