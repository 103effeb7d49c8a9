#pragma once

#include "document/calendar/DateTime.h"

#include <QDialog>

class QDateEdit;

// Asks for the date the chart scrolls to.
class TGotoDialog : public QDialog {
    Q_OBJECT
public:
    explicit TGotoDialog(QWidget *parent = nullptr);

    QDateEdit *DateTimePicker1() const { return FPicker; }
    // The picker's day (a time of day given is dropped).
    TDateTime Date() const;
    void SetDate(TDateTime date);

private:
    QDateEdit *FPicker;
};
