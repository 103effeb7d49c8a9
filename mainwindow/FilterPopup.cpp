#include "mainwindow/FilterPopup.h"

#include "controls/AutocompletingEdit.h"
#include "controls/DateTimePopup.h"
#include "document/calendar/DateTime.h"
#include "document/program/MessageDialog.h"
#include "document/program/Translation.h"
#include "document/text/CommaText.h"
#include "platform/gui/Color.h"

#include <QButtonGroup>
#include <QDateEdit>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>

namespace {

// The title strip above the client area.
constexpr int kCaptionHeight = 18;
// The tops of the client area's rows, below the title strip.
constexpr int kGroupTop = 112;

QString Tr(const char *Text)
{
    return Translate(QString::fromLatin1(Text));
}

void AddLine(QWidget *Parent, int Y)
{
    auto *line = new QFrame(Parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(8, kCaptionHeight + Y, TFilterPopup::ClientWidth - 16, 2);
}

QLabel *AddLabel(QWidget *Parent, const QString &Text, int X, int Y)
{
    auto *label = new QLabel(Text, Parent);
    label->move(X, kCaptionHeight + Y);
    label->adjustSize();
    return label;
}

} // namespace

TFilterPopup::TFilterPopup(QWidget *Owner)
    : QWidget(Owner, Qt::Popup | Qt::FramelessWindowHint)
    , FCaption(new QLabel(Tr("Set Filter"), this))
    , FRadios(new QButtonGroup(this))
{
    setObjectName(QStringLiteral("FilterPopup"));
    resize(ClientWidth, kCaptionHeight + ClientHeight);
    FCaption->setObjectName(QStringLiteral("Caption"));
    FCaption->setGeometry(1, 1, ClientWidth - 2, kCaptionHeight - 1);
    FCaption->setIndent(4);
    FCaption->setAutoFillBackground(true);
    QPalette caption = FCaption->palette();
    caption.setColor(QPalette::Window, ToQColor(clActiveCaption));
    caption.setColor(QPalette::WindowText, ToQColor(clCaptionText));
    FCaption->setPalette(caption);
    QFont bold = FCaption->font();
    bold.setBold(true);
    FCaption->setFont(bold);

    FNoFilter = AddRadio(Tr("no Filter"), 8, 8);
    FNoFilter->setToolTip(Tr("Do not filter this column"));
    AddLine(this, 30);
    FTextLabel = AddLabel(this, Tr("Text"), 8, 38);
    FEmptyFields = AddRadio(Tr("only empty fields"), 16, 56);
    FTextEquals = AddRadio(Tr("equal to"), 16, 78);
    FPattern = new TAutocompletingEdit(this);
    FPattern->setObjectName(QStringLiteral("Pattern"));
    FPattern->setGeometry(110, kCaptionHeight + 76, 140, 21);
    FPattern->setToolTip(Tr("(you can use wildcards * and ?)"));
    AddLine(this, 104);

    // Number, date and list share the place below the text group.
    FNumberLabel = AddLabel(this, Tr("Number"), 8, kGroupTop);
    FSmaller = AddRadio(Tr("smaller than"), 16, kGroupTop + 20);
    FBigger = AddRadio(Tr("bigger than"), 16, kGroupTop + 42);
    FNumberEquals = AddRadio(Tr("equal to"), 16, kGroupTop + 64);
    FFromTo = AddRadio(Tr("from"), 16, kGroupTop + 86);
    FNumber = new QLineEdit(this);
    FNumber->setObjectName(QStringLiteral("Number"));
    FNumber->setGeometry(110, kCaptionHeight + kGroupTop + 17, 80, 21);
    FNumberFrom = new QLineEdit(this);
    FNumberFrom->setObjectName(QStringLiteral("NumberFrom"));
    FNumberFrom->setGeometry(70, kCaptionHeight + kGroupTop + 84, 70, 21);
    FToLabel = AddLabel(this, Tr("to"), 148, kGroupTop + 87);
    FNumberTo = new QLineEdit(this);
    FNumberTo->setObjectName(QStringLiteral("NumberTo"));
    FNumberTo->setGeometry(170, kCaptionHeight + kGroupTop + 84, 70, 21);
    for (QRadioButton *radio : { FSmaller, FBigger, FNumberEquals })
        connect(radio, &QRadioButton::clicked, this, [this, radio] { RadioButton4Click(radio); });

    FDate = AddRadio(Tr("Date"), 8, kGroupTop);
    FDateFromLabel = AddLabel(this, Tr("from"), 24, kGroupTop + 29);
    FDateTillLabel = AddLabel(this, Tr("till"), 24, kGroupTop + 59);
    FDateFrom = new QDateEdit(this);
    FDateTill = new QDateEdit(this);
    FDateFrom->setObjectName(QStringLiteral("DateFrom"));
    FDateTill->setObjectName(QStringLiteral("DateTill"));
    FDateFrom->setGeometry(70, kCaptionHeight + kGroupTop + 26, 120, 21);
    FDateTill->setGeometry(70, kCaptionHeight + kGroupTop + 56, 120, 21);
    for (QDateEdit *picker : { FDateFrom, FDateTill }) {
        picker->setCalendarPopup(true);
        picker->setDate(QDate::currentDate());
    }

    FList = AddRadio(Tr("List"), 8, kGroupTop);
    FListBox = new QListWidget(this);
    FListBox->setObjectName(QStringLiteral("ListBox"));
    FListBox->setSelectionMode(QAbstractItemView::ExtendedSelection);
    FListBox->setGeometry(24, kCaptionHeight + kGroupTop + 22, ClientWidth - 32, 110);
    FListBox->setToolTip(Tr("Select with left Mouseclick (+Shift/Ctrl)"));

    FOK = new QPushButton(Tr("OK"), this);
    FCancel = new QPushButton(Tr("Cancel"), this);
    FOK->setObjectName(QStringLiteral("OK"));
    // A caption equal to its name is never translated: "Cancel" would stay English.
    FCancel->setObjectName(QStringLiteral("ButtonCancel"));
    FOK->setDefault(true);
    FOK->setGeometry(92, kCaptionHeight + 250, 75, 24);
    FCancel->setGeometry(174, kCaptionHeight + 250, 75, 24);
    connect(FOK, &QPushButton::clicked, this, [this] { Button1Click(mrOk); });
    connect(FCancel, &QPushButton::clicked, this, [this] { Button1Click(mrCancel); });

    FNoFilter->setChecked(true);
    SetDateFilterEnabled(false);
    SetListFilterEnabled(false);
    RadioButtonClick();
}

QRadioButton *TFilterPopup::AddRadio(const QString &Text, int X, int Y)
{
    auto *radio = new QRadioButton(Text, this);
    radio->move(X, kCaptionHeight + Y);
    radio->adjustSize();
    FRadios->addButton(radio);
    connect(radio, &QRadioButton::clicked, this, &TFilterPopup::RadioButtonClick);
    return radio;
}

QString TFilterPopup::Caption() const
{
    return FCaption->text();
}

void TFilterPopup::SetListFilterEnabled(bool Enabled)
{
    FList->setVisible(Enabled);
    FListBox->setVisible(Enabled);
}

void TFilterPopup::SetDateFilterEnabled(bool Enabled)
{
    for (QWidget *widget : { static_cast<QWidget *>(FDate), static_cast<QWidget *>(FDateFromLabel),
             static_cast<QWidget *>(FDateTillLabel), static_cast<QWidget *>(FDateFrom),
             static_cast<QWidget *>(FDateTill) })
        widget->setVisible(Enabled);
}

void TFilterPopup::SetNumberFilterEnabled(bool Enabled)
{
    for (QWidget *widget : { static_cast<QWidget *>(FNumberLabel), static_cast<QWidget *>(FToLabel),
             static_cast<QWidget *>(FSmaller), static_cast<QWidget *>(FBigger),
             static_cast<QWidget *>(FNumberEquals), static_cast<QWidget *>(FFromTo),
             static_cast<QWidget *>(FNumber), static_cast<QWidget *>(FNumberFrom),
             static_cast<QWidget *>(FNumberTo) })
        widget->setVisible(Enabled);
}

void TFilterPopup::RadioButtonClick()
{
    FListBox->setEnabled(FList->isChecked());
    FDateFrom->setEnabled(FDate->isChecked());
    FDateTill->setEnabled(FDate->isChecked());
    FPattern->setEnabled(FTextEquals->isChecked());
    FNumberFrom->setEnabled(FFromTo->isChecked());
    FNumberTo->setEnabled(FFromTo->isChecked());
    FNumber->setEnabled(FSmaller->isChecked() || FBigger->isChecked() || FNumberEquals->isChecked());
}

void TFilterPopup::RadioButton4Click(QRadioButton *Radio)
{
    FNumber->move(FNumber->x(), Radio->y() - 3);
    RadioButtonClick();
}

void TFilterPopup::Fill(const TFilterPopupFill &Fill)
{
    FCaption->setText(Fill.Caption);
    const TFilterParams &filter = Fill.Filter;
    const TColumnType type = Fill.ColumnType;
    SetListFilterEnabled(type == ctText || type == ctPulldown || type == ctLink);
    SetDateFilterEnabled(type == ctDate);
    SetNumberFilterEnabled(type == ctNumber);

    for (QDateEdit *picker : { FDateFrom, FDateTill })
        picker->setDisplayFormat(FormatSettings().ShortDateFormat);
    if (Fill.DateFrom)
        FDateFrom->setDate(*Fill.DateFrom);
    if (Fill.DateTill)
        FDateTill->setDate(*Fill.DateTill);

    FListBox->clear();
    FListBox->addItems(Fill.ListItems);
    const QStringList chosen = TCommaText(filter.Text1).Strings();
    for (int i = 0; i < FListBox->count(); ++i)
        FListBox->item(i)->setSelected(chosen.contains(FListBox->item(i)->text()));

    // Only the choice of the filter is checked; with none (a filter that fits
    // no choice) no button is.
    FRadios->setExclusive(false);
    for (QAbstractButton *radio : FRadios->buttons())
        radio->setChecked(false);
    FRadios->setExclusive(true);

    FPattern->SetItems(Fill.PatternItems);
    FPattern->setText(filter.Text1);
    if (filter.FilterType == ftText && filter.FilterSubType == fsText)
        FTextEquals->setChecked(true);
    if (filter.FilterType == ftText && filter.FilterSubType == fsEmpty)
        FEmptyFields->setChecked(true);

    if (type == ctNumber) {
        FNumber->setText(filter.Text1);
        FNumberFrom->setText(filter.Text1);
        FNumberTo->setText(filter.text2);
        if (filter.FilterType == ftNumber) {
            QRadioButton *sub = nullptr;
            switch (filter.FilterSubType) {
            case fsSmaller:
                sub = FSmaller;
                break;
            case fsGreater:
                sub = FBigger;
                break;
            case fsEquals:
                sub = FNumberEquals;
                break;
            case fsFromTo:
                sub = FFromTo;
                break;
            default:
                break;
            }
            if (sub) {
                sub->setChecked(true);
                // The number field stands beside its comparison.
                if (sub != FFromTo)
                    FNumber->move(FNumber->x(), sub->y() - 3);
            }
        }
    }

    switch (filter.FilterType) {
    case ftNone:
        FNoFilter->setChecked(true);
        break;
    case ftDate:
        FDate->setChecked(true);
        break;
    case ftList:
        FList->setChecked(true);
        break;
    case ftText:
    case ftNumber:
        break;
    }
    RadioButtonClick();
}

void TFilterPopup::Popup(QPoint TopLeft)
{
    // A popup opened again must not report the result of its last closing.
    FModalResult = mrNone;
    move(TopLeft);
    show();
    raise();
}

TFilterChoice TFilterPopup::Choice() const
{
    TFilterChoice choice;
    const std::pair<QRadioButton *, TFilterChoice::TRadio> order[] = {
        { FNoFilter, TFilterChoice::rbNoFilter },
        { FList, TFilterChoice::rbList },
        { FDate, TFilterChoice::rbDate },
        { FEmptyFields, TFilterChoice::rbEmptyFields },
        { FTextEquals, TFilterChoice::rbTextEquals },
        { FSmaller, TFilterChoice::rbSmaller },
        { FBigger, TFilterChoice::rbBigger },
        { FNumberEquals, TFilterChoice::rbNumberEquals },
        { FFromTo, TFilterChoice::rbFromTo },
    };
    choice.checked = TFilterChoice::rbNone;
    for (const auto &[radio, meaning] : order) {
        if (radio->isChecked()) {
            choice.checked = meaning;
            break;
        }
    }
    for (int i = 0; i < FListBox->count(); ++i) {
        if (FListBox->item(i)->isSelected())
            choice.listSelection.append(FListBox->item(i)->text());
    }
    choice.dateFrom = FromQDate(FDateFrom->date());
    choice.dateTill = FromQDate(FDateTill->date());
    choice.pattern = FPattern->text();
    choice.number = FNumber->text();
    choice.numberFrom = FNumberFrom->text();
    choice.numberTo = FNumberTo->text();
    return choice;
}

void TFilterPopup::Button1Click(int Result)
{
    FModalResult = Result;
    hide();
}

void TFilterPopup::keyPressEvent(QKeyEvent *Event)
{
    if (Event->key() == Qt::Key_Return || Event->key() == Qt::Key_Enter) {
        Event->accept();
        Button1Click(mrOk);
        return;
    }
    QWidget::keyPressEvent(Event);
}

void TFilterPopup::hideEvent(QHideEvent *Event)
{
    QWidget::hideEvent(Event);
    // The window the popup came from takes the keys back.
    if (QWidget *owner = parentWidget())
        owner->window()->activateWindow();
    emit Deactivated();
}

void TFilterPopup::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(ToQColor(clWindowFrame));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
