#pragma once

#include "document/DocumentTypes.h"

#include <QDialog>

class QLabel;
class QPushButton;

// Asks in which table an entry drawn on the chart belongs. "Tasks" and "Absent
// Days" both accept the dialog and set `table`.
class TNewEntryDialog : public QDialog {
    Q_OBJECT
public:
    explicit TNewEntryDialog(QWidget *parent = nullptr);

    // Filled by the caller with the entry's dates and position.
    QLabel *LabelBegin() const { return FLabelBegin; }
    QLabel *LabelEnd() const { return FLabelEnd; }
    QLabel *LabelPos() const { return FLabelPos; }
    QPushButton *Button1() const { return FButton1; }
    QPushButton *Button2() const { return FButton2; }

    TWhichTable table() const { return FTable; }

private:
    void Button1Click();
    void Button2Click();

    QLabel *FLabelBegin;
    QLabel *FLabelEnd;
    QLabel *FLabelPos;
    QPushButton *FButton1;
    QPushButton *FButton2;
    TWhichTable FTable = tbTable;
};
