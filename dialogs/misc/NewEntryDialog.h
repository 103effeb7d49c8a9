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

    // The entry's last day as a task and as an absent day; `table`'s button is the
    // default. The End label shows the end of the table whose button has the focus
    // or the pointer, the default's at first.
    void SetEnds(const QString &taskEnd, const QString &absentEnd, TWhichTable table);

    TWhichTable table() const { return FTable; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Button1Click();
    void Button2Click();
    void ShowEnd(TWhichTable table);

    QLabel *FLabelBegin;
    QLabel *FLabelEnd;
    QLabel *FLabelPos;
    QPushButton *FButton1;
    QPushButton *FButton2;
    TWhichTable FTable = tbTable;
    QString FEnds[kTableCount];
};
