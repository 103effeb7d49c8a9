#pragma once

#include "document/calendar/DateTime.h"

#include <QWidget>
#include <functional>

class QDateEdit;
class QLabel;
class QRadioButton;
class QSpinBox;
class TTimeChart;

// The date range of a chart printout or image: the chart's whole range, the range
// the chart shows, or dates typed in (only then are the pickers and the day count
// enabled). The end follows the start and the day count; an end set before the
// start moves the start to one day before it.
class TDateRangeControls : public QWidget {
    Q_OBJECT
public:
    // The radio buttons' texts differ between printing and the image.
    TDateRangeControls(const QString &summaryText, const QString &viewText, QWidget *parent = nullptr);

    QRadioButton *RadioButton1() const { return FRadioButton1; }
    QRadioButton *RadioButton2() const { return FRadioButton2; }
    QRadioButton *RadioButton3() const { return FRadioButton3; }
    QDateEdit *startpicker() const { return FStartPicker; }
    QDateEdit *endepicker() const { return FEndPicker; }
    // The day count with its up-down buttons (1..10000).
    QSpinBox *EditTage() const { return FEditTage; }

    // The ranges the first two buttons take: the chart's whole range and the range
    // it shows now.
    void SetRanges(std::function<std::pair<TDateTime, TDateTime>()> summary,
        std::function<std::pair<TDateTime, TDateTime>()> view);
    // The ranges of `chart`, which outlives the controls.
    void SetChartRanges(const TTimeChart &chart);

    TDateTime StartDate() const;
    TDateTime EndDate() const;
    int Tage() const;

    // The handler of the checked radio button, as when the window is activated.
    void FormActivate();
    void RadioButton1Click();
    void RadioButton2Click();
    void RadioButton3Click();
    void SetEditDate(bool editable);
    void startpickerChange();
    void endepickerChange();
    void EditTageChange();

signals:
    // The range or day count changed (the page sketch follows it).
    void rangeChanged();

private:
    void ShowTage();

    QRadioButton *FRadioButton1;
    QRadioButton *FRadioButton2;
    QRadioButton *FRadioButton3;
    QLabel *FStartLabel;
    QDateEdit *FStartPicker;
    QLabel *FEndLabel;
    QDateEdit *FEndPicker;
    QLabel *FTageLabel;
    QSpinBox *FEditTage;
    std::function<std::pair<TDateTime, TDateTime>()> FSummary;
    std::function<std::pair<TDateTime, TDateTime>()> FView;
};
