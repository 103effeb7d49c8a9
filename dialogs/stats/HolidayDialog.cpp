#include "dialogs/stats/HolidayDialog.h"

#include "controls/DateTimePopup.h"
#include "dialogs/print/DialogControls.h"
#include "dialogs/stats/AbsenceCount.h"
#include "dialogs/stats/NumberText.h"
#include "document/ChartRows.h"
#include "document/Document.h"
#include "document/program/Translation.h"
#include "document/text/CommaText.h"
#include "timechart/TimeChart.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

QStringList AbsenceReport(Document &doc, TDateTime from, TDateTime till)
{
    const QStringList reasons = doc.GetColumnStrings(tbExclude, doc.GetConnection(tbExclude, cnColor));
    std::vector<TAbsentItem> items;
    std::vector<TNodeData *> rows;
    doc.ForEach(tbExclude, feAll, [&](TNodeData &row) {
        if (!doc.GetNodeValid(&row))
            return;
        const TDateTime end = doc.GetEndOf(&row);
        items.push_back({ DatePart(doc.GetStartOf(&row)), DatePart(end), doc.GetPositionOf(&row),
            doc.GetDataIndex_(&row, cnColor) });
        rows.push_back(&row);
    });
    // A row's days inside the range are measured as the row measures its own length.
    const TAbsenceMeasure measure = [&](int item, TDateTime start, TDateTime end) {
        return double(doc.calcLengthOf(*rows[std::size_t(item)], start, end));
    };
    const int chartRows = doc.GetRowCount();
    const std::vector<std::vector<double>> totals
        = AbsenceTotals(items, chartRows, int(reasons.size()), from, till, measure);
    const QStringList &names = doc.ChartRows().GlobalPositionFilter();
    QStringList lines;
    for (int row = 0; row < chartRows; ++row) {
        double total = 0;
        for (const double days : totals[std::size_t(row)])
            total += days;
        if (total == 0)
            continue;
        lines << (row < names.size() ? TCommaText(names[row]).Item(0) : QString())
              << QString(30, QLatin1Char('='));
        for (qsizetype reason = 0; reason < reasons.size(); ++reason)
            if (const double days = totals[std::size_t(row)][std::size_t(reason)]; days != 0)
                lines << Translate(
                    QStringLiteral("%s days %s"), { FixedTwo(days), TCommaText(reasons[reason]).Item(0) });
        lines << Translate(QStringLiteral("total %s absent days"), { FixedTwo(total) }) << QString();
    }
    return lines;
}

THolidayDialog::THolidayDialog(Document &doc, const TTimeChart &chart, QWidget *parent)
    : QDialog(parent)
    , FDoc(doc)
    , FChart(chart)
    , FRadioButton1(NamedRadio(this, "RadioButton1", QStringLiteral("complete Range")))
    , FRadioButton2(NamedRadio(this, "RadioButton2", QStringLiteral("complete Year")))
    , FRadioButton3(NamedRadio(this, "RadioButton3", QStringLiteral("free Input")))
    , FStart(DatePicker(this, "DateTimePickerStart"))
    , FEnd(DatePicker(this, "DateTimePickerEnd"))
    , FYear(new QSpinBox(this))
    , FMemo(new QPlainTextEdit(this))
{
    setObjectName(QStringLiteral("HolidayDialog"));
    setWindowTitle(QStringLiteral("Evaluation"));
    FRadioButton1->setChecked(true);
    FYear->setObjectName(QStringLiteral("UpDown1"));
    FYear->setRange(1, 9999);
    int year = 0, month = 0, day = 0;
    DecodeDate(Today(), year, month, day);
    FYear->setValue(year);
    FMemo->setObjectName(QStringLiteral("Memo1"));
    FMemo->setReadOnly(true);

    auto *range = new QGridLayout;
    range->addWidget(FRadioButton1, 0, 0, 1, 2);
    range->addWidget(FRadioButton2, 1, 0);
    range->addWidget(FYear, 1, 1);
    range->addWidget(FRadioButton3, 2, 0, 1, 2);
    range->addWidget(new QLabel(QStringLiteral("from"), this), 3, 0);
    range->addWidget(FStart, 3, 1);
    range->addWidget(new QLabel(QStringLiteral("till"), this), 4, 0);
    range->addWidget(FEnd, 4, 1);
    range->setRowStretch(5, 1);
    LayoutReport(*this, range, FMemo);

    OnChoice(this, { FRadioButton1, FRadioButton2, FRadioButton3 }, [this] { ApplyChoice(); });
    connect(FYear, &QSpinBox::valueChanged, this, &THolidayDialog::ApplyChoice);
    connect(FStart, &QDateEdit::dateChanged, this, &THolidayDialog::Recompute);
    connect(FEnd, &QDateEdit::dateChanged, this, &THolidayDialog::Recompute);
}

void THolidayDialog::showEvent(QShowEvent *event)
{
    ApplyChoice();
    QDialog::showEvent(event);
}

void THolidayDialog::ApplyChoice()
{
    const bool year = FRadioButton2->isChecked();
    const bool free = FRadioButton3->isChecked();
    FYear->setEnabled(year);
    FStart->setEnabled(free);
    FEnd->setEnabled(free);
    if (FRadioButton1->isChecked())
        ShowDates(*FStart, *FEnd, FChart.MinDate(), FChart.MaxDate());
    else if (year)
        ShowDates(*FStart, *FEnd, EncodeDate(FYear->value(), 1, 1), EncodeDate(FYear->value(), 12, 31));
    Recompute();
}

void THolidayDialog::Recompute()
{
    FMemo->setPlainText(
        AbsenceReport(FDoc, FromQDate(FStart->date()), FromQDate(FEnd->date())).join(QLatin1Char('\n')));
}
