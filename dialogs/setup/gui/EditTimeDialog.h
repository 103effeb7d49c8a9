#pragma once

#include "dialogs/setup/WorkingHours.h"

#include <QDialog>
#include <array>

class QLineEdit;
class QPushButton;

// "Edit working hours": one weekday's begin and end of work and its three
// breaks (start and length in minutes). OK refuses, with a message, times
// that are no times, break lengths that are no whole minutes, an end not after
// the begin and breaks longer than the day; the dialog then stays open.
class TEditTimeDialog : public QDialog {
    Q_OBJECT

public:
    explicit TEditTimeDialog(QWidget *parent = nullptr);

    // Shows the day; the edited day when OK closed the dialog.
    std::optional<TDayInfo> Execute(const TDayInfo &day);

    QLineEdit *EditBegin() const { return FEditBegin; }
    QLineEdit *EditEnde() const { return FEditEnde; }
    QLineEdit *EditPauseBeginn(int i) const { return FPauseBegin[std::size_t(i)]; }
    QLineEdit *EditPauseDauer(int i) const { return FPauseLength[std::size_t(i)]; }
    QPushButton *ButtonOK() const { return FButtonOK; }

private:
    void OkClick();

    QLineEdit *FEditBegin;
    QLineEdit *FEditEnde;
    std::array<QLineEdit *, 3> FPauseBegin {};
    std::array<QLineEdit *, 3> FPauseLength {};
    QPushButton *FButtonOK;
    TDayInfo FDay;
};
