#pragma once

#include "controls/DropDown.h"
#include "document/calendar/DateTime.h"

class QCalendarWidget;
class QDate;

// The day of a date (its time left out) for Qt's date controls, and back.
QDate ToQDate(TDateTime Value);
TDateTime FromQDate(const QDate &Date);

// The editor's date popup: a month calendar. Picking a day closes it with mrOk,
// Escape with mrCancel, a click elsewhere with no result.
class TDateTimePopup : public TfmDropDown {
    Q_OBJECT
public:
    explicit TDateTimePopup(QWidget *Owner = nullptr);

    // Shows the date's month with the date selected, named in the program's
    // language; GetDate returns it as it was (time included) until a day is picked.
    void SetDate(TDateTime Date);
    TDateTime GetDate() const;
    bool DateChanged() const { return FDateChanged; }

    // The column the popup was opened for.
    int Tag() const { return FTag; }
    void SetTag(int Value) { FTag = Value; }

    QCalendarWidget *Calendar() const { return FCalendar; }

protected:
    void KeyEscape() override;

private:
    void CalendarChange();
    // Names months and weekdays in the program's language and fits the popup to them.
    void ApplyLanguage();

    QCalendarWidget *FCalendar;
    TDateTime FLastDate = 0;
    bool FDateChanged = false;
    bool FSized = false;
    int FTag = 0;
};
