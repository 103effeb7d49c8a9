#include "dialogs/stats/StatisticsDialog.h"

#include "dialogs/print/ColumnCheckList.h"
#include "dialogs/print/DialogControls.h"
#include "dialogs/stats/NumberText.h"
#include "document/Document.h"
#include "document/program/Translation.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TStatisticsDialog::TStatisticsDialog(Document &doc, QWidget *parent)
    : QDialog(parent)
    , FDoc(doc)
    , FRadioButton1(NamedRadio(this, "RadioButton1", QStringLiteral("all Tasks")))
    , FRadioButton2(NamedRadio(this, "RadioButton2", QStringLiteral("filtered Tasks")))
    , FRadioButton3(NamedRadio(this, "RadioButton3", QStringLiteral("selected Tasks")))
    , FEditCount(new QLineEdit(this))
    , FColumns(new TColumnCheckList(this))
    , FMemo(new QPlainTextEdit(this))
{
    setObjectName(QStringLiteral("StatisticsDialog"));
    setWindowTitle(QStringLiteral("Statistics"));
    FRadioButton1->setChecked(true);
    FEditCount->setObjectName(QStringLiteral("EditCount"));
    FEditCount->setReadOnly(true);
    FColumns->setObjectName(QStringLiteral("StringGridTree1"));
    FMemo->setObjectName(QStringLiteral("Memo1"));
    FMemo->setReadOnly(true);

    auto *left = new QVBoxLayout;
    left->addWidget(FRadioButton1);
    left->addWidget(FRadioButton2);
    left->addWidget(FRadioButton3);
    auto *count = new QHBoxLayout;
    count->addWidget(new QLabel(QStringLiteral("No. of tasks "), this));
    count->addWidget(FEditCount);
    left->addLayout(count);
    left->addWidget(FColumns, 1);
    LayoutReport(*this, left, FMemo);

    OnChoice(this, { FRadioButton1, FRadioButton2, FRadioButton3 }, [this] { DoStatistics(); });
    FColumns->OnCheck = [this](int) { DoStatistics(); };
}

void TStatisticsDialog::showEvent(QShowEvent *event)
{
    FormActivate();
    QDialog::showEvent(event);
}

void TStatisticsDialog::FormActivate()
{
    const TWhichTable table = FDoc.GetActiveTable();
    QStringList captions;
    std::vector<bool> numeric;
    for (int c = 0; c < FDoc.GetTableColCount(table); ++c) {
        captions << FDoc.GetColumnCaption(table, c);
        numeric.push_back(FDoc.GetColumnType(table, c) == ctNumber);
    }
    FColumns->Fill(captions, false, numeric);
    DoStatistics();
}

TRowChoice TStatisticsDialog::Choice() const
{
    return FRadioButton2->isChecked() ? TRowChoice::Filtered
        : FRadioButton3->isChecked()  ? TRowChoice::Selected
                                      : TRowChoice::All;
}

void TStatisticsDialog::CB_Add(const TNodeData &row, int column, double &sum, int &count) const
{
    double value = 0;
    if (column == FDoc.GetConnection(row.NodeTable, cnLength)) {
        const double hours = FDoc.GetLengthOf(&row) / 60.0;
        value = FDoc.GetMinUnit() == muMinute && row.NodeTable == tbTable ? hours : hours / 8;
    } else if (!TryStrToFloat(FDoc.GetData(&row, column), value)) {
        return;
    }
    sum += value;
    ++count;
}

void TStatisticsDialog::DoStatistics()
{
    const TWhichTable table = FDoc.GetActiveTable();
    FMemo->clear();
    const TRowChoice choice = Choice();
    const int n = choice == TRowChoice::Filtered ? FDoc.FilteredCount(table)
        : choice == TRowChoice::Selected         ? FDoc.SelectedCount(table)
                                                 : FDoc.GroupCount(table);
    FEditCount->setText(QString::number(n));
    QStringList lines;
    std::vector<int> checked;
    for (int c = 0; c < FColumns->Count(); ++c)
        if (FColumns->Checked(c))
            checked.push_back(c);
    if (n == 0) {
        lines << Translate(QStringLiteral("0 items selected"));
    } else if (checked.empty()) {
        lines << Translate(QStringLiteral("No column selected for statistics"));
    } else {
        for (const int column : checked) {
            double sum = 0;
            int count = 0;
            ForEachCovered(FDoc, table, choice, [&](TNodeData &row) { CB_Add(row, column, sum, count); });
            const QString caption = FDoc.GetColumnCaption(table, column);
            if (count == 0) {
                lines << caption + QStringLiteral(" (") + Translate(QStringLiteral("no values available"))
                        + QLatin1Char(')');
                continue;
            }
            lines << caption + QStringLiteral(" (")
                    + Translate(QStringLiteral("%s items selected"), { QString::number(count) })
                    + QLatin1Char(')')
                  << QString(22, QLatin1Char('=')) << Translate(QStringLiteral("sum: %s"), { FixedTwo(sum) })
                  << Translate(QStringLiteral("median: %s"), { FixedTwo(sum / count) }) << QString();
        }
    }
    FMemo->setEnabled(n > 0 && !checked.empty());
    FMemo->setPlainText(lines.join(QLatin1Char('\n')));
}
