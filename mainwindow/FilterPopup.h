#pragma once

#include "document/DocumentTypes.h"
#include "tables/ColumnFilters.h"

#include <QDate>
#include <QStringList>
#include <QWidget>
#include <optional>

class QButtonGroup;
class QDateEdit;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class TAutocompletingEdit;

// What the filter popup shows when it opens for a column.
struct TFilterPopupFill {
    QString Caption;
    TColumnType ColumnType = ctText;
    TFilterParams Filter;
    // The list's items, and the pattern field's completion items.
    QStringList ListItems;
    QStringList PatternItems;
    // The filter's dates; none keeps what the pickers show.
    std::optional<QDate> DateFrom, DateTill;
};

// The small window in which a column's filter is set: no filter, a text
// pattern or empty fields, a number comparison or range, a date range or a
// choice from a list. It closes with OK, Enter, Cancel, Escape or a click
// outside it; only OK and Enter leave a result.
class TFilterPopup : public QWidget {
    Q_OBJECT
public:
    static constexpr int ClientWidth = 258;
    static constexpr int ClientHeight = 281;

    explicit TFilterPopup(QWidget *Owner = nullptr);

    // Sets the controls for the column's type and filter.
    void Fill(const TFilterPopupFill &Fill);
    // Shows the popup with its top-left corner at the screen point, without a
    // result yet.
    void Popup(QPoint TopLeft);
    // The choice the controls hold.
    TFilterChoice Choice() const;

    int ModalResult() const { return FModalResult; }
    bool Active() const { return isVisible(); }
    // The column the popup is open for, and its table.
    int Column() const { return FColumn; }
    TWhichTable Table() const { return FTable; }
    void SetColumn(TWhichTable Table, int Column)
    {
        FTable = Table;
        FColumn = Column;
    }
    QString Caption() const;

    void SetListFilterEnabled(bool Enabled);
    void SetDateFilterEnabled(bool Enabled);
    void SetNumberFilterEnabled(bool Enabled);

signals:
    // The popup closed, by whatever means (its deactivation).
    void Deactivated();

protected:
    void keyPressEvent(QKeyEvent *Event) override;
    void hideEvent(QHideEvent *Event) override;
    void paintEvent(QPaintEvent *Event) override;

private:
    void RadioButtonClick();
    void RadioButton4Click(QRadioButton *Radio);
    void Button1Click(int Result);
    QRadioButton *AddRadio(const QString &Text, int X, int Y);

    QLabel *FCaption;
    QButtonGroup *FRadios;
    QRadioButton *FNoFilter;
    QLabel *FTextLabel;
    QRadioButton *FEmptyFields;
    QRadioButton *FTextEquals;
    TAutocompletingEdit *FPattern;
    QLabel *FNumberLabel;
    QRadioButton *FSmaller;
    QRadioButton *FBigger;
    QRadioButton *FNumberEquals;
    QRadioButton *FFromTo;
    QLineEdit *FNumber;
    QLineEdit *FNumberFrom;
    QLabel *FToLabel;
    QLineEdit *FNumberTo;
    QRadioButton *FDate;
    QLabel *FDateFromLabel;
    QLabel *FDateTillLabel;
    QDateEdit *FDateFrom;
    QDateEdit *FDateTill;
    QRadioButton *FList;
    QListWidget *FListBox;
    QPushButton *FOK;
    QPushButton *FCancel;
    int FModalResult = 0;
    TWhichTable FTable = tbTable;
    int FColumn = -1;
};
