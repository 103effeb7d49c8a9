#pragma once

#include "document/calendar/DateTime.h"

#include <QDialog>
#include <QStringList>

class Document;
class QDateEdit;
class QPlainTextEdit;
class QRadioButton;
class QSpinBox;
class TTimeChart;

// The absent days of every shown chart row per reason within [from, till] (both
// days included): for each row with any, its name, a rule, a line per reason and the
// total, then an empty line.
QStringList AbsenceReport(Document &doc, TDateTime from, TDateTime till);

// "Evaluation": the absence report over the chart's whole range, a year or dates
// typed in; any change computes it again.
class THolidayDialog : public QDialog {
    Q_OBJECT
public:
    THolidayDialog(Document &doc, const TTimeChart &chart, QWidget *parent = nullptr);

    QRadioButton *RadioButton1() const { return FRadioButton1; }
    QRadioButton *RadioButton2() const { return FRadioButton2; }
    QRadioButton *RadioButton3() const { return FRadioButton3; }
    QDateEdit *DateTimePickerStart() const { return FStart; }
    QDateEdit *DateTimePickerEnd() const { return FEnd; }
    QSpinBox *UpDown1() const { return FYear; }
    QPlainTextEdit *Memo1() const { return FMemo; }

    void Recompute();

protected:
    void showEvent(QShowEvent *event) override;

private:
    // Sets the range for the checked button and enables what it lets the user change.
    void ApplyChoice();

    Document &FDoc;
    const TTimeChart &FChart;
    QRadioButton *FRadioButton1;
    QRadioButton *FRadioButton2;
    QRadioButton *FRadioButton3;
    QDateEdit *FStart;
    QDateEdit *FEnd;
    QSpinBox *FYear;
    QPlainTextEdit *FMemo;
};
