#include "controls/DateTimePopup.h"

#include "document/program/MessageDialog.h"
#include "document/program/Translation.h"

#include <QCalendarWidget>
#include <QDate>
#include <QLocale>

namespace {

constexpr int kExtraColumnWidth = 4;

} // namespace

QDate ToQDate(TDateTime Value)
{
    int year = 0, month = 0, day = 0;
    DecodeDate(Value, year, month, day);
    return QDate(year, month, day);
}

TDateTime FromQDate(const QDate &Date)
{
    return EncodeDate(Date.year(), Date.month(), Date.day());
}

TDateTimePopup::TDateTimePopup(QWidget *Owner)
    : TfmDropDown(Owner)
    , FCalendar(new QCalendarWidget(this))
{
    setObjectName(QStringLiteral("DateTimePopup"));
    FCalendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    ApplyLanguage();
    // A click on a day and Enter on the chosen day pick it; paging through months
    // and years does not.
    connect(FCalendar, &QCalendarWidget::clicked, this, &TDateTimePopup::CalendarChange);
    connect(FCalendar, &QCalendarWidget::activated, this, &TDateTimePopup::CalendarChange);
}

void TDateTimePopup::ApplyLanguage()
{
    // Month and day names follow the language the program speaks (the locale its
    // language file names; English otherwise), while the week starts on the day
    // the desktop's region starts it.
    const QString name = LanguageLocale();
    const QLocale language = name.isEmpty() ? QLocale(QLocale::English) : QLocale(name);
    if (FSized && FCalendar->locale() == language)
        return;
    FCalendar->setLocale(language);
    FCalendar->setFirstDayOfWeek(QLocale().firstDayOfWeek());
    // The calendar's own size hint leaves too little room for the day names.
    const QSize calendar = FCalendar->sizeHint() + QSize(7 * kExtraColumnWidth, 0);
    FCalendar->setGeometry(QRect(contentsRect().topLeft(), calendar));
    const QMargins border = contentsMargins();
    resize(calendar.width() + border.left() + border.right(),
        calendar.height() + border.top() + border.bottom());
    FSized = true;
}

void TDateTimePopup::SetDate(TDateTime Date)
{
    ApplyLanguage();
    FLastDate = Date;
    const QDate shown = ToQDate(Date);
    FCalendar->setSelectedDate(shown);
    FCalendar->setCurrentPage(shown.year(), shown.month());
    FDateChanged = false;
}

TDateTime TDateTimePopup::GetDate() const
{
    return FDateChanged ? FromQDate(FCalendar->selectedDate()) : FLastDate;
}

void TDateTimePopup::CalendarChange()
{
    FDateChanged = true;
    SetModalResult(mrOk);
    close();
}

void TDateTimePopup::KeyEscape()
{
    SetModalResult(mrCancel);
    close();
}
