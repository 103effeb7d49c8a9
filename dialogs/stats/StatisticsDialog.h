#pragma once

#include "dialogs/print/RowChoice.h"

#include <QDialog>

class Document;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;
class TColumnCheckList;

// "Statistics": the sum and mean of the numeric columns the user checks, over all
// rows of the active table's shown group, the filtered or the selected rows.
class TStatisticsDialog : public QDialog {
    Q_OBJECT
public:
    explicit TStatisticsDialog(Document &doc, QWidget *parent = nullptr);

    QRadioButton *RadioButton1() const { return FRadioButton1; }
    QRadioButton *RadioButton2() const { return FRadioButton2; }
    QRadioButton *RadioButton3() const { return FRadioButton3; }
    QLineEdit *EditCount() const { return FEditCount; }
    TColumnCheckList *StringGridTree1() const { return FColumns; }
    QPlainTextEdit *Memo1() const { return FMemo; }

    void FormActivate();
    void DoStatistics();

protected:
    void showEvent(QShowEvent *event) override;

private:
    TRowChoice Choice() const;
    // Adds the row's value in `column` (a length in hours or days); a cell that is
    // no number counts for nothing.
    void CB_Add(const TNodeData &row, int column, double &sum, int &count) const;

    Document &FDoc;
    QRadioButton *FRadioButton1;
    QRadioButton *FRadioButton2;
    QRadioButton *FRadioButton3;
    QLineEdit *FEditCount;
    TColumnCheckList *FColumns;
    QPlainTextEdit *FMemo;
};
